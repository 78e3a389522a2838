#pragma once
// The two full-window backgrounds, the device list's and the device page's,
// drawn with the painter at paint time instead of kept as 1020 x 700
// pictures: gradients, hairlines and the content panel are drawn here; the
// brand and a small grain tile are pictures of the picture set (Dialog/Brand,
// Dialog/Grain), drawn over them. The picture generator composes the same
// scene from the same code, so what it shows is what the program paints.

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

class QPainter;
class QPixmap;

namespace PageScene {

enum class Kind { DeviceList, DevicePage };

constexpr QSize kSize(1020, 700);
// The brand picture (emblem and name) and the grain tile.
constexpr QSize kBrandSize(180, 44);
constexpr int kGrainTile = 128;
// Where the brand's emblem starts inside its picture.
constexpr int kBrandMargin = 8;

// Where the brand picture stands on a background of `kind`.
QRect BrandRect(Kind kind);

// The whole background of `kind` in the painter's current clip: the shapes,
// the brand, then the grain tiled from the top left.
void Paint(QPainter &painter, Kind kind, const QPixmap &brand, const QPixmap &grain);

// Shapes the backgrounds share with the picture set's other scenes: a
// top-to-bottom gradient over `r`, and an elliptic glow of `color` fading out
// to the radii rx, ry around `centre`.
void VerticalFill(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom);
void SoftLight(QPainter &p, const QPointF &centre, qreal rx, qreal ry, const QColor &color);

}  // namespace PageScene
