// The per-user image cache: names, the file format, the round trip, files
// that are not whole, and saves that fail part-way.
#include "devicecache.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

FlashDataMap Pattern(uint8_t seed)
{
    FlashDataMap image;
    auto *bytes = reinterpret_cast<uint8_t *>(&image);
    for (int i = 0; i < kFlashDataMapSize; ++i)
        bytes[i] = uint8_t(i * 7 + seed);
    return image;
}

bool SameImage(const FlashDataMap &a, const FlashDataMap &b)
{
    return std::memcmp(&a, &b, sizeof(FlashDataMap)) == 0;
}

QString CacheFile(const QString &name)
{
    return TestSupport::BaseFolder() + QStringLiteral("/Device_Info/") + name;
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), qint64(content.size()));
}

QByteArray BigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (24 - 8 * i));
    return bytes;
}

// Makes writes beyond `bytes` fail with EFBIG, as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_saved;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace

class TestDeviceCache : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QDir(TestSupport::BaseFolder() + QStringLiteral("/Device_Info")).removeRecursively();
    }

    void namesCarryTwoUpperCaseHexDigits_data()
    {
        QTest::addColumn<int>("cid");
        QTest::addColumn<int>("mid");
        QTest::addColumn<QString>("name");
        QTest::newRow("05/1A") << 0x05 << 0x1A << "Device_CID05_MID1A.bin";
        QTest::newRow("0A/03") << 0x0A << 3 << "Device_CID0A_MID03.bin";
        QTest::newRow("12/FF") << 0x12 << 0xFF << "Device_CID12_MIDFF.bin";
    }

    void namesCarryTwoUpperCaseHexDigits()
    {
        QFETCH(int, cid);
        QFETCH(int, mid);
        QFETCH(QString, name);
        QCOMPARE(DeviceCacheName(uint8_t(cid), uint8_t(mid)), name);
    }

    void roundTripGivesTheIdenticalImage()
    {
        const QString name = DeviceCacheName(0x12, 2);
        const FlashDataMap saved = Pattern(3);
        QVERIFY(SaveDeviceCache(name, saved));

        const QByteArray file = ReadFile(CacheFile(name));
        QCOMPARE(file.size(), 10432);
        QCOMPARE(file.left(4), QByteArray::fromHex("000028BC"));
        QCOMPARE(file.mid(4), QByteArray(reinterpret_cast<const char *>(&saved), kFlashDataMapSize));

        FlashDataMap loaded = Pattern(99);
        QVERIFY(LoadDeviceCache(name, &loaded));
        QVERIFY(SameImage(loaded, saved));
    }

    void savingReplacesTheOldImage()
    {
        const QString name = DeviceCacheName(0x12, 1);
        QVERIFY(SaveDeviceCache(name, Pattern(1)));
        QVERIFY(SaveDeviceCache(name, Pattern(2)));
        FlashDataMap loaded{};
        QVERIFY(LoadDeviceCache(name, &loaded));
        QVERIFY(SameImage(loaded, Pattern(2)));
        QCOMPARE(QDir(TestSupport::BaseFolder() + QStringLiteral("/Device_Info")).entryList(QDir::Files),
                 QStringList{name});
    }

    void filesThatAreNotWholeLoadFalse_data()
    {
        QTest::addColumn<QByteArray>("content");
        const QByteArray whole = BigEndian32(10428) + QByteArray(kFlashDataMapSize, '\x5A');
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("length only") << BigEndian32(10428);
        QTest::newRow("empty block") << BigEndian32(0);
        QTest::newRow("truncated image") << whole.left(5000);
        QTest::newRow("one byte short") << whole.left(whole.size() - 1);
        QTest::newRow("shorter block") << BigEndian32(100) + QByteArray(100, '\x5A');
        QTest::newRow("longer block") << BigEndian32(10500) + QByteArray(10500, '\x5A');
        QTest::newRow("trailing bytes") << whole + QByteArray(8, '\x5A');
        QTest::newRow("length says more than file") << BigEndian32(0xFFFFFFF0u) + QByteArray(kFlashDataMapSize, '\x5A');
    }

    void filesThatAreNotWholeLoadFalse()
    {
        QFETCH(QByteArray, content);
        const QString name = DeviceCacheName(0x12, 3);
        WriteFile(CacheFile(name), content);
        FlashDataMap image = Pattern(7);
        QVERIFY(!LoadDeviceCache(name, &image));
        QVERIFY(SameImage(image, Pattern(7)));
    }

    void missingFileLoadsFalse()
    {
        FlashDataMap image = Pattern(7);
        QVERIFY(!LoadDeviceCache(DeviceCacheName(0x12, 9), &image));
        QVERIFY(SameImage(image, Pattern(7)));
    }

    // No image arrived yet: the name is empty and nothing is written.
    void emptyNameWritesNothing()
    {
        QVERIFY(!SaveDeviceCache(QString(), Pattern(1)));
        QVERIFY(!SaveDeviceCache(QStringLiteral("../escape.bin"), Pattern(1)));
        const QDir folder(TestSupport::BaseFolder() + QStringLiteral("/Device_Info"));
        QVERIFY(folder.entryList(QDir::Files).isEmpty());
        QVERIFY(!QFile::exists(TestSupport::BaseFolder() + QStringLiteral("/escape.bin")));
        FlashDataMap image = Pattern(7);
        QVERIFY(!LoadDeviceCache(QString(), &image));
        QVERIFY(SameImage(image, Pattern(7)));
    }

    // A disk that fills up in the middle of a save leaves the old file whole.
    void failedSaveKeepsTheOldFile()
    {
        const QString name = DeviceCacheName(0x12, 2);
        QVERIFY(SaveDeviceCache(name, Pattern(1)));
        const QByteArray before = ReadFile(CacheFile(name));
        {
            FileSizeLimit limit(4096);
            QVERIFY(!SaveDeviceCache(name, Pattern(2)));
        }
        QCOMPARE(ReadFile(CacheFile(name)), before);
        QCOMPARE(QDir(TestSupport::BaseFolder() + QStringLiteral("/Device_Info")).entryList(QDir::Files),
                 QStringList{name});
    }
};

VOGM_TEST_MAIN(TestDeviceCache)
#include "tst_devicecache.moc"
