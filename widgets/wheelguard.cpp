#include "wheelguard.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QScrollBar>

namespace {

const char kMenuProperty[] = "wheelGuardMenu";

bool IsGuarded(const QWidget *widget)
{
    if (qobject_cast<const QScrollBar *>(widget))
        return false;
    return qobject_cast<const QComboBox *>(widget) || qobject_cast<const QAbstractSlider *>(widget)
           || qobject_cast<const QAbstractSpinBox *>(widget);
}

bool HasKeyboardFocus(const QWidget *control)
{
    // A spin box hands its focus to its line edit.
    const QWidget *focus = QApplication::focusWidget();
    return focus && (focus == control || control->isAncestorOf(focus));
}

bool CanScroll(const QAbstractScrollArea *area)
{
    const QScrollBar *vertical = area->verticalScrollBar();
    const QScrollBar *horizontal = area->horizontalScrollBar();
    return vertical->maximum() > vertical->minimum() || horizontal->maximum() > horizontal->minimum();
}

// Whether `control` stands in the viewport of a scroll area, in its own
// window, whose content can scroll.
bool InScrollingArea(const QWidget *control)
{
    for (const QWidget *w = control; w && !w->isWindow(); w = w->parentWidget()) {
        const auto *area = qobject_cast<const QAbstractScrollArea *>(w->parentWidget());
        if (area && area->viewport() == w && CanScroll(area))
            return true;
    }
    return false;
}

}  // namespace

WheelGuard::WheelGuard(QObject *parent) : QObject(parent) {}

WheelGuard *WheelGuard::InstallOn(QWidget *root)
{
    auto *guard = new WheelGuard(root);
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        if (IsGuarded(widget))
            widget->installEventFilter(guard);
    }
    return guard;
}

void WheelGuard::MarkAsMenu(QComboBox *combo)
{
    combo->setProperty(kMenuProperty, true);
}

bool WheelGuard::PassesOn(const QWidget *control)
{
    if (control->property(kMenuProperty).toBool())
        return true;
    return !HasKeyboardFocus(control) && InScrollingArea(control);
}

bool WheelGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType()
        || !PassesOn(static_cast<QWidget *>(watched)))
        return false;
    // Unaccepted, the event travels on to the parents: the scroll area
    // scrolls, and a page that does not scroll lets it pass unused.
    event->ignore();
    return true;
}
