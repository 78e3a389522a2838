#include "pendingmacros.h"

#include "connection.h"
#include "macrofile.h"
#include "macrorecord.h"
#include "paths.h"
#include "wholefile.h"
#include "writers.h"

#include <QByteArray>
#include <cstring>

namespace PendingMacros {

namespace {

constexpr int kMacroFunction = 6;
// A list of names is far below this; a larger file is no file of ours.
constexpr qint64 kMaxFileBytes = 64 * 1024;

bool WriteNames(const QStringList &names)
{
    QByteArray content;
    for (const QString &name : names)
        content += name.toUtf8() + '\n';
    return WholeFile::Write(FilePath(), content);
}

// The record's name as the mouse keeps it: its bytes up to the first zero byte.
QString RecordName(const MacroRecord &record)
{
    return ReadMacroRecord(record).name;
}

}  // namespace

QString FilePath()
{
    return Paths::BaseFolder() + QStringLiteral("/usersetting/PendingMacros");
}

QStringList Names()
{
    QByteArray content;
    if (!WholeFile::Read(FilePath(), &content, kMaxFileBytes))
        return {};
    QStringList names;
    for (const QByteArray &line : content.split('\n')) {
        const QString name = QString::fromUtf8(line);
        if (IsSafeMacroName(name) && !names.contains(name))
            names.append(name);
    }
    return names;
}

bool IsPending(const QString &name)
{
    return Names().contains(name);
}

bool Mark(const QString &name)
{
    QStringList names = Names();
    if (names.contains(name))
        return true;
    names.append(name);
    return WriteNames(names);
}

bool Clear(const QString &name)
{
    QStringList names = Names();
    if (!names.removeAll(name))
        return true;
    return WriteNames(names);
}

bool SavedFileReachedMouse(const QString &name, const FlashDataMap &image)
{
    if (!ImageIsDevicesOwn())
        return false;
    MacroRecord saved = EmptyMacroRecord();
    const QString path = MacroFile::PathOf(MacroFile::Folder(), name);
    const MacroFile::Loaded loaded = MacroFile::Load(path);
    if (loaded.result != MacroFile::LoadResult::Loaded || !BuildMacroRecord(name, loaded.items, &saved))
        return false;
    const MacroRecordBytes savedBytes = StoreRecord(saved);
    const QString stored = RecordName(saved);
    for (int button = 0; button < kShownButtons; ++button) {
        const KeyEntry &entry = image.Keys[button];
        if (entry.Type != kMacroFunction || RecordName(LoadRecord(image.Macros[button])) != stored)
            continue;
        if (std::memcmp(image.Macros[button], savedBytes.data(), savedBytes.size()) != 0
            || entry.Param2 != uint8_t(loaded.loopCode))
            return false;
    }
    return true;
}

}  // namespace PendingMacros

WriteResult SendMacroToButton(int button, const KeyEntry &entry, const MacroRecord &record)
{
    const MacroRecordBytes bytes = StoreRecord(record);
    return WriteKeyMacro(button, &entry, bytes.data());
}
