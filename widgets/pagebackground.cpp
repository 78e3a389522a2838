#include "pagebackground.h"

#include <QDateTime>
#include <QFileInfo>
#include <QPixmapCache>
#include <QWidget>

namespace {

// Each byte of `value` in memory order as two hexadecimal digits, low nibble
// first, the way Qt writes the numbers of its pixmap-cache keys.
template <typename T>
QString QtHex(T value)
{
    static const char digits[] = "0123456789abcdef";
    QString text;
    const auto *byte = reinterpret_cast<const unsigned char *>(&value);
    for (size_t i = 0; i < sizeof(T); ++i) {
        text += QLatin1Char(digits[byte[i] & 0xf]);
        text += QLatin1Char(digits[(byte[i] & 0xf0) >> 4]);
    }
    return text;
}

}  // namespace

PageBackground::PageBackground(QWidget *frame, QString styleSheet, QString picturePath)
    : m_frame(frame), m_styleSheet(std::move(styleSheet)), m_picturePath(std::move(picturePath))
{
}

void PageBackground::Attach()
{
    if (m_attached || !m_frame)
        return;
    m_attached = true;
    m_frame->setStyleSheet(m_styleSheet);
}

void PageBackground::Release()
{
    if (!m_attached || !m_frame)
        return;
    m_attached = false;
    m_frame->setStyleSheet(QString());
    QPixmapCache::remove(CacheKeyOf(m_picturePath));
}

QString PageBackground::CacheKeyOf(const QString &path)
{
    const QFileInfo info(path);
    const uint pixmapType = 0;  // a pixmap, not a bitmap
    return QStringLiteral("qt_pixmap") + info.absoluteFilePath()
           + QtHex<uint>(uint(info.lastModified().toSecsSinceEpoch())) + QtHex<quint64>(quint64(info.size()))
           + QtHex<uint>(pixmapType);
}
