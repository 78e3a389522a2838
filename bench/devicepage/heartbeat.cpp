#include "heartbeat.h"

#include <QCoreApplication>
#include <QEvent>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QEvent::Type kBeat = QEvent::Type(QEvent::registerEventType());

qint64 MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The calling thread's time on a CPU and time spent waiting for one, in ns.
bool ReadOwnSchedstat(qint64 *runNs, qint64 *waitNs)
{
    const int file = ::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    char text[128] = {};
    const ssize_t length = ::read(file, text, sizeof text - 1);
    ::close(file);
    if (length <= 0)
        return false;
    long long run = 0, wait = 0;
    if (std::sscanf(text, "%lld %lld", &run, &wait) != 2)
        return false;
    *runNs = run;
    *waitNs = wait;
    return true;
}

}  // namespace

Heartbeat::Heartbeat(QObject *parent) : QObject(parent) {}

Heartbeat::~Heartbeat()
{
    StopThread();
}

void Heartbeat::BeginPhase(const QString &name)
{
    m_figures = Figures();
    m_figures.phase = name;
    m_open = true;
    m_whenIdle = nullptr;
    // The first gap runs from here.
    m_lastWallNs = ReadOwnSchedstat(&m_lastRunNs, &m_lastWaitNs) ? MonotonicNs() : -1;
    if (m_running.exchange(true))
        return;
    m_pending = false;
    m_thread = std::thread([this] {
        while (m_running.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kBeatMs));
            if (!m_pending.exchange(true))
                QCoreApplication::postEvent(this, new QEvent(kBeat));
        }
    });
}

void Heartbeat::WhenIdle(int quietMs, std::function<void()> then)
{
    m_quietBeatsNeeded = qMax(1, quietMs / kBeatMs);
    m_quietBeats = 0;
    m_whenIdle = std::move(then);
}

Heartbeat::Figures Heartbeat::EndPhase()
{
    m_open = false;
    m_whenIdle = nullptr;
    StopThread();
    return m_figures;
}

void Heartbeat::StopThread()
{
    if (!m_running.exchange(false))
        return;
    if (m_thread.joinable())
        m_thread.join();
}

bool Heartbeat::event(QEvent *event)
{
    if (event->type() != kBeat)
        return QObject::event(event);
    m_pending = false;
    OnBeat();
    return true;
}

void Heartbeat::OnBeat()
{
    if (!m_open)
        return;
    qint64 runNs = 0, waitNs = 0;
    if (!ReadOwnSchedstat(&runNs, &waitNs))
        return;
    const qint64 wallNs = MonotonicNs();
    if (m_lastWallNs >= 0) {
        const double gapMs = double((wallNs - m_lastWallNs) - (waitNs - m_lastWaitNs)) / 1e6;
        const double cpuMs = double(runNs - m_lastRunNs) / 1e6;
        ++m_figures.beats;
        m_figures.cpuMs += cpuMs;
        if (gapMs > m_figures.longestGapMs) {
            m_figures.longestGapMs = gapMs;
            m_figures.longestGapCpuMs = cpuMs;
        }
        if (gapMs > 50)
            ++m_figures.gapsOver50Ms;
        m_quietBeats = gapMs > kIdleGapMs ? 0 : m_quietBeats + 1;
    }
    m_lastWallNs = wallNs;
    m_lastRunNs = runNs;
    m_lastWaitNs = waitNs;
    if (m_whenIdle && m_quietBeats >= m_quietBeatsNeeded) {
        auto then = std::move(m_whenIdle);
        m_whenIdle = nullptr;
        then();
    }
}
