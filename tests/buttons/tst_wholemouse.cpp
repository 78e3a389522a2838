// The button page's controls for the whole mouse: the profile box and the
// profile switch, the reset to factory settings, and the settings file's
// export and import. The page alone runs against the simulated cable mouse;
// what needs the other pages and the data callback runs in the real main
// window on the default world's receiver mouse.

#include "buttoninterface.h"
#include "buttonpagesuite.h"
#include "dialog.h"
#include "dialogmain.h"
#include "devicetiles.h"
#include "mytoolbuttonenter.h"
#include "worldfixtures.h"
#include "globals.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "myconmbobox.h"
#include "notices.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "settingsfile.h"
#include "smallfilesystem.h"
#include "testsupport.h"
#include "updataparam.h"
#include "worker.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cstring>
#include <functional>
#include <memory>

using Fixtures::ConfigVariant;

using namespace ButtonPageKit;

namespace {

constexpr int kKeyBytes = 16 * 3;
const QString kReceiverMouse = "m2";

// The receiver mouse's model (Drive2) in the shipped Config.ini.
constexpr int kReceiverModel = 1;

QByteArray Bytes(const FlashDataMap &image)
{
    return QByteArray(reinterpret_cast<const char *>(&image), kFlashDataMapSize);
}

// A recognisable image that any model accepts.
FlashDataMap PatternImage()
{
    FlashDataMap image{};
    auto *bytes = reinterpret_cast<uint8_t *>(&image);
    for (int i = 0; i < kFlashDataMapSize; ++i)
        bytes[i] = uint8_t(i * 7 + 3);
    image.DpiLevelCount = 4;
    return image;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Items(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

int CallCount(const QString &function)
{
    return int(HidSim::CallsOf(function).size());
}

// Index of the first logged call of `function` at or after `from`; -1 none.
int FirstCall(const std::vector<HidSim::CallRecord> &log, const QString &function, int from = 0)
{
    for (int i = from; i < int(log.size()); ++i) {
        if (log[size_t(i)].function == function)
            return i;
    }
    return -1;
}

// Answers a file dialog with `path`, or cancels it when `path` is empty.
void AnswerFileDialog(QWidget *modal, const QString &path)
{
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    if (!dialog) {
        modal->close();
        return;
    }
    if (path.isEmpty()) {
        dialog->reject();
        return;
    }
    // Typed into the name field, as a user does.
    dialog->findChild<QLineEdit *>("fileNameEdit")->setText(path);
    static_cast<QDialog *>(dialog)->accept();
}

// Polls for modal dialogs and hands each new one to `answer` once.
class ModalHandler : public QObject
{
public:
    explicit ModalHandler(std::function<void(QWidget *)> answer) : m_answer(std::move(answer))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || m_seen.contains(modal))
                return;
            m_seen << modal;
            classes << QString::fromLatin1(modal->metaObject()->className());
            m_answer(modal);
        });
        m_timer.start(10);
    }
    QStringList classes;

private:
    std::function<void(QWidget *)> m_answer;
    QList<QPointer<QWidget>> m_seen;
    QTimer m_timer;
};

void Click(QWidget *dialog, const char *child)
{
    QTest::mouseClick(dialog->findChild<QWidget *>(QLatin1String(child)), Qt::LeftButton);
}

}  // namespace

class TestWholeMouse : public ButtonPageSuite
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void profileItems_data();
    void profileItems();
    void profileReportFillsTheBox();
    void profileSwitchReadsTheNewProfile();
    void rePickingAndOffline();

    void resetOfflineShowsOnlyTheNotice();
    void resetDeclined_data();
    void resetDeclined();
    void resetAccepted();

    void exportBytes_data();
    void exportBytes();
    void exportIsWholeOrNothing();

    void importOfflineOrCancelled();
    void exportShowsTheRowsImage();
    void failedExportSaysSo();
    void exportedSettingsComeBackByImport();

private:
    // The page alone, on the simulated cable mouse.
    void OpenPage();
    // The program's main window with the receiver mouse chosen and read.
    void OpenProgramOnReceiverMouse();
    MyConmboBox *Profiles() const { return m_page->findChild<MyConmboBox *>("ProjectChoose"); }

    std::unique_ptr<Buttoninterface> m_ownPage;
    std::unique_ptr<DialogMain> m_main;
};

void TestWholeMouse::initTestCase()
{
    DialogMain::SetTrayUse(DialogMain::TrayUse::Minimise);
}

void TestWholeMouse::cleanup()
{
    if (g_Worker)
        g_Worker->wait();
    if (m_ownPage)
        ShutdownWorker();
    m_ownPage.reset();
    m_main.reset();
    m_page = nullptr;
    UsbServer_Exit();
    g_SessionActive = 0;
    g_ApplyingSettings = 0;
    HidSim::WaitUntilIdle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestWholeMouse::OpenPage()
{
    // The worker that the device page frame would have made.
    if (!g_Worker)
        g_Worker = new Worker(nullptr);
    m_ownPage = std::make_unique<Buttoninterface>(nullptr);
    m_page = m_ownPage.get();
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page, TestSupport::kHangGuardMs));
    PanelFixture::OpenMouse();
    HidSim::ClearCallLog();
}

void TestWholeMouse::OpenProgramOnReceiverMouse()
{
    HidSim::World world = HidSim::DefaultWorld();
    world.timing = Fixtures::FastTiming();
    HidSim::SetWorld(world);
    m_main = std::make_unique<DialogMain>();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get(), TestSupport::kHangGuardMs));
    QVERIFY(TestSupport::WaitFor([] { return !g_DeviceTiles.isEmpty(); }));
    int entry = -1;
    for (int i = 0; i < g_PageDevices.size(); ++i) {
        if (g_PageDevices.at(i).Mid == 2 && g_PageDevices.at(i).Online)
            entry = i;
    }
    QVERIFY(entry >= 0);
    QSignalSpy popupClosed(m_main->DevicePage()->WaitPopup(), &QDialog::finished);
    QTest::mouseClick(g_DeviceTiles.at(entry), Qt::LeftButton);
    QVERIFY(TestSupport::WaitFor([&] { return popupClosed.count() == 1; }));
    m_page = m_main->findChild<Buttoninterface *>();
    QVERIFY(m_page);
    QVERIFY(HidSim::WaitUntilIdle(TestSupport::kHangGuardMs));
}

// ---- profiles ---------------------------------------------------------------------

void TestWholeMouse::profileItems_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("select");
    QTest::addColumn<bool>("enable");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("current");

    QTest::newRow("four, third current") << 4 << 2 << true << QStringList{"P1", "P2", "P3", "P4"} << 2;
    QTest::newRow("none reported") << 0 << 0 << false << QStringList{"P1"} << 0;
    QTest::newRow("index outside") << 4 << 7 << true << QStringList{"P1", "P2", "P3", "P4"} << -1;
    QTest::newRow("negative count") << -1 << 0 << true << QStringList{} << -1;
}

void TestWholeMouse::profileItems()
{
    QFETCH(int, total);
    QFETCH(int, select);
    QFETCH(bool, enable);
    QFETCH(QStringList, items);
    QFETCH(int, current);
    OpenPage();
    m_page->ConfigPrefix = "P";
    m_page->SlotUpDataConfigUI(3, 1, !enable);  // a box filled before
    QSignalSpy activated(Profiles(), QOverload<int>::of(&QComboBox::activated));

    m_page->SlotUpDataConfigUI(total, select, enable);

    QCOMPARE(Items(Profiles()), items);
    QCOMPARE(Profiles()->currentIndex(), current);
    QCOMPARE(Profiles()->isEnabled(), enable);
    QVERIFY(!Profiles()->signalsBlocked());
    QCOMPARE(activated.count(), 0);
    QCOMPARE(CallCount("UsbServer_SetCurrentConfig"), 0);
}

void TestWholeMouse::profileReportFillsTheBox()
{
    OpenProgramOnReceiverMouse();
    // The mouse reported its profile after the read: four items, the first current.
    QVERIFY(TestSupport::WaitFor([this] { return Profiles()->count() == 4; }));
    QCOMPARE(Profiles()->currentIndex(), 0);

    QVERIFY(HidSim::InjectReport(HIDUSB_CMD_PROFILE, 0, QByteArray(1, '\x02')));
    QVERIFY(TestSupport::WaitFor([this] { return Profiles()->currentIndex() == 2; }));
    QCOMPARE(Profiles()->count(), 4);
    QVERIFY(Profiles()->isEnabled());
    QCOMPARE(Profiles()->currentText(), m_page->ConfigPrefix + "3");
}

void TestWholeMouse::profileSwitchReadsTheNewProfile()
{
    OpenProgramOnReceiverMouse();
    // Profile 1 gives button 0 the right mouse button; profile 0 keeps the left one.
    QByteArray second = HidSim::StoredImage(kReceiverMouse, 0);
    second[kKeys] = 1;
    second[kKeys + 1] = 2;
    second[kKeys + 2] = 0;
    QVERIFY(HidSim::SetStoredImage(kReceiverMouse, second, 1));
    const QByteArray first = HidSim::StoredImage(kReceiverMouse, 0);
    const QByteArray secondBefore = HidSim::StoredImage(kReceiverMouse, 1);
    QVERIFY(TestSupport::WaitFor([this] { return Profiles()->count() == 4; }));
    // The new profile's read takes a while.
    HidSim::Timing slow = HidSim::CurrentTiming();
    slow.fullReadMs = 1000;
    HidSim::SetTiming(slow);
    HidSim::ClearCallLog();
    QSignalSpy read(PostMsg::GetInstance(), &PostMsg::SigForm);

    PanelFixture::ChooseItem(Profiles(), 1);

    QCOMPARE(HidSim::CallsOf("UsbServer_SetCurrentConfig").size(), size_t(1));
    QCOMPARE(HidSim::CallsOf("UsbServer_SetCurrentConfig").front().arguments, QString("1"));
    QCOMPARE(HidSim::ActiveProfile(kReceiverMouse), 1);
    // A write before the new profile has been read sends nothing yet: the
    // image still holds profile 0. It waits for the new profile's read.
    QTest::mouseClick(Button("Number1"), Qt::LeftButton);
    m_page->findChild<QStackedWidget *>("stackedWidget")->setCurrentIndex(1);
    QTest::mouseClick(Button("DPI_5"), Qt::LeftButton);
    QCOMPARE(read.count(), 0);
    QCOMPARE(CallCount("ProtocolDataUpdate"), 0);
    QCOMPARE(HidSim::StoredImage(kReceiverMouse, 1), secondBefore);

    QVERIFY(TestSupport::WaitFor([&] { return read.count() >= 1; }));
    QVERIFY(HidSim::WaitUntilIdle());
    // Then it changes profile 1's entry alone, sent once with the read's image.
    QCOMPARE(PanelFixture::ChangedBytes(secondBefore, HidSim::StoredImage(kReceiverMouse, 1)),
             (QList<int>{kKeys, kKeys + 1}));
    QCOMPARE(CallCount("ProtocolDataUpdate"), 1);
    QCOMPARE(Button("FireKey")->text(), Button("DPI_5")->text());
    QCOMPARE(HidSim::StoredImage(kReceiverMouse, 0), first);
}

void TestWholeMouse::rePickingAndOffline()
{
    OpenPage();
    m_page->SlotUpDataConfigUI(4, 1, true);

    PanelFixture::ChooseItem(Profiles(), 1);
    PanelFixture::ChooseItem(Profiles(), 1);
    const auto calls = HidSim::CallsOf("UsbServer_SetCurrentConfig");
    QCOMPARE(calls.size(), size_t(2));
    QCOMPARE(calls.back().arguments, QString("1"));

    PanelFixture::UnplugMouse();
    std::unique_ptr<QSignalSpy> offline(PanelFixture::OfflineNoticeSpy());
    PanelFixture::ChooseItem(Profiles(), 3);
    QCOMPARE(Profiles()->currentIndex(), 1);
    QCOMPARE(offline->count(), 1);
    QCOMPARE(offline->first().first().toInt(), 0);
    QCOMPARE(CallCount("UsbServer_SetCurrentConfig"), 2);
}

// ---- reset ------------------------------------------------------------------------

void TestWholeMouse::resetOfflineShowsOnlyTheNotice()
{
    OpenPage();
    PanelFixture::UnplugMouse();
    std::unique_ptr<QSignalSpy> offline(PanelFixture::OfflineNoticeSpy());
    ModalHandler modals([](QWidget *modal) { modal->close(); });

    QTest::mouseClick(Button("Reset"), Qt::LeftButton);
    QVERIFY(TestSupport::WaitFor([&] { return !offline->isEmpty(); }));

    QCOMPARE(modals.classes, QStringList());
    QCOMPARE(offline->count(), 1);
    QCOMPARE(CallCount("UsbServer_SetClearSetting"), 0);
    QCOMPARE(CallCount("ProtocolDataUpdate"), 0);
}

void TestWholeMouse::resetDeclined_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Cancel") << "Cancel";
    QTest::newRow("close button") << "CloseButton";
    QTest::newRow("Escape") << "";
}

void TestWholeMouse::resetDeclined()
{
    QFETCH(QString, answer);
    OpenPage();
    QPoint questionPos;
    ModalHandler modals([&](QWidget *modal) {
        questionPos = modal->pos();
        TestSupport::AnswerModal(modal, answer);
    });

    QTest::mouseClick(Button("Reset"), Qt::LeftButton);

    QCOMPARE(modals.classes, QStringList{"ContainReset"});
    const QPoint page = m_page->mapToGlobal(QPoint(0, 0));
    QCOMPARE(questionPos, page + QPoint((m_page->width() - 300) / 2 - 75, (m_page->height() - 140) / 2 - 65));
    QCOMPARE(CallCount("UsbServer_SetClearSetting"), 0);
    QCOMPARE(CallCount("ProtocolDataUpdate"), 0);
    QCOMPARE(g_ApplyingSettings.load(), uint8_t(0));
    QVERIFY(g_OnlineTimer->isActive());
}

void TestWholeMouse::resetAccepted()
{
    OpenProgramOnReceiverMouse();
    // Row 1 loses its function first: the mouse and the program's image no
    // longer hold the factory entry.
    QTest::mouseClick(Button("Number1"), Qt::LeftButton);
    m_page->findChild<QStackedWidget *>("stackedWidget")->setCurrentIndex(1);
    QTest::mouseClick(Button("DPI_5"), Qt::LeftButton);
    QCOMPARE(HidSim::StoredImage(kReceiverMouse).mid(kKeys, 3), QByteArray(3, '\0'));
    QVERIFY(HidSim::StoredImage(kReceiverMouse).mid(kKeys, kKeyBytes)
            != HidSim::FactoryImage(kReceiverMouse).mid(kKeys, kKeyBytes));
    HidSim::ClearCallLog();
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);

    bool timerActiveDuringPopup = true;
    int applyingDuringPopup = -1;
    ModalHandler modals([&](QWidget *modal) {
        if (qobject_cast<ContainReset *>(modal)) {
            Click(modal, "OK");
        } else if (qobject_cast<UpDataParam *>(modal)) {
            timerActiveDuringPopup = g_OnlineTimer->isActive();
            applyingDuringPopup = g_ApplyingSettings.load();
        }
    });
    QTest::mouseClick(Button("Reset"), Qt::LeftButton);

    QCOMPARE(modals.classes, (QStringList{"ContainReset", "UpDataParam"}));
    QVERIFY(!timerActiveDuringPopup);
    QCOMPARE(applyingDuringPopup, 1);
    QVERIFY(g_OnlineTimer->isActive());
    QCOMPARE(g_ApplyingSettings.load(), uint8_t(0));
    QCOMPARE(offline.count(), 0);

    const auto log = HidSim::CallLog();
    const int online = FirstCall(log, "UsbFinderC_GetDeviceOnLine");
    const int written = FirstCall(log, "ProtocolDataUpdate", online);
    const int cleared = FirstCall(log, "UsbServer_SetClearSetting");
    QVERIFY(online >= 0);
    QVERIFY(written > online);
    QVERIFY(cleared > written);
    QCOMPARE(HidSim::StoredImage(kReceiverMouse).mid(kKeys, kKeyBytes),
             HidSim::FactoryImage(kReceiverMouse).mid(kKeys, kKeyBytes));
    QCOMPARE(Bytes(ReadImage()).mid(kKeys, kKeyBytes), HidSim::FactoryImage(kReceiverMouse).mid(kKeys, kKeyBytes));
    QCOMPARE(Button("FireKey")->text(), Button("LeftKey_3")->text());
}

// ---- export and import ------------------------------------------------------------

void TestWholeMouse::exportBytes_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QByteArray>("nameBlock");

    QTest::newRow("AB12") << kReceiverModel << "AB12" << QByteArray::fromHex("0000000C414231320000000000000000");
    QTest::newRow("no model") << 99 << "" << QByteArray::fromHex("0000000C000000000000000000000000");
    QTest::newRow("13-byte name") << kReceiverModel << "ABCDEFGHIJKLM"
                                  << (QByteArray::fromHex("0000000E") + "ABCDEFGHIJKLM" + QByteArray(1, '\0'));
}

void TestWholeMouse::exportBytes()
{
    QFETCH(int, model);
    QFETCH(QString, sensor);
    QFETCH(QByteArray, nameBlock);
    ConfigVariant config({{"Drive2/Sensor", QString::fromLatin1(sensor.toUtf8().toBase64())}});
    OpenPage();
    g_CurrentDevice.Update([model](DeviceAllInfo &d) { d.DriveIndex = model; });
    QTemporaryDir dir;
    const FlashDataMap image = PatternImage();

    QVERIFY(m_page->ExportSettings(dir.filePath("a.bin"), image));
    QVERIFY(m_page->ExportSettings(dir.filePath("b.bin"), image));

    const QByteArray file = ReadAll(dir.filePath("a.bin"));
    QCOMPARE(file, ReadAll(dir.filePath("b.bin")));
    const QByteArray head = QByteArray::fromHex("0000000C") + QByteArray("Qelvo").leftJustified(12, '\0') + nameBlock
                            + QByteArray::fromHex("000028BC");
    QCOMPARE(file.left(head.size()), head);
    QCOMPARE(file.mid(head.size()), Bytes(image));
    QCOMPARE(file.size(), 10464 + (nameBlock.size() - 16));

    // The program's own import takes it back, image for image.
    if (model == kReceiverModel) {
        FlashDataMap back{};
        QCOMPARE(UpDataParam::CheckImportFile(dir.filePath("a.bin"), &back), 0);
        QCOMPARE(Bytes(back), Bytes(image));
    }
}

void TestWholeMouse::exportIsWholeOrNothing()
{
    OpenPage();
    g_CurrentDevice.Update([](DeviceAllInfo &d) { d.DriveIndex = kReceiverModel; });
    SmallFileSystem disk;
    QVERIFY(disk.IsValid());
    const QString kept = disk.Path() + "/kept.bin";
    QVERIFY(m_page->ExportSettings(kept, PatternImage()));
    const QByteArray before = ReadAll(kept);
    QVERIFY2(disk.MakeReadOnly(), qPrintable(disk.Kind()));

    const FlashDataMap other{};
    const bool replaced = m_page->ExportSettings(kept, other);
    const bool created = m_page->ExportSettings(disk.Path() + "/new.bin", other);
    const QStringList files = QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden);
    const QByteArray after = ReadAll(kept);
    disk.Release();

    QVERIFY(!replaced);
    QVERIFY(!created);
    QCOMPARE(after, before);
    QCOMPARE(files, QStringList{"kept.bin"});
}

void TestWholeMouse::importOfflineOrCancelled()
{
    OpenPage();
    int applyingInDialog = -1;
    ModalHandler modals([&](QWidget *modal) {
        applyingInDialog = g_ApplyingSettings.load();
        if (auto *dialog = qobject_cast<QFileDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    });

    // Cancelled: no popup, the flags are back.
    QTest::mouseClick(Button("ImportData"), Qt::LeftButton);
    QCOMPARE(modals.classes, QStringList{"QFileDialog"});
    QCOMPARE(applyingInDialog, 1);
    QCOMPARE(g_ApplyingSettings.load(), uint8_t(0));
    QCOMPARE(g_ImportPopupText, 0);

    // Offline: no dialog, only the notice.
    PanelFixture::UnplugMouse();
    std::unique_ptr<QSignalSpy> offline(PanelFixture::OfflineNoticeSpy());
    QTest::mouseClick(Button("ImportData"), Qt::LeftButton);
    QVERIFY(TestSupport::WaitFor([&] { return !offline->isEmpty(); }));
    QCOMPARE(modals.classes, QStringList{"QFileDialog"});
    QCOMPARE(offline->count(), 1);
    QCOMPARE(offline->first().first().toInt(), 0);
    QCOMPARE(g_ApplyingSettings.load(), uint8_t(0));
}

void TestWholeMouse::exportShowsTheRowsImage()
{
    OpenPage();
    QTemporaryDir dir;
    const QString path = dir.filePath("cache.bin");
    ModalHandler modals([&](QWidget *modal) { AnswerFileDialog(modal, path); });

    // The mouse is away and the page shows the model's cache; the program's
    // own image holds nothing.
    PanelFixture::UnplugMouse();
    g_DeviceOnline = 0;
    const FlashDataMap cached = PatternImage();
    m_page->SlotUpDataButtonUIButton(cached);
    StoreImage(FlashDataMap{});
    QTest::mouseClick(Button("OutputData"), Qt::LeftButton);
    QCOMPARE(modals.classes, QStringList{"QFileDialog"});
    QCOMPARE(ReadAll(path).mid(36), Bytes(cached));

    // After a reset of the page there is nothing to export.
    m_page->SlotFormResetButton();
    QTest::mouseClick(Button("OutputData"), Qt::LeftButton);
    QTest::qWait(50);
    QCOMPARE(modals.classes, QStringList{"QFileDialog"});
}

// The folder picked is gone by the time the file is written.
void TestWholeMouse::failedExportSaysSo()
{
    OpenProgramOnReceiverMouse();
    QTemporaryDir dir;
    QString message;
    ModalHandler modals([&](QWidget *modal) {
        if (qobject_cast<QFileDialog *>(modal)) {
            AnswerFileDialog(modal, dir.filePath("gone/settings.bin"));
            return;
        }
        message = modal->findChild<QLabel *>("label")->text();
        modal->close();
    });
    QTest::mouseClick(Button("OutputData"), Qt::LeftButton);
    QCOMPARE(modals.classes, (QStringList{"QFileDialog", "InportFail"}));
    QCOMPARE(message, QString("The file could not be written"));
    QVERIFY(!QFileInfo::exists(dir.filePath("gone")));
}

void TestWholeMouse::exportedSettingsComeBackByImport()
{
    OpenProgramOnReceiverMouse();
    QTemporaryDir dir;
    const QByteArray stored = HidSim::StoredImage(kReceiverMouse);
    const QString rightCaption = Button("RightKey")->text();
    QCOMPARE(rightCaption, Button("RightKey_3")->text());

    // Saved without a suffix: the file takes ".bin".
    {
        ModalHandler modals([&](QWidget *modal) { AnswerFileDialog(modal, dir.filePath("settings")); });
        QTest::mouseClick(Button("OutputData"), Qt::LeftButton);
        QCOMPARE(modals.classes, QStringList{"QFileDialog"});
    }
    const QString file = dir.filePath("settings.bin");
    QCOMPARE(QFileInfo(file).size(), qint64(10464));
    FlashDataMap checked{};
    QCOMPARE(UpDataParam::CheckImportFile(file, &checked), 0);
    QCOMPARE(Bytes(checked), Bytes(ReadImage()));

    // Row 2 loses its function.
    QTest::mouseClick(Button("RightKey"), Qt::LeftButton);
    QTest::mouseClick(Button("DPI_5"), Qt::LeftButton);
    QCOMPARE(HidSim::StoredImage(kReceiverMouse).mid(kKeys + 3, 3), QByteArray(3, '\0'));
    QCOMPARE(Button("RightKey")->text(), Button("DPI_5")->text());

    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
    int importTextDuringPopup = -1;
    ModalHandler modals([&](QWidget *modal) {
        if (qobject_cast<UpDataParam *>(modal))
            importTextDuringPopup = g_ImportPopupText;
        else
            AnswerFileDialog(modal, file);
    });
    QTest::mouseClick(Button("ImportData"), Qt::LeftButton);

    QCOMPARE(modals.classes, (QStringList{"QFileDialog", "UpDataParam"}));
    QCOMPARE(importTextDuringPopup, 1);
    QCOMPARE(g_ImportPopupText, 0);
    QCOMPARE(g_ApplyingSettings.load(), uint8_t(0));
    QCOMPARE(offline.count(), 0);
    QCOMPARE(HidSim::StoredImage(kReceiverMouse), stored);
    QCOMPARE(Button("RightKey")->text(), rightCaption);
}

VOGM_TEST_MAIN(TestWholeMouse)
#include "tst_wholemouse.moc"
