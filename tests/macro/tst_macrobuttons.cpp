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
#include "testsupport.h"

#include <QDir>
#include <QFile>
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

private:
    template <typename T>
    T *Child(QWidget *parent, const char *name) const
    {
        T *child = parent->findChild<T *>(name);
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
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

    m_frame = std::make_unique<Dialog>();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
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
    QToolButton *macroButton = nullptr;
    for (QToolButton *button : qAsConst(m_buttons->MacroButtons)) {
        if (button->text() == name)
            macroButton = button;
    }
    QVERIFY2(macroButton, qPrintable(name));
    QTest::mouseClick(macroButton, Qt::LeftButton);
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
        menu->setActiveAction(menu->actions().value(menu->actions().size() - 2));  // Rename, before Delete
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

VOGM_TEST_MAIN(TestMacroButtons)
#include "tst_macrobuttons.moc"
