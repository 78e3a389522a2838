// The connection of the C interface: open, close, reads, the settings write,
// profiles, reset and pairing.

#include "simcore.h"

#include <cstring>

namespace HidSim {

namespace {

QString Text(const char *path)
{
    return path ? QString::fromLatin1(path) : QStringLiteral("(null)");
}

void DropConnection(Core &c)
{
    ++c.generation;  // reports queued for the old connection are never delivered
    c.queue.clear();
    c.openPath = nullptr;
    c.openAlive = false;
    c.callback = nullptr;
    c.wake.notify_all();
}

bool Read(const char *name, ReadKind kind)
{
    LogCall(name);
    auto lock = Lock();
    return QueueRead(Lib(), kind);
}

// A forgotten hold must not hang a run for good.
constexpr int kOpenHoldLimitMs = 60000;

// An open that reaches a mouse whose opens are held waits, without the lock,
// until the hold is let go; the world may change meanwhile.
void WaitWhileOpenHeld(Core &c, std::unique_lock<std::mutex> &lock, PathEntry *entry)
{
    const auto held = [&] {
        const Target t = ResolveEntry(c, entry);
        return t.mouse && t.mouse->holdOpen;
    };
    c.wake.wait_for(lock, std::chrono::milliseconds(kOpenHoldLimitMs), [&] { return !held(); });
}

MouseRt *OpenMouse(Core &c)
{
    const Target t = ResolveEntry(c, c.openPath);
    return t.mouse && MouseReachable(c, t) && ConnectionAlive(c) ? t.mouse : nullptr;
}

// What one write costs: the changed bytes go in reports of kWritePayloadSize,
// each starting at the first changed byte it carries.
void CountWrite(Core &c, const QByteArray &before, const QByteArray &after)
{
    ++c.writeStats.calls;
    int i = 0;
    while (i < kKeptImageBytes) {
        if (before[i] == after[i]) {
            ++i;
            continue;
        }
        const int end = qMin(i + kWritePayloadSize, kKeptImageBytes);
        int last = i;
        for (int j = i; j < end; ++j) {
            if (before[j] != after[j])
                last = j;
        }
        ++c.writeStats.reports;
        c.writeStats.payloadBytes += last - i + 1;
        c.writeStats.wireBytes += kWriteReportSize;
        i = end;
    }
}

}  // namespace

}  // namespace HidSim

using namespace HidSim;

extern "C" {

bool UsbServerC_Start(const char *path, const char *path2, HidDataCallback callback)
{
    LogCall("UsbServerC_Start", Text(path) + "," + Text(path2));
    auto lock = Lock();
    Core &c = Lib();
    WaitWhileOpenHeld(c, lock, FindPath(path));
    DropConnection(c);
    c.openPath = FindPath(path);
    c.callback = callback;
    NoteConnectionOpened(c);
    return c.openAlive;
}

void UsbServer_SetPCDriverStatus(bool attached)
{
    LogCall("UsbServer_SetPCDriverStatus", attached ? "1" : "0");
    auto lock = Lock();
    Lib().pcDriverAttached = attached;
}

void UsbServer_Exit(void)
{
    LogCall("UsbServer_Exit");
    auto lock = Lock();
    DropConnection(Lib());
}

bool UsbServer_ReadAllFlashData(void) { return Read("UsbServer_ReadAllFlashData", ReadKind::AllFlash); }
bool UsbServer_ReadReportRate(void) { return Read("UsbServer_ReadReportRate", ReadKind::ReportRate); }
bool UsbServer_ReadCurrentDPI(void) { return Read("UsbServer_ReadCurrentDPI", ReadKind::CurrentDpi); }
bool UsbServer_ReadDPILed(void) { return Read("UsbServer_ReadDPILed", ReadKind::DpiLed); }
bool UsbServer_ReadLedBar(void) { return Read("UsbServer_ReadLedBar", ReadKind::LedBar); }
bool UsbServer_ReadBatteryLevel(void) { return Read("UsbServer_ReadBatteryLevel", ReadKind::Battery); }
bool UsbServer_ReadConfig(void) { return Read("UsbServer_ReadConfig", ReadKind::Config); }
bool UsbServer_ReadVersion(void) { return Read("UsbServer_ReadVersion", ReadKind::Version); }
bool UsbServer_ReadDonglePairStatus(void) { return Read("UsbServer_ReadDonglePairStatus", ReadKind::PairStatus); }

bool ProtocolDataUpdate(FlashDataMap *image)
{
    LogCall("ProtocolDataUpdate");
    if (!image)
        return false;
    const QByteArray bytes(reinterpret_cast<const char *>(image), kImageSize);
    auto lock = Lock();
    Core &c = Lib();
    MouseRt *m = OpenMouse(c);
    if (!m)
        return false;
    if (m->faults.failWrites > 0) {
        --m->faults.failWrites;  // the mouse refused this one: nothing stored
        return false;
    }
    QByteArray &flash = m->flash[size_t(m->desc.activeProfile)];
    const QByteArray written = ImageToDump(bytes, m->desc.activeProfile, m->desc.mid);
    CountWrite(c, flash, written);
    flash = written;  // a host write: the mouse stores it and reports nothing back
    MarkWorldDirty(c);
    return true;
}

bool UsbServer_SetCurrentConfig(unsigned char index)
{
    LogCall("UsbServer_SetCurrentConfig", QString::number(index));
    auto lock = Lock();
    MouseRt *m = OpenMouse(Lib());
    if (!m || index >= kProfileCount)
        return false;
    m->desc.activeProfile = index;
    MarkWorldDirty(Lib());
    return true;
}

bool UsbServer_SetClearSetting(void)
{
    LogCall("UsbServer_SetClearSetting");
    auto lock = Lock();
    Core &c = Lib();
    MouseRt *m = OpenMouse(c);
    if (!m)
        return false;
    const int p = m->desc.activeProfile;
    m->flash[size_t(p)] = ImageToDump(m->factory[size_t(p)], p, m->desc.mid);
    MarkWorldDirty(c);
    // The mouse announces the finished reset itself, a moment later.
    const QString name = m->desc.name;
    const quint64 epoch = c.worldEpoch;
    Schedule(c, c.timing.readLatencyMs, [&c, name, epoch] {
        if (c.worldEpoch != epoch)
            return;
        if (const MouseRt *mouse = MouseNamed(c, name))
            QueueMouseEvent(c, *mouse, HIDUSB_CMD_RESET_DONE, 0, QByteArray());
    });
    return true;
}

bool UsbServer_EnterDonglePairOnlyCid(unsigned char cid)
{
    LogCall("UsbServer_EnterDonglePairOnlyCid", QString::number(cid));
    auto lock = Lock();
    Core &c = Lib();
    const Target t = ResolveEntry(c, c.openPath);
    if (!t.receiver || !ConnectionAlive(c))
        return false;
    StartPairing(c, *t.receiver, cid);
    return true;
}

}  // extern "C"
