#include "buttonfunction.h"

#include <cstring>

namespace {

// Function types whose caption is one text whatever param1 holds: no
// function, fire key, report-rate switch, profile switch.
bool CaptionIgnoresParam(int type)
{
    return type == 0 || type == Function::kFireKey || type == 7 || type == 9;
}

constexpr int kConsumerKind = 2;

KeyEntry EntryOf(int type, int param1, int param2)
{
    return KeyEntry{uint8_t(type), uint8_t(param1), uint8_t(param2)};
}

}  // namespace

int CaptionTexts::ParamKey(int type, int param1)
{
    return CaptionIgnoresParam(type) ? kAnyParam : param1;
}

std::optional<QString> CaptionTexts::Plain(int type, int param1) const
{
    const auto exact = plain.constFind(qMakePair(type, ParamKey(type, param1)));
    if (exact == plain.constEnd())
        return std::nullopt;
    return *exact;
}

Function Function::Plain(int type, int param1)
{
    Function function;
    function.m_kind = type == kFireKey ? Kind::FireKey : Kind::Plain;
    function.m_entry = EntryOf(type, param1, 0);
    return function;
}

Function Function::FireKey(int interval, int count)
{
    Function function;
    function.m_kind = Kind::FireKey;
    function.m_entry = EntryOf(kFireKey, interval, count);
    return function;
}

Function Function::Keys(const ::KeyRecord &record)
{
    Function function;
    function.m_kind = Kind::KeyRecord;
    function.m_entry = EntryOf(kKey, 0, 0);
    function.m_keys = StoreKeyRecord(record);
    return function;
}

Function Function::Macro(int device, const MacroRecord &record, int loopCode)
{
    Function function;
    function.m_kind = Kind::Macro;
    function.m_entry = EntryOf(kMacro, device, loopCode);
    function.m_macro = StoreRecord(record);
    function.m_loopCode = loopCode;
    return function;
}

Function Function::DpiLock(int code, int value)
{
    Function function;
    function.m_kind = Kind::DpiLock;
    function.m_entry = EntryOf(kDpiLock, code, 0);
    function.m_dpiValue = value;
    return function;
}

Function Function::Stored(const FlashDataMap &image, int device)
{
    return Stored(image.Keys[device], image.KeySequences[device], image.Macros[device]);
}

Function Function::Stored(const KeyEntry &entry, const uint8_t *keyRecord, const uint8_t *macroRecord)
{
    Function function;
    function.m_entry = entry;
    function.m_loopCode = entry.Param2;
    switch (entry.Type) {
    case kFireKey:
        function.m_kind = Kind::FireKey;
        break;
    case kKey:
        function.m_kind = Kind::KeyRecord;
        function.m_keys.emplace();
        std::memcpy(function.m_keys->data(), keyRecord, kKeySequenceSize);
        break;
    case kMacro:
        function.m_kind = Kind::Macro;
        function.m_macro.emplace();
        std::memcpy(function.m_macro->data(), macroRecord, kMacroRecordSize);
        break;
    case kDpiLock:
        function.m_kind = Kind::DpiLock;
        break;
    default:
        break;
    }
    return function;
}

Function Function::ClearingKeyRecord() const
{
    Function function = *this;
    function.m_keys.emplace();
    function.m_keys->fill(0);
    return function;
}

QString Function::MacroName() const
{
    return m_macro ? MacroNameOf(m_macro->data()) : QString();
}

QString Function::MacroNameOf(const uint8_t *record)
{
    const char *field = reinterpret_cast<const char *>(record) + offsetof(MacroRecord, Name);
    return QString::fromLocal8Bit(field, int(strnlen(field, kMacroNameBytes)));
}

std::optional<QString> Function::Caption(const CaptionTexts &texts) const
{
    switch (m_kind) {
    case Kind::KeyRecord: {
        const ::KeyRecord keys = LoadKeyRecord(m_keys->data());
        const MacroEvent &first = keys.Events[0];
        // A media key is known by the low byte of its usage alone.
        if (first.Kind == kConsumerKind) {
            const auto media = texts.media.constFind(first.Code & 0xFF);
            return media == texts.media.constEnd() ? std::nullopt : std::optional<QString>(*media);
        }
        return texts.keysCaption ? texts.keysCaption(keys) : QString();
    }
    case Kind::Macro:
        return texts.macroPrefix + MacroName();
    case Kind::DpiLock: {
        const int value = m_dpiValue ? m_dpiValue : (texts.dpiValueOfCode ? texts.dpiValueOfCode(m_entry.Param1) : 0);
        return texts.dpiLock + QLatin1Char('-') + QString::number(value);
    }
    case Kind::Plain:
    case Kind::FireKey:
        break;
    }
    return texts.Plain(m_entry.Type, m_entry.Param1);
}

bool Function::operator==(const Function &other) const
{
    return m_kind == other.m_kind && std::memcmp(&m_entry, &other.m_entry, sizeof m_entry) == 0
           && m_keys == other.m_keys && m_macro == other.m_macro && m_dpiValue == other.m_dpiValue;
}
