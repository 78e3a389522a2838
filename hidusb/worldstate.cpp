// Keeping the world across runs: what the devices keep is written to the
// state file in the control folder after every change (by a thread of the
// library, never under the mutex) and applied, by device name, when the
// library starts. And the text `vogm-world show` prints of a mouse.

#include "simcore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <thread>

namespace HidSim {

namespace {

constexpr int kStateFormat = 1;

QString Hex16(uint16_t value)
{
    return QStringLiteral("0x%1").arg(value, 4, 16, QLatin1Char('0'));
}

bool ParseHex16(const QJsonValue &value, uint16_t *out)
{
    bool ok = false;
    const QString text = value.toString();
    const uint n = text.startsWith("0x") ? text.mid(2).toUInt(&ok, 16) : 0;
    if (ok && n <= 0xFFFF)
        *out = uint16_t(n);
    return ok && n <= 0xFFFF;
}

bool ParseAddressText(const QString &text, Address *out)
{
    const QStringList parts = text.split(':');
    if (parts.size() != 3)
        return false;
    Address a{};
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const uint b = parts[i].toUInt(&ok, 16);
        if (!ok || b > 255)
            return false;
        a[size_t(i)] = uint8_t(b);
    }
    *out = a;
    return true;
}

// A profile that still holds its factory image is saved as "" (the file
// stays small: most runs change a profile or two, if any).
QJsonObject MouseState(const MouseRt &m)
{
    QJsonArray flash;
    for (int p = 0; p < int(m.flash.size()); ++p) {
        const QByteArray &dump = m.flash[size_t(p)];
        const bool factory = dump == ImageToDump(m.factory[size_t(p)], p, m.desc.mid);
        flash.append(factory ? QString() : QString::fromLatin1(dump.toBase64()));
    }
    QJsonObject o;
    o["mid"] = m.desc.mid;
    o["activeProfile"] = m.desc.activeProfile;
    o["address"] = HexAddress(m.desc.address);
    o["version"] = Hex16(m.desc.version);
    o["bootMode"] = m.desc.bootMode;
    o["flash"] = flash;
    return o;
}

QJsonObject ReceiverState(const ReceiverRt &r)
{
    QJsonObject o;
    o["mouse"] = r.desc.mouse;
    o["longRange"] = r.desc.longRange;
    o["led"] = QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(r.desc.led.data()), 10).toHex());
    o["version"] = Hex16(r.desc.version);
    o["bootMode"] = r.desc.bootMode;
    return o;
}

// A device restarted into its boot loader stays there across runs; a state
// saved before boot mode was kept says nothing of it.
void ApplyBootMode(const QJsonObject &o, bool *bootMode)
{
    if (o.contains("bootMode"))
        *bootMode = o.value("bootMode").toBool();
}

// A saved mouse of another model is not this mouse: its flash would not fit.
bool ApplyMouseState(const QJsonObject &o, Mouse *m)
{
    if (o.value("mid").toInt(-1) != m->mid)
        return false;
    std::vector<QByteArray> flash;  // an empty profile keeps its factory image
    for (const QJsonValue &v : o.value("flash").toArray())
        flash.push_back(QByteArray::fromBase64(v.toString().toLatin1()));
    if (int(flash.size()) != kProfileCount)
        return false;
    for (const QByteArray &dump : flash) {
        if (!dump.isEmpty() && dump.size() != kDumpSize)
            return false;
    }
    Mouse saved = *m;
    saved.stored = flash;
    saved.activeProfile = qBound(0, o.value("activeProfile").toInt(), kProfileCount - 1);
    if (!ParseAddressText(o.value("address").toString(), &saved.address) || !ParseHex16(o.value("version"), &saved.version))
        return false;
    ApplyBootMode(o, &saved.bootMode);
    *m = saved;
    return true;
}

bool ApplyReceiverState(const QJsonObject &o, const World &world, Receiver *r)
{
    Receiver saved = *r;
    const QByteArray led = QByteArray::fromHex(o.value("led").toString().toLatin1());
    if (led.size() != 10 || !ParseHex16(o.value("version"), &saved.version))
        return false;
    saved.mouse = o.value("mouse").toString();
    bool known = saved.mouse.isEmpty();
    for (const Mouse &m : world.mice)
        known = known || m.name == saved.mouse;
    if (!known)
        return false;
    saved.longRange = o.value("longRange").toBool();
    ApplyBootMode(o, &saved.bootMode);
    std::copy(led.begin(), led.end(), saved.led.begin());
    *r = saved;
    return true;
}

QJsonObject ObjectOf(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

void WriteStateFile(const QString &file, const QByteArray &state)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(state) != state.size() || !out.commit())
        qWarning("HIDUsb: the world's state could not be saved to %s", qPrintable(file));
}

void SaverLoop(Core &c)
{
    QByteArray written;
    std::unique_lock<std::mutex> lock(c.mutex);
    for (;;) {
        c.saveWake.wait(lock, [&c] { return c.saveDirty; });
        c.saveDirty = false;
        c.saving = true;
        const QByteArray state = SavedState(c);
        lock.unlock();
        const QString file = WorldStateFile();
        if (state != written || !QFile::exists(file)) {
            WriteStateFile(file, state);
            written = state;
        }
        lock.lock();
        c.saving = false;
        c.idleWake.notify_all();
    }
}

// ---- describing a mouse -------------------------------------------------------------

struct Field {
    int offset;
    const char *name;
};

const Field kSettingsFields[] = {
    {0x000, "ReportRate"},    {0x001, "DpiLevelCount"},    {0x002, "DpiLevel"},        {0x003, "Byte3"},
    {0x004, "Byte4"},         {0x005, "Lod"},              {0x006, "DebounceTime"},    {0x007, "MotionSync"},
    {0x008, "StopCloseTime"}, {0x009, "StraightLine"},     {0x00A, "RippeControl"},    {0x00B, "MoveLightOff"},
    {0x00C, "Performance"},   {0x00D, "PerformanceOpen"},  {0x00E, "SensorMode"},      {0x03F, "DpiLedMode"},
    {0x040, "DpiLedBrightness"}, {0x041, "DpiLedSpeed"},   {0x042, "DpiLedOn"},        {0x043, "LightMode"},
    {0x044, "LightRed"},      {0x045, "LightGreen"},       {0x046, "LightBlue"},       {0x047, "LightSpeed"},
    {0x048, "LightBrightness"}, {0x049, "LightOn"},
};
constexpr int kLevelsOffset = 0x00F;
constexpr int kKeysOffset = 0x04A;
constexpr int kMarkerOffset = 0x07A;
constexpr int kMacrosOffset = 0x3BC;
constexpr int kMacroRecordSize = 592;
constexpr int kMacroNameSize = 30;

QString ByteText(uint8_t value)
{
    return QStringLiteral("%1 (0x%2)").arg(value).arg(value, 2, 16, QLatin1Char('0'));
}

QString OnOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString ReceiverLine(const Receiver &r)
{
    return QStringLiteral("receiver %1: link type %2, %3, firmware %4, boot mode %5, %6, paired with %7")
        .arg(r.name)
        .arg(r.linkType)
        .arg(QString::fromLatin1(r.modelName), Hex16(r.version), OnOff(r.bootMode),
             r.plugged ? QStringLiteral("plugged") : QStringLiteral("unplugged"),
             r.mouse.isEmpty() ? QStringLiteral("no mouse") : r.mouse);
}

QString MouseLine(const Mouse &m)
{
    return QStringLiteral("mouse %1: model %2, %3, firmware %4, boot mode %5, address %6")
        .arg(m.name)
        .arg(m.mid)
        .arg(QString::fromLatin1(m.modelName), Hex16(m.version), OnOff(m.bootMode), HexAddress(m.address));
}

}  // namespace

void MarkWorldDirty(Core &c)
{
    c.saveDirty = true;
    c.saveWake.notify_all();
}

void SaveWorldNow(Core &c, std::unique_lock<std::mutex> &lock)
{
    MarkWorldDirty(c);
    // The bound only keeps a broken disk from stopping the library.
    c.idleWake.wait_for(lock, std::chrono::seconds(10), [&c] { return !c.saveDirty && !c.saving; });
}

void StartStateSaver(Core &c)
{
    std::thread([&c] { SaverLoop(c); }).detach();
}

QByteArray SavedState(const Core &c)
{
    QJsonObject top = ObjectOf(c.otherSaved);
    QJsonObject mice = top.value("mice").toObject();
    QJsonObject receivers = top.value("receivers").toObject();
    for (const MouseRt &m : c.mice)
        mice[m.desc.name] = MouseState(m);
    for (const ReceiverRt &r : c.receivers)
        receivers[r.desc.name] = ReceiverState(r);
    top["format"] = kStateFormat;
    top["mice"] = mice;
    top["receivers"] = receivers;
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

QByteArray SavedDevicesNotIn(const QByteArray &state, const World &world)
{
    const QJsonObject top = ObjectOf(state);
    QJsonObject mice = top.value("mice").toObject();
    QJsonObject receivers = top.value("receivers").toObject();
    for (const Mouse &m : world.mice)
        mice.remove(m.name);
    for (const Receiver &r : world.receivers)
        receivers.remove(r.name);
    QJsonObject others;
    others["mice"] = mice;
    others["receivers"] = receivers;
    return QJsonDocument(others).toJson(QJsonDocument::Compact);
}

QString WorldStateFile()
{
    return ControlFolder() + "/world-state.json";
}

bool ApplySavedState(const QByteArray &state, World *world, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(state, &parseError);
    if (!doc.isObject() || doc.object().value("format").toInt() != kStateFormat) {
        if (error)
            *error = QStringLiteral("not a saved world state");
        return false;
    }
    const QJsonObject mice = doc.object().value("mice").toObject();
    const QJsonObject receivers = doc.object().value("receivers").toObject();
    QStringList refused;
    for (Mouse &m : world->mice) {
        if (mice.contains(m.name) && !ApplyMouseState(mice.value(m.name).toObject(), &m))
            refused << m.name;
    }
    for (Receiver &r : world->receivers) {
        if (receivers.contains(r.name) && !ApplyReceiverState(receivers.value(r.name).toObject(), *world, &r))
            refused << r.name;
    }
    if (!refused.isEmpty() && error)
        *error = "saved state not used for " + refused.join(", ");
    return true;
}

World StartingWorld(QString *error)
{
    World world = DefaultWorld();
    const QByteArray scenario = qgetenv("VOGM_SCENARIO");
    QString problem;
    if (!scenario.isEmpty() && !LoadScenario(QString::fromLocal8Bit(scenario), &world, &problem)) {
        problem = QStringLiteral("scenario %1 not used: %2").arg(QString::fromLocal8Bit(scenario), problem);
        world = DefaultWorld();
    }
    QFile saved(WorldStateFile());
    if (saved.open(QIODevice::ReadOnly)) {
        QString stateProblem;
        ApplySavedState(saved.readAll(), &world, &stateProblem);
        if (!stateProblem.isEmpty())
            problem += (problem.isEmpty() ? QString() : QStringLiteral("; ")) + stateProblem;
    }
    if (error)
        *error = problem;
    return world;
}

void ResetWorldState()
{
    LogCall("HidSim::ResetWorldState");
    auto lock = Lock();
    Core &c = Lib();
    for (MouseRt &m : c.mice) {
        for (const Mouse &factory : c.factoryWorld.mice) {
            if (factory.name != m.desc.name)
                continue;
            for (int p = 0; p < kProfileCount; ++p)
                m.flash[size_t(p)] = ImageToDump(m.factory[size_t(p)], p, m.desc.mid);
            m.desc.activeProfile = factory.activeProfile;
            m.desc.address = factory.address;
            m.desc.version = factory.version;
            m.desc.bootMode = factory.bootMode;
        }
    }
    for (ReceiverRt &r : c.receivers) {
        for (const Receiver &factory : c.factoryWorld.receivers) {
            if (factory.name != r.desc.name)
                continue;
            r.desc.mouse = factory.mouse;
            r.desc.longRange = factory.longRange;
            r.desc.led = factory.led;
            r.desc.version = factory.version;
            r.desc.bootMode = factory.bootMode;
        }
    }
    WorldChanged(c);
}

QString DescribeStoredMouse(const World &world, const QString &mouse)
{
    const Mouse *found = nullptr;
    for (const Mouse &m : world.mice)
        found = m.name == mouse ? &m : found;
    if (!found)
        return QString();
    const Mouse &m = *found;
    const int profile = m.activeProfile;
    QByteArray image;
    if (int(m.stored.size()) == kProfileCount && m.stored[size_t(profile)].size() == kDumpSize)
        image = DumpToImage(m.stored[size_t(profile)]);
    else
        image = m.factory.empty() ? DefaultFactoryImage(m.mid)
                                  : m.factory[size_t(qMin<int>(profile, int(m.factory.size()) - 1))];
    image = image.leftJustified(kImageSize, '\0', true);
    const auto byteAt = [&image](int offset) { return uint8_t(image[offset]); };

    QStringList out;
    out << MouseLine(m);
    const bool factory = int(m.stored.size()) != kProfileCount || m.stored[size_t(profile)].size() != kDumpSize;
    out << QStringLiteral("active profile: %1%2").arg(profile).arg(factory ? " (factory settings)" : "");
    out << "settings:";
    for (const Field &f : kSettingsFields)
        out << QStringLiteral("  %1 %2").arg(QLatin1String(f.name), -17).arg(ByteText(byteAt(f.offset)));
    out << QStringLiteral("  %1 %2 %3").arg(QLatin1String("marker"), -17).arg(byteAt(kMarkerOffset), 2, 16, QLatin1Char('0'))
               .arg(byteAt(kMarkerOffset + 1), 2, 16, QLatin1Char('0'));
    out << "DPI levels (X code, Y code, flags, red, green, blue):";
    for (int level = 0; level < 8; ++level) {
        const int at = kLevelsOffset + 6 * level;
        out << QStringLiteral("  %1: %2 %3 0x%4  %5 %6 %7")
                   .arg(level)
                   .arg(byteAt(at))
                   .arg(byteAt(at + 1))
                   .arg(byteAt(at + 2), 2, 16, QLatin1Char('0'))
                   .arg(byteAt(at + 3))
                   .arg(byteAt(at + 4))
                   .arg(byteAt(at + 5));
    }
    out << "key entries (type, parameter 1, parameter 2):";
    for (int key = 0; key < 16; ++key) {
        const int at = kKeysOffset + 3 * key;
        out << QStringLiteral("  %1: %2 0x%3 0x%4")
                   .arg(key, 2)
                   .arg(byteAt(at))
                   .arg(byteAt(at + 1), 2, 16, QLatin1Char('0'))
                   .arg(byteAt(at + 2), 2, 16, QLatin1Char('0'));
    }
    QStringList macros;
    for (int button = 0; button < kKeptMacroButtons; ++button) {
        const int at = kMacrosOffset + kMacroRecordSize * button;
        const QByteArray name = image.mid(at + 1, kMacroNameSize);
        const QByteArray text = name.left(name.indexOf('\0') < 0 ? kMacroNameSize : name.indexOf('\0'));
        if (!text.isEmpty())
            macros << QStringLiteral("  %1: \"%2\", %3 events").arg(button).arg(QString::fromLocal8Bit(text)).arg(byteAt(at + 31));
    }
    out << (macros.isEmpty() ? QStringLiteral("macros: none") : QStringLiteral("macros:"));
    out << macros;
    return out.join('\n') + '\n';
}

QString DescribeDevice(const World &world, const QString &name)
{
    for (const Receiver &r : world.receivers) {
        if (r.name == name)
            return ReceiverLine(r) + '\n';
    }
    return DescribeStoredMouse(world, name);
}

QString DescribeDevices(const World &world)
{
    QStringList out;
    for (const Receiver &r : world.receivers)
        out << ReceiverLine(r);
    for (const Mouse &m : world.mice)
        out << MouseLine(m);
    return out.join('\n') + '\n';
}

}  // namespace HidSim
