#pragma once
// Opening the desktop's own mouse settings.
//
// A short table names the mouse-settings tool of each common Linux desktop.
// The desktops named in XDG_CURRENT_DESKTOP (a ":"-separated list, compared
// without regard to case) are tried first, in their order; then every tool of
// the table in table order. The first tool found on the search path is
// started detached. When none is found nothing happens.

#include <QString>
#include <QStringList>
#include <functional>

namespace MouseSettings {

struct Command {
    QString program;  // empty: none found
    QStringList arguments;
};

// The tool for `currentDesktop` (the text of XDG_CURRENT_DESKTOP) among the
// programs found in the folders of `searchPath`.
Command Choose(const QString &currentDesktop, const QStringList &searchPath);

// The choice for this session's XDG_CURRENT_DESKTOP and PATH.
Command ChooseForSession();

// Starts a program detached; true when it started.
using Launcher = std::function<bool(const QString &program, const QStringList &arguments)>;

// Tests replace the launcher; an empty one restores QProcess::startDetached.
void SetLauncher(Launcher launcher);

// Starts the session's choice through the launcher; false when there is none
// or it did not start.
bool Open();

}  // namespace MouseSettings
