#pragma once
// The key record the mouse keeps beside a button whose function is a key
// (KeyEntry type 5): a short sequence of keyboard, modifier or consumer
// events, two per key, 52 bytes inside the settings image. A key combination
// presses its keys in order and releases them in reverse order; a media key
// is one press and one release of a consumer usage.

#include "flashdatamap.h"
#include "macrorecord.h"

#include <array>
#include <cstdint>

constexpr int kKeyRecordKeys = 3;
constexpr int kKeyRecordEvents = 2 * kKeyRecordKeys;
// Every event the page builds makes the mouse wait this long after it.
constexpr uint32_t kKeyEventDelayMs = 10;

#pragma pack(push, 1)
struct KeyRecord {
    uint8_t Count;        // events in use: two per key
    uint8_t Reserved[3];  // always 0
    MacroEvent Events[kKeyRecordEvents];
};
#pragma pack(pop)

static_assert(sizeof(KeyRecord) == kKeySequenceSize, "KeyRecord is 52 bytes");
static_assert(offsetof(KeyRecord, Events) == 4, "layout");

// A record with every byte zero.
KeyRecord EmptyKeyRecord();

// The media key of a consumer usage: a press and a release of kind 2.
KeyRecord MediaKeyRecord(int usage);

// The 52 bytes of a record as the image holds them (little-endian fields).
using KeyRecordBytes = std::array<uint8_t, kKeySequenceSize>;
KeyRecordBytes StoreKeyRecord(const KeyRecord &record);
// A record from its 52 bytes in the image.
KeyRecord LoadKeyRecord(const uint8_t *in);
