#pragma once
// The macro record the mouse keeps per button (592 bytes inside the settings
// image) and its 8-byte event, which the button page's 52-byte key records
// use as well.
//
// The structs are the in-memory form; the bytes that go to and come from the
// image are made by StoreRecord / LoadRecord (and StoreEvent / LoadEvent),
// which write every multi-byte field little-endian whatever the host.

#include "flashdatamap.h"
#include "macroitem.h"

#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

struct MacroEvent {
    uint8_t Action;  // 0 press, 1 release
    uint8_t Kind;    // macro records: 0 modifier bit, 1 keyboard usage, 4 mouse-button bit;
                     // key records: 0 modifier bits, 1 keyboard usage, 2 consumer usage
    uint16_t Code;   // usage, modifier bit or mouse-button bit, by kind
    uint32_t Delay;  // milliseconds the device waits after this event
};

constexpr int kMacroNameBytes = 30;
constexpr int kMacroEventSlots = 70;

struct MacroRecord {
    uint8_t NameLength;             // bytes of the name in use
    char Name[kMacroNameBytes];     // local 8-bit text, zero-filled after the name
    uint8_t Count;                  // events in use
    MacroEvent Events[kMacroEventSlots];
};

#pragma pack(pop)

constexpr int kMacroEventSize = 8;

static_assert(sizeof(MacroEvent) == kMacroEventSize, "MacroEvent is 8 bytes");
static_assert(offsetof(MacroEvent, Action) == 0, "layout");
static_assert(offsetof(MacroEvent, Kind) == 1, "layout");
static_assert(offsetof(MacroEvent, Code) == 2, "layout");
static_assert(offsetof(MacroEvent, Delay) == 4, "layout");
static_assert(sizeof(MacroRecord) == kMacroRecordSize, "MacroRecord is 592 bytes");
static_assert(offsetof(MacroRecord, Name) == 1, "layout");
static_assert(offsetof(MacroRecord, Count) == 31, "layout");
static_assert(offsetof(MacroRecord, Events) == 32, "layout");

// Event kinds of macro records.
constexpr int kKindModifier = 0;
constexpr int kKindKeyboard = 1;
constexpr int kKindConsumer = 2;
constexpr int kKindMouse = 4;

// A record with every byte zero.
MacroRecord EmptyMacroRecord();

// The 8 bytes of an event at `out`, and back.
void StoreEvent(const MacroEvent &event, uint8_t *out);
MacroEvent LoadEvent(const uint8_t *in);

using MacroRecordBytes = std::array<uint8_t, kMacroRecordSize>;
MacroRecordBytes StoreRecord(const MacroRecord &record);
MacroRecord LoadRecord(const uint8_t *in);

// The longest prefix of whole characters (a surrogate pair is one) of `name`
// whose local 8-bit bytes fit the record's 30 name bytes.
QString MacroNamePrefix(const QString &name);

// The name as the record stores it: the local 8-bit bytes of MacroNamePrefix.
QByteArray MacroRecordNameBytes(const QString &name);

// Builds the record of macro `name` from its event list, one event per key
// item with the delay item after it as that event's delay (0 for the last).
// Only a list in the alternating shape key, delay, ..., key of at most 70
// keys is built (EventListEditor::Repaired makes any list so); any other is
// refused: false, and `record` is left as it was. No event is ever made up or
// cut off, since either could leave a key held down on the mouse.
bool BuildMacroRecord(const QString &name, const MacroItems &items, MacroRecord *record);

// What a record read from the mouse holds: the name (its bytes up to the first
// zero byte) and the event list key, delay, key, ..., key; at most 70 events
// are read whatever the count byte says.
struct UploadedMacro {
    QString name;
    MacroItems items;
};
UploadedMacro ReadMacroRecord(const MacroRecord &record);
