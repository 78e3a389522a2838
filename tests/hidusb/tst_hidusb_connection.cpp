// The device library alone: the connection, its delivery thread, reads and
// their decoders, the settings write, profiles, receiver options, pairing.

#include "flashdatamap.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QThread>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

using namespace HidSim;

namespace {

struct Report {
    int command = 0;
    int sub = 0;
    QByteArray header;
    QByteArray data;
    Qt::HANDLE thread = nullptr;
};

// What the data callbacks saw; they run on the library's thread.
struct Seen {
    std::mutex mutex;
    std::vector<Report> reports;
    std::vector<QString> order;  // "enter n" / "leave n" around each call
    std::function<void(const Report &)> hook;
} g_seen;

void Record(const unsigned char *header, int headerLen, const unsigned char *data, int dataLen)
{
    Report r;
    r.header = QByteArray(reinterpret_cast<const char *>(header), headerLen);
    r.command = headerLen > 1 ? header[1] : 0;
    r.sub = headerLen > 4 ? header[4] : 0;
    r.data = QByteArray(reinterpret_cast<const char *>(data), dataLen);
    r.thread = QThread::currentThreadId();
    std::function<void(const Report &)> hook;
    {
        std::lock_guard<std::mutex> guard(g_seen.mutex);
        g_seen.reports.push_back(r);
        g_seen.order.push_back(QStringLiteral("enter %1").arg(r.command));
        hook = g_seen.hook;
    }
    if (hook)
        hook(r);
    std::lock_guard<std::mutex> guard(g_seen.mutex);
    g_seen.order.push_back(QStringLiteral("leave %1").arg(r.command));
}

void OtherCallback(const unsigned char *, int, const unsigned char *, int) {}

std::vector<Report> Reports()
{
    std::lock_guard<std::mutex> guard(g_seen.mutex);
    return g_seen.reports;
}

std::vector<Report> ReportsOf(int command)
{
    std::vector<Report> out;
    for (const Report &r : Reports()) {
        if (r.command == command)
            out.push_back(r);
    }
    return out;
}

bool WaitForReports(size_t n, int timeoutMs = TestSupport::kHangGuardMs)
{
    return QTest::qWaitFor([n] { return Reports().size() >= n; }, timeoutMs);
}

Timing FastTiming()
{
    Timing t;
    t.readLatencyMs = 1;
    t.fullReadMs = 20;
    t.pairDelayMs = 100;
    t.pairTimeoutMs = 400;
    t.flashMs = 100;
    return t;
}

QByteArray ReadWholeImage()
{
    const size_t before = Reports().size();
    if (!UsbServer_ReadAllFlashData() || !WaitForReports(before + 1))
        return QByteArray();
    const Report dump = Reports()[before];
    if (dump.command != 8 || dump.data.size() != kDumpSize)
        return QByteArray();
    QByteArray image(kImageSize, '\x55');  // the parser must fill every byte
    ProtocolDataParser(reinterpret_cast<const unsigned char *>(dump.data.constData()),
                       reinterpret_cast<FlashDataMap *>(image.data()));
    return image;
}

// Receives a blocking-queued call on the GUI thread, like the program's pages.
class GuiSide : public QObject
{
    Q_OBJECT
public slots:
    void Fill() { ++filled; }

public:
    int filled = 0;
};

}  // namespace

class TestHidUsbConnection : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void everyReadAnswersWithItsCommand_data();
    void everyReadAnswersWithItsCommand();
    void callbacksComeFromTheDeliveryThreadOnly();
    void readsAskedInsideTheCallbackAreQueued();
    void exitDoesNotWaitForAParkedCallback();
    void aNewConnectionDropsTheOldReports();
    void anOfflineDeviceAnswersOnceItIsBack();
    void wholeImageRoundTrip();
    void aOneFieldWriteCostsOneReport();
    void writesAreNeverEchoed();
    void decodersReadWhatTheDeviceSends();
    void deviceEventsReachTheOpenConnection();
    void eventsOfOtherDevicesStayAway();
    void profilesSwitchAndResetRestoresTheFactoryImage();
    void receiverOptions();
    void pairingSucceedsWithAMouseInPairingMode();
    void pairingFailsWithoutOne();
    void firmwareFlashChangesTheVersion();
};

void TestHidUsbConnection::init()
{
    SetWorld(DefaultWorld());
    SetTiming(FastTiming());
    QVERIFY(WaitUntilIdle());
    std::lock_guard<std::mutex> guard(g_seen.mutex);
    g_seen.reports.clear();
    g_seen.order.clear();
    g_seen.hook = nullptr;
    ClearCallLog();
}

void TestHidUsbConnection::cleanup()
{
    UsbServer_Exit();
    {
        std::lock_guard<std::mutex> guard(g_seen.mutex);
        g_seen.hook = nullptr;
    }
    QVERIFY(WaitUntilIdle());
}

void TestHidUsbConnection::everyReadAnswersWithItsCommand_data()
{
    QTest::addColumn<int>("read");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("sub");
    QTest::addColumn<int>("length");
    QTest::newRow("all flash") << 0 << 8 << 0 << 6912;
    QTest::newRow("report rate") << 1 << 8 << 0 << 1;
    QTest::newRow("current dpi") << 2 << 8 << 4 << 1;
    QTest::newRow("dpi led") << 3 << 8 << 0x4C << 8;
    QTest::newRow("led bar") << 4 << 8 << 0xA0 << 9;
    QTest::newRow("battery") << 5 << 4 << 0 << 2;
    QTest::newRow("config") << 6 << 14 << 0 << 1;
    QTest::newRow("version") << 7 << 18 << 0 << 2;
}

void TestHidUsbConnection::everyReadAnswersWithItsCommand()
{
    QFETCH(int, read);
    QFETCH(int, command);
    QFETCH(int, sub);
    QFETCH(int, length);
    bool (*const reads[])() = {UsbServer_ReadAllFlashData, UsbServer_ReadReportRate, UsbServer_ReadCurrentDPI,
                               UsbServer_ReadDPILed,       UsbServer_ReadLedBar,     UsbServer_ReadBatteryLevel,
                               UsbServer_ReadConfig,       UsbServer_ReadVersion};
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Record));
    QVERIFY(reads[read]());
    QVERIFY(WaitForReports(1));
    QVERIFY(WaitUntilIdle());
    const std::vector<Report> seen = Reports();
    QCOMPARE(int(seen.size()), 1);
    QCOMPARE(seen[0].command, command);
    QCOMPARE(seen[0].sub, sub);
    QCOMPARE(seen[0].data.size(), length);
    QCOMPARE(int(uint8_t(seen[0].header[3])), 0);  // status good
    QCOMPARE(seen[0].header.size(), 8);
    QCOMPARE(int(uint8_t(seen[0].header[5]) | (uint8_t(seen[0].header[6]) << 8)), length);
}

void TestHidUsbConnection::callbacksComeFromTheDeliveryThreadOnly()
{
    const Qt::HANDLE gui = QThread::currentThreadId();
    QVERIFY(UsbServerC_Start(PathOf("m1"), PathOf("m1"), Record));
    UsbServer_ReadAllFlashData();
    Qt::HANDLE caller = nullptr;
    std::thread other([&caller] {
        caller = QThread::currentThreadId();
        UsbServer_ReadBatteryLevel();
        UsbServer_ReadVersion();
    });
    other.join();
    SendStatusChange("m1", 0x41);
    QVERIFY(WaitForReports(4));
    QVERIFY(WaitUntilIdle());
    const std::vector<CallRecord> calls = CallsOf("callback:data");
    QCOMPARE(int(calls.size()), 4);
    for (const CallRecord &call : calls) {
        QVERIFY(call.thread != gui);
        QVERIFY(call.thread != caller);
    }
    for (const Report &r : Reports())
        QCOMPARE(r.thread, calls.front().thread);
}

void TestHidUsbConnection::readsAskedInsideTheCallbackAreQueued()
{
    g_seen.hook = [](const Report &r) {
        if (r.command == 8 && r.data.size() == kDumpSize) {
            UsbServer_ReadDPILed();
            UsbServer_ReadBatteryLevel();
            UsbServer_ReadVersion();
            UsbServer_ReadConfig();
        }
    };
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Record));
    UsbServer_ReadAllFlashData();
    QVERIFY(WaitForReports(5));
    QVERIFY(WaitUntilIdle());
    std::lock_guard<std::mutex> guard(g_seen.mutex);
    const std::vector<QString> expected = {"enter 8", "leave 8", "enter 8", "leave 8", "enter 4",
                                           "leave 4", "enter 18", "leave 18", "enter 14", "leave 14"};
    QCOMPARE(g_seen.order, expected);
    QCOMPARE(g_seen.reports[1].sub, 0x4C);
}

void TestHidUsbConnection::exitDoesNotWaitForAParkedCallback()
{
    GuiSide gui;
    std::atomic<bool> parked{false};
    g_seen.hook = [&](const Report &) {
        parked = true;
        // Like the program's blocking-queued signals: waits for the GUI thread.
        QMetaObject::invokeMethod(&gui, "Fill", Qt::BlockingQueuedConnection);
    };
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Record));
    UsbServer_ReadReportRate();
    UsbServer_ReadBatteryLevel();
    UsbServer_ReadVersion();
    QElapsedTimer waited;
    waited.start();
    while (!parked && waited.elapsed() < TestSupport::kHangGuardMs)
        QThread::msleep(1);  // the GUI thread must not process events here
    QVERIFY(parked);

    QElapsedTimer exitTime;
    exitTime.start();
    UsbServer_Exit();
    UsbServer_Exit();  // idempotent
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), OtherCallback));
    UsbServer_Exit();
    QVERIFY2(exitTime.elapsed() < TestSupport::kHangGuardMs, qPrintable(QString::number(exitTime.elapsed())));

    QTRY_COMPARE_WITH_TIMEOUT(gui.filled, 1, TestSupport::kHangGuardMs);  // the parked call finishes once the GUI runs
    QVERIFY(WaitUntilIdle());
    QTest::qWait(50);
    QCOMPARE(int(Reports().size()), 1);  // the reads queued before Exit are gone
}

void TestHidUsbConnection::aNewConnectionDropsTheOldReports()
{
    SetTiming([] {
        Timing t = FastTiming();
        t.readLatencyMs = 50;
        return t;
    }());
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), OtherCallback));
    UsbServer_ReadBatteryLevel();
    UsbServer_ReadVersion();
    QVERIFY(UsbServerC_Start(PathOf("m1"), PathOf("m1"), Record));
    UsbServer_ReadConfig();
    QVERIFY(WaitUntilIdle());
    const std::vector<Report> seen = Reports();
    QCOMPARE(int(seen.size()), 1);
    QCOMPARE(seen[0].command, 14);
    QCOMPARE(int(CallsOf("callback:data").size()), 1);
}

void TestHidUsbConnection::anOfflineDeviceAnswersOnceItIsBack()
{
    QVERIFY(!UsbFinderC_GetDeviceOnLine(PathOf("r8k")));
    QVERIFY(UsbServerC_Start(PathOf("r8k"), PathOf("r8k"), Record));
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(WaitUntilIdle());  // an offline device's read waits without keeping the library busy
    QTest::qWait(100);
    QCOMPARE(int(Reports().size()), 0);
    QVERIFY(ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(FactoryImage("m3").data())) == false);
    SetPower("m3", true);
    // Switched on, the mouse first asks for a battery refresh (a status
    // report, not held back by the read); then its dump arrives.
    QVERIFY(WaitForReports(2));
    QCOMPARE(Reports()[0].command, 10);
    QCOMPARE(Reports()[1].command, 8);
    QCOMPARE(Reports()[1].data.size(), kDumpSize);
}

void TestHidUsbConnection::wholeImageRoundTrip()
{
    // A stored image with every byte in use, macros of all sixteen buttons included.
    QByteArray original = FactoryImage("m2");
    for (int i = 0x07C; i < kImageSize; ++i)
        original[i] = char(i * 7 + 3);
    QVERIFY(SetStoredImage("m2", original));
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Record));

    QByteArray image = ReadWholeImage();
    QCOMPARE(image.size(), kImageSize);
    image[0x005] = 2;  // lift-off 2 mm
    ResetWriteStats();
    QVERIFY(ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(image.data())));
    QCOMPARE(CurrentWriteStats().reports, 1);

    const QByteArray back = ReadWholeImage();
    QCOMPARE(back.size(), kImageSize);
    const int kept = offsetof(FlashDataMap, Macros) + kKeptMacroButtons * kMacroRecordSize;
    QCOMPARE(back.left(kept), image.left(kept));
    QCOMPARE(back.mid(kept), QByteArray(kImageSize - kept, '\0'));  // macros of buttons 10-15 are not kept
    QCOMPARE(back.mid(0x07A, 2), original.mid(0x07A, 2));
    QVERIFY(back[0x07A] != 0);
    QCOMPARE(int(back[0x005]), 2);
    QCOMPARE(StoredImage("m2").left(kept), image.left(kept));
}

void TestHidUsbConnection::aOneFieldWriteCostsOneReport()
{
    QVERIFY(UsbServerC_Start(PathOf("m1"), PathOf("m1"), Record));
    QByteArray image = StoredImage("m1");
    ResetWriteStats();
    QVERIFY(ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(image.data())));
    QCOMPARE(CurrentWriteStats().reports, 0);  // nothing changed, nothing sent
    QCOMPARE(CurrentWriteStats().calls, 1);
    image[0x015] = 0x20;  // one DPI code
    QVERIFY(ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(image.data())));
    QCOMPARE(CurrentWriteStats().reports, 1);
    QCOMPARE(CurrentWriteStats().payloadBytes, 1);
    QCOMPARE(CurrentWriteStats().wireBytes, 64);
    // A whole macro record: 592 bytes in ten reports.
    for (int i = 0; i < kMacroRecordSize; ++i)
        image[0x3BC + i] = char(i + 1);
    ResetWriteStats();
    QVERIFY(ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(image.data())));
    QCOMPARE(CurrentWriteStats().reports, 10);
    QCOMPARE(CurrentWriteStats().payloadBytes, 592);
}

void TestHidUsbConnection::writesAreNeverEchoed()
{
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Record));
    QByteArray image = StoredImage("m2");
    image[0] = 0x20;
    QVERIFY(ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(image.data())));
    QVERIFY(UsbServer_SetCurrentConfig(1));
    QVERIFY(UsbFinderC_SetLongRangeMode(PathOf("r4k"), true));
    unsigned char rgb[10] = {2};
    QVERIFY(UsbFinderC_Set4KDongleRGB(PathOf("r4k"), reinterpret_cast<DongleRGB *>(rgb)));
    UsbServer_SetPCDriverStatus(true);
    QVERIFY(PcDriverAttached());
    QVERIFY(WaitUntilIdle());
    QTest::qWait(50);
    QCOMPARE(int(Reports().size()), 0);
}

void TestHidUsbConnection::decodersReadWhatTheDeviceSends()
{
    const QByteArray stored = StoredImage("m2");
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Record));
    UsbServer_ReadDPILed();
    UsbServer_ReadLedBar();
    UsbServer_ReadBatteryLevel();
    QVERIFY(WaitForReports(3));
    const std::vector<Report> seen = Reports();
    unsigned char out[8];
    std::memset(out, 0xEE, sizeof out);
    BufferToDPILed(reinterpret_cast<const unsigned char *>(seen[0].data.constData()), out);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(out), 4), stored.mid(0x3F, 4));
    QCOMPARE(int(out[4]), 0xEE);
    std::memset(out, 0xEE, sizeof out);
    BufferToLedBar(reinterpret_cast<const unsigned char *>(seen[1].data.constData()), out);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(out), 7), stored.mid(0x43, 7));
    QCOMPARE(int(out[7]), 0xEE);
    unsigned char battery[2] = {};
    GetDeviceBatteryStatus(reinterpret_cast<const unsigned char *>(seen[2].data.constData()), battery);
    QCOMPARE(int(battery[0]), 80);
    QCOMPARE(int(battery[1]), 0);
}

void TestHidUsbConnection::deviceEventsReachTheOpenConnection()
{
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Record));
    QVERIFY(SetBattery("m2", 15, true));
    QVERIFY(SendStatusChange("m2", 0x41));
    QVERIFY(SendCommand9("m2"));
    QVERIFY(ReceiverLedChanged("r4k", 3));
    QVERIFY(ReceiverLongRangeOff("r4k"));
    QVERIFY(InjectReport(0x77, 1, QByteArray("xy")));
    QVERIFY(WaitForReports(6));
    const std::vector<Report> seen = Reports();
    QCOMPARE(seen[0].command, 4);
    unsigned char battery[2] = {};
    GetDeviceBatteryStatus(reinterpret_cast<const unsigned char *>(seen[0].data.constData()), battery);
    QCOMPARE(int(battery[0]), 15);
    QCOMPARE(int(battery[1]), 1);
    QCOMPARE(seen[1].command, 10);
    unsigned char flags[8];
    std::memset(flags, 0xEE, sizeof flags);
    GetDeviceStatusChanged(reinterpret_cast<const unsigned char *>(seen[1].data.constData()), flags);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(flags), 8), QByteArray("\1\0\0\0\0\0\1\xEE", 8));
    QCOMPARE(seen[2].command, 9);
    QCOMPARE(seen[3].command, 21);
    QCOMPARE(seen[3].data.size(), 10);
    QCOMPARE(int(seen[3].data[0]), 3);
    QCOMPARE(seen[4].command, 23);
    QCOMPARE(seen[4].data.size(), 10);
    QCOMPARE(seen[5].command, 0x77);
    QCOMPARE(seen[5].data, QByteArray("xy"));
    unsigned char longRange = 0x73;
    QVERIFY(UsbFinderC_GetLongRangeMode(PathOf("r4k"), &longRange));
    QCOMPARE(int(longRange), 0);

    // Switched off and on again, the mouse asks for a battery refresh.
    SetPower("m2", false);
    SetPower("m2", true);
    QVERIFY(WaitForReports(7));
    QCOMPARE(Reports()[6].command, 10);
    QCOMPARE(int(Reports()[6].data[0]), 0x40);
}

void TestHidUsbConnection::eventsOfOtherDevicesStayAway()
{
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Record));
    SetBattery("m1", 10, false);    // another mouse
    SetPower("m2", false);
    SetBattery("m2", 20, false);    // the open mouse, but off
    SendStatusChange("m2", 1);
    QVERIFY(WaitUntilIdle());
    QTest::qWait(50);
    QCOMPARE(int(Reports().size()), 0);
}

void TestHidUsbConnection::profilesSwitchAndResetRestoresTheFactoryImage()
{
    QVERIFY(UsbServerC_Start(PathOf("m1"), PathOf("m1"), Record));
    QByteArray changed = StoredImage("m1");
    changed[0x006] = 9;
    QVERIFY(ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(changed.data())));
    QVERIFY(UsbServer_SetCurrentConfig(2));
    QCOMPARE(ActiveProfile("m1"), 2);
    QCOMPARE(StoredImage("m1"), FactoryImage("m1"));  // profile 2 untouched
    QCOMPARE(int(StoredImage("m1", 0)[0x006]), 9);
    QVERIFY(!UsbServer_SetCurrentConfig(4));
    UsbServer_ReadConfig();
    QVERIFY(WaitForReports(1));
    QCOMPARE(Reports()[0].data, QByteArray(1, '\2'));

    QVERIFY(UsbServer_SetCurrentConfig(0));
    QVERIFY(UsbServer_SetClearSetting());
    QCOMPARE(StoredImage("m1"), FactoryImage("m1"));
    QVERIFY(WaitUntilIdle());
    QTest::qWait(50);
    QCOMPARE(int(ReportsOf(9).size()), 1);
    QCOMPARE(int(Reports().size()), 2);
}

void TestHidUsbConnection::receiverOptions()
{
    const QByteArray r4k = PathOf("r4k");
    unsigned char value = 0x73;
    QVERIFY(UsbFinderC_GetLongRangeMode(r4k, &value));
    QCOMPARE(int(value), 0);
    QVERIFY(UsbFinderC_SetLongRangeMode(r4k, true));
    QVERIFY(UsbFinderC_GetLongRangeMode(r4k, &value));
    QCOMPARE(int(value), 1);
    value = 0x73;
    QVERIFY(!UsbFinderC_GetLongRangeMode(PathOf("m1"), &value));
    QCOMPARE(int(value), 0x73);  // no receiver: the preset stays

    unsigned char rgb[10] = {2, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    QVERIFY(UsbFinderC_Set4KDongleRGB(r4k, reinterpret_cast<DongleRGB *>(rgb)));
    unsigned char back[10] = {};
    QVERIFY(UsbFinderC_Get4KDongleRGBValue(r4k, reinterpret_cast<DongleRGB *>(back)));
    QCOMPARE(QByteArray(reinterpret_cast<char *>(back), 10), QByteArray(reinterpret_cast<char *>(rgb), 10));
    std::memset(back, 0x11, sizeof back);
    QVERIFY(!UsbFinderC_Get4KDongleRGBValue(PathOf("r8k"), reinterpret_cast<DongleRGB *>(back)));
    QCOMPARE(int(back[0]), 0x11);  // no LED on that receiver
}

void TestHidUsbConnection::pairingSucceedsWithAMouseInPairingMode()
{
    // The Drive3 mouse moves from its 8 kHz receiver to the 4 kHz one. It
    // enters pairing mode only once the receiver has said it is pairing, and
    // the receiver keeps looking however slow the machine.
    Timing patient = FastTiming();
    patient.pairTimeoutMs = TestSupport::kHangGuardMs;
    SetTiming(patient);
    QVERIFY(SetPower("m3", true));
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Record));
    QVERIFY(UsbServer_EnterDonglePairOnlyCid(18));
    QVERIFY(UsbServer_ReadDonglePairStatus());
    QVERIFY(WaitForReports(1));
    QCOMPARE(Reports()[0].command, 6);
    QCOMPARE(int(Reports()[0].data[0]), 1);  // pairing
    QVERIFY(SetPairingMode("m3", true));
    QTRY_COMPARE_WITH_TIMEOUT(int(ReportsOf(6).size()), 2, TestSupport::kHangGuardMs);
    QCOMPARE(int(ReportsOf(6)[1].data[0]), 3);  // succeeded
    QCOMPARE(PairStatus("r4k"), 3);
    unsigned char info[3];
    std::memcpy(info, UsbFinderC_GetDeviceInfo(PathOf("r4k")), 3);
    QCOMPARE(int(info[1]), 3);
    QVERIFY(UsbFinderC_GetDeviceOnLine(PathOf("r4k")));
    QVERIFY(!UsbFinderC_GetDeviceOnLine(PathOf("r8k")));  // it lost its mouse
    UsbServer_ReadDonglePairStatus();
    QTRY_COMPARE_WITH_TIMEOUT(int(ReportsOf(6).size()), 3, TestSupport::kHangGuardMs);
    QCOMPARE(int(ReportsOf(6)[2].data[0]), 3);
}

void TestHidUsbConnection::pairingFailsWithoutOne()
{
    QVERIFY(SetPairingMode("m1", false));
    QVERIFY(UsbServerC_Start(PathOf("r8k"), PathOf("r8k"), Record));
    QVERIFY(UsbServer_EnterDonglePairOnlyCid(18));
    QTRY_COMPARE_WITH_TIMEOUT(int(ReportsOf(6).size()), 1, TestSupport::kHangGuardMs);
    QCOMPARE(int(ReportsOf(6)[0].data[0]), 2);
    QCOMPARE(PairStatus("r8k"), 2);
    // Another customer id does not pair either.
    QVERIFY(SetPower("m3", true));
    QVERIFY(SetPairingMode("m3", true));
    QVERIFY(UsbServer_EnterDonglePairOnlyCid(19));
    QTRY_COMPARE_WITH_TIMEOUT(int(ReportsOf(6).size()), 2, TestSupport::kHangGuardMs);
    QCOMPARE(int(ReportsOf(6)[1].data[0]), 2);
    // A cable connection has no receiver to pair.
    QVERIFY(UsbServerC_Start(PathOf("m1"), PathOf("m1"), Record));
    QVERIFY(!UsbServer_EnterDonglePairOnlyCid(18));
}

void TestHidUsbConnection::firmwareFlashChangesTheVersion()
{
    QByteArray image(728 + 256, '\0');
    auto put32 = [&image](int at, quint32 v) {
        for (int i = 0; i < 4; ++i)
            image[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    quint32 sum = 0;
    for (int i = 0; i < 256; ++i) {
        image[728 + i] = char(i);
        sum += quint32(i);
    }
    put32(0x10, 0x0103);
    image[0x14] = char(210);
    image[0x15] = 18;
    image[0x16] = 1;
    put32(0x18, 256);
    put32(0x1C, sum);
    std::memcpy(image.data() + 0x57, "VOM-M1", 6);
    const auto *bytes = reinterpret_cast<const unsigned char *>(image.constData());

    int count = 5;
    UsbUpgradeC_FindBootDevices(bytes, &count);
    QCOMPARE(count, 0);
    QVERIFY(SetBootMode("m1", true));
    UsbUpgradeC_FindBootDevices(bytes, &count);
    QCOMPARE(count, 1);

    static std::mutex mutex;
    static std::vector<QByteArray> progress;
    progress.clear();
    auto callback = [](const unsigned char *report) {
        std::lock_guard<std::mutex> guard(mutex);
        progress.push_back(QByteArray(reinterpret_cast<const char *>(report), 3));
    };
    QVERIFY(UsbUpgrade_Start(bytes, callback, 10000));
    QTRY_VERIFY_WITH_TIMEOUT(
        [] {
            std::lock_guard<std::mutex> guard(mutex);
            return !progress.empty() && progress.back().at(1) == char(2);
        }(),
        TestSupport::kHangGuardMs);
    {
        std::lock_guard<std::mutex> guard(mutex);
        QCOMPARE(progress.back(), QByteArray("\7\2\1", 3));
        QCOMPARE(progress.front(), QByteArray("\7\1\0", 3));
        QCOMPARE(int(progress.size()), 12);
    }
    unsigned char attribute[12];
    QVERIFY(UsbFinderC_GetUsbDeviceAttribute(PathOf("m1"), attribute));
    QCOMPARE(int(attribute[8] | (attribute[9] << 8)), 0x0103);
    for (const CallRecord &r : CallsOf("callback:upgrade"))
        QVERIFY(r.thread != QThread::currentThreadId());

    // A damaged body fails and leaves the mouse waiting in boot mode.
    image[728] = 99;
    progress.clear();
    QVERIFY(UsbUpgrade_Start(bytes, callback, 10000));
    QTRY_VERIFY_WITH_TIMEOUT(
        [] {
            std::lock_guard<std::mutex> guard(mutex);
            return !progress.empty() && progress.back().at(1) == char(2);
        }(),
        TestSupport::kHangGuardMs);
    QCOMPARE(progress.back(), QByteArray("\7\2\0", 3));
    int bootCount = 0;
    UsbUpgradeC_FindBootDevices(bytes, &bootCount);
    QCOMPARE(bootCount, 1);
}

VOGM_TEST_MAIN(TestHidUsbConnection)
#include "tst_hidusb_connection.moc"
