#pragma once
// The rules by which a macro's event list is edited, without any widget.
//
// The editor holds the list and a current row (-1 for none). Every edit keeps
// the list alternating key, delay, key, ..., key: inserted keys and mouse
// clicks bring "10ms" delays with them, a deleted key takes its delay along.
// The mouse's record holds 70 key events, so an insert that would make a 71st
// key is refused and changes nothing. None of the inserts moves the current
// row, except InsertDelay, which makes the delay it set current.
//
// Repaired() turns any list, from a damaged file or an old version, into the
// alternating shape, and the limits are counted on a list as it was read.

#include "macroitem.h"

#include <QtGlobal>

class EventListEditor
{
public:
    // Key events of one macro in the mouse's record (press and release count one each).
    static constexpr int kMaxKeys = 70;
    // Items of a list of 70 keys with a delay between each two.
    static constexpr int kMaxItems = 2 * kMaxKeys - 1;
    // The longest delay the record holds.
    static constexpr quint32 kMaxDelayMs = 4294967295u;
    // The delay that inserted keys and clicks bring with them.
    static constexpr int kInsertedDelayMs = 10;

    explicit EventListEditor(MacroItems items = {}, int currentRow = -1);

    const MacroItems &Items() const { return items; }
    int CurrentRow() const { return current; }
    // Rows outside the list make no row current.
    void SetCurrentRow(int row);
    int KeyCount() const { return KeyCountOf(items); }

    // A key press or release: after the current key and its delay, after the
    // current delay, or at the end (alone in an empty list). False, with
    // nothing changed, when it would be the 71st key.
    bool InsertKeyEvent(const QString &name, bool press);
    // A press and a release of a mouse button with "10ms" between them,
    // directly after the current key or delay, or at the end.
    bool InsertMouseClick(const QString &buttonName);
    // Sets the delay at the current position: the current delay, or the one
    // above the current key (inserted when there is none), which becomes
    // current. False, with nothing changed, on the first row or without one.
    bool InsertDelay(double ms);
    // The current key's name (a press stays a press) or the current delay's
    // milliseconds; false when the current row is not of that kind.
    bool AmendKey(const QString &name);
    bool AmendDelay(double ms);
    // Removes the current item with its neighbour: a key with the delay below
    // it, a delay or the last item with the item above it. A list of fewer
    // than four items is emptied at once, whatever is current. False when
    // nothing was done (no current row in a longer list).
    bool DeleteCurrent();
    // Recording and the record read from the mouse: a key, made current; a
    // delay, with the item before it made current.
    void AppendKey(const QString &name, bool press);
    void AppendDelay(double ms);

    static int KeyCountOf(const MacroItems &items);
    // At most 70 keys and 139 items, counted as the list stands.
    static bool WithinLimits(const MacroItems &items);
    // True for key, delay, key, ..., key (or an empty list).
    static bool Alternates(const MacroItems &items);
    // The list in its alternating shape: a "0ms" delay between two adjacent
    // keys, adjacent delays summed, a leading or trailing delay dropped, and
    // every delay at most 4294967295 ms. Keys are kept as they are.
    static MacroItems Repaired(const MacroItems &items);
    // The milliseconds of a delay text ("10ms"), at most kMaxDelayMs; 0 for
    // a text that is not digits followed by "ms".
    static quint32 DelayMsOf(const MacroItem &item);

private:
    bool IsDelayRow(int row) const;
    void InsertAt(int row, const MacroItems &inserted);
    // Where an inserted key (or click) goes, as the rules place it.
    enum class Place { AfterFirstKey, Alone, AtEnd, AfterDelay, AfterKey };
    Place PlaceOfInsert() const;

    MacroItems items;
    int current = -1;
};
