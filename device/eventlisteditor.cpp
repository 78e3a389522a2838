#include "eventlisteditor.h"

#include <algorithm>

namespace {

MacroItem DelayItem(quint64 ms)
{
    const quint64 clamped = std::min<quint64>(ms, EventListEditor::kMaxDelayMs);
    return MacroItem{QString::number(clamped) + QStringLiteral("ms"), MacroItem::kDelayType};
}

MacroItem InsertedDelay()
{
    return DelayItem(EventListEditor::kInsertedDelayMs);
}

}  // namespace

EventListEditor::EventListEditor(MacroItems items, int currentRow) : items(std::move(items))
{
    SetCurrentRow(currentRow);
}

void EventListEditor::SetCurrentRow(int row)
{
    current = (row >= 0 && row < items.size()) ? row : -1;
}

bool EventListEditor::IsDelayRow(int row) const
{
    return row >= 0 && row < items.size() && items.at(row).IsDelay();
}

// Inserts one after another from `row` on; a row past the end appends.
void EventListEditor::InsertAt(int row, const MacroItems &inserted)
{
    row = std::min(row, int(items.size()));
    for (const MacroItem &item : inserted)
        items.insert(row++, item);
}

EventListEditor::Place EventListEditor::PlaceOfInsert() const
{
    const int n = items.size();
    // A single key (r = 0, n = 1) has no delay below it: the new key goes
    // to the end with its delay in front, as after any last key.
    if (current == 0 && n > 1)
        return Place::AfterFirstKey;
    if (current < 0 && n == 0)
        return Place::Alone;
    if (current < 0 || current == n - 1)
        return Place::AtEnd;
    return IsDelayRow(current) ? Place::AfterDelay : Place::AfterKey;
}

bool EventListEditor::InsertKeyEvent(const QString &name, bool press)
{
    if (KeyCount() + 1 > kMaxKeys)
        return false;
    const MacroItem key = MacroItem::Key(name, press);
    switch (PlaceOfInsert()) {
    case Place::AfterFirstKey:
        InsertAt(2, {key, InsertedDelay()});
        break;
    case Place::Alone:
        InsertAt(0, {key});
        break;
    case Place::AtEnd:
        InsertAt(items.size(), {InsertedDelay(), key});
        break;
    case Place::AfterDelay:
        InsertAt(current + 1, {key, InsertedDelay()});
        break;
    case Place::AfterKey:
        InsertAt(current + 2, {key, InsertedDelay()});
        break;
    }
    return true;
}

bool EventListEditor::InsertMouseClick(const QString &buttonName)
{
    if (KeyCount() + 2 > kMaxKeys)
        return false;
    const MacroItem down = MacroItem::Key(buttonName, true);
    const MacroItem up = MacroItem::Key(buttonName, false);
    const MacroItem pause = InsertedDelay();
    switch (PlaceOfInsert()) {
    case Place::AfterFirstKey:
        InsertAt(2, {down, pause, up, pause});
        break;
    case Place::Alone:
        InsertAt(0, {down, pause, up});
        break;
    case Place::AtEnd:
        InsertAt(items.size(), {pause, down, pause, up});
        break;
    case Place::AfterDelay:
        InsertAt(current + 1, {down, pause, up, pause});
        break;
    case Place::AfterKey:
        InsertAt(current + 1, {pause, down, pause, up});
        break;
    }
    return true;
}

bool EventListEditor::InsertDelay(double ms)
{
    if (current <= 0)
        return false;
    const MacroItem pause = MacroItem::Delay(ms);
    if (IsDelayRow(current)) {
        items[current] = pause;
    } else if (IsDelayRow(current - 1)) {
        items[--current] = pause;
    } else {
        InsertAt(current, {pause});
    }
    return true;
}

bool EventListEditor::AmendKey(const QString &name)
{
    if (current < 0 || IsDelayRow(current))
        return false;
    items[current].text = name;
    return true;
}

bool EventListEditor::AmendDelay(double ms)
{
    if (!IsDelayRow(current))
        return false;
    items[current] = MacroItem::Delay(ms);
    return true;
}

bool EventListEditor::DeleteCurrent()
{
    const int n = items.size();
    if (n < 4) {
        items.clear();
        current = -1;
        return true;
    }
    if (current < 0)
        return false;
    // The pair starts at the current key, or at the key above the current
    // delay or last item.
    const bool startsHere = current < n - 1 && !IsDelayRow(current);
    const int first = startsHere ? current : current - 1;
    items.remove(first, 2);
    SetCurrentRow(std::min(first, int(items.size()) - 1));
    return true;
}

void EventListEditor::AppendKey(const QString &name, bool press)
{
    items.append(MacroItem::Key(name, press));
    current = items.size() - 1;
}

void EventListEditor::AppendDelay(double ms)
{
    items.append(MacroItem::Delay(ms));
    current = items.size() - 2;
}

int EventListEditor::KeyCountOf(const MacroItems &items)
{
    return int(std::count_if(items.begin(), items.end(), [](const MacroItem &item) { return !item.IsDelay(); }));
}

bool EventListEditor::WithinLimits(const MacroItems &items)
{
    return items.size() <= kMaxItems && KeyCountOf(items) <= kMaxKeys;
}

bool EventListEditor::Alternates(const MacroItems &items)
{
    if (!items.isEmpty() && items.size() % 2 == 0)
        return false;
    for (int row = 0; row < items.size(); ++row) {
        if (items.at(row).IsDelay() != (row % 2 == 1))
            return false;
    }
    return true;
}

quint32 EventListEditor::DelayMsOf(const MacroItem &item)
{
    const QString &text = item.text;
    if (!text.endsWith(QStringLiteral("ms")) || text.size() <= 2)
        return 0;
    quint64 ms = 0;
    for (int i = 0; i < text.size() - 2; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        ms = std::min<quint64>(ms * 10 + quint64(c.unicode() - '0'), kMaxDelayMs);
    }
    return quint32(ms);
}

MacroItems EventListEditor::Repaired(const MacroItems &items)
{
    MacroItems repaired;
    quint64 pause = 0;
    for (const MacroItem &item : items) {
        if (item.IsDelay()) {
            pause = std::min<quint64>(pause + DelayMsOf(item), kMaxDelayMs);
            continue;
        }
        // A delay before the first key is dropped; between keys it is the
        // sum of the delays read there, 0 when there were none.
        if (!repaired.isEmpty())
            repaired.append(DelayItem(pause));
        repaired.append(item);
        pause = 0;
    }
    return repaired;
}
