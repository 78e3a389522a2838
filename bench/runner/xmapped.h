#pragma once
// The time from starting a program to its window being mapped by a real X
// server: a private Xvfb that the runner starts and ends, watched for the
// MapNotify of a top-level window of the expected size.

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

    // Starts `program` with `environment` on this X server and returns the
    // milliseconds until a top-level window of width x height is mapped, or a
    // negative number when none is within the time-out. The program is ended.
    double StartUntilMapped(const QString &program, QProcessEnvironment environment, int width, int height);

private:
    struct State;
    std::unique_ptr<State> m;
};
