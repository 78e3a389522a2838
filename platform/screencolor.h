#pragma once
// The colour of the screen pixel under the mouse cursor, for the lighting
// page's colour board.
//
// The pixel is read from the screen the cursor is on, with a 1 x 1 grab at
// the cursor's position in that screen's logical coordinates, so a second
// screen or a scaled one gives the pixel the user sees under the pointer.
// When the platform gives no pixel (no screen under the cursor, a null
// pixmap or image, an invalid pixel) the answer is "no colour".
//
// Tests put a reader of their own in place of the screen (SetReaderForTesting).

#include <QColor>
#include <QPoint>
#include <functional>
#include <optional>

namespace ScreenColor {

using Reader = std::function<std::optional<QColor>()>;

// The colour under the cursor, or std::nullopt for "no colour". GUI thread only.
std::optional<QColor> UnderCursor();

// The colour of the screen pixel at `globalPos` (logical, virtual-desktop
// coordinates), or std::nullopt. What UnderCursor reads unless replaced.
std::optional<QColor> AtScreenPoint(const QPoint &globalPos);

// Replaces what UnderCursor answers; an empty reader puts the screen back.
void SetReaderForTesting(Reader reader);

}  // namespace ScreenColor
