#pragma once
// The two USB-change callbacks handed to the device library with
// StartUsbChanged(callback, kUsbChangedIntervalMs). Only the one registered
// last is called; the main window switches between them with its page.
//
// SelectionUsbChangedCallback: registered while the device-selection page is
// shown (by that page's constructor, by the main window on the way back to it
// and by the pairing dialog); rescans the devices, rebuilds the tiles and the
// repair hint through g_DialogChange.
//
// MainUsbChangedCallback: registered while the device page is shown; follows
// the current mouse from its receiver to its cable, goes back to the list
// when the current device is gone, and refreshes the firmware-update hint.
// It changes no widget.
//
// The library calls both on the GUI thread (the one that registered them).

#include "receiverclass.h"

#include <QString>
#include <QStringList>

void SelectionUsbChangedCallback();
void MainUsbChangedCallback();

// The interval every registration passes to StartUsbChanged.
constexpr int kUsbChangedIntervalMs = 600;

// Option/USB_PID of Config.ini as the selection callback last stored it,
// beside the receivers' lists (receiverclass.h); the tile builder picks the
// kind and the rate badge of an entry from them.
extern QStringList g_UsbPidList;

// The receiver listed beside a mouse on its cable, when exactly two devices
// are listed (g_FoundDevices): the version of the first wireless entry with a
// pairing address, and the class of the first such entry with a receiver
// link. Otherwise empty and 0 (no receiver image fits).
struct ReceiverPartner {
    QString version;
    int receiverClass = 0;
};
ReceiverPartner FindReceiverPartner();

// Whether the settings page's repair dialog (g_UpDateRepair) is shown; false
// while it does not exist.
bool RepairDialogVisible();
