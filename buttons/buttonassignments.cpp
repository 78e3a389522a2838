#include "buttonassignments.h"

#include <algorithm>
#include <cstring>

namespace {

// The factory functions of device buttons 0-5.
constexpr KeyEntry kResetEntries[ButtonAssignments::kRows] = {{1, 1, 0}, {1, 2, 0}, {1, 4, 0},
                                                              {1, 8, 0}, {1, 16, 0}, {2, 1, 0}};

}  // namespace

int ButtonAssignments::DeviceOfRow(int row)
{
    return row >= 0 && row < kRows ? kRowDeviceButtons[row] : -1;
}

int ButtonAssignments::RowOfDevice(int device)
{
    for (int row = 0; row < kRows; ++row) {
        if (kRowDeviceButtons[row] == device)
            return row;
    }
    return -1;
}

void ButtonAssignments::Load(const FlashDataMap &image, int keyNumber)
{
    m_image = image;
    m_keyCount = std::clamp(keyNumber, 0, kKeyCount);
    m_holdsSettings = true;
}

void ButtonAssignments::Reset()
{
    m_image = FlashDataMap{};
    std::copy(std::begin(kResetEntries), std::end(kResetEntries), m_image.Keys);
    m_keyCount = kRows;
    m_holdsSettings = false;
}

void ButtonAssignments::Assign(int row, const Function &function)
{
    const int device = DeviceOfRow(row);
    if (device < 0)
        return;
    m_image.Keys[device] = function.Entry();
    if (const auto &keys = function.KeyRecordBytesToStore())
        std::memcpy(m_image.KeySequences[device], keys->data(), kKeySequenceSize);
    if (const auto &macro = function.MacroRecordBytesToStore())
        std::memcpy(m_image.Macros[device], macro->data(), kMacroRecordSize);
    m_keyCount = std::max(m_keyCount, device + 1);
}

void ButtonAssignments::KeepMacroRecord(int device, const MacroRecordBytes &record)
{
    if (device >= 0 && device < kKeyCount)
        std::memcpy(m_image.Macros[device], record.data(), kMacroRecordSize);
}

std::optional<KeyEntry> ButtonAssignments::Entry(int device) const
{
    return Holds(device) ? std::optional<KeyEntry>(m_image.Keys[device]) : std::nullopt;
}

std::optional<Function> ButtonAssignments::FunctionOfRow(int row) const
{
    const int device = DeviceOfRow(row);
    return Holds(device) ? std::optional<Function>(Function::Stored(m_image, device)) : std::nullopt;
}

QVector<int> ButtonAssignments::Field(uint8_t KeyEntry::*field) const
{
    QVector<int> values;
    for (int device = 0; device < m_keyCount; ++device)
        values.append(m_image.Keys[device].*field);
    return values;
}

QVector<int> ButtonAssignments::Types() const { return Field(&KeyEntry::Type); }
QVector<int> ButtonAssignments::Params1() const { return Field(&KeyEntry::Param1); }
QVector<int> ButtonAssignments::Params2() const { return Field(&KeyEntry::Param2); }

bool ButtonAssignments::IsOnlyLeftButtonRow(int row) const
{
    int leftRows = 0;
    for (int each = 0; each < kRows; ++each) {
        const std::optional<Function> function = FunctionOfRow(each);
        if (function && function->IsLeftButton())
            ++leftRows;
    }
    const std::optional<Function> function = FunctionOfRow(row);
    return leftRows == 1 && function && function->IsLeftButton();
}

QList<int> ButtonAssignments::DevicesOfMacro(const QString &name) const
{
    QList<int> devices;
    for (int device : kRowDeviceButtons) {
        if (Holds(device) && m_image.Keys[device].Type == Function::kMacro
            && Function::MacroNameOf(m_image.Macros[device]) == name)
            devices.append(device);
    }
    return devices;
}

MacroRecordBytes ButtonAssignments::Renamed(const uint8_t *in, const QString &name)
{
    MacroRecord record = LoadRecord(in);
    const QByteArray bytes = MacroRecordNameBytes(QString(name).remove(QChar(0)));
    std::memset(record.Name, 0, sizeof record.Name);
    std::memcpy(record.Name, bytes.constData(), size_t(bytes.size()));
    record.NameLength = uint8_t(bytes.size());
    return StoreRecord(record);
}
