// Hostile files through the running program: each row puts one damaged or
// non-regular file where the program reads it (or its per-user folder on a
// full or read-only file system), starts the program offscreen with a
// scenario world, opens the 4 kHz receiver mouse's device page and waits until
// the page is filled, then ends it with SIGTERM. The program must fill the page
// at about the CPU cost it has with sound files, print no sanitizer report and
// end with exit code 0. Where the program cannot open a device page at all (no
// Config.ini), it must still show its window and end on SIGTERM.
#include "programprocess.h"
#include "smallfilesystem.h"
#include "testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <memory>

namespace {

const QString kProgram = QStringLiteral(VOGM_PROGRAM);
// The program's own main window with a driver that clicks the receiver tile
// and prints "filled: <ms> ms" once the device page is filled.
const QString kDevicePage = QStringLiteral(VOGM_DEVICEPAGE);
const QString kProductTitle = QStringLiteral("Veltrane Orvandel Gaming Mouse");
const char kCacheName[] = "Device_CID12_MID02.bin";

const char kScenario[] = R"({
  "timing": {"readLatencyMs": 2, "fullReadMs": 20},
  "mice": [
    {"name": "hostile-mouse", "mid": 2, "modelName": "VOM-M2", "address": "11:22:33", "battery": 55}
  ],
  "receivers": [
    {"name": "hostile-receiver", "linkType": 1, "pid": "0xFF14", "mid": 2, "address": "11:22:33",
     "mouse": "hostile-mouse", "modelName": "VOR-M2-4K"}
  ]
})";
const char kPatchScenario[] = R"({
  "mice": [{"name": "m2", "mid": 2, "patch": {"0x7FFFFFFF": "0102"}}]
})";

enum class Place { AppFolder, UserFolder, Scenario, FullDisk, ReadOnlyDisk };

struct Row {
    Place place = Place::AppFolder;
    QString file;        // relative to its folder
    QByteArray content;  // the file's content; null: a FIFO
    bool fills = true;   // false: no device page can open, only the window shows
};

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    if (content.isNull())
        return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A copy of the staged application folder made of links, so one file of it
// can be replaced without copying the pictures.
bool LinkAppFolder(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + "/" + QDir(from).relativeFilePath(source);
        const bool made = it.fileInfo().isDir()
            ? QDir().mkpath(target)
            : QDir().mkpath(QFileInfo(target).absolutePath()) && QFile::link(it.fileInfo().absoluteFilePath(), target);
        if (!made) {
            qWarning() << "cannot link" << source << "to" << target;
            return false;
        }
    }
    return true;
}

QByteArray DefineLine()
{
    return ReadAll(TestSupport::AppFolder() + "/driver_sensor.h") + "#define SENSOR_3395_DPI_1500000000\t0x77\n";
}

QByteArray ConfigWithDeviceTotal(const QByteArray &value)
{
    QByteArray config = ReadAll(TestSupport::AppFolder() + "/usersetting/Config.ini");
    const int at = config.indexOf("DeviceTotal=");
    const int end = config.indexOf('\n', at);
    return config.left(at) + "DeviceTotal=" + value + config.mid(end);
}

// A firmware image of the model of the scenario mouse, damaged as asked.
QByteArray Image(int fileSize, uint32_t bodyLength, uint32_t bodySum)
{
    QByteArray image(fileSize, '\x5A');
    auto put = [&image](int offset, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            image[offset + i] = char(value >> (8 * i));
    };
    std::memset(image.data(), 0, 728);
    put(0x10, 0x0109);
    image[0x14] = char(210);
    image[0x15] = char(18);
    image[0x16] = char(2);
    put(0x18, bodyLength);
    put(0x1C, bodySum);
    image.replace(0x57, 6, "VOM-M2");
    return image;
}

int FilledMs(const QStringList &lines)
{
    static const QRegularExpression filled("^filled: (\\d+) ms$");
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = filled.match(line);
        if (match.hasMatch())
            return match.captured(1).toInt();
    }
    return -1;
}

// The CPU time (user and system, all threads) a running process has used so
// far, or -1. CPU time, unlike the wall clock, does not grow with the load
// other processes put on the machine.
qint64 CpuMsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // Fields after the parenthesised command name, which may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    constexpr int kUserTime = 11;  // utime; stime follows
    if (fields.size() <= kUserTime + 1)
        return -1;
    const qint64 ticks = fields.at(kUserTime).toLongLong() + fields.at(kUserTime + 1).toLongLong();
    return ticks * 1000 / sysconf(_SC_CLK_TCK);
}

}  // namespace

Q_DECLARE_METATYPE(Row)

class TestHostileFiles : public QObject
{
    Q_OBJECT

    qint64 m_plainFillCpuMs = -1;

private slots:
    void startsFillsAndEnds_data();
    void startsFillsAndEnds();
};

void TestHostileFiles::startsFillsAndEnds_data()
{
    QTest::addColumn<Row>("row");
    const QByteArray fifo;  // null
    // First: the time the page takes with sound files, the measure for the rest.
    QTest::newRow("sound files") << Row{Place::AppFolder, QString(), QByteArray(), true};
    QTest::newRow("DPI define above int range") << Row{Place::AppFolder, "driver_sensor.h", DefineLine(), true};
    QTest::newRow("header-only firmware image")
        << Row{Place::AppFolder, "bin/zz-header-only.bin", Image(728, 4096, 0), true};
    QTest::newRow("truncated firmware image with sum")
        << Row{Place::AppFolder, "bin/zz-truncated.bin", Image(728 + 16, 1 << 20, 12345), true};
    QTest::newRow("patch offset 0x7FFFFFFF") << Row{Place::Scenario, QString(), kPatchScenario, true};
    QTest::newRow("DeviceTotal at its maximum")
        << Row{Place::AppFolder, "usersetting/Config.ini", ConfigWithDeviceTotal("2147483647"), true};
    QTest::newRow("FIFO Macro.ini") << Row{Place::UserFolder, "Macro.ini", fifo, true};
    QTest::newRow("FIFO registry.ini") << Row{Place::UserFolder, "registry.ini", fifo, true};
    QTest::newRow("FIFO Level.ini") << Row{Place::UserFolder, "usersetting/SensorPage/Level.ini", fifo, true};
    QTest::newRow("FIFO cache file") << Row{Place::UserFolder, QString("Device_Info/") + kCacheName, fifo, true};
    QTest::newRow("FIFO language file") << Row{Place::AppFolder, "Language/0-English.xml", fifo, true};
    QTest::newRow("FIFO driver_sensor.h") << Row{Place::AppFolder, "driver_sensor.h", fifo, true};
    QTest::newRow("FIFO firmware image") << Row{Place::AppFolder, "bin/zz-fifo.bin", fifo, true};
    QTest::newRow("FIFO Config.ini") << Row{Place::AppFolder, "usersetting/Config.ini", fifo, false};
    QTest::newRow("per-user folder on a full disk") << Row{Place::FullDisk, "registry.ini", "[x]\nkept=1\n", true};
    QTest::newRow("per-user folder read-only") << Row{Place::ReadOnlyDisk, "registry.ini", "[x]\nkept=1\n", true};
}

void TestHostileFiles::startsFillsAndEnds()
{
    QFETCH(Row, row);
    QTemporaryDir work;
    const QString appFolder = work.path() + "/app";
    QVERIFY(LinkAppFolder(TestSupport::AppFolder(), appFolder));
    std::unique_ptr<SmallFileSystem> disk;
    QString dataHome = work.path() + "/data";
    if (row.place == Place::FullDisk || row.place == Place::ReadOnlyDisk) {
        disk = std::make_unique<SmallFileSystem>();
        if (!disk->Mounted())
            QSKIP("needs a file system of its own (mount), which this process may not make");
        dataHome = disk->Path();
    }
    const QString base = dataHome + "/" + kProductTitle;
    QString scenario = work.path() + "/world.json";
    QVERIFY(Write(scenario, kScenario));

    switch (row.place) {
    case Place::AppFolder:
        if (!row.file.isEmpty())
            QVERIFY(Write(appFolder + "/" + row.file, row.content));
        break;
    case Place::UserFolder:
        QVERIFY(Write(base + "/" + row.file, row.content));
        break;
    case Place::Scenario:
        QVERIFY(Write(scenario, row.content));
        break;
    case Place::FullDisk:
    case Place::ReadOnlyDisk:
        // Start-up finds its folders in place; the disk then takes no writes.
        for (const char *folder : {"/Log", "/Device_Info", "/Exception", "/usersetting/SensorPage"})
            QVERIFY(QDir().mkpath(base + QLatin1String(folder)));
        QVERIFY(Write(base + "/Macro.ini", "[Language]\nLanguage=0\n"));
        QVERIFY(Write(base + "/" + row.file, row.content));
        QVERIFY(row.place == Place::FullDisk ? disk->FillUp() : disk->MakeReadOnly());
        break;
    }

    QProcessEnvironment environment =
        ProgramProcess::Environment(scenario, work.path() + "/world-control", appFolder);
    environment.insert("XDG_DATA_HOME", dataHome);
    environment.insert("HOME", work.path());
    ProgramProcess program(row.fills ? kDevicePage : kProgram, environment);
    program.Start();
    QVERIFY2(program.Process().waitForStarted(ProgramProcess::StartTimeoutMs()), qPrintable(program.Process().errorString()));
    if (row.fills) {
        QVERIFY2(TestSupport::WaitFor([&] { return FilledMs(program.OutputLines()) >= 0 || !program.Running(); },
                                      ProgramProcess::StartTimeoutMs()),
                 "the device page was not filled");
        QVERIFY2(FilledMs(program.OutputLines()) >= 0, qPrintable(program.OutputLines().join('\n') + program.ErrorText()));
        // Filled, the program idles: its CPU time so far is what the fill cost.
        const qint64 cpuMs = CpuMsOf(program.Process().processId());
        QVERIFY(cpuMs >= 0);
        if (m_plainFillCpuMs < 0) {
            m_plainFillCpuMs = cpuMs;
        } else {
            // Generous, far below the seconds of CPU a runaway loop burns.
            const qint64 allowedMs = 3 * m_plainFillCpuMs + 3000;
            QVERIFY2(cpuMs <= allowedMs, qPrintable(QString("filling took %1 ms of CPU, with sound files %2 ms")
                                                        .arg(cpuMs)
                                                        .arg(m_plainFillCpuMs)));
        }
    } else {
        QVERIFY2(program.WaitShown("DialogMain"), qPrintable(program.ErrorText()));
    }

    QVERIFY(program.Signal(SIGTERM));
    QVERIFY2(program.WaitEnded(), "SIGTERM did not end the program");
    QCOMPARE(program.Process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.Process().exitCode(), 0);
    const QString errors = program.ErrorText();
    QVERIFY2(!errors.contains("runtime error") && !errors.contains("Sanitizer"), qPrintable(errors));
    if (disk) {
        QCOMPARE(ReadAll(base + "/" + row.file), row.content);
        disk->Release();
    }
}

VOGM_TEST_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
