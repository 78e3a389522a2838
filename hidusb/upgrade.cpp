// Firmware flashing: a device (in boot mode, or switching into it) takes an
// image whose target, ids and model name are its own; a flash thread reports
// progress and the result, and the device comes back with the new version.

#include "simcore.h"

#include <cstring>
#include <thread>

namespace HidSim {

namespace {

constexpr int kHeaderBytes = 728;
constexpr quint32 kMaxBody = 16 * 1024 * 1024;
constexpr uint8_t kMouseTarget = 210;
constexpr uint8_t kReceiverTarget = 211;

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

bool Takes(const ImageHeader &h, const MouseRt &m)
{
    return h.target == kMouseTarget && h.cid == m.spec.cid && h.mid == m.spec.mid && h.modelName == m.spec.modelName;
}

bool Takes(const ImageHeader &h, const ReceiverRt &r)
{
    return h.target == kReceiverTarget && h.cid == r.spec.cid && h.mid == r.spec.mid &&
           h.modelName == r.spec.modelName;
}

// A device the flash can reach: in boot mode first, otherwise one that is up.
QString FlashTarget(Core &c, const ImageHeader &h)
{
    for (const ReceiverRt &r : c.receivers) {
        if (r.spec.plugged && r.spec.bootMode && Takes(h, r))
            return r.spec.name;
    }
    for (const MouseRt &m : c.mice) {
        if (m.spec.cable && m.spec.bootMode && Takes(h, m))
            return m.spec.name;
    }
    for (const ReceiverRt &r : c.receivers) {
        if (r.spec.plugged && Takes(h, r))
            return r.spec.name;
    }
    for (MouseRt &m : c.mice) {
        bool reachable = m.spec.cable;
        for (ReceiverRt &r : c.receivers)
            reachable = reachable || (PairedMouse(c, r) == &m && MouseReachable(c, Target{&r, &m, false}));
        if (reachable && Takes(h, m))
            return m.spec.name;
    }
    return QString();
}

void Report(UpgradeCallback callback, uint8_t kind, uint8_t value)
{
    const unsigned char report[3] = {7, kind, value};
    LogCall("callback:upgrade", QStringLiteral("7,%1,%2").arg(kind).arg(value));
    callback(report);
}

// Sets the boot mode of the named device; false when it is gone (new world).
bool SetBoot(Core &c, const QString &name, quint64 epoch, bool boot)
{
    if (c.worldEpoch != epoch)
        return false;
    if (MouseRt *m = MouseNamed(c, name))
        m->spec.bootMode = boot;
    else if (ReceiverRt *r = ReceiverNamed(c, name))
        r->spec.bootMode = boot;
    else
        return false;
    WorldChanged(c);
    return true;
}

// Ends the flash: true when the device took the image.
bool Complete(Core &c, const QString &name, quint64 epoch, const ImageHeader &h, bool bodyGood)
{
    if (c.worldEpoch != epoch)
        return false;
    bool *fail = nullptr;
    uint16_t *version = nullptr;
    if (MouseRt *m = MouseNamed(c, name)) {
        fail = &m->failNextFlash;
        version = &m->spec.version;
    } else if (ReceiverRt *r = ReceiverNamed(c, name)) {
        fail = &r->failNextFlash;
        version = &r->spec.version;
    } else {
        return false;
    }
    const bool ok = bodyGood && !*fail;
    *fail = false;
    if (!ok)
        return false;  // the device stays in boot mode, waiting for a repair
    *version = uint16_t(qMin<quint32>(h.version, 0xFFFF));
    SetBoot(c, name, epoch, false);
    return true;
}

void FlashThread(QString device, quint64 epoch, ImageHeader header, bool bodyGood, UpgradeCallback callback,
                 int flashMs, int timeoutMs)
{
    Core &c = Lib();
    const bool inTime = flashMs <= timeoutMs;
    const int steps = 10;
    for (int step = 0; step <= steps; ++step) {
        const int elapsed = flashMs * step / steps;
        if (elapsed > timeoutMs)
            break;
        Report(callback, 1, uint8_t(step * 100 / steps));
        if (step < steps)
            std::this_thread::sleep_for(std::chrono::milliseconds(flashMs / steps));
    }
    bool ok = false;
    {
        auto lock = Lock();
        ok = inTime && Complete(c, device, epoch, header, bodyGood);
    }
    Report(callback, 2, ok ? 1 : 0);
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
        found += (r.spec.plugged && r.spec.bootMode && Takes(h, r)) ? 1 : 0;
    for (const MouseRt &m : c.mice)
        found += (m.spec.cable && m.spec.bootMode && Takes(h, m)) ? 1 : 0;
    *count = found;
    return found > 0;
}

bool UsbUpgrade_Start(const unsigned char *image, UpgradeCallback callback, int timeoutMs)
{
    LogCall("UsbUpgrade_Start", QString::number(timeoutMs));
    if (!image || !callback)
        return false;
    const ImageHeader h = ReadHeader(image);
    bool bodyGood = h.bodyLength > 0 && h.bodyLength <= kMaxBody;
    if (bodyGood && h.bodySum != 0) {
        quint32 sum = 0;
        for (quint32 i = 0; i < h.bodyLength; ++i)
            sum += image[kHeaderBytes + i];
        bodyGood = sum == h.bodySum;
    }
    QString device;
    quint64 epoch = 0;
    int flashMs = 0;
    {
        auto lock = Lock();
        Core &c = Lib();
        device = FlashTarget(c, h);
        epoch = c.worldEpoch;
        flashMs = c.timing.flashMs;
        if (!device.isEmpty())
            SetBoot(c, device, epoch, true);  // the device restarts into its boot loader
    }
    if (device.isEmpty()) {
        std::thread([callback] { Report(callback, 2, 0); }).detach();
        return false;
    }
    std::thread(FlashThread, device, epoch, h, bodyGood, callback, flashMs, timeoutMs).detach();
    return true;
}

}  // extern "C"
