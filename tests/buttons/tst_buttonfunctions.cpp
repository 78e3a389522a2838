// Giving a row a function through the button page's real buttons, against
// the simulated mouse: the simple functions, media keys, key combinations and
// DPI lock; what the mouse stores, the row's caption, the page's lists and
// the lists' state afterwards; offline and without a selected row.

#include "buttoninterface.h"
#include "buttonpagesuite.h"
#include "globals.h"
#include "hidusb_control.h"
#include "keyrecord.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "testsupport.h"

#include <QButtonGroup>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>
#include <memory>
#include <thread>

using namespace ButtonPageKit;
using namespace PanelFixture;

namespace {


// Row button, its marker and the device button it stands for.
struct Row {
    const char *button;
    const char *marker;
    int device;
};
constexpr Row kRows[] = {{"FireKey", "Number1", 0},    {"RightKey", "Number2", 1}, {"BackKey", "Number3", 2},
                         {"StartPause", "Number4", 4}, {"TopMusic", "Number5", 3}, {"BackMusic", "Number6", 5}};

QByteArray BytesOf(const KeyRecord &record)
{
    const KeyRecordBytes bytes = StoreKeyRecord(record);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

}  // namespace

class TestButtonFunctions : public ButtonPageSuite
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void writersStoreEntryAndCaption_data();
    void writersStoreEntryAndCaption();
    void offlineKeepsCaptionAndLists();
    void noRowSelectedWritesNothing();
    void mediaKeyOnRowFour();
    void everyMediaButtonSendsItsUsage_data();
    void everyMediaButtonSendsItsUsage();
    void mediaKeyByCode();
    void uncheckedClickChangesNothing();
    void combinationLeavesFunctionListOpen();
    void combinationOffline();
    void dpiLockFollowsTheModelsSensor();
    void receiverMouseTakesDpiUpAndAMediaKey();

private:
    QString FunctionPage() const { return Child<QStackedWidget>("stackedWidget")->currentWidget()->objectName(); }
    QString DetailPage() const { return Child<QStackedWidget>("stackedWidget_2")->currentWidget()->objectName(); }
    QString RowsScrollBarSheet() const
    {
        return Child<QScrollArea>("scrollArea_11")->verticalScrollBar()->styleSheet();
    }
    // Selects a row with its marker and opens the function list, as a row
    // selection does.
    void SelectRow(const Row &row);
    void OpenDetailList(const QString &opener, const QString &page);
    void Click(const QString &button) { QTest::mouseClick(Button(button), Qt::LeftButton); }
};

void TestButtonFunctions::init()
{
    m_page = new Buttoninterface(nullptr);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page, TestSupport::kHangGuardMs));
    OpenMouse();  // after the page: its worker points the current path at a placeholder
}

void TestButtonFunctions::cleanup()
{
    delete m_page;
    m_page = nullptr;
}

void TestButtonFunctions::SelectRow(const Row &row)
{
    Click(row.marker);
    QVERIFY(Button(row.button)->isChecked());
    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page_2"));
}

void TestButtonFunctions::OpenDetailList(const QString &opener, const QString &page)
{
    if (Button(opener)->isVisible())
        Click(opener);
    else  // the lighting list opens only from a row that already has a lighting function
        Child<QStackedWidget>("stackedWidget_2")->setCurrentWidget(Child(page));
    QCOMPARE(DetailPage(), page);
}

void TestButtonFunctions::writersStoreEntryAndCaption_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("opener");  // empty: a button of the function list
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArray>("entry");

    struct Case {
        const char *button, *opener, *page;
        int type, param1;
    };
    const Case cases[] = {
        {"LeftKey_3", "", "", 1, 1},           {"RightKey_3", "", "", 1, 2},
        {"MidKey", "", "", 1, 4},              {"BackKey_2", "", "", 1, 8},
        {"ForWardKey", "", "", 1, 16},         {"DPI_2", "", "", 7, 0},
        {"DPI_3", "", "", 9, 0},               {"DPI_5", "", "", 0, 0},
        {"VolumeUp_8", "DPI_7", "page_7", 2, 1},
        {"VolumeUp_9", "DPI_7", "page_7", 2, 2}, {"VolumeUp_10", "DPI_7", "page_7", 2, 3},
        {"VolumeUp_2", "DPI_11", "page_4", 3, 1}, {"VolumeDown_2", "DPI_11", "page_4", 3, 2},
        {"VolumeUp_14", "DPI_13", "page_10", 11, 1}, {"VolumeDown_14", "DPI_13", "page_10", 11, 2},
        {"VolumeUp_4", "DPI_9", "page_6", 8, 0}, {"VolumeUp_5", "DPI_9", "page_6", 8, 1},
        {"VolumeUp_6", "DPI_9", "page_6", 8, 3}, {"VolumeUp_7", "DPI_9", "page_6", 8, 4},
    };
    int i = 0;
    for (const Case &c : cases) {
        const int row = (i++ + 3) % 6;  // every row, starting with the crossed rows 4 and 5
        QTest::newRow(c.button) << c.button << c.opener << c.page << row << Entry(c.type, c.param1, 0);
    }
}

void TestButtonFunctions::writersStoreEntryAndCaption()
{
    QFETCH(QString, button);
    QFETCH(QString, opener);
    QFETCH(QString, page);
    QFETCH(int, row);
    QFETCH(QByteArray, entry);
    const Row &r = kRows[row];
    for (int i = 0; i < 3; ++i)
        SeedByte(kKeys + 3 * r.device + i, 0xEE);  // so that every entry is a change
    SelectRow(r);
    Button("Player")->setChecked(true);  // a highlight left from an earlier choice
    if (!opener.isEmpty())
        OpenDetailList(opener, page);

    if (Button(button)->isHidden()) {
        // The profile switch is hidden; only a direct call reaches its writer.
        Button(button)->setChecked(true);
        QVERIFY(QMetaObject::invokeMethod(m_page, qPrintable("on_" + button + "_clicked"), Q_ARG(bool, true)));
    } else {
        Click(button);
    }

    QCOMPARE(StoredEntry(r.device), entry);
    QCOMPARE(Button(r.button)->text(), Button(button)->text());
    QVERIFY(m_page->Assignments().Types().size() > r.device);
    QCOMPARE(m_page->Assignments().Types().at(r.device), int(entry[0]));
    QCOMPARE(m_page->Assignments().Params1().at(r.device), int(entry[1]));
    QCOMPARE(m_page->Assignments().Params2().at(r.device), int(entry[2]));
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
    QCOMPARE(RowsScrollBarSheet(), QString("QScrollBar {width:10px;}"));
    QVERIFY(Button(r.button)->isChecked());
    // A function of the function list clears the detail lists; a detail button stays highlighted.
    QCOMPARE(m_page->DetailGroup->checkedButton(), opener.isEmpty() ? nullptr : Button(button));
    QCOMPARE(ImagesSent(), 1);
}

void TestButtonFunctions::offlineKeepsCaptionAndLists()
{
    m_page->SlotFormResetButton();  // the factory functions
    SelectRow(kRows[1]);
    const QString caption = Button("RightKey")->text();
    UnplugMouse();
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);

    Click("MidKey");

    QCOMPARE(Button("RightKey")->text(), caption);
    QCOMPARE(m_page->Assignments().Types().at(1), 1);
    QCOMPARE(m_page->Assignments().Params1().at(1), 2);
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
    QCOMPARE(offline.count(), 1);
    QCOMPARE(offline.first().first().toInt(), 0);
    QCOMPARE(ImagesSent(), 0);

    // While the page fills itself the failure is silent.
    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page_2"));
    g_ButtonRefreshing = 1;
    Click("MidKey");
    g_ButtonRefreshing = 0;
    QCOMPARE(offline.count(), 1);
}

void TestButtonFunctions::noRowSelectedWritesNothing()
{
    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page_2"));
    OpenDetailList("DPI_12", "page_3");
    Button("VolumeDown_4")->setChecked(true);
    const QVector<int> types = m_page->Assignments().Types();
    HidSim::ClearCallLog();

    Click("LeftKey_3");

    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 0);
    QVERIFY(!Button("VolumeDown_4")->isChecked());
    QCOMPARE(m_page->DetailGroup->checkedButton(), nullptr);
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
    QCOMPARE(m_page->Assignments().Types(), types);

    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page_2"));
    OpenDetailList("DPI_12", "page_3");
    Click("Mute");
    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 0);
    QCOMPARE(FunctionPage(), QString("page"));
}

void TestButtonFunctions::mediaKeyOnRowFour()
{
    SelectRow(kRows[3]);
    OpenDetailList("DPI_12", "page_3");
    Click("Player");

    QCOMPARE(StoredEntry(4), Entry(5, 0, 0));
    QCOMPARE(StoredKeyRecord(4), BytesOf(MediaKeyRecord(0x183)));
    QCOMPARE(Button("StartPause")->text(), Button("Player")->text());
    QCOMPARE(m_page->Assignments().Types().value(4), 5);
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
    QCOMPARE(RowsScrollBarSheet(), QString("QScrollBar {width:10px;}"));
    // The slots touch no other row and no function button.
    QCOMPARE(StoredKeyRecord(3), HidSim::FactoryImage(kMouse).mid(kKeySequences + kKeySequenceSize * 3,
                                                                   kKeySequenceSize));
}

void TestButtonFunctions::everyMediaButtonSendsItsUsage_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("usage");
    const QList<QPair<const char *, int>> keys{
        {"Player", 0x183},       {"StartPause_2", 0xCD},  {"BackMusic_2", 0xB5},    {"TopMusic_2", 0xB6},
        {"Mute", 0xB7},          {"VolumeUp", 0xE2},      {"VolumeDown", 0xE9},     {"VolumeDown_4", 0xEA},
        {"VolumeDown_5", 0x18A}, {"VolumeDown_6", 0x192}, {"VolumeDown_3", 0x194},  {"VolumeDown_8", 0x223},
        {"VolumeDown_9", 0x221}, {"VolumeDown_7", 0x225}, {"VolumeDown_10", 0x224}, {"VolumeDown_12", 0x226},
        {"VolumeDown_13", 0x227}, {"VolumeDown_11", 0x22A}};
    for (const auto &key : keys)
        QTest::newRow(key.first) << key.first << key.second;
}

void TestButtonFunctions::everyMediaButtonSendsItsUsage()
{
    QFETCH(QString, button);
    QFETCH(int, usage);
    SelectRow(kRows[2]);
    OpenDetailList("DPI_12", "page_3");
    Button(button)->setChecked(false);  // a click on the checked button would uncheck it
    Click(button);
    QCOMPARE(StoredKeyRecord(2), BytesOf(MediaKeyRecord(usage)));
    QCOMPARE(StoredEntry(2), Entry(5, 0, 0));
    QCOMPARE(Button("BackKey")->text(), Button(button)->text());
}

void TestButtonFunctions::mediaKeyByCode()
{
    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page_2"));
    OpenDetailList("DPI_12", "page_3");

    m_page->WriteMediaKey(1, 0x83);
    QCOMPARE(StoredKeyRecord(1), BytesOf(MediaKeyRecord(0x183)));
    QCOMPARE(Button("RightKey")->text(), Button("Player")->text());
    QCOMPARE(m_page->Assignments().Types().value(1), 5);
    QCOMPARE(ImagesSent(), 1);
    // It switches no list.
    QCOMPARE(FunctionPage(), QString("page_2"));
    QCOMPARE(DetailPage(), QString("page_3"));

    m_page->WriteMediaKey(1, 0x183);  // the whole usage is no code
    m_page->WriteMediaKey(6, 0x83);   // no row stands for button 6
    m_page->WriteMediaKey(-1, 0xCD);
    QCOMPARE(ImagesSent(), 1);
}

void TestButtonFunctions::uncheckedClickChangesNothing()
{
    SelectRow(kRows[0]);
    OpenDetailList("DPI_12", "page_3");
    HidSim::ClearCallLog();
    m_page->on_Player_clicked(false);
    m_page->on_VolumeUp_16_clicked(false);
    m_page->on_VolumeUp_9_clicked(false);
    m_page->on_LeftKey_3_clicked(false);
    QCOMPARE(int(HidSim::CallLog().size()), 0);
    QCOMPARE(FunctionPage(), QString("page_2"));
    QCOMPARE(DetailPage(), QString("page_3"));
}

void TestButtonFunctions::combinationLeavesFunctionListOpen()
{
    SelectRow(kRows[4]);
    OpenDetailList("DPI_12", "page_3");
    Button("Mute")->setChecked(true);

    m_page->WriteKeyCombination(3, "Ctrl+C");

    QCOMPARE(Button("TopMusic")->text(), QString("Ctrl+C"));
    QCOMPARE(StoredEntry(3), Entry(5, 0, 0));
    QCOMPARE(StoredKeyRecord(3), BytesOf(Buttoninterface::ComboTextToKeyRecord("Ctrl+C")));
    QCOMPARE(m_page->Assignments().Types().value(3), 5);
    QCOMPARE(FunctionPage(), QString("page_2"));
    QCOMPARE(DetailPage(), QString("page_9"));
    QCOMPARE(RowsScrollBarSheet(), QString("QScrollBar {width:10px;}"));
    QCOMPARE(m_page->DetailGroup->checkedButton(), nullptr);

    // A default of more than three keys keeps and shows its first three.
    m_page->WriteKeyCombination(0, "Ctrl+Alt+Del+A");
    QCOMPARE(Button("FireKey")->text(), QString("Ctrl+Alt+Del"));
    QCOMPARE(StoredKeyRecord(0), BytesOf(Buttoninterface::ComboTextToKeyRecord("Ctrl+Alt+Del")));

    m_page->WriteKeyCombination(6, "A");
    QCOMPARE(ImagesSent(), 2);
}

void TestButtonFunctions::combinationOffline()
{
    SelectRow(kRows[4]);
    const QString caption = Button("TopMusic")->text();
    const QVector<int> types = m_page->Assignments().Types();
    UnplugMouse();
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);

    m_page->WriteKeyCombination(3, "Ctrl+C");

    QCOMPARE(Button("TopMusic")->text(), caption);
    QCOMPARE(m_page->Assignments().Types(), types);
    QCOMPARE(FunctionPage(), QString("page_2"));
    QCOMPARE(offline.count(), 1);
    QCOMPARE(ImagesSent(), 0);
}

void TestButtonFunctions::dpiLockFollowsTheModelsSensor()
{
    // The 4 kHz receiver's mouse is model 2, whose sensor "driver_sensor.h"
    // does not describe; a fill from its image takes the model's sensor.
    OpenReceiverMouse();
    const DeviceAllInfo before = g_CurrentDevice.Get();
    g_CurrentDevice.Update([](DeviceAllInfo &d) { d.DriveIndex = 1; });
    m_page->SensorName = "3950";  // the other model's sensor
    const FlashDataMap image = ReadImage();
    std::thread fill([image] { PostMsg::GetInstance()->EmitUpDataLightUIButton(image); });
    QVERIFY(TestSupport::WaitFor([] { return g_ButtonFilled == 1; }));
    fill.join();
    QCOMPARE(m_page->SensorName, QString("3395"));

    for (int i = 0; i < 3; ++i)
        SeedByte(kKeys + 3 * 4 + i, 0xEE);
    SelectRow(kRows[3]);
    OpenDetailList("DPI_4", "page_8");
    Click("VolumeUp_16");
    QCOMPARE(StoredEntry(4), Entry(10, 7, 0));
    QCOMPARE(Button("StartPause")->text(), Button("DPI_4")->text() + "-400");
    QCOMPARE(m_page->Assignments().Types().value(4), 10);
    QCOMPARE(m_page->Assignments().Params1().value(4), 7);
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
    QCOMPARE(RowsScrollBarSheet(), QString("QScrollBar {width:10px;}"));

    // With definitions for this sensor the defined code goes to the mouse.
    m_page->DefineNames = {"SENSOR_3950_DPI_500", "SENSOR_3395_DPI_500"};
    m_page->DefineValues = {9, 0x30};
    SelectRow(kRows[3]);
    OpenDetailList("DPI_4", "page_8");
    Click("VolumeUp_15");
    QCOMPARE(StoredEntry(4), Entry(10, 0x30, 0));
    QCOMPARE(Button("StartPause")->text(), Button("DPI_4")->text() + "-500");

    g_CurrentDevice.Set(before);
}

void TestButtonFunctions::receiverMouseTakesDpiUpAndAMediaKey()
{
    // The writes travel through the receiver to its mouse.
    OpenReceiverMouse();
    SelectRow(kRows[1]);
    OpenDetailList("DPI_7", "page_7");
    Click("VolumeUp_9");
    QCOMPARE(StoredEntry(1), Entry(2, 2, 0));
    QCOMPARE(Button("RightKey")->text(), QString("DPI+"));

    SelectRow(kRows[2]);
    OpenDetailList("DPI_12", "page_3");
    QVERIFY(Shoot(m_page, "buttons-open-lists"));
    Click("VolumeDown");
    QCOMPARE(StoredEntry(2), Entry(5, 0, 0));
    QCOMPARE(StoredKeyRecord(2), BytesOf(MediaKeyRecord(0xE9)));
    QCOMPARE(Button("BackKey")->text(), Button("VolumeDown")->text());
    QVERIFY(Shoot(m_page, "buttons-after-writes"));
}

VOGM_TEST_MAIN(TestButtonFunctions)
#include "tst_buttonfunctions.moc"
