#include "listscroll.h"

#include <QAbstractButton>
#include <QLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QVector>
#include <algorithm>
#include <cstdlib>

namespace {

struct Item {
    int top;
    int bottom;  // one past the last line
    bool checked;
};

// The part of `widget` that its ancestors leave visible, in its coordinates.
QRect VisiblePart(const QWidget *widget)
{
    QRect visible = widget->rect();
    QPoint origin;  // the widget's corner in the ancestor's coordinates
    for (const QWidget *w = widget; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        origin += w->pos();
        visible &= w->parentWidget()->rect().translated(-origin);
    }
    return visible;
}

QVector<Item> ItemsOf(QWidget *content)
{
    // The list may not have been shown yet.
    if (content->layout())
        content->layout()->activate();
    QVector<Item> items;
    for (const QWidget *child : content->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->isHidden())
            continue;
        const auto *button = qobject_cast<const QAbstractButton *>(child);
        items.append({child->y(), child->y() + child->height(), button && button->isChecked()});
    }
    return items;
}

}  // namespace

namespace ListScroll {

int WholeItemPosition(const QScrollArea *area, int position)
{
    const QScrollBar *bar = area->verticalScrollBar();
    const QRect seen = VisiblePart(area->viewport());
    if (!area->widget() || seen.isEmpty())
        return position;
    const QVector<Item> items = ItemsOf(area->widget());
    const int aim = std::clamp(position, bar->minimum(), bar->maximum());

    const Item *current = nullptr;
    for (const Item &item : items) {
        if (item.checked && (!current || std::abs(item.top - (aim + seen.top())) < std::abs(current->top - (aim + seen.top()))))
            current = &item;
    }
    const auto cutsAnItem = [&](int at) {
        const int edge = at + seen.top();
        return std::any_of(items.cbegin(), items.cend(),
                           [edge](const Item &item) { return item.top < edge && edge < item.bottom; });
    };
    const auto showsCurrent = [&](int at) {
        return !current || (current->top >= at + seen.top() && current->bottom <= at + seen.top() + seen.height());
    };

    QVector<int> candidates{bar->minimum(), bar->maximum()};
    for (const Item &item : items) {
        const int at = item.top - seen.top();
        if (at >= bar->minimum() && at <= bar->maximum())
            candidates.append(at);
    }
    int best = position;
    int bestRank = 3;  // 0: whole items and the current one in view, 1: whole items, 3: none found
    for (const int at : qAsConst(candidates)) {
        if (cutsAnItem(at))
            continue;
        const int rank = showsCurrent(at) ? 0 : 1;
        if (rank < bestRank || (rank == bestRank && std::abs(at - aim) < std::abs(best - aim))) {
            best = at;
            bestRank = rank;
        }
    }
    return best;
}

}  // namespace ListScroll
