#pragma once
// An X server of the test's own (Xvfb, on a free display it picks itself) and
// a keyboard that presses keys on it by X keycode through the XTEST
// extension, as a physical keyboard would, under the layout set with
// setxkbmap.

#include <QByteArray>
#include <QString>
#include <sys/types.h>

typedef struct _XDisplay Display;

class XServer
{
public:
    XServer() = default;
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    // Starts Xvfb and waits until it names its display; false (with the
    // reason in `error`) when it cannot be started.
    bool Start(QString *error);
    // ":N"
    QString DisplayName() const { return m_display; }

private:
    pid_t m_pid = -1;
    QString m_display;
};

class XKeyboard
{
public:
    XKeyboard() = default;
    ~XKeyboard();
    XKeyboard(const XKeyboard &) = delete;
    XKeyboard &operator=(const XKeyboard &) = delete;

    bool Open(const QString &display);
    // Runs setxkbmap with the layout; true when it succeeded.
    bool SetLayout(const QString &layout);
    // Presses or releases a key; `delayMs` makes the server wait that long
    // before it takes the event, so events are that far apart in server time.
    void Key(unsigned keycode, bool down, unsigned long delayMs = 0);
    void Tap(unsigned keycode);
    void SetNumLock(bool on);
    // Gives the keyboard focus to a window of the keyboard's own: keys go to
    // no window of the program.
    void FocusOtherWindow();
    // Gives the keyboard focus back to a window of the program (by X window id).
    void FocusWindow(unsigned long window);
    void Flush();

private:
    Display *m_display = nullptr;
    QString m_name;
    unsigned long m_other = 0;
};
