#pragma once
// Opens a mouse of the simulated world as the program's current device, the
// way the program does after a tile click: the device-list scan identifies it,
// the connection opens with the program's data callback, and the whole
// settings dump is taken through that callback into g_FlashDataMap.

#include <QString>

namespace CurrentMouse {

// `name` is the world's name of a mouse on cable or of a receiver's mouse
// (for example "m1"). On success the device is current and open, its dump is
// in g_FlashDataMap and writes are allowed. False, with `error` set, when the
// world lists no such device or its dump did not arrive within `timeoutMs`.
bool Open(const QString &name, QString *error, int timeoutMs = 10000);

}  // namespace CurrentMouse
