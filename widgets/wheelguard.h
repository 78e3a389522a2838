#pragma once
#include <QObject>

class QComboBox;
class QWidget;

// One rule for the mouse wheel over the combo boxes, sliders and spin boxes
// of a page or dialog. Most of them take no keyboard focus, and Qt steps such
// a control whenever the wheel turns over it: a user scrolling a page would
// change, and write to the mouse, whatever control scrolled under the pointer.
//
// - Inside a scroll area that can scroll, a control without keyboard focus
//   passes the wheel on: the area scrolls.
// - Elsewhere (a page that does not scroll) the control takes the wheel as
//   Qt gives it: a wheel turned over a slider there means that slider.
// - A control with keyboard focus takes the wheel; an open combo list gets
//   it from Qt before any control does.
// - A menu, a combo box whose items are acts rather than values, never takes
//   the wheel: a turn would start the act of the next item.
class WheelGuard : public QObject
{
public:
    // Installs a guard, child of `root`, on every combo box, slider (scroll
    // bars aside) and spin box below `root` as they stand now.
    static WheelGuard *InstallOn(QWidget *root);

    // Marks `combo` as a menu (see above).
    static void MarkAsMenu(QComboBox *combo);

    // Whether a wheel turned over `control` goes on to what holds it
    // instead of changing the control.
    static bool PassesOn(const QWidget *control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WheelGuard(QObject *parent);
};
