// The shipped language files against the registry of texts: every file holds
// every text that a class of the program reads, once, non-empty and on one
// line, and the translations are written in their own script.

#include "keynames.h"
#include "languagereader.h"
#include "languagetags.h"
#include "paths.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct FileTexts {
    LanguageReader::Outcome outcome = LanguageReader::Outcome::Read;  // the worst of all loads
    QMap<QString, QMap<QString, QStringList>> texts;  // element -> tag -> every text given
};

// Reads every declared element of the file of `index` through the reader the
// program uses, collecting each text of each tag.
FileTexts ReadFile(int index)
{
    FileTexts result;
    const QMap<QString, QStringList> elements = LanguageTags::Elements();
    for (auto element = elements.cbegin(); element != elements.cend(); ++element) {
        QMap<QString, QStringList> &seen = result.texts[element.key()];
        TagMap tags;
        for (const QString &tag : element.value())
            tags.insert(tag, [&seen, tag](const QString &text) { seen[tag].append(text); });
        const LanguageReader::Outcome outcome = LanguageReader(element.key(), tags).Load(index);
        if (outcome != LanguageReader::Outcome::Read)
            result.outcome = outcome;
    }
    return result;
}

// Texts that need no translation: numbers, units, the colour channel letters
// R, G and B, and the product name.
bool IsNumberUnitOrName(const QString &text)
{
    QString rest = text;
    rest.remove(QString::fromLatin1(Paths::kProductTitle));
    rest.remove(QRegularExpression("\\b(ms|s|min|Hz|DPI|mm|R|G|B)\\b"));
    for (const QChar c : rest) {
        if (c.isLetter())
            return false;
    }
    return true;
}

bool InRange(const QChar c, ushort first, ushort last)
{
    return c.unicode() >= first && c.unicode() <= last;
}

bool IsHan(const QChar c)
{
    return InRange(c, 0x4E00, 0x9FFF) || InRange(c, 0x3400, 0x4DBF);
}

bool IsOfScript(int index, const QChar c)
{
    switch (index) {
    case 1:
    case 2:
        return IsHan(c);
    case 3:
        return InRange(c, 0xAC00, 0xD7A3) || InRange(c, 0x1100, 0x11FF) || InRange(c, 0x3130, 0x318F);
    case 4:
        return InRange(c, 0x0400, 0x04FF);
    case 5:
        return InRange(c, 0x3040, 0x30FF) || IsHan(c);
    default:
        return false;
    }
}

bool HasCharacterOfScript(int index, const QString &text)
{
    for (const QChar c : text) {
        if (IsOfScript(index, c))
            return true;
    }
    return false;
}

void AddFileRows(int first)
{
    QTest::addColumn<int>("index");
    for (int index = first; index <= 5; ++index)
        QTest::newRow(qPrintable(LanguageFilePath(index))) << index;
}

}  // namespace

class TestLanguageFiles : public QObject
{
    Q_OBJECT
private slots:
    void registryIsWellFormed();
    void everyFileHoldsEveryDeclaredText_data() { AddFileRows(0); }
    void everyFileHoldsEveryDeclaredText();
    void translationsAreWrittenInTheirScript_data() { AddFileRows(1); }
    void translationsAreWrittenInTheirScript();
    void webLinkFileHoldsBothSections();
    void mouseButtonNamesAreDistinctKeyNames_data() { AddFileRows(0); }
    void mouseButtonNamesAreDistinctKeyNames();
    void macroCaptionPrefixesAgree_data() { AddFileRows(0); }
    void macroCaptionPrefixesAgree();
};

void TestLanguageFiles::registryIsWellFormed()
{
    QStringList problems;
    QSet<QString> classes;
    for (const LanguageTags::ClassTexts &entry : LanguageTags::Classes()) {
        if (classes.contains(entry.className))
            problems << entry.className + " is listed twice";
        classes.insert(entry.className);
        if (entry.element.isEmpty() || entry.tags.isEmpty())
            problems << entry.className + " has no element or no tags";
        QStringList tags = entry.tags;
        if (tags.removeDuplicates() != 0)
            problems << entry.className + " lists a tag twice";
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void TestLanguageFiles::everyFileHoldsEveryDeclaredText()
{
    QFETCH(int, index);
    const FileTexts file = ReadFile(index);
    QCOMPARE(file.outcome, LanguageReader::Outcome::Read);

    QStringList problems;
    const QMap<QString, QStringList> elements = LanguageTags::Elements();
    for (auto element = elements.cbegin(); element != elements.cend(); ++element) {
        for (const QString &tag : element.value()) {
            const QString where = element.key() + "/" + tag;
            const QStringList given = file.texts[element.key()][tag];
            if (given.size() != 1) {
                problems << where + QString(" given %1 times").arg(given.size());
                continue;
            }
            const QString &text = given.first();
            if (text.isEmpty())
                problems << where + " is empty";
            else if (text != text.trimmed() || text.contains('\n'))
                problems << where + " is padded or not on one line";
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void TestLanguageFiles::translationsAreWrittenInTheirScript()
{
    QFETCH(int, index);
    const FileTexts file = ReadFile(index);
    QCOMPARE(file.outcome, LanguageReader::Outcome::Read);

    QStringList problems;
    for (auto element = file.texts.cbegin(); element != file.texts.cend(); ++element) {
        for (auto tag = element.value().cbegin(); tag != element.value().cend(); ++tag) {
            for (const QString &text : tag.value()) {
                if (!IsNumberUnitOrName(text) && !HasCharacterOfScript(index, text))
                    problems << element.key() + "/" + tag.key() + ": " + text;
            }
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

// Net.xml: root Profile, an English and a Chinese section with the company
// line and a web address each.
void TestLanguageFiles::webLinkFileHoldsBothSections()
{
    QFile file(Paths::AppFolder() + "/Language/Net.xml");
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QXmlStreamReader reader(&file);
    QVERIFY(reader.readNextStartElement());
    QCOMPARE(reader.qualifiedName().toString(), QString("Profile"));
    QMap<QString, QString> values;  // "section/value" -> text
    while (reader.readNextStartElement()) {
        const QString section = reader.qualifiedName().toString();
        while (reader.readNextStartElement()) {
            const QString name = section + "/" + reader.qualifiedName().toString();
            values.insert(name, reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement));
        }
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));

    QVERIFY(!values.value("English/CompanyName").isEmpty());
    QVERIFY(!values.value("Chinese/CompanyName").isEmpty());
    for (const QString &link : {values.value("English/CompanyWeben"), values.value("Chinese/CompanyWebcn")}) {
        const QUrl url(link, QUrl::StrictMode);
        QVERIFY2(url.isValid() && url.scheme() == "https" && !url.host().isEmpty(), qPrintable(link));
    }
}

// The mouse-button names are event names of macros: one holding "ms" would be
// taken for a delay, one equal to a key name (or to another button's name)
// would be stored as that key.
void TestLanguageFiles::mouseButtonNamesAreDistinctKeyNames()
{
    QFETCH(int, index);
    const FileTexts file = ReadFile(index);
    QStringList seen = KeyNames::AllKeyNames();
    QStringList problems;
    for (const QString &tag : LanguageTags::Numbered("ChooseEvent", 4, 8)) {
        const QString name = file.texts["Macro"][tag].value(0);
        if (name.contains("ms") || seen.contains(name))
            problems << tag + ": " + name;
        seen << name;
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

// The button page finds the rows of a macro the editor deleted by the
// editor's caption prefix: both pages must caption macros alike.
void TestLanguageFiles::macroCaptionPrefixesAgree()
{
    QFETCH(int, index);
    const FileTexts file = ReadFile(index);
    const QStringList page = file.texts["Buttoninterface"]["Macro_"];
    const QStringList editor = file.texts["Macro"]["MacroReal"];
    QCOMPARE(page.size(), 1);
    QCOMPARE(page, editor);
}

VOGM_TEST_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"
