#pragma once
// The repair check's verdict: whether a failed-update record can be repaired
// with the devices that are listed and those that wait in boot mode.
//
// It accepts what a flash cut off by a crash or a kill leaves: a device of the
// failed model waiting in boot mode counts like a listed one where the repair
// can reach it, an empty list is no error while devices wait in boot mode,
// and a needed device is found by its kind and model id anywhere in the list.

#include "deviceallinfo.h"
#include "updatefailinfo.h"

#include <QList>

struct RepairSituation {
    UpdateFailRecord record;
    QList<DeviceAllInfo> listed;   // the device-selection page's list
    bool externalStart = false;    // a start from outside the check: devices and images are not asked for
    bool modelKnown = false;       // a model group has the record's model id
    bool failedImage = false;      // the failed target's image of that model is installed
    int receiverBootCount = 0;     // devices in boot mode that take the model's receiver image
    int mouseBootCount = 0;        // the same for its mouse image
};

enum class RepairAnswer {
    Ready,
    UnusableRecord,  // not a record of four fields: nothing to show
    NoDevice,
    MultiMouse,
    MultiDongle,
    NoUSB,      // the mouse of the failed model is not listed on its cable
    NoRecieve,  // its receiver is neither listed nor waiting in boot mode
    FileError,
    SameDevice,
};

namespace RepairCheck {

RepairAnswer Judge(const RepairSituation &situation);

// Listed devices of model `mid`: mice on their cable, receiver links.
int ListedCableMice(const QList<DeviceAllInfo> &listed, int mid);
int ListedReceivers(const QList<DeviceAllInfo> &listed, int mid);

// The devices that would take the failed target's image: those in boot mode,
// plus for a receiver record the listed receivers (any receiver, or when one
// is listed, one of the record's class), for a mouse record the listed cable
// mice of the model. A repair needs exactly one.
int ImageTakers(const RepairSituation &situation);

}  // namespace RepairCheck
