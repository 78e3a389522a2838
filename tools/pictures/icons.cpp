// Painters of the glyph icons: navigation, status, small markers.
#include "mousedrawing.h"
#include "painters.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

namespace Painters {

using namespace Palette;

namespace {

QColor InkFor(NavState state)
{
    switch (state) {
    case NavState::Hover:
        return Text();
    case NavState::Active:
        return Accent();
    case NavState::Normal:
        break;
    }
    return Secondary();
}

// The backdrop of a navigation icon: nothing, a faint disc under the pointer,
// an accent glow when it is the current page.
void NavBackdrop(QPainter &p, const QRectF &r, NavState state, const QPainterPath &glyph)
{
    if (state == NavState::Hover) {
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 20));
        p.drawEllipse(r.center(), r.width() / 2 - 0.5, r.height() / 2 - 0.5);
        p.restore();
    } else if (state == NavState::Active) {
        QPainterPathStroker stroker;
        stroker.setWidth(3);
        PaintKit::Glow(p, stroker.createStroke(glyph), WithAlpha(Accent(), 150), 3);
    }
}

QPainterPath ButtonsGlyph(const QRectF &r)
{
    // Drawn by MouseDrawing::DrawIcon; this outline only feeds the glow.
    QPainterPath path;
    path.addRoundedRect(QRectF(r.center().x() - 6.5, 5, 13, 20), 6.5, 6.5);
    return path;
}

QPainterPath SensorGlyph(const QRectF &r)
{
    const QPointF c = r.center();
    QPainterPath path;
    path.addEllipse(c, 8, 8);
    path.moveTo(c.x(), c.y() - 12);
    path.lineTo(c.x(), c.y() - 5);
    path.moveTo(c.x(), c.y() + 5);
    path.lineTo(c.x(), c.y() + 12);
    path.moveTo(c.x() - 12, c.y());
    path.lineTo(c.x() - 5, c.y());
    path.moveTo(c.x() + 5, c.y());
    path.lineTo(c.x() + 12, c.y());
    return path;
}

QPainterPath MacroGlyph(const QRectF &r)
{
    const QPointF c = r.center();
    QPainterPath path;
    path.addRoundedRect(QRectF(c.x() - 11, c.y() - 7.5, 22, 15), 3, 3);
    return path;
}

void MacroKeys(QPainter &p, const QRectF &r, const QColor &ink)
{
    const QPointF c = r.center();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRoundedRect(QRectF(c.x() - 7.5 + col * 4.2, c.y() - 4 + row * 3.6, 2.4, 2.2), 0.6, 0.6);
    p.drawRoundedRect(QRectF(c.x() - 5, c.y() + 3.4, 10, 1.8), 0.8, 0.8);
    p.restore();
}

QPainterPath LightGlyph(const QRectF &r)
{
    const QPointF c = r.center();
    QPainterPath path;
    path.addEllipse(c, 5, 5);
    for (int i = 0; i < 8; ++i) {
        const qreal a = i * M_PI / 4;
        path.moveTo(c.x() + 8.5 * qCos(a), c.y() + 8.5 * qSin(a));
        path.lineTo(c.x() + 12 * qCos(a), c.y() + 12 * qSin(a));
    }
    return path;
}

QPainterPath SettingsGlyph(const QRectF &r)
{
    QPainterPath gear = PaintKit::Gear(r.center(), 11.5, 8.5, 8);
    QPainterPath hole;
    hole.addEllipse(r.center(), 3.5, 3.5);
    return gear.subtracted(hole);
}

QPainterPath BackGlyph(const QRectF &r)
{
    const QPointF c = r.center();
    QPainterPath path;
    path.moveTo(c.x() + 9, c.y());
    path.lineTo(c.x() - 8, c.y());
    path.moveTo(c.x() - 2, c.y() - 6.5);
    path.lineTo(c.x() - 8.5, c.y());
    path.lineTo(c.x() - 2, c.y() + 6.5);
    return path;
}

void DiscBackdrop(QPainter &p, const QRectF &r)
{
    const qreal radius = r.width() / 2 - 1.5;
    p.save();
    p.setPen(QPen(QColor(64, 65, 75), 1));
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(44, 45, 53));
    fill.setColorAt(1, QColor(30, 31, 37));
    p.setBrush(fill);
    p.drawEllipse(r.center(), radius, radius);
    p.restore();
}

QPainterPath UsbGlyph(const QPointF &c)
{
    // The trident: a stem with a round foot, an arrow tip and two branches.
    QPainterPath path;
    path.moveTo(c.x(), c.y() + 7);
    path.lineTo(c.x(), c.y() - 7);
    path.moveTo(c.x(), c.y() + 3);
    path.lineTo(c.x() - 5, c.y() - 1);
    path.lineTo(c.x() - 5, c.y() - 3);
    path.moveTo(c.x(), c.y() + 1);
    path.lineTo(c.x() + 5, c.y() - 3);
    path.lineTo(c.x() + 5, c.y() - 4.5);
    return path;
}

}  // namespace

Paint Navigation(NavIcon icon, NavState state)
{
    return [=](QPainter &p, const QRectF &r) {
        const QColor ink = InkFor(state);
        switch (icon) {
        case NavIcon::Buttons:
            NavBackdrop(p, r, state, ButtonsGlyph(r));
            MouseDrawing::DrawIcon(p, QRectF(r.center().x() - 7, 4.5, 14, 21), ink, 1.8,
                                   state == NavState::Active);
            break;
        case NavIcon::Sensor: {
            const QPainterPath glyph = SensorGlyph(r);
            NavBackdrop(p, r, state, glyph);
            PaintKit::Stroke(p, glyph, ink, 1.8);
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawEllipse(r.center(), 2, 2);
            p.restore();
            break;
        }
        case NavIcon::Macro:
            NavBackdrop(p, r, state, MacroGlyph(r));
            PaintKit::Stroke(p, MacroGlyph(r), ink, 1.7);
            MacroKeys(p, r, ink);
            break;
        case NavIcon::Light:
            NavBackdrop(p, r, state, LightGlyph(r));
            PaintKit::Stroke(p, LightGlyph(r), ink, 1.8);
            break;
        case NavIcon::Settings:
            NavBackdrop(p, r, state, SettingsGlyph(r));
            PaintKit::Stroke(p, SettingsGlyph(r), ink, 1.6);
            break;
        }
    };
}

Paint BackArrow(NavState state)
{
    return [=](QPainter &p, const QRectF &r) {
        const QPainterPath glyph = BackGlyph(r);
        if (state == NavState::Hover) {
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 20));
            p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 6, 6);
            p.restore();
        } else if (state == NavState::Active) {
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 122, 26, 40));
            p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 6, 6);
            p.restore();
        }
        PaintKit::Stroke(p, glyph, InkFor(state), 2.0);
    };
}

Paint Battery()
{
    // The bar of the battery level is drawn by the program inside the body,
    // one pixel in from the outline; the nub sits to the right of it.
    return [](QPainter &p, const QRectF &) {
        p.save();
        p.setPen(QPen(Secondary(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(0.5, 0.5, 39, 19), 2.5, 2.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Secondary());
        p.drawRoundedRect(QRectF(40.5, 6, 2.5, 8), 1, 1);
        p.restore();
    };
}

Paint ChargeBolt()
{
    return [](QPainter &p, const QRectF &) {
        QPainterPath bolt;
        bolt.moveTo(0.8, 3.9);
        bolt.lineTo(9.2, 0.6);
        bolt.lineTo(8.2, 3.1);
        bolt.lineTo(16.2, 3.1);
        bolt.lineTo(7.8, 6.4);
        bolt.lineTo(8.8, 3.9);
        bolt.closeSubpath();
        p.save();
        p.setPen(QPen(QColor(20, 21, 25, 200), 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(255, 255, 255));
        p.drawPath(bolt);
        p.restore();
    };
}

Paint Logo()
{
    return [](QPainter &p, const QRectF &r) {
        const QRectF tile = r.adjusted(2, 2, -2, -2);
        const qreal radius = tile.width() * 0.22;
        QLinearGradient fill(tile.topLeft(), tile.bottomRight());
        fill.setColorAt(0, QColor(46, 47, 56));
        fill.setColorAt(1, QColor(16, 17, 20));
        p.save();
        p.setPen(QPen(QColor(255, 122, 26, 150), 1.5));
        p.setBrush(fill);
        p.drawRoundedRect(tile.adjusted(0.75, 0.75, -0.75, -0.75), radius, radius);
        p.restore();
        const QRectF markBox = tile.adjusted(tile.width() * 0.18, tile.height() * 0.2,
                                             -tile.width() * 0.18, -tile.height() * 0.16);
        const QPainterPath mark = PaintKit::Emblem(markBox);
        PaintKit::Glow(p, mark, WithAlpha(Accent(), 170), 3);
        QLinearGradient ink(markBox.topLeft(), markBox.bottomLeft());
        ink.setColorAt(0, AccentLight());
        ink.setColorAt(1, Accent());
        p.fillPath(mark, ink);
    };
}

Paint RepairWrench()
{
    return [](QPainter &p, const QRectF &r) {
        DiscBackdrop(p, QRectF(r.center().x() - 15, r.center().y() - 15, 30, 30));
        const QPointF c = r.center();
        // Handle from lower left to the jaw at the upper right.
        QPainterPath handle;
        handle.moveTo(c.x() - 7, c.y() + 7);
        handle.lineTo(c.x() + 2, c.y() - 2);
        PaintKit::Stroke(p, handle, Text(), 3.2);
        QPainterPath jaw;
        jaw.addEllipse(QPointF(c.x() + 4.5, c.y() - 4.5), 5, 5);
        QPainterPath notch;
        notch.addRect(QRectF(c.x() + 3.5, c.y() - 12, 3.5, 6.5));
        QTransform turn;
        turn.translate(c.x() + 4.5, c.y() - 4.5);
        turn.rotate(45);
        turn.translate(-(c.x() + 4.5), -(c.y() - 4.5));
        p.fillPath(jaw.subtracted(turn.map(notch)), Text());
        // The alert dot: an update failed and waits for its repair.
        p.save();
        p.setPen(QPen(Background(), 1.5));
        p.setBrush(Accent());
        p.drawEllipse(QPointF(r.right() - 7, r.top() + 7), 4.5, 4.5);
        p.restore();
    };
}

Paint PageArrow(bool right, bool hover)
{
    return [=](QPainter &p, const QRectF &r) {
        const QPointF c = r.center();
        const qreal radius = r.width() / 2 - 2;
        QPainterPath disc;
        disc.addEllipse(c, radius, radius);
        if (hover)
            PaintKit::Glow(p, disc, WithAlpha(Accent(), 130), 2);
        QLinearGradient fill(r.topLeft(), r.bottomLeft());
        fill.setColorAt(0, hover ? QColor(64, 52, 46) : QColor(44, 45, 53));
        fill.setColorAt(1, hover ? QColor(44, 38, 36) : QColor(30, 31, 37));
        p.save();
        p.setPen(QPen(hover ? Accent() : QColor(72, 73, 84), 1.2));
        p.setBrush(fill);
        p.drawPath(disc);
        p.restore();
        const QRectF box(c.x() - 3.5 + (right ? 1.5 : -1.5), c.y() - 7.5, 7, 15);
        PaintKit::Stroke(p, PaintKit::SideChevron(box, right), hover ? Accent() : Text(), 2.4);
    };
}

Paint Link(LinkIcon icon)
{
    return [=](QPainter &p, const QRectF &r) {
        DiscBackdrop(p, r);
        const QPointF c = r.center();
        switch (icon) {
        case LinkIcon::Wireless: {
            const QPointF base(c.x(), c.y() + 6);
            PaintKit::Stroke(p, PaintKit::WirelessArcs(base, 13, 3), Accent(), 2.0);
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(Accent());
            p.drawEllipse(base, 2, 2);
            p.restore();
            break;
        }
        case LinkIcon::Usb: {
            PaintKit::Stroke(p, UsbGlyph(c), Accent(), 1.8);
            QPainterPath tip;
            tip.moveTo(c.x(), c.y() - 10);
            tip.lineTo(c.x() - 3, c.y() - 6);
            tip.lineTo(c.x() + 3, c.y() - 6);
            tip.closeSubpath();
            p.fillPath(tip, Accent());
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(Accent());
            p.drawEllipse(QPointF(c.x(), c.y() + 8), 2.4, 2.4);
            p.drawEllipse(QPointF(c.x() - 5, c.y() - 3.5), 1.8, 1.8);
            p.drawRect(QRectF(c.x() + 3.4, c.y() - 6.4, 3.2, 3.2));
            p.restore();
            break;
        }
        case LinkIcon::Offline: {
            const QPointF base(c.x(), c.y() + 6);
            PaintKit::Stroke(p, PaintKit::WirelessArcs(base, 13, 3), Secondary(), 2.0);
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(Secondary());
            p.drawEllipse(base, 2, 2);
            p.restore();
            QPainterPath slash;
            slash.moveTo(c.x() - 8, c.y() - 8);
            slash.lineTo(c.x() + 8, c.y() + 8);
            PaintKit::Stroke(p, slash, QColor(30, 31, 37), 4.5);
            PaintKit::Stroke(p, slash, Failure(), 2.0);
            break;
        }
        }
    };
}

Paint RateBadge(int kiloHertz)
{
    return [=](QPainter &p, const QRectF &r) {
        const QRectF pill = r.adjusted(1, 3, -1, -3);
        p.save();
        p.setPen(QPen(WithAlpha(Accent(), 210), 1));
        p.setBrush(QColor(28, 29, 34, 235));
        p.drawRoundedRect(pill.adjusted(0.5, 0.5, -0.5, -0.5), pill.height() / 2, pill.height() / 2);
        p.restore();
        const QPainterPath number = PaintKit::TextPath(QStringLiteral("%1K").arg(kiloHertz), 12, true,
                                                       QPointF(0, 0));
        const QPainterPath unit = PaintKit::TextPath(QStringLiteral("Hz"), 8, true, QPointF(0, 0));
        // Number and unit share one baseline, centred together in the pill.
        const qreal gap = 1;
        const qreal width = number.boundingRect().width() + gap + unit.boundingRect().width();
        const qreal left = pill.center().x() - width / 2;
        const qreal baseline = pill.center().y() + number.boundingRect().height() / 2;
        const QPainterPath placedNumber = number.translated(
            left - number.boundingRect().left(), baseline - number.boundingRect().bottom());
        const QPainterPath placedUnit = unit.translated(
            left + number.boundingRect().width() + gap - unit.boundingRect().left(),
            baseline - unit.boundingRect().bottom());
        p.fillPath(placedNumber, Accent());
        p.fillPath(placedUnit, Text());
    };
}

Paint MacroEvent(MacroIcon icon)
{
    return [=](QPainter &p, const QRectF &r) {
        const QPointF c = r.center();
        switch (icon) {
        case MacroIcon::Press:
        case MacroIcon::Release: {
            const bool press = icon == MacroIcon::Press;
            const QColor ink = press ? Accent() : Text();
            QPainterPath arrow;
            const qreal tipY = press ? c.y() + 3.5 : c.y() - 6.5;
            const qreal tailY = press ? c.y() - 6.5 : c.y() + 3.5;
            const qreal wing = press ? -4 : 4;
            arrow.moveTo(c.x(), tailY);
            arrow.lineTo(c.x(), tipY);
            arrow.moveTo(c.x() - 4, tipY + wing);
            arrow.lineTo(c.x(), tipY);
            arrow.lineTo(c.x() + 4, tipY + wing);
            arrow.moveTo(c.x() - 6, c.y() + 6.5);
            arrow.lineTo(c.x() + 6, c.y() + 6.5);
            PaintKit::Stroke(p, arrow, ink, 1.7);
            break;
        }
        case MacroIcon::Delay: {
            p.save();
            p.setPen(QPen(Secondary(), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 6.2, 6.2);
            p.restore();
            QPainterPath hands;
            hands.moveTo(c.x(), c.y() - 3.8);
            hands.lineTo(c.x(), c.y());
            hands.lineTo(c.x() + 2.8, c.y() + 1.6);
            PaintKit::Stroke(p, hands, Text(), 1.5);
            break;
        }
        }
    };
}

Paint SmallMouse()
{
    return [](QPainter &p, const QRectF &r) {
        MouseDrawing::DrawIcon(p, r.adjusted(1, 1, -1, -1), Text(), 1.3, false);
    };
}

Paint AlertMarker()
{
    return [](QPainter &p, const QRectF &r) {
        const QPointF c = r.center();
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 106, 0));
        p.drawEllipse(c, r.width() / 2 - 0.5, r.height() / 2 - 0.5);
        p.setBrush(Background());
        p.drawRoundedRect(QRectF(c.x() - 0.9, c.y() - 4.3, 1.8, 5.4), 0.9, 0.9);
        p.drawEllipse(QPointF(c.x(), c.y() + 3.3), 1.05, 1.05);
        p.restore();
    };
}

Paint Bullet()
{
    return [](QPainter &p, const QRectF &r) {
        const QPointF c = r.center();
        p.save();
        p.setPen(QPen(Accent(), 1.3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r.width() / 2 - 1, r.height() / 2 - 1);
        p.setPen(Qt::NoPen);
        p.setBrush(Accent());
        p.drawEllipse(c, 2.6, 2.6);
        p.restore();
    };
}

Paint ProfileIcon()
{
    // Three stacked cards: the profiles of the mouse, the front one current.
    return [](QPainter &p, const QRectF &) {
        const QRectF cards[3] = {QRectF(1, 0.5, 11, 8), QRectF(4.5, 3, 11, 8), QRectF(8, 5.5, 11, 8)};
        const QColor fills[3] = {QColor(44, 45, 52), QColor(64, 65, 74), Accent()};
        const QColor edges[3] = {Secondary(), Text(), AccentLight()};
        for (int i = 0; i < 3; ++i) {
            p.save();
            p.setPen(QPen(edges[i], 1));
            p.setBrush(fills[i]);
            p.drawRoundedRect(cards[i].adjusted(0.5, 0.5, -0.5, -0.5), 1.5, 1.5);
            p.restore();
        }
    };
}

}  // namespace Painters
