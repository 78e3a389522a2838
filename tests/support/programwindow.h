#pragma once
// Driving the program's main window as a user does: opening a device from the
// device list, waiting until the program is settled, turning the mouse wheel.

#include <QPoint>
#include <QString>

class DialogMain;
class QWidget;

namespace TestSupport {

// No dialog open and no worker pass running.
bool Settled();

// Clicks the device list's tile of the device with `pid` once it is online,
// and waits until the device page has been filled from it.
bool OpenTile(DialogMain *window, const QString &pid);

// Turns the wheel `notches` notches (positive: away from the user, up) with
// the pointer at `pos` of `widget`, as the window system delivers it: to the
// window, which hands it to the widget under the pointer and, while none
// takes it, on to its parents.
void TurnWheel(QWidget *widget, const QPoint &pos, int notches);

}  // namespace TestSupport
