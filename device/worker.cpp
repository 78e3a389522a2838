#include "worker.h"

#include "configini.h"
#include "connection.h"
#include "devicecache.h"
#include "globals.h"
#include "hidcallback.h"
#include "hidusb.h"
#include "postmsg.h"
#include "waits.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDeadlineTimer>
#include <QTimer>

namespace {
// How long the shutdown waits for a running pass, and in what steps it
// delivers the queued calls the pass may be waiting for.
constexpr int kWorkerStopLimitMs = 3000;
constexpr int kWorkerStopStepMs = 10;
}  // namespace

Worker::Worker(QObject *parent) : QThread(nullptr), PlaceholderPath("a")
{
    Q_UNUSED(parent);
    g_WorkerRun = 1;
    g_StatusTimer.start();
    SetCurrentPath(PlaceholderPath);
    g_DeviceOnline = 0;

    g_OnlineTimer = new QTimer(this);
    connect(g_OnlineTimer, &QTimer::timeout, this, &Worker::SlotCheckOnline);
    g_OnlineTimer->setInterval(Waits::Scaled(kOnlinePollMs));
    g_OnlineTimer->start();

    connect(PostMsg::GetInstance(), &PostMsg::SigSelectMouseInfo, this, &Worker::SlotSelectMouseInfo);
    connect(PostMsg::GetInstance(), &PostMsg::SigMainPageChange, this, &Worker::SlotMainPageChange);
    // Queued: this object lives on the GUI thread, the signal comes from the pass.
    connect(this, &QThread::finished, this, &Worker::StartPassAskedWhileRunning);

    g_ShowBatteryValue = ConfigIni::GetInstance()->Value("Option", "ShowBatteryValue").toInt();
}

void Worker::Stop()
{
    g_WorkerRun = 0;
}

bool Worker::ClearRunFlag()
{
    g_WorkerRun = 0;
    return true;
}

bool Worker::SetRunFlag()
{
    g_WorkerRun = 1;
    return true;
}

void Worker::StartPass()
{
    g_WorkerRun = 1;
    PassAskedWhileRunning = isRunning();
    start(QThread::InheritPriority);
}

void Worker::StartPassAskedWhileRunning()
{
    if (!PassAskedWhileRunning)
        return;
    PassAskedWhileRunning = false;
    // A worker being shut down starts nothing; a pass started since covers the request.
    if (g_Worker == this && !isRunning())
        StartPass();
}

void Worker::SlotSelectMouseInfo(DeviceAllInfo SelectInfo)
{
    ForgetDeviceImage();
    g_CurrentDevice.Set(SelectInfo);
    g_LoadCacheName.Set(DeviceCacheName(SelectInfo.Cid, SelectInfo.Mid));
    // Open the chosen device on the first pass, not whatever path was current
    // before: the main page's rescan may not have run yet.
    SetCurrentPath(SelectInfo.Path.toLocal8Bit());
}

void Worker::SlotMainPageChange()
{
    g_OpenedOnline = 0;
}

void Worker::SlotCheckOnline()
{
    // A worker being shut down waits for its deletion: a pass started now
    // would still run when it is deleted.
    if (g_Worker != this)
        return;
    if (g_WaitOnline) {
        if (g_SessionActive == 0) {
            if (g_CurrentDevice.Get().LinkType != 0)
                g_WaitOnline = 0;
        } else if (g_LinkWatch) {
            g_DeviceOnline = UsbFinderC_GetDeviceOnLine(g_CurrentPath) ? 1 : 0;
            g_OpenedOnline = 0;
            if (!g_DeviceOnline)
                return;
            PostMsg::GetInstance()->EmitCloseOffOnline();
            g_WaitOnline = 0;
        }
    }
    if (g_DeviceOnline && g_RestartWorker) {
        g_RestartWorker = 0;
        StartPass();
    }
}

bool Worker::DeviceChanged(const DeviceAllInfo &current) const
{
    std::lock_guard<std::mutex> lock(LastOpenedLock);
    return current.Path != LastPath || current.LinkType != LastLinkType || g_DeviceOnline != g_OpenedOnline
           || g_ReloadRequested;
}

void Worker::FillPagesFromCache()
{
    FlashDataMap cached{};
    PostMsg *hub = PostMsg::GetInstance();
    if (LoadDeviceCache(g_LoadCacheName.Get(), &cached)) {
        hub->EmitUpDataLightUIButton(cached);
        hub->EmitUpDataLightLight(cached);
        hub->EmitUpDataLightSensor(cached);
        hub->EmitForm();
    } else {
        hub->EmitFormReset();
    }
}

void Worker::run()
{
    if (!g_WorkerRun)
        return;
    if (!g_DeviceOnline)
        g_DeviceOnline = UsbFinderC_GetDeviceOnLine(g_CurrentPath) ? 1 : 0;

    const DeviceAllInfo current = g_CurrentDevice.Get();
    if (g_SessionActive == 1 && DeviceChanged(current)) {
        g_DeviceOnline = UsbFinderC_GetDeviceOnLine(g_CurrentPath) ? 1 : 0;
        SetCurrentOnline(current.Path, g_DeviceOnline != 0);
        if (g_DeviceOnline) {
            if (g_ReloadRequested) {
                PostMsg::GetInstance()->EmitUpDataParam(1);
                g_ReloadRequested = 0;
            } else if (!g_ApplyingSettings) {
                PostMsg::GetInstance()->EmitUpDataParam(0);
            }
        } else {
            g_WaitOnline = 1;
            FillPagesFromCache();
        }
        {
            std::lock_guard<std::mutex> lock(LastOpenedLock);
            LastPath = current.Path;
            LastLinkType = current.LinkType;
        }
        if (ReadInFlightOnSamePath()) {
            // A slow mouse is still sending its dump: opening again would drop it.
            qDebug() << "OnlinA (read in flight kept)";
        } else {
            OpenCurrentDevice();
            qDebug() << "OnlinA";
            UsbServer_SetPCDriverStatus(true);
            ReadWholeImage();
        }
        g_OpenedOnline = g_DeviceOnline.load();
        qDebug() << "OnlinB";
    }
    g_DeviceDataReady = g_DeviceOnline.load();
    g_WorkerRun = 0;
}

bool Worker::ReadInFlightOnSamePath() const
{
    return WholeReadInFlight() && OpenedConnection().path == QByteArray(g_CurrentPath);
}

void Worker::SetCurrentOnline(const QString &path, bool online)
{
    g_CurrentDevice.Update([&](DeviceAllInfo &device) {
        if (device.Path == path)
            device.Online = online;
    });
}

void SelectCurrentDevice(DeviceAllInfo info)
{
    const QByteArray path = info.Path.toLocal8Bit();
    if (UsbFinderC_GetDeviceOnLine(path.constData())) {
        ForgetDeviceImage();
        g_CurrentDevice.Set(info);
        SetCurrentPath(path);
    }
    if (g_Worker)
        g_Worker->StartPass();
    else
        g_WorkerRun = 1;
}

void ShutdownWorker()
{
    if (!g_Worker)
        return;
    Worker *worker = g_Worker;
    g_Worker = nullptr;
    if (g_OnlineTimer)
        g_OnlineTimer->stop();
    g_OnlineTimer = nullptr;
    worker->Stop();
    // Deleted by the event loop once the thread has ended (at once if it is
    // not running): deleting a running thread would abort the process.
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    // A pass may be parked in a blocking-queued emit to a page of this (the
    // GUI) thread: keep delivering queued calls while waiting, and give up
    // after a bound rather than hang the exit.
    QDeadlineTimer limit(kWorkerStopLimitMs);
    while (!worker->wait(kWorkerStopStepMs)) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        if (limit.hasExpired()) {
            qWarning("The device thread did not end; leaving it behind");
            break;
        }
    }
    if (!worker->isRunning())
        worker->deleteLater();
    StopUsbChanged();
}
