#include "devicecache.h"

#include "paths.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>
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
    QSaveFile file(CachePath(name));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.writeBytes(reinterpret_cast<const char *>(&image), kFlashDataMapSize);
    // commit() alone does not notice a write that the disk cut short: flush
    // first and check, so a full disk keeps the old file instead of a short one.
    if (out.status() != QDataStream::Ok || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool LoadDeviceCache(const QString &name, FlashDataMap *image)
{
    if (!image || !IsPlainFileName(name))
        return false;
    QFile file(CachePath(name));
    if (!file.open(QIODevice::ReadOnly) || file.size() != kCacheFileSize)
        return false;
    QDataStream in(&file);
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
