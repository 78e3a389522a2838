#pragma once
// The macro exchange file that Export writes and Import reads: a QDataStream
// of version 17 (Qt 5.6), big-endian, holding
//
//     tag        12-byte block "Qelvo", zero-padded   (each block: quint32 length, then the bytes)
//     name       48-byte block, UTF-8, zero-padded
//     loop code  12-byte block, decimal digits, zero-padded
//     count      qint32
//     per item   QString text, QIcon icon, and for key items the C string
//                "0" (press) or "1" (release)
//
// Encode and Decode are pure functions over bytes. Decode trusts nothing: it
// succeeds only when every item reads cleanly, and it never hands the file's
// icon data to anything but the built-in PNG reader.

#include "macroitem.h"

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QString>
#include <QVector>
#include <limits>
#include <optional>

namespace MacroExport {

extern const char kTag[];  // "Qelvo"

struct EncodeItem {
    MacroItem item;
    QIcon icon;
};

QByteArray Encode(const QString &name, int loopCode, const QVector<EncodeItem> &items);

// One picture of an item's icon, with the mode and state it is shown for.
struct IconImage {
    QImage image;
    QIcon::Mode mode = QIcon::Normal;
    QIcon::State state = QIcon::Off;
};

struct DecodedItem {
    MacroItem item;
    QVector<IconImage> icon;  // empty: a null icon
};

struct Decoded {
    QString tag;       // each block's text up to its first zero byte, as UTF-8
    QString name;
    QString loopText;
    QVector<DecodedItem> items;
    // The file promises more items than the reader was asked to read: none
    // of them has been read, and `items` is empty.
    bool overItemLimit = false;

    int KeyItemCount() const;
    MacroItems Items() const;
};

// The whole file, or nothing when any part of it is damaged or not allowed:
// a read past the end or a corrupt value, a negative count, an item text with
// a control character, a text containing "ms" that is not digits + "ms", an
// icon of any engine but QPixmapIconEngine, or icon pictures that are not
// PNG, too large, or fail to decode. Icon entries without a picture (which
// would name a file to load) are dropped. A count above `maxItems` is not
// read further (see Decoded::overItemLimit): what a list of that length holds
// does not matter, and reading it all could take long; such a count is still
// refused as damage when the rest of the file is too short to hold it.
std::optional<Decoded> Decode(const QByteArray &bytes, qint32 maxItems = std::numeric_limits<qint32>::max());

// The loop code a loop text stands for: 1-250 and 253-255 as they are,
// anything else 1.
int LoopCodeOf(const QString &loopText);

// The icon made of decoded pictures (needs a GUI application).
QIcon IconOf(const QVector<IconImage> &images);

// Export files larger than this are not read.
constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

}  // namespace MacroExport
