#include "devicecache.h"

#include "paths.h"
#include "wholefile.h"

#include <QDataStream>
#include <QDir>
#include <cstring>

namespace {

constexpr qint64 kBlockHeaderSize = 4;
constexpr qint64 kCacheFileSize = kBlockHeaderSize + kFlashDataMapSize;

// Names come from DeviceCacheName; anything that could leave the folder or
// name the folder itself is refused.
bool IsPlainFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

QString CachePath(const QString &name)
{
    return DeviceCacheFolder() + QLatin1Char('/') + name;
}

}  // namespace

QString DeviceCacheFolder()
{
    return Paths::BaseFolder() + QStringLiteral("/Device_Info");
}

QString DeviceCacheName(uint8_t cid, uint8_t mid)
{
    return QString::asprintf("Device_CID%02X_MID%02X.bin", unsigned(cid), unsigned(mid));
}

bool SaveDeviceCache(const QString &name, const FlashDataMap &image)
{
    if (!IsPlainFileName(name) || !QDir().mkpath(DeviceCacheFolder()))
        return false;
    QByteArray content;
    QDataStream out(&content, QIODevice::WriteOnly);
    out.writeBytes(reinterpret_cast<const char *>(&image), kFlashDataMapSize);
    return out.status() == QDataStream::Ok && WholeFile::Write(CachePath(name), content);
}

bool LoadDeviceCache(const QString &name, FlashDataMap *image)
{
    if (!image || !IsPlainFileName(name))
        return false;
    QByteArray content;
    return WholeFile::Read(CachePath(name), &content, kCacheFileSize) && DecodeDeviceCache(content, image);
}

bool DecodeDeviceCache(const QByteArray &content, FlashDataMap *image)
{
    if (!image || content.size() != kCacheFileSize)
        return false;
    QDataStream in(content);
    quint32 length = 0;
    in >> length;
    if (in.status() != QDataStream::Ok || length != quint32(kFlashDataMapSize))
        return false;
    FlashDataMap loaded;
    if (in.readRawData(reinterpret_cast<char *>(&loaded), kFlashDataMapSize) != kFlashDataMapSize)
        return false;
    std::memcpy(image, &loaded, sizeof(FlashDataMap));
    return true;
}
