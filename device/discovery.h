#pragma once
// Finding and identifying the family's devices through the device library.
// Two twins: the device-selection page's scan (g_PageDevices, mirrored in
// g_PageDevicesCopy) and the device page's scan (g_FoundDevices), which also
// keeps g_CurrentDevice and g_CurrentPath current.

#include "deviceallinfo.h"

#include <QList>
#include <QString>
#include <QVector>

// The identification retries: the library is asked at most this many times.
constexpr int kIdentifyAttempts = 10;

// "v" + major in decimal + "." + minor in lower-case hexadecimal.
QString VersionText(int versionWord);

// Every non-empty item of USB_PID, Wireless_PID, Wireless2_PID, Wireless4_PID
// and Wireless8_PID of Config.ini, in that order.
QVector<QString> ConfiguredProductIds();

void EnumeratePageDevices(const QString &vid, const QVector<QString> &pids);
bool IdentifyPageDevice(DeviceAllInfo &info);
// Refreshes Online and Address of entry `index`; true when some address byte
// is not 0. An index outside g_PageDevices does nothing and answers false.
bool RefreshPageDevice(int index);
// Re-identifies and refreshes entry `index` of both page lists (no restyling;
// the tile page restyles its tile after this). False for an invalid index.
bool RefreshPageEntry(int index);

void EnumerateMainDevices(const QString &vid, const QVector<QString> &pids);
// 1 identified, 2 customer id known but no group with this model id,
// 3 customer id differs, 0 no id read or no groups configured.
int IdentifyMainDevice(DeviceAllInfo &info, const char *path);

bool IntListsEqual(const QList<int> &a, const QList<int> &b);
