#pragma once
// Pictures the program draws itself (not through a style sheet), decoded
// once per run and shared by every widget that draws them: the pixmap lives
// in QPixmapCache under the key "vogm:<path>", and each user holds only a
// shallow copy of it.

#include <QPixmap>
#include <QString>

namespace PictureCache {

// The picture at `path`; a null pixmap when it cannot be read.
QPixmap Get(const QString &path);

// The key `path` is kept under in QPixmapCache.
QString KeyOf(const QString &path);

}  // namespace PictureCache
