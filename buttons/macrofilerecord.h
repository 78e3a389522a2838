#pragma once
// The button page's reading of a macro file into the device's macro record,
// used when the user gives a row a macro.
//
// The first line (the loop code) is passed over. Every further line, its line
// end taken off, is split at blanks:
//   - three words "0x04 1 0": a key line (code, kind digit, 0 press / 1
//     release) that sets the current event's kind, code and action and a
//     delay of 0; an action word other than "0" or "1" keeps the action;
//   - one word "10ms": a delay line; the number without "ms" is the current
//     event's delay (0 when it is no number) and the next event becomes the
//     current one;
//   - anything else is ignored.
// So the record counts one event more than the file has delay lines (0 for a
// file with neither key nor delay lines).

#include "macrorecord.h"

class QIODevice;

// Builds the record of macro `name` from `file` (open for reading). The name
// is stored cut to the record's 30 bytes on a character boundary. A file that
// needs more than the record's 70 events is refused: false, and `record` is
// left as it was (a cut macro could leave a key held down on the mouse).
bool BuildMacroRecord(QIODevice &file, const QString &name, MacroRecord *record);
