// The library instance: interned paths, call log, the world's run-time state,
// the report queue and the delivery thread that calls the data callback.

#include "simcore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HidSim {

// ---- interned paths ----------------------------------------------------------

namespace {

constexpr int kMaxPaths = 1024;
PathEntry g_paths[kMaxPaths];
std::atomic<int> g_pathCount{0};
std::mutex &g_internMutex = *new std::mutex;  // never destroyed, like the paths

}  // namespace

PathEntry *InternPath(const QByteArray &text)
{
    std::lock_guard<std::mutex> guard(g_internMutex);
    const int n = g_pathCount.load(std::memory_order_acquire);
    for (int i = 0; i < n; ++i) {
        if (text == g_paths[i].text)
            return &g_paths[i];
    }
    if (n == kMaxPaths)
        return nullptr;
    g_paths[n].text = qstrdup(text.constData());  // never freed: paths live for the run
    g_pathCount.store(n + 1, std::memory_order_release);
    return &g_paths[n];
}

PathEntry *FindPath(const char *text)
{
    if (!text)
        return nullptr;
    const int n = g_pathCount.load(std::memory_order_acquire);
    for (int i = 0; i < n; ++i) {
        if (g_paths[i].text == text || std::strcmp(g_paths[i].text, text) == 0)
            return &g_paths[i];
    }
    return nullptr;
}

const char **InternPathArray(const std::vector<const char *> &paths)
{
    static const char *empty[1] = {nullptr};
    if (paths.empty())
        return empty;
    static auto &arrays = *new QHash<QByteArray, const char **>;
    const QByteArray key(reinterpret_cast<const char *>(paths.data()), int(paths.size() * sizeof(const char *)));
    std::lock_guard<std::mutex> guard(g_internMutex);
    const char **&array = arrays[key];
    if (!array) {
        array = new const char *[paths.size() + 1];  // never freed, like the paths
        std::copy(paths.begin(), paths.end(), array);
        array[paths.size()] = nullptr;
    }
    return array;
}

// ---- call log ----------------------------------------------------------------

namespace {

// Never destroyed: library threads may still log while the process exits.
std::mutex &g_logMutex = *new std::mutex;
std::deque<CallRecord> &g_log = *new std::deque<CallRecord>;

qint64 MsecsSinceStart()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

}  // namespace

void LogCall(const char *function, const QString &arguments)
{
    CallRecord record{QString::fromLatin1(function), arguments, QThread::currentThreadId(), MsecsSinceStart()};
    std::lock_guard<std::mutex> guard(g_logMutex);
    if (int(g_log.size()) >= kCallLogCapacity)
        g_log.pop_front();
    g_log.push_back(std::move(record));
}

std::vector<CallRecord> CallLog()
{
    std::lock_guard<std::mutex> guard(g_logMutex);
    return std::vector<CallRecord>(g_log.begin(), g_log.end());
}

void ClearCallLog()
{
    std::lock_guard<std::mutex> guard(g_logMutex);
    g_log.clear();
}

std::vector<CallRecord> CallsOf(const QString &function)
{
    std::vector<CallRecord> out;
    std::lock_guard<std::mutex> guard(g_logMutex);
    for (const CallRecord &r : g_log) {
        if (r.function == function)
            out.push_back(r);
    }
    return out;
}

// ---- world lookups -------------------------------------------------------------

ReceiverRt *ReceiverNamed(Core &c, const QString &name)
{
    for (ReceiverRt &r : c.receivers) {
        if (r.desc.name == name)
            return &r;
    }
    return nullptr;
}

MouseRt *MouseNamed(Core &c, const QString &name)
{
    for (MouseRt &m : c.mice) {
        if (m.desc.name == name)
            return &m;
    }
    return nullptr;
}

MouseRt *PairedMouse(Core &c, const ReceiverRt &r)
{
    if (r.desc.mouse.isEmpty())
        return nullptr;
    MouseRt *m = MouseNamed(c, r.desc.mouse);
    return (m && m->desc.address == r.desc.address) ? m : nullptr;
}

namespace {

bool ReceiverPresent(const ReceiverRt &r)
{
    return r.desc.plugged && !r.desc.bootMode;
}

bool CablePresent(const MouseRt &m)
{
    return m.desc.cable && !m.desc.bootMode;
}

bool AnswersByRadio(Core &c, const ReceiverRt &r)
{
    const MouseRt *m = PairedMouse(c, r);
    return ReceiverPresent(r) && m && m->desc.powered && !m->desc.bootMode &&
           !(m->desc.cable && m->desc.wirelessOffWhenCabled);
}

}  // namespace

Target ResolveEntry(Core &c, PathEntry *entry)
{
    Target t;
    if (!entry)
        return t;
    for (ReceiverRt &r : c.receivers) {
        if (r.path == entry && ReceiverPresent(r)) {
            t.receiver = &r;
            t.mouse = PairedMouse(c, r);
            return t;
        }
    }
    for (MouseRt &m : c.mice) {
        if (m.cablePath == entry && CablePresent(m)) {
            t.mouse = &m;
            t.cable = true;
            return t;
        }
    }
    return t;
}

Target Resolve(Core &c, const char *path)
{
    return ResolveEntry(c, FindPath(path));
}

namespace {

// The handle epoch of the device a path belongs to, present or not; false
// when no device has that path.
bool EpochOf(Core &c, const PathEntry *entry, quint64 *epoch)
{
    for (const ReceiverRt &r : c.receivers) {
        if (entry && r.path == entry) {
            *epoch = r.handleEpoch;
            return true;
        }
    }
    for (const MouseRt &m : c.mice) {
        if (entry && m.cablePath == entry) {
            *epoch = m.handleEpoch;
            return true;
        }
    }
    return false;
}

}  // namespace

void NoteConnectionOpened(Core &c)
{
    quint64 epoch = 0;
    c.openAlive = ResolveEntry(c, c.openPath) && EpochOf(c, c.openPath, &epoch);
    c.openEpoch = epoch;
}

bool ConnectionAlive(Core &c)
{
    quint64 epoch = 0;
    return c.openPath && c.openAlive && EpochOf(c, c.openPath, &epoch) && epoch == c.openEpoch;
}

bool MouseReachable(Core &c, const Target &t)
{
    if (t.cable)
        return t.mouse != nullptr;
    return t.receiver && AnswersByRadio(c, *t.receiver);
}

bool ReadRegularFile(const QString &path, QByteArray *content, QString *error)
{
    constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    content->clear();
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat info {};
    QString problem;
    if (fd < 0 || ::fstat(fd, &info) != 0)
        problem = QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(info.st_mode))
        problem = QStringLiteral("not a regular file");
    else if (info.st_size > kMaxBytes)
        problem = QStringLiteral("larger than 16 MiB");
    if (problem.isEmpty()) {
        QFile file;
        if (file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle))
            *content = file.read(kMaxBytes);
        if (file.error() != QFileDevice::NoError)
            problem = file.errorString();
    }
    if (fd >= 0)
        ::close(fd);
    if (!problem.isEmpty() && error)
        *error = path + QStringLiteral(": ") + problem;
    return problem.isEmpty();
}

QString HexAddress(const Address &a)
{
    return QString::asprintf("%02X:%02X:%02X", a[0], a[1], a[2]);
}

// ---- world changes -------------------------------------------------------------

void WorldChanged(Core &c)
{
    struct Flags {
        PathEntry *entry;
        bool present;
        bool online;
    };
    std::vector<Flags> flags;
    QByteArray visible;
    for (ReceiverRt &r : c.receivers) {
        const MouseRt *m = PairedMouse(c, r);
        const bool present = ReceiverPresent(r);
        if (r.present && !present)
            ++r.handleEpoch;  // unplugged: every handle opened before is dead
        r.present = present;
        flags.push_back({r.path, present, AnswersByRadio(c, r)});
        // A device with other firmware (flashed, or `version`) enumerates anew.
        visible += r.desc.name.toUtf8() + char(ReceiverPresent(r)) + char(AnswersByRadio(c, r)) +
                   char(m ? m->desc.mid : 0) + QByteArray::number(r.desc.version) + ';';
    }
    for (MouseRt &m : c.mice) {
        const bool present = CablePresent(m);
        if (m.cablePresent && !present)
            ++m.handleEpoch;
        m.cablePresent = present;
        flags.push_back({m.cablePath, present, present});
        visible += m.desc.name.toUtf8() + char(CablePresent(m)) + char(m.desc.bootMode) +
                   QByteArray::number(m.desc.version) + ';';
    }
    const int n = g_pathCount.load(std::memory_order_acquire);
    for (int i = 0; i < n; ++i) {
        bool present = false, online = false;
        for (const Flags &f : flags) {
            if (f.entry == &g_paths[i]) {
                present = f.present;
                online = f.online;
            }
        }
        g_paths[i].present.store(present);
        g_paths[i].online.store(online);
    }
    c.wake.notify_all();
    MarkWorldDirty(c);
    if (visible != c.visibleState) {
        c.visibleState = visible;
        PostUsbChange();
    }
}

namespace {

QByteArray PathText(uint16_t vid, uint16_t pid, const QString &name)
{
    return QString::asprintf("/dev/hidraw-sim/vid_%04x&pid_%04x&mi_01#", vid, pid).toLatin1() + name.toUtf8();
}

std::vector<QByteArray> ProfileImages(const std::vector<QByteArray> &given, uint8_t mid)
{
    std::vector<QByteArray> images;
    for (int p = 0; p < kProfileCount; ++p) {
        QByteArray image = given.empty() ? DefaultFactoryImage(mid) : given[std::min<size_t>(p, given.size() - 1)];
        image = image.leftJustified(kImageSize, '\0', true);
        images.push_back(image);
    }
    return images;
}

}  // namespace

void InstallWorld(Core &c, const World &world)
{
    c.receivers.clear();
    c.mice.clear();
    for (const Receiver &desc : world.receivers) {
        ReceiverRt r;
        r.desc = desc;
        r.path = InternPath(PathText(desc.vid, desc.pid, desc.name));
        r.zeroIdsLeft = desc.zeroIdAnswers;
        c.receivers.push_back(r);
    }
    for (const Mouse &desc : world.mice) {
        MouseRt m;
        m.desc = desc;
        m.desc.activeProfile = qBound(0, desc.activeProfile, kProfileCount - 1);
        m.cablePath = InternPath(PathText(desc.vid, desc.pid, desc.name));
        m.zeroIdsLeft = desc.zeroIdAnswers;
        m.faults = desc.faults;
        m.factory = ProfileImages(desc.factory, desc.mid);
        for (int p = 0; p < kProfileCount; ++p) {
            const bool kept = int(desc.stored.size()) == kProfileCount && desc.stored[size_t(p)].size() == kDumpSize;
            m.flash.push_back(kept ? desc.stored[size_t(p)] : ImageToDump(m.factory[p], p, desc.mid));
        }
        m.desc.stored.clear();  // lives in flash from now on
        c.mice.push_back(m);
    }
    c.timing = world.timing;
    c.factoryWorld = world;
    ++c.worldEpoch;
    ++c.generation;
    c.openPath = nullptr;
    c.callback = nullptr;
    c.pcDriverAttached = false;
    c.queue.clear();
    c.timed.clear();
    WorldChanged(c);
}

// ---- the report queue --------------------------------------------------------------

void QueueReport(Core &c, uint8_t command, uint8_t subCommand, const QByteArray &data)
{
    if (!c.callback)
        return;
    Job job;
    job.generation = c.generation;
    job.command = command;
    job.subCommand = subCommand;
    job.data = data;
    job.queuedAt = Clock::now();
    c.queue.push_back(job);
    c.wake.notify_all();
}

void QueueMouseEvent(Core &c, const MouseRt &mouse, uint8_t command, uint8_t subCommand, const QByteArray &data)
{
    const Target t = ResolveEntry(c, c.openPath);
    if (t.mouse == &mouse && MouseReachable(c, t) && ConnectionAlive(c))
        QueueReport(c, command, subCommand, data);
}

void QueueReceiverEvent(Core &c, const ReceiverRt &receiver, uint8_t command, const QByteArray &data)
{
    const Target t = ResolveEntry(c, c.openPath);
    if (t.receiver == &receiver && ConnectionAlive(c))
        QueueReport(c, command, 0, data);
}

bool QueueRead(Core &c, ReadKind kind)
{
    if (!c.openPath || !c.callback || !ConnectionAlive(c))
        return false;
    Job job;
    job.generation = c.generation;
    job.isRead = true;
    job.read = kind;
    c.queue.push_back(job);
    c.wake.notify_all();
    return true;
}

void Schedule(Core &c, int delayMs, std::function<void()> action, bool busy)
{
    c.timed.push_back({Clock::now() + std::chrono::milliseconds(std::max(0, delayMs)), std::move(action), busy});
    c.wake.notify_all();
}

// ---- the delivery thread -------------------------------------------------------------

namespace {

struct Delivery {
    HidDataCallback callback = nullptr;
    QByteArray header;
    QByteArray data;
};

bool ReadPossible(Core &c, const Target &t, ReadKind kind)
{
    if (kind == ReadKind::PairStatus)
        return t.receiver != nullptr;
    return MouseReachable(c, t);
}

int ReadLatency(const Core &c, ReadKind kind)
{
    return kind == ReadKind::AllFlash ? c.timing.fullReadMs : c.timing.readLatencyMs;
}

// The device takes the read: it answers after its latency, later when a
// slow read was asked for, or never when a dropped read was.
void StartRead(Core &c, const Target &t, Job &job, Clock::time_point now)
{
    int latency = ReadLatency(c, job.read);
    if (MouseRt *m = job.read == ReadKind::PairStatus ? nullptr : t.mouse) {
        if (m->faults.dropReads > 0) {
            --m->faults.dropReads;
            job.dropped = true;
        } else if (job.read == ReadKind::AllFlash && m->faults.slowReadMs > 0) {
            latency = m->faults.slowReadMs;
            m->faults.slowReadMs = 0;
        }
    }
    job.started = true;
    job.readyAt = now + std::chrono::milliseconds(latency);
}

// A dump that fails the parser's check: what a corrupted transfer looks like.
constexpr char kGarbageByte = char(0xEE);

void AnswerRead(const Target &t, ReadKind kind, Job &out)
{
    MouseRt *m = t.mouse;
    if (kind == ReadKind::AllFlash && m && m->faults.garbageDumps > 0) {
        --m->faults.garbageDumps;
        out.command = HIDUSB_CMD_SETTINGS;
        out.subCommand = HIDUSB_SUB_FLASH;
        out.data = QByteArray(kDumpSize, kGarbageByte);
        return;
    }
    const QByteArray flash = m ? m->flash[size_t(m->desc.activeProfile)] : QByteArray(kDumpSize, '\0');
    const auto byteAt = [&](int offset) { return QByteArray(1, flash[offset]); };
    switch (kind) {
    case ReadKind::AllFlash: out.command = HIDUSB_CMD_SETTINGS; out.subCommand = HIDUSB_SUB_FLASH; out.data = flash; break;
    case ReadKind::ReportRate:
        out.command = HIDUSB_CMD_SETTINGS;
        out.subCommand = HIDUSB_SUB_FLASH;
        out.data = byteAt(0x000);
        break;
    case ReadKind::CurrentDpi:
        out.command = HIDUSB_CMD_SETTINGS;
        out.subCommand = HIDUSB_SUB_CURRENT_DPI;
        out.data = byteAt(0x002);
        break;
    case ReadKind::DpiLed:
        out.command = HIDUSB_CMD_SETTINGS;
        out.subCommand = HIDUSB_SUB_DPI_LED;
        out.data = EncodeDpiLed(flash);
        break;
    case ReadKind::LedBar:
        out.command = HIDUSB_CMD_SETTINGS;
        out.subCommand = HIDUSB_SUB_LED_BAR;
        out.data = EncodeLedBar(flash);
        break;
    case ReadKind::Battery:
        out.command = HIDUSB_CMD_BATTERY;
        out.data = EncodeBattery(m->desc.battery, m->desc.charging);
        break;
    case ReadKind::Config:
        out.command = HIDUSB_CMD_PROFILE;
        out.data = QByteArray(1, char(m->desc.activeProfile));
        break;
    case ReadKind::Version: out.command = HIDUSB_CMD_VERSION; out.data = EncodeVersion(m->desc.version); break;
    case ReadKind::PairStatus:
        out.command = HIDUSB_CMD_PAIRING;
        out.data = QByteArray(1, char(t.receiver->pairStatus)) + char(t.receiver->pairCid);
        break;
    }
}

void RunDueActions(Core &c)
{
    for (;;) {
        const auto now = Clock::now();
        auto due = std::find_if(c.timed.begin(), c.timed.end(), [&](const TimedAction &a) { return a.at <= now; });
        if (due == c.timed.end())
            return;
        std::function<void()> action = std::move(due->action);
        c.timed.erase(due);
        action();
    }
}

bool JobStale(Core &c, const Job &job)
{
    return job.generation != c.generation || !c.callback || !ConnectionAlive(c);
}

// Walks the queue the way the devices work through it: reports of device
// events go out in order, and a read waits only for the reads before it that
// the same device answers (the mouse, or the receiver for its pairing
// status). So a read waiting for an offline mouse holds back neither
// receiver events nor pairing results. `visit` gets each job that could go
// out (a read whose device answers, ready or not) until it returns true;
// the index of that job is returned, or -1.
template <typename Visit>
int ScanQueue(Core &c, Visit visit)
{
    bool mouseReadAhead = false;
    bool receiverReadAhead = false;
    const Target t = ResolveEntry(c, c.openPath);
    for (int i = 0; i < int(c.queue.size()); ++i) {
        Job &job = c.queue[size_t(i)];
        if (JobStale(c, job))
            continue;
        if (job.isRead) {
            bool &ahead = job.read == ReadKind::PairStatus ? receiverReadAhead : mouseReadAhead;
            if (ahead)
                continue;
            ahead = true;
            if (!ReadPossible(c, t, job.read))
                continue;  // the device answers once it is back
        }
        if (visit(job, t))
            return i;
    }
    return -1;
}

// A read is answered when its device is done with it: an event reported
// before that goes out first, even when the delivery thread comes late to both.
int EventBeforeAnswer(const Core &c, int readIndex)
{
    const Clock::time_point answeredAt = c.queue[size_t(readIndex)].readyAt;
    for (int i = readIndex + 1; i < int(c.queue.size()); ++i) {
        const Job &job = c.queue[size_t(i)];
        if (!job.isRead && job.queuedAt <= answeredAt)
            return i;
    }
    return readIndex;
}

// Takes the next report that can go out now; otherwise tells when to look again.
bool NextDelivery(Core &c, Delivery &out, Clock::time_point &wakeAt)
{
    c.queue.erase(std::remove_if(c.queue.begin(), c.queue.end(), [&c](const Job &j) { return JobStale(c, j); }),
                  c.queue.end());
    const auto now = Clock::now();
    for (;;) {
        int index = ScanQueue(c, [&](Job &job, const Target &t) {
            if (!job.isRead)
                return true;
            if (!job.started)
                StartRead(c, t, job, now);
            if (job.dropped)
                return true;  // swallowed at once: the reads behind it go on
            if (now < job.readyAt) {
                wakeAt = std::min(wakeAt, job.readyAt);
                return false;
            }
            return true;
        });
        if (index < 0)
            return false;
        if (c.queue[size_t(index)].isRead && !c.queue[size_t(index)].dropped)
            index = EventBeforeAnswer(c, index);
        Job job = c.queue[size_t(index)];
        c.queue.erase(c.queue.begin() + index);
        if (job.dropped)
            continue;  // taken by the device, never answered
        if (job.isRead)
            AnswerRead(ResolveEntry(c, c.openPath), job.read, job);
        out.callback = c.callback;
        out.header = BuildHeader(job.command, job.subCommand, job.data.size(), c.sequence++);
        out.data = job.data;
        return true;
    }
}

QString DescribeReport(const QByteArray &header, const QByteArray &data)
{
    return QStringLiteral("command=%1 sub=%2 length=%3")
        .arg(uint8_t(header[HIDUSB_HEADER_COMMAND]))
        .arg(uint8_t(header[HIDUSB_HEADER_SUBCOMMAND]))
        .arg(data.size());
}

void DeliveryLoop(Core &c)
{
    std::unique_lock<std::mutex> lock(c.mutex);
    for (;;) {
        RunDueActions(c);
        Clock::time_point wakeAt = Clock::time_point::max();
        for (const TimedAction &a : c.timed)
            wakeAt = std::min(wakeAt, a.at);
        Delivery d;
        if (NextDelivery(c, d, wakeAt)) {
            c.delivering = true;
            lock.unlock();
            LogCall("callback:data", DescribeReport(d.header, d.data));
            // A few zero bytes past the end keep a reader that looks too far harmless.
            QByteArray padded = d.data + QByteArray(16, '\0');
            d.callback(reinterpret_cast<const unsigned char *>(d.header.constData()), d.header.size(),
                       reinterpret_cast<const unsigned char *>(padded.constData()), d.data.size());
            lock.lock();
            c.delivering = false;
            continue;
        }
        c.idleWake.notify_all();
        if (wakeAt == Clock::time_point::max())
            c.wake.wait(lock);
        else
            c.wake.wait_until(lock, wakeAt);
    }
}

// The world of the scenario file, or the default world: the devices as they
// come from the factory.
World FactoryWorld(Core &c)
{
    const QByteArray scenario = qgetenv("VOGM_SCENARIO");
    if (scenario.isEmpty())
        return DefaultWorld();
    World world;
    QString error;
    // What the file holds now is what a later edit is compared with.
    if (ReadRegularFile(QString::fromLocal8Bit(scenario), &c.scenarioAtStart, &error)
        && ParseScenario(c.scenarioAtStart, &world, &error))
        return world;
    c.scenarioError = error;
    qWarning("HIDUsb: scenario %s not used: %s", scenario.constData(), qPrintable(error));
    return DefaultWorld();
}

// Installs the factory world with what its devices kept from earlier runs.
void InstallStartingWorld(Core &c)
{
    const World factory = FactoryWorld(c);
    World starting = factory;
    QFile saved(WorldStateFile());
    if (saved.open(QIODevice::ReadOnly)) {
        const QByteArray state = saved.readAll();
        QString problem;
        ApplySavedState(state, &starting, &problem);
        if (!problem.isEmpty())
            qWarning("HIDUsb: %s: %s", qPrintable(saved.fileName()), qPrintable(problem));
        c.otherSaved = SavedDevicesNotIn(state, starting);
    }
    InstallWorld(c, starting);
    c.factoryWorld = factory;
}

// The last change is on disk before the process ends.
void FlushStateAtExit()
{
    Core &c = Lib();
    std::unique_lock<std::mutex> lock(c.mutex);
    c.idleWake.wait_for(lock, std::chrono::seconds(2), [&c] { return !c.saveDirty && !c.saving; });
}

}  // namespace

bool DeliverableNow(Core &c)
{
    if (c.delivering || c.saveDirty || c.saving)
        return true;
    for (const TimedAction &a : c.timed) {
        if (a.busy)
            return true;
    }
    return ScanQueue(c, [](Job &, const Target &) { return true; }) >= 0;
}

Core &Lib()
{
    static Core *core = [] {
        auto *c = new Core;  // lives for the whole process; threads may still use it at exit
        InstallStartingWorld(*c);
        std::thread([c] { DeliveryLoop(*c); }).detach();
        StartStateSaver(*c);
        std::atexit(FlushStateAtExit);
        return c;
    }();
    StartWatching();  // cheap once started; waits for the application object
    return *core;
}

std::unique_lock<std::mutex> Lock()
{
    return std::unique_lock<std::mutex>(Lib().mutex);
}

}  // namespace HidSim
