#include "keyrecord.h"

#include <cstring>

namespace {
constexpr uint8_t kPress = 0;
constexpr uint8_t kRelease = 1;
}  // namespace

KeyRecord EmptyKeyRecord()
{
    KeyRecord record;
    std::memset(&record, 0, sizeof record);
    return record;
}

KeyRecord MediaKeyRecord(int usage)
{
    KeyRecord record = EmptyKeyRecord();
    record.Count = 2;
    record.Events[0] = MacroEvent{kPress, uint8_t(kKindConsumer), uint16_t(usage), kKeyEventDelayMs};
    record.Events[1] = MacroEvent{kRelease, uint8_t(kKindConsumer), uint16_t(usage), kKeyEventDelayMs};
    return record;
}

KeyRecordBytes StoreKeyRecord(const KeyRecord &record)
{
    KeyRecordBytes bytes{};
    bytes[0] = record.Count;
    for (int i = 0; i < 3; ++i)
        bytes[size_t(1 + i)] = record.Reserved[i];
    for (int i = 0; i < kKeyRecordEvents; ++i)
        StoreEvent(record.Events[i], bytes.data() + offsetof(KeyRecord, Events) + i * kMacroEventSize);
    return bytes;
}

KeyRecord LoadKeyRecord(const uint8_t *in)
{
    KeyRecord record = EmptyKeyRecord();
    record.Count = in[0];
    for (int i = 0; i < 3; ++i)
        record.Reserved[i] = in[1 + i];
    for (int i = 0; i < kKeyRecordEvents; ++i)
        record.Events[i] = LoadEvent(in + offsetof(KeyRecord, Events) + i * kMacroEventSize);
    return record;
}
