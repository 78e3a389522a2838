#pragma once
// Macros saved by the user that have not reached the mouse yet.
//
// Save marks its macro pending before it tells the button page; the mark is
// cleared once every button showing the macro holds the saved file's record,
// or none shows it on the mouse. While a macro is pending, its file is the
// truth: a read of the mouse does not rebuild the file from the mouse's
// (older) record but sends the file to the mouse.
//
// The marks are one file in the per-user folder ("usersetting/PendingMacros",
// one macro name a line, written whole), beside and not inside the macro
// folder, so no macro list shows it; they survive a restart.

#include "flashdatamap.h"
#include "macrorecord.h"
#include "writers.h"

#include <QString>
#include <QStringList>

namespace PendingMacros {

// The six buttons the button page shows are the ones a macro is sent to.
constexpr int kShownButtons = 6;

QString FilePath();

QStringList Names();
bool IsPending(const QString &name);
// Adds or removes the mark; false when the marks could not be written (they
// are then as they were).
bool Mark(const QString &name);
bool Clear(const QString &name);

// True when `image` is the mouse's own and every shown button whose entry is
// a macro named `name` holds the record and loop code built from the macro's
// saved file; also true when no shown button holds the macro. False while
// the image is not the mouse's own dump, or the file cannot be built.
bool SavedFileReachedMouse(const QString &name, const FlashDataMap &image);

}  // namespace PendingMacros

// Writes `record` with `entry` to button `button` of the mouse through the
// one write path; a result other than Done leaves a pending macro pending.
WriteResult SendMacroToButton(int button, const KeyEntry &entry, const MacroRecord &record);
