#include "settingsfile.h"

#include <QBuffer>
#include <QDataStream>

namespace SettingsFile {

namespace {

// Text with its NUL, zero-padded to the block size it needs.
QByteArray TextBlock(const QByteArray &text)
{
    QByteArray block = text;
    block.append('\0');
    if (block.size() < kTextBlockSize)
        block.append(QByteArray(kTextBlockSize - block.size(), '\0'));
    return block;
}

// Reads one block whose length must lie in [minSize, maxSize]; the length is
// checked before anything is allocated.
bool ReadBlock(QDataStream &in, quint32 minSize, quint32 maxSize, QByteArray *block)
{
    quint32 length = 0;
    in >> length;
    if (in.status() != QDataStream::Ok || length < minSize || length > maxSize)
        return false;
    block->resize(int(length));
    return in.readRawData(block->data(), int(length)) == int(length);
}

}  // namespace

QByteArray Content(const QString &sensorName, const FlashDataMap &image)
{
    const QByteArray tag = TextBlock(QByteArray(kTag));
    const QByteArray name = TextBlock(sensorName.toUtf8());
    QByteArray content;
    QBuffer buffer(&content);
    buffer.open(QIODevice::WriteOnly);
    QDataStream out(&buffer);
    out.setByteOrder(QDataStream::BigEndian);
    out.writeBytes(tag.constData(), uint(tag.size()));
    out.writeBytes(name.constData(), uint(name.size()));
    out.writeBytes(reinterpret_cast<const char *>(&image), uint(sizeof image));
    return content;
}

bool Read(QIODevice *file, Blocks *blocks)
{
    QDataStream in(file);
    in.setByteOrder(QDataStream::BigEndian);
    return ReadBlock(in, 0, kMaxTextBlockSize, &blocks->tag) && ReadBlock(in, 0, kMaxTextBlockSize, &blocks->sensor)
        && ReadBlock(in, kFlashDataMapSize, kFlashDataMapSize, &blocks->image);
}

QString BlockText(const QByteArray &block)
{
    const int end = block.indexOf('\0');
    return QString::fromUtf8(end < 0 ? block : block.left(end));
}

}  // namespace SettingsFile
