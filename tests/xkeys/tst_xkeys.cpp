// Keys pressed on a real X server reach the mouse as the keys pressed, on
// every keyboard layout.
//
// The suite starts its own Xvfb, runs the real program window on the xcb
// platform against the simulated default world and presses keys by X
// keycode through XTEST under the layouts us, de, fr and ru. The keys go
// through a macro recording (saved and assigned to a row), the single-key
// dialog of the macro page (the macro saved and assigned) and the
// key-combination dialog; each time the simulated mouse's stored record holds
// the usages of the keys' positions, the same for every layout, and the
// names shown are the layout's labels. Then the capture's pairing on the
// server: a release whose press went elsewhere, fast taps and a held key.
//
// Without an X server the suite fails: it never skips.

#include "buttoninterface.h"
#include "dialog.h"
#include "dialogmain.h"
#include "groupkey.h"
#include "hidusb_control.h"
#include "keyrecord.h"
#include "macro.h"
#include "macrorecord.h"
#include "panelfixture.h"
#include "programwindow.h"
#include "../macro/eventrows.h"
#include "startup.h"
#include "macrochoice.h"
#include "testsupport.h"
#include "worldfixtures.h"
#include "xserver.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <cstring>
#include <functional>

using TestSupport::OpenTile;
using TestSupport::Settled;

namespace {

const QString kMouse = QStringLiteral("m2");
// The device buttons behind the button page's rows BackKey and StartPause.
constexpr int kMacroButton = 2;
constexpr int kComboButton = 4;

XKeyboard *g_keyboard = nullptr;

const QStringList kLayouts{"us", "de", "fr", "ru"};

// A key by its X keycode (evdev code + 8), with NumLock set for the keypad
// (-1: left as it is), the usage and kind the mouse gets for its position,
// and its label under each of kLayouts.
struct PhysicalKey {
    unsigned keycode;
    int numLock;
    int code;
    int kind;
    QStringList labels;
    bool modifier;
};

QStringList Same(const char *label)
{
    QStringList labels;
    for (int i = 0; i < kLayouts.size(); ++i)
        labels << QString::fromUtf8(label);
    return labels;
}

const QVector<PhysicalKey> &KeyTable()
{
    static const QVector<PhysicalKey> keys{
        {24, -1, 0x14, kKindKeyboard, {"Q", "Q", "A", "Q"}, false},
        {25, -1, 0x1A, kKindKeyboard, {"W", "W", "Z", "W"}, false},
        {29, -1, 0x1C, kKindKeyboard, {"Y", "Z", "Y", "Y"}, false},
        {38, -1, 0x04, kKindKeyboard, {"A", "A", "Q", "A"}, false},
        {47, -1, 0x33, kKindKeyboard, {";", ";", "M", ";"}, false},
        {52, -1, 0x1D, kKindKeyboard, {"Z", "Y", "W", "Z"}, false},
        {58, -1, 0x10, kKindKeyboard, {"M", "M", ",", "M"}, false},
        {10, -1, 0x1E, kKindKeyboard, Same("1"), false},
        {20, -1, 0x2D, kKindKeyboard, Same("-"), false},
        {87, 1, 0x59, kKindKeyboard, Same("Num1"), false},
        {87, 0, 0x4D, kKindKeyboard, Same("End"), false},
        {50, -1, 0x02, kKindModifier, Same("LShift"), true},
        {62, -1, 0x20, kKindModifier, Same("RShift"), true},
        {108, -1, 0x40, kKindModifier, Same("RAlt"), true},  // AltGr
    };
    return keys;
}

QString Label(const PhysicalKey &key, const QString &layout)
{
    return key.labels.at(kLayouts.indexOf(layout));
}

void Press(const PhysicalKey &key)
{
    if (key.numLock >= 0)
        g_keyboard->SetNumLock(key.numLock == 1);
    g_keyboard->Tap(key.keycode);
}

FlashDataMap Stored()
{
    FlashDataMap image;
    std::memcpy(&image, HidSim::StoredImage(kMouse).constData(), sizeof image);
    return image;
}

template <typename T = QAbstractButton>
T *Find(QWidget *root, const char *name)
{
    T *child = root->findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no %s", name);
    return child;
}

void Click(QWidget *root, const char *name)
{
    QTest::mouseClick(Find<QWidget>(root, name), Qt::LeftButton);
}

void Shot(QWidget *widget, const QString &name)
{
    if (!TestSupport::SaveShot(widget->grab().toImage(), "xkeys-" + name + ".png"))
        qWarning("could not save %s", qPrintable(name));
}

// The key items of the event list: name as shown, and press or release.
QStringList ShownKeys(const QListView *events)
{
    QStringList keys;
    for (int row = 0; row < EventRows::Count(events); ++row) {
        const QString text = EventRows::Text(events, row);
        if (!text.endsWith("ms"))
            keys << text + (EventRows::Type(events, row) == 0 ? "+" : "-");
    }
    return keys;
}

int KeyItems(const QListView *events)
{
    return ShownKeys(events).size();
}

// The events of the macro record of device button `button`: code, kind and
// press (0) or release (1) as "code/kind/action".
QStringList MacroEvents(int button)
{
    const MacroRecord record = LoadRecord(Stored().Macros[button]);
    QStringList events;
    for (int i = 0; i < record.Count && i < kMacroEventSlots; ++i)
        events << QStringLiteral("%1/%2/%3")
                      .arg(record.Events[i].Code, 2, 16, QLatin1Char('0'))
                      .arg(record.Events[i].Kind)
                      .arg(record.Events[i].Action);
    return events;
}

// Counts the presses of a key that reach a window.
class PressCounter : public QObject
{
public:
    PressCounter(QWindow *window, quint32 keycode) : m_keycode(keycode) { window->installEventFilter(this); }
    int presses = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->nativeScanCode() == m_keycode)
            ++presses;
        return false;
    }

private:
    quint32 m_keycode;
};

QString Event(int code, int kind, int action)
{
    return QStringLiteral("%1/%2/%3").arg(code, 2, 16, QLatin1Char('0')).arg(kind).arg(action);
}

}  // namespace

class TestXKeys : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void recordedMacroReachesTheMouse_data() { Layouts(); }
    void recordedMacroReachesTheMouse();
    void singleKeyDialogTakesPositions_data() { Layouts(); }
    void singleKeyDialogTakesPositions();
    void combinationDialogTakesPositions_data() { Layouts(); }
    void combinationDialogTakesPositions();
    void ctrlKeypadPlusReachesTheMouse();
    void menuKeyOpensNoMenu();

    void releaseOfAKeyPressedElsewhereIsLeftOut();
    void fastTapsKeepEveryPair();
    void heldKeyGivesOnePressAndOneRelease();

private:
    static void Layouts();
    void SetLayout(const QString &layout);
    void Activate(QWidget *window);
    Macro *ShowMacroPage();
    Buttoninterface *ShowButtonPage();
    void NewMacro(const QString &name);
    void StartRecording(const QString &macro);
    void SaveAndAssign(const QString &macro);

    DialogMain *m_window = nullptr;
    Dialog *m_page = nullptr;
    QListView *m_events = nullptr;
};

void TestXKeys::Layouts()
{
    QTest::addColumn<QString>("layout");
    for (const QString &layout : kLayouts)
        QTest::newRow(qPrintable(layout)) << layout;
}

void TestXKeys::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    HidSim::SetWorld(Fixtures::FastDefaultWorld());
    m_window = new DialogMain;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(OpenTile(m_window, "0xFF14"));
    m_page = m_window->DevicePage();
    m_events = Find<QListView>(ShowMacroPage(), "listWidgetKey");
    ShowButtonPage();
}

void TestXKeys::cleanupTestCase()
{
    delete m_window;
    g_keyboard->SetLayout("us");
}

void TestXKeys::SetLayout(const QString &layout)
{
    QVERIFY(g_keyboard->SetLayout(layout));
}

// Keys go to the window with the X input focus.
void TestXKeys::Activate(QWidget *window)
{
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window, TestSupport::kHangGuardMs));
}

Macro *TestXKeys::ShowMacroPage()
{
    Click(m_page, "MacroButton");
    return m_page->findChild<Macro *>();
}

Buttoninterface *TestXKeys::ShowButtonPage()
{
    Click(m_page, "ButtonMain");
    return m_page->findChild<Buttoninterface *>();
}

void TestXKeys::NewMacro(const QString &name)
{
    Macro *macro = ShowMacroPage();
    TestSupport::OnModal dialog("QuestionDialog", [&](QWidget *question) {
        QTest::keyClicks(Find<QLineEdit>(question, "lineEdit"), name);
        Click(question, "NewHong");
    });
    Click(macro, "NewHong");
    QVERIFY(dialog.done);
    QListWidgetItem *current = Find<QListWidget>(macro, "listWidgetHong")->currentItem();
    QVERIFY(current);
    QCOMPARE(current->text(), name);
}

void TestXKeys::StartRecording(const QString &macro)
{
    NewMacro(macro);
    Click(m_page->findChild<Macro *>(), "StartRecord");
    Activate(m_window);
}

// Saves the macro shown and gives it to the row BackKey.
void TestXKeys::SaveAndAssign(const QString &macro)
{
    Click(m_page->findChild<Macro *>(), "Save");
    Buttoninterface *buttons = ShowButtonPage();
    Click(buttons, "BackKey");
    Click(buttons, "DPI_10");
    QVERIFY(TestSupport::ClickMacroChoice(buttons->MacroPanel, macro));
    QVERIFY(HidSim::WaitUntilIdle());
    QCOMPARE(Find(buttons, "BackKey")->text(), buttons->MacroPrefix + macro);
}

void TestXKeys::recordedMacroReachesTheMouse()
{
    QFETCH(QString, layout);
    SetLayout(layout);
    StartRecording("rec" + layout);

    QStringList shown;
    QStringList stored;
    for (const PhysicalKey &key : KeyTable()) {
        Press(key);
        shown << Label(key, layout) + "+" << Label(key, layout) + "-";
        stored << Event(key.code, key.kind, 0) << Event(key.code, key.kind, 1);
        QVERIFY2(QTest::qWaitFor([&] { return KeyItems(m_events) >= shown.size(); }, TestSupport::kHangGuardMs),
                 qPrintable(ShownKeys(m_events).join(' ')));
    }
    Click(m_page->findChild<Macro *>(), "StopRecord");
    QCOMPARE(ShownKeys(m_events), shown);
    if (layout == "fr")
        Shot(m_window, "macro-recording-fr");

    SaveAndAssign("rec" + layout);
    QCOMPARE(MacroEvents(kMacroButton), stored);
}

void TestXKeys::singleKeyDialogTakesPositions()
{
    QFETCH(QString, layout);
    SetLayout(layout);
    NewMacro("one" + layout);
    auto *menu = Find<QComboBox>(m_page->findChild<Macro *>(), "ChooseEvent");

    QStringList shownInDialog;
    QStringList expectedInDialog;
    QStringList stored;
    for (const PhysicalKey &key : KeyTable()) {
        const QString label = Label(key, layout);
        TestSupport::OnModal dialog("addKey", [&](QWidget *single) {
            Activate(single);
            auto *edit = Find<QLineEdit>(single, "lineEdit");
            Press(key);
            // The edit shows the press at once, and what it typed until the release.
            (void)QTest::qWaitFor([&] { return edit->text() == label; }, TestSupport::kHangGuardMs);
            shownInDialog << edit->text();
            if (layout == "fr" && key.keycode == 38)
                Shot(single, "single-key-fr-Q-position");
            if (layout == "fr" && key.keycode == 24)
                Shot(single, "single-key-fr-A");
            Click(single, "NewHong");
        });
        emit menu->activated(1);  // "key press"
        QVERIFY(dialog.done);
        expectedInDialog << label;
        stored << Event(key.code, key.kind, 0);
    }
    QCOMPARE(shownInDialog, expectedInDialog);
    QStringList shownInList;
    for (const QString &label : qAsConst(expectedInDialog))
        shownInList << label + "+";
    QCOMPARE(ShownKeys(m_events), shownInList);

    SaveAndAssign("one" + layout);
    QCOMPARE(MacroEvents(kMacroButton), stored);
}

void TestXKeys::combinationDialogTakesPositions()
{
    QFETCH(QString, layout);
    SetLayout(layout);
    Buttoninterface *buttons = ShowButtonPage();
    for (const PhysicalKey &key : KeyTable()) {
        if (key.modifier)
            continue;  // modifiers come from the dialog's boxes
        const QString label = Label(key, layout);
        Click(buttons, "StartPause");
        QString shown;
        TestSupport::OnModal dialog("GroupKey", [&](QWidget *combination) {
            Activate(combination);
            auto *edit = Find<QLineEdit>(combination, "lineEdit");
            Press(key);
            (void)QTest::qWaitFor([&] { return !edit->text().isEmpty(); }, TestSupport::kHangGuardMs);
            shown = edit->text();
            Click(combination, "NewHong");
        });
        Click(buttons, "DPI_8");
        QVERIFY(dialog.done);
        QVERIFY(HidSim::WaitUntilIdle());
        QCOMPARE(shown, label);
        const KeyRecord record = LoadKeyRecord(Stored().KeySequences[kComboButton]);
        QCOMPARE(int(record.Count), 2);
        QCOMPARE(int(record.Events[0].Code), key.code);
        QCOMPARE(int(record.Events[0].Kind), key.kind);
        QCOMPARE(Find(buttons, "StartPause")->text(), label);
    }
}

void TestXKeys::ctrlKeypadPlusReachesTheMouse()
{
    SetLayout("us");
    Buttoninterface *buttons = ShowButtonPage();
    Click(buttons, "StartPause");
    QString shown;
    TestSupport::OnModal dialog("GroupKey", [&](QWidget *combination) {
        Activate(combination);
        Find<QCheckBox>(combination, "Ctrl")->setChecked(true);
        auto *edit = Find<QLineEdit>(combination, "lineEdit");
        g_keyboard->Tap(86);  // keypad plus
        (void)QTest::qWaitFor([&] { return !edit->text().isEmpty(); }, TestSupport::kHangGuardMs);
        shown = edit->text();
        Shot(combination, "combination-ctrl-keypad-plus");
        Click(combination, "NewHong");
    });
    Click(buttons, "DPI_8");
    QVERIFY(dialog.done);
    QVERIFY(HidSim::WaitUntilIdle());
    QCOMPARE(shown, QString("Num+"));

    const KeyRecord record = LoadKeyRecord(Stored().KeySequences[kComboButton]);
    QCOMPARE(int(record.Count), 4);
    const int events[][3] = {{0, kKindModifier, 0x01}, {0, kKindKeyboard, 0x57}, {1, kKindKeyboard, 0x57},
                             {1, kKindModifier, 0x01}};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(int(record.Events[i].Action), events[i][0]);
        QCOMPARE(int(record.Events[i].Kind), events[i][1]);
        QCOMPARE(int(record.Events[i].Code), events[i][2]);
    }
    QToolButton *row = Find<QToolButton>(buttons, "StartPause");
    QCOMPARE(row->text(), QString("Ctrl+Num+"));
    Shot(m_window, "button-page-ctrl-keypad-plus");

    // Read back from the mouse after a profile switch there and back.
    auto *profiles = Find<QComboBox>(buttons, "ProjectChoose");
    PanelFixture::ChooseItem(profiles, 1);
    QVERIFY(QTest::qWaitFor([&] { return row->text() != "Ctrl+Num+" && Settled(); }, TestSupport::kHangGuardMs));
    PanelFixture::ChooseItem(profiles, 0);
    QVERIFY(QTest::qWaitFor([&] { return HidSim::ActiveProfile(kMouse) == 0 && Settled(); }, TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    QVERIFY(QTest::qWaitFor([&] { return Settled(); }, TestSupport::kHangGuardMs));
    QCOMPARE(row->text(), QString("Ctrl+Num+"));
}

// The Menu key is a key like any other in the combination dialog; the
// right-click menu of its edit stays.
void TestXKeys::menuKeyOpensNoMenu()
{
    SetLayout("us");
    GroupKey dialog;
    QStringList popups;
    QTimer closer;
    connect(&closer, &QTimer::timeout, &closer, [&] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            popups << popup->metaObject()->className();
            popup->close();
        }
    });
    closer.start(10);
    QString shown;
    QTimer::singleShot(0, &dialog, [&] {
        TestSupport::WithModal([&](QWidget *) {
            Activate(&dialog);
            auto *edit = Find<QLineEdit>(&dialog, "lineEdit");
            g_keyboard->Tap(135);
            (void)QTest::qWaitFor([&] { return !edit->text().isEmpty(); }, TestSupport::kHangGuardMs);
            shown = edit->text();
            // The menu would open along with the key press.
            const bool menuAfterKey = !popups.isEmpty() || QApplication::activePopupWidget();
            if (QWidget *popup = QApplication::activePopupWidget())
                popup->close();
            const QPoint centre = edit->mapToGlobal(edit->rect().center());
            QContextMenuEvent rightClick(QContextMenuEvent::Mouse, edit->rect().center(), centre);
            QCoreApplication::sendEvent(edit, &rightClick);
            (void)QTest::qWaitFor([&] { return !popups.isEmpty(); }, TestSupport::kHangGuardMs);
            if (menuAfterKey)
                popups.prepend("after the Menu key");
            Click(&dialog, "NewHong_2");
        });
    });
    dialog.exec();
    QCOMPARE(shown, QString("APPs"));
    QCOMPARE(popups.join(", "), QString("QMenu"));
}

// The key's press went to another program's window (as to a window manager
// that grabs it); its release alone is left out.
void TestXKeys::releaseOfAKeyPressedElsewhereIsLeftOut()
{
    SetLayout("us");
    StartRecording("elsewhere");
    g_keyboard->FocusOtherWindow();
    g_keyboard->Key(38, true);
    g_keyboard->Flush();
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isActiveWindow(), TestSupport::kHangGuardMs);
    // The program's own request would carry an older time than the focus change.
    g_keyboard->FocusWindow(m_window->winId());
    QVERIFY(QTest::qWaitForWindowActive(m_window, TestSupport::kHangGuardMs));
    g_keyboard->Key(38, false);
    g_keyboard->Tap(56);  // B: the events before it have been handled once it shows
    QVERIFY(QTest::qWaitFor([&] { return KeyItems(m_events) >= 2; }, TestSupport::kHangGuardMs));
    Click(m_page->findChild<Macro *>(), "StopRecord");
    QCOMPARE(ShownKeys(m_events), (QStringList{"B+", "B-"}));
}

void TestXKeys::fastTapsKeepEveryPair()
{
    SetLayout("us");
    StartRecording("fast");
    // "aabb", each event 5 ms after the one before.
    for (unsigned keycode : {38u, 38u, 56u, 56u}) {
        g_keyboard->Key(keycode, true, 5);
        g_keyboard->Key(keycode, false, 5);
    }
    g_keyboard->Flush();
    const QStringList expected{"A+", "A-", "A+", "A-", "B+", "B-", "B+", "B-"};
    QVERIFY2(QTest::qWaitFor([&] { return KeyItems(m_events) >= expected.size(); }, TestSupport::kHangGuardMs),
             qPrintable(ShownKeys(m_events).join(' ')));
    Click(m_page->findChild<Macro *>(), "StopRecord");
    QCOMPARE(ShownKeys(m_events), expected);
}

// The server repeats the held key as release and press pairs; the recording
// keeps one press and one release.
void TestXKeys::heldKeyGivesOnePressAndOneRelease()
{
    SetLayout("us");
    StartRecording("held");
    PressCounter counter(m_window->windowHandle(), 38);
    g_keyboard->Key(38, true);
    g_keyboard->Key(38, false, 1500);
    g_keyboard->Tap(56);  // B: the A events have all been handled once it shows
    QVERIFY2(QTest::qWaitFor([&] { return KeyItems(m_events) >= 4; }, TestSupport::kHangGuardMs),
             qPrintable(ShownKeys(m_events).join(' ')));
    Click(m_page->findChild<Macro *>(), "StopRecord");
    QCOMPARE(ShownKeys(m_events), (QStringList{"A+", "A-", "B+", "B-"}));
    QVERIFY2(counter.presses > 2, "the server repeated the held key");
}

int main(int argc, char **argv)
{
    TestSupport::IsolateUserFolders();
    // Goes last, after every connection to it (the program keeps some for its life).
    static XServer server;
    QString error;
    if (!server.Start(&error)) {
        fprintf(stderr, "FAIL: no X server of the test's own: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("DISPLAY", server.DisplayName().toLatin1());
    qputenv("QT_QPA_PLATFORM", "xcb");
    XKeyboard keyboard;
    if (!keyboard.Open(server.DisplayName()) || !keyboard.SetLayout("us")) {
        fprintf(stderr, "FAIL: no XTEST keyboard or setxkbmap on %s\n", qPrintable(server.DisplayName()));
        return 1;
    }
    g_keyboard = &keyboard;
    static QTemporaryDir worldFolder;
    qputenv("VOGM_WORLD_DIR", worldFolder.path().toLocal8Bit());
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    DialogMain::SetTrayUse(DialogMain::TrayUse::Minimise);
    Startup::PrepareUserFolders();
    TestXKeys test;
    return TestSupport::RunTest(&test, argc, argv);
}

#include "tst_xkeys.moc"
