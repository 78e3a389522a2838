// The registry store on a large registry.ini: one read (Value, of a file
// changed since the last read, so it is parsed) and one
// SetValue on files of 1,000, 8,000 and 32,000 sections ("[sN]" then "k=v",
// as a file grown by hand or by another program looks), each the median of
// several runs, per section; then, with --program, the time from the
// program's start to its first painted main window with a 32,000-section
// registry.ini against none (offscreen, medians of alternated starts).
//
//   vogm_bench_registry [--runs N] [--program path/to/VeltraneOrvandel]
#include "registrystore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kProduct = QStringLiteral("Veltrane Orvandel Gaming Mouse");

bool WriteSections(const QString &path, int sections)
{
    QByteArray content;
    content.reserve(sections * 16);
    for (int i = 0; i < sections; ++i)
        content += "[s" + QByteArray::number(i) + "]\nk=v\n";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Microseconds of `run`, median of `runs`.
template <typename Run>
double Timed(int runs, Run run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run(i);
        times.push_back(timer.nsecsElapsed() / 1000.0);
    }
    return Median(times);
}

// Milliseconds from the start of `program` to its first painted main window.
double StartToShown(const QString &program, const QString &dataHome)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dataHome);
    environment.insert("XDG_CONFIG_HOME", dataHome + "/config");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("VOGM_REPORT_SHOWN", "1");
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, QStringList());
    double shown = -1;
    while (process.waitForReadyRead(120000)) {
        if (process.readAllStandardOutput().contains("shown:")) {
            shown = timer.nsecsElapsed() / 1e6;
            break;
        }
    }
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished(10000);
    return shown;
}

// Medians of starts with each data home, the two alternated so that a change
// of the machine's load meets both alike; one unmeasured start of each first.
std::pair<double, double> MedianStarts(int runs, const QString &program, const QString &first, const QString &second)
{
    StartToShown(program, first);
    StartToShown(program, second);
    std::vector<double> firstTimes;
    std::vector<double> secondTimes;
    for (int i = 0; i < runs; ++i) {
        firstTimes.push_back(StartToShown(program, first));
        secondTimes.push_back(StartToShown(program, second));
    }
    return {Median(firstTimes), Median(secondTimes)};
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int runs = 5;
    QString program;
    const QStringList arguments = app.arguments();
    for (int i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments.at(i) == "--runs")
            runs = std::max(1, arguments.at(i + 1).toInt());
        else if (arguments.at(i) == "--program")
            program = arguments.at(i + 1);
    }
    QTemporaryDir dir;
    const QString key = RegistryStore::MouseDriveTestKey();
    for (const int sections : {1000, 8000, 32000}) {
        const QString path = dir.filePath(QString("registry-%1.ini").arg(sections));
        if (!WriteSections(path, sections))
            return 1;
        RegistryStore store(path);
        // A file changed since its last read is parsed again: each run reads a "new" file.
        QFile file(path);
        const auto touched = [&](int i) {
            file.open(QIODevice::ReadWrite);
            file.setFileTime(QDateTime::currentDateTime().addSecs(i + 1), QFileDevice::FileModificationTime);
            file.close();
        };
        std::vector<double> reads;
        for (int i = 0; i < runs; ++i) {
            touched(i);
            reads.push_back(Timed(1, [&](int) { store.Value(key, "MouseVer182"); }));
        }
        const double read = Median(reads);
        const double set = Timed(runs, [&](int i) { store.SetValue(key, "MouseVer182", QString("v1.%1").arg(i)); });
        std::printf("registry %6d sections: read %9.0f us (%.3f us a section), SetValue %9.0f us (%.3f us a section)\n",
                    sections, read, read / sections, set, set / sections);
    }
    if (program.isEmpty())
        return 0;
    const QString none = dir.filePath("none");
    const QString large = dir.filePath("large");
    QDir().mkpath(large + "/" + kProduct);
    if (!WriteSections(large + "/" + kProduct + "/registry.ini", 32000))
        return 1;
    const auto [without, with] = MedianStarts(runs, program, none, large);
    std::printf("start to first painted main window: %.0f ms without registry.ini, %.0f ms with 32,000 sections (%.2fx)\n",
                without, with, without > 0 ? with / without : 0.0);
    return 0;
}
