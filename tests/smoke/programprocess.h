#pragma once
// The built (or installed) program run as a real process: started offscreen
// with the test settings that report the first shown window and close the
// "already running" notice by themselves.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "testsupport.h"

class ProgramProcess
{
public:
    // A whole start of the program: two hang guards.
    static int StartTimeoutMs() { return 2 * TestSupport::kHangGuardMs; }

    ProgramProcess(const QString &program, const QProcessEnvironment &environment);
    ~ProgramProcess();

    // The environment of the test process plus the test settings; `appFolder`
    // empty: VOGM_APP_DIR removed, so the program uses its own folder.
    static QProcessEnvironment Environment(const QString &scenario, const QString &worldFolder,
                                           const QString &appFolder);

    void Start();
    // Waits for "shown: <className>" on standard output.
    bool WaitShown(const QString &className, int timeoutMs = StartTimeoutMs());
    bool WaitEnded(int timeoutMs = TestSupport::kHangGuardMs);
    bool Signal(int signalNumber);
    bool Running() const;

    QStringList OutputLines();
    QString ErrorText();
    QProcess &Process() { return m_process; }

private:
    void Collect();

    QProcess m_process;
    QString m_program;
    QString m_output;
    QString m_errors;
};
