#include "contactsheet.h"

#include "paintkit.h"
#include "palette.h"
#include "picturetable.h"

#include <QMap>
#include <QPainter>
#include <QtMath>

namespace {

constexpr int kSheetWidth = 1640;
constexpr int kMargin = 24;
constexpr int kGap = 22;
constexpr int kCaption = 34;
constexpr int kHeader = 40;
constexpr int kLargest = 520;  // wider pictures are shown scaled down
constexpr int kZoom = 3;
constexpr int kZoomUpTo = 64;  // pictures up to this size are also shown enlarged

struct Cell
{
    const PictureEntry *entry;
    QImage image;
    QSize shown;   // native or scaled-down size
    QSize zoomed;  // empty when not enlarged
    QRect box;     // position on the sheet, caption included

    int ContentWidth() const { return shown.width() + (zoomed.isEmpty() ? 0 : 12 + zoomed.width()); }
    int ContentHeight() const { return qMax(shown.height(), zoomed.height()); }
};

Cell MakeCell(const PictureEntry &entry)
{
    Cell cell{&entry, RenderPicture(entry), entry.size, QSize(), QRect()};
    if (entry.size.width() > kLargest)
        cell.shown = entry.size.scaled(kLargest, kLargest * 2, Qt::KeepAspectRatio);
    if (qMax(entry.size.width(), entry.size.height()) <= kZoomUpTo)
        cell.zoomed = entry.size * kZoom;
    return cell;
}

void DrawCell(QPainter &p, const Cell &cell)
{
    const QPoint origin = cell.box.topLeft();
    const QRect shownRect(origin, cell.shown);
    // A hairline frame shows where the picture's own edges are.
    p.setPen(QPen(QColor(255, 255, 255, 22), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(shownRect.adjusted(-1, -1, 0, 0));
    p.drawImage(shownRect, cell.image);
    if (!cell.zoomed.isEmpty()) {
        const QRect zoomRect(origin + QPoint(cell.shown.width() + 12, 0), cell.zoomed);
        p.drawRect(zoomRect.adjusted(-1, -1, 0, 0));
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(zoomRect, cell.image);
        p.restore();
    }
    const int captionTop = origin.y() + cell.ContentHeight() + 6;
    p.fillPath(PaintKit::SpacedTextPath(cell.entry->name, 12, true, 0, QPointF(origin.x(), captionTop + 11)),
               Palette::Text());
    const QString size = QStringLiteral("%1 x %2").arg(cell.entry->size.width()).arg(cell.entry->size.height());
    p.fillPath(PaintKit::SpacedTextPath(size, 11, false, 0, QPointF(origin.x(), captionTop + 25)),
               Palette::Secondary());
}

}  // namespace

QImage BuildContactSheet()
{
    // Lay the cells out folder by folder, left to right, wrapping rows.
    QVector<Cell> cells;
    QVector<QPair<QString, int>> headers;  // folder and the y of its header
    int y = kMargin;
    QString folder;
    int x = kMargin;
    int rowHeight = 0;
    for (const PictureEntry &entry : PictureTable()) {
        if (entry.folder != folder) {
            if (!folder.isEmpty())
                y += rowHeight + kGap;
            folder = entry.folder;
            headers.append({folder, y});
            y += kHeader;
            x = kMargin;
            rowHeight = 0;
        }
        Cell cell = MakeCell(entry);
        const int captionWidth = qCeil(PaintKit::SpacedTextPath(entry.name, 12, true, 0, QPointF())
                                           .boundingRect().width());
        const int width = qMax(cell.ContentWidth(), qMax(captionWidth, 64));
        const int height = cell.ContentHeight() + kCaption;
        if (x + width > kSheetWidth - kMargin && x > kMargin) {
            y += rowHeight + kGap;
            x = kMargin;
            rowHeight = 0;
        }
        cell.box = QRect(x, y, width, height);
        cells.append(cell);
        x += width + kGap;
        rowHeight = qMax(rowHeight, height);
    }
    y += rowHeight + kMargin;

    QImage sheet(kSheetWidth, y, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Palette::Background());
    QPainter p(&sheet);
    p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    for (const auto &header : headers) {
        p.fillRect(QRect(kMargin, header.second + 4, kSheetWidth - 2 * kMargin, 26), Palette::Panel());
        p.fillRect(QRect(kMargin, header.second + 4, 4, 26), Palette::Accent());
        p.fillPath(PaintKit::SpacedTextPath(QStringLiteral("Picture/") + header.first, 15, true, 0.5,
                                            QPointF(kMargin + 14, header.second + 23)),
                   Palette::Text());
    }
    for (const Cell &cell : cells)
        DrawCell(p, cell);
    return sheet;
}
