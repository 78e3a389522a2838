#pragma once
// The web-link file Net.xml in the language folder: the company line and the
// web address that the settings page shows at its bottom.
//
//     <Profile>
//         <Web> ... </Web>
//         <English>
//             <CompanyName>company line</CompanyName>
//             <CompanyWeben>address for English, Korean and Russian</CompanyWeben>
//         </English>
//         <Chinese>
//             <CompanyName>...</CompanyName>
//             <CompanyWebcn>address for both Chinese languages</CompanyWebcn>
//         </Chinese>
//     </Profile>
//
// The sections read are Web and the language's own group: Chinese for the
// language indexes 1 and 2, English for every other. Every other child of
// Profile is skipped with all it holds, and so is every unknown element in a
// section. CompanyName sets the company line for every language; CompanyWebcn
// sets the link for 1 and 2 only, CompanyWeben for 0, 3 and 4 only, so in
// Japanese (5) and for indexes outside 0-5 the link keeps the text it had.
// Values are applied in document order (a later one wins), each as soon as it
// is read. A root other than Profile applies nothing; a syntax error or markup
// inside a value stops the reading there, keeping what was applied before.
// Widget-free; the settings page hands it where the texts go.

#include "languagereader.h"

#include <QByteArray>
#include <QString>
#include <memory>

class QXmlStreamReader;

class WebLinkFile
{
public:
    enum class Outcome {
        Read,        // the whole file was read
        NoFile,      // the file could not be opened; nothing changed
        NotProfile,  // the root is not Profile; nothing changed
        Stopped,     // a syntax error or markup inside a value; what came before stays
    };

    // `languageIndex` chooses the section and which address applies.
    WebLinkFile(int languageIndex, TextTarget companyLine, TextTarget webLink);
    ~WebLinkFile();

    // "/Language/Net.xml" below the program's folder.
    static QString Path();

    Outcome Load(const QString &path);
    Outcome LoadContent(QByteArray content);

private:
    Outcome ReadDocument();
    void ReadNetRoot();
    void ReadNetGroup();
    void SkipUnknownElement();
    bool IsReadSection(const QString &name) const;
    // Where a value element's text goes (null: not a value element), and
    // whether it applies in this language.
    const TextTarget *TargetOf(const QString &value) const;
    bool Applies(const QString &value) const;

    std::unique_ptr<QXmlStreamReader> Reader;
    int language;
    TextTarget companyLine;
    TextTarget webLink;
};
