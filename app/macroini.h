#pragma once
// Macro.ini in the per-user base folder: the chosen language
// (Language/Language), the start-with-the-desktop choice (AutoStart/Enable)
// and the device page's do-not-show-again choice (FindNew/IsShow).
// A missing value reads as "". Every access takes g_MacroIniMutex.
//
// The file is in the INI format of QSettings, read and written by this class
// itself: every read takes the file as it is on disk (anything but a regular
// file reads as empty), without a cache that a quick rewrite could fool. A change rewrites the whole file
// with WholeFile::Write; when that fails (full disk, read-only folder) the
// old file stays as it was, the call returns false and the changed value is
// kept in memory: reads return it, and the next write that succeeds stores it.

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <mutex>

class MacroIni
{
public:
    // The one instance, created on first use over BaseFolder()/Macro.ini
    // (it follows the base folder should that change).
    static MacroIni *GetInstance();

    // A store over another file (tests).
    explicit MacroIni(const QString &path);

    QString Value(const QString &group, const QString &key);
    QStringList ValueList(const QString &group, const QString &key);
    // Stores the text and writes the file at once, so a choice survives even
    // when the program ends before its event loop runs again.
    bool SetValue(const QString &group, const QString &key, const QString &value);
    bool Remove(const QString &group, const QString &key);

    static QString DefaultPath();

    // Every value of a Macro.ini file (keys "group/key"); anything but a
    // regular file of sane size reads as empty.
    static QVariantMap ReadFile(const QString &path);
    // The reader of the INI format Qt writes (sections, escaped keys, quoted
    // and escaped texts, lists), for the texts and text lists this file holds.
    static QVariantMap Parsed(const QByteArray &content);
    // The INI text of `values` in that format; Parsed gives the values back.
    static QByteArray Serialised(const QVariantMap &values);

private:
    // The file's values with the unsaved changes over them. `replaceable` tells
    // whether the file may be rewritten from them.
    QVariantMap CurrentValues(bool *replaceable = nullptr) const;
    bool Store(const QString &key, const QVariant &value);

    QString m_path;
    // Changes whose write failed; an invalid QVariant stands for a removal.
    QMap<QString, QVariant> m_unsaved;
};

extern MacroIni *g_MacroIni;
extern std::mutex g_MacroIniMutex;
