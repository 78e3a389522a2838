// Macros between the macro page and the mouse: the record of a macro sent for
// a button (download), and a record read from the mouse turned back into the
// macro list, its file and the event list (upload). The page alone runs
// against the default world's receiver mouse through the hub's signals; the
// round trip runs in the program's main window.

#include "buttoninterface.h"
#include "dialog.h"
#include "dialogmain.h"
#include "devicetiles.h"
#include "globals.h"
#include "hidusb_control.h"
#include "macro.h"
#include "macrofile.h"
#include "macrorecord.h"
#include "panelfixture.h"
#include "pendingmacros.h"
#include "postmsg.h"
#include "eventrows.h"
#include "testsupport.h"
#include "updataparam.h"
#include "mytoolbuttonenter.h"
#include "worker.h"
#include "worldfixtures.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QCheckBox>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTextCodec>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

constexpr int kKeys = 0x4A;
constexpr int kMacros = 0x3BC;
const QByteArray kAClick20 = "254\n0x04 1 0\n20ms\n0x04 1 1\n";

QByteArray StoredRecord(int button)
{
    return PanelFixture::StoredImage().mid(kMacros + kMacroRecordSize * button, kMacroRecordSize);
}

QByteArray StoredEntry(int button)
{
    return PanelFixture::StoredImage().mid(kKeys + 3 * button, 3);
}

// The record of "m1" or "dev1": A pressed, `delay` ms, A released.
QByteArray AClickRecord(const QByteArray &name, int delay)
{
    QByteArray record(kMacroRecordSize, '\0');
    record[0] = char(name.size());
    record.replace(1, name.size(), name);
    record[31] = 2;
    record.replace(32, 8, QByteArray::fromHex("0001040000000000"));
    record[36] = char(delay);
    record.replace(40, 8, QByteArray::fromHex("0101040000000000"));
    return record;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &name, const QByteArray &content)
{
    QFile file(MacroFile::Folder() + "/" + name + ".ini");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// An image whose button `button` runs the macro `name` in loop mode 254, its
// record holding `count` key events (A pressed and released in turn, 5 ms apart).
FlashDataMap ImageWithRecord(int button, const QByteArray &name, int count)
{
    FlashDataMap image{};
    image.Keys[button] = KeyEntry{6, uint8_t(button), 254};
    MacroRecord record = EmptyMacroRecord();
    record.NameLength = uint8_t(name.size());
    std::memcpy(record.Name, name.constData(), size_t(std::min(name.size(), kMacroNameBytes)));
    record.Count = uint8_t(count);
    for (int k = 0; k < kMacroEventSlots; ++k)
        record.Events[k] = MacroEvent{uint8_t(k % 2), uint8_t(kKindKeyboard), 0x04, 5};
    const MacroRecordBytes bytes = StoreRecord(record);
    std::memcpy(image.Macros[button], bytes.data(), bytes.size());
    return image;
}

int Writes()
{
    return int(HidSim::CallsOf("ProtocolDataUpdate").size());
}

}  // namespace

class TestMacroDevice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void downloadSendsTheShownMacro();
    void downloadOfAnotherMacroComesFromItsFile_data();
    void downloadOfAnotherMacroComesFromItsFile();
    void oneMacroForTwoButtons();
    void offlineAndOversizedDownloadsWriteNothing();

    void uploadRebuildsTheMacro_data();
    void uploadRebuildsTheMacro();
    void uploadPlacesAnUnknownName();
    void uploadOfAnUnusableNameChangesNothing_data();
    void uploadOfAnUnusableNameChangesNothing();

    void roundTripThroughTheMainWindow_data();
    void roundTripThroughTheMainWindow();
    void uploadKeepsUnsavedEdits();
    void savedEditThatMissedTheMouseIsSentAtTheNextRead_data();
    void savedEditThatMissedTheMouseIsSentAtTheNextRead();

private:
    QListWidget *MacroList() const { return m_page->findChild<QListWidget *>("listWidgetHong"); }
    QListView *EventList() const { return m_page->findChild<QListView *>("listWidgetKey"); }
    void ShowMacro(const QString &name);
    void OpenPage();
    // The program's main window on the default world, with the receiver
    // mouse's device page filled from a read of the mouse.
    void OpenMouseInMainWindow();

    std::unique_ptr<Macro> m_ownPage;
    std::unique_ptr<DialogMain> m_main;
    Macro *m_page = nullptr;
};

void TestMacroDevice::initTestCase()
{
    // The record keeps names in the local 8-bit encoding.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    DialogMain::SetTrayUse(DialogMain::TrayUse::Minimise);
}

void TestMacroDevice::init()
{
    QDir(MacroFile::Folder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFile::Folder()));
}

void TestMacroDevice::cleanup()
{
    if (g_Worker)
        g_Worker->wait();
    m_ownPage.reset();
    m_main.reset();
    m_page = nullptr;
    UsbServer_Exit();
    g_SessionActive = 0;
    g_WritesAllowed = 1;
    HidSim::WaitUntilIdle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestMacroDevice::OpenPage()
{
    WriteFile("m1", kAClick20);
    WriteFile("other", "255\n0x05 1 0\n10ms\n0x05 1 1\n");
    m_ownPage = std::make_unique<Macro>(nullptr);
    m_page = m_ownPage.get();
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page, TestSupport::kHangGuardMs));
    PanelFixture::OpenReceiverMouse();
    HidSim::ClearCallLog();
}

void TestMacroDevice::ShowMacro(const QString &name)
{
    const QList<QListWidgetItem *> found = MacroList()->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QTest::mouseClick(MacroList()->viewport(), Qt::LeftButton, {}, MacroList()->visualItemRect(found.first()).center());
    QVERIFY(EventRows::Count(EventList()) > 0);
}

// ---- download ---------------------------------------------------------------------

void TestMacroDevice::downloadSendsTheShownMacro()
{
    OpenPage();
    ShowMacro("m1");
    const QByteArray entry = StoredEntry(2);
    PostMsg::GetInstance()->EmitMacroDownLoadData(QStringLiteral("m1"), 2);
    QCOMPARE(StoredRecord(2), AClickRecord("m1", 20));
    QCOMPARE(StoredEntry(2), entry);

    // Not allowed to write: nothing goes out.
    HidSim::ClearCallLog();
    g_WritesAllowed = 0;
    PostMsg::GetInstance()->EmitMacroDownLoadData(QStringLiteral("m1"), 2);
    QCOMPARE(Writes(), 0);
}

void TestMacroDevice::downloadOfAnotherMacroComesFromItsFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("written");
    QTest::newRow("saved, not shown") << "other" << true;
    QTest::newRow("no file") << "gone" << false;
    QTest::newRow("unsafe name") << "../m1" << false;
}

// The selection may move while the button page waits after a save: the saved
// macro still reaches the mouse, from its file.
void TestMacroDevice::downloadOfAnotherMacroComesFromItsFile()
{
    QFETCH(QString, name);
    QFETCH(bool, written);
    OpenPage();
    ShowMacro("m1");
    PostMsg::GetInstance()->EmitMacroDownLoadData(name, 1);
    QCOMPARE(Writes(), written ? 1 : 0);
    if (written)
        QCOMPARE(StoredRecord(1).left(8), QByteArray("\x05other\0\0", 8));
}

void TestMacroDevice::oneMacroForTwoButtons()
{
    OpenPage();
    ShowMacro("m1");
    // Each button keeps its own entry.
    const int entries[2][3] = {{6, 2, 254}, {6, 4, 3}};
    for (int i = 0; i < 3; ++i) {
        PanelFixture::SeedByte(kKeys + 3 * 2 + i, entries[0][i]);
        PanelFixture::SeedByte(kKeys + 3 * 4 + i, entries[1][i]);
    }
    PostMsg::GetInstance()->EmitMacroDownLoadData(QStringLiteral("m1"), 2);
    PostMsg::GetInstance()->EmitMacroDownLoadData(QStringLiteral("m1"), 4);
    QCOMPARE(Writes(), 2);
    QCOMPARE(StoredRecord(2), AClickRecord("m1", 20));
    QCOMPARE(StoredRecord(4), AClickRecord("m1", 20));
    QCOMPARE(StoredEntry(2), QByteArray::fromHex("0602fe"));
    QCOMPARE(StoredEntry(4), QByteArray::fromHex("060403"));
}

void TestMacroDevice::offlineAndOversizedDownloadsWriteNothing()
{
    QByteArray big = "1\n";
    for (int k = 0; k < 71; ++k)
        big += QByteArray(k ? "10ms\n" : "") + "0x04 1 " + QByteArray::number(k % 2) + "\n";
    WriteFile("big", big);
    OpenPage();
    const QByteArray before = PanelFixture::StoredImage();

    // More than the record's 70 events: refused when it is loaded (nothing is
    // selected, so no Save can empty its file), and one notice for a save's
    // downloads, however many buttons show the macro.
    TestSupport::ModalWatcher notices({{"KeyNumberLimit", "NewHong"}});
    const QListWidgetItem *bigItem = MacroList()->findItems("big", Qt::MatchExactly).value(0);
    QVERIFY(bigItem);
    QTest::mouseClick(MacroList()->viewport(), Qt::LeftButton, {}, MacroList()->visualItemRect(bigItem).center());
    QVERIFY(TestSupport::WaitFor([&] { return notices.seen.size() == 1; }));
    QCOMPARE(MacroList()->currentRow(), -1);
    PostMsg::GetInstance()->EmitMacroDownLoadData(QStringLiteral("big"), 2);
    PostMsg::GetInstance()->EmitMacroDownLoadData(QStringLiteral("big"), 4);
    QCOMPARE(notices.Classes(), QStringList({"KeyNumberLimit", "KeyNumberLimit"}));
    QCOMPARE(Writes(), 0);

    // Offline: the offline notice, the stored image as it was.
    ShowMacro("m1");
    HidSim::SetPower(PanelFixture::kReceiverMouse, false);
    QVERIFY(HidSim::WaitUntilIdle());
    std::unique_ptr<QSignalSpy> offline(PanelFixture::OfflineNoticeSpy());
    PostMsg::GetInstance()->EmitMacroDownLoadData(QStringLiteral("m1"), 2);
    QCOMPARE(offline->count(), 1);
    QCOMPARE(PanelFixture::StoredImage(), before);
}

// ---- upload -----------------------------------------------------------------------

void TestMacroDevice::uploadRebuildsTheMacro_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("lines");
    QTest::newRow("three events") << 3 << QByteArray("0x04 1 0\n5ms\n0x04 1 1\n5ms\n0x04 1 0\n");
    QTest::newRow("none") << 0 << QByteArray();
    // A count beyond the record reads the 70 events it holds.
    QByteArray seventy;
    for (int k = 0; k < 70; ++k)
        seventy += QByteArray(k ? "5ms\n" : "") + "0x04 1 " + QByteArray::number(k % 2) + "\n";
    QTest::newRow("count 200") << 200 << seventy;
}

void TestMacroDevice::uploadRebuildsTheMacro()
{
    QFETCH(int, count);
    QFETCH(QByteArray, lines);
    OpenPage();
    ShowMacro("m1");
    WriteFile("m1", "254\n");  // as the button page leaves it before the upload
    QSignalSpy added(PostMsg::GetInstance(), &PostMsg::SigAddMacroButton);

    PostMsg::GetInstance()->EmitButtonToMacro(ImageWithRecord(7, "m1", count), 7);

    QCOMPARE(ReadAll(MacroFile::Folder() + "/m1.ini"), "254\n" + lines);
    QCOMPARE(MacroList()->count(), 2);
    QCOMPARE(MacroList()->currentRow(), -1);
    QCOMPARE(EventRows::Count(EventList()), 0);
    QCOMPARE(added.count(), 1);

    // Outside the sixteen buttons nothing happens.
    PostMsg::GetInstance()->EmitButtonToMacro(ImageWithRecord(7, "m1", count), 16);
    QCOMPARE(added.count(), 1);
}

void TestMacroDevice::uploadPlacesAnUnknownName()
{
    OpenPage();
    // With a macro current: after it, and it stays current until the end.
    ShowMacro("m1");
    const int m1Row = MacroList()->currentRow();
    WriteFile("dev1", "254\n");
    PostMsg::GetInstance()->EmitButtonToMacro(ImageWithRecord(3, "dev1", 1), 3);
    QCOMPARE(MacroList()->item(m1Row + 1)->text(), QString("dev1"));
    QCOMPARE(ReadAll(MacroFile::Folder() + "/dev1.ini"), QByteArray("254\n0x04 1 0\n"));

    // With none current: at the end, its file made from the record.
    PostMsg::GetInstance()->EmitButtonToMacro(ImageWithRecord(3, "dev2", 1), 3);
    QCOMPARE(MacroList()->item(MacroList()->count() - 1)->text(), QString("dev2"));
    QCOMPARE(ReadAll(MacroFile::Folder() + "/dev2.ini"), QByteArray("254\n0x04 1 0\n"));
    QCOMPARE(MacroList()->currentRow(), -1);
}

void TestMacroDevice::uploadOfAnUnusableNameChangesNothing_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("zeroed by a reset") << QByteArray();
    QTest::newRow("a path") << QByteArray("../../Macro");
}

void TestMacroDevice::uploadOfAnUnusableNameChangesNothing()
{
    QFETCH(QByteArray, name);
    OpenPage();
    const QStringList before = QDir(MacroFile::Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QSignalSpy added(PostMsg::GetInstance(), &PostMsg::SigAddMacroButton);
    PostMsg::GetInstance()->EmitButtonToMacro(ImageWithRecord(3, name, 2), 3);
    QCOMPARE(MacroList()->count(), 2);
    QCOMPARE(added.count(), 0);
    QCOMPARE(QDir(MacroFile::Folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(!QFile::exists(MacroFile::Folder() + "/../../Macro.ini"));
}

void TestMacroDevice::uploadKeepsUnsavedEdits()
{
    OpenPage();
    ShowMacro("m1");
    EventRows::SetText(EventList(), 1, "90ms");
    PostMsg::GetInstance()->EmitButtonToMacro(ImageWithRecord(3, "m1", 1), 3);
    PostMsg::GetInstance()->EmitButtonToMacro(ImageWithRecord(4, "dev1", 1), 4);

    // The files follow the mouse; the unsaved edit stays shown and selected.
    QCOMPARE(ReadAll(MacroFile::Folder() + "/m1.ini"), QByteArray("254\n0x04 1 0\n"));
    QCOMPARE(ReadAll(MacroFile::Folder() + "/dev1.ini"), QByteArray("254\n0x04 1 0\n"));
    QCOMPARE(MacroList()->currentItem()->text(), QString("m1"));
    QCOMPARE(EventRows::Texts(EventList()), (QStringList{"A", "90ms", "A"}));
    QVERIFY(m_page->findChild<QToolButton *>("Save")->isEnabled());
}

// ---- the round trip in the program ---------------------------------------------

void TestMacroDevice::OpenMouseInMainWindow()
{
    m_main = std::make_unique<DialogMain>();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get(), TestSupport::kHangGuardMs));
    QVERIFY(TestSupport::WaitFor([] { return !g_DeviceTiles.isEmpty(); }));
    int entry = -1;
    for (int i = 0; i < g_PageDevices.size(); ++i) {
        if (g_PageDevices.at(i).Mid == 2 && g_PageDevices.at(i).Online)
            entry = i;
    }
    QVERIFY(entry >= 0);
    QSignalSpy popupClosed(m_main->DevicePage()->WaitPopup(), &QDialog::finished);
    QTest::mouseClick(g_DeviceTiles.at(entry), Qt::LeftButton);
    QVERIFY(TestSupport::WaitFor([&] { return popupClosed.count() == 1; }));
    QVERIFY(HidSim::WaitUntilIdle(TestSupport::kHangGuardMs));
    QTest::mouseClick(m_main->DevicePage()->findChild<QToolButton *>("MacroButton"), Qt::LeftButton);
    m_page = m_main->findChild<Macro *>();
    QVERIFY(m_page);
}


void TestMacroDevice::roundTripThroughTheMainWindow_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("delay") << "delay";
    QTest::newRow("loop mode only") << "loop";
    QTest::newRow("delay, another macro clicked while the button page waits") << "switch";
}

void TestMacroDevice::roundTripThroughTheMainWindow()
{
    QFETCH(QString, change);
    const int button = 3;
    const QString mouse = QStringLiteral("m2");
    HidSim::World world = HidSim::DefaultWorld();
    world.timing = Fixtures::FastTiming();
    HidSim::SetWorld(world);
    QByteArray stored = HidSim::StoredImage(mouse);
    stored.replace(kKeys + 3 * button, 3, QByteArray::fromHex("0603fe"));
    stored.replace(kMacros + kMacroRecordSize * button, kMacroRecordSize, AClickRecord("dev1", 20));
    QVERIFY(HidSim::SetStoredImage(mouse, stored));
    WriteFile("other", "255\n0x05 1 0\n10ms\n0x05 1 1\n");
    OpenMouseInMainWindow();
    if (QTest::currentTestFailed())
        return;

    // The read brought the macro back: its file and its place in the list.
    QCOMPARE(ReadAll(MacroFile::Folder() + "/dev1.ini"), QByteArray("254\n0x04 1 0\n20ms\n0x04 1 1\n"));
    QVERIFY(!MacroList()->findItems("dev1", Qt::MatchExactly).isEmpty());

    m_main->findChild<QToolButton *>("MacroButton")->click();
    ShowMacro("dev1");
    QSignalSpy downloads(PostMsg::GetInstance(), &PostMsg::SigMacroDownLoadData);
    if (change == "loop") {
        m_page->findChild<QCheckBox *>("ReUntilClick")->click();
    } else {
        EventRows::SetText(EventList(), 1, "50ms");
    }
    const QByteArray record = HidSim::StoredImage(mouse).mid(kMacros + kMacroRecordSize * button, kMacroRecordSize);
    QTimer switcher;
    if (change == "switch") {
        // Once the file is saved the button page waits; the user clicks "other".
        connect(&switcher, &QTimer::timeout, this, [&] {
            if (ReadAll(MacroFile::Folder() + "/dev1.ini").contains("50ms") && downloads.isEmpty()) {
                switcher.stop();
                const QList<QListWidgetItem *> other = MacroList()->findItems("other", Qt::MatchExactly);
                QTest::mouseClick(MacroList()->viewport(), Qt::LeftButton, {},
                                  MacroList()->visualItemRect(other.first()).center());
            }
        });
        switcher.start(1);
    }
    QTest::mouseClick(m_page->findChild<QToolButton *>("Save"), Qt::LeftButton);
    QVERIFY(HidSim::WaitUntilIdle());

    const QByteArray after = HidSim::StoredImage(mouse);
    if (change == "loop") {
        QCOMPARE(after.mid(kKeys + 3 * button, 3), QByteArray::fromHex("0603ff"));
        QCOMPARE(after.mid(kMacros + kMacroRecordSize * button, kMacroRecordSize), record);
        return;
    }
    QCOMPARE(downloads.count(), 1);
    QCOMPARE(after.mid(kMacros + kMacroRecordSize * button, kMacroRecordSize), AClickRecord("dev1", 50));
    QCOMPARE(after.mid(kKeys + 3 * button, 3), QByteArray::fromHex("0603fe"));
    if (change == "switch")
        QCOMPARE(MacroList()->currentItem()->text(), QString("other"));
}

void TestMacroDevice::savedEditThatMissedTheMouseIsSentAtTheNextRead_data()
{
    QTest::addColumn<QString>("miss");
    QTest::newRow("the write refused") << "refused";
    QTest::newRow("the mouse switched off during the wait") << "off";
}

// A saved edit that did not reach the mouse stays the truth: the next read of
// the mouse, here after a restart of the program, sends the saved file rather
// than rebuilding the file from the mouse's older record.
void TestMacroDevice::savedEditThatMissedTheMouseIsSentAtTheNextRead()
{
    QFETCH(QString, miss);
    const int button = 3;
    const QString mouse = QStringLiteral("m2");
    HidSim::World world = HidSim::DefaultWorld();
    world.timing = Fixtures::FastTiming();
    HidSim::SetWorld(world);
    QByteArray stored = HidSim::StoredImage(mouse);
    stored.replace(kKeys + 3 * button, 3, QByteArray::fromHex("0603fe"));
    stored.replace(kMacros + kMacroRecordSize * button, kMacroRecordSize, AClickRecord("dev1", 20));
    QVERIFY(HidSim::SetStoredImage(mouse, stored));
    OpenMouseInMainWindow();
    if (QTest::currentTestFailed())
        return;

    m_main->findChild<QToolButton *>("MacroButton")->click();
    ShowMacro("dev1");
    EventRows::SetText(EventList(), 1, "50ms");
    QSignalSpy downloads(PostMsg::GetInstance(), &PostMsg::SigMacroDownLoadData);
    TestSupport::ModalWatcher notices({}, {}, "NewHong");
    QTimer outage;
    if (miss == "refused") {
        QVERIFY(HidSim::FailNextWrites(mouse, 1));
    } else {
        // Once the file is saved the button page waits; the mouse goes off then.
        connect(&outage, &QTimer::timeout, this, [&] {
            if (ReadAll(MacroFile::Folder() + "/dev1.ini").contains("50ms")) {
                outage.stop();
                HidSim::SetPower(mouse, false);
            }
        });
        outage.start(1);
    }
    QTest::mouseClick(m_page->findChild<QToolButton *>("Save"), Qt::LeftButton);
    QVERIFY(HidSim::WaitUntilIdle());
    QCOMPARE(downloads.count(), 1);
    const QByteArray edited = AClickRecord("dev1", 50);
    const QByteArray inMouse = HidSim::StoredImage(mouse).mid(kMacros + kMacroRecordSize * button, kMacroRecordSize);
    if (miss == "refused" && inMouse == edited) {
        // The refusal refilled the pages from the mouse, and that fill sent
        // the pending file at once.
        QVERIFY(TestSupport::WaitFor([] { return !PendingMacros::IsPending("dev1"); }));
    } else {
        QCOMPARE(inMouse, AClickRecord("dev1", 20));
        QVERIFY(PendingMacros::IsPending("dev1"));
    }

    // The program ends and starts again; the mouse is back.
    if (g_Worker)
        g_Worker->wait();
    m_main.reset();
    m_page = nullptr;
    UsbServer_Exit();
    g_SessionActive = 0;
    QVERIFY(HidSim::WaitUntilIdle());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    HidSim::SetPower(mouse, true);
    QVERIFY(HidSim::WaitUntilIdle());
    OpenMouseInMainWindow();
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(ReadAll(MacroFile::Folder() + "/dev1.ini"), QByteArray("254\n0x04 1 0\n50ms\n0x04 1 1\n"));
    QVERIFY(TestSupport::WaitFor([&] {
        return HidSim::StoredImage(mouse).mid(kMacros + kMacroRecordSize * button, kMacroRecordSize) == edited;
    }));
    QCOMPARE(HidSim::StoredImage(mouse).mid(kKeys + 3 * button, 3), QByteArray::fromHex("0603fe"));
    QVERIFY(!PendingMacros::IsPending("dev1"));
}

VOGM_TEST_MAIN(TestMacroDevice)
#include "tst_macrodevice.moc"
