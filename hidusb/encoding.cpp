// The report encodings of our devices and the decoders the program calls.
// README.md in this folder is the reference for every byte written here.

#include "simcore.h"

#include <cstring>
#include <vector>

namespace HidSim {

namespace {

constexpr uint8_t kReportId = 0xA5;
constexpr int kTrailerOffset = kKeptImageBytes;  // 0x1ADC
constexpr char kTrailerMagic[4] = {'V', 'O', 'G', 'M'};
constexpr uint8_t kDumpFormat = 1;

uint8_t CheckByte(const QByteArray &bytes)
{
    uint8_t sum = 0;
    for (char b : bytes)
        sum = uint8_t(sum + uint8_t(b));
    return uint8_t(0x100 - sum);
}

quint16 Sum16(const char *data, int length)
{
    quint16 sum = 0;
    for (int i = 0; i < length; ++i)
        sum = quint16(sum + uint8_t(data[i]));
    return sum;
}

}  // namespace

QByteArray ImageToDump(const QByteArray &image, int profile, uint8_t mid)
{
    // Built in a plain buffer: the optimiser cannot see through QByteArray's
    // storage and warns about writes it believes overflow it.
    std::vector<char> dump(kDumpSize, '\0');
    std::memcpy(dump.data(), image.constData(), size_t(qMin(int(image.size()), kKeptImageBytes)));
    char *trailer = dump.data() + kTrailerOffset;
    std::memcpy(trailer, kTrailerMagic, 4);
    trailer[4] = char(kDumpFormat);
    trailer[5] = char(profile);
    trailer[6] = char(mid);
    const quint16 sum = Sum16(dump.data(), kKeptImageBytes);
    trailer[8] = char(sum & 0xFF);
    trailer[9] = char(sum >> 8);
    return QByteArray(dump.data(), int(dump.size()));
}

QByteArray DumpToImage(const QByteArray &dump)
{
    QByteArray image(kImageSize, '\0');
    std::memcpy(image.data(), dump.constData(), size_t(qMin(int(dump.size()), kKeptImageBytes)));
    return image;
}

QByteArray EncodeDpiLed(const QByteArray &image)
{
    const auto *i = reinterpret_cast<const uint8_t *>(image.constData());
    QByteArray d(8, '\0');
    d[0] = char(i[0x42]);  // on
    d[1] = char(i[0x3F]);  // mode
    d[2] = char(i[0x40]);  // brightness
    d[3] = char(i[0x41]);  // speed
    d[7] = char(CheckByte(d.left(7)));
    return d;
}

QByteArray EncodeLedBar(const QByteArray &image)
{
    const auto *i = reinterpret_cast<const uint8_t *>(image.constData());
    QByteArray d(9, '\0');
    d[0] = char(i[0x49]);  // on
    d[1] = char(i[0x43]);  // mode
    d[2] = char(i[0x44]);  // red
    d[3] = char(i[0x45]);  // green
    d[4] = char(i[0x46]);  // blue
    d[5] = char(i[0x47]);  // speed
    d[6] = char(i[0x48]);  // brightness
    d[8] = char(CheckByte(d.left(8)));
    return d;
}

QByteArray EncodeBattery(int level, bool charging)
{
    QByteArray d(2, '\0');
    d[0] = char(qBound(0, level, 100));
    d[1] = char(charging ? 0x01 : 0x00);
    return d;
}

QByteArray EncodeStatus(uint8_t flags)
{
    return QByteArray(1, char(flags & 0x7F));
}

QByteArray EncodeVersion(uint16_t version)
{
    QByteArray d(2, '\0');
    d[0] = char(version & 0xFF);
    d[1] = char(version >> 8);
    return d;
}

QByteArray BuildHeader(uint8_t command, uint8_t subCommand, int dataLength, uint8_t sequence)
{
    QByteArray h(kHeaderSize, '\0');
    h[0] = char(kReportId);
    h[HIDUSB_HEADER_COMMAND] = char(command);
    h[2] = char(sequence);
    h[HIDUSB_HEADER_STATUS] = 0;  // good
    h[HIDUSB_HEADER_SUBCOMMAND] = char(subCommand);
    h[5] = char(dataLength & 0xFF);
    h[6] = char((dataLength >> 8) & 0xFF);
    return h;
}

}  // namespace HidSim

using namespace HidSim;

extern "C" {

bool ProtocolDataParser(const unsigned char *data, FlashDataMap *image)
{
    LogCall("ProtocolDataParser");
    if (!data || !image)
        return false;
    auto *out = reinterpret_cast<unsigned char *>(image);
    std::memcpy(out, data, size_t(kKeptImageBytes));
    std::memset(out + kKeptImageBytes, 0, size_t(kImageSize - kKeptImageBytes));
    const auto *trailer = reinterpret_cast<const char *>(data) + kTrailerOffset;
    const bool ours = std::memcmp(trailer, kTrailerMagic, 4) == 0;
    const quint16 sum = quint16(uint8_t(trailer[8]) | (uint8_t(trailer[9]) << 8));
    return ours && sum == Sum16(reinterpret_cast<const char *>(data), kKeptImageBytes);
}

void BufferToDPILed(const unsigned char *data, unsigned char *out4)
{
    LogCall("BufferToDPILed");
    if (!data || !out4)
        return;
    out4[0] = data[1];  // mode
    out4[1] = data[2];  // brightness
    out4[2] = data[3];  // speed
    out4[3] = data[0];  // on
}

void BufferToLedBar(const unsigned char *data, unsigned char *out7)
{
    LogCall("BufferToLedBar");
    if (!data || !out7)
        return;
    out7[0] = data[1];  // mode
    out7[1] = data[2];  // red
    out7[2] = data[3];  // green
    out7[3] = data[4];  // blue
    out7[4] = data[5];  // speed
    out7[5] = data[6];  // brightness
    out7[6] = data[0];  // on
}

void GetDeviceBatteryStatus(const unsigned char *data, unsigned char *out)
{
    LogCall("GetDeviceBatteryStatus");
    if (!data || !out)
        return;
    out[0] = data[0] > 100 ? 100 : data[0];
    out[1] = (data[1] & 0x01) ? 1 : 0;
}

void GetDeviceStatusChanged(const unsigned char *data, unsigned char *out7)
{
    LogCall("GetDeviceStatusChanged");
    if (!data || !out7)
        return;
    for (int i = 0; i < 7; ++i)
        out7[i] = (data[0] >> i) & 1;
}

}  // extern "C"
