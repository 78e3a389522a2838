#pragma once
// Firmware image files ("*.bin" in AppFolder()/bin) and the searches that pick
// an image for a device model and its current firmware version.
//
// An image is one file: a 728-byte header followed by the firmware body. The
// program reads only the header fields below; the firmware library receives
// the whole buffer. The header layout and the writer are header-only so that
// the image tool (tools/fwimage) builds them without the core library.

#include <QByteArray>
#include <QList>
#include <QString>
#include <atomic>
#include <cstdint>

namespace FirmwareLayout {
constexpr int kHeaderSize = 728;
constexpr int kVersionOffset = 0x10;  // u32, little-endian
constexpr int kTargetOffset = 0x14;   // u8, FirmwareTarget
constexpr int kCidOffset = 0x15;      // u8, customer id
constexpr int kMidOffset = 0x16;      // u8, model id
// u32, little-endian: the length of the body after the header. The firmware
// library is handed only a pointer to the image (no length), so it takes the
// image length from here: kHeaderSize + body length.
constexpr int kBodyLengthOffset = 0x18;
// u32, little-endian: the sum of the body bytes modulo 2^32; 0 means "not set".
constexpr int kBodySumOffset = 0x1C;
// The body lengths an image may state.
constexpr uint32_t kMinBodyLength = 1;
constexpr uint32_t kMaxBodyLength = 16 * 1024 * 1024;
constexpr int kModelNameOffset = 0x57;  // local 8-bit text, NUL-terminated unless it fills the field
constexpr int kModelNameSize = 64;
}  // namespace FirmwareLayout

enum FirmwareTarget : uint8_t {
    kMouseFirmware = 210,     // 0xD2
    kReceiverFirmware = 211,  // 0xD3
};

struct FirmwareHeader {
    uint32_t Version = 0;  // major in bits 8..31, minor in bits 0..7
    uint8_t Target = 0;
    uint8_t Cid = 0;
    uint8_t Mid = 0;
    uint32_t BodyLength = 0;
    uint32_t BodySum = 0;
    QByteArray ModelName;  // bytes up to the first NUL, at most 64

    // False when the buffer is shorter than the header.
    static bool Read(const QByteArray &image, FirmwareHeader *header)
    {
        using namespace FirmwareLayout;
        if (image.size() < kHeaderSize)
            return false;
        const auto *bytes = reinterpret_cast<const uint8_t *>(image.constData());
        header->Version = ReadU32(bytes + kVersionOffset);
        header->Target = bytes[kTargetOffset];
        header->Cid = bytes[kCidOffset];
        header->Mid = bytes[kMidOffset];
        header->BodyLength = ReadU32(bytes + kBodyLengthOffset);
        header->BodySum = ReadU32(bytes + kBodySumOffset);
        const QByteArray field = image.mid(kModelNameOffset, kModelNameSize);
        const int end = field.indexOf('\0');
        header->ModelName = end < 0 ? field : field.left(end);
        return true;
    }

    // The sum of the body bytes modulo 2^32, as kBodySumOffset holds it.
    static uint32_t SumOf(const QByteArray &body)
    {
        uint32_t sum = 0;
        for (const char byte : body)
            sum += uint8_t(byte);
        return sum;
    }

    // True when `image` is whole as this header describes it: exactly the
    // header plus BodyLength bytes, a body length the device library takes
    // (1 byte to 16 MiB), and the body sum matching when one is set. The
    // library gets only a pointer and reads 728 + BodyLength bytes from it,
    // so an image whose length field says more than the file holds must never
    // reach it.
    bool DescribesWhole(const QByteArray &image) const
    {
        using namespace FirmwareLayout;
        if (BodyLength < kMinBodyLength || BodyLength > kMaxBodyLength
            || qint64(image.size()) != qint64(kHeaderSize) + BodyLength)
            return false;
        return BodySum == 0 || SumOf(image.mid(kHeaderSize)) == BodySum;
    }

    // A whole image: this header (BodyLength and BodySum set from `body`, a
    // model name longer than 64 bytes cut) followed by the body.
    QByteArray MakeImage(const QByteArray &body) const
    {
        using namespace FirmwareLayout;
        QByteArray image(kHeaderSize, '\0');
        auto *bytes = reinterpret_cast<uint8_t *>(image.data());
        WriteU32(bytes + kVersionOffset, Version);
        bytes[kTargetOffset] = Target;
        bytes[kCidOffset] = Cid;
        bytes[kMidOffset] = Mid;
        WriteU32(bytes + kBodyLengthOffset, uint32_t(body.size()));
        WriteU32(bytes + kBodySumOffset, SumOf(body));
        const QByteArray name = ModelName.left(kModelNameSize);
        image.replace(kModelNameOffset, name.size(), name);
        return image + body;
    }

private:
    static uint32_t ReadU32(const uint8_t *p)
    {
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    static void WriteU32(uint8_t *p, uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            p[i] = uint8_t(value >> (8 * i));
    }
};

// "v" + major in decimal + "." + minor in lower-case hexadecimal: 0x0102 gives
// "v1.2", 0x0110 "v1.10", 0x00010203 "v258.3".
inline QString FirmwareVersionText(uint32_t version)
{
    return "v" + QString::number(version >> 8) + "." + QString::number(version & 0xFF, 16);
}

// The image folder: AppFolder() + "/bin".
QString FirmwareFolder();

// The searches. Each lists `folder` ("*.bin", files only, by name ignoring
// case) and looks at the images whose target, customer id, model id (low 8
// bits each) and model name match. Such an image is taken when the current
// version is empty or names a different version; the last one taken in name
// order wins. Files that cannot be opened, are not regular files, or are not
// whole as their header describes them (FirmwareHeader::DescribesWhole) are
// passed over.
//
// FindRepairFirmware keeps the taken image as the one entry of
// g_RepairFirmware, FindUpdateFirmware as that of g_UpdateFirmware; each
// clears its list first. HasNewFirmware keeps nothing and answers false for an
// empty current version without looking.
bool FindRepairFirmware(uint8_t target, QString currentVersion, QString modelName, uint8_t cid, uint8_t mid,
                        const QString &folder = FirmwareFolder());
bool FindUpdateFirmware(uint8_t target, QString currentVersion, QString modelName, uint8_t cid, uint8_t mid,
                        const QString &folder = FirmwareFolder());
bool HasNewFirmware(uint8_t target, QString currentVersion, QString modelName, uint8_t cid, uint8_t mid,
                    const QString &folder = FirmwareFolder());

// HasNewFirmware for the current device's model (g_CurrentDevice.DriveIndex):
// customer id from Option/CID (also stored in g_UpdateCid), model id from the
// group's MID, model name from MM for target 210, else from DM, D2M, D4M or D8M
// for receiver class 1, 2, 4 or 8. Any other class answers false.
bool HasNewFirmwareForClass(uint8_t target, QString currentVersion, int receiverClass,
                            const QString &folder = FirmwareFolder());

// The images kept by the searches. A kept buffer stays valid and unchanged for
// the rest of the run, even after a later search clears its list, because the
// firmware library holds only a pointer to it: hand it over with
// FirmwareImageData(), never through a non-const data().
extern QList<QByteArray> g_RepairFirmware;
extern QList<QByteArray> g_UpdateFirmware;

// The pointer to hand to the firmware library for a kept image.
inline const unsigned char *FirmwareImageData(const QByteArray &image)
{
    return reinterpret_cast<const unsigned char *>(image.constData());
}

// The update engine's customer id ([Option] CID); HasNewFirmwareForClass sets it too.
extern std::atomic<int> g_UpdateCid;

// FindRepairFirmware for a thread other than the GUI thread (the repair's
// flash callback): the taken image comes back in `image`, kept for the run like
// every taken image, and g_RepairFirmware, which the GUI thread's searches
// own, is left alone.
bool FindRepairFirmwareImage(uint8_t target, QString currentVersion, QString modelName, uint8_t cid, uint8_t mid,
                             QByteArray *image, const QString &folder = FirmwareFolder());
