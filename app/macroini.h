#pragma once
// Macro.ini in the per-user base folder: the chosen language
// (Language/Language), the start-with-the-desktop choice (AutoStart/Enable)
// and the device page's do-not-show-again choice (FindNew/IsShow).
// A missing value reads as "". Every access takes g_MacroIniMutex.

#include <QMutex>
#include <QSettings>
#include <QString>
#include <QStringList>

class MacroIni
{
public:
    // The one instance, created on first use over BaseFolder()/Macro.ini.
    static MacroIni *GetInstance();

    QString Value(const QString &group, const QString &key);
    QStringList ValueList(const QString &group, const QString &key);
    // Stores the text and writes the file at once, so a choice survives even
    // when the program ends before its event loop runs again.
    void SetValue(const QString &group, const QString &key, const QString &value);
    void Remove(const QString &group, const QString &key);

    static QString DefaultPath();

private:
    explicit MacroIni(const QString &path);

    QString m_path;
    QSettings m_settings;
};

extern MacroIni *g_MacroIni;
extern QMutex g_MacroIniMutex;
