// How long the GUI thread is held while the macro page refuses an oversized
// exchange file: two keys around 200,000 delays, chosen in the page's own
// file dialog. A heartbeat timer ticks every 5 ms on the GUI thread; the
// longest gap between two ticks, from the moment the file is chosen to the
// moment the refusal notice is up, is the longest block. The notice must be
// the key-limit notice. The GUI thread's CPU time over the same stretch bounds
// what the thread itself did, apart from waiting for a core. For scale, the longest gap of the same heartbeat over
// an idle stretch of the same length comes before each import.
//
// Prints one line: the notice, the file's size, and the longest gap (median
// and worst of the rounds).
#include "macro.h"
#include "macroexport.h"
#include "startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr int kDelays = 200000;
constexpr int kHeartbeatMs = 5;
constexpr int kDeadlineMs = 60000;

QByteArray OversizedExchangeFile()
{
    QVector<MacroExport::EncodeItem> items;
    items.reserve(kDelays + 2);
    items.append({MacroItem::Key(QStringLiteral("A"), true), QIcon()});
    for (int i = 0; i < kDelays; ++i)
        items.append({MacroItem::Delay(1), QIcon()});
    items.append({MacroItem::Key(QStringLiteral("A"), false), QIcon()});
    return MacroExport::Encode(QStringLiteral("huge"), 254, items);
}

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

int Fail(const char *reason)
{
    std::fprintf(stderr, "macro import bench: %s\n", reason);
    return 1;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Answers the page's file dialog with the file, and notes the first other
// dialog that comes up (the refusal) and closes it.
class Answerer : public QObject
{
public:
    explicit Answerer(const QString &path, QElapsedTimer *clock) : m_path(path), m_clock(clock)
    {
        qApp->installEventFilter(this);
    }
    ~Answerer() override { qApp->removeEventFilter(this); }

    qint64 chosenAt = -1;
    qint64 noticeAt = -1;
    double chosenCpuMs = 0;
    double noticeCpuMs = 0;
    QString notice;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (!dialog)
            return false;
        if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
            QTimer::singleShot(0, files, [this, files] {
                files->selectFile(m_path);
                chosenAt = m_clock->elapsed();
                chosenCpuMs = ThreadCpuMs();
                static_cast<QDialog *>(files)->accept();
            });
        } else if (noticeAt < 0) {
            noticeAt = m_clock->elapsed();
            noticeCpuMs = ThreadCpuMs();
            notice = QString::fromLatin1(dialog->metaObject()->className());
            QTimer::singleShot(0, dialog, [dialog] { dialog->reject(); });
        }
        return false;
    }

private:
    QString m_path;
    QElapsedTimer *m_clock;
};

// The longest gap between heartbeat ticks while the event loop idles for `ms`.
qint64 LongestIdleGap(qint64 ms)
{
    QElapsedTimer clock;
    clock.start();
    qint64 previous = 0;
    qint64 worst = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - previous);
        previous = now;
    });
    heartbeat.start(kHeartbeatMs);
    QTest::qWait(int(ms));
    return worst;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption roundsOption("rounds", "Imports for the median.", "n", "9");
    parser.addOption(roundsOption);
    parser.process(app);
    const int rounds = qMax(1, parser.value(roundsOption).toInt());

    Startup::PrepareUserFolders();
    QTemporaryDir outside;
    const QString path = outside.filePath(QStringLiteral("huge.ini"));
    const QByteArray bytes = OversizedExchangeFile();
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return Fail("cannot write the exchange file");
    }
    if (bytes.size() > MacroExport::kMaxFileBytes)
        return Fail("the exchange file is larger than the page reads");

    Macro page;
    page.show();
    if (!QTest::qWaitForWindowExposed(&page))
        return Fail("the macro page was not shown");

    std::vector<double> longest, idle, cpu;
    QString notice;
    for (int round = 0; round < rounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        std::vector<qint64> ticks;
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        QObject::connect(&heartbeat, &QTimer::timeout, [&] { ticks.push_back(clock.elapsed()); });
        heartbeat.start(kHeartbeatMs);
        Answerer answerer(path, &clock);
        QTimer::singleShot(0, &page, [&page] { page.InPortMacro(); });
        if (!QTest::qWaitFor([&] { return answerer.noticeAt >= 0; }, kDeadlineMs) || answerer.chosenAt < 0)
            return Fail("no notice came up");
        QTest::qWait(4 * kHeartbeatMs);  // a tick after the notice closes the last gap
        notice = answerer.notice;
        // The gaps between ticks that overlap the time from the choice to the notice.
        qint64 previous = answerer.chosenAt;
        qint64 worst = 0;
        for (qint64 tick : ticks) {
            if (tick <= answerer.chosenAt)
                continue;
            worst = std::max(worst, tick - previous);
            previous = tick;
            if (tick >= answerer.noticeAt)
                break;
        }
        longest.push_back(double(worst));
        cpu.push_back(answerer.noticeCpuMs - answerer.chosenCpuMs);
        idle.push_back(double(LongestIdleGap(std::max<qint64>(answerer.noticeAt - answerer.chosenAt, 100))));
    }
    QStringList each;
    for (double gap : longest)
        each << QString::number(gap, 'f', 0);
    std::printf("import of an exchange file of 2 keys and %d delays (%.1f MiB): refused with %s; longest GUI-thread "
                "block from the choice to the notice %.0f ms median, %.0f ms worst (imports in order: %s ms; %d ms "
                "heartbeat; idle stretches of the same length: %.0f ms median, %.0f ms worst); GUI-thread CPU over "
                "that stretch %.1f ms median, %.1f ms most\n",
                kDelays, bytes.size() / 1048576.0, qPrintable(notice), Median(longest),
                *std::max_element(longest.begin(), longest.end()), qPrintable(each.join(QStringLiteral(", "))),
                kHeartbeatMs, Median(idle), *std::max_element(idle.begin(), idle.end()), Median(cpu),
                *std::max_element(cpu.begin(), cpu.end()));
    return notice == QLatin1String("KeyNumberLimit") ? 0 : 1;
}
