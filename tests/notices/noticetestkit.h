#pragma once
// Helpers shared by the notice suites: building a notice by class name, and
// language-file fixtures in which every text names its own element and tag.

#include "languagereader.h"
#include "languagetags.h"
#include "notices.h"
#include "progress.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QXmlStreamWriter>
#include <functional>
#include <memory>

namespace NoticeTestKit {

inline const QStringList &NoticeClasses()
{
    static const QStringList names{
        "QuestiondialogB", "MouseOffLine", "LeftButtonOnly", "MakeMacro", "SameMacro",
        "GroupMaxThree", "ContainReset", "KeyNumberLimit", "RePair", "DeleteConfirm",
        "ExeIsRun", "InportFail", "UpDateWarning", "LessThree", "FindNewVer"};
    return names;
}

inline std::unique_ptr<QDialog> MakeNotice(const QString &name)
{
    static const QMap<QString, std::function<QDialog *()>> factories{
        {"QuestiondialogB", [] { return new QuestiondialogB; }},
        {"MouseOffLine", [] { return new MouseOffLine; }},
        {"LeftButtonOnly", [] { return new LeftButtonOnly; }},
        {"MakeMacro", [] { return new MakeMacro; }},
        {"SameMacro", [] { return new SameMacro; }},
        {"GroupMaxThree", [] { return new GroupMaxThree; }},
        {"ContainReset", [] { return new ContainReset; }},
        {"KeyNumberLimit", [] { return new KeyNumberLimit; }},
        {"RePair", [] { return new RePair; }},
        {"DeleteConfirm", [] { return new DeleteConfirm; }},
        {"ExeIsRun", [] { return new ExeIsRun; }},
        {"InportFail", [] { return new InportFail; }},
        {"UpDateWarning", [] { return new UpDateWarning; }},
        {"LessThree", [] { return new LessThree; }},
        {"FindNewVer", [] { return new FindNewVer; }},
        {"Progress", [] { return new Progress; }},
    };
    const auto factory = factories.value(name);
    return std::unique_ptr<QDialog>(factory ? factory() : nullptr);
}

// The staged program folder the suite started with.
inline QString StagedAppFolder()
{
    static const QString staged = QString::fromLocal8Bit(qgetenv("VOGM_APP_DIR"));
    return staged;
}

// Points the program's folder (language files, pictures) at `dir`.
inline void UseAppFolder(const QString &dir)
{
    StagedAppFolder();
    qputenv("VOGM_APP_DIR", dir.toLocal8Bit());
}

// A program folder of its own for a fixture, showing the staged pictures.
inline bool MakeFixtureFolder(const QString &dir)
{
    return QFile::link(StagedAppFolder() + "/Picture", dir + "/Picture");
}

// Writes the language file of `index` below `appDir`: every declared tag of
// every element holds "<element>.<tag>" followed by `suffix`; tags listed in
// `left out` ("Element.tag") are not written.
inline bool WriteTagFixture(const QString &appDir, int index, const QString &suffix = QString(),
                            const QStringList &leftOut = QStringList())
{
    const QString path = appDir + LanguageFilePath(index);
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement("Total");
    const QMap<QString, QStringList> elements = LanguageTags::Elements();
    for (auto element = elements.cbegin(); element != elements.cend(); ++element) {
        xml.writeStartElement(element.key());
        for (const QString &tag : element.value()) {
            const QString name = element.key() + '.' + tag;
            if (!leftOut.contains(name))
                xml.writeTextElement(tag, name + suffix);
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return file.commit();
}

}  // namespace NoticeTestKit
