// Runs the benchmarks and prints one line per figure. The program and a bare
// frameless 1020 x 700 Qt window of the same build are measured side by side
// in the same run, so their figures can be read as ratios:
//
//   start-up   from starting the process to its first painted window
//              (VOGM_REPORT_SHOWN), median of --runs starts of each, alternated;
//   mapped     under a real X server (a private Xvfb), from starting the
//              process to the map of its 1020 x 700 window, alternated;
//   tile click from the click on a device tile to the filled device page;
//   memory     peak resident set (VmHWM) of the program once a device page is
//              filled and it has settled, median of --runs starts, against the
//              bare window's once it is shown and has settled (median over its
//              start-up starts);
//   idle CPU   CPU time of both processes (all threads) over --idle-seconds,
//              measured at the same time, the program on its filled device
//              page, in percent of one core;
//   fill, writes  the lines of the fill and write benchmarks.
//
// The device page is reached only by clicking a device tile, so the memory
// and idle figures are taken of bench/devicepage: the program's own main
// window, started the program's way, with a driver that clicks the tile of the
// default world's 4 kHz receiver mouse and reports when the page is filled.
//
//   vogm_bench_runner --program build/bench/stage/VeltraneOrvandel [--runs 9] [--idle-seconds 30]
#include "xmapped.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
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

// The line the program prints on its first paint (VOGM_REPORT_SHOWN), and
// the one bench/devicepage prints once its device page is filled.
const QByteArray kShownMarker = "shown: ";
const QByteArray kFilledMarker = "filled: ";

// One started process with its own per-user folders. `appFolder`, when given,
// is where it finds the program's files (VOGM_APP_DIR).
class Subject
{
public:
    Subject(const QString &program, const QString &home, const QString &appFolder = QString(),
            const QString &page = QString())
        : m_program(program)
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
        if (!appFolder.isEmpty())
            environment.insert(QStringLiteral("VOGM_APP_DIR"), appFolder);
        environment.remove(QStringLiteral("VOGM_BENCH_PAGE"));
        if (!page.isEmpty())
            environment.insert(QStringLiteral("VOGM_BENCH_PAGE"), page);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.setStandardErrorFile(QProcess::nullDevice());
    }

    ~Subject() { End(); }

    // Starts the process; the milliseconds until it printed `marker`, or a
    // negative number when it did not (its output is then on our stderr).
    // `printed`, when given, receives the output up to the marker's line.
    double StartUntil(const QByteArray &marker, QByteArray *printed = nullptr)
    {
        QElapsedTimer clock;
        clock.start();
        m_process.start(m_program, QStringList());
        QByteArray output;
        while (!output.contains(marker)) {
            const int left = kShownTimeoutMs - int(clock.elapsed());
            if (left <= 0 || !m_process.waitForReadyRead(left)) {
                std::fprintf(stderr, "bench: %s printed no \"%s\" within %d ms%s%s", qPrintable(m_program),
                             marker.trimmed().constData(), kShownTimeoutMs, output.isEmpty() ? "" : ":\n",
                             output.constData());
                return -1;
            }
            output += m_process.readAllStandardOutput();
        }
        const double elapsed = clock.nsecsElapsed() / 1e6;
        if (printed) {
            while (!output.mid(output.indexOf(marker)).contains('\n') && m_process.waitForReadyRead(1000))
                output += m_process.readAllStandardOutput();
            *printed = output;
        }
        return elapsed;
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
// The CPU time of each thread of `pid`, in nanoseconds, by thread id.
using ThreadTimes = QHash<QString, qint64>;
ThreadTimes CpuTimes(qint64 pid)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    ThreadTimes times;
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (schedstat.open(QIODevice::ReadOnly))
            times.insert(task, schedstat.readAll().split(' ').value(0).toLongLong());
    }
    return times;
}

// The CPU seconds the threads of `after` spent since `before`; a thread that
// ended in between is left out (its time is gone from /proc), a new one
// counts whole.
double CpuSecondsBetween(const ThreadTimes &before, const ThreadTimes &after)
{
    qint64 nanoseconds = 0;
    for (auto it = after.begin(); it != after.end(); ++it)
        nanoseconds += it.value() - before.value(it.key(), 0);
    return nanoseconds / 1e9;
}

// What to start and how to tell it is ready.
struct Target {
    QString program;
    QByteArray marker;
    QString appFolder;
};

struct Sample {
    double readyMs = -1;
    double peakMiB = 0;
    QByteArray output;  // what the process printed up to its marker
};

// Starts `target` until it is ready, lets it settle and reads its peak
// resident memory.
Sample MeasureStart(const Target &target, const QString &home)
{
    Subject subject(target.program, home, target.appFolder);
    Sample sample;
    sample.readyMs = subject.StartUntil(target.marker, &sample.output);
    if (sample.readyMs < 0)
        return sample;
    QThread::msleep(kSettleMs);
    sample.peakMiB = PeakResidentKiB(subject.Pid()) / 1024.0;
    return sample;
}

struct StartFigures {
    double programMs = 0;
    double bareMs = 0;
    double bareMiB = 0;
    double selectionPageMiB = 0;
};

// The start-up line; both memories are kept for the memory line (the
// program's is that of its device-selection page).
bool PrintStartUp(const Target &program, const Target &bare, const QString &home, int runs, StartFigures *figures)
{
    // One start of each first, so both find the files in the page cache.
    MeasureStart(program, home);
    MeasureStart(bare, home);
    std::vector<double> programMs, bareMs, programMiB, bareMiB;
    for (int i = 0; i < runs; ++i) {
        const Sample p = MeasureStart(program, home);
        const Sample b = MeasureStart(bare, home);
        if (p.readyMs < 0 || b.readyMs < 0)
            return false;
        programMs.push_back(p.readyMs);
        bareMs.push_back(b.readyMs);
        programMiB.push_back(p.peakMiB);
        bareMiB.push_back(b.peakMiB);
    }
    figures->programMs = Median(programMs);
    figures->bareMs = Median(bareMs);
    figures->bareMiB = Median(bareMiB);
    figures->selectionPageMiB = Median(programMiB);
    std::printf("start-up to the first shown main window: %.0f ms vs bare 1020x700 window %.0f ms = %.2fx "
                "(median of %d starts each)\n",
                figures->programMs, figures->bareMs, figures->programMs / figures->bareMs, runs);
    std::fflush(stdout);
    return true;
}

// The time between bench/devicepage's "clicked: <ms>" and "filled: <ms>"
// lines; -1 when either is missing.
double MillisecondsAfterClick(const QByteArray &output)
{
    const QRegularExpression clicked(QStringLiteral("clicked: (\\d+) ms"));
    const QRegularExpression filled(QStringLiteral("filled: (\\d+) ms"));
    const QString text = QString::fromUtf8(output);
    const QRegularExpressionMatch click = clicked.match(text);
    const QRegularExpressionMatch fill = filled.match(text);
    if (!click.hasMatch() || !fill.hasMatch())
        return -1;
    return fill.captured(1).toDouble() - click.captured(1).toDouble();
}

// The environment of a measured start under X: fresh per-user folders.
QProcessEnvironment XEnvironment(const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("VOGM_WORLD_DIR"), home + QStringLiteral("/world"));
    for (const char *name : {"VOGM_APP_DIR", "VOGM_SCENARIO", "VOGM_WAIT_DIVISOR", "VOGM_REPORT_SHOWN",
                             "QT_XCB_GL_INTEGRATION"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

bool PrintMappedUnderX(const Target &program, const Target &bare, const QString &home, int runs)
{
    MappedWindowClock x;
    if (!x.Ready()) {
        std::printf("mapped window under Xvfb: not measured (no Xvfb)\n");
        return true;
    }
    const QProcessEnvironment environment = XEnvironment(home);
    // One unmeasured start of each first, as for the offscreen figure.
    x.StartUntilMapped(program.program, environment, 1020, 700);
    x.StartUntilMapped(bare.program, environment, 1020, 700);
    std::vector<double> programMs, bareMs;
    for (int i = 0; i < runs; ++i) {
        const double p = x.StartUntilMapped(program.program, environment, 1020, 700);
        const double b = x.StartUntilMapped(bare.program, environment, 1020, 700);
        if (p < 0 || b < 0)
            return false;
        programMs.push_back(p);
        bareMs.push_back(b);
    }
    const double p = Median(programMs);
    const double b = Median(bareMs);
    std::printf("start-up to a mapped window under Xvfb: %.0f ms vs bare 1020x700 window %.0f ms = %.2fx "
                "(median of %d starts each; the program sets QT_XCB_GL_INTEGRATION=none, the bare window "
                "loads the GLX driver)\n",
                p, b, p / b, runs);
    std::fflush(stdout);
    return true;
}

bool PrintDevicePageMemory(const Target &devicePage, const QString &home, int runs, const StartFigures &starts)
{
    // One start first, so the measured ones find the files in the page cache
    // and the model's cache file (written after its first read) in place.
    if (MeasureStart(devicePage, home).readyMs < 0)
        return false;
    std::vector<double> peakMiB, filledMs, clickMs;
    for (int i = 0; i < runs; ++i) {
        const Sample s = MeasureStart(devicePage, home);
        if (s.readyMs < 0)
            return false;
        peakMiB.push_back(s.peakMiB);
        filledMs.push_back(s.readyMs);
        clickMs.push_back(MillisecondsAfterClick(s.output));
    }
    std::printf("tile click to filled device page: %.0f ms (median of %d clicks; the wait popup closed, the "
                "device thread's pass ended)\n",
                Median(clickMs), runs);
    const double mib = Median(peakMiB);
    std::printf("peak resident memory after a device page is filled: %.1f MiB vs bare window %.1f MiB = %.2fx "
                "(median of %d starts each; page filled %.1f s after the start; the program left on its device list "
                "(its device page built, not shown) %.1f MiB)\n",
                mib, starts.bareMiB, mib / starts.bareMiB, runs, Median(filledMs) / 1000, starts.selectionPageMiB);
    std::fflush(stdout);
    return true;
}

// Each page of the device page idles in a process of its own, all at once,
// beside the bare window.
bool PrintIdleCpu(const Target &devicePage, const Target &bare, const QString &home, int seconds)
{
    const struct {
        const char *button;
        const char *name;
    } pages[] = {{"ButtonMain", "buttons"}, {"SensorButton", "sensor"}, {"MacroButton", "macros"},
                 {"FormSetting", "settings"}};
    std::vector<std::unique_ptr<Subject>> subjects;
    for (const auto &page : pages) {
        subjects.push_back(std::make_unique<Subject>(devicePage.program,
                                                     home + QStringLiteral("/idle-") + QLatin1String(page.name),
                                                     devicePage.appFolder, QLatin1String(page.button)));
        if (subjects.back()->StartUntil(devicePage.marker) < 0)
            return false;
    }
    Subject yardstick(bare.program, home + QStringLiteral("/idle-bare"));
    if (yardstick.StartUntil(bare.marker) < 0)
        return false;
    QThread::msleep(kSettleMs);
    std::vector<ThreadTimes> before;
    for (const auto &subject : subjects)
        before.push_back(CpuTimes(subject->Pid()));
    const ThreadTimes bareBefore = CpuTimes(yardstick.Pid());
    QElapsedTimer clock;
    clock.start();
    QThread::sleep(unsigned(seconds));
    const double wall = clock.nsecsElapsed() / 1e9;
    QStringList figures;
    for (size_t i = 0; i < subjects.size(); ++i) {
        const double percent = CpuSecondsBetween(before[i], CpuTimes(subjects[i]->Pid())) / wall * 100;
        figures << QStringLiteral("%1 %2 %").arg(QLatin1String(pages[i].name)).arg(percent, 0, 'f', 3);
    }
    const double barePercent = CpuSecondsBetween(bareBefore, CpuTimes(yardstick.Pid())) / wall * 100;
    std::printf("idle CPU over %d s on each page of the filled device page: %s of one core vs bare window %.3f %%\n",
                seconds, qPrintable(figures.join(QStringLiteral(", "))), barePercent);
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
    const QString appFolder = QFileInfo(program).absolutePath();
    const Target mainWindow{program, kShownMarker, QString()};
    const Target bare{benches.filePath(QStringLiteral("vogm_bench_barewindow")), kShownMarker, QString()};
    const Target devicePage{benches.filePath(QStringLiteral("vogm_bench_devicepage")), kFilledMarker, appFolder};
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    const int runs = qMax(1, parser.value(runsOption).toInt());

    StartFigures starts;
    bool ok = PrintStartUp(mainWindow, bare, home.path(), runs, &starts);
    ok = PrintMappedUnderX(mainWindow, bare, home.path() + QStringLiteral("/x"), runs) && ok;
    ok = ok && PrintDevicePageMemory(devicePage, home.path() + QStringLiteral("/page"), runs, starts);
    ok = RunChild(benches.filePath(QStringLiteral("vogm_bench_fill")), {"--fills", parser.value(fillsOption)},
                  appFolder, home.path() + QStringLiteral("/fill"))
        && ok;
    ok = PrintIdleCpu(devicePage, bare, home.path(), qMax(1, parser.value(idleOption).toInt())) && ok;
    ok = RunChild(benches.filePath(QStringLiteral("vogm_bench_writes")), {}, appFolder,
                  home.path() + QStringLiteral("/writes"))
        && ok;
    ok = RunChild(benches.filePath(QStringLiteral("vogm_bench_macrosave")), {}, appFolder,
                  home.path() + QStringLiteral("/macrosave"))
        && ok;
    return ok ? 0 : 1;
}
