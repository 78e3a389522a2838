// Painters of the window controls, buttons, boxes and list rows.
#include "painters.h"
#include "palette.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace Painters {

using namespace Palette;

namespace {

QLinearGradient Vertical(const QRectF &r, const QColor &top, const QColor &bottom)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// A rounded control face: fill, border and sheen in one call.
void Face(QPainter &p, const QRectF &r, qreal radius, const QBrush &fill, const QColor &border,
          int sheen)
{
    p.save();
    p.setPen(border.isValid() ? QPen(border, 1) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.restore();
    if (sheen > 0)
        PaintKit::TopSheen(p, r, radius, sheen);
}

qreal ButtonRadius(const QRectF &r)
{
    return qMin<qreal>(6.0, r.height() / 4.0);
}

QBrush AccentFill(const QRectF &r, State state)
{
    switch (state) {
    case State::Hover:
        return Vertical(r, QColor(255, 188, 128), QColor(255, 142, 54));
    case State::Pressed:
        return Vertical(r, QColor(206, 88, 10), QColor(178, 74, 8));
    case State::Normal:
        break;
    }
    return Vertical(r, QColor(255, 146, 62), QColor(232, 100, 14));
}

}  // namespace

Paint WindowButton(WindowGlyph glyph, State state)
{
    return [=](QPainter &p, const QRectF &r) {
        const QPointF c = r.center();
        const qreal radius = r.width() / 2 - 0.5;
        const bool close = glyph == WindowGlyph::Close;
        QColor disc;
        QColor ink = Secondary();
        if (state == State::Hover) {
            disc = close ? Accent() : QColor(255, 255, 255, 64);
            ink = close ? QColor(255, 255, 255) : Text();
        } else if (state == State::Pressed) {
            disc = close ? AccentDeep() : QColor(255, 122, 26, 46);
            ink = close ? Text() : Accent();
        }
        if (disc.isValid()) {
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(disc);
            p.drawEllipse(c, radius, radius);
            p.restore();
        }
        const qreal half = r.width() * 0.18;
        const QRectF glyphBox(c.x() - half, c.y() - half, 2 * half, 2 * half);
        const qreal pen = r.width() >= 18 ? 1.6 : 1.3;
        if (close) {
            PaintKit::Stroke(p, PaintKit::Cross(glyphBox), ink, pen);
        } else {
            QPainterPath dash;
            dash.moveTo(glyphBox.left() - 0.5, c.y());
            dash.lineTo(glyphBox.right() + 0.5, c.y());
            PaintKit::Stroke(p, dash, ink, pen);
        }
    };
}

Paint ComboBack()
{
    return [](QPainter &p, const QRectF &r) {
        Face(p, r, 4, Vertical(r, QColor(46, 47, 55), QColor(33, 34, 40)), Line(), 22);
    };
}

Paint ComboArrow(bool open)
{
    return [=](QPainter &p, const QRectF &r) {
        const QRectF box = r.adjusted(2, 1.75, -2, -1.75);
        PaintKit::Stroke(p, PaintKit::Chevron(box, open), open ? Accent() : Text(), 1.6);
    };
}

Paint ComboList()
{
    return [](QPainter &p, const QRectF &r) {
        p.fillRect(r, Panel());
        p.save();
        p.setPen(QPen(Line(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
        p.restore();
    };
}

Paint CheckBox(bool checked)
{
    return [=](QPainter &p, const QRectF &r) {
        const QRectF box = r.adjusted(1, 1, -1, -1);
        if (checked) {
            Face(p, box, 3, Vertical(box, AccentLight(), Accent()), AccentDeep(), 0);
            PaintKit::Stroke(p, PaintKit::CheckMark(box.adjusted(3, 3.5, -3, -3.5)),
                             QColor(255, 255, 255), 1.8);
        } else {
            Face(p, box, 3, QColor(24, 25, 29), Secondary(), 0);
        }
    };
}

Paint RadioBox(bool checked)
{
    return [=](QPainter &p, const QRectF &r) {
        const QPointF c = r.center();
        const qreal outer = r.width() / 2 - 1.2;
        p.save();
        p.setBrush(QColor(24, 25, 29));
        p.setPen(QPen(checked ? Accent() : Secondary(), checked ? 1.5 : 1.2));
        p.drawEllipse(c, outer, outer);
        if (checked) {
            QPainterPath dot;
            dot.addEllipse(c, outer * 0.5, outer * 0.5);
            PaintKit::Glow(p, dot, WithAlpha(Accent(), 160), 2);
            p.setPen(Qt::NoPen);
            p.setBrush(Accent());
            p.drawPath(dot);
        }
        p.restore();
    };
}

Paint Toggle(bool on)
{
    return [=](QPainter &p, const QRectF &r) {
        const QRectF track = r.adjusted(1, 2, -1, -2);
        const qreal radius = track.height() / 2;
        if (on)
            Face(p, track, radius, Vertical(track, AccentLight(), AccentDeep()), AccentDeep(), 30);
        else
            Face(p, track, radius, Vertical(track, QColor(44, 45, 52), QColor(54, 55, 62)),
                 QColor(72, 73, 82), 0);
        const qreal knob = radius - 1.5;
        const QPointF centre(on ? track.right() - radius : track.left() + radius, track.center().y());
        QPainterPath shadow;
        shadow.addEllipse(centre + QPointF(0, 0.8), knob, knob);
        PaintKit::Glow(p, shadow, QColor(0, 0, 0, 120), 2);
        QRadialGradient face(centre - QPointF(1.5, 2), knob * 1.6);
        face.setColorAt(0, on ? QColor(255, 255, 255) : QColor(190, 190, 198));
        face.setColorAt(1, on ? QColor(236, 236, 240) : QColor(130, 130, 140));
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(face);
        p.drawEllipse(centre, knob, knob);
        p.restore();
    };
}

Paint SliderHandle()
{
    return [](QPainter &p, const QRectF &r) {
        QLinearGradient side(r.topLeft(), r.topRight());
        side.setColorAt(0, AccentLight());
        side.setColorAt(1, AccentDeep());
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(side);
        p.drawRoundedRect(r.adjusted(0.25, 0.5, -0.25, -0.5), 2, 2);
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawRoundedRect(QRectF(r.center().x() - 0.6, r.height() * 0.36, 1.2, r.height() * 0.28),
                          0.6, 0.6);
        p.restore();
    };
}

Paint MinusBar()
{
    // Pixel exact: the widget that shows it may be a single row high, and then
    // the centred row must still be the bar.
    return [](QPainter &p, const QRectF &r) {
        p.fillRect(QRectF(1, r.height() / 2 - 1, r.width() - 2, 2), Text());
    };
}

Paint PlusSign()
{
    return [](QPainter &p, const QRectF &r) {
        const qreal mid = r.width() / 2;
        p.fillRect(QRectF(1, mid - 1, r.width() - 2, 2), Text());
        p.fillRect(QRectF(mid - 1, 1, 2, r.height() - 2), Text());
    };
}

Paint FilledButton(State state)
{
    return [=](QPainter &p, const QRectF &r) {
        const qreal radius = ButtonRadius(r);
        Face(p, r, radius, AccentFill(r, state), state == State::Pressed ? AccentDeep() : QColor(),
             state == State::Pressed ? 0 : 55);
        if (state == State::Pressed) {
            // A shade along the top edge reads as pushed in.
            QLinearGradient inset(r.topLeft(), r.bottomLeft());
            inset.setColorAt(0, QColor(0, 0, 0, 70));
            inset.setColorAt(0.35, QColor(0, 0, 0, 0));
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(inset);
            p.drawRoundedRect(r.adjusted(1, 1, -1, -1), radius, radius);
            p.restore();
        }
    };
}

Paint OutlineButton(State state)
{
    return [=](QPainter &p, const QRectF &r) {
        const qreal radius = ButtonRadius(r);
        switch (state) {
        case State::Normal:
            Face(p, r, radius, Vertical(r, QColor(48, 49, 57), QColor(36, 37, 43)),
                 QColor(72, 73, 84), 18);
            break;
        case State::Hover:
            Face(p, r, radius, Vertical(r, QColor(60, 56, 56), QColor(44, 42, 44)),
                 WithAlpha(Accent(), 220), 26);
            break;
        case State::Pressed:
            Face(p, r, radius, Vertical(r, QColor(112, 58, 22), QColor(84, 44, 18)), Accent(), 0);
            break;
        }
    };
}

Paint StatusButton(bool success)
{
    return [=](QPainter &p, const QRectF &r) {
        const QColor tone = success ? Accent() : Failure();
        const qreal radius = ButtonRadius(r);
        Face(p, r, radius, Vertical(r, QColor(44, 44, 50), QColor(34, 34, 40)), tone, 16);
        const qreal size = r.height() * 0.36;
        const QRectF glyph(r.left() + 14, r.center().y() - size / 2, size, size);
        if (success)
            PaintKit::Stroke(p, PaintKit::CheckMark(glyph), tone, 2.0);
        else
            PaintKit::Stroke(p, PaintKit::Cross(glyph.adjusted(1, 1, -1, -1)), tone, 2.0);
    };
}

Paint RateButton(bool checked)
{
    return [=](QPainter &p, const QRectF &r) {
        if (checked) {
            Face(p, r, 5, AccentFill(r, State::Normal), QColor(), 50);
        } else {
            Face(p, r, 5, Vertical(r, QColor(42, 43, 50), QColor(34, 35, 41)), QColor(66, 67, 77), 14);
        }
    };
}

Paint MenuRow(bool checked, bool opensList)
{
    return [=](QPainter &p, const QRectF &r) {
        const QRectF face = r.adjusted(0, 1, 0, -1);
        if (checked) {
            QLinearGradient tint(face.topLeft(), face.topRight());
            tint.setColorAt(0, QColor(112, 60, 24));
            tint.setColorAt(1, QColor(52, 40, 36));
            Face(p, face, 4, tint, WithAlpha(Accent(), 200), 0);
            p.save();
            p.setPen(Qt::NoPen);
            p.setBrush(Accent());
            p.drawRoundedRect(QRectF(face.left() + 1, face.top() + 3, 3, face.height() - 6), 1.5, 1.5);
            p.restore();
        } else {
            Face(p, face, 4, Vertical(face, QColor(40, 41, 48), QColor(33, 34, 40)), QColor(54, 55, 63),
                 10);
        }
        if (opensList) {
            const qreal h = face.height() * 0.34;
            const QRectF box(face.right() - 13, face.center().y() - h / 2, h / 2, h);
            PaintKit::Stroke(p, PaintKit::SideChevron(box, true), checked ? Accent() : Secondary(), 1.5);
        }
    };
}

Paint SectionMarker()
{
    return [](QPainter &p, const QRectF &r) {
        const qreal h = r.height();
        QPainterPath big;
        big.moveTo(0.5, h);
        big.lineTo(4.5, 0);
        big.lineTo(9.5, 0);
        big.lineTo(5.5, h);
        big.closeSubpath();
        QPainterPath small;
        small.moveTo(8, h);
        small.lineTo(12, 0);
        small.lineTo(15.5, 0);
        small.lineTo(11.5, h);
        small.closeSubpath();
        p.fillPath(big, Accent());
        p.fillPath(small, WithAlpha(Accent(), 130));
    };
}

Paint ValueCard(bool selected)
{
    return [=](QPainter &p, const QRectF &r) {
        const QRectF card = r.adjusted(1, 1, -1, -1);
        if (selected) {
            QPainterPath outline;
            outline.addRoundedRect(card.adjusted(2, 2, -2, -2), 7, 7);
            PaintKit::Glow(p, outline, WithAlpha(Accent(), 90), 3);
            Face(p, card.adjusted(1, 1, -1, -1), 7, Vertical(card, QColor(62, 48, 40), QColor(38, 34, 34)),
                 Accent(), 24);
        } else {
            Face(p, card, 6, Vertical(card, QColor(44, 45, 53), QColor(32, 33, 39)), QColor(60, 61, 71), 16);
        }
    };
}

Paint MarkerGloss(bool selected)
{
    // Lies over the level colour that the style sheet paints underneath.
    return [=](QPainter &p, const QRectF &r) {
        const QRectF bar = r.adjusted(0.5, 0.5, -0.5, -0.5);
        QLinearGradient gloss(bar.topLeft(), bar.bottomLeft());
        gloss.setColorAt(0, QColor(255, 255, 255, 110));
        gloss.setColorAt(0.45, QColor(255, 255, 255, 20));
        gloss.setColorAt(0.55, QColor(0, 0, 0, 0));
        gloss.setColorAt(1, QColor(0, 0, 0, 70));
        p.save();
        p.setPen(QPen(selected ? QColor(255, 255, 255, 230) : QColor(0, 0, 0, 110), selected ? 1.4 : 1));
        p.setBrush(gloss);
        p.drawRoundedRect(bar, 3, 3);
        p.restore();
    };
}

Paint LevelHandle(bool hover)
{
    return [=](QPainter &p, const QRectF &r) {
        const qreal cx = r.center().x();
        QPainterPath caret;
        caret.moveTo(cx - 7, 13);
        caret.lineTo(cx, 4);
        caret.lineTo(cx + 7, 13);
        caret.closeSubpath();
        if (hover)
            PaintKit::Glow(p, caret, WithAlpha(Accent(), 200), 3);
        p.save();
        p.setPen(QPen(hover ? AccentLight() : Accent(), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(hover ? AccentLight() : Accent());
        p.drawPath(caret);
        p.restore();
        QPainterPath grip;
        for (int i = 0; i < 3; ++i) {
            grip.moveTo(cx - 5, 18 + 3 * i);
            grip.lineTo(cx + 5, 18 + 3 * i);
        }
        PaintKit::Stroke(p, grip, hover ? Text() : Secondary(), 1.2);
    };
}

Paint NumberBadge(State state)
{
    // The badges carry black digits, so their faces stay light or accent.
    return [=](QPainter &p, const QRectF &r) {
        const QPointF c = r.center();
        const qreal radius = r.width() / 2 - 4;
        QPainterPath disc;
        disc.addEllipse(c, radius, radius);
        QRadialGradient face(c - QPointF(radius * 0.4, radius * 0.5), radius * 1.8);
        QColor ring;
        switch (state) {
        case State::Normal:
            PaintKit::Glow(p, disc, QColor(0, 0, 0, 150), 3);
            face.setColorAt(0, QColor(250, 250, 252));
            face.setColorAt(1, QColor(196, 196, 204));
            ring = Accent();
            break;
        case State::Hover:
            PaintKit::Glow(p, disc, WithAlpha(Accent(), 200), 4);
            face.setColorAt(0, QColor(255, 186, 128));
            face.setColorAt(1, Accent());
            ring = QColor(255, 255, 255, 230);
            break;
        case State::Pressed:
            face.setColorAt(0, QColor(236, 120, 40));
            face.setColorAt(1, AccentDeep());
            ring = AccentLight();
            break;
        }
        p.save();
        p.setPen(QPen(ring, 2));
        p.setBrush(face);
        p.drawPath(disc);
        p.restore();
    };
}

Paint NumberLabel()
{
    return [](QPainter &p, const QRectF &r) {
        const QPointF c = r.center();
        const qreal radius = r.width() / 2 - 1.5;
        QRadialGradient face(c - QPointF(radius * 0.4, radius * 0.5), radius * 1.8);
        face.setColorAt(0, QColor(255, 176, 110));
        face.setColorAt(1, Accent());
        p.save();
        p.setPen(QPen(AccentDeep(), 1));
        p.setBrush(face);
        p.drawEllipse(c, radius, radius);
        p.restore();
    };
}

Paint ScrollArrow(bool up)
{
    return [=](QPainter &p, const QRectF &r) {
        const QRectF box(r.center().x() - 3.5, r.center().y() - 2, 7, 4);
        PaintKit::Stroke(p, PaintKit::Chevron(box, up), QColor(170, 170, 180), 1.5);
    };
}

Paint RecordButton(bool stop, bool hover)
{
    return [=](QPainter &p, const QRectF &r) {
        OutlineButton(hover ? State::Hover : State::Normal)(p, r);
        const QPointF c(r.left() + 20, r.center().y());
        QPainterPath mark;
        if (stop)
            mark.addRoundedRect(QRectF(c.x() - 5, c.y() - 5, 10, 10), 2, 2);
        else
            mark.addEllipse(c, 6, 6);
        if (hover)
            PaintKit::Glow(p, mark, Accent(), 3);
        p.fillPath(mark, hover ? AccentLight() : Accent());
    };
}

Paint UpdateButton(bool hover)
{
    return [=](QPainter &p, const QRectF &r) {
        FilledButton(hover ? State::Hover : State::Normal)(p, r);
        if (hover) {
            p.save();
            p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(r.adjusted(1, 1, -1, -1), ButtonRadius(r) - 0.5, ButtonRadius(r) - 0.5);
            p.restore();
        }
        const QPointF c(r.right() - 13, r.center().y());
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 235));
        p.drawEllipse(c, 7, 7);
        p.restore();
        QPainterPath arrow;
        arrow.moveTo(c.x(), c.y() + 4);
        arrow.lineTo(c.x(), c.y() - 3.5);
        arrow.moveTo(c.x() - 3.2, c.y() - 0.5);
        arrow.lineTo(c.x(), c.y() - 3.8);
        arrow.lineTo(c.x() + 3.2, c.y() - 0.5);
        PaintKit::Stroke(p, arrow, AccentDeep(), 1.6);
    };
}

}  // namespace Painters
