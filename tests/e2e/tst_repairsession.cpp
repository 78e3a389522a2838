// Repairing a failed firmware update in the real main window: the receiver
// waits in boot mode, its mouse is on its cable, the demo images are
// installed and the record names the receiver's failed update. The Repair
// button opens the dialog, Upgrade flashes the receiver and then the mouse;
// a mouse flash that fails leaves a record for the mouse, and a second repair
// finishes the job. And the Space key's repair of a receiver older than its
// image, from the device list.

#include "dialogchange.h"
#include "devicetiles.h"
#include "mytoolbuttonenter.h"
#include "dialog.h"
#include "dialogmain.h"
#include "formsetting.h"
#include "globals.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "languagereader.h"
#include "postmsg.h"
#include "registrystore.h"
#include "testsupport.h"
#include "updatefailinfo.h"
#include "updaterepair.h"
#include "worker.h"
#include "connection.h"
#include "configini.h"

#include <QLabel>
#include <QProcess>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

constexpr int kFlashMs = 2000;  // longer than the USB-change interval, like a real flash

QString Text(const QString &tag)
{
    QString text;
    LanguageReader(QStringLiteral("AutoRepair"), {{tag, StoreTarget(&text)}}).Load(0);
    return text;
}

// The receiver r4k in boot mode after its failed update, its mouse m2 on its
// cable, nothing else.
void SetRepairWorld()
{
    HidSim::World world = HidSim::DefaultWorld();
    world.timing.flashMs = kFlashMs;
    HidSim::SetWorld(world);
    for (const char *command : {"boot r4k on", "unplug r8k", "cable m1 off", "cable m2 on"})
        QVERIFY(HidSim::ApplyCommand(command));
}

struct DeviceState {
    int version = -1;
    bool bootMode = true;
};

DeviceState StateOf(const QString &name)
{
    const HidSim::World w = HidSim::CurrentWorld();
    for (const HidSim::Receiver &r : w.receivers) {
        if (r.name == name)
            return {r.version, r.bootMode};
    }
    for (const HidSim::Mouse &m : w.mice) {
        if (m.name == name)
            return {m.version, m.bootMode};
    }
    return {};
}

// What "vogm-world show" says of a device, from the state file.
QString Shown(const QString &device)
{
    if (!HidSim::WaitUntilIdle())
        return QString();
    QProcess tool;
    tool.start(TestSupport::AppFolder() + "/vogm-world", {"show", device});
    return tool.waitForFinished(TestSupport::kHangGuardMs) ? QString::fromUtf8(tool.readAllStandardOutput()) : QString();
}

int CableVersion(const QString &mouse)
{
    unsigned char attribute[12] = {};
    if (!UsbFinderC_GetUsbDeviceAttribute(HidSim::PathOf(mouse), attribute))
        return -1;
    return attribute[8] | (attribute[9] << 8);
}

// The device list as it stands once it has the whole world: the receiver is
// in the scan's list, and the only tile is its mouse's on the cable.
bool ListsReceiverInTheMousesCabledTile(const QString &receiver, const QByteArray &cable)
{
    const QByteArray receiverPath = HidSim::PathOf(receiver);
    const bool scanned = std::any_of(g_PageDevicesCopy.begin(), g_PageDevicesCopy.end(), [&](const DeviceAllInfo &d) {
        return d.Path.toLatin1() == receiverPath && !d.Wired;
    });
    return scanned && g_PageDevices.size() == 1 && g_PageDevices.first().Path.toLatin1() == cable
           && g_DeviceTiles.size() == 1;
}

}  // namespace

class TestRepairSession : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void aRepairFlashesTheReceiverThenTheMouse();
    void aFailedMouseFlashIsRepairedAgain();
    void theSpaceKeyFlashesAnOlderReceiver_data();
    void theSpaceKeyFlashesAnOlderReceiver();

private:
    QPushButton *RepairButton() const { return window->SelectionPage()->findChild<QPushButton *>("Repair"); }
    template <typename T>
    T *Child(const char *name) const { return g_UpDateRepair->findChild<T *>(name); }
    QString Hint() const { return Child<QLabel>("ToolText_2")->text(); }
    void StartInTheRepairWorld();
    void OpenTheDialogReady();
    void UpgradeUntil(const QString &hintTag);

    std::unique_ptr<DialogMain> window;
    QList<int> barValues;
    QPointer<QProgressBar> watchedBar;
    QString recordWhenTheMouseBegan = "-";
};

void TestRepairSession::init()
{
    UpdateFailInfo::Remove();
    g_SessionActive = 0;
}

void TestRepairSession::StartInTheRepairWorld()
{
    SetRepairWorld();
    QVERIFY(UpdateFailInfo::Write(211, 4, 18, 2));
    window = std::make_unique<DialogMain>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY_WITH_TIMEOUT(g_PageDevices.size() == 1 && g_PageDevices.first().Wired, TestSupport::kHangGuardMs);
    QVERIFY(RepairButton()->isVisible());
    QVERIFY(window->DevicePage());  // built after the first paint
}

void TestRepairSession::cleanup()
{
    window.reset();
    barValues.clear();
    recordWhenTheMouseBegan = "-";
}

void TestRepairSession::OpenTheDialogReady()
{
    QTest::mouseClick(RepairButton(), Qt::LeftButton);
    // The repair dialog is built when it first shows.
    QVERIFY(g_UpDateRepair && g_UpDateRepair->isVisible());
    QProgressBar *bar = Child<QProgressBar>("progressBar_2");
    if (bar != watchedBar) {
        watchedBar = bar;
        connect(bar, &QProgressBar::valueChanged, this, [this](int value) {
            barValues << value;
            if (value > 50 && recordWhenTheMouseBegan == "-")
                recordWhenTheMouseBegan = UpdateFailInfo::StoredText();
        });
    }
    QVERIFY(g_UpDateRepair->isModal());
    QCOMPARE(Hint(), Text("ReadyUpdate"));
    QCOMPARE(Child<QToolButton>("NewHong_2")->text(), Text("NewHong_2"));
}

void TestRepairSession::UpgradeUntil(const QString &hintTag)
{
    barValues.clear();
    HidSim::ClearCallLog();
    QTest::mouseClick(Child<QToolButton>("NewHong_2"), Qt::LeftButton);
    QCOMPARE(Hint(), Text("UpdateNotMove"));
    QVERIFY(!Child<QToolButton>("CloseButton")->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(Hint(), Text(hintTag), TestSupport::kHangGuardMs);
    QVERIFY(!g_RepairRunning);
    QVERIFY(!g_RepairFlashing);
    QCOMPARE(int(g_LinkWatch), 1);
    // The bar never goes back.
    for (int i = 1; i < barValues.size(); ++i)
        QVERIFY2(barValues[i] >= barValues[i - 1], qPrintable(QString::number(barValues[i])));
}

void TestRepairSession::aRepairFlashesTheReceiverThenTheMouse()
{
    StartInTheRepairWorld();
    OpenTheDialogReady();
    UpgradeUntil("UpdateSuccess");

    // 0 to 50 % for the receiver, 50 to 100 % for the mouse; while the mouse
    // image is written the record names the mouse, and it goes with the
    // mouse's success.
    QVERIFY(barValues.contains(50));
    QCOMPARE(barValues.last(), 100);
    QCOMPARE(recordWhenTheMouseBegan, QString("210,4,18,2"));
    QVERIFY(!UpdateFailInfo::IsSet());
    QCOMPARE(HidSim::CallsOf("UsbUpgrade_Start").size(), size_t(2));
    const DeviceState receiver = StateOf("r4k");
    QCOMPARE(receiver.version, 0x0102);
    QVERIFY(!receiver.bootMode);
    int version = 0;
    QVERIFY(UsbFinderC_GetSlaveVersion(HidSim::PathOf("r4k"), &version));
    QCOMPARE(version, 0x0102);
    QCOMPARE(CableVersion("m2"), 0x0103);
    QVERIFY(RepairButton()->isHidden());

    // The success look: Confirm and Cancel, the full bar.
    QCOMPARE(Child<QToolButton>("NewHong_2")->text(), Text("Confirm"));
    QVERIFY(Child<QToolButton>("NewHong_2")->isVisible());
    QVERIFY(Child<QToolButton>("NewHong")->isVisible() && Child<QToolButton>("NewHong")->isEnabled());
    QVERIFY(Child<QToolButton>("CloseButton")->isEnabled());
    QCOMPARE(Child<QProgressBar>("progressBar_2")->value(), 100);

    QSignalSpy newVersion(PostMsg::GetInstance(), &PostMsg::SigSetNewVer);
    QSignalSpy changePage(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog);
    QTest::mouseClick(Child<QToolButton>("CloseButton"), Qt::LeftButton);
    QCOMPARE(newVersion.count(), 1);
    QCOMPARE(changePage.count(), 0);
    QVERIFY(!g_UpDateRepair->isVisible());

    // The repaired receiver is listed again. Its mouse is on its cable too,
    // so once the list has taken the mouse's return from its flash, the two
    // share the mouse's cabled tile, and that tile opens the mouse as usual.
    const QByteArray cable = HidSim::PathOf("m2");
    QTRY_VERIFY_WITH_TIMEOUT(ListsReceiverInTheMousesCabledTile("r4k", cable), TestSupport::kHangGuardMs);
    TestSupport::ModalWatcher watcher({}, {"UpDataParam"});
    watcher.answer = false;
    QTest::mouseClick(g_DeviceTiles.first(), Qt::LeftButton);
    QCOMPARE(window->CurrentPage(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(ImageIsDevicesOwn() && !(g_Worker && g_Worker->isRunning())
                                 && QApplication::activeModalWidget() == nullptr,
                             TestSupport::kHangGuardMs);
    QVERIFY2(watcher.Classes().isEmpty(), qPrintable(watcher.Classes().join(", ")));
    QCOMPARE(g_CurrentDevice.Get().Path.toLatin1(), cable);
    QCOMPARE(g_CurrentDevice.Get().Mid, uint8_t(2));

    // The settings page shows the flashed versions at once, and follows a
    // device that comes back with other firmware.
    auto *settings = window->DevicePage()->findChild<FormSetting *>();
    QVERIFY(settings);
    QLabel *receiverVersion = settings->findChild<QLabel *>("label_5");
    QLabel *mouseVersion = settings->findChild<QLabel *>("label_7");
    QTRY_COMPARE_WITH_TIMEOUT(receiverVersion->text(), QString("v1.2"), TestSupport::kHangGuardMs);
    QTRY_COMPARE_WITH_TIMEOUT(mouseVersion->text(), QString("v1.3"), TestSupport::kHangGuardMs);
    QVERIFY(HidSim::ApplyCommand("version r4k 0x0104"));
    QVERIFY(HidSim::ApplyCommand("version m2 0x0106"));
    QTRY_COMPARE_WITH_TIMEOUT(receiverVersion->text(), QString("v1.4"), TestSupport::kHangGuardMs);
    QTRY_COMPARE_WITH_TIMEOUT(mouseVersion->text(), QString("v1.6"), TestSupport::kHangGuardMs);
}

void TestRepairSession::aFailedMouseFlashIsRepairedAgain()
{
    StartInTheRepairWorld();
    QVERIFY(HidSim::ScriptFlashFailure("m2", 40));
    OpenTheDialogReady();
    UpgradeUntil("UpdateFail");

    // The mouse stopped at 40 % of its half.
    QCOMPARE(*std::max_element(barValues.begin(), barValues.end()), 65);
    QCOMPARE(UpdateFailInfo::StoredText(), QString("210,4,18,2"));
    QVERIFY(RepairButton()->isVisible());
    QCOMPARE(StateOf("r4k").version, 0x0102);
    const DeviceState mouse = StateOf("m2");
    QVERIFY(mouse.bootMode);
    QCOMPARE(mouse.version, 0x0102);
    QTest::mouseClick(Child<QToolButton>("CloseButton"), Qt::LeftButton);
    QVERIFY(!g_UpDateRepair->isVisible());

    // Now the receiver is listed and the mouse waits in boot mode on its cable.
    QTRY_VERIFY_WITH_TIMEOUT(g_PageDevices.size() == 1 && !g_PageDevices.first().Wired, TestSupport::kHangGuardMs);
    OpenTheDialogReady();
    UpgradeUntil("UpdateSuccess");
    QCOMPARE(HidSim::CallsOf("UsbUpgrade_Start").size(), size_t(2));  // the receiver, then the mouse
    QVERIFY(barValues.contains(50));
    QCOMPARE(barValues.last(), 100);
    QVERIFY(!UpdateFailInfo::IsSet());
    QVERIFY(!StateOf("m2").bootMode);
    QCOMPARE(CableVersion("m2"), 0x0103);
    QVERIFY(RepairButton()->isHidden());
}

void TestRepairSession::theSpaceKeyFlashesAnOlderReceiver_data()
{
    QTest::addColumn<QString>("answer");  // to the question whether to update
    QTest::addColumn<bool>("flashFails");
    QTest::newRow("yes") << "OK" << false;
    QTest::newRow("yes, the flash fails") << "OK" << true;
    QTest::newRow("no") << "Cancel" << false;
}

// One receiver listed, its mouse already at its newest image (v1.3), the
// receiver older than its image (v1.1 against v1.2): Space asks, and "yes"
// flashes that receiver image alone.
void TestRepairSession::theSpaceKeyFlashesAnOlderReceiver()
{
    QFETCH(QString, answer);
    QFETCH(bool, flashFails);
    HidSim::World world = HidSim::DefaultWorld();
    world.timing.flashMs = kFlashMs;
    HidSim::SetWorld(world);
    for (const char *command : {"unplug r8k", "cable m1 off", "version m2 0x0103"})
        QVERIFY(HidSim::ApplyCommand(command));
    if (flashFails)
        QVERIFY(HidSim::ApplyCommand("flashfail r4k 40"));
    ConfigIni *config = ConfigIni::GetInstance();
    QVERIFY(RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(),
                                     RegistryStore::MouseVerName(config->Value("Option", "CID"),
                                                                 config->Value(ConfigIni::DriveGroup(1), "MID")),
                                     "v1.3"));
    window = std::make_unique<DialogMain>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY_WITH_TIMEOUT(g_PageDevices.size() == 1 && !g_PageDevices.first().Wired, TestSupport::kHangGuardMs);
    QVERIFY(window->DevicePage());
    QVERIFY(RepairButton()->isHidden());
    HidSim::ClearCallLog();

    QList<int> bar;
    QString hintAtTheEnd;
    TestSupport::ModalWatcher question({{"ContainReset", answer}}, {"UpDateRepair"});
    TestSupport::OnModal repair("UpDateRepair", [&](QWidget *dialog) {
        auto *progress = dialog->findChild<QProgressBar *>("progressBar_2");
        connect(progress, &QProgressBar::valueChanged, dialog, [&bar](int value) { bar << value; });
        auto *hint = dialog->findChild<QLabel *>("ToolText_2");
        if (!QTest::qWaitFor(
                [&] { return hint->text() == Text("UpdateSuccess") || hint->text() == Text("UpdateFail"); },
                30000))
            qWarning("the Space key's repair did not end");
        hintAtTheEnd = hint->text();
        QTest::mouseClick(dialog->findChild<QToolButton *>("CloseButton"), Qt::LeftButton);
    });
    QTest::keyClick(window->windowHandle(), Qt::Key_Space);

    QCOMPARE(question.Classes(), QStringList{"ContainReset"});
    if (answer == "Cancel") {
        QVERIFY(!repair.done);
        QVERIFY(HidSim::CallsOf("UsbUpgrade_Start").empty());
        QVERIFY(Shown("r4k").contains("firmware 0x0101, boot mode off"));
        return;
    }
    QVERIFY(repair.done);
    QCOMPARE(HidSim::CallsOf("UsbUpgrade_Start").size(), size_t(1));
    QVERIFY(!bar.isEmpty());
    QVERIFY(std::is_sorted(bar.begin(), bar.end()));
    if (flashFails) {
        QCOMPARE(hintAtTheEnd, Text("UpdateFail"));
        QCOMPARE(UpdateFailInfo::StoredText(), QString("211,4,18,2"));
        QTRY_VERIFY(RepairButton()->isVisible());
        QVERIFY2(Shown("r4k").contains("firmware 0x0101, boot mode on"), qPrintable(Shown("r4k")));
    } else {
        QCOMPARE(hintAtTheEnd, Text("UpdateSuccess"));
        QCOMPARE(bar.last(), 100);
        QVERIFY(!UpdateFailInfo::IsSet());
        QVERIFY(RepairButton()->isHidden());
        QVERIFY2(Shown("r4k").contains("firmware 0x0102, boot mode off"), qPrintable(Shown("r4k")));
    }
}

VOGM_TEST_MAIN(TestRepairSession)
#include "tst_repairsession.moc"
