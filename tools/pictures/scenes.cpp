// Painters of the page backgrounds, the device tiles and the larger scenes.
#include "contentpanel.h"
#include "pagescene.h"
#include "mousedrawing.h"
#include "painters.h"
#include "palette.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace Painters {

using namespace Palette;
using PageScene::SoftLight;
using PageScene::VerticalFill;

namespace {

// The emblem with the product name beside it.
void Brand(QPainter &p, const QPointF &origin, qreal scale)
{
    const QRectF markBox(origin.x(), origin.y(), 30 * scale, 26 * scale);
    const QPainterPath mark = PaintKit::Emblem(markBox);
    PaintKit::Glow(p, mark, WithAlpha(Accent(), 140), qRound(3 * scale));
    p.fillPath(mark, Accent());
    const qreal textLeft = markBox.right() + 10 * scale;
    p.fillPath(PaintKit::SpacedTextPath(QStringLiteral("VELTRANE"), qRound(14 * scale), true,
                                        2.2 * scale, QPointF(textLeft, origin.y() + 13 * scale)),
               Text());
    p.fillPath(PaintKit::SpacedTextPath(QStringLiteral("ORVANDEL"), qRound(9 * scale), true,
                                        4.1 * scale, QPointF(textLeft, origin.y() + 26 * scale)),
               Secondary());
}


}  // namespace

Paint BrandMark()
{
    return [](QPainter &p, const QRectF &) {
        Brand(p, QPointF(PageScene::kBrandMargin, PageScene::kBrandMargin), 1.0);
    };
}

Paint GrainTile()
{
    return [](QPainter &p, const QRectF &r) { PaintKit::Grain(p, r, 5); };
}

Paint NoticeBackground()
{
    // Opaque and square-cornered: the dialog window behind it is not translucent.
    return [](QPainter &p, const QRectF &r) {
        VerticalFill(p, r, QColor(38, 39, 46), QColor(26, 27, 32));
        SoftLight(p, QPointF(r.width() / 2, 0), r.width() * 0.6, 60, QColor(255, 122, 26, 22));
        p.fillRect(QRectF(0, 0, r.width(), 2), Accent());
        p.save();
        p.setPen(QPen(QColor(70, 71, 82), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
        p.restore();
        const QPainterPath mark = PaintKit::Emblem(QRectF(10, 8, 15, 13));
        p.fillPath(mark, WithAlpha(Accent(), 200));
    };
}

Paint PairingBackground()
{
    return [](QPainter &p, const QRectF &r) {
        const QRectF card = r.adjusted(0.5, 0.5, -0.5, -0.5);
        QLinearGradient fill(card.topLeft(), card.bottomLeft());
        fill.setColorAt(0, QColor(38, 39, 46));
        fill.setColorAt(1, QColor(24, 25, 30));
        QPainterPath shape;
        shape.addRoundedRect(card, 12, 12);
        p.fillPath(shape, fill);
        p.save();
        p.setClipPath(shape);
        p.fillRect(QRectF(0, 0, r.width(), 2.5), Accent());
        SoftLight(p, QPointF(48, 120), 80, 110, QColor(255, 122, 26, 26));
        p.restore();
        p.save();
        p.setPen(QPen(QColor(70, 71, 82), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(shape);
        p.restore();
        // Mouse above, receiver below, the link between them.
        MouseDrawing::Draw(p, QRectF(26, 44, 40, 64), MouseDrawing::Look::Lit);
        const QRectF dongle(36, 160, 20, 30);
        p.save();
        p.setPen(QPen(QColor(84, 85, 96), 1));
        p.setBrush(QColor(44, 45, 52));
        p.drawRoundedRect(dongle, 4, 4);
        p.setBrush(QColor(120, 120, 130));
        p.drawRect(QRectF(40, 190, 12, 8));
        p.setPen(Qt::NoPen);
        p.setBrush(Accent());
        p.drawEllipse(QPointF(46, 168), 2, 2);
        p.restore();
        PaintKit::Stroke(p, PaintKit::WirelessArcs(QPointF(46, 150), 16, 3), Accent(), 1.8);
    };
}

Paint GroupBackground()
{
    return [](QPainter &p, const QRectF &r) {
        const QRectF card = r.adjusted(0.5, 0.5, -0.5, -0.5);
        QLinearGradient fill(card.topLeft(), card.bottomLeft());
        fill.setColorAt(0, QColor(30, 31, 37));
        fill.setColorAt(1, QColor(23, 24, 29));
        p.save();
        p.setPen(QPen(QColor(44, 45, 53), 1));
        p.setBrush(fill);
        p.drawRoundedRect(card, 10, 10);
        p.restore();
        PaintKit::TopSheen(p, r, 10, 10);
        p.fillRect(QRectF(639, 16, 1, r.height() - 32), QColor(44, 45, 53));
    };
}

Paint DeviceTile(TileLook look)
{
    return [=](QPainter &p, const QRectF &r) {
        const QRectF card = r.adjusted(1.5, 1.5, -1.5, -1.5);
        QPainterPath shape;
        shape.addRoundedRect(card, 14, 14);
        QLinearGradient fill(card.topLeft(), card.bottomLeft());
        fill.setColorAt(0, QColor(40, 41, 48));
        fill.setColorAt(1, QColor(22, 23, 27));
        p.fillPath(shape, fill);
        p.save();
        p.setClipPath(shape);
        if (look == TileLook::Online)
            SoftLight(p, QPointF(r.width() / 2, 300), 150, 60, QColor(255, 122, 26, 60));
        p.restore();
        const QColor edge = look == TileLook::Online ? WithAlpha(Accent(), 150) : QColor(58, 59, 68);
        p.save();
        p.setPen(QPen(edge, 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawPath(shape);
        p.restore();
        PaintKit::TopSheen(p, card, 14, 12);

        const qreal mouseWidth = 128;
        const QRectF mouseBox(r.width() / 2 - mouseWidth / 2, 78, mouseWidth, mouseWidth * 1.6);
        const MouseDrawing::Look mouseLook = look == TileLook::Online ? MouseDrawing::Look::Lit
            : look == TileLook::Offline ? MouseDrawing::Look::Asleep
                                        : MouseDrawing::Look::Unknown;
        MouseDrawing::Draw(p, mouseBox, mouseLook);

        // Status bar under the mouse.
        QPainterPath status;
        status.addRoundedRect(QRectF(r.width() / 2 - 28, 326, 56, 4), 2, 2);
        if (look == TileLook::Online) {
            PaintKit::Glow(p, status, Accent(), 4);
            p.fillPath(status, AccentLight());
        } else {
            p.fillPath(status, look == TileLook::Offline ? QColor(70, 71, 80) : WithAlpha(Secondary(), 120));
        }
    };
}

Paint MouseWithBadges()
{
    return [](QPainter &p, const QRectF &r) {
        SoftLight(p, QPointF(250, 330), 150, 26, QColor(255, 122, 26, 70));
        const qreal height = 300;
        const QRectF mouseBox(250 - height / 3.2, 26, height / 1.6, height);
        MouseDrawing::Draw(p, mouseBox, MouseDrawing::Look::Lit);
        // Soft halos where the numbered badges of the page stand.
        const QPointF badges[6] = {{159, 239}, {59, 179}, {169, 139}, {319, 209}, {359, 179}, {359, 239}};
        for (const QPointF &centre : badges) {
            QPainterPath ring;
            ring.addEllipse(centre, 22, 22);
            QPainterPath hole;
            hole.addEllipse(centre, 19, 19);
            PaintKit::Glow(p, ring.subtracted(hole), WithAlpha(Accent(), 120), 3);
        }
        Q_UNUSED(r);
    };
}

Paint ColourBoard()
{
    return [](QPainter &p, const QRectF &r) {
        const int w = qRound(r.width());
        const int h = qRound(r.height());
        QImage spectrum(w, h, QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < w; ++x) {
            const QColor pure = QColor::fromHsvF(qreal(x) / (w - 1) * 0.999, 1.0, 1.0);
            for (int y = 0; y < h; ++y) {
                const qreal t = qreal(y) / (h - 1);
                QColor c = pure;
                if (t < 0.5) {
                    const qreal white = (0.5 - t) * 1.1;
                    c = QColor::fromRgbF(pure.redF() + (1 - pure.redF()) * white,
                                         pure.greenF() + (1 - pure.greenF()) * white,
                                         pure.blueF() + (1 - pure.blueF()) * white);
                } else {
                    const qreal keep = 1 - (t - 0.5) * 1.2;
                    c = QColor::fromRgbF(pure.redF() * keep, pure.greenF() * keep, pure.blueF() * keep);
                }
                spectrum.setPixel(x, y, c.rgb());
            }
        }
        QPainterPath shape;
        shape.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
        p.save();
        p.setClipPath(shape);
        p.drawImage(0, 0, spectrum);
        p.restore();
        p.save();
        p.setPen(QPen(QColor(0, 0, 0, 140), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(shape);
        p.restore();
    };
}

Paint PreviewPlaceholder()
{
    return [](QPainter &p, const QRectF &r) {
        QPainterPath shape;
        shape.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
        p.save();
        p.setClipPath(shape);
        const int cell = 6;
        for (int y = 0; y < r.height(); y += cell)
            for (int x = 0; x < r.width(); x += cell)
                p.fillRect(QRect(x, y, cell, cell), ((x + y) / cell) % 2 ? QColor(58, 59, 67) : QColor(42, 43, 50));
        p.restore();
        p.save();
        p.setPen(QPen(QColor(86, 87, 98), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(shape);
        p.restore();
    };
}

Paint Swatch(const QColor &color)
{
    return [=](QPainter &p, const QRectF &r) {
        const QPointF c = r.center();
        const qreal radius = r.width() / 2 - 3;
        QPainterPath disc;
        disc.addEllipse(c + QPointF(0, 1), radius, radius);
        PaintKit::Glow(p, disc, QColor(0, 0, 0, 170), 2);
        QRadialGradient face(c - QPointF(radius * 0.35, radius * 0.45), radius * 1.6);
        face.setColorAt(0, color.lighter(135));
        face.setColorAt(0.55, color);
        face.setColorAt(1, color.darker(125));
        p.save();
        p.setPen(QPen(QColor(255, 255, 255, 70), 1));
        p.setBrush(face);
        p.drawEllipse(c, radius, radius);
        p.restore();
    };
}

}  // namespace Painters
