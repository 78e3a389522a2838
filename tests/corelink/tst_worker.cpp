#include "devicecache.h"
#include "globals.h"
#include "signalrecorder.h"
#include "testsupport.h"
#include "waits.h"
#include "worker.h"
#include "worldfixtures.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <cstring>

using namespace Fixtures;

class TestWorker : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void selectionOpensTheChosenDevice();
    void passesActOnlyOnChange();
    void offlineDeviceFillsFromTheCache();
    void offlineDeviceWithoutCacheResetsThePages();
    void onlinePollBringsTheDeviceBack();
    void idleTickDoesNothing_data();
    void idleTickDoesNothing();
    // Last: it shuts down the worker the other cases share.
    void aShutWorkerStartsNoPass();

private:
    DeviceAllInfo Entry(const QString &receiver, uint8_t mid, uint8_t link) const;
    void Select(const DeviceAllInfo &info);
    void RunPass();
    QStringList Opens() const;
    SignalRecorder *m_recorder = nullptr;
};

namespace {
HidSim::World TestWorld()
{
    HidSim::Receiver r4k;
    r4k.name = "r4k";
    r4k.linkType = 1;
    r4k.pid = 0xFF14;
    r4k.mouse = "m2";
    r4k.address = {1, 2, 3};
    HidSim::Receiver r8k = r4k;
    r8k.name = "r8k";
    r8k.linkType = 5;
    r8k.pid = 0xFF18;
    r8k.mouse = "m3";
    r8k.address = {4, 5, 6};
    HidSim::Receiver r1k = r4k;
    r1k.name = "r1k";
    r1k.linkType = 0;
    r1k.pid = 0xFF11;
    r1k.mouse = "m5";
    r1k.address = {7, 8, 9};
    HidSim::Mouse m2 = CableMouse("m2", 2);
    m2.cable = false;
    m2.address = r4k.address;
    HidSim::Mouse m3 = CableMouse("m3", 3);
    m3.cable = false;
    m3.powered = false;
    m3.address = r8k.address;
    HidSim::Mouse m5 = CableMouse("m5", 1);
    m5.cid = 0x2A;
    m5.cable = false;
    m5.powered = false;
    m5.address = r1k.address;
    return WorldOf({r4k, r8k, r1k}, {m2, m3, m5});
}
}  // namespace

void TestWorker::initTestCase()
{
    m_recorder = new SignalRecorder(this);
    HidSim::SetWorld(TestWorld());
    g_Worker = new Worker(nullptr);
    QCOMPARE(QByteArray(g_CurrentPath), QByteArray("a"));
    QVERIFY(g_OnlineTimer && g_OnlineTimer->isActive());
    QCOMPARE(g_OnlineTimer->interval(), Waits::Scaled(kOnlinePollMs));
    g_OnlineTimer->stop();  // the tests call the poll themselves
}

void TestWorker::init()
{
    HidSim::WaitUntilIdle();
    QCoreApplication::sendPostedEvents();  // signals the last case's threads queued
    m_recorder->Clear();
    HidSim::ClearCallLog();
    g_SessionActive = 1;
    g_ReloadRequested = 0;
    g_ApplyingSettings = 0;
    g_RestartWorker = 0;
    g_WaitOnline = 0;
    g_LinkWatch = 1;
}

DeviceAllInfo TestWorker::Entry(const QString &receiver, uint8_t mid, uint8_t link) const
{
    DeviceAllInfo info;
    info.Path = QString::fromLatin1(HidSim::PathOf(receiver));
    info.Cid = 18;
    info.Mid = mid;
    info.LinkType = link;
    info.DriveIndex = mid - 1;
    return info;
}

void TestWorker::Select(const DeviceAllInfo &info)
{
    PostMsg::GetInstance()->EmitSelectMouseInfo(info);
}

void TestWorker::RunPass()
{
    // Polled, not spied: QThread::finished comes from the worker thread itself.
    g_WorkerRun = 1;
    g_Worker->start();
    QVERIFY(QTest::qWaitFor([] { return g_Worker->isFinished(); }, TestSupport::kHangGuardMs));
    QCOMPARE(int(g_WorkerRun), 0);
    HidSim::WaitUntilIdle();
    QCoreApplication::sendPostedEvents();  // the hub signals the finished worker queued
}

QStringList TestWorker::Opens() const
{
    QStringList args;
    for (const HidSim::CallRecord &r : HidSim::CallsOf("UsbServerC_Start"))
        args << r.arguments;
    return args;
}

void TestWorker::selectionOpensTheChosenDevice()
{
    Select(Entry("r4k", 2, 1));
    QCOMPARE(g_LoadCacheName.Get(), QStringLiteral("Device_CID12_MID02.bin"));
    RunPass();
    const QStringList opens = Opens();
    QCOMPARE(opens.size(), 1);
    QVERIFY2(opens.first().contains(QString::fromLatin1(HidSim::PathOf("r4k"))), qPrintable(opens.first()));
    QStringList order;
    for (const HidSim::CallRecord &r : HidSim::CallLog()) {
        if (r.function == "UsbServerC_Start" || r.function == "UsbServer_SetPCDriverStatus"
            || r.function == "UsbServer_ReadAllFlashData")
            order << r.function + "(" + r.arguments + ")";
    }
    QCOMPARE(order.size(), 3);
    QVERIFY(order[0].startsWith("UsbServerC_Start"));
    QVERIFY(order[1].startsWith("UsbServer_SetPCDriverStatus") && order[1].contains("1"));
    QVERIFY(order[2].startsWith("UsbServer_ReadAllFlashData"));
    QVERIFY(m_recorder->Names().contains("SigUpDataParam(0)"));
    // The answer fills the pages.
    QVERIFY(QTest::qWaitFor([&] { return m_recorder->Names().contains("SigForm"); }, TestSupport::kHangGuardMs));
}

void TestWorker::passesActOnlyOnChange()
{
    Select(Entry("r4k", 2, 1));
    RunPass();
    HidSim::ClearCallLog();
    m_recorder->Clear();
    RunPass();
    QVERIFY(Opens().isEmpty());

    g_ReloadRequested = 1;
    RunPass();
    QCOMPARE(Opens().size(), 1);
    QVERIFY(m_recorder->Names().contains("SigUpDataParam(1)"));
    QCOMPARE(int(g_ReloadRequested), 0);

    HidSim::ClearCallLog();
    m_recorder->Clear();
    g_ApplyingSettings = 1;
    PostMsg::GetInstance()->EmitMainPageChange();  // forces a reopen
    RunPass();
    QCOMPARE(Opens().size(), 1);
    QVERIFY(m_recorder->Names().filter("SigUpDataParam").isEmpty());

    HidSim::ClearCallLog();
    g_SessionActive = 0;
    g_ReloadRequested = 1;
    RunPass();
    QVERIFY(Opens().isEmpty());
    g_ReloadRequested = 0;
}

void TestWorker::offlineDeviceFillsFromTheCache()
{
    FlashDataMap cached{};
    cached.ReportRate = 0x20;
    cached.Reserved[0] = 0x5A;
    cached.Macros[15][591] = 0x77;
    QVERIFY(SaveDeviceCache(DeviceCacheName(18, 3), cached));
    FlashDataMap working{};
    working.ReportRate = 0x01;
    StoreImage(working);

    Select(Entry("r8k", 3, 5));
    RunPass();
    const QStringList names = m_recorder->Names();
    QCOMPARE(names, (QStringList{"SigUpDataLightUIButton", "SigUpDataLightLight", "SigUpDataLightSensor", "SigForm"}));
    QVERIFY(std::memcmp(&m_recorder->lastSensorImage, &cached, sizeof cached) == 0);
    QCOMPARE(int(ReadImage().ReportRate), 0x01);
    QCOMPARE(int(g_WaitOnline), 1);
    QCOMPARE(Opens().size(), 1);
    QCOMPARE(int(g_DeviceDataReady), 0);
}

void TestWorker::offlineDeviceWithoutCacheResetsThePages()
{
    DeviceAllInfo entry = Entry("r1k", 1, 0);
    entry.Cid = 0x2A;
    QFile::remove(DeviceCacheFolder() + "/" + DeviceCacheName(0x2A, 1));
    Select(entry);
    RunPass();
    QCOMPARE(m_recorder->Names(), QStringList{"SigFormReset"});
    QCOMPARE(Opens().size(), 1);
}

void TestWorker::onlinePollBringsTheDeviceBack()
{
    Select(Entry("r8k", 3, 5));
    g_DeviceOnline = 0;
    g_WaitOnline = 1;
    g_Worker->SlotCheckOnline();
    QCOMPARE(int(g_WaitOnline), 1);
    QVERIFY(!m_recorder->Names().contains("SigCloseOffOnline"));

    QVERIFY(HidSim::SetPower("m3", true));
    HidSim::WaitUntilIdle();
    HidSim::ClearCallLog();
    g_Worker->SlotCheckOnline();
    QVERIFY(m_recorder->Names().contains("SigCloseOffOnline"));
    QCOMPARE(int(g_WaitOnline), 0);
    QVERIFY(!g_Worker->isRunning());
    QVERIFY(Opens().isEmpty());

    // With a restart asked for, the poll starts a pass that reopens the device.
    g_RestartWorker = 1;
    g_Worker->SlotCheckOnline();
    QCOMPARE(int(g_RestartWorker), 0);
    QVERIFY(QTest::qWaitFor([] { return g_Worker->isFinished(); }, TestSupport::kHangGuardMs));
    QCOMPARE(Opens().size(), 1);

    // During a firmware update the poll asks nothing.
    g_LinkWatch = 0;
    g_WaitOnline = 1;
    HidSim::ClearCallLog();
    g_Worker->SlotCheckOnline();
    QVERIFY(HidSim::CallsOf("UsbFinderC_GetDeviceOnLine").empty());
    QCOMPARE(int(g_WaitOnline), 1);
    HidSim::SetPower("m3", false);
}

// The worker is shut down while a restart is asked for and its device is
// online: its poll, due before the deletion, starts no pass that would still
// run when the worker is deleted (deleting a running thread aborts).
void TestWorker::aShutWorkerStartsNoPass()
{
    Select(Entry("r4k", 2, 1));
    RunPass();
    QCOMPARE(int(g_DeviceOnline), 1);
    QPointer<Worker> worker = g_Worker;
    QPointer<QTimer> poll = g_OnlineTimer;
    poll->start();
    std::atomic<int> passes{0};
    connect(worker, &QThread::started, worker, [&passes] { ++passes; }, Qt::DirectConnection);
    g_RestartWorker = 1;

    ShutdownWorker();
    QVERIFY(g_Worker == nullptr);
    QVERIFY(!poll->isActive());
    worker->SlotCheckOnline();  // as the poll would, had it fired before the deletion
    QVERIFY(QTest::qWaitFor([&worker] { return worker.isNull(); }, TestSupport::kHangGuardMs));
    QCOMPARE(passes.load(), 0);
}

namespace {
// Counts the events the application delivers (posted calls, repaints, ...).
class EventCounter : public QObject
{
public:
    EventCounter() { qApp->installEventFilter(this); }
    ~EventCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Timer)
            ++count;
        return false;
    }
};
}  // namespace

// The 1300 ms poll with nothing to wait for returns at once: no library
// call, no signal, nothing posted.
void TestWorker::idleTickDoesNothing_data()
{
    QTest::addColumn<int>("session");
    QTest::addColumn<int>("waitOnline");
    QTest::addColumn<int>("deviceOnline");
    QTest::addColumn<int>("linkWatch");
    QTest::addColumn<int>("linkType");

    QTest::newRow("device page, mouse answering") << 1 << 0 << 1 << 1 << 1;
    QTest::newRow("device page, mouse away, no restart asked") << 1 << 0 << 0 << 1 << 1;
    QTest::newRow("device list") << 0 << 0 << 0 << 1 << 1;
    QTest::newRow("device list, waiting for a 1 kHz receiver's mouse") << 0 << 1 << 0 << 1 << 0;
    QTest::newRow("firmware update running") << 1 << 1 << 0 << 0 << 1;
}

void TestWorker::idleTickDoesNothing()
{
    QFETCH(int, session);
    QFETCH(int, waitOnline);
    QFETCH(int, deviceOnline);
    QFETCH(int, linkWatch);
    QFETCH(int, linkType);
    Select(Entry("r8k", 3, uint8_t(linkType)));
    QCoreApplication::processEvents();
    g_SessionActive = session;
    g_WaitOnline = waitOnline;
    g_DeviceOnline = deviceOnline;
    g_LinkWatch = linkWatch;
    g_RestartWorker = 0;
    m_recorder->Clear();
    HidSim::ClearCallLog();
    EventCounter events;

    g_Worker->SlotCheckOnline();
    QCoreApplication::processEvents();

    QVERIFY(HidSim::CallLog().empty());
    QVERIFY(m_recorder->Names().isEmpty());
    QCOMPARE(events.count, 0);
    QVERIFY(!g_Worker->isRunning());
    QCOMPARE(int(g_WaitOnline), waitOnline);
}

VOGM_TEST_MAIN(TestWorker)
#include "tst_worker.moc"
