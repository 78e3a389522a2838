#pragma once
// Loading interface texts from the language files.
//
// Six XML files beside the program, one per interface language, hold every
// text a page or dialog shows. The document element is Total; below it one
// element per class (see languagetags.h); below that one element per text,
// named by its tag. A class loads its element when it is built and again on
// every SigChangeLanguage:
//
//     LanguageReader reader("ContainReset", {
//         {"label", PropertyTarget(ui->label)},
//         {"OK", PropertyTarget(ui->OK)},
//         {"Cancel", [this](const QString &text) { cancelText = text; }},
//     });
//     reader.Load(index);
//
// Texts are applied in file order as they are met, so a tag given twice ends
// with its last text. A missing file, element or tag leaves the current text
// as it is. A file whose document element is not Total applies nothing. A
// syntax error, or markup inside a text, stops the load there: the texts
// applied before it stay, the broken text and everything after it are not
// applied. Only the GUI thread loads.
//
// A file is parsed once for all the classes that read it: its texts are kept,
// for every element in file order, with the content they came from, and a
// load of the same content applies them from there.

#include <QHash>
#include <QObject>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class QXmlStreamReader;

// Where one text goes: a widget's text, a tool tip, or a member kept for later.
using TextTarget = std::function<void(const QString &)>;
// Tag name -> target.
using TagMap = QHash<QString, TextTarget>;

// The language file of a language index, relative to the program's folder:
// "/Language/0-English.xml" ... "/Language/5-Japanese.xml"; any index outside
// 0 to 5 gives the English file.
QString LanguageFilePath(int index);

// The stored language index: Macro.ini in the per-user folder, group
// Language, key Language, as decimal text. Missing, empty or not a number
// gives 0. A number outside 0 to 5 is returned as it is (it loads English).
int CurrentLanguageIndex();

// A target that sets a property of `object` (by default "text": labels,
// buttons, check boxes). Does nothing once the object is gone.
TextTarget PropertyTarget(QObject *object, const char *property = "text");

// A target that keeps the text in `member`.
TextTarget StoreTarget(QString *member);

class LanguageReader
{
public:
    enum class Outcome {
        Read,           // the whole file was read
        NoFile,         // the file could not be opened; nothing changed
        NotLabelsFile,  // the document element is not Total; nothing changed
        Stopped,        // a syntax error or markup inside a text; the texts before it stay
    };

    // In debug builds every tag of `tags` must be declared for `element` in
    // the registry (languagetags.h), so the language-file test covers it.
    LanguageReader(const QString &elementName, const TagMap &tagMap);

    // Loads the file of the language index from the program's folder.
    Outcome Load(int index) const;
    // Loads one file; the same procedure, for any path.
    Outcome LoadFile(const QString &path) const;
    // Loads the content of a file already read (never NoFile).
    Outcome LoadContent(QByteArray content) const;

    const QString &Element() const { return element; }

    // Parses that the cache holds (for tests: one per distinct content read).
    static int ParsesMade();

private:
    // The texts of a file as the parse met them.
    struct Text {
        QString element;
        QString tag;
        QString text;
        bool markup;  // the text element holds an element: not a text
    };
    struct ParsedFile {
        bool labelsFile = true;  // the document element is Total
        bool stopped = false;    // a syntax error ends the document after the last text
        QVector<Text> texts;
    };

    static std::shared_ptr<const ParsedFile> Parsed(const QByteArray &content);
    static void ReadLanguageRoot(QXmlStreamReader &reader, ParsedFile *parsed);
    static void ReadLanguageGroup(QXmlStreamReader &reader, const QString &element, ParsedFile *parsed);
    static Text ReadText(QXmlStreamReader &reader, const QString &element);
    static void SkipUnknownElement(QXmlStreamReader &reader);

    QString element;
    TagMap tags;
};
