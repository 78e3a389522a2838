#pragma once
#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;
class QImage;

// Small drawing helpers shared by the picture painters.
namespace PaintKit {

// The look of a control in one of its states.
enum class State { Normal, Hover, Pressed };

// Blurs `image` (premultiplied ARGB) in place with three box passes.
void Blur(QImage &image, int radius);

// A soft glow of `path` (in the painter's current coordinates).
void Glow(QPainter &painter, const QPainterPath &path, const QColor &color, int radius);

// A faint, fixed grain over `rect` that hides the banding of wide gradients.
void Grain(QPainter &painter, const QRectF &rect, int strength);

// A rounded rectangle with a vertical gradient from `top` to `bottom` and an
// optional 1 px border (pass an invalid colour for none).
void Panel(QPainter &painter, const QRectF &rect, qreal radius, const QColor &top,
           const QColor &bottom, const QColor &border);

// A thin highlight along the upper edge of a rounded rectangle.
void TopSheen(QPainter &painter, const QRectF &rect, qreal radius, int alpha);

// Strokes `path` with round caps and joins.
void Stroke(QPainter &painter, const QPainterPath &path, const QColor &color, qreal width);

// The outline of `text` in the program's picture font, centred on `center`.
QPainterPath TextPath(const QString &text, int pixelSize, bool bold, const QPointF &center);

// The outline of `text` with extra letter spacing, its baseline starting at
// `baselineLeft`.
QPainterPath SpacedTextPath(const QString &text, int pixelSize, bool bold, qreal spacing,
                            const QPointF &baselineLeft);

// A chevron pointing down (or up) inside `box`.
QPainterPath Chevron(const QRectF &box, bool up);

// A chevron pointing right (or left) inside `box`.
QPainterPath SideChevron(const QRectF &box, bool right);

// A check mark inside `box`.
QPainterPath CheckMark(const QRectF &box);

// An "x" inside `box`.
QPainterPath Cross(const QRectF &box);

// A gear with `teeth` teeth centred on `center`.
QPainterPath Gear(const QPointF &center, qreal outer, qreal inner, int teeth);

// Wireless arcs rising from `base`, `count` of them, the largest of radius `radius`.
QPainterPath WirelessArcs(const QPointF &base, qreal radius, int count);

// A small stylised "V" talon mark inside `box`: the program's emblem.
QPainterPath Emblem(const QRectF &box);

// The colours of the toggles, check boxes and buttons for a state.
QColor StrokeFor(State state);

}  // namespace PaintKit
