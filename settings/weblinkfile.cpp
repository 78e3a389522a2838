#include "weblinkfile.h"

#include "paths.h"
#include "wholefile.h"

#include <QBuffer>
#include <QObject>
#include <QXmlStreamReader>

namespace {

const char kRoot[] = "Profile";
const char kWebSection[] = "Web";
const char kEnglishSection[] = "English";
const char kChineseSection[] = "Chinese";
const char kCompanyName[] = "CompanyName";
const char kChineseLink[] = "CompanyWebcn";
const char kEnglishLink[] = "CompanyWeben";

bool IsChinese(int language)
{
    return language == 1 || language == 2;
}

// The languages whose link comes from CompanyWeben; Japanese has none.
bool TakesEnglishLink(int language)
{
    return language == 0 || language == 3 || language == 4;
}

}  // namespace

WebLinkFile::WebLinkFile(int languageIndex, TextTarget companyLineTarget, TextTarget webLinkTarget)
    : language(languageIndex), companyLine(std::move(companyLineTarget)), webLink(std::move(webLinkTarget))
{
}

WebLinkFile::~WebLinkFile() = default;

QString WebLinkFile::Path()
{
    return Paths::AppFolder() + QStringLiteral("/Language/Net.xml");
}

WebLinkFile::Outcome WebLinkFile::Load(const QString &path)
{
    QByteArray content;
    if (!WholeFile::Read(path, &content))
        return Outcome::NoFile;
    return LoadContent(content);
}

WebLinkFile::Outcome WebLinkFile::LoadContent(QByteArray content)
{
    QBuffer file(&content);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    Reader = std::make_unique<QXmlStreamReader>(&file);
    const Outcome outcome = ReadDocument();
    Reader.reset();  // it reads from the buffer of this call
    return outcome;
}

WebLinkFile::Outcome WebLinkFile::ReadDocument()
{
    while (!Reader->atEnd() && !Reader->isStartElement())
        Reader->readNext();
    if (Reader->atEnd())
        return Outcome::Stopped;  // empty, or broken before any element
    if (Reader->qualifiedName() != QLatin1String(kRoot)) {
        Reader->raiseError(QObject::tr("Not a labels file"));
        return Outcome::NotProfile;
    }
    ReadNetRoot();
    return Reader->hasError() ? Outcome::Stopped : Outcome::Read;
}

bool WebLinkFile::IsReadSection(const QString &name) const
{
    const char *group = IsChinese(language) ? kChineseSection : kEnglishSection;
    return name == QLatin1String(kWebSection) || name == QLatin1String(group);
}

const TextTarget *WebLinkFile::TargetOf(const QString &value) const
{
    if (value == QLatin1String(kCompanyName))
        return &companyLine;
    if (value == QLatin1String(kChineseLink) || value == QLatin1String(kEnglishLink))
        return &webLink;
    return nullptr;
}

bool WebLinkFile::Applies(const QString &value) const
{
    if (value == QLatin1String(kChineseLink))
        return IsChinese(language);
    if (value == QLatin1String(kEnglishLink))
        return TakesEnglishLink(language);
    return true;
}

// The children of Profile: the Web section and the language's group are read,
// every other child skipped whole.
void WebLinkFile::ReadNetRoot()
{
    Reader->readNext();
    while (!Reader->atEnd()) {
        if (Reader->isEndElement()) {
            Reader->readNext();
            return;
        }
        if (!Reader->isStartElement())
            Reader->readNext();
        else if (IsReadSection(Reader->qualifiedName().toString()))
            ReadNetGroup();
        else
            SkipUnknownElement();
    }
}

// The values of one section, each applied as soon as it is read.
void WebLinkFile::ReadNetGroup()
{
    Reader->readNext();
    while (!Reader->atEnd()) {
        if (Reader->isEndElement()) {
            Reader->readNext();
            return;
        }
        if (!Reader->isStartElement()) {
            Reader->readNext();
            continue;
        }
        const QString name = Reader->qualifiedName().toString();
        const TextTarget *target = TargetOf(name);
        if (!target) {
            SkipUnknownElement();
            continue;
        }
        const QString text = Reader->readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        // A value cut short by markup or a syntax error is not applied, and the
        // error ends the reading.
        if (Reader->hasError())
            return;
        if (Applies(name) && *target)
            (*target)(text);
        if (Reader->isEndElement())
            Reader->readNext();
    }
}

// Skips the current element with everything inside it, leaving the reader
// after its end tag. Counts the depth instead of recursing, so no nesting in a
// file can exhaust the stack.
void WebLinkFile::SkipUnknownElement()
{
    int depth = 1;
    Reader->readNext();
    while (!Reader->atEnd()) {
        if (Reader->isEndElement()) {
            Reader->readNext();
            if (--depth == 0)
                return;
        } else {
            if (Reader->isStartElement())
                ++depth;
            Reader->readNext();
        }
    }
}
