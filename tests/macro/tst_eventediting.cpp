// Editing a macro's events on the real page: the event menu, Amend and
// DeleteKey, with the single-key and delay dialogs answered through their own
// widgets (keys go to the single-key dialog's window). Lists are written as
// "A↓" (press), "A↑" (release) and "10ms"; "L" stands for the left mouse
// button's name.

#include "adddelaytime.h"
#include "addkey.h"
#include "globals.h"
#include "keynames.h"
#include "languagereader.h"
#include "macro.h"
#include "macroini.h"
#include "noticedialog.h"
#include "notices.h"
#include "eventrows.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTimer>
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

QString ShownName(const QString &name)
{
    return name == "L" ? g_MouseLeftName : name;
}

// One line of a macro file for an item in the notation above.
QString FileLine(const QString &item)
{
    if (item.endsWith("ms"))
        return item;
    const QString name = ShownName(item.chopped(1));
    return Macro::KeyNameToHexCode(name).join(' ') + (item.endsWith(kDown) ? " 0" : " 1");
}

void WriteMacro(const QString &name, const QStringList &items)
{
    QString text = "1\n";
    for (const QString &item : items)
        text += FileLine(item) + '\n';
    QFile file(MacroFolder() + "/" + name + ".ini");
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

QStringList Keys(int count)
{
    QStringList items;
    for (int key = 0; key < count; ++key) {
        if (key > 0)
            items << "10ms";
        items << QString(QChar('A' + key / 2 % 26)) + (key % 2 ? kUp : kDown);
    }
    return items;
}

QString PleaseStopText()
{
    QString text;
    LanguageReader("EXEIsRun", {{"PleaseStop", StoreTarget(&text)}}).Load(0);
    return text;
}

// What a modal window was and where it stood.
struct Shown {
    QString className;
    QString label;
    QPoint pos;
    QPoint expected;
};

}  // namespace

class TestEventEditing : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void editsKeepTheListAlternating_data();
    void editsKeepTheListAlternating();
    void cancelledDialogsChangeNothing_data();
    void cancelledDialogsChangeNothing();
    void eventsStopAtSeventyKeys_data();
    void eventsStopAtSeventyKeys();
    void amendAndDeleteRefuseWhileRecording();
    void menuWithoutMacroChangesNothing();

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
    QComboBox *Menu() const { return Child<QComboBox>("ChooseEvent"); }
    QToolButton *SaveButton() const { return Child<QToolButton>("Save"); }
    QStringList ShownEvents() const;
    void SelectMacro(const QString &name);
    void SelectEvent(int row);
    // `answer` as for AnswerNext; null when no modal window is expected.
    void ChooseFromMenu(int index, const QString &answer = QString());
    // Answers the next modal window: a key name for the single-key dialog
    // (typed on its window), a number for the delay dialog, "" for Cancel,
    // "OK" for a notice.
    void AnswerNext(const QString &answer);
    void Act(const QString &action, const QString &answer);

    std::unique_ptr<Macro> m_page;
    QList<Shown> m_shown;
};

void TestEventEditing::init()
{
    QDir(MacroFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFolder()));
    MacroIni::GetInstance()->SetValue("Language", "Language", "0");
    g_MacroRecording = 0;
    m_shown.clear();
}

void TestEventEditing::cleanup()
{
    m_page.reset();
    g_MacroRecording = 0;
}

void TestEventEditing::MakePage()
{
    m_page = std::make_unique<Macro>();
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get(), TestSupport::kHangGuardMs));
}

QStringList TestEventEditing::ShownEvents() const
{
    QStringList items;
    for (int row = 0; row < EventRows::Count(Events()); ++row) {
        const MacroItem item = EventRows::Item(Events(), row);
        if (item.text.contains("ms")) {
            items << item.text;
            continue;
        }
        const QString name = item.text == g_MouseLeftName ? QString("L") : item.text;
        items << name + (item.type == 0 ? kDown : kUp);
    }
    return items;
}

void TestEventEditing::SelectMacro(const QString &name)
{
    auto *macros = Child<QListWidget>("listWidgetHong");
    const QList<QListWidgetItem *> found = macros->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    QTest::mouseClick(macros->viewport(), Qt::LeftButton, {}, macros->visualItemRect(found.first()).center());
}

void TestEventEditing::SelectEvent(int row)
{
    if (row < 0)
        return;
    QVERIFY(row < EventRows::Count(Events()));
    EventRows::ClickRow(Events(), row);
    QCOMPARE(EventRows::CurrentRow(Events()), row);
}

// Opens the menu's popup and clicks the item, as a user chooses it.
void TestEventEditing::ChooseFromMenu(int index, const QString &answer)
{
    QComboBox *menu = Menu();
    menu->showPopup();
    QAbstractItemView *view = menu->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window(), TestSupport::kHangGuardMs));
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    if (!answer.isNull())
        AnswerNext(answer);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
}

void TestEventEditing::AnswerNext(const QString &answer)
{
    QTimer::singleShot(0, this, [this, answer] {
        const bool appeared = TestSupport::WithModal([this, answer](QWidget *modal) {
            const bool dialog = qobject_cast<addKey *>(modal) || qobject_cast<AddDelayTime *>(modal);
            const QRect page(m_page->mapToGlobal(QPoint(0, 0)), m_page->size());
            auto *label = modal->findChild<QLabel *>("label");
            m_shown.append({modal->metaObject()->className(), label ? label->text() : QString(), modal->pos(),
                            NoticePosition(page, modal->size(), dialog ? -50 : -100, dialog ? -70 : -50)});
            if (answer.isEmpty()) {
                TestSupport::AnswerModal(modal, "NewHong_2");
                return;
            }
            if (qobject_cast<addKey *>(modal)) {
                QTest::keyClick(modal->windowHandle(), Qt::Key(Qt::Key_A + (answer.at(0).unicode() - 'A')));
            } else if (auto *spin = modal->findChild<QSpinBox *>("spinBox")) {
                spin->selectAll();
                QTest::keyClicks(spin, answer);
            }
            TestSupport::AnswerModal(modal, "NewHong");
        });
        if (!appeared)
            m_shown.append({"nothing", QString(), {}, {}});
    });
}

void TestEventEditing::Act(const QString &action, const QString &answer)
{
    if (action.startsWith("menu")) {
        const int index = action.mid(4).toInt();
        ChooseFromMenu(index, index <= 3 ? answer : QString());
    } else if (action == "amend") {
        AnswerNext(answer);
        QTest::mouseClick(Child<QToolButton>("Amend"), Qt::LeftButton);
    } else if (action == "delete") {
        QTest::mouseClick(Child<QToolButton>("DeleteKey"), Qt::LeftButton);
    } else {
        QFAIL(qPrintable("unknown action " + action));
    }
}

void TestEventEditing::editsKeepTheListAlternating_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("currentAfter");  // -2: whatever the list gives

    const QString A = "A" + kDown, a = "A" + kUp, B = "B" + kDown, C = "C" + kDown, L = "L" + kDown,
                  l = "L" + kUp;
    const QStringList click{A, "10ms", a};
    const QStringList abc{A, "10ms", B, "10ms", C};
    QTest::newRow("press into an empty list") << QStringList() << -1 << "menu1" << "A" << QStringList{A} << -1;
    QTest::newRow("release appended") << QStringList{A} << -1 << "menu2" << "A" << click << -1;
    QTest::newRow("click after the first key") << click << 0 << "menu4" << ""
                                               << QStringList{A, "10ms", L, "10ms", l, "10ms", a} << 0;
    QTest::newRow("click after a delay") << click << 1 << "menu4" << ""
                                         << QStringList{A, "10ms", L, "10ms", l, "10ms", a} << 1;
    QTest::newRow("click after a middle key") << abc << 2 << "menu4" << ""
                                              << QStringList{A, "10ms", B, "10ms", L, "10ms", l, "10ms", C} << 2;
    QTest::newRow("press after the last key") << click << 2 << "menu1" << "B"
                                              << QStringList{A, "10ms", a, "10ms", B} << 2;
    QTest::newRow("press after a middle key") << abc << 2 << "menu2" << "Z"
                                              << QStringList{A, "10ms", B, "10ms", "Z" + kUp, "10ms", C} << 2;
    QTest::newRow("press after a single current key") << QStringList{A} << 0 << "menu1" << "B"
                                                      << QStringList{A, "10ms", B} << 0;
    QTest::newRow("click after a single current key") << QStringList{A} << 0 << "menu4" << ""
                                                      << QStringList{A, "10ms", L, "10ms", l} << 0;
    QTest::newRow("delay replaces the current delay") << click << 1 << "menu3" << "50"
                                                      << QStringList{A, "50ms", a} << 1;
    QTest::newRow("delay replaces the one above a key") << click << 2 << "menu3" << "50"
                                                        << QStringList{A, "50ms", a} << 1;
    QTest::newRow("delay on the first key") << click << 0 << "menu3" << "50" << click << 0;
    QTest::newRow("delete a middle key") << abc << 2 << "delete" << "" << QStringList{A, "10ms", C} << -2;
    QTest::newRow("delete a delay") << abc << 3 << "delete" << "" << QStringList{A, "10ms", C} << -2;
    QTest::newRow("delete the last key") << abc << 4 << "delete" << "" << QStringList{A, "10ms", B} << -2;
    QTest::newRow("delete empties a short list") << click << -1 << "delete" << "" << QStringList() << -2;
    QTest::newRow("amend a release") << click << 2 << "amend" << "Z" << QStringList{A, "10ms", "Z" + kUp} << 2;
    QTest::newRow("amend a delay") << click << 1 << "amend" << "65535" << QStringList{A, "65535ms", a} << 1;
}

// Each edit, then Save and a fresh load of the macro: the list reads back the
// same, so every result keeps the file's alternating shape. The dialogs sit
// 50 px left of and 70 px above the page's centre.
void TestEventEditing::editsKeepTheListAlternating()
{
    QFETCH(QStringList, before);
    QFETCH(int, current);
    QFETCH(QString, action);
    QFETCH(QString, answer);
    QFETCH(QStringList, after);
    QFETCH(int, currentAfter);

    WriteMacro("m", before);
    MakePage();
    SelectMacro("m");
    QCOMPARE(ShownEvents(), before);
    SelectEvent(current);
    QVERIFY(!SaveButton()->isEnabled());

    Act(action, answer);

    QCOMPARE(ShownEvents(), after);
    if (currentAfter != -2)
        QCOMPARE(EventRows::CurrentRow(Events()), currentAfter);
    QCOMPARE(Menu()->currentIndex(), 0);
    QVERIFY(m_page->EventsChanged());
    QVERIFY(SaveButton()->isEnabled());
    for (const Shown &shown : qAsConst(m_shown))
        QCOMPARE(shown.pos, shown.expected);
    QCOMPARE(m_shown.size(), action == "delete" || action == "menu4" ? 0 : 1);

    QTest::mouseClick(SaveButton(), Qt::LeftButton);
    QVERIFY(!m_page->EventsChanged());
    SelectMacro("m");
    QCOMPARE(ShownEvents(), after);
}

void TestEventEditing::cancelledDialogsChangeNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("current");
    QTest::addColumn<bool>("saveBefore");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("key press") << "menu1" << 0 << false << "addKey";
    QTest::newRow("key release, Save enabled") << "menu2" << -1 << true << "addKey";
    QTest::newRow("delay") << "menu3" << 1 << false << "AddDelayTime";
    QTest::newRow("amend a key, Save enabled") << "amend" << 2 << true << "addKey";
    QTest::newRow("amend a delay") << "amend" << 1 << false << "AddDelayTime";
}

void TestEventEditing::cancelledDialogsChangeNothing()
{
    QFETCH(QString, action);
    QFETCH(int, current);
    QFETCH(bool, saveBefore);
    QFETCH(QString, dialog);
    const QStringList click{"A" + kDown, "10ms", "A" + kUp};
    WriteMacro("m", click);
    MakePage();
    SelectMacro("m");
    SelectEvent(current);
    if (saveBefore)
        QTest::mouseClick(Child<QCheckBox>("ReUntilClick"), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(SaveButton()->isEnabled(), saveBefore);

    Act(action, "");

    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(m_shown.first().className, dialog);
    QCOMPARE(ShownEvents(), click);
    QCOMPARE(SaveButton()->isEnabled(), saveBefore);
    QVERIFY(!m_page->EventsChanged());
    QCOMPARE(Menu()->currentIndex(), 0);
}

void TestEventEditing::eventsStopAtSeventyKeys_data()
{
    QTest::addColumn<int>("keys");
    QTest::addColumn<int>("menu");
    QTest::addColumn<bool>("refused");
    QTest::newRow("70 keys, key press") << 70 << 1 << true;
    QTest::newRow("70 keys, click") << 70 << 4 << true;
    QTest::newRow("69 keys, click") << 69 << 8 << true;
    QTest::newRow("69 keys, key press") << 69 << 1 << false;
    QTest::newRow("68 keys, click") << 68 << 5 << false;
}

// The mouse keeps 70 key events per macro: a key or click that would go
// beyond is refused with the notice before any dialog opens.
void TestEventEditing::eventsStopAtSeventyKeys()
{
    QFETCH(int, keys);
    QFETCH(int, menu);
    QFETCH(bool, refused);
    const QStringList before = Keys(keys);
    WriteMacro("m", before);
    MakePage();
    SelectMacro("m");
    SelectEvent(2);

    ChooseFromMenu(menu, refused ? "OK" : menu < 4 ? "B" : QString());

    if (refused) {
        QCOMPARE(ShownEvents(), before);
        QVERIFY(!m_page->EventsChanged());
        QCOMPARE(m_shown.size(), 1);
        QCOMPARE(m_shown.first().className, QString("KeyNumberLimit"));
        QCOMPARE(m_shown.first().pos, m_shown.first().expected);
    } else {
        QCOMPARE(ShownEvents().size(), before.size() + (menu >= 4 ? 4 : 2));
        QVERIFY(m_page->EventsChanged());
    }
    QCOMPARE(Menu()->currentIndex(), 0);
}

void TestEventEditing::amendAndDeleteRefuseWhileRecording()
{
    const QStringList click{"A" + kDown, "10ms", "A" + kUp};
    WriteMacro("m", click);
    MakePage();
    SelectMacro("m");
    SelectEvent(2);
    g_MacroRecording = 1;

    for (const char *button : {"Amend", "DeleteKey"}) {
        AnswerNext("OK");
        QTest::mouseClick(Child<QToolButton>(button), Qt::LeftButton);
    }

    QCOMPARE(m_shown.size(), 2);
    for (const Shown &shown : qAsConst(m_shown)) {
        QCOMPARE(shown.className, QString("ExeIsRun"));
        QCOMPARE(shown.label, PleaseStopText());
        QCOMPARE(shown.pos, shown.expected);
    }
    QCOMPARE(ShownEvents(), click);
    QVERIFY(!m_page->EventsChanged());
    QVERIFY(!SaveButton()->isEnabled());
}

void TestEventEditing::menuWithoutMacroChangesNothing()
{
    WriteMacro("m", {"A" + kDown});
    MakePage();
    QCOMPARE(Child<QListWidget>("listWidgetHong")->currentRow(), -1);

    ChooseFromMenu(4);
    ChooseFromMenu(1, "B");
    QTest::mouseClick(Child<QToolButton>("DeleteKey"), Qt::LeftButton);

    QCOMPARE(m_shown.size(), 1);
    QCOMPARE(EventRows::Count(Events()), 0);
    QVERIFY(!m_page->EventsChanged());
    QVERIFY(!SaveButton()->isEnabled());
    QCOMPARE(Menu()->currentIndex(), 0);
}

VOGM_TEST_MAIN(TestEventEditing)
#include "tst_eventediting.moc"
