#pragma once
// What a row of the button page can be given, as a value: the entry the
// mouse takes (type, param1, param2) and, for a key or a macro, the record
// that goes with it. A function names its own caption from the page's
// current texts (CaptionTexts), so that neither captions nor any decision
// of the page depends on the text a widget happens to show.

#include "flashdatamap.h"
#include "keyrecord.h"
#include "macrorecord.h"

#include <QHash>
#include <QString>
#include <functional>
#include <optional>

// The texts captions are made of, as the page shows them now: the text of
// each function button by entry, of each media button by the low byte of its
// usage, the DPI-lock label, and the macro prefix.
struct CaptionTexts {
    // Entries whose caption does not depend on param1 are kept under this param.
    static constexpr int kAnyParam = -1;
    QHash<QPair<int, int>, QString> plain;
    QHash<int, QString> media;
    QString dpiLock;
    QString macroPrefix;
    // The caption of a key-combination record (the names of its presses).
    std::function<QString(const KeyRecord &)> keysCaption;
    // The DPI value of a DPI-lock code, for the model's sensor.
    std::function<int(int)> dpiValueOfCode;

    // The param under which the text of entry (type, param1) is kept.
    static int ParamKey(int type, int param1);
    std::optional<QString> Plain(int type, int param1) const;
};

class Function
{
public:
    enum class Kind {
        Plain,      // mouse button, DPI action, tilt, report-rate or profile switch, lighting, wheel, none
        FireKey,    // type 4: interval and repeat count
        KeyRecord,  // type 5: a media key or a key combination
        Macro,      // type 6: a macro record and its loop code
        DpiLock,    // type 10: the sensor's code of a DPI value
    };

    static constexpr int kNone = 0;
    static constexpr int kMouseButton = 1;
    static constexpr int kFireKey = 4;
    static constexpr int kKey = 5;
    static constexpr int kMacro = 6;
    static constexpr int kDpiLock = 10;
    static constexpr int kLeftButton = 1;

    Function() = default;
    static Function Plain(int type, int param1);
    static Function FireKey(int interval, int count);
    static Function Keys(const ::KeyRecord &record);
    // A macro for device button `device`: the entry names the button itself.
    static Function Macro(int device, const MacroRecord &record, int loopCode);
    // A DPI lock at `value`, which the sensor codes as `code`.
    static Function DpiLock(int code, int value);
    // What a button holds: its entry and its key and macro records.
    static Function Stored(const KeyEntry &entry, const uint8_t *keyRecord, const uint8_t *macroRecord);
    // What device button `device` (0-15) holds in `image`.
    static Function Stored(const FlashDataMap &image, int device);

    // The same function that also clears the button's key record.
    Function ClearingKeyRecord() const;

    Kind kind() const { return m_kind; }
    KeyEntry Entry() const { return m_entry; }
    const std::optional<KeyRecordBytes> &KeyRecordBytesToStore() const { return m_keys; }
    const std::optional<MacroRecordBytes> &MacroRecordBytesToStore() const { return m_macro; }
    // The loop code as the macro's file gave it (the entry keeps its low 8 bits).
    int LoopCode() const { return m_loopCode; }
    // The DPI value of a lock chosen from the list (0 for one read back).
    int DpiValue() const { return m_dpiValue; }
    bool IsLeftButton() const { return m_entry.Type == kMouseButton && m_entry.Param1 == kLeftButton; }
    // The name a macro function's record carries; empty for other kinds.
    QString MacroName() const;

    // The row's caption for this function, or none when the page has no text
    // for it (the row then keeps the caption it has).
    std::optional<QString> Caption(const CaptionTexts &texts) const;

    // The name a device macro record carries: its name field up to the first
    // NUL, in the local 8-bit encoding.
    static QString MacroNameOf(const uint8_t *record);

    bool operator==(const Function &other) const;

private:
    Kind m_kind = Kind::Plain;
    KeyEntry m_entry{};
    std::optional<KeyRecordBytes> m_keys;
    std::optional<MacroRecordBytes> m_macro;
    int m_loopCode = 0;
    int m_dpiValue = 0;  // 0: take the value from the code
};

