#include "smallfilesystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

namespace {

const char kSize[] = "size=64k,mode=0755";

}  // namespace

SmallFileSystem::SmallFileSystem()
{
    if (m_dir.isValid())
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, kSize) == 0;
}

SmallFileSystem::~SmallFileSystem()
{
    Release();
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

QString SmallFileSystem::Kind() const
{
    return m_mounted ? QStringLiteral("64 KiB tmpfs") : QStringLiteral("file-size limit / folder permissions");
}

bool SmallFileSystem::FillUp()
{
    if (!m_mounted) {
        struct rlimit limit {};
        if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
            return false;
        limit.rlim_cur = 0;
        m_limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        return m_limited;
    }
    QFile filler(m_dir.path() + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) {
    }
    // The last partial block too, byte by byte.
    while (filler.write("f", 1) == 1) {
    }
    return true;
}

bool SmallFileSystem::MakeReadOnly()
{
    const QByteArray path = QFile::encodeName(m_dir.path());
    if (m_mounted)
        m_readOnly = ::mount("tmpfs", path.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, kSize) == 0;
    else
        m_readOnly = SetFolderPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    return m_readOnly;
}

bool SmallFileSystem::SetFolderPermissions(QFileDevice::Permissions permissions)
{
    bool all = QFile::setPermissions(m_dir.path(), permissions);
    QDirIterator it(m_dir.path(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        all = QFile::setPermissions(it.next(), permissions) && all;
    return all;
}

void SmallFileSystem::Release()
{
    if (m_limited) {
        struct rlimit limit {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        m_limited = false;
    }
    if (m_readOnly) {
        const QByteArray path = QFile::encodeName(m_dir.path());
        if (m_mounted)
            ::mount("tmpfs", path.constData(), "tmpfs", MS_REMOUNT, kSize);
        else
            SetFolderPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_readOnly = false;
    }
}
