// What a new user met on the device list and the device page, with the real
// main window and the simulated default world: the popup after a tile click
// closes once the pages are filled, a short debounce warns on the screen, a
// press on the DPI knob writes nothing, the colour dialog of a level opens at
// its colour and goes with the page, a switched-off mouse shows no battery,
// a re-read keeps the window served, and leaving the page ends the wait.

#include "dialog.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb_control.h"
#include "mytoolbuttonenter.h"
#include "notices.h"
#include "sensordpi.h"
#include "steppedclock.h"
#include "devicelist.h"
#include "testsupport.h"
#include "updataparam.h"
#include "waits.h"
#include "worker.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QtTest>
#include <cstring>
#include <functional>

namespace {

constexpr int kDevicePage = 1;
constexpr int kSelectionPage = 0;
// The named waits run at a quarter of their length here: long enough that a
// popup closed by its timer and one closed by the fill are told apart.
constexpr int kWaitDivisor = 4;

// The press, moves and release of the left button on `widget`.
void Mouse(QWidget *widget, QEvent::Type type, const QPoint &at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

QPoint KnobCentre(QSlider *slider)
{
    // As QSlider describes itself to its style (a horizontal, not inverted one).
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Horizontal;
    option.upsideDown = false;
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
}

}  // namespace

class TestNewUser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void tileClickClosesThePopupOnTheFill();
    void shortDebounceNoticeOpensOnTheScreen();
    void pressOnTheKnobWritesNothing();
    void colourDialogOpensAtTheLevelColourAndGoesWithThePage();
    void switchedOffMouseShowsNoBattery();
    void reReadKeepsTheWindowServed();
    void leavingThePageEndsTheWait();

private:
    void ChooseTile(const QString &pid);
    void OpenReceiverMouse();
    void BackToTheList();
    UpDataParam *Popup() const { return m_window->DevicePage()->WaitPopup(); }
    QTimer *PopupTimer() const { return Popup()->findChild<QTimer *>(); }

    DialogMain *m_window = nullptr;
};

void TestNewUser::initTestCase()
{
    Waits::SetDivisor(kWaitDivisor);
    HidSim::SetWorld(HidSim::DefaultWorld());  // its own timings: a whole read takes 300 ms
    m_window = new DialogMain;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(QTest::qWaitFor([] { return g_PageDevices.size() == 3; }, TestSupport::kHangGuardMs));
}

void TestNewUser::cleanupTestCase()
{
    delete m_window;
    Waits::SetDivisor(0);
}

void TestNewUser::ChooseTile(const QString &pid)
{
    QVERIFY(QTest::qWaitFor([&] { return PageIndexOfPid(pid) >= 0; }, TestSupport::kHangGuardMs));
    auto *tile = m_window->SelectionPage()->findChild<mytoolButtonEnter *>(
        QString("btn%1").arg(PageIndexOfPid(pid)));
    QVERIFY(tile);
    QTest::mouseClick(tile, Qt::LeftButton);
    QCOMPARE(m_window->CurrentPage(), kDevicePage);
}

// Until both pages have been filled from the mouse's image and the popup is gone.
void TestNewUser::OpenReceiverMouse()
{
    const quint64 sensorFills = g_SensorFilled.Confirmations();
    const quint64 buttonFills = g_ButtonFilled.Confirmations();
    ChooseTile("0xFF14");
    QVERIFY(QTest::qWaitFor(
        [&] {
            return g_SensorFilled.Confirmations() > sensorFills && g_ButtonFilled.Confirmations() > buttonFills
                   && !Popup()->isVisible() && Settled();
        },
        TestSupport::kHangGuardMs));
}

void TestNewUser::BackToTheList()
{
    QTest::mouseClick(m_window->DevicePage()->findChild<QAbstractButton *>("UpArrow"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return m_window->CurrentPage() == kSelectionPage && Settled(); }, TestSupport::kHangGuardMs));
}

// The popup ends as soon as both pages are filled from the mouse's image, not
// when its timer runs out, and with no notice after it.
void TestNewUser::tileClickClosesThePopupOnTheFill()
{
    QSignalSpy timeouts(PopupTimer(), &QTimer::timeout);
    QStringList modals;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            const QString name = modal->metaObject()->className();
            if (!modals.contains(name))
                modals << name;
        }
    });
    watch.start(5);
    QElapsedTimer clock;
    clock.start();
    // Once the popup is up its timer runs on a clock of the case's own: only
    // the fill can end the wait, however long the read takes here.
    SteppedClock popupClock;
    TestSupport::OnModal hold("UpDataParam", [&](QWidget *) { popupClock.Hold(PopupTimer()); });

    OpenReceiverMouse();
    qInfo("tile click to closed popup: %lld ms", clock.elapsed());
    const bool closedOnTheFill = hold.done && !Popup()->isVisible();
    popupClock.Advance(TestSupport::kHangGuardMs);  // a popup left waiting ends, for the next case

    QVERIFY(closedOnTheFill);
    QCOMPARE(modals, QStringList{"UpDataParam"});
    QCOMPARE(timeouts.count(), 0);
    QCOMPARE(int(g_SensorFilled), 0);  // seen and cleared by the popup
}

// 3 ms or less warns; the warning opens over the window, on the screen, and a
// click on its button closes it.
void TestNewUser::shortDebounceNoticeOpensOnTheScreen()
{
    auto *box = m_window->DevicePage()->findChild<QComboBox *>("Debunce");
    QVERIFY(box && box->isVisible());
    QRect notice;
    TestSupport::OnModal answer("LessThree", [&](QWidget *modal) {
        notice = modal->geometry();
        QTest::mouseClick(modal->findChild<QAbstractButton *>("NewHong"), Qt::LeftButton);
    });

    box->setCurrentIndex(3);

    QVERIFY(answer.done);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    const QRect screen = m_window->screen()->availableGeometry();
    QVERIFY2(screen.contains(notice), qPrintable(QString("notice at %1,%2").arg(notice.x()).arg(notice.y())));
    QVERIFY(m_window->frameGeometry().intersects(notice));
    QCOMPARE(int(uint8_t(HidSim::StoredImage("m2").at(offsetof(FlashDataMap, DebounceTime)))), 3);
}

// Taking hold of the knob changes nothing; the release after a drag writes once.
void TestNewUser::pressOnTheKnobWritesNothing()
{
    QTest::mouseClick(m_window->DevicePage()->findChild<QAbstractButton *>("SensorButton"), Qt::LeftButton);
    auto *slider = m_window->DevicePage()->findChild<QSlider *>("horizontalSliderC");
    QVERIFY(slider && slider->isVisible());
    const int before = slider->value();
    const QPoint knob = KnobCentre(slider);
    HidSim::ResetWriteStats();

    Mouse(slider, QEvent::MouseButtonPress, knob);
    QCOMPARE(slider->value(), before);
    QCOMPARE(HidSim::CurrentWriteStats().calls, 0);

    Mouse(slider, QEvent::MouseMove, knob + QPoint(60, 0));
    Mouse(slider, QEvent::MouseMove, knob + QPoint(120, 0));
    QCOMPARE(HidSim::CurrentWriteStats().calls, 0);
    Mouse(slider, QEvent::MouseButtonRelease, knob + QPoint(120, 0));

    QVERIFY(slider->value() > before);
    QCOMPARE(HidSim::CurrentWriteStats().calls, 1);
}

void TestNewUser::colourDialogOpensAtTheLevelColourAndGoesWithThePage()
{
    auto *dpi = m_window->DevicePage()->findChild<SensorDPI *>();
    const int level = dpi->GetCurrentLevel();
    const DpiLevelRecord record = [&] {
        FlashDataMap image;
        std::memcpy(&image, HidSim::StoredImage("m2").constData(), sizeof image);
        return image.DpiLevels[level];
    }();
    const char *markers[] = {"BlueButtonA",  "BrightRedButtonA", "RedButtonA",       "YellowButtonA",
                             "GreenButtonA", "PurpleButtonA",    "LightBlueButtonA", "LightYellowButtonA"};
    QTest::mouseClick(dpi->findChild<QAbstractButton *>(markers[level]), Qt::LeftButton);

    QColorDialog *dialog = dpi->GetColorDialog();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->currentColor(), QColor(record.Red, record.Green, record.Blue));

    BackToTheList();
    QVERIFY(!dialog->isVisible());
}

// The 8 kHz receiver's mouse is off: no level and no charging mark, not the
// last mouse's.
void TestNewUser::switchedOffMouseShowsNoBattery()
{
    ChooseTile("0xFF18");
    QVERIFY(QTest::qWaitFor([] { return Settled(); }, TestSupport::kHangGuardMs));

    Dialog *page = m_window->DevicePage();
    QCOMPARE(page->findChild<QLabel *>("label_2")->text(), QString());
    QVERIFY(page->findChild<QLabel *>("label")->isHidden());
    QCOMPARE(page->findChild<QProgressBar *>("progressBar")->value(), 0);
    BackToTheList();
}

// The pause after a re-read the mouse asked for keeps serving events: a
// 10 ms ping through the event loop is never held back for long.
void TestNewUser::reReadKeepsTheWindowServed()
{
    OpenReceiverMouse();
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    bool popupSeen = false;
    bool measuring = true;  // from the request until the first ping after the popup closed
    QTimer ping;
    connect(&ping, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (measuring)
            longestGap = qMax(longestGap, now - last);
        last = now;
        popupSeen = popupSeen || Popup()->isVisible();
        measuring = !(popupSeen && !Popup()->isVisible());
    });
    clock.start();
    ping.start(10);

    QVERIFY(HidSim::SendStatusChange("m2", 1 << 2));  // the mouse asks for a whole re-read
    QVERIFY(QTest::qWaitFor([&] { return !measuring && Settled(); }, TestSupport::kHangGuardMs));

    qInfo("longest event-loop gap during the re-read: %lld ms", longestGap);
    const int settle = Waits::Scaled(2000);
    QVERIFY2(longestGap < settle / 2, qPrintable(QString("the event loop stalled %1 ms").arg(longestGap)));
}

// An unplug during the wait takes the user back to the list, and the popup
// goes with the page.
void TestNewUser::leavingThePageEndsTheWait()
{
    BackToTheList();
    HidSim::Timing timing = HidSim::CurrentTiming();
    timing.fullReadMs = 60000;  // the read does not end while we watch
    HidSim::SetTiming(timing);
    QSignalSpy timeouts(PopupTimer(), &QTimer::timeout);
    bool unplugged = false;
    TestSupport::OnModal unplug("UpDataParam", [&](QWidget *) { unplugged = HidSim::PlugReceiver("r4k", false); });

    ChooseTile("0xFF14");

    QVERIFY(QTest::qWaitFor(
        [&] { return unplug.done && m_window->CurrentPage() == kSelectionPage && !Popup()->isVisible(); },
        TestSupport::kHangGuardMs));
    QVERIFY(unplugged);
    QCOMPARE(timeouts.count(), 0);  // it went with the page, not at the end of its wait
    QVERIFY(QApplication::activeModalWidget() == nullptr);

    timing.fullReadMs = 300;
    HidSim::SetTiming(timing);
    QVERIFY(HidSim::PlugReceiver("r4k", true));
}

VOGM_TEST_MAIN(TestNewUser)
#include "tst_newuser.moc"
