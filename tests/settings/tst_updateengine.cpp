// The update engine's steps on a bare engine, without the settings page:
// each step with its inputs (the world, the listed devices, the receiver
// class, the run state) and the step it leaves for the next tick.

#include "discovery.h"
#include "globals.h"
#include "hidusb_control.h"
#include "postmsg.h"
#include "registrystore.h"
#include "testsupport.h"
#include "updateengine.h"
#include "updatefailinfo.h"
#include "usbcallbacks.h"
#include "worldfixtures.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

using namespace Fixtures;
using Step = UpdateEngine::Step;

Q_DECLARE_METATYPE(UpdateEngine::Step)

namespace {

// The main page's record of a listed device, as its scan makes it.
DeviceAllInfo Found(const QString &device)
{
    const QString path = QString::fromLatin1(HidSim::PathOf(device));
    g_CurrentDevice.Set(DeviceAllInfo());
    g_FoundDevices.clear();
    EnumerateMainDevices(QStringLiteral("0xFF5C"), ConfiguredProductIds());
    for (const DeviceAllInfo &entry : qAsConst(g_FoundDevices)) {
        if (entry.Path == path) {
            DeviceAllInfo info = entry;
            IdentifyMainDevice(info, HidSim::PathOf(device).constData());
            return info;
        }
    }
    qFatal("device %s is not found", qPrintable(device));
    return {};
}

}  // namespace

class TestUpdateEngine : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void steps_data();
    void steps();

private:
    std::unique_ptr<UpdateEngine> engine;
};

void TestUpdateEngine::init()
{
    HidSim::World world = FastDefaultWorld();
    for (HidSim::Mouse &m : world.mice)
        m.cable = m.cable || m.name == "m2";  // the 4 kHz pair's mouse on its cable too
    HidSim::SetWorld(world);
    QVERIFY(HidSim::WaitUntilIdle());
    HidSim::ClearCallLog();
    QFile::remove(RegistryStore::DefaultFilePath());
    g_DongleUpdateState = kRunIdle;
    g_MouseUpdateState = kRunIdle;
    g_UpdateStageCount = 1;
    g_UpdateBusy = false;
    g_LinkWatch = 1;
    engine = std::make_unique<UpdateEngine>();
}

void TestUpdateEngine::cleanup()
{
    HidSim::WaitUntilIdle();
    engine.reset();
    g_FoundDevices.clear();
    g_CurrentDevice.Set(DeviceAllInfo());
    g_DongleUpdateState = kRunIdle;
    g_MouseUpdateState = kRunIdle;
}

void TestUpdateEngine::steps_data()
{
    QTest::addColumn<Step>("step");
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("current");    // the current device
    QTest::addColumn<QStringList>("listed");  // the main page's list
    QTest::addColumn<int>("receiverClass");
    QTest::addColumn<QString>("version");    // the version text the step compares against
    QTest::addColumn<int>("runState");       // of the target, before the step
    QTest::addColumn<Step>("next");
    QTest::addColumn<bool>("flashStarted");
    QTest::addColumn<QString>("record");     // afterwards
    QTest::addColumn<int>("marker");         // target whose marker was shown; 0 none

    const QStringList pair{"m2", "r4k"};
    // Search: an image for the receiver class goes on to the count; none ends.
    QTest::newRow("search, receiver image") << Step::Search << 211 << "r4k" << QStringList{"r4k"} << 4 << "v1.1"
                                            << 0 << Step::CountAndStart << false << "" << 0;
    QTest::newRow("search, no image of the class") << Step::Search << 211 << "r8k" << QStringList{"r8k"} << 2
                                                   << "v1.1" << 0 << Step::End << false << "" << 0;
    QTest::newRow("search, mouse image") << Step::Search << 210 << "m2" << pair << 4 << "v1.2" << 0
                                         << Step::CountAndStart << false << "" << 0;
    // Without a receiver class the count searches again.
    QTest::newRow("search, mouse at its image, no class") << Step::Search << 210 << "m2" << pair << 0 << "v1.3"
                                                          << 0 << Step::CountAndStart << false << "" << 0;
    QTest::newRow("search, mouse at its image") << Step::Search << 210 << "m2" << pair << 4 << "v1.3" << 0
                                                << Step::End << false << "" << 0;
    // The count: exactly one device flashes, after the record names it.
    QTest::newRow("count, one receiver") << Step::CountAndStart << 211 << "r4k" << QStringList{"r4k"} << 4
                                         << "v1.1" << 0 << Step::MarkFlashing << true << "211,4,18,2" << 0;
    QTest::newRow("count, the mouse on its cable") << Step::CountAndStart << 210 << "m2" << pair << 4 << "v1.2"
                                                   << 0 << Step::MarkFlashing << true << "210,4,18,2" << 0;
    QTest::newRow("count, no receiver listed") << Step::CountAndStart << 211 << "m2" << QStringList{"m2"} << 4
                                               << "v1.1" << 0 << Step::End << false << "" << 211;
    QTest::newRow("count, two cable mice") << Step::CountAndStart << 210 << "m2" << QStringList{"m2", "m1"} << 4
                                           << "v1.2" << 0 << Step::End << false << "" << 210;
    QTest::newRow("count, the receiver at its image") << Step::CountAndStart << 211 << "r4k" << QStringList{"r4k"}
                                                      << 0 << "v1.2" << 0 << Step::End << false << "" << 0;
    // A flash under way: the library reports, the run state tells.
    QTest::newRow("mark flashing") << Step::MarkFlashing << 211 << "r4k" << QStringList{"r4k"} << 4 << "v1.1"
                                   << int(kRunFlashing) << Step::AwaitResult << false << "" << 0;
    QTest::newRow("await, still flashing") << Step::AwaitResult << 211 << "r4k" << QStringList{"r4k"} << 4
                                           << "v1.1" << int(kRunFlashing) << Step::AwaitResult << false << "" << 0;
    QTest::newRow("await, succeeded") << Step::AwaitResult << 210 << "m2" << pair << 4 << "v1.2"
                                      << int(kRunSucceeded) << Step::End << false << "" << 0;
    QTest::newRow("await, failed") << Step::AwaitResult << 211 << "r4k" << QStringList{"r4k"} << 4 << "v1.1"
                                   << int(kRunFailed) << Step::End << false << "" << 0;
}

void TestUpdateEngine::steps()
{
    QFETCH(Step, step);
    QFETCH(int, target);
    QFETCH(QString, current);
    QFETCH(QStringList, listed);
    QFETCH(int, receiverClass);
    QFETCH(QString, version);
    QFETCH(int, runState);
    QFETCH(Step, next);
    QFETCH(bool, flashStarted);
    QFETCH(QString, record);
    QFETCH(int, marker);

    QList<DeviceAllInfo> found;
    for (const QString &name : listed)
        found << Found(name);
    const DeviceAllInfo currentDevice = Found(current);
    g_FoundDevices = found;
    g_CurrentDevice.Set(currentDevice);
    g_UpdateReceiverClass = receiverClass;
    (target == 211 ? g_DongleUpdateState : g_MouseUpdateState) = runState;
    QSignalSpy markers(engine.get(), &UpdateEngine::MarkerVisible);
    // What the record says while the library reports progress.
    QString recordWhileFlashing = "-";
    const QMetaObject::Connection progress = connect(
        PostMsg::GetInstance(), &PostMsg::SigProgress, this,
        [&recordWhileFlashing](int, int code) {
            if (code == 0 && recordWhileFlashing == "-")
                recordWhileFlashing = UpdateFailInfo::StoredText();
        },
        Qt::DirectConnection);
    if (step == Step::CountAndStart) {
        // The count works on what the search found.
        engine->RunStep(Step::Search, target, version);
        QVERIFY(markers.isEmpty());
    }

    engine->RunStep(step, target, version);

    QCOMPARE(engine->CurrentStep(), next);
    QCOMPARE(HidSim::CallsOf("UsbUpgrade_Start").size(), size_t(flashStarted ? 1 : 0));
    if (flashStarted) {
        std::atomic<int> &runStateNow = target == 211 ? g_DongleUpdateState : g_MouseUpdateState;
        QTRY_VERIFY_WITH_TIMEOUT(runStateNow != kRunFlashing, TestSupport::kHangGuardMs);
        QCOMPARE(int(runStateNow), int(kRunSucceeded));
        QCOMPARE(recordWhileFlashing, record);
        // Its one flash succeeded: the record went.
        QVERIFY(!UpdateFailInfo::IsSet());
    } else {
        QCOMPARE(UpdateFailInfo::StoredText(), record);
    }
    disconnect(progress);
    int shown = 0;
    for (const QList<QVariant> &call : qAsConst(markers))
        shown = call.at(1).toBool() ? call.at(0).toInt() : shown;
    QCOMPARE(shown, marker);
}

VOGM_TEST_MAIN(TestUpdateEngine)
#include "tst_updateengine.moc"
