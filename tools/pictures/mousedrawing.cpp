#include "mousedrawing.h"

#include "paintkit.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace MouseDrawing {

namespace {

// All shapes are laid out on a 100 x 160 grid and mapped into the box.
struct Grid
{
    QRectF box;
    QPointF operator()(qreal x, qreal y) const
    {
        return {box.left() + x * box.width() / 100.0, box.top() + y * box.height() / 160.0};
    }
    qreal Scale() const { return box.width() / 100.0; }
};

QPainterPath BodyPath(const Grid &g)
{
    QPainterPath body;
    body.moveTo(g(50, 1));
    body.cubicTo(g(73, 1), g(87, 10), g(89, 34));
    body.cubicTo(g(90, 52), g(87, 66), g(89, 84));
    body.cubicTo(g(92, 104), g(96, 124), g(91, 140));
    body.cubicTo(g(85, 156), g(69, 159), g(50, 159));
    body.cubicTo(g(31, 159), g(15, 156), g(9, 140));
    body.cubicTo(g(4, 124), g(8, 104), g(11, 84));
    body.cubicTo(g(13, 66), g(10, 52), g(11, 34));
    body.cubicTo(g(13, 10), g(27, 1), g(50, 1));
    body.closeSubpath();
    return body;
}

// The line that parts the two main buttons from the palm rest.
QPainterPath ButtonSeam(const Grid &g)
{
    QPainterPath seam;
    seam.moveTo(g(11.5, 60));
    seam.cubicTo(g(26, 66), g(40, 68), g(50, 68));
    seam.cubicTo(g(60, 68), g(74, 66), g(88.5, 60));
    return seam;
}

QPainterPath CentreGroove(const Grid &g)
{
    QPainterPath groove;
    groove.moveTo(g(50, 2));
    groove.lineTo(g(50, 12));
    groove.moveTo(g(50, 38));
    groove.lineTo(g(50, 67));
    return groove;
}

QRectF WheelRect(const Grid &g)
{
    return QRectF(g(45, 12), g(55, 37));
}

QRectF DpiRect(const Grid &g)
{
    return QRectF(g(46.5, 44), g(53.5, 53));
}

QPainterPath SideButtons(const Grid &g)
{
    QPainterPath side;
    const qreal r = 2.2 * g.Scale();
    side.addRoundedRect(QRectF(g(7.5, 64), g(12.5, 78)), r, r);
    side.addRoundedRect(QRectF(g(7.5, 81), g(12.5, 95)), r, r);
    return side;
}

QPainterPath PalmStripe(const Grid &g)
{
    // A light bar that follows the back of the shell.
    QPainterPath stripe;
    stripe.moveTo(g(24, 146));
    stripe.cubicTo(g(34, 152), g(66, 152), g(76, 146));
    return stripe;
}

void DrawShell(QPainter &painter, const Grid &g, Look look)
{
    const QPainterPath body = BodyPath(g);
    const bool asleep = look == Look::Asleep;
    QLinearGradient side(g(0, 0), g(100, 0));
    side.setColorAt(0.0, asleep ? QColor(40, 41, 46) : QColor(54, 55, 63));
    side.setColorAt(0.45, asleep ? QColor(34, 35, 40) : QColor(44, 45, 52));
    side.setColorAt(1.0, asleep ? QColor(24, 25, 29) : QColor(28, 29, 34));
    painter.fillPath(body, side);

    // Light from the upper left over the curved shell.
    QRadialGradient light(g(36, 44), 60 * g.Scale());
    light.setColorAt(0, QColor(255, 255, 255, asleep ? 14 : 30));
    light.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillPath(body, light);

    // The palm lies a little lower and darker than the buttons.
    QPainterPath palm;
    palm.moveTo(g(0, 60));
    palm.cubicTo(g(26, 66), g(40, 68), g(50, 68));
    palm.cubicTo(g(60, 68), g(74, 66), g(100, 60));
    palm.lineTo(g(100, 160));
    palm.lineTo(g(0, 160));
    palm.closeSubpath();
    QLinearGradient shade(g(0, 64), g(0, 160));
    shade.setColorAt(0, QColor(0, 0, 0, 50));
    shade.setColorAt(1, QColor(0, 0, 0, 10));
    painter.fillPath(body.intersected(palm), shade);

    painter.save();
    painter.setPen(QPen(asleep ? QColor(62, 63, 70) : QColor(84, 85, 96), 1.2 * g.Scale() / 1.6));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(body);
    painter.restore();
}

void DrawDetails(QPainter &painter, const Grid &g, Look look)
{
    const bool lit = look == Look::Lit;
    const qreal s = g.Scale();
    const QColor seam = lit ? QColor(16, 16, 20) : QColor(18, 18, 21);
    PaintKit::Stroke(painter, ButtonSeam(g), seam, 1.4 * s);
    PaintKit::Stroke(painter, CentreGroove(g), seam, 1.4 * s);

    // Side buttons on the thumb side.
    painter.fillPath(SideButtons(g), lit ? QColor(64, 65, 74) : QColor(44, 45, 50));
    PaintKit::Stroke(painter, SideButtons(g), QColor(16, 16, 20), 0.8 * s);

    // Scroll wheel in its slot.
    const QRectF wheel = WheelRect(g);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(12, 12, 15));
    painter.drawRoundedRect(wheel.adjusted(-1.2 * s, -1.2 * s, 1.2 * s, 1.2 * s), 4 * s, 4 * s);
    QLinearGradient tyre(wheel.topLeft(), wheel.bottomLeft());
    if (lit) {
        tyre.setColorAt(0, Palette::AccentLight());
        tyre.setColorAt(0.5, Palette::Accent());
        tyre.setColorAt(1, Palette::AccentDeep());
    } else {
        tyre.setColorAt(0, QColor(74, 75, 84));
        tyre.setColorAt(1, QColor(42, 43, 50));
    }
    painter.setBrush(tyre);
    painter.drawRoundedRect(wheel, 3.5 * s, 3.5 * s);
    // Tread lines.
    painter.setPen(QPen(QColor(0, 0, 0, lit ? 70 : 50), 0.7 * s));
    for (qreal y = wheel.top() + 3 * s; y < wheel.bottom() - 2 * s; y += 3 * s)
        painter.drawLine(QPointF(wheel.left() + 1.5 * s, y), QPointF(wheel.right() - 1.5 * s, y));
    painter.restore();

    // DPI button behind the wheel.
    painter.save();
    painter.setPen(QPen(QColor(16, 16, 20), 0.8 * s));
    painter.setBrush(lit ? QColor(70, 71, 80) : QColor(46, 47, 53));
    painter.drawRoundedRect(DpiRect(g), 2 * s, 2 * s);
    painter.restore();

    // Emblem on the palm.
    const QRectF emblemBox(g(40, 100), g(60, 116));
    const QPainterPath emblem = PaintKit::Emblem(emblemBox);
    if (lit) {
        PaintKit::Glow(painter, emblem, Palette::WithAlpha(Palette::Accent(), 200), qRound(3 * s));
        painter.fillPath(emblem, Palette::Accent());
    } else {
        painter.fillPath(emblem, QColor(62, 63, 70));
    }

    // Light bar at the back.
    if (lit) {
        PaintKit::Glow(painter, PalmStripe(g), Palette::Accent(), qRound(2 * s));
        PaintKit::Stroke(painter, PalmStripe(g), Palette::AccentLight(), 1.6 * s);
    } else {
        PaintKit::Stroke(painter, PalmStripe(g), QColor(50, 51, 57), 1.6 * s);
    }
}

void DrawUnderglow(QPainter &painter, const Grid &g)
{
    QPainterPath pad;
    pad.addEllipse(QRectF(g(2, 20), g(98, 166)));
    PaintKit::Glow(painter, pad, Palette::WithAlpha(Palette::Accent(), 70), qRound(12 * g.Scale()));
}

void DrawShadow(QPainter &painter, const Grid &g, int alpha)
{
    QPainterPath shadow = BodyPath(g).translated(0, 4 * g.Scale());
    PaintKit::Glow(painter, shadow, QColor(0, 0, 0, alpha), qRound(6 * g.Scale()));
}

void DrawUnknown(QPainter &painter, const Grid &g)
{
    const qreal s = g.Scale();
    const QPainterPath body = BodyPath(g);
    painter.fillPath(body, QColor(30, 31, 36));
    painter.save();
    QPen dashed(Palette::Secondary(), 1.4 * s, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin);
    dashed.setDashPattern({3, 2.5});
    painter.setPen(dashed);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(body);
    painter.restore();
    QPen faint(QColor(70, 71, 80), 1.2 * s, Qt::SolidLine, Qt::RoundCap);
    painter.save();
    painter.setPen(faint);
    painter.drawPath(ButtonSeam(g));
    painter.drawPath(CentreGroove(g));
    painter.restore();

    const QPointF centre = g(50, 100);
    const qreal r = 17 * s;
    painter.save();
    painter.setPen(QPen(Palette::Accent(), 1.6 * s));
    painter.setBrush(QColor(255, 122, 26, 28));
    painter.drawEllipse(centre, r, r);
    painter.restore();
    painter.fillPath(PaintKit::TextPath(QStringLiteral("?"), qRound(24 * s), true, centre),
                     Palette::Accent());
}

}  // namespace

void Draw(QPainter &painter, const QRectF &box, Look look)
{
    const Grid g{box};
    if (look == Look::Unknown) {
        DrawUnknown(painter, g);
        return;
    }
    if (look == Look::Lit)
        DrawUnderglow(painter, g);
    DrawShadow(painter, g, look == Look::Lit ? 150 : 110);
    DrawShell(painter, g, look);
    DrawDetails(painter, g, look);
}

void DrawIcon(QPainter &painter, const QRectF &box, const QColor &color, qreal width,
              bool leftButtonFilled)
{
    const QRectF r = box.adjusted(width / 2, width / 2, -width / 2, -width / 2);
    const qreal radius = r.width() / 2;
    QPainterPath shell;
    shell.addRoundedRect(r, radius, radius);
    const qreal seamY = r.top() + r.height() * 0.42;
    if (leftButtonFilled) {
        QPainterPath leftButton;
        leftButton.addRect(QRectF(r.left(), r.top(), r.width() / 2, seamY - r.top()));
        painter.fillPath(shell.intersected(leftButton), Palette::WithAlpha(color, 110));
    }
    QPainterPath lines;
    lines.moveTo(r.left(), seamY);
    lines.lineTo(r.right(), seamY);
    lines.moveTo(r.center().x(), r.top());
    lines.lineTo(r.center().x(), seamY);
    PaintKit::Stroke(painter, shell, color, width);
    PaintKit::Stroke(painter, lines, color, width * 0.85);
}

}  // namespace MouseDrawing
