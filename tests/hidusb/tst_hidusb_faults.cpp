// Real-device faults the simulated world shows: handles that die with an
// unplug, reads that wait for an offline mouse without holding back other
// reports, the run-time faults of a mouse's reads and writes, and an open
// held at a test's request.

#include "flashdatamap.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "testsupport.h"

#include <QScopeGuard>
#include <QtTest>
#include <atomic>
#include <mutex>
#include <thread>

using namespace HidSim;

namespace {

struct Report {
    int command = 0;
    QByteArray data;
};

std::mutex g_mutex;
std::vector<Report> g_reports;

void Record(const unsigned char *header, int headerLen, const unsigned char *data, int dataLen)
{
    std::lock_guard<std::mutex> guard(g_mutex);
    g_reports.push_back({headerLen > 1 ? header[1] : 0, QByteArray(reinterpret_cast<const char *>(data), dataLen)});
}

std::vector<Report> Reports()
{
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_reports;
}

QList<int> Commands()
{
    QList<int> commands;
    for (const Report &r : Reports())
        commands << r.command;
    return commands;
}

bool WaitForReports(size_t n)
{
    return QTest::qWaitFor([n] { return Reports().size() >= n; }, TestSupport::kHangGuardMs);
}

bool Open(const char *device)
{
    const QByteArray path = PathOf(device);
    return UsbServerC_Start(path.constData(), path.constData(), Record);
}

bool Write(QByteArray image)
{
    return ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(image.data()));
}

bool Parses(const QByteArray &dump)
{
    QByteArray image(kImageSize, '\0');
    return dump.size() == kDumpSize
           && ProtocolDataParser(reinterpret_cast<const unsigned char *>(dump.constData()),
                                 reinterpret_cast<FlashDataMap *>(image.data()));
}

QByteArray WithByte(QByteArray image, int offset, int value)
{
    image[offset] = char(value);
    return image;
}

}  // namespace

class TestHidUsbFaults : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void anUnplugEndsTheConnection_data();
    void anUnplugEndsTheConnection();
    void aWaitingReadHoldsBackNoOtherReport();
    void slowAndDroppedReads();
    void aGarbageDumpFailsTheCheckOnce();
    void refusedWritesStoreNothing();
    void commandsArmTheFaults_data();
    void commandsArmTheFaults();
    void timingChangesTheRunningWorld();
    void scenarioKeysArmTheFaults();
    void aHeldOpenWaitsWithoutTheLock();
};

void TestHidUsbFaults::init()
{
    World world = DefaultWorld();
    world.timing.readLatencyMs = 1;
    world.timing.fullReadMs = 20;
    world.timing.pairDelayMs = 30;
    world.timing.pairTimeoutMs = 2000;
    SetWorld(world);
    QVERIFY(WaitUntilIdle());
    std::lock_guard<std::mutex> guard(g_mutex);
    g_reports.clear();
}

void TestHidUsbFaults::cleanup()
{
    UsbServer_Exit();
    QVERIFY(WaitUntilIdle());
}

void TestHidUsbFaults::anUnplugEndsTheConnection_data()
{
    QTest::addColumn<QString>("device");  // opened
    QTest::addColumn<QString>("command"); // pulls it
    QTest::addColumn<QString>("back");    // puts it back
    QTest::addColumn<QString>("mouse");
    QTest::newRow("receiver") << "r4k" << "unplug r4k" << "plug r4k" << "m2";
    QTest::newRow("cable") << "m1" << "cable m1 off" << "cable m1 on" << "m1";
}

// A quick replug (within the program's 600 ms change interval, so the
// program sees no change) does not revive a handle: reads, writes and
// events of the old connection fail until the path is opened again.
void TestHidUsbFaults::anUnplugEndsTheConnection()
{
    QFETCH(QString, device);
    QFETCH(QString, command);
    QFETCH(QString, back);
    QFETCH(QString, mouse);
    const QByteArray name = device.toLatin1();
    QVERIFY(Open(name.constData()));
    const QByteArray stored = StoredImage(mouse);
    QVERIFY(ApplyCommand(command));
    QTest::qWait(150);
    QVERIFY(ApplyCommand(back));
    QVERIFY(UsbFinderC_GetDeviceOnLine(PathOf(device)));

    QVERIFY(!UsbServer_ReadAllFlashData());
    QVERIFY(!Write(WithByte(stored, 0x006, 9)));
    QVERIFY(SetBattery(mouse, 33, false));
    QVERIFY(WaitUntilIdle());
    QVERIFY(Reports().empty());
    QCOMPARE(StoredImage(mouse), stored);

    QVERIFY(Open(name.constData()));
    QVERIFY(Write(WithByte(stored, 0x006, 9)));
    QCOMPARE(int(StoredImage(mouse)[0x006]), 9);
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(WaitForReports(1));
    QCOMPARE(Reports()[0].command, 8);
}

// m2 is off: its read waits, while the receiver's own reports and the
// pairing result behind it go out.
void TestHidUsbFaults::aWaitingReadHoldsBackNoOtherReport()
{
    QVERIFY(SetPower("m2", false));
    QVERIFY(Open("r4k"));
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(ReceiverLedChanged("r4k", 2));
    QVERIFY(ReceiverLongRangeOff("r4k"));
    QVERIFY(UsbServer_EnterDonglePairOnlyCid(18));
    QVERIFY(SetPairingMode("m3", true));
    QVERIFY(SetPower("m3", true));
    QVERIFY(WaitForReports(3));
    // The waiting read may already have been answered (the fourth report):
    // what counts is that the three came first, in order.
    QCOMPARE(Commands().mid(0, 3), (QList<int>{21, 23, 6}));
    QCOMPARE(int(Reports()[2].data[0]), 3);  // paired

    // m3 now answers through the receiver: the waiting read is answered by it.
    QVERIFY(WaitForReports(4));
    QCOMPARE(Reports()[3].command, 8);
}

void TestHidUsbFaults::slowAndDroppedReads()
{
    QVERIFY(Open("r4k"));
    QVERIFY(SlowNextRead("m2", 1500));
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(UsbServer_ReadVersion());  // the mouse answers in order: after the dump
    QTest::qWait(200);  // ten times the usual dump time
    QVERIFY(Reports().empty());
    QVERIFY(WaitForReports(2));
    QCOMPARE(Commands(), (QList<int>{8, 18}));

    QVERIFY(DropNextReads("m2", 1));
    QVERIFY(UsbServer_ReadAllFlashData());  // never answered
    QVERIFY(UsbServer_ReadConfig());        // not held back by it
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(WaitForReports(4));
    QVERIFY(WaitUntilIdle());
    QCOMPARE(Commands(), (QList<int>{8, 18, 14, 8}));
}

void TestHidUsbFaults::aGarbageDumpFailsTheCheckOnce()
{
    QVERIFY(Open("r4k"));
    QVERIFY(GarbageNextDumps("m2", 1));
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(WaitForReports(2));
    QVERIFY(!Parses(Reports()[0].data));
    QVERIFY(Parses(Reports()[1].data));
    QCOMPARE(Reports()[1].data, StoredDump("m2"));
}

void TestHidUsbFaults::refusedWritesStoreNothing()
{
    QVERIFY(Open("r4k"));
    const QByteArray stored = StoredImage("m2");
    QVERIFY(FailNextWrites("m2", 2));
    QVERIFY(!Write(WithByte(stored, 0x005, 2)));
    QVERIFY(!Write(WithByte(stored, 0x005, 2)));
    QCOMPARE(StoredImage("m2"), stored);
    QVERIFY(Write(WithByte(stored, 0x005, 2)));
    QCOMPARE(int(StoredImage("m2")[0x005]), 2);
}

void TestHidUsbFaults::commandsArmTheFaults_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("understood");
    QTest::newRow("slowread") << "slowread m2 12000" << true;
    QTest::newRow("dropread") << "dropread m2" << true;
    QTest::newRow("garbage") << "garbage m2" << true;
    QTest::newRow("failwrite") << "failwrite m2" << true;
    QTest::newRow("failwrite 3") << "failwrite m2 3" << true;
    QTest::newRow("failwrite 0") << "failwrite m2 0" << false;
    QTest::newRow("slowread without time") << "slowread m2" << false;
    QTest::newRow("garbage of a receiver") << "garbage r4k" << false;
    QTest::newRow("unknown mouse") << "dropread m9" << false;
}

// Each command arms exactly its fault on the named mouse.
void TestHidUsbFaults::commandsArmTheFaults()
{
    QFETCH(QString, command);
    QFETCH(bool, understood);
    QString error;
    QCOMPARE(ApplyCommand(command, &error), understood);
    QCOMPARE(error.isEmpty(), understood);
    if (!understood)
        return;
    QVERIFY(Open("r4k"));
    const QByteArray stored = StoredImage("m2");
    const bool written = Write(WithByte(stored, 0x005, 3));
    QCOMPARE(written, !command.startsWith("failwrite"));
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(UsbServer_ReadVersion());
    if (command.startsWith("slowread")) {
        QTest::qWait(200);
        QVERIFY(Reports().empty());
        return;
    }
    QVERIFY(WaitForReports(command.startsWith("dropread") ? 1 : 2));
    QVERIFY(WaitUntilIdle());
    const std::vector<Report> seen = Reports();
    if (command.startsWith("dropread")) {
        QCOMPARE(Commands(), QList<int>{18});
        return;
    }
    QCOMPARE(Commands(), (QList<int>{8, 18}));
    QCOMPARE(Parses(seen[0].data), !command.startsWith("garbage"));
}

void TestHidUsbFaults::timingChangesTheRunningWorld()
{
    QVERIFY(ApplyCommand("timing fullReadMs 1234 readLatencyMs 7"));
    QCOMPARE(CurrentTiming().fullReadMs, 1234);
    QCOMPARE(CurrentTiming().readLatencyMs, 7);
    QCOMPARE(CurrentTiming().pairDelayMs, 30);
    QString error;
    QVERIFY(!ApplyCommand("timing fullReadMs", &error));
    QVERIFY(!ApplyCommand("timing speed 3", &error));
    QVERIFY(!ApplyCommand("timing fullReadMs -5", &error));
    QCOMPARE(CurrentTiming().fullReadMs, 1234);
}

// A scenario can start the world with faults armed.
void TestHidUsbFaults::scenarioKeysArmTheFaults()
{
    World world;
    QString error;
    QVERIFY2(ParseScenario(R"({"mice": [{"name": "mc", "mid": 1, "cable": true, "failWrites": 1,
                                           "garbageDumps": 1, "dropReads": 0, "slowReadMs": 0}]})",
                           &world, &error),
             qPrintable(error));
    QVERIFY(!ParseScenario(R"({"mice": [{"name": "mc", "failWrites": -1}]})", &world, &error));
    world.timing.fullReadMs = 5;
    SetWorld(world);
    QVERIFY(Open("mc"));
    const QByteArray stored = StoredImage("mc");
    QVERIFY(!Write(WithByte(stored, 0x005, 2)));
    QVERIFY(Write(WithByte(stored, 0x005, 2)));
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(UsbServer_ReadAllFlashData());
    QVERIFY(WaitForReports(2));
    QVERIFY(!Parses(Reports()[0].data));
    QVERIFY(Parses(Reports()[1].data));
}

// A held open of m2's receiver waits without blocking the library; another
// mouse's open goes through, and letting go ends the wait with the open done.
void TestHidUsbFaults::aHeldOpenWaitsWithoutTheLock()
{
    QVERIFY(ApplyCommand("holdopen m2 on"));
    QVERIFY(!ApplyCommand("holdopen r4k on"));
    ClearCallLog();
    std::atomic<bool> opened{false};
    std::thread opener([&opened] { opened = Open("r4k"); });
    const auto letGo = qScopeGuard([&opener] {
        HoldOpens("m2", false);
        opener.join();
    });
    QVERIFY(QTest::qWaitFor([] { return !CallsOf("UsbServerC_Start").empty(); }, TestSupport::kHangGuardMs));
    QVERIFY(UsbFinderC_GetDeviceOnLine(PathOf("r4k").constData()));
    QVERIFY(!opened);
    QVERIFY(Open("m1"));

    QVERIFY(ApplyCommand("holdopen m2 off"));
    QVERIFY(QTest::qWaitFor([&opened] { return opened.load(); }, TestSupport::kHangGuardMs));
    QVERIFY(UsbServer_ReadVersion());
    QVERIFY(WaitForReports(1));
}

VOGM_TEST_MAIN(TestHidUsbFaults)
#include "tst_hidusb_faults.moc"
