// The settings page's firmware versions and update engine against the
// simulated devices and the staged images (receivers v1.2, mice v1.3): the
// version labels and the update button's looks, the check, the flash
// callbacks, and whole runs from the repair dialog's Upgrade to the flashed
// devices, including a flash that fails and its repair.

#include "discovery.h"
#include "firmwareimages.h"
#include "formsetting.h"
#include "globals.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "languagereader.h"
#include "notices.h"
#include "postmsg.h"
#include "registrystore.h"
#include "testsupport.h"
#include "updateengine.h"
#include "updatefailinfo.h"
#include "updaterepair.h"
#include "usbcallbacks.h"
#include "waits.h"
#include "worldfixtures.h"

#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace Fixtures;

Q_DECLARE_METATYPE(QList<DeviceAllInfo>)

namespace {

const QString kVid = QStringLiteral("0xFF5C");

// The device list's record of a device, as its scan makes it.
DeviceAllInfo Listed(const QString &device)
{
    const QString path = QString::fromLatin1(HidSim::PathOf(device));
    g_PageDevices.clear();
    EnumeratePageDevices(kVid, ConfiguredProductIds());
    for (int i = 0; i < g_PageDevices.size(); ++i) {
        if (g_PageDevices.at(i).Path == path && RefreshPageEntry(i))
            return g_PageDevices.at(i);
    }
    qFatal("device %s is not listed", qPrintable(device));
    return {};
}

// The current device as the program holds it after its version reports.
DeviceAllInfo Current(const QString &device, bool online, const QString &mouseVersion)
{
    DeviceAllInfo info = Listed(device);
    info.Online = online;
    info.FirmwareVersion = mouseVersion;
    return info;
}

uint16_t VersionOf(const QString &device)
{
    const HidSim::World world = HidSim::CurrentWorld();
    for (const HidSim::Receiver &r : world.receivers) {
        if (r.name == device)
            return r.version;
    }
    for (const HidSim::Mouse &m : world.mice) {
        if (m.name == device)
            return m.version;
    }
    return 0;
}

QString Record()
{
    return UpdateFailInfo::StoredText();
}

void SetRecord(const QString &text)
{
    QVERIFY(RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), "UpdateFailInfo", text));
}

// The world of a run: the 4 kHz receiver (v1.1) with its mouse m2 (v1.2)
// attached by its cable as well.
HidSim::World CabledPairWorld()
{
    HidSim::World world = FastDefaultWorld();
    for (HidSim::Mouse &m : world.mice) {
        if (m.name == "m2")
            m.cable = true;
    }
    return world;
}

enum Look { Plain, UpdateAvailable, Unchanged };

QList<QVariantList> ProgressOf(const QSignalSpy &spy)
{
    QList<QVariantList> calls;
    for (const QList<QVariant> &call : spy)
        calls.append(call);
    return calls;
}

}  // namespace

class TestFirmwareUpdate : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void versionLabels_data();
    void versionLabels();
    void versionIndexes_data();
    void versionIndexes();
    void labelSignals_data();
    void labelSignals();
    void theCheck_data();
    void theCheck();
    void flashReports_data();
    void flashReports();
    void updateButton_data();
    void updateButton();
    void wholeUpdateFromTheDialog();
    void failedFlashAndItsRepair();
    void upgradeAfterTheImagesWent();
    void aFlashWithoutDurationStillEnds();
    void receiverRunCountingTwoReceivers();

private:
    template <typename T = QWidget>
    T *Child(const char *name) const
    {
        T *child = page->findChild<T *>(name);
        if (!child)
            qFatal("the settings page has no %s", name);
        return child;
    }
    QString Receiver() const { return Child<QLabel>("label_5")->text(); }
    QString Mouse() const { return Child<QLabel>("label_7")->text(); }
    QToolButton *UpdateButton() const { return Child<QToolButton>("Receive_2"); }
    Look LookOfUpdateButton() const;
    QString Text(const QString &tag) const;
    void OpenReadyDialog();
    void ClickUpgrade();
    bool WaitForRunEnd(int timeoutMs = TestSupport::kHangGuardMs);

    std::unique_ptr<FormSetting> page;
};

void TestFirmwareUpdate::init()
{
    HidSim::SetWorld(FastDefaultWorld());
    HidSim::ClearCallLog();
    QFile::remove(RegistryStore::DefaultFilePath());
    g_SessionActive = 0;
    g_LinkWatch = 1;
    g_UpdateBusy = false;
    g_MouseUpdateFound = false;
    g_ReceiverUpdateFound = false;
    g_DongleUpdateState = kRunIdle;
    g_MouseUpdateState = kRunIdle;
    g_UpdateStageCount = 1;
    g_FoundDevices.clear();
    g_CurrentDevice.Set(DeviceAllInfo());
    page = std::make_unique<FormSetting>();
    page->resize(880, 600);
    // The run's repair dialog, built when first needed (as the update button would).
    SharedRepairDialog();
}

void TestFirmwareUpdate::cleanup()
{
    HidSim::WaitUntilIdle();
    page.reset();
    g_FoundDevices.clear();
}

Look TestFirmwareUpdate::LookOfUpdateButton() const
{
    const QString sheet = UpdateButton()->styleSheet();
    if (sheet.contains("WaitUpdate.png") && sheet.contains("QToolButton::hover{background-image: url(")
        && sheet.contains("WaitUpdateHover.png"))
        return UpdateAvailable;
    if (sheet.contains("border-image: url(") && sheet.endsWith("Confirm.png);}"))
        return Plain;
    return Unchanged;
}

// A firmware text of the page, as the check and the engine show it.
QString TestFirmwareUpdate::Text(const QString &tag) const
{
    QString text;
    LanguageReader(QStringLiteral("FormSetting"), {{tag, StoreTarget(&text)}}).Load(CurrentLanguageIndex());
    return text;
}

void TestFirmwareUpdate::versionLabels_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("online");
    QTest::addColumn<QStringList>("listed");  // "m2:cable" is m2 on its cable
    QTest::addColumn<bool>("withImages");
    QTest::addColumn<QString>("receiver");
    QTest::addColumn<QString>("mouse");
    QTest::addColumn<bool>("receiverFound");
    QTest::addColumn<bool>("mouseFound");
    QTest::addColumn<int>("look");

    QTest::newRow("receiver mouse online") << "r4k" << true << QStringList{"r4k"} << true << "v1.1" << "v1.2"
                                           << true << true << int(UpdateAvailable);
    QTest::newRow("receiver mouse off") << "r8k" << false << QStringList{"r8k"} << true << "v1.1" << ""
                                        << true << false << int(UpdateAvailable);
    QTest::newRow("cable, one entry") << "m1" << true << QStringList{"m1"} << true << "" << "v1.2" << false
                                      << true << int(UpdateAvailable);
    QTest::newRow("cable, its receiver beside") << "m2:cable" << true << QStringList{"m2:cable", "r4k"} << true
                                                << "v1.1" << "v1.2" << true << true << int(UpdateAvailable);
    QTest::newRow("cable, another receiver beside") << "m2:cable" << true << QStringList{"m2:cable", "r8k"}
                                                    << true << "v1.1" << "v1.2" << true << true
                                                    << int(UpdateAvailable);
    QTest::newRow("no image folder") << "r4k" << true << QStringList{"r4k"} << false << "v1.1" << "v1.2"
                                     << false << false << int(Unchanged);
}

void TestFirmwareUpdate::versionLabels()
{
    QFETCH(QString, device);
    QFETCH(bool, online);
    QFETCH(QStringList, listed);
    QFETCH(bool, withImages);
    QFETCH(QString, receiver);
    QFETCH(QString, mouse);
    QFETCH(bool, receiverFound);
    QFETCH(bool, mouseFound);
    QFETCH(int, look);

    HidSim::SetWorld(CabledPairWorld());
    QList<DeviceAllInfo> found;
    for (const QString &entry : listed)
        found.append(Current(entry.section(':', 0, 0), true, QString()));
    g_FoundDevices = found;
    g_CurrentDevice.Set(Current(device.section(':', 0, 0), online, "v1.2"));
    UpdateButton()->setStyleSheet("QToolButton{}");

    std::unique_ptr<TestSupport::FolderWithoutImages> noImages;
    if (!withImages)
        noImages = std::make_unique<TestSupport::FolderWithoutImages>();
    page->SetVer(0);

    QCOMPARE(Receiver(), receiver);
    QCOMPARE(Mouse(), mouse);
    QCOMPARE(bool(g_ReceiverUpdateFound), receiverFound);
    QCOMPARE(bool(g_MouseUpdateFound), mouseFound);
    QCOMPARE(int(LookOfUpdateButton()), look);
}

void TestFirmwareUpdate::versionIndexes_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("receiverMarker");  // still shown
    QTest::addColumn<bool>("mouseMarker");
    QTest::addColumn<bool>("receiveText");     // Receive_2 reads ReceiveText
    QTest::addColumn<bool>("flagsCleared");
    QTest::addColumn<QString>("receiver");
    QTest::addColumn<QString>("mouse");

    QTest::newRow("1") << 1 << false << true << false << false << "a" << "b";
    QTest::newRow("2") << 2 << true << false << false << false << "a" << "b";
    QTest::newRow("3") << 3 << true << true << true << false << "a" << "b";
    QTest::newRow("4") << 4 << false << false << true << true << "a" << "b";
    QTest::newRow("5") << 5 << false << false << true << true << "v1.1" << "v1.2";
    QTest::newRow("6") << 6 << true << true << false << false << "" << "";
    QTest::newRow("7") << 7 << true << true << false << false << "a" << "b";
    QTest::newRow("-1") << -1 << true << true << false << false << "a" << "b";
}

void TestFirmwareUpdate::versionIndexes()
{
    QFETCH(int, index);
    QFETCH(bool, receiverMarker);
    QFETCH(bool, mouseMarker);
    QFETCH(bool, receiveText);
    QFETCH(bool, flagsCleared);
    QFETCH(QString, receiver);
    QFETCH(QString, mouse);

    // A check that finds nothing newer leaves ReceiverNoUpdate set.
    HidSim::SetWorld(CabledPairWorld());
    g_FoundDevices = {Current("m2", true, QString()), Current("r4k", true, QString())};
    g_CurrentDevice.Set(Current("m2", true, "v1.3"));
    Child<QLabel>("label_5")->setText("v1.2");
    Child<QLabel>("label_7")->setText("v1.3");
    QVERIFY(!page->ChechIsUpDate());
    QVERIFY(page->Engine().Context().receiverNoUpdate);
    g_CurrentDevice.Set(Current("m2", true, "v1.2"));

    Child<QLabel>("label_5")->setText("a");
    Child<QLabel>("label_7")->setText("b");
    Child("toolButton_2")->show();
    Child("toolButton_3")->show();
    UpdateButton()->setText("before");
    const QString sheet = UpdateButton()->styleSheet();

    page->SetVer(index);

    QCOMPARE(!Child("toolButton_2")->isHidden(), receiverMarker);
    QCOMPARE(!Child("toolButton_3")->isHidden(), mouseMarker);
    QCOMPARE(UpdateButton()->text(), receiveText ? Text("Receive") : QString("before"));
    QCOMPARE(page->Engine().Context().receiverNoUpdate, !flagsCleared);
    QCOMPARE(Receiver(), receiver);
    QCOMPARE(Mouse(), mouse);
    QCOMPARE(UpdateButton()->styleSheet(), sheet);
}

void TestFirmwareUpdate::labelSignals_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<int>("look");
    QTest::newRow("true") << "true" << int(UpdateAvailable);
    QTest::newRow("True") << "True" << int(Plain);
    QTest::newRow("1") << "1" << int(Plain);
    QTest::newRow("empty") << "" << int(Plain);
}

void TestFirmwareUpdate::labelSignals()
{
    QFETCH(QString, hint);
    QFETCH(int, look);
    PostMsg *hub = PostMsg::GetInstance();
    hub->EmitLabelTextB("v9.1", hint);
    QCOMPARE(Receiver(), QString("v9.1"));
    QCOMPARE(int(LookOfUpdateButton()), look);

    g_CurrentDevice.Set(DeviceAllInfo());
    hub->EmitLabelText(2, "v7.7");
    QCOMPARE(Receiver(), QString("v9.1"));
    hub->EmitLabelText(0, "v2.0");
    hub->EmitLabelText(1, "v3.0");
    QCOMPARE(Receiver(), QString("v2.0"));
    QCOMPARE(Mouse(), QString("v3.0"));
    QCOMPARE(g_CurrentDevice.Get().UsbVersion, QString("v2.0"));
    QCOMPARE(g_CurrentDevice.Get().FirmwareVersion, QString("v3.0"));

    hub->EmitSetNewVer();
    QCOMPARE(UpdateButton()->text(), Text("VerNew"));
}

void TestFirmwareUpdate::theCheck_data()
{
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("boot");  // device waiting in boot mode
    QTest::addColumn<QString>("labels");  // label_5 / label_7
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("hint");  // tag of the dialog's hint; empty: the ready look
    QTest::addColumn<int>("stages");

    const QString shown = "v1.1/v1.2";
    QTest::newRow("nothing listed") << QStringList{} << "" << "" << shown << false << "Error" << 1;
    QTest::newRow("two wireless") << QStringList{"r4k", "r8k"} << "" << "" << shown << false << "NoUSB" << 1;
    QTest::newRow("two models") << QStringList{"m1", "r4k"} << "" << "" << shown << false << "NoRecieve" << 1;
    QTest::newRow("both images newer") << QStringList{"m2", "r4k"} << "" << "" << shown << true << "" << 2;
    QTest::newRow("nothing newer") << QStringList{"m2", "r4k"} << "" << "" << "v1.2/v1.3" << false << "VerNew"
                                   << 1;
    QTest::newRow("two and two") << QStringList{"r4k", "r8k", "m1", "m2"} << "" << "" << shown << false
                                 << "MultiMouse" << 1;
    QTest::newRow("wireless, no record") << QStringList{"r4k"} << "" << "" << shown << false << "NoUSB" << 1;
    QTest::newRow("cable, no record") << QStringList{"m2"} << "" << "" << shown << false << "NoRecieve" << 1;
    QTest::newRow("receiver repair") << QStringList{"m2"} << "211,4,18,2" << "r4k" << shown << true << "" << 2;
    QTest::newRow("receiver repair, none in boot mode") << QStringList{"m2"} << "211,4,18,2" << "" << shown
                                                        << false << "NoDevice" << 1;
    QTest::newRow("other target") << QStringList{"m2"} << "212,4,18,2" << "r4k" << shown << false << "Error" << 1;
    QTest::newRow("other customer") << QStringList{"m2"} << "211,4,19,2" << "r4k" << shown << false << "Error"
                                    << 1;
    QTest::newRow("no receiver class") << QStringList{"m2"} << "211,3,18,2" << "r4k" << shown << false << "Error"
                                       << 1;
    QTest::newRow("five fields") << QStringList{"m2"} << "211,4,18,2,0" << "r4k" << shown << false
                                 << "NoRecieve" << 1;
    QTest::newRow("mouse record, listed mouse") << QStringList{"m2"} << "210,4,18,2" << "" << shown << false
                                                << "NoRecieve" << 1;
}

void TestFirmwareUpdate::theCheck()
{
    QFETCH(QStringList, listed);
    QFETCH(QString, record);
    QFETCH(QString, boot);
    QFETCH(QString, labels);
    QFETCH(bool, result);
    QFETCH(QString, hint);
    QFETCH(int, stages);

    HidSim::World world = CabledPairWorld();
    for (HidSim::Receiver &r : world.receivers)
        r.bootMode = r.name == boot;
    HidSim::SetWorld(world);
    if (!record.isEmpty())
        SetRecord(record);
    QList<DeviceAllInfo> found;
    for (const QString &name : listed)
        found.append(Current(name, true, QString()));
    g_FoundDevices = found;
    g_CurrentDevice.Set(Current("m2", true, "v1.2"));
    Child<QLabel>("label_5")->setText(labels.section('/', 0, 0));
    Child<QLabel>("label_7")->setText(labels.section('/', 1, 1));
    g_UpdateStageCount = 1;
    g_UpDateRepair->ResetUi();

    QCOMPARE(page->ChechIsUpDate(), result);
    QCOMPARE(int(g_UpdateStageCount), stages);
    QLabel *dialogHint = g_UpDateRepair->findChild<QLabel *>("ToolText_2");
    if (hint.isEmpty())
        QVERIFY(dialogHint->text().isEmpty());
    else
        QCOMPARE(dialogHint->text(), Text(hint));
}

void TestFirmwareUpdate::flashReports_data()
{
    QTest::addColumn<int>("dongleState");
    QTest::addColumn<int>("mouseState");
    QTest::addColumn<int>("stages");
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QString>("progress");  // "value,code" of each SigProgress
    QTest::addColumn<int>("dongleAfter");
    QTest::addColumn<int>("mouseAfter");
    QTest::addColumn<bool>("recordWritten");

    auto bytes = [](int a, int b, int c) { const char raw[] = {char(a), char(b), char(c)};
        return QByteArray(raw, 3); };
    QTest::newRow("receiver progress, two images") << 1 << 0 << 2 << bytes(7, 1, 40) << "20,0" << 1 << 0 << false;
    QTest::newRow("mouse progress 0, two images") << 0 << 1 << 2 << bytes(7, 1, 0) << "50,0" << 0 << 1 << false;
    QTest::newRow("mouse progress 100, two images") << 0 << 1 << 2 << bytes(7, 1, 100) << "100,0" << 0 << 1
                                                    << false;
    QTest::newRow("receiver progress, one image") << 1 << 0 << 1 << bytes(7, 1, 40) << "40,0" << 1 << 0 << false;
    QTest::newRow("finished 0") << 1 << 0 << 1 << bytes(7, 2, 0) << "0,1" << 3 << 0 << true;
    QTest::newRow("finished 2") << 0 << 1 << 1 << bytes(7, 2, 2) << "0,1" << 0 << 3 << true;
    QTest::newRow("finished 255") << 1 << 0 << 2 << bytes(7, 2, 255) << "0,1" << 3 << 0 << true;
    QTest::newRow("receiver success, two images") << 1 << 0 << 2 << bytes(7, 2, 1) << "" << 2 << 0 << false;
    QTest::newRow("mouse success") << 0 << 1 << 2 << bytes(7, 2, 1) << "0,2" << 0 << 2 << false;
    QTest::newRow("not an upgrade report") << 1 << 0 << 1 << bytes(6, 1, 1) << "" << 1 << 0 << false;
    QTest::newRow("unknown kind") << 1 << 0 << 1 << bytes(7, 3, 1) << "" << 1 << 0 << false;
}

void TestFirmwareUpdate::flashReports()
{
    QFETCH(int, dongleState);
    QFETCH(int, mouseState);
    QFETCH(int, stages);
    QFETCH(QByteArray, report);
    QFETCH(QString, progress);
    QFETCH(int, dongleAfter);
    QFETCH(int, mouseAfter);
    QFETCH(bool, recordWritten);

    g_DongleUpdateState = dongleState;
    g_MouseUpdateState = mouseState;
    g_UpdateStageCount = stages;
    g_UpdateTarget = dongleState == 1 ? 211 : 210;
    g_UpdateReceiverClass = 4;
    g_UpdateCid = 18;
    g_UpdateMid = 2;
    g_MouseUpdateFound = true;
    g_ReceiverUpdateFound = true;
    KeepFlashedImageFacts("v1.3", "MouseVer182");
    QSignalSpy progressSpy(PostMsg::GetInstance(), &PostMsg::SigProgress);

    // The library reports on a thread of its own.
    const auto *bytes = reinterpret_cast<const unsigned char *>(report.constData());
    std::unique_ptr<QThread> flashThread(
        QThread::create([bytes, dongleState] { (dongleState == 1 ? DongleUpgradeCallBack : MouseUpgradeCallBack)(bytes); }));
    flashThread->start();
    QVERIFY(flashThread->wait(TestSupport::kHangGuardMs));
    QCoreApplication::processEvents();

    QStringList seen;
    for (const QVariantList &call : ProgressOf(progressSpy))
        seen << call.at(0).toString() + "," + call.at(1).toString();
    QCOMPARE(seen.join(' '), progress);
    QCOMPARE(int(g_DongleUpdateState), dongleAfter);
    QCOMPARE(int(g_MouseUpdateState), mouseAfter);
    QCOMPARE(Record(), recordWritten ? QString("%1,4,18,2").arg(int(g_UpdateTarget)) : QString());
    if (recordWritten) {
        QVERIFY(!g_MouseUpdateFound);
        QVERIFY(!g_ReceiverUpdateFound);
    }
    if (mouseAfter == kRunSucceeded) {
        QCOMPARE(RegistryStore().Value(RegistryStore::MouseDriveTestKey(), "MouseVer182"), QString("v1.3"));
        QCOMPARE(Mouse(), QString("v1.3"));
    }
    if (dongleAfter == kRunSucceeded)
        QCOMPARE(Receiver(), QString("v1.3"));
}

void TestFirmwareUpdate::updateButton_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("hint");  // the dialog's hint tag; "" the ready look
    QTest::addColumn<bool>("verNew");   // Receive_2 reads VerNewText afterwards

    QTest::newRow("up to date already") << "verNew" << false << "" << true;
    QTest::newRow("check true") << "ready" << true << "" << false;
    QTest::newRow("no image at all") << "noImages" << false << "" << true;
    QTest::newRow("two wireless") << "twoWireless" << true << "NoUSB" << false;
}

void TestFirmwareUpdate::updateButton()
{
    QFETCH(QString, situation);
    QFETCH(bool, shown);
    QFETCH(QString, hint);
    QFETCH(bool, verNew);

    HidSim::SetWorld(CabledPairWorld());
    g_FoundDevices = {Current("m2", true, QString()), Current("r4k", true, QString())};
    if (situation == "twoWireless")
        g_FoundDevices = {Current("r4k", true, QString()), Current("r8k", true, QString())};
    g_CurrentDevice.Set(Current("m2", true, "v1.2"));
    page->SetVer(0);
    page->SetVer(3);
    if (situation == "verNew")
        page->SetVerText();
    std::unique_ptr<TestSupport::FolderWithoutImages> noImages;
    if (situation == "noImages")
        noImages = std::make_unique<TestSupport::FolderWithoutImages>();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get(), TestSupport::kHangGuardMs));

    page->on_Receive_2_clicked();

    QCOMPARE(g_UpDateRepair->isVisible(), shown);
    QCOMPARE(UpdateButton()->text(), verNew ? Text("VerNew") : Text("Receive"));
    if (shown) {
        QVERIFY(g_UpDateRepair->isModal());
        const QPoint origin = page->mapToGlobal(QPoint(0, 0));
        QCOMPARE(g_UpDateRepair->pos(),
                 QPoint(origin.x() + (page->width() - g_UpDateRepair->width()) / 2 - 75,
                        origin.y() + (page->height() - g_UpDateRepair->height()) / 2 - 65));
        const QString hintText = g_UpDateRepair->findChild<QLabel *>("ToolText_2")->text();
        QCOMPARE(hintText, hint.isEmpty() ? hintText : Text(hint));
        QCOMPARE(g_UpDateRepair->findChild<QToolButton *>("NewHong_2")->isHidden(), false);
    }
    g_UpDateRepair->hide();
}

void TestFirmwareUpdate::OpenReadyDialog()
{
    HidSim::SetWorld(CabledPairWorld());
    // The device page's USB-change callback lists the cable mouse and its receiver.
    g_CurrentDevice.Set(Current("m2", true, "v1.2"));
    QVERIFY(HidSim::WaitUntilIdle());
    MainUsbChangedCallback();
    QCOMPARE(g_FoundDevices.size(), 2);
    g_CurrentDevice.Update([](DeviceAllInfo &d) { d.FirmwareVersion = "v1.2"; d.Online = true; });
    page->SetVer(0);
    QCOMPARE(Receiver(), QString("v1.1"));
    QCOMPARE(Mouse(), QString("v1.2"));
    g_SessionActive = 1;
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get(), TestSupport::kHangGuardMs));
    page->on_Receive_2_clicked();
    QVERIFY(g_UpDateRepair->isVisible());
}

void TestFirmwareUpdate::ClickUpgrade()
{
    QToolButton *upgrade = g_UpDateRepair->findChild<QToolButton *>("NewHong_2");
    QVERIFY(upgrade->isVisible());
    QTest::mouseClick(upgrade, Qt::LeftButton);
}

bool TestFirmwareUpdate::WaitForRunEnd(int timeoutMs)
{
    return TestSupport::WaitFor(
        [this] {
            return !g_UpdateBusy && !page->Engine().TimerActive(kReceiverFirmware)
                && !page->Engine().TimerActive(kMouseFirmware);
        },
        timeoutMs);
}

void TestFirmwareUpdate::wholeUpdateFromTheDialog()
{
    OpenReadyDialog();
    QSignalSpy progressSpy(PostMsg::GetInstance(), &PostMsg::SigProgress);
    QSignalSpy labelSpy(PostMsg::GetInstance(), &PostMsg::SigLabelText);
    ClickUpgrade();
    QVERIFY(g_UpDateRepair->IsShowingUpdating());
    QVERIFY(!g_LinkWatch);
    QVERIFY(TestSupport::WaitFor([this] { return page->Engine().TimerActive(kMouseFirmware); }));
    QVERIFY(WaitForRunEnd());
    QVERIFY(TestSupport::WaitFor([&] { return labelSpy.size() == 2; }));

    // The receiver fills the first half of the bar, the mouse the second.
    QList<int> percents;
    int successes = 0;
    for (const QVariantList &call : ProgressOf(progressSpy)) {
        if (call.at(1).toInt() == 0)
            percents << call.at(0).toInt();
        successes += call.at(1).toInt() == 2 ? 1 : 0;
        QVERIFY(call.at(1).toInt() == 0 || call.at(1).toInt() == 2);
    }
    QCOMPARE(successes, 1);
    QVERIFY(percents.contains(50));
    QCOMPARE(percents.last(), 100);
    QVERIFY(std::is_sorted(percents.begin(), percents.end()));
    QCOMPARE(labelSpy.at(0), (QVariantList{0, "v1.2"}));
    QCOMPARE(labelSpy.at(1), (QVariantList{1, "v1.3"}));

    const auto slaveVersionCalls = HidSim::CallsOf("UsbFinderC_GetSlaveVersion");
    QVERIFY(!slaveVersionCalls.empty());
    QVERIFY(slaveVersionCalls.back().arguments.contains(QString::fromLatin1(HidSim::PathOf("r4k"))));
    QCOMPARE(RegistryStore().Value(RegistryStore::MouseDriveTestKey(), "MouseVer182"), QString("v1.3"));
    QCOMPARE(Record(), QString());
    QVERIFY(g_LinkWatch);
    QCOMPARE(VersionOf("r4k"), uint16_t(0x0102));
    QCOMPARE(VersionOf("m2"), uint16_t(0x0103));
    QCOMPARE(Receiver(), QString("v1.2"));
    QCOMPARE(Mouse(), QString("v1.3"));
    QVERIFY(g_UpDateRepair->findChild<QToolButton *>("CloseButton")->isEnabled());

    // Closing at 100 % tells the page the firmware is new.
    QTest::mouseClick(g_UpDateRepair->findChild<QToolButton *>("CloseButton"), Qt::LeftButton);
    QCOMPARE(UpdateButton()->text(), Text("VerNew"));
}

void TestFirmwareUpdate::failedFlashAndItsRepair()
{
    OpenReadyDialog();
    QVERIFY(HidSim::ScriptFlashFailure("r4k", 40));
    QSignalSpy progressSpy(PostMsg::GetInstance(), &PostMsg::SigProgress);
    ClickUpgrade();
    QVERIFY(WaitForRunEnd());
    QVERIFY(TestSupport::WaitFor([&] { return !progressSpy.isEmpty() && progressSpy.last().at(1) == 1; }));
    const QList<QVariantList> calls = ProgressOf(progressSpy);
    QCOMPARE(calls.last(), (QVariantList{0, 1}));
    QCOMPARE(calls.at(calls.size() - 2), (QVariantList{15, 0}));
    QCOMPARE(Record(), QString("211,4,18,2"));
    QVERIFY(!page->Engine().Context().mouseUpdating);
    QVERIFY(HidSim::CallsOf("UsbUpgrade_Start").size() == 1);
    const QByteArray receiverImage = [] {
        QFile file(TestSupport::AppFolder() + "/bin/VOR-M2-4K_v1.2.bin");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    int boot = 0;
    UsbUpgradeC_FindBootDevices(reinterpret_cast<const unsigned char *>(receiverImage.constData()), &boot);
    QCOMPARE(boot, 1);
    g_UpDateRepair->hide();

    // The repair path: only the cable mouse is listed now.
    HidSim::ClearCallLog();
    g_FoundDevices = {Current("m2", true, QString())};
    // The mouse's next version report.
    page->SetVer(0);
    QVERIFY(g_MouseUpdateFound);
    QVERIFY(page->ChechIsUpDate());
    QCOMPARE(int(g_UpdateStageCount), 2);
    g_UpDateRepair->ShowReady();
    g_UpDateRepair->show();
    progressSpy.clear();
    ClickUpgrade();
    QVERIFY(WaitForRunEnd());
    QVERIFY(TestSupport::WaitFor([&] { return !progressSpy.isEmpty() && progressSpy.last().at(1) == 2; }));
    QCOMPARE(HidSim::CallsOf("UsbUpgrade_Start").size(), size_t(2));
    QCOMPARE(Record(), QString());
    QCOMPARE(VersionOf("r4k"), uint16_t(0x0102));
    QCOMPARE(VersionOf("m2"), uint16_t(0x0103));
}

void TestFirmwareUpdate::upgradeAfterTheImagesWent()
{
    OpenReadyDialog();
    TestSupport::FolderWithoutImages noImages;
    ClickUpgrade();
    QVERIFY(page->Engine().Context().receiverUpdating);
    QVERIFY(TestSupport::WaitFor([this] { return page->Engine().Context().receiverNoUpdate; }));
    QCOMPARE(page->Engine().CurrentStep(), UpdateEngine::Step::End);
    QVERIFY(page->Engine().TimerActive(kReceiverFirmware));
    QVERIFY(WaitForRunEnd());
    QVERIFY(!g_UpDateRepair->IsShowingUpdating());
    QCOMPARE(g_UpDateRepair->findChild<QLabel *>("ToolText_2")->text(), Text("VerNew"));
    QVERIFY(g_UpDateRepair->findChild<QToolButton *>("CloseButton")->isEnabled());
    QVERIFY(g_LinkWatch);
    QCOMPARE(HidSim::CallsOf("UsbUpgrade_Start").size(), size_t(0));
}

void TestFirmwareUpdate::aFlashWithoutDurationStillEnds()
{
    HidSim::World world = CabledPairWorld();
    world.timing.flashMs = 0;
    OpenReadyDialog();
    HidSim::SetTiming(world.timing);
    ClickUpgrade();
    QVERIFY(TestSupport::WaitFor([this] { return page->Engine().TimerActive(kMouseFirmware); }));
    QVERIFY(WaitForRunEnd());
    QVERIFY(TestSupport::WaitFor([this] { return Mouse() == "v1.3"; }));
    QCOMPARE(VersionOf("m2"), uint16_t(0x0103));
    QVERIFY(g_UpDateRepair->findChild<QToolButton *>("CloseButton")->isEnabled());
}

// Two receivers beside the cable mouse: a run the user started marks the
// receiver row; one the program chained says so in the notice, once.
void TestFirmwareUpdate::receiverRunCountingTwoReceivers()
{
    HidSim::SetWorld(CabledPairWorld());
    g_FoundDevices = {Current("m2", true, QString()), Current("r4k", true, QString()), Current("r8k", true, QString())};
    g_CurrentDevice.Set(Current("m2", true, "v1.2"));
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get(), TestSupport::kHangGuardMs));

    page->on_Receive_clicked();
    QVERIFY(WaitForRunEnd());
    QVERIFY(!Child("toolButton_2")->isHidden());
    QVERIFY(!page->FirmwareNotice()->isVisible());

    g_ReceiverUpdateFound = true;
    g_MouseUpdateState = kRunNothingToFlash;
    page->SlotContinue(0);
    QVERIFY(page->Engine().Context().receiverUpdating);
    QVERIFY(WaitForRunEnd());
    QVERIFY(page->FirmwareNotice()->isVisible());
    QCOMPARE(page->FirmwareNotice()->findChild<QLabel *>("label")->text(), Text("SameDevice"));
    page->FirmwareNotice()->hide();
    QTest::qWait(3 * Waits::Scaled(1000));
    QVERIFY(!page->Engine().Context().receiverUpdating);
    QVERIFY(!page->Engine().TimerActive(kReceiverFirmware));
    QVERIFY(!page->FirmwareNotice()->isVisible());
    QCOMPARE(HidSim::CallsOf("UsbUpgrade_Start").size(), size_t(0));
}

VOGM_TEST_MAIN(TestFirmwareUpdate)
#include "tst_firmwareupdate.moc"
