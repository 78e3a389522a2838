#include "elapsedclock.h"

void ElapsedClock::UseSource(const TimeSource *source)
{
    m_source = source;
    m_valid = false;
}

qint64 ElapsedClock::NowMs() const
{
    if (m_source)
        return m_source->NowMs();
    return m_steady.isValid() ? m_steady.elapsed() : 0;
}

void ElapsedClock::start()
{
    if (!m_source && !m_steady.isValid())
        m_steady.start();
    m_startMs = NowMs();
    m_valid = true;
}

qint64 ElapsedClock::restart()
{
    const qint64 before = elapsed();
    start();
    return before;
}

qint64 ElapsedClock::elapsed() const
{
    return NowMs() - m_startMs;
}
