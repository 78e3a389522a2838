// Firmware flashing: a device (in boot mode, or switching into it) takes an
// image whose target, ids and model name are its own; a flash thread reports
// progress and the result, and the device comes back with the new version.
//
// Every UsbUpgrade_Start call ends with exactly one finished report (7, 2, x)
// from a thread of the library: a refused start, a flash that failed, was cut
// off (the device or its path went away, a new world) or succeeded.

#include "simcore.h"

#include <cstring>
#include <thread>

namespace HidSim {

namespace {

constexpr int kHeaderBytes = 728;
constexpr quint32 kMaxBody = 16 * 1024 * 1024;
constexpr quint32 kMaxVersion = 0xFFFF;  // the devices keep a 16-bit version word
constexpr uint8_t kMouseTarget = 210;
constexpr uint8_t kReceiverTarget = 211;
constexpr int kSteps = 10;  // progress reports of 10 % each

quint32 U32(const unsigned char *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

struct ImageHeader {
    quint32 version = 0;
    uint8_t target = 0;
    uint8_t cid = 0;
    uint8_t mid = 0;
    QByteArray modelName;
    quint32 bodyLength = 0;
    quint32 bodySum = 0;  // 0: not checked
};

ImageHeader ReadHeader(const unsigned char *image)
{
    ImageHeader h;
    h.version = U32(image + 0x10);
    h.target = image[0x14];
    h.cid = image[0x15];
    h.mid = image[0x16];
    h.bodyLength = U32(image + 0x18);
    h.bodySum = U32(image + 0x1C);
    const char *name = reinterpret_cast<const char *>(image + 0x57);
    h.modelName = QByteArray(name, int(qstrnlen(name, 64)));
    return h;
}

bool BodyGood(const unsigned char *image, const ImageHeader &h)
{
    if (h.bodyLength == 0 || h.bodyLength > kMaxBody)
        return false;
    if (h.bodySum == 0)
        return true;
    quint32 sum = 0;
    for (quint32 i = 0; i < h.bodyLength; ++i)
        sum += image[kHeaderBytes + i];
    return sum == h.bodySum;
}

// A version the device cannot keep makes the image foreign to it.
bool Takes(const ImageHeader &h, const MouseRt &m)
{
    return h.target == kMouseTarget && h.version <= kMaxVersion && h.cid == m.desc.cid && h.mid == m.desc.mid &&
           h.modelName == m.desc.modelName;
}

bool Takes(const ImageHeader &h, const ReceiverRt &r)
{
    return h.target == kReceiverTarget && h.version <= kMaxVersion && h.cid == r.desc.cid &&
           h.mid == r.desc.mid && h.modelName == r.desc.modelName;
}

// The device taking the image and the way the host reaches it.
struct Route {
    QString device;
    QString receiver;  // a mouse flashed by radio: through this receiver
    bool cable = false;  // a mouse flashed over its cable
    explicit operator bool() const { return !device.isEmpty(); }
};

// The receiver through which a mouse answers by radio ("" if none).
QString RadioReceiverOf(Core &c, MouseRt &m)
{
    for (ReceiverRt &r : c.receivers) {
        if (PairedMouse(c, r) == &m && MouseReachable(c, Target{&r, &m, false}))
            return r.desc.name;
    }
    return QString();
}

// A device the flash can reach: in boot mode first, otherwise one that is up.
// A device that is being flashed takes no second image.
Route FlashTarget(Core &c, const ImageHeader &h)
{
    for (const ReceiverRt &r : c.receivers) {
        if (!r.flashing && r.desc.plugged && r.desc.bootMode && Takes(h, r))
            return {r.desc.name, QString(), false};
    }
    for (const MouseRt &m : c.mice) {
        if (!m.flashing && m.desc.cable && m.desc.bootMode && Takes(h, m))
            return {m.desc.name, QString(), true};
    }
    for (const ReceiverRt &r : c.receivers) {
        if (!r.flashing && r.desc.plugged && Takes(h, r))
            return {r.desc.name, QString(), false};
    }
    for (MouseRt &m : c.mice) {
        if (m.flashing || !Takes(h, m))
            continue;
        if (m.desc.cable)
            return {m.desc.name, QString(), true};
        const QString receiver = RadioReceiverOf(c, m);
        if (!receiver.isEmpty())
            return {m.desc.name, receiver, false};
    }
    return Route();
}

// Whether the host still reaches the device being flashed in this world.
bool RouteHolds(Core &c, const Route &route, quint64 epoch)
{
    if (c.worldEpoch != epoch)
        return false;
    if (const ReceiverRt *r = ReceiverNamed(c, route.device))
        return r->desc.plugged;
    const MouseRt *m = MouseNamed(c, route.device);
    if (!m)
        return false;
    if (route.cable)
        return m->desc.cable;
    const ReceiverRt *via = ReceiverNamed(c, route.receiver);
    return via && via->desc.plugged && m->desc.powered;
}

// The flash state kept per device, whichever kind it is.
struct FlashState {
    bool *flashing = nullptr;
    int *failAt = nullptr;
    bool *bootMode = nullptr;
    uint16_t *version = nullptr;
};

FlashState StateOf(Core &c, const QString &name)
{
    if (MouseRt *m = MouseNamed(c, name))
        return {&m->flashing, &m->desc.failNextFlashAt, &m->desc.bootMode, &m->desc.version};
    if (ReceiverRt *r = ReceiverNamed(c, name))
        return {&r->flashing, &r->desc.failNextFlashAt, &r->desc.bootMode, &r->desc.version};
    return {};
}

void Report(UpgradeCallback callback, uint8_t kind, uint8_t value)
{
    const unsigned char report[3] = {HIDUSB_UPGRADE_REPORT, kind, value};
    LogCall("callback:upgrade", QStringLiteral("%1,%2,%3").arg(HIDUSB_UPGRADE_REPORT).arg(kind).arg(value));
    callback(report);
}

void RefuseLater(UpgradeCallback callback)
{
    std::thread([callback] { Report(callback, HIDUSB_UPGRADE_FINISHED, 0); }).detach();
}

// Ends the flash under the lock: true when the device took the image. A
// device that did not stays in boot mode, waiting for a repair flash.
bool Finish(Core &c, const Route &route, quint64 epoch, quint32 version, bool success)
{
    if (c.worldEpoch != epoch)
        return false;  // a new world: nothing of the old one is left to change
    const FlashState s = StateOf(c, route.device);
    if (!s.flashing)
        return false;
    *s.flashing = false;
    *s.failAt = -1;
    if (!success)
        return false;
    *s.version = uint16_t(version);
    *s.bootMode = false;
    WorldChanged(c);
    return true;
}

void FlashThread(Route route, quint64 epoch, ImageHeader header, bool bodyGood, UpgradeCallback callback,
                 int flashMs, int timeoutMs)
{
    Core &c = Lib();
    bool cutOff = false;
    bool scriptedFailure = false;
    bool inTime = true;
    for (int step = 0; step <= kSteps; ++step) {
        const int percent = step * 100 / kSteps;
        {
            auto lock = Lock();
            if (!RouteHolds(c, route, epoch)) {
                cutOff = true;
                break;
            }
            const FlashState s = StateOf(c, route.device);
            if (s.failAt && *s.failAt >= 0 && percent >= *s.failAt) {
                scriptedFailure = true;
                break;
            }
        }
        if (flashMs * step / kSteps > timeoutMs) {
            inTime = false;
            break;
        }
        Report(callback, HIDUSB_UPGRADE_PROGRESS, uint8_t(percent));
        if (step < kSteps)
            std::this_thread::sleep_for(std::chrono::milliseconds(flashMs / kSteps));
    }
    bool ok = false;
    {
        auto lock = Lock();
        const bool success = !cutOff && !scriptedFailure && inTime && bodyGood && RouteHolds(c, route, epoch);
        ok = Finish(c, route, epoch, header.version, success);
        if (ok)
            SaveWorldNow(c, lock);  // out of boot mode with its new version, before anyone hears of it
    }
    Report(callback, HIDUSB_UPGRADE_FINISHED, ok ? 1 : 0);
}

}  // namespace

}  // namespace HidSim

using namespace HidSim;

extern "C" {

bool UsbUpgradeC_FindBootDevices(const unsigned char *image, int *count)
{
    LogCall("UsbUpgradeC_FindBootDevices");
    if (!image || !count)
        return false;
    const ImageHeader h = ReadHeader(image);
    auto lock = Lock();
    Core &c = Lib();
    int found = 0;
    for (const ReceiverRt &r : c.receivers)
        found += (r.desc.plugged && r.desc.bootMode && Takes(h, r)) ? 1 : 0;
    for (const MouseRt &m : c.mice)
        found += (m.desc.cable && m.desc.bootMode && Takes(h, m)) ? 1 : 0;
    *count = found;
    return found > 0;
}

bool UsbUpgrade_Start(const unsigned char *image, UpgradeCallback callback, int timeoutMs)
{
    LogCall("UsbUpgrade_Start", QString::number(timeoutMs));
    if (!callback)
        return false;  // nobody to tell
    if (!image) {
        RefuseLater(callback);
        return false;
    }
    const ImageHeader h = ReadHeader(image);
    const bool bodyGood = BodyGood(image, h);
    Route route;
    quint64 epoch = 0;
    int flashMs = 0;
    {
        auto lock = Lock();
        Core &c = Lib();
        route = FlashTarget(c, h);
        epoch = c.worldEpoch;
        flashMs = c.timing.flashMs;
        if (route) {
            // The device restarts into its boot loader and leaves the device
            // lists; it stays there, across runs too, until a flash succeeds.
            const FlashState s = StateOf(c, route.device);
            *s.flashing = true;
            *s.bootMode = true;
            WorldChanged(c);
            SaveWorldNow(c, lock);
        }
    }
    if (!route) {
        RefuseLater(callback);
        return false;
    }
    std::thread(FlashThread, route, epoch, h, bodyGood, callback, flashMs, timeoutMs).detach();
    return true;
}

}  // extern "C"
