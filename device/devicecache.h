#pragma once
// Per-user cache of each mouse model's last settings image, so the pages can
// show a model's settings while the mouse is away.
//
// One file per model in <base folder>/Device_Info, named
// "Device_CID<cid>_MID<mid>.bin" (two upper-case hex digits each). Content:
// the image as one QDataStream byte block, i.e. a 4-byte big-endian length
// (always 10,428) followed by the 10,428 image bytes: 10,432 bytes in all.

#include "flashdatamap.h"

#include <QString>
#include <cstdint>

// The folder of the cache files: Paths::BaseFolder() + "/Device_Info".
QString DeviceCacheFolder();

// "Device_CID05_MID1A.bin" for customer id 0x05 and model id 0x1A.
QString DeviceCacheName(uint8_t cid, uint8_t mid);

// Writes `image` under `name`, atomically: the old file stays whole when the
// save fails part-way. An empty name (no image arrived yet) or a name that is
// not a plain file name writes nothing. Returns true when the file was saved;
// callers may ignore a failure, the next save tries again.
bool SaveDeviceCache(const QString &name, const FlashDataMap &image);

// Reads the file `name` into `*image`. Returns true only for a complete file
// as SaveDeviceCache writes it; for a missing, truncated, empty or oversized
// file, or one whose stored length is not exactly one image, it returns false
// and leaves `*image` untouched. Kept on purpose: a part of an image copied
// over the pages' defaults would show (and later send) a mix of two images.
// The caller owns `*image`: pass a local image and store it into
// g_FlashDataMap under the image lock, not g_FlashDataMap itself.
bool LoadDeviceCache(const QString &name, FlashDataMap *image);

// The image of a cache file's content; false, with `*image` untouched, for
// anything but a complete file as SaveDeviceCache writes it.
bool DecodeDeviceCache(const QByteArray &content, FlashDataMap *image);
