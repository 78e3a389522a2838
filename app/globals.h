#pragma once
// Process-wide state shared by the pages, the worker, the library callbacks and
// the one-field writers. Created before main runs and never destroyed.
//
// Threads: the GUI thread, the Worker thread and the device library's delivery
// thread all touch this state. One-byte flags are std::atomic. The settings
// image g_FlashDataMap is copied in and out under g_ImageLock (see ImageLock
// below); the current device record and the cache names are Guarded values,
// read and written only as whole copies under their own lock. No such lock is
// ever held across a PostMsg emit or a library call, because a
// blocking-queued emit waits for the GUI thread, which may itself be waiting
// for the lock.

#include "deviceallinfo.h"
#include "flashdatamap.h"
#include "pagefilled.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QString>
#include <atomic>
#include <mutex>

class QTimer;
class Worker;
class UpDateRepair;

// A value that several threads share: it is only ever copied out whole
// (Get), replaced whole (Set) or changed in place by a short function that
// runs under the lock (Update, which must neither emit nor call the library).
template <typename T>
class Guarded
{
public:
    T Get() const
    {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_value;
    }
    void Set(const T &value)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_value = value;
    }
    template <typename Change>
    void Update(Change change)
    {
        std::lock_guard<std::mutex> lock(m_lock);
        change(m_value);
    }

private:
    mutable std::mutex m_lock;
    T m_value{};
};

// --- The device and its image ---
extern FlashDataMap g_FlashDataMap;
// Guards copies of g_FlashDataMap; see the rule above. A std::mutex, so that
// thread checkers see every hand-over of the image.
extern std::mutex g_ImageLock;
// The selected device: written by the GUI thread (selection, rescans) and the
// worker (Online); the data callback works on the snapshot taken when the
// connection opened (connection.h) and hands FirmwareVersion to the GUI thread.
extern Guarded<DeviceAllInfo> g_CurrentDevice;
// The path handed to every library call that takes one. It only ever points
// at text that lives for the whole run (a path the library interned, or one
// interned by SetCurrentPath), so a reader may use it while it is replaced.
extern std::atomic<const char *> g_CurrentPath;
extern Guarded<QString> g_LoadCacheName;  // set by the selection (GUI thread)
extern Guarded<QString> g_SaveCacheName;  // set by the data callback
extern QList<DeviceAllInfo> g_FoundDevices;
extern Worker *g_Worker;
extern QTimer *g_OnlineTimer;
extern QElapsedTimer g_StatusTimer;
extern QList<DeviceAllInfo> g_PageDevices;
extern QList<DeviceAllInfo> g_PageDevicesCopy;
extern QList<int> g_DefaultMacroKeys;
extern int g_ShowBatteryValue;

// Copies the image out of / into g_FlashDataMap under g_ImageLock.
FlashDataMap ReadImage();
void StoreImage(const FlashDataMap &image);

// Keeps `path` for the rest of the run (one copy per distinct text) and
// points g_CurrentPath at it.
void SetCurrentPath(const QByteArray &path);
// The same text kept for the rest of the run, without publishing it.
const char *InternedPath(const QByteArray &path);

// --- Buffers handed to the library (owned for the whole run) ---
// The receiver-light record: the data callback fills it from the receiver and
// the settings page changes its mode, so both copy it out and in whole under
// its own lock (never held across a library call or an emit). SigRGBValue
// hands the pointer to a slot that reads it while the emitter waits.
extern DongleRGB *const g_DongleRgb;
DongleRGB ReadDongleRgb();
void StoreDongleRgb(const DongleRGB &record);
extern unsigned char g_BatteryStatus[4];
extern unsigned char g_StatusChanges[7];
extern unsigned char g_AddressBuffer[16];
extern unsigned char g_TileAddressBuffer[16];

// --- Shared flags ---
extern std::atomic<uint8_t> g_WritesAllowed;
extern std::atomic<int> g_SessionActive;
extern std::atomic<uint8_t> g_SensorRefreshing;
extern std::atomic<uint8_t> g_ButtonRefreshing;
extern std::atomic<uint8_t> g_LightRefreshing;
// Set to 1 by the sensor page and the button page at the end of a fill from a
// device read; counted and announced (pagefilled.h).
extern PageFilledFlag g_SensorFilled;
extern PageFilledFlag g_ButtonFilled;
extern std::atomic<uint8_t> g_MacroRecording;
extern std::atomic<uint8_t> g_WorkerRun;
extern std::atomic<uint8_t> g_RestartWorker;
extern std::atomic<uint8_t> g_ReloadRequested;
extern std::atomic<uint8_t> g_WaitOnline;
extern std::atomic<uint8_t> g_OpenedOnline;
extern std::atomic<uint8_t> g_DeviceOnline;
extern std::atomic<uint8_t> g_DeviceDataReady;
extern std::atomic<uint8_t> g_ApplyingSettings;
extern std::atomic<uint8_t> g_CheckDefaultMacros;
extern std::atomic<uint8_t> g_SkipDongleQuery;
extern std::atomic<uint8_t> g_LinkWatch;

// --- Product title ---
extern const QString g_AppName;
extern const QString g_DialogMainTitle;
extern const QString g_ProductName;

// --- What the firmware update shares with the rest of the program ---
extern std::atomic<bool> g_UpdateBusy;
extern std::atomic<bool> g_RepairRunning;
extern std::atomic<bool> g_ReceiverUpdateFound;
extern std::atomic<bool> g_MouseUpdateFound;
extern UpDateRepair *g_UpDateRepair;  // null until the settings page exists
