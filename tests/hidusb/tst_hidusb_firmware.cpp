// The device library's firmware flashing: progress, failures scripted at a
// percent, flashes cut off by the world, refused images, one finished report
// per start, and the device each leaves behind.

#include "hidusb.h"
#include "hidusb_control.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QThread>
#include <QtTest>
#include <functional>
#include <mutex>

using namespace HidSim;

namespace {

constexpr int kFlashMs = 60;

// What the upgrade callback saw; it runs on the library's flash threads.
struct Seen {
    std::mutex mutex;
    QList<QByteArray> reports;
    // Runs inside the callback after a report was recorded.
    std::function<void(const QByteArray &)> hook;
} g_seen;

void Record(const unsigned char *report)
{
    const QByteArray bytes(reinterpret_cast<const char *>(report), 3);
    std::function<void(const QByteArray &)> hook;
    {
        std::lock_guard<std::mutex> guard(g_seen.mutex);
        g_seen.reports << bytes;
        hook = g_seen.hook;
    }
    if (hook)
        hook(bytes);
}

QList<QByteArray> Reports()
{
    std::lock_guard<std::mutex> guard(g_seen.mutex);
    return g_seen.reports;
}

void SetHook(std::function<void(const QByteArray &)> hook)
{
    std::lock_guard<std::mutex> guard(g_seen.mutex);
    g_seen.hook = std::move(hook);
}

int FinishedCount()
{
    int n = 0;
    for (const QByteArray &r : Reports())
        n += r.at(1) == 2 ? 1 : 0;
    return n;
}

// The reports as text: "0 10 20 ok" / "0 10 fail".
QString Story()
{
    QStringList words;
    for (const QByteArray &r : Reports())
        words << (r.at(1) == 1 ? QString::number(uchar(r.at(2))) : r.at(2) == 1 ? "ok" : "fail");
    return words.join(' ');
}

QString Progress(int upTo, const QString &end)
{
    QStringList words;
    for (int p = 0; p <= upTo; p += 10)
        words << QString::number(p);
    return (words + QStringList{end}).join(' ').trimmed();
}

// A staged demo image, optionally with another version word.
QByteArray DemoImage(const QString &file, quint32 version = 0)
{
    QFile f(TestSupport::AppFolder() + "/bin/" + file);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray image = f.readAll();
    for (int i = 0; version && i < 4; ++i)
        image[0x10 + i] = char((version >> (8 * i)) & 0xFF);
    return image;
}

const unsigned char *Bytes(const QByteArray &image)
{
    return reinterpret_cast<const unsigned char *>(image.constData());
}

const char kReceiverImage[] = "VOR-M2-4K_v1.2.bin";
const char kMouseImage[] = "VOM-M2_v1.3.bin";

bool Listed(const QString &device)
{
    for (const char *pid : {"0xFF14", "0xFF18", "0xFF01"}) {
        int count = 8;
        const char **paths = UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", pid, &count);
        for (int i = 0; i < count; ++i) {
            if (PathOf(device) == paths[i])
                return true;
        }
    }
    return false;
}

template <typename Device>
const Device *Named(const std::vector<Device> &devices, const QString &name)
{
    for (const Device &d : devices) {
        if (d.name == name)
            return &d;
    }
    return nullptr;
}

struct DeviceState {
    int version = -1;
    bool bootMode = false;
};

DeviceState WorldState(const QString &name)
{
    const World w = CurrentWorld();
    if (const Receiver *r = Named(w.receivers, name))
        return {r->version, r->bootMode};
    if (const Mouse *m = Named(w.mice, name))
        return {m->version, m->bootMode};
    return {};
}

// The version as the host reads it through the device's own path: a
// receiver's own version, a mouse's from the attribute block of its cable.
int HostVersion(const QString &name)
{
    const QByteArray path = PathOf(name);
    if (name.startsWith('r')) {
        int version = 0;
        return UsbFinderC_GetSlaveVersion(path, &version) ? version : -1;
    }
    unsigned char attribute[12] = {};
    return UsbFinderC_GetUsbDeviceAttribute(path, attribute) ? attribute[8] | (attribute[9] << 8) : -1;
}

int BootCount(const QByteArray &image)
{
    int count = 5;
    UsbUpgradeC_FindBootDevices(Bytes(image), &count);
    return count;
}

bool WaitForFinished()
{
    return QTest::qWaitFor([] { return FinishedCount() > 0; }, TestSupport::kHangGuardMs);
}

}  // namespace

class TestHidUsbFirmware : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void aFlashAndWhatItLeaves_data();
    void aFlashAndWhatItLeaves();
    void aStartInsideTheFinishedReportFlashesTheNextDevice();
    void aFailureArmedFromOutsideTakesTheNextFlash();
    void aNewWorldEndsAFlashWithOneFailure();

private:
    void Flash(const QByteArray &image, bool expectStarted);
};

void TestHidUsbFirmware::init()
{
    World world = DefaultWorld();
    world.timing.flashMs = kFlashMs;
    SetWorld(world);
    std::lock_guard<std::mutex> guard(g_seen.mutex);
    g_seen.reports.clear();
    g_seen.hook = nullptr;
    ClearCallLog();
}

void TestHidUsbFirmware::cleanup()
{
    SetHook(nullptr);
}

void TestHidUsbFirmware::Flash(const QByteArray &image, bool expectStarted)
{
    {
        std::lock_guard<std::mutex> guard(g_seen.mutex);
        g_seen.reports.clear();
    }
    QCOMPARE(UsbUpgrade_Start(Bytes(image), Record, 10000), expectStarted);
    QVERIFY(WaitForFinished());
    // The flash thread ends with its finished report: nothing may follow it.
    QTest::qWait(2 * kFlashMs);
    QCOMPARE(FinishedCount(), 1);
}

void TestHidUsbFirmware::aFlashAndWhatItLeaves_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<QStringList>("before");  // world commands before the start
    QTest::addColumn<int>("cutAt");           // the percent whose report runs `cut` (-1: none)
    QTest::addColumn<QString>("cut");
    QTest::addColumn<QString>("after");       // a world command once the flash ended
    QTest::addColumn<bool>("started");
    QTest::addColumn<QString>("story");
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("bootMode");
    QTest::addColumn<int>("bootCount");

    const QByteArray receiver = DemoImage(kReceiverImage);
    const QByteArray mouse = DemoImage(kMouseImage);
    QTest::newRow("receiver") << "r4k" << receiver << QStringList() << -1 << "" << "" << true
                              << Progress(100, "ok") << 0x0102 << true << false << 0;
    QTest::newRow("receiver fails at 40") << "r4k" << receiver << QStringList{"flashfail r4k 40"} << -1 << ""
                                          << "" << true << Progress(30, "fail") << 0x0101 << false << true << 1;
    QTest::newRow("mouse on its cable") << "m2" << mouse << QStringList{"cable m2 on"} << -1 << "" << "" << true
                                        << Progress(100, "ok") << 0x0103 << true << false << 0;
    QTest::newRow("receiver unplugged at 30") << "r4k" << receiver << QStringList() << 30 << "unplug r4k"
                                              << "plug r4k" << true << Progress(30, "fail") << 0x0101 << false
                                              << true << 1;
    QTest::newRow("cable pulled at 50") << "m2" << mouse << QStringList{"cable m2 on"} << 50 << "cable m2 off"
                                        << "cable m2 on" << true << Progress(50, "fail") << 0x0102 << false << true
                                        << 1;
    // By radio: the mouse waits in boot mode and can only be reached again by cable.
    QTest::newRow("mouse switched off at 20") << "m2" << mouse << QStringList() << 20 << "power m2 off"
                                              << "power m2 on" << true << Progress(20, "fail") << 0x0102 << false
                                              << true << 0;
    QTest::newRow("receiver of the radio flash unplugged") << "m2" << mouse << QStringList() << 0 << "unplug r4k"
                                                           << "plug r4k" << true << Progress(0, "fail") << 0x0102
                                                           << false << true << 0;
    QTest::newRow("no device takes it") << "r4k" << DemoImage("VOR-M1-4K_v1.2.bin") << QStringList() << -1 << ""
                                        << "" << false << "fail" << 0x0101 << true << false << 0;
    QTest::newRow("version above 16 bits") << "r4k" << DemoImage(kReceiverImage, 0x00010203) << QStringList() << -1
                                           << "" << "" << false << "fail" << 0x0101 << true << false << 0;
}

void TestHidUsbFirmware::aFlashAndWhatItLeaves()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, image);
    QFETCH(QStringList, before);
    QFETCH(int, cutAt);
    QFETCH(QString, cut);
    QFETCH(QString, after);
    QFETCH(bool, started);
    QFETCH(QString, story);
    QFETCH(int, version);
    QFETCH(bool, listed);
    QFETCH(bool, bootMode);
    QFETCH(int, bootCount);
    QVERIFY(!image.isEmpty());

    for (const QString &command : before)
        QVERIFY(ApplyCommand(command));
    if (cutAt >= 0) {
        SetHook([cutAt, cut](const QByteArray &report) {
            if (report.at(1) == 1 && uchar(report.at(2)) == cutAt)
                ApplyCommand(cut);
        });
    }
    Flash(image, started);
    SetHook(nullptr);
    QCOMPARE(Story(), story);
    for (const CallRecord &r : CallsOf("callback:upgrade"))
        QVERIFY(r.thread != QThread::currentThreadId());
    if (!after.isEmpty())
        QVERIFY(ApplyCommand(after));

    const DeviceState state = WorldState(device);
    QCOMPARE(state.version, version);
    QCOMPARE(state.bootMode, bootMode);
    QCOMPARE(Listed(device), listed);
    if (listed)
        QCOMPARE(HostVersion(device), version);
    QCOMPARE(BootCount(image), bootCount);

    // A device left waiting in boot mode takes the image at the next flash.
    if (bootCount == 1) {
        Flash(image, true);
        QCOMPARE(Story(), Progress(100, "ok"));
        QVERIFY(Listed(device));
        QVERIFY(!WorldState(device).bootMode);
        QCOMPARE(BootCount(image), 0);
    }
}

void TestHidUsbFirmware::aStartInsideTheFinishedReportFlashesTheNextDevice()
{
    static const QByteArray receiver = DemoImage(kReceiverImage);
    static const QByteArray mouse = DemoImage(kMouseImage);
    static std::atomic<bool> secondStarted{false};
    secondStarted = false;
    QVERIFY(SetCable("m2", true));
    SetHook([](const QByteArray &report) {
        if (report.at(1) == 2 && !secondStarted.exchange(true))
            UsbUpgrade_Start(Bytes(mouse), Record, 10000);
    });
    QVERIFY(UsbUpgrade_Start(Bytes(receiver), Record, 10000));
    QVERIFY(QTest::qWaitFor([] { return FinishedCount() == 2; }, TestSupport::kHangGuardMs));
    QCOMPARE(Story(), Progress(100, "ok") + " " + Progress(100, "ok"));
    QCOMPARE(HostVersion("r4k"), 0x0102);
    QCOMPARE(HostVersion("m2"), 0x0103);
}

void TestHidUsbFirmware::aFailureArmedFromOutsideTakesTheNextFlash()
{
    const QByteArray receiver = DemoImage(kReceiverImage);

    // vogm-world flashfail r4k 40, as the tool drops it into the watched folder.
    const QString inbox = ControlFolder() + "/inbox";
    QVERIFY(QDir().mkpath(inbox));
    QSaveFile file(inbox + "/1-flashfail.cmd");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("flashfail r4k 40\nflashfail r4k 140\n");
    QVERIFY(file.commit());
    const auto result = [] {
        QFile f(ControlFolder() + "/last-result.txt");
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    QTRY_VERIFY_WITH_TIMEOUT(result().contains("ok: flashfail r4k 40"), TestSupport::kHangGuardMs);
    QVERIFY(result().contains("error: not understood: \"flashfail r4k 140\""));
    Flash(receiver, true);
    QCOMPARE(Story(), Progress(30, "fail"));

    // A scenario that arms the failure.
    World world;
    QString error;
    QVERIFY2(ParseScenario(R"({"timing": {"flashMs": 60},
        "mice": [{"name": "m2", "mid": 2, "modelName": "VOM-M2", "address": "3A:51:07"}],
        "receivers": [{"name": "r4k", "linkType": 1, "mid": 2, "modelName": "VOR-M2-4K",
                       "address": "3A:51:07", "mouse": "m2", "failNextFlashAt": 40}]})",
                             &world, &error),
             qPrintable(error));
    SetWorld(world);
    Flash(receiver, true);
    QCOMPARE(Story(), Progress(30, "fail"));
    QVERIFY(!ParseScenario(R"({"receivers": [{"name": "r", "failNextFlashAt": 101}]})", &world, &error));
}

void TestHidUsbFirmware::aNewWorldEndsAFlashWithOneFailure()
{
    const QByteArray receiver = DemoImage(kReceiverImage);
    SetHook([](const QByteArray &report) {
        if (report.at(1) == 1 && report.at(2) == 20) {
            World world = DefaultWorld();
            world.timing.flashMs = kFlashMs;
            SetWorld(world);
        }
    });
    Flash(receiver, true);
    QCOMPARE(Story(), Progress(20, "fail"));
    QCOMPARE(HostVersion("r4k"), 0x0101);
    QVERIFY(Listed("r4k"));
}

VOGM_TEST_MAIN(TestHidUsbFirmware)
#include "tst_hidusb_firmware.moc"
