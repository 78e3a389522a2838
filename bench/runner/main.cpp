// Runs the benchmarks and prints one line per figure. The program and a bare
// frameless 1020 x 700 Qt window of the same build are measured side by side
// in the same run, so their figures can be read as ratios:
//
//   start-up   from starting the process to the end of its first paint
//              (VOGM_REPORT_SHOWN: printed once the paint has been handled and
//              flushed), median of --runs starts of each, alternated;
//   under X    the same on a real X server (a private Xvfb), both windows
//              with QT_XCB_GL_INTEGRATION=none, the window mapped at
//              1020 x 700, alternated;
//   tile click from the click on a device tile to the filled device page;
//   macro files  from the click on a device tile to the first paint of the
//              device page and to the filled page, with 5,000 macro files in
//              the per-user macro folder against none, alternated;
//   memory     peak resident set (VmHWM) of the program once a device page is
//              filled and it has settled, median of --runs starts, against the
//              bare window's once it is shown and has settled (median over its
//              start-up starts);
//   idle CPU   CPU time of both processes (all threads) over --idle-seconds,
//              measured at the same time, the program on its filled device
//              page, in percent of one core; beside it the bare window
//              running an empty 1300 ms timer (the floor of a page polling
//              that often);
//   GUI stalls bench/devicepage's heartbeat (VOGM_BENCH_TOUR): the longest
//              time the GUI thread was held (own CPU plus blocked, not
//              waiting for a CPU) after the first paint, on a tile click, on
//              each page switch and on the way back, worst of the tours,
//              beside the sleep the program takes there by design; and the
//              resident memory after the tour, back on the device list;
//   fill, writes  the lines of the fill and write benchmarks.
//
// A start that ends otherwise (no marker, a signal, an unexpected exit code
// when it is ended) is printed with its standard error and left out of every
// median.
//
// The device page is reached only by clicking a device tile, so the memory
// and idle figures are taken of bench/devicepage: the program's own main
// window, started the program's way, with a driver that clicks the tile of the
// default world's 4 kHz receiver mouse and reports when the page is filled.
//
//   vogm_bench_runner --program build/bench/stage/VeltraneOrvandel [--runs 9] [--idle-seconds 30]
//
// VOGM_BENCH_DISPLAY=<number> pins the display number of the private Xvfb
// (on a machine shared with others); without it the server picks a free one.
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
#include <cstring>
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
// Each tour takes several seconds: the wait popup and five settled phases.
constexpr int kMaxTours = 5;

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

// How a measured process ended once the runner ended it: by its own exit 0
// (the program's SIGTERM handler closes its window) or by the SIGTERM itself
// (the bare window keeps the default action). Anything else is abnormal.
bool EndedAsAsked(const QProcess &process)
{
    if (process.exitStatus() == QProcess::NormalExit)
        return process.exitCode() == 0;
    return process.exitCode() == SIGTERM;  // QProcess gives the signal's number
}

QString HowItEnded(const QProcess &process)
{
    if (process.state() != QProcess::NotRunning)
        return QStringLiteral("still running");
    if (process.exitStatus() == QProcess::NormalExit)
        return QStringLiteral("exit code %1").arg(process.exitCode());
    const int signalNumber = process.exitCode();
    return QStringLiteral("signal %1 (%2)").arg(signalNumber).arg(QString::fromLatin1(strsignal(signalNumber)));
}

// Abnormal starts of the whole run: the runner's exit status says there were.
int g_abnormalStarts = 0;

// Prints an abnormal start with what the process wrote on its standard error.
void ReportAbnormalStart(const QString &program, const QString &what, const QProcess &process, const QString &errorFile)
{
    QFile errors(errorFile);
    QByteArray text = errors.open(QIODevice::ReadOnly) ? errors.readAll() : QByteArray("(unreadable)");
    if (text.isEmpty())
        text = "(nothing)";
    ++g_abnormalStarts;
    std::fprintf(stderr, "bench: abnormal start of %s, left out of the figures: %s, %s; its standard error:\n%s%s",
                 qPrintable(QFileInfo(program).fileName()), qPrintable(what), qPrintable(HowItEnded(process)),
                 text.constData(), text.endsWith('\n') ? "" : "\n");
    std::fflush(stderr);
}

// One started process with its own per-user folders. `appFolder`, when given,
// is where it finds the program's files (VOGM_APP_DIR). Its standard error
// goes to a file beside its folders, read when the start goes wrong.
class Subject
{
public:
    Subject(const QString &program, const QString &home, const QString &appFolder = QString(),
            const QString &page = QString(), int macroFiles = 0)
        : m_program(program), m_errorFile(home + QStringLiteral("/stderr-%1.txt").arg(NextNumber()))
    {
        QDir().mkpath(home);
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
        environment.remove(QStringLiteral("VOGM_BENCH_MACRO_FILES"));
        if (macroFiles > 0)
            environment.insert(QStringLiteral("VOGM_BENCH_MACRO_FILES"), QString::number(macroFiles));
        if (!page.isEmpty())
            environment.insert(QStringLiteral("VOGM_BENCH_PAGE"), page);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.setStandardErrorFile(m_errorFile);
    }

    void SetVariable(const QString &name, const QString &value)
    {
        QProcessEnvironment environment = m_process.processEnvironment();
        environment.insert(name, value);
        m_process.setProcessEnvironment(environment);
    }

    ~Subject()
    {
        End();
        QFile::remove(m_errorFile);
    }

    // Starts the process; the milliseconds until it printed `marker`, or a
    // negative number when it did not (reported with its standard error).
    // `printed`, when given, receives the output up to the marker's line.
    double StartUntil(const QByteArray &marker, QByteArray *printed = nullptr)
    {
        QElapsedTimer clock;
        clock.start();
        m_process.start(m_program, QStringList());
        m_started = true;
        QByteArray output;
        while (!output.contains(marker)) {
            const int left = kShownTimeoutMs - int(clock.elapsed());
            if (left <= 0 || !m_process.waitForReadyRead(left)) {
                const QString what = QStringLiteral("no \"%1\" within %2 ms")
                                         .arg(QString::fromLatin1(marker.trimmed()))
                                         .arg(kShownTimeoutMs);
                Stop();
                m_checked = true;
                ReportAbnormalStart(m_program, what, m_process, m_errorFile);
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

    // Ends the process (SIGTERM, then SIGKILL); false, after reporting it,
    // when it ended otherwise than as asked.
    bool End()
    {
        if (m_checked || !m_started)
            return m_ended;
        Stop();
        m_checked = true;
        m_ended = EndedAsAsked(m_process);
        if (!m_ended)
            ReportAbnormalStart(m_program, QStringLiteral("did not end as asked"), m_process, m_errorFile);
        return m_ended;
    }

private:
    void Stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(m_process.processId()), SIGTERM);
        if (!m_process.waitForFinished(kEndTimeoutMs)) {
            m_process.kill();
            m_process.waitForFinished(kEndTimeoutMs);
        }
    }

    static int NextNumber()
    {
        static int number = 0;
        return ++number;
    }

    QString m_program;
    QString m_errorFile;
    ChildProcess m_process;
    bool m_started = false;
    bool m_checked = false;  // how it ended has been looked at
    bool m_ended = false;
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
// A start that did not end as asked keeps readyMs negative: it counts in no
// figure.
Sample MeasureStart(const Target &target, const QString &home, int macroFiles = 0)
{
    Subject subject(target.program, home, target.appFolder, QString(), macroFiles);
    Sample sample;
    sample.readyMs = subject.StartUntil(target.marker, &sample.output);
    if (sample.readyMs < 0)
        return sample;
    QThread::msleep(kSettleMs);
    sample.peakMiB = PeakResidentKiB(subject.Pid()) / 1024.0;
    if (!subject.End())
        sample.readyMs = -1;
    return sample;
}

// "; N abnormal starts left out (printed on standard error)" or nothing.
QString LeftOut(int abnormal)
{
    if (abnormal == 0)
        return QString();
    return QStringLiteral("; %1 abnormal start%2 left out (on standard error)")
        .arg(abnormal)
        .arg(abnormal == 1 ? "" : "s");
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
    int abnormal = 0;
    for (int i = 0; i < runs; ++i) {
        const Sample p = MeasureStart(program, home);
        const Sample b = MeasureStart(bare, home);
        if (p.readyMs >= 0) {
            programMs.push_back(p.readyMs);
            programMiB.push_back(p.peakMiB);
        }
        if (b.readyMs >= 0) {
            bareMs.push_back(b.readyMs);
            bareMiB.push_back(b.peakMiB);
        }
        abnormal += (p.readyMs < 0) + (b.readyMs < 0);
    }
    if (programMs.empty() || bareMs.empty())
        return false;
    figures->programMs = Median(programMs);
    figures->bareMs = Median(bareMs);
    figures->bareMiB = Median(bareMiB);
    figures->selectionPageMiB = Median(programMiB);
    std::printf("start-up to the end of the first paint of the main window: %.0f ms vs bare 1020x700 window %.0f ms "
                "= %.2fx (median of %zu and %zu starts, offscreen%s)\n",
                figures->programMs, figures->bareMs, figures->programMs / figures->bareMs, programMs.size(),
                bareMs.size(), qPrintable(LeftOut(abnormal)));
    std::fflush(stdout);
    return true;
}

// The time between bench/devicepage's "clicked: <ms>" line and its `marker`
// line ("filled" or "drawn"); -1 when either is missing.
double MillisecondsAfterClick(const QByteArray &output, const QString &marker = QStringLiteral("filled"))
{
    const QRegularExpression clicked(QStringLiteral("clicked: (\\d+) ms"));
    const QRegularExpression then(marker + QStringLiteral(": (\\d+) ms"));
    const QString text = QString::fromUtf8(output);
    const QRegularExpressionMatch click = clicked.match(text);
    const QRegularExpressionMatch after = then.match(text);
    if (!click.hasMatch() || !after.hasMatch())
        return -1;
    return after.captured(1).toDouble() - click.captured(1).toDouble();
}

// The environment of a measured start under X: fresh per-user folders, the
// first paint reported, and one GL setting for both windows: none, the
// program's own default (it draws nothing with OpenGL).
QProcessEnvironment XEnvironment(const QString &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("VOGM_WORLD_DIR"), home + QStringLiteral("/world"));
    for (const char *name : {"VOGM_APP_DIR", "VOGM_SCENARIO", "VOGM_WAIT_DIVISOR"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("VOGM_REPORT_SHOWN"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_XCB_GL_INTEGRATION"), QStringLiteral("none"));
    return environment;
}

// One start under X; false (reported) when it was abnormal.
bool StartUnderX(MappedWindowClock &x, const QString &program, const QProcessEnvironment &environment,
                 std::vector<double> *times)
{
    const MappedWindowClock::Start start = x.StartUntilShown(program, environment, 1020, 700, kShownMarker);
    if (start.shownMs >= 0 && start.endedAsAsked) {
        times->push_back(start.shownMs);
        return true;
    }
    ++g_abnormalStarts;
    std::fprintf(stderr, "bench: abnormal start of %s under Xvfb, left out of the figures: %s; its standard error:\n%s%s",
                 qPrintable(QFileInfo(program).fileName()), qPrintable(start.what),
                 start.errors.isEmpty() ? "(nothing)" : start.errors.constData(),
                 start.errors.endsWith('\n') ? "" : "\n");
    std::fflush(stderr);
    return false;
}

bool PrintShownUnderX(const Target &program, const Target &bare, const QString &home, int runs)
{
    MappedWindowClock x;
    if (!x.Ready()) {
        std::printf("start-up under Xvfb: not measured (no Xvfb)\n");
        return true;
    }
    const QProcessEnvironment environment = XEnvironment(home);
    // One unmeasured start of each first, as for the offscreen figure.
    std::vector<double> warmUp;
    StartUnderX(x, program.program, environment, &warmUp);
    StartUnderX(x, bare.program, environment, &warmUp);
    std::vector<double> programMs, bareMs;
    int abnormal = 0;
    for (int i = 0; i < runs; ++i) {
        abnormal += !StartUnderX(x, program.program, environment, &programMs);
        abnormal += !StartUnderX(x, bare.program, environment, &bareMs);
    }
    if (programMs.empty() || bareMs.empty())
        return false;
    const double p = Median(programMs);
    const double b = Median(bareMs);
    std::printf("start-up to the end of the first paint of the mapped window under Xvfb: %.0f ms vs bare 1020x700 "
                "window %.0f ms = %.2fx (median of %zu and %zu starts; both windows QT_XCB_GL_INTEGRATION=none%s)\n",
                p, b, p / b, programMs.size(), bareMs.size(), qPrintable(LeftOut(abnormal)));
    std::fflush(stdout);
    return true;
}

bool PrintDevicePageMemory(const Target &devicePage, const QString &home, int runs, const StartFigures &starts)
{
    // One start first, so the measured ones find the files in the page cache
    // and the model's cache file (written after its first read) in place.
    MeasureStart(devicePage, home);
    std::vector<double> peakMiB, filledMs, clickMs;
    int abnormal = 0;
    for (int i = 0; i < runs; ++i) {
        const Sample s = MeasureStart(devicePage, home);
        if (s.readyMs < 0) {
            ++abnormal;
            continue;
        }
        peakMiB.push_back(s.peakMiB);
        filledMs.push_back(s.readyMs);
        clickMs.push_back(MillisecondsAfterClick(s.output));
    }
    if (peakMiB.empty())
        return false;
    const QString leftOut = LeftOut(abnormal);
    std::printf("tile click to filled device page: %.0f ms (median of %zu clicks; the wait popup closed, the "
                "device thread's pass ended%s)\n",
                Median(clickMs), clickMs.size(), qPrintable(leftOut));
    const double mib = Median(peakMiB);
    std::printf("peak resident memory after a device page is filled: %.1f MiB vs bare window %.1f MiB = %.2fx "
                "(median of %zu starts; page filled %.1f s after the start; the program left on its device list "
                "(its device page built, not shown) %.1f MiB)\n",
                mib, starts.bareMiB, mib / starts.bareMiB, peakMiB.size(), Median(filledMs) / 1000,
                starts.selectionPageMiB);
    std::fflush(stdout);
    return true;
}

// The device page with a full macro folder against an empty one: the click
// to its first paint and to the filled page, each start with fresh folders.
bool PrintMacroFolderCost(const Target &devicePage, const QString &home, int runs)
{
    constexpr int kMacroFiles = 5000;
    std::vector<double> drawnFull, drawnEmpty, filledFull, filledEmpty;
    int abnormal = 0;
    auto measure = [&](int files, std::vector<double> *drawn, std::vector<double> *filled, int run) {
        const Sample s = MeasureStart(devicePage, home + QStringLiteral("/macros-%1-%2").arg(files).arg(run), files);
        const double toDrawn = MillisecondsAfterClick(s.output, QStringLiteral("drawn"));
        if (s.readyMs < 0 || toDrawn < 0) {
            ++abnormal;
            return;
        }
        drawn->push_back(toDrawn);
        filled->push_back(MillisecondsAfterClick(s.output));
    };
    for (int i = 0; i < runs; ++i) {
        measure(kMacroFiles, &drawnFull, &filledFull, i);
        measure(0, &drawnEmpty, &filledEmpty, i);
    }
    if (drawnFull.empty() || drawnEmpty.empty())
        return false;
    const double full = Median(drawnFull);
    const double empty = Median(drawnEmpty);
    std::printf("tile click to the drawn device page with %d macro files: %.0f ms vs %.0f ms with none = %.2fx; "
                "to the filled page %.0f ms vs %.0f ms (medians of %zu and %zu clicks%s)\n",
                kMacroFiles, full, empty, full / empty, Median(filledFull), Median(filledEmpty), drawnFull.size(),
                drawnEmpty.size(), qPrintable(LeftOut(abnormal)));
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
    Subject polling(bare.program, home + QStringLiteral("/idle-bare-timer"));
    polling.SetVariable(QStringLiteral("VOGM_BENCH_EMPTY_TIMER"), QStringLiteral("1"));
    if (yardstick.StartUntil(bare.marker) < 0 || polling.StartUntil(bare.marker) < 0)
        return false;
    QThread::msleep(kSettleMs);
    std::vector<ThreadTimes> before;
    for (const auto &subject : subjects)
        before.push_back(CpuTimes(subject->Pid()));
    const ThreadTimes bareBefore = CpuTimes(yardstick.Pid());
    const ThreadTimes pollingBefore = CpuTimes(polling.Pid());
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
    const double pollingPercent = CpuSecondsBetween(pollingBefore, CpuTimes(polling.Pid())) / wall * 100;
    std::printf("idle CPU over %d s on each page of the filled device page: %s of one core vs bare window %.3f %%, "
                "bare window with an empty 1300 ms timer %.3f %%\n",
                seconds, qPrintable(figures.join(QStringLiteral(", "))), barePercent, pollingPercent);
    std::fflush(stdout);
    return true;
}

// The sleep the program takes by design in a phase of the tour (the GUI
// thread blocked), which a gap there may add to its 50 ms.
int NamedSleepMs(const QString &phase)
{
    if (phase.startsWith(QLatin1String("tile click")))
        return 150;
    return phase.startsWith(QLatin1String("back arrow")) ? 100 : 0;
}

// The heartbeat tours of bench/devicepage: per phase the worst longest gap,
// and the resident memory once back on the device list.
bool PrintTours(const Target &devicePage, const QString &home, int tours, const StartFigures &starts)
{
    const QRegularExpression phaseLine(
        QStringLiteral("phase: ([^:]+): longest gap ([0-9.]+) ms \\(([0-9.]+) ms CPU\\)"));
    const QRegularExpression touredLine(QStringLiteral("toured: (\\d+) KiB"));
    QStringList order;
    QHash<QString, double> worstGap, worstGapCpu;
    std::vector<double> residentMiB;
    int abnormal = 0;
    for (int i = 0; i < tours; ++i) {
        Subject subject(devicePage.program, home, devicePage.appFolder);
        subject.SetVariable(QStringLiteral("VOGM_BENCH_TOUR"), QStringLiteral("1"));
        QByteArray output;
        if (subject.StartUntil("toured: ", &output) < 0 || !subject.End()) {
            ++abnormal;
            continue;
        }
        const QString text = QString::fromUtf8(output);
        auto phases = phaseLine.globalMatch(text);
        while (phases.hasNext()) {
            const QRegularExpressionMatch match = phases.next();
            const QString phase = match.captured(1);
            if (!order.contains(phase))
                order << phase;
            if (match.captured(2).toDouble() >= worstGap.value(phase, -1)) {
                worstGap[phase] = match.captured(2).toDouble();
                worstGapCpu[phase] = match.captured(3).toDouble();
            }
        }
        const QRegularExpressionMatch toured = touredLine.match(text);
        if (toured.hasMatch())
            residentMiB.push_back(toured.captured(1).toDouble() / 1024);
    }
    if (residentMiB.empty())
        return false;
    for (const QString &phase : order) {
        const double beyond = worstGap.value(phase) - NamedSleepMs(phase);
        std::printf("GUI thread held at most %.1f ms (%.1f ms CPU) %s: %s (%d ms named sleep there; worst of %zu "
                    "tours)\n",
                    worstGap.value(phase), worstGapCpu.value(phase), qPrintable(phase),
                    beyond <= 50 ? "no stall over 50 ms" : "a stall over 50 ms", NamedSleepMs(phase),
                    residentMiB.size());
    }
    const double mib = Median(residentMiB);
    std::printf("resident memory after visiting every page and returning to the device list: %.1f MiB vs bare "
                "window %.1f MiB = %.2fx (median of %zu tours%s)\n",
                mib, starts.bareMiB, mib / starts.bareMiB, residentMiB.size(), qPrintable(LeftOut(abnormal)));
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
    ok = PrintShownUnderX(mainWindow, bare, home.path() + QStringLiteral("/x"), runs) && ok;
    ok = ok && PrintDevicePageMemory(devicePage, home.path() + QStringLiteral("/page"), runs, starts);
    ok = ok && PrintTours(devicePage, home.path() + QStringLiteral("/tour"), qMin(runs, kMaxTours), starts);
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
    ok = PrintMacroFolderCost(devicePage, home.path() + QStringLiteral("/macrofolder"), runs) && ok;
    ok = RunChild(benches.filePath(QStringLiteral("vogm_bench_macroimport")), {}, appFolder,
                  home.path() + QStringLiteral("/macroimport"))
        && ok;
    if (g_abnormalStarts > 0)
        std::fprintf(stderr, "bench: %d abnormal start(s), each printed above\n", g_abnormalStarts);
    return ok && g_abnormalStarts == 0 ? 0 : 1;
}
