#include "macroini.h"

#include "paths.h"

#include <QMutexLocker>
#include <QTextCodec>

MacroIni *g_MacroIni = nullptr;
QMutex g_MacroIniMutex;

MacroIni::MacroIni(const QString &path) : m_path(path), m_settings(path, QSettings::IniFormat)
{
    m_settings.setIniCodec(QTextCodec::codecForName("UTF-8"));
}

MacroIni *MacroIni::GetInstance()
{
    QMutexLocker lock(&g_MacroIniMutex);
    if (!g_MacroIni)
        g_MacroIni = new MacroIni(DefaultPath());
    return g_MacroIni;
}

QString MacroIni::DefaultPath()
{
    return Paths::BaseFolder() + "/Macro.ini";
}

QString MacroIni::Value(const QString &group, const QString &key)
{
    QMutexLocker lock(&g_MacroIniMutex);
    return m_settings.value(group + "/" + key, QString()).toString();
}

QStringList MacroIni::ValueList(const QString &group, const QString &key)
{
    QMutexLocker lock(&g_MacroIniMutex);
    return m_settings.value(group + "/" + key, QVariant()).toStringList();
}

void MacroIni::SetValue(const QString &group, const QString &key, const QString &value)
{
    QMutexLocker lock(&g_MacroIniMutex);
    m_settings.setValue(group + "/" + key, value);
    m_settings.sync();
}

void MacroIni::Remove(const QString &group, const QString &key)
{
    QMutexLocker lock(&g_MacroIniMutex);
    m_settings.remove(group + "/" + key);
    m_settings.sync();
}
