#pragma once
// SIGTERM and SIGINT end the program the same way its close button does.
//
// A signal handler may only make async-signal-safe calls, so it does no more
// than write one byte into a socket pair. A QSocketNotifier on the other end
// turns that byte into the Qt signal Requested() on the GUI thread, where it
// is safe to close windows and let the close sequence run. The handlers are
// installed with SA_RESETHAND: a second signal, while the first one's close
// sequence runs, ends the process at once.

#include <QObject>

class QSocketNotifier;

class TerminationSignal : public QObject
{
    Q_OBJECT
public:
    // Installs the handlers once and returns the one instance (created on the
    // calling thread, which must run an event loop). nullptr when the socket
    // pair or the notifier cannot be made; the signals then keep their
    // default action.
    static TerminationSignal *Install();

    // Closes `window` (through its "close" slot) when a termination signal
    // arrives. Without an instance nothing is connected.
    static void CloseOnRequest(QObject *window);

signals:
    void Requested(int signalNumber);

private:
    explicit TerminationSignal(int readEnd);
    void ReadPending();

    QSocketNotifier *m_notifier = nullptr;
    int m_readEnd = -1;
};
