#pragma once
// Simulated worlds with short device timings, and Config.ini variants.

#include "configini.h"
#include "hidusb_control.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace Fixtures {

inline HidSim::Timing FastTiming()
{
    HidSim::Timing t;
    t.readLatencyMs = 1;
    t.fullReadMs = 5;
    t.pairDelayMs = 20;
    t.pairTimeoutMs = 200;
    t.flashMs = 50;
    return t;
}

// The default world with FastTiming.
inline HidSim::World FastDefaultWorld()
{
    HidSim::World w = HidSim::DefaultWorld();
    w.timing = FastTiming();
    return w;
}

inline HidSim::Mouse CableMouse(const QString &name, uint8_t mid, uint8_t cid = 18)
{
    HidSim::Mouse m;
    m.name = name;
    m.mid = mid;
    m.cid = cid;
    m.cable = true;
    m.powered = true;
    m.address = {0x11, 0x22, uint8_t(0x30 + mid)};
    return m;
}

inline HidSim::World WorldOf(std::vector<HidSim::Receiver> receivers, std::vector<HidSim::Mouse> mice)
{
    HidSim::World w;
    w.receivers = std::move(receivers);
    w.mice = std::move(mice);
    w.timing = FastTiming();
    return w;
}

// The shipped Config.ini with some lines replaced, written to a temporary file
// that ConfigIni reads from then on. `replace` maps "Group/Key" to a raw value.
class ConfigVariant
{
public:
    explicit ConfigVariant(const QMap<QString, QString> &replace = {})
    {
        const QString shipped = ConfigIni::DefaultPath();
        m_path = m_dir.path() + "/Config.ini";
        QFile::copy(shipped, m_path);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
        {
            QSettings settings(m_path, QSettings::IniFormat);
            for (auto it = replace.begin(); it != replace.end(); ++it) {
                if (it.value().isNull())
                    settings.remove(it.key());
                else if (it.value().contains(','))
                    settings.setValue(it.key(), it.value().split(','));  // an INI list
                else
                    settings.setValue(it.key(), it.value());
            }
        }
        ConfigIni::GetInstance()->UseFileForTesting(m_path);
    }
    ~ConfigVariant() { ConfigIni::GetInstance()->UseFileForTesting(ConfigIni::DefaultPath()); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

}  // namespace Fixtures
