// The built-in default world, the models' factory images and the JSON
// scenario reader (format: README.md).

#include "simcore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

namespace HidSim {

namespace {

struct DpiCode {
    uint8_t code;
    uint8_t flags;
};

// Eight levels per model, in the coding the program's sensor page decodes for
// the model's sensor and DPIRange. Level values in the comments.
const DpiCode *FactoryDpiCodes(uint8_t mid)
{
    // "3950", code = dpi / 50 - 1 from its define table, range mode 0x22 above 800:
    // 400 800 1200 1600 | 200 600 1000 1400
    static const DpiCode drive1[8] = {{7, 0}, {15, 0}, {11, 0x22}, {15, 0x22},
                                      {3, 0}, {11, 0}, {9, 0x22}, {13, 0x22}};
    // "3395", plain 10-bit coding, mode 0x22 above 10000:
    // 400 800 1600 3200 | 6400 10000 12000 26000
    static const DpiCode drive2[8] = {{7, 0}, {15, 0}, {31, 0}, {63, 0},
                                      {127, 0}, {199, 0}, {119, 0x22}, {3, 0x66}};
    // "S100", plain coding, mode 0x33 with the maxima 1000 2000 3000 4000:
    // 400 800 1600 3200 | 2000 3000 4000 1200
    static const DpiCode drive3[8] = {{7, 0}, {15, 0}, {31, 0}, {31, 0x11},
                                      {39, 0}, {29, 0x22}, {39, 0x11}, {23, 0}};
    switch (mid) {
    case 1: return drive1;
    case 3: return drive3;
    default: return drive2;
    }
}

constexpr uint8_t kLevelColours[8][3] = {{255, 0, 0}, {0, 255, 0},   {0, 0, 255},   {255, 255, 0},
                                         {0, 255, 255}, {255, 0, 255}, {255, 255, 255}, {255, 128, 0}};

bool ParseNumber(const QJsonValue &value, int *out)
{
    if (value.isDouble()) {
        *out = value.toInt();
        return true;
    }
    bool ok = false;
    QString text = value.toString().trimmed();
    const int n = text.startsWith("0x", Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok, 10);
    if (ok)
        *out = n;
    return ok;
}

bool ParseAddress(const QString &text, Address *out)
{
    const QStringList parts = text.split(':');
    if (parts.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int b = parts[i].toInt(&ok, 16);
        if (!ok || b < 0 || b > 255)
            return false;
        (*out)[size_t(i)] = uint8_t(b);
    }
    return true;
}

// Reads the keys of one JSON object into the fields named by the table;
// unknown keys are an error so a typo does not pass silently.
class Reader
{
public:
    Reader(const QJsonObject &object, const QString &where, QString *error)
        : object_(object), where_(where), error_(error)
    {
    }
    bool Fail(const QString &key, const QString &what)
    {
        if (error_->isEmpty())
            *error_ = QStringLiteral("%1: \"%2\" %3").arg(where_, key, what);
        return false;
    }
    void Int(const char *key, int *out, int lo, int hi)
    {
        used_ << key;
        if (!object_.contains(key))
            return;
        int v = 0;
        if (!ParseNumber(object_.value(key), &v) || v < lo || v > hi)
            Fail(key, QStringLiteral("must be a number from %1 to %2").arg(lo).arg(hi));
        else
            *out = v;
    }
    template <typename T>
    void Small(const char *key, T *out, int lo, int hi)
    {
        int v = int(*out);
        Int(key, &v, lo, hi);
        *out = T(v);
    }
    void Bool(const char *key, bool *out)
    {
        used_ << key;
        if (!object_.contains(key))
            return;
        if (!object_.value(key).isBool())
            Fail(key, "must be true or false");
        else
            *out = object_.value(key).toBool();
    }
    void Text(const char *key, QString *out)
    {
        used_ << key;
        if (object_.contains(key))
            *out = object_.value(key).toString();
    }
    void Bytes(const char *key, QByteArray *out)
    {
        QString s = QString::fromLatin1(*out);
        Text(key, &s);
        *out = s.toLatin1();
    }
    void Addr(const char *key, Address *out)
    {
        used_ << key;
        if (object_.contains(key) && !ParseAddress(object_.value(key).toString(), out))
            Fail(key, "must be three hexadecimal bytes like \"3A:51:07\"");
    }
    void Use(const char *key) { used_ << key; }
    bool Finish()
    {
        for (const QString &key : object_.keys()) {
            if (!used_.contains(key))
                Fail(key, "is not a known key");
        }
        return error_->isEmpty();
    }

private:
    QJsonObject object_;
    QString where_;
    QString *error_;
    QStringList used_;
};

// "patch": {"0x05": "02", "0x0F": "07 07 00"} sets image bytes of the factory image.
bool ApplyPatch(const QJsonObject &patch, QByteArray *image, QString *error, const QString &where)
{
    for (auto it = patch.begin(); it != patch.end(); ++it) {
        int offset = 0;
        if (!ParseNumber(QJsonValue(it.key()), &offset) || offset < 0) {
            *error = where + ": patch offset \"" + it.key() + "\" is not a number";
            return false;
        }
        const QByteArray bytes = QByteArray::fromHex(it.value().toString().toLatin1());
        // Compared without adding, so no offset can overflow.
        if (bytes.isEmpty() || bytes.size() > kImageSize || offset > kImageSize - bytes.size()) {
            *error = where + ": patch at \"" + it.key() + "\" is empty or beyond the image";
            return false;
        }
        image->replace(offset, bytes.size(), bytes);
    }
    return true;
}

bool ReadReceiver(const QJsonObject &o, Receiver *r, QString *error)
{
    Reader in(o, QStringLiteral("receiver \"%1\"").arg(o.value("name").toString()), error);
    in.Text("name", &r->name);
    in.Small("linkType", &r->linkType, 0, 255);
    r->hasLed = r->linkType == 1;
    in.Small("vid", &r->vid, 0, 0xFFFF);
    in.Small("pid", &r->pid, 0, 0xFFFF);
    in.Small("cid", &r->cid, 0, 255);
    in.Small("mid", &r->mid, 0, 255);
    in.Addr("address", &r->address);
    in.Text("mouse", &r->mouse);
    in.Small("version", &r->version, 0, 0xFFFF);
    in.Bytes("modelName", &r->modelName);
    in.Bool("plugged", &r->plugged);
    in.Bool("bootMode", &r->bootMode);
    in.Bool("longRange", &r->longRange);
    in.Bool("hasLed", &r->hasLed);
    in.Small("ledMode", &r->led[0], 0, 255);
    in.Bool("reportsIdsWhenOff", &r->reportsIdsWhenOff);
    in.Int("zeroIdAnswers", &r->zeroIdAnswers, 0, 1000);
    in.Int("failNextFlashAt", &r->failNextFlashAt, 0, 100);
    if (r->name.isEmpty())
        in.Fail("name", "is missing");
    return in.Finish();
}

bool ReadMouse(const QJsonObject &o, Mouse *m, QString *error)
{
    const QString where = QStringLiteral("mouse \"%1\"").arg(o.value("name").toString());
    Reader in(o, where, error);
    in.Text("name", &m->name);
    in.Small("cid", &m->cid, 0, 255);
    in.Small("mid", &m->mid, 0, 255);
    in.Small("linkType", &m->linkType, 2, 3);
    in.Small("vid", &m->vid, 0, 0xFFFF);
    in.Small("pid", &m->pid, 0, 0xFFFF);
    in.Bool("cable", &m->cable);
    in.Bool("wirelessOffWhenCabled", &m->wirelessOffWhenCabled);
    in.Bool("powered", &m->powered);
    in.Int("battery", &m->battery, 0, 100);
    in.Bool("charging", &m->charging);
    in.Small("version", &m->version, 0, 0xFFFF);
    in.Bytes("modelName", &m->modelName);
    in.Addr("address", &m->address);
    in.Bool("bootMode", &m->bootMode);
    in.Bool("pairingMode", &m->pairingMode);
    in.Text("sensor", &m->sensor);
    in.Int("zeroIdAnswers", &m->zeroIdAnswers, 0, 1000);
    in.Int("activeProfile", &m->activeProfile, 0, kProfileCount - 1);
    in.Int("failNextFlashAt", &m->failNextFlashAt, 0, 100);
    in.Int("slowReadMs", &m->faults.slowReadMs, 0, 600000);
    in.Int("dropReads", &m->faults.dropReads, 0, 1000);
    in.Int("garbageDumps", &m->faults.garbageDumps, 0, 1000);
    in.Int("failWrites", &m->faults.failWrites, 0, 1000);
    in.Use("patch");
    if (m->name.isEmpty())
        in.Fail("name", "is missing");
    if (!in.Finish())
        return false;
    QByteArray image = DefaultFactoryImage(m->mid);
    if (o.contains("patch") && !ApplyPatch(o.value("patch").toObject(), &image, error, where))
        return false;
    m->factory = {image};
    return true;
}

bool ReadTiming(const QJsonObject &o, Timing *t, QString *error)
{
    Reader in(o, "timing", error);
    in.Int("readLatencyMs", &t->readLatencyMs, 0, 60000);
    in.Int("fullReadMs", &t->fullReadMs, 0, 60000);
    in.Int("pairDelayMs", &t->pairDelayMs, 0, 600000);
    in.Int("pairTimeoutMs", &t->pairTimeoutMs, 0, 600000);
    in.Int("flashMs", &t->flashMs, 0, 600000);
    return in.Finish();
}

bool CheckNames(const World &w, QString *error)
{
    QStringList names;
    for (const Receiver &r : w.receivers)
        names << r.name;
    for (const Mouse &m : w.mice)
        names << m.name;
    for (const QString &n : names) {
        if (names.count(n) > 1) {
            *error = "the name \"" + n + "\" is used twice";
            return false;
        }
    }
    for (const Receiver &r : w.receivers) {
        bool found = r.mouse.isEmpty();
        for (const Mouse &m : w.mice)
            found = found || m.name == r.mouse;
        if (!found) {
            *error = "receiver \"" + r.name + "\" names an unknown mouse \"" + r.mouse + "\"";
            return false;
        }
    }
    return true;
}

}  // namespace

QByteArray DefaultFactoryImage(uint8_t mid)
{
    // Built in a plain buffer (see ImageToDump).
    std::vector<uint8_t> bytes(kImageSize, 0);
    uint8_t *b = bytes.data();
    b[0x000] = 1;   // 1000 Hz
    b[0x001] = 4;   // four DPI levels
    b[0x002] = 1;   // the second is current
    b[0x005] = 1;   // lift-off 1 mm
    b[0x006] = 4;   // debounce 4 ms
    b[0x008] = 6;   // sleep after 60 s
    b[0x00D] = 6;
    b[0x00E] = 1;   // high-performance sensor mode
    const DpiCode *codes = FactoryDpiCodes(mid);
    for (int level = 0; level < 8; ++level) {
        uint8_t *rec = b + 0x00F + 6 * level;
        rec[0] = codes[level].code;
        rec[1] = codes[level].code;
        rec[2] = codes[level].flags;
        rec[3] = kLevelColours[level][0];
        rec[4] = kLevelColours[level][1];
        rec[5] = kLevelColours[level][2];
    }
    b[0x03F] = 1;  // DPI LED steady
    b[0x040] = 3;
    b[0x041] = 3;
    b[0x042] = 1;  // on
    b[0x043] = 1;  // LED bar mode 1
    b[0x044] = 0x00;
    b[0x045] = 0x80;
    b[0x046] = 0xFF;
    b[0x047] = 2;
    b[0x048] = 4;
    b[0x049] = 1;
    const uint8_t keys[6][3] = {{1, 0x01, 0}, {1, 0x02, 0}, {1, 0x04, 0}, {1, 0x08, 0}, {1, 0x10, 0}, {2, 0x01, 0}};
    for (int k = 0; k < 6; ++k) {
        for (int i = 0; i < 3; ++i)
            b[0x04A + 3 * k + i] = keys[k][i];
    }
    b[0x07A] = 0xC3;  // the device's own marker
    b[0x07B] = uint8_t(0x10 + mid);
    return QByteArray(reinterpret_cast<const char *>(b), int(bytes.size()));
}

World DefaultWorld()
{
    World w;
    Mouse m1;
    m1.name = "m1";
    m1.mid = 1;
    m1.cable = true;
    m1.charging = true;
    m1.battery = 64;
    m1.modelName = "VOM-M1";
    m1.address = {0x1C, 0x22, 0x90};
    m1.sensor = "3950";
    Mouse m2 = m1;
    m2.name = "m2";
    m2.mid = 2;
    m2.cable = false;
    m2.charging = false;
    m2.battery = 80;
    m2.modelName = "VOM-M2";
    m2.address = {0x3A, 0x51, 0x07};
    m2.sensor = "3395";
    Mouse m3 = m2;
    m3.name = "m3";
    m3.mid = 3;
    m3.powered = false;
    m3.battery = 45;
    m3.modelName = "VOM-M3";
    m3.address = {0x55, 0x10, 0xE2};
    m3.sensor = "S100";
    w.mice = {m1, m2, m3};

    Receiver r4;
    r4.name = "r4k";
    r4.linkType = 1;
    r4.pid = 0xFF14;
    r4.mid = 2;
    r4.address = m2.address;
    r4.mouse = "m2";
    r4.modelName = "VOR-M2-4K";
    r4.hasLed = true;
    Receiver r8 = r4;
    r8.name = "r8k";
    r8.linkType = 5;
    r8.pid = 0xFF18;
    r8.mid = 3;
    r8.address = m3.address;
    r8.mouse = "m3";
    r8.modelName = "VOR-M3-8K";
    r8.hasLed = false;
    r8.led = {};
    w.receivers = {r4, r8};
    return w;
}

bool ParseScenario(const QByteArray &json, World *world, QString *error)
{
    QString problem;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull() || !doc.isObject()) {
        problem = doc.isNull() ? parseError.errorString() + QStringLiteral(" at byte %1").arg(parseError.offset)
                               : QStringLiteral("the top level must be an object");
    }
    World w;
    const QJsonObject top = doc.object();
    if (problem.isEmpty()) {
        Reader in(top, "scenario", &problem);
        in.Use("receivers");
        in.Use("mice");
        in.Use("timing");
        in.Use("comment");
        in.Finish();
    }
    if (problem.isEmpty() && top.contains("timing"))
        ReadTiming(top.value("timing").toObject(), &w.timing, &problem);
    for (const QJsonValue &v : top.value("mice").toArray()) {
        Mouse m;
        if (problem.isEmpty() && ReadMouse(v.toObject(), &m, &problem))
            w.mice.push_back(m);
    }
    for (const QJsonValue &v : top.value("receivers").toArray()) {
        Receiver r;
        if (problem.isEmpty() && ReadReceiver(v.toObject(), &r, &problem))
            w.receivers.push_back(r);
    }
    if (problem.isEmpty())
        CheckNames(w, &problem);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    *world = w;
    return true;
}

bool LoadScenario(const QString &file, World *world, QString *error)
{
    QByteArray content;
    if (!ReadRegularFile(file, &content, error))
        return false;
    return ParseScenario(content, world, error);
}

}  // namespace HidSim
