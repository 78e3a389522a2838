#pragma once
// The confirmation with which a page reports that it filled itself from a
// whole settings image (g_SensorFilled, g_ButtonFilled). The wait popup waits
// for both; it also needs to know that a confirmation is new, not one left
// set by an earlier fill, so every setting to 1 is counted and announced.

#include <QObject>
#include <atomic>
#include <cstdint>

// Announces each confirmation, on the thread that made it (the GUI thread,
// where the pages fill). Receivers that act on it connect queued, so they run
// after the page's fill has returned.
class PageFillNotifier : public QObject
{
    Q_OBJECT
public:
    static PageFillNotifier *Instance();

signals:
    void Confirmed();
};

// Used like the one-byte flag it replaces: assigned 0 or 1, read as a number.
class PageFilledFlag
{
public:
    PageFilledFlag &operator=(uint8_t value);
    void store(uint8_t value) { *this = value; }
    uint8_t load() const { return m_value.load(); }
    operator uint8_t() const { return load(); }
    // How many times the flag has been set to 1 since the start.
    quint64 Confirmations() const { return m_confirmations.load(); }

private:
    std::atomic<uint8_t> m_value{0};
    std::atomic<quint64> m_confirmations{0};
};
