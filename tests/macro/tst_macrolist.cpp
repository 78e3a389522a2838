// The macro list's own operations over a temporary macro folder: the name
// dialog, New, Rename, Delete and the list's context menu, each driven through
// the real widgets and the real modal dialogs.

#include "globals.h"
#include "languagereader.h"
#include "macrokit.h"
#include "macro.h"
#include "macroini.h"
#include "noticedialog.h"
#include "postmsg.h"
#include "questiondialog.h"
#include "eventrows.h"
#include "testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSpinBox>
#include <QTextCodec>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

const QByteArray kAClick = "254\n0x04 1 0\n10ms\n0x04 1 1\n";

QString MacroFolder()
{
    return TestSupport::BaseFolder() + "/usersetting/MacroPage";
}

QString MacroPath(const QString &name)
{
    return MacroFolder() + "/" + name + ".ini";
}

void WriteMacro(const QString &name, const QByteArray &content)
{
    QFile file(MacroPath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString Text(const char *element, const char *tag)
{
    QString text;
    LanguageReader(element, {{tag, StoreTarget(&text)}}).Load(CurrentLanguageIndex());
    return text;
}

// Types `text` key by key; characters QTest has no key for come as key
// presses that carry only their text, as an input method gives them.
void Type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

}  // namespace

using namespace MacroKit;

class TestMacroList : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void nameRuleAsTyped_data();
    void nameRuleAsTyped();
    void nameDialogAnswers_data();
    void nameDialogAnswers();
    void nameDialogLooksLikeTheNotices();

    void newMacroMakesAnEmptyFile();
    void newRefusesATakenName_data();
    void newRefusesATakenName();
    void renameMovesTheFileFirst_data();
    void renameMovesTheFileFirst();
    void deleteRemovesTheFileFirst_data();
    void deleteRemovesTheFileFirst();
    void newAndDeleteWaitForTheRecording();
    void rightPressLoadsTheMacroBeforeTheMenu();
    void contextMenuEntries_data();
    void contextMenuEntries();
    void fullListOffersImportOnItsItems();

private:
    Macro *MakePage();
    template <typename T>
    T *Child(const char *name) const
    {
        T *child = m_page->findChild<T *>(name);
        if (!child)
            qFatal("no child %s", name);
        return child;
    }
    QListWidget *Macros() const { return Child<QListWidget>("listWidgetHong"); }
    QListView *Events() const { return Child<QListView>("listWidgetKey"); }
    QStringList MacroNames() const;
    QStringList EventTexts() const;
    void ClickMacro(const QString &name);
    // A right press on the list, through the window as a mouse would give it.
    void RightPress(const QPoint &onViewport);
    QPoint ItemCenter(const QString &name) const;

    std::unique_ptr<Macro> m_page;
};

void TestMacroList::initTestCase()
{
    // Names are counted in bytes of the local 8-bit encoding.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestMacroList::init()
{
    QDir(MacroFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFolder()));
    MacroIni::GetInstance()->SetValue("Language", "Language", "0");
    g_MacroRecording = 0;
}

void TestMacroList::cleanup()
{
    m_page.reset();
    g_MacroRecording = 0;
}

Macro *TestMacroList::MakePage()
{
    m_page = std::make_unique<Macro>();
    m_page->show();
    if (!QTest::qWaitForWindowExposed(m_page.get(), TestSupport::kHangGuardMs))
        qWarning("macro page not exposed");
    return m_page.get();
}

QStringList TestMacroList::MacroNames() const
{
    QStringList names;
    for (int row = 0; row < Macros()->count(); ++row)
        names << Macros()->item(row)->text();
    return names;
}

QStringList TestMacroList::EventTexts() const
{
    return EventRows::Texts(Events());
}

QPoint TestMacroList::ItemCenter(const QString &name) const
{
    const QList<QListWidgetItem *> found = Macros()->findItems(name, Qt::MatchExactly);
    if (found.size() != 1)
        qFatal("no single item %s", qPrintable(name));
    return Macros()->visualItemRect(found.first()).center();
}

void TestMacroList::ClickMacro(const QString &name)
{
    QTest::mouseClick(Macros()->viewport(), Qt::LeftButton, {}, ItemCenter(name));
}

void TestMacroList::RightPress(const QPoint &onViewport)
{
    QWidget *viewport = Macros()->viewport();
    QWindow *window = m_page->windowHandle();
    const QPoint inWindow = viewport->mapTo(m_page.get(), onViewport);
    QTest::mousePress(window, Qt::RightButton, {}, inWindow);
    QTest::mouseRelease(window, Qt::RightButton, {}, inWindow);
}

// ---- the name dialog ------------------------------------------------------------------------

void TestMacroList::nameRuleAsTyped_data()
{
    QTest::addColumn<QStringList>("typed");  // each entry typed key by key; "paste:" entries pasted
    QTest::addColumn<QStringList>("shown");  // the line after each entry
    const QString cjk = QString::fromUtf8("宏");
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");  // four UTF-8 bytes, a surrogate pair
    QTest::newRow("blank typed at the end goes") << QStringList{"ab", " ", "c"} << QStringList{"ab", "ab", "abc"};
    QTest::newRow("pasted blanks stay") << QStringList{"paste:a b c"} << QStringList{"a b c"};
    QTest::newRow("pasted text ending in a blank") << QStringList{"paste:a b "} << QStringList{"ab"};
    QTest::newRow("31st character dropped") << QStringList{QString(30, 'a'), "b"}
                                            << QStringList{QString(30, 'a'), QString(30, 'a')};
    QTest::newRow("CJK: ten fit") << QStringList{cjk.repeated(11)} << QStringList{cjk.repeated(10)};
    QTest::newRow("slash and backslash dropped") << QStringList{"a/b", "\\c"} << QStringList{"ab", "abc"};
    QTest::newRow("pasted control characters dropped") << QStringList{"paste:a\tb\nc\x7f"} << QStringList{"abc"};
    QTest::newRow("never half a surrogate pair") << QStringList{"paste:" + face.repeated(8)}
                                                 << QStringList{face.repeated(7)};
}

void TestMacroList::nameRuleAsTyped()
{
    QFETCH(QStringList, typed);
    QFETCH(QStringList, shown);
    QuestionDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog, TestSupport::kHangGuardMs));
    auto *line = dialog.findChild<QLineEdit *>("lineEdit");
    for (int i = 0; i < typed.size(); ++i) {
        if (typed[i].startsWith("paste:")) {
            QApplication::clipboard()->setText(typed[i].mid(6));
            QTest::keyClick(line, Qt::Key_V, Qt::ControlModifier);
        } else {
            Type(line, typed[i]);
        }
        QCOMPARE(line->text(), shown[i]);
        QCOMPARE(line->cursorPosition(), line->text().size());
    }
}

void TestMacroList::nameDialogAnswers_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("answer");  // a child to click, or empty for Escape
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QString>("result");
    QTest::newRow("OK") << "m1" << "NewHong" << true << "m1";
    QTest::newRow("OK with nothing") << "" << "NewHong" << true << "";
    QTest::newRow("Cancel") << "m1" << "NewHong_2" << true << "";
    QTest::newRow("close button") << "m1" << "CloseButton" << true << "";
    QTest::newRow("Escape") << "m1" << "" << true << "";
    // Names the folder listing would hide or rename at the next start.
    QTest::newRow("OK with xml") << "myxml" << "NewHong" << false << "";
    QTest::newRow("OK with .ini") << "a.ini" << "NewHong" << false << "";
    QTest::newRow("OK with a leading dot") << ".m" << "NewHong" << false << "";
}

void TestMacroList::nameDialogAnswers()
{
    QFETCH(QString, typed);
    QFETCH(QString, answer);
    QFETCH(bool, closes);
    QFETCH(QString, result);
    QuestionDialog dialog;
    bool stillOpen = false;
    QString selected;
    TestSupport::ModalWatcher notices({{"UpDateWarning", "NewHong"}}, {"QuestionDialog"});
    ModalScript script({[&](QWidget *modal) {
        auto *line = modal->findChild<QLineEdit *>("lineEdit");
        QTest::keyClicks(line, typed);
        TestSupport::AnswerModal(modal, answer);
        stillOpen = modal->isVisible();
        selected = line->selectedText();
        if (stillOpen)
            TestSupport::AnswerModal(modal, "NewHong_2");
    }});
    dialog.exec();
    QCOMPARE(script.seen, QStringList{"QuestionDialog"});
    QCOMPARE(stillOpen, !closes);
    if (!closes) {
        QCOMPARE(selected, typed);
        // The rule the name breaks is told.
        QCOMPARE(notices.Classes(), QStringList{"UpDateWarning"});
        QCOMPARE(notices.seen.first().text, Text("Question", "NameRefused"));
        QVERIFY(!notices.seen.first().text.isEmpty());
    } else {
        QVERIFY(notices.seen.isEmpty());
    }
    QCOMPARE(dialog.resultText, result);
}

void TestMacroList::nameDialogLooksLikeTheNotices()
{
    QuestionDialog dialog;
    const Qt::WindowFlags notice = NoticeDialog::NoticeWindowFlags();
    QCOMPARE(dialog.windowFlags() & notice, notice);
    QCOMPARE(dialog.size(), QSize(300, 140));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    for (const QString &picture : TestSupport::PicturesNamed(&dialog))
        QVERIFY2(QFile::exists(picture), qPrintable(picture));
    QVERIFY(TestSupport::PicturesNamed(&dialog).size() >= 5);

    auto *label = dialog.findChild<QLabel *>("label");
    for (int language : {0, 4}) {
        MacroIni::GetInstance()->SetValue("Language", "Language", QString::number(language));
        PostMsg::GetInstance()->EmitChangeLanguage(language);
        dialog.SetLabelMode(0);
        QCOMPARE(label->text(), Text("Question", "label"));
        dialog.SetLabelMode(1);
        QCOMPARE(label->text(), Text("Question", "label_2"));
        QCOMPARE(dialog.findChild<QToolButton *>("NewHong")->text(), Text("Question", "NewHong"));
        QCOMPARE(dialog.findChild<QToolButton *>("NewHong_2")->text(), Text("Question", "NewHong_2"));
        QVERIFY(!label->text().isEmpty());
    }
}

// ---- New, Rename, Delete -------------------------------------------------------------------

void TestMacroList::newMacroMakesAnEmptyFile()
{
    WriteMacro("a", kAClick);
    MakePage();
    ClickMacro("a");
    QCOMPARE(EventTexts().size(), 3);
    QVERIFY(Child<QCheckBox>("ReUntilLoose")->isChecked());
    HubSignals hub;

    ModalScript script({TypeAndConfirm("m1")});
    QTest::mouseClick(Child<QToolButton>("NewHong"), Qt::LeftButton);

    QCOMPARE(script.seen, QStringList{"QuestionDialog"});
    QCOMPARE(ReadFile(MacroPath("m1")), QByteArray());
    QCOMPARE(MacroNames(), (QStringList{"a", "m1"}));
    QCOMPARE(Macros()->currentItem()->text(), QString("m1"));
    QCOMPARE(EventTexts(), QStringList());
    QVERIFY(Child<QCheckBox>("ReNumber")->isChecked());
    QCOMPARE(Child<QSpinBox>("NumberEdit")->value(), 1);
    QVERIFY(m_page->LoopChanged());  // the loop box changed from the one shown before
    QCOMPARE(hub.Emitted(), QStringList());
    QCOMPARE(ReadFile(MacroPath("a")), kAClick);
}

void TestMacroList::newRefusesATakenName_data()
{
    QTest::addColumn<QString>("taken");  // how "m1" is taken before New
    QTest::newRow("listed") << "listed";
    QTest::newRow("link to a file") << "link";
    QTest::newRow("link to nothing") << "dangling";
    QTest::newRow("hidden from the list by a later change") << "late file";
}

// Any entry of the name in the folder counts as taken, and nothing of it is
// emptied or followed.
void TestMacroList::newRefusesATakenName()
{
    QFETCH(QString, taken);
    const QString target = TestSupport::BaseFolder() + "/target.ini";
    {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kAClick);
    }
    if (taken == "listed")
        WriteMacro("m1", kAClick);
    else if (taken == "link")
        QVERIFY(QFile::link(target, MacroPath("m1")));
    else if (taken == "dangling")
        QVERIFY(QFile::link(MacroFolder() + "/nowhere", MacroPath("m1")));
    MakePage();
    if (taken == "late file")
        WriteMacro("m1", kAClick);
    const QStringList listed = MacroNames();
    const QStringList entries = QDir(MacroFolder()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    HubSignals hub;

    ModalScript script({TypeAndConfirm("m1"), Click("NewHong")});
    QTest::mouseClick(Child<QToolButton>("NewHong"), Qt::LeftButton);

    QCOMPARE(script.seen, (QStringList{"QuestionDialog", "SameMacro"}));
    QCOMPARE(MacroNames(), listed);
    QCOMPARE(QDir(MacroFolder()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot), entries);
    QCOMPARE(ReadFile(target), kAClick);
    if (taken != "link" && taken != "dangling")
        QCOMPARE(ReadFile(MacroPath("m1")), kAClick);
    QCOMPARE(hub.Emitted(), QStringList());
}

void TestMacroList::renameMovesTheFileFirst_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("obstacle");  // what stands in the way, if anything
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<bool>("renamed");
    QTest::newRow("free name") << "m2" << "" << QStringList{"QuestionDialog"} << true;
    QTest::newRow("its own name") << "m1" << "" << QStringList{"QuestionDialog", "SameMacro"} << false;
    QTest::newRow("another macro's name") << "b" << "" << QStringList{"QuestionDialog", "SameMacro"} << false;
    QTest::newRow("a folder m2.ini") << "m2" << "folder" << QStringList{"QuestionDialog", "SameMacro"} << false;
    QTest::newRow("its file is gone") << "m2" << "no file" << QStringList{"QuestionDialog"} << false;
    QTest::newRow("cancelled") << "" << "" << QStringList{"QuestionDialog"} << false;
}

void TestMacroList::renameMovesTheFileFirst()
{
    QFETCH(QString, newName);
    QFETCH(QString, obstacle);
    QFETCH(QStringList, dialogs);
    QFETCH(bool, renamed);
    WriteMacro("m1", kAClick);
    WriteMacro("b", "1\n");
    MakePage();
    ClickMacro("m1");
    if (obstacle == "folder")
        QVERIFY(QDir(MacroFolder()).mkdir("m2.ini"));
    if (obstacle == "no file")
        QVERIFY(QFile::remove(MacroPath("m1")));
    const QStringList shownEvents = EventTexts();
    HubSignals hub;

    ModalScript script({newName.isEmpty() ? Click("NewHong_2") : TypeAndConfirm(newName), Click("NewHong")});
    m_page->RenameMacro();

    QCOMPARE(script.seen, dialogs);
    QCOMPARE(EventTexts(), shownEvents);
    if (renamed) {
        QCOMPARE(MacroNames(), (QStringList{"b", "m2"}));
        QCOMPARE(Macros()->currentItem()->text(), QString("m2"));
        QVERIFY(!QFile::exists(MacroPath("m1")));
        QCOMPARE(ReadFile(MacroPath("m2")), kAClick);
        QCOMPARE(hub.Emitted(), QStringList{"SigMacroRename"});
        QCOMPARE(hub.Arguments("SigMacroRename"), (QList<QVariant>{"m1", "m2"}));
    } else {
        QCOMPARE(MacroNames(), (QStringList{"b", "m1"}));
        QCOMPARE(Macros()->currentItem()->text(), QString("m1"));
        if (obstacle != "no file")
            QCOMPARE(ReadFile(MacroPath("m1")), kAClick);
        QVERIFY(obstacle == "folder" ? QFileInfo(MacroPath("m2")).isDir() : !QFile::exists(MacroPath("m2")));
        QCOMPARE(hub.Emitted(), QStringList());
    }
}

void TestMacroList::deleteRemovesTheFileFirst_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("confirmed") << "" << QStringList{"DeleteConfirm"} << true;
    QTest::newRow("file already gone") << "no file" << QStringList{"DeleteConfirm"} << true;
    QTest::newRow("not confirmed") << "not confirmed" << QStringList{"DeleteConfirm"} << false;
    QTest::newRow("file cannot go") << "folder" << QStringList{"DeleteConfirm"} << false;
    QTest::newRow("nothing selected") << "no selection" << QStringList() << false;
}

void TestMacroList::deleteRemovesTheFileFirst()
{
    QFETCH(QString, situation);
    QFETCH(QStringList, dialogs);
    QFETCH(bool, deleted);
    WriteMacro("a", "1\n");
    WriteMacro("m1", kAClick);
    WriteMacro("z", "1\n");
    MakePage();
    if (situation != "no selection")
        ClickMacro("m1");
    if (situation == "no file" || situation == "folder")
        QVERIFY(QFile::remove(MacroPath("m1")));
    if (situation == "folder") {
        QVERIFY(QDir(MacroFolder()).mkpath("m1.ini/inside"));
    }
    const QStringList shownEvents = EventTexts();
    HubSignals hub;

    ModalScript script({Click(situation == "not confirmed" ? "CloseButton" : "NewHong")});
    QTest::mouseClick(Child<QToolButton>("DeleteHong"), Qt::LeftButton);
    QTest::qWait(50);  // a dialog, if one were to open, has had its chance

    QCOMPARE(script.seen, dialogs);
    if (deleted) {
        QCOMPARE(MacroNames(), (QStringList{"a", "z"}));
        QCOMPARE(Macros()->currentRow(), -1);
        QCOMPARE(EventTexts(), QStringList());
        QVERIFY(!QFileInfo::exists(MacroPath("m1")));
        QCOMPARE(hub.Emitted(), QStringList{"SigDeleteMacroButton"});
        QCOMPARE(hub.Arguments("SigDeleteMacroButton"),
                 QList<QVariant>{m_page->MacroCaptionPrefix() + "m1"});
        QVERIFY(!m_page->MacroCaptionPrefix().isEmpty());
    } else {
        QCOMPARE(MacroNames(), (QStringList{"a", "m1", "z"}));
        QCOMPARE(EventTexts(), shownEvents);
        QCOMPARE(hub.Emitted(), QStringList());
        if (situation != "folder")
            QCOMPARE(ReadFile(MacroPath("m1")), kAClick);
    }
}

void TestMacroList::newAndDeleteWaitForTheRecording()
{
    WriteMacro("m1", kAClick);
    MakePage();
    ClickMacro("m1");
    g_MacroRecording = 1;
    HubSignals hub;
    QString pleaseStop;
    LanguageReader("EXEIsRun", {{"PleaseStop", StoreTarget(&pleaseStop)}}).Load(0);
    QVERIFY(!pleaseStop.isEmpty());

    for (const char *button : {"NewHong", "DeleteHong"}) {
        QString shown;
        ModalScript script({[&shown](QWidget *modal) {
            shown = modal->findChild<QLabel *>("label")->text();
            TestSupport::AnswerModal(modal, "NewHong");
        }});
        QTest::mouseClick(Child<QToolButton>(button), Qt::LeftButton);
        QCOMPARE(script.seen, QStringList{"ExeIsRun"});
        QCOMPARE(shown, pleaseStop);
    }
    QCOMPARE(MacroNames(), QStringList{"m1"});
    QCOMPARE(ReadFile(MacroPath("m1")), kAClick);
    QCOMPARE(QDir(MacroFolder()).entryList(QDir::Files), QStringList{"m1.ini"});
    QCOMPARE(hub.Emitted(), QStringList());
}

// The menu acts on the current macro; a right press makes the pressed macro
// current and shown before the menu opens, so what the menu does and what a
// later Save writes concern the macro on screen.
void TestMacroList::rightPressLoadsTheMacroBeforeTheMenu()
{
    WriteMacro("m1", kAClick);
    WriteMacro("m2", "253\n0x05 1 0\n");
    MakePage();
    ClickMacro("m1");
    QCOMPARE(EventTexts().size(), 3);

    QStringList eventsWhenMenuOpened;
    QString currentWhenMenuOpened;
    bool loopWhenMenuOpened = false;
    QTimer::singleShot(0, this, [&] {
        QVERIFY(TestSupport::WaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }));
        eventsWhenMenuOpened = EventTexts();
        currentWhenMenuOpened = Macros()->currentItem()->text();
        loopWhenMenuOpened = Child<QCheckBox>("ReUntil")->isChecked();
        QApplication::activePopupWidget()->close();
    });
    RightPress(ItemCenter("m2"));

    QCOMPARE(currentWhenMenuOpened, QString("m2"));
    QVERIFY(Macros()->currentItem()->isSelected());
    QCOMPARE(eventsWhenMenuOpened, QStringList{"B"});
    QVERIFY(loopWhenMenuOpened);
    QVERIFY(!Child<QToolButton>("Save")->isEnabled());
}

void TestMacroList::contextMenuEntries_data()
{
    QTest::addColumn<bool>("onItem");
    QTest::addColumn<QStringList>("tags");  // the entries' texts by their tags of element Macro
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("opens");  // the dialog the chosen entry opens
    const QStringList onItem{"Key1", "Key2", "Key3", "Key5"};
    const QStringList elsewhere{"Key4", "Key5"};
    QTest::newRow("item: export") << true << onItem << 0 << "QFileDialog";
    QTest::newRow("item: rename") << true << onItem << 1 << "QuestionDialog";
    QTest::newRow("item: delete") << true << onItem << 2 << "DeleteConfirm";
    QTest::newRow("item: import") << true << onItem << 3 << "QFileDialog";
    QTest::newRow("elsewhere: new") << false << elsewhere << 0 << "QuestionDialog";
    QTest::newRow("elsewhere: import") << false << elsewhere << 1 << "QFileDialog";
}

void TestMacroList::contextMenuEntries()
{
    QFETCH(bool, onItem);
    QFETCH(QStringList, tags);
    QFETCH(int, chosen);
    QFETCH(QString, opens);
    WriteMacro("m1", kAClick);
    MakePage();

    QStringList texts;
    QTimer::singleShot(0, this, [&] {
        QVERIFY(TestSupport::WaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        for (QAction *action : menu->actions())
            texts << action->text();
        menu->setActiveAction(menu->actions().value(chosen));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    ModalScript script({Click(QString())});  // Escape
    const QPoint below(Macros()->viewport()->width() / 2, Macros()->viewport()->height() - 5);
    RightPress(onItem ? ItemCenter("m1") : below);

    QStringList expected;
    for (const QString &tag : tags)
        expected << Text("Macro", qPrintable(tag));
    QCOMPARE(texts, expected);
    QVERIFY(TestSupport::WaitFor([&] { return !script.seen.isEmpty(); }));
    QCOMPARE(script.seen, QStringList{opens});
    QCOMPARE(MacroNames(), QStringList{"m1"});
}

// Thirty macros leave the list no empty area to press; Import is on the
// item menu all the same.
void TestMacroList::fullListOffersImportOnItsItems()
{
    for (int i = 1; i <= 30; ++i)
        WriteMacro(QString("macro %1").arg(i, 2, 10, QLatin1Char('0')), kAClick);
    MakePage();
    QListWidget *list = Macros();
    QVERIFY(list->visualItemRect(list->item(list->count() - 1)).bottom() >= list->viewport()->height());

    QStringList texts;
    QTimer::singleShot(0, this, [&] {
        QVERIFY(TestSupport::WaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        for (QAction *action : menu->actions())
            texts << action->text();
        menu->setActiveAction(menu->actions().constLast());
        const QImage shot = TestSupport::WithPopup(m_page.get(), menu);
        menu->close();
        QVERIFY(TestSupport::SaveShot(shot, "macro-list-30-item-menu.png"));
    });
    RightPress(ItemCenter("macro 12"));

    QCOMPARE(texts.value(3), Text("Macro", "Key5"));
}

VOGM_TEST_MAIN(TestMacroList)
#include "tst_macrolist.moc"
