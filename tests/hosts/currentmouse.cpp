#include "currentmouse.h"

#include "configini.h"
#include "connection.h"
#include "discovery.h"
#include "globals.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "postmsg.h"

#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace CurrentMouse {

namespace {

bool FindListed(const QByteArray &path, DeviceAllInfo *found)
{
    g_PageDevices.clear();
    g_PageDevicesCopy.clear();
    EnumeratePageDevices(ConfigIni::GetInstance()->Value("Option", "VID"), ConfiguredProductIds());
    for (const DeviceAllInfo &info : qAsConst(g_PageDevices)) {
        if (info.Path.toLatin1() == path) {
            *found = info;
            return true;
        }
    }
    return false;
}

// Runs `start` and waits, processing events, until the data callback (on the
// library's thread) has stored a whole dump and said so with SigForm.
bool StartAndWaitForDump(const std::function<void()> &start, int timeoutMs)
{
    QEventLoop loop;
    bool taken = false;
    QObject::connect(PostMsg::GetInstance(), &PostMsg::SigForm, &loop, [&] {
        taken = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    start();
    if (!taken)
        loop.exec();
    return taken;
}

}  // namespace

bool Open(const QString &name, QString *error, int timeoutMs)
{
    const QByteArray path = HidSim::PathOf(name);
    DeviceAllInfo device;
    if (path.isEmpty() || !FindListed(path, &device)) {
        *error = QStringLiteral("the simulated world lists no device %1 that the program identifies").arg(name);
        return false;
    }
    g_CurrentDevice.Set(device);
    SetCurrentPath(path);
    // Opened and read as a worker pass does, so the image is the mouse's own.
    const auto openAndRead = [] {
        OpenCurrentDevice();
        UsbServer_SetPCDriverStatus(1);
        ReadWholeImage();
    };
    if (!StartAndWaitForDump(openAndRead, timeoutMs)) {
        *error = QStringLiteral("no settings dump of %1 arrived").arg(name);
        return false;
    }
    g_WritesAllowed = 1;
    return true;
}

}  // namespace CurrentMouse
