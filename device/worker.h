#pragma once
// The one thread object that opens the connection with the current device.
// Each start() runs one pass of run(); the slots run on the GUI thread.

#include "deviceallinfo.h"

#include <QByteArray>
#include <QString>
#include <QThread>

#include <mutex>

// Interval of the poll that waits for an offline device to come back.
constexpr int kOnlinePollMs = 1300;

class Worker : public QThread
{
    Q_OBJECT
public:
    explicit Worker(QObject *parent = nullptr);

    void Stop();
    bool ClearRunFlag();
    bool SetRunFlag();
    // Starts a pass, or has one follow the running pass: QThread drops a
    // start() while a pass runs, and a device made current during that pass
    // would never be opened. GUI thread only.
    void StartPass();

public slots:
    void SlotSelectMouseInfo(DeviceAllInfo SelectInfo);
    void SlotMainPageChange();
    void SlotCheckOnline();

protected:
    void run() override;

private:
    bool DeviceChanged(const DeviceAllInfo &current) const;
    bool ReadInFlightOnSamePath() const;
    static void SetCurrentOnline(const QString &path, bool online);
    void FillPagesFromCache();
    void StartPassAskedWhileRunning();

    QByteArray PlaceholderPath;
    // The device the last pass opened. Each pass may run on a new OS thread;
    // the lock orders one pass's write before the next pass's read.
    mutable std::mutex LastOpenedLock;
    int LastLinkType = 0;
    QString LastPath;
    bool PassAskedWhileRunning = false;  // GUI thread only
};

// Makes `info` the current device when it answers, then starts a worker pass.
void SelectCurrentDevice(DeviceAllInfo info);

// Stops g_Worker, waits for a running pass (at most a few seconds, delivering
// the queued calls of this thread that the pass may wait for), has it deleted
// once it has ended, and stops the USB-change notification. GUI thread only.
void ShutdownWorker();
