#include "wholefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace WholeFile {

namespace {

constexpr int kTemporarySuffixLength = 6;

// fsync, where the file system offers it: a file system without it (EINVAL,
// EROFS on some special mounts) has nothing further to report.
bool Synced(int fd)
{
    if (fd < 0)
        return false;
    if (::fsync(fd) == 0)
        return true;
    return errno == EINVAL || errno == ENOTSUP;
}

bool IsAsciiLetterOrDigit(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

bool Write(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const bool whole = file.write(content) == content.size() && file.flush() && Synced(file.handle());
    if (!whole) {
        file.cancelWriting();  // the temporary file goes with `file`
        return false;
    }
    return file.commit();
}

bool IsRegularFile(const QString &path, qint64 maxBytes)
{
    struct stat info {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode)
        && info.st_size <= maxBytes;
}

bool Read(const QString &path, QByteArray *content, qint64 maxBytes)
{
    content->clear();
    if (path.isEmpty())
        return false;
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const Descriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
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
    const int dot = fileName.size() - kTemporarySuffixLength - 1;
    if (dot <= 0 || fileName.at(dot) != QLatin1Char('.'))
        return false;
    for (int i = dot + 1; i < fileName.size(); ++i) {
        if (!IsAsciiLetterOrDigit(fileName.at(i)))
            return false;
    }
    // The target itself has a name and an extension ("registry.ini").
    const QString target = fileName.left(dot);
    const int extension = target.lastIndexOf(QLatin1Char('.'));
    return extension > 0 && extension < target.size() - 1;
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

}  // namespace WholeFile
