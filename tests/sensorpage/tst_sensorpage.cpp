// The sensor page against the simulated mouse on cable: the form with its
// panels, whole-image fills on the different links and models, the defaults,
// the single values the mouse reports, the page's own three controls, the
// model keys out of bounds, Level.ini, the texts and the theme.

#include "configini.h"
#include "globals.h"
#include "hidusb_control.h"
#include "myconmbobox.h"
#include "onoffpanel.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "sensor.h"
#include "sensordpi.h"
#include "sensoreffect.h"
#include "sensorlod.h"
#include "sensormodel.h"
#include "sensorrate.h"
#include "testsupport.h"
#include "worldfixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace PanelFixture;
using Fixtures::ConfigVariant;

namespace {

constexpr int kDrive1 = 0;
constexpr int kDrive3 = 2;

const char *const kRateButtons[] = {"Button125HZ",  "Button250HZ",  "Button500HZ", "Button1000HZ",
                                    "Button2000HZ", "Button4000HZ", "Button8000HZ"};
const char *const kValueButtons[] = {"BlueButton",  "BrightRedButton", "RedButton",       "YellowButton",
                                     "GreenButton", "PurpleButton",    "LightBlueButton", "LightYellowButton"};

// A Drive1 ("3950", DPI defines, ranges 50-800 and 900-1600, mode 0x22) image:
// four levels of 400, 800, 1600 (800 doubled) and 1000 (500 doubled).
FlashDataMap Drive1Image(int rateCode)
{
    FlashDataMap image{};
    image.ReportRate = uint8_t(rateCode);
    image.DpiLevelCount = 4;
    image.DpiLevel = 2;
    image.Lod = 3;
    image.SensorMode = 1;
    image.Performance = 1;
    image.PerformanceOpen = 30;
    image.MotionSync = 0;
    image.StraightLine = 1;
    image.RippeControl = 1;
    const uint8_t codes[4][2] = {{0x07, 0x00}, {0x0F, 0x00}, {0x0F, 0x22}, {0x09, 0x22}};
    for (int i = 0; i < 4; ++i) {
        image.DpiLevels[i].DpiX = codes[i][0];
        image.DpiLevels[i].DpiY = codes[i][0];
        image.DpiLevels[i].DpiFlags = codes[i][1];
    }
    image.DpiLevels[0].Red = 255;
    image.DpiLevels[0].Blue = 160;
    image.DpiLedOn = 1;
    image.DpiLedMode = 2;
    image.DpiLedSpeed = 4;
    image.DpiLedBrightness = 60;
    return image;
}

void UseDevice(int driveIndex, int linkType)
{
    g_CurrentDevice.Update([&](DeviceAllInfo &d) {
        d.DriveIndex = driveIndex;
        d.LinkType = uint8_t(linkType);
        d.Wired = DeviceAllInfo::IsWiredLink(uint8_t(linkType));
        d.Online = true;
    });
}

template <typename T>
T *Child(QWidget *root, const char *name)
{
    T *found = root->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

int CheckedRate(QWidget *page)
{
    for (int i = 0; i < 7; ++i) {
        if (Child<QToolButton>(page, kRateButtons[i])->isChecked())
            return i;
    }
    return -1;
}

// Which of 2000, 4000 and 8000 Hz the rate panel offers, as "110".
QString HighRatesShown(QWidget *page)
{
    QString shown;
    for (int i = 4; i < 7; ++i)
        shown += Child<QToolButton>(page, kRateButtons[i])->isVisibleTo(page) ? '1' : '0';
    return shown;
}

QStringList LevelTexts(QWidget *page, int count)
{
    QStringList texts;
    for (int i = 0; i < count; ++i)
        texts << Child<QToolButton>(page, kValueButtons[i])->text();
    return texts;
}

QString ShownLevels(QWidget *page)
{
    QString shown;
    for (const char *name : kValueButtons)
        shown += Child<QToolButton>(page, name)->isVisibleTo(page) ? '1' : '0';
    return shown;
}

bool IsShown(QWidget *page, const char *name)
{
    return Child<QWidget>(page, name)->isVisibleTo(page);
}

void WriteLevelIniFile(const QString &folder, const QByteArray *content)
{
    QDir().mkpath(folder);
    QFile::remove(folder + "/Level.ini");
    if (!content)
        return;
    QFile file(folder + "/Level.ini");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(*content);
}

}  // namespace

class TestSensorPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void formHostsThePanels();
    void wholeFillOn4kReceiver();
    void wholeFillOn1kReceiver();
    void importedFillLeavesFilledFlag();
    void supportAndLayout_data();
    void supportAndLayout();
    void modelKeysOutOfBounds();
    void reset_data();
    void reset();
    void reportedRateLocksAndFreesTheMode();
    void chosenRateLocksAndFreesTheMode_data();
    void chosenRateLocksAndFreesTheMode();
    void modeBoxWritesOnlyLpAndHp();
    void reportedLevelWritesNothing();
    void reportedIndicatorWritesNothing();
    void performanceTime_data();
    void performanceTime();
    void performanceTimeSilentWithoutWrites();
    void sensorModeChoice_data();
    void sensorModeChoice();
    void performanceClick();
    void levelIni_data();
    void levelIni();
    void texts_data();
    void texts();
    void shortThemeLists();

private:
    Sensor *MakePage();
    Sensor *FilledPage(int driveIndex, int linkType, const FlashDataMap &image);

    std::unique_ptr<Sensor> m_page;
};

void TestSensorPage::init()
{
    OpenMouse();
    UseDevice(kDrive1, 2);
    g_SensorFilled = 0;
}

void TestSensorPage::cleanup()
{
    m_page.reset();
}

Sensor *TestSensorPage::MakePage()
{
    m_page = std::make_unique<Sensor>();
    m_page->show();
    if (!QTest::qWaitForWindowExposed(m_page.get(), TestSupport::kHangGuardMs))
        qWarning("sensor page not exposed");
    return m_page.get();
}

// A page filled from `image` as the data callback hands it over: the image is
// the program's working copy too.
Sensor *TestSensorPage::FilledPage(int driveIndex, int linkType, const FlashDataMap &image)
{
    Sensor *page = MakePage();
    UseDevice(driveIndex, linkType);
    StoreImage(image);
    page->SlotUpDataSenSorUISensor(image);
    return page;
}

void TestSensorPage::formHostsThePanels()
{
    Sensor *page = MakePage();
    QCOMPARE(page->size(), QSize(883, 630));
    const struct {
        const char *name;
        QRect geometry;
        const char *className;
    } places[] = {
        {"frameDpi", {65, 26, 728, 194}, "SensorDPI"},       {"frameRate", {80, 208, 725, 82}, "SensorRate"},
        {"frameLOD", {255, 360, 131, 61}, "SensorLOD"},      {"frameEffect", {80, 456, 439, 96}, "SensorEffect"},
        {"frame", {600, 340, 275, 31}, "RippeControl"},      {"frame_4", {600, 370, 275, 31}, "StraightLine"},
        {"frame_3", {600, 400, 275, 31}, "MotionSync"},      {"ModelChoose", {80, 390, 130, 30}, "QComboBox"},
        {"PerformanceOpen", {430, 390, 130, 30}, "QComboBox"}, {"Performance", {430, 360, 201, 17}, "QCheckBox"},
        {"TitleButton_3", {40, 463, 16, 10}, "QToolButton"},
    };
    for (const auto &place : places) {
        QWidget *widget = Child<QWidget>(page, place.name);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), QString::fromLatin1(place.className));
        QCOMPARE(widget->geometry(), place.geometry);
    }
    // The panels carry the form's names, so nothing answers to the class names.
    for (const char *name : {"RippeControl", "StraightLine", "MotionSync"})
        QVERIFY(!page->findChild<QWidget *>(name));
    // The form's own boxes are the program's combo box.
    QVERIFY(dynamic_cast<MyConmboBox *>(Child<QWidget>(page, "ModelChoose")));
    QVERIFY(dynamic_cast<MyConmboBox *>(Child<QWidget>(page, "PerformanceOpen")));
    auto *mode = Child<QComboBox>(page, "ModelChoose");
    QCOMPARE(mode->count(), 3);
    QCOMPARE(mode->itemText(2), QStringLiteral("Corded"));
    QVERIFY(!mode->isEnabled());
    QVERIFY(!Child<QComboBox>(page, "PerformanceOpen")->isEnabled());
    QCOMPARE(Child<QComboBox>(page, "PerformanceOpen")->maxVisibleItems(), 5);
    QVERIFY(mode->styleSheet().contains("QComboBox:disabled{color: rgb(0, 0, 0);}"));
    QVERIFY(Child<QWidget>(page, "TitleButton_3")->styleSheet().startsWith("#TitleButton_3{border-image: url("));
    QCOMPARE(MissingPictures(page), QStringList());
}

void TestSensorPage::wholeFillOn4kReceiver()
{
    QScopedPointer<QSignalSpy> notices(OfflineNoticeSpy());
    Sensor *page = FilledPage(kDrive1, 1, Drive1Image(64));

    QCOMPARE(CheckedRate(page), 5);  // 8000 Hz shows as 4000 Hz, which this link offers
    QCOMPARE(HighRatesShown(page), QStringLiteral("110"));
    auto *lod = Child<QComboBox>(page, "LOD");
    QCOMPARE(lod->count(), 3);
    QCOMPARE(lod->currentText(), QStringLiteral("0.7mm"));
    QVERIFY(lod->isEnabled());
    auto *mode = Child<QComboBox>(page, "ModelChoose");
    QCOMPARE(mode->currentText(), QStringLiteral("Corded"));
    QVERIFY(!mode->isEnabled());
    QVERIFY(Child<QCheckBox>(page, "Performance")->isChecked());
    QVERIFY(Child<QComboBox>(page, "PerformanceOpen")->isEnabled());
    QCOMPARE(Child<QComboBox>(page, "PerformanceOpen")->currentIndex(), 3);
    QVERIFY(Child<QToolButton>(page, "RippeControl_2")->isChecked());
    QVERIFY(Child<QToolButton>(page, "StraightLine_2")->isChecked());
    QVERIFY(!Child<QToolButton>(page, "MotionSync_2")->isChecked());
    QCOMPARE(Child<QComboBox>(page, "Model")->currentIndex(), 2);
    QCOMPARE(Child<QSlider>(page, "SpeedH")->value(), 4);
    QCOMPARE(Child<QSlider>(page, "LightH")->value(), 3);

    auto *dpi = Child<SensorDPI>(page, "frameDpi");
    QCOMPARE(LevelTexts(page, 4), QStringList({"400", "800", "1600", "1000"}));
    QCOMPARE(ShownLevels(page), QStringLiteral("11110000"));
    QCOMPARE(Child<QComboBox>(page, "ChooseEvent")->count(), 8);
    QCOMPARE(Child<QComboBox>(page, "ChooseEvent")->currentIndex(), 3);
    QCOMPARE(dpi->GetLevelColor(0), QStringLiteral("255,0,160"));
    auto *slider = Child<QSlider>(page, "horizontalSliderC");
    QCOMPARE(slider->minimum(), 50);
    QCOMPARE(slider->maximum(), 1600);
    QCOMPARE(slider->value(), 1600);
    QCOMPARE(Child<QSpinBox>(page, "spinBoxA")->value(), 1600);
    QVERIFY(slider->isEnabled());
    QCOMPARE(Child<QLabel>(page, "label_8")->pos(), QPoint(209, 154));
    QVERIFY(Child<QToolButton>(page, "RedButton")->isChecked());
    QCOMPARE(dpi->GetCurrentLevel(), 2);
    QCOMPARE(g_SensorName, QStringLiteral("3950"));
    QCOMPARE(g_DpiRangeMode, 0x22);
    QCOMPARE(g_DpiRangeMaxList, QList<int>({800, 1600}));

    QCOMPARE(ImagesSent(), 0);
    QCOMPARE(notices->count(), 0);
    QCOMPARE(int(g_SensorFilled), 1);
    QCOMPARE(int(g_SensorRefreshing), 0);
}

void TestSensorPage::wholeFillOn1kReceiver()
{
    Sensor *page = FilledPage(kDrive1, 0, Drive1Image(1));
    auto *mode = Child<QComboBox>(page, "ModelChoose");
    QCOMPARE(mode->currentText(), QStringLiteral("HP"));
    QVERIFY(mode->isEnabled());
    auto *view = qobject_cast<QListView *>(mode->view());
    QVERIFY(view);
    QVERIFY(view->isRowHidden(2));
    QVERIFY(!view->isRowHidden(1));
    QCOMPARE(CheckedRate(page), 3);
    QCOMPARE(HighRatesShown(page), QStringLiteral("000"));
    QCOMPARE(ImagesSent(), 0);

    // The same model by cable: the wired link always takes the mode over.
    UseDevice(kDrive1, 2);
    page->SlotUpDataSenSorUISensor(Drive1Image(1));
    QCOMPARE(mode->currentText(), QStringLiteral("Corded"));
    QVERIFY(!mode->isEnabled());
    QCOMPARE(ImagesSent(), 0);
}

void TestSensorPage::importedFillLeavesFilledFlag()
{
    Sensor *page = MakePage();
    UseDevice(kDrive1, 0);
    g_SensorFilled = 0;
    page->SlotUpDataSenSorUIB(Drive1Image(1));
    QCOMPARE(int(g_SensorFilled), 0);
    QCOMPARE(int(g_SensorRefreshing), 0);
    QCOMPARE(LevelTexts(page, 4), QStringList({"400", "800", "1600", "1000"}));
    g_SensorFilled = 1;
    page->SlotUpDataSenSorUIB(Drive1Image(1));
    QCOMPARE(int(g_SensorFilled), 1);
    QCOMPARE(ImagesSent(), 0);
}

void TestSensorPage::supportAndLayout_data()
{
    QTest::addColumn<int>("drive");
    QTest::addColumn<QString>("xin1");  // empty: as shipped
    QTest::addColumn<bool>("reduced");
    QTest::addColumn<QString>("onOffShown");  // ripple, straight line, motion sync
    QTest::addColumn<bool>("modeUsable");
    QTest::addColumn<bool>("lodUsable");
    QTest::addColumn<int>("lodItems");
    QTest::newRow("Drive1 full") << kDrive1 << QString() << false << "111" << true << true << 3;
    QTest::newRow("Drive3 reduced") << kDrive3 << QString() << true << "000" << false << false << 2;
    // A full layout still hides what the sensor does not support.
    QTest::newRow("Drive3 full") << kDrive3 << "1" << false << "110" << false << false << 2;
}

void TestSensorPage::supportAndLayout()
{
    QFETCH(int, drive);
    QFETCH(QString, xin1);
    QFETCH(bool, reduced);
    QFETCH(QString, onOffShown);
    QFETCH(bool, modeUsable);
    QFETCH(bool, lodUsable);
    QFETCH(int, lodItems);
    QMap<QString, QString> replace;
    if (!xin1.isEmpty())
        replace.insert(ConfigIni::DriveGroup(drive) + "/XIn1", xin1);
    ConfigVariant config(replace);

    // From the other layout first, so every step of the switch shows.
    Sensor *page = FilledPage(drive == kDrive1 ? kDrive3 : kDrive1, 0, Drive1Image(1));
    UseDevice(drive, 0);
    page->SlotUpDataSenSorUISensor(Drive1Image(1));

    const QString shown = QString(IsShown(page, "frame") ? "1" : "0") + (IsShown(page, "frame_4") ? "1" : "0")
        + (IsShown(page, "frame_3") ? "1" : "0");
    QCOMPARE(shown, onOffShown);
    for (const char *name : {"TitleButton_4", "label_5", "label_11", "ModelChoose", "frameLOD", "Performance",
                             "PerformanceOpen"})
        QVERIFY2(IsShown(page, name) == !reduced, name);
    QCOMPARE(Child<QWidget>(page, "frameEffect")->pos(), reduced ? QPoint(80, 316) : QPoint(80, 456));
    QCOMPARE(Child<QWidget>(page, "TitleButton_3")->pos(), reduced ? QPoint(40, 323) : QPoint(40, 463));
    QCOMPARE(Child<QComboBox>(page, "ModelChoose")->isEnabled(), modeUsable);
    QCOMPARE(Child<QComboBox>(page, "LOD")->isEnabled(), lodUsable);
    QCOMPARE(Child<QComboBox>(page, "LOD")->count(), lodItems);
    QCOMPARE(ImagesSent(), 0);
}

void TestSensorPage::modelKeysOutOfBounds()
{
    // More levels than the image holds, and no range list at all.
    ConfigVariant config({{"Drive1/DPIMaxGrade", "12"}, {"Drive1/DPIRange", QString()}});
    Sensor *page = FilledPage(kDrive1, 0, Drive1Image(1));
    auto *slider = Child<QSlider>(page, "horizontalSliderC");
    QCOMPARE(Child<QComboBox>(page, "ChooseEvent")->count(), 8);
    QCOMPARE(g_DpiRangeMode, 0);
    QCOMPARE(g_DpiRangeCount, 0);
    QVERIFY(g_DpiRangeMaxList.isEmpty());
    // The form's limits stay: no range was ever read.
    QCOMPARE(slider->minimum(), 50);
    QCOMPARE(slider->maximum(), 32000);
    QCOMPARE(ImagesSent(), 0);
}

void TestSensorPage::reset_data()
{
    QTest::addColumn<int>("linkType");
    QTest::addColumn<QString>("highRates");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("mode");
    // The page showed a 1 kHz receiver's image (1000 Hz, HP) before the reset.
    QTest::newRow("1 kHz receiver") << 0 << "000" << 3 << 0;
    QTest::newRow("4 kHz receiver") << 1 << "110" << 5 << 2;
    QTest::newRow("second cable link") << 3 << "111" << 6 << 2;
    QTest::newRow("2 kHz receiver keeps rate and mode") << 4 << "000" << 3 << 1;
}

void TestSensorPage::reset()
{
    QFETCH(int, linkType);
    QFETCH(QString, highRates);
    QFETCH(int, rate);
    QFETCH(int, mode);
    QScopedPointer<QSignalSpy> notices(OfflineNoticeSpy());
    Sensor *page = FilledPage(kDrive1, 0, Drive1Image(1));
    g_SensorFilled = 1;
    UseDevice(kDrive1, linkType);

    page->SlotFormReset();

    QCOMPARE(HighRatesShown(page), highRates);
    QCOMPARE(CheckedRate(page), rate);
    QCOMPARE(Child<QComboBox>(page, "ModelChoose")->currentIndex(), mode);
    auto *slider = Child<QSlider>(page, "horizontalSliderC");
    QCOMPARE(slider->minimum(), 50);
    QCOMPARE(slider->maximum(), 26000);
    QCOMPARE(slider->value(), 1200);
    QCOMPARE(Child<QSpinBox>(page, "spinBoxA")->value(), 1200);
    QCOMPARE(ShownLevels(page), QStringLiteral("11111100"));
    QCOMPARE(Child<QComboBox>(page, "ChooseEvent")->count(), 6);
    QCOMPARE(Child<QComboBox>(page, "ChooseEvent")->currentIndex(), 5);
    QVERIFY(Child<QToolButton>(page, "BlueButton")->isChecked());
    QCOMPARE(Child<QLabel>(page, "label_8")->pos(), QPoint(27, 154));
    QCOMPARE(Child<QComboBox>(page, "LOD")->currentText(), QStringLiteral("1mm"));
    QVERIFY(!Child<QCheckBox>(page, "Performance")->isChecked());
    QVERIFY(!Child<QComboBox>(page, "PerformanceOpen")->isEnabled());
    QCOMPARE(Child<QComboBox>(page, "PerformanceOpen")->currentIndex(), 1);
    QVERIFY(Child<QToolButton>(page, "MotionSync_2")->isChecked());
    QVERIFY(!Child<QToolButton>(page, "StraightLine_2")->isChecked());
    QVERIFY(!Child<QToolButton>(page, "RippeControl_2")->isChecked());
    QCOMPARE(Child<QComboBox>(page, "Model")->currentIndex(), 0);
    QCOMPARE(Child<QSlider>(page, "SpeedH")->value(), 3);
    QCOMPARE(Child<QSlider>(page, "LightH")->value(), 5);

    QCOMPARE(ImagesSent(), 0);
    QCOMPARE(notices->count(), 0);
    QCOMPARE(int(g_SensorRefreshing), 0);
    QCOMPARE(int(g_SensorFilled), 1);
}

void TestSensorPage::reportedRateLocksAndFreesTheMode()
{
    Sensor *page = FilledPage(kDrive1, 1, Drive1Image(1));
    auto *mode = Child<QComboBox>(page, "ModelChoose");
    auto *view = qobject_cast<QListView *>(mode->view());
    QCOMPARE(mode->currentText(), QStringLiteral("HP"));

    page->SlotUpDataReportRate(16);
    QCOMPARE(CheckedRate(page), 4);
    QCOMPARE(mode->currentText(), QStringLiteral("Corded"));
    QVERIFY(!mode->isEnabled());
    QVERIFY(!view->isRowHidden(2));
    QCOMPARE(ImagesSent(), 0);

    page->SlotUpDataReportRate(1);
    QCOMPARE(CheckedRate(page), 3);
    QCOMPARE(mode->currentText(), QStringLiteral("HP"));
    QVERIFY(mode->isEnabled());
    QVERIFY(view->isRowHidden(2));
    // The restored mode goes back to the mouse like a choice of the user's.
    QCOMPARE(ImagesSent(), 1);
    QCOMPARE(StoredByte(14), 1);

    // A single report shows 8000 Hz as it is, on every link; a strange code changes nothing.
    page->SlotUpDataReportRate(64);
    QCOMPARE(CheckedRate(page), 6);
    page->SlotUpDataReportRate(3);
    QCOMPARE(CheckedRate(page), 6);
}

void TestSensorPage::chosenRateLocksAndFreesTheMode_data()
{
    QTest::addColumn<int>("drive");
    QTest::addColumn<int>("linkType");
    QTest::addColumn<QString>("afterHigh");
    QTest::addColumn<QString>("afterLow");
    QTest::newRow("4 kHz receiver") << kDrive1 << 1 << "Corded" << "HP";
    QTest::newRow("1 kHz receiver keeps the mode on high") << kDrive1 << 0 << "HP" << "HP";
    QTest::newRow("cable stays Corded") << kDrive1 << 2 << "Corded" << "Corded";
    QTest::newRow("unlisted sensor untouched") << kDrive3 << 1 << "LP" << "LP";
}

void TestSensorPage::chosenRateLocksAndFreesTheMode()
{
    QFETCH(int, drive);
    QFETCH(int, linkType);
    QFETCH(QString, afterHigh);
    QFETCH(QString, afterLow);
    ConfigVariant config({{ConfigIni::DriveGroup(kDrive3) + "/XIn1", "1"}});
    Sensor *page = FilledPage(drive, linkType, Drive1Image(1));
    auto *mode = Child<QComboBox>(page, "ModelChoose");
    PostMsg::GetInstance()->EmitHideModel(1);
    QCOMPARE(mode->currentText(), afterHigh);
    PostMsg::GetInstance()->EmitHideModel(0);
    QCOMPARE(mode->currentText(), afterLow);
    PostMsg::GetInstance()->EmitHideModel(5);
    QCOMPARE(mode->currentText(), afterLow);
}

void TestSensorPage::modeBoxWritesOnlyLpAndHp()
{
    Sensor *page = FilledPage(kDrive1, 0, Drive1Image(1));
    auto *mode = Child<QComboBox>(page, "ModelChoose");
    const QByteArray before = StoredImage();
    mode->setCurrentIndex(2);
    QCOMPARE(ImagesSent(), 0);

    // The working image holds a mode that names no item: freeing the box
    // leaves it without an item, and that is not sent as a mode.
    FlashDataMap image = ReadImage();
    image.SensorMode = 0xFF;
    StoreImage(image);
    page->SlotHideModel(0);
    QCOMPARE(mode->currentIndex(), -1);
    QCOMPARE(ImagesSent(), 0);
    QCOMPARE(StoredImage(), before);
}

void TestSensorPage::reportedLevelWritesNothing()
{
    Sensor *page = FilledPage(kDrive1, 0, Drive1Image(1));
    auto *dpi = Child<SensorDPI>(page, "frameDpi");
    page->SlotUpDataDPI(3);
    QVERIFY(Child<QToolButton>(page, "YellowButton")->isChecked());
    QCOMPARE(dpi->GetCurrentLevel(), 3);
    QCOMPARE(Child<QLabel>(page, "label_8")->pos(), QPoint(300, 154));
    QCOMPARE(Child<QSlider>(page, "horizontalSliderC")->value(), 1000);
    QCOMPARE(ImagesSent(), 0);
    QCOMPARE(int(g_WritesAllowed), 1);

    // Writes stay off when they were off; a level the panel has not changes nothing.
    g_WritesAllowed = 0;
    page->SlotUpDataDPI(9);
    QCOMPARE(int(g_WritesAllowed), 0);
    QCOMPARE(dpi->GetCurrentLevel(), 3);
    QCOMPARE(Child<QLabel>(page, "label_8")->pos(), QPoint(300, 154));
    page->SlotUpDataDPI(0);
    QVERIFY(Child<QToolButton>(page, "BlueButton")->isChecked());
    QCOMPARE(int(g_WritesAllowed), 0);
    QCOMPARE(ImagesSent(), 0);
}

void TestSensorPage::reportedIndicatorWritesNothing()
{
    Sensor *page = FilledPage(kDrive1, 0, Drive1Image(1));
    FlashDataMap reported = Drive1Image(1);
    reported.DpiLedMode = 1;
    reported.DpiLedSpeed = 9;      // the panel bounds it to 5
    reported.DpiLedBrightness = 100;  // no step of its own: 10
    page->SlotUpDataDPILed(reported);
    QCOMPARE(Child<QComboBox>(page, "Model")->currentIndex(), 1);
    QCOMPARE(Child<QSlider>(page, "SpeedH")->value(), 5);
    QCOMPARE(Child<QSlider>(page, "LightH")->value(), 10);
    QCOMPARE(int(g_SensorRefreshing), 0);
    QCOMPARE(ImagesSent(), 0);

    reported.DpiLedOn = 0;
    page->SlotUpDataDPILed(reported);
    QCOMPARE(Child<QComboBox>(page, "Model")->currentIndex(), 0);
    QCOMPARE(ImagesSent(), 0);
}

void TestSensorPage::performanceTime_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<int>("code");
    const int codes[] = {3, 6, 12, 30, 60, 90};
    for (int item = 0; item < 6; ++item)
        QTest::newRow(qPrintable(QString::number(codes[item]))) << item << codes[item];
}

void TestSensorPage::performanceTime()
{
    QFETCH(int, item);
    QFETCH(int, code);
    FlashDataMap image = Drive1Image(1);
    image.PerformanceOpen = item == 0 ? 90 : 3;  // a different item is shown first
    Sensor *page = FilledPage(kDrive1, 0, image);
    QCOMPARE(Sensor::PerformanceIndexForCode(code), item);
    ChooseItem(Child<QComboBox>(page, "PerformanceOpen"), item);
    QCOMPARE(ImagesSent(), 1);
    QCOMPARE(StoredByte(13), code);
}

void TestSensorPage::performanceTimeSilentWithoutWrites()
{
    FlashDataMap image = Drive1Image(1);
    image.PerformanceOpen = 3;
    Sensor *page = FilledPage(kDrive1, 0, image);
    auto *box = Child<QComboBox>(page, "PerformanceOpen");
    g_WritesAllowed = 0;
    ChooseItem(box, 4);
    QCOMPARE(box->currentIndex(), 4);
    QCOMPARE(ImagesSent(), 0);

    // A fill that moves the box (and every other control) sends nothing either,
    // and a byte that names no item leaves the box where it was.
    g_WritesAllowed = 1;
    image.PerformanceOpen = 12;
    page->SlotUpDataSenSorUISensor(image);
    QCOMPARE(box->currentIndex(), 2);
    image.PerformanceOpen = 7;
    page->SlotUpDataSenSorUISensor(image);
    QCOMPARE(box->currentIndex(), 2);
    QCOMPARE(ImagesSent(), 0);
}

void TestSensorPage::sensorModeChoice_data()
{
    QTest::addColumn<int>("shownMode");
    QTest::addColumn<int>("item");
    QTest::newRow("LP writes 0") << 1 << 0;
    QTest::newRow("HP writes 1") << 0 << 1;
}

void TestSensorPage::sensorModeChoice()
{
    QFETCH(int, shownMode);
    QFETCH(int, item);
    FlashDataMap image = Drive1Image(1);
    image.SensorMode = uint8_t(shownMode);
    Sensor *page = FilledPage(kDrive1, 0, image);
    ChooseItem(Child<QComboBox>(page, "ModelChoose"), item);
    QCOMPARE(ImagesSent(), 1);
    QCOMPARE(StoredByte(14), item);
}

void TestSensorPage::performanceClick()
{
    FlashDataMap image = Drive1Image(1);
    image.Performance = 0;
    Sensor *page = FilledPage(kDrive1, 0, image);
    auto *box = Child<QCheckBox>(page, "Performance");
    auto *time = Child<QComboBox>(page, "PerformanceOpen");
    QVERIFY(!time->isEnabled());
    const QPoint indicator(8, box->height() / 2);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator);
    QVERIFY(box->isChecked());
    QVERIFY(time->isEnabled());
    QCOMPARE(ImagesSent(), 1);
    QCOMPARE(StoredByte(12), 1);
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator);
    QVERIFY(!time->isEnabled());
    QCOMPARE(ImagesSent(), 2);
    QCOMPARE(StoredByte(12), 0);
    g_WritesAllowed = 0;
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, indicator);
    QVERIFY(box->isChecked());
    QCOMPARE(ImagesSent(), 2);
}

void TestSensorPage::levelIni_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("count");
    QTest::newRow("number") << true << QByteArray("4\n") << 4;
    QTest::newRow("not a number") << true << QByteArray("four\n") << 0;
    QTest::newRow("empty") << true << QByteArray() << 1;
    QTest::newRow("missing") << false << QByteArray() << 1;
}

void TestSensorPage::levelIni()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(int, count);
    const QString folder = TestSupport::BaseFolder() + "/usersetting/SensorPage";
    WriteLevelIniFile(folder, exists ? &content : nullptr);
    Sensor *page = MakePage();
    QCOMPARE(page->PageFolder(), folder);
    QCOMPARE(Child<SensorDPI>(page, "frameDpi")->GetLevelCount(), count);
    QCOMPARE(QFile::exists(folder + "/Level.ini"), exists);

    QVERIFY(page->WriteLevelIni(7));
    QFile file(folder + "/Level.ini");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("7"));
}

void TestSensorPage::texts_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("steady");
    QTest::addColumn<QString>("ripple");
    QTest::addColumn<QString>("rate");
    QTest::newRow("English") << 0 << "Sensor settings" << "5 min" << "Steady" << "Ripple control" << "Polling rate";
    QTest::newRow("Simplified Chinese") << 1 << "传感器设置" << "5分钟" << "常亮" << "波纹控制" << "回报率";
    QTest::newRow("Japanese") << 5 << "センサー設定" << "5分" << "常時点灯" << "リップルコントロール"
                              << "報告レート";
}

void TestSensorPage::texts()
{
    QFETCH(int, language);
    QFETCH(QString, section);
    QFETCH(QString, time);
    QFETCH(QString, steady);
    QFETCH(QString, ripple);
    QFETCH(QString, rate);
    {
        QSettings macroIni(TestSupport::BaseFolder() + "/Macro.ini", QSettings::IniFormat);
        macroIni.setValue("Language/Language", QString::number(language));
    }
    Sensor *page = MakePage();
    auto check = [&] {
        QCOMPARE(Child<QLabel>(page, "label_5")->text(), section);
        QCOMPARE(Child<QComboBox>(page, "PerformanceOpen")->itemText(3), time);
        QCOMPARE(Child<QComboBox>(page, "Model")->itemText(1), steady);
        QCOMPARE(Child<QWidget>(page, "frame")->findChild<QLabel *>("label")->text(), ripple);
        QCOMPARE(Child<QWidget>(page, "frameRate")->findChild<QLabel *>("label")->text(), rate);
        QVERIFY(Child<QLabel>(page, "label_11")->toolTip().contains("Corded"));
        QVERIFY(!Child<QWidget>(page, "frameLOD")->findChild<QLabel *>("label")->toolTip().isEmpty());
        QCOMPARE(Child<QComboBox>(page, "ModelChoose")->itemText(2), QStringLiteral("Corded"));
    };
    check();
    // A language change from elsewhere, then back.
    PostMsg::GetInstance()->EmitChangeLanguage(language == 1 ? 0 : 1);
    QVERIFY(Child<QLabel>(page, "label_5")->text() != section);
    PostMsg::GetInstance()->EmitChangeLanguage(language);
    check();
}

void TestSensorPage::shortThemeLists()
{
    ConfigVariant config({{"Option/LabelColor", "255"}, {"Option/ComboxTextColor", QString()}});
    Sensor *page = MakePage();
    const QRegularExpression triple(QStringLiteral("rgb\\(\\d{1,3},\\d{1,3},\\d{1,3};\\)"));
    QVERIFY2(triple.match(Child<QLabel>(page, "label_5")->styleSheet()).hasMatch(),
             qPrintable(Child<QLabel>(page, "label_5")->styleSheet()));
    QVERIFY(triple.match(Child<QCheckBox>(page, "Performance")->styleSheet()).hasMatch());
    QVERIFY(!Child<QComboBox>(page, "ModelChoose")->styleSheet().contains("rgb()"));
}

VOGM_TEST_MAIN(TestSensorPage)
#include "tst_sensorpage.moc"
