#include "sensordescription.h"

#include "paths.h"
#include "wholefile.h"

#include <QBuffer>

namespace {

enum class SupportToken { ModeSel, LodCal, Ripple, FixLine, MotionSync, MousepadCal, None };

// Tested in this order; the first one contained decides.
const char *const kSupportTokens[] = {
    "SUPPORT_SENSOR_MODE_SEL", "SUPPORT_LOD_CAL", "SUPPORT_RIPPLE",
    "SUPPORT_FIXLINE", "SUPPORT_MOTION_SYNC", "SUPPORT_MOUSEPAD_CAL",
};

SupportToken FindSupportToken(const QString &text)
{
    for (int i = 0; i < int(SupportToken::None); ++i) {
        if (text.contains(QLatin1String(kSupportTokens[i])))
            return SupportToken(i);
    }
    return SupportToken::None;
}

QString *SupportField(SensorSupport &support, SupportToken token)
{
    switch (token) {
    case SupportToken::ModeSel: return &support.ModeSel;
    case SupportToken::LodCal: return &support.LodCal;
    case SupportToken::Ripple: return &support.Ripple;
    case SupportToken::FixLine: return &support.FixLine;
    case SupportToken::MotionSync: return &support.MotionSync;
    case SupportToken::MousepadCal: return &support.MousepadCal;
    case SupportToken::None: break;
    }
    return nullptr;
}

QString WithoutLineEnd(QString text)
{
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char('\r'));
    return text;
}

QStringList TabFields(const QString &text)
{
    return text.split(QLatin1Char('\t'), Qt::SkipEmptyParts);
}

int ReadDefineValue(const QString &text)
{
    bool ok = false;
    int value = 0;
    if (text.contains(QLatin1String("0x"))) {
        const QString digits = text.startsWith(QLatin1String("0x")) ? text.mid(2) : text;
        value = digits.toInt(&ok, 16);
    } else {
        value = text.toInt(&ok, 10);
    }
    return ok ? value : 0;
}

void AppendDefine(SensorDescription &description, const QString &name, int value)
{
    description.DefineNames << name;
    description.DefineValues << value;
}

// "#define SUPPORT_xxx<TAB>text": the second TAB field is the support text.
// A line without that field has nothing to take and is ignored.
void TakeSupportLine(SensorDescription &description, SupportToken token, const QString &second)
{
    const QStringList fields = TabFields(second);
    if (fields.size() < 2)
        return;
    *SupportField(description.Support, token) = WithoutLineEnd(fields.at(1));
}

// "#define NAME<TAB>value<line end>": taken only when the value is the last
// field and the line ends with a line end.
void TakeDefineLine(SensorDescription &description, const QString &second)
{
    const QStringList fields = TabFields(second);
    if (fields.size() < 2 || !fields.at(1).contains(QLatin1Char('\n')))
        return;
    AppendDefine(description, fields.at(0), ReadDefineValue(WithoutLineEnd(fields.at(1))));
}

// "#define NAME<TAB>value //comment": the value is read as decimal only.
void TakeCommentedDefineLine(SensorDescription &description, const QString &second)
{
    const QStringList fields = TabFields(second);
    if (fields.size() != 2)
        return;
    bool ok = false;
    const int value = fields.at(1).toInt(&ok, 10);
    AppendDefine(description, fields.at(0), ok ? value : 0);
}

void HandleLine(SensorDescription &description, const QString &line)
{
    const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() == 2) {
        const SupportToken token = FindSupportToken(parts.at(1));
        if (token != SupportToken::None)
            TakeSupportLine(description, token, parts.at(1));
        else if (parts.at(0) == QLatin1String("#define"))
            TakeDefineLine(description, parts.at(1));
    } else if (parts.size() == 3 && parts.at(2).contains(QLatin1String("//"))) {
        TakeCommentedDefineLine(description, parts.at(1));
    }
}

}  // namespace

SensorDescription ReadSensorDescription(const QString &filePath)
{
    QByteArray content;
    if (!WholeFile::Read(filePath, &content))
        return SensorDescription();
    return ParseSensorDescription(content);
}

SensorDescription ParseSensorDescription(QByteArray content)
{
    SensorDescription description;
    // Text mode drops the carriage return of a CRLF line end.
    QBuffer file(&content);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    while (!file.atEnd())
        HandleLine(description, QString::fromUtf8(file.readLine()));
    return description;
}

QString SensorDescriptionPath()
{
    return Paths::AppFolder() + QStringLiteral("/driver_sensor.h");
}

SensorDescription ReadInstalledSensorDescription()
{
    return ReadSensorDescription(SensorDescriptionPath());
}
