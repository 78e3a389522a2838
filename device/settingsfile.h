#pragma once
// The exported settings file: three blocks, each a 32-bit big-endian byte
// count followed by that many bytes (QDataStream::writeBytes):
//   1. the tag "Qelvo", NUL-padded to 12 bytes;
//   2. the model's sensor name in UTF-8 with a NUL, padded to 12 bytes (a
//      name of 12 bytes or more gets a block of its length + 1, so that it
//      keeps its NUL);
//   3. the settings image, 10,428 bytes.
// A file of an ordinary name is 10,464 bytes long.

#include "flashdatamap.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace SettingsFile {

constexpr char kTag[] = "Qelvo";
// Tag and name blocks are at least this long.
constexpr int kTextBlockSize = 12;
// No exporter writes a longer tag or name block; a reader refuses one before
// its length decides an allocation.
constexpr int kMaxTextBlockSize = 256;

// The whole file for `sensorName` and `image`.
QByteArray Content(const QString &sensorName, const FlashDataMap &image);

struct Blocks {
    QByteArray tag;
    QByteArray sensor;
    QByteArray image;
};

// Reads the three blocks; false when a length is out of bounds (tag and name
// at most kMaxTextBlockSize, the image exactly one whole image) or the file
// ends inside a block.
bool Read(QIODevice *file, Blocks *blocks);

// The text of a tag or name block: its UTF-8 bytes up to the first NUL (the
// whole block without one).
QString BlockText(const QByteArray &block);

}  // namespace SettingsFile
