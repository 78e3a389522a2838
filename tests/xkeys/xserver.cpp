#include "xserver.h"

#include <QProcess>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cerrno>
#include <csignal>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

XServer::~XServer()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    int status = 0;
    while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
}

bool XServer::Start(QString *error)
{
    int fds[2];
    if (pipe(fds) != 0) {
        *error = QStringLiteral("no pipe");
        return false;
    }
    const std::string fd = std::to_string(fds[1]);
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid < 0) {
        *error = QStringLiteral("no fork");
        return false;
    }
    if (m_pid == 0) {
        // The server goes with the test, also when the test dies.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(1);
        close(fds[0]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
               "-noreset", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // The server writes its display number and a newline once it takes clients.
    std::string number;
    char c = 0;
    ssize_t got = 0;
    while ((got = read(fds[0], &c, 1)) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        *error = QStringLiteral("Xvfb did not start (is it installed? scripts/setup-deps installs it)");
        return false;
    }
    m_display = QStringLiteral(":") + QString::fromStdString(number);
    return true;
}

XKeyboard::~XKeyboard()
{
    if (m_display)
        XCloseDisplay(m_display);
}

bool XKeyboard::Open(const QString &display)
{
    m_name = display;
    m_display = XOpenDisplay(display.toLatin1().constData());
    int event = 0, error = 0, major = 0, minor = 0;
    return m_display && XTestQueryExtension(m_display, &event, &error, &major, &minor);
}

bool XKeyboard::SetLayout(const QString &layout)
{
    return QProcess::execute(QStringLiteral("setxkbmap"), {QStringLiteral("-display"), m_name, layout}) == 0;
}

void XKeyboard::Key(unsigned keycode, bool down, unsigned long delayMs)
{
    XTestFakeKeyEvent(m_display, keycode, down ? True : False, delayMs);
}

void XKeyboard::Tap(unsigned keycode)
{
    Key(keycode, true);
    Key(keycode, false);
    Flush();
}

void XKeyboard::SetNumLock(bool on)
{
    const unsigned mask = XkbKeysymToModifiers(m_display, XK_Num_Lock);
    XkbLockModifiers(m_display, XkbUseCoreKbd, mask, on ? mask : 0);
    XSync(m_display, False);
}

namespace {

Bool IsMapNotify(Display *, XEvent *event, XPointer window)
{
    return event->type == MapNotify && event->xmap.window == *reinterpret_cast<Window *>(window);
}

}  // namespace

void XKeyboard::FocusOtherWindow()
{
    if (!m_other) {
        Window root = DefaultRootWindow(m_display);
        m_other = XCreateSimpleWindow(m_display, root, 0, 0, 40, 40, 0, 0, 0);
        XSelectInput(m_display, m_other, StructureNotifyMask | KeyPressMask | KeyReleaseMask);
        XMapWindow(m_display, m_other);
        XEvent event;
        XIfEvent(m_display, &event, IsMapNotify, reinterpret_cast<XPointer>(&m_other));
    }
    XSetInputFocus(m_display, m_other, RevertToNone, CurrentTime);
    XSync(m_display, False);
}

void XKeyboard::Flush()
{
    XSync(m_display, False);
}

void XKeyboard::FocusWindow(unsigned long window)
{
    XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
    XSync(m_display, False);
}
