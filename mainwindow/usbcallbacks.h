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

#include <QString>
#include <QStringList>

void SelectionUsbChangedCallback();
void MainUsbChangedCallback();

// The interval every registration passes to StartUsbChanged.
constexpr int kUsbChangedIntervalMs = 600;

// Option/USB_PID, Wireless_PID (1 kHz), Wireless2_PID, Wireless4_PID and
// Wireless8_PID of Config.ini as the selection callback last stored them; the
// tile builder picks the kind and the rate badge of an entry from them.
extern QStringList g_UsbPidList;
extern QStringList g_WirelessPidList;
extern QStringList g_Wireless2PidList;
extern QStringList g_Wireless4PidList;
extern QStringList g_Wireless8PidList;

// Receiver class of a link type: 1, 2, 4 or 8 for link type 0, 4, 1 or 5;
// 0 for any other (a cable).
int ReceiverClassOfLink(int linkType);

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
