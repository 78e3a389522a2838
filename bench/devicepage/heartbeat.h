#pragma once
// A probe of how long the GUI thread is held. A thread of its own posts a
// beat to the GUI thread every 5 ms (a new one only once the last has been
// handled); each handled beat closes a gap, the time since the one before.
// A gap is counted as the GUI thread's own CPU time plus the time it was
// blocked (sleeping outside its event loop): the time it waited for a CPU is
// taken off (/proc/thread-self/schedstat), so a loaded machine does not make
// a gap long. A gap of about 5 ms is an idle GUI thread.
//
// Gaps are collected into named phases; the probe runs only while a phase is
// open, so an idle measurement taken later sees no beats.
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <thread>

class Heartbeat : public QObject
{
public:
    static constexpr int kBeatMs = 5;

    struct Figures {
        QString phase;
        int beats = 0;
        double longestGapMs = 0;     // own CPU plus blocked
        double longestGapCpuMs = 0;  // own CPU of that gap
        double cpuMs = 0;            // own CPU of the whole phase
        int gapsOver50Ms = 0;
    };

    explicit Heartbeat(QObject *parent = nullptr);
    ~Heartbeat() override;

    // Starts a phase (ending the one before) and the beats, if stopped.
    void BeginPhase(const QString &name);
    // Calls `then` once the GUI thread has been idle for `quietMs`: that many
    // milliseconds' worth of beats in a row, none after a gap over 15 ms.
    // Counted in beats, not on the clock: on a loaded machine the beats come
    // late, and a clock would call an unfinished phase idle.
    void WhenIdle(int quietMs, std::function<void()> then);
    // Ends the open phase and stops the beats.
    Figures EndPhase();
    const Figures &Current() const { return m_figures; }

protected:
    bool event(QEvent *event) override;

private:
    static constexpr double kIdleGapMs = 15;

    void OnBeat();
    void StopThread();

    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_pending{false};
    Figures m_figures;
    bool m_open = false;
    qint64 m_lastWallNs = -1;
    qint64 m_lastRunNs = 0;
    qint64 m_lastWaitNs = 0;
    int m_quietBeats = 0;
    int m_quietBeatsNeeded = 0;
    std::function<void()> m_whenIdle;
};
