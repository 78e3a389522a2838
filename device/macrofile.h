#pragma once
// The macro files: one text file per macro, named after the macro followed by
// ".ini", in the per-user folder "usersetting/MacroPage".
//
//     254            the loop code: 1-250 a repeat count, 253, 254, 255 the three repeat modes
//     0x04 1 0       a key line: code, kind digit, 0 press / 1 release
//     10ms           a delay line
//     0x04 1 1
//
// The content is made and read by pure functions (MacroFileContent,
// ParseMacroFile); the file functions write whole files or nothing.

#include "macroitem.h"
#include "macrorecord.h"

#include <QByteArray>
#include <QString>

namespace MacroFile {

// Paths::BaseFolder() + "/usersetting/MacroPage" (no trailing separator).
QString Folder();

// folder + "/" + name + ".ini"; empty when the name is not safe to build a
// path from (IsSafeMacroName).
QString PathOf(const QString &folder, const QString &name);

// The line of one item, without its line end. A key whose name has no code is
// written with the code of the empty name, "0x00 1".
QByteArray ItemLine(const MacroItem &item);

// The lines of the items, each ended by "\n" (what an append adds).
QByteArray ItemLines(const MacroItems &items);

// A whole file: the loop code line, then the items' lines.
QByteArray Content(int loopCode, const MacroItems &items);

struct Parsed {
    int loopCode = 0;  // the first line's first word as a decimal number; 0 when there is none
    MacroItems items;
};

// Reads a file's content. Lines end in LF or CR LF; the last line needs no
// line end. Key lines of any other shape, and lines that are neither a key
// line nor digits followed by "ms", are skipped; a line holding only "0" or
// "1" is a press or release of the key with the empty name.
Parsed ParseMacroFile(const QByteArray &content);

// Replaces the file with the whole content, or leaves it as it was.
bool Write(const QString &path, int loopCode, const MacroItems &items);

// Adds the items' lines to an existing file (no loop line), by rewriting it
// whole; false, with nothing changed, when the file does not exist or cannot
// be read or written.
bool Append(const QString &path, const MacroItems &items);

// The largest macro file read: a list within the record's limits is far smaller.
constexpr qint64 kMaxFileBytes = 64 * 1024;

// Reads and parses the file; false when it is not a readable file of at most
// kMaxFileBytes.
bool Read(const QString &path, Parsed *parsed);

// A macro file as every page uses it: read, its limits counted on the lines
// as read (at most 70 keys and 139 items; a file above kMaxFileBytes is over
// them too), then repaired to the alternating shape (EventListEditor).
enum class LoadResult { Loaded, Unreadable, OverLimit };
struct Loaded {
    LoadResult result = LoadResult::Unreadable;
    int loopCode = 0;
    MacroItems items;  // repaired; empty unless Loaded
};
Loaded Load(const QString &path);

// The device record of the macro file at `path` under `name`: Load, then
// BuildMacroRecord; `record` is set only when the result is Loaded.
LoadResult BuildRecord(const QString &path, const QString &name, MacroRecord *record);

// True when anything is at `path`: a file, a folder, or a link (even one
// pointing nowhere). A name is taken for a new macro while it is.
bool Exists(const QString &path);

// Creates an empty file at `path`; false, touching nothing, when anything is
// already there or the file cannot be made.
bool CreateEmpty(const QString &path);

// Removes the macro file at `path`. True when no file is there afterwards
// (also when there was none); false when one is still there.
bool Remove(const QString &path);

// True for a delay text: decimal digits followed by "ms", e.g. "10ms".
bool IsDelayText(const QString &text);

}  // namespace MacroFile

// True when a path may be built from the name: not empty, no "/", "\", NUL or
// other control character, and not "." or "..".
bool IsSafeMacroName(const QString &name);

// True for a name a new macro may take: safe, at most 30 bytes in the local
// 8-bit encoding (the device record's name field), and listed back under the
// same name from the macro folder (no "xml", no ".ini", no leading ".").
bool IsValidMacroName(const QString &name);
