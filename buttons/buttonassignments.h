#pragma once
// The button page's model: what each device button holds (entry, key record
// and macro record), as last read from the mouse or a file, or as last given
// by the page. Six rows stand for device buttons 0-5; rows 4 and 5 carry
// buttons 4 and 3. The page shows this model and decides by it; nothing of
// it is kept only in widgets.

#include "buttonfunction.h"
#include "flashdatamap.h"

#include <QList>
#include <QVector>
#include <optional>

class ButtonAssignments
{
public:
    static constexpr int kRows = 6;
    static constexpr int kRowDeviceButtons[kRows] = {0, 1, 2, 4, 3, 5};
    // The device button of row `row`, or -1 outside 0-5.
    static int DeviceOfRow(int row);
    // The row of device button `device`, or -1 for a button without a row.
    static int RowOfDevice(int device);

    // Takes the first `keyNumber` buttons of `image` (at most its 16).
    void Load(const FlashDataMap &image, int keyNumber);
    // The factory functions of the six rows (left, right, middle, back,
    // forward, DPI cycle), and no settings of a mouse.
    void Reset();
    // Row `row` holds `function`: its entry, and the key or macro record the
    // function brings. A button beyond the loaded ones joins them.
    void Assign(int row, const Function &function);
    // Keeps a macro record the mouse took for device button `device`.
    void KeepMacroRecord(int device, const MacroRecordBytes &record);

    // True after a Load, until a Reset: the model holds a mouse's settings.
    bool HoldsSettings() const { return m_holdsSettings; }
    // The settings image the model holds, with every assignment since.
    const FlashDataMap &Image() const { return m_image; }
    // How many device buttons the model holds.
    int KeyCount() const { return m_keyCount; }
    // The entry of device button `device`, none for a button not held.
    std::optional<KeyEntry> Entry(int device) const;
    // What row `row` holds, none for a row whose button is not held.
    std::optional<Function> FunctionOfRow(int row) const;
    // The entries' fields of the held buttons, by device button.
    QVector<int> Types() const;
    QVector<int> Params1() const;
    QVector<int> Params2() const;

    // The row holds the left button and no other row does: a mouse needs one.
    bool IsOnlyLeftButtonRow(int row) const;
    // Device buttons, in row order, whose entry is a macro's and whose
    // record carries `name`.
    QList<int> DevicesOfMacro(const QString &name) const;
    // A device macro record under the name `name`; its count and events stay.
    static MacroRecordBytes Renamed(const uint8_t *record, const QString &name);

private:
    bool Holds(int device) const { return device >= 0 && device < m_keyCount; }
    QVector<int> Field(uint8_t KeyEntry::*field) const;

    FlashDataMap m_image{};
    int m_keyCount = 0;
    bool m_holdsSettings = false;
};
