#include "picturecache.h"

#include <QPixmapCache>

namespace PictureCache {

QString KeyOf(const QString &path)
{
    return QStringLiteral("vogm:") + path;
}

QPixmap Get(const QString &path)
{
    const QString key = KeyOf(path);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    // Read straight into a pixmap: no image is kept beside it.
    if (pixmap.load(path, "PNG", Qt::NoFormatConversion))
        QPixmapCache::insert(key, pixmap);
    return pixmap;
}

}  // namespace PictureCache
