#include "pagescene.h"

#include "contentpanel.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

namespace PageScene {

namespace {

const QColor kAccent(255, 122, 26);

QColor WithAlpha(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

// A hairline that fades out towards both ends.
void FadingLine(QPainter &p, const QPointF &from, const QPointF &to, const QColor &color, qreal width)
{
    QLinearGradient g(from, to);
    g.setColorAt(0, WithAlpha(color, 0));
    g.setColorAt(0.5, color);
    g.setColorAt(1, WithAlpha(color, 0));
    p.save();
    p.setPen(QPen(QBrush(g), width));
    p.drawLine(from, to);
    p.restore();
}

void FineStripes(QPainter &p, const QRectF &r, int alpha)
{
    p.save();
    p.setClipRect(r, Qt::IntersectClip);
    p.setPen(QPen(QColor(255, 255, 255, alpha), 1));
    for (qreal x = r.left() - r.height(); x < r.right(); x += 12)
        p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height(), r.top()));
    p.restore();
}

void DevicePageShapes(QPainter &p, const QRectF &r)
{
    VerticalFill(p, r, QColor(22, 23, 28), QColor(16, 17, 20));
    // Top bar with the navigation tray.
    const QRectF bar(0, 0, r.width(), 100);
    VerticalFill(p, bar, QColor(31, 32, 38), QColor(24, 25, 30));
    FineStripes(p, bar, 4);
    p.fillRect(QRectF(0, 99, r.width(), 1), QColor(42, 43, 50));
    FadingLine(p, QPointF(160, 99.5), QPointF(680, 99.5), kAccent, 1.2);
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    p.setBrush(QColor(255, 255, 255, 6));
    p.drawRoundedRect(QRectF(210.5, 52.5, 398, 44), 10, 10);
    p.restore();
    // Left column under the back arrow.
    p.fillRect(QRectF(0, 100, 134, r.height() - 100), QColor(21, 22, 26));
    p.fillRect(QRectF(134, 100, 1, r.height() - 100), QColor(36, 37, 44));
    // Content panel behind the settings pages.
    const QRectF content(ContentPanel::kOutline);
    QPainterPath panel;
    panel.addRoundedRect(content.adjusted(0.5, 0.5, -0.5, -0.5), ContentPanel::kCornerRadius,
                         ContentPanel::kCornerRadius);
    p.fillPath(panel, QColor(25, 26, 31, 200));
    p.save();
    p.setClipPath(panel, Qt::IntersectClip);
    SoftLight(p, content.topLeft() + QPointF(120, 40), 420, 260, QColor(255, 122, 26, 12));
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 41, 48), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(panel);
}

void DeviceListShapes(QPainter &p, const QRectF &r)
{
    QRadialGradient base(QPointF(r.width() / 2, r.height() * 0.55), r.width() * 0.7);
    base.setColorAt(0, QColor(34, 33, 35));
    base.setColorAt(1, QColor(16, 17, 20));
    p.fillRect(r, base);
    FineStripes(p, r, 3);
    // A floor of light under the row of tiles.
    SoftLight(p, QPointF(r.width() / 2, 572), 470, 70, QColor(255, 122, 26, 40));
    FadingLine(p, QPointF(110, 566.5), QPointF(r.width() - 110, 566.5), WithAlpha(kAccent, 150), 1);
    const QRectF bar(0, 0, r.width(), 50);
    VerticalFill(p, bar, QColor(31, 32, 38), QColor(24, 25, 30));
    p.fillRect(QRectF(0, 50, r.width(), 1), QColor(42, 43, 50));
    FadingLine(p, QPointF(0, 50.5), QPointF(r.width(), 50.5), WithAlpha(kAccent, 170), 1);
}

}  // namespace

void VerticalFill(QPainter &p, const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
}

void SoftLight(QPainter &p, const QPointF &centre, qreal rx, qreal ry, const QColor &color)
{
    p.save();
    p.translate(centre);
    p.scale(1.0, ry / rx);
    QRadialGradient g(QPointF(0, 0), rx);
    g.setColorAt(0, color);
    g.setColorAt(1, WithAlpha(color, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(0, 0), rx, rx);
    p.restore();
}

QRect BrandRect(Kind kind)
{
    const QPoint emblem = kind == Kind::DevicePage ? QPoint(26, 34) : QPoint(18, 12);
    return QRect(emblem - QPoint(kBrandMargin, kBrandMargin), kBrandSize);
}

void Paint(QPainter &painter, Kind kind, const QPixmap &brand, const QPixmap &grain)
{
    const QRectF whole(QPointF(0, 0), kSize);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (kind == Kind::DevicePage)
        DevicePageShapes(painter, whole);
    else
        DeviceListShapes(painter, whole);
    painter.drawPixmap(BrandRect(kind).topLeft(), brand);
    painter.drawTiledPixmap(whole.toRect(), grain);
    painter.restore();
}

}  // namespace PageScene
