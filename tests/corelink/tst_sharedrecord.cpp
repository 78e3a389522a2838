// The current device record under the threads that share it: the GUI
// thread's rescans and selections replace it while the library's delivery
// thread handles version reports and dumps, and worker passes reopen the
// device. Run long enough for the sanitizer trees to see any unguarded access.

#include "connection.h"
#include "devicesession.h"
#include "discovery.h"
#include "globals.h"
#include "postmsg.h"
#include "testsupport.h"
#include "usbcallbacks.h"
#include "worker.h"
#include "worldfixtures.h"

#include <QElapsedTimer>
#include <QtTest>
#include <atomic>
#include <thread>

namespace {

constexpr int kStressMs = 3000;
constexpr int kReportsAtLeast = 100;

DeviceAllInfo Identified(const QString &device)
{
    const QByteArray path = HidSim::PathOf(device);
    DeviceAllInfo info;
    info.Path = QString::fromLatin1(path);
    IdentifyMainDevice(info, path.constData());
    return info;
}

}  // namespace

class TestSharedRecord : public QObject
{
    Q_OBJECT
private slots:
    void versionReportsWhileTheRescanAssignsTheRecord();
};

void TestSharedRecord::versionReportsWhileTheRescanAssignsTheRecord()
{
    HidSim::World world = HidSim::DefaultWorld();
    world.timing = Fixtures::FastTiming();
    HidSim::SetWorld(world);
    g_Worker = new Worker(nullptr);
    QVERIFY(TestSupport::OpenAsCurrentDevice("r4k"));
    const DeviceAllInfo receiverMouse = Identified("r4k");
    const DeviceAllInfo cableMouse = Identified("m1");
    g_SessionActive = 1;

    std::atomic<bool> stop{false};
    std::atomic<int> injected{0};
    std::thread device([&] {
        const QByteArray version("\x02\x01", 2);
        while (!stop) {
            if (HidSim::InjectReport(18, 0, version))
                ++injected;
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });

    QElapsedTimer clock;
    clock.start();
    int round = 0;
    // At least the stress time, and on a loaded machine as long as the device
    // thread needs for its reports; the guard only stops a hang.
    const auto stressed = [&] { return clock.elapsed() >= kStressMs && injected > kReportsAtLeast; };
    while (!stressed() && clock.elapsed() < TestSupport::kHangGuardMs) {
        // What a selection, the main page's rescan and a receiver-to-cable
        // switch do to the record, interleaved with reopening passes.
        g_Worker->SlotSelectMouseInfo(++round % 2 ? receiverMouse : cableMouse);
        MainUsbChangedCallback();
        SelectCurrentDevice(round % 3 ? receiverMouse : cableMouse);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    stop = true;
    device.join();
    ShutdownWorker();
    QVERIFY(HidSim::WaitUntilIdle());
    QCoreApplication::processEvents();

    QVERIFY(injected > kReportsAtLeast);
    const DeviceAllInfo current = g_CurrentDevice.Get();
    QVERIFY(current.Path == receiverMouse.Path || current.Path == cableMouse.Path);
    QVERIFY(current.FirmwareVersion.isEmpty() || current.FirmwareVersion == "v1.2");
    QCOMPARE(QByteArray(g_CurrentPath), current.Path.toLatin1());
}

VOGM_TEST_MAIN(TestSharedRecord)
#include "tst_sharedrecord.moc"
