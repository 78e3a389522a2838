#include "terminationsignal.h"

#include <QMetaObject>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Written by the handler, read by the notifier; -1 until installed.
volatile sig_atomic_t g_writeEnd = -1;

extern "C" void OnTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    if (g_writeEnd >= 0) {
        // Non-blocking: a full pipe already holds a pending request.
        const ssize_t ignored = ::write(g_writeEnd, &byte, 1);
        (void)ignored;
    }
    errno = savedErrno;
}

bool MakeNonBlockingCloseOnExec(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 && ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

bool InstallHandler(int signalNumber)
{
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    return ::sigaction(signalNumber, &action, nullptr) == 0;
}

}  // namespace

TerminationSignal *TerminationSignal::Install()
{
    static TerminationSignal *instance = nullptr;
    if (instance)
        return instance;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
        return nullptr;
    if (!MakeNonBlockingCloseOnExec(ends[0]) || !MakeNonBlockingCloseOnExec(ends[1])) {
        ::close(ends[0]);
        ::close(ends[1]);
        return nullptr;
    }
    instance = new TerminationSignal(ends[1]);
    g_writeEnd = ends[0];
    InstallHandler(SIGTERM);
    InstallHandler(SIGINT);
    return instance;
}

void TerminationSignal::CloseOnRequest(QObject *window)
{
    TerminationSignal *instance = Install();
    if (!instance || !window)
        return;
    connect(instance, &TerminationSignal::Requested, window,
            [window] { QMetaObject::invokeMethod(window, "close"); });
}

TerminationSignal::TerminationSignal(int readEnd) : m_readEnd(readEnd)
{
    m_notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignal::ReadPending);
}

void TerminationSignal::ReadPending()
{
    unsigned char byte = 0;
    while (::read(m_readEnd, &byte, 1) == 1)
        emit Requested(byte);
}
