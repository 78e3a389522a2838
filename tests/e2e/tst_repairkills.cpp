// A repair cut off by a crash or a power loss: the real repair (the main
// window, its repair dialog, the simulated library) runs in a child process
// that is ended with SIGKILL at a point of the flash. Afterwards the devices
// keep what the kill left ("vogm-world show"), and a fresh process does what
// the program does at start: the Repair button shows, the check gives the
// ready look, and Upgrade brings both devices to their images' versions.
//
// The child reports each point from inside the flash callback (a direct
// connection on the library's flash thread) and then holds that thread, so
// the flash stands exactly there until the kill.

#include "dialogchange.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb_control.h"
#include "languagereader.h"
#include "postmsg.h"
#include "registrystore.h"
#include "testsupport.h"
#include "updaterepair.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {

// The child's part: "kill:<point>", "repair" or "fail-mouse".
const char kChildMode[] = "VOGM_TEST_REPAIR_CHILD";

// The receiver r4k waits in boot mode after its failed update, its mouse m2
// is on its cable (the walk-through's world), with a short flash.
const char kScenario[] = R"({
  "timing": {"flashMs": 400},
  "mice": [{"name": "m2", "mid": 2, "modelName": "VOM-M2", "address": "3A:51:07", "cable": true}],
  "receivers": [{"name": "r4k", "linkType": 1, "pid": "0xFF14", "mid": 2, "address": "3A:51:07",
                 "mouse": "m2", "modelName": "VOR-M2-4K", "bootMode": true}]
})";

QString AutoRepairText(const QString &tag)
{
    QString text;
    LanguageReader(QStringLiteral("AutoRepair"), {{tag, StoreTarget(&text)}}).Load(0);
    return text;
}

void Say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// ---- the child ------------------------------------------------------------------------------

// "receiver 20": the receiver's flash at 20 %; "receiver success": it took its
// image; "mouse 50" ... A point is met on the flash thread, which then stands
// still until the process is killed.
void HoldTheFlashAt(const QString &point)
{
    PostMsg *hub = PostMsg::GetInstance();
    const auto holdIf = [point](const QString &reached) {
        if (reached != point)
            return;
        Say("at " + reached);
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    };
    // Connected before any dialog: the point is met before the program hears of it.
    QObject::connect(
        hub, &PostMsg::SigAutoRepairProgress, hub,
        [holdIf](int shown) {
            const int stage = g_RepairStage;
            int percent = shown;
            if (g_RepairStageCount == 2)
                percent = stage == 0 ? shown * 2 : (shown - 50) * 2;
            holdIf(QStringLiteral("%1 %2").arg(stage == 0 ? "receiver" : "mouse").arg(percent));
        },
        Qt::DirectConnection);
    QObject::connect(
        hub, &PostMsg::SigLabelText, hub,
        [holdIf](int index, const QString &) { holdIf(index == 0 ? "receiver success" : "mouse success"); },
        Qt::DirectConnection);
}

QPushButton *RepairButton(DialogMain *window)
{
    return window->SelectionPage()->findChild<QPushButton *>(QStringLiteral("Repair"));
}

QString Hint()
{
    return g_UpDateRepair->findChild<QLabel *>(QStringLiteral("ToolText_2"))->text();
}

// The program's start: the device list has been scanned once.
DialogMain *StartTheProgram()
{
    auto *window = new DialogMain;
    window->show();
    if (!QTest::qWaitFor([] { return !HidSim::CallsOf("callback:usb").empty(); }, TestSupport::kHangGuardMs) || !HidSim::WaitUntilIdle())
        Say("the device list was not scanned");
    window->DevicePage();  // with the settings page comes the repair dialog
    return window;
}

// Repair, the check's look, Upgrade; true once a run started.
bool OpenTheRepairAndUpgrade(DialogMain *window)
{
    Say(QStringLiteral("repair button: ") + (RepairButton(window)->isVisible() ? "shown" : "hidden"));
    if (!RepairButton(window)->isVisible())
        return false;
    RepairButton(window)->click();
    const QString hint = Hint();
    Say(QStringLiteral("check: ") + (hint == AutoRepairText("ReadyUpdate") ? QStringLiteral("ready") : hint));
    if (hint != AutoRepairText("ReadyUpdate"))
        return false;
    g_UpDateRepair->findChild<QToolButton *>(QStringLiteral("NewHong_2"))->click();
    return true;
}

int RunChild(const QString &mode)
{
    if (mode.startsWith("kill:"))
        HoldTheFlashAt(mode.mid(5));
    DialogMain *window = StartTheProgram();
    if (mode == "fail-mouse")
        HidSim::ScriptFlashFailure(QStringLiteral("m2"), 40);
    if (!OpenTheRepairAndUpgrade(window))
        return 1;
    if (mode.startsWith("kill:"))
        return QApplication::exec();  // until the kill
    const QString success = AutoRepairText("UpdateSuccess");
    const QString failure = AutoRepairText("UpdateFail");
    // The run's end: its signals are all posted once it no longer runs.
    if (!QTest::qWaitFor([&] { return !g_RepairRunning && (Hint() == success || Hint() == failure); },
                         6 * TestSupport::kHangGuardMs))
        return 1;
    QCoreApplication::processEvents();
    Say(QStringLiteral("result: ") + (Hint() == success ? "success" : "failure"));
    g_UpDateRepair->findChild<QToolButton *>(QStringLiteral("CloseButton"))->click();
    QCoreApplication::processEvents();
    Say(QStringLiteral("repair button after: ") + (RepairButton(window)->isVisible() ? "shown" : "hidden"));
    delete window;
    return HidSim::WaitUntilIdle() ? 0 : 1;
}

// ---- the parent -------------------------------------------------------------------------------

struct Child {
    QProcess process;
    QString output;

    bool WaitForLine(const QString &line)
    {
        return TestSupport::WaitFor(
            [&] {
                output += QString::fromLocal8Bit(process.readAllStandardOutput());
                return output.split('\n').contains(line) || process.state() == QProcess::NotRunning;
            },
            6 * TestSupport::kHangGuardMs)
            && output.split('\n').contains(line);
    }
    bool WaitEnded()
    {
        const bool ended = process.waitForFinished(6 * TestSupport::kHangGuardMs);
        output += QString::fromLocal8Bit(process.readAllStandardOutput());
        return ended;
    }
};

}  // namespace

class TestRepairKills : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void aKilledRepairIsRepairedAtTheNextStart_data();
    void aKilledRepairIsRepairedAtTheNextStart();

private:
    void Start(Child *child, const QString &mode);
    QString Show();
    QString Record() const;
    void RunToTheEnd(const QString &mode, const QString &result);

    std::unique_ptr<QTemporaryDir> folder;  // per case: user folders, world folder, scenario
};

void TestRepairKills::init()
{
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    QFile scenario(folder->filePath("repair.json"));
    QVERIFY(scenario.open(QIODevice::WriteOnly));
    scenario.write(kScenario);
    QVERIFY(QDir().mkpath(folder->filePath("home")));
    QVERIFY(RegistryStore(folder->filePath("Veltrane Orvandel Gaming Mouse/registry.ini"))
                .SetValue(RegistryStore::MouseDriveTestKey(), "UpdateFailInfo", "211,4,18,2"));
}

void TestRepairKills::Start(Child *child, const QString &mode)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("HOME", folder->filePath("home"));
    environment.insert("XDG_DATA_HOME", folder->path());
    environment.insert("VOGM_WORLD_DIR", folder->filePath("world"));
    environment.insert("VOGM_SCENARIO", folder->filePath("repair.json"));
    environment.insert(kChildMode, mode);
    child->process.setProcessEnvironment(environment);
    child->process.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(child->process.waitForStarted());
}

// What "vogm-world show" says of the devices the next start finds.
QString TestRepairKills::Show()
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VOGM_WORLD_DIR", folder->filePath("world"));
    environment.insert("VOGM_SCENARIO", folder->filePath("repair.json"));
    tool.setProcessEnvironment(environment);
    tool.start(TestSupport::AppFolder() + "/vogm-world", {"show"});
    return tool.waitForFinished(TestSupport::kHangGuardMs) ? QString::fromUtf8(tool.readAllStandardOutput()) : QString();
}

QString TestRepairKills::Record() const
{
    return RegistryStore(folder->filePath("Veltrane Orvandel Gaming Mouse/registry.ini"))
        .Value(RegistryStore::MouseDriveTestKey(), "UpdateFailInfo");
}

// A whole run of the child: the Repair button, the ready look, the result.
void TestRepairKills::RunToTheEnd(const QString &mode, const QString &result)
{
    Child child;
    Start(&child, mode);
    QVERIFY2(child.WaitEnded(), qPrintable(child.output));
    QVERIFY2(child.process.exitCode() == 0, qPrintable(child.output));
    const QStringList lines = child.output.split('\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.contains("repair button: shown"), qPrintable(child.output));
    QVERIFY2(lines.contains("check: ready"), qPrintable(child.output));
    QVERIFY2(lines.contains("result: " + result), qPrintable(child.output));
    QVERIFY2(lines.contains(QString("repair button after: ") + (result == "success" ? "hidden" : "shown")),
             qPrintable(child.output));
}

void TestRepairKills::aKilledRepairIsRepairedAtTheNextStart_data()
{
    QTest::addColumn<bool>("mouseRecordFirst");  // a failed mouse flash first leaves 210,...
    QTest::addColumn<QString>("point");
    QTest::addColumn<QString>("bootMode");  // the device the kill leaves in boot mode; "" none
    QTest::addColumn<QString>("record");

    const QString receiver = "211,4,18,2";
    const QString mouse = "210,4,18,2";
    QTest::newRow("211: receiver, before its first report") << false << "receiver 0" << "r4k" << receiver;
    QTest::newRow("211: receiver at 20 %") << false << "receiver 20" << "r4k" << receiver;
    QTest::newRow("211: receiver at 80 %") << false << "receiver 80" << "r4k" << receiver;
    QTest::newRow("211: right after the receiver's success") << false << "receiver success" << "" << receiver;
    QTest::newRow("211: mouse at 10 %") << false << "mouse 10" << "m2" << mouse;
    QTest::newRow("211: mouse at 50 %") << false << "mouse 50" << "m2" << mouse;
    QTest::newRow("211: mouse at 90 %") << false << "mouse 90" << "m2" << mouse;
    QTest::newRow("210: receiver at 30 %") << true << "receiver 30" << "r4k m2" << mouse;
    QTest::newRow("210: receiver at 90 %") << true << "receiver 90" << "r4k m2" << mouse;
    QTest::newRow("210: mouse at 40 %") << true << "mouse 40" << "m2" << mouse;
}

void TestRepairKills::aKilledRepairIsRepairedAtTheNextStart()
{
    QFETCH(bool, mouseRecordFirst);
    QFETCH(QString, point);
    QFETCH(QString, bootMode);
    QFETCH(QString, record);
    if (mouseRecordFirst) {
        // The walk-through's variant: the mouse's flash fails at 40 %.
        RunToTheEnd("fail-mouse", "failure");
        QCOMPARE(Record(), QString("210,4,18,2"));
    }

    Child killed;
    Start(&killed, "kill:" + point);
    QVERIFY2(killed.WaitForLine("at " + point), qPrintable(killed.output));
    QVERIFY(::kill(pid_t(killed.process.processId()), SIGKILL) == 0);
    QVERIFY(killed.WaitEnded());
    QCOMPARE(killed.process.exitStatus(), QProcess::CrashExit);

    const QString shown = Show();
    for (const char *device : {"r4k", "m2"}) {
        const bool boot = bootMode.split(' ').contains(device);
        const QString line = QStringLiteral(": .*boot mode %1").arg(boot ? "on" : "off");
        QVERIFY2(shown.contains(QRegularExpression(QString::fromLatin1(device) + line)), qPrintable(shown));
    }
    QCOMPARE(Record(), record);

    // The next start repairs it.
    RunToTheEnd("repair", "success");
    const QString after = Show();
    QVERIFY2(after.contains(QRegularExpression("r4k: .*firmware 0x0102, boot mode off")), qPrintable(after));
    QVERIFY2(after.contains(QRegularExpression("m2: .*firmware 0x0103, boot mode off")), qPrintable(after));
    QCOMPARE(Record(), QString());
}

int main(int argc, char **argv)
{
    const QString mode = qEnvironmentVariable(kChildMode);
    if (!mode.isEmpty()) {
        QApplication app(argc, argv);
        app.setAttribute(Qt::AA_Use96Dpi, true);
        return RunChild(mode);
    }
    TestSupport::IsolateUserFolders();
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestRepairKills test;
    return TestSupport::RunTest(&test, argc, argv);
}

#include "tst_repairkills.moc"
