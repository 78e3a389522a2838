#include "imagecache.h"

#include "devicecache.h"
#include "globals.h"

bool SaveImageCacheOfSelectedModel()
{
    const QString name = g_SaveCacheName;
    if (name.isEmpty() || name != g_LoadCacheName)
        return false;
    return SaveDeviceCache(name, ReadImage());
}
