#pragma once
// The time from starting a program to the end of the first paint of its
// window on a real X server: a private Xvfb that the runner starts and ends,
// watched for the MapNotify of a top-level window of the expected size, and
// the program's line on standard output once its first paint has been
// handled and flushed.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <memory>

class MappedWindowClock
{
public:
    MappedWindowClock();
    ~MappedWindowClock();

    // False when Xvfb could not be started (not installed): no measurement.
    bool Ready() const;
    QString Display() const;

    struct Start {
        // Milliseconds from the start to the marker line, the window of the
        // expected size mapped before it; negative when either did not come.
        double shownMs = -1;
        // The process ended as asked: its own exit 0 or the SIGTERM itself.
        bool endedAsAsked = false;
        QString what;       // when not: what went wrong
        QByteArray errors;  // its standard error
    };

    // Starts `program` with `environment` on this X server, waits for its
    // `marker` line and the map of its width x height window, then ends it.
    Start StartUntilShown(const QString &program, QProcessEnvironment environment, int width, int height,
                          const QByteArray &marker);

private:
    // Reads the pending events; true when one was the map of a top-level
    // window of width x height.
    bool SawMap(int width, int height);

    struct State;
    std::unique_ptr<State> m;
};
