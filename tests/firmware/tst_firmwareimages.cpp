#include "configini.h"
#include "firmwareimages.h"
#include "globals.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

// Firmware image headers, the four searches, the image tool and the demo
// images the build stages beside the program. Fixtures are written by the tool.
class TestFirmwareImages : public QObject
{
    Q_OBJECT
private slots:
    void versionText_data();
    void versionText();
    void toolWritesTheHeaderTheProgramReads();
    void searchesCompareVersions_data();
    void searchesCompareVersions();
    void onlyMatchingHeadersAreLookedAt_data();
    void onlyMatchingHeadersAreLookedAt();
    void fullLengthModelNameHasNoTerminator();
    void shortAndUnreadableFilesArePassedOver();
    void imagesNotWholeAsTheirHeaderSaysArePassedOver_data();
    void imagesNotWholeAsTheirHeaderSaysArePassedOver();
    void keptListFollowsTheLastSearchAndBuffersStayValid();
    void hasNewFirmwareWithoutVersionDoesNotSearch();
    void searchForClassReadsTheCurrentModel();
    void stagedDemoImagesMatchConfigAndTheDeviceWorld();
};

namespace {

const int kCid = 18;
const int kMid = 2;
const char kModel[] = "VOM-M2";
// The simulated world's firmware: mice v1.2, receivers v1.1.
const char kWorldMouseVersion[] = "v1.2";
const char kWorldReceiverVersion[] = "v1.1";

struct ImageFixture {
    QString fileName;
    uint32_t version = 0x0102;
    int target = kMouseFirmware;
    int cid = kCid;
    int mid = kMid;
    QString model = kModel;
    int bodySize = 64;
};

bool RunTool(const ImageFixture &fixture, const QString &folder)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedChannels);
    tool.start(FWIMAGE_TOOL, {"write", "--out", folder + "/" + fixture.fileName, "--version",
                              "0x" + QString::number(fixture.version, 16), "--target", QString::number(fixture.target),
                              "--cid", QString::number(fixture.cid), "--mid", QString::number(fixture.mid), "--model",
                              fixture.model, "--body-size", QString::number(fixture.bodySize)});
    return tool.waitForFinished(TestSupport::kHangGuardMs) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

uint32_t KeptVersion(const QList<QByteArray> &kept)
{
    FirmwareHeader header;
    if (kept.size() != 1 || !FirmwareHeader::Read(kept.first(), &header))
        return 0;
    return header.Version;
}

// A file the searching process cannot open. Root opens anything, so while a
// search runs as root the effective user is switched to an unprivileged one.
class UnreadableFile
{
public:
    explicit UnreadableFile(const QString &path) : m_path(path)
    {
        QFile(path).setPermissions({});
    }
    bool BeginSearch()
    {
        if (geteuid() == 0) {
            QFile::setPermissions(QFileInfo(m_path).absolutePath(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                      QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                      QFileDevice::ExeOther);
            m_dropped = seteuid(65534) == 0;
        }
        QFile probe(m_path);
        return !probe.open(QIODevice::ReadOnly);
    }
    void EndSearch()
    {
        if (m_dropped && seteuid(0) == 0)
            m_dropped = false;
    }
    ~UnreadableFile() { EndSearch(); }

private:
    QString m_path;
    bool m_dropped = false;
};

}  // namespace

void TestFirmwareImages::versionText_data()
{
    QTest::addColumn<uint>("version");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.2") << 0x0102u << "v1.2";
    QTest::newRow("hex minor") << 0x010Au << "v1.a";
    QTest::newRow("two-digit minor") << 0x0110u << "v1.10";
    QTest::newRow("wide major") << 0x00010203u << "v258.3";
    QTest::newRow("zero") << 0u << "v0.0";
}

void TestFirmwareImages::versionText()
{
    QFETCH(uint, version);
    QFETCH(QString, text);
    QCOMPARE(FirmwareVersionText(version), text);
}

void TestFirmwareImages::toolWritesTheHeaderTheProgramReads()
{
    QTemporaryDir dir;
    ImageFixture fixture;
    fixture.fileName = "one.bin";
    fixture.version = 0x00010203;
    fixture.target = kReceiverFirmware;
    fixture.model = "VOR-M2-4K";
    fixture.bodySize = 1000;
    QVERIFY(RunTool(fixture, dir.path()));
    QFile file(dir.filePath("one.bin"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray image = file.readAll();
    QCOMPARE(image.size(), FirmwareLayout::kHeaderSize + 1000);
    const auto *bytes = reinterpret_cast<const uint8_t *>(image.constData());
    QCOMPARE(bytes[0x10], uint8_t(0x03));  // little-endian version
    QCOMPARE(bytes[0x12], uint8_t(0x01));
    QCOMPARE(bytes[0x14], uint8_t(0xD3));
    QCOMPARE(bytes[0x18] | bytes[0x19] << 8, 1000);  // body length for the firmware library
    QCOMPARE(image.mid(0x57, 10), QByteArray("VOR-M2-4K\0", 10));
    FirmwareHeader header;
    QVERIFY(FirmwareHeader::Read(image, &header));
    QCOMPARE(header.Version, 0x00010203u);
    QCOMPARE(int(header.Target), int(kReceiverFirmware));
    QCOMPARE(int(header.Cid), kCid);
    QCOMPARE(int(header.Mid), kMid);
    QCOMPARE(header.BodyLength, 1000u);
    QCOMPARE(header.BodySum, FirmwareHeader::SumOf(image.mid(FirmwareLayout::kHeaderSize)));
    QVERIFY(header.BodySum != 0);
    QVERIFY(header.DescribesWhole(image));
    QCOMPARE(header.ModelName, QByteArray("VOR-M2-4K"));
    QVERIFY(!FirmwareHeader::Read(image.left(FirmwareLayout::kHeaderSize - 1), &header));
}

void TestFirmwareImages::searchesCompareVersions_data()
{
    QTest::addColumn<QString>("current");
    QTest::addColumn<QStringList>("files");  // name:version, in the order the tool writes them
    QTest::addColumn<uint>("kept");          // 0: nothing taken
    QTest::newRow("no version: last in name order ignoring case")
        << "" << QStringList{"B.bin:0x0103", "a.bin:0x0102"} << 0x0103u;
    QTest::newRow("equal version passed over, scan goes on")
        << "v1.2" << QStringList{"a.bin:0x0102", "b.bin:0x0103"} << 0x0103u;
    QTest::newRow("equal version after the taken one") << "v1.2" << QStringList{"a.bin:0x0103", "b.bin:0x0102"}
                                                       << 0x0103u;
    QTest::newRow("only an equal version") << "v1.2" << QStringList{"a.bin:0x0102"} << 0u;
    QTest::newRow("1.10 is not 1.1") << "v1.1" << QStringList{"a.bin:0x0110"} << 0x0110u;
    QTest::newRow("1.a and 1.b differ") << "v1.a" << QStringList{"a.bin:0x010A", "b.bin:0x010B"} << 0x010Bu;
    QTest::newRow("no stop after a look-alike") << "v1.1" << QStringList{"a.bin:0x0110", "b.bin:0x0120"}
                                                << 0x0120u;
    QTest::newRow("same version written with a leading zero") << "v1.02" << QStringList{"a.bin:0x0102"} << 0u;
    QTest::newRow("wide major") << "v258.3" << QStringList{"a.bin:0x00010203"} << 0u;
    QTest::newRow("an older image differs too") << "v1.3" << QStringList{"a.bin:0x0102"} << 0x0102u;
    QTest::newRow("upper-case V is not removed") << "V1.2" << QStringList{"a.bin:0x0102"} << 0x0102u;
    QTest::newRow("no images") << "v1.2" << QStringList{} << 0u;
    QTest::newRow("upper-case suffix is an image") << "v1.2" << QStringList{"a.BIN:0x0103"} << 0x0103u;
    QTest::newRow("other suffixes are not images")
        << "v1.2" << QStringList{"a.bin.old:0x0103", "a.binx:0x0104", "abin:0x0105"} << 0u;
}

void TestFirmwareImages::searchesCompareVersions()
{
    QFETCH(QString, current);
    QFETCH(QStringList, files);
    QFETCH(uint, kept);
    QTemporaryDir dir;
    for (const QString &file : files) {
        ImageFixture fixture;
        fixture.fileName = file.section(':', 0, 0);
        fixture.version = file.section(':', 1).toUInt(nullptr, 16);
        QVERIFY(RunTool(fixture, dir.path()));
    }
    const bool expectTaken = kept != 0;
    QCOMPARE(FindUpdateFirmware(kMouseFirmware, current, kModel, kCid, kMid, dir.path()), expectTaken);
    QCOMPARE(KeptVersion(g_UpdateFirmware), kept);
    QCOMPARE(g_UpdateFirmware.size(), expectTaken ? 1 : 0);
    QCOMPARE(FindRepairFirmware(kMouseFirmware, current, kModel, kCid, kMid, dir.path()), expectTaken);
    QCOMPARE(KeptVersion(g_RepairFirmware), kept);
    QCOMPARE(HasNewFirmware(kMouseFirmware, current, kModel, kCid, kMid, dir.path()),
             expectTaken && !current.isEmpty());
}

void TestFirmwareImages::onlyMatchingHeadersAreLookedAt_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("cid");
    QTest::addColumn<int>("mid");
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("matches");
    QTest::newRow("all fields") << int(kMouseFirmware) << kCid << kMid << kModel << true;
    QTest::newRow("receiver target") << int(kReceiverFirmware) << kCid << kMid << kModel << false;
    QTest::newRow("other customer") << int(kMouseFirmware) << kCid + 1 << kMid << kModel << false;
    QTest::newRow("other model id") << int(kMouseFirmware) << kCid << kMid + 1 << kModel << false;
    QTest::newRow("name case differs") << int(kMouseFirmware) << kCid << kMid << "vom-m2" << false;
    QTest::newRow("longer name") << int(kMouseFirmware) << kCid << kMid << "VOM-M2X" << false;
}

void TestFirmwareImages::onlyMatchingHeadersAreLookedAt()
{
    QFETCH(int, target);
    QFETCH(int, cid);
    QFETCH(int, mid);
    QFETCH(QString, model);
    QFETCH(bool, matches);
    QTemporaryDir dir;
    ImageFixture fixture;
    fixture.fileName = "image.bin";
    fixture.target = target;
    fixture.cid = cid;
    fixture.mid = mid;
    fixture.model = model;
    QVERIFY(RunTool(fixture, dir.path()));
    fixture.fileName = "image.bin.txt";  // not an image file name
    QVERIFY(RunTool(fixture, dir.path()));
    QVERIFY(QDir(dir.path()).mkdir("folder.bin"));
    QCOMPARE(FindUpdateFirmware(kMouseFirmware, "", kModel, kCid, kMid, dir.path()), matches);
    QCOMPARE(g_UpdateFirmware.size(), matches ? 1 : 0);
}

void TestFirmwareImages::fullLengthModelNameHasNoTerminator()
{
    QTemporaryDir dir;
    const QString name64 = QString(60, QLatin1Char('N')) + "-64X";
    QCOMPARE(name64.size(), FirmwareLayout::kModelNameSize);
    ImageFixture fixture;
    fixture.fileName = "long.bin";
    fixture.model = name64;
    QVERIFY(RunTool(fixture, dir.path()));
    QVERIFY(FindRepairFirmware(kMouseFirmware, "", name64, kCid, kMid, dir.path()));
    QVERIFY(!FindRepairFirmware(kMouseFirmware, "", name64.left(63), kCid, kMid, dir.path()));
}

void TestFirmwareImages::shortAndUnreadableFilesArePassedOver()
{
    QTemporaryDir dir;
    ImageFixture fixture;
    fixture.fileName = "a-unreadable.bin";
    fixture.version = 0x0104;
    QVERIFY(RunTool(fixture, dir.path()));
    fixture.fileName = "b-good.bin";
    fixture.version = 0x0103;
    QVERIFY(RunTool(fixture, dir.path()));
    fixture.fileName = "c-short.bin";
    fixture.version = 0x0105;
    QVERIFY(RunTool(fixture, dir.path()));
    QFile shortFile(dir.filePath("c-short.bin"));
    QVERIFY(shortFile.resize(FirmwareLayout::kHeaderSize - 1));  // model name still in place

    UnreadableFile unreadable(dir.filePath("a-unreadable.bin"));
    if (!unreadable.BeginSearch())
        QSKIP("cannot make a file unreadable for this process");
    const bool update = FindUpdateFirmware(kMouseFirmware, "v1.2", kModel, kCid, kMid, dir.path());
    const uint32_t kept = KeptVersion(g_UpdateFirmware);
    const bool hasNew = HasNewFirmware(kMouseFirmware, "v1.2", kModel, kCid, kMid, dir.path());
    unreadable.EndSearch();
    QVERIFY(update);
    QCOMPARE(kept, 0x0103u);
    QVERIFY(hasNew);
}

namespace {
void PutU32(QByteArray *image, int offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*image)[offset + i] = char(value >> (8 * i));
}
}  // namespace

void TestFirmwareImages::imagesNotWholeAsTheirHeaderSaysArePassedOver_data()
{
    // How a whole newer image (v1.5, 64-byte body, sum set) is damaged; the
    // search then keeps the whole v1.3 image beside it, or the v1.5 one.
    QTest::addColumn<int>("cutTo");          // file length; -1 keeps it
    QTest::addColumn<qint64>("bodyLength");  // stated length; -1 keeps it
    QTest::addColumn<qint64>("bodySum");     // stated sum; -1 keeps it
    QTest::addColumn<bool>("fifo");          // a FIFO in place of the file
    QTest::addColumn<uint>("kept");

    const int header = FirmwareLayout::kHeaderSize;
    QTest::newRow("whole") << -1 << qint64(-1) << qint64(-1) << false << 0x0105u;
    QTest::newRow("sum not set") << -1 << qint64(-1) << qint64(0) << false << 0x0105u;
    QTest::newRow("header only") << header << qint64(-1) << qint64(0) << false << 0x0103u;
    QTest::newRow("truncated, sum set") << header + 10 << qint64(-1) << qint64(-1) << false << 0x0103u;
    QTest::newRow("longer than stated") << -1 << qint64(63) << qint64(0) << false << 0x0103u;
    QTest::newRow("body length 0") << header << qint64(0) << qint64(0) << false << 0x0103u;
    QTest::newRow("body length over 16 MiB") << -1 << qint64(16 * 1024 * 1024 + 1) << qint64(0) << false << 0x0103u;
    QTest::newRow("wrong sum") << -1 << qint64(-1) << qint64(12345) << false << 0x0103u;
    QTest::newRow("FIFO") << -1 << qint64(-1) << qint64(-1) << true << 0x0103u;
}

void TestFirmwareImages::imagesNotWholeAsTheirHeaderSaysArePassedOver()
{
    QFETCH(int, cutTo);
    QFETCH(qint64, bodyLength);
    QFETCH(qint64, bodySum);
    QFETCH(bool, fifo);
    QFETCH(uint, kept);

    QTemporaryDir dir;
    ImageFixture fixture;
    fixture.fileName = "a-good.bin";
    fixture.version = 0x0103;
    QVERIFY(RunTool(fixture, dir.path()));
    const QString damaged = dir.filePath("b-damaged.bin");
    if (fifo) {
        QCOMPARE(mkfifo(QFile::encodeName(damaged).constData(), 0644), 0);
    } else {
        FirmwareHeader header;
        header.Version = 0x0105;
        header.Target = kMouseFirmware;
        header.Cid = kCid;
        header.Mid = kMid;
        header.ModelName = kModel;
        QByteArray image = header.MakeImage(QByteArray(64, '\x5A'));
        if (bodyLength >= 0)
            PutU32(&image, FirmwareLayout::kBodyLengthOffset, uint32_t(bodyLength));
        if (bodySum >= 0)
            PutU32(&image, FirmwareLayout::kBodySumOffset, uint32_t(bodySum));
        if (cutTo >= 0)
            image.truncate(cutTo);
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(image), qint64(image.size()));
    }

    QVERIFY(FindUpdateFirmware(kMouseFirmware, "v1.2", kModel, kCid, kMid, dir.path()));
    QCOMPARE(KeptVersion(g_UpdateFirmware), kept);
    QVERIFY(FindRepairFirmware(kMouseFirmware, "v1.2", kModel, kCid, kMid, dir.path()));
    QCOMPARE(KeptVersion(g_RepairFirmware), kept);
}

void TestFirmwareImages::keptListFollowsTheLastSearchAndBuffersStayValid()
{
    QTemporaryDir dir;
    ImageFixture fixture;
    fixture.fileName = "m.bin";
    fixture.version = 0x0103;
    fixture.bodySize = 4096;
    QVERIFY(RunTool(fixture, dir.path()));
    QVERIFY(FindUpdateFirmware(kMouseFirmware, "v1.2", kModel, kCid, kMid, dir.path()));
    const unsigned char *handedOver = FirmwareImageData(g_UpdateFirmware.first());
    const QByteArray copy = g_UpdateFirmware.first();

    QVERIFY(!FindUpdateFirmware(kMouseFirmware, "v1.3", kModel, kCid, kMid, dir.path()));
    QVERIFY(g_UpdateFirmware.isEmpty());
    QVERIFY(!FindUpdateFirmware(kMouseFirmware, "", kModel, kCid, kMid, dir.path() + "/missing"));
    QVERIFY(g_UpdateFirmware.isEmpty());
    // The library may still be flashing from the pointer it was given.
    QVERIFY(std::memcmp(handedOver, copy.constData(), size_t(copy.size())) == 0);

    QVERIFY(FindUpdateFirmware(kMouseFirmware, "v1.2", kModel, kCid, kMid, dir.path()));
    QCOMPARE(FirmwareImageData(g_UpdateFirmware.first()), handedOver);  // the same image is not copied again
}

void TestFirmwareImages::hasNewFirmwareWithoutVersionDoesNotSearch()
{
    QTemporaryDir dir;
    ImageFixture fixture;
    fixture.fileName = "m.bin";
    QVERIFY(RunTool(fixture, dir.path()));
    QVERIFY(FindUpdateFirmware(kMouseFirmware, "", kModel, kCid, kMid, dir.path()));
    QVERIFY(!HasNewFirmware(kMouseFirmware, "", kModel, kCid, kMid, dir.path()));
    QCOMPARE(g_UpdateFirmware.size(), 1);  // HasNewFirmware keeps nothing and clears nothing
}

void TestFirmwareImages::searchForClassReadsTheCurrentModel()
{
    QTemporaryDir dir;
    ImageFixture fixture;
    fixture.fileName = "r4.bin";
    fixture.target = kReceiverFirmware;
    fixture.model = "VOR-M2-4K";
    QVERIFY(RunTool(fixture, dir.path()));
    fixture.fileName = "m.bin";
    fixture.target = kMouseFirmware;
    fixture.model = kModel;
    fixture.version = 0x0103;
    QVERIFY(RunTool(fixture, dir.path()));

    g_CurrentDevice.Update([&](DeviceAllInfo &d) { d.DriveIndex = 1; });  // Drive2, model id 2, customer id 18
    g_UpdateCid = 0;
    QVERIFY(!HasNewFirmwareForClass(kReceiverFirmware, "v1.1", 3, dir.path()));
    QCOMPARE(g_UpdateCid.load(), kCid);
    QVERIFY(HasNewFirmwareForClass(kReceiverFirmware, "v1.1", 4, dir.path()));
    QVERIFY(!HasNewFirmwareForClass(kReceiverFirmware, "v1.2", 4, dir.path()));
    QVERIFY(!HasNewFirmwareForClass(kReceiverFirmware, "v1.1", 8, dir.path()));  // no D8M image
    QVERIFY(!HasNewFirmwareForClass(212, "v1.1", 4, dir.path()));               // searched with target 212
    QVERIFY(HasNewFirmwareForClass(kMouseFirmware, "v1.2", 0, dir.path()));      // MM, class not used
    QVERIFY(!HasNewFirmwareForClass(kMouseFirmware, "v1.3", 0, dir.path()));
    g_CurrentDevice.Update([&](DeviceAllInfo &d) { d.DriveIndex = 0; });  // Drive1: another model id and names
    QVERIFY(!HasNewFirmwareForClass(kMouseFirmware, "v1.2", 0, dir.path()));
}

void TestFirmwareImages::stagedDemoImagesMatchConfigAndTheDeviceWorld()
{
    ConfigIni *config = ConfigIni::GetInstance();
    const int cid = config->IntValue("Option", "CID");
    const int models = config->IntValue("Option", "DeviceTotal");
    QVERIFY(models > 0);
    QStringList expectedNames;
    for (int drive = 0; drive < models; ++drive) {
        g_CurrentDevice.Update([&](DeviceAllInfo &d) { d.DriveIndex = drive; });
        const QString group = ConfigIni::DriveGroup(drive);
        const int mid = config->IntValue(group, "MID");
        QVERIFY(HasNewFirmwareForClass(kMouseFirmware, kWorldMouseVersion, 0));
        QVERIFY(FindUpdateFirmware(kMouseFirmware, kWorldMouseVersion, config->Value(group, "MM"), cid, mid));
        QCOMPARE(KeptVersion(g_UpdateFirmware), 0x0103u);
        QVERIFY(!HasNewFirmwareForClass(kMouseFirmware, "v1.3", 0));
        for (int receiverClass : {4, 8}) {
            QVERIFY(HasNewFirmwareForClass(kReceiverFirmware, kWorldReceiverVersion, receiverClass));
            const QString key = receiverClass == 4 ? "D4M" : "D8M";
            QVERIFY(FindRepairFirmware(kReceiverFirmware, "", config->Value(group, key), cid, mid));
            QCOMPARE(KeptVersion(g_RepairFirmware), 0x0102u);
            expectedNames << config->Value(group, key);
        }
        expectedNames << config->Value(group, "MM");
    }
    // Nothing else is staged, and every image carries its body length.
    const QDir bin(FirmwareFolder());
    const QStringList files = bin.entryList({"*.bin"}, QDir::Files);
    QCOMPARE(files.size(), expectedNames.size());
    for (const QString &name : files) {
        QFile file(bin.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray image = file.readAll();
        FirmwareHeader header;
        QVERIFY(FirmwareHeader::Read(image, &header));
        QCOMPARE(int(header.Cid), cid);
        QCOMPARE(qint64(header.BodyLength) + FirmwareLayout::kHeaderSize, qint64(image.size()));
        QVERIFY2(expectedNames.contains(QString::fromLocal8Bit(header.ModelName)), qPrintable(name));
    }
}

VOGM_TEST_MAIN(TestFirmwareImages)
#include "tst_firmwareimages.moc"
