#include "screencolor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

namespace ScreenColor {

namespace {

Reader &ReplacedReader()
{
    static Reader reader;
    return reader;
}

}  // namespace

std::optional<QColor> AtScreenPoint(const QPoint &globalPos)
{
    QScreen *screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        return std::nullopt;
    // A grab of the whole screen (window 0) takes its offset relative to that
    // screen, in the screen's logical pixels.
    const QPoint onScreen = globalPos - screen->geometry().topLeft();
    const QPixmap pixmap = screen->grabWindow(0, onScreen.x(), onScreen.y(), 1, 1);
    if (pixmap.isNull())
        return std::nullopt;
    const QImage image = pixmap.toImage();
    if (image.isNull() || !image.valid(0, 0))
        return std::nullopt;
    return QColor(image.pixel(0, 0));
}

std::optional<QColor> UnderCursor()
{
    if (ReplacedReader())
        return ReplacedReader()();
    return AtScreenPoint(QCursor::pos());
}

void SetReaderForTesting(Reader reader)
{
    ReplacedReader() = std::move(reader);
}

}  // namespace ScreenColor
