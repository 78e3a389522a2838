#include "connection.h"
#include "choosingkit.h"
#include "configini.h"
#include "devicecache.h"
#include "globals.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "notices.h"
#include "testsupport.h"
#include "updataparam.h"
#include "waits.h"
#include "worldfixtures.h"

#include <QFileInfo>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace ChoosingKit;

// The wait popup: its three kinds of wait, the settings-file check and the
// import that applies a file to the mouse and the pages.
class TestUpDataParam : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void checkImportFile_data();
    void checkImportFile();
    void acceptedImportReachesMouseAndPages();
    void rejectedImportChangesNothing_data();
    void rejectedImportChangesNothing();
    void fullReadWaitsForThePages_data();
    void fullReadWaitsForThePages();
    void offlineReadFillsFromTheCacheThenWarns();
    void firstOnlineReadCreatesTheCache();
    void resetWait_data();
    void resetWait();
    void importTextComesFromItsOwnTag();
    void popupPicture();

private:
    // Runs the popup through its timer; returns the names recorded meanwhile,
    // with "closed" where the popup closed.
    QStringList RunPopup(const std::function<void(UpDataParam &)> &setMode);
    static void SetPagesFilled(bool filled);

    QTemporaryDir m_files;
    std::unique_ptr<HubRecorder> m_recorder;
    // Every case looks at what the popup does after its timed wait.
    TestSupport::ShorterWaits m_shorterWaits;
    FlashDataMap m_before{};
};

namespace {

const char kMouse[] = "m1";  // Drive1: sensor "3950", DPIMaxGrade 8
const char kCableCacheName[] = "Device_CID12_MID01.bin";

void NoReports(const unsigned char *, int, const unsigned char *, int) {}

// The mouse's own image with some settings changed: every byte of it is one
// the mouse keeps, so what reaches the mouse can be compared whole.
QByteArray ChangedMouseImage(uint8_t levels)
{
    FlashDataMap image = ImageFrom(HidSim::StoredImage(QLatin1String(kMouse)));
    image.DpiLevelCount = levels;
    image.ReportRate = 8;
    image.DebounceTime = 12;
    image.StopCloseTime = 30;
    image.DpiLevels[0].Red = 0x42;
    return ImageBytes(image);
}

FlashDataMap MarkedImage(uint8_t mark)
{
    FlashDataMap image{};
    image.DpiLevelCount = 4;
    image.Macros[3][7] = mark;
    image.LightRed = mark;
    return image;
}

}  // namespace

void TestUpDataParam::initTestCase()
{
    QVERIFY(m_files.isValid());
    HidSim::SetWorld(Fixtures::WorldOf({}, {Fixtures::CableMouse(QLatin1String(kMouse), 1)}));
    QVERIFY(HidSim::WaitUntilIdle());
}

void TestUpDataParam::init()
{
    TestSupport::IsolateUserFolders();
    g_CurrentDevice.Set(DeviceAllInfo{});
    g_CurrentDevice.Update([&](DeviceAllInfo &d) {
        d.Path = QString::fromLocal8Bit(HidSim::PathOf(QLatin1String(kMouse)));
        d.Cid = 18;
        d.Mid = 1;
        d.LinkType = 2;
        d.Wired = true;
        d.DriveIndex = 0;
    });
    g_LoadCacheName.Set(QLatin1String(kCableCacheName));
    g_SaveCacheName.Set(QLatin1String(kCableCacheName));
    g_ImportRunning = 0;
    g_ImportCheckResult = 0;
    g_DeviceDataReady = 1;
    g_DeviceOnline = 1;
    SetPagesFilled(false);
    m_before = MarkedImage(0x77);
    StoreImage(m_before);
    const QByteArray path = HidSim::PathOf(QLatin1String(kMouse));
    UsbServerC_Start(path.constData(), path.constData(), NoReports);
    // As after the connection's whole read: the image is the mouse's own.
    SetCurrentPath(path);
    BeginConnection(g_CurrentDevice.Get(), path);
    NoteDumpTaken(OpenedConnection().serial);
    HidSim::ResetWriteStats();
    m_recorder = std::make_unique<HubRecorder>();
}

void TestUpDataParam::cleanup()
{
    m_recorder.reset();
    UsbServer_Exit();
}

void TestUpDataParam::SetPagesFilled(bool filled)
{
    g_SensorFilled = filled ? 1 : 0;
    g_ButtonFilled = filled ? 1 : 0;
}

QStringList TestUpDataParam::RunPopup(const std::function<void(UpDataParam &)> &setMode)
{
    UpDataParam popup(nullptr);
    popup.StartWaitTimer();
    setMode(popup);
    connect(&popup, &QDialog::finished, m_recorder.get(), [this] { m_recorder->Add("closed"); });
    popup.exec();
    return m_recorder->Names();
}

void TestUpDataParam::checkImportFile_data()
{
    QTest::addColumn<QByteArray>("file");  // empty: no file at all
    QTest::addColumn<int>("maxGrade");
    QTest::addColumn<int>("result");
    QTest::addColumn<bool>("imageTaken");

    QByteArray image(kFlashDataMapSize, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7);
    image[1] = 8;  // DPI levels
    SettingsFile valid;
    valid.image = image;

    QTest::newRow("valid") << valid.Bytes() << 8 << 0 << true;
    QTest::newRow("8 levels, 7 allowed") << valid.Bytes() << 7 << 2 << true;
    SettingsFile other = valid;
    other.sensor = SettingsFile::NameBlock("3395");
    QTest::newRow("another sensor") << other.Bytes() << 8 << 2 << false;
    SettingsFile emptyName = valid;
    emptyName.sensor.clear();
    QTest::newRow("empty sensor block") << emptyName.Bytes() << 8 << 2 << false;
    SettingsFile wrongTag = valid;
    wrongTag.tag = SettingsFile::NameBlock("Qelvx");
    QTest::newRow("tag Qelvx") << wrongTag.Bytes() << 8 << 1 << false;
    QTest::newRow("missing file") << QByteArray() << 8 << 1 << false;
    SettingsFile shortImage = valid;
    shortImage.image = image.left(100);
    QTest::newRow("100-byte image block") << shortImage.Bytes() << 8 << 1 << false;
    SettingsFile longImage = valid;
    longImage.image = image + QByteArray(1, '\x01');
    QTest::newRow("image block one byte long") << longImage.Bytes() << 8 << 1 << false;
    SettingsFile cut = valid;
    cut.truncateTo = 36 + 5000;
    QTest::newRow("file ends inside the image") << cut.Bytes() << 8 << 1 << false;
    SettingsFile hugeImage = valid;
    hugeImage.image = image.left(64);
    hugeImage.imageLengthOverride = 0xFFFFFFF0;
    QTest::newRow("image length 0xFFFFFFF0, short file") << hugeImage.Bytes() << 8 << 1 << false;
    SettingsFile hugeTag = valid;
    hugeTag.tagLengthOverride = 0xFFFFFFF0;
    QTest::newRow("tag length 0xFFFFFFF0, short file") << hugeTag.Bytes() << 8 << 1 << false;
    SettingsFile longTag = valid;
    longTag.tag = QByteArray("Qelvo") + QByteArray(300, '\0');
    QTest::newRow("300-byte tag block") << longTag.Bytes() << 8 << 1 << false;
}

void TestUpDataParam::checkImportFile()
{
    QFETCH(QByteArray, file);
    QFETCH(int, maxGrade);
    QFETCH(int, result);
    QFETCH(bool, imageTaken);
    Fixtures::ConfigVariant config({{"Drive1/DPIMaxGrade", QString::number(maxGrade)}});
    const QString path = m_files.filePath(QStringLiteral("settings.bin"));
    QFile::remove(path);
    if (!file.isEmpty()) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    FlashDataMap out = MarkedImage(0x33);
    const QByteArray untouched = ImageBytes(out);
    QCOMPARE(UpDataParam::CheckImportFile(path, &out), result);
    QCOMPARE(ImageBytes(out), imageTaken ? file.mid(36, kFlashDataMapSize) : untouched);
}

void TestUpDataParam::acceptedImportReachesMouseAndPages()
{
    SettingsFile file;
    file.image = ChangedMouseImage(8);
    const QString path = m_files.filePath(QStringLiteral("accepted.bin"));
    QVERIFY(file.Write(path));
    QVERIFY(file.image != HidSim::StoredImage(QLatin1String(kMouse)));

    // Escape while the popup waits must not end it before the import ran.
    TestSupport::AnswerNextModal(QString());
    const QStringList names = RunPopup([&path](UpDataParam &popup) {
        popup.importMode = true;
        popup.importPath = path;
    });

    QCOMPARE(names, (QStringList{"SigSetver(4)", "SigUpDataLightUIA", "SigUpDataSensorUIB", "SigUpDataButtonUIC",
                                 "SigFormB", "closed"}));
    QCOMPARE(g_ImportCheckResult, 0);
    QCOMPARE(ImageBytes(ReadImage()), file.image);
    QCOMPARE(HidSim::StoredImage(QLatin1String(kMouse)), file.image);
    QCOMPARE(m_recorder->images, (QList<QByteArray>{file.image, file.image, file.image}));
}

void TestUpDataParam::rejectedImportChangesNothing_data()
{
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<int>("maxGrade");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("8 levels, 7 allowed") << QByteArray("Qelvo") << 7 << 2
                                         << "This settings file does not match the mouse";
    QTest::newRow("tag Qelvx") << QByteArray("Qelvx") << 8 << 1 << "The file cannot be read or is not a settings file";
}

void TestUpDataParam::rejectedImportChangesNothing()
{
    QFETCH(QByteArray, tag);
    QFETCH(int, maxGrade);
    QFETCH(int, result);
    QFETCH(QString, message);
    Fixtures::ConfigVariant config({{"Drive1/DPIMaxGrade", QString::number(maxGrade)}});
    SettingsFile file;
    file.tag = SettingsFile::NameBlock(tag);
    file.image = ChangedMouseImage(8);
    const QString path = m_files.filePath(QStringLiteral("rejected.bin"));
    QVERIFY(file.Write(path));
    const QByteArray mouseBefore = HidSim::StoredImage(QLatin1String(kMouse));

    ModalWatcher watcher({{"InportFail", "NewHong"}});
    const QStringList names = RunPopup([&path](UpDataParam &popup) {
        popup.importMode = true;
        popup.importPath = path;
    });

    QCOMPARE(names, (QStringList{"SigSetver(4)", "closed"}));
    QCOMPARE(watcher.Classes(), QStringList{"InportFail"});
    QCOMPARE(watcher.seen.first().text, message);
    QCOMPARE(g_ImportCheckResult, result);
    QCOMPARE(ImageBytes(ReadImage()), ImageBytes(m_before));
    QCOMPARE(HidSim::StoredImage(QLatin1String(kMouse)), mouseBefore);
    QCOMPARE(HidSim::CurrentWriteStats().calls, qint64(0));
}

void TestUpDataParam::fullReadWaitsForThePages_data()
{
    QTest::addColumn<int>("confirmAfterMs");  // -1: the pages never confirm
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("flagsAfter");
    QTest::newRow("pages confirm after a second") << 1000 << QStringList{"SigSetver(4)", "closed"} << false;
    QTest::newRow("pages never confirm") << -1 << QStringList{"SigSetver(4)", "closed", "SigMouseOffLineo(1)"}
                                         << false;
}

void TestUpDataParam::fullReadWaitsForThePages()
{
    QFETCH(int, confirmAfterMs);
    QFETCH(QStringList, expected);
    QFETCH(bool, flagsAfter);
    // The popup's own timer runs first; the pages confirm this long after it.
    if (confirmAfterMs >= 0)
        QTimer::singleShot(Waits::Scaled(4500 + confirmAfterMs), this, [] { SetPagesFilled(true); });
    QCOMPARE(RunPopup([](UpDataParam &) {}), expected);
    QCOMPARE(g_SensorFilled.load() != 0, flagsAfter);
    QCOMPARE(g_ButtonFilled.load() != 0, flagsAfter);
}

void TestUpDataParam::offlineReadFillsFromTheCacheThenWarns()
{
    const FlashDataMap cached = MarkedImage(0x5C);
    QVERIFY(SaveDeviceCache(QLatin1String(kCableCacheName), cached));
    g_DeviceDataReady = 0;
    const QStringList names = RunPopup([](UpDataParam &) {});
    QCOMPARE(names, (QStringList{"SigSetver(4)", "SigUpDataLightUIA", "SigUpDataSensorUIB", "SigUpDataButtonUIC",
                                 "SigFormB", "closed", "SigMouseOffLineo(0)"}));
    QCOMPARE(m_recorder->images.first(), ImageBytes(cached));
    // The pages show the cached image; the working image stays as it was.
    QCOMPARE(ImageBytes(ReadImage()), ImageBytes(m_before));

    // Without a cache file only the notice follows.
    QVERIFY(QFile::remove(DeviceCacheFolder() + QLatin1Char('/') + QLatin1String(kCableCacheName)));
    m_recorder->Clear();
    QCOMPARE(RunPopup([](UpDataParam &) {}), (QStringList{"SigSetver(4)", "closed", "SigMouseOffLineo(0)"}));
}

void TestUpDataParam::firstOnlineReadCreatesTheCache()
{
    const QString cacheFile = DeviceCacheFolder() + QLatin1Char('/') + QLatin1String(kCableCacheName);
    QVERIFY(!QFile::exists(cacheFile));
    SetPagesFilled(true);
    RunPopup([](UpDataParam &) {});
    QCOMPARE(QFileInfo(cacheFile).size(), qint64(10432));
    FlashDataMap loaded{};
    QVERIFY(LoadDeviceCache(QLatin1String(kCableCacheName), &loaded));
    QCOMPARE(ImageBytes(loaded), ImageBytes(m_before));

    // A cache file that exists is left alone; so is every file while offline.
    StoreImage(MarkedImage(0x11));
    SetPagesFilled(true);
    RunPopup([](UpDataParam &) {});
    QVERIFY(LoadDeviceCache(QLatin1String(kCableCacheName), &loaded));
    QCOMPARE(ImageBytes(loaded), ImageBytes(m_before));
    QVERIFY(QFile::remove(cacheFile));
    g_DeviceOnline = 0;
    SetPagesFilled(true);
    RunPopup([](UpDataParam &) {});
    QVERIFY(!QFile::exists(cacheFile));
}

void TestUpDataParam::resetWait_data()
{
    QTest::addColumn<bool>("filled");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("pages confirm") << true << QStringList{"SigSetver(4)", "closed"};
    QTest::newRow("pages never confirm") << false << QStringList{"SigSetver(4)", "closed", "SigMouseOffLineo(0)"};
}

void TestUpDataParam::resetWait()
{
    QFETCH(bool, filled);
    QFETCH(QStringList, expected);
    SetPagesFilled(filled);
    g_DeviceDataReady = 0;  // a reset wait looks at the pages only
    bool modeAfter = true;
    UpDataParam popup(nullptr);
    popup.StartWaitTimer();
    popup.ResetWaitMode = true;
    connect(&popup, &QDialog::finished, m_recorder.get(), [this] { m_recorder->Add("closed"); });
    popup.exec();
    modeAfter = popup.resetWaitMode;
    QCOMPARE(m_recorder->Names(), expected);
    QVERIFY(!modeAfter);
    // The reset wait clears no flag.
    QCOMPARE(g_SensorFilled.load() != 0, filled);
}

void TestUpDataParam::importTextComesFromItsOwnTag()
{
    g_ImportRunning = 1;
    UpDataParam importPopup(nullptr);
    g_ImportRunning = 0;
    UpDataParam waitPopup(nullptr);
    QCOMPARE(importPopup.findChild<QLabel *>("label")->text(), QStringLiteral("Please wait, importing the settings"));
    QCOMPARE(waitPopup.findChild<QLabel *>("label")->text(), QStringLiteral("Please wait, updating the settings"));
}

void TestUpDataParam::popupPicture()
{
    UpDataParam popup(nullptr);
    popup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    const QImage shot = popup.grab().toImage();
    QCOMPARE(shot.size(), QSize(300, 140));
    // The background picture is painted, and the text in the theme's colour
    // lies over it in the middle band.
    const QColor corner = shot.pixelColor(5, 135);
    int differing = 0;
    for (int y = 35; y < 90; ++y) {
        for (int x = 0; x < 300; ++x)
            differing += shot.pixelColor(x, y) != corner ? 1 : 0;
    }
    QVERIFY2(differing > 200, qPrintable(QString::number(differing)));
    QVERIFY(TestSupport::SaveShot(shot, QStringLiteral("updataparam.png")));
}

VOGM_TEST_MAIN(TestUpDataParam)
#include "tst_updataparam.moc"
