#include "qttexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QString>
#include <QTranslator>

namespace {

// Answers from a translator that is loaded and replaced freely. It reports
// itself empty, so installing it sends no LanguageChange either.
class ForwardingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        return m_current.isEmpty() ? QString() : m_current.translate(context, sourceText, disambiguation, n);
    }
    bool isEmpty() const override { return true; }

    void Load(const QString &locale)
    {
        if (locale.isEmpty() || !m_current.load(QStringLiteral("qtbase_") + locale,
                                                QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
            m_current.load(QString());  // nothing: Qt's English texts
    }

private:
    QTranslator m_current;
};

ForwardingTranslator *Installed()
{
    static ForwardingTranslator *translator = [] {
        auto *made = new ForwardingTranslator;
        QCoreApplication::installTranslator(made);
        return made;
    }();
    return translator;
}

}  // namespace

namespace QtTexts {

const char *LocaleOf(int languageIndex)
{
    switch (languageIndex) {
    case 1:
        return "zh_CN";
    case 2:
        return "zh_TW";
    case 3:
        return "ko";
    case 4:
        return "ru";
    case 5:
        return "ja";
    default:
        return "";
    }
}

void Use(int languageIndex)
{
    if (!QCoreApplication::instance())
        return;
    Installed()->Load(QString::fromLatin1(LocaleOf(languageIndex)));
}

}  // namespace QtTexts
