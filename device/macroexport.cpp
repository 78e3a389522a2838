#include "macroexport.h"

#include "macrofile.h"

#include <QBuffer>
#include <QDataStream>
#include <QImageReader>
#include <QPixmap>
#include <memory>

namespace MacroExport {

const char kTag[] = "Qelvo";

namespace {

constexpr int kTagBlockBytes = 12;
constexpr int kNameBlockBytes = 48;
constexpr int kLoopBlockBytes = 12;

// The stream format of Qt 5.6 to 5.9, which the files have always used.
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_5_6;
// The smallest item: the length fields of its text and of its icon's key.
constexpr qint64 kLeastItemBytes = 8;

// Key items end with the C string "0" or "1"; read back as a QString, the
// digit and its zero byte make one UTF-16 unit: U+3000 for a press.
const char kPressMarker[] = "0";
const char kReleaseMarker[] = "1";
constexpr ushort kPressMarkerUnit = 0x3000;

constexpr int kMinLoopCount = 1;
constexpr int kMaxLoopCount = 250;
constexpr int kFirstLoopMode = 253;
constexpr int kLastLoopMode = 255;

const char kPixmapEngineKey[] = "QPixmapIconEngine";

// Item icons are small pictures; these bounds keep a crafted file from
// making the PNG reader allocate more than a few megabytes.
constexpr quint32 kMaxIconSide = 256;
constexpr qint64 kMaxIconPixelsPerFile = 1024 * 1024;

const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr int kPngSignatureBytes = 8;
constexpr int kPngChunkHeaderBytes = 8;
constexpr int kPngCrcBytes = 4;
constexpr int kPngHeaderDataBytes = 13;

// `text`'s UTF-8 cut to whole characters within `size` bytes, zero-padded.
QByteArray Block(const QString &text, int size)
{
    QByteArray bytes;
    for (int i = 0; i < text.size();) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const int units = pair ? 2 : 1;
        const QByteArray next = text.mid(i, units).toUtf8();
        if (bytes.size() + next.size() > size)
            break;
        bytes += next;
        i += units;
    }
    return bytes.leftJustified(size, '\0');
}

void WriteBlock(QDataStream &out, const QByteArray &block)
{
    out.writeBytes(block.constData(), uint(block.size()));
}

bool Ok(const QDataStream &in)
{
    return in.status() == QDataStream::Ok;
}

bool ReadBlockText(QDataStream &in, QString *text)
{
    char *raw = nullptr;
    uint length = 0;
    in.readBytes(raw, length);
    const std::unique_ptr<char[]> owner(raw);
    if (!Ok(in))
        return false;
    QByteArray bytes(raw, int(length));
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    *text = QString::fromUtf8(bytes);
    return true;
}

bool ReadRaw(QDataStream &in, int size, QByteArray *out)
{
    if (size < 0 || in.device()->bytesAvailable() < size)
        return false;
    QByteArray bytes(size, Qt::Uninitialized);
    if (in.readRawData(bytes.data(), size) != size)
        return false;
    *out += bytes;
    return true;
}

quint32 BigEndian32(const QByteArray &bytes, int at)
{
    return (quint32(uchar(bytes.at(at))) << 24) | (quint32(uchar(bytes.at(at + 1))) << 16)
        | (quint32(uchar(bytes.at(at + 2))) << 8) | quint32(uchar(bytes.at(at + 3)));
}

// Takes one PNG file off the stream by walking its chunks up to IEND, checks
// its header against the size bounds, and decodes it with the PNG reader
// alone (no format detection, so no other image plugin sees the bytes).
bool ReadPng(QDataStream &in, qint64 *pixelBudget, QImage *image)
{
    QByteArray png;
    if (!ReadRaw(in, kPngSignatureBytes, &png) || png != QByteArray(kPngSignature, kPngSignatureBytes))
        return false;
    quint32 width = 0;
    quint32 height = 0;
    for (bool first = true;; first = false) {
        const int headerAt = png.size();
        if (!ReadRaw(in, kPngChunkHeaderBytes, &png))
            return false;
        const quint32 length = BigEndian32(png, headerAt);
        const QByteArray type = png.mid(headerAt + 4, 4);
        if (length > quint32(in.device()->bytesAvailable()))
            return false;
        const int dataAt = png.size();
        if (!ReadRaw(in, int(length), &png) || !ReadRaw(in, kPngCrcBytes, &png))
            return false;
        if (first) {
            if (type != "IHDR" || length != kPngHeaderDataBytes)
                return false;
            width = BigEndian32(png, dataAt);
            height = BigEndian32(png, dataAt + 4);
            if (width == 0 || height == 0 || width > kMaxIconSide || height > kMaxIconSide)
                return false;
        }
        if (type == "IEND")
            break;
    }
    const qint64 pixels = qint64(width) * height;
    if (pixels > *pixelBudget)
        return false;
    *pixelBudget -= pixels;

    QBuffer buffer(&png);
    QImageReader reader(&buffer, "png");
    reader.setAutoDetectImageFormat(false);
    *image = reader.read();
    return !image->isNull() && image->size() == QSize(int(width), int(height));
}

// The icon as QIcon writes it: its engine's key, then what that engine
// writes. Only a null icon (empty key) and the pixmap engine are read; the
// engine's entries are read here rather than by QIcon, which would load a
// file named by an entry without a picture.
bool ReadIcon(QDataStream &in, qint64 *pixelBudget, QVector<IconImage> *icon)
{
    QString key;
    in >> key;
    if (!Ok(in))
        return false;
    if (key.isEmpty())
        return true;
    if (key != QLatin1String(kPixmapEngineKey))
        return false;
    qint32 entries = 0;
    in >> entries;
    if (!Ok(in) || entries < 0)
        return false;
    for (qint32 i = 0; i < entries; ++i) {
        qint32 hasImage = 0;
        in >> hasImage;
        if (!Ok(in))
            return false;
        QImage image;
        if (hasImage != 0 && !ReadPng(in, pixelBudget, &image))
            return false;
        QString fileName;
        QSize size;
        quint32 mode = 0;
        quint32 state = 0;
        in >> fileName >> size >> mode >> state;
        if (!Ok(in) || mode > QIcon::Selected || state > QIcon::Off)
            return false;
        if (!image.isNull())
            icon->append(IconImage{image, QIcon::Mode(mode), QIcon::State(state)});
    }
    return true;
}

bool HasControlCharacter(const QString &text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

bool ReadItem(QDataStream &in, qint64 *pixelBudget, DecodedItem *decoded)
{
    QString text;
    in >> text;
    if (!Ok(in) || HasControlCharacter(text))
        return false;
    decoded->item.text = text;
    if (!ReadIcon(in, pixelBudget, &decoded->icon))
        return false;
    if (decoded->item.IsDelay()) {
        decoded->item.type = MacroItem::kDelayType;
        return MacroFile::IsDelayText(text);
    }
    QString marker;
    in >> marker;
    if (!Ok(in))
        return false;
    const bool press = marker.size() == 1 && marker.at(0).unicode() == kPressMarkerUnit;
    decoded->item.type = press ? MacroItem::kPressType : MacroItem::kReleaseType;
    return true;
}

}  // namespace

QByteArray Encode(const QString &name, int loopCode, const QVector<EncodeItem> &items)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out.setByteOrder(QDataStream::BigEndian);
    WriteBlock(out, Block(QString::fromLatin1(kTag), kTagBlockBytes));
    WriteBlock(out, Block(name, kNameBlockBytes));
    WriteBlock(out, Block(QString::number(loopCode), kLoopBlockBytes));
    out << qint32(items.size());
    for (const EncodeItem &entry : items) {
        out << entry.item.text << entry.icon;
        if (!entry.item.IsDelay())
            out << (entry.item.IsPress() ? kPressMarker : kReleaseMarker);
    }
    return bytes;
}

std::optional<Decoded> Decode(const QByteArray &bytes, qint32 maxItems)
{
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    in.setByteOrder(QDataStream::BigEndian);

    Decoded decoded;
    if (!ReadBlockText(in, &decoded.tag) || !ReadBlockText(in, &decoded.name)
        || !ReadBlockText(in, &decoded.loopText))
        return std::nullopt;
    qint32 count = 0;
    in >> count;
    if (!Ok(in) || count < 0)
        return std::nullopt;
    if (count > maxItems) {
        // Unread, but not unchecked: a count the rest of the file could not
        // hold marks a damaged file, not a long list.
        if (qint64(count) * kLeastItemBytes > bytes.size() - in.device()->pos())
            return std::nullopt;
        decoded.overItemLimit = true;
        return decoded;
    }

    // Items are appended as they read cleanly, never reserved by the count,
    // which may promise far more than the data holds.
    qint64 pixelBudget = kMaxIconPixelsPerFile;
    for (qint32 i = 0; i < count; ++i) {
        DecodedItem item;
        if (!ReadItem(in, &pixelBudget, &item))
            return std::nullopt;
        decoded.items.append(item);
    }
    return decoded;
}

int Decoded::KeyItemCount() const
{
    int keys = 0;
    for (const DecodedItem &decoded : items) {
        if (!decoded.item.IsDelay())
            ++keys;
    }
    return keys;
}

MacroItems Decoded::Items() const
{
    MacroItems plain;
    for (const DecodedItem &decoded : items)
        plain.append(decoded.item);
    return plain;
}

int LoopCodeOf(const QString &loopText)
{
    bool ok = false;
    const int code = loopText.toInt(&ok, 10);
    const bool kept = ok
        && ((code >= kMinLoopCount && code <= kMaxLoopCount) || (code >= kFirstLoopMode && code <= kLastLoopMode));
    return kept ? code : kMinLoopCount;
}

QIcon IconOf(const QVector<IconImage> &images)
{
    QIcon icon;
    for (const IconImage &picture : images)
        icon.addPixmap(QPixmap::fromImage(picture.image), picture.mode, picture.state);
    return icon;
}

}  // namespace MacroExport
