// The macro page on its own, over a temporary per-user macro folder: the
// macro list, loading a macro's events and loop mode, the change flags, Save,
// the texts and the keys the page swallows.

#include "globals.h"
#include "keynames.h"
#include "languagereader.h"
#include "languagetags.h"
#include "macro.h"
#include "macroini.h"
#include "postmsg.h"
#include "eventrows.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
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

void WriteFile(const QString &fileName, const QByteArray &content)
{
    QFile file(MacroFolder() + "/" + fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

QByteArray ReadFile(const QString &fileName)
{
    QFile file(MacroFolder() + "/" + fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The texts of element Macro in the language file of `index`, by tag.
QMap<QString, QString> MacroTexts(int index)
{
    QMap<QString, QString> texts;
    TagMap tags;
    for (const QString &tag : LanguageTags::TagsOf("Macro"))
        tags.insert(tag, [&texts, tag](const QString &text) { texts[tag] = text; });
    LanguageReader("Macro", tags).Load(index);
    return texts;
}

void StoreLanguage(int index)
{
    MacroIni::GetInstance()->SetValue("Language", "Language", QString::number(index));
}

QImage PictureOf(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

struct Event {
    QString text;
    int type;
    QString icon;
};

}  // namespace

class TestMacroPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void listsRegularFilesByName();
    void selectingShowsTheEventsAndTheLoopMode();
    void loopLineChoosesTheLoopBox_data();
    void loopLineChoosesTheLoopBox();
    void saveWritesTheLoopModeAndAnnouncesIt();
    void saveAnnouncesEventsBeforeLoop();
    void onlyRealChangesEnableSave();
    void saveKeepsTheMacroItStartedWith();
    void failedSaveKeepsItsChanges();
    void saveThroughALinkCreatesNothingOutside();
    void macroDeletedDuringSavesWaitStaysDeleted();
    void saveRefusesWhileRecording();
    void saveWithoutSelectionDoesNothing();
    void arrowKeysLoadTheMacroTheyMakeCurrent();
    void textsComeFromTheLanguageFile();
    void newMacroToolTipOnlyForLanguageFive();
    void mouseButtonItemsFollowTheLanguage();
    void mouseButtonNamesComeFromTheLanguageFile();
    void escapeAndF12StayOnThePage_data();
    void escapeAndF12StayOnThePage();
    void appendsKeepTheListAlternating();
    void picturesOfTheThemeExist();

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
    QToolButton *SaveButton() const { return Child<QToolButton>("Save"); }
    QStringList MacroNames() const;
    QList<Event> ShownEvents() const;
    void ClickMacro(const QString &name);
    void ClickBox(const char *name);
    bool SaveIsGrey() const { return SaveButton()->styleSheet().contains("rgb(127,127,127)"); }

    std::unique_ptr<Macro> m_page;
};

void TestMacroPage::init()
{
    QDir(MacroFolder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFolder()));
    StoreLanguage(0);
    g_MacroRecording = 0;
}

void TestMacroPage::cleanup()
{
    m_page.reset();
    g_MacroRecording = 0;
}

Macro *TestMacroPage::MakePage()
{
    m_page = std::make_unique<Macro>();
    m_page->show();
    if (!QTest::qWaitForWindowExposed(m_page.get(), TestSupport::kHangGuardMs))
        qWarning("macro page not exposed");
    return m_page.get();
}

QStringList TestMacroPage::MacroNames() const
{
    QStringList names;
    for (int row = 0; row < Macros()->count(); ++row)
        names << Macros()->item(row)->text();
    return names;
}

QList<Event> TestMacroPage::ShownEvents() const
{
    const QString dir = TestSupport::AppFolder() + "/Picture/Macro/";
    const QStringList pictures{"MacroDown.png", "MacroUp.png", "MacroTime.png"};
    QList<Event> events;
    for (int row = 0; row < EventRows::Count(Events()); ++row) {
        QString icon = "?";
        for (const QString &picture : pictures) {
            if (PictureOf(EventRows::Icon(Events(), row)) == PictureOf(QIcon(dir + picture)))
                icon = picture;
        }
        events.append({EventRows::Text(Events(), row), EventRows::Type(Events(), row), icon});
    }
    return events;
}

void TestMacroPage::ClickMacro(const QString &name)
{
    const QList<QListWidgetItem *> found = Macros()->findItems(name, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(name));
    QTest::mouseClick(Macros()->viewport(), Qt::LeftButton, {}, Macros()->visualItemRect(found.first()).center());
}

void TestMacroPage::ClickBox(const char *name)
{
    QCheckBox *box = Child<QCheckBox>(name);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() / 2, box->height() / 2));
}

// Only regular, visible files are macros, in name order ignoring case; names
// with "xml" are left out and ".ini" is cut wherever it stands.
void TestMacroPage::listsRegularFilesByName()
{
    for (const char *file : {"B.ini", "a.ini", "C.ini", "notes.xml.ini", "myxmlmacro.ini", ".h.ini", "x.ini.ini",
                                "readme.txt"})
        WriteFile(file, "1\n");
    QVERIFY(QDir(MacroFolder()).mkdir("sub.ini"));
    QVERIFY(QFile::link(MacroFolder() + "/a.ini", MacroFolder() + "/l.ini"));

    MakePage();
    QCOMPARE(MacroNames(), (QStringList{"a", "B", "C", "readme.txt", "x"}));
    QCOMPARE(Macros()->currentRow(), -1);
}

void TestMacroPage::selectingShowsTheEventsAndTheLoopMode()
{
    WriteFile("m.ini", kAClick);
    MakePage();
    ClickMacro("m");

    const QList<Event> events = ShownEvents();
    QCOMPARE(events.size(), 3);
    QCOMPARE(events[0].text, QString("A"));
    QCOMPARE(events[0].type, 0);
    QCOMPARE(events[0].icon, QString("MacroDown.png"));
    QCOMPARE(events[1].text, QString("10ms"));
    QCOMPARE(events[1].type, 0);
    QCOMPARE(events[1].icon, QString("MacroTime.png"));
    QCOMPARE(events[2].text, QString("A"));
    QCOMPARE(events[2].type, 1);
    QCOMPARE(events[2].icon, QString("MacroUp.png"));

    QVERIFY(Child<QCheckBox>("ReUntilLoose")->isChecked());
    QVERIFY(!SaveButton()->isEnabled());
    QVERIFY(SaveIsGrey());
    QVERIFY(!m_page->EventsChanged());
    QVERIFY(!m_page->LoopChanged());
}

void TestMacroPage::loopLineChoosesTheLoopBox_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<int>("count");
    QTest::newRow("17") << QByteArray("17\n") << "ReNumber" << 17;
    QTest::newRow("250") << QByteArray("250\n") << "ReNumber" << 250;
    QTest::newRow("0") << QByteArray("0\n") << "ReNumber" << 1;
    QTest::newRow("251") << QByteArray("251\n") << "ReNumber" << 1;
    QTest::newRow("abc") << QByteArray("abc\n") << "ReNumber" << 1;
    QTest::newRow("empty file") << QByteArray() << "ReNumber" << 1;
    QTest::newRow("253") << QByteArray("253\n") << "ReUntil" << 9;
    QTest::newRow("255") << QByteArray("255\r\n") << "ReUntilClick" << 9;
}

// Each selection shows the loop mode of its own file, also when the macro
// selected before had another one.
void TestMacroPage::loopLineChoosesTheLoopBox()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, checked);
    QFETCH(int, count);
    WriteFile("before.ini", "254\n");
    WriteFile("macro.ini", content);
    MakePage();
    Child<QSpinBox>("NumberEdit")->setValue(9);
    ClickMacro("before");
    QVERIFY(Child<QCheckBox>("ReUntilLoose")->isChecked());

    ClickMacro("macro");
    QVERIFY(Child<QCheckBox>(qPrintable(checked))->isChecked());
    QCOMPARE(Child<QSpinBox>("NumberEdit")->value(), count);
    QVERIFY(!SaveButton()->isEnabled());
    QCOMPARE(EventRows::Count(Events()), 0);
}

void TestMacroPage::saveWritesTheLoopModeAndAnnouncesIt()
{
    WriteFile("m.ini", kAClick);
    MakePage();
    ClickMacro("m");
    QSignalSpy announced(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);

    ClickBox("ReUntilClick");
    QVERIFY(SaveButton()->isEnabled());
    QVERIFY(!SaveIsGrey());
    QTest::mouseClick(SaveButton(), Qt::LeftButton);

    QCOMPARE(ReadFile("m.ini"), QByteArray("255\n0x04 1 0\n10ms\n0x04 1 1\n"));
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.at(0), (QVariantList{"m", 1}));
    QVERIFY(!SaveButton()->isEnabled());
    QVERIFY(SaveIsGrey());
    QVERIFY(!m_page->LoopChanged());
}

void TestMacroPage::saveAnnouncesEventsBeforeLoop()
{
    WriteFile("m.ini", kAClick);
    MakePage();
    ClickMacro("m");
    QSignalSpy announced(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);

    EventRows::SetText(Events(), 0, "B");
    ClickBox("ReUntil");
    QVERIFY(m_page->EventsChanged());
    QTest::mouseClick(SaveButton(), Qt::LeftButton);

    QCOMPARE(ReadFile("m.ini"), QByteArray("253\n0x05 1 0\n10ms\n0x04 1 1\n"));
    QCOMPARE(announced.count(), 2);
    QCOMPARE(announced.at(0), (QVariantList{"m", 0}));
    QCOMPARE(announced.at(1), (QVariantList{"m", 1}));
    QVERIFY(!SaveButton()->isEnabled());
    QVERIFY(!m_page->EventsChanged());
    QVERIFY(!m_page->LoopChanged());
}

// Clicking the checked loop box changes nothing; a count changed and changed
// back is still a change.
void TestMacroPage::onlyRealChangesEnableSave()
{
    WriteFile("m.ini", "1\n");
    MakePage();
    ClickMacro("m");
    ClickBox("ReNumber");
    QVERIFY(Child<QCheckBox>("ReNumber")->isChecked());
    QVERIFY(!SaveButton()->isEnabled());
    QVERIFY(!m_page->LoopChanged());

    QSpinBox *count = Child<QSpinBox>("NumberEdit");
    count->setValue(2);
    count->setValue(1);
    QVERIFY(SaveButton()->isEnabled());
    QVERIFY(m_page->LoopChanged());
}

// A click on another macro while Save waits: the file and the announcement
// are still those of the macro Save started with.
void TestMacroPage::saveKeepsTheMacroItStartedWith()
{
    WriteFile("m1.ini", kAClick);
    WriteFile("m2.ini", "1\n0x05 1 0\n");
    MakePage();
    ClickMacro("m1");
    ClickBox("ReUntilClick");
    QSignalSpy announced(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);

    QTimer::singleShot(0, this, [this] { ClickMacro("m2"); });
    QTest::mouseClick(SaveButton(), Qt::LeftButton);

    QCOMPARE(Macros()->currentItem()->text(), QString("m2"));
    QCOMPARE(ReadFile("m1.ini"), QByteArray("255\n0x04 1 0\n10ms\n0x04 1 1\n"));
    QCOMPARE(ReadFile("m2.ini"), QByteArray("1\n0x05 1 0\n"));
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.at(0), (QVariantList{"m1", 1}));
}

void TestMacroPage::failedSaveKeepsItsChanges()
{
    WriteFile("m.ini", kAClick);
    MakePage();
    ClickMacro("m");
    EventRows::SetText(Events(), 1, "20ms");
    ClickBox("ReUntilClick");
    // The file becomes a folder (a read-only folder would not stop root).
    QVERIFY(QFile::remove(MacroFolder() + "/m.ini"));
    QVERIFY(QDir(MacroFolder()).mkdir("m.ini"));
    QSignalSpy announced(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);
    TestSupport::ModalWatcher notices({{"UpDateWarning", "NewHong"}});

    QTest::mouseClick(SaveButton(), Qt::LeftButton);

    // The user is told, and can save again.
    QCOMPARE(notices.Classes(), QStringList{"UpDateWarning"});
    QCOMPARE(notices.seen.first().text, QString("The macro could not be saved"));
    QVERIFY(SaveButton()->isEnabled());
    QVERIFY(!SaveIsGrey());
    QVERIFY(m_page->EventsChanged());
    QVERIFY(m_page->LoopChanged());
    QCOMPARE(announced.count(), 0);
    QVERIFY(QFileInfo(MacroFolder() + "/m.ini").isDir());
}

// A macro file that is a link out of the macro folder (here one pointing
// nowhere): Save fails as for a folder in its place, and nothing appears
// where the link points.
void TestMacroPage::saveThroughALinkCreatesNothingOutside()
{
    QTemporaryDir elsewhere;
    WriteFile("m.ini", kAClick);
    MakePage();
    ClickMacro("m");
    ClickBox("ReUntilClick");
    QVERIFY(QFile::remove(MacroFolder() + "/m.ini"));
    QVERIFY(QFile::link(elsewhere.filePath("new.txt"), MacroFolder() + "/m.ini"));
    QSignalSpy announced(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);

    TestSupport::ModalWatcher notices({{"UpDateWarning", "NewHong"}});
    QTest::mouseClick(SaveButton(), Qt::LeftButton);

    QCOMPARE(notices.Classes(), QStringList{"UpDateWarning"});
    QVERIFY(SaveButton()->isEnabled());
    QVERIFY(m_page->LoopChanged());
    QCOMPARE(announced.count(), 0);
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    QVERIFY(QFileInfo(MacroFolder() + "/m.ini").isSymLink());
    QCOMPARE(QDir(MacroFolder()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"m.ini"});
}

void TestMacroPage::macroDeletedDuringSavesWaitStaysDeleted()
{
    WriteFile("m.ini", kAClick);
    MakePage();
    ClickMacro("m");
    EventRows::SetText(Events(), 1, "20ms");
    QSignalSpy announced(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);
    TestSupport::ModalWatcher confirm({{"DeleteConfirm", "NewHong"}});
    // Delete is clicked while Save serves events before it writes.
    QTimer::singleShot(0, this, [this] { Child<QToolButton>("DeleteHong")->click(); });

    QTest::mouseClick(SaveButton(), Qt::LeftButton);

    QCOMPARE(confirm.Classes(), QStringList{"DeleteConfirm"});
    QVERIFY(!QFile::exists(MacroFolder() + "/m.ini"));
    QCOMPARE(announced.count(), 0);
    QVERIFY(Child<QListWidget>("listWidgetHong")->findItems("m", Qt::MatchExactly).isEmpty());
}

void TestMacroPage::saveRefusesWhileRecording()
{
    WriteFile("m.ini", kAClick);
    MakePage();
    ClickMacro("m");
    ClickBox("ReUntilClick");
    QSignalSpy announced(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);
    g_MacroRecording = 1;

    QString shown;
    QTimer::singleShot(0, this, [&shown] {
        TestSupport::WithModal([&shown](QWidget *modal) {
            shown = modal->findChild<QLabel *>("label")->text();
            TestSupport::AnswerModal(modal, "NewHong");
        });
    });
    QTest::mouseClick(SaveButton(), Qt::LeftButton);

    QString pleaseStop;
    LanguageReader("EXEIsRun", {{"PleaseStop", StoreTarget(&pleaseStop)}}).Load(0);
    QVERIFY(!pleaseStop.isEmpty());
    QCOMPARE(shown, pleaseStop);
    QCOMPARE(ReadFile("m.ini"), kAClick);
    QVERIFY(SaveButton()->isEnabled());
    QVERIFY(m_page->LoopChanged());
    QCOMPARE(announced.count(), 0);
}

void TestMacroPage::saveWithoutSelectionDoesNothing()
{
    WriteFile("m.ini", kAClick);
    MakePage();
    ClickBox("ReUntilClick");
    QVERIFY(SaveButton()->isEnabled());
    QSignalSpy announced(PostMsg::GetInstance(), &PostMsg::SigUpDataMacro);

    QTest::mouseClick(SaveButton(), Qt::LeftButton);

    QVERIFY(!SaveButton()->isEnabled());
    QVERIFY(SaveIsGrey());
    QCOMPARE(announced.count(), 0);
    QCOMPARE(ReadFile("m.ini"), kAClick);
    QCOMPARE(QDir(MacroFolder()).entryList(QDir::Files), QStringList{"m.ini"});
}

// The list takes the keyboard after a click: a macro made current by the
// arrow keys is loaded as if clicked, so Save writes its own events.
void TestMacroPage::arrowKeysLoadTheMacroTheyMakeCurrent()
{
    WriteFile("a.ini", kAClick);
    WriteFile("b.ini", "3\n0x05 1 0\n");
    MakePage();
    ClickMacro("a");
    QCOMPARE(EventRows::Count(Events()), 3);

    QTest::keyClick(Macros(), Qt::Key_Down);
    QCOMPARE(Macros()->currentItem()->text(), QString("b"));
    QCOMPARE(ShownEvents().size(), 1);
    QCOMPARE(ShownEvents().first().text, QString("B"));
    QCOMPARE(Child<QSpinBox>("NumberEdit")->value(), 3);
    QVERIFY(!SaveButton()->isEnabled());
}

void TestMacroPage::textsComeFromTheLanguageFile()
{
    MakePage();
    const QMap<QString, QString> english = MacroTexts(0);
    const QList<QPair<const char *, const char *>> widgets{
        {"label", "label"},           {"label_2", "label_2"},           {"label_3", "label_3"},
        {"NewHong", "NewHong"},       {"DeleteHong", "DeleteHong"},     {"Amend", "Amend"},
        {"DeleteKey", "DeleteKey"},   {"StartRecord", "StartRecord"},   {"StopRecord", "StopRecord"},
        {"Save", "Save"},             {"DefaultDelay", "DefaultDelay"}, {"ReNumber", "ReNumber"},
        {"AutoInsertDelay", "AutoInsertDelayLabel"}, {"ReUntilLoose", "ReUntilLooseLabel"},
        {"ReUntilClick", "ReUntilClickLabel"},       {"ReUntil", "ReUntilLabel"},
    };
    for (const auto &pair : widgets) {
        QWidget *widget = Child<QWidget>(pair.second);
        QCOMPARE(widget->property("text").toString(), english[pair.first]);
    }
    auto *menu = Child<QComboBox>("ChooseEvent");
    QCOMPARE(menu->count(), 9);
    QCOMPARE(menu->itemText(0), QString());
    for (int item = 1; item <= 8; ++item)
        QCOMPARE(menu->itemText(item), english["ChooseEvent" + QString::number(item)]);
    QCOMPARE(m_page->MacroCaptionPrefix(), english["MacroReal"]);
}

void TestMacroPage::newMacroToolTipOnlyForLanguageFive()
{
    MakePage();
    auto *newMacro = Child<QToolButton>("NewHong");
    QCOMPARE(newMacro->toolTip(), QString());

    StoreLanguage(5);
    m_page->SlotChangeLanguage(5);
    QCOMPARE(newMacro->text(), MacroTexts(5)["NewHong"]);
    QCOMPARE(newMacro->toolTip(), newMacro->text());

    StoreLanguage(0);
    m_page->SlotChangeLanguage(0);
    QCOMPARE(newMacro->toolTip(), QString());
}

// Mouse-button events are shown by the language's names; a change of language
// renames them, so a later Save still stores the mouse button.
void TestMacroPage::mouseButtonItemsFollowTheLanguage()
{
    WriteFile("m.ini", "1\n0x01 4 0\n10ms\n0x01 4 1\n");
    MakePage();
    ClickMacro("m");
    QCOMPARE(EventRows::Text(Events(), 0), MacroTexts(0)["ChooseEvent4"]);

    m_page->SlotChangeLanguage(1);
    const QString chineseLeft = MacroTexts(1)["ChooseEvent4"];
    QCOMPARE(EventRows::Text(Events(), 0), chineseLeft);
    QCOMPARE(EventRows::Text(Events(), 2), chineseLeft);
    QCOMPARE(EventRows::Type(Events(), 2), 1);
    QVERIFY(!m_page->EventsChanged());
    QVERIFY(!SaveButton()->isEnabled());

    ClickBox("ReUntilLoose");
    QTest::mouseClick(SaveButton(), Qt::LeftButton);
    QCOMPARE(ReadFile("m.ini"), QByteArray("254\n0x01 4 0\n10ms\n0x01 4 1\n"));
}

void TestMacroPage::mouseButtonNamesComeFromTheLanguageFile()
{
    g_MouseLeftName.clear();
    MakePage();
    QMap<QString, QString> english = MacroTexts(0);
    QCOMPARE(g_MouseLeftName, english["ChooseEvent4"]);
    QCOMPARE(g_MouseRightName, english["ChooseEvent5"]);
    QCOMPARE(g_MouseMiddleName, english["ChooseEvent6"]);
    QCOMPARE(g_MouseForwardName, english["ChooseEvent7"]);
    QCOMPARE(g_MouseBackName, english["ChooseEvent8"]);
    QVERIFY(!g_MouseLeftName.isEmpty());

    m_page->SlotChangeLanguage(5);
    QCOMPARE(g_MouseBackName, MacroTexts(5)["ChooseEvent8"]);
    QVERIFY(g_MouseBackName != english["ChooseEvent8"]);
}

void TestMacroPage::escapeAndF12StayOnThePage_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("reachesHost");
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false;
    QTest::newRow("F12") << int(Qt::Key_F12) << false;
    QTest::newRow("F11 passes on") << int(Qt::Key_F11) << true;
}

void TestMacroPage::escapeAndF12StayOnThePage()
{
    QFETCH(int, key);
    QFETCH(bool, reachesHost);
    QDialog host;
    auto *page = new Macro(&host);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host, TestSupport::kHangGuardMs));

    // A key the page ignores goes on to the dialog, where Escape would close it.
    struct KeyCounter : QObject {
        int keys = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::KeyPress)
                ++keys;
            return false;
        }
    } counter;
    host.installEventFilter(&counter);
    QTest::keyClick(page, Qt::Key(key));
    QCOMPARE(counter.keys > 0, reachesHost);
    QVERIFY(host.isVisible());
}

void TestMacroPage::appendsKeepTheListAlternating()
{
    WriteFile("m.ini", "1\n");
    MakePage();
    m_page->AppendKeyItem("A", true);
    QCOMPARE(EventRows::Count(Events()), 0);  // no macro selected

    ClickMacro("m");
    m_page->AppendKeyItem("A", true);
    QCOMPARE(EventRows::CurrentRow(Events()), 0);
    m_page->AppendDelayItem(12.6);
    QCOMPARE(EventRows::CurrentRow(Events()), 0);
    m_page->AppendKeyItem("A", false);
    QCOMPARE(EventRows::CurrentRow(Events()), 2);
    const QList<Event> events = ShownEvents();
    QCOMPARE(events.size(), 3);
    QCOMPARE(events[1].text, QString("13ms"));
    QCOMPARE(events[1].icon, QString("MacroTime.png"));
    QCOMPARE(events[2].icon, QString("MacroUp.png"));
    QVERIFY(!m_page->EventsChanged());  // items arrive whole: no item-changed signal
}

void TestMacroPage::picturesOfTheThemeExist()
{
    MakePage();
    QStringList pictures = TestSupport::PicturesNamed(m_page.get());
    pictures << TestSupport::PicturesNamed(Child<QComboBox>("ChooseEvent")->view());
    for (const QString &path : qAsConst(pictures))
        QVERIFY2(QFile::exists(path), qPrintable("a style sheet names a missing picture " + path));
    QVERIFY(pictures.size() > 20);
}

VOGM_TEST_MAIN(TestMacroPage)
#include "tst_macropage.moc"
