// Discovery, identification and the receiver options of the C interface.

#include "simcore.h"

#include <cstring>

namespace HidSim {

namespace {

// Ids as Config.ini writes them: hexadecimal, with or without "0x", any case.
int ParseId(const char *text)
{
    if (!text)
        return -1;
    QString s = QString::fromLatin1(text).trimmed();
    if (s.startsWith("0x", Qt::CaseInsensitive))
        s = s.mid(2);
    bool ok = false;
    const int id = s.toInt(&ok, 16);
    return ok && id >= 0 && id <= 0xFFFF ? id : -1;
}

const char **FindDevices(const char *vidText, const char *pidText, int *count)
{
    if (!count)
        return nullptr;
    const int capacity = qMax(0, *count);
    const int vid = ParseId(vidText);
    const int pid = ParseId(pidText);
    std::vector<const char *> found;
    auto lock = Lock();
    Core &c = Lib();
    for (const ReceiverRt &r : c.receivers) {
        if (r.desc.plugged && !r.desc.bootMode && r.desc.vid == vid && r.desc.pid == pid && r.path)
            found.push_back(r.path->text);
    }
    for (const MouseRt &m : c.mice) {
        if (m.desc.cable && !m.desc.bootMode && m.desc.vid == vid && m.desc.pid == pid && m.cablePath)
            found.push_back(m.cablePath->text);
    }
    if (int(found.size()) > capacity)
        found.resize(size_t(capacity));
    *count = int(found.size());
    return InternPathArray(found);
}

QString Text(const char *path)
{
    return path ? QString::fromLatin1(path) : QStringLiteral("(null)");
}

Address AddressSeenThrough(Core &c, const Target &t)
{
    if (t.receiver) {
        const MouseRt *m = PairedMouse(c, *t.receiver);
        return m ? m->desc.address : t.receiver->desc.address;
    }
    return t.mouse->desc.address;
}

void PutIds(const Target &t, unsigned char *out)
{
    const uint16_t vid = t.receiver ? t.receiver->desc.vid : t.mouse->desc.vid;
    const uint16_t pid = t.receiver ? t.receiver->desc.pid : t.mouse->desc.pid;
    out[0] = uint8_t(vid & 0xFF);
    out[1] = uint8_t(vid >> 8);
    out[2] = uint8_t(pid & 0xFF);
    out[3] = uint8_t(pid >> 8);
    out[4] = t.receiver ? t.receiver->desc.linkType : t.mouse->desc.linkType;
}

}  // namespace

}  // namespace HidSim

using namespace HidSim;

extern "C" {

const char **UsbFinderC_FindHidDevicesByDefaultDeviceId(const char *vid, const char *pid, int *count)
{
    LogCall("UsbFinderC_FindHidDevicesByDefaultDeviceId",
            Text(vid) + "," + Text(pid) + "," + (count ? QString::number(*count) : QString("null")));
    return FindDevices(vid, pid, count);
}

const char **UsbFinderC_FindHidDevicesByDeviceId(const char *vid, const char *pid, int interfaceId, int deviceId,
                                                 int *count)
{
    LogCall("UsbFinderC_FindHidDevicesByDeviceId",
            QStringLiteral("%1,%2,%3,%4,%5")
                .arg(Text(vid), Text(pid))
                .arg(interfaceId)
                .arg(deviceId)
                .arg(count ? QString::number(*count) : QString("null")));
    // Our devices carry their settings on interface 1, collection 5.
    if (interfaceId != 1 || deviceId != 5) {
        if (count)
            *count = 0;
        return count ? InternPathArray({}) : nullptr;
    }
    return FindDevices(vid, pid, count);
}

const unsigned char *UsbFinderC_GetDeviceInfo(const char *path)
{
    LogCall("UsbFinderC_GetDeviceInfo", Text(path));
    thread_local unsigned char info[3];
    std::memset(info, 0, sizeof info);
    auto lock = Lock();
    Core &c = Lib();
    const Target t = Resolve(c, path);
    if (!t)
        return info;
    int &zeroLeft = t.receiver ? t.receiver->zeroIdsLeft : t.mouse->zeroIdsLeft;
    info[2] = t.receiver ? t.receiver->desc.linkType : t.mouse->desc.linkType;
    if (zeroLeft > 0) {
        --zeroLeft;  // the device has not settled yet after plug-in
        return info;
    }
    const bool answers = t.cable || (t.mouse && (MouseReachable(c, t) || t.receiver->desc.reportsIdsWhenOff));
    if (answers) {
        info[0] = t.mouse->desc.cid;
        info[1] = t.mouse->desc.mid;
    }
    return info;
}

bool UsbFinderC_GetUsbDeviceAttribute(const char *path, unsigned char *out)
{
    LogCall("UsbFinderC_GetUsbDeviceAttribute", Text(path));
    if (!out)
        return false;
    std::memset(out, 0, 12);
    auto lock = Lock();
    const Target t = Resolve(Lib(), path);
    if (!t)
        return false;
    PutIds(t, out);
    const uint16_t version = t.receiver ? t.receiver->desc.version : t.mouse->desc.version;
    out[8] = uint8_t(version & 0xFF);  // minor
    out[9] = uint8_t(version >> 8);    // major: the little-endian word at byte 8 has it high
    return true;
}

bool UsbFinderC_GetDeviceOnLine(const char *path)
{
    // Lock-free on purpose: the flags are refreshed after every world change.
    const PathEntry *entry = FindPath(path);
    const bool online = entry && entry->online.load();
    LogCall("UsbFinderC_GetDeviceOnLine", Text(path) + (online ? " -> 1" : " -> 0"));
    return online;
}

bool UsbFinderC_GetDeviceOnLineWithUsbAddress(const char *path, unsigned char *out)
{
    LogCall("UsbFinderC_GetDeviceOnLineWithUsbAddress", Text(path));
    if (!out)
        return false;
    std::memset(out, 0, 10);
    auto lock = Lock();
    Core &c = Lib();
    const Target t = Resolve(c, path);
    if (!t)
        return false;
    PutIds(t, out);
    out[6] = MouseReachable(c, t) ? 1 : 0;
    const Address a = AddressSeenThrough(c, t);
    out[7] = a[0];
    out[8] = a[1];
    out[9] = a[2];
    return true;
}

int UsbFinderC_GetVersion(const char *path)
{
    LogCall("UsbFinderC_GetVersion", Text(path));
    auto lock = Lock();
    Core &c = Lib();
    const Target t = Resolve(c, path);
    return t.mouse && MouseReachable(c, t) ? t.mouse->desc.version : 0;
}

bool UsbFinderC_GetSlaveVersion(const char *path, int *version)
{
    LogCall("UsbFinderC_GetSlaveVersion", Text(path));
    auto lock = Lock();
    const Target t = Resolve(Lib(), path);
    if (!t.receiver || !version)
        return false;
    *version = t.receiver->desc.version;
    return true;
}

bool UsbFinderC_SetDongleIDToMouse(const char *path, unsigned char *record)
{
    LogCall("UsbFinderC_SetDongleIDToMouse", Text(path));
    auto lock = Lock();
    Core &c = Lib();
    const Target t = Resolve(c, path);
    if (!t.cable || !record)
        return false;
    // The record carries the receiver address last byte first.
    t.mouse->desc.address = {record[2], record[1], record[0]};
    for (ReceiverRt &r : c.receivers) {
        if (r.desc.address == t.mouse->desc.address)
            r.desc.mouse = t.mouse->desc.name;
    }
    WorldChanged(c);
    return true;
}

bool UsbFinderC_SetLongRangeMode(const char *path, bool on)
{
    LogCall("UsbFinderC_SetLongRangeMode", Text(path) + (on ? ",1" : ",0"));
    auto lock = Lock();
    const Target t = Resolve(Lib(), path);
    if (!t.receiver)
        return false;
    t.receiver->desc.longRange = on;  // a host write: the receiver sends no report for it
    MarkWorldDirty(Lib());
    return true;
}

bool UsbFinderC_GetLongRangeMode(const char *path, unsigned char *out)
{
    LogCall("UsbFinderC_GetLongRangeMode", Text(path));
    auto lock = Lock();
    const Target t = Resolve(Lib(), path);
    if (!t.receiver || !out)
        return false;  // no answer: the caller's preset stays
    *out = t.receiver->desc.longRange ? 1 : 0;
    return true;
}

bool UsbFinderC_Set4KDongleRGB(const char *path, DongleRGB *record)
{
    LogCall("UsbFinderC_Set4KDongleRGB", Text(path));
    auto lock = Lock();
    const Target t = Resolve(Lib(), path);
    if (!t.receiver || !t.receiver->desc.hasLed || !record)
        return false;
    std::memcpy(t.receiver->desc.led.data(), record, 10);
    MarkWorldDirty(Lib());
    return true;
}

bool UsbFinderC_Get4KDongleRGBValue(const char *path, DongleRGB *record)
{
    LogCall("UsbFinderC_Get4KDongleRGBValue", Text(path));
    auto lock = Lock();
    const Target t = Resolve(Lib(), path);
    if (!t.receiver || !t.receiver->desc.hasLed || !record)
        return false;
    std::memcpy(record, t.receiver->desc.led.data(), 10);
    return true;
}

}  // extern "C"
