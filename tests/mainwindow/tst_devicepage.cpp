// The device page frame and its wait popup: navigation, battery display, the
// back arrow and the close button with the cache save, recording lock-out,
// the popup's outcomes after a read or a reset, and the settings-file import.

#include "configini.h"
#include "connection.h"
#include "devicecache.h"
#include "devicesession.h"
#include "dialog.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "mainwindowkit.h"
#include "postmsg.h"
#include "steppedclock.h"
#include "testsupport.h"
#include "updataparam.h"
#include "waits.h"
#include "worker.h"

#include <QDataStream>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

using namespace MainWindowKit;

namespace {

const QString kModelCache = "Device_CID12_MID02.bin";

QString CachePath(const QString &name)
{
    return TestSupport::BaseFolder() + "/Device_Info/" + name;
}

FlashDataMap PatternImage(uint8_t seed)
{
    FlashDataMap image{};
    auto *bytes = reinterpret_cast<uint8_t *>(&image);
    for (int i = 0; i < kFlashDataMapSize; ++i)
        bytes[i] = uint8_t(seed + i * 7);
    image.DpiLevelCount = 4;
    return image;
}

// A settings file as the button page's export writes it: three byte blocks.
void WriteSettingsFile(const QString &path, const QByteArray &tag, const QByteArray &sensor, const QByteArray &image)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QDataStream out(&file);
    out.writeBytes(tag.constData(), uint(tag.size()));
    out.writeBytes(sensor.constData(), uint(sensor.size()));
    out.writeBytes(image.constData(), uint(image.size()));
}

QByteArray Block12(const QByteArray &text)
{
    return text.leftJustified(12, '\0', true);
}

QByteArray ImageBytes(const FlashDataMap &image)
{
    return QByteArray(reinterpret_cast<const char *>(&image), kFlashDataMapSize);
}

QString Drive2(const QString &key)
{
    return ConfigIni::GetInstance()->Value(ConfigIni::DriveGroup(1), key);
}

}  // namespace

class TestDevicePage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void navigation();
    void destructorReleasesAWaitingWorkerPass();
    void battery_data();
    void battery();
    void startRecord_data();
    void startRecord();
    void backArrowOrder();
    void cacheSavedOnlyForTheSelectedModel_data();
    void cacheSavedOnlyForTheSelectedModel();
    void popupOutcomes_data();
    void popupOutcomes();
    void popupEndsOnAFillAfterItOpened_data();
    void popupEndsOnAFillAfterItOpened();
    void secondRequestWhilePopupIsOpenIsIgnored();
    void importCheck_data();
    void importCheck();
    void importAppliesOrExplains_data();
    void importAppliesOrExplains();

private:
    Dialog *MakePage();
    std::unique_ptr<Dialog> m_page;
    QTemporaryDir m_files;
};

void TestDevicePage::initTestCase()
{
    HidSim::SetWorld(HidSim::DefaultWorld());
}

void TestDevicePage::init()
{
    ResetSharedState();
    g_CurrentDevice.Update([&](DeviceAllInfo &d) { d.DriveIndex = 1; });  // the Drive2 model
    QFile::remove(CachePath(kModelCache));
}

void TestDevicePage::cleanup()
{
    m_page.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

Dialog *TestDevicePage::MakePage()
{
    m_page = std::make_unique<Dialog>();
    m_page->show();
    if (!QTest::qWaitForWindowExposed(m_page.get()))
        qWarning("device page not exposed");
    HidSim::WaitUntilIdle();
    HidSim::ClearCallLog();
    return m_page.get();
}

void TestDevicePage::navigation()
{
    Dialog *page = MakePage();
    auto *stack = page->findChild<QStackedWidget *>("stackedWidgetDialog");
    QSignalSpy addMacroButtons(PostMsg::GetInstance(), &PostMsg::SigAddMacroButton);
    const QStringList order{"Buttoninterface", "Sensor", "Macro", "FormSetting"};
    // Shown, the frame has built its button page only; each other page is
    // built at its own index when it is first chosen.
    QCOMPARE(stack->count(), order.size());
    QCOMPARE(stack->currentIndex(), 0);
    QCOMPARE(stack->currentWidget()->objectName(), order.at(0));
    for (int i = 1; i < order.size(); ++i)
        QVERIFY(!page->BuiltPage(i));

    const QList<QPair<QString, int>> clicks{{"FormSetting", 3}, {"SensorButton", 1}, {"MacroButton", 2}, {"ButtonMain", 0}};
    for (const auto &click : clicks) {
        auto *button = page->findChild<QToolButton *>(click.first);
        button->click();
        QCOMPARE(stack->currentIndex(), click.second);
        QCOMPARE(stack->currentWidget()->objectName(), order.at(click.second));
        QVERIFY(button->isChecked());
    }
    for (int i = 0; i < order.size(); ++i)
        QCOMPARE(stack->widget(i)->objectName(), order.at(i));
    QCOMPARE(addMacroButtons.count(), 1);  // only the button page's button refreshes the macro buttons

    page->findChild<QToolButton *>("MacroButton")->click();
    PostMsg::GetInstance()->EmitSecondPageChange();
    QCOMPARE(stack->currentIndex(), 0);
    QVERIFY(page->findChild<QToolButton *>("ButtonMain")->isChecked());
    QCOMPARE(addMacroButtons.count(), 1);
}

namespace {
// Messages come from the worker's thread too.
std::mutex g_messagesLock;
QStringList g_messages;
void RecordMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    const std::lock_guard<std::mutex> lock(g_messagesLock);
    g_messages << message;
}
QStringList RecordedMessages()
{
    const std::lock_guard<std::mutex> lock(g_messagesLock);
    return g_messages;
}
}  // namespace

// The frame owns the worker: closing it while a pass waits in a blocking
// emit to its button page lets the pass end first.
void TestDevicePage::destructorReleasesAWaitingWorkerPass()
{
    // Offline, with no cached image: the pass asks the pages to reset and
    // waits in that blocking emit until the GUI thread serves it.
    std::atomic<bool> emitted{false};
    QObject watcher;
    const auto watch = connect(PostMsg::GetInstance(), &PostMsg::SigFormReset, &watcher,
                               [&emitted] { emitted = true; }, Qt::DirectConnection);
    MakePage();  // shown: the button page is built
    SetCurrentPath("no-such-device");
    DeviceAllInfo gone;
    gone.Path = "no-such-device";
    g_CurrentDevice.Set(gone);
    g_LoadCacheName.Set(QString());
    g_SessionActive = 1;
    g_WorkerRun = 1;
    QPointer<Worker> worker = g_Worker;
    QVERIFY(worker);
    worker->start();
    // No event is processed from here on, so the pass stays parked.
    for (int i = 0; i < 5000 && !emitted; ++i)
        QThread::msleep(1);
    QVERIFY(emitted);
    QThread::msleep(20);
    QVERIFY(worker->isRunning());

    {
        const std::lock_guard<std::mutex> lock(g_messagesLock);
        g_messages.clear();
    }
    const QtMessageHandler previous = qInstallMessageHandler(RecordMessage);
    m_page.reset();
    qInstallMessageHandler(previous);

    // The pass ended while the frame waited for it, not after giving up.
    QVERIFY(worker->isFinished());
    const QStringList messages = RecordedMessages();
    QVERIFY2(messages.filter("did not end").isEmpty(), qPrintable(messages.join('\n')));
    QCOMPARE(g_Worker, nullptr);
    disconnect(watch);
    g_SessionActive = 0;
    g_WaitOnline = 0;
    QTRY_VERIFY(worker.isNull());  // deleted once the event loop runs
}

void TestDevicePage::battery_data()
{
    QTest::addColumn<bool>("charging");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("withPercent");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("barColour");

    QTest::newRow("low, charging, with percent") << true << 15 << true << "15%" << "rgb(152, 43, 34)";
    QTest::newRow("16 is no longer low") << false << 16 << false << "16" << "rgb(0, 255, 153)";
}

void TestDevicePage::battery()
{
    QFETCH(bool, charging);
    QFETCH(int, level);
    QFETCH(bool, withPercent);
    QFETCH(QString, text);
    QFETCH(QString, barColour);
    Dialog *page = MakePage();
    auto *label = page->findChild<QLabel *>("label_2");
    auto *chargingMark = page->findChild<QLabel *>("label");
    auto *bar = page->findChild<QProgressBar *>("progressBar");
    // Nothing reported yet: no figure, no charging mark, an empty bar.
    QCOMPARE(label->text(), QString());
    QVERIFY(chargingMark->isHidden());
    QCOMPARE(bar->value(), 0);

    // As the data callback does it: from another thread, waiting for the page.
    BeginConnection(DeviceAllInfo(), QByteArray());
    const quint64 serial = OpenedConnection().serial;
    const auto report = [](bool charging, int level, bool withPercent, quint64 serial) {
        std::atomic<bool> returned{false};
        std::thread reporter([&] {
            PostMsg::GetInstance()->EmitBattery(charging, level, withPercent, serial);
            returned = true;
        });
        QVERIFY(TestSupport::WaitFor([&] { return returned.load(); }));
        reporter.join();
    };
    report(charging, level, withPercent, serial);

    QCOMPARE(label->text(), text);
    QCOMPARE(chargingMark->isVisible(), charging);
    QCOMPARE(bar->value(), level);
    QVERIFY2(bar->styleSheet().contains("::chunk {background-color: " + barColour), qPrintable(bar->styleSheet()));

    // A report of the previous connection (another mouse) changes nothing.
    BeginConnection(DeviceAllInfo(), QByteArray());
    report(!charging, 50, withPercent, serial);
    QCOMPARE(label->text(), text);
    QCOMPARE(bar->value(), level);
}

void TestDevicePage::startRecord_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("then");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("0 locks the navigation") << 0 << -1 << false;
    QTest::newRow("1 frees it again") << 0 << 1 << true;
    QTest::newRow("2 changes nothing") << 0 << 2 << false;
}

void TestDevicePage::startRecord()
{
    QFETCH(int, first);
    QFETCH(int, then);
    QFETCH(bool, enabled);
    Dialog *page = MakePage();

    PostMsg::GetInstance()->EmitStartRecord(first);
    if (then >= 0)
        PostMsg::GetInstance()->EmitStartRecord(then);

    for (const char *name : {"ButtonMain", "MacroButton", "LightsButton", "SensorButton", "FormSetting"})
        QCOMPARE(page->findChild<QToolButton *>(name)->isEnabled(), enabled);
    for (const char *name : {"UpArrow", "MinButton", "CloseButton"})
        QVERIFY(page->findChild<QToolButton *>(name)->isEnabled());
}

void TestDevicePage::backArrowOrder()
{
    Dialog *page = MakePage();
    g_LoadCacheName.Set(kModelCache);
    g_SaveCacheName.Set(kModelCache);
    QStringList order;
    auto note = [&order](const QString &what) {
        for (const QString &call : ShutdownCalls()) {
            if (!order.contains(call))
                order << call;
        }
        if (!order.contains("cache file") && QFile::exists(CachePath(kModelCache)))
            order << "cache file";
        order << what;
    };
    QTimer::singleShot(0, page, [&] { note("events served"); });  // runs inside the page's event wait
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog, page, [&](int index) {
        note(QString("SigChangeMainDialog(%1)").arg(index));
    });
    connect(PostMsg::GetInstance(), &PostMsg::SigSetMacroPage, page, [&] { note("SigSetMacroPage"); });
    page->findChild<QToolButton *>("SensorButton")->click();

    page->findChild<QToolButton *>("UpArrow")->click();

    QCOMPARE(order, (QStringList{"UsbServer_SetPCDriverStatus(0)", "cache file", "events served", "UsbServer_Exit",
                                 "SigChangeMainDialog(0)", "SigSetMacroPage"}));
    QVERIFY(page->findChild<QToolButton *>("ButtonMain")->isChecked());
}

void TestDevicePage::cacheSavedOnlyForTheSelectedModel_data()
{
    QTest::addColumn<QString>("saveName");
    QTest::addColumn<QString>("loadName");
    QTest::addColumn<bool>("saved");

    QTest::newRow("the selected model's image") << kModelCache << kModelCache << true;
    QTest::newRow("the last image was another model's") << kModelCache << "Device_CID12_MID03.bin" << false;
    QTest::newRow("no image arrived yet") << "" << kModelCache << false;
}

void TestDevicePage::cacheSavedOnlyForTheSelectedModel()
{
    QFETCH(QString, saveName);
    QFETCH(QString, loadName);
    QFETCH(bool, saved);
    Dialog *page = MakePage();
    const FlashDataMap image = PatternImage(3);
    StoreImage(image);
    g_SaveCacheName.Set(saveName);
    g_LoadCacheName.Set(loadName);
    QSignalSpy changeSize(PostMsg::GetInstance(), &PostMsg::SigChangeSize);

    page->findChild<QToolButton *>("CloseButton")->click();

    QCOMPARE(changeSize.count(), 1);
    QCOMPARE(changeSize.first().first().toInt(), 1);
    QCOMPARE(QFile::exists(CachePath(saveName.isEmpty() ? kModelCache : saveName)), saved);
    if (saved) {
        FlashDataMap loaded{};
        QVERIFY(LoadDeviceCache(saveName, &loaded));
        QVERIFY(std::memcmp(&loaded, &image, sizeof image) == 0);
    }
}

void TestDevicePage::popupOutcomes_data()
{
    QTest::addColumn<int>("request");       // SigUpDataParam argument
    QTest::addColumn<bool>("imageArrived");  // g_DeviceDataReady
    QTest::addColumn<bool>("pagesConfirm");
    QTest::addColumn<bool>("cacheBefore");
    QTest::addColumn<QList<int>>("notices");  // SigMouseOffLineo arguments
    QTest::addColumn<bool>("cachedImageSent");
    QTest::addColumn<bool>("cacheAfter");

    QTest::newRow("read, pages filled: first read creates the cache")
        << 0 << true << true << false << QList<int>{} << false << true;
    QTest::newRow("read, pages filled, cache exists") << 0 << true << true << true << QList<int>{} << false << true;
    QTest::newRow("read, pages silent: time-out notice") << 0 << true << false << false << QList<int>{1} << false
                                                         << true;
    QTest::newRow("device offline, cache: pages from the cache") << 0 << false << false << true << QList<int>{0}
                                                                 << true << true;
    QTest::newRow("device offline, no cache") << 0 << false << false << false << QList<int>{0} << false << false;
    QTest::newRow("re-read, pages filled") << 1 << true << true << false << QList<int>{} << false << false;
    QTest::newRow("re-read, pages silent") << 1 << true << false << false << QList<int>{0} << false << false;
}

void TestDevicePage::popupOutcomes()
{
    const TestSupport::ShorterWaits shorter;  // only the popup's outcome counts
    QFETCH(int, request);
    QFETCH(bool, imageArrived);
    QFETCH(bool, pagesConfirm);
    QFETCH(bool, cacheBefore);
    QFETCH(QList<int>, notices);
    QFETCH(bool, cachedImageSent);
    QFETCH(bool, cacheAfter);
    Dialog *page = MakePage();
    const FlashDataMap cached = PatternImage(9);
    if (cacheBefore)
        QVERIFY(SaveDeviceCache(kModelCache, cached));
    StoreImage(PatternImage(1));
    g_LoadCacheName.Set(kModelCache);
    g_SaveCacheName.Set(kModelCache);
    g_DeviceOnline = imageArrived ? 1 : 0;
    g_DeviceDataReady = imageArrived ? 1 : 0;
    g_SensorFilled = pagesConfirm ? 1 : 0;
    g_ButtonFilled = pagesConfirm ? 1 : 0;
    PostMsg *hub = PostMsg::GetInstance();
    QSignalSpy offline(hub, &PostMsg::SigMouseOffLineo);
    QSignalSpy setver(hub, &PostMsg::SigSetver);
    QSignalSpy formB(hub, &PostMsg::SigFormB);
    FlashDataMap sentToButtons{};
    int buttonFills = 0;
    connect(hub, &PostMsg::SigUpDataButtonUIC, page, [&](FlashDataMap image) {
        sentToButtons = image;
        ++buttonFills;
    });
    bool popupShownOverPage = false;
    QTimer::singleShot(0, page, [&] {
        UpDataParam *popup = page->WaitPopup();
        popupShownOverPage = popup->isVisible() && popup->pos() == PlaceOver(page, popup->size(), 0, -20);
    });

    hub->EmitUpDataParam(request);  // returns when the popup has closed

    QVERIFY(popupShownOverPage);
    QVERIFY(!page->WaitPopup()->isVisible());
    QCOMPARE(setver.count(), 1);
    QCOMPARE(setver.first().first().toInt(), 4);
    QList<int> shown;
    for (const QList<QVariant> &args : offline)
        shown << args.first().toInt();
    QCOMPARE(shown, notices);
    QCOMPARE(buttonFills, cachedImageSent ? 1 : 0);
    QCOMPARE(formB.count(), cachedImageSent ? 1 : 0);
    if (cachedImageSent)
        QVERIFY(std::memcmp(&sentToButtons, &cached, sizeof cached) == 0);
    QCOMPARE(QFile::exists(CachePath(kModelCache)), cacheAfter);
    // A read clears the confirmations it waited for; a re-read leaves them.
    const bool cleared = request == 0 && imageArrived && pagesConfirm;
    QCOMPARE(int(g_SensorFilled), pagesConfirm && !cleared ? 1 : 0);
    QCOMPARE(page->WaitPopup()->resetWaitMode, false);
}

// After a read or a re-read the popup closes as soon as both pages confirm a
// fill made after it opened, by the same steps as at the end of its wait; a
// confirmation left from earlier, or from one page only, leaves it to its
// timer, and so does an import.
void TestDevicePage::popupEndsOnAFillAfterItOpened_data()
{
    QTest::addColumn<int>("request");  // SigUpDataParam argument; -1: an import popup
    QTest::addColumn<bool>("flagsLeftSet");
    QTest::addColumn<bool>("sensorFills");
    QTest::addColumn<bool>("buttonFills");
    QTest::addColumn<bool>("early");

    QTest::newRow("read, both pages fill") << 0 << false << true << true << true;
    QTest::newRow("read, only the sensor page fills") << 0 << false << true << false << false;
    QTest::newRow("read, confirmations left from before") << 0 << true << false << false << false;
    QTest::newRow("re-read, both pages fill") << 1 << false << true << true << true;
    QTest::newRow("import, both pages fill") << -1 << false << true << true << false;
}

void TestDevicePage::popupEndsOnAFillAfterItOpened()
{
    QFETCH(int, request);
    QFETCH(bool, flagsLeftSet);
    QFETCH(bool, sensorFills);
    QFETCH(bool, buttonFills);
    QFETCH(bool, early);
    // The popup's timer runs unscaled until the case holds it on its own
    // clock; from then on the rest of the wait only counts by its outcome.
    const TestSupport::ShorterWaits unscaled(1);
    Dialog *page = MakePage();
    g_LoadCacheName.Set(kModelCache);
    g_SaveCacheName.Set(kModelCache);
    g_DeviceOnline = 1;
    g_DeviceDataReady = 1;
    g_SensorFilled = flagsLeftSet ? 1 : 0;
    g_ButtonFilled = flagsLeftSet ? 1 : 0;
    ModalWatcher recorder({}, {"UpDataParam"});
    UpDataParam importPopup;
    // The page's own popup is built when it first shows.
    UpDataParam *popup = request < 0 ? &importPopup : nullptr;
    QTimer *timer = nullptr;
    std::unique_ptr<QSignalSpy> timeouts;
    QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
    SteppedClock clock;
    int waitMs = 0;
    int timeoutsBeforeItsEnd = -1;
    bool openBeforeItsEnd = false;
    // Once the popup is up its timer goes onto the clock and the pages
    // confirm, as their fills do. After the popup has seen the confirmations
    // (its check is queued before this case's own look), the clock moves to
    // one millisecond before the timer's end, then onto it.
    QTimer::singleShot(0, page, [&] {
        if (!popup)
            popup = page->WaitPopup();
        timer = popup->findChild<QTimer *>();
        timeouts = std::make_unique<QSignalSpy>(timer, &QTimer::timeout);
        waitMs = timer->interval();
        clock.Hold(timer);
        Waits::SetDivisor(100);
        if (sensorFills)
            g_SensorFilled = 1;
        if (buttonFills)
            g_ButtonFilled = 1;
        QMetaObject::invokeMethod(
            page,
            [&] {
                clock.Advance(waitMs - 1);
                timeoutsBeforeItsEnd = timeouts->count();
                openBeforeItsEnd = popup->isVisible();
                clock.Advance(1);
            },
            Qt::QueuedConnection);
    });

    if (request < 0) {
        popup->StartWaitTimer();
        popup->importMode = true;
        popup->importPath = m_files.filePath("missing.bin");
        popup->exec();
    } else {
        PostMsg::GetInstance()->EmitUpDataParam(request);
    }

    QCOMPARE(waitMs, 4500);
    QVERIFY(!popup->isVisible());
    QCOMPARE(timeoutsBeforeItsEnd, 0);
    if (!early)
        QVERIFY(openBeforeItsEnd);
    QCOMPARE(timeouts->count(), early ? 0 : 1);
    if (request == 0 && early) {
        QVERIFY(notices.isEmpty());
        QCOMPARE(int(g_SensorFilled), 0);  // seen and cleared, as at the end of the wait
        QVERIFY(QFile::exists(CachePath(kModelCache)));
    }
}

void TestDevicePage::secondRequestWhilePopupIsOpenIsIgnored()
{
    const TestSupport::ShorterWaits shorter;  // only the popup's outcome counts
    Dialog *page = MakePage();
    g_DeviceDataReady = 1;
    g_SensorFilled = 1;
    g_ButtonFilled = 1;
    bool resetModeAfterSecond = true;
    QTimer::singleShot(0, page, [&] {
        PostMsg::GetInstance()->EmitUpDataParam(1);
        resetModeAfterSecond = page->WaitPopup()->resetWaitMode;
    });

    PostMsg::GetInstance()->EmitUpDataParam(0);

    QVERIFY(!resetModeAfterSecond);
    QCOMPARE(int(g_SensorFilled), 0);  // the first request's read outcome, not a re-read wait
}

void TestDevicePage::importCheck_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("imageSize");
    QTest::addColumn<int>("levelCountOverMax");  // level count minus DPIMaxGrade
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("outWritten");

    const QString own = Drive2("Sensor");
    QTest::newRow("fits") << QByteArray("Qelvo") << own << kFlashDataMapSize << 0 << 0 << true;
    QTest::newRow("wrong tag") << QByteArray("Qelvx") << own << kFlashDataMapSize << 0 << 1 << false;
    QTest::newRow("another sensor") << QByteArray("Qelvo") << "3950" << kFlashDataMapSize << 0 << 2 << false;
    QTest::newRow("empty sensor block") << QByteArray("Qelvo") << "" << kFlashDataMapSize << 0 << 2 << false;
    QTest::newRow("one level too many") << QByteArray("Qelvo") << own << kFlashDataMapSize << 1 << 2 << true;
    QTest::newRow("image block cut short") << QByteArray("Qelvo") << own << 5000 << 0 << 1 << false;
    QTest::newRow("image block too long") << QByteArray("Qelvo") << own << kFlashDataMapSize + 4 << 0 << 1 << false;
}

void TestDevicePage::importCheck()
{
    QFETCH(QByteArray, tag);
    QFETCH(QString, sensor);
    QFETCH(int, imageSize);
    QFETCH(int, levelCountOverMax);
    QFETCH(int, result);
    QFETCH(bool, outWritten);
    FlashDataMap image = PatternImage(5);
    image.DpiLevelCount = uint8_t(Drive2("DPIMaxGrade").toInt() + levelCountOverMax);
    QByteArray imageBytes = ImageBytes(image);
    imageBytes = imageBytes.leftJustified(imageSize, '\x11', true);
    const QString path = m_files.filePath("settings.bin");
    WriteSettingsFile(path, Block12(tag), Block12(sensor.toLatin1()), imageBytes);
    FlashDataMap out{};
    std::memset(&out, 0xEE, sizeof out);
    const FlashDataMap before = out;

    QCOMPARE(UpDataParam::CheckImportFile(path, &out), result);

    QCOMPARE(std::memcmp(&out, outWritten ? &image : &before, sizeof out) == 0, true);
}

void TestDevicePage::importAppliesOrExplains_data()
{
    QTest::addColumn<bool>("fits");
    QTest::newRow("a file that fits is applied") << true;
    QTest::newRow("a file of another model is explained") << false;
}

void TestDevicePage::importAppliesOrExplains()
{
    const TestSupport::ShorterWaits shorter;  // only the popup's outcome counts
    QFETCH(bool, fits);
    const FlashDataMap image = PatternImage(7);
    const QString path = m_files.filePath("import.bin");
    WriteSettingsFile(path, Block12("Qelvo"), Block12(fits ? Drive2("Sensor").toLatin1() : "3950"),
                      ImageBytes(image));
    MakePage();  // the pages that the popup fills
    QVERIFY(TestSupport::OpenAsCurrentDevice("r4k"));  // its mouse takes the import
    g_CurrentDevice.Update([&](DeviceAllInfo &d) { d.DriveIndex = 1; });
    StoreImage(PatternImage(2));
    HidSim::ClearCallLog();
    const FlashDataMap before = ReadImage();
    QSignalSpy buttonFill(PostMsg::GetInstance(), &PostMsg::SigUpDataButtonUIC);
    QSignalSpy sensorFill(PostMsg::GetInstance(), &PostMsg::SigUpDataSensorUIB);
    ModalWatcher recorder({}, {"UpDataParam"});
    g_ImportRunning = 1;
    UpDataParam popup;
    popup.StartWaitTimer();
    popup.importMode = true;
    popup.importPath = path;

    popup.exec();
    g_ImportRunning = 0;

    const FlashDataMap now = ReadImage();
    QCOMPARE(std::memcmp(&now, fits ? &image : &before, sizeof now) == 0, true);
    QCOMPARE(Calls({"ProtocolDataUpdate"}).size(), fits ? 1 : 0);
    QCOMPARE(buttonFill.count(), fits ? 1 : 0);
    QCOMPARE(sensorFill.count(), fits ? 1 : 0);
    QCOMPARE(recorder.Classes(), fits ? QStringList{} : QStringList{"InportFail"});
    QCOMPARE(g_ImportCheckResult, fits ? 0 : 2);
    QVERIFY(!popup.importMode);
}

VOGM_TEST_MAIN(TestDevicePage)
#include "tst_devicepage.moc"
