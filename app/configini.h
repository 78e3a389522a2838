#pragma once
// Config.ini: the description of the mouse family this installation serves
// (ids, model groups "Drive1".."DriveN", default keys, firmware model names)
// and the theme colours of every form. Read-only for the program.
//
// Thirteen identity keys are stored Base64-coded; Value and ValueList return
// them decoded, in every group. A missing key reads as "" (a number as 0) or
// an empty list.
//
// Threads: the GUI thread, the worker and the device library's callback
// threads all read it, so every access takes g_ConfigIniMutex.

#include <QColor>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <mutex>

class ConfigIni
{
public:
    // The one instance, created on first use over AppFolder()/usersetting/Config.ini.
    static ConfigIni *GetInstance();

    QString Value(const QString &group, const QString &key);
    QStringList ValueList(const QString &group, const QString &key);
    // The value read as a decimal number; 0 when missing or not a number.
    int IntValue(const QString &group, const QString &key);
    // The highest N of the groups "DriveN" in the file; 0 when there is none.
    int LastDriveGroup();

    // Store or remove a value as given (no Base64 coding). The program itself
    // never writes Config.ini.
    void SetValue(const QString &group, const QString &key, const QString &value);
    void Remove(const QString &group, const QString &key);

    // Local 8-bit text of the Base64 decoding of the text's local 8-bit bytes.
    static QString DecodeBase64(const QString &text);
    // True for the thirteen key names whose values are stored Base64-coded.
    static bool IsCodedKey(const QString &key);
    // "Drive" + (driveIndex + 1): the group of a model.
    static QString DriveGroup(int driveIndex);

    // Theme and level colours, safe against short or malformed lists: the
    // colour is items 3*index .. 3*index+2 of the list (red, green, blue, each
    // 0..255). Anything else gives a fixed readable colour for that key.
    QColor Color(const QString &group, const QString &key, int index = 0);
    // The same colour as "r,g,b", the form in which style sheets splice it.
    QString ColorTriple(const QString &group, const QString &key, int index = 0);
    // The same colour as "rgb(r,g,b)".
    QString RgbText(const QString &group, const QString &key, int index = 0);
    // The colour used when a list cannot give one.
    static QColor FallbackColor(const QString &key);

    // Item `index` of the model's receiver options (`Adveanced`): 0 long-range
    // mode, 1 receiver LED mode. A missing item counts as "-1" (option hidden).
    QString AdvancedItem(const QString &group, int index);

    // Tests only: read another file from now on.
    void UseFileForTesting(const QString &path);

    static QString DefaultPath();

private:
    explicit ConfigIni(const QString &path);
    QString ReadText(const QString &group, const QString &key);
    QStringList ReadList(const QString &group, const QString &key);
    static QString Decoded(const QString &stored);

    QString m_path;
    QSettings *m_settings;  // null when the file is no regular file; replaced only by UseFileForTesting
};

extern ConfigIni *g_ConfigIni;
extern std::mutex g_ConfigIniMutex;
