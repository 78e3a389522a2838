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

// A display number no X server uses.
int FreeDisplay()
{
    for (int n = 173; n < 400; ++n) {
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

double MappedWindowClock::StartUntilMapped(const QString &program, QProcessEnvironment environment, int width,
                                           int height)
{
    if (!Ready())
        return -1;
    // Events of an earlier run are of no interest.
    while (xcb_generic_event_t *old = xcb_poll_for_event(m->connection))
        std::free(old);
    environment.insert(QStringLiteral("DISPLAY"), m->display);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    ChildProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, QStringList());
    double mappedMs = -1;
    const int fd = xcb_get_file_descriptor(m->connection);
    while (mappedMs < 0 && clock.elapsed() < kMapTimeoutMs) {
        pollfd wait{fd, POLLIN, 0};
        ::poll(&wait, 1, 50);
        while (xcb_generic_event_t *event = xcb_poll_for_event(m->connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && mappedMs < 0) {
                const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
                xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(
                    m->connection, xcb_get_geometry(m->connection, map->window), nullptr);
                if (geometry && geometry->width == width && geometry->height == height)
                    mappedMs = clock.nsecsElapsed() / 1e6;
                std::free(geometry);
            }
            std::free(event);
        }
    }
    ::kill(pid_t(process.processId()), SIGTERM);
    if (!process.waitForFinished(kEndTimeoutMs)) {
        process.kill();
        process.waitForFinished(kEndTimeoutMs);
    }
    return mappedMs;
}
