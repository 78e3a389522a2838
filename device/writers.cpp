#include "writers.h"

#include "connection.h"
#include "globals.h"
#include "hidusb.h"
#include "postmsg.h"

#include "devicecache.h"
#include "waits.h"

#include <QCoreApplication>
#include <QList>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <future>
#include <memory>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>

namespace {

// A change that waits for the dump of the connection `serial`.
struct HeldChange {
    uint64_t serial = 0;
    ImageChange change;
    WriteNotice notice = WriteNotice::Shown;
};

struct ChangedImage {
    FlashDataMap before;
    FlashDataMap after;
};

// Touched on the GUI thread only.
QList<HeldChange> &Held()
{
    static QList<HeldChange> held;
    return held;
}

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

bool PageFilling()
{
    return g_ButtonRefreshing.load() != 0 || g_SensorRefreshing.load() != 0;
}

void RaiseOfflineNotice()
{
    if (!PageFilling())
        PostMsg::GetInstance()->EmitMouseOffLineo(0);
}

// The notice is modal: raised from inside the data callback's hop it would
// hold the library's thread until the user closes it.
void RaiseOfflineNoticeLater()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        RaiseOfflineNotice();
        return;
    }
    QMetaObject::invokeMethod(app, [] { RaiseOfflineNotice(); }, Qt::QueuedConnection);
}

// Work handed to the GUI thread by the data callback's thread. The work goes
// through a std::mutex and its end comes back through a promise, both of
// which the thread sanitizer sees; Qt's event queue (whose lock and semaphore
// it does not see) only carries a wake-up that holds nothing. A wake-up
// dropped unrun (the application object going) leaves the caller waiting:
// that is the library's detached thread, which the process's end takes.
struct GuiWork {
    std::function<void()> work;
    std::promise<void> done;
};
std::mutex s_guiWorkLock;
std::deque<std::shared_ptr<GuiWork>> s_guiWork;

void RunHandedWork()
{
    for (;;) {
        std::shared_ptr<GuiWork> next;
        {
            std::lock_guard<std::mutex> lock(s_guiWorkLock);
            if (s_guiWork.empty())
                return;
            next = s_guiWork.front();
            s_guiWork.pop_front();
        }
        next->work();
        next->done.set_value();
    }
}

// Runs `work` on the GUI thread and waits for it.
void OnGuiThread(const std::function<void()> &work)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        work();
        return;
    }
    auto handed = std::make_shared<GuiWork>();
    handed->work = work;
    std::future<void> finished = handed->done.get_future();
    {
        std::lock_guard<std::mutex> lock(s_guiWorkLock);
        s_guiWork.push_back(handed);
    }
    QMetaObject::invokeMethod(app, [] { RunHandedWork(); }, Qt::QueuedConnection);
    finished.wait();
}

// The image the pages were filled from: the mouse's own dump, or else the
// model's cached image that an offline mouse's pages show.
std::optional<FlashDataMap> ImageThePagesShow()
{
    if (ImageIsDevicesOwn())
        return ReadImage();
    FlashDataMap cached{};
    if (LoadDeviceCache(g_LoadCacheName.Get(), &cached))
        return cached;
    return std::nullopt;
}

// Every page shows the image again, so no control keeps a value the mouse
// did not take.
void RefillPages()
{
    if (PageFilling())
        return;
    const std::optional<FlashDataMap> image = ImageThePagesShow();
    if (!image)
        return;
    PostMsg *hub = PostMsg::GetInstance();
    hub->EmitUpDataLightUIA(*image);
    hub->EmitUpDataSensorUIB(*image);
    hub->EmitUpDataButtonUIC(*image);
}

WriteResult Refused(WriteNotice notice)
{
    if (notice == WriteNotice::Shown) {
        RefillPages();
        RaiseOfflineNotice();
    }
    return WriteResult::Refused;
}

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

// Applies and sends; a refused image is taken back.
bool ChangeAndSend(const ImageChange &change)
{
    const ChangedImage changed = ChangeImage(change);
    if (SendImage(changed.after))
        return true;
    UndoChange(changed);
    return false;
}

// ---- changes held for the dump ---------------------------------------------------

QTimer *PatienceTimer();

// The held changes will not reach the mouse: they go, the pages show what
// they showed before the changes, and the user is told once.
void DropHeld()
{
    if (Held().isEmpty())
        return;
    bool tell = false;
    for (const HeldChange &held : qAsConst(Held()))
        tell = tell || held.notice == WriteNotice::Shown;
    Held().clear();
    PatienceTimer()->stop();
    if (!tell)
        return;
    RefillPages();
    RaiseOfflineNoticeLater();
}

QTimer *PatienceTimer()
{
    static QTimer *timer = [] {
        auto *t = new QTimer(QCoreApplication::instance());
        t->setSingleShot(true);
        QObject::connect(t, &QTimer::timeout, [] { DropHeld(); });
        return t;
    }();
    return timer;
}

// Asks the open connection for the whole image unless its read is under way.
// A connection that is no longer the current one (the device was selected
// again, or its handle died with a quick replug) is opened anew first.
void AskWholeRead()
{
    const ConnectionSnapshot opened = OpenedConnection();
    const bool current = IsCurrentConnection(opened.serial);
    if (current && WholeReadInFlight())
        return;
    if (current && ReadWholeImage())
        return;
    OpenCurrentDevice();
    ReadWholeImage();
}

// The mouse is there, but nothing can be asked through the open handle: it
// died with a quick replug that the device list never saw. A mouse that
// refuses on a live handle is asked for its whole image instead, so the
// pages show its own values again.
bool HandleDied()
{
    return DevicePresent() && !ReadWholeImage();
}

WriteResult Hold(const ImageChange &change, WriteNotice notice)
{
    AskWholeRead();
    const uint64_t serial = OpenedConnection().serial;
    const bool staleHeld = std::any_of(Held().cbegin(), Held().cend(),
                                       [serial](const HeldChange &held) { return held.serial != serial; });
    if (staleHeld)
        DropHeld();
    Held().append(HeldChange{serial, change, notice});
    PatienceTimer()->start(Waits::Scaled(kWholeReadPatienceMs));
    return WriteResult::NotYetRead;
}

// The common path of every writer: online test, then hold, or store and send.
WriteResult WriteImage(const ImageChange &change, WriteNotice notice = WriteNotice::Shown)
{
    if (!DevicePresent())
        return Refused(notice);
    if (!ImageIsDevicesOwn())
        return Hold(change, notice);
    if (ChangeAndSend(change))
        return WriteResult::Done;
    if (HandleDied())
        return Hold(change, notice);
    return Refused(notice);
}

WriteResult WriteByte(uint8_t FlashDataMap::*field, int value)
{
    return WriteImage([field, value](FlashDataMap &image) { image.*field = uint8_t(value); });
}

// On the GUI thread: the dump of `serial` is the mouse's own image from now
// on, with the changes held for it applied. True when it was sent.
bool AdoptDumpHere(uint64_t serial)
{
    if (!IsCurrentConnection(serial))
        return false;
    NoteDumpTaken(serial);
    QList<HeldChange> mine;
    bool tellStale = false;
    for (const HeldChange &held : qAsConst(Held())) {
        if (held.serial == serial)
            mine.append(held);
        else
            tellStale = tellStale || held.notice == WriteNotice::Shown;
    }
    Held().clear();
    PatienceTimer()->stop();
    if (tellStale)
        RaiseOfflineNoticeLater();
    if (mine.isEmpty())
        return false;
    bool tell = false;
    for (const HeldChange &held : qAsConst(mine))
        tell = tell || held.notice == WriteNotice::Shown;
    const bool sent = DevicePresent() && ChangeAndSend([&mine](FlashDataMap &image) {
        for (const HeldChange &held : qAsConst(mine))
            held.change(image);
    });
    // Refused: the image is the dump again, and the pages are filled from it next.
    if (!sent && tell)
        RaiseOfflineNoticeLater();
    return true;
}

}  // namespace

WriteResult WriteReportRate(int code) { return WriteByte(&FlashDataMap::ReportRate, code); }
WriteResult WriteDpiLevelCount(int count) { return WriteByte(&FlashDataMap::DpiLevelCount, count); }
WriteResult WriteDpiLevel(int level) { return WriteByte(&FlashDataMap::DpiLevel, level); }
WriteResult WriteByte3(int value) { return WriteByte(&FlashDataMap::Byte3, value); }
WriteResult WriteByte4(int value) { return WriteByte(&FlashDataMap::Byte4, value); }
WriteResult WriteLod(int code) { return WriteByte(&FlashDataMap::Lod, code); }
WriteResult WriteDebounceTime(int ms) { return WriteByte(&FlashDataMap::DebounceTime, ms); }
WriteResult WriteMotionSync(int on) { return WriteByte(&FlashDataMap::MotionSync, on); }
WriteResult WriteStopCloseTime(int code) { return WriteByte(&FlashDataMap::StopCloseTime, code); }
WriteResult WriteStraightLine(int on) { return WriteByte(&FlashDataMap::StraightLine, on); }
WriteResult WriteRippeControl(int on) { return WriteByte(&FlashDataMap::RippeControl, on); }
WriteResult WriteMoveLightOff(int on) { return WriteByte(&FlashDataMap::MoveLightOff, on); }
WriteResult WritePerformance(int on) { return WriteByte(&FlashDataMap::Performance, on); }
WriteResult WritePerformanceOpen(int code) { return WriteByte(&FlashDataMap::PerformanceOpen, code); }
WriteResult WriteSensorMode(int mode) { return WriteByte(&FlashDataMap::SensorMode, mode); }
WriteResult WriteDpiLedBrightness(int code) { return WriteByte(&FlashDataMap::DpiLedBrightness, code); }
WriteResult WriteDpiLedSpeed(int speed) { return WriteByte(&FlashDataMap::DpiLedSpeed, speed); }
WriteResult WriteLightSpeed(int value) { return WriteByte(&FlashDataMap::LightSpeed, value); }
WriteResult WriteLightBrightness(int value) { return WriteByte(&FlashDataMap::LightBrightness, value); }

WriteResult WriteDpiLevelValue(int level, int x, int y, int flags)
{
    if (!ValidLevel(level))
        return WriteResult::Refused;
    return WriteImage([=](FlashDataMap &image) {
        DpiLevelRecord &record = image.DpiLevels[level];
        record.DpiX = uint8_t(x);
        record.DpiY = uint8_t(y);
        record.DpiFlags = uint8_t(flags);
    });
}

WriteResult WriteDpiLevelColor(int level, int r, int g, int b)
{
    if (!ValidLevel(level))
        return WriteResult::Refused;
    return WriteImage([=](FlashDataMap &image) {
        DpiLevelRecord &record = image.DpiLevels[level];
        record.Red = uint8_t(r);
        record.Green = uint8_t(g);
        record.Blue = uint8_t(b);
    });
}

WriteResult WriteDpiLevelSwap(const DpiLevelRecord *recA, const DpiLevelRecord *recB, int slotB, int slotA, int level)
{
    if (!recA || !recB || !ValidLevel(slotA) || !ValidLevel(slotB) || !ValidLevel(level))
        return WriteResult::Refused;
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

WriteResult WriteDpiLedMode(int mode)
{
    return WriteImage([mode](FlashDataMap &image) {
        const uint8_t code = uint8_t(mode);
        image.DpiLedOn = code != 0 ? 1 : 0;
        if (code != 0)
            image.DpiLedMode = code;
    });
}

WriteResult WriteLightMode(int mode)
{
    return WriteImage([mode](FlashDataMap &image) {
        const uint8_t code = uint8_t(mode);
        image.LightOn = code != 0 ? 1 : 0;
        if (code != 0)
            image.LightMode = code;
    });
}

WriteResult WriteLightColor(int r, int g, int b)
{
    return WriteImage([=](FlashDataMap &image) {
        image.LightRed = uint8_t(r);
        image.LightGreen = uint8_t(g);
        image.LightBlue = uint8_t(b);
    });
}

WriteResult WriteKeyFunction(int key, int type, int p1, int p2)
{
    if (!ValidKey(key))
        return WriteResult::Refused;
    return WriteImage([=](FlashDataMap &image) {
        image.Keys[key] = KeyEntry{uint8_t(type), uint8_t(p1), uint8_t(p2)};
    });
}

WriteResult WriteKeySequence(int key, const KeyEntry *entry, const unsigned char *record)
{
    if (!ValidKey(key) || !entry || !record)
        return WriteResult::Refused;
    return WriteImage([=](FlashDataMap &image) {
        const KeyEntry keyEntry = *entry;
        std::memmove(image.KeySequences[key], record, kKeySequenceSize);
        image.Keys[key] = keyEntry;
    });
}

WriteResult WriteKeyMacro(int key, const KeyEntry *entry, const unsigned char *record)
{
    if (!ValidKey(key) || !entry || !record)
        return WriteResult::Refused;
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

WriteResult WriteImageChange(const ImageChange &change, WriteNotice notice)
{
    return WriteImage(change, notice);
}

WriteResult WriteWholeImage(const FlashDataMap &image)
{
    return WriteImage([image](FlashDataMap &target) { target = image; });
}

WriteResult WriteFlashDataMap()
{
    return WriteImage([](FlashDataMap &) {});
}

WriteResult WriteFlashDataMapQuietly()
{
    return WriteImage([](FlashDataMap &) {}, WriteNotice::Quiet);
}

WriteResult SwitchProfile(int index, const std::function<void()> &showMouseProfile)
{
    if (!DevicePresent() || !UsbServer_SetCurrentConfig(static_cast<unsigned char>(index & 0xFF))) {
        showMouseProfile();
        RaiseOfflineNotice();
        return WriteResult::Refused;
    }
    // The image still holds the old profile, which the next single-field
    // write would copy into the new one: writes are held until the new
    // profile's read, which also fills the pages.
    ForgetProfileImage();
    ReadWholeImage();
    return WriteResult::Done;
}

bool AdoptDump(uint64_t serial)
{
    bool sent = false;
    OnGuiThread([serial, &sent] { sent = AdoptDumpHere(serial); });
    return sent;
}

void EndOfWholeRead()
{
    OnGuiThread([] { DropHeld(); });
}

void ForgetHeldChanges()
{
    OnGuiThread([] {
        Held().clear();
        if (QCoreApplication::instance())
            PatienceTimer()->stop();
    });
}

int HeldChangeCount()
{
    return Held().size();
}
