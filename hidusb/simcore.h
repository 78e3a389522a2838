#pragma once
// Inside of the device library: the simulated world with its runtime state,
// the one open connection, the report queue and the delivery thread.
//
// One mutex (Core::mutex) guards everything here. It is never held while a
// callback runs: the delivery thread copies what it needs, unlocks, calls.

#include "hidusb.h"
#include "hidusb_control.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace HidSim {

using Clock = std::chrono::steady_clock;

// ---- interned paths ----------------------------------------------------------
// Entries are appended, never removed or freed, so a path pointer handed out
// once stays valid for the run. Lookups take no lock (GetDeviceOnLine must
// never block), the flags are atomics refreshed after every world change.
struct PathEntry {
    const char *text = nullptr;
    std::atomic<bool> present{false};
    std::atomic<bool> online{false};
};
PathEntry *InternPath(const QByteArray &text);       // under Core::mutex
PathEntry *FindPath(const char *text);               // lock-free; null when unknown
const char **InternPathArray(const std::vector<const char *> &paths);

// ---- call log ----------------------------------------------------------------
void LogCall(const char *function, const QString &arguments = QString());

// ---- the world at run time ---------------------------------------------------
struct MouseRt {
    Mouse desc;  // as the world describes it, kept up to date while it runs
    std::vector<QByteArray> flash;  // kProfileCount dumps of kDumpSize bytes
    std::vector<QByteArray> factory;  // kProfileCount images
    PathEntry *cablePath = nullptr;
    int zeroIdsLeft = 0;
    bool flashing = false;  // a flash thread is writing its firmware
    MouseFaults faults;  // what is armed now (desc.faults: what the world armed at start)
    bool holdOpen = false;  // opens that reach the mouse wait until the hold is let go
    // The cable path's handles: every unplug (cable pulled, boot mode) ends
    // the connections opened before it.
    bool cablePresent = false;
    quint64 handleEpoch = 0;
};

struct ReceiverRt {
    Receiver desc;  // as the world describes it, kept up to date while it runs
    PathEntry *path = nullptr;
    int zeroIdsLeft = 0;
    int pairStatus = HIDUSB_PAIR_IDLE;
    uint8_t pairCid = 0;
    Clock::time_point pairStarted;
    quint64 pairSession = 0;
    bool flashing = false;
    bool present = false;     // as MouseRt::cablePresent, for the receiver's path
    quint64 handleEpoch = 0;
};

// What a path leads to.
struct Target {
    ReceiverRt *receiver = nullptr;  // set for a receiver path
    MouseRt *mouse = nullptr;        // the mouse behind it (cable: the mouse itself)
    bool cable = false;
    explicit operator bool() const { return receiver || mouse; }
};

enum class ReadKind { AllFlash, ReportRate, CurrentDpi, DpiLed, LedBar, Battery, Config, Version, PairStatus };

struct Job {
    quint64 generation = 0;
    bool isRead = false;
    ReadKind read = ReadKind::AllFlash;
    bool started = false;
    bool dropped = false;  // the device swallowed the read: it is never answered
    Clock::time_point readyAt;
    Clock::time_point queuedAt;
    uint8_t command = 0;
    uint8_t subCommand = 0;
    QByteArray data;
};

struct TimedAction {
    Clock::time_point at;
    std::function<void()> action;  // runs on the delivery thread with the mutex held
    bool busy = true;              // the library counts as busy until it ran (WaitUntilIdle)
};

struct Core {
    std::mutex mutex;
    std::condition_variable wake;      // queue, world or connection changed
    std::condition_variable idleWake;  // the delivery thread went idle

    std::vector<ReceiverRt> receivers;
    std::vector<MouseRt> mice;
    Timing timing;
    QString scenarioError;
    QByteArray scenarioAtStart;  // the scenario file's contents the world was made from

    // the connection
    quint64 generation = 1;
    PathEntry *openPath = nullptr;
    bool openAlive = false;    // the path's device was there when it was opened
    quint64 openEpoch = 0;     // its handle epoch then
    HidDataCallback callback = nullptr;
    bool pcDriverAttached = false;
    std::deque<Job> queue;
    bool delivering = false;
    bool idle = true;
    quint8 sequence = 0;

    std::vector<TimedAction> timed;
    WriteStats writeStats;

    // Keeping the world across runs (worldstate.cpp).
    World factoryWorld;        // the world as installed, before any change: what a reset brings back
    QByteArray otherSaved;     // saved devices the running world does not have, written back as they were
    bool saveDirty = false;    // something a device keeps has changed since the last save
    bool saving = false;
    std::condition_variable saveWake;
    QByteArray visibleState;  // what the USB-change notification compares
    quint64 worldEpoch = 0;   // bumps on SetWorld; stale timed actions check it
};

// The one library instance, created (with the world loaded) on first use.
Core &Lib();
std::unique_lock<std::mutex> Lock();

// ---- helpers that run under the mutex ----------------------------------------
ReceiverRt *ReceiverNamed(Core &c, const QString &name);
MouseRt *MouseNamed(Core &c, const QString &name);
MouseRt *PairedMouse(Core &c, const ReceiverRt &r);
Target Resolve(Core &c, const char *path);       // present devices only
Target ResolveEntry(Core &c, PathEntry *entry);  // present devices only
bool MouseReachable(Core &c, const Target &t);   // the mouse answers through this path
// The open connection still has a live handle: its device has not been
// unplugged since it was opened (a replug does not revive it).
bool ConnectionAlive(Core &c);
// Records the open path's device and its handle epoch as the connection's.
void NoteConnectionOpened(Core &c);
// Recomputes the path flags, wakes the delivery thread and posts a USB-change
// call when what the host can see changed.
void WorldChanged(Core &c);
void InstallWorld(Core &c, const World &world);

// Reports from the device of the open connection (dropped when the connection
// does not reach `mouse` / `receiver` online).
void QueueReport(Core &c, uint8_t command, uint8_t subCommand, const QByteArray &data);
void QueueMouseEvent(Core &c, const MouseRt &mouse, uint8_t command, uint8_t subCommand, const QByteArray &data);
void QueueReceiverEvent(Core &c, const ReceiverRt &receiver, uint8_t command, const QByteArray &data);
bool QueueRead(Core &c, ReadKind kind);
// A report could go out now (or a callback runs): the library is not idle.
bool DeliverableNow(Core &c);
void Schedule(Core &c, int delayMs, std::function<void()> action, bool busy = true);

// Encodings (encoding.cpp).
QByteArray ImageToDump(const QByteArray &image, int profile, uint8_t mid);
QByteArray DumpToImage(const QByteArray &dump);
QByteArray EncodeDpiLed(const QByteArray &image);
QByteArray EncodeLedBar(const QByteArray &image);
QByteArray EncodeBattery(int level, bool charging);
QByteArray EncodeStatus(uint8_t flags);
QByteArray EncodeVersion(uint16_t version);
QByteArray BuildHeader(uint8_t command, uint8_t subCommand, int dataLength, uint8_t sequence);
constexpr int kHeaderSize = 8;
constexpr int kKeptImageBytes = 0x3BC + kKeptMacroButtons * 592;  // 6,876

// Pairing (pairing.cpp).
void StartPairing(Core &c, ReceiverRt &receiver, uint8_t cid);
void OfferPairingMouse(Core &c);

// USB-change notification (usbchange.cpp): thread-safe, never calls back.
void PostUsbChange();
bool UsbChangePending();

// Watching the scenario file and the command folder (control.cpp).
void StartWatching();

// Keeping the world across runs (worldstate.cpp). MarkWorldDirty runs under
// the mutex after anything a device keeps has changed; a thread of the
// library writes the state file soon after.
void MarkWorldDirty(Core &c);
// Marks the world changed and waits (the mutex of `lock` released meanwhile)
// until the state file holds the change: a device entering or leaving boot
// mode is on disk before the flash goes on, as a real device's state is
// whatever happens to the program.
void SaveWorldNow(Core &c, std::unique_lock<std::mutex> &lock);
void StartStateSaver(Core &c);
// The saved state of the running world (JSON), with `c.otherSaved` merged in.
QByteArray SavedState(const Core &c);
// The saved devices of `state` that `world` does not name (JSON), for otherSaved.
QByteArray SavedDevicesNotIn(const QByteArray &state, const World &world);

QString HexAddress(const Address &a);

// Reads a scenario or command file whole. Only regular files of at most 16 MiB
// are read: a FIFO in place of the file would block the reading thread.
bool ReadRegularFile(const QString &path, QByteArray *content, QString *error = nullptr);

}  // namespace HidSim
