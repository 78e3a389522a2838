// Runs the benchmarks and prints one line per figure. The program and a bare
// frameless 1020 x 700 Qt window of the same build are measured side by side
// in the same run, so their figures can be read as ratios:
//
//   start-up   from starting the process to its first painted window
//              (VOGM_REPORT_SHOWN), median of --runs starts of each, alternated;
//   memory     peak resident set (VmHWM) once the window is shown and the
//              program has settled, median over the same starts;
//   idle CPU   CPU time of both processes (all threads) over --idle-seconds,
//              measured at the same time, in percent of one core;
//   fill, writes  the lines of the fill and write benchmarks.
//
//   vogm_bench_runner --program build/bench/stage/VeltraneOrvandel [--runs 9] [--idle-seconds 30]
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kShownTimeoutMs = 60000;
constexpr int kEndTimeoutMs = 15000;
// After the first paint: the device library's first USB-change call and the
// pages' start-up timers have run by then.
constexpr int kSettleMs = 2000;

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A child that ends with the runner, however the runner ends (Ctrl+C, a
// closed pipe), so no measured window is left running.
class ChildProcess : public QProcess
{
protected:
    void setupChildProcess() override { ::prctl(PR_SET_PDEATHSIG, SIGTERM); }
};

// One started process with its own per-user folders.
class Subject
{
public:
    Subject(const QString &program, const QString &home) : m_program(program)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
            environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("VOGM_REPORT_SHOWN"), QStringLiteral("1"));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("VOGM_WORLD_DIR"), home + QStringLiteral("/world"));
        for (const char *name : {"VOGM_APP_DIR", "VOGM_SCENARIO", "VOGM_WAIT_DIVISOR"})
            environment.remove(QString::fromLatin1(name));
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.setStandardErrorFile(QProcess::nullDevice());
    }

    ~Subject() { End(); }

    // Starts the process; the milliseconds until it reported its first
    // painted window, or a negative number when it did not.
    double StartUntilShown()
    {
        QElapsedTimer clock;
        clock.start();
        m_process.start(m_program, QStringList());
        QByteArray output;
        while (!output.contains("shown: ")) {
            const int left = kShownTimeoutMs - int(clock.elapsed());
            if (left <= 0 || !m_process.waitForReadyRead(left))
                return -1;
            output += m_process.readAllStandardOutput();
        }
        return clock.nsecsElapsed() / 1e6;
    }

    qint64 Pid() const { return m_process.processId(); }

    void End()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(kEndTimeoutMs)) {
            m_process.kill();
            m_process.waitForFinished(kEndTimeoutMs);
        }
    }

private:
    QString m_program;
    ChildProcess m_process;
};

// VmHWM of /proc/<pid>/status in KiB, 0 when unreadable.
qint64 PeakResidentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// CPU time of the whole process (all its threads), in seconds: the
// nanosecond run times of /proc/<pid>/task/*/schedstat, or the clock ticks of
// /proc/<pid>/stat where the kernel keeps no schedstat.
double CpuSeconds(qint64 pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    qint64 nanoseconds = 0;
    bool found = false;
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (!schedstat.open(QIODevice::ReadOnly))
            continue;
        nanoseconds += schedstat.readAll().split(' ').value(0).toLongLong();
        found = true;
    }
    if (found)
        return nanoseconds / 1e9;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // Fields after the parenthesised command name; utime and stime are fields 14 and 15.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

struct Sample {
    double shownMs = -1;
    double peakMiB = 0;
};

Sample MeasureStart(const QString &program, const QString &home)
{
    Subject subject(program, home);
    Sample sample;
    sample.shownMs = subject.StartUntilShown();
    if (sample.shownMs < 0)
        return sample;
    QThread::msleep(kSettleMs);
    sample.peakMiB = PeakResidentKiB(subject.Pid()) / 1024.0;
    return sample;
}

bool PrintStartAndMemory(const QString &program, const QString &bare, const QString &home, int runs)
{
    // One start of each first, so both find the files in the page cache.
    MeasureStart(program, home);
    MeasureStart(bare, home);
    std::vector<double> programMs, bareMs, programMiB, bareMiB;
    for (int i = 0; i < runs; ++i) {
        const Sample p = MeasureStart(program, home);
        const Sample b = MeasureStart(bare, home);
        if (p.shownMs < 0 || b.shownMs < 0) {
            std::fprintf(stderr, "bench: a window was not shown within %d ms\n", kShownTimeoutMs);
            return false;
        }
        programMs.push_back(p.shownMs);
        bareMs.push_back(b.shownMs);
        programMiB.push_back(p.peakMiB);
        bareMiB.push_back(b.peakMiB);
    }
    const double ms = Median(programMs), bareStart = Median(bareMs);
    const double mib = Median(programMiB), bareMemory = Median(bareMiB);
    std::printf("start-up to the first shown main window: %.0f ms vs bare 1020x700 window %.0f ms = %.2fx "
                "(median of %d starts each)\n",
                ms, bareStart, ms / bareStart, runs);
    std::printf("peak resident memory, main window shown (device-selection page; the device page needs a "
                "tile click): %.1f MiB vs bare window %.1f MiB = %.2fx\n",
                mib, bareMemory, mib / bareMemory);
    std::fflush(stdout);
    return true;
}

bool PrintIdleCpu(const QString &program, const QString &bare, const QString &home, int seconds)
{
    Subject subject(program, home + QStringLiteral("/idle-program"));
    Subject yardstick(bare, home + QStringLiteral("/idle-bare"));
    if (subject.StartUntilShown() < 0 || yardstick.StartUntilShown() < 0) {
        std::fprintf(stderr, "bench: a window was not shown within %d ms\n", kShownTimeoutMs);
        return false;
    }
    QThread::msleep(kSettleMs);
    const double programBefore = CpuSeconds(subject.Pid());
    const double bareBefore = CpuSeconds(yardstick.Pid());
    QElapsedTimer clock;
    clock.start();
    QThread::sleep(unsigned(seconds));
    const double wall = clock.nsecsElapsed() / 1e9;
    const double programPercent = (CpuSeconds(subject.Pid()) - programBefore) / wall * 100;
    const double barePercent = (CpuSeconds(yardstick.Pid()) - bareBefore) / wall * 100;
    std::printf("idle CPU over %d s (device-selection page): %.3f %% of one core vs bare window %.3f %%\n",
                seconds, programPercent, barePercent);
    std::fflush(stdout);
    return true;
}

// Runs one of the in-process benchmarks; its line goes straight to stdout.
bool RunChild(const QString &program, const QStringList &arguments, const QString &appFolder, const QString &home)
{
    ChildProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("VOGM_APP_DIR"), appFolder);
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("VOGM_WORLD_CONTROL"), QStringLiteral("off"));
    environment.remove(QStringLiteral("VOGM_SCENARIO"));
    environment.remove(QStringLiteral("VOGM_WAIT_DIVISOR"));
    child.setProcessEnvironment(environment);
    // Its figure goes straight to our output; its diagnostics only when it fails.
    child.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    child.start(program, arguments);
    const bool ok = child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    if (!ok)
        std::fprintf(stderr, "%s", child.readAllStandardError().constData());
    std::fflush(stdout);
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption programOption("program", "The built program (its folder holds its files).", "file");
    const QCommandLineOption runsOption("runs", "Starts of each window for the median.", "n", "9");
    const QCommandLineOption idleOption("idle-seconds", "Length of the idle measurement.", "s", "30");
    const QCommandLineOption fillsOption("fills", "Fills for the fill median.", "n", "200");
    parser.addOptions({programOption, runsOption, idleOption, fillsOption});
    parser.process(app);

    const QString program = QFileInfo(parser.value(programOption)).absoluteFilePath();
    if (!QFileInfo(program).isExecutable()) {
        std::fprintf(stderr, "bench: --program must name the built program\n");
        return 2;
    }
    const QDir benches(QCoreApplication::applicationDirPath());
    const QString bare = benches.filePath(QStringLiteral("vogm_bench_barewindow"));
    QTemporaryDir home;
    if (!home.isValid())
        return 1;

    bool ok = PrintStartAndMemory(program, bare, home.path(), qMax(1, parser.value(runsOption).toInt()));
    ok = RunChild(benches.filePath(QStringLiteral("vogm_bench_fill")), {"--fills", parser.value(fillsOption)},
                  QFileInfo(program).absolutePath(), home.path() + QStringLiteral("/fill"))
        && ok;
    ok = PrintIdleCpu(program, bare, home.path(), qMax(1, parser.value(idleOption).toInt())) && ok;
    ok = RunChild(benches.filePath(QStringLiteral("vogm_bench_writes")), {}, QFileInfo(program).absolutePath(),
                  home.path() + QStringLiteral("/writes"))
        && ok;
    return ok ? 0 : 1;
}
