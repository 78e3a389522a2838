// The firmware dialog on its own: its looks and keys, the result codes, the
// progress its flash callback reports, its buttons, and the repair check
// against the simulated world, the installed images and the record.

#include "configini.h"
#include "globals.h"
#include "hidusb_control.h"
#include "languagereader.h"
#include "postmsg.h"
#include "registrystore.h"
#include "testsupport.h"
#include "updatefailinfo.h"
#include "updaterepair.h"
#include "usbcallbacks.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

QString Text(const QString &tag)
{
    QString text;
    LanguageReader(QStringLiteral("AutoRepair"), {{tag, StoreTarget(&text)}}).Load(0);
    return text;
}

void SetRecord(const QString &text)
{
    QVERIFY(RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), "UpdateFailInfo", text));
}

// The device-selection page's scan, as its USB-change callback makes it.
void ScanPageDevices()
{
    QVERIFY(HidSim::WaitUntilIdle());
    SelectionUsbChangedCallback();
}

enum class Look { Reset, Ready, Error, Updating };

constexpr int kFailedReceiver = 211;

}  // namespace

class TestRepairDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void looksAndTheirKeys_data();
    void looksAndTheirKeys();
    void resultCodes_data();
    void resultCodes();
    void callbackProgress_data();
    void callbackProgress();
    void finishedReports_data();
    void finishedReports();
    void closingAfterARun_data();
    void closingAfterARun();
    void upgradeWithASelectedDeviceHandsTheStartOver();
    void theCheck_data();
    void theCheck();
    void aStartFromTheKeyWithoutAnImageSaysWhy();

private:
    QToolButton *Button(const char *name) const { return dialog->findChild<QToolButton *>(name); }
    QLabel *Hint() const { return dialog->findChild<QLabel *>("ToolText_2"); }
    QProgressBar *Bar() const { return dialog->findChild<QProgressBar *>("progressBar_2"); }
    void Apply(Look look);
    void ShowActive();

    std::unique_ptr<UpDateRepair> dialog;
};

void TestRepairDialog::init()
{
    HidSim::SetWorld(HidSim::DefaultWorld());
    HidSim::ClearCallLog();
    QFile::remove(RegistryStore::DefaultFilePath());
    g_SessionActive = 0;
    g_RepairFlashing = false;
    g_RepairRunning = false;
    g_LinkWatch = 1;
    g_PageDevices.clear();
    dialog = std::make_unique<UpDateRepair>();
}

void TestRepairDialog::cleanup()
{
    dialog.reset();
    g_RepairFlashing = false;
}

void TestRepairDialog::Apply(Look look)
{
    switch (look) {
    case Look::Reset: dialog->ResetUi(); break;
    case Look::Ready: dialog->ShowReady(); break;
    case Look::Error: dialog->SetHintText("hint"); dialog->ShowError(); break;
    case Look::Updating: dialog->ShowUpdating(); break;
    }
}

void TestRepairDialog::ShowActive()
{
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
}

void TestRepairDialog::looksAndTheirKeys_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("look");
    QTest::addColumn<QString>("upgrade");  // text of NewHong_2, "" when hidden
    QTest::addColumn<bool>("cancelShown");
    QTest::addColumn<bool>("cancelEnabled");
    QTest::addColumn<bool>("closeEnabled");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<bool>("barShown");

    const int reset = int(Look::Reset), ready = int(Look::Ready), error = int(Look::Error),
              updating = int(Look::Updating);
    QTest::newRow("reset") << ready << reset << Text("NewHong_2") << true << true << true << "" << false;
    // The reset look keeps what a run disabled.
    QTest::newRow("reset after a run") << updating << reset << Text("NewHong_2") << true << false << false << ""
                                       << false;
    QTest::newRow("ready") << updating << ready << Text("NewHong_2") << true << true << true << Text("ReadyUpdate")
                           << false;
    QTest::newRow("error") << updating << error << Text("Confirm") << true << true << true << "hint" << false;
    QTest::newRow("updating") << ready << updating << "" << false << false << false << Text("UpdateNotMove")
                              << true;
}

void TestRepairDialog::looksAndTheirKeys()
{
    QFETCH(int, before);
    QFETCH(int, look);
    QFETCH(QString, upgrade);
    QFETCH(bool, cancelShown);
    QFETCH(bool, cancelEnabled);
    QFETCH(bool, closeEnabled);
    QFETCH(QString, hint);
    QFETCH(bool, barShown);
    g_RepairFlashing = Look(look) == Look::Updating;  // a run: the keys must not close it

    dialog->ResetUi();  // as every opener does first
    Apply(Look(before));
    Apply(Look(look));
    QCOMPARE(Button("NewHong_2")->isHidden(), upgrade.isEmpty());
    if (!upgrade.isEmpty())
        QCOMPARE(Button("NewHong_2")->text(), upgrade);
    QCOMPARE(Button("NewHong")->isHidden(), !cancelShown);
    QCOMPARE(Button("NewHong")->text(), Text("Cancel"));
    QCOMPARE(Button("NewHong")->isEnabled(), cancelEnabled);
    QVERIFY(!Button("CloseButton")->isHidden());
    QCOMPARE(Button("CloseButton")->isEnabled(), closeEnabled);
    QVERIFY(!Hint()->isHidden());
    QCOMPARE(Hint()->text(), hint);
    QCOMPARE(Bar()->isHidden(), !barShown);

    // Return clicks NewHong_2 and Escape NewHong where shown and enabled;
    // elsewhere neither key closes the dialog.
    // A shortcut clicks its button with a short animation: the button is down
    // from the key on, and the click comes as it goes up again.
    const auto keyClick = [this](Qt::Key key) {
        ShowActive();
        QTest::keyClick(dialog->windowHandle(), key);
        QVERIFY(QTest::qWaitFor([this] { return !Button("NewHong_2")->isDown() && !Button("NewHong")->isDown(); },
                                TestSupport::kHangGuardMs));
    };
    QSignalSpy upgradeClicks(Button("NewHong_2"), &QAbstractButton::clicked);
    QSignalSpy cancelClicks(Button("NewHong"), &QAbstractButton::clicked);
    keyClick(Qt::Key_Escape);
    const bool cancelUsable = cancelShown && cancelEnabled;
    QCOMPARE(cancelClicks.count(), cancelUsable ? 1 : 0);
    QCOMPARE(dialog->isVisible(), !cancelUsable && !closeEnabled);
    keyClick(Qt::Key_Return);
    QCOMPARE(upgradeClicks.count(), upgrade.isEmpty() ? 0 : 1);
    QCOMPARE(cancelClicks.count(), cancelUsable ? 1 : 0);
}

void TestRepairDialog::resultCodes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("bar");
    QTest::addColumn<bool>("confirm");  // NewHong_2 reads Confirm (else Upgrade)
    QTest::addColumn<bool>("cancelShown");
    QTest::addColumn<bool>("enabled");  // NewHong and CloseButton
    QTest::addColumn<QString>("hint");

    QTest::newRow("0 progress") << 0 << 40 << false << true << false << "";
    QTest::newRow("1 failure") << 1 << 30 << true << true << true << Text("UpdateFail");
    QTest::newRow("2 success") << 2 << 100 << true << true << true << Text("UpdateSuccess");
    QTest::newRow("3 hide Cancel") << 3 << 30 << false << false << false << "";
    QTest::newRow("4 hide Cancel, bar 0") << 4 << 0 << false << false << false << "";
    QTest::newRow("5 half-way failure") << 5 << 50 << true << true << true << Text("UpdateFail");
    QTest::newRow("6 failure") << 6 << 30 << false << true << true << Text("UpdateFail");
    QTest::newRow("7 nothing") << 7 << 30 << false << true << false << "";
}

void TestRepairDialog::resultCodes()
{
    QFETCH(int, code);
    // Upgrade and Cancel shown, Cancel and Close disabled by the run, bar at 30.
    dialog->ShowUpdating();
    dialog->ResetUi();
    dialog->SlotProgress(30, 0);

    PostMsg::GetInstance()->EmitProgress(40, code);
    QTEST(Bar()->value(), "bar");
    QTEST(Button("NewHong_2")->text() == Text("Confirm"), "confirm");
    QVERIFY(!Button("NewHong_2")->isHidden());
    QTEST(!Button("NewHong")->isHidden(), "cancelShown");
    QTEST(Button("NewHong")->isEnabled(), "enabled");
    QTEST(Button("CloseButton")->isEnabled(), "enabled");
    QTEST(Hint()->text(), "hint");
}

void TestRepairDialog::callbackProgress_data()
{
    QTest::addColumn<int>("stageCount");
    QTest::addColumn<int>("stage");
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QList<int>>("shown");

    QTest::newRow("two images: receiver at 100") << 2 << 0 << QByteArray("\7\1\144", 3) << QList<int>{50};
    QTest::newRow("two images: mouse at 0") << 2 << 1 << QByteArray("\7\1\0", 3) << QList<int>{50};
    QTest::newRow("two images: mouse at 100") << 2 << 1 << QByteArray("\7\1\144", 3) << QList<int>{100};
    QTest::newRow("one image at 37") << 1 << 0 << QByteArray("\7\1\45", 3) << QList<int>{37};
    QTest::newRow("not a firmware report") << 1 << 0 << QByteArray("\10\1\62", 3) << QList<int>{};
    QTest::newRow("unknown kind") << 1 << 0 << QByteArray("\7\3\1", 3) << QList<int>{};
}

void TestRepairDialog::callbackProgress()
{
    QFETCH(int, stageCount);
    QFETCH(int, stage);
    QFETCH(QByteArray, report);
    QFETCH(QList<int>, shown);
    g_RepairStageCount = stageCount;
    g_RepairStage = stage;
    UpdateFailInfo::Write(211, 4, 18, 2);
    QSignalSpy progress(PostMsg::GetInstance(), &PostMsg::SigAutoRepairProgress);
    QSignalSpy results(PostMsg::GetInstance(), &PostMsg::SigProgress);

    RepairUpgradeCallBack(reinterpret_cast<const unsigned char *>(report.constData()));
    QList<int> values;
    for (const QList<QVariant> &args : progress)
        values << args.at(0).toInt();
    QCOMPARE(values, shown);
    QCOMPARE(bool(g_RepairFlashing), !shown.isEmpty());
    QCOMPARE(results.count(), 0);
    QCOMPARE(UpdateFailInfo::StoredText(), QString("211,4,18,2"));
    if (!shown.isEmpty())
        QCOMPARE(Bar()->value(), shown.last());
}

void TestRepairDialog::finishedReports_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("stageCount");
    QTest::addColumn<int>("failedStage");
    QTest::addColumn<QString>("mouseModel");  // "" finds no mouse image
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("autoRepair");     // SigAutoRepair
    QTest::addColumn<bool>("hideRepair");    // SigUpDateButton
    QTest::addColumn<int>("code");           // SigProgress(0, code)
    QTest::addColumn<QString>("record");     // afterwards; "" removed

    const QByteArray ok("\7\2\1", 3);
    // The receiver was what failed and its image was the only one: done.
    QTest::newRow("one image: the receiver's success ends it") << 0 << 1 << 0 << "" << ok << 0 << true << 2 << "";
    // No mouse on its cable to take the mouse image: half-way.
    QTest::newRow("two images: the mouse cannot follow") << 0 << 2 << 0 << "VOM-M2" << ok << 1 << true << 5 << "";
    QTest::newRow("the mouse's success") << 1 << 2 << 1 << "VOM-M2" << ok << 0 << true << 2 << "";
    QTest::newRow("the receiver fails") << 0 << 2 << 0 << "VOM-M2" << QByteArray("\7\2\0", 3) << 1 << false << 6
                                        << "211,4,18,2";
    QTest::newRow("the mouse fails (any result but 1)") << 1 << 2 << 0 << "VOM-M2" << QByteArray("\7\2\2", 3) << 1
                                                         << false << 6 << "210,4,18,2";
}

void TestRepairDialog::finishedReports()
{
    QFETCH(int, stage);
    QFETCH(QByteArray, report);
    QFETCH(bool, hideRepair);
    g_RepairStage = stage;
    QFETCH(int, stageCount);
    g_RepairStageCount = stageCount;
    QFETCH(int, failedStage);
    g_RepairFailedStage = failedStage;
    QFETCH(QString, mouseModel);
    SetRepairMouseModel(mouseModel);
    SetRepairCableMousePath(QByteArray());
    g_RepairReceiverClass = 4;
    g_RepairCid = 18;
    g_RepairMid = 2;
    g_RepairRunning = true;
    g_RepairFlashing = true;
    g_LinkWatch = 0;
    UpdateFailInfo::Write(kFailedReceiver, 4, 18, 2);
    PostMsg *hub = PostMsg::GetInstance();
    QSignalSpy autoRepair(hub, &PostMsg::SigAutoRepair);
    QSignalSpy button(hub, &PostMsg::SigUpDateButton);
    QSignalSpy progress(hub, &PostMsg::SigProgress);

    RepairUpgradeCallBack(reinterpret_cast<const unsigned char *>(report.constData()));
    QCOMPARE(autoRepair.count(), 1);
    QTEST(autoRepair.first().at(0).toInt(), "autoRepair");
    QCOMPARE(button.count(), 1);
    QCOMPARE(button.first().at(0).toBool(), hideRepair);
    QCOMPARE(progress.count(), 1);
    QCOMPARE(progress.first().at(0).toInt(), 0);
    QTEST(progress.first().at(1).toInt(), "code");
    QTEST(UpdateFailInfo::StoredText(), "record");
    QVERIFY(!g_RepairRunning);
    QVERIFY(!g_RepairFlashing);
    QCOMPARE(int(g_LinkWatch), 1);
    QVERIFY(HidSim::CallsOf("UsbUpgrade_Start").empty());
}

void TestRepairDialog::closingAfterARun_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");  // the run's result code
    QTest::addColumn<int>("session");
    QTest::addColumn<bool>("flashing");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<int>("newVersion");   // SigSetNewVer count
    QTest::addColumn<int>("backToList");   // SigChangeMainDialog(0) count

    QTest::newRow("close at 100") << "CloseButton" << 2 << 1 << false << true << 1 << 0;
    QTest::newRow("confirm at 100") << "NewHong_2" << 2 << 0 << false << true << 1 << 0;
    QTest::newRow("failed, device selected") << "NewHong" << 6 << 1 << false << true << 0 << 1;
    QTest::newRow("failed, no device selected") << "CloseButton" << 6 << 0 << false << true << 0 << 0;
    QTest::newRow("refused while flashing") << "NewHong" << 6 << 1 << true << false << 0 << 0;
}

void TestRepairDialog::closingAfterARun()
{
    QFETCH(QString, button);
    QFETCH(int, result);
    QFETCH(bool, closed);
    QFETCH(int, session);
    QFETCH(bool, flashing);
    g_SessionActive = session;
    dialog->ShowUpdating();
    dialog->SlotProgress(40, 0);
    dialog->SlotProgress(0, result);
    dialog->show();
    g_RepairFlashing = flashing;
    QSignalSpy newVersion(PostMsg::GetInstance(), &PostMsg::SigSetNewVer);
    QSignalSpy changePage(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog);
    QSignalSpy updateStart(PostMsg::GetInstance(), &PostMsg::SigUpdateStart);

    Button(button.toLatin1().constData())->click();
    QCOMPARE(!dialog->isVisible(), closed);
    QTEST(int(newVersion.count()), "newVersion");
    QTEST(int(changePage.count()), "backToList");
    if (changePage.count())
        QCOMPARE(changePage.first().at(0).toInt(), 0);
    QCOMPARE(updateStart.count(), 0);
}

void TestRepairDialog::upgradeWithASelectedDeviceHandsTheStartOver()
{
    g_SessionActive = 1;
    SetRecord("211,4,18,2");
    dialog->ShowReady();
    dialog->show();
    QSignalSpy updateStart(PostMsg::GetInstance(), &PostMsg::SigUpdateStart);
    Button("NewHong_2")->click();
    QCOMPARE(updateStart.count(), 1);
    QVERIFY(HidSim::CallsOf("UsbUpgrade_Start").empty());
    QVERIFY(dialog->isVisible());
    QVERIFY(!g_RepairRunning);
}

void TestRepairDialog::theCheck_data()
{
    QTest::addColumn<QString>("record");
    QTest::addColumn<QStringList>("commands");   // on the default world
    QTest::addColumn<bool>("secondBootReceiver");  // another receiver of r4k's model, in boot mode
    QTest::addColumn<bool>("images");              // the staged bin/ folder
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("hint");  // language tag; "" for an unchanged dialog
    QTest::addColumn<int>("stageCount");

    const QStringList onlyM2OnCable{"unplug r4k", "unplug r8k", "cable m1 off", "cable m2 on"};
    const QStringList repairWorld{"boot r4k on", "unplug r8k", "cable m1 off", "cable m2 on"};
    QTest::newRow("three fields") << "211,4,18" << repairWorld << false << true << false << "" << 0;
    QTest::newRow("nothing listed") << "211,4,18,2" << QStringList{"unplug r4k", "unplug r8k", "cable m1 off"}
                                    << false << true << false << "NoDevice" << 0;
    QTest::newRow("two cable mice") << "211,4,18,2" << QStringList{"cable m2 on"} << false << true << false
                                    << "MultiMouse" << 0;
    QTest::newRow("two receivers") << "211,4,18,2" << QStringList() << false << true << false << "MultiDongle"
                                   << 0;
    QTest::newRow("receiver record, only the receiver listed")
        << "211,4,18,2" << QStringList{"unplug r8k", "cable m1 off"} << false << true << false << "NoUSB" << 0;
    // A kill leaves such worlds: the needed device anywhere in the list, or
    // waiting in boot mode.
    QTest::newRow("mouse record, receiver and cable mouse listed")
        << "210,4,18,2" << QStringList{"unplug r8k", "cable m1 off", "cable m2 on"} << false << true << true << ""
        << 2;
    QTest::newRow("receiver record, receiver and cable mouse listed")
        << "211,4,18,2" << QStringList{"unplug r8k", "cable m1 off", "cable m2 on"} << false << true << true << ""
        << 2;
    QTest::newRow("mouse record, both in boot mode, nothing listed")
        << "210,4,18,2" << QStringList{"boot r4k on", "unplug r8k", "cable m1 off", "cable m2 on", "boot m2 on"}
        << false << true << true << "" << 2;
    QTest::newRow("mouse record, receiver listed, mouse in boot mode")
        << "210,4,18,2" << QStringList{"unplug r8k", "cable m1 off", "cable m2 on", "boot m2 on"} << false << true
        << true << "" << 2;
    QTest::newRow("mouse record, mouse in boot mode, no receiver")
        << "210,4,18,2" << QStringList{"unplug r4k", "unplug r8k", "cable m1 off", "cable m2 on", "boot m2 on"}
        << false << true << false << "NoRecieve" << 2;
    QTest::newRow("mouse record, the mouse neither listed nor in boot mode")
        << "210,4,18,2" << QStringList{"unplug r8k", "cable m1 off"} << false << true << false << "NoDevice" << 2;
    QTest::newRow("ready: m2 on cable, r4k in boot mode") << "211,4,18,2" << repairWorld << false << true << true
                                                          << "" << 2;
    QTest::newRow("receiver neither listed nor in boot mode") << "211,4,18,2" << onlyM2OnCable << false << true
                                                              << false << "NoDevice" << 2;
    QTest::newRow("two receivers in boot mode") << "211,4,18,2" << repairWorld << true << true << false
                                                << "SameDevice" << 2;
    QTest::newRow("no images installed") << "211,4,18,2" << repairWorld << false << false << false << "FileError"
                                         << 1;
    // An unknown target skips the device checks; no model has the model id.
    QTest::newRow("model id of no model") << "212,4,18,9" << QStringList{"unplug r8k", "cable m1 off"} << false
                                          << true << false << "FileError" << 0;
}

void TestRepairDialog::theCheck()
{
    QFETCH(QString, record);
    QFETCH(QStringList, commands);
    QFETCH(bool, secondBootReceiver);
    QFETCH(bool, images);
    QFETCH(bool, result);
    QFETCH(QString, hint);
    QFETCH(int, stageCount);
    std::unique_ptr<TestSupport::FolderWithoutImages> folder;
    if (!images)
        folder = std::make_unique<TestSupport::FolderWithoutImages>();
    HidSim::World world = HidSim::DefaultWorld();
    if (secondBootReceiver) {
        HidSim::Receiver twin = world.receivers.front();
        twin.name = "r4k-2";
        twin.mouse.clear();
        twin.bootMode = true;
        world.receivers.push_back(twin);
    }
    HidSim::SetWorld(world);
    for (const QString &command : commands)
        QVERIFY2(HidSim::ApplyCommand(command), qPrintable(command));
    ScanPageDevices();
    SetRecord(record);
    g_RepairStageCount = 0;
    dialog->ResetUi();
    dialog->SetHintText("before");

    QCOMPARE(dialog->CheckRepair(), result);
    if (hint.isEmpty()) {
        QCOMPARE(Hint()->text(), QString("before"));
        QCOMPARE(Button("NewHong_2")->text(), Text("NewHong_2"));
    } else {
        QCOMPARE(Hint()->text(), Text(hint));
        QCOMPARE(Button("NewHong_2")->text(), Text("Confirm"));
        QVERIFY(!Button("NewHong")->isHidden());
    }
    if (stageCount)
        QCOMPARE(int(g_RepairStageCount), stageCount);
    QVERIFY(HidSim::CallsOf("UsbUpgrade_Start").empty());
}

// The Space key's start when no receiver image is installed: the error look
// with its hint, never the bare constructed look. (Its flashes: the Space key
// cases of tst_repairsession.)
void TestRepairDialog::aStartFromTheKeyWithoutAnImageSaysWhy()
{
    TestSupport::FolderWithoutImages noImages;
    QSignalSpy ends(PostMsg::GetInstance(), &PostMsg::SigAutoRepair);
    dialog->StartRepairFromKey(4, ConfigIni::DriveGroup(1), 18, 2);
    QVERIFY(dialog->IsExternalStart());
    QVERIFY(HidSim::CallsOf("UsbUpgrade_Start").empty());
    QCOMPARE(ends.count(), 0);
    QVERIFY(!g_RepairRunning);
    QCOMPARE(Hint()->text(), Text("FileError"));
    QCOMPARE(Button("NewHong_2")->text(), Text("Confirm"));
    QVERIFY(!Button("NewHong_2")->isHidden());
    QVERIFY(!Button("NewHong")->isHidden() && Button("NewHong")->isEnabled());
    QVERIFY(Bar()->isHidden());
    QVERIFY(!UpdateFailInfo::IsSet());
}

VOGM_TEST_MAIN(TestRepairDialog)
#include "tst_repairdialog.moc"
