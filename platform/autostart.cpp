#include "autostart.h"

#include "paths.h"
#include "wholefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Autostart {

namespace {

QString ConfigFolder()
{
    const QString configured = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QDir::homePath() + QStringLiteral("/.config");
}

// Inside double quotes these four keep their meaning only when escaped.
QString EscapedInQuotes(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

// The escapes of a desktop-file string value, which a reader undoes before
// it looks at the quotes.
QString EscapedAsString(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QStringLiteral("\\\\");
            break;
        case '\n':
            escaped += QStringLiteral("\\n");
            break;
        case '\t':
            escaped += QStringLiteral("\\t");
            break;
        case '\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

}  // namespace

QString EntryPath()
{
    return ConfigFolder() + QStringLiteral("/autostart/") + QCoreApplication::applicationName()
        + QStringLiteral(".desktop");
}

QString QuotedExec(const QString &programPath)
{
    QString quoted = QLatin1Char('"') + EscapedInQuotes(programPath) + QLatin1Char('"');
    // A lone % would be read as a field code.
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return EscapedAsString(quoted);
}

QByteArray EntryText(const QString &programPath)
{
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=")
        + EscapedAsString(QString::fromLatin1(Paths::kProductTitle)) + QStringLiteral("\nExec=")
        + QuotedExec(programPath) + QLatin1Char('\n');
    return text.toUtf8();
}

bool Enable(const QString &programPath)
{
    const QString path = EntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    return WholeFile::Write(path, EntryText(programPath));
}

bool Disable()
{
    const QString path = EntryPath();
    QFile::remove(path);
    return !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
}

}  // namespace Autostart
