#pragma once
// Helpers of the main-window suites: the library's call log as text, the
// place of a dialog over its opener, and a reset of the shared state between
// cases.

#include "globals.h"
#include "hidusb_control.h"
#include "noticedialog.h"
#include "testsupport.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace MainWindowKit {

// The calls of the given functions as "Name(args)" ("Name" without
// arguments), oldest first.
inline QStringList Calls(const QStringList &functions)
{
    QStringList out;
    for (const HidSim::CallRecord &record : HidSim::CallLog()) {
        if (!functions.contains(record.function))
            continue;
        out << (record.arguments.isEmpty() ? record.function
                                           : record.function + "(" + record.arguments + ")");
    }
    return out;
}

// The connection-shutdown calls the main window and the device page make.
inline QStringList ShutdownCalls()
{
    return Calls({"UsbServer_SetPCDriverStatus", "StopUsbChanged", "UsbServer_Exit"});
}

using TestSupport::ModalWatcher;
using TestSupport::SeenModal;

// Where a dialog of `size` goes over `opener` with the offset (dx, dy).
inline QPoint PlaceOver(const QWidget *opener, const QSize &size, int dx, int dy)
{
    return NoticePosition(QRect(opener->mapToGlobal(QPoint(0, 0)), opener->size()), size, dx, dy);
}

inline void ResetSharedState()
{
    g_WritesAllowed = 0;
    g_SessionActive = 0;
    g_MacroRecording = 0;
    g_WaitOnline = 0;
    g_RestartWorker = 0;
    g_SensorFilled = 0;
    g_ButtonFilled = 0;
    g_DeviceOnline = 0;
    g_DeviceDataReady = 0;
    g_PageDevices.clear();
    g_PageDevicesCopy.clear();
    g_LoadCacheName.Set(QString());
    g_SaveCacheName.Set(QString());
    g_CurrentDevice.Set(DeviceAllInfo());
    StoreImage(FlashDataMap{});
}

}  // namespace MainWindowKit
