// USB-change notification: the callback runs on the thread that registered it,
// posted (never from inside an interface call), never re-entered, with the
// changes of one interval folded into one call.

#include "simcore.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace HidSim {

namespace {

class UsbChangeNotifier : public QObject
{
public:
    UsbChangeNotifier()
    {
        timer_.setSingleShot(true);
        connect(&timer_, &QTimer::timeout, this, [this] { Fire(); });
    }

    // Everything below runs on the notifier's (the registering) thread.
    void Register(UsbChangedCallback callback, int intervalMs)
    {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            callback_ = callback;
            pending_ = callback != nullptr;
        }
        interval_ = qMax(0, intervalMs);
        if (inCall_)
            soon_ = true;  // registered from inside a call: the first call follows its return
        else
            timer_.start(0);  // the first call, soon after registration
    }

    void Stop()
    {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            callback_ = nullptr;
            pending_ = false;
        }
        timer_.stop();
    }

    void Changed()
    {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            if (!callback_)
                return;
            pending_ = true;
        }
        if (!inCall_ && !timer_.isActive())
            timer_.start(interval_);
    }

    bool Pending()
    {
        std::lock_guard<std::mutex> guard(mutex_);
        return pending_ && callback_;
    }

    void ClearStoppedCallback()  // from another thread: no call after this returns
    {
        std::lock_guard<std::mutex> guard(mutex_);
        callback_ = nullptr;
        pending_ = false;
    }

private:
    void Fire()
    {
        if (inCall_)
            return;  // a modal loop inside the callback; called again after it returns
        UsbChangedCallback callback = nullptr;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            if (!pending_ || !callback_)
                return;
            pending_ = false;
            callback = callback_;
        }
        inCall_ = true;
        LogCall("callback:usb");
        callback();
        inCall_ = false;
        if (Pending())
            timer_.start(soon_ ? 0 : interval_);
        soon_ = false;
    }

    std::mutex mutex_;
    UsbChangedCallback callback_ = nullptr;
    bool pending_ = false;
    bool inCall_ = false;
    bool soon_ = false;
    int interval_ = 600;
    QTimer timer_;
};

// Never destroyed: the delivery thread may post a change while the process exits.
std::mutex &g_notifierMutex = *new std::mutex;
QPointer<UsbChangeNotifier> &g_notifier = *new QPointer<UsbChangeNotifier>;

void RunOn(QObject *target, std::function<void()> work)
{
    if (target->thread() == QThread::currentThread())
        work();
    else
        QMetaObject::invokeMethod(target, std::move(work), Qt::QueuedConnection);
}

}  // namespace

void PostUsbChange()
{
    std::lock_guard<std::mutex> guard(g_notifierMutex);
    if (UsbChangeNotifier *n = g_notifier.data())
        QMetaObject::invokeMethod(n, [n] { n->Changed(); }, Qt::QueuedConnection);
}

bool UsbChangePending()
{
    std::lock_guard<std::mutex> guard(g_notifierMutex);
    return g_notifier && g_notifier->Pending();
}

}  // namespace HidSim

using namespace HidSim;

extern "C" {

void StartUsbChanged(UsbChangedCallback callback, int intervalMs)
{
    LogCall("StartUsbChanged", QString::number(intervalMs));
    Lib();  // the world exists before the first call
    std::lock_guard<std::mutex> guard(g_notifierMutex);
    if (g_notifier && g_notifier->thread() != QThread::currentThread()) {
        // Registered from another thread now: the old notifier goes quiet at
        // once and ends on its own thread.
        g_notifier->ClearStoppedCallback();
        g_notifier->deleteLater();
        g_notifier = nullptr;
    }
    if (!g_notifier)
        g_notifier = new UsbChangeNotifier;  // lives on the registering thread
    g_notifier->Register(callback, intervalMs);
}

void StopUsbChanged(void)
{
    LogCall("StopUsbChanged");
    std::lock_guard<std::mutex> guard(g_notifierMutex);
    if (UsbChangeNotifier *n = g_notifier.data()) {
        n->ClearStoppedCallback();
        RunOn(n, [n] { n->Stop(); });
    }
}

}  // extern "C"
