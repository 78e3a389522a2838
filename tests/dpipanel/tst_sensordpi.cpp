// The DPI levels panel and its current-level handle, driven through real
// widget events against the simulated mouse on cable: level selection, value
// snapping and the step buttons, the first user change after a fill, colours,
// the level count with its exchange, the defaults and the handle's drops.
#include "configini.h"
#include "globals.h"
#include "hidusb_control.h"
#include "myslider.h"
#include "postmsg.h"
#include "sensorcoding.h"
#include "sensordpi.h"
#include "sensormodel.h"
#include "devicesession.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <cstring>
#include <memory>

namespace {

const QString kMouse = QStringLiteral("m1");  // on cable, online
const QString kSilentReceiver = QStringLiteral("r8k");  // its mouse is switched off

const char *const kValueNames[SensorDPI::kLevels] = {"BlueButton",  "BrightRedButton", "RedButton",
                                                     "YellowButton", "GreenButton",     "PurpleButton",
                                                     "LightBlueButton", "LightYellowButton"};

// Two ranges around a gap, as the shipped models have them.
const char *const kGapRanges = "100,3000,50,3100,26000,100,0x22";
// One range whose slider maps exactly ten DPI onto each of its 561 pixels.
const char *const kPixelRanges = "50,5660,50,0x22";

const QList<int> kDistinctValues = {400, 800, 1200, 1600, 2000, 2400, 2800, 3200};

int Updates()
{
    return int(HidSim::CallsOf(QStringLiteral("ProtocolDataUpdate")).size());
}

FlashDataMap ImageOf(const QByteArray &bytes)
{
    FlashDataMap image;
    std::memcpy(&image, bytes.constData(), sizeof image);
    return image;
}

QByteArray BytesOf(const FlashDataMap &image)
{
    return QByteArray(reinterpret_cast<const char *>(&image), kFlashDataMapSize);
}

FlashDataMap DeviceImage()
{
    return ImageOf(HidSim::StoredImage(kMouse));
}

void UseRanges(const char *ranges)
{
    g_SensorName = QStringLiteral("3395");
    ApplyDpiRange(ParseDpiRange(QString::fromLatin1(ranges).split(QLatin1Char(','))));
}

int RangeMin()
{
    return g_DpiRange1Min.toInt();
}

int RangeMax()
{
    return g_DpiRangeMaxList.isEmpty() ? 0 : g_DpiRangeMaxList.last();
}

QColor LevelColor(int level)
{
    return QColor::fromHsv(level * 45, 255, 255);
}

QString Triple(const QColor &color)
{
    return QStringLiteral("%1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue());
}

DpiLevelRecord RecordFor(int dpi, const QColor &color)
{
    const DpiLevelCode code = EncodeDpi(DpiCodingModel::Current(), dpi);
    return DpiLevelRecord{code.X, code.X, code.Flags, uint8_t(color.red()), uint8_t(color.green()),
                          uint8_t(color.blue())};
}

bool SameRecord(const DpiLevelRecord &a, const DpiLevelRecord &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QString Hex(const DpiLevelRecord &record)
{
    return QStringLiteral("#%1%2%3")
        .arg(record.Red, 2, 16, QLatin1Char('0'))
        .arg(record.Green, 2, 16, QLatin1Char('0'))
        .arg(record.Blue, 2, 16, QLatin1Char('0'));
}

// The sensor page's fill of the panel from an image, in the page's order.
void FillPanel(SensorDPI *panel, const FlashDataMap &image)
{
    panel->ClearCountItems();
    panel->BlockSliderSignals(true);
    panel->SetSliderEnabled(true);
    g_SensorRefreshing = 1;
    panel->SetLevelCount(image.DpiLevelCount);
    panel->SetCurrentLevel(image.DpiLevel);
    panel->BlockCountSignals(true);
    for (int i = 0; i < SensorDPI::kLevels; ++i) {
        panel->SetLevelColor(i, Hex(image.DpiLevels[i]));
        panel->InsertCountItem(i, QString::number(i + 1));
    }
    panel->BlockCountSignals(false);
    panel->HighlightMarker(image.DpiLevel);
    panel->SetSliderMaximum(RangeMax());
    panel->SetSliderMinimum(RangeMin());
    for (int i = 0; i < SensorDPI::kLevels; ++i) {
        const int dpi = DecodeLevelDpi(image.DpiLevels[i]);
        panel->SetLevelText(i, QString::number(dpi));
        if (i == image.DpiLevel) {
            panel->SetSliderValue(dpi);
            panel->SetSpinValue(dpi);
        }
    }
    panel->ShowLevels(image.DpiLevelCount - 1);
    panel->SetCountIndex(image.DpiLevelCount - 1);
    panel->MoveHandle(image.DpiLevel + 1);
    panel->CheckLevelButton(image.DpiLevel);
    panel->BlockSliderSignals(false);
    g_SensorRefreshing = 0;
}

// The page's reset to defaults (device away, no cached image); the slider's
// signals stay open during it.
void ResetPanel(SensorDPI *panel)
{
    g_SensorRefreshing = 1;
    panel->SetSliderMaximum(26000);
    panel->SetSliderMinimum(50);
    panel->LoadDefaultLevels();
    panel->ClearCountItems();
    for (int i = 0; i < 6; ++i)
        panel->InsertCountItem(i, QString::number(i + 1));
    panel->BlockCountSignals(false);
    panel->ShowLevels(5);
    panel->SetCountIndex(5);
    panel->MoveHandle(1);
    panel->CheckLevelButton(0);
    panel->SetSliderValue(1200);
    panel->SetSpinValue(1200);
    g_SensorRefreshing = 0;
}

// A mouse event delivered to the widget under the panel point, as the window
// system would; ignored events travel up to the panel.
void SendMouse(SensorDPI *panel, QEvent::Type type, const QPoint &at, Qt::MouseButton button,
               Qt::MouseButtons held)
{
    QWidget *target = panel->childAt(at);
    if (!target)
        target = panel;
    const QPoint local = target->mapFrom(panel, at);
    QMouseEvent event(type, local, local, target->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void DragHandle(SensorDPI *panel, const QPoint &from, const QPoint &to, Qt::MouseButton button = Qt::LeftButton)
{
    SendMouse(panel, QEvent::MouseButtonPress, from, button, button);
    SendMouse(panel, QEvent::MouseMove, to, Qt::NoButton, button);
    SendMouse(panel, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

void SendSliderMouse(QSlider *slider, QEvent::Type type, int x, Qt::MouseButtons held)
{
    const QPoint at(x, slider->height() / 2);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, at, slider->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(slider, &event);
}

QRect KnobRect(QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.upsideDown = false;
    option.subControls = QStyle::SC_SliderHandle | QStyle::SC_SliderGroove;
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
}

// A point on the knob where a press leaves the value as it is (the slider
// jumps to the pressed point's value).
int NeutralKnobX(QSlider *slider)
{
    const QRect knob = KnobRect(slider);
    for (int x = knob.left(); x <= knob.right(); ++x) {
        if (MySlider::ValueAt(x, slider->width(), slider->minimum(), slider->maximum()) == slider->value())
            return x;
    }
    return -1;
}

}  // namespace

class TestSensorDpi : public QObject {
    Q_OBJECT

    QByteArray m_onlinePath;
    std::unique_ptr<SensorDPI> m_panel;

    SensorDPI *Panel() { return m_panel.get(); }
    template <typename T>
    T *Child(const QString &name)
    {
        T *child = m_panel->findChild<T *>(name);
        if (!child)
            qFatal("no child %s", qPrintable(name));
        return child;
    }
    QToolButton *ValueButton(int level) { return Child<QToolButton>(QString::fromLatin1(kValueNames[level])); }
    QToolButton *Marker(int level) { return Child<QToolButton>(QString::fromLatin1(kValueNames[level]) + 'A'); }
    QSlider *Slider() { return Child<QSlider>(QStringLiteral("horizontalSliderC")); }
    QSpinBox *Spin() { return Child<QSpinBox>(QStringLiteral("spinBoxA")); }
    QComboBox *CountBox() { return Child<QComboBox>(QStringLiteral("ChooseEvent")); }
    QLabel *Handle() { return Child<QLabel>(QStringLiteral("label_8")); }

    // Puts `image` into the mouse and the program's image and fills the panel.
    void InstallAndFill(const QList<int> &values, int count, int current)
    {
        FlashDataMap image = DeviceImage();
        image.DpiLevelCount = uint8_t(count);
        image.DpiLevel = uint8_t(current);
        for (int i = 0; i < SensorDPI::kLevels; ++i)
            image.DpiLevels[i] = RecordFor(values.value(i, 800), LevelColor(i));
        QVERIFY(HidSim::SetStoredImage(kMouse, BytesOf(image)));
        StoreImage(image);
        FillPanel(Panel(), image);
        HidSim::ClearCallLog();
    }

    // Picks count item `index` in the count box's popup with the mouse.
    void ChooseCount(int index)
    {
        QComboBox *box = CountBox();
        box->showPopup();
        QAbstractItemView *view = box->view();
        QVERIFY(QTest::qWaitForWindowExposed(view->window(), TestSupport::kHangGuardMs));
        const QRect item = view->visualRect(view->model()->index(index, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
        QCOMPARE(box->currentIndex(), index);
    }

private slots:
    void initTestCase()
    {
        HidSim::SetWorld(HidSim::DefaultWorld());
        m_onlinePath = HidSim::PathOf(kMouse);
        QVERIFY(!m_onlinePath.isEmpty());
        QVERIFY(TestSupport::OpenAsCurrentDevice(kMouse));
        QVERIFY(HidSim::WaitUntilIdle());
    }

    void cleanupTestCase()
    {
        UsbServer_Exit();
    }

    void init()
    {
        SetCurrentPath(m_onlinePath);
        g_SensorRefreshing = 0;
        g_ButtonRefreshing = 0;
        g_ApplyingSettings = 0;
        g_WritesAllowed = 1;
        UseRanges(kGapRanges);
        m_panel = std::make_unique<SensorDPI>();
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.get(), TestSupport::kHangGuardMs));
        HidSim::ClearCallLog();
    }

    void cleanup()
    {
        m_panel.reset();
    }

    void formHasTheLayoutThePageExpects()
    {
        QCOMPARE(Panel()->size(), QSize(728, 194));
        QVERIFY(!Slider()->hasTracking());
        QVERIFY(Spin()->isReadOnly());
        for (int level = 0; level < SensorDPI::kLevels; ++level) {
            QCOMPARE(ValueButton(level)->geometry(), QRect(15 + 91 * level, 99, 54, 56));
            QCOMPARE(Marker(level)->geometry(), QRect(17 + 91 * level, 141, 50, 12));
            QCOMPARE(Panel()->SnapPoint(level).y(), 154);
        }
        QCOMPARE(Panel()->SnapPoint(5), QPoint(483, 154));
        QCOMPARE(Panel()->GetCurrentLevel(), 1);
    }

    // Every picture the panel's style sheets name was produced by the build.
    void styleSheetsNameOnlyPicturesThatExist()
    {
        InstallAndFill(kDistinctValues, 8, 2);
        const QStringList named = TestSupport::PicturesNamed(Panel());
        QVERIFY(named.size() >= 20);
        for (const QString &file : named)
            QVERIFY2(QFileInfo::exists(file), qPrintable(file));
    }

    void clickOnAnotherLevelSelectsAndWritesItOnce()
    {
        InstallAndFill(kDistinctValues, 8, 0);
        QTest::mouseClick(ValueButton(3), Qt::LeftButton);

        QCOMPARE(Updates(), 1);
        QCOMPARE(int(ReadImage().DpiLevel), 3);
        QCOMPARE(int(DeviceImage().DpiLevel), 3);
        QCOMPARE(Slider()->value(), 1600);
        QCOMPARE(Spin()->value(), 1600);
        QCOMPARE(Handle()->pos(), QPoint(300, 154));
        QCOMPARE(Panel()->GetCurrentLevel(), 3);
        QCOMPARE(ValueButton(3)->geometry(), QRect(288 - 7, 99 - 7, 68, 70));
        QCOMPARE(Marker(3)->geometry(), QRect(290 - 8, 141 + 6, 66, 14));
        QCOMPARE(ValueButton(0)->geometry(), QRect(15, 99, 54, 56));
        QCOMPARE(Marker(0)->geometry(), QRect(17, 141, 50, 12));
        QVERIFY(Marker(3)->styleSheet().contains(QStringLiteral("MaxB.png")));
        QVERIFY(Marker(0)->styleSheet().contains(QStringLiteral("MinB.png")));

        HidSim::ClearCallLog();
        QTest::mouseClick(ValueButton(3), Qt::LeftButton);
        QCOMPARE(Updates(), 0);
        QCOMPARE(Spin()->value(), 1600);
    }

    // The page's fill and reset and the mouse's own level report write nothing.
    void pageCallsWriteNothing()
    {
        InstallAndFill(kDistinctValues, 8, 4);
        ResetPanel(Panel());
        QCOMPARE(Spin()->value(), 1200);
        QCOMPARE(ValueButton(0)->text(), QStringLiteral("1200"));

        // As the page follows a level the mouse reports.
        g_WritesAllowed = 0;
        Panel()->MoveHandle(3);
        Panel()->CheckLevelButton(2);
        Panel()->SetCurrentLevel(2);
        g_WritesAllowed = 1;
        QCOMPARE(Updates(), 0);
        QCOMPARE(Handle()->pos(), Panel()->SnapPoint(2));
    }

    // The user's first change after a fill, or after selecting a level whose
    // value the slider already shows, reaches the mouse.
    void firstSliderReleaseIsSent_data()
    {
        QTest::addColumn<bool>("selectSameValueFirst");
        QTest::newRow("after a fill") << false;
        QTest::newRow("after selecting a level with the slider's value") << true;
    }

    void firstSliderReleaseIsSent()
    {
        QFETCH(bool, selectSameValueFirst);
        UseRanges(kPixelRanges);
        QList<int> values = kDistinctValues;
        values[2] = 800;
        values[5] = 800;
        InstallAndFill(values, 8, selectSameValueFirst ? 5 : 2);
        if (selectSameValueFirst) {
            QTest::mouseClick(ValueButton(2), Qt::LeftButton);
            HidSim::ClearCallLog();
        }
        QSlider *slider = Slider();
        QCOMPARE(slider->value(), 800);

        const int pressX = NeutralKnobX(slider);
        QVERIFY(pressX >= 0);
        const int grab = pressX - KnobRect(slider).left();
        SendSliderMouse(slider, QEvent::MouseButtonPress, pressX, Qt::LeftButton);
        QCOMPARE(Updates(), 0);
        // The knob's left edge for 1675 (between the grid values 1650 and 1700).
        const int knobLeft = QStyle::sliderPositionFromValue(slider->minimum(), slider->maximum(), 1675,
                                                             slider->width() - KnobRect(slider).width());
        SendSliderMouse(slider, QEvent::MouseMove, knobLeft + grab, Qt::LeftButton);
        QCOMPARE(Updates(), 0);
        QCOMPARE(Spin()->value(), 1650);
        SendSliderMouse(slider, QEvent::MouseButtonRelease, knobLeft + grab, Qt::NoButton);

        QCOMPARE(Updates(), 1);
        const DpiLevelRecord expected = RecordFor(1650, LevelColor(2));
        QVERIFY(SameRecord(ReadImage().DpiLevels[2], expected));
        QVERIFY(SameRecord(DeviceImage().DpiLevels[2], expected));
        QCOMPARE(ValueButton(2)->text(), QStringLiteral("1650"));
        QCOMPARE(Spin()->value(), 1650);
    }

    void valueChangeWhileOfflineSendsNothing()
    {
        InstallAndFill(kDistinctValues, 8, 1);
        SetCurrentPath(HidSim::PathOf(kSilentReceiver));
        QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        Panel()->SetSliderValue(2999);
        QCOMPARE(notices.count(), 1);
        QCOMPARE(Spin()->value(), 2999);
        QCOMPARE(ValueButton(1)->text(), QStringLiteral("800"));
        QCOMPARE(Updates(), 0);
    }

    void valuesSnapToTheRanges_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("pageStep");
        QTest::newRow("2999 in the lower range") << 2999 << 2950 << 50;
        QTest::newRow("3050 in the gap") << 3050 << 3100 << 100;
        QTest::newRow("25990 in the upper range") << 25990 << 25900 << 100;
        QTest::newRow("3000, the lower maximum") << 3000 << 3000 << 50;
    }

    void valuesSnapToTheRanges()
    {
        QFETCH(int, value);
        QFETCH(int, shown);
        QFETCH(int, pageStep);
        InstallAndFill(kDistinctValues, 8, 1);
        Panel()->SetSliderValue(value);
        QCOMPARE(Spin()->value(), shown);
        QCOMPARE(ValueButton(1)->text(), QString::number(shown));
        QCOMPARE(Slider()->value(), value);
        QCOMPARE(Slider()->pageStep(), pageStep);
        QCOMPARE(Updates(), 1);
        QVERIFY(SameRecord(DeviceImage().DpiLevels[1], RecordFor(shown, LevelColor(1))));
    }

    void stepButtonsWalkTheGrid_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("writes");
        QTest::newRow("add from the lower maximum") << "AddLevelA" << 3000 << 3100 << 1;
        QTest::newRow("add inside a range") << "AddLevelA" << 2950 << 3000 << 1;
        QTest::newRow("add at the slider's maximum") << "AddLevelA" << 26000 << 26000 << 0;
        QTest::newRow("reduce from the upper minimum") << "ReduceLevelA" << 3100 << 3000 << 1;
        QTest::newRow("reduce from the gap") << "ReduceLevelA" << 3050 << 3000 << 1;
    }

    void stepButtonsWalkTheGrid()
    {
        QFETCH(QString, button);
        QFETCH(int, start);
        QFETCH(int, result);
        QFETCH(int, writes);
        InstallAndFill(kDistinctValues, 8, 1);
        Panel()->BlockSliderSignals(true);
        Panel()->SetSliderValue(start);
        Panel()->BlockSliderSignals(false);
        Panel()->SetSpinValue(start);  // the page may show a value off the grid

        QTest::mouseClick(Child<QToolButton>(button), Qt::LeftButton);
        QCOMPARE(Spin()->value(), result);
        QCOMPARE(Updates(), writes);
        if (writes)
            QVERIFY(SameRecord(DeviceImage().DpiLevels[1], RecordFor(result, LevelColor(1))));
    }

    void stepButtonOfflineOnlyRaisesTheNotice()
    {
        InstallAndFill(kDistinctValues, 8, 1);
        SetCurrentPath(HidSim::PathOf(kSilentReceiver));
        QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        QTest::mouseClick(Child<QToolButton>(QStringLiteral("AddLevelA")), Qt::LeftButton);
        QCOMPARE(notices.count(), 1);
        QCOMPARE(Spin()->value(), 800);
        QCOMPARE(Updates(), 0);
    }

    void acceptedColourGoesToTheCheckedLevel()
    {
        InstallAndFill(kDistinctValues, 8, 0);
        QTest::mouseClick(Marker(3), Qt::LeftButton);  // selects level 3 and opens the dialog
        QColorDialog *dialog = Panel()->GetColorDialog();
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(Panel()->GetCurrentLevel(), 3);
        HidSim::ClearCallLog();

        dialog->setCurrentColor(QColor(255, 0, 160));
        QDialogButtonBox *buttons = dialog->findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);

        QCOMPARE(Updates(), 1);
        const DpiLevelRecord record = DeviceImage().DpiLevels[3];
        QCOMPARE(QColor(record.Red, record.Green, record.Blue), QColor(255, 0, 160));
        QCOMPARE(Panel()->GetLevelColor(3), QStringLiteral("255,0,160"));
        QVERIFY(Marker(3)->styleSheet().contains(QStringLiteral("rgb(255,0,160)")));
        QVERIFY(Marker(3)->styleSheet().contains(QStringLiteral("MaxB.png")));
    }

    void colourWithNoLevelCheckedChangesNothing()
    {
        const QString before = Panel()->GetLevelColor(0);
        Panel()->SetColor(QColor(1, 2, 3));
        QCOMPARE(Updates(), 0);
        QCOMPARE(Panel()->GetLevelColor(0), before);
    }

    void countBelowTheCurrentLevelExchangesIt()
    {
        InstallAndFill(kDistinctValues, 6, 4);
        const FlashDataMap before = DeviceImage();
        ChooseCount(2);

        QCOMPARE(ValueButton(2)->text(), QStringLiteral("2000"));
        QCOMPARE(ValueButton(4)->text(), QStringLiteral("1200"));
        QCOMPARE(Panel()->GetLevelColor(2), Triple(LevelColor(4)));
        QCOMPARE(Panel()->GetLevelColor(4), Triple(LevelColor(2)));
        QVERIFY(ValueButton(2)->isChecked());
        QCOMPARE(Panel()->GetCurrentLevel(), 2);
        QCOMPARE(Spin()->value(), 2000);
        QCOMPARE(Handle()->pos(), QPoint(209, 154));
        for (int level = 0; level < SensorDPI::kLevels; ++level) {
            QCOMPARE(ValueButton(level)->isVisible(), level <= 2);
            QCOMPARE(Marker(level)->isVisible(), level <= 2);
        }

        QCOMPARE(Updates(), 3);
        for (const FlashDataMap &image : {ReadImage(), DeviceImage()}) {
            QVERIFY(SameRecord(image.DpiLevels[2], before.DpiLevels[4]));
            QVERIFY(SameRecord(image.DpiLevels[4], before.DpiLevels[2]));
            QCOMPARE(int(image.DpiLevel), 2);
            QCOMPARE(int(image.DpiLevelCount), 3);
        }
    }

    void countAboveTheCurrentLevelOnlyHides()
    {
        InstallAndFill(kDistinctValues, 6, 2);
        const FlashDataMap before = DeviceImage();
        ChooseCount(4);
        QVERIFY(ValueButton(4)->isVisible());
        QVERIFY(!ValueButton(5)->isVisible());
        QCOMPARE(Panel()->GetCurrentLevel(), 2);
        QCOMPARE(Updates(), 1);
        const FlashDataMap after = DeviceImage();
        QCOMPARE(int(after.DpiLevelCount), 5);
        QCOMPARE(int(after.DpiLevel), 2);
        QVERIFY(std::memcmp(after.DpiLevels, before.DpiLevels, sizeof before.DpiLevels) == 0);
    }

    // The page stores the image's current-level byte unchecked; a count change
    // with a level beyond the eighth selects the new last level instead.
    void countWithACurrentLevelBeyondTheEighth()
    {
        InstallAndFill(kDistinctValues, 6, 1);
        Panel()->SetCurrentLevel(200);
        const FlashDataMap before = DeviceImage();
        ChooseCount(2);
        QCOMPARE(Panel()->GetCurrentLevel(), 2);
        QVERIFY(ValueButton(2)->isChecked());
        QCOMPARE(Handle()->pos(), QPoint(209, 154));
        const FlashDataMap after = DeviceImage();
        QCOMPARE(int(after.DpiLevel), 2);
        QCOMPARE(int(after.DpiLevelCount), 3);
        QVERIFY(std::memcmp(after.DpiLevels, before.DpiLevels, sizeof before.DpiLevels) == 0);
        QCOMPARE(ValueButton(1)->text(), QStringLiteral("800"));
        QCOMPARE(ValueButton(2)->text(), QStringLiteral("1200"));
    }

    void countChangeDuringAFillDoesNothing()
    {
        InstallAndFill(kDistinctValues, 6, 4);
        g_SensorRefreshing = 1;
        Panel()->SetCountIndex(1);
        g_SensorRefreshing = 0;
        QVERIFY(ValueButton(5)->isVisible());
        QCOMPARE(Panel()->GetCurrentLevel(), 4);
        QCOMPARE(Updates(), 0);
    }

    void defaultLevelsFromTheModel_data()
    {
        QTest::addColumn<QString>("colors");
        QTest::addColumn<QString>("grades");
        QTest::addColumn<QStringList>("expectedColors");
        QTest::addColumn<QStringList>("expectedTexts");
        const QStringList formColors = {"255,0,0", "0,255,0", "0,0,255", "255,255,0",
                                        "0,255,255", "255,0,255", "159,0,0", "0,212,252"};
        const QStringList formTexts = {"100", "200", "200", "100", "100", "200", "100", "200"};
        QStringList full;
        QStringList fullTriples;
        for (int i = 0; i < 8; ++i) {
            full << QString::number(i) << QString::number(10 + i) << QString::number(20 + i);
            fullTriples << QStringLiteral("%1,%2,%3").arg(i).arg(10 + i).arg(20 + i);
        }
        const QString grades = QStringLiteral("400,800,1600,2400,3200,6400,12800,26000");
        QTest::newRow("complete") << full.join(',') << grades << fullTriples << grades.split(',');
        QStringList partial = formColors;
        partial[0] = QStringLiteral("1,2,3");
        partial[1] = QStringLiteral("4,5,6");
        QTest::newRow("incomplete last colour, short grades")
            << "1,2,3,4,5,6,7" << "400,800" << partial << formTexts;
        QTest::newRow("missing keys") << QString() << QString() << formColors << formTexts;
    }

    void defaultLevelsFromTheModel()
    {
        QFETCH(QString, colors);
        QFETCH(QString, grades);
        QFETCH(QStringList, expectedColors);
        QFETCH(QStringList, expectedTexts);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Config.ini"));
        QFile ini(file);
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[" + ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex).toLatin1() + "]\n");
        if (!colors.isEmpty())
            ini.write("DPIColor=" + colors.toLatin1() + "\n");
        if (!grades.isEmpty())
            ini.write("DPIGrade=" + grades.toLatin1() + "\n");
        ini.close();
        ConfigIni *config = ConfigIni::GetInstance();
        config->UseFileForTesting(file);
        Panel()->LoadDefaultLevels();
        config->UseFileForTesting(ConfigIni::DefaultPath());

        for (int level = 0; level < SensorDPI::kLevels; ++level) {
            QCOMPARE(Panel()->GetLevelColor(level), expectedColors.at(level));
            QCOMPARE(ValueButton(level)->text(), expectedTexts.at(level));
        }
        QCOMPARE(Updates(), 0);
    }

    void highlightMarkerPaintsOneSelected()
    {
        Panel()->HighlightMarker(7);
        for (int level = 0; level < 7; ++level)
            QVERIFY(Marker(level)->styleSheet().contains(QStringLiteral("MinB.png")));
        QVERIFY(Marker(7)->styleSheet().contains(QStringLiteral("MaxB.png")));
        Panel()->HighlightMarker(0);
        QVERIFY(Marker(7)->styleSheet().contains(QStringLiteral("MinB.png")));
        QCOMPARE(Marker(7)->geometry(), QRect(654, 141, 50, 12));
    }

    void handleDrops_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("releaseX");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("writes");
        QTest::newRow("one level right") << 8 << 120 << 1 << 2;
        QTest::newRow("short of one level") << 8 << 100 << 0 << 0;
        QTest::newRow("four levels right") << 8 << 400 << 4 << 2;
        QTest::newRow("between the windows") << 8 << 420 << 0 << 0;
        QTest::newRow("seven levels right") << 8 << 690 << 7 << 2;
        QTest::newRow("beyond the third level") << 3 << 300 << 0 << 1;
        QTest::newRow("past the strip") << 8 << 710 << 0 << 0;
        QTest::newRow("a click") << 8 << 35 << 0 << 0;
    }

    void handleDrops()
    {
        QFETCH(int, count);
        QFETCH(int, releaseX);
        QFETCH(int, level);
        QFETCH(int, writes);
        InstallAndFill(kDistinctValues, count, 0);
        QCOMPARE(Handle()->pos(), QPoint(27, 154));

        DragHandle(Panel(), QPoint(35, 160), QPoint(releaseX, 160));

        QCOMPARE(Panel()->GetCurrentLevel(), level);
        QCOMPARE(Handle()->pos(), Panel()->SnapPoint(level));
        QVERIFY(ValueButton(level)->isChecked());
        QCOMPARE(Updates(), writes);
        QCOMPARE(int(DeviceImage().DpiLevel), level);
        QCOMPARE(Spin()->value(), kDistinctValues.at(level));
    }

    void handleFollowsThePointerAndAnyButtonDrags()
    {
        InstallAndFill(kDistinctValues, 8, 0);
        SendMouse(Panel(), QEvent::MouseButtonPress, QPoint(35, 160), Qt::RightButton, Qt::RightButton);
        SendMouse(Panel(), QEvent::MouseMove, QPoint(60, 120), Qt::NoButton, Qt::RightButton);
        QCOMPARE(Handle()->pos(), QPoint(52, 114));
        SendMouse(Panel(), QEvent::MouseButtonRelease, QPoint(60, 120), Qt::RightButton, Qt::NoButton);
        QCOMPARE(Handle()->pos(), QPoint(27, 154));
        QCOMPARE(Updates(), 0);
    }

    void offlineDropKeepsTheLevelWithOneNotice()
    {
        InstallAndFill(kDistinctValues, 8, 0);
        SetCurrentPath(HidSim::PathOf(kSilentReceiver));
        QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);

        DragHandle(Panel(), QPoint(35, 160), QPoint(120, 160));

        QCOMPARE(notices.count(), 1);
        QCOMPARE(Panel()->GetCurrentLevel(), 0);
        QCOMPARE(Handle()->pos(), QPoint(27, 154));
        QVERIFY(ValueButton(0)->isChecked());
        QCOMPARE(Updates(), 0);
    }

    // For a look at the panel: with VOGM_TEST_SHOTS set it is saved as a picture.
    void renderFilledPanel()
    {
        InstallAndFill({400, 800, 1600, 2400, 3200, 6400, 12800, 26000}, 8, 2);
        QWidget page;
        page.setObjectName(QStringLiteral("page"));
        page.setStyleSheet(QStringLiteral("#page{background-color: rgb(30, 31, 36);}"));
        page.resize(760, 220);
        SensorDPI *panel = m_panel.release();  // the page owns it from here
        panel->setParent(&page);
        panel->move(16, 13);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page, TestSupport::kHangGuardMs));
        const QImage picture = page.grab().toImage();
        QCOMPARE(picture.size(), QSize(760, 220));
        QVERIFY(TestSupport::SaveShot(picture, QStringLiteral("sensordpi.png")));
        // The selected level's marker shows its colour under the gloss.
        const QRect marker =
            panel->findChild<QToolButton *>(QStringLiteral("RedButtonA"))->geometry().translated(panel->pos());
        const QColor expected = LevelColor(2);
        int nearest = 3 * 255;
        for (int x = marker.left(); x <= marker.right(); ++x) {
            const QColor seen = picture.pixelColor(x, marker.center().y());
            nearest = qMin(nearest, qAbs(seen.red() - expected.red()) + qAbs(seen.green() - expected.green())
                                        + qAbs(seen.blue() - expected.blue()));
        }
        QVERIFY2(nearest < 60, qPrintable(QString::number(nearest)));
    }
};

VOGM_TEST_MAIN(TestSensorDpi)
#include "tst_sensordpi.moc"
