// The macro page on its own, over a temporary per-user folder.

#include "keynames.h"
#include "languagereader.h"
#include "languagetags.h"
#include "macro.h"
#include "testsupport.h"

#include <QtTest>

namespace {

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

}  // namespace

class TestMacroPage : public QObject
{
    Q_OBJECT
private slots:
    void mouseButtonNamesComeFromTheLanguageFile();
};

void TestMacroPage::mouseButtonNamesComeFromTheLanguageFile()
{
    g_MouseLeftName.clear();
    Macro page;
    QMap<QString, QString> english = MacroTexts(0);
    QCOMPARE(g_MouseLeftName, english["ChooseEvent4"]);
    QCOMPARE(g_MouseRightName, english["ChooseEvent5"]);
    QCOMPARE(g_MouseMiddleName, english["ChooseEvent6"]);
    QCOMPARE(g_MouseForwardName, english["ChooseEvent7"]);
    QCOMPARE(g_MouseBackName, english["ChooseEvent8"]);
    QVERIFY(!g_MouseLeftName.isEmpty());

    page.SlotChangeLanguage(5);
    QCOMPARE(g_MouseBackName, MacroTexts(5)["ChooseEvent8"]);
    QVERIFY(g_MouseBackName != english["ChooseEvent8"]);
}

VOGM_TEST_MAIN(TestMacroPage)
#include "tst_macropage.moc"
