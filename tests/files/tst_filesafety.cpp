// The program's own files on failing disks and hostile files in their place:
// every settings writer keeps the old file byte for byte and reports false on
// a full or read-only file system, and every reader takes a FIFO (or any other
// non-regular file) for a missing file instead of blocking on it.
#include "configini.h"
#include "devicecache.h"
#include "hidusb_control.h"
#include "languagereader.h"
#include "macroini.h"
#include "paths.h"
#include "registrystore.h"
#include "sensor.h"
#include "sensordescription.h"
#include "smallfilesystem.h"
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

#include <sys/stat.h>

#include <cstring>
#include <memory>

namespace {

enum class Writer { Registry, MacroIni, LevelIni, Cache };
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

}  // namespace

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
    void nonRegularFilesReadAsMissing_data();
    void nonRegularFilesReadAsMissing();
    void macroIniTextsRoundTripThroughQtSettings_data();
    void macroIniTextsRoundTripThroughQtSettings();
};

void TestFileSafety::temporaryNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("temporary");
    QTest::newRow("registry") << "registry.ini.AbCdEf" << true;
    QTest::newRow("cache") << "Device_CID12_MID02.bin.x1Y2z3" << true;
    QTest::newRow("the file itself") << "registry.ini" << false;
    QTest::newRow("five letters") << "registry.ini.AbCdE" << false;
    QTest::newRow("seven letters") << "registry.ini.AbCdEfG" << false;
    QTest::newRow("not letters") << "registry.ini.AbC-Ef" << false;
    QTest::newRow("target without extension") << "notes.backup" << false;
    QTest::newRow("hidden target") << ".ini.AbCdEf" << false;
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
        QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression("\\.[A-Za-z0-9]{6}$"));
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
