#pragma once
// The registry values the program keeps (firmware versions, the failed-update
// record, the language index, the autostart entry), stored in one INI file in
// the per-user base folder instead of the Windows registry.
//
// A value is addressed like in the registry: the key path below
// HKEY_CURRENT_USER (for example "Software\<title>\<title>\Mouse Drive Test")
// and the value name. Key paths and names compare case-insensitively, as in
// the registry. The file looks like this:
//
//   [Software\Veltrane Orvandel Gaming Mouse\Veltrane Orvandel Gaming Mouse\Mouse Drive Test]
//   MouseVer182=v1.2
//
// Every call reads the file afresh, and every change rewrites it whole
// (WholeFile::Write), so separate instances and later runs see the same
// values. A file that cannot be read (missing, not a regular file) reads as
// empty.
// All instances share one lock: the device library's callback threads write
// while the GUI thread reads.

#include <QString>
#include <QStringList>

class RegistryStore
{
public:
    // The store of the program: BaseFolder()/registry.ini.
    RegistryStore();
    // A store over another file (tests).
    explicit RegistryStore(const QString &filePath);

    static QString DefaultFilePath();
    QString FilePath() const { return m_filePath; }

    QString Value(const QString &keyPath, const QString &name, const QString &fallback = QString()) const;
    // The value read as a decimal number; `fallback` when missing or not a number.
    int IntValue(const QString &keyPath, const QString &name, int fallback = 0) const;
    bool Contains(const QString &keyPath, const QString &name) const;
    QStringList ValueNames(const QString &keyPath) const;

    // Both return false when the file could not be written; the old file stays.
    bool SetValue(const QString &keyPath, const QString &name, const QString &value);
    bool Remove(const QString &keyPath, const QString &name);

    // Key paths the program uses.
    // "Software\<title>\<title>\Mouse Drive Test": MouseVer<cid><mid>, UpdateFailInfo.
    static QString MouseDriveTestKey();
    // "Software\<title>\<title>\<title>": LanguageIndex.
    static QString ProductKey();
    // "Software\Microsoft\Windows\CurrentVersion\Run": the autostart entry.
    static QString RunKey();

    // "MouseVer" + customer id text + model id text, e.g. MouseVer182.
    static QString MouseVerName(const QString &cid, const QString &mid);
    static const char *const kUpdateFailInfo;
    static const char *const kLanguageIndex;

private:
    QString m_filePath;
};
