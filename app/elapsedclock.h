#pragma once
// A stopwatch like QElapsedTimer (start, restart, elapsed, isValid) that reads
// its time from a source: the steady clock unless another source is given.
// A test gives a source it steps by hand, so a window of time measured by the
// program can be checked on both sides of its end without waiting for it.

#include <QElapsedTimer>
#include <QtGlobal>

class TimeSource
{
public:
    virtual ~TimeSource() = default;
    // Milliseconds on a clock that never goes back.
    virtual qint64 NowMs() const = 0;
};

class ElapsedClock
{
public:
    // `source` must outlive this clock; nullptr goes back to the steady clock.
    // The clock is invalid again until the next start().
    void UseSource(const TimeSource *source);

    void start();
    // Starts again; returns the milliseconds elapsed before.
    qint64 restart();
    // Milliseconds since start(); meaningless while not valid.
    qint64 elapsed() const;
    bool isValid() const { return m_valid; }

private:
    qint64 NowMs() const;

    const TimeSource *m_source = nullptr;
    QElapsedTimer m_steady;
    qint64 m_startMs = 0;
    bool m_valid = false;
};
