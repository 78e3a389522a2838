#include "configini.h"
#include "discovery.h"
#include "firmwareimages.h"
#include "globals.h"
#include "postmsg.h"
#include "selectionworlds.h"
#include "testsupport.h"
#include "updaterepair.h"
#include "usbcallbacks.h"
#include "worker.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>


using namespace SelectionWorlds;

namespace {

QString PathOf(const char *device)
{
    return QString::fromLatin1(HidSim::PathOf(QLatin1String(device)));
}

// The page entry of a product id, as the device list offers it for a click.
DeviceAllInfo PageEntry(const QString &pid)
{
    g_PageDevices.clear();
    g_PageDevicesCopy.clear();
    EnumeratePageDevices(ConfigIni::GetInstance()->Value("Option", "VID"), ConfiguredProductIds());
    for (const DeviceAllInfo &entry : qAsConst(g_PageDevices)) {
        if (entry.Pid == pid)
            return entry;
    }
    return DeviceAllInfo();
}

QStringList Opens()
{
    QStringList paths;
    for (const HidSim::CallRecord &call : HidSim::CallsOf("UsbServerC_Start"))
        paths << call.arguments;
    return paths;
}

// A firmware image file in `folder`/bin.
bool WriteImage(const QString &folder, uint8_t target, const QByteArray &model, uint32_t version)
{
    FirmwareHeader header;
    header.Version = version;
    header.Target = target;
    header.Cid = 18;
    header.Mid = 1;
    header.ModelName = model;
    QFile file(folder + "/bin/" + QString::fromLatin1(model) + ".bin");
    return file.open(QIODevice::WriteOnly) && file.write(header.MakeImage(QByteArray(256, 'x'))) > 0;
}

// Points the application folder somewhere else while it lives.
class AppFolderOverride
{
public:
    explicit AppFolderOverride(const QString &folder) : m_saved(qgetenv("VOGM_APP_DIR"))
    {
        qputenv("VOGM_APP_DIR", folder.toLocal8Bit());
    }
    ~AppFolderOverride() { qputenv("VOGM_APP_DIR", m_saved); }

private:
    QByteArray m_saved;
};

}  // namespace

class TestUsbCallbacks : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void receiverMouseFollowedToItsCable();
    void pulledCableGoesBackToTheList();
    void everythingGone_data();
    void everythingGone();
    void shownRepairDialogIsAskedToCheck();
    void firmwareHintOfAWiredMouse_data();
    void firmwareHintOfAWiredMouse();

private:
    void Choose(const DeviceAllInfo &entry);
    void WaitForWorker();
};

void TestUsbCallbacks::initTestCase()
{
    ConfigIni::GetInstance();
    HidSim::SetWorld(Fixtures::WorldOf({}, {}));
    g_Worker = new Worker(nullptr);
    g_OnlineTimer->stop();  // nothing here waits for an offline device
}

void TestUsbCallbacks::init()
{
    g_SessionActive = 1;
    g_LinkWatch = 1;
    g_CurrentDevice.Set(DeviceAllInfo());
    HidSim::ClearCallLog();
}

void TestUsbCallbacks::cleanup()
{
    WaitForWorker();
    StopUsbChanged();
    QVERIFY(Settle());
    g_LinkWatch = 1;
}

void TestUsbCallbacks::WaitForWorker()
{
    QVERIFY(g_Worker->wait(TestSupport::kHangGuardMs));
    HidSim::WaitUntilIdle();
}

// As a tile click and the switch to the device page do: the device becomes
// current and the main-page callback is registered.
void TestUsbCallbacks::Choose(const DeviceAllInfo &entry)
{
    QVERIFY(!entry.Path.isEmpty());
    g_CurrentDevice.Set(entry);
    SetCurrentPath(entry.Path.toLocal8Bit());
    QVERIFY(Register(MainUsbChangedCallback));
    WaitForWorker();
}

void TestUsbCallbacks::receiverMouseFollowedToItsCable()
{
    HidSim::SetWorld(Fixtures::WorldOf({ReceiverOf("r4k", k4k, "m2", AddressOf(3))},
                                       {WirelessMouse("m2", 2, AddressOf(3))}));
    Choose(PageEntry("0xFF14"));
    QCOMPARE(g_CurrentDevice.Get().Path, PathOf("r4k"));
    QSignalSpy backToList(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog);
    HidSim::ClearCallLog();

    QVERIFY(HidSim::SetCable("m2", true));
    QVERIFY(Settle());
    WaitForWorker();
    QCOMPARE(g_CurrentDevice.Get().Path, PathOf("m2"));
    QVERIFY(g_CurrentDevice.Get().Wired);
    QCOMPARE(QString::fromLatin1(g_CurrentPath), PathOf("m2"));
    QCOMPARE(Opens().size(), 1);
    QVERIFY2(Opens().first().contains(PathOf("m2")), qPrintable(Opens().first()));
    QCOMPARE(backToList.count(), 0);
}

void TestUsbCallbacks::pulledCableGoesBackToTheList()
{
    HidSim::Mouse m2 = WirelessMouse("m2", 2, AddressOf(3));
    m2.cable = true;
    HidSim::SetWorld(Fixtures::WorldOf({ReceiverOf("r4k", k4k, "m2", AddressOf(3))}, {m2}));
    Choose(PageEntry("0xFF01"));
    QCOMPARE(g_CurrentDevice.Get().Path, PathOf("m2"));
    QSignalSpy backToList(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog);
    HidSim::ClearCallLog();

    // The mouse still answers through its receiver: no switch back to it.
    QVERIFY(HidSim::SetCable("m2", false));
    QVERIFY(Settle());
    QCOMPARE(backToList.count(), 1);
    QCOMPARE(backToList.at(0).at(0).toInt(), 0);
    QCOMPARE(g_CurrentDevice.Get().Path, PathOf("m2"));
    QVERIFY(Opens().isEmpty());
}

void TestUsbCallbacks::everythingGone_data()
{
    QTest::addColumn<int>("linkWatch");
    QTest::newRow("firmware update running") << 0;
    QTest::newRow("normal use") << 1;
}

void TestUsbCallbacks::everythingGone()
{
    QFETCH(int, linkWatch);
    HidSim::SetWorld(Fixtures::WorldOf({ReceiverOf("r4k", k4k, "m2", AddressOf(3))},
                                       {WirelessMouse("m2", 2, AddressOf(3))}));
    Choose(PageEntry("0xFF14"));
    g_LinkWatch = uint8_t(linkWatch);
    PostMsg *hub = PostMsg::GetInstance();
    QSignalSpy backToList(hub, &PostMsg::SigChangeMainDialog);
    QSignalSpy versions(hub, &PostMsg::SigSetver);
    QSignalSpy updateChecks(hub, &PostMsg::SigCheckUpdate);

    QVERIFY(HidSim::PlugReceiver("r4k", false));
    QVERIFY(Settle());
    QCOMPARE(versions.count(), 1);
    QCOMPARE(versions.at(0).at(0).toInt(), 4);
    QCOMPARE(backToList.count(), linkWatch ? 1 : 0);
    QCOMPARE(g_CurrentDevice.Get().Path, linkWatch ? QString() : PathOf("r4k"));
    QCOMPARE(updateChecks.count(), 0);  // no repair dialog is shown
}

void TestUsbCallbacks::shownRepairDialogIsAskedToCheck()
{
    UpDateRepair repair;
    g_UpDateRepair = &repair;
    repair.show();
    HidSim::SetWorld(Fixtures::WorldOf({ReceiverOf("r4k", k4k, "m2", AddressOf(3))},
                                       {WirelessMouse("m2", 2, AddressOf(3))}));
    QSignalSpy checks(PostMsg::GetInstance(), &PostMsg::SigCheckUpdate);
    Choose(PageEntry("0xFF14"));
    QCOMPARE(checks.count(), 1);
    g_UpdateBusy = true;  // an update runs: the dialog is left alone
    QVERIFY(Register(MainUsbChangedCallback));
    g_UpdateBusy = false;
    QCOMPARE(checks.count(), 1);
    g_UpDateRepair = nullptr;
}

void TestUsbCallbacks::firmwareHintOfAWiredMouse_data()
{
    QTest::addColumn<QString>("partner");  // "", "4k" or "8k": a receiver paired with the wired mouse
    QTest::addColumn<bool>("binFolder");
    QTest::addColumn<bool>("mouseImage");  // a newer mouse image besides the 8 kHz receiver image
    QTest::addColumn<QString>("receiverText");
    QTest::addColumn<QString>("updateText");
    QTest::addColumn<bool>("receiverFound");
    QTest::addColumn<bool>("mouseFound");
    QTest::newRow("8 kHz partner") << "8k" << true << false << "v1.1" << "true" << true << false;
    QTest::newRow("4 kHz partner") << "4k" << true << false << "v1.1" << "" << false << false;
    QTest::newRow("no partner") << "" << true << false << "" << "" << false << false;
    QTest::newRow("no partner, newer mouse image") << "" << true << true << "" << "true" << false << true;
    QTest::newRow("no image folder") << "8k" << false << false << "v1.1" << "" << false << false;
}

void TestUsbCallbacks::firmwareHintOfAWiredMouse()
{
    QFETCH(QString, partner);
    QFETCH(bool, binFolder);
    QFETCH(bool, mouseImage);
    QFETCH(QString, receiverText);
    QFETCH(QString, updateText);
    QFETCH(bool, receiverFound);
    QFETCH(bool, mouseFound);

    QTemporaryDir app;
    if (binFolder) {
        QVERIFY(QDir(app.path()).mkdir("bin"));
        QVERIFY(WriteImage(app.path(), kReceiverFirmware, "VOR-M1-8K", 0x0102));
        if (mouseImage)
            QVERIFY(WriteImage(app.path(), kMouseFirmware, "VOM-M1", 0x0103));
    }
    HidSim::Mouse m1 = Fixtures::CableMouse("m1", 1);
    m1.address = AddressOf(9);
    std::vector<HidSim::Receiver> receivers;
    if (partner == "8k")
        receivers.push_back(ReceiverOf("r8k", k8k, "m1", AddressOf(9)));
    else if (partner == "4k")
        receivers.push_back(ReceiverOf("r4k", k4k, "m1", AddressOf(9)));
    HidSim::SetWorld(Fixtures::WorldOf(receivers, {m1}));

    DeviceAllInfo wired = PageEntry("0xFF01");
    wired.FirmwareVersion = QStringLiteral("v1.2");  // as the version report leaves it
    g_ReceiverUpdateFound = false;
    g_MouseUpdateFound = false;
    QSignalSpy hint(PostMsg::GetInstance(), &PostMsg::SigLabelTextB);
    {
        AppFolderOverride folder(app.path());
        Choose(wired);
    }
    QCOMPARE(g_FoundDevices.size(), partner.isEmpty() ? 1 : 2);
    QCOMPARE(hint.count(), 1);
    QCOMPARE(hint.at(0).at(0).toString(), receiverText);
    QCOMPARE(hint.at(0).at(1).toString(), updateText);
    QCOMPARE(bool(g_ReceiverUpdateFound), receiverFound);
    QCOMPARE(bool(g_MouseUpdateFound), mouseFound);
}

VOGM_TEST_MAIN(TestUsbCallbacks)
#include "tst_usbcallbacks.moc"
