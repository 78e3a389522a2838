#pragma once
// Frameless translucent windows (the pairing dialog) paint rounded pictures
// on a transparent window. Without a compositing manager the X server shows
// the transparent parts black; such a window then gets a mask cut from what
// it paints, so its corners show what lies behind it. With a compositor
// nothing changes.

#include <QRegion>
#include <functional>

class QWidget;

namespace TranslucentWindows {

// Watches every window of the program as it is shown (an application-wide
// event filter). Calling it again changes nothing.
void Install();

// Whether the windows' transparency is shown as such: a compositing manager
// owns the display's compositing selection, or the platform is not X11.
bool CompositorRunning();

// Tests replace the question; an empty function restores it.
void SetCompositorProbe(std::function<bool()> probe);

// What `window` paints with at least half opacity, in its own coordinates;
// the whole window when it paints nothing at all.
QRegion PaintedRegion(QWidget *window);

// Gives `window` the mask it needs now (or none).
void Shape(QWidget *window);

}  // namespace TranslucentWindows
