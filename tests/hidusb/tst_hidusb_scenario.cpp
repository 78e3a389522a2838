// The world from a scenario file named by VOGM_SCENARIO, changed while it
// runs by editing that file and by the vogm-world tool.

#include "hidusb.h"
#include "hidusb_control.h"
#include "testsupport.h"

#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace HidSim;

namespace {

const char kScenario[] = R"({
  "timing": {"readLatencyMs": 2, "fullReadMs": 30},
  "mice": [{"name": "mx", "mid": 2, "address": "0A:0B:0C", "powered": %1, "battery": 70}],
  "receivers": [{"name": "rx", "linkType": 4, "pid": "0xFF12", "address": "0A:0B:0C", "mouse": "mx",
                 "plugged": %2}]
})";

bool WriteScenario(const QString &file, bool powered, bool plugged)
{
    QSaveFile out(file);  // replaces the file, as editors do
    return out.open(QIODevice::WriteOnly) &&
           out.write(QString::fromLatin1(kScenario)
                         .arg(powered ? "true" : "false", plugged ? "true" : "false")
                         .toUtf8()) > 0 &&
           out.commit();
}

int Listed(const char *pid)
{
    int count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", pid, &count);
    return count;
}

}  // namespace

class TestHidUsbScenario : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void theScenarioReplacesTheDefaultWorld();
    void editingTheFileChangesTheRunningWorld();
    void theToolChangesTheRunningWorld();

private:
    QTemporaryDir dir_;
    QString file_;
};

void TestHidUsbScenario::initTestCase()
{
    // The library reads the variable when it is first used, which is below.
    file_ = dir_.filePath("world.json");
    QVERIFY(WriteScenario(file_, false, true));
    qputenv("VOGM_SCENARIO", file_.toLocal8Bit());
}

void TestHidUsbScenario::theScenarioReplacesTheDefaultWorld()
{
    QCOMPARE(Listed("0xFF12"), 1);
    QCOMPARE(Listed("0xFF14"), 0);  // nothing of the default world
    QCOMPARE(Listed("0xFF01"), 0);
    QVERIFY(ScenarioError().isEmpty());
    QCOMPARE(CurrentTiming().fullReadMs, 30);
    QVERIFY(!UsbFinderC_GetDeviceOnLine(PathOf("rx")));
}

// The edits follow each other within the same second, as a script makes them:
// each one is told by its contents.
void TestHidUsbScenario::editingTheFileChangesTheRunningWorld()
{
    QVERIFY(WriteScenario(file_, true, true));
    QTRY_VERIFY_WITH_TIMEOUT(UsbFinderC_GetDeviceOnLine(PathOf("rx")), TestSupport::kHangGuardMs);
    QVERIFY(WriteScenario(file_, true, false));
    QTRY_COMPARE_WITH_TIMEOUT(Listed("0xFF12"), 0, TestSupport::kHangGuardMs);
    // A broken edit changes nothing and says why.
    QSaveFile broken(file_);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("{ \"mice\": [ ");
    QVERIFY(broken.commit());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ControlFolder() + "/last-result.txt"), TestSupport::kHangGuardMs);
    QTRY_VERIFY_WITH_TIMEOUT(
        [this] {
            QFile result(ControlFolder() + "/last-result.txt");
            return result.open(QIODevice::ReadOnly) && result.readAll().startsWith("error: scenario");
        }(),
        TestSupport::kHangGuardMs);
    QCOMPARE(Listed("0xFF12"), 0);
}

void TestHidUsbScenario::theToolChangesTheRunningWorld()
{
    const QString tool = TestSupport::AppFolder() + "/vogm-world";
    QVERIFY2(QFile::exists(tool), qPrintable(tool));
    QProcess run;
    run.start(tool, {"plug", "rx"});
    QVERIFY(run.waitForFinished(TestSupport::kHangGuardMs));
    QCOMPARE(run.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(Listed("0xFF12"), 1, TestSupport::kHangGuardMs);
    run.start(tool, {"fly", "rx"});
    QVERIFY(run.waitForFinished(TestSupport::kHangGuardMs));
    QTRY_VERIFY_WITH_TIMEOUT(
        [] {
            QFile result(ControlFolder() + "/last-result.txt");
            return result.open(QIODevice::ReadOnly) && result.readAll().contains("not understood");
        }(),
        TestSupport::kHangGuardMs);
    run.start(tool, {"help"});
    QVERIFY(run.waitForFinished(TestSupport::kHangGuardMs));
    QVERIFY(run.readAllStandardOutput().contains("battery MOUSE LEVEL"));
}

VOGM_TEST_MAIN(TestHidUsbScenario)
#include "tst_hidusb_scenario.moc"
