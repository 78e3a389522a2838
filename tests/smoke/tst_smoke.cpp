// The built program as a process: it shows its main window under the
// offscreen platform with a scenario world, a second start shows the "already
// running" notice and exits 0 while the first keeps running, and SIGTERM or
// SIGINT end it through its close sequence with exit code 0, releasing the
// single-instance lock.
#include "programprocess.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <memory>

namespace {

const QString kProgram = QStringLiteral(VOGM_PROGRAM);
const QString kWorldTool = QStringLiteral(VOGM_WORLD_TOOL);
const QString kMainWindow = QStringLiteral("DialogMain");
const QString kAlreadyRunning = QStringLiteral("ExeIsRun");
// A device name only the scenario below knows, so a command on it proves the
// program runs that world and not the default one.
const QString kScenarioReceiver = QStringLiteral("smoke-receiver");

const char kScenario[] = R"({
  "timing": {"readLatencyMs": 2, "fullReadMs": 20},
  "mice": [
    {"name": "smoke-mouse", "mid": 2, "modelName": "VOM-M2", "address": "11:22:33", "battery": 55}
  ],
  "receivers": [
    {"name": "smoke-receiver", "linkType": 1, "pid": "0xFF14", "mid": 2, "address": "11:22:33",
     "mouse": "smoke-mouse", "modelName": "VOR-M2-4K"}
  ]
})";

}  // namespace

class TestSmoke : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    QString m_scenario;
    QString m_worldFolder;

    std::unique_ptr<ProgramProcess> Program()
    {
        return std::make_unique<ProgramProcess>(
            kProgram, ProgramProcess::Environment(m_scenario, m_worldFolder, TestSupport::AppFolder()));
    }

    std::unique_ptr<ProgramProcess> StartShown()
    {
        auto program = Program();
        program->Start();
        if (!program->WaitShown(kMainWindow)) {
            qWarning() << "output:" << program->OutputLines() << "errors:" << program->ErrorText();
            return nullptr;
        }
        return program;
    }

    // Runs the vogm-world tool against the running program, once, and waits
    // for the library's answer in the control folder.
    QString WorldCommandResult(const QStringList &command)
    {
        const QString resultPath = m_worldFolder + QStringLiteral("/last-result.txt");
        QFile::remove(resultPath);
        QProcess tool;
        tool.setProcessEnvironment(ProgramProcess::Environment(m_scenario, m_worldFolder, QString()));
        tool.start(kWorldTool, command);
        if (!tool.waitForFinished(TestSupport::kHangGuardMs) || tool.exitCode() != 0)
            return QStringLiteral("tool failed: ") + QString::fromLocal8Bit(tool.readAll());
        if (!TestSupport::WaitFor([&] { return QFileInfo::exists(resultPath); }, TestSupport::kHangGuardMs))
            return QStringLiteral("no result");
        QFile result(resultPath);
        if (!result.open(QIODevice::ReadOnly))
            return QStringLiteral("unreadable");
        return QString::fromUtf8(result.readAll()).trimmed();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_scenario = m_folder.filePath(QStringLiteral("world.json"));
        m_worldFolder = m_folder.filePath(QStringLiteral("world-control"));
        QFile scenario(m_scenario);
        QVERIFY(scenario.open(QIODevice::WriteOnly));
        scenario.write(kScenario);
        scenario.close();
        QVERIFY(QDir().mkpath(m_worldFolder));
    }

    void showsMainWindowAndRunsTheScenarioWorld()
    {
        auto program = StartShown();
        QVERIFY(program);
        QVERIFY2(!program->ErrorText().contains(QStringLiteral("not used")), qPrintable(program->ErrorText()));

        QCOMPARE(WorldCommandResult({QStringLiteral("unplug"), kScenarioReceiver}),
                 QStringLiteral("ok: unplug ") + kScenarioReceiver);
        QVERIFY(program->Running());
        QCOMPARE(program->OutputLines().count(QStringLiteral("shown: ") + kMainWindow), 1);
    }

    // Qt loads plugins only from the folder beside the program that its
    // compiled-in qt.conf names, and only the ones the program uses: the
    // platform, no image formats (PNG is built in).
    void pluginsComeOnlyFromTheProgramFolder()
    {
        QProcessEnvironment environment = ProgramProcess::Environment(m_scenario, m_worldFolder, TestSupport::AppFolder());
        environment.insert(QStringLiteral("QT_DEBUG_PLUGINS"), QStringLiteral("1"));
        environment.remove(QStringLiteral("QT_PLUGIN_PATH"));
        ProgramProcess program(kProgram, environment);
        program.Start();
        QVERIFY2(program.WaitShown(kMainWindow), qPrintable(program.ErrorText()));
        const QString folder = QFileInfo(kProgram).absolutePath() + QStringLiteral("/plugins/");
        const QStringList loaded = program.ErrorText().split('\n').filter(QStringLiteral("loaded library"));
        QVERIFY2(!loaded.isEmpty(), qPrintable(program.ErrorText()));
        for (const QString &line : loaded) {
            QVERIFY2(line.contains(folder), qPrintable(line));
            QVERIFY2(!line.contains(QStringLiteral("imageformats")), qPrintable(line));
        }
    }

    void secondStartShowsNoticeAndExitsZero()
    {
        auto first = StartShown();
        QVERIFY(first);

        auto second = Program();
        second->Start();
        QVERIFY(second->WaitShown(kAlreadyRunning));
        QVERIFY(second->WaitEnded());
        QCOMPARE(second->Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->Process().exitCode(), 0);
        QVERIFY(!second->OutputLines().contains(QStringLiteral("shown: ") + kMainWindow));

        QVERIFY(first->Running());
    }

    void terminationSignalClosesInOrder_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void terminationSignalClosesInOrder()
    {
        QFETCH(int, signalNumber);
        auto program = StartShown();
        QVERIFY(program);

        QVERIFY(program->Signal(signalNumber));
        QVERIFY(program->WaitEnded());
        QCOMPARE(program->Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->Process().exitCode(), 0);

        // The single-instance lock went with it: the next start is a first start.
        auto next = StartShown();
        QVERIFY(next);
        QVERIFY(next->Signal(SIGTERM));
        QVERIFY(next->WaitEnded());
        QCOMPARE(next->Process().exitCode(), 0);
    }
};

VOGM_TEST_MAIN(TestSmoke)
#include "tst_smoke.moc"
