#include "paintkit.h"

#include "palette.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QVector>
#include <QtMath>

namespace PaintKit {

namespace {

// One horizontal (or vertical) box pass over premultiplied pixels.
void BoxPass(QImage &image, int radius, bool horizontal)
{
    const int w = image.width();
    const int h = image.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    const int span = 2 * radius + 1;
    QVector<QRgb> source(length);
    for (int line = 0; line < lines; ++line) {
        for (int i = 0; i < length; ++i)
            source[i] = horizontal ? image.pixel(i, line) : image.pixel(line, i);
        int sum[4] = {0, 0, 0, 0};
        auto add = [&](int index, int sign) {
            if (index < 0 || index >= length)
                return;
            const QRgb p = source[index];
            sum[0] += sign * qAlpha(p);
            sum[1] += sign * qRed(p);
            sum[2] += sign * qGreen(p);
            sum[3] += sign * qBlue(p);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        for (int i = 0; i < length; ++i) {
            const QRgb out = qRgba(sum[1] / span, sum[2] / span, sum[3] / span, sum[0] / span);
            if (horizontal)
                image.setPixel(i, line, out);
            else
                image.setPixel(line, i, out);
            add(i - radius, -1);
            add(i + radius + 1, 1);
        }
    }
}

QFont PictureFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace

void Blur(QImage &image, int radius)
{
    if (radius <= 0)
        return;
    const int pass = qMax(1, radius / 2);
    for (int i = 0; i < 3; ++i) {
        BoxPass(image, pass, true);
        BoxPass(image, pass, false);
    }
}

void Glow(QPainter &painter, const QPainterPath &path, const QColor &color, int radius)
{
    const QPainterPath mapped = painter.worldTransform().map(path);
    const QRect box = mapped.boundingRect().toAlignedRect().adjusted(-2 * radius, -2 * radius,
                                                                     2 * radius, 2 * radius);
    QImage layer(box.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(-box.topLeft());
        p.fillPath(mapped, color);
    }
    Blur(layer, radius);
    painter.save();
    painter.resetTransform();
    painter.drawImage(box.topLeft(), layer);
    painter.restore();
}

void Grain(QPainter &painter, const QRectF &rect, int strength)
{
    // A small linear congruential generator with a fixed seed: the same
    // grain at every build.
    quint32 seed = 0x2545F491u;
    QImage grain(rect.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < grain.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(grain.scanLine(y));
        for (int x = 0; x < grain.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int alpha = int((seed >> 24) % quint32(strength + 1));
            const bool light = (seed >> 16) & 1u;
            const int level = light ? alpha : 0;
            line[x] = qRgba(level, level, level, alpha);
        }
    }
    painter.drawImage(rect.topLeft(), grain);
}

void Panel(QPainter &painter, const QRectF &rect, qreal radius, const QColor &top,
           const QColor &bottom, const QColor &border)
{
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.save();
    if (border.isValid()) {
        const QRectF inner = rect.adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(border, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(inner, radius, radius);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(rect, radius, radius);
    }
    painter.restore();
}

void TopSheen(QPainter &painter, const QRectF &rect, qreal radius, int alpha)
{
    QLinearGradient sheen(rect.topLeft(), rect.bottomLeft());
    sheen.setColorAt(0, QColor(255, 255, 255, alpha));
    sheen.setColorAt(0.5, QColor(255, 255, 255, 0));
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(sheen);
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
    painter.restore();
}

void Stroke(QPainter &painter, const QPainterPath &path, const QColor &color, qreal width)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.restore();
}

QPainterPath TextPath(const QString &text, int pixelSize, bool bold, const QPointF &center)
{
    const QFont font = PictureFont(pixelSize, bold);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    path.translate(center - box.center());
    return path;
}

QPainterPath SpacedTextPath(const QString &text, int pixelSize, bool bold, qreal spacing,
                            const QPointF &baselineLeft)
{
    QFont font = PictureFont(pixelSize, bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    QPainterPath path;
    path.addText(baselineLeft, font, text);
    return path;
}

QPainterPath Chevron(const QRectF &box, bool up)
{
    QPainterPath path;
    const qreal top = up ? box.bottom() : box.top();
    const qreal tip = up ? box.top() : box.bottom();
    path.moveTo(box.left(), top);
    path.lineTo(box.center().x(), tip);
    path.lineTo(box.right(), top);
    return path;
}

QPainterPath SideChevron(const QRectF &box, bool right)
{
    QPainterPath path;
    const qreal back = right ? box.left() : box.right();
    const qreal tip = right ? box.right() : box.left();
    path.moveTo(back, box.top());
    path.lineTo(tip, box.center().y());
    path.lineTo(back, box.bottom());
    return path;
}

QPainterPath CheckMark(const QRectF &box)
{
    QPainterPath path;
    path.moveTo(box.left(), box.top() + box.height() * 0.55);
    path.lineTo(box.left() + box.width() * 0.38, box.bottom());
    path.lineTo(box.right(), box.top());
    return path;
}

QPainterPath Cross(const QRectF &box)
{
    QPainterPath path;
    path.moveTo(box.topLeft());
    path.lineTo(box.bottomRight());
    path.moveTo(box.topRight());
    path.lineTo(box.bottomLeft());
    return path;
}

QPainterPath Gear(const QPointF &center, qreal outer, qreal inner, int teeth)
{
    QPainterPath path;
    const int steps = teeth * 4;
    for (int i = 0; i < steps; ++i) {
        // Each tooth: rise, top, fall, valley.
        const qreal angle = (i / qreal(steps)) * 2 * M_PI - M_PI / 2;
        const int phase = i % 4;
        const qreal r = (phase == 1 || phase == 2) ? outer : inner;
        const QPointF point(center.x() + r * qCos(angle), center.y() + r * qSin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

QPainterPath WirelessArcs(const QPointF &base, qreal radius, int count)
{
    QPainterPath path;
    for (int i = 1; i <= count; ++i) {
        const qreal r = radius * i / count;
        const QRectF circle(base.x() - r, base.y() - r, 2 * r, 2 * r);
        path.arcMoveTo(circle, 45);
        path.arcTo(circle, 45, 90);
    }
    return path;
}

QPainterPath Emblem(const QRectF &box)
{
    // Two slanted blades meeting low in the middle, the right one longer:
    // a talon-like "V".
    const qreal w = box.width();
    const qreal h = box.height();
    auto at = [&](qreal x, qreal y) { return QPointF(box.left() + x * w, box.top() + y * h); };
    QPainterPath left;
    left.moveTo(at(0.02, 0.10));
    left.lineTo(at(0.30, 0.10));
    left.lineTo(at(0.52, 0.66));
    left.lineTo(at(0.42, 0.92));
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(at(0.70, 0.10));
    right.lineTo(at(0.98, 0.10));
    right.lineTo(at(0.60, 0.92));
    right.lineTo(at(0.47, 0.92));
    right.lineTo(at(0.56, 0.66));
    right.closeSubpath();
    return left.united(right);
}

QColor StrokeFor(State state)
{
    switch (state) {
    case State::Hover:
        return Palette::Text();
    case State::Pressed:
        return Palette::Accent();
    case State::Normal:
        break;
    }
    return Palette::Secondary();
}

}  // namespace PaintKit
