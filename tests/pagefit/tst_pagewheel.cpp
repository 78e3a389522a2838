// The mouse wheel over the pages, through the real main window and the
// simulated default world (the 4 kHz receiver's mouse m2). Turned anywhere
// over a page or list that scrolls, from every scroll position, the wheel
// scrolls and changes nothing: no control of the page, nothing stored on the
// mouse or the receiver, no write in the library's call log. Where a control
// means the wheel it still takes it: a spin box the user clicked, and a slider
// on the sensor page, which does not scroll.

#include "buttoninterface.h"
#include "dialog.h"
#include "dialogmain.h"
#include "formsetting.h"
#include "hidusb_control.h"
#include "macro.h"
#include "macrofile.h"
#include "programwindow.h"
#include "sensor.h"
#include "testsupport.h"
#include "wheelguard.h"
#include "worldfixtures.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

namespace {

const QString kMouse = QStringLiteral("m2");
const QStringList kWrites{"ProtocolDataUpdate",        "UsbServer_SetCurrentConfig",   "UsbServer_SetClearSetting",
                          "UsbFinderC_SetLongRangeMode", "UsbFinderC_Set4KDongleRGB", "UsbFinderC_SetDongleIDToMouse",
                          "UsbServer_EnterDonglePairOnlyCid"};
// Scroll positions step by no more than the smallest control is high, and
// the grid's rows are as close, so every control is met at every position.
constexpr int kPositionStep = 20;
constexpr int kGridStepX = 40;
constexpr int kGridStepY = 20;
constexpr int kNotches = 3;
// Enough macros for the macro list to scroll.
constexpr int kMacroFiles = 30;

// What the simulated devices keep: every profile of the mouse, its active
// profile, and each receiver's long-range and LED state.
QStringList DeviceState()
{
    QStringList state;
    for (int profile = 0; profile < HidSim::kProfileCount; ++profile)
        state << HidSim::StoredImage(kMouse, profile).toHex();
    state << QString::number(HidSim::ActiveProfile(kMouse));
    for (const HidSim::Receiver &receiver : HidSim::CurrentWorld().receivers) {
        state << receiver.name + (receiver.longRange ? " long" : " short") + " led "
                     + QByteArray(reinterpret_cast<const char *>(receiver.led.data()), int(receiver.led.size())).toHex();
    }
    return state;
}

QStringList WritesLogged()
{
    QStringList writes;
    for (const HidSim::CallRecord &record : HidSim::CallLog()) {
        if (kWrites.contains(record.function))
            writes << record.function;
    }
    return writes;
}

// The value of every combo box, slider and spin box below `page`.
QStringList ControlValues(const QWidget *page)
{
    QStringList values;
    for (const QWidget *widget : page->findChildren<QWidget *>()) {
        if (const auto *combo = qobject_cast<const QComboBox *>(widget))
            values << combo->objectName() + "=" + QString::number(combo->currentIndex());
        else if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(widget))
            values << spin->objectName() + "=" + spin->text();
        else if (const auto *slider = qobject_cast<const QAbstractSlider *>(widget);
                 slider && !qobject_cast<const QScrollBar *>(widget))
            values << slider->objectName() + "=" + QString::number(slider->value());
    }
    return values;
}

// Scrolls `area` to each position from top to bottom and at each turns the
// wheel up and down at a grid of points over its visible part, starting every
// point from that position. Returns how many turns moved the scroll bar.
int SweepWheel(QAbstractScrollArea *area)
{
    QScrollBar *bar = area->verticalScrollBar();
    const QRect visible = area->visibleRegion().boundingRect();
    int moved = 0;
    for (int position = bar->minimum();; position = qMin(position + kPositionStep, bar->maximum())) {
        for (int y = visible.top() + kGridStepY / 2; y < visible.bottom(); y += kGridStepY) {
            for (int x = visible.left() + kGridStepX / 2; x < visible.right(); x += kGridStepX) {
                for (const int notches : {kNotches, -kNotches}) {
                    bar->setValue(position);
                    TestSupport::TurnWheel(area, QPoint(x, y), notches);
                    moved += bar->value() != position ? 1 : 0;
                }
            }
        }
        if (position == bar->maximum())
            return moved;
    }
}

void WriteMacroFiles()
{
    QDir().mkpath(MacroFile::Folder());
    for (int i = 0; i < kMacroFiles; ++i) {
        QFile file(MacroFile::Folder() + QString("/wheel%1.ini").arg(i, 2, 10, QChar('0')));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("1\n0x04 1 0\n10ms\n0x04 1 1\n");
    }
}

}  // namespace

class TestPageWheel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void settingsPageScrollsAndChangesNothing();
    void buttonPageListsScrollAndChangeNothing();
    void macroPageListsScrollAndItsClickedSpinBoxTakesTheWheel();
    void sensorPageSliderStillTakesTheWheel();

private:
    Dialog *ShowPage(const char *navigationButton);
    // Sweeps `area` of `page` and checks that nothing changed; returns the
    // number of turns that scrolled.
    int SweepAndCheck(QWidget *page, QAbstractScrollArea *area);

    DialogMain *m_window = nullptr;
    std::unique_ptr<TestSupport::ModalWatcher> m_watcher;
};

void TestPageWheel::initTestCase()
{
    HidSim::SetWorld(Fixtures::FastDefaultWorld());
    WriteMacroFiles();
    m_window = new DialogMain;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(TestSupport::OpenTile(m_window, "0xFF14"));
    // Focus, as a click gives it, needs an active window.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_watcher = std::make_unique<TestSupport::ModalWatcher>();
}

void TestPageWheel::cleanupTestCase()
{
    m_watcher.reset();
    delete m_window;
    m_window = nullptr;
}

void TestPageWheel::cleanup()
{
    QCOMPARE(m_watcher->Classes(), QStringList());
}

Dialog *TestPageWheel::ShowPage(const char *navigationButton)
{
    Dialog *device = m_window->DevicePage();
    QTest::mouseClick(device->findChild<QToolButton *>(navigationButton), Qt::LeftButton);
    return device;
}

int TestPageWheel::SweepAndCheck(QWidget *page, QAbstractScrollArea *area)
{
    const QStringList controls = ControlValues(page);
    const QStringList devices = DeviceState();
    HidSim::ClearCallLog();
    const int moved = SweepWheel(area);
    // A write the wheel set off would have reached the library by now.
    QCoreApplication::processEvents();
    HidSim::WaitUntilIdle();
    [&] {
        QCOMPARE(WritesLogged(), QStringList());
        QVERIFY(DeviceState() == devices);
        QCOMPARE(ControlValues(page), controls);
    }();
    return moved;
}

void TestPageWheel::settingsPageScrollsAndChangesNothing()
{
    ShowPage("FormSetting");
    auto *page = m_window->DevicePage()->findChild<FormSetting *>();
    auto *area = page->findChild<QScrollArea *>("scrollArea");
    QVERIFY(area->isVisible());
    QVERIFY(area->verticalScrollBar()->maximum() > 0);
    const int moved = SweepAndCheck(page, area);
    QVERIFY(moved > 0);
}

void TestPageWheel::buttonPageListsScrollAndChangeNothing()
{
    Dialog *device = ShowPage("ButtonMain");
    auto *page = device->findChild<Buttoninterface *>();
    // Row 2's function list, then the media list.
    QTest::mouseClick(page->findChild<QToolButton *>("RightKey"), Qt::LeftButton);
    int moved = SweepAndCheck(page, page->findChild<QScrollArea *>("scrollArea_4"));
    QTest::mouseClick(page->findChild<QToolButton *>("DPI_12"), Qt::LeftButton);
    moved += SweepAndCheck(page, page->findChild<QScrollArea *>("scrollArea_3"));
    QVERIFY(moved > 0);
}

void TestPageWheel::macroPageListsScrollAndItsClickedSpinBoxTakesTheWheel()
{
    Dialog *device = ShowPage("MacroButton");
    auto *page = device->findChild<Macro *>();
    auto *macros = page->findChild<QListWidget *>("listWidgetHong");
    QCOMPARE(macros->count(), kMacroFiles);
    QTest::mouseClick(macros->viewport(), Qt::LeftButton, {}, macros->visualItemRect(macros->item(0)).center());
    auto *events = page->findChild<QListView *>("listWidgetKey");
    const int eventCount = events->model()->rowCount();
    QVERIFY(SweepAndCheck(page, macros) > 0);

    // The event menu's items are acts: the wheel over it inserts nothing.
    auto *menu = page->findChild<QComboBox *>("ChooseEvent");
    TestSupport::TurnWheel(menu, menu->rect().center(), -2);
    QCOMPARE(menu->currentIndex(), 0);
    QCOMPARE(events->model()->rowCount(), eventCount);

    auto *count = page->findChild<QSpinBox *>("NumberEdit");
    QTest::mouseClick(count, Qt::LeftButton, {}, QPoint(5, count->height() / 2));
    QVERIFY(count->hasFocus());
    const int before = count->value();
    TestSupport::TurnWheel(count, count->rect().center(), 1);
    QCOMPARE(count->value(), before + 1);
}

void TestPageWheel::sensorPageSliderStillTakesTheWheel()
{
    Dialog *device = ShowPage("SensorButton");
    auto *slider = device->findChild<Sensor *>()->findChild<QSlider *>("horizontalSliderC");
    QVERIFY(slider->isVisible());
    QVERIFY(!WheelGuard::PassesOn(slider));
    const int before = slider->value();
    TestSupport::TurnWheel(slider, slider->rect().center(), 1);
    QVERIFY(slider->value() != before);
}

VOGM_TEST_MAIN(TestPageWheel)
#include "tst_pagewheel.moc"
