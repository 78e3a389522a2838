#include "xmapped.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kServerStartMs = 10000;
constexpr int kMapTimeoutMs = 60000;
constexpr int kEndTimeoutMs = 15000;

class ChildProcess : public QProcess
{
protected:
    void setupChildProcess() override { ::prctl(PR_SET_PDEATHSIG, SIGTERM); }
};

// A display number no X server uses: from VOGM_BENCH_DISPLAYS ("680-689"),
// the numbers this machine's user may take, when set.
int FreeDisplay()
{
    int first = 173, last = 399;
    const QStringList range = qEnvironmentVariable("VOGM_BENCH_DISPLAYS").split(QLatin1Char('-'));
    if (range.size() == 2 && range[0].toInt() > 0 && range[1].toInt() >= range[0].toInt()) {
        first = range[0].toInt();
        last = range[1].toInt();
    }
    for (int n = first; n <= last; ++n) {
        if (!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n))
            && !QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n)))
            return n;
    }
    return -1;
}

}  // namespace

struct MappedWindowClock::State {
    ChildProcess server;
    QString display;
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
};

MappedWindowClock::MappedWindowClock() : m(new State)
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const int number = FreeDisplay();
    if (xvfb.isEmpty() || number < 0)
        return;
    m->display = QStringLiteral(":%1").arg(number);
    m->server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m->server.setStandardOutputFile(QProcess::nullDevice());
    m->server.setStandardErrorFile(QProcess::nullDevice());
    m->server.start(xvfb, {m->display, QStringLiteral("-screen"), QStringLiteral("0"), QStringLiteral("1280x800x24"),
                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QElapsedTimer clock;
    clock.start();
    const QByteArray name = m->display.toLatin1();
    while (clock.elapsed() < kServerStartMs && m->server.state() != QProcess::NotRunning) {
        if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))) {
            xcb_connection_t *connection = xcb_connect(name.constData(), nullptr);
            if (!xcb_connection_has_error(connection)) {
                m->connection = connection;
                break;
            }
            xcb_disconnect(connection);
        }
        QThread::msleep(20);
    }
    if (!m->connection)
        return;
    m->root = xcb_setup_roots_iterator(xcb_get_setup(m->connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m->connection, m->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m->connection);
}

MappedWindowClock::~MappedWindowClock()
{
    if (m->connection)
        xcb_disconnect(m->connection);
    if (m->server.state() != QProcess::NotRunning) {
        m->server.terminate();
        if (!m->server.waitForFinished(kEndTimeoutMs))
            m->server.kill();
    }
}

bool MappedWindowClock::Ready() const
{
    return m->connection != nullptr;
}

QString MappedWindowClock::Display() const
{
    return m->display;
}

bool MappedWindowClock::SawMap(int width, int height)
{
    bool mapped = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m->connection)) {
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            xcb_get_geometry_reply_t *geometry =
                xcb_get_geometry_reply(m->connection, xcb_get_geometry(m->connection, map->window), nullptr);
            mapped = mapped || (geometry && geometry->width == width && geometry->height == height);
            std::free(geometry);
        }
        std::free(event);
    }
    return mapped;
}

MappedWindowClock::Start MappedWindowClock::StartUntilShown(const QString &program, QProcessEnvironment environment,
                                                            int width, int height, const QByteArray &marker)
{
    Start result;
    if (!Ready()) {
        result.what = QStringLiteral("no X server");
        return result;
    }
    SawMap(width, height);  // events of an earlier start are of no interest
    environment.insert(QStringLiteral("DISPLAY"), m->display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    ChildProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    QByteArray output;
    double shownMs = -1;
    while (shownMs < 0 && clock.elapsed() < kMapTimeoutMs && process.waitForReadyRead(kMapTimeoutMs)) {
        output += process.readAllStandardOutput();
        if (output.contains(marker))
            shownMs = clock.nsecsElapsed() / 1e6;
    }
    // The map comes before the first expose, and so before the first paint:
    // its notification is waiting on our connection by now.
    bool mapped = shownMs >= 0 && SawMap(width, height);
    if (shownMs >= 0 && !mapped) {
        const int fd = xcb_get_file_descriptor(m->connection);
        pollfd wait{fd, POLLIN, 0};
        mapped = ::poll(&wait, 1, kEndTimeoutMs) > 0 && SawMap(width, height);
    }
    if (process.state() != QProcess::NotRunning) {
        ::kill(pid_t(process.processId()), SIGTERM);
        if (!process.waitForFinished(kEndTimeoutMs)) {
            process.kill();
            process.waitForFinished(kEndTimeoutMs);
        }
    }
    result.errors = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit)
        result.endedAsAsked = process.exitCode() == 0;
    else
        result.endedAsAsked = process.exitCode() == SIGTERM;  // QProcess gives the signal's number
    const QString ended = process.exitStatus() == QProcess::NormalExit
                              ? QStringLiteral("exit code %1").arg(process.exitCode())
                              : QStringLiteral("signal %1 (%2)")
                                    .arg(process.exitCode())
                                    .arg(QString::fromLatin1(strsignal(process.exitCode())));
    if (shownMs < 0)
        result.what = QStringLiteral("no \"%1\" within %2 ms, %3")
                          .arg(QString::fromLatin1(marker.trimmed()))
                          .arg(kMapTimeoutMs)
                          .arg(ended);
    else if (!mapped)
        result.what = QStringLiteral("no %1x%2 window mapped, %3").arg(width).arg(height).arg(ended);
    else if (!result.endedAsAsked)
        result.what = QStringLiteral("did not end as asked: %1").arg(ended);
    result.shownMs = mapped ? shownMs : -1;
    return result;
}
