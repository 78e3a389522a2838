// DPI lock: a row locks the DPI at one of twelve values; the mouse takes the
// sensor's code of the value (entry {10, code, 0}).

#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "writers.h"

namespace {

// Sensors without definitions code a value as value / 50 - 1.
constexpr int kPlainStep = 50;

// What every definition of the sensor contains: "SENSOR_<sensor>_DPI".
QString SensorPrefix(const QString &sensor)
{
    return QStringLiteral("SENSOR_") + sensor + QStringLiteral("_DPI");
}

bool HasDefinitions(const QString &prefix, const QVector<QString> &names)
{
    for (const QString &name : names) {
        if (name.contains(prefix))
            return true;
    }
    return false;
}

}  // namespace

int Buttoninterface::DpiValueToCode(int value, const QString &sensor, const QVector<QString> &names,
                                    const QVector<int> &values)
{
    const QString prefix = SensorPrefix(sensor);
    if (!HasDefinitions(prefix, names))
        return value / kPlainStep - 1;
    const QString exact = prefix + QLatin1Char('_') + QString::number(value);
    const int index = names.indexOf(exact);
    if (index >= 0 && index < values.size())
        return values.at(index);
    return value / kPlainStep;
}

int Buttoninterface::DpiCodeToValue(int code, const QString &sensor, const QVector<QString> &names,
                                    const QVector<int> &values)
{
    const QString prefix = SensorPrefix(sensor);
    if (!HasDefinitions(prefix, names))
        return (code + 1) * kPlainStep;
    for (int i = 0; i < names.size() && i < values.size(); ++i) {
        const int at = names.at(i).indexOf(prefix);
        if (at < 0 || values.at(i) != code)
            continue;
        // The value follows the prefix and one separator: "..._DPI_400" gives 400.
        return names.at(i).mid(at + prefix.size() + 1).toInt();
    }
    return 0;
}

QToolButton *Buttoninterface::DpiLockButtonOf(int value) const
{
    for (auto each = FunctionTable.constBegin(); each != FunctionTable.constEnd(); ++each) {
        if (each.value().kind() == Function::Kind::DpiLock && each.value().DpiValue() == value)
            return qobject_cast<QToolButton *>(each.key());
    }
    return nullptr;
}

int Buttoninterface::DpiValueToCode(int value) const
{
    return DpiValueToCode(value, SensorName, DefineNames, DefineValues);
}

int Buttoninterface::DpiCodeToValue(int code) const
{
    return DpiCodeToValue(code, SensorName, DefineNames, DefineValues);
}

void Buttoninterface::on_VolumeUp_11_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_11, checked); }
void Buttoninterface::on_VolumeUp_12_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_12, checked); }
void Buttoninterface::on_VolumeUp_13_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_13, checked); }
void Buttoninterface::on_VolumeUp_16_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_16, checked); }
void Buttoninterface::on_VolumeUp_15_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_15, checked); }
void Buttoninterface::on_VolumeUp_19_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_19, checked); }
void Buttoninterface::on_VolumeUp_20_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_20, checked); }
void Buttoninterface::on_VolumeUp_22_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_22, checked); }
void Buttoninterface::on_VolumeUp_18_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_18, checked); }
void Buttoninterface::on_VolumeUp_24_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_24, checked); }
void Buttoninterface::on_VolumeUp_23_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_23, checked); }
void Buttoninterface::on_VolumeUp_21_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_21, checked); }
