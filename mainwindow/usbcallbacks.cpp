#include "usbcallbacks.h"

#include "configini.h"
#include "deviceallinfo.h"
#include "dialogchange.h"
#include "discovery.h"
#include "firmwareimages.h"
#include "globals.h"
#include "postmsg.h"
#include "updatefailinfo.h"
#include "updaterepair.h"
#include "worker.h"

#include <QDir>

QStringList g_UsbPidList;

namespace {

QString OptionText(const char *key)
{
    return ConfigIni::GetInstance()->Value(QStringLiteral("Option"), QLatin1String(key));
}

QStringList OptionList(const char *key)
{
    return ConfigIni::GetInstance()->ValueList(QStringLiteral("Option"), QLatin1String(key));
}

void StoreProductIdLists()
{
    g_UsbPidList = OptionList("USB_PID");
    g_WirelessPidList = OptionList("Wireless_PID");
    g_Wireless2PidList = OptionList("Wireless2_PID");
    g_Wireless4PidList = OptionList("Wireless4_PID");
    g_Wireless8PidList = OptionList("Wireless8_PID");
}

bool SameAddress(const QList<char> &a, const QList<char> &b)
{
    return a.size() >= 3 && b.size() >= 3 && a.mid(0, 3) == b.mid(0, 3);
}

// The current mouse, found again on its cable: same model group, same
// pairing address, wired and answering.
bool IsCurrentMouseOnCable(const DeviceAllInfo &entry, const DeviceAllInfo &current)
{
    return entry.DriveIndex == current.DriveIndex && entry.Wired && entry.Online
        && SameAddress(entry.Address, current.Address);
}

// Follows the current mouse from its receiver to its cable (never back) and
// goes back to the device list when the current path is no longer found.
// Each entry is compared with the current device as it stands at that moment.
void FollowCurrentDevice()
{
    const QList<DeviceAllInfo> found = g_FoundDevices;
    int elsewhere = 0;
    for (const DeviceAllInfo &entry : found) {
        const DeviceAllInfo current = g_CurrentDevice.Get();
        if (!current.Path.isEmpty()) {
            if (!current.Wired && IsCurrentMouseOnCable(entry, current))
                SelectCurrentDevice(entry);
        } else if (!current.Wired && current.Online) {
            if (IsCurrentMouseOnCable(entry, current))
                SelectCurrentDevice(entry);
        } else if (entry.Path.isEmpty() && entry.Online) {
            SelectCurrentDevice(entry);
        }
        const QString currentPath = g_CurrentDevice.Get().Path;
        if (!currentPath.isEmpty() && entry.Path != currentPath)
            ++elsewhere;
    }
    if (elsewhere == found.size() && g_LinkWatch)
        PostMsg::GetInstance()->EmitChangeMainDialog(0);
}


void RefreshFirmwareHint()
{
    const DeviceAllInfo current = g_CurrentDevice.Get();
    if (!current.Wired)
        return;
    const ReceiverPartner partner = FindReceiverPartner();
    const QString mouseVersion = current.FirmwareVersion;
    PostMsg *hub = PostMsg::GetInstance();
    if (!QDir(FirmwareFolder()).exists()) {
        hub->EmitLabelTextB(partner.version, QString());
        return;
    }
    g_ReceiverUpdateFound = HasNewFirmwareForClass(kReceiverFirmware, partner.version, partner.receiverClass);
    g_MouseUpdateFound = HasNewFirmwareForClass(kMouseFirmware, mouseVersion, partner.receiverClass);
    const bool anyUpdate = g_ReceiverUpdateFound || g_MouseUpdateFound;
    hub->EmitLabelTextB(partner.version, anyUpdate ? QStringLiteral("true") : QString());
}

}  // namespace

ReceiverPartner FindReceiverPartner()
{
    ReceiverPartner partner;
    if (g_FoundDevices.size() != 2)
        return partner;
    bool versionTaken = false;
    for (const DeviceAllInfo &entry : qAsConst(g_FoundDevices)) {
        if (entry.Address.isEmpty() || entry.Wired)
            continue;
        if (!versionTaken) {
            partner.version = entry.UsbVersion;
            versionTaken = true;
        }
        const int receiverClass = ReceiverClass::OfLink(entry.LinkType);
        if (receiverClass != 0) {
            partner.receiverClass = receiverClass;
            break;
        }
    }
    return partner;
}

bool RepairDialogVisible()
{
    return g_UpDateRepair && g_UpDateRepair->isVisible();
}

void SelectionUsbChangedCallback()
{
    if (g_DialogChange)
        g_DialogChange->ShowRepairHint(UpdateFailInfo::IsSet());

    const QString vid = OptionText("VID");
    g_PageDevices.clear();
    g_PageDevicesCopy.clear();
    StoreProductIdLists();
    EnumeratePageDevices(vid, ConfiguredProductIds());
    if (g_DialogChange)
        g_DialogChange->UpdateDeviceTiles();

    if (RepairDialogVisible() && !g_RepairRunning)
        PostMsg::GetInstance()->EmitRepairCheckUpdate();
}

void MainUsbChangedCallback()
{
    PostMsg *hub = PostMsg::GetInstance();
    hub->EmitSetver(4);
    const QString vid = OptionText("VID");
    const DeviceAllInfo before = g_CurrentDevice.Get();
    g_FoundDevices.clear();
    EnumerateMainDevices(vid, ConfiguredProductIds());
    // A device that came back with other firmware (a flash): the page shows
    // its versions at once, and what is newer than them.
    const DeviceAllInfo after = g_CurrentDevice.Get();
    if (after.Path == before.Path
        && (after.UsbVersion != before.UsbVersion || after.FirmwareVersion != before.FirmwareVersion))
        hub->EmitSetver(0);

    if (g_FoundDevices.isEmpty()) {
        // While a firmware update runs (g_LinkWatch clear) the device page stays.
        if (g_LinkWatch) {
            g_CurrentDevice.Set(DeviceAllInfo());
            hub->EmitChangeMainDialog(0);
        }
    } else {
        FollowCurrentDevice();
        RefreshFirmwareHint();
    }

    if (RepairDialogVisible() && !g_UpdateBusy)
        hub->EmitCheckUpdate();
}
