// Giving a row a macro on the button page, against the simulated mouse: the
// macro list made from the macro folder, what a chosen macro writes, the
// record built from a macro file, and how the rows follow the macro editor's
// deletions, new names and saves.

#include "buttoninterface.h"
#include "buttonpagesuite.h"
#include "globals.h"
#include "hidusb_control.h"
#include "keyrecord.h"
#include "macrochoice.h"
#include "macrofile.h"
#include "macropanel.h"
#include "noticedialog.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "testsupport.h"
#include "waits.h"
#include "worldfixtures.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QLayout>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTextCodec>
#include <QTimer>
#include <QToolTip>
#include <QToolButton>
#include <QtTest>
#include <cstring>

using namespace ButtonPageKit;
using namespace PanelFixture;

namespace {

const QString kPrefix = QStringLiteral("Macro-");
const QByteArray kMacroM = "254\n0x04 1 0\n10ms\n0x04 1 1\n";

QString MacroFolder()
{
    return MacroFile::Folder();
}

void PutMacroFile(const QString &fileName, const QByteArray &content)
{
    QFile file(MacroFolder() + "/" + fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray MacroFileContent(const QString &name)
{
    QFile file(MacroFolder() + "/" + name + ".ini");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file of `keys` presses of A with 5 ms between each two.
QByteArray KeyPresses(int keys)
{
    QByteArray content = "254\n";
    for (int i = 0; i < keys; ++i) {
        if (i > 0)
            content += "5ms\n";
        content += "0x04 1 0\n";
    }
    return content;
}

// The 592 bytes from their leading part given as hexadecimal text, zeros after it.
QByteArray RecordBytes(const QByteArray &leadingHex)
{
    QByteArray bytes = QByteArray::fromHex(leadingHex);
    bytes.append(QByteArray(kMacroRecordSize - bytes.size(), '\0'));
    return bytes;
}

QByteArray BytesOf(const KeyRecord &record)
{
    const KeyRecordBytes bytes = StoreKeyRecord(record);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// The record of macro M as the mouse keeps it: A pressed, 10 ms, A released.
const QByteArray kRecordM = RecordBytes("014d" + QByteArray(29 * 2, '0') + "02" + "000104000a000000" + "0101040000000000");

void SeedBytes(int offset, const QByteArray &bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        SeedByte(offset + i, uint8_t(bytes.at(i)));
}

// Device button `device` plays the macro of `record` with loop code `loop`.
void SeedMacroRow(int device, const QByteArray &record, int loop = 254)
{
    SeedBytes(kKeys + 3 * device, QByteArray(1, char(6)) + char(device) + char(loop));
    SeedBytes(kMacros + kMacroRecordSize * device, record);
}

// The record of a macro named `name` (no events).
QByteArray NamedRecord(const QByteArray &name)
{
    return RecordBytes(QByteArray(1, char(name.size())).toHex() + name.toHex());
}

}  // namespace

class TestMacroAssignment : public ButtonPageSuite
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listFollowsTheFolder();
    void oneHighlightAcrossMacrosAndFunctions();
    void longNameIsCutWithItsTip();
    void macroOpenerShowsListOrNotice();
    void choosingAMacroWritesEntryAndRecord_data();
    void choosingAMacroWritesEntryAndRecord();
    void recordFromFile_data();
    void recordFromFile();
    void tooManyEventsAreRefused();
    void nothingWrittenWhileWritesNotAllowed();
    void deleteRestoresTheModelsDefaults();
    void deleteRestoresACombinationDefault();
    void renameKeepsCountEventsAndEntry();
    void loopModeSaveRewritesTheEntry();
    void eventSaveDownloadsAfterTheWait();
    void loopCodeAndResetOfAFile_data();
    void loopCodeAndResetOfAFile();

private:
    QString FunctionPage() const { return Child<QStackedWidget>("stackedWidget")->currentWidget()->objectName(); }
    QString DetailPage() const { return Child<QStackedWidget>("stackedWidget_2")->currentWidget()->objectName(); }
    void BuildPage();
    // Selects the row with its marker and opens the macro list, as a user does.
    void OpenMacroList(const QString &marker);
    // The page shows the image, as after a read of the mouse.
    void ShowImage() { m_page->SlotUpDataButtonUIButton(ReadImage()); }
    // Clicks macro `name` on the macro list; false when the list has none.
    bool ChooseMacro(const QString &name) const;
    QStringList MacroNames() const { return m_page->MacroPanel->Names()->Names(); }
    QPoint NoticePlace() const;
};

void TestMacroAssignment::initTestCase()
{
    // The record keeps names in the local 8-bit encoding.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestMacroAssignment::init()
{
    QDir(MacroFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFolder()));
    BuildPage();
}

void TestMacroAssignment::cleanup()
{
    delete m_page;
    m_page = nullptr;
    g_CurrentDevice.Set(DeviceAllInfo());
}

void TestMacroAssignment::BuildPage()
{
    delete m_page;
    m_page = new Buttoninterface(nullptr);
    m_page->MacroPrefix = kPrefix;
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page, TestSupport::kHangGuardMs));
    OpenMouse();  // after the page: its worker points the current path at a placeholder
}

void TestMacroAssignment::OpenMacroList(const QString &marker)
{
    QTest::mouseClick(Button(marker), Qt::LeftButton);
    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page_2"));
    QTest::mouseClick(Button("DPI_10"), Qt::LeftButton);
    QCOMPARE(DetailPage(), QString("page_5"));
}

bool TestMacroAssignment::ChooseMacro(const QString &name) const
{
    return TestSupport::ClickMacroChoice(m_page->MacroPanel, name);
}

QPoint TestMacroAssignment::NoticePlace() const
{
    return NoticePosition(QRect(m_page->mapToGlobal(QPoint(0, 0)), m_page->size()), QSize(300, 140), -50, -70);
}

void TestMacroAssignment::listFollowsTheFolder()
{
    // The listing rules themselves are the model's (tst_macronames).
    for (const char *file : {"b.ini", "A.ini", "c.xml", "d.xml.ini"})
        PutMacroFile(file, "254\n");
    BuildPage();
    MacroPanel *list = m_page->MacroPanel;
    QCOMPARE(MacroNames(), (QStringList{"A", "b", "d.xml"}));
    QCOMPARE(list->font().family(), QString::fromUtf8("微软雅黑"));
    QCOMPARE(list->font().pointSize(), 9);
    QVERIFY(list->styleSheet().contains(m_page->PictureDir + "CMenuTitle.png"));
    QVERIFY(list->styleSheet().contains(m_page->PictureDir + "CMenuTitleChecked.png"));
    // The macros join no button group: the list is one widget, whatever the folder holds.
    QCOMPARE(m_page->DetailGroup->buttons().size(), 41);

    OpenMacroList("Number1");
    QVERIFY(ChooseMacro("A"));
    PostMsg::GetInstance()->EmitAddMacroButton();
    QCOMPARE(MacroNames(), (QStringList{"A", "b"}));
    QCOMPARE(list->ChosenMacro(), QString());
}

void TestMacroAssignment::oneHighlightAcrossMacrosAndFunctions()
{
    PutMacroFile("M.ini", kMacroM);
    PostMsg::GetInstance()->EmitAddMacroButton();
    OpenMacroList("Number5");
    QVERIFY(ChooseMacro("M"));
    QCOMPARE(m_page->MacroPanel->ChosenMacro(), QString("M"));
    QVERIFY(!m_page->DetailGroup->checkedButton());

    // A function chosen clears the macro's highlight ...
    auto *details = Child<QStackedWidget>("stackedWidget_2");
    details->setCurrentWidget(Child("page_8"));
    QTest::mouseClick(Button("VolumeUp_11"), Qt::LeftButton);
    QCOMPARE(m_page->DetailGroup->checkedButton(), Button("VolumeUp_11"));
    QCOMPARE(m_page->MacroPanel->ChosenMacro(), QString());

    // A right click chooses nothing; a left one clears the function's highlight.
    OpenMacroList("Number5");
    MacroPanel *list = m_page->MacroPanel;
    QAbstractButton *const highlighted = m_page->DetailGroup->checkedButton();
    const QPoint onM = list->visualRect(list->IndexOf("M")).center();
    QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, onM);
    QCOMPARE(list->ChosenMacro(), QString());
    QCOMPARE(m_page->DetailGroup->checkedButton(), highlighted);
    QCOMPARE(DetailPage(), QString("page_5"));
    QVERIFY(ChooseMacro("M"));
    QVERIFY(!m_page->DetailGroup->checkedButton());
    QCOMPARE(m_page->MacroPanel->ChosenMacro(), QString("M"));
}

void TestMacroAssignment::longNameIsCutWithItsTip()
{
    const QString name = "Macro_with_a_thirty_char_name!";
    QCOMPARE(name.size(), 30);
    PutMacroFile(name + ".ini", kMacroM);
    PutMacroFile("M.ini", kMacroM);
    PostMsg::GetInstance()->EmitAddMacroButton();
    OpenMacroList("Number5");
    MacroPanel *list = m_page->MacroPanel;
    const QRect row = list->visualRect(list->IndexOf(name));
    QCOMPARE(list->textElideMode(), Qt::ElideRight);
    QVERIFY(QFontMetrics(list->font()).horizontalAdvance(name) > row.width());

    QHelpEvent hover(QEvent::ToolTip, row.center(), list->viewport()->mapToGlobal(row.center()));
    QApplication::sendEvent(list->viewport(), &hover);
    QTRY_COMPARE_WITH_TIMEOUT(QToolTip::text(), name, TestSupport::kHangGuardMs);
    QWidget *tip = nullptr;
    for (QWidget *window : QApplication::topLevelWidgets())
        tip = window->inherits("QTipLabel") && window->isVisible() ? window : tip;
    QVERIFY(tip);
    const QImage shot = TestSupport::WithPopup(m_page, tip);
    QToolTip::hideText();
    QVERIFY(TestSupport::SaveShot(shot, "macro-list-long-name.png"));
}

void TestMacroAssignment::macroOpenerShowsListOrNotice()
{
    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page_2"));
    WatchModals();
    QTest::mouseClick(Button("DPI_10"), Qt::LeftButton);
    QList<SeenModal> seen = StopWatching();
    QCOMPARE(DetailPage(), QString("page_9"));
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.first().className, QString("MakeMacro"));
    QCOMPARE(seen.first().pos, NoticePlace());

    PutMacroFile("M.ini", kMacroM);
    PostMsg::GetInstance()->EmitAddMacroButton();
    WatchModals();
    QTest::mouseClick(Button("DPI_10"), Qt::LeftButton);
    QVERIFY(StopWatching().isEmpty());
    QCOMPARE(DetailPage(), QString("page_5"));
}

void TestMacroAssignment::choosingAMacroWritesEntryAndRecord_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<int>("listed");  // the loop code the model keeps: the entry's byte, as the mouse holds it
    QTest::newRow("repeat mode") << kMacroM << Entry(6, 3, 254) << 254;
    QTest::newRow("loop code above a byte") << QByteArray("300" + kMacroM.mid(3)) << Entry(6, 3, 0x2C) << 0x2C;
}

void TestMacroAssignment::choosingAMacroWritesEntryAndRecord()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, entry);
    QFETCH(int, listed);
    PutMacroFile("M.ini", content);
    PostMsg::GetInstance()->EmitAddMacroButton();
    OpenMacroList("Number5");  // row TopMusic, device button 3
    QVERIFY(Shoot(m_page, "macro-list"));

    QVERIFY(ChooseMacro("M"));

    QCOMPARE(StoredEntry(3), entry);
    QCOMPARE(StoredMacro(3), kRecordM);
    QCOMPARE(Button("TopMusic")->text(), kPrefix + "M");
    QCOMPARE(m_page->Assignments().Types().value(3), 6);
    QCOMPARE(m_page->Assignments().Params1().value(3), 3);
    QCOMPARE(m_page->Assignments().Params2().value(3), listed);
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
    QCOMPARE(m_page->MacroPanel->ChosenMacro(), QString("M"));
    QCOMPARE(ImagesSent(), 1);
    QVERIFY(Shoot(m_page, "macro-assigned"));
}

void TestMacroAssignment::recordFromFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("built");
    QTest::addColumn<QByteArray>("leading");  // the record's first bytes, as hexadecimal text

    const QByteArray nameM = "014d" + QByteArray(29 * 2, '0');
    QTest::newRow("no final line end") << kMacroM.chopped(1) << "M" << true << kRecordM.left(48).toHex();
    QTest::newRow("CR LF lines") << QByteArray(kMacroM).replace("\n", "\r\n") << "M" << true
                                 << kRecordM.left(48).toHex();
    QTest::newRow("delay not a number") << QByteArray("254\n0x04 1 0\nabc\n0x05 1 1\n") << "M" << true
                                        << nameM + "02" + "0001040000000000" + "0101050000000000";
    QTest::newRow("action neither 0 nor 1 dropped") << QByteArray("254\n0x04 1 1\n0x05 1 7\n") << "M" << true
                                                    << nameM + "01" + "0101040000000000";
    QTest::newRow("modifier and unknown code") << QByteArray("254\n0x01 0 0\n7ms\n0x99 1 1\nx y\n") << "M" << true
                                               << nameM + "02" + "0000010007000000" + "0101000000000000";
    QTest::newRow("only the loop code") << QByteArray("254\n") << "M" << true << nameM + "00";
    QTest::newRow("empty file") << QByteArray() << "M" << true << nameM + "00";
    QTest::newRow("70 events") << KeyPresses(70) << "M" << true << nameM + "46" + "0001040005000000";
    QTest::newRow("71 events") << KeyPresses(71) << "M" << false << QByteArray();
    QTest::newRow("70 keys, 70 delays") << QByteArray(KeyPresses(70) + "5ms\n") << "M" << false << QByteArray();
    const QString ascii = QString(40, QLatin1Char('n'));
    QTest::newRow("40-byte name") << QByteArray("254\n") << ascii << true
                                  << "1e" + QByteArray(30, 'n').toHex() + "00";
    const QString cjk = QString::fromUtf8("宏");
    QTest::newRow("11 CJK characters") << QByteArray("254\n") << cjk.repeated(11) << true
                                       << "1e" + cjk.repeated(10).toUtf8().toHex() + "00";
}

void TestMacroAssignment::recordFromFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(bool, built);
    QFETCH(QByteArray, leading);
    PutMacroFile("file.ini", content);
    MacroRecord record;
    std::memset(&record, 0xAB, sizeof record);

    const MacroFile::LoadResult result = MacroFile::BuildRecord(MacroFolder() + "/file.ini", name, &record);
    QCOMPARE(result == MacroFile::LoadResult::Loaded, built);

    const MacroRecordBytes bytes = StoreRecord(record);
    const QByteArray stored(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
    if (!built) {
        QCOMPARE(stored, QByteArray(kMacroRecordSize, char(0xAB)));  // left as it was
        return;
    }
    const QByteArray expected = QByteArray::fromHex(leading);
    QCOMPARE(stored.left(expected.size()), expected);
}

void TestMacroAssignment::tooManyEventsAreRefused()
{
    PutMacroFile("Long.ini", KeyPresses(71));
    PostMsg::GetInstance()->EmitAddMacroButton();
    OpenMacroList("Number1");
    const QString caption = Button("FireKey")->text();
    const QVector<int> types = m_page->Assignments().Types();

    WatchModals();
    QVERIFY(ChooseMacro("Long"));
    const QList<SeenModal> seen = StopWatching();

    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.first().className, QString("KeyNumberLimit"));
    QCOMPARE(seen.first().pos, NoticePlace());
    QCOMPARE(ImagesSent(), 0);
    QCOMPARE(Button("FireKey")->text(), caption);
    QCOMPARE(m_page->Assignments().Types(), types);
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
}

void TestMacroAssignment::nothingWrittenWhileWritesNotAllowed()
{
    PutMacroFile("M.ini", kMacroM);
    PostMsg::GetInstance()->EmitAddMacroButton();
    OpenMacroList("Number5");
    const QString caption = Button("TopMusic")->text();
    g_WritesAllowed = 0;
    HidSim::ClearCallLog();

    QVERIFY(ChooseMacro("M"));

    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 0);
    QCOMPARE(Button("TopMusic")->text(), caption);
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
}

void TestMacroAssignment::deleteRestoresTheModelsDefaults()
{
    // The receiver mouse's model keeps play/pause as button 5's default.
    OpenReceiverMouse();
    g_CurrentDevice.Update([&](DeviceAllInfo &d) { d.DriveIndex = 1; });
    SeedMacroRow(0, kRecordM);
    SeedMacroRow(5, kRecordM);
    SeedMacroRow(1, NamedRecord("MM"));
    SeedBytes(kKeySequences, QByteArray(kKeySequenceSize, char(0x5A)));
    ShowImage();
    QCOMPARE(Button("FireKey")->text(), kPrefix + "M");
    Button("RightKey")->setChecked(true);
    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page_2"));
    HidSim::ClearCallLog();

    PostMsg::GetInstance()->EmitDeleteMacroButton(kPrefix + "M");

    QCOMPARE(StoredEntry(0), Entry(1, 1, 0));
    QCOMPARE(StoredKeyRecord(0), QByteArray(kKeySequenceSize, '\0'));
    QCOMPARE(Button("FireKey")->text(), Button("LeftKey_3")->text());
    QCOMPARE(StoredEntry(5), Entry(5, 0, 0));
    QCOMPARE(StoredKeyRecord(5), BytesOf(MediaKeyRecord(0xCD)));
    QCOMPARE(Button("BackMusic")->text(), Button("StartPause_2")->text());
    QCOMPARE(Button("RightKey")->text(), kPrefix + "MM");
    QCOMPARE(m_page->Assignments().Types().value(0), 1);
    QCOMPARE(m_page->Assignments().Types().value(5), 5);
    QCOMPARE(m_page->RowGroup->checkedButton(), nullptr);
    QCOMPARE(FunctionPage(), QString("page"));
    QCOMPARE(DetailPage(), QString("page_9"));
    // Two restores and the final write of the whole image.
    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 3);

    // The final write goes out also when no row shows the macro.
    HidSim::ClearCallLog();
    PostMsg::GetInstance()->EmitDeleteMacroButton(kPrefix + "none");
    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 1);
}

void TestMacroAssignment::deleteRestoresACombinationDefault()
{
    Fixtures::ConfigVariant config({{"Drive2/KeyParam1", "0x05,0x00,0x00,Ctrl+C"}});
    OpenReceiverMouse();
    g_CurrentDevice.Update([&](DeviceAllInfo &d) { d.DriveIndex = 1; });
    SeedMacroRow(0, kRecordM);
    ShowImage();

    PostMsg::GetInstance()->EmitDeleteMacroButton(kPrefix + "M");

    QCOMPARE(StoredEntry(0), Entry(5, 0, 0));
    QCOMPARE(StoredKeyRecord(0), BytesOf(Buttoninterface::ComboTextToKeyRecord("Ctrl+C")));
    QCOMPARE(Button("FireKey")->text(), QString("Ctrl+C"));
    QCOMPARE(FunctionPage(), QString("page"));
}

void TestMacroAssignment::renameKeepsCountEventsAndEntry()
{
    SeedMacroRow(0, kRecordM);
    SeedMacroRow(3, kRecordM, 255);
    SeedMacroRow(4, NamedRecord("MX"));
    ShowImage();
    const QString otherCaption = Button("RightKey")->text();  // a function, not the macro
    const QVector<int> types = m_page->Assignments().Types();

    PostMsg::GetInstance()->EmitMacroRename("M", "NN");

    const QByteArray renamed = RecordBytes("024e4e" + QByteArray(28 * 2, '0') + kRecordM.mid(31, 17).toHex());
    QCOMPARE(Button("FireKey")->text(), kPrefix + "NN");
    QCOMPARE(Button("TopMusic")->text(), kPrefix + "NN");
    QCOMPARE(Button("StartPause")->text(), kPrefix + "MX");
    QCOMPARE(Button("RightKey")->text(), otherCaption);
    QCOMPARE(StoredMacro(0), renamed);
    QCOMPARE(StoredMacro(3), renamed);
    QCOMPARE(StoredEntry(0), Entry(6, 0, 254));
    QCOMPARE(StoredEntry(3), Entry(6, 3, 255));
    QCOMPARE(m_page->Assignments().Types(), types);

    // A new name longer than the record's field is cut to its 30 bytes.
    const QString longName(40, QLatin1Char('L'));
    PostMsg::GetInstance()->EmitMacroRename("NN", longName);
    QCOMPARE(Button("FireKey")->text(), kPrefix + longName);
    QCOMPARE(StoredMacro(0).left(32), QByteArray::fromHex("1e" + QByteArray(30, 'L').toHex() + "02"));
}

void TestMacroAssignment::loopModeSaveRewritesTheEntry()
{
    PutMacroFile("M.ini", kMacroM);
    SeedMacroRow(3, kRecordM);
    ShowImage();
    QCOMPARE(Button("TopMusic")->text(), kPrefix + "M");
    PostMsg *hub = PostMsg::GetInstance();
    QSignalSpy downloads(hub, &PostMsg::SigMacroDownLoadData);
    PutMacroFile("M.ini", "253" + kMacroM.mid(3));

    hub->EmitUpDataMacro("M", 2);  // neither events nor loop mode
    QCOMPARE(ImagesSent(), 0);

    UnplugMouse();
    hub->EmitUpDataMacro("M", 1);
    QCOMPARE(ImagesSent(), 0);
    QCOMPARE(StoredEntry(3), Entry(6, 3, 254));

    OpenMouse();  // the page shows the mouse's functions again
    SeedMacroRow(3, kRecordM);
    ShowImage();
    PutMacroFile("M.ini", "253" + kMacroM.mid(3));
    hub->EmitUpDataMacro("M", 1);
    QCOMPARE(StoredEntry(3), Entry(6, 3, 0xFD));
    QCOMPARE(StoredMacro(3), kRecordM);
    QCOMPARE(ImagesSent(), 1);
    QCOMPARE(downloads.count(), 0);
}

void TestMacroAssignment::eventSaveDownloadsAfterTheWait()
{
    SeedMacroRow(2, kRecordM);
    SeedMacroRow(5, kRecordM);
    SeedMacroRow(0, NamedRecord("N"));
    ShowImage();
    PostMsg *hub = PostMsg::GetInstance();
    QStringList order;
    QObject receiver;
    connect(hub, &PostMsg::SigMacroDownLoadData, &receiver,
            [&order](QString name, int button) { order << QStringLiteral("%1 %2").arg(name).arg(button); });
    QMetaObject::invokeMethod(&receiver, [&order] { order << "posted"; }, Qt::QueuedConnection);
    // Half of the (shortened) wait: the downloads come after it.
    QTimer::singleShot(Waits::Scaled(1500) / 2, &receiver, [&order] { order << "half"; });

    hub->EmitUpDataMacro("M", 0);

    QCOMPARE(order, (QStringList{"posted", "half", "M 2", "M 5"}));
    QCOMPARE(ImagesSent(), 0);
}

void TestMacroAssignment::loopCodeAndResetOfAFile_data()
{
    QTest::addColumn<QByteArray>("content");  // null: no file
    QTest::addColumn<QString>("loopCode");
    QTest::newRow("loop code") << kMacroM << "254";
    QTest::newRow("two words") << QByteArray("300 x\n") << "300";
    QTest::newRow("CR LF") << QByteArray("253\r\n0x04 1 0\r\n") << "253";
    QTest::newRow("blank first line") << QByteArray("  \n0x04 1 0\n") << "";
    QTest::newRow("blanks only") << QByteArray("   ") << "0";
    QTest::newRow("empty file") << QByteArray("") << "0";
    QTest::newRow("no file") << QByteArray() << "0";
}

void TestMacroAssignment::loopCodeAndResetOfAFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, loopCode);
    if (!content.isNull())
        PutMacroFile("M.ini", content);
    QCOMPARE(Buttoninterface::ReadMacroLoopCode("M"), loopCode);

    Buttoninterface::ResetMacroFile("M", "254");
    QCOMPARE(MacroFileContent("M"), QByteArray("254\n"));
    QCOMPARE(Buttoninterface::ReadMacroLoopCode("M"), QString("254"));
}

VOGM_TEST_MAIN(TestMacroAssignment)
#include "tst_macroassignment.moc"
