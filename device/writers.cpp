#include "writers.h"

#include "connection.h"
#include "globals.h"
#include "hidusb.h"
#include "postmsg.h"

#include <mutex>
#include <cstring>
#include <functional>

namespace {

using ImageChange = std::function<void(FlashDataMap &)>;

bool ValidKey(int key)
{
    return key >= 0 && key < kKeyCount;
}

bool ValidLevel(int level)
{
    return level >= 0 && level < kDpiLevelSlots;
}

bool DevicePresent()
{
    // Only the low byte of the library's answer counts.
    return UsbFinderC_GetDeviceOnLine(g_CurrentPath);
}

void RaiseOfflineNotice()
{
    if (g_ButtonRefreshing.load() == 0 && g_SensorRefreshing.load() == 0)
        PostMsg::GetInstance()->EmitMouseOffLineo(0);
}

struct ChangedImage {
    FlashDataMap before;
    FlashDataMap after;
};

// Applies `change` to the image under the image lock; the lock is released
// before the library sees the image.
ChangedImage ChangeImage(const ImageChange &change)
{
    std::lock_guard<std::mutex> lock(g_ImageLock);
    ChangedImage result{g_FlashDataMap, g_FlashDataMap};
    change(g_FlashDataMap);
    result.after = g_FlashDataMap;
    return result;
}

// Puts back the bytes a refused write changed, unless something else has
// changed them since (a report of the mouse).
void UndoChange(const ChangedImage &changed)
{
    const auto *before = reinterpret_cast<const uint8_t *>(&changed.before);
    const auto *after = reinterpret_cast<const uint8_t *>(&changed.after);
    std::lock_guard<std::mutex> lock(g_ImageLock);
    auto *image = reinterpret_cast<uint8_t *>(&g_FlashDataMap);
    for (std::size_t i = 0; i < sizeof(FlashDataMap); ++i) {
        if (before[i] != after[i] && image[i] == after[i])
            image[i] = before[i];
    }
}

bool SendImage(FlashDataMap image)
{
    return ProtocolDataUpdate(&image);
}

// The common path of every writer: online test, store, send. Until the
// image holds the open connection's dump nothing is sent and nothing is
// shown: the mouse is there, the write waits for its read, and the page
// is filled with the mouse's values once the dump arrives. A write the
// library refuses (no mouse answers through the connection) is taken back
// and treated like an absent mouse.
bool WriteImage(const ImageChange &change)
{
    if (!DevicePresent()) {
        RaiseOfflineNotice();
        return false;
    }
    if (!ImageIsDevicesOwn())
        return false;
    const ChangedImage changed = ChangeImage(change);
    if (SendImage(changed.after))
        return true;
    UndoChange(changed);
    RaiseOfflineNotice();
    return false;
}

bool WriteByte(uint8_t FlashDataMap::*field, int value)
{
    return WriteImage([field, value](FlashDataMap &image) { image.*field = uint8_t(value); });
}

}  // namespace

bool WriteReportRate(int code) { return WriteByte(&FlashDataMap::ReportRate, code); }
bool WriteDpiLevelCount(int count) { return WriteByte(&FlashDataMap::DpiLevelCount, count); }
bool WriteDpiLevel(int level) { return WriteByte(&FlashDataMap::DpiLevel, level); }
bool WriteByte3(int value) { return WriteByte(&FlashDataMap::Byte3, value); }
bool WriteByte4(int value) { return WriteByte(&FlashDataMap::Byte4, value); }
bool WriteLod(int code) { return WriteByte(&FlashDataMap::Lod, code); }
bool WriteDebounceTime(int ms) { return WriteByte(&FlashDataMap::DebounceTime, ms); }
bool WriteMotionSync(int on) { return WriteByte(&FlashDataMap::MotionSync, on); }
bool WriteStopCloseTime(int code) { return WriteByte(&FlashDataMap::StopCloseTime, code); }
bool WriteStraightLine(int on) { return WriteByte(&FlashDataMap::StraightLine, on); }
bool WriteRippeControl(int on) { return WriteByte(&FlashDataMap::RippeControl, on); }
bool WriteMoveLightOff(int on) { return WriteByte(&FlashDataMap::MoveLightOff, on); }
bool WritePerformance(int on) { return WriteByte(&FlashDataMap::Performance, on); }
bool WritePerformanceOpen(int code) { return WriteByte(&FlashDataMap::PerformanceOpen, code); }
bool WriteSensorMode(int mode) { return WriteByte(&FlashDataMap::SensorMode, mode); }
bool WriteDpiLedBrightness(int code) { return WriteByte(&FlashDataMap::DpiLedBrightness, code); }
bool WriteDpiLedSpeed(int speed) { return WriteByte(&FlashDataMap::DpiLedSpeed, speed); }
bool WriteLightSpeed(int value) { return WriteByte(&FlashDataMap::LightSpeed, value); }
bool WriteLightBrightness(int value) { return WriteByte(&FlashDataMap::LightBrightness, value); }

bool WriteDpiLevelValue(int level, int x, int y, int flags)
{
    if (!ValidLevel(level))
        return false;
    return WriteImage([=](FlashDataMap &image) {
        DpiLevelRecord &record = image.DpiLevels[level];
        record.DpiX = uint8_t(x);
        record.DpiY = uint8_t(y);
        record.DpiFlags = uint8_t(flags);
    });
}

bool WriteDpiLevelColor(int level, int r, int g, int b)
{
    if (!ValidLevel(level))
        return false;
    return WriteImage([=](FlashDataMap &image) {
        DpiLevelRecord &record = image.DpiLevels[level];
        record.Red = uint8_t(r);
        record.Green = uint8_t(g);
        record.Blue = uint8_t(b);
    });
}

bool WriteDpiLevelSwap(const DpiLevelRecord *recA, const DpiLevelRecord *recB, int slotB, int slotA, int level)
{
    if (!recA || !recB || !ValidLevel(slotA) || !ValidLevel(slotB) || !ValidLevel(level))
        return false;
    return WriteImage([=](FlashDataMap &image) {
        // Both records may point into this image: take them before either slot changes.
        const DpiLevelRecord a = *recA;
        const DpiLevelRecord b = *recB;
        image.DpiLevels[slotA] = a;
        image.DpiLevels[slotB] = b;
        image.DpiLevel = uint8_t(level);
        image.DpiLevelCount = uint8_t(level + 1);
    });
}

bool WriteDpiLedMode(int mode)
{
    return WriteImage([mode](FlashDataMap &image) {
        const uint8_t code = uint8_t(mode);
        image.DpiLedOn = code != 0 ? 1 : 0;
        if (code != 0)
            image.DpiLedMode = code;
    });
}

bool WriteLightMode(int mode)
{
    return WriteImage([mode](FlashDataMap &image) {
        const uint8_t code = uint8_t(mode);
        image.LightOn = code != 0 ? 1 : 0;
        if (code != 0)
            image.LightMode = code;
    });
}

bool WriteLightColor(int r, int g, int b)
{
    return WriteImage([=](FlashDataMap &image) {
        image.LightRed = uint8_t(r);
        image.LightGreen = uint8_t(g);
        image.LightBlue = uint8_t(b);
    });
}

bool WriteKeyFunction(int key, int type, int p1, int p2)
{
    if (!ValidKey(key))
        return false;
    return WriteImage([=](FlashDataMap &image) {
        image.Keys[key] = KeyEntry{uint8_t(type), uint8_t(p1), uint8_t(p2)};
    });
}

bool WriteKeySequence(int key, const KeyEntry *entry, const unsigned char *record)
{
    if (!ValidKey(key) || !entry || !record)
        return false;
    return WriteImage([=](FlashDataMap &image) {
        const KeyEntry keyEntry = *entry;
        std::memmove(image.KeySequences[key], record, kKeySequenceSize);
        image.Keys[key] = keyEntry;
    });
}

bool WriteKeyMacro(int key, const KeyEntry *entry, const unsigned char *record)
{
    if (!ValidKey(key) || !entry || !record)
        return false;
    return WriteImage([=](FlashDataMap &image) {
        const KeyEntry keyEntry = *entry;
        std::memmove(image.Macros[key], record, kMacroRecordSize);
        image.Keys[key] = keyEntry;
    });
}

bool CheckDeviceOnline()
{
    if (DevicePresent())
        return true;
    RaiseOfflineNotice();
    return false;
}

bool WriteFlashDataMap()
{
    if (!ImageIsDevicesOwn())
        return false;
    if (SendImage(ReadImage()))
        return true;
    RaiseOfflineNotice();
    return false;
}
