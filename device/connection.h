#pragma once
// The program's one connection with the current device, and what it knows
// about the settings image that came through it.
//
// Opening takes a snapshot of the current device record. The data callback
// works on that snapshot only, so the GUI thread may replace g_CurrentDevice
// at any moment without the callback reading a record half-written.
//
// Every open, every selection of a device and every close starts a new
// connection serial. The image g_FlashDataMap counts as the mouse's own only
// when the whole dump of the connection with the current serial has been
// taken: before that it still holds zeros or the previous mouse's settings,
// and the writers send nothing (see writers.h).

#include "deviceallinfo.h"

#include <QByteArray>
#include <cstdint>

// A whole read that has not been answered after this long is taken as lost:
// the next reopen of the same path asks again (a slower read is dropped then).
constexpr int kWholeReadPatienceMs = 30000;

struct ConnectionSnapshot {
    DeviceAllInfo device;  // the current device as it was when the connection opened
    QByteArray path;       // the path that was opened
    uint64_t serial = 0;
};

// Publishes `device` (opened through `path`) as the device of a new
// connection; the data callback reads it from then on.
void BeginConnection(const DeviceAllInfo &device, const QByteArray &path);
// The snapshot of the open connection.
ConnectionSnapshot OpenedConnection();

// Opens g_CurrentPath for the current device with HidInputCallback.
bool OpenCurrentDevice();
// Closes the connection (UsbServer_Exit); the image is no longer the mouse's own.
void CloseConnection();
// Another device was selected: whatever the image holds is not its dump.
void ForgetDeviceImage();
// The open mouse switched to another profile: the image holds the previous
// profile's settings until the connection's next dump has been taken.
void ForgetProfileImage();

// True while the connection with `serial` is the program's current one (no
// selection, reopen or close since it opened).
bool IsCurrentConnection(uint64_t serial);

// The data callback took the whole dump of the connection with `serial`.
void NoteDumpTaken(uint64_t serial);
// True when g_FlashDataMap holds the whole dump of the open connection.
bool ImageIsDevicesOwn();

// A rejected dump: returns how many the connection has rejected in a row.
int NoteDumpRejected();

// Asks the open connection for the mouse's whole image (its dump).
bool ReadWholeImage();

// The whole read of the open connection: asked, answered, still awaited.
void NoteWholeReadAsked();
void NoteWholeReadAnswered();
bool WholeReadInFlight();
