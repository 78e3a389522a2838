#include "mousesettings.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace MouseSettings {

namespace {

struct Tool {
    const char *desktops;  // ":"-separated XDG_CURRENT_DESKTOP names
    const char *program;
    const char *arguments;  // " "-separated
};

const Tool kTools[] = {
    {"GNOME:Unity:Budgie:Pantheon", "gnome-control-center", "mouse"},
    {"KDE", "systemsettings", "kcm_mouse"},
    {"KDE", "systemsettings5", "kcm_mouse"},
    {"KDE", "kcmshell5", "mouse"},
    {"XFCE", "xfce4-mouse-settings", ""},
    {"X-Cinnamon:Cinnamon", "cinnamon-settings", "mouse"},
    {"MATE", "mate-mouse-properties", ""},
    {"LXQt", "lxqt-config-input", ""},
    {"LXDE", "lxinput", ""},
};

Command CommandOf(const Tool &tool, const QString &path)
{
    return {path, QString::fromLatin1(tool.arguments).split(QLatin1Char(' '), Qt::SkipEmptyParts)};
}

QString Found(const Tool &tool, const QStringList &searchPath)
{
    return searchPath.isEmpty() ? QString()
                                : QStandardPaths::findExecutable(QString::fromLatin1(tool.program), searchPath);
}

bool ServesDesktop(const Tool &tool, const QString &desktop)
{
    const QStringList names = QString::fromLatin1(tool.desktops).split(QLatin1Char(':'));
    return names.contains(desktop, Qt::CaseInsensitive);
}

Launcher &CurrentLauncher()
{
    static Launcher launcher;
    return launcher;
}

}  // namespace

Command Choose(const QString &currentDesktop, const QStringList &searchPath)
{
    for (const QString &desktop : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        for (const Tool &tool : kTools) {
            if (!ServesDesktop(tool, desktop))
                continue;
            const QString path = Found(tool, searchPath);
            if (!path.isEmpty())
                return CommandOf(tool, path);
        }
    }
    for (const Tool &tool : kTools) {
        const QString path = Found(tool, searchPath);
        if (!path.isEmpty())
            return CommandOf(tool, path);
    }
    return {};
}

Command ChooseForSession()
{
    const QString path = QString::fromLocal8Bit(qgetenv("PATH"));
    return Choose(QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")),
                  path.split(QDir::listSeparator(), Qt::SkipEmptyParts));
}

void SetLauncher(Launcher launcher)
{
    CurrentLauncher() = std::move(launcher);
}

bool Open()
{
    const Command command = ChooseForSession();
    if (command.program.isEmpty())
        return false;
    const Launcher &launcher = CurrentLauncher();
    if (launcher)
        return launcher(command.program, command.arguments);
    return QProcess::startDetached(command.program, command.arguments);
}

}  // namespace MouseSettings
