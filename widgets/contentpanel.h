#pragma once
// The rounded panel that the device page's background picture draws behind
// the settings pages, shared by the picture generator that draws it and the
// pages that must stay inside it. Coordinates are those of the background
// (the device page's frame_2, 1020 x 700).

#include <QPoint>
#include <QRect>

namespace ContentPanel {

// The panel's outline; its 1 px border runs along the outermost pixels.
constexpr QRect kOutline(146, 110, 862, 578);
constexpr int kCornerRadius = 12;
// Inside the border.
constexpr QRect kInside(kOutline.x() + 1, kOutline.y() + 1, kOutline.width() - 2, kOutline.height() - 2);

// Where the device page stacks its settings pages (frame_4 of its form, in
// whose height the stack stands centred).
constexpr QPoint kPagesOrigin(140, 95);

// The inside of the panel in a settings page's own coordinates.
constexpr QRect InsideOnPage()
{
    return QRect(kInside.x() - kPagesOrigin.x(), kInside.y() - kPagesOrigin.y(), kInside.width(),
                 kInside.height());
}

}  // namespace ContentPanel
