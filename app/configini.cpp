#include "configini.h"

#include "paths.h"
#include "wholefile.h"

#include <QTextCodec>

ConfigIni *g_ConfigIni = nullptr;
std::mutex g_ConfigIniMutex;

namespace {

const char *const kCodedKeys[] = {
    "MM",  "DM",  "D2M",     "D4M",          "D8M",           "Sensor",        "CID",
    "VID", "USB_PID", "Wireless_PID", "Wireless2_PID", "Wireless4_PID", "Wireless8_PID",
};

struct ThemeFallback {
    const char *key;
    QRgb colour;
};

// What a form gets when the file lacks a colour: the shipped theme, so text
// stays readable on the dark pictures.
const ThemeFallback kThemeFallbacks[] = {
    {"LabelColor", qRgb(232, 232, 236)},
    {"ButtonColor", qRgb(245, 245, 245)},
    {"LinEditColor", qRgb(240, 240, 240)},
    {"LinEditColorSecond", qRgb(232, 232, 236)},
    {"SliderColor", qRgb(255, 122, 26)},
    {"ComboxTextColor", qRgb(232, 232, 236)},
    {"ComboxSelectColor", qRgb(255, 122, 26)},
    {"ComboxBackGroundColor", qRgb(46, 48, 54)},
};
const QRgb kDefaultFallback = qRgb(232, 232, 236);

// Null when the path names anything but a regular file of sane size (a FIFO
// would block the reader): every key then reads as missing.
QSettings *OpenIni(const QString &path)
{
    if (!WholeFile::IsRegularFile(path))
        return nullptr;
    auto *settings = new QSettings(path, QSettings::IniFormat);
    settings->setIniCodec(QTextCodec::codecForName("UTF8"));
    return settings;
}

bool ReadChannel(const QString &text, int *channel)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < 0 || value > 255)
        return false;
    *channel = value;
    return true;
}

}  // namespace

ConfigIni::ConfigIni(const QString &path) : m_path(path), m_settings(OpenIni(path)) {}

ConfigIni *ConfigIni::GetInstance()
{
    const std::lock_guard<std::mutex> lock(g_ConfigIniMutex);
    if (!g_ConfigIni)
        g_ConfigIni = new ConfigIni(DefaultPath());
    return g_ConfigIni;
}

QString ConfigIni::DefaultPath()
{
    return Paths::AppFolder() + "/usersetting/Config.ini";
}

void ConfigIni::UseFileForTesting(const QString &path)
{
    const std::lock_guard<std::mutex> lock(g_ConfigIniMutex);
    delete m_settings;
    m_path = path;
    m_settings = OpenIni(path);
}

bool ConfigIni::IsCodedKey(const QString &key)
{
    for (const char *coded : kCodedKeys) {
        if (key == QLatin1String(coded))
            return true;
    }
    return false;
}

QString ConfigIni::DriveGroup(int driveIndex)
{
    return "Drive" + QString::number(driveIndex + 1);
}

QString ConfigIni::DecodeBase64(const QString &text)
{
    return QString::fromLocal8Bit(QByteArray::fromBase64(text.toLocal8Bit()));
}

QString ConfigIni::Decoded(const QString &stored)
{
    QString text = QString::fromUtf8(QByteArray::fromBase64(stored.toUtf8()));
    text.remove(QLatin1Char('\n'));
    text.remove(QLatin1Char(' '));
    return text;
}

QString ConfigIni::ReadText(const QString &group, const QString &key)
{
    const std::lock_guard<std::mutex> lock(g_ConfigIniMutex);
    return m_settings ? m_settings->value(group + "/" + key, QString()).toString() : QString();
}

int ConfigIni::LastDriveGroup()
{
    const std::lock_guard<std::mutex> lock(g_ConfigIniMutex);
    if (!m_settings)
        return 0;
    int last = 0;
    const QString prefix = QStringLiteral("Drive");
    for (const QString &group : m_settings->childGroups()) {
        bool isNumber = false;
        const int n = group.startsWith(prefix) ? group.mid(prefix.size()).toInt(&isNumber) : 0;
        if (isNumber && n > last)
            last = n;
    }
    return last;
}

QStringList ConfigIni::ReadList(const QString &group, const QString &key)
{
    const std::lock_guard<std::mutex> lock(g_ConfigIniMutex);
    return m_settings ? m_settings->value(group + "/" + key, QVariant()).toStringList() : QStringList();
}

QString ConfigIni::Value(const QString &group, const QString &key)
{
    const QString text = ReadText(group, key);
    if (!IsCodedKey(key))
        return text;
    return Decoded(text);
}

QStringList ConfigIni::ValueList(const QString &group, const QString &key)
{
    QStringList items = ReadList(group, key);
    if (IsCodedKey(key)) {
        for (QString &item : items)
            item = Decoded(item);
    }
    return items;
}

int ConfigIni::IntValue(const QString &group, const QString &key)
{
    return Value(group, key).trimmed().toInt();
}

void ConfigIni::SetValue(const QString &group, const QString &key, const QString &value)
{
    const std::lock_guard<std::mutex> lock(g_ConfigIniMutex);
    if (!m_settings)
        return;
    m_settings->setValue(group + "/" + key, value);
    m_settings->sync();
}

void ConfigIni::Remove(const QString &group, const QString &key)
{
    const std::lock_guard<std::mutex> lock(g_ConfigIniMutex);
    if (!m_settings)
        return;
    m_settings->remove(group + "/" + key);
    m_settings->sync();
}

QColor ConfigIni::FallbackColor(const QString &key)
{
    for (const ThemeFallback &theme : kThemeFallbacks) {
        if (key == QLatin1String(theme.key))
            return QColor(theme.colour);
    }
    return QColor(kDefaultFallback);
}

QColor ConfigIni::Color(const QString &group, const QString &key, int index)
{
    const QStringList items = ValueList(group, key);
    const int first = 3 * index;
    int rgb[3];
    if (index < 0 || items.size() < first + 3)
        return FallbackColor(key);
    for (int channel = 0; channel < 3; ++channel) {
        if (!ReadChannel(items.at(first + channel), &rgb[channel]))
            return FallbackColor(key);
    }
    return QColor(rgb[0], rgb[1], rgb[2]);
}

QString ConfigIni::ColorTriple(const QString &group, const QString &key, int index)
{
    const QColor colour = Color(group, key, index);
    return QString("%1,%2,%3").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

QString ConfigIni::RgbText(const QString &group, const QString &key, int index)
{
    return "rgb(" + ColorTriple(group, key, index) + ")";
}

QString ConfigIni::AdvancedItem(const QString &group, int index)
{
    const QStringList items = ValueList(group, "Adveanced");
    if (index < 0 || index >= items.size() || items.at(index).trimmed().isEmpty())
        return QStringLiteral("-1");
    return items.at(index).trimmed();
}
