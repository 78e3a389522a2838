// Picking a row on the shown button page: the lists open at the row's
// function, checked and scrolled into view; the last left-button row refuses.

#include "buttoninterface.h"
#include "buttonpagesuite.h"
#include "globals.h"
#include "hidusb_control.h"
#include "keyrecord.h"
#include "macrofile.h"
#include "macropanel.h"
#include "noticedialog.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "testsupport.h"
#include "worldfixtures.h"

#include <QButtonGroup>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>
#include <cstring>
#include <thread>

using namespace ButtonPageKit;
using namespace PanelFixture;

namespace {

const QString kPrefix = QStringLiteral("Macro-");
const char *const kRowButtons[] = {"FireKey", "RightKey", "BackKey", "StartPause", "TopMusic", "BackMusic"};
// Where a test moves the DPI-lock list and the macro list before a click.
constexpr int kMovedAway = 30;

void SetEntry(FlashDataMap &image, int button, int type, int param1, int param2 = 0)
{
    image.Keys[button] = KeyEntry{uint8_t(type), uint8_t(param1), uint8_t(param2)};
}

// A key record whose first event is a press of `code` of `kind`.
void SetFirstEvent(FlashDataMap &image, int button, int kind, int code)
{
    KeyRecord record = EmptyKeyRecord();
    record.Count = 2;
    record.Events[0] = MacroEvent{0, uint8_t(kind), uint16_t(code), kKeyEventDelayMs};
    record.Events[1] = MacroEvent{1, uint8_t(kind), uint16_t(code), kKeyEventDelayMs};
    const KeyRecordBytes bytes = StoreKeyRecord(record);
    std::memcpy(image.KeySequences[button], bytes.data(), bytes.size());
}

void SetMacroName(FlashDataMap &image, int button, const QByteArray &name)
{
    std::memset(image.Macros[button], 0, kMacroRecordSize);
    image.Macros[button][0] = uint8_t(name.size());
    std::memcpy(image.Macros[button] + 1, name.constData(), size_t(name.size()));
}

}  // namespace

class TestRowSelection : public ButtonPageSuite
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void rowOpensAtItsFunction_data();
    void rowOpensAtItsFunction();
    void lastLeftButtonRowRefuses();
    void macroRowFindsItsButtonByCaption();
    void rowWithoutAnEntryOpensNothing();
    void mediaFromTheCachedImage();

private:
    QString FunctionPage() const { return Child<QStackedWidget>("stackedWidget")->currentWidget()->objectName(); }
    QString DetailPage() const { return Child<QStackedWidget>("stackedWidget_2")->currentWidget()->objectName(); }
    QScrollBar *Bar(const QString &area) const { return Child<QScrollArea>(area)->verticalScrollBar(); }
    // A position as the bar can take it: bars stop at their maximum.
    int Reachable(const QString &area, int position) const { return qMin(position, Bar(area)->maximum()); }
    // The list of `area` stands within an item of `position`, with no item
    // cut at the top edge where it is seen and its checked items in view.
    void ExpectWholeItemsNear(const QString &area, int position) const;
    void BuildPage();
    void FillFromMouse(const FlashDataMap &image);
    // The closed lists with nothing checked, as before a first selection.
    void CloseAndUncheck();
    QStringList CheckedFunctions() const;
    void Click(const QString &button) { QTest::mouseClick(Button(button), Qt::LeftButton); }

    FlashDataMap m_factory{};
};

void TestRowSelection::ExpectWholeItemsNear(const QString &name, int position) const
{
    const auto *area = Child<QScrollArea>(name);
    const QRect seen = area->viewport()->visibleRegion().boundingRect();
    const int top = area->verticalScrollBar()->value() + seen.top();
    const int bottom = top + seen.height();
    int pitch = 0;
    int previousTop = -1;
    for (const QWidget *item : area->widget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (item->isHidden())
            continue;
        const QRect at = item->geometry();
        QVERIFY2(!(at.top() < top && top <= at.bottom()), qPrintable(name + ": an item is cut at the top"));
        if (const auto *button = qobject_cast<const QAbstractButton *>(item); button && button->isChecked())
            QVERIFY2(at.top() >= top && at.bottom() < bottom, qPrintable(name + ": the checked item is not in view"));
        pitch = previousTop < 0 ? pitch : qMax(pitch, at.top() - previousTop);
        previousTop = at.top();
    }
    QVERIFY2(qAbs(area->verticalScrollBar()->value() - Reachable(name, position)) < pitch,
             qPrintable(QString("%1 at %2, not near %3").arg(name).arg(area->verticalScrollBar()->value()).arg(position)));
}

void TestRowSelection::init()
{
    QDir(MacroFile::Folder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFile::Folder()));
    BuildPage();
}

void TestRowSelection::BuildPage()
{
    delete m_page;
    m_page = new Buttoninterface(nullptr);
    m_page->MacroPrefix = kPrefix;
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page, TestSupport::kHangGuardMs));
    OpenMouse();
    g_CurrentDevice.Update([](DeviceAllInfo &device) { device.DriveIndex = 0; });  // the cable mouse's model
    std::memcpy(&m_factory, StoredImage().constData(), sizeof m_factory);
}

void TestRowSelection::cleanup()
{
    delete m_page;
    m_page = nullptr;
    g_CurrentDevice.Set(DeviceAllInfo());
}

void TestRowSelection::FillFromMouse(const FlashDataMap &image)
{
    g_ButtonFilled = 0;
    std::thread device([image] { PostMsg::GetInstance()->EmitUpDataLightUIButton(image); });
    QVERIFY(TestSupport::WaitFor([] { return g_ButtonFilled == 1; }));
    device.join();
}

void TestRowSelection::CloseAndUncheck()
{
    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page"));
    Child<QStackedWidget>("stackedWidget_2")->setCurrentWidget(Child("page_9"));
    for (QButtonGroup *group : {m_page->FunctionGroup, m_page->DetailGroup}) {
        group->setExclusive(false);
        for (QAbstractButton *button : group->buttons())
            button->setChecked(false);
        group->setExclusive(true);
    }
}

QStringList TestRowSelection::CheckedFunctions() const
{
    QStringList checked;
    for (QButtonGroup *group : {m_page->FunctionGroup, m_page->DetailGroup}) {
        for (QAbstractButton *button : group->buttons()) {
            if (button->isChecked())
                checked << button->objectName();
        }
    }
    return checked;
}

void TestRowSelection::rowOpensAtItsFunction_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("param");
    QTest::addColumn<int>("kind");   // the key record's first event; -1: the factory record
    QTest::addColumn<int>("usage");
    QTest::addColumn<QString>("functionPage");
    QTest::addColumn<QString>("detailPage");
    QTest::addColumn<QStringList>("checked");  // category, then function
    QTest::addColumn<int>("functions");        // scrollArea_4
    QTest::addColumn<int>("dpiLocks");         // scrollArea_10, moved away before the click
    QTest::addColumn<int>("media");            // scrollArea_3; -1: not looked at

    auto add = [](const char *name, int row, int type, int param, int kind, int usage, const char *detail,
                  const QStringList &checked, int functions, int dpiLocks = 0, int media = -1) {
        QTest::newRow(name) << row << type << param << kind << usage << "page_2" << detail << checked << functions
                            << dpiLocks << media;
    };
    add("no function", 1, 0, 0, -1, 0, "page_9", {"DPI_5"}, 135);
    add("left", 1, 1, 1, -1, 0, "page_9", {"LeftKey_3"}, 0);
    add("right", 2, 1, 2, -1, 0, "page_9", {"RightKey_3"}, 15);
    add("middle", 3, 1, 4, -1, 0, "page_9", {"MidKey"}, 30);
    add("back", 4, 1, 8, -1, 0, "page_9", {"BackKey_2"}, 45);
    add("forward", 5, 1, 16, -1, 0, "page_9", {"ForWardKey"}, 60);
    add("mouse button 32", 1, 1, 32, -1, 0, "page_9", {}, 0);
    add("DPI cycle", 1, 2, 1, -1, 0, "page_7", {"DPI_7", "VolumeUp_8"}, 195);
    add("DPI 9", 1, 2, 9, -1, 0, "page_7", {"DPI_7"}, 195);
    add("tilt right", 1, 3, 2, -1, 0, "page_4", {"DPI_11", "VolumeDown_2"}, 150);
    add("tilt 5", 1, 3, 5, -1, 0, "page_4", {"DPI_11"}, 150);
    add("fire key", 1, 4, 10, -1, 0, "page_9", {"DPI_6"}, 105);
    add("play/pause", 3, 5, 0, 2, 0xCD, "page_3", {"DPI_12", "StartPause_2"}, 240, kMovedAway, 15);
    add("browser back, row 1", 0, 5, 0, 2, 0x224, "page_3", {"DPI_12", "VolumeDown_10"}, 240, kMovedAway, 210);
    add("browser back, row 2", 1, 5, 0, 2, 0x224, "page_3", {"DPI_12", "VolumeDown_10"}, 240, kMovedAway, 210);
    add("browser forward, row 6", 5, 5, 0, 2, 0x225, "page_3", {"DPI_12", "VolumeDown_7"}, 240, kMovedAway, 195);
    add("volume down", 2, 5, 0, 2, 0xEA, "page_3", {"DPI_12", "VolumeDown_4"}, 240, kMovedAway, 105);
    add("keyboard 0x24", 1, 5, 0, 1, 0x24, "page_9", {"DPI_8"}, 120, kMovedAway, 0);
    add("report rate", 1, 7, 0, -1, 0, "page_9", {"DPI_2"}, 75);
    add("DPI indicator light", 1, 8, 1, -1, 0, "page_6", {"DPI_9", "VolumeUp_5"}, 180);
    add("lighting 2", 1, 8, 2, -1, 0, "page_6", {"DPI_9"}, 180);
    add("profile", 1, 9, 0, -1, 0, "page_9", {"DPI_3"}, 90);
    add("DPI lock 900", 4, 10, 17, -1, 0, "page_8", {"DPI_4", "VolumeUp_18"}, 225, 120);
    add("DPI lock 50", 4, 10, 0, -1, 0, "page_8", {"DPI_4"}, 225);
    add("wheel up", 1, 11, 1, -1, 0, "page_10", {"DPI_13", "VolumeUp_14"}, 150);
    add("wheel 3", 1, 11, 3, -1, 0, "page_10", {"DPI_13"}, 150);
    // A type the page does not know opens nothing.
    QTest::newRow("type 13") << 1 << 13 << 1 << -1 << 0 << "page" << "page_9" << QStringList() << 0 << 0 << -1;
}

void TestRowSelection::rowOpensAtItsFunction()
{
    QFETCH(int, row);
    QFETCH(int, type);
    QFETCH(int, param);
    QFETCH(int, kind);
    QFETCH(int, usage);
    QFETCH(QString, functionPage);
    QFETCH(QString, detailPage);
    QFETCH(QStringList, checked);
    QFETCH(int, functions);
    QFETCH(int, dpiLocks);
    QFETCH(int, media);
    const int device = Buttoninterface::kRowDeviceButtons[row];
    FlashDataMap image = m_factory;
    SetEntry(image, device, type, param);
    if (kind >= 0)
        SetFirstEvent(image, device, kind, usage);
    FillFromMouse(image);
    CloseAndUncheck();
    Bar("scrollArea_10")->setSliderPosition(kMovedAway);
    Bar("scrollArea_3")->setSliderPosition(kMovedAway);
    HidSim::ClearCallLog();

    Click(kRowButtons[row]);

    QVERIFY(Button(kRowButtons[row])->isChecked());
    QCOMPARE(FunctionPage(), functionPage);
    QCOMPARE(DetailPage(), detailPage);
    QCOMPARE(CheckedFunctions(), checked);
    ExpectWholeItemsNear("scrollArea_4", functions);
    if (dpiLocks == kMovedAway)
        QCOMPARE(Bar("scrollArea_10")->sliderPosition(), kMovedAway);
    else
        ExpectWholeItemsNear("scrollArea_10", dpiLocks);
    if (media >= 0)
        ExpectWholeItemsNear("scrollArea_3", media);
    QCOMPARE(Bar("scrollArea_11")->styleSheet(),
             row == 0 ? QString("QScrollBar {width:10px;}") : QString("QScrollBar {width:0px;}"));
    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 0);
}

void TestRowSelection::lastLeftButtonRowRefuses()
{
    FillFromMouse(m_factory);  // the left button on row 1 only
    Click("RightKey");  // any other row opens
    QCOMPARE(FunctionPage(), QString("page_2"));
    QCOMPARE(Bar("scrollArea_11")->styleSheet(), QString("QScrollBar {width:0px;}"));
    HidSim::ClearCallLog();

    WatchModals();
    Click("FireKey");
    const QList<SeenModal> seen = StopWatching();

    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.first().className, QString("LeftButtonOnly"));
    QCOMPARE(seen.first().pos,
             NoticePosition(QRect(m_page->mapToGlobal(QPoint(0, 0)), m_page->size()), QSize(300, 140), -50, -70));
    QCOMPARE(m_page->RowGroup->checkedButton(), nullptr);
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
    QCOMPARE(Bar("scrollArea_11")->styleSheet(), QString("QScrollBar {width:0px;}"));
    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 0);

    // With the left button on two rows either opens.
    FlashDataMap twoLeft = m_factory;
    SetEntry(twoLeft, 1, 1, 1);
    FillFromMouse(twoLeft);
    for (const char *row : {"FireKey", "RightKey"}) {
        CloseAndUncheck();
        WatchModals();
        Click(row);
        QVERIFY(StopWatching().isEmpty());
        QCOMPARE(FunctionPage(), QString("page_2"));
        QVERIFY(Button("LeftKey_3")->isChecked());
    }
}

void TestRowSelection::macroRowFindsItsButtonByCaption()
{
    // Ten macros, so that the list scrolls; "M" is the third.
    for (const char *name : {"A", "B", "M", "N1", "N2", "N3", "N4", "N5", "N6", "N7"}) {
        QFile file(MacroFile::Folder() + "/" + name + ".ini");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("254\n");
    }
    BuildPage();
    FlashDataMap image = m_factory;
    SetEntry(image, 3, 6, 3, 254);
    SetMacroName(image, 3, "M");
    SetEntry(image, 5, 6, 5, 254);
    SetMacroName(image, 5, "Gone");
    FillFromMouse(image);

    // The first showing of the list already scrolls.
    CloseAndUncheck();
    Click("TopMusic");
    QCOMPARE(DetailPage(), QString("page_5"));
    MacroPanel *list = m_page->MacroPanel;
    QCOMPARE(CheckedFunctions(), QStringList{"DPI_10"});
    QCOMPARE(list->ChosenMacro(), QString("M"));
    QVERIFY(list->verticalScrollBar()->value() > 0);
    QVERIFY(list->viewport()->rect().contains(list->visualRect(list->IndexOf("M"))));
    QVERIFY(TestSupport::SaveShot(m_page->grab().toImage(), "macro-list-row-macro-chosen.png"));
    ExpectWholeItemsNear("scrollArea_4", 225);

    // A macro that has since gone: the list opens with nothing chosen, where it was.
    CloseAndUncheck();
    list->verticalScrollBar()->setSliderPosition(kMovedAway);
    Click("BackMusic");
    QCOMPARE(DetailPage(), QString("page_5"));
    QCOMPARE(CheckedFunctions(), QStringList{"DPI_10"});
    QCOMPARE(list->ChosenMacro(), QString());
    QCOMPARE(list->verticalScrollBar()->sliderPosition(), kMovedAway);
}

void TestRowSelection::rowWithoutAnEntryOpensNothing()
{
    Fixtures::ConfigVariant config({{"Drive1/KeyNumber", "4"}});
    FillFromMouse(m_factory);
    QCOMPARE(m_page->Assignments().Types().size(), 4);
    for (const char *row : {"BackMusic", "StartPause"}) {
        CloseAndUncheck();
        Click(row);
        QCOMPARE(FunctionPage(), QString("page"));
        QCOMPARE(DetailPage(), QString("page_9"));
        QVERIFY(CheckedFunctions().isEmpty());
        ExpectWholeItemsNear("scrollArea_4", 0);
    }
}

void TestRowSelection::mediaFromTheCachedImage()
{
    // Offline, the page shows the model's cached image; the program's own
    // image holds nothing of this mouse.
    FlashDataMap cached = m_factory;
    SetEntry(cached, 1, 5, 0);
    SetFirstEvent(cached, 1, 2, 0x224);
    StoreImage(FlashDataMap{});
    g_DeviceOnline = 0;
    FillFromMouse(cached);
    CloseAndUncheck();

    Click("RightKey");

    QCOMPARE(DetailPage(), QString("page_3"));
    QVERIFY(Button("VolumeDown_10")->isChecked());
    QVERIFY(Shoot(m_page, "row-media-from-cache"));
}

VOGM_TEST_MAIN(TestRowSelection)
#include "tst_rowselection.moc"
