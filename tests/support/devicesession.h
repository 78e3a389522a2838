#pragma once
// Opening a simulated device the way the program does, for suites that drive
// writers or pages without the device-selection page.

#include <QByteArray>
#include <QString>

namespace TestSupport {

// Makes the device `name` of the running simulated world (a receiver, or a
// mouse by its cable) the program's current device and opens it as a worker
// pass does: the connection starts with the data callback and the mouse's
// whole image is read, so the image is the mouse's own and the writers send.
// The pages connected to the hub are filled from it like after a real read,
// and their filled flags are taken back as the wait popup takes them.
// False when the device is unknown or its dump did not arrive.
bool OpenAsCurrentDevice(const QString &name);

}  // namespace TestSupport
