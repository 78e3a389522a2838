// Recording a macro from the keyboard on the real page: keys go to the
// page's window as the window system delivers them (hand-made events carry
// X11 keycodes and keysyms, held keys come as X11 auto-repeat pairs), the
// page's clock is replaced, and the notices are answered through their
// buttons. Lists are written as "A↓" (press), "A↑" (release) and "10ms".

#include "dialog.h"
#include "globals.h"
#include "languagereader.h"
#include "macro.h"
#include "macroini.h"
#include "mainwindowkit.h"
#include "postmsg.h"
#include "eventrows.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <memory>

namespace {

const QString kDown = QStringLiteral("\u2193");
const QString kUp = QStringLiteral("\u2191");

QString MacroFolder()
{
    return TestSupport::BaseFolder() + "/usersetting/MacroPage";
}

void WriteFile(const QString &fileName, const QByteArray &content)
{
    QFile file(MacroFolder() + "/" + fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

// A key as an X11 keyboard (US layout) delivers it.
struct NativeKey {
    int qtKey;
    quint32 keycode;
    quint32 keysym;
    Qt::KeyboardModifiers modifiers;
};

const QMap<QString, NativeKey> &Keyboard()
{
    static const QMap<QString, NativeKey> keys{
        {"A", {Qt::Key_A, 38, 0x61, Qt::NoModifier}},
        {"B", {Qt::Key_B, 56, 0x62, Qt::NoModifier}},
        {"LShift", {Qt::Key_Shift, 50, 0xffe1, Qt::NoModifier}},
        {"RShift", {Qt::Key_Shift, 62, 0xffe2, Qt::NoModifier}},
        {"Shift+1", {Qt::Key_Exclam, 10, 0x21, Qt::ShiftModifier}},
        {"Shift+2", {Qt::Key_At, 11, 0x40, Qt::ShiftModifier}},
        {"<>", {Qt::Key_Less, 94, 0x3c, Qt::NoModifier}},
        {"VolumeUp", {Qt::Key_VolumeUp, 123, 0x1008ff13, Qt::NoModifier}},
        {"KP_Enter", {Qt::Key_Enter, 104, 0xff8d, Qt::KeypadModifier}},
        {"KP_5 NumLock off", {Qt::Key_Clear, 84, 0xff9d, Qt::KeypadModifier}},
    };
    return keys;
}

void SendNative(QWindow *window, const QString &key, QEvent::Type type, bool autoRepeat)
{
    const NativeKey native = Keyboard().value(key);
    QKeyEvent event(type, native.qtKey, native.modifiers, native.keycode, native.keysym, 0, QString(), autoRepeat);
    QCoreApplication::sendEvent(window, &event);
}

// One step of typing at a time on the test clock: 'd' a press, 'u' a
// release, 'r' one X11 auto-repeat pair (release and press flagged
// auto-repeat) of a held key.
struct Step {
    QString key;
    char action;
    qint64 at;
};
using Steps = QVector<Step>;

QString PleaseStopText()
{
    QString text;
    LanguageReader("EXEIsRun", {{"PleaseStop", StoreTarget(&text)}}).Load(0);
    return text;
}

QString Label2Text()
{
    QString text;
    LanguageReader("EXEIsRun", {{"label_2", StoreTarget(&text)}}).Load(0);
    return text;
}

QStringList ShownEvents(const QListView *events)
{
    QStringList items;
    for (int row = 0; row < EventRows::Count(events); ++row) {
        const MacroItem item = EventRows::Item(events, row);
        items << (item.text.contains("ms") ? item.text : item.text + (item.type == 0 ? kDown : kUp));
    }
    return items;
}

const char *const kNavigation[] = {"ButtonMain", "MacroButton", "LightsButton", "SensorButton", "FormSetting"};

}  // namespace

Q_DECLARE_METATYPE(Steps)

class TestRecording : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void keysBecomeEvents_data();
    void keysBecomeEvents();
    void seventiethKeyEndsTheCapture();
    void startNeedsASelectedMacro();
    void recordingRefusesOtherWork();
    void backArrowEndsTheRecording();
    void destroyedPageTakesNoKeys();

private:
    void MakePage();
    template <typename T>
    T *Child(const char *name) const
    {
        T *child = m_page->findChild<T *>(name);
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    QListView *Events() const { return Child<QListView>("listWidgetKey"); }
    QWindow *Window() const { return m_page->window()->windowHandle(); }
    void SelectMacro(const QString &name);
    void Click(const char *button) { QTest::mouseClick(Child<QAbstractButton>(button), Qt::LeftButton); }

    std::unique_ptr<Macro> m_page;
    qint64 m_now = 0;
};

void TestRecording::init()
{
    QDir(MacroFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFolder()));
    MacroIni::GetInstance()->SetValue("Language", "Language", "0");
    MainWindowKit::ResetSharedState();
    WriteFile("m.ini", "1\n0x05 1 0\n");
    m_now = 0;
}

void TestRecording::cleanup()
{
    m_page.reset();
    MainWindowKit::ResetSharedState();
}

void TestRecording::MakePage()
{
    m_page = std::make_unique<Macro>();
    m_page->SetRecordClock([this] { return m_now; });
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get(), TestSupport::kHangGuardMs));
}

void TestRecording::SelectMacro(const QString &name)
{
    auto *macros = m_page->findChild<QListWidget *>("listWidgetHong");
    const QList<QListWidgetItem *> found = macros->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QTest::mouseClick(macros->viewport(), Qt::LeftButton, {}, macros->visualItemRect(found.first()).center());
}

void TestRecording::keysBecomeEvents_data()
{
    QTest::addColumn<int>("fixedDelay");  // 0: the measured pauses
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QStringList>("events");

    const QString A = "A" + kDown, a = "A" + kUp;
    Steps held{{"A", 'd', 0}};
    for (int pair = 1; pair <= 5; ++pair)
        held.append({"A", 'r', 400 * pair});
    held.append({"A", 'u', 2000});
    QTest::newRow("held key, fixed delay") << 50 << held << QStringList{A, "50ms", a};
    QTest::newRow("measured pause") << 0 << Steps{{"A", 'd', 1000}, {"A", 'u', 1120}} << QStringList{A, "120ms", a};
    QTest::newRow("nameless key first")
        << 0 << Steps{{"<>", 'd', 0}, {"<>", 'u', 5}, {"A", 'd', 100}, {"A", 'u', 130}}
        << QStringList{A, "30ms", a};
    QTest::newRow("nameless key between")
        << 0 << Steps{{"A", 'd', 0}, {"VolumeUp", 'd', 40}, {"VolumeUp", 'u', 50}, {"A", 'u', 100}}
        << QStringList{A, "100ms", a};
    QTest::newRow("nameless key last")
        << 0 << Steps{{"A", 'd', 0}, {"A", 'u', 20}, {"<>", 'd', 50}, {"<>", 'u', 60}}
        << QStringList{A, "20ms", a};
    QTest::newRow("left and right Shift")
        << 0 << Steps{{"LShift", 'd', 0}, {"RShift", 'd', 10}, {"RShift", 'u', 20}, {"LShift", 'u', 30}}
        << QStringList{"LShift" + kDown, "10ms", "RShift" + kDown, "10ms", "RShift" + kUp, "10ms", "LShift" + kUp};
    QTest::newRow("digit under Shift")
        << 0 << Steps{{"LShift", 'd', 0}, {"Shift+1", 'd', 10}, {"Shift+1", 'u', 20}, {"LShift", 'u', 30}}
        << QStringList{"LShift" + kDown, "10ms", "1" + kDown, "10ms", "1" + kUp, "10ms", "LShift" + kUp};
    // A key pressed again after another key's release is a new press, not a repeat.
    QTest::newRow("Shift pressed again")
        << 0
        << Steps{{"LShift", 'd', 0},  {"Shift+1", 'd', 10}, {"Shift+1", 'u', 20}, {"LShift", 'u', 30},
                 {"LShift", 'd', 40}, {"Shift+2", 'd', 50}, {"Shift+2", 'u', 60}, {"LShift", 'u', 70}}
        << QStringList{"LShift" + kDown, "10ms", "1" + kDown,      "10ms", "1" + kUp,      "10ms",
                       "LShift" + kUp,   "10ms", "LShift" + kDown, "10ms", "2" + kDown,    "10ms",
                       "2" + kUp,        "10ms", "LShift" + kUp};
    // The held key keeps repeating after another key's release.
    QTest::newRow("repeat after a rollover")
        << 0 << Steps{{"A", 'd', 0}, {"B", 'd', 10}, {"A", 'u', 20}, {"B", 'r', 30}, {"B", 'r', 40}, {"B", 'u', 50}}
        << QStringList{A, "10ms", "B" + kDown, "10ms", a, "30ms", "B" + kUp};
    QTest::newRow("keypad Enter and keypad 5 without NumLock")
        << 0
        << Steps{{"KP_Enter", 'd', 0}, {"KP_Enter", 'u', 10}, {"KP_5 NumLock off", 'd', 20},
                 {"KP_5 NumLock off", 'u', 30}}
        << QStringList{"Enter" + kDown, "10ms", "Enter" + kUp, "10ms", kDown, "10ms", kUp};
}

void TestRecording::keysBecomeEvents()
{
    QFETCH(int, fixedDelay);
    QFETCH(Steps, steps);
    QFETCH(QStringList, events);
    MakePage();
    SelectMacro("m");
    if (fixedDelay) {
        QTest::mouseClick(Child<QCheckBox>("DefaultDelay"), Qt::LeftButton, {}, QPoint(5, 5));
        Child<QSpinBox>("DelayTime")->setValue(fixedDelay);
    }
    m_now = 5000;  // the time since the start does not count
    Click("StartRecord");
    QVERIFY(g_MacroRecording);
    QCOMPARE(EventRows::Count(Events()), 0);

    for (const Step &step : qAsConst(steps)) {
        m_now = 10000 + step.at;
        if (step.action == 'r') {
            SendNative(Window(), step.key, QEvent::KeyRelease, true);
            SendNative(Window(), step.key, QEvent::KeyPress, true);
        } else {
            SendNative(Window(), step.key, step.action == 'd' ? QEvent::KeyPress : QEvent::KeyRelease, false);
        }
    }
    Click("StopRecord");

    QCOMPARE(ShownEvents(Events()), events);
    QVERIFY(!g_MacroRecording);
    QVERIFY(Child<QToolButton>("Save")->isEnabled());
    QVERIFY(m_page->EventsChanged());
}

// The 70th key item ends the capture from inside its callback; the notice
// opens once the key has been delivered, and the page keeps its recording
// look until Stop.
void TestRecording::seventiethKeyEndsTheCapture()
{
    MakePage();
    SelectMacro("m");
    QSignalSpy recordSignals(PostMsg::GetInstance(), &PostMsg::SigStartRecord);
    Click("StartRecord");

    bool lastKeyDelivered = false;
    TestSupport::ModalWatcher notices({{"KeyNumberLimit", "NewHong"}});
    QList<bool> deliveredWhenShown;
    notices.inspect = [&](QWidget *) { deliveredWhenShown << lastKeyDelivered; };
    // Delivered as the window system does, without serving other events.
    for (int key = 0; key < 70; ++key) {
        QKeyEvent event(key % 2 ? QEvent::KeyRelease : QEvent::KeyPress, Qt::Key_A + key / 2 % 26, Qt::NoModifier);
        QCoreApplication::sendEvent(Window(), &event);
    }
    lastKeyDelivered = true;
    QVERIFY(!g_MacroRecording);
    QTest::keyClick(Window(), Qt::Key_Z);
    QVERIFY(TestSupport::WaitFor([&] { return !notices.seen.isEmpty() && !QApplication::activeModalWidget(); }));
    QTest::qWait(50);

    QCOMPARE(notices.Classes(), QStringList{"KeyNumberLimit"});
    QCOMPARE(deliveredWhenShown, QList<bool>{true});
    QCOMPARE(notices.seen.first().pos, MainWindowKit::PlaceOver(m_page.get(), notices.seen.first().size, -100, -50));
    const QStringList events = ShownEvents(Events());
    QCOMPARE(events.size(), 139);
    for (int row = 0; row < events.size(); ++row)
        QCOMPARE(events[row].endsWith("ms"), row % 2 == 1);
    QCOMPARE(events.last(), "I" + kUp);  // the 35th letter, A to Z then A to I
    QVERIFY(Child<QPushButton>("StopRecord")->isVisible());
    QVERIFY(!Child<QPushButton>("StartRecord")->isVisible());
    QVERIFY(!Child<QListWidget>("listWidgetHong")->isEnabled());
    QVERIFY(!Child<QComboBox>("ChooseEvent")->isEnabled());
    QCOMPARE(recordSignals.count(), 1);
    QCOMPARE(recordSignals.at(0).at(0).toInt(), 0);

    Click("StopRecord");
    QCOMPARE(recordSignals.count(), 2);
    QCOMPARE(recordSignals.at(1).at(0).toInt(), 1);
    QCOMPARE(EventRows::Count(Events()), 139);
}

void TestRecording::startNeedsASelectedMacro()
{
    MakePage();
    QSignalSpy recordSignals(PostMsg::GetInstance(), &PostMsg::SigStartRecord);
    TestSupport::ModalWatcher notices({{"ExeIsRun", "NewHong"}});
    QString shown;
    notices.inspect = [&](QWidget *modal) { shown = modal->findChild<QLabel *>("label")->text(); };

    Click("StartRecord");
    QTest::keyClick(Window(), Qt::Key_A);

    QCOMPARE(notices.Classes(), QStringList{"ExeIsRun"});
    QCOMPARE(shown, Label2Text());
    QCOMPARE(notices.seen.first().pos, MainWindowKit::PlaceOver(m_page.get(), notices.seen.first().size, -100, -50));
    QVERIFY(!g_MacroRecording);
    QCOMPARE(recordSignals.count(), 0);
    QVERIFY(Child<QPushButton>("StartRecord")->isVisible());
    QVERIFY(Child<QComboBox>("ChooseEvent")->isEnabled());
    QCOMPARE(EventRows::Count(Events()), 0);
}

// While the keys are taken, every command that would change the macros or
// their files shows only the notice; Stop then enables Save, with or
// without events.
void TestRecording::recordingRefusesOtherWork()
{
    MakePage();
    SelectMacro("m");
    QTest::mouseClick(Child<QCheckBox>("ReUntilClick"), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(Child<QToolButton>("Save")->isEnabled());
    Click("StartRecord");
    QVERIFY(!Child<QListWidget>("listWidgetHong")->isEnabled());
    QVERIFY(!Child<QComboBox>("ChooseEvent")->isEnabled());
    QVERIFY(!Child<QSpinBox>("DelayTime")->isVisible());
    QVERIFY(!Child<QSpinBox>("NumberEdit")->isVisible());

    TestSupport::ModalWatcher notices({{"ExeIsRun", "NewHong"}});
    QStringList texts;
    notices.inspect = [&](QWidget *modal) { texts << modal->findChild<QLabel *>("label")->text(); };
    const QStringList buttons{"Save", "NewHong", "DeleteHong", "Amend", "DeleteKey"};
    for (const QString &button : buttons) {
        const int before = notices.seen.size();
        QTest::mouseClick(Child<QToolButton>(qPrintable(button)), Qt::LeftButton);
        QVERIFY2(TestSupport::WaitFor([&] { return notices.seen.size() > before && !QApplication::activeModalWidget(); }),
                 qPrintable(button));
    }
    QCOMPARE(notices.Classes(), QVector<QString>(buttons.size(), "ExeIsRun").toList());
    QCOMPARE(texts, QVector<QString>(buttons.size(), PleaseStopText()).toList());
    QCOMPARE(QDir(MacroFolder()).entryList(QDir::Files), QStringList{"m.ini"});
    QFile file(MacroFolder() + "/m.ini");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("1\n0x05 1 0\n"));
    QVERIFY(m_page->LoopChanged());
    QVERIFY(g_MacroRecording);

    Click("StopRecord");
    QCOMPARE(EventRows::Count(Events()), 0);
    QVERIFY(Child<QToolButton>("Save")->isEnabled());
    QVERIFY(Child<QListWidget>("listWidgetHong")->isEnabled());
    QVERIFY(Child<QComboBox>("ChooseEvent")->isEnabled());
    QVERIFY(Child<QSpinBox>("DelayTime")->isVisible());
}

// The device page's back arrow during a recording, in the real frame.
void TestRecording::backArrowEndsTheRecording()
{
    auto frame = std::make_unique<Dialog>();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame.get(), TestSupport::kHangGuardMs));
    frame->findChild<QToolButton *>("MacroButton")->click();
    Macro *page = frame->findChild<Macro *>();
    auto *macros = page->findChild<QListWidget *>("listWidgetHong");
    QTest::mouseClick(macros->viewport(), Qt::LeftButton, {}, macros->visualItemRect(macros->item(0)).center());
    QSignalSpy recordSignals(PostMsg::GetInstance(), &PostMsg::SigStartRecord);

    QTest::mouseClick(page->findChild<QPushButton *>("StartRecord"), Qt::LeftButton);
    for (const char *name : kNavigation)
        QVERIFY2(!frame->findChild<QToolButton *>(name)->isEnabled(), name);
    QTest::keyClick(frame->windowHandle(), Qt::Key_A);

    QTest::mouseClick(frame->findChild<QAbstractButton *>("UpArrow"), Qt::LeftButton);
    QTest::keyClick(frame->windowHandle(), Qt::Key_B);

    QVERIFY(!g_MacroRecording);
    QCOMPARE(recordSignals.count(), 2);
    QCOMPARE(recordSignals.at(1).at(0).toInt(), 1);
    for (const char *name : kNavigation)
        QVERIFY2(frame->findChild<QToolButton *>(name)->isEnabled(), name);
    auto *save = page->findChild<QToolButton *>("Save");
    QVERIFY(!save->isEnabled());
    QVERIFY(save->styleSheet().contains("rgb(127,127,127)"));
    const QStringList events = ShownEvents(page->findChild<QListView *>("listWidgetKey"));
    QCOMPARE(events.size(), 3);
    QCOMPARE(events.first(), "A" + kDown);
    QCOMPARE(events.last(), "A" + kUp);
    QVERIFY(page->findChild<QPushButton *>("StartRecord")->isVisible());
    QVERIFY(macros->isEnabled());
}

// The capture goes with the page: a key after the page is gone reaches no
// callback (the sanitizer build would catch a call into the freed page), and
// the main window takes keys again.
void TestRecording::destroyedPageTakesNoKeys()
{
    MakePage();
    SelectMacro("m");
    Click("StartRecord");
    QVERIFY(g_MacroRecording);

    m_page.reset();
    QWidget other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other, TestSupport::kHangGuardMs));
    QTest::keyClick(other.windowHandle(), Qt::Key_A);

    QVERIFY(!g_MacroRecording);
}

VOGM_TEST_MAIN(TestRecording)
#include "tst_recording.moc"
