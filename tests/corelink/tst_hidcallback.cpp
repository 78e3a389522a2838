#include "connection.h"
#include "globals.h"
#include "hidcallback.h"
#include "registrystore.h"
#include "signalrecorder.h"
#include "testsupport.h"
#include "waits.h"
#include "worldfixtures.h"

#include <QtTest>
#include <atomic>
#include <cstring>
#include <thread>

using namespace Fixtures;

namespace {

// Runs `work` on a thread of its own, as the library's delivery thread would,
// while the GUI thread keeps serving the blocking-queued signals.
void OnLibraryThread(const std::function<void()> &work)
{
    std::atomic<bool> done{false};
    std::thread thread([&] {
        work();
        done = true;
    });
    QVERIFY(QTest::qWaitFor([&] { return done.load(); }, TestSupport::kHangGuardMs));
    thread.join();
}

void Deliver(int command, int subCommand, const QByteArray &data, int status = 0, int headerLen = 8)
{
    unsigned char header[8] = {0xA5, uchar(command), 0, uchar(status), uchar(subCommand),
                               uchar(data.size() & 0xFF), uchar(data.size() >> 8), 0};
    QByteArray padded = data + QByteArray(16, '\0');
    OnLibraryThread([&] {
        HidInputCallback(header, headerLen, reinterpret_cast<const uchar *>(padded.constData()), data.size());
    });
}

QStringList FunctionsCalled(const QStringList &of)
{
    QStringList names;
    for (const HidSim::CallRecord &r : HidSim::CallLog()) {
        if (of.contains(r.function))
            names << r.function;
    }
    return names;
}

}  // namespace

class TestHidCallback : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void wholeDumpReadsOnFillsThePagesAndWritesBackOnce();
    void command9AppliesReceiverOptionsAndClearsRecords();
    void command9WithHiddenOptionsDoesNothing();
    void reportRateFollowsTheLink();
    void longRangeAnswers_data();
    void longRangeAnswers();
    void profileAndVersionReports();
    void receiverLedReportCarriesItsRecord();
    void statusReloadsAreGated();
    void malformedReportsAreIgnored();
    void aDumpOfAnEndedConnectionIsDropped();

private:
    void UseReceiverMouse(bool longRange = false);
    void ReopenWith(const std::function<void(DeviceAllInfo &)> &change);
    SignalRecorder *m_recorder = nullptr;
    QByteArray m_path;
};

void TestHidCallback::initTestCase()
{
    m_recorder = new SignalRecorder(this);
}

void TestHidCallback::init()
{
    m_recorder->Clear();
    g_SkipDongleQuery = 0;
    g_CheckDefaultMacros = 0;
    g_DefaultMacroKeys.clear();
    g_DongleRgb->Mode = 0;
    StoreImage(FlashDataMap{});
    UseReceiverMouse();
}

void TestHidCallback::UseReceiverMouse(bool longRange)
{
    HidSim::Receiver receiver;
    receiver.name = "r4k";
    receiver.linkType = 1;
    receiver.pid = 0xFF14;
    receiver.mid = 2;
    receiver.mouse = "m2";
    receiver.longRange = longRange;
    receiver.address = {1, 2, 3};
    HidSim::Mouse mouse = CableMouse("m2", 2);
    mouse.cable = false;
    mouse.address = receiver.address;
    mouse.version = 0x010A;
    HidSim::SetWorld(WorldOf({receiver}, {mouse}));
    m_path = HidSim::PathOf("r4k");
    DeviceAllInfo device;
    device.Path = QString::fromLatin1(m_path);
    device.Cid = 0x05;
    device.Mid = 0x1A;
    device.LinkType = 1;
    device.Wired = false;
    device.DriveIndex = 1;
    g_CurrentDevice.Set(device);
    SetCurrentPath(m_path);
    BeginConnection(device, m_path);
    HidSim::ClearCallLog();
}

// The callback sees the device as it was when the connection opened.
void TestHidCallback::ReopenWith(const std::function<void(DeviceAllInfo &)> &change)
{
    g_CurrentDevice.Update(change);
    BeginConnection(g_CurrentDevice.Get(), m_path);
}

void TestHidCallback::wholeDumpReadsOnFillsThePagesAndWritesBackOnce()
{
    const QByteArray dump = HidSim::StoredDump("m2");
    QCOMPARE(dump.size(), HIDUSB_DUMP_SIZE);
    Deliver(8, 0, dump);
    const QStringList calls = FunctionsCalled({"UsbServer_ReadDPILed", "UsbServer_ReadBatteryLevel", "UsbServer_ReadVersion",
                                               "UsbServer_ReadConfig", "UsbFinderC_Get4KDongleRGBValue",
                                               "UsbFinderC_GetLongRangeMode", "ProtocolDataUpdate"});
    // The receiver is asked after the pages are filled, so its answers stand.
    QCOMPARE(calls, (QStringList{"UsbServer_ReadDPILed", "UsbServer_ReadBatteryLevel", "UsbServer_ReadVersion",
                                 "UsbServer_ReadConfig", "ProtocolDataUpdate", "UsbFinderC_Get4KDongleRGBValue",
                                 "UsbFinderC_GetLongRangeMode"}));
    QStringList images = m_recorder->Names().filter(QRegularExpression("^SigUpData|^SigForm$"));
    QCOMPARE(images, (QStringList{"SigUpDataLightUIButton", "SigUpDataLightLight", "SigUpDataLightSensor", "SigForm"}));
    QCOMPARE(g_SaveCacheName.Get(), QStringLiteral("Device_CID05_MID1A.bin"));
    QCOMPARE(int(g_DeviceDataReady), 1);
    QCOMPARE(int(g_WorkerRun), 0);
    // The image the pages got is the mouse's, device marker included.
    const QByteArray stored = HidSim::StoredImage("m2");
    QVERIFY(std::memcmp(&m_recorder->lastSensorImage, stored.constData(), sizeof(FlashDataMap)) == 0);
    QVERIFY(m_recorder->lastSensorImage.Reserved[0] != 0 || m_recorder->lastSensorImage.Reserved[1] != 0);
}

void TestHidCallback::command9AppliesReceiverOptionsAndClearsRecords()
{
    ConfigVariant config({{"Drive2/KeyParam1", "0x05"}, {"Drive2/KeyParam4", "0x05"},
                          {"Drive2/KeyParam6", "0x01"}, {"Drive2/Adveanced", "1,2"}});
    Deliver(9, 0, QByteArray());
    const QStringList names = m_recorder->Names();
    QVERIFY2(names.contains("SigRGBValue(2)"), qPrintable(names.join(' ')));
    QVERIFY(names.contains("SigLongRangeMode(1)"));
    QCOMPARE(int(g_DongleRgb->Mode), 2);
    QCOMPARE(HidSim::CallsOf("UsbServer_ReadAllFlashData").size(), size_t(1));

    // The next dump: no receiver queries, and only buttons 0 and 3 keep their records.
    QByteArray image = HidSim::StoredImage("m2");
    auto *stored = reinterpret_cast<FlashDataMap *>(image.data());
    for (int key = 0; key < 10; ++key) {
        std::memset(stored->KeySequences[key], 0x40 + key, kKeySequenceSize);
        std::memset(stored->Macros[key], 0x60 + key, kMacroRecordSize);
    }
    QVERIFY(HidSim::SetStoredImage("m2", image));
    HidSim::ClearCallLog();
    Deliver(8, 0, HidSim::StoredDump("m2"));
    QVERIFY(FunctionsCalled({"UsbFinderC_Get4KDongleRGBValue", "UsbFinderC_GetLongRangeMode"}).isEmpty());
    const FlashDataMap after = ReadImage();
    for (int key = 0; key < 10; ++key) {
        const bool kept = key == 0 || key == 3;
        QCOMPARE(int(after.KeySequences[key][0]), kept ? 0x40 + key : 0);
        QCOMPARE(int(after.Macros[key][5]), kept ? 0x60 + key : 0);
    }
    QCOMPARE(int(g_CheckDefaultMacros), 0);
    QCOMPARE(int(g_SkipDongleQuery), 0);
    QVERIFY(g_DefaultMacroKeys.isEmpty());

    // One-shot: the dump after that queries the receiver again.
    HidSim::ClearCallLog();
    Deliver(8, 0, HidSim::StoredDump("m2"));
    QCOMPARE(FunctionsCalled({"UsbFinderC_GetLongRangeMode"}).size(), 1);
}

void TestHidCallback::command9WithHiddenOptionsDoesNothing()
{
    ConfigVariant config({{"Drive2/Adveanced", "-1"}});
    Deliver(9, 0, QByteArray());
    const QStringList names = m_recorder->Names();
    QVERIFY(names.filter("SigRGBValue").isEmpty());
    QVERIFY(names.filter("SigLongRangeMode").isEmpty());
    QVERIFY(FunctionsCalled({"UsbFinderC_Set4KDongleRGB", "UsbFinderC_SetLongRangeMode"}).isEmpty());
    QCOMPARE(HidSim::CallsOf("UsbServer_ReadAllFlashData").size(), size_t(1));
}

void TestHidCallback::reportRateFollowsTheLink()
{
    ReopenWith([](DeviceAllInfo &d) { d.Wired = true; });
    Deliver(8, 0, QByteArray(1, char(0x20)));
    QVERIFY(m_recorder->Names().isEmpty());
    QCOMPARE(int(ReadImage().ReportRate), 0);
    QVERIFY(HidSim::CallsOf("ProtocolDataUpdate").empty());

    // On a receiver link the code is taken, but written back only once the
    // image is this mouse's own: before its dump it may be another mouse's.
    ReopenWith([](DeviceAllInfo &d) { d.Wired = false; });
    Deliver(8, 0, QByteArray(1, char(0x20)));
    QCOMPARE(m_recorder->Names(), QStringList{"SigUpDataReportRate(32)"});
    QCOMPARE(int(ReadImage().ReportRate), 0x20);
    QVERIFY(HidSim::CallsOf("ProtocolDataUpdate").empty());

    Deliver(8, 0, HidSim::StoredDump("m2"));
    HidSim::ClearCallLog();
    m_recorder->Clear();
    Deliver(8, 0, QByteArray(1, char(0x20)));
    QCOMPARE(m_recorder->Names(), QStringList{"SigUpDataReportRate(32)"});
    QCOMPARE(HidSim::CallsOf("ProtocolDataUpdate").size(), size_t(1));

    m_recorder->Clear();
    Deliver(8, 4, QByteArray(1, char(3)));
    QCOMPARE(m_recorder->Names(), QStringList{"SigUpDataDPI(3)"});
    QCOMPARE(int(ReadImage().DpiLevel), 3);
    QCOMPARE(HidSim::CallsOf("ProtocolDataUpdate").size(), size_t(1));
}

void TestHidCallback::longRangeAnswers_data()
{
    QTest::addColumn<QString>("receiver");
    QTest::addColumn<bool>("longRange");
    QTest::addColumn<bool>("emitted");
    QTest::newRow("no answer (0x73)") << "gone" << false << false;
    QTest::newRow("off (0)") << "r4k" << false << false;
    QTest::newRow("on (1)") << "r4k" << true << true;
}

// Report 21: the receiver's LED mode changed on the receiver. Its record
// replaces the one kept, so the page shows the new mode; a report of another
// length leaves the record as it was.
void TestHidCallback::receiverLedReportCarriesItsRecord()
{
    const QByteArray record("\x02\x11\x12\x13\x14\x15\x16\x17\x18\x19", 10);
    Deliver(21, 0, record);
    QCOMPARE(m_recorder->Names(), QStringList{"SigRGBValue(2)"});
    const DongleRGB kept = ReadDongleRgb();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&kept), sizeof kept), record);

    m_recorder->Clear();
    Deliver(21, 0, QByteArray("\x03\x01", 2));
    QCOMPARE(m_recorder->Names(), QStringList{"SigRGBValue(2)"});
}

void TestHidCallback::longRangeAnswers()
{
    QFETCH(QString, receiver);
    QFETCH(bool, longRange);
    QFETCH(bool, emitted);
    UseReceiverMouse(longRange);
    if (receiver == "gone")
        ReopenWith([](DeviceAllInfo &d) { d.Path = "a"; });
    Deliver(8, 0, HidSim::StoredDump("m2"));
    QCOMPARE(m_recorder->Names().contains("SigLongRangeMode(1)"), emitted);
    QVERIFY(m_recorder->Names().filter("SigLongRangeMode(0)").isEmpty());
}

void TestHidCallback::profileAndVersionReports()
{
    Deliver(14, 0, QByteArray(2, char(1)));
    QCOMPARE(m_recorder->Names(), QStringList{"SigUpDataConfigUI(0,0,0)"});
    m_recorder->Clear();
    Deliver(14, 0, QByteArray(1, char(2)));
    QCOMPARE(m_recorder->Names(), QStringList{"SigUpDataConfigUI(4,2,1)"});

    m_recorder->Clear();
    Deliver(18, 0, QByteArray(2, char(0)));
    QVERIFY(TestSupport::WaitFor([&] { return m_recorder->Names().contains("SigSetver(0)"); }));
    QCOMPARE(g_CurrentDevice.Get().FirmwareVersion, QStringLiteral("v1.a"));
    QCOMPARE(RegistryStore().Value(RegistryStore::MouseDriveTestKey(), "MouseVer182"), QStringLiteral("v1.a"));
}

void TestHidCallback::statusReloadsAreGated()
{
    g_StatusTimer.start();
    QTest::qWait(Waits::Scaled(kStatusReloadGateMs) + 20);
    g_RestartWorker = 0;
    g_ReloadRequested = 0;
    const QByteArray flag2(1, char(1 << 2));
    Deliver(10, 0, flag2);
    QCOMPARE(int(g_ReloadRequested), 1);
    QCOMPARE(int(g_RestartWorker), 1);
    g_ReloadRequested = 0;
    g_RestartWorker = 0;
    Deliver(10, 0, flag2);
    QCOMPARE(int(g_ReloadRequested), 0);

    HidSim::ClearCallLog();
    Deliver(10, 0, QByteArray(1, char(0x7B)));  // flags 0, 1, 3, 4, 5, 6
    QCOMPARE(FunctionsCalled({"UsbServer_ReadCurrentDPI", "UsbServer_ReadReportRate", "UsbServer_ReadBatteryLevel",
                              "UsbServer_ReadLedBar", "UsbServer_ReadDPILed"}),
             (QStringList{"UsbServer_ReadCurrentDPI", "UsbServer_ReadReportRate", "UsbServer_ReadBatteryLevel",
                          "UsbServer_ReadLedBar", "UsbServer_ReadDPILed"}));
}

void TestHidCallback::malformedReportsAreIgnored()
{
    Deliver(8, 0, HidSim::StoredDump("m2"), 0, 1);  // header too short to carry a command
    Deliver(8, 0, HidSim::StoredDump("m2"), 1);     // status not 0
    Deliver(8, 0, QByteArray(100, '\0'));           // no such length
    QVERIFY(m_recorder->Names().isEmpty());
    QVERIFY(HidSim::CallLog().empty() || FunctionsCalled({"ProtocolDataUpdate", "UsbServer_ReadDPILed"}).isEmpty());
}

// A dump still in flight when the user chose another device (or left the
// page) must neither fill the pages nor end the new device's worker pass.
void TestHidCallback::aDumpOfAnEndedConnectionIsDropped()
{
    ForgetDeviceImage();  // what choosing another device does
    g_WorkerRun = 1;
    Deliver(8, 0, HidSim::StoredDump("m2"));
    QVERIFY(m_recorder->Names().isEmpty());
    QCOMPARE(int(g_WorkerRun), 1);
    const FlashDataMap zero{};
    QVERIFY(std::memcmp(&g_FlashDataMap, &zero, sizeof zero) == 0);
    QVERIFY(!ImageIsDevicesOwn());
    g_WorkerRun = 0;
}

VOGM_TEST_MAIN(TestHidCallback)
#include "tst_hidcallback.moc"
