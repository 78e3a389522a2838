// The parts the button page is composed of, each on its own: the rows with
// their markers and the left-button guard (RowList), the two stacked lists
// on the page's form (FunctionLists), and the profile box (ProfileAndFileActions).

#include "buttonassignments.h"
#include "functionlists.h"
#include "myconmbobox.h"
#include "profileandfileactions.h"
#include "rowlist.h"
#include "testsupport.h"
#include "ui_buttoninterface.h"

#include <QButtonGroup>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <vector>

class TestButtonPageParts : public QObject
{
    Q_OBJECT
private slots:
    void rowsSelectAndStandForTheirDeviceButtons();
    void leftGuardFollowsTheModel();
    void listsOpenAndClose();
    void profileItems_data();
    void profileItems();
};

namespace {

// Six rows and six markers on one host widget.
struct RowsOnHost {
    QWidget host;
    RowList::Rows rows{};
    RowList::Markers markers{};

    RowsOnHost()
    {
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i] = new QToolButton(&host);
            rows[i]->setCheckable(true);
            markers[i] = new QToolButton(&host);
        }
    }
};

}  // namespace

void TestButtonPageParts::rowsSelectAndStandForTheirDeviceButtons()
{
    RowsOnHost on;
    ButtonAssignments model;
    RowList rows(on.rows, on.markers, model, nullptr);
    QSignalSpy clicked(&rows, &RowList::RowClicked);
    QSignalSpy marked(&rows, &RowList::MarkerClicked);
    QCOMPARE(rows.SelectedDeviceButton(), -1);

    QTest::mouseClick(on.rows[3], Qt::LeftButton);  // row 4 carries device button 4
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().toInt(), 3);
    QCOMPARE(rows.SelectedDeviceButton(), 4);
    rows.Select(4);  // row 5: device button 3; the group is exclusive
    QCOMPARE(rows.SelectedRow(), 4);
    QCOMPARE(rows.SelectedDeviceButton(), 3);
    QVERIFY(!on.rows[3]->isChecked());
    QCOMPARE(rows.RowOfDevice(3), on.rows[4]);
    QCOMPARE(rows.RowOfDevice(6), nullptr);

    QTest::mouseClick(static_cast<QToolButton *>(on.markers[5]), Qt::LeftButton);
    QCOMPARE(marked.count(), 1);
    QCOMPARE(marked.first().first().toInt(), 5);
    rows.Clear();
    QCOMPARE(rows.SelectedRow(), -1);
    QVERIFY(rows.Group()->exclusive());
}

void TestButtonPageParts::leftGuardFollowsTheModel()
{
    RowsOnHost on;
    ButtonAssignments model;
    model.Reset();  // row 1 is the only left button
    RowList rows(on.rows, on.markers, model, nullptr);
    on.rows[0]->setText("anything");  // captions do not decide
    QVERIFY(rows.RefusesSelection(0));
    QVERIFY(!rows.RefusesSelection(1));

    model.Assign(5, Function::Plain(1, 1));
    QVERIFY(!rows.RefusesSelection(0));
    model.Assign(0, Function::Plain(1, 4));
    QVERIFY(rows.RefusesSelection(5));
}

void TestButtonPageParts::listsOpenAndClose()
{
    QWidget host;
    Ui_Buttoninterface ui;
    ui.setupUi(&host);
    QButtonGroup details;
    for (QToolButton *button : {ui.Player, ui.Mute, ui.VolumeUp_11})
        details.addButton(button);
    details.setExclusive(true);
    FunctionLists lists(ui, &details, nullptr);

    lists.OpenAt(ui.page_3, ui.DPI_12, ui.Mute);
    QVERIFY(lists.FunctionListOpen());
    QVERIFY(lists.DetailListOpen());
    QCOMPARE(ui.stackedWidget->currentWidget(), ui.page_2);
    QVERIFY(ui.DPI_12->isChecked());
    QCOMPARE(details.checkedButton(), ui.Mute);

    lists.ShowRowsScrollBar(false);
    QCOMPARE(ui.scrollArea_11->verticalScrollBar()->styleSheet(), QString("QScrollBar {width:0px;}"));
    lists.ClearDetailHighlights();
    QCOMPARE(details.checkedButton(), nullptr);
    QVERIFY(details.exclusive());

    lists.KeepFunctionListOpen();
    QVERIFY(lists.FunctionListOpen());
    QVERIFY(!lists.DetailListOpen());
    QCOMPARE(ui.scrollArea_11->verticalScrollBar()->styleSheet(), QString("QScrollBar {width:10px;}"));

    lists.ShowDetail(ui.page_8);
    lists.Close();
    QVERIFY(!lists.FunctionListOpen());
    QVERIFY(!lists.DetailListOpen());
}

void TestButtonPageParts::profileItems_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("select");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("current");
    QTest::newRow("four profiles") << 4 << 2 << true << QStringList{"P1", "P2", "P3", "P4"} << 2;
    QTest::newRow("no profile report") << 0 << 2 << false << QStringList{"P1"} << 0;
    QTest::newRow("none") << -1 << 0 << false << QStringList{} << -1;
    QTest::newRow("current outside") << 2 << 5 << true << QStringList{"P1", "P2"} << -1;
}

void TestButtonPageParts::profileItems()
{
    QFETCH(int, total);
    QFETCH(int, select);
    QFETCH(bool, enabled);
    QFETCH(QStringList, items);
    QFETCH(int, current);
    QWidget page;
    auto *box = new MyConmboBox(&page);
    QString prefix = "P";
    ProfileAndFileActions actions(box, &page, prefix, [] { return std::optional<FlashDataMap>(); });
    QSignalSpy activated(box, QOverload<int>::of(&QComboBox::activated));

    actions.ShowProfiles(total, select, enabled);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown << box->itemText(i);
    QCOMPARE(shown, items);
    QCOMPARE(box->currentIndex(), current);
    QCOMPARE(box->isEnabled(), enabled);

    // A new language's prefix: same items, same current one, nothing chosen.
    prefix = "Profile #";
    actions.RebuildProfileItems();
    QCOMPARE(box->count(), items.size());
    if (!items.isEmpty())
        QCOMPARE(box->itemText(0), QString("Profile #1"));
    QCOMPARE(box->currentIndex(), current);
    QCOMPARE(activated.count(), 0);
}

VOGM_TEST_MAIN(TestButtonPageParts)
#include "tst_buttonpageparts.moc"
