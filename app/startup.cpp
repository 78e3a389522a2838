#include "startup.h"

#include "wholefile.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <mutex>

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kMaxKeptAgeDays = 7;

// Whole days since `lastChange`; a time after `now` counts as age 0 rather
// than wrapping around into a huge age.
qint64 AgeInWholeDays(qint64 now, qint64 lastChange)
{
    if (lastChange >= now)
        return 0;
    return (now - lastChange) / kSecondsPerDay;
}

}  // namespace

namespace Startup {

QStringList UserFolderNames()
{
    return {"/Log", "/Device_Info", "/Exception", "/usersetting", "/usersetting/MainPage",
            "/usersetting/MacroPage", "/usersetting/SensorPage"};
}

void PrepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    // Without TZ the C library stats /etc/localtime at every local-time
    // conversion, and Qt converts a file time for every picture a style sheet
    // names (its pixmap cache key): hundreds of stats per page fill. Naming
    // the same zone file lets it keep what it read.
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
    // The plugin folder beside the program holds the xcb and offscreen
    // platforms only; a session that asks for another (wayland) still gets a window.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray name = platform.split(':').value(0);
    if (!platform.isEmpty() && !platform.contains(';') && name != "xcb" && name != "offscreen")
        qputenv("QT_QPA_PLATFORM", platform + ";xcb");
}

void PrepareUserFolders()
{
    const QString base = Paths::BaseFolder();
    for (const QString &name : UserFolderNames())
        QDir().mkpath(base + name);

    // NewOnly: never truncate a Macro.ini that exists (or that a second
    // instance starting at the same moment has just created).
    QFile macroIni(base + "/Macro.ini");
    if (macroIni.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::NewOnly))
        macroIni.close();
}

void IgnoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

void RemoveInterruptedSaves(const QDateTime &startedAt)
{
    WholeFile::RemoveJournaledSaves();
    const QString base = Paths::BaseFolder();
    WholeFile::RemoveInterruptedSaves(base, startedAt);
    for (const QString &name : UserFolderNames())
        WholeFile::RemoveInterruptedSaves(base + name, startedAt);
}

}  // namespace Startup

void PurgeOldFiles(const QString &dir)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    // Listed once and walked as a list, so removing an entry never skips the next.
    const QFileInfoList entries = QDir(dir).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QDateTime lastChange = entry.lastModified();
        if (!lastChange.isValid())
            continue;
        if (AgeInWholeDays(now, lastChange.toSecsSinceEpoch()) > kMaxKeptAgeDays)
            QFile::remove(entry.absoluteFilePath());
    }
}

void LogMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);

    // Only debug messages are written; critical and fatal ones are labelled
    // but dropped, warnings and information do nothing.
    if (type != QtDebugMsg)
        return;

    const QString where = QString("File:(%1) Line:(%2)")
                              .arg(QString::fromUtf8(context.file ? context.file : ""),
                                   QString::number(context.line));
    const QString when = QString("(%1)").arg(QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss.zzz"));
    const QString line = QString("%1 %2 %3 %4").arg("Debug:", where, message, when) + "\r\n";

    QFile file(Paths::BaseFolder() + "/Log/" + QDate::currentDate().toString("yyyy-MM-dd") + ".txt");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(line.toUtf8());
    file.flush();
    file.close();
}

namespace SingleInstance {

bool TryAcquire()
{
    static int lockFd = -1;
    if (lockFd >= 0)
        return true;

    const QString base = Paths::BaseFolder();
    QDir().mkpath(base);
    const QByteArray path = QFile::encodeName(base + "/" + QString::fromLatin1(Paths::kProductTitle) + ".lock");
    // CLOEXEC: a program we launch (browser, desktop tools) must not inherit
    // the lock and keep it after we end.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return true;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        lockFd = fd;  // kept open: the lock lives as long as the process
        return true;
    }
    const bool heldByOther = (errno == EWOULDBLOCK);
    ::close(fd);
    return !heldByOther;
}

}  // namespace SingleInstance
