#pragma once
// Control of the simulated device world behind the HIDUsb C interface.
//
// Not part of the device interface: the program never includes this header.
// Tests, benchmarks, the demo scenario loader and the vogm-world tool use it to
// build a world, change it while it runs, inject device-side reports and look
// at what the program asked of the library (the call log).
//
// Every function is thread-safe. None of them calls a library callback
// synchronously: reports they cause are delivered by the library's delivery
// thread, USB-change calls are posted to the thread that registered them.

#include "hidusb.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <Qt>
#include <array>
#include <cstdint>
#include <vector>

namespace HidSim {

constexpr int kImageSize = HIDUSB_IMAGE_SIZE;  // 10,428: the program's settings image
constexpr int kDumpSize = HIDUSB_DUMP_SIZE;    // 6,912: the mouse's settings flash
constexpr int kProfileCount = 4;
constexpr int kKeptMacroButtons = 10;  // the mouse keeps macro records for buttons 0-9 only
constexpr int kWriteReportSize = 64;   // one settings-write report on the wire
constexpr int kWritePayloadSize = 60;  // image bytes one write report carries

using Address = std::array<uint8_t, 3>;

// Durations the simulated devices take. Tests shorten them; the defaults feel
// like real hardware in the demo.
struct Timing {
    int readLatencyMs = 8;     // answer time of every short read
    int fullReadMs = 300;      // answer time of a whole settings dump
    int pairDelayMs = 1500;    // a mouse in pairing mode pairs this long after it is found
    int pairTimeoutMs = 10000; // pairing without a mouse fails after this
    int flashMs = 4000;        // a whole firmware flash
};

struct Receiver {
    QString name;               // scenario name, used by the control calls and the tool
    uint8_t linkType = 1;       // 0 1 kHz, 4 2 kHz, 1 4 kHz, 5 8 kHz
    uint16_t vid = 0xFF5C;
    uint16_t pid = 0xFF14;
    uint8_t cid = 18;           // ids the receiver firmware is built for (firmware matching)
    uint8_t mid = 0;
    Address address{};          // pairing address
    QString mouse;              // name of the paired mouse; empty: none
    uint16_t version = 0x0101;  // firmware version word, major in the high byte
    QByteArray modelName;       // firmware model name
    bool plugged = true;
    bool bootMode = false;
    bool longRange = false;
    bool hasLed = true;                   // receiver LED (the 4 kHz receivers have one)
    std::array<uint8_t, 10> led{{1}};     // LED record: byte 0 the mode, the rest kept as set
    bool reportsIdsWhenOff = true;        // answers its mouse's ids while the mouse is off
    int zeroIdAnswers = 0;                // first N identity answers after plug-in carry ids 0
    int failNextFlashAt = -1;             // the next flash fails at this percent (0-100); -1: it succeeds
};

// Faults a mouse shows on its next reads and writes, counted down as they
// happen (the world commands slowread, dropread, garbage and failwrite).
struct MouseFaults {
    int slowReadMs = 0;    // the next whole read takes this long (0: the usual time)
    int dropReads = 0;     // this many next reads get no answer
    int garbageDumps = 0;  // this many next dumps fail the parser's check
    int failWrites = 0;    // this many next settings writes are refused
    bool operator==(const MouseFaults &o) const
    {
        return slowReadMs == o.slowReadMs && dropReads == o.dropReads && garbageDumps == o.garbageDumps
               && failWrites == o.failWrites;
    }
};

struct Mouse {
    QString name;
    uint8_t cid = 18;
    uint8_t mid = 1;
    uint8_t linkType = 2;       // cable link type, 2 or 3
    uint16_t vid = 0xFF5C;
    uint16_t pid = 0xFF01;      // product id on cable
    bool cable = false;         // cable attached
    bool wirelessOffWhenCabled = false;
    bool powered = true;        // switched on and in range of its receiver
    int battery = 80;           // percent
    bool charging = false;
    uint16_t version = 0x0102;
    QByteArray modelName;
    Address address{};          // pairing address
    bool bootMode = false;
    bool pairingMode = false;
    QString sensor;             // informative only
    int zeroIdAnswers = 0;      // as Receiver::zeroIdAnswers, for the cable path
    int failNextFlashAt = -1;   // as Receiver::failNextFlashAt
    int activeProfile = 0;
    // One factory image (10,428 bytes) per profile; the stored settings start
    // as these. Fewer than kProfileCount repeat the last; none: built from mid.
    std::vector<QByteArray> factory;
    // The settings flash (kDumpSize bytes) per profile as the mouse holds it,
    // e.g. kept from an earlier run; empty, or an empty profile: the factory
    // image.
    std::vector<QByteArray> stored;
    MouseFaults faults;         // armed when the world is installed
};

struct World {
    std::vector<Receiver> receivers;
    std::vector<Mouse> mice;
    Timing timing;
};

// ---- building and loading ----------------------------------------------------

// The default world: a 4 kHz receiver with its Drive2 mouse online, the Drive1
// mouse on cable and an 8 kHz receiver whose Drive3 mouse is switched off.
HIDUSB_API World DefaultWorld();
// The factory image of a model (report rate, DPI levels, LED, keys, marker).
HIDUSB_API QByteArray DefaultFactoryImage(uint8_t mid);
// Reads a JSON scenario (see README.md). False with a message on bad input.
HIDUSB_API bool LoadScenario(const QString &file, World *world, QString *error);
HIDUSB_API bool ParseScenario(const QByteArray &json, World *world, QString *error);
// Replaces the whole world: drops the open connection, queued reports, pending
// pairing and flashing; stored settings start again from the factory images.
HIDUSB_API void SetWorld(const World &world);
// A copy of the world as it stands now, the mice's stored settings included.
HIDUSB_API World CurrentWorld();
HIDUSB_API void SetTiming(const Timing &timing);
HIDUSB_API Timing CurrentTiming();
// The last scenario problem (empty when the scenario loaded cleanly).
HIDUSB_API QString ScenarioError();

// ---- changing the world ------------------------------------------------------
// Each returns false when no device has that name. Changes that the devices
// notice themselves cause device-side reports and a USB-change call.

HIDUSB_API bool PlugReceiver(const QString &receiver, bool plugged);
HIDUSB_API bool SetPower(const QString &mouse, bool on);
HIDUSB_API bool SetCable(const QString &mouse, bool attached);
HIDUSB_API bool SetBattery(const QString &mouse, int level, bool charging);
HIDUSB_API bool SetBootMode(const QString &device, bool boot);
HIDUSB_API bool SetPairingMode(const QString &mouse, bool on);
HIDUSB_API bool SetVersion(const QString &device, uint16_t version);
// Receiver-side events: the user switched long range off / the LED mode on the receiver.
HIDUSB_API bool ReceiverLongRangeOff(const QString &receiver);
HIDUSB_API bool ReceiverLedChanged(const QString &receiver, uint8_t mode);
// Mouse-side events: a status change (bit i = flag i of the 7 flags), a command 9.
HIDUSB_API bool SendStatusChange(const QString &mouse, uint8_t flags);
HIDUSB_API bool SendCommand9(const QString &mouse);
// A raw report from the device of the open connection (header built as in README.md).
HIDUSB_API bool InjectReport(uint8_t command, uint8_t subCommand, const QByteArray &data);
// The next `count` identity answers for this device's path carry ids 0.
HIDUSB_API bool ScriptZeroIdAnswers(const QString &device, int count);
// The next flash of this device fails once it reaches `atPercent` (0 to 100):
// the progress reports stop below it and (7, 2, 0) follows; the device keeps
// its old version and stays in boot mode.
HIDUSB_API bool ScriptFlashFailure(const QString &device, int atPercent = 100);
// Faults of the mouse's next reads and writes; each adds to what is armed
// (SlowNextRead replaces it). See MouseFaults.
HIDUSB_API bool SlowNextRead(const QString &mouse, int ms);
HIDUSB_API bool DropNextReads(const QString &mouse, int count = 1);
HIDUSB_API bool GarbageNextDumps(const QString &mouse, int count = 1);
HIDUSB_API bool FailNextWrites(const QString &mouse, int count = 1);
// While held, UsbServerC_Start on a path that reaches the mouse (its cable or
// its receiver) does not return; letting go ends the wait. A held open gives
// up on its own after a minute.
HIDUSB_API bool HoldOpens(const QString &mouse, bool hold);

// One text command as the vogm-world tool and the command folder take them,
// e.g. "unplug r4k", "power m3 on", "battery m2 15 charging". See README.md.
HIDUSB_API bool ApplyCommand(const QString &command, QString *error = nullptr);
HIDUSB_API QStringList CommandHelp();

// ---- looking -----------------------------------------------------------------

// The interned path of a receiver or of a mouse's cable link ("" if unknown).
HIDUSB_API QByteArray PathOf(const QString &device);
// The settings image (10,428 bytes) stored in a profile of a mouse (-1: the
// active one), as the parser turns the mouse's flash into an image.
HIDUSB_API QByteArray StoredImage(const QString &mouse, int profile = -1);
HIDUSB_API bool SetStoredImage(const QString &mouse, const QByteArray &image, int profile = -1);
HIDUSB_API QByteArray FactoryImage(const QString &mouse, int profile = -1);
HIDUSB_API int ActiveProfile(const QString &mouse);
// The mouse's raw settings flash (6,912 bytes) of the active profile.
HIDUSB_API QByteArray StoredDump(const QString &mouse);
// Pairing status of a receiver: 0 idle, 1 pairing, 2 failed, 3 succeeded.
HIDUSB_API int PairStatus(const QString &receiver);
HIDUSB_API bool PcDriverAttached();
HIDUSB_API QByteArray OpenPath();

// What ProtocolDataUpdate sent to the devices since the last reset.
struct WriteStats {
    qint64 calls = 0;        // ProtocolDataUpdate calls that reached a device
    qint64 reports = 0;      // write reports sent
    qint64 payloadBytes = 0; // image bytes carried by them
    qint64 wireBytes = 0;    // reports * kWriteReportSize
};
HIDUSB_API WriteStats CurrentWriteStats();
HIDUSB_API void ResetWriteStats();

// ---- the call log --------------------------------------------------------------

struct CallRecord {
    QString function;     // interface function, or "callback:data", "callback:usb", "callback:upgrade"
    QString arguments;    // the arguments as text
    Qt::HANDLE thread;    // QThread::currentThreadId() of the caller / the callback's thread
    qint64 msecs;         // milliseconds since the library started
};
constexpr int kCallLogCapacity = 20000;  // the oldest records go first
HIDUSB_API std::vector<CallRecord> CallLog();
HIDUSB_API void ClearCallLog();
// Records of one function only (exact name).
HIDUSB_API std::vector<CallRecord> CallsOf(const QString &function);

// Waits, processing the calling thread's events, until no report is queued
// that could be delivered now, no callback runs and no USB-change call is
// pending. False on timeout, which only stops a hang: the default is long
// enough for a loaded machine and a sanitizer build.
HIDUSB_API bool WaitUntilIdle(int timeoutMs = 30000);

// The folder watched for command files (see README.md): $VOGM_WORLD_DIR, or
// vogm-world under the user's data folder.
HIDUSB_API QString ControlFolder();

// ---- the world across runs -------------------------------------------------------
// The devices keep what a real device keeps (a mouse its settings flash,
// active profile, pairing address, firmware version and boot mode; a receiver
// its paired mouse, long range, LED record, version and boot mode) in
// WorldStateFile(). The library writes it after every change (and before a
// flash goes on or reports its end: UsbUpgrade_Start returns, and the
// finished report comes, only once the file holds the device's boot mode)
// and restores it, by device name, when it starts; ResetWorldState() brings
// every device back to its factory state.

HIDUSB_API QString WorldStateFile();  // <ControlFolder()>/world-state.json
// The world the library starts with: the scenario of VOGM_SCENARIO (or the
// default world) with the saved state applied. `error` tells a scenario or
// state-file problem; the world is usable even then.
HIDUSB_API World StartingWorld(QString *error = nullptr);
// Applies a saved state (the file's content) to the devices of `world` with
// the same names; false with a message when the text is no saved state.
HIDUSB_API bool ApplySavedState(const QByteArray &state, World *world, QString *error = nullptr);
// Every device of the running world gets its factory state back (what the
// scenario or the default world gives, boot mode included); plugged, powered,
// cable and battery stay as they are.
HIDUSB_API void ResetWorldState();
// What a mouse of `world` has stored, as text: its firmware version and boot
// mode, the active profile, the settings bytes by field name, the key entries
// and the macro names.
HIDUSB_API QString DescribeStoredMouse(const World &world, const QString &mouse);
// A receiver of `world` in one line (link type, firmware model and version,
// boot mode, plugged, paired mouse), or a mouse as DescribeStoredMouse; empty
// when no device has the name.
HIDUSB_API QString DescribeDevice(const World &world, const QString &name);
// Every device of `world`, one line each: firmware version and boot mode.
HIDUSB_API QString DescribeDevices(const World &world);

}  // namespace HidSim
