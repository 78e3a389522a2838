#pragma once
// The key vocabulary of macros: every key name the program shows, with its
// code (a keyboard usage, a modifier bit or a mouse-button bit), its kind and
// the desktop virtual-key code from which key capture names it.
//
// Kinds: 1 keyboard usage (usage page 7), 0 modifier bit of the keyboard
// report, 4 mouse-button bit. Macro files write a code as "0x" and two
// upper-case hexadecimal digits followed by the kind digit.
//
// The mouse-button names are interface texts: the macro page sets them from
// its language element, and they stay empty until then. Everything here runs
// on the GUI thread.

#include "macrorecord.h"

#include <QString>
#include <QStringList>
#include <optional>

// Names of the left, right, middle, back and forward mouse buttons (bits 0x01,
// 0x02, 0x04, 0x08, 0x10).
extern QString g_MouseLeftName;
extern QString g_MouseRightName;
extern QString g_MouseMiddleName;
extern QString g_MouseBackName;
extern QString g_MouseForwardName;

namespace KeyNames {

struct KeyCode {
    int code = 0;
    int kind = kKindKeyboard;
};

// The code and kind of a name (exact, case-sensitive). "F1" to "F12" are
// compared first, then the other keyboard names and the modifier names, the
// empty name included, then the mouse-button names (left, right, middle,
// back, forward): a mouse-button name equal to an earlier name is taken as
// that key.
std::optional<KeyCode> LookUp(const QString &name);

// {"0x04", "1"} for "A"; an empty list for a name outside the vocabulary.
QStringList KeyNameToHexCode(const QString &name);

// The name of a code text of a macro file within a kind. The text must be
// exactly "0x" and two upper-case hexadecimal digits; anything else, another
// kind or an unlisted code gives the empty name.
QString HexCodeToKeyName(const QString &code, int kind);

// Sets kind and code of event `index` of the record from the name. A name
// outside the vocabulary sets kind 1 and leaves the code. Indexes outside the
// 70 event slots change nothing.
void KeyNameToEvent(const QString &name, int index, MacroRecord &record);

// The name of a keyboard or modifier event read from a device record. The
// usages 0x04, 0x08, 0x10, 0x20 and 0x40 are also modifier bits and are named
// by the kind; keypad Enter (0x58) is named "Enter".
QString CodeToKeyName(int usage, int kind);

// The keyboard usage of a keyboard key name (F1 to F12 and the empty name
// included; modifier and mouse-button names are not keyboard keys).
std::optional<int> KeyboardUsage(const QString &name);

// The name of a keyboard usage; empty when no keyboard key has it.
QString KeyboardName(int usage);

// The name of mouse-button bit 1, 2, 4, 8 or 16; empty for anything else.
QString MouseCodeToName(int bit);

// The key name of a desktop virtual-key code; nullopt when the code has no
// entry (VK 12, the keypad Clear key, has the empty name).
std::optional<QString> VirtualKeyName(int virtualKey);

// The key virtual-key code of a keyboard or modifier name; nullopt for
// any other name.
std::optional<int> VirtualKeyOfName(const QString &name);

// The key names of a "+"-joined combination text. A "+" belongs to a name
// when that name ends in "+" (keypad plus, "Num+") and the "+" ends the text
// or comes before another "+"; every other "+" joins two names, so "A+" is
// A and the empty name, and "Ctrl+Num+" is Ctrl and keypad plus.
QStringList SplitCombination(const QString &text);

// Every keyboard and modifier name of the vocabulary (mouse-button names not
// included), in table order.
QStringList AllKeyNames();

}  // namespace KeyNames
