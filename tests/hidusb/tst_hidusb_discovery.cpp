// The device library alone: its world, discovery and USB-change notification.

#include "hidusb.h"
#include "hidusb_control.h"
#include "testsupport.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <cstring>

using namespace HidSim;

namespace {

// USB-change callbacks are plain functions: they record into these.
struct UsbCalls {
    int a = 0;
    int b = 0;
    bool insideStart = false;
    bool calledInsideStart = false;
    Qt::HANDLE thread = nullptr;
    int depth = 0;
    int maxDepth = 0;
    std::function<void()> onA;
} g_usb;

void CallbackA()
{
    ++g_usb.a;
    g_usb.calledInsideStart |= g_usb.insideStart;
    g_usb.thread = QThread::currentThreadId();
    ++g_usb.depth;
    g_usb.maxDepth = qMax(g_usb.maxDepth, g_usb.depth);
    if (g_usb.onA)
        g_usb.onA();
    --g_usb.depth;
}

void CallbackB()
{
    ++g_usb.b;
}

QStringList Paths(const char **paths, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QString::fromLatin1(paths[i]);
    return out;
}

QByteArray Info(const char *path)
{
    const unsigned char *info = UsbFinderC_GetDeviceInfo(path);
    return QByteArray(reinterpret_cast<const char *>(info), 3);
}

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

World ThreeReceiversOneModel()
{
    World w;
    for (int i = 0; i < 3; ++i) {
        Mouse m;
        m.name = QStringLiteral("m%1").arg(i);
        m.mid = 2;
        m.address = {0x10, 0x20, uint8_t(i)};
        Receiver r;
        r.name = QStringLiteral("r%1").arg(i);
        r.pid = 0xFF12;
        r.linkType = 4;
        r.address = m.address;
        r.mouse = m.name;
        w.mice.push_back(m);
        w.receivers.push_back(r);
    }
    return w;
}

}  // namespace

class TestHidUsbDiscovery : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void defaultWorldListsTheShippedDevices();
    void findersAgreeOnInternedPaths();
    void idTextIsReadLikeConfigIni_data();
    void idTextIsReadLikeConfigIni();
    void bootModeDevicesAreNotListed_data();
    void bootModeDevicesAreNotListed();
    void capacityLimitsTheAnswer();
    void scriptedZeroIdsComeFirst();
    void receiverWithItsMouseOffStillNamesItsModel();
    void addressBlockCarriesTheMousesAddress();
    void attributeCarriesTheVersionWord();
    void unknownPathsAnswerAbsent();

    void firstUsbChangeIsPostedToTheGuiThread();
    void closeChangesGiveOneCall();
    void reRegisteringInsideACallbackSwitchesCallbacks();
    void aModalLoopInsideTheCallbackIsNotReEntered();
    void nothingArrivesAfterStop();

    void scenarioFileDescribesTheWorld();
    void badScenariosAreRefused_data();
    void badScenariosAreRefused();
    void commandFilesChangeTheRunningWorld();
};

void TestHidUsbDiscovery::initTestCase()
{
    QVERIFY(qgetenv("VOGM_SCENARIO").isEmpty());
    // Nothing has set a world yet: this is the one the library loaded itself.
    const World w = CurrentWorld();
    QCOMPARE(int(w.receivers.size()), 2);
    QCOMPARE(int(w.mice.size()), 3);
    QVERIFY(ScenarioError().isEmpty());
}

void TestHidUsbDiscovery::init()
{
    g_usb = UsbCalls();
    SetWorld(DefaultWorld());
    QVERIFY(WaitUntilIdle());
    ClearCallLog();
}

void TestHidUsbDiscovery::cleanup()
{
    StopUsbChanged();
    g_usb.onA = nullptr;
}

void TestHidUsbDiscovery::defaultWorldListsTheShippedDevices()
{
    struct Expected {
        const char *pid;
        QByteArray info;
        bool online;
    };
    // Config.ini: VID 0xFF5C, CID 18; cable 0xFF01 (link 2), 4 kHz 0xFF14 (link 1), 8 kHz 0xFF18 (link 5).
    const Expected expected[] = {{"0xFF01", Bytes({18, 1, 2}), true},
                                 {"0xFF14", Bytes({18, 2, 1}), true},
                                 {"0xFF18", Bytes({18, 3, 5}), false}};
    for (const Expected &e : expected) {
        int count = 5;
        const char **paths = UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", e.pid, &count);
        QCOMPARE(count, 1);
        QCOMPARE(Info(paths[0]), e.info);
        QCOMPARE(UsbFinderC_GetDeviceOnLine(paths[0]), e.online);
    }
    for (const char *unused : {"0xFF11", "0xFF12"}) {
        int count = 5;
        UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", unused, &count);
        QCOMPARE(count, 0);
    }
    QCOMPARE(UsbFinderC_GetVersion(PathOf("r4k")), 0x0102);
    int receiverVersion = 0;
    QVERIFY(UsbFinderC_GetSlaveVersion(PathOf("r4k"), &receiverVersion));
    QCOMPARE(receiverVersion, 0x0101);
}

void TestHidUsbDiscovery::findersAgreeOnInternedPaths()
{
    int count = 5;
    const char **first = UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", "0xFF14", &count);
    QCOMPARE(count, 1);
    const char *path = first[0];
    QVERIFY(PlugReceiver("r4k", false));
    QVERIFY(PlugReceiver("r4k", true));
    for (int rescan = 0; rescan < 3; ++rescan) {
        count = 5;
        const char **byDefault = UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", "0xFF14", &count);
        QCOMPARE(count, 1);
        QCOMPARE(byDefault[0], path);  // the same pointer, not only the same text
        count = 5;
        const char **byId = UsbFinderC_FindHidDevicesByDeviceId("0xFF5C", "0xFF14", 1, 5, &count);
        QCOMPARE(count, 1);
        QCOMPARE(byId[0], path);
    }
    QCOMPARE(QByteArray(path), PathOf("r4k"));
    // Another world with the same device keeps the pointer too.
    SetWorld(DefaultWorld());
    count = 5;
    QCOMPARE(UsbFinderC_FindHidDevicesByDeviceId("0xFF5C", "0xFF14", 1, 5, &count)[0], path);
}

void TestHidUsbDiscovery::idTextIsReadLikeConfigIni_data()
{
    QTest::addColumn<QByteArray>("vid");
    QTest::addColumn<QByteArray>("pid");
    QTest::addColumn<int>("found");
    QTest::newRow("upper with 0x") << QByteArray("0xFF5C") << QByteArray("0xFF14") << 1;
    QTest::newRow("lower with 0X") << QByteArray("0Xff5c") << QByteArray("0xff14") << 1;
    QTest::newRow("without prefix") << QByteArray("ff5c") << QByteArray("FF14") << 1;
    QTest::newRow("blanks around") << QByteArray(" 0xFF5C ") << QByteArray("0xFF14 ") << 1;
    QTest::newRow("other vendor") << QByteArray("0x1234") << QByteArray("0xFF14") << 0;
    QTest::newRow("not a number") << QByteArray("0xZZ") << QByteArray("0xFF14") << 0;
    QTest::newRow("empty") << QByteArray("") << QByteArray("") << 0;
}

void TestHidUsbDiscovery::idTextIsReadLikeConfigIni()
{
    QFETCH(QByteArray, vid);
    QFETCH(QByteArray, pid);
    QFETCH(int, found);
    int count = 5;
    const char **paths = UsbFinderC_FindHidDevicesByDefaultDeviceId(vid.constData(), pid.constData(), &count);
    QVERIFY(paths);
    QCOMPARE(count, found);
}

void TestHidUsbDiscovery::bootModeDevicesAreNotListed_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("pid");
    QTest::newRow("receiver") << "r4k" << QByteArray("0xFF14");
    QTest::newRow("mouse on cable") << "m1" << QByteArray("0xFF01");
}

void TestHidUsbDiscovery::bootModeDevicesAreNotListed()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, pid);
    const QByteArray path = PathOf(device);
    QVERIFY(SetBootMode(device, true));
    int count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", pid.constData(), &count);
    QCOMPARE(count, 0);
    count = 5;
    UsbFinderC_FindHidDevicesByDeviceId("0xFF5C", pid.constData(), 1, 5, &count);
    QCOMPARE(count, 0);
    QVERIFY(!UsbFinderC_GetDeviceOnLine(path.constData()));
    QCOMPARE(Info(path.constData()), Bytes({0, 0, 0}));
    QVERIFY(SetBootMode(device, false));
    count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", pid.constData(), &count);
    QCOMPARE(count, 1);
}

void TestHidUsbDiscovery::capacityLimitsTheAnswer()
{
    SetWorld(ThreeReceiversOneModel());
    int count = 5;
    const char **all = UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", "0xFF12", &count);
    QCOMPARE(count, 3);
    const QStringList listed = Paths(all, 3);
    QCOMPARE(QSet<QString>(listed.begin(), listed.end()).size(), 3);
    count = 2;
    const char **two = UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", "0xFF12", &count);
    QCOMPARE(count, 2);
    QCOMPARE(Paths(two, 2), Paths(all, 2));
    count = 0;
    UsbFinderC_FindHidDevicesByDeviceId("0xFF5C", "0xFF12", 1, 5, &count);
    QCOMPARE(count, 0);
    QVERIFY(!UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", "0xFF12", nullptr));
}

void TestHidUsbDiscovery::scriptedZeroIdsComeFirst()
{
    World w = DefaultWorld();
    w.receivers[0].zeroIdAnswers = 2;  // every plug-in of r4k
    SetWorld(w);
    const QByteArray path = PathOf("r4k");
    QVERIFY(ScriptZeroIdAnswers("r4k", 3));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(Info(path.constData()), Bytes({0, 0, 1}));
    QCOMPARE(Info(path.constData()), Bytes({18, 2, 1}));
    QCOMPARE(Info(path.constData()), Bytes({18, 2, 1}));
    // Plugged in again, the receiver needs its two answers to settle once more.
    PlugReceiver("r4k", false);
    PlugReceiver("r4k", true);
    QCOMPARE(Info(path.constData()), Bytes({0, 0, 1}));
    QCOMPARE(Info(path.constData()), Bytes({0, 0, 1}));
    QCOMPARE(Info(path.constData()), Bytes({18, 2, 1}));
}

void TestHidUsbDiscovery::receiverWithItsMouseOffStillNamesItsModel()
{
    const QByteArray path = PathOf("r8k");
    QCOMPARE(Info(path.constData()), Bytes({18, 3, 5}));
    World w = DefaultWorld();
    w.receivers[1].reportsIdsWhenOff = false;
    SetWorld(w);
    QCOMPARE(Info(path.constData()), Bytes({0, 0, 5}));
    QVERIFY(SetPower("m3", true));
    QCOMPARE(Info(path.constData()), Bytes({18, 3, 5}));
    QVERIFY(UsbFinderC_GetDeviceOnLine(path.constData()));
}

void TestHidUsbDiscovery::addressBlockCarriesTheMousesAddress()
{
    unsigned char block[16];
    std::memset(block, 0xEE, sizeof block);
    QVERIFY(UsbFinderC_GetDeviceOnLineWithUsbAddress(PathOf("r4k").constData(), block));
    QCOMPARE(int(block[6]), 1);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(block + 7), 3), Bytes({0x3A, 0x51, 0x07}));
    for (int i = 10; i < 16; ++i)
        QCOMPARE(int(block[i]), 0xEE);  // exactly ten bytes written

    QVERIFY(SetPower("m2", false));
    QVERIFY(UsbFinderC_GetDeviceOnLineWithUsbAddress(PathOf("r4k").constData(), block));
    QCOMPARE(int(block[6]), 0);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(block + 7), 3), Bytes({0x3A, 0x51, 0x07}));

    // A mouse on cable that turns its radio off is offline through its receiver.
    World w = DefaultWorld();
    w.mice[1].cable = true;
    w.mice[1].wirelessOffWhenCabled = true;
    SetWorld(w);
    QVERIFY(!UsbFinderC_GetDeviceOnLine(PathOf("r4k").constData()));
    QVERIFY(UsbFinderC_GetDeviceOnLine(PathOf("m2").constData()));
    QVERIFY(UsbFinderC_GetDeviceOnLineWithUsbAddress(PathOf("m2").constData(), block));
    QCOMPARE(int(block[6]), 1);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(block + 7), 3), Bytes({0x3A, 0x51, 0x07}));
}

void TestHidUsbDiscovery::attributeCarriesTheVersionWord()
{
    unsigned char attribute[12];
    QVERIFY(UsbFinderC_GetUsbDeviceAttribute(PathOf("r4k").constData(), attribute));
    QCOMPARE(int(attribute[8] | (attribute[9] << 8)), 0x0101);
    QVERIFY(SetVersion("m1", 0x010F));
    QVERIFY(UsbFinderC_GetUsbDeviceAttribute(PathOf("m1").constData(), attribute));
    QCOMPARE(int(attribute[9]), 1);     // major
    QCOMPARE(int(attribute[8]), 0x0F);  // minor
}

void TestHidUsbDiscovery::unknownPathsAnswerAbsent()
{
    unsigned char buffer[12] = {};
    int version = 77;
    unsigned char longRange = 0x73;
    for (const char *path : {"a", "", static_cast<const char *>(nullptr)}) {
        QVERIFY(!UsbFinderC_GetDeviceOnLine(path));
        QCOMPARE(Info(path), Bytes({0, 0, 0}));
        QVERIFY(!UsbFinderC_GetUsbDeviceAttribute(path, buffer));
        QVERIFY(!UsbFinderC_GetDeviceOnLineWithUsbAddress(path, buffer));
        QCOMPARE(int(buffer[6]), 0);
        QCOMPARE(UsbFinderC_GetVersion(path), 0);
        QVERIFY(!UsbFinderC_GetSlaveVersion(path, &version));
        QVERIFY(!UsbFinderC_GetLongRangeMode(path, &longRange));
        QCOMPARE(int(longRange), 0x73);
        QVERIFY(!UsbServerC_Start(path, path, nullptr));
        QVERIFY(!UsbServer_ReadAllFlashData());
    }
    QCOMPARE(version, 77);
    UsbServer_Exit();
    // An unplugged device answers absent as well.
    const QByteArray r8k = PathOf("r8k");
    PlugReceiver("r8k", false);
    QCOMPARE(Info(r8k.constData()), Bytes({0, 0, 0}));
    QVERIFY(!UsbFinderC_GetUsbDeviceAttribute(r8k.constData(), buffer));
}

// The calls below do not test the length of the interval: a short one keeps
// the waits short. A wait of kQuiet shows that no further call comes.
constexpr int kInterval = 40;
constexpr int kQuiet = 5 * kInterval;

void TestHidUsbDiscovery::firstUsbChangeIsPostedToTheGuiThread()
{
    g_usb.insideStart = true;
    StartUsbChanged(CallbackA, kInterval);
    g_usb.insideStart = false;
    QCOMPARE(g_usb.a, 0);
    QTRY_COMPARE_WITH_TIMEOUT(g_usb.a, 1, TestSupport::kHangGuardMs);
    QVERIFY(!g_usb.calledInsideStart);
    QCOMPARE(g_usb.thread, QThread::currentThreadId());
    // Without changes no further call comes.
    QTest::qWait(kQuiet);
    QCOMPARE(g_usb.a, 1);
    // A change made from another thread is delivered on the registering thread too.
    std::thread([] { SetPower("m3", true); }).join();
    QTRY_COMPARE_WITH_TIMEOUT(g_usb.a, 2, TestSupport::kHangGuardMs);
    QCOMPARE(g_usb.thread, QThread::currentThreadId());
    for (const CallRecord &r : CallsOf("callback:usb"))
        QCOMPARE(r.thread, QThread::currentThreadId());
}

void TestHidUsbDiscovery::closeChangesGiveOneCall()
{
    StartUsbChanged(CallbackA, kInterval);
    QTRY_COMPARE_WITH_TIMEOUT(g_usb.a, 1, TestSupport::kHangGuardMs);
    // Two changes within one interval (the callback's thread runs no events
    // between them) fold into one call.
    PlugReceiver("r8k", false);
    PlugReceiver("r8k", true);
    QTRY_COMPARE_WITH_TIMEOUT(g_usb.a, 2, TestSupport::kHangGuardMs);
    QTest::qWait(kQuiet);
    QCOMPARE(g_usb.a, 2);
    // A battery change is not a USB change.
    SetBattery("m2", 30, false);
    QTest::qWait(kQuiet);
    QCOMPARE(g_usb.a, 2);
}

void TestHidUsbDiscovery::reRegisteringInsideACallbackSwitchesCallbacks()
{
    g_usb.onA = [] {
        StartUsbChanged(CallbackB, kInterval);
        QCOMPARE(g_usb.b, 0);  // never called from inside the registration
    };
    StartUsbChanged(CallbackA, kInterval);
    QTRY_COMPARE_WITH_TIMEOUT(g_usb.b, 1, TestSupport::kHangGuardMs);
    QCOMPARE(g_usb.a, 1);
    PlugReceiver("r8k", false);
    QTRY_COMPARE_WITH_TIMEOUT(g_usb.b, 2, TestSupport::kHangGuardMs);
    QTest::qWait(kQuiet);
    QCOMPARE(g_usb.a, 1);
    QCOMPARE(g_usb.b, 2);
}

void TestHidUsbDiscovery::aModalLoopInsideTheCallbackIsNotReEntered()
{
    g_usb.onA = [] {
        if (g_usb.a != 2)
            return;
        // Like a notice run with exec(): the world changes meanwhile, and
        // the loop runs longer than several intervals.
        QEventLoop loop;
        QTimer::singleShot(kInterval / 2, [] { PlugReceiver("r8k", false); });
        QTimer::singleShot(2 * kInterval, [] { SetPower("m2", false); });
        QTimer::singleShot(kQuiet, &loop, &QEventLoop::quit);
        loop.exec();
    };
    StartUsbChanged(CallbackA, kInterval);
    QTRY_COMPARE_WITH_TIMEOUT(g_usb.a, 1, TestSupport::kHangGuardMs);
    PlugReceiver("r4k", false);
    QTRY_COMPARE_WITH_TIMEOUT(g_usb.a, 3, TestSupport::kHangGuardMs);
    QTest::qWait(kQuiet);
    QCOMPARE(g_usb.a, 3);  // the two changes inside gave one later call
    QCOMPARE(g_usb.maxDepth, 1);
}

void TestHidUsbDiscovery::nothingArrivesAfterStop()
{
    StartUsbChanged(CallbackA, kInterval);
    StopUsbChanged();
    PlugReceiver("r4k", false);
    QTest::qWait(kQuiet);
    QCOMPARE(g_usb.a, 0);

    // Stopped from inside the callback: no later call either.
    g_usb.onA = [] { StopUsbChanged(); };
    StartUsbChanged(CallbackA, kInterval);
    QTRY_COMPARE_WITH_TIMEOUT(g_usb.a, 1, TestSupport::kHangGuardMs);
    PlugReceiver("r4k", true);
    QTest::qWait(kQuiet);
    QCOMPARE(g_usb.a, 1);
}

void TestHidUsbDiscovery::scenarioFileDescribesTheWorld()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("world.json");
    QSaveFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(R"({
      "timing": {"readLatencyMs": 1, "fullReadMs": 20},
      "mice": [{"name": "a", "mid": 2, "address": "01:02:03", "battery": 55,
                "patch": {"0x000": "40", "0x07A": "ABCD"}},
               {"name": "b", "mid": 1, "cable": true, "pid": "0xFF01", "zeroIdAnswers": 1}],
      "receivers": [{"name": "ra", "linkType": 5, "pid": "0xFF18", "address": "01:02:03", "mouse": "a",
                     "version": "0x0105"}]
    })");
    QVERIFY(out.commit());
    World w;
    QString error;
    QVERIFY2(LoadScenario(file, &w, &error), qPrintable(error));
    SetWorld(w);
    QCOMPARE(CurrentTiming().fullReadMs, 20);
    const QByteArray ra = PathOf("ra");
    int count = 5;
    QCOMPARE(UsbFinderC_FindHidDevicesByDefaultDeviceId("0xff5c", "0xff18", &count)[0], ra.constData());
    QCOMPARE(Info(ra.constData()), Bytes({18, 2, 5}));
    QVERIFY(UsbFinderC_GetDeviceOnLine(ra.constData()));
    QCOMPARE(Info(PathOf("b").constData()), Bytes({0, 0, 2}));
    QCOMPARE(Info(PathOf("b").constData()), Bytes({18, 1, 2}));
    const QByteArray image = StoredImage("a");
    QCOMPARE(image.size(), kImageSize);
    QCOMPARE(uint8_t(image[0]), uint8_t(0x40));
    QCOMPARE(image.mid(0x7A, 2), Bytes({0xAB, 0xCD}));
}

void TestHidUsbDiscovery::badScenariosAreRefused_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("complaint");
    QTest::newRow("not json") << QByteArray("{nope") << "";
    QTest::newRow("array") << QByteArray("[]") << "object";
    QTest::newRow("typo") << QByteArray(R"({"mice":[{"name":"a","powerd":true}]})") << "powerd";
    QTest::newRow("range") << QByteArray(R"({"mice":[{"name":"a","battery":150}]})") << "battery";
    QTest::newRow("address") << QByteArray(R"({"mice":[{"name":"a","address":"1:2"}]})") << "address";
    QTest::newRow("unknown mouse") << QByteArray(R"({"receivers":[{"name":"r","mouse":"x"}]})") << "x";
    QTest::newRow("twice") << QByteArray(R"({"mice":[{"name":"a"},{"name":"a"}]})") << "twice";
    QTest::newRow("no name") << QByteArray(R"({"mice":[{"mid":2}]})") << "name";
    QTest::newRow("patch beyond") << QByteArray(R"({"mice":[{"name":"a","patch":{"10427":"0102"}}]})") << "beyond";
}

void TestHidUsbDiscovery::badScenariosAreRefused()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, complaint);
    World w = DefaultWorld();
    QString error;
    QVERIFY(!ParseScenario(json, &w, &error));
    QVERIFY2(error.contains(complaint), qPrintable(error));
    QCOMPARE(int(w.mice.size()), 3);  // untouched
}

void TestHidUsbDiscovery::commandFilesChangeTheRunningWorld()
{
    QString error;
    QVERIFY(ApplyCommand("power m3 on", &error));
    QVERIFY(UsbFinderC_GetDeviceOnLine(PathOf("r8k").constData()));
    QVERIFY(!ApplyCommand("power nobody on", &error));
    QVERIFY(error.contains("nobody"));
    QVERIFY(!ApplyCommand("fly m3", &error));

    // What the vogm-world tool does: drop a command file into the inbox.
    const QString inbox = ControlFolder() + "/inbox";
    QVERIFY(QDir().mkpath(inbox));
    QVERIFY(QDir(ControlFolder()).absolutePath().startsWith(QDir(qEnvironmentVariable("HOME")).absolutePath()));
    QSaveFile file(inbox + "/1-test.cmd");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("unplug r4k\n# a comment\ncable m2 on\nbattery m2 12 charging\n");
    QVERIFY(file.commit());
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(inbox + "/1-test.cmd"), TestSupport::kHangGuardMs);
    // The file is taken before its commands run: wait for their results.
    const auto okCount = [this] {
        QFile result(ControlFolder() + "/last-result.txt");
        return result.open(QIODevice::ReadOnly) ? int(result.readAll().count("ok: ")) : 0;
    };
    QTRY_COMPARE_WITH_TIMEOUT(okCount(), 3, TestSupport::kHangGuardMs);
    int count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", "0xFF14", &count);
    QCOMPARE(count, 0);
    count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", "0xFF01", &count);
    QCOMPARE(count, 2);
    // The folder is watched on the library's own thread: a command is taken
    // while this thread, the GUI thread, handles no events at all.
    const QString resultFile = ControlFolder() + "/last-result.txt";
    QVERIFY(QFile::remove(resultFile));
    QSaveFile busy(inbox + "/2-test.cmd");
    QVERIFY(busy.open(QIODevice::WriteOnly));
    busy.write("plug r4k\n");
    QVERIFY(busy.commit());
    const QDeadlineTimer deadline(5000);
    while (!QFile::exists(resultFile) && !deadline.hasExpired())
        QThread::msleep(5);
    QVERIFY(QFile::exists(resultFile));
}

VOGM_TEST_MAIN(TestHidUsbDiscovery)
#include "tst_hidusb_discovery.moc"
