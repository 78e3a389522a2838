#include "discovery.h"

#include "configini.h"
#include "globals.h"
#include "hidusb.h"

#include <algorithm>

namespace {

struct IdAnswer {
    uint8_t cid = 0;
    uint8_t mid = 0;
    uint8_t link = 0;
    bool identified() const { return cid != 0 || mid != 0; }
};

// Asks for the ids up to kIdentifyAttempts times and stops at the first
// answer carrying an id. Every answer counts, the tenth included: a device
// that answers with ids only on the tenth call is identified by it (kept on
// purpose: a device still settling after plug-in is listed as itself, not as
// unknown).
IdAnswer ReadIds(const char *path)
{
    IdAnswer answer;
    for (int attempt = 0; attempt < kIdentifyAttempts; ++attempt) {
        const unsigned char *info = UsbFinderC_GetDeviceInfo(path);
        answer = info ? IdAnswer{info[0], info[1], info[2]} : IdAnswer{};
        if (answer.identified())
            break;
    }
    return answer;
}

int ConfigInt(const QString &group, const QString &key)
{
    return ConfigIni::GetInstance()->Value(group, key).toInt();
}

// N - 1 of the first group "DriveN" whose MID matches, or -1. The groups end
// at DeviceTotal or at the last group the file holds, whichever comes first: a
// DeviceTotal far beyond the file's groups must not keep the scan going.
int MatchGroup(const IdAnswer &ids, int deviceTotal)
{
    if (ids.cid != ConfigInt("Option", "CID"))
        return -1;
    const int last = std::min(deviceTotal, ConfigIni::GetInstance()->LastDriveGroup());
    for (int k = 1; k <= last; ++k) {
        if (ids.mid == ConfigInt(ConfigIni::DriveGroup(k - 1), "MID"))
            return k - 1;
    }
    return -1;
}

void SetIdentity(DeviceAllInfo &info, const IdAnswer &ids, int driveIndex)
{
    info.Cid = ids.cid;
    info.Mid = ids.mid;
    info.LinkType = ids.link;
    info.Wired = DeviceAllInfo::IsWiredLink(ids.link);
    info.DriveIndex = driveIndex;
}

QList<char> AddressFrom(const unsigned char *buffer)
{
    return {char(buffer[7]), char(buffer[8]), char(buffer[9])};
}

DeviceAllInfo NewRecord(const char *path, const QString &vid, const QString &pid)
{
    DeviceAllInfo info;
    info.Path = QString::fromLatin1(path);
    info.Vid = vid;
    info.Pid = pid;
    unsigned char attribute[12] = {0};
    UsbFinderC_GetUsbDeviceAttribute(path, attribute);
    info.UsbVersion = VersionText(attribute[8] | (attribute[9] << 8));
    info.Online = false;
    return info;
}

void ReplacePageEntry(int index, const DeviceAllInfo &info)
{
    g_PageDevices.removeAt(index);
    g_PageDevices.insert(index, info);
    if (index < g_PageDevicesCopy.size()) {
        g_PageDevicesCopy.removeAt(index);
        g_PageDevicesCopy.insert(index, info);
    }
}

void ReadTileAddress(DeviceAllInfo &info)
{
    info.Online = false;
    const QByteArray path = info.Path.toLatin1();
    UsbFinderC_GetDeviceOnLineWithUsbAddress(path.constData(), g_TileAddressBuffer);
}

void ApplyTileAddress(DeviceAllInfo &info)
{
    info.Online = g_TileAddressBuffer[6] == 1;
    info.Address = AddressFrom(g_TileAddressBuffer);
}

}  // namespace

QString VersionText(int versionWord)
{
    return QString("v%1.%2").arg((versionWord >> 8) & 0xFFFFFF).arg(versionWord & 0xFF, 0, 16);
}

QVector<QString> ConfiguredProductIds()
{
    QVector<QString> pids;
    for (const char *key : {"USB_PID", "Wireless_PID", "Wireless2_PID", "Wireless4_PID", "Wireless8_PID"}) {
        for (const QString &pid : ConfigIni::GetInstance()->ValueList("Option", key)) {
            if (!pid.isEmpty())
                pids.append(pid);
        }
    }
    return pids;
}

void EnumeratePageDevices(const QString &vid, const QVector<QString> &pids)
{
    const QByteArray vidText = vid.toLatin1();
    for (const QString &pid : pids) {
        int count = 5;
        const QByteArray pidText = pid.toLatin1();
        const char **paths = UsbFinderC_FindHidDevicesByDefaultDeviceId(vidText.constData(), pidText.constData(), &count);
        for (int i = 0; paths && i < count; ++i) {
            DeviceAllInfo info = NewRecord(paths[i], vid, pid);
            if (IdentifyPageDevice(info)) {
                g_PageDevices.append(info);
                g_PageDevicesCopy.append(info);
            }
        }
    }
}

bool IdentifyPageDevice(DeviceAllInfo &info)
{
    const QByteArray path = info.Path.toLatin1();
    const IdAnswer ids = ReadIds(path.constData());
    const int deviceTotal = ConfigInt("Option", "DeviceTotal");
    const int group = ids.identified() ? MatchGroup(ids, deviceTotal) : -1;
    if (group >= 0) {
        SetIdentity(info, ids, group);
        if (UsbFinderC_GetDeviceOnLine(path.constData()))
            info.Online = true;
        return true;
    }
    if (!ids.identified()) {
        // Never answered with an id: listed as unidentified.
        info.Wired = DeviceAllInfo::IsWiredLink(ids.link);
        info.DriveIndex = deviceTotal;
        return true;
    }
    if (deviceTotal <= 0)
        return false;
    info.Wired = DeviceAllInfo::IsWiredLink(ids.link);
    info.DriveIndex = deviceTotal;
    return true;
}

bool RefreshPageDevice(int index)
{
    if (index < 0 || index >= g_PageDevices.size())
        return false;
    DeviceAllInfo info = g_PageDevices.at(index);
    ReadTileAddress(info);
    ApplyTileAddress(info);
    ReplacePageEntry(index, info);
    return info.Address.count(char(0)) < 3;
}

bool RefreshPageEntry(int index)
{
    if (index < 0 || index >= g_PageDevices.size())
        return false;
    DeviceAllInfo info = g_PageDevices.at(index);
    ReadTileAddress(info);
    IdentifyPageDevice(info);
    ApplyTileAddress(info);
    ReplacePageEntry(index, info);
    return true;
}

void EnumerateMainDevices(const QString &vid, const QVector<QString> &pids)
{
    const QByteArray vidText = vid.toLatin1();
    for (const QString &pid : pids) {
        int count = 5;
        const QByteArray pidText = pid.toLatin1();
        const char **paths = UsbFinderC_FindHidDevicesByDeviceId(vidText.constData(), pidText.constData(), 1, 5, &count);
        for (int i = 0; paths && i < count; ++i) {
            DeviceAllInfo info = NewRecord(paths[i], vid, pid);
            if (g_CurrentDevice.Get().Path.isEmpty()) {
                g_FoundDevices.append(info);
                continue;
            }
            const int result = IdentifyMainDevice(info, paths[i]);
            const DeviceAllInfo current = g_CurrentDevice.Get();
            if (result != 1) {
                g_FoundDevices.append(info);
            } else if (info.DriveIndex == current.DriveIndex) {
                g_FoundDevices.append(info);
                if (info.Path == current.Path)
                    g_CurrentPath = paths[i];  // interned by the library for the whole run
            }
        }
    }
}

int IdentifyMainDevice(DeviceAllInfo &info, const char *path)
{
    const IdAnswer ids = ReadIds(path);
    if (!ids.identified()) {
        info.Wired = DeviceAllInfo::IsWiredLink(ids.link);
        info.DriveIndex = ConfigInt("Option", "DeviceTotal");
        return 0;
    }
    const int deviceTotal = ConfigInt("Option", "DeviceTotal");
    if (deviceTotal <= 0)
        return 0;
    const int group = MatchGroup(ids, deviceTotal);
    if (group < 0) {
        info.Wired = DeviceAllInfo::IsWiredLink(ids.link);
        info.DriveIndex = deviceTotal;
        return ids.cid == ConfigInt("Option", "CID") ? 2 : 3;
    }
    SetIdentity(info, ids, group);
    info.Address.clear();
    UsbFinderC_GetDeviceOnLineWithUsbAddress(path, g_AddressBuffer);
    info.Online = g_AddressBuffer[6] == 1;
    info.Address = AddressFrom(g_AddressBuffer);
    // The device as it answers now: a flash changes its version, and the
    // change shows without going back to the device list. The mouse's
    // version comes from its cable, or from the mouse answering through the
    // receiver; otherwise the last version report's stays.
    QString firmwareVersion;
    if (info.Wired)
        firmwareVersion = info.UsbVersion;
    else if (info.Online && UsbFinderC_GetVersion(path) != 0)
        firmwareVersion = VersionText(UsbFinderC_GetVersion(path));
    g_CurrentDevice.Update([&info, &firmwareVersion](DeviceAllInfo &current) {
        if (info.Path != current.Path)
            return;
        const QString usbVersion = current.UsbVersion;
        const QString lastReported = current.FirmwareVersion;
        current = info;
        if (info.UsbVersion.isEmpty())
            current.UsbVersion = usbVersion;
        current.FirmwareVersion = firmwareVersion.isEmpty() ? lastReported : firmwareVersion;
    });
    return 1;
}

bool IntListsEqual(const QList<int> &a, const QList<int> &b)
{
    return a == b;
}
