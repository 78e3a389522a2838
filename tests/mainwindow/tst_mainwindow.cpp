// The main window: page switching, hiding and closing with their library
// calls, the tray, the offline notice, the language-index migration, window
// dragging and the keys, with the Space key's pairing and repair decision.

#include "compiledresources.h"
#include "configini.h"
#include "dialog.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "firmwareimages.h"
#include "formsetting.h"
#include "languagereader.h"
#include "macroini.h"
#include "mainwindowkit.h"
#include "match.h"
#include "pagebackground.h"
#include "picturecache.h"
#include "postmsg.h"
#include "registrystore.h"
#include "testsupport.h"
#include "updaterepair.h"
#include "updataparam.h"
#include "worker.h"
#include "worldfixtures.h"

#include <QAction>
#include <QFrame>
#include <QPixmap>
#include <QPixmapCache>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace MainWindowKit;

namespace {

constexpr int kSelectionPage = 0;
constexpr int kDevicePage = 1;

// A program folder whose bin/ holds only the firmware images a case asks for;
// everything else is the staged folder's.
class FixtureProgramFolder
{
public:
    FixtureProgramFolder() : m_staged(QString::fromLocal8Bit(qgetenv("VOGM_APP_DIR")))
    {
        for (const char *entry : {"Language", "Picture", "usersetting", "driver_sensor.h"})
            QFile::link(m_staged + "/" + entry, m_dir.path() + "/" + QLatin1String(entry));
        QDir(m_dir.path()).mkpath("bin");
        qputenv("VOGM_APP_DIR", m_dir.path().toLocal8Bit());
    }
    ~FixtureProgramFolder() { qputenv("VOGM_APP_DIR", m_staged.toLocal8Bit()); }

    void AddImage(const QString &file, uint8_t target, const QString &modelName, uint32_t version)
    {
        FirmwareHeader header;
        header.Version = version;
        header.Target = target;
        header.Cid = 18;
        header.Mid = 2;
        header.ModelName = modelName.toLatin1();
        QFile out(m_dir.path() + "/bin/" + file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(header.MakeImage(QByteArray(256, '\x5A')));
    }

private:
    QString m_staged;
    QTemporaryDir m_dir;
};

QString ConfigValue(const QString &group, const QString &key)
{
    return ConfigIni::GetInstance()->Value(group, key);
}

// The wireless Drive2 mouse behind the 4 kHz receiver, as the selection page lists it.
DeviceAllInfo ListedReceiverMouse()
{
    DeviceAllInfo device;
    device.Path = QString::fromLatin1(HidSim::PathOf("r4k"));
    device.Vid = "0xFF5C";
    device.Pid = "0xFF14";
    device.Cid = 18;
    device.Mid = 2;
    device.LinkType = 1;
    device.DriveIndex = 1;
    device.Online = true;
    device.Wired = false;
    device.UsbVersion = "v1.1";
    return device;
}

QString Text(const QString &element, const QString &tag, int language)
{
    QString text;
    LanguageReader(element, {{tag, StoreTarget(&text)}}).Load(language);
    return text;
}

void SendMouse(QWidget *window, QEvent::Type type, const QPoint &global, Qt::MouseButtons buttons)
{
    const QPoint local = window->mapFromGlobal(global);
    QMouseEvent event(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
}

}  // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formPicturesExist();
    void devicePageComesAfterTheFirstPaint_data();
    void devicePageComesAfterTheFirstPaint();
    void pageBackgroundsArePaintedFromSharedPictures();
    void hideAndOtherSizeRequests_data();
    void hideAndOtherSizeRequests();
    void closeSequencesEndTheProgram_data();
    void closeSequencesEndTheProgram();
    void dialogClosedWhileHiddenKeepsTheProgram_data();
    void dialogClosedWhileHiddenKeepsTheProgram();
    void offlineNotice();
    void trayActivation_data();
    void trayActivation();
    void trayMenuIsReplacedAtEveryHide();
    void minimisedWithoutTrayReattachesOnRestore();
    void pageSwitch_data();
    void pageSwitch();
    void languageIndexMigration_data();
    void languageIndexMigration();
    void dragging_data();
    void dragging();
    void keys_data();
    void keys();
    void spaceOnSelectionPage_data();
    void spaceOnSelectionPage();
    void spaceOnDevicePageFollowsTheMouseAgain();

private:
    DialogMain *MakeWindow();
    void ShowDevicePage();

    std::unique_ptr<DialogMain> m_window;
    // The cases look at the order of the window's timed steps, not their length.
    TestSupport::ShorterWaits m_shorterWaits;
};

void TestMainWindow::initTestCase()
{
    HidSim::SetWorld(Fixtures::FastDefaultWorld());
}

void TestMainWindow::init()
{
    ResetSharedState();
    DialogMain::SetTrayUse(DialogMain::TrayUse::Tray);
    MacroIni::GetInstance()->Remove("Language", "Language");
    RegistryStore().Remove(RegistryStore::ProductKey(), RegistryStore::kLanguageIndex);
}

void TestMainWindow::cleanup()
{
    m_window.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    HidSim::WaitUntilIdle();
}

DialogMain *TestMainWindow::MakeWindow()
{
    m_window = std::make_unique<DialogMain>();
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        qWarning("main window not exposed");
    // The selection page's callback has had its first call.
    HidSim::WaitUntilIdle();
    HidSim::ClearCallLog();
    return m_window.get();
}

void TestMainWindow::ShowDevicePage()
{
    m_window->SlotChangeMainDialog(kDevicePage);
    HidSim::WaitUntilIdle();
    HidSim::ClearCallLog();
}

void TestMainWindow::formPicturesExist()
{
    LoadCompiledResources();  // as the program does at start: the section marker the forms compile in
    DialogMain *window = MakeWindow();
    // Every page of the device page, each built when first chosen.
    Dialog *devicePage = window->DevicePage();
    for (const char *navigation : {"SensorButton", "MacroButton", "FormSetting", "ButtonMain"})
        devicePage->findChild<QToolButton *>(navigation)->click();
    UpDataParam waitPopup(nullptr);
    Match match;
    QStringList pictures = TestSupport::PicturesNamed(window);
    for (const QWidget *root : {static_cast<const QWidget *>(SharedRepairDialog()),
                                static_cast<const QWidget *>(&waitPopup),
                                static_cast<const QWidget *>(&match)})
        pictures << TestSupport::PicturesNamed(root);
    for (const QString &path : qAsConst(pictures))
        QVERIFY2(QFile::exists(path), qPrintable("a style sheet names a missing picture " + path));
    QVERIFY(pictures.size() > 30);
}

// The device page is built after the window's first paint, or at once when
// something needs it earlier: a hub signal (every tile click starts with
// one), the switch to the page, or a caller asking for it.
void TestMainWindow::devicePageComesAfterTheFirstPaint_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("the first paint") << "paint";
    QTest::newRow("a hub signal") << "signal";
    QTest::newRow("the switch to the device page") << "switch";
    QTest::newRow("asked for") << "asked";
}

void TestMainWindow::devicePageComesAfterTheFirstPaint()
{
    QFETCH(QString, trigger);
    m_window = std::make_unique<DialogMain>();
    DialogMain *window = m_window.get();
    QVERIFY(!window->DevicePageBuilt());

    if (trigger == "paint") {
        bool builtAtFirstPaint = true;
        bool painted = false;
        struct PaintWatch : QObject {
            std::function<void()> onPaint;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::Paint && onPaint) {
                    onPaint();
                    onPaint = nullptr;
                }
                return false;
            }
        } watch;
        watch.onPaint = [&] {
            painted = true;
            builtAtFirstPaint = window->DevicePageBuilt();
        };
        window->installEventFilter(&watch);
        window->show();
        QVERIFY(QTest::qWaitFor([&] { return window->DevicePageBuilt(); }, TestSupport::kHangGuardMs));
        window->removeEventFilter(&watch);
        QVERIFY(painted);
        QVERIFY(!builtAtFirstPaint);
    } else if (trigger == "signal") {
        QSignalSpy versions(PostMsg::GetInstance(), &PostMsg::SigSetver);
        PostMsg::GetInstance()->EmitSetver(6);
        QVERIFY(window->DevicePageBuilt());
        QCOMPARE(versions.count(), 1);
    } else if (trigger == "switch") {
        window->SlotChangeMainDialog(kDevicePage);
        QVERIFY(window->DevicePageBuilt());
        QCOMPARE(window->CurrentPage(), kDevicePage);
    } else {
        QVERIFY(window->DevicePage());
        QVERIFY(window->DevicePageBuilt());
    }
    // Built once, as a frame with the worker: its pages and popup come when first shown.
    Dialog *page = window->DevicePage();
    QVERIFY(!page->WaitPopupBuilt());
    for (int index = 0; index < Dialog::kPageCount; ++index)
        QVERIFY(!page->BuiltPage(index));
    QVERIFY(g_Worker);
    QCOMPARE(window->findChildren<Dialog *>().size(), 1);
}

// The two full-window backgrounds are painted, not kept as pictures: no
// frame's style sheet names a picture, the window under them fills nothing
// first, and the two small pictures they draw are decoded once and shared,
// so a switch to the device page and back decodes nothing again.
void TestMainWindow::pageBackgroundsArePaintedFromSharedPictures()
{
    QPixmapCache::clear();  // nothing left from the windows of earlier cases
    DialogMain *window = MakeWindow();
    QVERIFY(window->testAttribute(Qt::WA_OpaquePaintEvent));
    const QString brandPath = PageBackground::BrandPath(TestSupport::AppFolder() + "/Picture/");
    const auto isAccent = [](const QImage &image, const QPoint &at) {
        const QColor colour = image.pixelColor(at);
        return colour.red() > colour.blue() + 50;
    };
    auto *listFrame = window->SelectionPage()->findChild<QFrame *>("frameChange");
    QVERIFY(!listFrame->styleSheet().contains("url("));
    // The accent hairline under the title bar.
    QVERIFY(isAccent(listFrame->grab().toImage(), QPoint(510, 50)));
    const qint64 brand = PictureCache::Get(brandPath).cacheKey();

    ShowDevicePage();
    auto *pageFrame = window->DevicePage()->findChild<QFrame *>("frame_2");
    QVERIFY(!pageFrame->styleSheet().contains("url("));
    // The accent hairline under the navigation bar.
    QVERIFY(isAccent(pageFrame->grab().toImage(), QPoint(420, 99)));
    window->SlotChangeMainDialog(kSelectionPage);
    listFrame->grab();
    QCOMPARE(PictureCache::Get(brandPath).cacheKey(), brand);
}

void TestMainWindow::hideAndOtherSizeRequests_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("hidden");

    QTest::newRow("0 hides from the device page") << 0 << QStringList{"UsbServer_SetPCDriverStatus(0)"} << true;
    QTest::newRow("2 hides from the selection page") << 2 << QStringList{} << true;
    QTest::newRow("5 does nothing") << 5 << QStringList{} << false;
    QTest::newRow("-1 does nothing") << -1 << QStringList{} << false;
}

void TestMainWindow::hideAndOtherSizeRequests()
{
    QFETCH(int, index);
    QFETCH(QStringList, calls);
    QFETCH(bool, hidden);
    DialogMain *window = MakeWindow();

    PostMsg::GetInstance()->EmitChangeSize(index);

    QCOMPARE(ShutdownCalls(), calls);
    QCOMPARE(window->isHidden(), hidden);
    QCOMPARE(window->TrayIcon()->isVisible(), hidden);
    if (hidden) {
        QMenu *menu = window->TrayMenu();
        QVERIFY(menu);
        QCOMPARE(window->TrayIcon()->contextMenu(), menu);
        QStringList items;
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator())
                items << action->text();
        }
        QCOMPARE(items, (QStringList{Text("DialogMain", "MainForm", 0), Text("DialogMain", "Exit", 0)}));
        QVERIFY(!items.first().isEmpty());
    }
}

void TestMainWindow::closeSequencesEndTheProgram_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("cacheSaved");
    const QStringList fromDevicePage{"UsbServer_SetPCDriverStatus(0)", "StopUsbChanged", "UsbServer_Exit"};
    const QStringList fromSelectionPage{"StopUsbChanged", "UsbServer_Exit"};

    QTest::newRow("1: close from the device page") << kDevicePage << "1" << fromDevicePage << false;
    QTest::newRow("3: close from the selection page") << kSelectionPage << "3" << fromSelectionPage << false;
    QTest::newRow("device page's close button") << kDevicePage << "button" << fromDevicePage << true;
    QTest::newRow("tray exit on the device page") << kDevicePage << "exit" << fromDevicePage << true;
    QTest::newRow("tray exit on the selection page") << kSelectionPage << "exit" << fromSelectionPage << false;
    QTest::newRow("window manager close on the device page") << kDevicePage << "wm" << fromDevicePage << true;
}

void TestMainWindow::closeSequencesEndTheProgram()
{
    QFETCH(int, page);
    QFETCH(QString, trigger);
    QFETCH(QStringList, calls);
    QFETCH(bool, cacheSaved);
    DialogMain *window = MakeWindow();
    if (page == kDevicePage)
        ShowDevicePage();
    // The image of the selected model is saved on the way out through the device page.
    const QString cacheName = "Device_CID12_MID02.bin";
    QFile::remove(TestSupport::BaseFolder() + "/Device_Info/" + cacheName);
    g_LoadCacheName.Set(cacheName);
    g_SaveCacheName.Set(cacheName);

    QTimer::singleShot(0, window, [window, trigger, page] {
        if (trigger == "exit") {
            // The exit item lives in the tray menu.
            PostMsg::GetInstance()->EmitChangeSize(page == kDevicePage ? 0 : 2);
            window->TrayMenu()->actions().last()->trigger();
        } else if (trigger == "button") {
            window->DevicePage()->findChild<QToolButton *>("CloseButton")->click();
        } else if (trigger == "wm") {
            QCloseEvent event;
            QCoreApplication::sendEvent(window, &event);
        } else {
            PostMsg::GetInstance()->EmitChangeSize(trigger.toInt());
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(TestSupport::kHangGuardMs);
    const int exitCode = QCoreApplication::exec();
    guard.stop();

    QCOMPARE(exitCode, 0);
    if (trigger == "exit" && page == kDevicePage)
        calls.prepend("UsbServer_SetPCDriverStatus(0)");  // the hide to the tray that showed the menu
    QCOMPARE(ShutdownCalls(), calls);
    QVERIFY(!window->isVisible());
    QVERIFY(!window->TrayIcon()->isVisible());
    QCOMPARE(QFile::exists(TestSupport::BaseFolder() + "/Device_Info/" + cacheName), cacheSaved);
}

void TestMainWindow::dialogClosedWhileHiddenKeepsTheProgram_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::newRow("offline notice") << "MouseOffLine";
    QTest::newRow("repair dialog (a plain window)") << "UpDateRepair";
}

void TestMainWindow::dialogClosedWhileHiddenKeepsTheProgram()
{
    QFETCH(QString, dialog);
    DialogMain *window = MakeWindow();
    ModalWatcher recorder;
    recorder.inspect = [](QWidget *modal) { modal->close(); };
    QTimer::singleShot(0, window, [window, dialog] {
        // Hidden as in a tray that shows no window of the program's own.
        window->hide();
        if (dialog == "MouseOffLine") {
            PostMsg::GetInstance()->EmitMouseOffLineo(0);
        } else {
            UpDateRepair repair;
            repair.exec();
        }
        // Closing the program's last visible window would have posted its
        // quit by now: this exit comes after it.
        QMetaObject::invokeMethod(
            window, [] { QCoreApplication::exit(42); }, Qt::QueuedConnection);
    });
    // Only against a hang; it goes with the case.
    QTimer guard;
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(TestSupport::kHangGuardMs);
    const int exitCode = QCoreApplication::exec();

    QCOMPARE(recorder.Classes(), QStringList{dialog});
    QCOMPARE(exitCode, 42);  // not ended by the closing dialog
    QVERIFY(window->isHidden());
}

void TestMainWindow::offlineNotice()
{
    DialogMain *window = MakeWindow();
    ModalWatcher recorder;
    PostMsg::GetInstance()->EmitMouseOffLineo(1);

    QCOMPARE(recorder.Classes(), QStringList{"MouseOffLine"});
    QCOMPARE(recorder.seen.first().pos, PlaceOver(window, recorder.seen.first().size, 0, -20));
    QCOMPARE(g_OfflineNoticeKind, 1);
    QCOMPARE(int(g_WaitOnline), 1);
    QCOMPARE(int(g_RestartWorker), 1);
}

void TestMainWindow::trayActivation_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("single click on the device page") << kDevicePage << "Trigger"
                                                     << QStringList{"UsbServer_SetPCDriverStatus(1)"};
    QTest::newRow("menu's first item on the device page") << kDevicePage << "menu"
                                                          << QStringList{"UsbServer_SetPCDriverStatus(1)"};
    QTest::newRow("double click on the device page") << kDevicePage << "DoubleClick" << QStringList{};
    QTest::newRow("single click on the selection page") << kSelectionPage << "Trigger" << QStringList{};
}

void TestMainWindow::trayActivation()
{
    QFETCH(int, page);
    QFETCH(QString, how);
    QFETCH(QStringList, calls);
    DialogMain *window = MakeWindow();
    if (page == kDevicePage)
        ShowDevicePage();
    PostMsg::GetInstance()->EmitChangeSize(page == kDevicePage ? 0 : 2);
    QVERIFY(window->isHidden());
    HidSim::ClearCallLog();

    if (how == "menu")
        window->TrayMenu()->actions().first()->trigger();
    else
        emit window->TrayIcon()->activated(how == "Trigger" ? QSystemTrayIcon::Trigger : QSystemTrayIcon::DoubleClick);

    QCOMPARE(ShutdownCalls(), calls);
    QVERIFY(window->isVisible());
    QVERIFY(!window->TrayIcon()->isVisible());
}

void TestMainWindow::trayMenuIsReplacedAtEveryHide()
{
    DialogMain *window = MakeWindow();
    PostMsg::GetInstance()->EmitChangeSize(2);
    QPointer<QMenu> first = window->TrayMenu();
    emit window->TrayIcon()->activated(QSystemTrayIcon::DoubleClick);
    PostMsg::GetInstance()->EmitChangeSize(2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(first.isNull());
    QVERIFY(window->TrayMenu());
    QCOMPARE(window->TrayMenu()->actions().size(), 3);
}

void TestMainWindow::minimisedWithoutTrayReattachesOnRestore()
{
    DialogMain::SetTrayUse(DialogMain::TrayUse::Minimise);
    DialogMain *window = MakeWindow();
    ShowDevicePage();

    PostMsg::GetInstance()->EmitChangeSize(0);
    QVERIFY(window->isMinimized());
    QVERIFY(!window->isHidden());
    QVERIFY(!window->TrayIcon()->isVisible());
    window->showNormal();

    QCOMPARE(ShutdownCalls(), (QStringList{"UsbServer_SetPCDriverStatus(0)", "UsbServer_SetPCDriverStatus(1)"}));
}

void TestMainWindow::pageSwitch_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("hubSignals");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("mainCallback");

    QTest::newRow("0: back to the device list") << 0 << kSelectionPage << 1 << QStringList{"UsbServer_Exit"} << false;
    QTest::newRow("1: the device page") << 1 << kDevicePage << 0 << QStringList{} << true;
}

void TestMainWindow::pageSwitch()
{
    QFETCH(int, index);
    QFETCH(int, page);
    QFETCH(int, hubSignals);
    QFETCH(QStringList, calls);
    QFETCH(bool, mainCallback);
    DialogMain *window = MakeWindow();
    if (index == 0)
        ShowDevicePage();
    g_WritesAllowed = 0;
    g_SessionActive = 1;
    DeviceAllInfo sentinel = ListedReceiverMouse();
    sentinel.Path = "sentinel";
    g_PageDevices = {sentinel};  // the selection callback lists afresh
    QSignalSpy secondPage(PostMsg::GetInstance(), &PostMsg::SigSecondPageChange);
    QSignalSpy mainPage(PostMsg::GetInstance(), &PostMsg::SigMainPageChange);
    QSignalSpy setver(PostMsg::GetInstance(), &PostMsg::SigSetver);

    PostMsg::GetInstance()->EmitChangeMainDialog(index);

    QCOMPARE(int(g_WritesAllowed), 1);
    QCOMPARE(int(g_SessionActive), index == 0 ? 0 : 1);
    QCOMPARE(secondPage.count(), hubSignals);
    QCOMPARE(mainPage.count(), hubSignals);
    QCOMPARE(ShutdownCalls(), calls);
    QCOMPARE(window->CurrentPage(), page);
    QCOMPARE(Calls({"StartUsbChanged"}), QStringList{"StartUsbChanged(600)"});
    // Which callback the library now calls shows in what its first call does.
    QVERIFY(HidSim::WaitUntilIdle());
    QVERIFY(!HidSim::CallsOf("callback:usb").empty());
    QCOMPARE(setver.count(), mainCallback ? 1 : 0);
    const bool listedAfresh = g_PageDevices.isEmpty() || g_PageDevices.first().Path != "sentinel";
    QCOMPARE(listedAfresh, !mainCallback);
}

void TestMainWindow::languageIndexMigration_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("macroIniBefore");
    QTest::addColumn<QString>("macroIniAfter");

    QTest::newRow("3 is taken over") << "3" << "1" << "3";
    QTest::newRow("0 leaves Macro.ini alone") << "0" << "2" << "2";
    QTest::newRow("missing leaves Macro.ini alone") << QString() << "" << "";
}

void TestMainWindow::languageIndexMigration()
{
    QFETCH(QString, stored);
    QFETCH(QString, macroIniBefore);
    QFETCH(QString, macroIniAfter);
    RegistryStore store;
    if (!stored.isNull())
        QVERIFY(store.SetValue(RegistryStore::ProductKey(), RegistryStore::kLanguageIndex, stored));
    if (!macroIniBefore.isEmpty())
        MacroIni::GetInstance()->SetValue("Language", "Language", macroIniBefore);

    DialogMain *window = MakeWindow();

    QCOMPARE(MacroIni::GetInstance()->Value("Language", "Language"), macroIniAfter);
    QVERIFY(!store.Contains(RegistryStore::ProductKey(), RegistryStore::kLanguageIndex));
    // The tray texts come from the language now stored.
    PostMsg::GetInstance()->EmitChangeSize(2);
    QCOMPARE(window->TrayMenu()->actions().first()->text(),
             Text("DialogMain", "MainForm", macroIniAfter.toInt()));
}

void TestMainWindow::dragging_data()
{
    QTest::addColumn<QPoint>("press");  // relative to the window's top-left corner
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("moves");

    QTest::newRow("left button drags") << QPoint(100, 40) << int(Qt::LeftButton) << true;
    QTest::newRow("left and right do not") << QPoint(100, 40) << int(Qt::LeftButton | Qt::RightButton) << false;
    QTest::newRow("a press on the corner pixel arms nothing") << QPoint(0, 0) << int(Qt::LeftButton) << false;
}

void TestMainWindow::dragging()
{
    QFETCH(QPoint, press);
    QFETCH(int, buttons);
    QFETCH(bool, moves);
    DialogMain *window = MakeWindow();
    const QPoint start = window->pos();
    const QPoint pressGlobal = start + press;

    SendMouse(window, QEvent::MouseButtonPress, pressGlobal, Qt::LeftButton);
    SendMouse(window, QEvent::MouseMove, pressGlobal + QPoint(30, 20), Qt::MouseButtons(buttons));
    SendMouse(window, QEvent::MouseButtonRelease, pressGlobal + QPoint(30, 20), Qt::NoButton);
    SendMouse(window, QEvent::MouseMove, pressGlobal + QPoint(60, 60), Qt::LeftButton);

    QCOMPARE(window->pos(), moves ? start + QPoint(30, 20) : start);
}

void TestMainWindow::keys_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("recording");
    QTest::addColumn<int>("enterKeys");
    QTest::addColumn<QStringList>("dialogs");

    QTest::newRow("Return on the selection page") << kSelectionPage << int(Qt::Key_Return) << false << 1 << QStringList{};
    QTest::newRow("Enter on the selection page") << kSelectionPage << int(Qt::Key_Enter) << false << 1 << QStringList{};
    QTest::newRow("Return on the device page") << kDevicePage << int(Qt::Key_Return) << false << 0 << QStringList{};
    QTest::newRow("Return while recording") << kSelectionPage << int(Qt::Key_Return) << true << 0 << QStringList{};
    QTest::newRow("Escape on the selection page") << kSelectionPage << int(Qt::Key_Escape) << false << 0 << QStringList{};
    QTest::newRow("Escape on the device page") << kDevicePage << int(Qt::Key_Escape) << false << 0 << QStringList{};
    QTest::newRow("F12 on the device page") << kDevicePage << int(Qt::Key_F12) << false << 0 << QStringList{};
    QTest::newRow("Space on the device page") << kDevicePage << int(Qt::Key_Space) << false << 0
                                              << QStringList{"Match"};
    QTest::newRow("Space while recording") << kDevicePage << int(Qt::Key_Space) << true << 0 << QStringList{};
}

void TestMainWindow::keys()
{
    QFETCH(int, page);
    QFETCH(int, key);
    QFETCH(bool, recording);
    QFETCH(int, enterKeys);
    QFETCH(QStringList, dialogs);
    DialogMain *window = MakeWindow();
    if (page == kDevicePage)
        ShowDevicePage();
    g_MacroRecording = recording ? 1 : 0;
    QSignalSpy enter(PostMsg::GetInstance(), &PostMsg::SigEnterKey);
    ModalWatcher recorder;

    // The window answers the key while handling it, dialogs included; only
    // what that posted is left to run.
    QTest::keyClick(window->windowHandle(), Qt::Key(key));
    QCoreApplication::sendPostedEvents();

    QCOMPARE(enter.count(), enterKeys);
    QCOMPARE(recorder.Classes(), dialogs);
    QVERIFY(window->isVisible());
    QCOMPARE(window->CurrentPage(), page);
}

void TestMainWindow::spaceOnSelectionPage_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<bool>("wired");
    QTest::addColumn<QString>("storedVersion");
    QTest::addColumn<bool>("receiverImage");
    QTest::addColumn<bool>("mouseImage");
    QTest::addColumn<QString>("answer");  // the child ContainReset is answered with
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QList<QPoint>>("offsets");

    const QList<QPoint> centred{QPoint(0, 0)};
    QTest::newRow("no receiver image, no mouse image: pair") << 1 << false << "v1.2" << false << false << ""
                                                             << QStringList{"Match"} << centred;
    QTest::newRow("mouse image only: wired-mode warning") << 1 << false << "v1.2" << false << true << ""
                                                          << QStringList{"UpDateWarning"}
                                                          << QList<QPoint>{QPoint(-20, 0)};
    QTest::newRow("both images: pair") << 1 << false << "v1.2" << true << true << "" << QStringList{"Match"}
                                       << centred;
    QTest::newRow("receiver image only: ask, then repair")
        << 1 << false << "v1.2" << true << false << "OK" << QStringList{"ContainReset", "UpDateRepair"}
        << QList<QPoint>{QPoint(-20, 0), QPoint(0, 0)};
    QTest::newRow("receiver image only, declined") << 1 << false << "v1.2" << true << false << "Cancel"
                                                   << QStringList{"ContainReset"} << QList<QPoint>{QPoint(-20, 0)};
    QTest::newRow("no stored version: pair at once") << 1 << false << "" << true << false << "" << QStringList{"Match"}
                                                     << centred;
    QTest::newRow("two devices: nothing") << 2 << false << "v1.2" << true << false << "" << QStringList{}
                                          << QList<QPoint>{};
    QTest::newRow("one wired device: nothing") << 1 << true << "v1.2" << true << false << "" << QStringList{}
                                               << QList<QPoint>{};
}

void TestMainWindow::spaceOnSelectionPage()
{
    QFETCH(int, devices);
    QFETCH(bool, wired);
    QFETCH(QString, storedVersion);
    QFETCH(bool, receiverImage);
    QFETCH(bool, mouseImage);
    QFETCH(QString, answer);
    QFETCH(QStringList, dialogs);
    QFETCH(QList<QPoint>, offsets);
    FixtureProgramFolder folder;
    const QString group = ConfigIni::DriveGroup(1);
    if (receiverImage)
        folder.AddImage("receiver.bin", kReceiverFirmware, ConfigValue(group, "D4M"), 0x0102);
    if (mouseImage)
        folder.AddImage("mouse.bin", kMouseFirmware, ConfigValue(group, "MM"), 0x0103);
    RegistryStore store;
    const QString versionName = RegistryStore::MouseVerName(ConfigValue("Option", "CID"), ConfigValue(group, "MID"));
    if (storedVersion.isEmpty())
        store.Remove(RegistryStore::MouseDriveTestKey(), versionName);
    else
        QVERIFY(store.SetValue(RegistryStore::MouseDriveTestKey(), versionName, storedVersion));
    DialogMain *window = MakeWindow();
    DeviceAllInfo device = ListedReceiverMouse();
    device.Wired = wired;
    g_PageDevices.clear();
    for (int i = 0; i < devices; ++i)
        g_PageDevices.append(device);
    bool repairStartedFromKey = false;
    ModalWatcher recorder({{"ContainReset", answer}});
    recorder.inspect = [&](QWidget *modal) {
        auto *repair = qobject_cast<UpDateRepair *>(modal);
        if (!repair)
            return;
        repairStartedFromKey = repair->IsExternalStart();
        // The flash runs (tst_repairsession follows it); Escape closes the
        // dialog once it has a result.
        auto *close = repair->findChild<QToolButton *>("CloseButton");
        QVERIFY(QTest::qWaitFor([close] { return close->isEnabled(); }, TestSupport::kHangGuardMs));
    };

    QTest::keyClick(window->windowHandle(), Qt::Key_Space);
    QCoreApplication::sendPostedEvents();

    QCOMPARE(recorder.Classes(), dialogs);
    for (int i = 0; i < offsets.size(); ++i) {
        const SeenModal &seen = recorder.seen.at(i);
        QCOMPARE(seen.pos, PlaceOver(window, seen.size, offsets.at(i).x(), offsets.at(i).y()));
    }
    QCOMPARE(repairStartedFromKey, dialogs.contains("UpDateRepair"));
    // After pairing the open connection gets the data callback back.
    QCOMPARE(Calls({"UsbServerC_Start"}).size(), dialogs.contains("Match") ? 1 : 0);
}

void TestMainWindow::spaceOnDevicePageFollowsTheMouseAgain()
{
    DialogMain *window = MakeWindow();
    ShowDevicePage();
    g_PageDevices = {ListedReceiverMouse()};
    QSignalSpy setver(PostMsg::GetInstance(), &PostMsg::SigSetver);
    ModalWatcher recorder({{"Match", "CloseButton"}});  // its close button registers the selection callback

    QTest::keyClick(window->windowHandle(), Qt::Key_Space);
    QVERIFY(HidSim::WaitUntilIdle());

    QCOMPARE(recorder.Classes(), QStringList{"Match"});
    QCOMPARE(recorder.seen.first().pos, PlaceOver(window, recorder.seen.first().size, 0, 0));
    QCOMPARE(Calls({"UsbServerC_Start"}), QStringList{QString("UsbServerC_Start(%1,%1)").arg(QString::fromLatin1(g_CurrentPath.load()))});
    QCOMPARE(Calls({"StartUsbChanged"}).size(), 2);
    // The callback registered last is the device page's: it ran, and the
    // selection page's list was left alone.
    QVERIFY(setver.count() >= 1);
    QCOMPARE(g_PageDevices.size(), 1);
}

VOGM_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
