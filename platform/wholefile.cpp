#include "wholefile.h"

#include "paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <mutex>

namespace WholeFile {

namespace {

const QLatin1String kTemporaryMarker(".vogm-save-");
constexpr int kTemporarySuffixLength = 6;
constexpr int kNameMaxBytes = 255;
constexpr int kMaxLinkHops = 40;
constexpr int kNameAttempts = 16;

std::mutex s_journalLock;

class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Reset(-1); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int fd() const { return m_fd; }
    void Reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// Where a write goes: the open folder, its path as written in the journal,
// the target's name in it, and whether the temporary file is journaled.
struct Place {
    Descriptor folder;
    QString folderPath;
    QString name;
    bool journaled = false;
};

QByteArray Encoded(const QString &name)
{
    return QFile::encodeName(name);
}

// fsync, where the file system offers it: a file system without it (EINVAL,
// EROFS on some special mounts) has nothing further to report.
bool Synced(int fd)
{
    if (::fsync(fd) == 0)
        return true;
    return errno == EINVAL || errno == ENOTSUP || errno == EROFS;
}

bool WrittenWhole(int fd, const QByteArray &content)
{
    const char *data = content.constData();
    qint64 left = content.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, data, size_t(left));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;  // EFBIG past the file-size limit, ENOSPC, EIO ...
        data += done;
        left -= done;
    }
    return true;
}

bool IsAsciiLetterOrDigit(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

QString RandomSuffix()
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < kTemporarySuffixLength; ++i)
        suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
    return suffix;
}

// "<target>.vogm-save-XXXXXX", the target's part shortened where the whole
// would pass the file system's name limit.
QString TemporaryName(const QString &target)
{
    const QString tail = kTemporaryMarker + RandomSuffix();
    QString stem = target;
    while (stem.size() > 1 && Encoded(stem + tail).size() > kNameMaxBytes) {
        stem.chop(1);
        if (stem.at(stem.size() - 1).isHighSurrogate())
            stem.chop(1);
    }
    return stem + tail;
}

QString BaseFolderPath()
{
    return QDir::cleanPath(Paths::BaseFolder());
}

// Inside the base folder: every subfolder below it opened without following
// a link, and the target must not be one either.
bool OpenInsideBase(const QString &base, const QString &relative, Place *place)
{
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    place->folder.Reset(::open(Encoded(base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    place->folderPath = base;
    for (int i = 0; i + 1 < parts.size(); ++i) {
        if (place->folder.fd() < 0)
            return false;
        const int next = ::openat(place->folder.fd(), Encoded(parts.at(i)).constData(),
                                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        place->folder.Reset(next);
        place->folderPath += QLatin1Char('/') + parts.at(i);
    }
    if (place->folder.fd() < 0)
        return false;
    place->name = parts.last();
    struct stat info {};
    if (::fstatat(place->folder.fd(), Encoded(place->name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISLNK(info.st_mode))
        return false;
    return true;
}

// Outside the base folder a link is followed as picked: the file it ends at
// (existing or not) is the one replaced.
QString LinkFollowed(QString path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (::lstat(Encoded(path).constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        char target[PATH_MAX];
        const ssize_t length = ::readlink(Encoded(path).constData(), target, sizeof target - 1);
        if (length <= 0)
            return QString();
        const QString pointsTo = QFile::decodeName(QByteArray(target, int(length)));
        path = QDir::isAbsolutePath(pointsTo) ? pointsTo : QFileInfo(path).path() + QLatin1Char('/') + pointsTo;
    }
    return QString();  // a loop of links
}

bool OpenOutsideBase(const QString &path, Place *place)
{
    const QString target = LinkFollowed(path);
    const int slash = target.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || slash == target.size() - 1)
        return false;
    place->folderPath = slash == 0 ? QStringLiteral("/") : target.left(slash);
    place->name = target.mid(slash + 1);
    place->folder.Reset(::open(Encoded(place->folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    place->journaled = true;
    return place->folder.fd() >= 0;
}

bool Locate(const QString &path, Place *place)
{
    if (path.isEmpty())
        return false;
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString base = BaseFolderPath();
    if (absolute.startsWith(base + QLatin1Char('/')))
        return OpenInsideBase(base, absolute.mid(base.size() + 1), place);
    return OpenOutsideBase(QFileInfo(path).absoluteFilePath(), place);
}

// The journal only has to outlive a killed process, not a power cut (the page
// cache keeps what a killed process wrote), so its writes are not synced.
enum class Sync { Yes, No };
bool WriteWhole(const QString &path, const QByteArray &content, Sync sync);

// ---- the journal (callers hold s_journalLock) ----

QStringList ReadJournal()
{
    QByteArray content;
    Read(JournalPath(), &content);
    QStringList entries;
    for (const QByteArray &line : content.split('\n')) {
        if (!line.isEmpty())
            entries.append(QFile::decodeName(QByteArray::fromPercentEncoding(line)));
    }
    return entries;
}

bool WriteJournal(const QStringList &entries)
{
    if (entries.isEmpty()) {
        const QByteArray path = Encoded(JournalPath());
        return ::unlink(path.constData()) == 0 || errno == ENOENT;
    }
    QByteArray content;
    for (const QString &entry : entries)
        content += Encoded(entry).toPercentEncoding("/") + '\n';
    QDir().mkpath(BaseFolderPath());
    return WriteWhole(JournalPath(), content, Sync::No);
}

bool AddToJournal(const QString &temporaryPath)
{
    const std::lock_guard<std::mutex> lock(s_journalLock);
    QStringList entries = ReadJournal();
    entries.append(temporaryPath);
    return WriteJournal(entries);
}

void RemoveFromJournal(const QString &temporaryPath)
{
    const std::lock_guard<std::mutex> lock(s_journalLock);
    QStringList entries = ReadJournal();
    if (entries.removeOne(temporaryPath))
        WriteJournal(entries);
}

// Creates a new temporary file beside the target (listed in the journal
// first where the place asks for it); -1 when none could be created.
int CreateTemporary(const Place &place, int mode, QString *name)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        *name = TemporaryName(place.name);
        const QString journalEntry = place.folderPath + QLatin1Char('/') + *name;
        if (place.journaled && !AddToJournal(journalEntry))
            return -1;
        const int fd = ::openat(place.folder.fd(), Encoded(*name).constData(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        const int error = errno;
        if (fd >= 0)
            return fd;
        if (place.journaled)
            RemoveFromJournal(journalEntry);
        if (error != EEXIST)
            return -1;
    }
    return -1;
}

bool WriteWhole(const QString &path, const QByteArray &content, Sync sync)
{
    Place place;
    if (!Locate(path, &place))
        return false;
    const int folder = place.folder.fd();
    const QByteArray target = Encoded(place.name);
    // A replaced file keeps its permissions; a new one gets the umask's.
    struct stat old {};
    const bool replacing = ::fstatat(folder, target.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0
        && S_ISREG(old.st_mode);
    QString temporaryName;
    const int fd = CreateTemporary(place, replacing ? 0600 : 0666, &temporaryName);
    if (fd < 0)
        return false;
    const QByteArray temporary = Encoded(temporaryName);
    bool whole = WrittenWhole(fd, content) && (sync == Sync::No || Synced(fd));
    if (whole && replacing)
        ::fchmod(fd, old.st_mode & 07777);  // a file system without modes keeps its own
    whole = (::close(fd) == 0 || errno == EINTR) && whole;
    whole = whole && ::renameat(folder, temporary.constData(), folder, target.constData()) == 0;
    if (!whole)
        ::unlinkat(folder, temporary.constData(), 0);
    if (place.journaled)
        RemoveFromJournal(place.folderPath + QLatin1Char('/') + temporaryName);
    return whole;
}

}  // namespace

bool Write(const QString &path, const QByteArray &content)
{
    return WriteWhole(path, content, Sync::Yes);
}

bool IsRegularFile(const QString &path, qint64 maxBytes)
{
    struct stat info {};
    return !path.isEmpty() && ::stat(Encoded(path).constData(), &info) == 0 && S_ISREG(info.st_mode)
        && info.st_size <= maxBytes;
}

bool Read(const QString &path, QByteArray *content, qint64 maxBytes)
{
    content->clear();
    if (path.isEmpty())
        return false;
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const Descriptor file(::open(Encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.fd() < 0 || ::fstat(file.fd(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > maxBytes)
        return false;
    QByteArray bytes;
    bytes.reserve(int(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.fd(), buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (bytes.size() + got > maxBytes)
            return false;  // grew past the limit while being read
        bytes.append(buffer, int(got));
    }
    *content = bytes;
    return true;
}

bool IsTemporaryName(const QString &fileName)
{
    const int marker = fileName.size() - kTemporarySuffixLength - kTemporaryMarker.size();
    if (marker <= 0 || fileName.midRef(marker, kTemporaryMarker.size()) != kTemporaryMarker)
        return false;
    for (int i = fileName.size() - kTemporarySuffixLength; i < fileName.size(); ++i) {
        if (!IsAsciiLetterOrDigit(fileName.at(i)))
            return false;
    }
    return true;
}

int RemoveInterruptedSaves(const QString &folder, const QDateTime &startedAt)
{
    int removed = 0;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (!IsTemporaryName(entry.fileName()) || !(entry.lastModified() < startedAt))
            continue;
        if (QFile::remove(entry.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

QString JournalPath()
{
    return BaseFolderPath() + QStringLiteral("/pending-saves.txt");
}

QStringList JournaledSaves()
{
    const std::lock_guard<std::mutex> lock(s_journalLock);
    return ReadJournal();
}

int RemoveJournaledSaves()
{
    const std::lock_guard<std::mutex> lock(s_journalLock);
    int removed = 0;
    QStringList kept;
    for (const QString &entry : ReadJournal()) {
        if (!QDir::isAbsolutePath(entry) || !IsTemporaryName(QFileInfo(entry).fileName()))
            continue;  // not a name this program gives: never touched
        struct stat info {};
        const QByteArray path = Encoded(entry);
        if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;  // gone already (the save ended), or replaced by something else
        if (::unlink(path.constData()) == 0)
            ++removed;
        else
            kept.append(entry);
    }
    WriteJournal(kept);
    return removed;
}

}  // namespace WholeFile
