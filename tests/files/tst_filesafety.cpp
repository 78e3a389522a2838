// The program's own files on failing disks and hostile files in their place:
// every writer keeps the old file byte for byte and reports false on a full or
// read-only file system or past the process's file-size limit, never follows
// a link out of the per-user folders, and every reader takes a FIFO (or any
// other non-regular file) for a missing file instead of blocking on it.
#include "autostart.h"
#include "configini.h"
#include "devicecache.h"
#include "hidusb_control.h"
#include "languagereader.h"
#include "macroexport.h"
#include "macrofile.h"
#include "macroini.h"
#include "paths.h"
#include "registrystore.h"
#include "sensor.h"
#include "sensordescription.h"
#include "settingsfile.h"
#include "smallfilesystem.h"
#include "startup.h"
#include "testsupport.h"
#include "updataparam.h"
#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace {

enum class Writer { Registry, MacroIni, LevelIni, Cache };
enum class LimitedWriter { MacroSave, MacroExport, SettingsExport, Registry, MacroIni, Autostart, Cache };
enum class Failure { FullDisk, ReadOnly };

QByteArray Content(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool MakeFifo(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

FlashDataMap ImageFilledWith(uint8_t byte)
{
    FlashDataMap image;
    std::memset(static_cast<void *>(&image), byte, sizeof image);
    return image;
}

// Points the per-user base folder at `dataHome` for the life of the object.
class BaseFolderAt
{
public:
    explicit BaseFolderAt(const QString &dataHome) : m_previous(qgetenv("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
        QDir().mkpath(Paths::BaseFolder() + "/usersetting/SensorPage");
        QDir().mkpath(Paths::BaseFolder() + "/Device_Info");
    }
    ~BaseFolderAt() { qputenv("XDG_DATA_HOME", m_previous); }

private:
    QByteArray m_previous;
};

const char kCacheName[] = "Device_CID12_MID02.bin";

// Temporary files of whole-file writes in `folder`.
QStringList Temporaries(const QString &folder)
{
    QStringList found;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (WholeFile::IsTemporaryName(name))
            found << name;
    }
    return found;
}

bool MakeLink(const QString &target, const QString &link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

// What each writer kind writes: content larger than `bytes`.
MacroItems ManyMacroItems(int bytes)
{
    MacroItems items;
    while (items.size() * 8 < bytes)
        items.append({QStringLiteral("A"), int(items.size() % 2)});
    return items;
}

QVector<MacroExport::EncodeItem> ManyExportItems(int bytes)
{
    QVector<MacroExport::EncodeItem> items;
    for (const MacroItem &item : ManyMacroItems(bytes))
        items.append({item, QIcon()});
    return items;
}

// Runs `write` in a child process that set up SIGXFSZ as the program's
// start-up does and then lowered its file-size limit to `limitBytes`. The
// child reports what `write` returned; false here for a child that died.
bool RanAndReported(const std::function<bool()> &write, rlim_t limitBytes, bool *returned)
{
    const pid_t child = ::fork();
    if (child == 0) {
        Startup::IgnoreFileSizeSignal();
        struct rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = limitBytes;
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            ::_exit(3);
        ::_exit(write() ? 1 : 0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return false;
    *returned = WEXITSTATUS(status) == 1;
    return true;
}

}  // namespace

Q_DECLARE_METATYPE(LimitedWriter)
Q_DECLARE_METATYPE(Writer)
Q_DECLARE_METATYPE(Failure)

class TestFileSafety : public QObject
{
    Q_OBJECT
private slots:
    void temporaryNames_data();
    void temporaryNames();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void fileSizeLimitKeepsTheOldFile_data();
    void fileSizeLimitKeepsTheOldFile();
    void perUserFilesNeverFollowLinks_data();
    void perUserFilesNeverFollowLinks();
    void exportsFollowTheLinkPickedAndJournalTheirTemporary();
    void nonRegularFilesReadAsMissing_data();
    void nonRegularFilesReadAsMissing();
    void macroIniTextsRoundTripThroughQtSettings_data();
    void macroIniTextsRoundTripThroughQtSettings();
};

void TestFileSafety::temporaryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("temporary");
    QTest::newRow("registry") << "registry.ini.vogm-save-AbCdEf" << true;
    QTest::newRow("cache") << "Device_CID12_MID02.bin.vogm-save-x1Y2z3" << true;
    QTest::newRow("target without extension") << "settings.vogm-save-000000" << true;
    QTest::newRow("the file itself") << "registry.ini" << false;
    QTest::newRow("another program's temporary") << "registry.ini.AbCdEf" << false;
    QTest::newRow("five letters") << "registry.ini.vogm-save-AbCdE" << false;
    QTest::newRow("seven letters") << "registry.ini.vogm-save-AbCdEfG" << false;
    QTest::newRow("not letters") << "registry.ini.vogm-save-AbC-Ef" << false;
    QTest::newRow("no target") << ".vogm-save-AbCdEf" << false;
}

void TestFileSafety::temporaryNames()
{
    QFETCH(QString, name);
    QFETCH(bool, temporary);
    QCOMPARE(WholeFile::IsTemporaryName(name), temporary);
}

void TestFileSafety::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<Writer>("writer");
    QTest::addColumn<Failure>("failure");
    const std::pair<const char *, Writer> writers[] = {{"registry.ini", Writer::Registry},
                                                       {"Macro.ini", Writer::MacroIni},
                                                       {"Level.ini", Writer::LevelIni},
                                                       {"cache", Writer::Cache}};
    for (const auto &writer : writers) {
        QTest::addRow("%s, full disk", writer.first) << writer.second << Failure::FullDisk;
        QTest::addRow("%s, read-only folder", writer.first) << writer.second << Failure::ReadOnly;
    }
}

void TestFileSafety::failedWriteKeepsTheOldFile()
{
    QFETCH(Writer, writer);
    QFETCH(Failure, failure);
    SmallFileSystem disk;
    QVERIFY(disk.IsValid());
    if (failure == Failure::FullDisk && !disk.Mounted())
        QSKIP("no tmpfs to fill here; fileSizeLimitKeepsTheOldFile covers the file-size limit");
    const BaseFolderAt base(disk.Path());
    const QString folder = Paths::BaseFolder();

    // Each writer first writes its file once, as a program run leaves it.
    std::unique_ptr<Sensor> page;
    QString path;
    switch (writer) {
    case Writer::Registry:
        path = RegistryStore::DefaultFilePath();
        QVERIFY(RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), "MouseVer182", "v1.2"));
        QVERIFY(RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), "UpdateFailInfo", "1"));
        break;
    case Writer::MacroIni:
        path = MacroIni::DefaultPath();
        QVERIFY(MacroIni::GetInstance()->SetValue("Language", "Language", "3"));
        QVERIFY(MacroIni::GetInstance()->SetValue("AutoStart", "Enable", "1"));
        break;
    case Writer::LevelIni:
        page = std::make_unique<Sensor>();
        path = page->PageFolder() + "/Level.ini";
        QVERIFY(page->WriteLevelIni(5));
        break;
    case Writer::Cache:
        path = DeviceCacheFolder() + "/" + kCacheName;
        QVERIFY(SaveDeviceCache(kCacheName, ImageFilledWith(0x11)));
        break;
    }
    const QByteArray before = Content(path);
    QVERIFY(!before.isEmpty());

    QVERIFY2(failure == Failure::FullDisk ? disk.FillUp() : disk.MakeReadOnly(), qPrintable(disk.Kind()));
    bool written = true;
    switch (writer) {
    case Writer::Registry:
        written = RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), "MouseVer183", "v1.3");
        break;
    case Writer::MacroIni:
        written = MacroIni::GetInstance()->SetValue("Language", "Language", "5");
        break;
    case Writer::LevelIni:
        written = page->WriteLevelIni(7);
        break;
    case Writer::Cache:
        written = SaveDeviceCache(kCacheName, ImageFilledWith(0x22));
        break;
    }
    QVERIFY2(!written, qPrintable(disk.Kind()));
    QCOMPARE(Content(path), before);
    const QStringList leftovers =
        Temporaries(QFileInfo(path).absolutePath());
    QCOMPARE(leftovers, QStringList());
    if (writer == Writer::MacroIni) {
        // The program goes on with the choice it made; the file keeps the old one.
        QCOMPARE(MacroIni::GetInstance()->Value("Language", "Language"), QString("5"));
        QCOMPARE(MacroIni::GetInstance()->Value("AutoStart", "Enable"), QString("1"));
    }

    // Once the disk takes writes again, the next write stores everything.
    disk.Release();
    if (failure == Failure::FullDisk && disk.Mounted())
        QVERIFY(QFile::remove(disk.Path() + "/filler"));
    if (writer == Writer::MacroIni) {
        QVERIFY(MacroIni::GetInstance()->SetValue("FindNew", "IsShow", "0"));
        const QVariantMap stored = MacroIni::ReadFile(path);
        QCOMPARE(stored.value("Language/Language").toString(), QString("5"));
        QCOMPARE(stored.value("FindNew/IsShow").toString(), QString("0"));
    }
    page.reset();
}

void TestFileSafety::fileSizeLimitKeepsTheOldFile_data()
{
    QTest::addColumn<LimitedWriter>("writer");
    QTest::newRow("macro Save") << LimitedWriter::MacroSave;
    QTest::newRow("macro export") << LimitedWriter::MacroExport;
    QTest::newRow("settings export") << LimitedWriter::SettingsExport;
    QTest::newRow("registry.ini") << LimitedWriter::Registry;
    QTest::newRow("Macro.ini") << LimitedWriter::MacroIni;
    QTest::newRow("autostart entry") << LimitedWriter::Autostart;
    QTest::newRow("device cache") << LimitedWriter::Cache;
}

// Each writer runs in a child with a file-size limit below what it writes.
// Without SIGXFSZ ignored the child died at the first byte past the limit;
// now the write reports false, the old file stays and no temporary is left.
void TestFileSafety::fileSizeLimitKeepsTheOldFile()
{
    QFETCH(LimitedWriter, writer);
    constexpr int kLimit = 4096;
    QTemporaryDir home;
    QTemporaryDir exports;  // a folder the user picked, outside the per-user folders
    const BaseFolderAt base(home.path());
    QDir().mkpath(Paths::BaseFolder() + "/usersetting/MacroPage");
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));

    QString path;
    std::function<bool(bool large)> write;
    const MacroItems fewItems = ManyMacroItems(40);
    switch (writer) {
    case LimitedWriter::MacroSave:
        path = MacroFile::PathOf(Paths::BaseFolder() + "/usersetting/MacroPage", "m1");
        write = [&](bool large) { return MacroFile::Write(path, 254, large ? ManyMacroItems(3 * kLimit) : fewItems); };
        break;
    case LimitedWriter::MacroExport:
        path = exports.filePath("m1.ini");
        write = [&](bool large) {
            return WholeFile::Write(path, MacroExport::Encode("m1", 254, ManyExportItems(large ? 3 * kLimit : 40)));
        };
        break;
    case LimitedWriter::SettingsExport:
        path = exports.filePath("settings.bin");
        write = [&](bool large) { return WholeFile::Write(path, SettingsFile::Content("PAW3395", ImageFilledWith(large ? 0x22 : 0x11))); };
        break;
    case LimitedWriter::Registry:
        path = RegistryStore::DefaultFilePath();
        write = [&](bool large) {
            return RegistryStore().SetValue(RegistryStore::ProductKey(), "Note", QString(large ? 3 * kLimit : 4, 'x'));
        };
        break;
    case LimitedWriter::MacroIni:
        path = MacroIni::DefaultPath();
        write = [&](bool large) { return MacroIni(path).SetValue("Language", "Note", QString(large ? 3 * kLimit : 4, 'x')); };
        break;
    case LimitedWriter::Autostart:
        path = Autostart::EntryPath();
        write = [&](bool large) { return Autostart::Enable("/opt/" + QString(large ? 3 * kLimit : 4, 'p') + "/VeltraneOrvandel"); };
        break;
    case LimitedWriter::Cache:
        path = DeviceCacheFolder() + "/" + kCacheName;
        write = [&](bool large) { return SaveDeviceCache(kCacheName, ImageFilledWith(large ? 0x22 : 0x11)); };
        break;
    }
    QVERIFY(write(false));
    const QByteArray before = Content(path);
    QVERIFY(!before.isEmpty());
    // Files of a fixed size get a limit of half their size.
    const bool fixedSize = writer == LimitedWriter::SettingsExport || writer == LimitedWriter::Cache;
    const rlim_t limit = fixedSize ? rlim_t(before.size() / 2) : rlim_t(kLimit);

    bool returned = true;
    QVERIFY2(RanAndReported([&] { return write(true); }, limit, &returned), "the writer's process died");
    qputenv("XDG_CONFIG_HOME", configHome);
    QVERIFY(!returned);
    QCOMPARE(Content(path), before);
    QCOMPARE(Temporaries(QFileInfo(path).absolutePath()), QStringList());
    QCOMPARE(WholeFile::JournaledSaves(), QStringList());
}

void TestFileSafety::perUserFilesNeverFollowLinks_data()
{
    QTest::addColumn<QString>("linked");  // below the base folder
    QTest::addColumn<QString>("written");
    QTest::newRow("dangling macro file") << "usersetting/MacroPage/m1.ini" << "usersetting/MacroPage/m1.ini";
    QTest::newRow("registry.ini to a file") << "registry.ini" << "registry.ini";
    QTest::newRow("linked subfolder") << "usersetting/SensorPage" << "usersetting/SensorPage/Level.ini";
}

// A link in the per-user folders, to a file, a folder or nowhere, makes the
// write fail: nothing is created or changed where it points.
void TestFileSafety::perUserFilesNeverFollowLinks()
{
    QFETCH(QString, linked);
    QFETCH(QString, written);
    QTemporaryDir home;
    QTemporaryDir elsewhere;
    const BaseFolderAt base(home.path());
    QDir().mkpath(Paths::BaseFolder() + "/usersetting/MacroPage");
    const QString link = Paths::BaseFolder() + "/" + linked;
    QDir(link).removeRecursively();
    const bool toFile = linked == "registry.ini";
    const QString target = elsewhere.filePath(toFile ? "kept.txt" : linked.endsWith(".ini") ? "new.txt" : "folder");
    if (toFile)
        QVERIFY(WholeFile::Write(target, "old"));
    else if (!linked.endsWith(".ini"))
        QVERIFY(QDir().mkpath(target));
    QVERIFY(MakeLink(target, link));
    const QStringList outsideBefore = QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    QVERIFY(!WholeFile::Write(Paths::BaseFolder() + "/" + written, "new"));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), outsideBefore);
    if (toFile)
        QCOMPARE(Content(target), QByteArray("old"));
    else if (!linked.endsWith(".ini"))
        QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(QFileInfo(link).isSymLink());
}

// An export to a link the user picked replaces the file it points at; the
// temporary file is in the journal only while the write runs.
void TestFileSafety::exportsFollowTheLinkPickedAndJournalTheirTemporary()
{
    QTemporaryDir home;
    QTemporaryDir picked;
    const BaseFolderAt base(home.path());
    QVERIFY(QDir().mkpath(picked.filePath("real")));
    QVERIFY(MakeLink(picked.filePath("real/settings.bin"), picked.filePath("settings.bin")));
    QVERIFY(WholeFile::Write(picked.filePath("settings.bin"), "first"));
    QVERIFY(WholeFile::Write(picked.filePath("settings.bin"), "second"));
    QVERIFY(QFileInfo(picked.filePath("settings.bin")).isSymLink());
    QCOMPARE(Content(picked.filePath("real/settings.bin")), QByteArray("second"));
    QCOMPARE(Temporaries(picked.filePath("real")), QStringList());
    QCOMPARE(WholeFile::JournaledSaves(), QStringList());
    QVERIFY(!QFile::exists(WholeFile::JournalPath()));
}

void TestFileSafety::nonRegularFilesReadAsMissing_data()
{
    QTest::addColumn<QString>("reader");
    for (const char *reader : {"registry.ini", "Macro.ini", "Level.ini", "Config.ini", "language file",
                               "driver_sensor.h", "cache file", "import file", "scenario file"})
        QTest::newRow(reader) << QString::fromLatin1(reader);
}

// Each reader meets a FIFO where its file should be. Before the readers
// checked, each of these blocked for ever in open(); now each returns as for a
// missing file.
void TestFileSafety::nonRegularFilesReadAsMissing()
{
    QFETCH(QString, reader);
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo");
    QVERIFY(MakeFifo(fifo));

    if (reader == "registry.ini") {
        RegistryStore store(fifo);
        QCOMPARE(store.Value(RegistryStore::MouseDriveTestKey(), "MouseVer182", "none"), QString("none"));
    } else if (reader == "Macro.ini") {
        MacroIni macro(fifo);
        QCOMPARE(macro.Value("Language", "Language"), QString());
    } else if (reader == "Level.ini") {
        QCOMPARE(Sensor::LevelIniNumber(fifo), 1);
    } else if (reader == "Config.ini") {
        ConfigIni::GetInstance()->UseFileForTesting(fifo);
        QCOMPARE(ConfigIni::GetInstance()->Value("Option", "DeviceTotal"), QString());
        QVERIFY(ConfigIni::GetInstance()->ValueList("Option", "USB_PID").isEmpty());
        ConfigIni::GetInstance()->UseFileForTesting(ConfigIni::DefaultPath());
    } else if (reader == "language file") {
        LanguageReader texts(QStringLiteral("DialogMain"), {});
        QCOMPARE(texts.LoadFile(fifo), LanguageReader::Outcome::NoFile);
    } else if (reader == "driver_sensor.h") {
        const SensorDescription description = ReadSensorDescription(fifo);
        QVERIFY(description.DefineNames.isEmpty());
    } else if (reader == "cache file") {
        const BaseFolderAt base(dir.path());
        QVERIFY(MakeFifo(DeviceCacheFolder() + "/" + kCacheName));
        FlashDataMap image = ImageFilledWith(0x33);
        QVERIFY(!LoadDeviceCache(kCacheName, &image));
        QCOMPARE(image.DpiLevelCount, uint8_t(0x33));
    } else if (reader == "import file") {
        FlashDataMap image{};
        QCOMPARE(UpDataParam::CheckImportFile(fifo, &image), 1 /* unreadable */);
    } else if (reader == "scenario file") {
        HidSim::World world;
        QString error;
        QVERIFY(!HidSim::LoadScenario(fifo, &world, &error));
        QVERIFY2(error.contains("not a regular file"), qPrintable(error));
    }
}

void TestFileSafety::macroIniTextsRoundTripThroughQtSettings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("qtWritesIt");  // Qt 5 writes characters outside the BMP as "??"
    QTest::newRow("digit") << "3" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("blanks around") << "  a b  " << true;
    QTest::newRow("comma, semicolon, equals") << "a,b;c=d" << true;
    QTest::newRow("quotes and backslashes") << "say \"hi\" \\ there" << true;
    QTest::newRow("tab first and last") << "\tx\t" << true;
    QTest::newRow("control characters") << QString("tab\there\nline\r\x01" "1f") << true;
    QTest::newRow("at sign first") << "@Invalid()" << true;
    QTest::newRow("non-ASCII") << QString::fromUtf8("简体中文 Русский") << true;
    QTest::newRow("outside the BMP") << QString::fromUtf8("\xF0\x9F\x96\xB1 mouse") << false;
    QTest::newRow("other blanks around") << QString::fromUtf8("\xE3\x80\x80x\xC2\xA0") << true;
}

// The store writes its own INI text; Qt's reader (which wrote the file in
// earlier versions) and the store's reader must both read it back, and the
// store must read what Qt writes.
void TestFileSafety::macroIniTextsRoundTripThroughQtSettings()
{
    QFETCH(QString, text);
    QFETCH(bool, qtWritesIt);
    QTemporaryDir dir;
    const QString ours = dir.filePath("ours.ini");
    QVariantMap values{{"Language/Language", text}, {"General/Key", text}, {"top", text}, {"A b/c%d", text}};
    QVERIFY(WholeFile::Write(ours, MacroIni::Serialised(values)));
    QCOMPARE(MacroIni::ReadFile(ours), values);
    {
        QSettings qt(ours, QSettings::IniFormat);
        qt.setIniCodec(QTextCodec::codecForName("UTF-8"));
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            QCOMPARE(qt.value(it.key()).toString(), text);
    }
    if (!qtWritesIt)
        return;
    const QString theirs = dir.filePath("theirs.ini");
    {
        QSettings qt(theirs, QSettings::IniFormat);
        qt.setIniCodec(QTextCodec::codecForName("UTF-8"));
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            qt.setValue(it.key(), it.value());
    }
    QCOMPARE(MacroIni::ReadFile(theirs), values);
}

VOGM_TEST_MAIN(TestFileSafety)
#include "tst_filesafety.moc"
