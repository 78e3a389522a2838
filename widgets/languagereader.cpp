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
    QBuffer file(&content);
    file.open(QIODevice::ReadOnly | QIODevice::Text);

    bool wrongRoot = false;
    QXmlStreamReader reader(&file);
    reader.readNext();
    while (!reader.atEnd()) {
        if (!reader.isStartElement()) {
            reader.readNext();
        } else if (reader.qualifiedName() == QLatin1String(kRootElement)) {
            ReadLanguageRoot(reader);
        } else {
            wrongRoot = true;
            reader.raiseError(QObject::tr("Not a labels file"));
        }
    }
    if (wrongRoot)
        return Outcome::NotLabelsFile;
    return reader.hasError() ? Outcome::Stopped : Outcome::Read;
}

// The children of Total: our element is read, every other one skipped whole.
void LanguageReader::ReadLanguageRoot(QXmlStreamReader &reader) const
{
    reader.readNext();
    while (!reader.atEnd()) {
        if (reader.isEndElement()) {
            reader.readNext();
            return;
        }
        if (!reader.isStartElement())
            reader.readNext();
        else if (reader.qualifiedName() == element)
            ReadLanguageGroup(reader);
        else
            SkipUnknownElement(reader);
    }
}

// The children of our element: each known tag hands its text to its target.
void LanguageReader::ReadLanguageGroup(QXmlStreamReader &reader) const
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
        const auto target = tags.constFind(reader.qualifiedName().toString());
        if (target == tags.cend()) {
            SkipUnknownElement(reader);
            continue;
        }
        const QString text = reader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        // A text cut short by markup or a syntax error is not a text of the
        // file; it is not applied, and the error ends the load.
        if (reader.hasError())
            return;
        (*target)(text);
        if (reader.isEndElement())
            reader.readNext();
    }
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
