#include "macrorecord.h"

#include "eventlisteditor.h"
#include "keynames.h"

#include <QByteArray>
#include <QTextCodec>
#include <algorithm>
#include <cstring>

namespace {

constexpr int kPressAction = 0;
constexpr int kReleaseAction = 1;

void StoreU16(uint16_t value, uint8_t *out)
{
    out[0] = uint8_t(value & 0xFF);
    out[1] = uint8_t(value >> 8);
}

void StoreU32(uint32_t value, uint8_t *out)
{
    for (int i = 0; i < 4; ++i)
        out[i] = uint8_t((value >> (8 * i)) & 0xFF);
}

uint16_t LoadU16(const uint8_t *in)
{
    return uint16_t(in[0] | (in[1] << 8));
}

uint32_t LoadU32(const uint8_t *in)
{
    return uint32_t(in[0]) | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16) | (uint32_t(in[3]) << 24);
}

}  // namespace

MacroRecord EmptyMacroRecord()
{
    MacroRecord record;
    std::memset(&record, 0, sizeof record);
    return record;
}

void StoreEvent(const MacroEvent &event, uint8_t *out)
{
    out[0] = event.Action;
    out[1] = event.Kind;
    StoreU16(event.Code, out + 2);
    StoreU32(event.Delay, out + 4);
}

MacroEvent LoadEvent(const uint8_t *in)
{
    MacroEvent event;
    event.Action = in[0];
    event.Kind = in[1];
    event.Code = LoadU16(in + 2);
    event.Delay = LoadU32(in + 4);
    return event;
}

MacroRecordBytes StoreRecord(const MacroRecord &record)
{
    MacroRecordBytes bytes{};
    bytes[offsetof(MacroRecord, NameLength)] = record.NameLength;
    std::memcpy(bytes.data() + offsetof(MacroRecord, Name), record.Name, kMacroNameBytes);
    bytes[offsetof(MacroRecord, Count)] = record.Count;
    for (int k = 0; k < kMacroEventSlots; ++k)
        StoreEvent(record.Events[k], bytes.data() + offsetof(MacroRecord, Events) + kMacroEventSize * k);
    return bytes;
}

MacroRecord LoadRecord(const uint8_t *in)
{
    MacroRecord record = EmptyMacroRecord();
    record.NameLength = in[offsetof(MacroRecord, NameLength)];
    std::memcpy(record.Name, in + offsetof(MacroRecord, Name), kMacroNameBytes);
    record.Count = in[offsetof(MacroRecord, Count)];
    for (int k = 0; k < kMacroEventSlots; ++k)
        record.Events[k] = LoadEvent(in + offsetof(MacroRecord, Events) + kMacroEventSize * k);
    return record;
}

QString MacroNamePrefix(const QString &name)
{
    QTextCodec *codec = QTextCodec::codecForLocale();
    int fitting = 0;
    while (fitting < name.size()) {
        int next = fitting + 1;
        if (name.at(fitting).isHighSurrogate() && next < name.size() && name.at(next).isLowSurrogate())
            ++next;
        if (codec->fromUnicode(name.left(next)).size() > kMacroNameBytes)
            break;
        fitting = next;
    }
    return name.left(fitting);
}

QByteArray MacroRecordNameBytes(const QString &name)
{
    return QTextCodec::codecForLocale()->fromUnicode(MacroNamePrefix(name));
}

bool BuildMacroRecord(const QString &name, const MacroItems &items, MacroRecord *record)
{
    if (!EventListEditor::Alternates(items) || EventListEditor::KeyCountOf(items) > kMacroEventSlots)
        return false;

    MacroRecord built = EmptyMacroRecord();
    const QByteArray nameBytes = MacroRecordNameBytes(name);
    built.NameLength = uint8_t(nameBytes.size());
    std::memcpy(built.Name, nameBytes.constData(), size_t(nameBytes.size()));

    int k = 0;
    for (const MacroItem &item : items) {
        if (item.IsDelay()) {
            built.Events[k - 1].Delay = EventListEditor::DelayMsOf(item);
            continue;
        }
        KeyNames::KeyNameToEvent(item.text, k, built);
        built.Events[k].Action = uint8_t(item.IsPress() ? kPressAction : kReleaseAction);
        built.Events[k].Delay = 0;
        ++k;
    }
    built.Count = uint8_t(k);
    *record = built;
    return true;
}

UploadedMacro ReadMacroRecord(const MacroRecord &record)
{
    UploadedMacro macro;
    const char *nameEnd = std::find(record.Name, record.Name + kMacroNameBytes, '\0');
    macro.name = QTextCodec::codecForLocale()->toUnicode(record.Name, int(nameEnd - record.Name));

    const int count = std::min<int>(record.Count, kMacroEventSlots);
    for (int k = 0; k < count; ++k) {
        const MacroEvent &event = record.Events[k];
        const QString keyName = event.Kind == kKindMouse ? KeyNames::MouseCodeToName(event.Code)
                                                         : KeyNames::CodeToKeyName(event.Code, event.Kind);
        macro.items.append(MacroItem::Key(keyName, event.Action == kPressAction));
        if (k != count - 1)
            macro.items.append(MacroItem::Delay(double(event.Delay)));
    }
    return macro;
}
