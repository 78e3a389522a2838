#include "testhooks.h"

#include "waits.h"

#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <QtGlobal>

#include <cstdio>
#include <functional>

namespace {

bool Enabled(const char *name)
{
    return qEnvironmentVariableIntValue(name) != 0;
}

// Runs `then` once the first paint of the object it is installed on has been
// handled: queued from the paint event, so it runs after the paint and the
// flush of the window's backing store that ends it. Then it leaves.
class AfterFirstPaint : public QObject
{
public:
    AfterFirstPaint(QObject *watched, std::function<void()> then) : QObject(watched), m_then(std::move(then))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_then();
                    deleteLater();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_then;
};

}  // namespace

namespace TestHooks {

void ReportFirstShow(QObject *window)
{
    if (!window || !Enabled("VOGM_REPORT_SHOWN"))
        return;
    new AfterFirstPaint(window, [window] {
        std::printf("shown: %s\n", window->metaObject()->className());
        std::fflush(stdout);
    });
}

void AutoCloseAlreadyRunning(QObject *notice)
{
    if (!notice || !Enabled("VOGM_AUTOCLOSE_ALREADY_RUNNING"))
        return;
    new AfterFirstPaint(notice, [notice] {
        QTimer::singleShot(Waits::Scaled(kAlreadyRunningAutoCloseMs), notice,
                           [notice] { QMetaObject::invokeMethod(notice, "close"); });
    });
}

}  // namespace TestHooks
