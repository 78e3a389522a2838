#include "sensorcoding.h"

#include "sensormodel.h"

#include <algorithm>
#include <limits>

namespace {

constexpr int kPlainStep = 50;
constexpr int kEightBitLimit = 0xFF;
constexpr int kTenBitLimit = 0x3FF;
constexpr uint8_t kDoubleBits = 0x11;
constexpr uint8_t kStep100Bits = 0x22;
constexpr uint8_t kHighBitsRead = 0xC0;
// A decoded define DPI is doubled at most twice; larger ones cannot be shown.
constexpr int kMaxDefineDpi = std::numeric_limits<int>::max() / 4;

// One define of the sensor's DPI table: "SENSOR_<name>_DPI_<Dpi>" = Code.
struct DpiDefine {
    QString Name;
    int Dpi = 0;
    int Code = 0;
};

QString DefinePrefix(const QString &sensorName)
{
    return QStringLiteral("SENSOR_") + sensorName + QStringLiteral("_DPI");
}

// The DPI number that follows "SENSOR_<name>_DPI_" in a define name; 0 when
// there is none. Reading after the matched prefix (rather than after some
// letter) keeps sensor names with any letters in them working.
int DpiOfDefineName(const QString &name, const QString &prefix)
{
    const QString numbered = prefix + QLatin1Char('_');
    const int at = name.indexOf(numbered);
    if (at < 0)
        return 0;
    bool ok = false;
    const int dpi = name.mid(at + numbered.size()).toInt(&ok, 10);
    return ok && dpi > 0 ? dpi : 0;
}

// Whether a define's DPI belongs to the model: within its DPI range when the
// range is known, and never so large that doubling it overflows.
bool InModelRange(const DpiCodingModel &model, int dpi)
{
    if (dpi > kMaxDefineDpi)
        return false;
    if (!model.RangeMinList.isEmpty() && dpi < *std::min_element(model.RangeMinList.begin(), model.RangeMinList.end()))
        return false;
    return model.RangeMaxList.isEmpty() || dpi <= *std::max_element(model.RangeMaxList.begin(), model.RangeMaxList.end());
}

// The defines that can be written and read back: a DPI number after the
// prefix within the model's range and a value that fits the code byte. File
// order is kept.
QList<DpiDefine> UsableDefines(const DpiCodingModel &model)
{
    QList<DpiDefine> defines;
    const QString prefix = DefinePrefix(model.SensorName);
    const int count = std::min(model.DefineNames.size(), model.DefineValues.size());
    for (int i = 0; i < count; ++i) {
        const QString &name = model.DefineNames.at(i);
        const int code = model.DefineValues.at(i);
        if (!name.contains(prefix) || code < 0 || code > kEightBitLimit)
            continue;
        const int dpi = DpiOfDefineName(name, prefix);
        if (dpi > 0 && InModelRange(model, dpi))
            defines << DpiDefine{name, dpi, code};
    }
    return defines;
}

// The define named for `wanted`; otherwise the one with the largest DPI not
// above it; otherwise the smallest. `defines` is not empty.
const DpiDefine &ChooseDefine(const QList<DpiDefine> &defines, const QString &exactName, int wanted)
{
    for (const DpiDefine &define : defines) {
        if (define.Name == exactName)
            return define;
    }
    const DpiDefine *below = nullptr;
    const DpiDefine *smallest = &defines.first();
    for (const DpiDefine &define : defines) {
        if (define.Dpi <= wanted && (!below || define.Dpi > below->Dpi))
            below = &define;
        if (define.Dpi < smallest->Dpi)
            smallest = &define;
    }
    return below ? *below : *smallest;
}

DpiLevelCode EncodeWithDefines(const DpiCodingModel &model, const QList<DpiDefine> &defines, int dpi)
{
    const DpiRangeFactor range = RangeFactorFor(model, dpi);
    const int wanted = dpi / range.Factor;
    const QString exactName = DefinePrefix(model.SensorName) + QLatin1Char('_') + QString::number(wanted);
    const DpiDefine &define = ChooseDefine(defines, exactName, wanted);
    DpiLevelCode result;
    result.Code = define.Code;
    result.X = uint8_t(define.Code);
    result.Flags = range.Bits;
    return result;
}

DpiLevelCode EncodePlain(const DpiCodingModel &model, int dpi)
{
    const DpiRangeFactor range = RangeFactorFor(model, dpi);
    const bool tenBit = HasTenBitCode(model.SensorName);
    const int limit = tenBit ? kTenBitLimit : kEightBitLimit;
    DpiLevelCode result;
    result.Code = std::clamp(dpi / (kPlainStep * range.Factor) - 1, 0, limit);
    result.X = uint8_t(result.Code & 0xFF);
    result.Flags = range.Bits;
    if (tenBit) {
        const int high = result.Code >> 8;
        result.Flags = uint8_t(result.Flags | (high << 2) | (high << 6));
    }
    return result;
}

int DecodeWithDefines(const QList<DpiDefine> &defines, uint8_t x, uint8_t flags)
{
    int dpi = 0;
    for (const DpiDefine &define : defines) {
        if (define.Code == x) {
            dpi = define.Dpi;
            break;
        }
    }
    if (flags & kDoubleBits)
        dpi *= 2;
    if (flags & kStep100Bits)
        dpi *= 2;
    return dpi;
}

int DecodePlain(const DpiCodingModel &model, uint8_t x, uint8_t flags)
{
    int code = x;
    if (HasTenBitCode(model.SensorName))
        code += (flags & kHighBitsRead) << 2;
    int dpi = (code + 1) * ((flags & kStep100Bits) ? 2 * kPlainStep : kPlainStep);
    if (flags & kDoubleBits)
        dpi *= 2;
    return dpi;
}

// Mode 0x33: the highest range (within the ranges actually known) whose
// maximum lies below dpi decides.
DpiRangeFactor FourRangeFactor(const DpiCodingModel &model, int dpi)
{
    const int known = std::min(model.RangeCount, int(model.RangeMaxList.size()));
    int below = -1;
    for (int n = known - 1; n >= 0; --n) {
        if (model.RangeMaxList.at(n) < dpi) {
            below = n;
            break;
        }
    }
    switch (below) {
    case 3: return {4, 0x33};
    case 2: return {2, 0x11};
    case 1: return {2, 0x22};
    default: return {1, 0};
    }
}

}  // namespace

DpiCodingModel DpiCodingModel::Current()
{
    DpiCodingModel model;
    model.SensorName = g_SensorName;
    model.RangeMode = g_DpiRangeMode;
    model.RangeCount = g_DpiRangeCount;
    model.RangeMinList = g_DpiRangeMinList;
    model.RangeMaxList = g_DpiRangeMaxList;
    model.DefineNames = g_SensorDefineNames;
    model.DefineValues = g_SensorDefineValues;
    return model;
}

DpiRangeFactor RangeFactorFor(const DpiCodingModel &model, int dpi)
{
    switch (model.RangeMode) {
    case 0x11:
    case 0x22:
        // Without a known first range there is nothing to exceed.
        if (!model.RangeMaxList.isEmpty() && dpi > model.RangeMaxList.first())
            return {2, uint8_t(model.RangeMode)};
        return {1, 0};
    case 0x33:
        return FourRangeFactor(model, dpi);
    default:
        return {1, 0};
    }
}

bool HasTenBitCode(const QString &sensorName)
{
    return sensorName == QLatin1String("3395") || sensorName == QLatin1String("3950");
}

bool HasDpiDefineTable(const DpiCodingModel &model)
{
    return !UsableDefines(model).isEmpty();
}

DpiLevelCode EncodeDpi(const DpiCodingModel &model, int dpi)
{
    const QList<DpiDefine> defines = UsableDefines(model);
    return defines.isEmpty() ? EncodePlain(model, dpi) : EncodeWithDefines(model, defines, dpi);
}

int DecodeDpi(const DpiCodingModel &model, uint8_t x, uint8_t flags)
{
    const QList<DpiDefine> defines = UsableDefines(model);
    return defines.isEmpty() ? DecodePlain(model, x, flags) : DecodeWithDefines(defines, x, flags);
}

int DecodeLevelDpi(const DpiLevelRecord &record)
{
    return DecodeDpi(DpiCodingModel::Current(), record.DpiX, record.DpiFlags);
}
