#include "imagecache.h"

#include "devicecache.h"
#include "globals.h"

bool SaveImageCacheOfSelectedModel()
{
    // The cache is saved only under the selected model's name: the image may
    // still hold another model's dump (kept on purpose; the cache of one model
    // never receives another's settings).
    const QString name = g_SaveCacheName.Get();
    if (name.isEmpty() || name != g_LoadCacheName.Get())
        return false;
    return SaveDeviceCache(name, ReadImage());
}
