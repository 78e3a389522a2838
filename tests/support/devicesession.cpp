#include "devicesession.h"

#include "connection.h"
#include "discovery.h"
#include "globals.h"
#include "hidusb_control.h"
#include "testsupport.h"

#include <QTest>

namespace TestSupport {

bool OpenAsCurrentDevice(const QString &name)
{
    const QByteArray path = HidSim::PathOf(name);
    if (path.isEmpty())
        return false;
    DeviceAllInfo info;
    info.Path = QString::fromLatin1(path);
    IdentifyMainDevice(info, path.constData());
    g_CurrentDevice.Set(info);
    SetCurrentPath(path);
    OpenCurrentDevice();
    ReadWholeImage();
    const bool read =
        QTest::qWaitFor([] { return ImageIsDevicesOwn(); }, kHangGuardMs) && HidSim::WaitUntilIdle(kHangGuardMs);
    // As the wait popup does once the pages confirmed their fill.
    g_SensorFilled = 0;
    g_ButtonFilled = 0;
    return read;
}

}  // namespace TestSupport
