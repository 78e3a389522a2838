#include "crashdump.h"
#include "startup.h"
#include "testsupport.h"

#include <QDate>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

namespace {

constexpr int kProcessTimeoutMs = 60000;  // generous: the sanitizer tree starts slowly
constexpr qint64 kDay = 86400;
constexpr qint64 kHour = 3600;

struct Entry
{
    QString name;
    qint64 ageSeconds;  // negative: changed in the future
    bool folder;
};
using Entries = QVector<Entry>;

bool SetModificationTime(const QString &path, qint64 secondsSinceEpoch)
{
    struct timespec times[2] = {};
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(secondsSinceEpoch);
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

bool MakeFile(const QString &path, const QByteArray &content = "x")
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Every file and folder below `dir`, relative and sorted.
QStringList Tree(const QString &dir)
{
    QStringList found;
    QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(dir).relativeFilePath(it.next());
    found.sort();
    return found;
}

QByteArray Tool(const QString &program, const QStringList &arguments)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(kProcessTimeoutMs) || tool.exitCode() != 0)
        return QByteArray();
    return tool.readAllStandardOutput();
}

// The GNU build id of an ELF file, as readelf shows it.
QByteArray BuildId(const QString &file)
{
    const QRegularExpressionMatch found = QRegularExpression(QStringLiteral("Build ID: ([0-9a-f]+)"))
                                              .match(QString::fromLatin1(Tool("readelf", {"-n", file})));
    return found.hasMatch() ? found.captured(1).toLatin1() : QByteArray("(none found)");
}

// The backtrace line of a dump whose symbol contains `function`.
QByteArray FrameNaming(const QByteArray &dump, const QByteArray &function)
{
    for (const QByteArray &line : dump.split('\n')) {
        if (line.startsWith('#') && line.contains(function))
            return line;
    }
    return QByteArray();
}

// addr2line's function names (inlined ones too) for the "<module>+0x<offset>"
// of a backtrace line.
QByteArray Resolve(const QByteArray &frame)
{
    const QRegularExpressionMatch found =
        QRegularExpression(QStringLiteral("^#\\d+ 0x[0-9a-f]+ (\\S+)\\+(0x[0-9a-f]+)")).match(QString::fromLatin1(frame));
    if (!found.hasMatch())
        return QByteArray();
    return Tool("addr2line", {"-f", "-i", "-C", "-e", found.captured(1), found.captured(2)});
}

QString BaseFolderFor(const QString &dataHome)
{
    return dataHome + "/" + QString::fromLatin1(Paths::kProductTitle);
}

void StartHelper(QProcess &helper, const QString &dataHome, const QStringList &arguments,
                 const QString &timeZone = QString())
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dataHome);
    if (!timeZone.isEmpty())
        environment.insert("TZ", timeZone);
    helper.setProcessEnvironment(environment);
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(STARTUP_HELPER, arguments);
}

// Reads the helper's output until `marker` appears; false when it ends first.
bool WaitForOutput(QProcess &helper, const QByteArray &marker, QByteArray *seen = nullptr)
{
    const QDeadlineTimer deadline(kProcessTimeoutMs);
    QByteArray output;
    while (!output.contains(marker)) {
        if (!helper.waitForReadyRead(int(deadline.remainingTime())))
            break;
        output += helper.readAllStandardOutput();
    }
    if (seen)
        *seen = output;
    return output.contains(marker);
}

void StopHelper(QProcess &helper)
{
    helper.kill();
    helper.waitForFinished(kProcessTimeoutMs);
}

QFileInfoList DumpFiles(const QString &dataHome)
{
    return QDir(BaseFolderFor(dataHome) + "/Exception").entryInfoList({"*.dmp"}, QDir::Files);
}

// A date-time without zone, for comparing wall-clock times of other zones.
QDateTime WallClock(const QDateTime &moment, int utcOffsetSeconds)
{
    const QDateTime shifted = moment.toOffsetFromUtc(utcOffsetSeconds);
    return QDateTime(shifted.date(), QTime(shifted.time().hour(), shifted.time().minute(), shifted.time().second()),
                     Qt::UTC);
}

}  // namespace

Q_DECLARE_METATYPE(Entries)

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void firstStartPreparesFoldersAndLaterStartsPurge();
    void purgeOldFiles_data();
    void purgeOldFiles();
    void secondStartExitsWhileFirstRuns();
    void startsWhenBaseFolderIsUnusable();
    void interruptedSavesGoAtTheStartThatHoldsTheLock();
    void journaledSavesGoAndNothingElse();
    void startIgnoresTheFileSizeSignal();
    void logHandlerWritesDebugLinesOnly();
    void qtConfIsCompiledIn();
    void environmentForQt_data();
    void environmentForQt();
    void dumpNameFromTime_data();
    void dumpNameFromTime();
    void crashLeavesOneDump_data();
    void crashLeavesOneDump();
    void dumpNamedByLocalTime_data();
    void dumpNamedByLocalTime();
    void noDumpWithoutHandler();
};

void TestStartup::firstStartPreparesFoldersAndLaterStartsPurge()
{
    QTemporaryDir dataHome;
    const QString base = BaseFolderFor(dataHome.path());
    QProcess first;
    StartHelper(first, dataHome.path(), {"start"});
    QVERIFY(WaitForOutput(first, "STARTED"));
    StopHelper(first);

    QStringList expected = {"Macro.ini", "Device_Info", "Exception", "Log", "usersetting",
                            "usersetting/MacroPage", "usersetting/MainPage", "usersetting/SensorPage"};
    expected << QString::fromLatin1(Paths::kProductTitle) + ".lock";
    expected.sort();
    QCOMPARE(Tree(base), expected);
    QCOMPARE(QFileInfo(base + "/Macro.ini").size(), 0);

    // The next start keeps the user's Macro.ini and purges both folders.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QVERIFY(MakeFile(base + "/Macro.ini", "[Language]\nLanguage=3\n"));
    for (const QString folder : {"/Log", "/Exception"}) {
        for (const QString name : {"/a.old", "/b.old", "/c.old"}) {
            QVERIFY(MakeFile(base + folder + name));
            QVERIFY(SetModificationTime(base + folder + name, now - 10 * kDay));
        }
        QVERIFY(MakeFile(base + folder + "/today.txt"));
        QVERIFY(QDir().mkdir(base + folder + "/kept"));
        QVERIFY(SetModificationTime(base + folder + "/kept", now - 30 * kDay));
    }
    QProcess second;
    StartHelper(second, dataHome.path(), {"start"});
    QVERIFY(WaitForOutput(second, "STARTED"));
    StopHelper(second);

    QCOMPARE(Tree(base + "/Log"), QStringList({"kept", "today.txt"}));
    QCOMPARE(Tree(base + "/Exception"), QStringList({"kept", "today.txt"}));
    QFile macroIni(base + "/Macro.ini");
    QVERIFY(macroIni.open(QIODevice::ReadOnly));
    QCOMPARE(macroIni.readAll(), QByteArray("[Language]\nLanguage=3\n"));
}

void TestStartup::purgeOldFiles_data()
{
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<QStringList>("kept");

    QTest::newRow("10 days old goes, today stays")
        << Entries{{"old.txt", 10 * kDay, false}, {"today.txt", kHour, false}} << QStringList{"today.txt"};
    QTest::newRow("exactly 7 whole days stays") << Entries{{"seven.dmp", 7 * kDay + kHour, false}}
                                                << QStringList{"seven.dmp"};
    QTest::newRow("a minute short of 8 days stays") << Entries{{"almost.dmp", 8 * kDay - 60, false}}
                                                    << QStringList{"almost.dmp"};
    QTest::newRow("8 whole days goes") << Entries{{"eight.dmp", 8 * kDay + 60, false}} << QStringList{};
    QTest::newRow("changed in the future stays") << Entries{{"future.txt", -2 * kDay, false}}
                                                 << QStringList{"future.txt"};
    QTest::newRow("old subfolder stays and is not entered")
        << Entries{{"sub", 30 * kDay, true}, {"sub/inner.txt", 30 * kDay, false}}
        << QStringList{"sub", "sub/inner.txt"};
    QTest::newRow("three consecutive expired files all go")
        << Entries{{"a.txt", 10 * kDay, false}, {"b.txt", 11 * kDay, false}, {"c.txt", 12 * kDay, false},
                   {"d.txt", kHour, false}}
        << QStringList{"d.txt"};
}

void TestStartup::purgeOldFiles()
{
    QFETCH(Entries, entries);
    QFETCH(QStringList, kept);
    QTemporaryDir dir;
    for (const Entry &entry : entries)
        QVERIFY(entry.folder ? QDir(dir.path()).mkdir(entry.name) : MakeFile(dir.filePath(entry.name)));
    // Times last: creating a file inside a folder would touch the folder's time.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const Entry &entry : entries)
        QVERIFY(SetModificationTime(dir.filePath(entry.name), now - entry.ageSeconds));

    PurgeOldFiles(dir.path());

    QCOMPARE(Tree(dir.path()), kept);
}

void TestStartup::secondStartExitsWhileFirstRuns()
{
    QTemporaryDir dataHome;
    QProcess first;
    StartHelper(first, dataHome.path(), {"start"});
    QVERIFY(WaitForOutput(first, "STARTED"));

    QProcess second;
    StartHelper(second, dataHome.path(), {"start"});
    QVERIFY(second.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    const QByteArray secondOutput = second.readAllStandardOutput();
    QVERIFY(secondOutput.contains("ALREADY_RUNNING"));
    QVERIFY(!secondOutput.contains("STARTED"));
    QCOMPARE(first.state(), QProcess::Running);

    // A killed instance must not block the next start.
    first.kill();
    QVERIFY(first.waitForFinished(kProcessTimeoutMs));
    QCOMPARE(first.exitStatus(), QProcess::CrashExit);
    QCOMPARE(first.exitCode(), int(SIGKILL));
    QProcess third;
    StartHelper(third, dataHome.path(), {"start"});
    QByteArray thirdOutput;
    QVERIFY(WaitForOutput(third, "STARTED", &thirdOutput));
    QVERIFY(!thirdOutput.contains("ALREADY_RUNNING"));
    StopHelper(third);
}

void TestStartup::startsWhenBaseFolderIsUnusable()
{
    // XDG_DATA_HOME names a plain file: no folder, no lock file can be made.
    QTemporaryDir dir;
    const QString blocker = dir.filePath("not-a-folder");
    QVERIFY(MakeFile(blocker));
    QProcess helper;
    StartHelper(helper, blocker, {"start"});
    QVERIFY(WaitForOutput(helper, "STARTED"));
    StopHelper(helper);
}

void TestStartup::interruptedSavesGoAtTheStartThatHoldsTheLock()
{
    QTemporaryDir dataHome;
    const QString base = BaseFolderFor(dataHome.path());
    QProcess first;
    StartHelper(first, dataHome.path(), {"start"});
    QVERIFY(WaitForOutput(first, "STARTED"));

    // What a kill during saves leaves, and files that only look alike.
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QStringList leftovers = {"registry.ini.vogm-save-AbCdEf", "Macro.ini.vogm-save-q1W2e3",
                                   "Device_Info/Device_CID12_MID02.bin.vogm-save-x1Y2z3",
                                   "usersetting/SensorPage/Level.ini.vogm-save-QwErTy"};
    const QStringList others = {"registry.ini", "notes.backup", "registry.ini.AbCdEf",
                                "Device_Info/Device_CID12_MID02.bin"};
    for (const QString &name : leftovers + others) {
        QVERIFY(MakeFile(base + "/" + name));
        QVERIFY(SetModificationTime(base + "/" + name, now - kHour));
    }
    // A second start while the first runs leaves them: they may be the first one's saves.
    QProcess second;
    StartHelper(second, dataHome.path(), {"start"});
    QVERIFY(second.waitForFinished(kProcessTimeoutMs));
    QVERIFY(second.readAllStandardOutput().contains("ALREADY_RUNNING"));
    for (const QString &name : leftovers)
        QVERIFY2(QFile::exists(base + "/" + name), qPrintable(name));

    first.kill();
    QVERIFY(first.waitForFinished(kProcessTimeoutMs));
    // Changed after the next start begins: not a leftover of an earlier run.
    QVERIFY(MakeFile(base + "/Device_Info/Device_CID12_MID01.bin.vogm-save-NeWeR1"));
    QVERIFY(SetModificationTime(base + "/Device_Info/Device_CID12_MID01.bin.vogm-save-NeWeR1", now + kHour));
    QProcess third;
    StartHelper(third, dataHome.path(), {"start"});
    QVERIFY(WaitForOutput(third, "STARTED"));
    StopHelper(third);
    for (const QString &name : leftovers)
        QVERIFY2(!QFile::exists(base + "/" + name), qPrintable(name));
    for (const QString &name : others + QStringList{"Device_Info/Device_CID12_MID01.bin.vogm-save-NeWeR1"})
        QVERIFY2(QFile::exists(base + "/" + name), qPrintable(name));
}

// Temporaries of exports and of the autostart entry lie in folders the program
// does not own: the start removes exactly those the journal lists, never a
// file that only looks like one, a link, or an entry of another name.
void TestStartup::journaledSavesGoAndNothingElse()
{
    QTemporaryDir dataHome;
    QTemporaryDir exports;
    const QString base = BaseFolderFor(dataHome.path());
    QVERIFY(QDir().mkpath(base));
    const QString listed = exports.filePath("settings.bin.vogm-save-AbCdEf");
    const QString unlisted = exports.filePath("other.bin.vogm-save-QwErTy");
    const QString link = exports.filePath("linked.bin.vogm-save-LiNkEd");
    const QString wrongName = exports.filePath("notes.txt");
    for (const QString &path : {listed, unlisted, wrongName})
        QVERIFY(MakeFile(path));
    QVERIFY(::symlink(QFile::encodeName(wrongName).constData(), QFile::encodeName(link).constData()) == 0);
    const QString gone = exports.filePath("finished.bin.vogm-save-DoNe12");  // a save that ended
    QByteArray journal;
    for (const QString &path : {listed, link, wrongName, gone})
        journal += QFile::encodeName(path).toPercentEncoding("/") + '\n';
    QVERIFY(MakeFile(base + "/pending-saves.txt", journal));

    QProcess helper;
    StartHelper(helper, dataHome.path(), {"start"});
    QVERIFY(WaitForOutput(helper, "STARTED"));
    StopHelper(helper);
    QVERIFY(!QFile::exists(listed));
    QVERIFY(QFile::exists(unlisted));
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(QFile::exists(wrongName));
    QVERIFY(!QFile::exists(base + "/pending-saves.txt"));
}

// A write past the file-size limit must fail like one on a full disk, not end
// the program: its start-up ignores SIGXFSZ.
void TestStartup::startIgnoresTheFileSizeSignal()
{
    QTemporaryDir dataHome;
    QProcess helper;
    StartHelper(helper, dataHome.path(), {"start"});
    QVERIFY(WaitForOutput(helper, "STARTED"));
    QFile status(QStringLiteral("/proc/%1/status").arg(helper.processId()));
    QVERIFY(status.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch ignored =
        QRegularExpression("^SigIgn:\\s*([0-9a-f]+)$", QRegularExpression::MultilineOption).match(status.readAll());
    StopHelper(helper);
    QVERIFY(ignored.hasMatch());
    QVERIFY(ignored.captured(1).toULongLong(nullptr, 16) & (1ULL << (SIGXFSZ - 1)));
}

void TestStartup::logHandlerWritesDebugLinesOnly()
{
    const QString logFolder = Paths::BaseFolder() + "/Log";
    QVERIFY(QDir().mkpath(logFolder));
    const QString logFile = logFolder + "/" + QDate::currentDate().toString("yyyy-MM-dd") + ".txt";
    QFile::remove(logFile);
    const QMessageLogContext context("widgets/sample.cpp", 42, "void Sample()", "default");

    LogMessageHandler(QtWarningMsg, context, "a warning");
    LogMessageHandler(QtCriticalMsg, context, "a critical message");
    LogMessageHandler(QtInfoMsg, context, "an information");
    QVERIFY(!QFile::exists(logFile));

    LogMessageHandler(QtDebugMsg, context, "first %1 message");
    LogMessageHandler(QtDebugMsg, context, "second");
    QFile file(logFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split("\r\n");
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.last(), QString());
    const QString stamp = R"(\(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}\.\d{3}\))";
    QVERIFY2(QRegularExpression(R"(^Debug: File:\(widgets/sample\.cpp\) Line:\(42\) first %1 message )" + stamp + "$")
                 .match(lines[0])
                 .hasMatch(),
             qPrintable(lines[0]));
    QVERIFY2(QRegularExpression(R"(^Debug: File:\(widgets/sample\.cpp\) Line:\(42\) second )" + stamp + "$")
                 .match(lines[1])
                 .hasMatch(),
             qPrintable(lines[1]));
}

void TestStartup::qtConfIsCompiledIn()
{
    Q_INIT_RESOURCE(qtconf);
    QFile conf(":/qt/etc/qt.conf");
    QVERIFY(conf.open(QIODevice::ReadOnly | QIODevice::Text));
    const QByteArray text = conf.readAll();
    QVERIFY(text.startsWith("[Platforms]\nWindowsArguments = dpiawareness=0\n"));
    QVERIFY2(text.contains("\n[Paths]\nPlugins = plugins\n"), text.constData());
}

void TestStartup::environmentForQt_data()
{
    QTest::addColumn<QByteArray>("gl");        // "-": unset
    QTest::addColumn<QByteArray>("platform");  // "-": unset
    QTest::addColumn<QByteArray>("glAfter");
    QTest::addColumn<QByteArray>("platformAfter");

    QTest::newRow("nothing set") << QByteArray("-") << QByteArray("-") << QByteArray("none") << QByteArray("-");
    QTest::newRow("GL integration chosen by the user") << QByteArray("xcb_glx") << QByteArray("xcb")
                                                       << QByteArray("xcb_glx") << QByteArray("xcb");
    QTest::newRow("offscreen with arguments") << QByteArray("-") << QByteArray("offscreen:fontconfig")
                                              << QByteArray("none") << QByteArray("offscreen:fontconfig");
    QTest::newRow("a platform not brought along") << QByteArray("-") << QByteArray("wayland") << QByteArray("none")
                                                  << QByteArray("wayland;xcb");
    QTest::newRow("a list is left as it is") << QByteArray("-") << QByteArray("wayland;offscreen")
                                             << QByteArray("none") << QByteArray("wayland;offscreen");
}

void TestStartup::environmentForQt()
{
    QFETCH(QByteArray, gl);
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, glAfter);
    QFETCH(QByteArray, platformAfter);
    const QByteArray savedGl = qgetenv("QT_XCB_GL_INTEGRATION");
    const QByteArray savedPlatform = qgetenv("QT_QPA_PLATFORM");
    const auto set = [](const char *name, const QByteArray &value) {
        if (value == "-")
            qunsetenv(name);
        else
            qputenv(name, value);
    };
    set("QT_XCB_GL_INTEGRATION", gl);
    set("QT_QPA_PLATFORM", platform);
    const QByteArray savedTz = qgetenv("TZ");
    const bool tzWasSet = qEnvironmentVariableIsSet("TZ");
    qunsetenv("TZ");

    Startup::PrepareEnvironment();

    // The local zone is named, so the C library keeps the zone file it read.
    QCOMPARE(qgetenv("TZ"), QByteArray(":/etc/localtime"));
    qputenv("TZ", "Europe/Paris");
    Startup::PrepareEnvironment();
    QCOMPARE(qgetenv("TZ"), QByteArray("Europe/Paris"));
    if (tzWasSet)
        qputenv("TZ", savedTz);
    else
        qunsetenv("TZ");

    const QByteArray glNow = qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION") ? qgetenv("QT_XCB_GL_INTEGRATION") : "-";
    const QByteArray platformNow = qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ? qgetenv("QT_QPA_PLATFORM") : "-";
    set("QT_XCB_GL_INTEGRATION", savedGl.isEmpty() ? QByteArray("-") : savedGl);
    set("QT_QPA_PLATFORM", savedPlatform.isEmpty() ? QByteArray("-") : savedPlatform);
    QCOMPARE(glNow, glAfter);
    QCOMPARE(platformNow, platformAfter);
}

void TestStartup::dumpNameFromTime_data()
{
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("expected");

    const auto utc = [](int y, int mo, int d, int h, int mi, int s) {
        return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
    };
    QTest::newRow("plain afternoon") << utc(2025, 3, 3, 14, 5, 9) << 0 << "2025_03_03_14_05_09.dmp";
    QTest::newRow("epoch") << utc(1970, 1, 1, 0, 0, 0) << 0 << "1970_01_01_00_00_00.dmp";
    QTest::newRow("offset reaches a leap day") << utc(2024, 2, 28, 23, 30, 0) << 3600 << "2024_02_29_00_30_00.dmp";
    QTest::newRow("leap day ends") << utc(2024, 2, 29, 23, 59, 59) << 3600 << "2024_03_01_00_59_59.dmp";
    QTest::newRow("2000 is a leap year") << utc(2000, 2, 28, 23, 0, 0) << 7200 << "2000_02_29_01_00_00.dmp";
    QTest::newRow("2100 is not") << utc(2100, 2, 28, 23, 0, 0) << 7200 << "2100_03_01_01_00_00.dmp";
    QTest::newRow("west of UTC, back into the old year")
        << utc(2025, 1, 1, 2, 15, 0) << -5 * 3600 << "2024_12_31_21_15_00.dmp";
    QTest::newRow("half-hour offset") << utc(2025, 6, 30, 20, 0, 0) << 19800 << "2025_07_01_01_30_00.dmp";
}

void TestStartup::dumpNameFromTime()
{
    QFETCH(QDateTime, utc);
    QFETCH(int, offset);
    QFETCH(QString, expected);
    char name[CrashDumpHandler::kNameLength + 1];
    CrashDumpHandler::FormatDumpName(static_cast<time_t>(utc.toSecsSinceEpoch()), offset, name);
    QCOMPARE(QString::fromLatin1(name), expected);
}

void TestStartup::crashLeavesOneDump_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("signal");
    QTest::addColumn<QByteArray>("reason");
    QTest::addColumn<QByteArray>("detail");  // a frame of the backtrace, or the thread

    QTest::newRow("null pointer") << "segv" << int(SIGSEGV)
                                  << QByteArray("reason: signal 11 (SIGSEGV), code 1\naddress: 0x0000000000000000\n")
                                  << QByteArray("CrashOnNullPointer");
    QTest::newRow("truncated mapping") << "bus" << int(SIGBUS) << QByteArray("(SIGBUS)")
                                       << QByteArray("CrashOnTruncatedMapping");
    QTest::newRow("trap instruction") << "ill" << int(SIGILL) << QByteArray("(SIGILL)")
                                      << QByteArray("CrashOnTrap");
    QTest::newRow("raised SIGFPE") << "fpe" << int(SIGFPE) << QByteArray("(SIGFPE)")
                                   << QByteArray("CrashByRaisingSigfpe");
    QTest::newRow("abort") << "abort" << int(SIGABRT) << QByteArray("(SIGABRT)") << QByteArray("CrashByAbort");
    QTest::newRow("exception leaves a QThread")
        << "thread-exception" << int(SIGABRT)
        << QByteArray("reason: std::terminate\nexception: std::runtime_error: worker thread failed\n")
        << QByteArray("\"QThread\"\n");
}

void TestStartup::crashLeavesOneDump()
{
    QFETCH(QString, kind);
    QFETCH(int, signal);
    QFETCH(QByteArray, reason);
    QFETCH(QByteArray, detail);
    QTemporaryDir dataHome;  // no base folder yet: the handler makes the folders

    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
    QProcess helper;
    StartHelper(helper, dataHome.path(), {kind});
    QVERIFY(helper.waitForFinished(kProcessTimeoutMs));
    const QDateTime after = QDateTime::currentDateTime();
    QCOMPARE(helper.exitStatus(), QProcess::CrashExit);
    QCOMPARE(helper.exitCode(), signal);

    const QFileInfoList dumps = DumpFiles(dataHome.path());
    QCOMPARE(dumps.size(), 1);
    const QString name = dumps.first().fileName();
    QVERIFY2(QRegularExpression(R"(^\d{4}_\d{2}_\d{2}_\d{2}_\d{2}_\d{2}\.dmp$)").match(name).hasMatch(),
             qPrintable(name));
    const QDateTime named = QDateTime::fromString(dumps.first().completeBaseName(), "yyyy_MM_dd_hh_mm_ss");
    QVERIFY2(named >= before && named <= after, qPrintable(name));

    QFile dump(dumps.first().filePath());
    QVERIFY(dump.open(QIODevice::ReadOnly));
    const QByteArray text = dump.readAll();
    QVERIFY2(text.contains(reason), text.constData());
    QVERIFY2(text.contains("\nthread: "), text.constData());
    QVERIFY2(text.contains(detail), text.constData());
    QVERIFY2(text.contains("\nbacktrace:\n#0 0x"), text.constData());
    const QString helperFile = QFileInfo(QStringLiteral(STARTUP_HELPER)).canonicalFilePath();
    QVERIFY2(text.contains("\nprogram: " + QFile::encodeName(helperFile) + "\n"),
             text.constData());
    QVERIFY2(text.contains("\nbuild-id: " + BuildId(helperFile) + "\n"), text.constData());
    // The crashing function's frame names it and resolves with addr2line,
    // whatever the build type inlined.
    if (!detail.startsWith('"')) {
        const QByteArray frame = FrameNaming(text, detail);
        QVERIFY2(!frame.isEmpty(), text.constData());
        QVERIFY2(Resolve(frame).contains(detail), frame.constData());
    }
}

void TestStartup::dumpNamedByLocalTime_data()
{
    QTest::addColumn<QString>("timeZone");
    QTest::addColumn<int>("offset");
    QTest::newRow("UTC") << "UTC0" << 0;
    QTest::newRow("east, half hour") << "XYZ-05:30" << 19800;
    QTest::newRow("west") << "ABC+08" << -8 * 3600;
}

void TestStartup::dumpNamedByLocalTime()
{
    QFETCH(QString, timeZone);
    QFETCH(int, offset);
    QTemporaryDir dataHome;

    const QDateTime before = WallClock(QDateTime::currentDateTimeUtc(), offset);
    QProcess helper;
    StartHelper(helper, dataHome.path(), {"segv"}, timeZone);
    QVERIFY(helper.waitForFinished(kProcessTimeoutMs));
    const QDateTime after = WallClock(QDateTime::currentDateTimeUtc(), offset);

    const QFileInfoList dumps = DumpFiles(dataHome.path());
    QCOMPARE(dumps.size(), 1);
    QDateTime named = QDateTime::fromString(dumps.first().completeBaseName(), "yyyy_MM_dd_hh_mm_ss");
    named.setTimeSpec(Qt::UTC);
    QVERIFY2(named >= before && named <= after, qPrintable(dumps.first().fileName()));
}

void TestStartup::noDumpWithoutHandler()
{
    QTemporaryDir dataHome;
    QProcess helper;
    StartHelper(helper, dataHome.path(), {"segv", "--no-handler"});
    QVERIFY(helper.waitForFinished(kProcessTimeoutMs));
    // Killed by the signal, or (sanitizer tree) ended by the sanitizer's report.
    QVERIFY(helper.exitStatus() == QProcess::CrashExit || helper.exitCode() != 0);
    QVERIFY(DumpFiles(dataHome.path()).isEmpty());
}

VOGM_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
