#include "registrystore.h"

#include "paths.h"
#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QVector>

#include <sys/stat.h>

#include <limits>
#include <mutex>
#include <utility>

const char *const RegistryStore::kUpdateFailInfo = "UpdateFailInfo";
const char *const RegistryStore::kLanguageIndex = "LanguageIndex";

namespace {

// One lock for every instance: they share the file, and the last parse of it
// below. A std::mutex, whose hand-over between threads the thread sanitizer
// sees (a contended QMutex waits inside Qt, where it does not look).
std::mutex s_fileLock;

struct Entry {
    QString name;
    QString value;
};

// Key paths and names compare case-insensitively; the hashes hold them case-folded.
QString Folded(const QString &text)
{
    return text.toCaseFolded();
}

// A key holds a few values as a rule; only a key with many gets a hash of
// its names, so a file of many small keys allocates no hash per key.
constexpr int kEntriesScannedInOrder = 8;

struct Section {
    QString keyPath;
    QVector<Entry> entries;
    QHash<QString, int> entryIndex;  // folded name -> position; only past kEntriesScannedInOrder

    int Position(const QString &name) const
    {
        if (entryIndex.isEmpty()) {
            for (int i = 0; i < entries.size(); ++i) {
                if (entries.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
                    return i;
            }
            return -1;
        }
        return entryIndex.value(Folded(name), -1);
    }
    Entry *Find(const QString &name)
    {
        const int at = Position(name);
        return at < 0 ? nullptr : &entries[at];
    }
    const Entry *Find(const QString &name) const
    {
        const int at = Position(name);
        return at < 0 ? nullptr : &entries.at(at);
    }
    // A name written twice keeps its first value.
    void Add(const QString &name, const QString &value)
    {
        if (Position(name) >= 0)
            return;
        entries.append({name, value});
        if (!entryIndex.isEmpty())
            entryIndex.insert(Folded(name), entries.size() - 1);
        else if (entries.size() > kEntriesScannedInOrder) {
            for (int i = 0; i < entries.size(); ++i)
                entryIndex.insert(Folded(entries.at(i).name), i);
        }
    }
};

// The sections in the file's order, found through a hash of their key paths.
struct Sections {
    QVector<Section> list;
    QHash<QString, int> index;  // folded key path -> position in list

    void clear()
    {
        list.clear();
        index.clear();
    }
    Section *Find(const QString &keyPath)
    {
        const auto found = index.constFind(Folded(keyPath));
        return found == index.constEnd() ? nullptr : &list[found.value()];
    }
    // Reading never copies the list another Sections shares.
    const Section *Find(const QString &keyPath) const
    {
        const auto found = index.constFind(Folded(keyPath));
        return found == index.constEnd() ? nullptr : &list.at(found.value());
    }
    // A key written twice (by hand, or by two programs) reads as one key.
    Section *Open(const QString &keyPath)
    {
        const QString key = Folded(keyPath);
        const auto found = index.constFind(key);
        if (found != index.constEnd())
            return &list[found.value()];
        index.insert(key, list.size());
        list.append({keyPath, {}, {}});
        return &list.last();
    }
};

const char kHeader[] = "; Registry values of the program: [key path below HKEY_CURRENT_USER], then name=value.\n";

// Accepts "HKEY_CURRENT_USER\..." too; the file keeps the path below it.
QString NormalisedKeyPath(QString keyPath)
{
    keyPath.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const QString root = QStringLiteral("HKEY_CURRENT_USER\\");
    if (keyPath.startsWith(root, Qt::CaseInsensitive))
        keyPath.remove(0, root.size());
    while (keyPath.startsWith(QLatin1Char('\\')))
        keyPath.remove(0, 1);
    while (keyPath.endsWith(QLatin1Char('\\')))
        keyPath.chop(1);
    keyPath.remove(QLatin1Char('\n'));
    keyPath.remove(QLatin1Char('\r'));
    return keyPath;
}

QString Escaped(const QString &text, bool isName)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (isName && (c == QLatin1Char('=') || c == QLatin1Char('[') || c == QLatin1Char(';')))
            out += QLatin1Char('\\') + c;
        else
            out += c;
    }
    return out;
}

// Undoes Escaped. For a name, stops at the first unescaped '=' and reports
// where the value begins.
QString Unescaped(const QString &text, int from, bool isName, int *valueStart)
{
    const int backslash = text.indexOf(QLatin1Char('\\'), from);
    const int equals = isName ? text.indexOf(QLatin1Char('='), from) : -1;
    if (backslash < 0 || (isName && equals >= 0 && equals < backslash)) {
        // Nothing escaped before the end: the common case, taken whole.
        if (!isName)
            return text.mid(from);
        *valueStart = equals < 0 ? -1 : equals + 1;
        return equals < 0 ? text.mid(from) : text.mid(from, equals - from);
    }
    QString out;
    for (int i = from; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isName && c == QLatin1Char('=')) {
            *valueStart = i + 1;
            return out;
        }
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text.at(++i);
        out += next == QLatin1Char('n') ? QChar('\n') : next == QLatin1Char('r') ? QChar('\r') : next;
    }
    if (isName)
        *valueStart = -1;
    return out;
}

Sections Parse(const QString &content)
{
    Sections sections;
    const int sectionLines = content.count(QLatin1String("\n[")) + 1;
    sections.list.reserve(sectionLines);
    sections.index.reserve(sectionLines);
    int current = -1;  // position of the open section (pointers move as the list grows)
    for (int start = 0; start <= content.size();) {
        int end = content.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = content.size();
        QStringRef line = content.midRef(start, end - start);
        start = end + 1;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const int close = line.lastIndexOf(QLatin1Char(']'));
            if (close > 0) {
                const QString keyPath = NormalisedKeyPath(line.mid(1, close - 1).toString());
                sections.Open(keyPath);
                current = sections.index.value(Folded(keyPath));
            }
            continue;
        }
        if (current < 0)
            continue;  // a value outside any key: unreadable, dropped
        const QString text = line.toString();
        int valueStart = -1;
        const QString name = Unescaped(text, 0, true, &valueStart);
        if (valueStart < 0 || name.isEmpty())
            continue;
        sections.list[current].Add(name, Unescaped(text, valueStart, false, nullptr));
    }
    return sections;
}

QString Serialised(const Sections &sections)
{
    QString out = QString::fromLatin1(kHeader);
    for (const Section &section : sections.list) {
        if (section.entries.isEmpty())
            continue;
        out += QLatin1Char('[') + section.keyPath + QLatin1String("]\n");
        for (const Entry &entry : section.entries)
            out += Escaped(entry.name, true) + QLatin1Char('=') + Escaped(entry.value, false) + QLatin1Char('\n');
        out += QLatin1Char('\n');
    }
    return out;
}

// The file's values; a missing file or anything but a regular file reads as
// empty. False only for a regular file that is there but cannot be read (no
// permission, too large): it must not be replaced by a file that holds only
// the value being changed.
// What identifies one version of the file: every write replaces it (a new
// inode) and changes its times, so a file whose identity is unchanged holds
// what was parsed last time.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    qint64 changedSeconds = 0;
    qint64 changedNanoseconds = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;

    bool operator==(const FileIdentity &other) const
    {
        return device == other.device && inode == other.inode && size == other.size
            && changedSeconds == other.changedSeconds && changedNanoseconds == other.changedNanoseconds
            && modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
    }
};

bool Identify(const QString &filePath, FileIdentity *identity)
{
    struct stat info {};
    if (::stat(QFile::encodeName(filePath).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    *identity = {info.st_dev,         info.st_ino,          info.st_size,         info.st_ctim.tv_sec,
                 info.st_ctim.tv_nsec, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
    return true;
}

// The last file parsed (under s_fileLock): the start-up asks for several
// values of a file that may be large, and reads it once.
struct ParsedFile {
    QString path;
    FileIdentity identity;
    Sections sections;
};
ParsedFile s_lastParsed;

bool Load(const QString &filePath, Sections *sections)
{
    sections->clear();
    FileIdentity before;
    const bool identified = Identify(filePath, &before);
    if (identified && s_lastParsed.path == filePath && s_lastParsed.identity == before) {
        *sections = s_lastParsed.sections;
        return true;
    }
    QByteArray content;
    if (WholeFile::Read(filePath, &content)) {
        *sections = Parse(QString::fromUtf8(content));
        FileIdentity after;
        if (identified && Identify(filePath, &after) && after == before)
            s_lastParsed = {filePath, before, *sections};
        return true;
    }
    return !WholeFile::IsRegularFile(filePath, std::numeric_limits<qint64>::max());
}

Sections Load(const QString &filePath)
{
    Sections sections;
    Load(filePath, &sections);
    return sections;
}

bool Save(const QString &filePath, const Sections &sections)
{
    if (!QDir().mkpath(QFileInfo(filePath).absolutePath()))
        return false;
    return WholeFile::Write(filePath, Serialised(sections).toUtf8());
}

const Entry *FindEntry(const Sections &sections, const QString &keyPath, const QString &name)
{
    const Section *section = sections.Find(NormalisedKeyPath(keyPath));
    return section ? section->Find(name) : nullptr;
}

QString ProductTitle()
{
    return QString::fromLatin1(Paths::kProductTitle);
}

}  // namespace

RegistryStore::RegistryStore() : m_filePath(DefaultFilePath()) {}

RegistryStore::RegistryStore(const QString &filePath) : m_filePath(filePath) {}

QString RegistryStore::DefaultFilePath()
{
    return Paths::BaseFolder() + "/registry.ini";
}

QString RegistryStore::Value(const QString &keyPath, const QString &name, const QString &fallback) const
{
    const std::lock_guard<std::mutex> lock(s_fileLock);
    const Sections sections = Load(m_filePath);
    const Entry *entry = FindEntry(sections, keyPath, name);
    return entry ? entry->value : fallback;
}

int RegistryStore::IntValue(const QString &keyPath, const QString &name, int fallback) const
{
    bool ok = false;
    const int value = Value(keyPath, name).trimmed().toInt(&ok);
    return ok ? value : fallback;
}

bool RegistryStore::Contains(const QString &keyPath, const QString &name) const
{
    const std::lock_guard<std::mutex> lock(s_fileLock);
    const Sections sections = Load(m_filePath);
    return FindEntry(sections, keyPath, name) != nullptr;
}

QStringList RegistryStore::ValueNames(const QString &keyPath) const
{
    const std::lock_guard<std::mutex> lock(s_fileLock);
    const Sections sections = Load(m_filePath);
    QStringList names;
    if (const Section *section = sections.Find(NormalisedKeyPath(keyPath))) {
        for (const Entry &entry : section->entries)
            names.append(entry.name);
    }
    return names;
}

bool RegistryStore::SetValue(const QString &keyPath, const QString &name, const QString &value)
{
    if (name.isEmpty())
        return false;
    const std::lock_guard<std::mutex> lock(s_fileLock);
    Sections sections;
    if (!Load(m_filePath, &sections))
        return false;
    // A value that is there already is not written again: the device's
    // version comes at every start, and a large file's write holds the lock
    // that the start's reads wait for.
    if (const Entry *stored = FindEntry(std::as_const(sections), keyPath, name); stored && stored->value == value)
        return true;
    Section *section = sections.Open(NormalisedKeyPath(keyPath));
    if (Entry *entry = section->Find(name))
        entry->value = value;
    else
        section->Add(name, value);
    return Save(m_filePath, sections);
}

bool RegistryStore::Remove(const QString &keyPath, const QString &name)
{
    const std::lock_guard<std::mutex> lock(s_fileLock);
    Sections sections;
    if (!Load(m_filePath, &sections))
        return false;
    // Looked up without copying the parsed file (which the cache shares).
    if (!FindEntry(std::as_const(sections), keyPath, name))
        return true;  // nothing to remove
    Section *section = sections.Find(NormalisedKeyPath(keyPath));
    auto &entries = section->entries;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i).name.compare(name, Qt::CaseInsensitive) == 0) {
            entries.remove(i);
            break;
        }
    }
    return Save(m_filePath, sections);
}

QString RegistryStore::MouseDriveTestKey()
{
    return "Software\\" + ProductTitle() + "\\" + ProductTitle() + "\\Mouse Drive Test";
}

QString RegistryStore::ProductKey()
{
    return "Software\\" + ProductTitle() + "\\" + ProductTitle() + "\\" + ProductTitle();
}

QString RegistryStore::RunKey()
{
    return QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

QString RegistryStore::MouseVerName(const QString &cid, const QString &mid)
{
    return "MouseVer" + cid + mid;
}
