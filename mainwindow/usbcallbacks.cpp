#include "usbcallbacks.h"

#include "globals.h"
#include "postmsg.h"

// These two carry only the first steps of their work for now: the device scans,
// the tile rebuild and the following of the current mouse come with the
// device-selection page.

void SelectionUsbChangedCallback()
{
    // The list of the selection page is rebuilt from scratch on every call.
    g_PageDevices.clear();
    g_PageDevicesCopy.clear();
}

void MainUsbChangedCallback()
{
    // The settings page refreshes its version display on every change.
    PostMsg::GetInstance()->EmitSetver(4);
}
