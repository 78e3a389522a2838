#pragma once
// Starting the program with the user's desktop session: an XDG autostart
// entry, $XDG_CONFIG_HOME/autostart/<application name>.desktop (the
// configuration folder is ~/.config when XDG_CONFIG_HOME is unset, empty or
// not an absolute path). The entry starts the program file that was running
// when it was written, its path quoted by the desktop-entry rules, so a path
// with blanks, quotes, dollar signs or backslashes starts as it is.

#include <QString>

namespace Autostart {

// The entry's path for the running application's name.
QString EntryPath();

// The entry's text: Type=Application, Name the product title, Exec the
// quoted program path.
QByteArray EntryText(const QString &programPath);

// The Exec value for `programPath`: the path in double quotes, with ", `, $
// and \ escaped inside them, then "%" doubled and the string escapes of
// desktop files applied.
QString QuotedExec(const QString &programPath);

// Writes the entry whole or not at all (creating the folder); false when it
// could not be written.
bool Enable(const QString &programPath);
// Removes the entry; true when none is left.
bool Disable();

}  // namespace Autostart
