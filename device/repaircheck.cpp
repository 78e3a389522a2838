#include "repaircheck.h"

#include "firmwareimages.h"
#include "receiverclass.h"

namespace RepairCheck {

namespace {

// Several listed devices: one cable mouse and one receiver, and the one that
// matters for the failed target must be of the failed model.
RepairAnswer SeveralListed(const QList<DeviceAllInfo> &listed, int target, int mid)
{
    int wired = 0;
    for (const DeviceAllInfo &device : listed)
        wired += device.Wired ? 1 : 0;
    if (wired >= 2)
        return RepairAnswer::MultiMouse;
    if (listed.size() - wired >= 2)
        return RepairAnswer::MultiDongle;
    for (const DeviceAllInfo &device : listed) {
        if (target == kMouseFirmware && device.Wired && device.Mid != mid)
            return RepairAnswer::MultiMouse;
        if (target == kReceiverFirmware && !device.Wired && device.Mid != mid)
            return RepairAnswer::MultiDongle;
    }
    return RepairAnswer::Ready;
}

// The listed receivers that count for a receiver repair: any receiver, or,
// when exactly one is listed, one of the record's class.
int ListedReceiverPids(const QList<DeviceAllInfo> &listed, const QString &classText)
{
    int receivers = 0;
    for (const DeviceAllInfo &device : listed)
        receivers += ReceiverClass::IsReceiverPid(device.Pid) ? 1 : 0;
    if (receivers != 1)
        return receivers;
    const QStringList &classPids = ReceiverClass::PidList(ReceiverClass::OfText(classText));
    int ofClass = 0;
    for (const DeviceAllInfo &device : listed)
        ofClass += classPids.contains(device.Pid) ? 1 : 0;
    return ofClass;
}

// The device the repair flashes beside the failed one must be there.
RepairAnswer PartnerPresent(const RepairSituation &s)
{
    const int target = s.record.Target();
    const int mid = s.record.Mid();
    if (target == kReceiverFirmware && ListedCableMice(s.listed, mid) == 0)
        return RepairAnswer::NoUSB;
    if (target == kMouseFirmware && ListedReceivers(s.listed, mid) == 0 && s.receiverBootCount == 0)
        return RepairAnswer::NoRecieve;
    return RepairAnswer::Ready;
}

}  // namespace

int ListedCableMice(const QList<DeviceAllInfo> &listed, int mid)
{
    int count = 0;
    for (const DeviceAllInfo &device : listed)
        count += device.Wired && device.Mid == mid ? 1 : 0;
    return count;
}

int ListedReceivers(const QList<DeviceAllInfo> &listed, int mid)
{
    int count = 0;
    for (const DeviceAllInfo &device : listed)
        count += !device.Wired && device.Mid == mid ? 1 : 0;
    return count;
}

int ImageTakers(const RepairSituation &s)
{
    if (s.record.Target() == kReceiverFirmware)
        return s.receiverBootCount + ListedReceiverPids(s.listed, s.record.ReceiverClassText());
    return s.mouseBootCount + ListedCableMice(s.listed, s.record.Mid());
}

RepairAnswer Judge(const RepairSituation &s)
{
    if (!s.record.IsComplete())
        return RepairAnswer::UnusableRecord;
    if (s.listed.isEmpty() && s.receiverBootCount + s.mouseBootCount == 0)
        return RepairAnswer::NoDevice;
    if (s.listed.size() > 1) {
        const RepairAnswer fit = SeveralListed(s.listed, s.record.Target(), s.record.Mid());
        if (fit != RepairAnswer::Ready)
            return fit;
    }
    if (!s.externalStart) {
        const RepairAnswer partner = PartnerPresent(s);
        if (partner != RepairAnswer::Ready)
            return partner;
        if (!s.modelKnown || !s.failedImage)
            return RepairAnswer::FileError;
    }
    const int takers = ImageTakers(s);
    if (takers == 1)
        return RepairAnswer::Ready;
    return takers == 0 ? RepairAnswer::NoDevice : RepairAnswer::SameDevice;
}

}  // namespace RepairCheck
