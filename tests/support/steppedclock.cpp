#include "steppedclock.h"

#include <algorithm>
#include <limits>

namespace {
// The interval a held timer keeps on the steady clock: it stays active, as
// the program expects of a running wait, but never comes due in a test.
constexpr int kNeverMs = std::numeric_limits<int>::max();
}  // namespace

void SteppedClock::Hold(QTimer *timer)
{
    if (!timer || !timer->isActive())
        return;
    m_held.push_back({timer, m_nowMs + timer->interval()});
    timer->start(kNeverMs);
}

void SteppedClock::Advance(qint64 ms)
{
    m_nowMs += ms;
    const auto leftHold = [](const Held &held) {
        return !held.timer || !held.timer->isActive() || held.timer->interval() != kNeverMs;
    };
    m_held.erase(std::remove_if(m_held.begin(), m_held.end(), leftHold), m_held.end());
    for (auto it = m_held.begin(); it != m_held.end();) {
        if (it->dueMs <= m_nowMs) {
            it->timer->start(0);
            it = m_held.erase(it);
        } else {
            ++it;
        }
    }
}
