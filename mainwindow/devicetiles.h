#pragma once
// The device tiles of the selection page: one picture button per entry of
// g_PageDevices, three to a tile page, with an online/link icon and, for
// receivers, a report-rate badge. DialogChange::UpdateDeviceTiles builds them
// (called by the selection page's USB-change callback); RefreshPageTile
// re-reads one device and restyles its tile (after each build and whenever
// the pointer enters a tile).
//
// GUI thread only; nothing here is locked.

#include <QList>
#include <QString>

class DialogChange;
class QLabel;
class QObject;
class mytoolButtonEnter;
struct DeviceAllInfo;

// The one selection page (set first thing by its constructor).
extern DialogChange *g_DialogChange;
// Application folder + "/Picture/DialogChange/".
extern QString g_DialogChangePictureDir;
// Option/DeviceTotal: a device whose DriveIndex equals it is unidentified.
extern int g_DeviceTotal;

// The widgets of the last build, in device order (badges in creation order).
// Index i of the first three lists belongs to entry i of g_PageDevices.
extern QList<mytoolButtonEnter *> g_DeviceTiles;
extern QList<QLabel *> g_OfflineIcons;
extern QList<QLabel *> g_LinkIcons;
extern QList<QLabel *> g_RateBadges;
// True when the last build found two identical devices (and built no tile).
extern bool g_DuplicateDevice;

// The count table of the duplicate test: kinds (cable, 1, 2, 4 and 8 kHz
// receiver) by model group. Groups outside it are not counted.
constexpr int kTileKinds = 5;
constexpr int kTileGroups = 15;
constexpr int kTilesPerPage = 3;

// The kind of an entry: 0 on cable, else 1 to 4 for the first receiver list
// (1, 2, 4, 8 kHz) holding its product id; -1 for a receiver in no list.
int TileKind(const DeviceAllInfo &device);

// The rate badge picture of a product id ("2KHz.png", "4KHz.png", "1KHz.png"
// or "8KHz.png", tested in that order), or "" when no receiver list has it.
QString RateBadgePicture(const QString &pid);

// Re-identifies and refreshes entry `index` of the page lists and restyles
// its tile. False, doing nothing, when the index names no entry or no tile
// (a hover may name a tile of an older build).
bool RefreshPageTile(int index);

// The entry of g_PageDevices that a tile (the sender of a click) stands for.
// False when the object is not a tile or its index names no entry.
bool TileDevice(const QObject *tile, DeviceAllInfo *device);
