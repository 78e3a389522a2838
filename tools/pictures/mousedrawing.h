#pragma once
#include <QColor>
#include <QRectF>

class QPainter;

// The gaming mouse seen from above, drawn into a box of about 5 : 8.
namespace MouseDrawing {

enum class Look {
    Lit,      // online: accent wheel, logo and underglow
    Asleep,   // offline: dimmed, no light
    Unknown,  // unidentified: a dashed outline with a question mark
};

void Draw(QPainter &painter, const QRectF &box, Look look);

// A small outline icon of the mouse, for toolbar-sized pictures.
void DrawIcon(QPainter &painter, const QRectF &box, const QColor &color, qreal width,
              bool leftButtonFilled);

}  // namespace MouseDrawing
