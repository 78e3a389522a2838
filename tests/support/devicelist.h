#pragma once
// What the end-to-end suites ask of the running program's device list.

#include "globals.h"
#include "worker.h"

#include <QApplication>
#include <QString>

// The tile index of the device with product id `pid`; -1 when not listed.
inline int PageIndexOfPid(const QString &pid)
{
    for (int i = 0; i < g_PageDevices.size(); ++i) {
        if (g_PageDevices[i].Pid == pid)
            return i;
    }
    return -1;
}

// No dialog open and no worker pass running.
inline bool Settled()
{
    return QApplication::activeModalWidget() == nullptr && !(g_Worker && g_Worker->isRunning());
}
