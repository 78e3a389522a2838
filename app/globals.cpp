#include "globals.h"

#include "paths.h"

#include <mutex>
#include <cstring>
#include <set>
#include <string>

FlashDataMap g_FlashDataMap{};
std::mutex g_ImageLock;
Guarded<DeviceAllInfo> g_CurrentDevice;
static const char kEmptyPath[] = "";
std::atomic<const char *> g_CurrentPath{kEmptyPath};
Guarded<QString> g_LoadCacheName;
Guarded<QString> g_SaveCacheName;
QList<DeviceAllInfo> g_FoundDevices;
Worker *g_Worker = nullptr;
QTimer *g_OnlineTimer = nullptr;
QElapsedTimer g_StatusTimer;
QList<DeviceAllInfo> g_PageDevices;
QList<DeviceAllInfo> g_PageDevicesCopy;
QList<int> g_DefaultMacroKeys;
int g_ShowBatteryValue = 0;

FlashDataMap ReadImage()
{
    std::lock_guard<std::mutex> lock(g_ImageLock);
    return g_FlashDataMap;
}

void StoreImage(const FlashDataMap &image)
{
    std::lock_guard<std::mutex> lock(g_ImageLock);
    std::memcpy(&g_FlashDataMap, &image, sizeof(FlashDataMap));
}

const char *InternedPath(const QByteArray &path)
{
    // Never freed: a thread may still be handing an older path to the library.
    static std::mutex &lock = *new std::mutex;
    static std::set<std::string> &paths = *new std::set<std::string>;
    std::lock_guard<std::mutex> guard(lock);
    // Up to the first NUL, as the library reads it. Set nodes never move.
    return paths.insert(std::string(path.constData())).first->c_str();
}

void SetCurrentPath(const QByteArray &path)
{
    g_CurrentPath = InternedPath(path);
}

static DongleRGB g_DongleRgbStorage{};
DongleRGB *const g_DongleRgb = &g_DongleRgbStorage;
static std::mutex g_DongleRgbLock;

DongleRGB ReadDongleRgb()
{
    std::lock_guard<std::mutex> lock(g_DongleRgbLock);
    return g_DongleRgbStorage;
}

void StoreDongleRgb(const DongleRGB &record)
{
    std::lock_guard<std::mutex> lock(g_DongleRgbLock);
    g_DongleRgbStorage = record;
}
unsigned char g_BatteryStatus[4] = {0, 0, 0, 0};
unsigned char g_StatusChanges[7] = {0, 0, 0, 0, 0, 0, 0};
unsigned char g_AddressBuffer[16] = {0};
unsigned char g_TileAddressBuffer[16] = {0x31};

std::atomic<uint8_t> g_WritesAllowed{0};
std::atomic<int> g_SessionActive{0};
std::atomic<uint8_t> g_SensorRefreshing{0};
std::atomic<uint8_t> g_ButtonRefreshing{0};
std::atomic<uint8_t> g_LightRefreshing{0};
PageFilledFlag g_SensorFilled;
PageFilledFlag g_ButtonFilled;
std::atomic<uint8_t> g_MacroRecording{0};
std::atomic<uint8_t> g_WorkerRun{0};
std::atomic<uint8_t> g_RestartWorker{0};
std::atomic<uint8_t> g_ReloadRequested{0};
std::atomic<uint8_t> g_WaitOnline{0};
std::atomic<uint8_t> g_OpenedOnline{0};
std::atomic<uint8_t> g_DeviceOnline{0};
std::atomic<uint8_t> g_DeviceDataReady{0};
std::atomic<uint8_t> g_ApplyingSettings{0};
std::atomic<uint8_t> g_CheckDefaultMacros{0};
std::atomic<uint8_t> g_SkipDongleQuery{0};
std::atomic<uint8_t> g_LinkWatch{1};

const QString g_AppName = QString::fromLatin1(Paths::kProductTitle);
const QString g_DialogMainTitle = QString::fromLatin1(Paths::kProductTitle);
const QString g_ProductName = QString::fromLatin1(Paths::kProductTitle);

std::atomic<bool> g_UpdateBusy{false};
std::atomic<bool> g_RepairRunning{false};
std::atomic<bool> g_ReceiverUpdateFound{false};
std::atomic<bool> g_MouseUpdateFound{false};
UpDateRepair *g_UpDateRepair = nullptr;
