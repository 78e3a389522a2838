// The helper of scripts/kill-loop: one of the program's writers, run until it
// is killed, and the check of what a kill left behind.
//
//   vogm-writeloop write <writer> <export folder>
//       sets up the process as the program's start-up does, writes the first
//       version once, prints "READY", then writes the second and the first
//       version in turn until it is killed
//   vogm-writeloop check <writer> <export folder>
//       runs the program's start-up clean-up, then checks that the writer's
//       folder holds its file whole, in the first or the second version, and
//       nothing a write left behind; prints "OK" ("OK, cut short" when the
//       clean-up had a temporary file to remove) or what is wrong (exit 1)
//
// Writers: registry, macroini, macro (a macro's Save), cache, export (the
// settings export), macroexport, autostart. The per-user folders are those
// of XDG_DATA_HOME and XDG_CONFIG_HOME.
#include "autostart.h"
#include "devicecache.h"
#include "macroexport.h"
#include "macrofile.h"
#include "macroini.h"
#include "paths.h"
#include "registrystore.h"
#include "settingsfile.h"
#include "startup.h"
#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

constexpr int kLargeBytes = 256 * 1024;
const char kCacheName[] = "Device_CID12_MID02.bin";

struct Writer {
    QString target;               // the file it replaces
    bool ownFolder = false;       // the folder holds nothing else (exports, autostart)
    std::function<bool(int version)> write;
};

FlashDataMap ImageFilledWith(uint8_t byte)
{
    FlashDataMap image;
    std::memset(static_cast<void *>(&image), byte, sizeof image);
    return image;
}

MacroItems Items(int version)
{
    MacroItems items;
    for (int i = 0; i < kLargeBytes / 10; ++i)
        items.append({QString(version == 0 ? "A" : "B"), i % 2});
    return items;
}

QString Filled(int version)
{
    return QString(kLargeBytes, version == 0 ? QLatin1Char('a') : QLatin1Char('b'));
}

Writer WriterNamed(const QString &name, const QString &exports)
{
    const QString base = Paths::BaseFolder();
    if (name == "registry")
        return {RegistryStore::DefaultFilePath(), false,
                [](int v) { return RegistryStore().SetValue(RegistryStore::ProductKey(), "Note", Filled(v)); }};
    if (name == "macroini")
        return {MacroIni::DefaultPath(), false,
                [](int v) { return MacroIni(MacroIni::DefaultPath()).SetValue("Language", "Note", Filled(v)); }};
    if (name == "macro") {
        const QString path = base + "/usersetting/MacroPage/m1.ini";
        return {path, false, [path](int v) { return MacroFile::Write(path, 254, Items(v)); }};
    }
    if (name == "cache")
        return {DeviceCacheFolder() + "/" + kCacheName, false,
                [](int v) { return SaveDeviceCache(kCacheName, ImageFilledWith(v == 0 ? 0x11 : 0x22)); }};
    if (name == "export") {
        const QString path = exports + "/settings.bin";
        return {path, true, [path](int v) {
                    return WholeFile::Write(path, SettingsFile::Content("PAW3395", ImageFilledWith(v == 0 ? 0x11 : 0x22)));
                }};
    }
    if (name == "macroexport") {
        const QString path = exports + "/m1.ini";
        return {path, true, [path](int v) {
                    QVector<MacroExport::EncodeItem> items;
                    for (const MacroItem &item : Items(v))
                        items.append({item, QIcon()});
                    return WholeFile::Write(path, MacroExport::Encode("m1", 254, items));
                }};
    }
    if (name == "autostart")
        return {Autostart::EntryPath(), true, [](int v) { return Autostart::Enable("/opt/" + Filled(v) + "/VeltraneOrvandel"); }};
    return {};
}

void PrepareFolders(const QString &exports)
{
    Startup::PrepareUserFolders();
    QDir().mkpath(exports);
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The two versions' bytes, as the writer makes them in a folder of its own.
QList<QByteArray> Versions(const QString &name)
{
    QTemporaryDir scratch;
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.filePath("data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.filePath("config")));
    const QString exports = scratch.filePath("exports");
    PrepareFolders(exports);
    const Writer writer = WriterNamed(name, exports);
    QList<QByteArray> versions;
    for (int v = 0; v < 2; ++v) {
        QFile::remove(writer.target);
        writer.write(v);
        versions << ReadAll(writer.target);
    }
    qputenv("XDG_DATA_HOME", dataHome);
    qputenv("XDG_CONFIG_HOME", configHome);
    return versions;
}

int Write(const Writer &writer)
{
    Startup::IgnoreFileSizeSignal();
    if (!writer.write(0))
        return 1;
    std::printf("READY\n");
    std::fflush(stdout);
    for (int v = 1;; v = 1 - v)
        writer.write(v);
}

// Temporary files beside `target` before the clean-up: the kill cut a write short.
int TemporariesBeside(const QFileInfo &target)
{
    int count = 0;
    for (const QString &entry : target.dir().entryList(QDir::Files | QDir::Hidden | QDir::System))
        count += WholeFile::IsTemporaryName(entry) ? 1 : 0;
    return count;
}

int Check(const QString &name, const Writer &writer)
{
    const QFileInfo target(writer.target);
    const int cutShort = TemporariesBeside(target);
    Startup::RemoveInterruptedSaves(QDateTime::currentDateTime().addSecs(1));
    QStringList problems;
    const QByteArray content = ReadAll(writer.target);
    const QList<QByteArray> versions = Versions(name);
    if (versions.at(0).isEmpty() || versions.at(1).isEmpty())
        problems << "the writer wrote nothing in a folder of its own";
    if (!versions.contains(content))
        problems << QString("%1 is neither version whole (%2 bytes)").arg(writer.target).arg(content.size());
    const QStringList entries = target.dir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry == target.fileName())
            continue;
        if (writer.ownFolder || WholeFile::IsTemporaryName(entry))
            problems << "left in the folder: " + entry;
    }
    if (!WholeFile::JournaledSaves().isEmpty())
        problems << "the journal still lists " + WholeFile::JournaledSaves().join(", ");
    if (problems.isEmpty()) {
        std::printf(cutShort > 0 ? "OK, cut short\n" : "OK\n");
        return 0;
    }
    std::printf("%s\n", qPrintable(problems.join("\n")));
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 4)
        return 2;
    const QString exports = arguments.at(3);
    PrepareFolders(exports);
    const Writer writer = WriterNamed(arguments.at(2), exports);
    if (!writer.write)
        return 2;
    if (arguments.at(1) == "write")
        return Write(writer);
    if (arguments.at(1) == "check")
        return Check(arguments.at(2), writer);
    return 2;
}
