// The control side of the simulated world: building it, changing it from
// tests, from the vogm-world tool (command files) and from an edited
// scenario file, and looking at what happened.

#include "simcore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

#include <atomic>
#include <future>

namespace HidSim {

namespace {

// Runs `change` on the mouse named `name` under the lock, then lets the world
// settle (path flags, USB-change notification).
template <typename Fn>
bool WithMouse(const QString &name, Fn change)
{
    auto lock = Lock();
    Core &c = Lib();
    MouseRt *m = MouseNamed(c, name);
    if (!m)
        return false;
    change(c, *m);
    WorldChanged(c);
    return true;
}

template <typename Fn>
bool WithReceiver(const QString &name, Fn change)
{
    auto lock = Lock();
    Core &c = Lib();
    ReceiverRt *r = ReceiverNamed(c, name);
    if (!r)
        return false;
    change(c, *r);
    WorldChanged(c);
    return true;
}

bool OnOff(const QString &word, bool *out)
{
    static const QStringList on = {"on", "1", "true", "yes", "attach", "plug"};
    static const QStringList off = {"off", "0", "false", "no", "detach", "unplug"};
    if (on.contains(word, Qt::CaseInsensitive))
        *out = true;
    else if (off.contains(word, Qt::CaseInsensitive))
        *out = false;
    else
        return false;
    return true;
}

bool Number(const QString &word, int *out)
{
    bool ok = false;
    const int n = word.startsWith("0x", Qt::CaseInsensitive) ? word.mid(2).toInt(&ok, 16) : word.toInt(&ok, 10);
    if (ok)
        *out = n;
    return ok;
}

constexpr int kMaxTimingMs = 600000;

// "fullReadMs 12000 readLatencyMs 8": changes those durations of the running
// world; nothing changes when a name or a number is wrong.
bool ApplyTimingWords(const QStringList &words)
{
    Timing t = CurrentTiming();
    for (int i = 0; i + 1 < words.size(); i += 2) {
        int ms = 0;
        if (!Number(words[i + 1], &ms) || ms < 0 || ms > kMaxTimingMs)
            return false;
        const QString &name = words[i];
        if (name == "readLatencyMs")
            t.readLatencyMs = ms;
        else if (name == "fullReadMs")
            t.fullReadMs = ms;
        else if (name == "pairDelayMs")
            t.pairDelayMs = ms;
        else if (name == "pairTimeoutMs")
            t.pairTimeoutMs = ms;
        else if (name == "flashMs")
            t.flashMs = ms;
        else
            return false;
    }
    SetTiming(t);
    return true;
}

}  // namespace

// ---- building ----------------------------------------------------------------

void SetWorld(const World &world)
{
    LogCall("HidSim::SetWorld");
    auto lock = Lock();
    Core &c = Lib();
    // The devices of the world that goes stay in the state file.
    c.otherSaved = SavedDevicesNotIn(SavedState(c), world);
    InstallWorld(c, world);
}

World CurrentWorld()
{
    auto lock = Lock();
    Core &c = Lib();
    World w;
    w.timing = c.timing;
    for (const ReceiverRt &r : c.receivers)
        w.receivers.push_back(r.desc);
    for (const MouseRt &m : c.mice) {
        w.mice.push_back(m.desc);
        w.mice.back().factory = m.factory;
        w.mice.back().stored = m.flash;
    }
    return w;
}

void SetTiming(const Timing &timing)
{
    auto lock = Lock();
    Lib().timing = timing;
}

Timing CurrentTiming()
{
    auto lock = Lock();
    return Lib().timing;
}

QString ScenarioError()
{
    auto lock = Lock();
    return Lib().scenarioError;
}

// ---- changes -------------------------------------------------------------------

bool PlugReceiver(const QString &receiver, bool plugged)
{
    return WithReceiver(receiver, [&](Core &, ReceiverRt &r) {
        if (plugged && !r.desc.plugged)
            r.zeroIdsLeft = r.desc.zeroIdAnswers;
        if (!plugged && r.pairStatus == HIDUSB_PAIR_RUNNING)
            r.pairStatus = HIDUSB_PAIR_FAILED;
        r.desc.plugged = plugged;
    });
}

bool SetPower(const QString &mouse, bool on)
{
    return WithMouse(mouse, [&](Core &c, MouseRt &m) {
        const bool switchedOn = on && !m.desc.powered;
        m.desc.powered = on;
        if (switchedOn) {
            WorldChanged(c);
            // Back on air, the mouse asks the host to refresh its battery state.
            QueueMouseEvent(c, m, HIDUSB_CMD_STATUS, 0, EncodeStatus(1 << 6));
        }
    });
}

bool SetCable(const QString &mouse, bool attached)
{
    return WithMouse(mouse, [&](Core &c, MouseRt &m) {
        if (attached == m.desc.cable)
            return;
        if (attached)
            m.zeroIdsLeft = m.desc.zeroIdAnswers;
        m.desc.cable = attached;
        m.desc.charging = attached;
        WorldChanged(c);
        QueueMouseEvent(c, m, HIDUSB_CMD_BATTERY, 0, EncodeBattery(m.desc.battery, m.desc.charging));
    });
}

bool SetBattery(const QString &mouse, int level, bool charging)
{
    return WithMouse(mouse, [&](Core &c, MouseRt &m) {
        m.desc.battery = qBound(0, level, 100);
        m.desc.charging = charging;
        QueueMouseEvent(c, m, HIDUSB_CMD_BATTERY, 0, EncodeBattery(m.desc.battery, m.desc.charging));
    });
}

bool SetBootMode(const QString &device, bool boot)
{
    return WithMouse(device, [&](Core &, MouseRt &m) { m.desc.bootMode = boot; }) ||
           WithReceiver(device, [&](Core &, ReceiverRt &r) { r.desc.bootMode = boot; });
}

bool SetPairingMode(const QString &mouse, bool on)
{
    return WithMouse(mouse, [&](Core &c, MouseRt &m) {
        m.desc.pairingMode = on;
        if (on)
            OfferPairingMouse(c);
    });
}

bool SetVersion(const QString &device, uint16_t version)
{
    return WithMouse(device, [&](Core &, MouseRt &m) { m.desc.version = version; }) ||
           WithReceiver(device, [&](Core &, ReceiverRt &r) { r.desc.version = version; });
}

bool ReceiverLongRangeOff(const QString &receiver)
{
    return WithReceiver(receiver, [&](Core &c, ReceiverRt &r) {
        r.desc.longRange = false;
        QueueReceiverEvent(c, r, HIDUSB_CMD_LONG_RANGE_OFF, QByteArray(10, '\0'));
    });
}

bool ReceiverLedChanged(const QString &receiver, uint8_t mode)
{
    return WithReceiver(receiver, [&](Core &c, ReceiverRt &r) {
        r.desc.led[0] = mode;
        QueueReceiverEvent(c, r, HIDUSB_CMD_RECEIVER_LED, QByteArray(reinterpret_cast<const char *>(r.desc.led.data()), 10));
    });
}

bool SendStatusChange(const QString &mouse, uint8_t flags)
{
    return WithMouse(mouse, [&](Core &c, MouseRt &m) { QueueMouseEvent(c, m, HIDUSB_CMD_STATUS, 0, EncodeStatus(flags)); });
}

bool SendCommand9(const QString &mouse)
{
    return WithMouse(mouse, [&](Core &c, MouseRt &m) { QueueMouseEvent(c, m, HIDUSB_CMD_RESET_DONE, 0, QByteArray()); });
}

bool InjectReport(uint8_t command, uint8_t subCommand, const QByteArray &data)
{
    auto lock = Lock();
    Core &c = Lib();
    if (!c.callback)
        return false;
    QueueReport(c, command, subCommand, data);
    return true;
}

bool ScriptZeroIdAnswers(const QString &device, int count)
{
    return WithMouse(device, [&](Core &, MouseRt &m) { m.zeroIdsLeft = count; }) ||
           WithReceiver(device, [&](Core &, ReceiverRt &r) { r.zeroIdsLeft = count; });
}

bool ScriptFlashFailure(const QString &device, int atPercent)
{
    const int at = qBound(0, atPercent, 100);
    return WithMouse(device, [&](Core &, MouseRt &m) { m.desc.failNextFlashAt = at; }) ||
           WithReceiver(device, [&](Core &, ReceiverRt &r) { r.desc.failNextFlashAt = at; });
}

bool SlowNextRead(const QString &mouse, int ms)
{
    return WithMouse(mouse, [&](Core &, MouseRt &m) { m.faults.slowReadMs = qMax(0, ms); });
}

bool DropNextReads(const QString &mouse, int count)
{
    return WithMouse(mouse, [&](Core &, MouseRt &m) { m.faults.dropReads += qMax(0, count); });
}

bool GarbageNextDumps(const QString &mouse, int count)
{
    return WithMouse(mouse, [&](Core &, MouseRt &m) { m.faults.garbageDumps += qMax(0, count); });
}

bool FailNextWrites(const QString &mouse, int count)
{
    return WithMouse(mouse, [&](Core &, MouseRt &m) { m.faults.failWrites += qMax(0, count); });
}

bool HoldOpens(const QString &mouse, bool hold)
{
    return WithMouse(mouse, [&](Core &, MouseRt &m) { m.holdOpen = hold; });
}

// ---- text commands -------------------------------------------------------------

QStringList CommandHelp()
{
    return {
        "plug RECEIVER | unplug RECEIVER",
        "power MOUSE on|off            switch a mouse on or off (or out of range)",
        "cable MOUSE on|off            attach or pull the mouse's cable",
        "battery MOUSE LEVEL [charging]",
        "boot DEVICE on|off            put a receiver or mouse into boot mode",
        "pairmode MOUSE on|off         the mouse's pairing mode",
        "version DEVICE 0x0103         the firmware version word",
        "longrange-off RECEIVER        the receiver switched long range off",
        "led RECEIVER MODE             the receiver's LED mode changed on the device",
        "status MOUSE FLAGS            a status-change report (bit i = flag i)",
        "reset-report MOUSE            a command-9 report",
        "zero-ids DEVICE N             the next N identity answers carry ids 0",
        "flashfail DEVICE [PERCENT]    the device's next firmware flash fails at PERCENT (default 100)",
        "slowread MOUSE MS             the mouse's next whole read takes MS milliseconds",
        "dropread MOUSE                the mouse's next read gets no answer",
        "garbage MOUSE                 the mouse's next dump fails the library's check",
        "failwrite MOUSE [N]           the mouse refuses its next N settings writes (1)",
        "holdopen MOUSE on|off         opening the mouse (by cable or receiver) waits until off",
        "timing NAME MS [NAME MS ...]  readLatencyMs, fullReadMs, pairDelayMs, pairTimeoutMs, flashMs",
        "reset                         every device gets its factory state back (settings, pairing, versions)",
    };
}

bool ApplyCommand(const QString &command, QString *error)
{
    LogCall("HidSim::ApplyCommand", command);
    const QStringList w = command.simplified().split(' ', Qt::SkipEmptyParts);
    const QString verb = w.value(0).toLower();
    const QString name = w.value(1);
    bool flag = false;
    int n = 0;
    QString problem;
    bool known = true;
    if (verb == "plug" && w.size() == 2)
        known = PlugReceiver(name, true);
    else if (verb == "unplug" && w.size() == 2)
        known = PlugReceiver(name, false);
    else if (verb == "power" && w.size() == 3 && OnOff(w[2], &flag))
        known = SetPower(name, flag);
    else if (verb == "cable" && w.size() == 3 && OnOff(w[2], &flag))
        known = SetCable(name, flag);
    else if (verb == "battery" && (w.size() == 3 || (w.size() == 4 && w[3] == "charging")) && Number(w[2], &n))
        known = SetBattery(name, n, w.size() == 4);
    else if (verb == "boot" && w.size() == 3 && OnOff(w[2], &flag))
        known = SetBootMode(name, flag);
    else if (verb == "pairmode" && w.size() == 3 && OnOff(w[2], &flag))
        known = SetPairingMode(name, flag);
    else if (verb == "version" && w.size() == 3 && Number(w[2], &n) && n >= 0 && n <= 0xFFFF)
        known = SetVersion(name, uint16_t(n));
    else if (verb == "longrange-off" && w.size() == 2)
        known = ReceiverLongRangeOff(name);
    else if (verb == "led" && w.size() == 3 && Number(w[2], &n) && n >= 0 && n <= 255)
        known = ReceiverLedChanged(name, uint8_t(n));
    else if (verb == "status" && w.size() == 3 && Number(w[2], &n) && n >= 0 && n <= 0x7F)
        known = SendStatusChange(name, uint8_t(n));
    else if (verb == "reset-report" && w.size() == 2)
        known = SendCommand9(name);
    else if (verb == "zero-ids" && w.size() == 3 && Number(w[2], &n) && n >= 0)
        known = ScriptZeroIdAnswers(name, n);
    else if (verb == "flashfail" && w.size() == 2)
        known = ScriptFlashFailure(name);
    else if (verb == "flashfail" && w.size() == 3 && Number(w[2], &n) && n >= 0 && n <= 100)
        known = ScriptFlashFailure(name, n);
    else if (verb == "slowread" && w.size() == 3 && Number(w[2], &n) && n >= 0 && n <= kMaxTimingMs)
        known = SlowNextRead(name, n);
    else if (verb == "dropread" && w.size() == 2)
        known = DropNextReads(name, 1);
    else if (verb == "garbage" && w.size() == 2)
        known = GarbageNextDumps(name, 1);
    else if (verb == "failwrite" && (w.size() == 2 || (w.size() == 3 && Number(w[2], &n) && n >= 1)))
        known = FailNextWrites(name, w.size() == 3 ? n : 1);
    else if (verb == "holdopen" && w.size() == 3 && OnOff(w[2], &flag))
        known = HoldOpens(name, flag);
    else if (verb == "timing" && w.size() >= 3 && w.size() % 2 == 1 && ApplyTimingWords(w.mid(1)))
        known = true;
    else if (verb == "reset" && w.size() == 1)
        ResetWorldState();
    else
        problem = "not understood: \"" + command.simplified() + "\"";
    if (problem.isEmpty() && !known)
        problem = "no device is named \"" + name + "\"";
    if (error)
        *error = problem;
    return problem.isEmpty();
}

// ---- looking -------------------------------------------------------------------

QByteArray PathOf(const QString &device)
{
    auto lock = Lock();
    Core &c = Lib();
    if (const ReceiverRt *r = ReceiverNamed(c, device))
        return r->path ? QByteArray(r->path->text) : QByteArray();
    if (const MouseRt *m = MouseNamed(c, device))
        return m->cablePath ? QByteArray(m->cablePath->text) : QByteArray();
    return QByteArray();
}

QByteArray StoredDump(const QString &mouse)
{
    auto lock = Lock();
    const MouseRt *m = MouseNamed(Lib(), mouse);
    return m ? m->flash[size_t(m->desc.activeProfile)] : QByteArray();
}

QByteArray StoredImage(const QString &mouse, int profile)
{
    auto lock = Lock();
    const MouseRt *m = MouseNamed(Lib(), mouse);
    if (!m || profile >= kProfileCount)
        return QByteArray();
    return DumpToImage(m->flash[size_t(profile < 0 ? m->desc.activeProfile : profile)]);
}

bool SetStoredImage(const QString &mouse, const QByteArray &image, int profile)
{
    auto lock = Lock();
    MouseRt *m = MouseNamed(Lib(), mouse);
    if (!m || profile >= kProfileCount || image.size() != kImageSize)
        return false;
    const int p = profile < 0 ? m->desc.activeProfile : profile;
    m->flash[size_t(p)] = ImageToDump(image, p, m->desc.mid);
    return true;
}

QByteArray FactoryImage(const QString &mouse, int profile)
{
    auto lock = Lock();
    const MouseRt *m = MouseNamed(Lib(), mouse);
    if (!m || profile >= kProfileCount)
        return QByteArray();
    return m->factory[size_t(profile < 0 ? m->desc.activeProfile : profile)];
}

int ActiveProfile(const QString &mouse)
{
    auto lock = Lock();
    const MouseRt *m = MouseNamed(Lib(), mouse);
    return m ? m->desc.activeProfile : -1;
}

int PairStatus(const QString &receiver)
{
    auto lock = Lock();
    const ReceiverRt *r = ReceiverNamed(Lib(), receiver);
    return r ? r->pairStatus : -1;
}

bool PcDriverAttached()
{
    auto lock = Lock();
    return Lib().pcDriverAttached;
}

QByteArray OpenPath()
{
    auto lock = Lock();
    const PathEntry *p = Lib().openPath;
    return p ? QByteArray(p->text) : QByteArray();
}

WriteStats CurrentWriteStats()
{
    auto lock = Lock();
    return Lib().writeStats;
}

void ResetWriteStats()
{
    auto lock = Lock();
    Lib().writeStats = WriteStats();
}

bool WaitUntilIdle(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        bool idle = false;
        {
            auto lock = Lock();
            idle = !DeliverableNow(Lib());
        }
        if (idle && !UsbChangePending())
            return true;
        if (clock.elapsed() > timeoutMs)
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        auto lock = Lock();
        Lib().idleWake.wait_for(lock, std::chrono::milliseconds(5));
    }
}

QString ControlFolder()
{
    const QString given = qEnvironmentVariable("VOGM_WORLD_DIR");
    if (!given.isEmpty())
        return given;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/vogm-world";
}

// ---- watching the command folder and the scenario file -----------------------------

namespace {

// Arms the faults an edited scenario gives a mouse (they replace what is armed).
void ArmFaults(const QString &mouse, const MouseFaults &faults)
{
    WithMouse(mouse, [&](Core &, MouseRt &m) {
        m.faults = faults;
        m.desc.faults = faults;
    });
}

// Applies the running-state fields of an edited scenario to the devices of the
// same name; devices added to or removed from the file are left alone.
void ApplyEditedScenario(const World &w)
{
    const World now = CurrentWorld();
    const Timing t = CurrentTiming();
    if (t.readLatencyMs != w.timing.readLatencyMs || t.fullReadMs != w.timing.fullReadMs
        || t.pairDelayMs != w.timing.pairDelayMs || t.pairTimeoutMs != w.timing.pairTimeoutMs
        || t.flashMs != w.timing.flashMs)
        SetTiming(w.timing);
    for (const Receiver &r : w.receivers) {
        for (const Receiver &old : now.receivers) {
            if (old.name != r.name)
                continue;
            if (old.plugged != r.plugged)
                PlugReceiver(r.name, r.plugged);
            if (old.bootMode != r.bootMode)
                SetBootMode(r.name, r.bootMode);
            if (old.version != r.version)
                SetVersion(r.name, r.version);
            if (old.longRange && !r.longRange)
                ReceiverLongRangeOff(r.name);
            if (old.led[0] != r.led[0])
                ReceiverLedChanged(r.name, r.led[0]);
        }
    }
    for (const Mouse &m : w.mice) {
        for (const Mouse &old : now.mice) {
            if (old.name != m.name)
                continue;
            if (old.powered != m.powered)
                SetPower(m.name, m.powered);
            if (old.cable != m.cable)
                SetCable(m.name, m.cable);
            if (old.battery != m.battery || old.charging != m.charging)
                SetBattery(m.name, m.battery, m.charging);
            if (old.bootMode != m.bootMode)
                SetBootMode(m.name, m.bootMode);
            if (old.pairingMode != m.pairingMode)
                SetPairingMode(m.name, m.pairingMode);
            if (old.version != m.version)
                SetVersion(m.name, m.version);
            if (!(old.faults == m.faults))
                ArmFaults(m.name, m.faults);
        }
    }
}

// When the library was loaded, that is, when the process started: command
// files older than this were meant for an earlier run.
const qint64 g_loadedAtMs = QDateTime::currentMSecsSinceEpoch();

class WorldWatcher : public QObject
{
public:
    // Watches first and looks afterwards, so a command or an edit made while
    // the watch is being set up is found one way or the other.
    void Begin()
    {
        inbox_ = ControlFolder() + "/inbox";
        QDir().mkpath(inbox_);
        watcher_.addPath(inbox_);
        scenario_ = qEnvironmentVariable("VOGM_SCENARIO");
        if (!scenario_.isEmpty()) {
            scenarioFolder_ = QFileInfo(scenario_).absolutePath();
            {
                auto lock = Lock();
                lastScenario_ = Lib().scenarioAtStart;
            }
            watcher_.addPath(scenario_);
            watcher_.addPath(scenarioFolder_);
            connect(&watcher_, &QFileSystemWatcher::fileChanged, this, [this] { ReloadScenario(); });
        }
        connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString &folder) {
            if (folder == inbox_)
                ReadInbox();
            if (!scenario_.isEmpty() && folder == scenarioFolder_)
                ReloadScenario();
        });
        ReadInbox();
        if (!scenario_.isEmpty())
            ReloadScenario();  // an edit made while the program started
    }

private:
    static bool WrittenBeforeThisRun(const QFileInfo &file)
    {
        return file.fileTime(QFileDevice::FileModificationTime).toMSecsSinceEpoch() < g_loadedAtMs;
    }

    void ReadInbox()
    {
        QStringList results;
        // The suffix is compared by hand: a name filter compiles a regular
        // expression, whose library would stay resident in the program.
        for (const QFileInfo &entry : QDir(inbox_).entryInfoList(QDir::Files, QDir::Name)) {
            if (entry.suffix().compare(QLatin1String("cmd"), Qt::CaseInsensitive) != 0)
                continue;
            QFile file(entry.filePath());
            if (WrittenBeforeThisRun(entry)) {
                file.remove();
                continue;
            }
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
            file.close();
            file.remove();
            for (const QString &line : lines) {
                if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
                    continue;
                QString error;
                results << (ApplyCommand(line, &error) ? "ok: " + line.trimmed() : "error: " + error);
            }
        }
        if (!results.isEmpty())
            WriteResults(results);
    }

    void WriteResults(const QStringList &results)
    {
        QSaveFile out(ControlFolder() + "/last-result.txt");
        if (out.open(QIODevice::WriteOnly)) {
            out.write((results.join('\n') + '\n').toUtf8());
            out.commit();
        }
    }

    QByteArray ReadScenarioFile() const
    {
        QFile file(scenario_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // An edit is told by the file's contents: two edits within the same
    // second share a modification time.
    void ReloadScenario()
    {
        // Editors often replace the file: watch the new one again.
        if (!watcher_.files().contains(scenario_) && QFileInfo::exists(scenario_))
            watcher_.addPath(scenario_);
        const QByteArray contents = ReadScenarioFile();
        if (contents == lastScenario_)
            return;
        lastScenario_ = contents;
        World w;
        QString error;
        if (!LoadScenario(scenario_, &w, &error)) {
            WriteResults({"error: scenario not applied: " + error});
            return;
        }
        ApplyEditedScenario(w);
        WriteResults({"ok: scenario applied"});
    }

    QFileSystemWatcher watcher_{this};  // a child: it moves to the watching thread too
    QString inbox_;
    QString scenario_;
    QString scenarioFolder_;
    QByteArray lastScenario_;
};

}  // namespace

void StartWatching()
{
    static std::atomic<bool> started{false};
    if (started.load() || !QCoreApplication::instance())
        return;
    bool expected = false;
    if (!started.compare_exchange_strong(expected, true))
        return;
    if (qEnvironmentVariable("VOGM_WORLD_CONTROL") == "off")
        return;
    // Lives until the application object goes; then the watcher is freed on
    // its own thread, and the thread is stopped and freed. The pointer passes
    // between the threads through an atomic (the watching thread takes it and
    // frees the watcher), and the post routine waits on a promise rather than
    // on a blocking queued call: the thread sanitizer sees neither Qt's
    // semaphore nor its event queue's lock, so only these order the two.
    // Everything both threads touch is made before the thread starts.
    static QThread *thread = nullptr;
    static std::atomic<WorldWatcher *> watcher{nullptr};
    static std::promise<void> freed;
    static std::future<void> watcherFreed = freed.get_future();
    thread = new QThread;
    thread->setObjectName("hidusb-watch");
    auto *created = new WorldWatcher;
    created->moveToThread(thread);
    watcher.store(created);
    QObject::connect(thread, &QThread::started, created, [created] { created->Begin(); });
    thread->start();
    qAddPostRoutine([] {
        QMetaObject::invokeMethod(
            watcher.load(),
            [] {
                delete watcher.exchange(nullptr);
                freed.set_value();
            },
            Qt::QueuedConnection);
        watcherFreed.wait();
        thread->quit();
        thread->wait();
        delete thread;
        thread = nullptr;
    });
}

}  // namespace HidSim
