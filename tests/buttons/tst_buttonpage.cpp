// The button page as the form builds it and the constructor dresses it: the
// widget tree, the state after construction, the marker buttons, the list
// openers, presses on the page, a language change, the theme, and the
// destructor while the device side waits on the page.

#include "buttoninterface.h"
#include "buttonpagesuite.h"
#include "debouncetime.h"
#include "globals.h"
#include "hidusb_control.h"
#include "macropanel.h"
#include "myconmbobox.h"
#include "mytoolbutton.h"
#include "postmsg.h"
#include "sensordescription.h"
#include "testsupport.h"
#include "worker.h"
#include "worldfixtures.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QVBoxLayout>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>
#include <atomic>
#include <memory>
#include <mutex>

using Fixtures::ConfigVariant;

using namespace ButtonPageKit;

namespace {

// Messages Qt logged while a handler of ours was installed; the worker
// thread logs too, so the list is locked.
QStringList s_messages;
std::mutex s_messagesLock;
void RecordMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
    std::lock_guard<std::mutex> lock(s_messagesLock);
    s_messages << message;
}

QStringList Messages()
{
    std::lock_guard<std::mutex> lock(s_messagesLock);
    return s_messages;
}

void ClearMessages()
{
    std::lock_guard<std::mutex> lock(s_messagesLock);
    s_messages.clear();
}

const QStringList kFunctionButtons{"LeftKey_3", "RightKey_3", "MidKey", "BackKey_2", "ForWardKey", "DPI_2",
                                   "DPI_3",     "DPI_6",      "DPI_8",  "DPI_5",     "DPI_13",     "DPI_11",
                                   "DPI_4",     "DPI_9",      "DPI_7",  "DPI_12",    "DPI_10"};

// Detail pages in index order, each with its scroll area, contents, contents
// height and buttons (page_9 holds the debounce panel instead).
struct DetailPage {
    QString page, area, contents;
    int height;
    QStringList buttons;
};
const QList<DetailPage> kDetailPages{
    {"page_3", "scrollArea_3", "scrollAreaWidgetContents_3", 500,
     {"Player", "StartPause_2", "BackMusic_2", "TopMusic_2", "Mute", "VolumeUp", "VolumeDown", "VolumeDown_4",
      "VolumeDown_5", "VolumeDown_6", "VolumeDown_3", "VolumeDown_8", "VolumeDown_9", "VolumeDown_7",
      "VolumeDown_10", "VolumeDown_12", "VolumeDown_13", "VolumeDown_11"}},
    // The macro list's contents are the page's macro panel (see listsAndLayouts).
    {"page_5", "scrollArea_7", {}, 0, {}},
    {"page_6", "scrollArea_8", "scrollAreaWidgetContents_8", 220,
     {"VolumeUp_4", "VolumeUp_5", "VolumeUp_6", "VolumeUp_7"}},
    {"page_8", "scrollArea_10", "scrollAreaWidgetContents_10", 400,
     {"VolumeUp_11", "VolumeUp_12", "VolumeUp_13", "VolumeUp_16", "VolumeUp_15", "VolumeUp_19", "VolumeUp_20",
      "VolumeUp_22", "VolumeUp_18", "VolumeUp_24", "VolumeUp_23", "VolumeUp_21"}},
    {"page_9", {}, {}, 0, {}},
    {"page_4", "scrollArea_6", "scrollAreaWidgetContents_6", 220, {"VolumeUp_2", "VolumeDown_2"}},
    {"page_7", "scrollArea_9", "scrollAreaWidgetContents_9", 220, {"VolumeUp_8", "VolumeUp_9", "VolumeUp_10"}},
    {"page_10", "scrollArea_12", "scrollAreaWidgetContents_12", 220, {"VolumeUp_14", "VolumeDown_14"}},
};

const char *const kRowButtons[] = {"FireKey", "RightKey", "BackKey", "StartPause", "TopMusic", "BackMusic"};

// A scroll area's contents sit in its viewport; name the scroll area instead.
QString LogicalParent(const QWidget *widget)
{
    QWidget *parent = widget->parentWidget();
    if (parent && parent->objectName() == QLatin1String("qt_scrollarea_viewport"))
        parent = parent->parentWidget();
    return parent ? parent->objectName() : QString();
}

QString ClassOf(const QWidget *widget)
{
    // MyConmboBox carries no meta-object of its own.
    if (dynamic_cast<const MyConmboBox *>(widget))
        return QStringLiteral("MyConmboBox");
    return QString::fromLatin1(widget->metaObject()->className());
}

}  // namespace

class TestButtonPage : public ButtonPageSuite
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void widgetTree_data();
    void widgetTree();
    void listsAndLayouts();
    void stateAfterConstruction();
    void rowTableMapsRowsAndDeviceButtons();
    void markerSelectsItsRow_data();
    void markerSelectsItsRow();
    void markerOffline();
    void openersShowTheirDetailPage_data();
    void openersShowTheirDetailPage();
    void pressOnThePage_data();
    void pressOnThePage();
    void languageChangeKeepsTheProfile();
    void themeColoursComeFromConfig();
    void shortColourListFallsBack();
    void themeParsesAndShowsWhiteFunctionTexts();

private:
    QStackedWidget *FunctionList() const { return Child<QStackedWidget>("stackedWidget"); }
    QStackedWidget *DetailList() const { return Child<QStackedWidget>("stackedWidget_2"); }
    void Rebuild();
};

void TestButtonPage::initTestCase()
{
    HidSim::SetWorld(HidSim::DefaultWorld());
}

void TestButtonPage::init()
{
    g_ButtonRefreshing = 0;
    g_SensorRefreshing = 0;
    Rebuild();
}

void TestButtonPage::Rebuild()
{
    delete m_page;
    m_page = new Buttoninterface(nullptr);
    // The worker points the current path at its placeholder; the cable mouse is the current device.
    SetCurrentPath(HidSim::PathOf("m1"));
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page, TestSupport::kHangGuardMs));
}

void TestButtonPage::cleanup()
{
    delete m_page;
    m_page = nullptr;
}

void TestButtonPage::widgetTree_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");  // null: placed by a layout or a stack
    QTest::addColumn<QSize>("fixedSize");  // invalid: no fixed size
    QTest::addColumn<int>("checkable");  // -1: not a button
    QTest::addColumn<bool>("noFocus");  // false: not tested (plain widgets have NoFocus anyway)

    auto row = [](const QString &name, const QString &cls, const QString &parent, QRect geometry, QSize fixed,
                  int checkable, bool noFocus) {
        QTest::newRow(qPrintable(name)) << name << cls << parent << geometry << fixed << checkable << noFocus;
    };
    const QSize none;
    row("MainWindow", "QFrame", "Buttoninterface", {}, none, -1, false);
    row("label", "QLabel", "MainWindow", {30, 30, 20, 14}, none, -1, false);
    row("widget", "QWidget", "MainWindow", {180, 0, 432, 356}, {432, 356}, -1, false);
    const QList<QPoint> badges{{140, 220}, {40, 160}, {150, 120}, {300, 190}, {340, 160}, {340, 220}};
    for (int i = 0; i < badges.size(); ++i)
        row(QStringLiteral("Number%1").arg(i + 1), "QToolButton", "widget", {badges[i], QSize(38, 38)}, {38, 38}, 0,
            true);
    row("OutputData", "QToolButton", "MainWindow", {750, 350, 110, 26}, {110, 26}, 0, true);
    row("ImportData", "QToolButton", "MainWindow", {630, 350, 110, 26}, {110, 26}, 0, true);
    row("Reset", "QToolButton", "MainWindow", {510, 350, 110, 26}, {110, 26}, 0, true);
    row("ProjectChoose", "MyConmboBox", "MainWindow", {60, 25, 128, 24}, {128, 24}, -1, true);
    row("groupBox", "QGroupBox", "MainWindow", {7, 380, 862, 216}, none, -1, false);

    row("scrollArea_11", "QScrollArea", "groupBox", {150, 2, 480, 212}, {480, 212}, -1, true);
    row("scrollAreaWidgetContents_11", "QWidget", "scrollArea_11", {0, 0, 510, 212}, {510, 212}, -1, false);
    const int labelY[] = {6, 41, 76, 109, 145, 180};
    const int buttonY[] = {5, 40, 75, 109, 144, 179};
    const char *const labels[] = {"label_14", "label_9", "label_15", "label_11", "label_12", "label_13"};
    for (int i = 0; i < 6; ++i) {
        row(labels[i], "QLabel", "scrollAreaWidgetContents_11", {0, labelY[i], 24, 24}, {24, 24}, -1, false);
        row(kRowButtons[i], "QToolButton", "scrollAreaWidgetContents_11", {30, buttonY[i], 262, 26}, {262, 26}, 1,
            true);
    }

    row("stackedWidget", "QStackedWidget", "groupBox", {445, -11, 201, 241}, none, -1, false);
    row("page", "QWidget", "stackedWidget", {}, {195, 240}, -1, false);
    row("page_2", "QWidget", "stackedWidget", {}, {195, 240}, -1, false);
    row("scrollArea_4", "QScrollArea", "page_2", {}, {195, 220}, -1, true);
    row("scrollAreaWidgetContents_4", "QWidget", "scrollArea_4", {0, 0, 195, 420}, {195, 420}, -1, false);
    for (const QString &name : kFunctionButtons) {
        const bool mine = name == "DPI_6" || name == "DPI_8";
        row(name, mine ? "MyToolButton" : "QToolButton", "scrollAreaWidgetContents_4", {}, {164, 22}, 1, true);
    }

    row("groupBox_4", "QGroupBox", "groupBox", {643, -11, 211, 241}, none, -1, false);
    row("stackedWidget_2", "QStackedWidget", "groupBox_4", {0, 0, 213, 238}, none, -1, false);
    for (const DetailPage &page : kDetailPages) {
        if (page.page == "page_9") {
            row("page_9", "QWidget", "stackedWidget_2", {}, none, -1, false);
            continue;
        }
        row(page.page, "QWidget", "stackedWidget_2", {}, {205, 240}, -1, false);
        const QRect areaGeometry = page.page == "page_10" ? QRect(0, 10, 205, 220) : QRect();
        row(page.area, "QScrollArea", page.page, areaGeometry, {205, 220}, -1, true);
        if (page.contents.isEmpty())
            continue;
        row(page.contents, "QWidget", page.area, {0, 0, 205, page.height}, {205, page.height}, -1, false);
        for (const QString &button : page.buttons)
            row(button, "QToolButton", page.contents, {}, {174, 22}, 1, true);
    }
    row("groupBox_2", "QGroupBox", "page_9", {10, 0, 200, 241}, none, -1, false);
    row("label_3", "QLabel", "groupBox_2", {0, 20, 201, 31}, none, -1, false);
    row("DebunceButton", "DebounceTime", "groupBox_2", {35, 50, 165, 37}, none, -1, false);
}

void TestButtonPage::widgetTree()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QSize, fixedSize);
    QFETCH(int, checkable);
    QFETCH(bool, noFocus);

    const QList<QWidget *> found = m_page->findChildren<QWidget *>(name);
    QCOMPARE(found.size(), 1);
    QWidget *widget = found.first();
    QCOMPARE(ClassOf(widget), className);
    QCOMPARE(LogicalParent(widget), parent);
    if (!geometry.isNull())
        QCOMPARE(widget->geometry(), geometry);
    if (fixedSize.isValid()) {
        QCOMPARE(widget->minimumSize(), fixedSize);
        QCOMPARE(widget->maximumSize(), fixedSize);
        QCOMPARE(widget->size(), fixedSize);
    }
    if (checkable >= 0) {
        auto *button = qobject_cast<QToolButton *>(widget);
        QVERIFY(button);
        QCOMPARE(button->isCheckable(), checkable == 1);
        QVERIFY(button->autoRaise());
    }
    if (noFocus)
        QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
}

void TestButtonPage::listsAndLayouts()
{
    // Creation order on MainWindow decides what lies on top.
    QStringList onMainWindow;
    for (QObject *child : Child("MainWindow")->children())
        if (child->isWidgetType())
            onMainWindow << child->objectName();
    QCOMPARE(onMainWindow,
             (QStringList{"label", "widget", "OutputData", "ImportData", "groupBox", "ProjectChoose", "Reset"}));

    QCOMPARE(FunctionList()->count(), 2);
    QCOMPARE(FunctionList()->widget(0)->objectName(), QString("page"));
    QCOMPARE(FunctionList()->widget(1)->objectName(), QString("page_2"));
    QCOMPARE(DetailList()->count(), kDetailPages.size());
    for (int i = 0; i < kDetailPages.size(); ++i)
        QCOMPARE(DetailList()->widget(i)->objectName(), kDetailPages[i].page);

    QLayout *functions = Child<QLayout>("verticalLayout_9");
    QCOMPARE(functions->count(), kFunctionButtons.size());
    // The language load gives the whole function list one font.
    for (int i = 0; i < kFunctionButtons.size(); ++i) {
        QWidget *button = functions->itemAt(i)->widget();
        QCOMPARE(button->objectName(), kFunctionButtons[i]);
        QCOMPARE(button->font().pointSize(), 9);
    }
    QCOMPARE(functions->contentsMargins().left(), 7);

    // The macro list replaced the form's contents of the macro list's frame.
    QCOMPARE(Child<QScrollArea>("scrollArea_7")->widget(), static_cast<QWidget *>(m_page->MacroPanel));
    QVERIFY(!m_page->findChild<QWidget *>("scrollAreaWidgetContents_7"));

    for (const DetailPage &page : kDetailPages) {
        if (page.area.isEmpty() || page.contents.isEmpty())
            continue;
        QLayout *list = Child(page.contents)->layout();
        QVERIFY2(list, qPrintable(page.contents));
        QCOMPARE(list->contentsMargins().left(), 7);
        QStringList buttons;
        int spacers = 0;
        for (int i = 0; i < list->count(); ++i) {
            if (QWidget *button = list->itemAt(i)->widget()) {
                buttons << button->objectName();
                QCOMPARE(button->font().pointSize(), 9);
            } else if (list->itemAt(i)->spacerItem()) {
                ++spacers;
                QCOMPARE(i, list->count() - 1);
            }
        }
        QCOMPARE(buttons, page.buttons);
        const bool endsWithSpacer = QStringList{"page_6", "page_4", "page_7", "page_10"}.contains(page.page);
        QCOMPARE(spacers, endsWithSpacer ? 1 : 0);
        // Every page but page_10 lays its scroll area out in a grid without gaps.
        QLayout *grid = Child(page.page)->layout();
        QCOMPARE(grid != nullptr, page.page != "page_10");
        if (grid) {
            QCOMPARE(grid->spacing(), 0);
            QCOMPARE(grid->contentsMargins(), QMargins());
        }
    }

    // The form has no object for the page's slots of those names.
    for (const char *absent : {"MultiMedia", "RightKey_2", "LeftKey", "Advance", "Back", "DPI", "checkBox",
                               "pushButton"})
        QVERIFY2(!m_page->findChild<QObject *>(absent), absent);
}

void TestButtonPage::stateAfterConstruction()
{
    QCOMPARE(FunctionList()->currentWidget()->objectName(), QString("page"));
    QCOMPARE(DetailList()->currentWidget()->objectName(), QString("page_9"));
    for (QToolButton *button : m_page->findChildren<QToolButton *>())
        QVERIFY2(!button->isChecked(), qPrintable(button->objectName()));
    QVERIFY(Button("DPI_3")->isHidden());
    QVERIFY(Button("DPI_9")->isHidden());
    QVERIFY(!Button("DPI_4")->isHidden());
    QCOMPARE(g_Worker, nullptr);  // the device page frame makes the worker
    QCOMPARE(m_page->FireInterval, 10);
    QCOMPARE(m_page->FireCount, 3);
    QCOMPARE(Child<QComboBox>("ProjectChoose")->count(), 0);

    QCOMPARE(m_page->RowGroup->buttons().size(), 6);
    QCOMPARE(m_page->FunctionGroup->buttons().size(), 17);
    QCOMPARE(m_page->DetailGroup->buttons().size(), 41);
    for (QButtonGroup *group : {m_page->RowGroup, m_page->FunctionGroup, m_page->DetailGroup})
        QVERIFY(group->exclusive());

    const SensorDescription shipped = ReadInstalledSensorDescription();
    QVERIFY(!shipped.DefineNames.isEmpty());
    QCOMPARE(m_page->DefineNames, shipped.DefineNames.toVector());
    QCOMPARE(m_page->DefineValues, shipped.DefineValues.toVector());
    QVERIFY(!m_page->DefineNames.contains("SUPPORT_LOD_CAL"));
}

void TestButtonPage::rowTableMapsRowsAndDeviceButtons()
{
    QCOMPARE(m_page->SelectedDeviceButton(), -1);
    const int device[] = {0, 1, 2, 4, 3, 5};
    for (int row = 0; row < 6; ++row) {
        Button(kRowButtons[row])->setChecked(true);
        QCOMPARE(m_page->SelectedDeviceButton(), device[row]);
        QCOMPARE(m_page->RowOfDeviceButton(device[row]), Button(kRowButtons[row]));
    }
    QCOMPARE(m_page->RowOfDeviceButton(6), nullptr);
    QCOMPARE(m_page->RowOfDeviceButton(-1), nullptr);
}

void TestButtonPage::markerSelectsItsRow_data()
{
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("deviceButton");
    for (int k = 0; k < 6; ++k)
        QTest::newRow(qPrintable(QStringLiteral("Number%1").arg(k + 1)))
            << QStringLiteral("Number%1").arg(k + 1) << QString(kRowButtons[k]) << Buttoninterface::kRowDeviceButtons[k];
}

void TestButtonPage::markerSelectsItsRow()
{
    QFETCH(QString, marker);
    QFETCH(QString, row);
    QFETCH(int, deviceButton);
    Button("RightKey")->setChecked(row != "RightKey");  // a previous selection gives way
    HidSim::ClearCallLog();
    std::unique_ptr<QSignalSpy> offline(new QSignalSpy(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo));

    QTest::mouseClick(Button(marker), Qt::LeftButton);

    QVERIFY(Button(row)->isChecked());
    QCOMPARE(m_page->SelectedDeviceButton(), deviceButton);
    QVERIFY(!Button(marker)->isChecked());
    QCOMPARE(FunctionList()->currentWidget()->objectName(), QString("page"));
    QCOMPARE(DetailList()->currentWidget()->objectName(), QString("page_9"));
    QCOMPARE(int(HidSim::CallsOf("UsbFinderC_GetDeviceOnLine").size()), 1);
    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 0);
    QCOMPARE(offline->count(), 0);
}

void TestButtonPage::markerOffline()
{
    SetCurrentPath("no-such-device");
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
    QTest::mouseClick(Button("Number5"), Qt::LeftButton);
    QVERIFY(Button("TopMusic")->isChecked());
    QCOMPARE(offline.count(), 1);
    QCOMPARE(offline.first().first().toInt(), 0);

    g_ButtonRefreshing = 1;
    QTest::mouseClick(Button("Number4"), Qt::LeftButton);
    g_ButtonRefreshing = 0;
    QVERIFY(Button("StartPause")->isChecked());
    QCOMPARE(offline.count(), 1);
}

void TestButtonPage::openersShowTheirDetailPage_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("page");
    QTest::newRow("media") << "DPI_12" << "page_3";
    QTest::newRow("DPI lock") << "DPI_4" << "page_8";
    QTest::newRow("tilt") << "DPI_11" << "page_4";
    QTest::newRow("DPI") << "DPI_7" << "page_7";
    QTest::newRow("wheel") << "DPI_13" << "page_10";
}

void TestButtonPage::openersShowTheirDetailPage()
{
    QFETCH(QString, opener);
    QFETCH(QString, page);
    // A row selection opens the function list; the opener then picks a detail list.
    Button("BackKey")->setChecked(true);
    FunctionList()->setCurrentWidget(Child("page_2"));
    HidSim::ClearCallLog();

    QTest::mouseClick(Button(opener), Qt::LeftButton);

    QCOMPARE(DetailList()->currentWidget()->objectName(), page);
    QCOMPARE(FunctionList()->currentWidget()->objectName(), QString("page_2"));
    QVERIFY(Button(opener)->isChecked());
    QVERIFY(Button("BackKey")->isChecked());
    QCOMPARE(int(HidSim::CallLog().size()), 0);
}

void TestButtonPage::pressOnThePage_data()
{
    QTest::addColumn<QString>("functionPage");
    QTest::addColumn<QString>("detailPage");
    QTest::addColumn<int>("press");  // 0 left press, 1 right press, 2 second press of a double click
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("rowCleared");

    QTest::newRow("no list, outside the rows") << "page" << "page_9" << 0 << QPoint(700, 300) << true << true;
    QTest::newRow("function list, lifted into it") << "page_2" << "page_9" << 0 << QPoint(500, 480) << false << false;
    QTest::newRow("function list, on the picture") << "page_2" << "page_9" << 0 << QPoint(300, 100) << true << true;
    QTest::newRow("both lists, in the box") << "page_2" << "page_3" << 0 << QPoint(500, 450) << true << true;
    QTest::newRow("both lists, right press") << "page_2" << "page_3" << 1 << QPoint(500, 450) << false << false;
    QTest::newRow("both lists, double click") << "page_2" << "page_3" << 2 << QPoint(500, 450) << false << false;
    QTest::newRow("function list, right press") << "page_2" << "page_9" << 1 << QPoint(300, 100) << false << false;
}

void TestButtonPage::pressOnThePage()
{
    QFETCH(QString, functionPage);
    QFETCH(QString, detailPage);
    QFETCH(int, press);
    QFETCH(QPoint, at);
    QFETCH(bool, closed);
    QFETCH(bool, rowCleared);
    Button("BackKey")->setChecked(true);
    FunctionList()->setCurrentWidget(Child(functionPage));
    DetailList()->setCurrentWidget(Child(detailPage));

    if (press == 0)
        QTest::mousePress(m_page, Qt::LeftButton, Qt::NoModifier, at);
    else if (press == 1)
        QTest::mousePress(m_page, Qt::RightButton, Qt::NoModifier, at);
    else
        QTest::mouseDClick(m_page, Qt::LeftButton, Qt::NoModifier, at);

    QCOMPARE(FunctionList()->currentWidget()->objectName(), closed ? QString("page") : functionPage);
    QCOMPARE(DetailList()->currentWidget()->objectName(), closed ? QString("page_9") : detailPage);
    QCOMPARE(Button("BackKey")->isChecked(), !rowCleared);
    if (closed) {
        auto *rows = Child<QScrollArea>("scrollArea_11");
        QCOMPARE(rows->verticalScrollBar()->styleSheet(), QString("QScrollBar {width:10px;}"));
    }
}

void TestButtonPage::languageChangeKeepsTheProfile()
{
    auto *profile = Child<QComboBox>("ProjectChoose");
    profile->addItems({"1", "2", "3", "4"});
    profile->setCurrentIndex(2);
    Button("LeftKey_3")->setText("Left");
    QSignalSpy activated(profile, QOverload<int>::of(&QComboBox::activated));
    QSignalSpy changed(profile, QOverload<int>::of(&QComboBox::currentIndexChanged));

    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(m_page, &change);

    QCOMPARE(profile->currentIndex(), 2);
    QCOMPARE(profile->count(), 4);
    QCOMPARE(activated.count(), 0);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!profile->signalsBlocked());
    // The form's default texts come back.
    QCOMPARE(Button("LeftKey_3")->text(), QString::fromUtf8("左键"));
}

void TestButtonPage::themeColoursComeFromConfig()
{
    ConfigVariant config({{"Option/ButtonColor", "200,100,50"}});
    Rebuild();
    const QString dir = TestSupport::AppFolder() + "/Picture/Buttoninterface/";
    QCOMPARE(Child("page_3")->styleSheet(),
             "QToolButton{color: rgb(200,100,50;);border-image: url(" + dir
                 + "CMenuTitle.png);}QToolButton:checked{color: rgb(200,100,50;);border-image: url(" + dir
                 + "CMenuTitleChecked.png); }");
    QVERIFY(Child("scrollAreaWidgetContents_11")->styleSheet().contains("color: rgb(200,100,50;);"));
    QCOMPARE(m_page->ButtonColor, QString("200,100,50"));
    // Qt reads "rgb(r,g,b;)" as the colour.
    QCOMPARE(Button("Player")->palette().color(QPalette::ButtonText), QColor(200, 100, 50));

    QCOMPARE(Child("groupBox_4")->styleSheet(), QString("#groupBox_4 {border: 0;}"));
    QCOMPARE(Child("groupBox_2")->styleSheet(), QString("#groupBox_2 {border: 0;}"));
    QCOMPARE(Child("groupBox")->styleSheet(), "#groupBox {border: 0;background-image: url(" + dir + "TiltleBack.png);}");
    QCOMPARE(Child("scrollArea_10")->styleSheet(), QString("#scrollArea_10{border: 0;}"));
    QCOMPARE(Child("widget")->styleSheet(),
             "#widget{border:0px;background-position:center;background-repeat:no-repeat;background-image: url(" + dir
                 + "mouse0.png);}");
    QVERIFY(Child<QScrollArea>("scrollArea_11")->styleSheet().isEmpty());
    QCOMPARE(Child<QScrollArea>("scrollArea_11")->frameShape(), QFrame::NoFrame);
}

void TestButtonPage::shortColourListFallsBack()
{
    ConfigVariant config({{"Option/ButtonColor", "200,100"}, {"Option/LabelColor", "7"}});
    Rebuild();
    const QStringList parts = m_page->ButtonColor.split(',');
    QCOMPARE(parts.size(), 3);
    for (const QString &part : parts)
        QVERIFY(part.toInt() >= 0 && part.toInt() <= 255);
    QVERIFY(Child("page_3")->styleSheet().contains("rgb(" + m_page->ButtonColor + ";)"));
    QVERIFY(Child("label_3")->styleSheet().startsWith("QLabel{color: rgb("));
}

void TestButtonPage::themeParsesAndShowsWhiteFunctionTexts()
{
    ClearMessages();
    const QtMessageHandler previous = qInstallMessageHandler(RecordMessage);
    Rebuild();
    // Open the lists with a checked function and detail button, as a user sees them.
    Button("BackKey")->setChecked(true);
    FunctionList()->setCurrentWidget(Child("page_2"));
    Button("DPI_12")->setChecked(true);
    DetailList()->setCurrentWidget(Child("page_3"));
    Button("Player")->setChecked(true);
    m_page->grab();
    QTest::qWait(20);
    qInstallMessageHandler(previous);
    for (const QString &message : Messages())
        QVERIFY2(!message.contains("Could not parse stylesheet"), qPrintable(message));

    for (const QString &name : kFunctionButtons) {
        QToolButton *button = Button(name);
        button->ensurePolished();
        QCOMPARE(button->palette().color(QPalette::ButtonText), QColor(Qt::white));
    }

    const QStringList pictures = TestSupport::PicturesNamed(m_page);
    QVERIFY(pictures.size() > 20);
    for (const QString &file : pictures)
        QVERIFY2(QFile::exists(file), qPrintable(file));
    for (const char *name : {"mouse0.png", "TiltleBack.png", "BMenuTitleCheckedB.png", "Config.png", "NumberClick.png",
                                "ComboboxTextBack.png", "LabelNumber.png"})
        QVERIFY2(pictures.contains(TestSupport::AppFolder() + "/Picture/Buttoninterface/" + name), name);
}

VOGM_TEST_MAIN(TestButtonPage)
#include "tst_buttonpage.moc"
