#include "languagereader.h"

#include "languagetags.h"
#include "macroini.h"
#include "paths.h"
#include "wholefile.h"

#include <QBuffer>
#include <QPointer>
#include <QVariant>
#include <QXmlStreamReader>

namespace {

const char kRootElement[] = "Total";

}  // namespace

QString LanguageFilePath(int index)
{
    switch (index) {
    case 1:
        return QStringLiteral("/Language/1-") + QString::fromUtf8("简体中文") + QStringLiteral(".xml");
    case 2:
        return QStringLiteral("/Language/2-") + QString::fromUtf8("繁体中文") + QStringLiteral(".xml");
    case 3:
        return QStringLiteral("/Language/3-Korea.xml");
    case 4:
        return QStringLiteral("/Language/4-Russia.xml");
    case 5:
        return QStringLiteral("/Language/5-Japanese.xml");
    default:
        return QStringLiteral("/Language/0-English.xml");
    }
}

int CurrentLanguageIndex()
{
    bool isNumber = false;
    const int index =
        MacroIni::GetInstance()->Value(QStringLiteral("Language"), QStringLiteral("Language")).toInt(&isNumber, 10);
    return isNumber ? index : 0;
}

TextTarget PropertyTarget(QObject *object, const char *property)
{
    QPointer<QObject> guarded(object);
    return [guarded, property](const QString &text) {
        if (guarded)
            guarded->setProperty(property, text);
    };
}

TextTarget StoreTarget(QString *member)
{
    return [member](const QString &text) { *member = text; };
}

LanguageReader::LanguageReader(const QString &elementName, const TagMap &tagMap)
    : element(elementName), tags(tagMap)
{
#ifndef QT_NO_DEBUG
    for (auto it = tags.cbegin(); it != tags.cend(); ++it) {
        Q_ASSERT_X(LanguageTags::Declares(element, it.key()), "LanguageReader",
                   qPrintable("tag " + it.key() + " of element " + element
                              + " is not declared in languagetags.cpp"));
    }
#endif
}

LanguageReader::Outcome LanguageReader::Load(int index) const
{
    return LoadFile(Paths::AppFolder() + LanguageFilePath(index));
}

LanguageReader::Outcome LanguageReader::LoadFile(const QString &path) const
{
    QByteArray content;
    if (!WholeFile::Read(path, &content))
        return Outcome::NoFile;
    return LoadContent(content);
}

LanguageReader::Outcome LanguageReader::LoadContent(QByteArray content) const
{
    const std::shared_ptr<const ParsedFile> parsed = Parsed(content);
    if (!parsed->labelsFile)
        return Outcome::NotLabelsFile;
    for (const Text &text : parsed->texts) {
        if (text.element != element)
            continue;
        const auto target = tags.constFind(text.tag);
        if (target == tags.cend())
            continue;
        // Markup inside one of our texts ends the load there.
        if (text.markup)
            return Outcome::Stopped;
        (*target)(text.text);
    }
    return parsed->stopped ? Outcome::Stopped : Outcome::Read;
}

namespace {
// Distinct contents kept parsed: the six language files and a few more.
constexpr int kParsedFilesKept = 8;
int g_parsesMade = 0;
}  // namespace

int LanguageReader::ParsesMade()
{
    return g_parsesMade;
}

std::shared_ptr<const LanguageReader::ParsedFile> LanguageReader::Parsed(const QByteArray &content)
{
    static QHash<QByteArray, std::shared_ptr<const ParsedFile>> cache;
    const auto found = cache.constFind(content);
    if (found != cache.cend())
        return found.value();

    QByteArray bytes = content;
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    auto parsed = std::make_shared<ParsedFile>();
    QXmlStreamReader reader(&file);
    reader.readNext();
    while (!reader.atEnd()) {
        if (!reader.isStartElement()) {
            reader.readNext();
        } else if (reader.qualifiedName() == QLatin1String(kRootElement)) {
            ReadLanguageRoot(reader, parsed.get());
        } else {
            parsed->labelsFile = false;
            reader.raiseError(QObject::tr("Not a labels file"));
        }
    }
    parsed->stopped = reader.hasError();
    ++g_parsesMade;
    if (cache.size() >= kParsedFilesKept)
        cache.clear();
    cache.insert(content, parsed);
    return parsed;
}

// The children of Total: each element's texts are kept; anything below them
// that is not a text is skipped whole.
void LanguageReader::ReadLanguageRoot(QXmlStreamReader &reader, ParsedFile *parsed)
{
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            return;
        }
        if (!reader.isStartElement())
            reader.readNext();
        else
            ReadLanguageGroup(reader, reader.qualifiedName().toString(), parsed);
    }
}

// The children of one element: its texts, in file order.
void LanguageReader::ReadLanguageGroup(QXmlStreamReader &reader, const QString &element, ParsedFile *parsed)
{
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            return;
        }
        if (!reader.isStartElement()) {
            reader.readNext();
            continue;
        }
        Text text = ReadText(reader, element);
        // A text cut short by a syntax error is not a text of the file.
        if (reader.hasError())
            return;
        parsed->texts.append(std::move(text));
    }
}

// One text element, read the way QXmlStreamReader::readElementText reads it
// (characters and entity references, comments skipped), noting markup inside
// instead of stopping at it: only the classes that read this tag stop there.
LanguageReader::Text LanguageReader::ReadText(QXmlStreamReader &reader, const QString &element)
{
    Text text{element, reader.qualifiedName().toString(), QString(), false};
    int depth = 1;
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            if (--depth == 0)
                break;
            continue;
        }
        if (reader.isStartElement()) {
            text.markup = true;
            ++depth;
        } else if (depth == 1 && (reader.isCharacters() || reader.isEntityReference())) {
            text.text += reader.text();
        }
        reader.readNext();
    }
    return text;
}

// Skips the current element with everything inside it and leaves the reader on
// the token after its end tag. Counts the depth instead of recursing, so no
// nesting depth in a file can exhaust the stack.
void LanguageReader::SkipUnknownElement(QXmlStreamReader &reader)
{
    int depth = 1;
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            if (--depth == 0)
                return;
        } else {
            if (reader.isStartElement())
                ++depth;
            reader.readNext();
        }
    }
}
