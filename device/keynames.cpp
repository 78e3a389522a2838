#include "keynames.h"

#include <QVector>

QString g_MouseLeftName;
QString g_MouseRightName;
QString g_MouseMiddleName;
QString g_MouseBackName;
QString g_MouseForwardName;

namespace KeyNames {

namespace {

constexpr int kNoVirtualKey = -1;

struct Entry {
    QString name;
    int code;
    int kind;
    int virtualKey;
};

constexpr int kUsageA = 0x04;
constexpr int kUsage1 = 0x1E;
constexpr int kUsageF1 = 0x3A;
constexpr int kUsageNum1 = 0x59;
constexpr int kUsageKeypadEnter = 0x58;
constexpr int kVirtualKeyA = 65;
constexpr int kVirtualKey1 = 49;
constexpr int kVirtualKeyF1 = 112;
constexpr int kVirtualKeyNum1 = 97;
constexpr int kFunctionKeys = 12;

void AddKeyboard(QVector<Entry> &table, const QString &name, int code, int virtualKey)
{
    table.append({name, code, kKindKeyboard, virtualKey});
}

// The keyboard keys other than F1 to F12, the empty name last.
QVector<Entry> BuildKeyboardTable()
{
    QVector<Entry> table;
    for (int i = 0; i < 26; ++i)
        AddKeyboard(table, QString(QChar('A' + i)), kUsageA + i, kVirtualKeyA + i);
    for (int i = 0; i < 9; ++i)
        AddKeyboard(table, QString::number(i + 1), kUsage1 + i, kVirtualKey1 + i);
    AddKeyboard(table, QStringLiteral("0"), 0x27, 48);
    AddKeyboard(table, QStringLiteral("Enter"), 0x28, 13);
    AddKeyboard(table, QStringLiteral("Esc"), 0x29, 27);
    AddKeyboard(table, QStringLiteral("BackSpace"), 0x2A, 8);
    AddKeyboard(table, QStringLiteral("Tab"), 0x2B, 9);
    AddKeyboard(table, QStringLiteral("Space"), 0x2C, 32);
    AddKeyboard(table, QStringLiteral("-"), 0x2D, 189);
    AddKeyboard(table, QStringLiteral("="), 0x2E, 187);
    AddKeyboard(table, QStringLiteral("["), 0x2F, 219);
    AddKeyboard(table, QStringLiteral("]"), 0x30, 221);
    AddKeyboard(table, QStringLiteral("\\"), 0x31, 220);
    AddKeyboard(table, QStringLiteral(";"), 0x33, 186);
    AddKeyboard(table, QStringLiteral("'"), 0x34, 222);
    AddKeyboard(table, QStringLiteral("`"), 0x35, 192);
    AddKeyboard(table, QStringLiteral(","), 0x36, 188);
    AddKeyboard(table, QStringLiteral("."), 0x37, 190);
    AddKeyboard(table, QStringLiteral("/"), 0x38, 191);
    AddKeyboard(table, QStringLiteral("CapsLock"), 0x39, 20);
    AddKeyboard(table, QStringLiteral("Screen"), 0x46, 44);
    AddKeyboard(table, QStringLiteral("Scroll"), 0x47, 145);
    AddKeyboard(table, QStringLiteral("Pause"), 0x48, 19);
    AddKeyboard(table, QStringLiteral("Insert"), 0x49, 45);
    AddKeyboard(table, QStringLiteral("Home"), 0x4A, 36);
    AddKeyboard(table, QStringLiteral("PgUp"), 0x4B, 33);
    AddKeyboard(table, QStringLiteral("Del"), 0x4C, 46);
    AddKeyboard(table, QStringLiteral("End"), 0x4D, 35);
    AddKeyboard(table, QStringLiteral("PgDn"), 0x4E, 34);
    AddKeyboard(table, QString(QChar(0x2192)), 0x4F, 39);  // right arrow
    AddKeyboard(table, QString(QChar(0x2190)), 0x50, 37);  // left arrow
    AddKeyboard(table, QString(QChar(0x2193)), 0x51, 40);  // down arrow
    AddKeyboard(table, QString(QChar(0x2191)), 0x52, 38);  // up arrow
    AddKeyboard(table, QStringLiteral("NumLock"), 0x53, 144);
    AddKeyboard(table, QStringLiteral("Num/"), 0x54, 111);
    AddKeyboard(table, QStringLiteral("Num*"), 0x55, 106);
    AddKeyboard(table, QStringLiteral("Num-"), 0x56, 109);
    AddKeyboard(table, QStringLiteral("Num+"), 0x57, 107);
    for (int i = 0; i < 9; ++i)
        AddKeyboard(table, QStringLiteral("Num") + QString::number(i + 1), kUsageNum1 + i, kVirtualKeyNum1 + i);
    AddKeyboard(table, QStringLiteral("Num0"), 0x62, 96);
    AddKeyboard(table, QStringLiteral("Num."), 0x63, 110);
    AddKeyboard(table, QStringLiteral("APPs"), 0x65, 93);
    AddKeyboard(table, QString(), 0x00, 12);  // the keypad Clear key has no name
    return table;
}

QVector<Entry> BuildFunctionKeyTable()
{
    QVector<Entry> table;
    for (int i = 0; i < kFunctionKeys; ++i)
        AddKeyboard(table, QStringLiteral("F") + QString::number(i + 1), kUsageF1 + i, kVirtualKeyF1 + i);
    return table;
}

QVector<Entry> BuildModifierTable()
{
    return {
        {QStringLiteral("LCtrl"), 0x01, kKindModifier, 162},  {QStringLiteral("LShift"), 0x02, kKindModifier, 160},
        {QStringLiteral("LAlt"), 0x04, kKindModifier, 164},   {QStringLiteral("LWin"), 0x08, kKindModifier, 91},
        {QStringLiteral("RCtrl"), 0x10, kKindModifier, 163},  {QStringLiteral("RShift"), 0x20, kKindModifier, 161},
        {QStringLiteral("RAlt"), 0x40, kKindModifier, 165},   {QStringLiteral("RWin"), 0x80, kKindModifier, 92},
    };
}

const QVector<Entry> &KeyboardTable()
{
    static const QVector<Entry> table = BuildKeyboardTable();
    return table;
}

const QVector<Entry> &FunctionKeyTable()
{
    static const QVector<Entry> table = BuildFunctionKeyTable();
    return table;
}

const QVector<Entry> &ModifierTable()
{
    static const QVector<Entry> table = BuildModifierTable();
    return table;
}

// The mouse buttons in the order names are compared: left, right, middle, back, forward.
QVector<Entry> MouseTable()
{
    return {
        {g_MouseLeftName, 0x01, kKindMouse, kNoVirtualKey},    {g_MouseRightName, 0x02, kKindMouse, kNoVirtualKey},
        {g_MouseMiddleName, 0x04, kKindMouse, kNoVirtualKey},  {g_MouseBackName, 0x08, kKindMouse, kNoVirtualKey},
        {g_MouseForwardName, 0x10, kKindMouse, kNoVirtualKey},
    };
}

const Entry *FindName(const QVector<Entry> &table, const QString &name)
{
    for (const Entry &entry : table) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

const Entry *FindCode(const QVector<Entry> &table, int code)
{
    for (const Entry &entry : table) {
        if (entry.code == code)
            return &entry;
    }
    return nullptr;
}

// A keyboard usage of the whole keyboard table (F1 to F12 included).
const Entry *FindKeyboardCode(int code)
{
    if (const Entry *entry = FindCode(KeyboardTable(), code))
        return entry;
    return FindCode(FunctionKeyTable(), code);
}

bool IsUpperHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// The code of a text written exactly as "0x" and two upper-case hexadecimal digits.
std::optional<int> ParseCodeText(const QString &text)
{
    if (text.size() != 4 || !text.startsWith(QStringLiteral("0x")) || !IsUpperHexDigit(text.at(2))
        || !IsUpperHexDigit(text.at(3)))
        return std::nullopt;
    return text.midRef(2).toInt(nullptr, 16);
}

// Whether a keyboard name ends in "+" (keypad plus).
bool EndsInPlus(const QString &name)
{
    return name.endsWith(QLatin1Char('+')) && FindName(KeyboardTable(), name);
}

}  // namespace

std::optional<KeyCode> LookUp(const QString &name)
{
    const Entry *entry = FindName(FunctionKeyTable(), name);
    if (!entry)
        entry = FindName(KeyboardTable(), name);
    if (!entry)
        entry = FindName(ModifierTable(), name);
    if (entry)
        return KeyCode{entry->code, entry->kind};
    const QVector<Entry> mouse = MouseTable();
    if (const Entry *button = FindName(mouse, name))
        return KeyCode{button->code, button->kind};
    return std::nullopt;
}

QStringList KeyNameToHexCode(const QString &name)
{
    const std::optional<KeyCode> found = LookUp(name);
    if (!found)
        return {};
    const QString digits = QStringLiteral("%1").arg(found->code, 2, 16, QLatin1Char('0')).toUpper();
    return {QStringLiteral("0x") + digits, QString::number(found->kind)};
}

QString HexCodeToKeyName(const QString &code, int kind)
{
    const std::optional<int> value = ParseCodeText(code);
    if (!value)
        return QString();
    const Entry *entry = nullptr;
    switch (kind) {
    case kKindKeyboard:
        entry = FindKeyboardCode(*value);
        break;
    case kKindModifier:
        entry = FindCode(ModifierTable(), *value);
        break;
    case kKindMouse:
        return MouseCodeToName(*value);
    default:
        break;
    }
    return entry ? entry->name : QString();
}

void KeyNameToEvent(const QString &name, int index, MacroRecord &record)
{
    if (index < 0 || index >= kMacroEventSlots)
        return;
    const std::optional<KeyCode> found = LookUp(name);
    record.Events[index].Kind = uint8_t(found ? found->kind : kKindKeyboard);
    if (found)
        record.Events[index].Code = uint16_t(found->code);
}

QString CodeToKeyName(int usage, int kind)
{
    // Usages that are also modifier bits: the kind decides.
    struct Shared {
        int usage;
        const char *keyboard;
        const char *modifier;
    };
    static const Shared kShared[] = {
        {0x04, "A", "LAlt"}, {0x08, "E", "LWin"}, {0x10, "M", "RCtrl"}, {0x20, "3", "RShift"}};
    for (const Shared &shared : kShared) {
        if (shared.usage != usage)
            continue;
        if (kind == kKindKeyboard)
            return QString::fromLatin1(shared.keyboard);
        if (kind == kKindModifier)
            return QString::fromLatin1(shared.modifier);
        return QString();
    }
    if (usage == 0x40)
        return kind == kKindModifier ? QStringLiteral("RAlt") : QStringLiteral("F7");
    if (usage == 0x01 || usage == 0x02 || usage == 0x80)
        return FindCode(ModifierTable(), usage)->name;
    if (usage == kUsageKeypadEnter)
        return QStringLiteral("Enter");
    const Entry *entry = FindKeyboardCode(usage);
    return entry ? entry->name : QString();
}

std::optional<int> KeyboardUsage(const QString &name)
{
    const Entry *entry = FindName(KeyboardTable(), name);
    if (!entry)
        entry = FindName(FunctionKeyTable(), name);
    if (!entry)
        return std::nullopt;
    return entry->code;
}

QString KeyboardName(int usage)
{
    const Entry *entry = FindKeyboardCode(usage);
    return entry ? entry->name : QString();
}

QString MouseCodeToName(int bit)
{
    const QVector<Entry> mouse = MouseTable();
    const Entry *entry = FindCode(mouse, bit);
    return entry ? entry->name : QString();
}

std::optional<QString> VirtualKeyName(int virtualKey)
{
    for (const QVector<Entry> *table : {&KeyboardTable(), &FunctionKeyTable(), &ModifierTable()}) {
        for (const Entry &entry : *table) {
            if (entry.virtualKey == virtualKey)
                return entry.name;
        }
    }
    return std::nullopt;
}

std::optional<int> VirtualKeyOfName(const QString &name)
{
    for (const QVector<Entry> *table : {&KeyboardTable(), &FunctionKeyTable(), &ModifierTable()}) {
        if (const Entry *entry = FindName(*table, name))
            return entry->virtualKey;
    }
    return std::nullopt;
}

QStringList SplitCombination(const QString &text)
{
    const QChar join('+');
    QStringList names;
    QString name;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != join) {
            name += text.at(i);
            continue;
        }
        const bool plusEndsAName = i + 1 == text.size() || text.at(i + 1) == join;
        if (plusEndsAName && EndsInPlus(name + join)) {
            name += join;
            continue;
        }
        names.append(name);
        name.clear();
    }
    names.append(name);
    return names;
}

QStringList AllKeyNames()
{
    QStringList names;
    for (const QVector<Entry> *table : {&KeyboardTable(), &FunctionKeyTable(), &ModifierTable()}) {
        for (const Entry &entry : *table)
            names.append(entry.name);
    }
    return names;
}

}  // namespace KeyNames
