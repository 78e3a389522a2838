#include "combotheme.h"
#include "mybutton.h"
#include "myconmbobox.h"
#include "myprogressbar.h"
#include "myslider.h"
#include "mytoolbutton.h"
#include "mytoolbuttonenter.h"
#include "programwindow.h"
#include "testsupport.h"
#include "wheelguard.h"

#include <QFile>
#include <QListView>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QtTest>

namespace {

// Counts the slider's jump events reaching its parent.
class JumpCounter : public QWidget
{
public:
    int jumps = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == MySlider::kJumpEventType)
            ++jumps;
        return QWidget::event(event);
    }
};

void Press(QWidget *widget, Qt::MouseButton button, const QPoint &pos)
{
    QMouseEvent press(QEvent::MouseButtonPress, pos, widget->mapToGlobal(pos), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, widget->mapToGlobal(pos), button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

QTimer *Timer(MyProgressBar &bar, const char *name)
{
    return bar.findChild<QTimer *>(QString::fromLatin1(name));
}

}  // namespace

class TestWidgets : public QObject
{
    Q_OBJECT
private slots:
    // First: it looks at the fonts this process has opened.
    void placeholderItemsAreNotMeasured();
    void sliderJumpsToThePressedPosition_data();
    void sliderJumpsToThePressedPosition();
    void sliderWithoutWidthIgnoresThePress();
    void pressOnTheKnobTakesHoldWithoutAJump();

    void comboKeepsTheIndexFromBeforeThePopup();

    void toolButtonClicksOnThePress();
    void toolButtonIgnoresOtherButtons();

    void tileReportsTheIndexInItsName_data();
    void tileReportsTheIndexInItsName();

    void linkButtonShowsTheHandWhileHovered();

    void comboSheetFollowsTheTemplate_data();
    void comboSheetFollowsTheTemplate();
    void comboThemeInstallsThePopupList();

    void stageBounds_data();
    void stageBounds();
    void progressBeforeStartDoesNothing();
    void progressRunsToTheEnd();
    void progressCreepStopsBelowTheNextBound();

    void wheelGoesWhereItIsMeant_data();
    void wheelGoesWhereItIsMeant();
};

void TestWidgets::sliderJumpsToThePressedPosition_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("expected");
    QTest::newRow("middle") << 1 << 10 << 151 << 75 << int(Qt::LeftButton) << 5;
    QTest::newRow("left edge gives the minimum") << 1 << 10 << 151 << 0 << int(Qt::LeftButton) << 1;
    QTest::newRow("right edge stays inside") << 1 << 10 << 151 << 150 << int(Qt::LeftButton) << 9;
    QTest::newRow("right button jumps too") << 1 << 10 << 151 << 75 << int(Qt::RightButton) << 5;
    QTest::newRow("dpi range") << 50 << 32000 << 561 << 280 << int(Qt::LeftButton) << 15996;
}

void TestWidgets::sliderJumpsToThePressedPosition()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, width);
    QFETCH(int, x);
    QFETCH(int, button);
    QFETCH(int, expected);
    JumpCounter parent;
    MySlider slider(&parent);
    slider.setOrientation(Qt::Horizontal);
    slider.setRange(minimum, maximum);
    // The knob stands at the far end from the press (a press on the knob
    // itself takes hold of it instead).
    slider.setValue(x < width / 2 ? maximum : minimum);
    slider.resize(width, 20);
    QSignalSpy changed(&slider, &QSlider::valueChanged);

    Press(&slider, Qt::MouseButton(button), QPoint(x, 10));

    QCOMPARE(slider.value(), expected);
    QCOMPARE(changed.isEmpty() ? -1 : changed.last().at(0).toInt(), expected);
    QCOMPARE(parent.jumps, 1);
}

void TestWidgets::sliderWithoutWidthIgnoresThePress()
{
    JumpCounter parent;
    MySlider slider(&parent);
    slider.setRange(1, 10);
    slider.setValue(7);
    slider.resize(0, 20);

    Press(&slider, Qt::LeftButton, QPoint(0, 10));

    QCOMPARE(slider.value(), 7);
    QCOMPARE(parent.jumps, 0);
}

// The popup list of a themed box lays out its items only once the box is
// polished for its first show, so placeholder texts in another script that
// the page replaces before that are never measured (and their font is never
// opened). Afterwards the list is laid out as usual.
void TestWidgets::placeholderItemsAreNotMeasured()
{
    const auto cjkFontOpen = [] {
        QFile maps("/proc/self/maps");
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("CJK");
    };
    QVERIFY(!cjkFontOpen());
    QWidget page;
    auto *box = new MyConmboBox(&page);
    box->addItems({QString::fromUtf8("关闭"), QString::fromUtf8("常亮"), QString::fromUtf8("呼吸")});
    ComboTheme::Apply(box, ComboTheme::Colors{Qt::white, Qt::darkGray, Qt::red}, "/nowhere/", ComboTheme::Ending::Plain,
                      true, 5);
    page.setStyleSheet("QWidget{border: 0px;}");  // a later style change, as the pages make
    const QStringList english{"Off", "Steady", "Breathing"};
    for (int i = 0; i < english.size(); ++i)
        box->setItemText(i, english.at(i));
    QVERIFY(!cjkFontOpen());

    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page, TestSupport::kHangGuardMs));
    QTRY_VERIFY_WITH_TIMEOUT(box->view()->visualRect(box->model()->index(2, 0)).height() > 0,
                             TestSupport::kHangGuardMs);
    QVERIFY(!cjkFontOpen());
}

// A press on the knob itself (a style-sheet knob, as the DPI panel has)
// moves nothing; only the release after a drag changes the value.
void TestWidgets::pressOnTheKnobTakesHoldWithoutAJump()
{
    JumpCounter parent;
    MySlider slider(&parent);
    slider.setOrientation(Qt::Horizontal);
    slider.setStyleSheet("QSlider:handle:horizontal{width: 5px; height: 50px; margin-top: -20px; "
                         "margin-bottom: -20px; background: red;}");
    slider.setRange(50, 32000);
    slider.setTracking(false);
    slider.setValue(800);
    slider.resize(561, 20);
    slider.ensurePolished();
    QSignalSpy changed(&slider, &QSlider::valueChanged);
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.orientation = Qt::Horizontal;
    option.state |= QStyle::State_Horizontal;
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.singleStep = slider.singleStep();
    option.pageStep = slider.pageStep();
    option.sliderPosition = option.sliderValue = slider.value();
    const QPoint knob = slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider).center();

    Press(&slider, Qt::LeftButton, knob);

    QCOMPARE(slider.value(), 800);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(parent.jumps, 0);
}

void TestWidgets::comboKeepsTheIndexFromBeforeThePopup()
{
    MyConmboBox box;
    box.addItems({"zero", "one", "two"});
    box.resize(130, 30);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box, TestSupport::kHangGuardMs));
    QCOMPARE(box.PressIndex, 0);

    box.setCurrentIndex(2);
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(20, 15));
    QTRY_VERIFY_WITH_TIMEOUT(box.view()->isVisible(), TestSupport::kHangGuardMs);
    QCOMPARE(box.PressIndex, 2);

    // Pick another item in the popup: the remembered index stays.
    QAbstractItemView *view = box.view();
    QTest::keyClick(view, Qt::Key_Up);
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!view->isVisible(), TestSupport::kHangGuardMs);
    QCOMPARE(box.currentIndex(), 1);
    QCOMPARE(box.PressIndex, 2);

    // A change by the wheel is no press.
    QWheelEvent wheel(QPointF(20, 15), box.mapToGlobal(QPoint(20, 15)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&box, &wheel);
    QCOMPARE(box.currentIndex(), 2);
    QCOMPARE(box.PressIndex, 2);
}

void TestWidgets::toolButtonClicksOnThePress()
{
    MyToolButton button;
    button.setCheckable(true);
    button.resize(164, 22);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button, TestSupport::kHangGuardMs));
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QSignalSpy pressed(&button, &QAbstractButton::pressed);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toBool(), false);
    QVERIFY(button.isChecked());
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count(), 1);  // no second click on release
    QVERIFY(button.isChecked());   // and the release does not toggle it back
    QVERIFY(pressed.isEmpty());

    clicked.clear();
    QTest::mouseDClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(!clicked.isEmpty());
    QCOMPARE(clicked.last().at(0).toBool(), true);
    int doubles = 0;
    for (const QList<QVariant> &args : clicked)
        doubles += args.at(0).toBool() ? 1 : 0;
    QCOMPARE(doubles, 1);
    QVERIFY(button.isChecked());
}

void TestWidgets::toolButtonIgnoresOtherButtons()
{
    MyToolButton button;
    button.setCheckable(true);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button, TestSupport::kHangGuardMs));
    QSignalSpy clicked(&button, &QAbstractButton::clicked);

    QTest::mousePress(&button, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&button, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseDClick(&button, Qt::RightButton, {}, QPoint(5, 5));

    QVERIFY(clicked.isEmpty());
    QVERIFY(!button.isChecked());
}

void TestWidgets::tileReportsTheIndexInItsName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("expected");  // -1: nothing is reported
    QTest::newRow("btn2") << "btn2" << 2;
    QTest::newRow("btn0") << "btn0" << 0;
    QTest::newRow("btn12") << "btn12" << 12;
    QTest::newRow("no number") << "btn" << -1;
    QTest::newRow("not a number") << "btnx" << -1;
    QTest::newRow("negative") << "btn-1" << -1;
    QTest::newRow("unnamed") << "" << -1;
}

void TestWidgets::tileReportsTheIndexInItsName()
{
    QFETCH(QString, name);
    QFETCH(int, expected);
    mytoolButtonEnter tile;
    tile.setObjectName(name);
    QSignalSpy entered(&tile, &mytoolButtonEnter::tileEntered);

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(&tile, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&tile, &leave);

    if (expected < 0) {
        QVERIFY(entered.isEmpty());
    } else {
        QCOMPARE(entered.count(), 1);
        QCOMPARE(entered.at(0).at(0).toInt(), expected);
    }
}

void TestWidgets::linkButtonShowsTheHandWhileHovered()
{
    MyButton button;
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(&button, &enter);
    QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    QCOMPARE(button.cursor().shape(), Qt::ArrowCursor);
}

void TestWidgets::comboSheetFollowsTheTemplate_data()
{
    QTest::addColumn<int>("ending");
    QTest::addColumn<QString>("tail");
    QTest::newRow("plain") << int(ComboTheme::Ending::Plain) << QString("); }");
    QTest::newRow("disabled black") << int(ComboTheme::Ending::DisabledBlack)
                                    << QString("); }QComboBox:disabled{color: rgb(0, 0, 0);}");
    QTest::newRow("disabled grey") << int(ComboTheme::Ending::DisabledGrey)
                                   << QString("); }QComboBox:disabled{color: rgb(63, 63, 63);}");
}

void TestWidgets::comboSheetFollowsTheTemplate()
{
    QFETCH(int, ending);
    QFETCH(QString, tail);
    const ComboTheme::Colors colors{QColor(230, 230, 235), QColor(30, 31, 36), QColor(255, 122, 26)};
    const QString dir = "/opt/app/Picture/Sensor/";
    const QString expected =
        "QComboBox{border: 1px solid gray; color: rgb(230,230,235); border-image: url(/opt/app/Picture/Sensor/"
        "ComboboxBack.png);}QComboBox::drop-down:button{border-radius:5px; background:rgb(30,31,36);} "
        "QComboBox::down-arrow{image: url(/opt/app/Picture/Sensor/Menu.png); right: 8px; }"
        "QComboBox::down-arrow:on{ image: url(/opt/app/Picture/Sensor/MenuClicked.png);}"
        "QComboBox QAbstractItemView::item{height:25px;}QComboBox QAbstractItemView {outline: 0px solid gray; "
        "border: 1px  solid gray;color: rgb(230,230,235); border-image: url(/opt/app/Picture/Sensor/"
        "ComboboxTextBack.png);selection-background-color: rgb(255,122,26"
        + tail;
    QCOMPARE(ComboTheme::StyleSheet(colors, dir, ComboTheme::Ending(ending)), expected);
}

void TestWidgets::comboThemeInstallsThePopupList()
{
    const ComboTheme::Colors colors{QColor(1, 2, 3), QColor(4, 5, 6), QColor(7, 8, 9)};
    MyConmboBox withPopup;
    ComboTheme::Apply(&withPopup, colors, "/p/", ComboTheme::Ending::Plain, true, 5);
    auto *view = qobject_cast<QListView *>(withPopup.view());
    QVERIFY(view);
    QCOMPARE(view->styleSheet(),
             QString("QListView::item:selected{background-color: rgb(7,8,9);}"
                     "QListView::item:hover{background-color: rgb(7,8,9);}"));
    QCOMPARE(withPopup.maxVisibleItems(), 5);
    // The template, plus the rule that keeps the list below the box.
    QCOMPARE(withPopup.styleSheet(), ComboTheme::StyleSheet(colors, "/p/", ComboTheme::Ending::Plain)
                                         + "QComboBox{combobox-popup: 0;}");

    MyConmboBox plain;
    QAbstractItemView *original = plain.view();
    ComboTheme::Apply(&plain, colors, "/p/", ComboTheme::Ending::Plain, false, 0);
    QCOMPARE(plain.view(), original);
    QCOMPARE(plain.maxVisibleItems(), 10);
}

void TestWidgets::stageBounds_data()
{
    QTest::addColumn<int>("stages");
    QTest::addColumn<QVector<int>>("bounds");
    QTest::newRow("3") << 3 << QVector<int>{0, 33, 66, 100};
    QTest::newRow("4") << 4 << QVector<int>{0, 25, 50, 75, 100};
    QTest::newRow("1") << 1 << QVector<int>{0, 100};
    QTest::newRow("0") << 0 << QVector<int>{0, 100};
    QVector<int> many(150, 0);
    many.append(100);
    QTest::newRow("150: all but the last stay at 0") << 150 << many;
}

void TestWidgets::stageBounds()
{
    QFETCH(int, stages);
    QFETCH(QVector<int>, bounds);
    QCOMPARE(MyProgressBar::BuildStageBounds(stages), bounds);
}

void TestWidgets::progressBeforeStartDoesNothing()
{
    MyProgressBar bar;
    QCOMPARE(bar.format(), QString("0.0%"));
    bar.mUpdate();
    bar.mUpdate();
    QCOMPARE(bar.value(), 0);
    QCOMPARE(bar.format(), QString("0.0%"));
    QVERIFY(!Timer(bar, "SlowTimer")->isActive());
    QVERIFY(!Timer(bar, "FastTimer")->isActive());
}

void TestWidgets::progressRunsToTheEnd()
{
    MyProgressBar bar;
    bar.Start(4, 100000);  // no creep during the test: only the stage ends move it
    QVERIFY(Timer(bar, "SlowTimer")->isActive());
    for (int i = 0; i < 4; ++i)
        bar.mUpdate();

    QVERIFY(!Timer(bar, "SlowTimer")->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(bar.format(), QString("100.0%"), TestSupport::kHangGuardMs);
    QCOMPARE(bar.value(), 100);
    QTRY_VERIFY_WITH_TIMEOUT(!Timer(bar, "FastTimer")->isActive(), TestSupport::kHangGuardMs);

    // A fifth report and a stray slow tick leave the finished bar alone.
    bar.mUpdate();
    QVERIFY(QMetaObject::invokeMethod(Timer(bar, "SlowTimer"), "timeout"));
    QCOMPARE(bar.value(), 100);
    QVERIFY(!Timer(bar, "FastTimer")->isActive());
}

void TestWidgets::progressCreepStopsBelowTheNextBound()
{
    MyProgressBar bar;
    bar.Start(4, 1);
    QTRY_COMPARE_WITH_TIMEOUT(bar.value(), 24, TestSupport::kHangGuardMs);
    QTest::qWait(30);  // many more slow ticks
    QCOMPARE(bar.value(), 24);
    QCOMPARE(bar.format(), QString("24.0%"));

    bar.mUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(bar.value(), 49, TestSupport::kHangGuardMs);

    // A new run starts over from 0.
    bar.Start(3, 100000);
    QCOMPARE(bar.value(), 0);
    QCOMPARE(bar.format(), QString("0.0%"));
}

namespace {

// A window with a combo box, a slider, a spin box and a menu, each once in a
// scroll area whose content scrolls, once in a scroll area whose content fits
// and once on a plain panel.
struct WheelWindow {
    QWidget window;
    QScrollArea *areas[2];
    QWidget *places[3];

    WheelWindow()
    {
        window.resize(600, 200);
        for (int i = 0; i < 2; ++i) {
            areas[i] = new QScrollArea(&window);
            areas[i]->setGeometry(200 * i, 0, 200, 200);
            auto *content = new QWidget;
            content->resize(180, i == 0 ? 600 : 180);
            areas[i]->setWidget(content);
            places[i] = content;
        }
        places[2] = new QWidget(&window);
        places[2]->setGeometry(400, 0, 200, 200);
        for (QWidget *place : places) {
            auto *combo = new QComboBox(place);
            combo->setObjectName("combo");
            auto *menu = new QComboBox(place);
            menu->setObjectName("menu");
            for (QComboBox *box : {combo, menu}) {
                box->addItems({"a", "b", "c"});
                box->setFocusPolicy(Qt::NoFocus);
            }
            auto *slider = new QSlider(Qt::Horizontal, place);
            slider->setObjectName("slider");
            slider->setFocusPolicy(Qt::NoFocus);
            slider->setValue(50);
            auto *spin = new QSpinBox(place);
            spin->setObjectName("spin");
            spin->setFocusPolicy(Qt::ClickFocus);
            spin->setValue(50);
            int y = 10;
            for (QWidget *control : std::initializer_list<QWidget *>{combo, menu, slider, spin}) {
                control->setGeometry(10, y, 150, 30);
                y += 40;
            }
        }
        WheelGuard::InstallOn(&window);
        for (QWidget *place : places)
            WheelGuard::MarkAsMenu(place->findChild<QComboBox *>("menu"));
    }

    static QString Value(QWidget *control)
    {
        if (auto *combo = qobject_cast<QComboBox *>(control))
            return combo->currentText();
        if (auto *spin = qobject_cast<QSpinBox *>(control))
            return QString::number(spin->value());
        return QString::number(static_cast<QSlider *>(control)->value());
    }
};

}  // namespace

void TestWidgets::wheelGoesWhereItIsMeant_data()
{
    QTest::addColumn<int>("place");  // 0 scrolling area, 1 area that fits, 2 plain panel
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("controlChanges");
    QTest::addColumn<bool>("areaScrolls");
    for (const char *control : {"combo", "slider", "spin"}) {
        QTest::addRow("%s in a scrolling area", control) << 0 << control << false << false << true;
        QTest::addRow("%s in an area that fits", control) << 1 << control << false << true << false;
        QTest::addRow("%s on a plain panel", control) << 2 << control << false << true << false;
    }
    QTest::addRow("clicked spin box in a scrolling area") << 0 << "spin" << true << true << false;
    for (int place = 0; place < 3; ++place)
        QTest::addRow("menu at place %d", place) << place << "menu" << false << false << (place == 0);
}

void TestWidgets::wheelGoesWhereItIsMeant()
{
    QFETCH(int, place);
    QFETCH(QString, control);
    QFETCH(bool, focused);
    QFETCH(bool, controlChanges);
    QFETCH(bool, areaScrolls);

    WheelWindow fixture;
    fixture.window.show();
    fixture.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fixture.window, TestSupport::kHangGuardMs));
    QWidget *target = fixture.places[place]->findChild<QWidget *>(control);
    if (focused) {
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, target->height() / 2));
        QVERIFY(target->hasFocus());
    }
    const QString before = WheelWindow::Value(target);
    // Scrolled a little, with every control in view.
    QScrollBar *bar = fixture.areas[0]->verticalScrollBar();
    bar->setValue(5);

    TestSupport::TurnWheel(target, target->rect().center(), -1);
    QCOMPARE(WheelWindow::Value(target) != before, controlChanges);
    QCOMPARE(bar->value() != 5, areaScrolls);
}

VOGM_TEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
