#pragma once
// The two USB-change callbacks handed to the device library with
// StartUsbChanged(callback, 600). Only the one registered last is called; the
// main window switches between them with its page.
//
// SelectionUsbChangedCallback: registered while the device-selection page is
// shown (by that page's constructor, by the main window on the way back to it
// and by the pairing dialog); rescans the devices and rebuilds the tiles.
//
// MainUsbChangedCallback: registered while the device page is shown (by the
// main window's page switch, after pairing from the device page and after the
// settings page's pairing); follows the current mouse and refreshes the
// firmware-update hint.
//
// Both are called by the library on the GUI thread.

void SelectionUsbChangedCallback();
void MainUsbChangedCallback();

// The interval every registration passes to StartUsbChanged.
constexpr int kUsbChangedIntervalMs = 600;
