#pragma once
// A clock a test moves by hand: a time source for the program's ElapsedClock,
// and the clock of QTimers the test holds. Nothing on it moves by itself, so a
// case can check both sides of the end of a named wait without waiting for it
// and without racing a loaded machine.

#include "elapsedclock.h"

#include <QPointer>
#include <QTimer>
#include <vector>

class SteppedClock : public TimeSource
{
public:
    qint64 NowMs() const override { return m_nowMs; }

    // Moves the time on by `ms`. Each held timer whose interval has now passed
    // fires: it is started again with no wait, so the event loop delivers its
    // timeout as it would deliver a due timer's.
    void Advance(qint64 ms);

    // From now on the running `timer` counts its interval on this clock and no
    // longer on the steady clock. A timer the program stops or starts again
    // leaves the hold.
    void Hold(QTimer *timer);

private:
    struct Held {
        QPointer<QTimer> timer;
        qint64 dueMs = 0;
    };
    std::vector<Held> m_held;
    qint64 m_nowMs = 0;
};
