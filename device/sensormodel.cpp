#include "sensormodel.h"

#include "sensordescription.h"

QString g_SensorName;
QStringList g_SensorDefineNames;
QList<int> g_SensorDefineValues;
int g_DpiRangeMode = 0;
int g_DpiRangeCount = 0;
QList<int> g_DpiRangeMinList;
QList<int> g_DpiRangeMaxList;
QString g_DpiRange1Min, g_DpiRange1Max, g_DpiRange1Step;
QString g_DpiRange2Min, g_DpiRange2Max, g_DpiRange2Step;
QString g_DpiRange3Min, g_DpiRange3Max, g_DpiRange3Step;
QString g_DpiRange4Min, g_DpiRange4Max, g_DpiRange4Step;

namespace {

QString *const kRangeTexts[3 * kMaxDpiRanges] = {
    &g_DpiRange1Min, &g_DpiRange1Max, &g_DpiRange1Step,
    &g_DpiRange2Min, &g_DpiRange2Max, &g_DpiRange2Step,
    &g_DpiRange3Min, &g_DpiRange3Max, &g_DpiRange3Step,
    &g_DpiRange4Min, &g_DpiRange4Max, &g_DpiRange4Step,
};

int ReadHex(const QString &text)
{
    QString digits = text.trimmed();
    if (digits.startsWith(QLatin1String("0x")) || digits.startsWith(QLatin1String("0X")))
        digits = digits.mid(2);
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    return ok ? value : 0;
}

int ReadDecimal(const QString &text)
{
    return text.trimmed().toInt();
}

}  // namespace

DpiRangeTable ParseDpiRange(const QStringList &fields)
{
    DpiRangeTable table;
    if (fields.isEmpty())
        return table;
    table.Mode = ReadHex(fields.last());
    table.Count = (fields.size() - 1) / 3;
    table.Valid = table.Count >= 1 && table.Count <= kMaxDpiRanges && fields.size() == 3 * table.Count + 1;
    if (!table.Valid)
        return table;
    for (int i = 0; i < 3 * table.Count; ++i)
        table.Texts << fields.at(i).trimmed();
    for (int range = 0; range < table.Count; ++range) {
        table.MinList << ReadDecimal(table.Texts.at(3 * range));
        table.MaxList << ReadDecimal(table.Texts.at(3 * range + 1));
    }
    table.DpiMin = table.Texts.first();
    table.DpiMax = table.Texts.at(3 * table.Count - 2);
    return table;
}

void ApplyDpiRange(const DpiRangeTable &table)
{
    g_DpiRangeMode = table.Mode;
    g_DpiRangeCount = table.Count;
    g_DpiRangeMinList = table.MinList;
    g_DpiRangeMaxList = table.MaxList;
    for (int i = 0; i < table.Texts.size(); ++i)
        *kRangeTexts[i] = table.Texts.at(i);
}

void AppendSensorDefines(const SensorDescription &description)
{
    g_SensorDefineNames += description.DefineNames;
    g_SensorDefineValues += description.DefineValues;
}

QStringList DpiRangeTexts()
{
    QStringList texts;
    for (const QString *text : kRangeTexts)
        texts << *text;
    return texts;
}

QList<DpiRange> CurrentDpiRanges()
{
    QList<DpiRange> ranges;
    const int count = g_DpiRangeCount;
    if (count < 1 || count > kMaxDpiRanges)
        return ranges;
    const QStringList texts = DpiRangeTexts();
    for (int k = 0; k < count; ++k)
        ranges.append({texts.value(3 * k).toInt(), texts.value(3 * k + 1).toInt(), texts.value(3 * k + 2).toInt()});
    return ranges;
}

DpiSnap SnapDpi(int value)
{
    const QList<DpiRange> ranges = CurrentDpiRanges();
    for (int k = 0; k < ranges.size(); ++k) {
        const DpiRange &range = ranges.at(k);
        if (value >= range.min && value <= range.max) {
            if (range.step <= 0)
                return {value, 0};
            return {value - value % range.step, range.step};
        }
        if (k + 1 < ranges.size() && value > range.max && value < ranges.at(k + 1).min) {
            const DpiRange &upper = ranges.at(k + 1);
            return {upper.min, upper.step > 0 ? upper.step : 0};
        }
    }
    return {value, 0};
}
