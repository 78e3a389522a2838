#pragma once
// One entry of a macro's event list, as the macro page shows it and as the
// macro files and the device record are made from it: a key (or mouse-button)
// press or release named by its key name, or a delay such as "10ms".
//
// A well-formed list alternates key, delay, key, ..., key. An entry is a delay
// when its text contains "ms" (no key name does); a key entry of type 0 is a
// press, any other type a release. The type is the list item's type number.

#include <QString>
#include <QVector>

struct MacroItem {
    static constexpr int kPressType = 0;
    static constexpr int kReleaseType = 1;
    static constexpr int kDelayType = 0;

    QString text;
    int type = kPressType;

    static MacroItem Key(const QString &name, bool press)
    {
        return MacroItem{name, press ? kPressType : kReleaseType};
    }
    // The delay text: the milliseconds rounded to a whole number, then "ms".
    static MacroItem Delay(double ms) { return MacroItem{QString::number(ms, 'f', 0) + QStringLiteral("ms"), kDelayType}; }

    bool IsDelay() const { return text.contains(QStringLiteral("ms")); }
    bool IsPress() const { return type == kPressType; }

    bool operator==(const MacroItem &other) const { return text == other.text && type == other.type; }
    bool operator!=(const MacroItem &other) const { return !(*this == other); }
};

using MacroItems = QVector<MacroItem>;
