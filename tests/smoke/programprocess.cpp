#include "programprocess.h"

#include "testsupport.h"

#include <csignal>
#include <sys/types.h>

ProgramProcess::ProgramProcess(const QString &program, const QProcessEnvironment &environment)
    : m_program(program)
{
    m_process.setProcessEnvironment(environment);
}

ProgramProcess::~ProgramProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(TestSupport::kHangGuardMs);
    }
}

QProcessEnvironment ProgramProcess::Environment(const QString &scenario, const QString &worldFolder,
                                                const QString &appFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("VOGM_REPORT_SHOWN"), QStringLiteral("1"));
    environment.insert(QStringLiteral("VOGM_AUTOCLOSE_ALREADY_RUNNING"), QStringLiteral("1"));
    environment.insert(QStringLiteral("VOGM_SCENARIO"), scenario);
    environment.insert(QStringLiteral("VOGM_WORLD_DIR"), worldFolder);
    if (appFolder.isEmpty())
        environment.remove(QStringLiteral("VOGM_APP_DIR"));
    else
        environment.insert(QStringLiteral("VOGM_APP_DIR"), appFolder);
    return environment;
}

void ProgramProcess::Start()
{
    m_process.start(m_program, QStringList());
}

void ProgramProcess::Collect()
{
    m_output += QString::fromLocal8Bit(m_process.readAllStandardOutput());
    m_errors += QString::fromLocal8Bit(m_process.readAllStandardError());
}

bool ProgramProcess::WaitShown(const QString &className, int timeoutMs)
{
    const QString line = QStringLiteral("shown: ") + className;
    return TestSupport::WaitFor(
        [&] {
            Collect();
            return OutputLines().contains(line) || m_process.state() == QProcess::NotRunning;
        },
        timeoutMs)
        && OutputLines().contains(line);
}

bool ProgramProcess::WaitEnded(int timeoutMs)
{
    const bool ended = TestSupport::WaitFor([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
    Collect();
    return ended;
}

bool ProgramProcess::Signal(int signalNumber)
{
    const qint64 pid = m_process.processId();
    return pid > 0 && ::kill(pid_t(pid), signalNumber) == 0;
}

bool ProgramProcess::Running() const
{
    return m_process.state() == QProcess::Running;
}

QStringList ProgramProcess::OutputLines()
{
    Collect();
    return m_output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString ProgramProcess::ErrorText()
{
    Collect();
    return m_errors;
}
