// The macro editor and the button page together in the device page frame,
// against the default world's receiver mouse: a macro given to a button
// through the button page, then deleted or renamed on the macro page, as the
// mouse stores it afterwards.

#include "buttoninterface.h"
#include "configini.h"
#include "dialog.h"
#include "globals.h"
#include "hidusb_control.h"
#include "macro.h"
#include "macrofile.h"
#include "macrorecord.h"
#include "mainwindowkit.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "macrochoice.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStackedWidget>
#include <QTextCodec>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace PanelFixture;

namespace {

constexpr int kKeys = 0x4A;
constexpr int kKeySequences = 0x7C;
constexpr int kMacros = 0x3BC;
const QByteArray kAClick = "254\n0x04 1 0\n10ms\n0x04 1 1\n";

// The button whose badge shows 3: the button page's third row.
constexpr int kRow = 2;
const char kMarker[] = "Number3";
const char kRowButton[] = "BackKey";

int DeviceButton()
{
    return Buttoninterface::kRowDeviceButtons[kRow];
}

QByteArray StoredEntry()
{
    return StoredImage().mid(kKeys + 3 * DeviceButton(), 3);
}

QByteArray StoredMacro()
{
    return StoredImage().mid(kMacros + kMacroRecordSize * DeviceButton(), kMacroRecordSize);
}

QByteArray StoredKeyRecord()
{
    return StoredImage().mid(kKeySequences + kKeySequenceSize * DeviceButton(), kKeySequenceSize);
}

// The button's entry in the model's defaults of Config.ini.
QByteArray ModelDefaultEntry()
{
    const QStringList items = ConfigIni::GetInstance()->ValueList(
        ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex), QStringLiteral("KeyParam%1").arg(DeviceButton() + 1));
    QByteArray entry;
    for (int i = 0; i < 3; ++i)
        entry.append(char(items.value(i).toInt(nullptr, 16)));
    return entry;
}

int Writes()
{
    return int(HidSim::CallsOf("ProtocolDataUpdate").size());
}

void WriteMacroFile(const QString &name, const QByteArray &content)
{
    QFile file(MacroFile::Folder() + "/" + name + ".ini");
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// A description of the record's events, "A+ 10 A- 0" for a click of A 10 ms
// long; a press whose key is never released after it fails the test.
QString EventsOf(const QByteArray &recordBytes)
{
    const MacroRecord record = LoadRecord(reinterpret_cast<const uint8_t *>(recordBytes.constData()));
    QStringList events;
    QSet<QPair<int, int>> held;
    for (int k = 0; k < record.Count; ++k) {
        const MacroEvent &event = record.Events[k];
        const QPair<int, int> key(event.Kind, event.Code);
        if (event.Action == 0)
            held.insert(key);
        else
            held.remove(key);
        events << QString::number(event.Code, 16) + (event.Action == 0 ? "+ " : "- ") + QString::number(event.Delay);
    }
    if (!held.isEmpty())
        return QStringLiteral("held: ") + events.join(QLatin1Char(' '));
    return events.join(QLatin1Char(' '));
}

}  // namespace

class TestMacroButtons : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void macroPageChangesReachTheMouse_data();
    void macroPageChangesReachTheMouse();
    void malformedFilesReachTheMouseAlikeFromBothPages_data();
    void malformedFilesReachTheMouseAlikeFromBothPages();

private:
    template <typename T>
    T *Child(QWidget *parent, const char *name) const
    {
        T *child = parent->findChild<T *>(name);
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    // The device page frame on the receiver mouse; its macro page lists the
    // macro folder as it is now.
    void BuildFrame();
    void GiveMacroThroughTheButtonPage(const QString &name);
    void ClickMacroOnTheMacroPage(const QString &name);

    std::unique_ptr<Dialog> m_frame;
    Buttoninterface *m_buttons = nullptr;
    Macro *m_macros = nullptr;
};

void TestMacroButtons::initTestCase()
{
    // The record keeps names in the local 8-bit encoding.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestMacroButtons::init()
{
    MainWindowKit::ResetSharedState();
    QDir(MacroFile::Folder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFile::Folder()));
    QFile file(MacroFile::Folder() + "/m1.ini");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(kAClick);
    file.close();
    BuildFrame();
}

void TestMacroButtons::BuildFrame()
{
    if (m_frame) {
        cleanup();
        MainWindowKit::ResetSharedState();
    }
    m_frame = std::make_unique<Dialog>();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get(), TestSupport::kHangGuardMs));
    // The macro editor is built when first chosen; back to the button page.
    QTest::mouseClick(m_frame->findChild<QToolButton *>("MacroButton"), Qt::LeftButton);
    QTest::mouseClick(m_frame->findChild<QToolButton *>("ButtonMain"), Qt::LeftButton);
    m_buttons = m_frame->findChild<Buttoninterface *>();
    m_macros = m_frame->findChild<Macro *>();
    QVERIFY(m_buttons && m_macros);
    // After the frame: its worker points the current path at a placeholder.
    OpenReceiverMouse();
    g_CurrentDevice.Update([&](DeviceAllInfo &d) { d.DriveIndex = 1; });  // the receiver mouse's model
}

void TestMacroButtons::cleanup()
{
    m_frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MainWindowKit::ResetSharedState();
}

void TestMacroButtons::GiveMacroThroughTheButtonPage(const QString &name)
{
    Child<QToolButton>(m_frame.get(), "ButtonMain")->click();
    QTest::mouseClick(Child<QToolButton>(m_buttons, kMarker), Qt::LeftButton);
    auto *functions = Child<QStackedWidget>(m_buttons, "stackedWidget");
    functions->setCurrentWidget(Child<QWidget>(m_buttons, "page_2"));
    QTest::mouseClick(Child<QToolButton>(m_buttons, "DPI_10"), Qt::LeftButton);
    QVERIFY2(TestSupport::ClickMacroChoice(m_buttons->MacroPanel, name), qPrintable(name));
}

void TestMacroButtons::ClickMacroOnTheMacroPage(const QString &name)
{
    Child<QToolButton>(m_frame.get(), "MacroButton")->click();
    auto *list = Child<QListWidget>(m_macros, "listWidgetHong");
    const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
}

void TestMacroButtons::macroPageChangesReachTheMouse_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("delete") << "delete";
    QTest::newRow("rename") << "rename";
}

void TestMacroButtons::macroPageChangesReachTheMouse()
{
    QFETCH(QString, change);
    GiveMacroThroughTheButtonPage("m1");
    QCOMPARE(StoredEntry(), QByteArray::fromHex("0602fe").replace(1, 1, QByteArray(1, char(DeviceButton()))));
    const QByteArray givenRecord = StoredMacro();
    QCOMPARE(givenRecord.left(3), QByteArray("\x02m1", 3));
    QVERIFY(ModelDefaultEntry() != StoredEntry());

    ClickMacroOnTheMacroPage("m1");
    TestSupport::ModalWatcher dialogs({{"DeleteConfirm", "NewHong"}, {"QuestionDialog", "NewHong"}});
    dialogs.inspect = [](QWidget *modal) {
        if (auto *line = modal->findChild<QLineEdit *>("lineEdit"))
            QTest::keyClicks(line, "m2");
    };
    if (change == "delete") {
        QTest::mouseClick(Child<QToolButton>(m_macros, "DeleteHong"), Qt::LeftButton);
        QCOMPARE(dialogs.Classes(), QStringList{"DeleteConfirm"});
        QVERIFY(!QFile::exists(MacroFile::Folder() + "/m1.ini"));
        // The button page finds the rows of a deleted macro by their caption,
        // prefix included: its prefix and the editor's read alike.
        QCOMPARE(StoredEntry(), ModelDefaultEntry());
        QCOMPARE(StoredKeyRecord(), QByteArray(kKeySequenceSize, '\0'));
        QVERIFY(!Child<QToolButton>(m_buttons, kRowButton)->text().contains("m1"));
        return;
    }
    // Rename through the list's context menu, as a user reaches it.
    QTimer::singleShot(0, this, [] {
        QVERIFY(TestSupport::WaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        menu->setActiveAction(menu->actions().value(1));  // Export, Rename, Delete, Import
        QTest::keyClick(menu, Qt::Key_Return);
    });
    auto *list = Child<QListWidget>(m_macros, "listWidgetHong");
    const QPoint onItem = list->viewport()->mapTo(m_frame.get(), list->visualItemRect(list->item(0)).center());
    QTest::mousePress(m_frame->windowHandle(), Qt::RightButton, {}, onItem);
    QTest::mouseRelease(m_frame->windowHandle(), Qt::RightButton, {}, onItem);

    QCOMPARE(dialogs.Classes(), QStringList{"QuestionDialog"});
    QCOMPARE(list->item(0)->text(), QString("m2"));
    QByteArray renamed = givenRecord;
    renamed.replace(0, 3, QByteArray("\x02m2", 3));
    QCOMPARE(StoredMacro(), renamed);
    QCOMPARE(StoredEntry().at(0), char(6));
    QCOMPARE(Child<QToolButton>(m_buttons, kRowButton)->text(), m_buttons->MacroPrefix + "m2");
}

void TestMacroButtons::malformedFilesReachTheMouseAlikeFromBothPages_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("events");  // empty: refused with the limit notice
    QTest::newRow("two keys in a row, two delays in a row")
        << QByteArray("254\n0x04 1 0\n0x05 1 0\n10ms\n20ms\n0x04 1 1\n0x05 1 1\n") << "4+ 0 5+ 30 4- 0 5- 0";
    QTest::newRow("leading and trailing delays") << QByteArray("254\n5ms\n0x04 1 0\n10ms\n0x04 1 1\n7ms\n")
                                                 << "4+ 10 4- 0";
    QTest::newRow("legacy bare digit") << QByteArray("254\n0x04 1 0\n10ms\n1\n10ms\n0x04 1 1\n")
                                       << "4+ 10 0- 10 4- 0";
    QTest::newRow("bad action word") << QByteArray("254\n0x04 1 0\n10ms\n0x05 1 7\n10ms\n0x04 1 1\n")
                                     << "4+ 20 4- 0";
    QTest::newRow("stray words") << QByteArray("254\n0x04 1 0\nzz\n10ms\nx y z\n0x04 1 1\nq\n") << "4+ 10 4- 0";
    QTest::newRow("delay above 32 bits") << QByteArray("254\n0x04 1 0\n4294967296ms\n0x04 1 1\n")
                                         << "4+ 4294967295 4- 0";
    QByteArray keys71 = "254\n";
    for (int k = 0; k < 71; ++k)
        keys71 += QByteArray(k ? "10ms\n" : "") + "0x04 1 " + QByteArray::number(k % 2) + "\n";
    QTest::newRow("71 keys") << keys71 << QString();
    QTest::newRow("140 items") << QByteArray("254\n0x04 1 0\n" + QByteArray("1ms\n").repeated(138) + "0x04 1 1\n")
                               << QString();
    QTest::newRow("above 64 KiB") << QByteArray("254\n0x04 1 0\n10ms\n0x04 1 1\n" + QByteArray(65536, '\n'))
                                  << QString();
}

// The button page's assignment and the macro page's download read, repair
// and build the same way: one record, or the same refusal.
void TestMacroButtons::malformedFilesReachTheMouseAlikeFromBothPages()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, events);
    WriteMacroFile("bad", content);
    BuildFrame();
    const QByteArray before = StoredMacro();
    HidSim::ClearCallLog();

    TestSupport::ModalWatcher notices({{"KeyNumberLimit", "NewHong"}});
    GiveMacroThroughTheButtonPage("bad");
    if (events.isEmpty()) {
        QVERIFY(TestSupport::WaitFor([&] { return notices.seen.size() == 1; }));
        QCOMPARE(Writes(), 0);
        QCOMPARE(StoredMacro(), before);
        PostMsg::GetInstance()->EmitMacroDownLoadData("bad", DeviceButton());
        QCOMPARE(notices.Classes(), QStringList({"KeyNumberLimit", "KeyNumberLimit"}));
        QCOMPARE(Writes(), 0);
        // Loading it on the macro page is refused as well, and selects nothing.
        ClickMacroOnTheMacroPage("bad");
        QVERIFY(TestSupport::WaitFor([&] { return notices.seen.size() == 3; }));
        QCOMPARE(Child<QListWidget>(m_macros, "listWidgetHong")->currentRow(), -1);
        return;
    }
    QCOMPARE(Writes(), 1);
    const QByteArray fromButtonPage = StoredMacro();
    QCOMPARE(EventsOf(fromButtonPage), events);

    HidSim::ClearCallLog();
    PostMsg::GetInstance()->EmitMacroDownLoadData("bad", DeviceButton());
    QCOMPARE(Writes(), 1);
    QCOMPARE(StoredMacro(), fromButtonPage);
    QVERIFY(notices.seen.isEmpty());
}

VOGM_TEST_MAIN(TestMacroButtons)
#include "tst_macrobuttons.moc"
