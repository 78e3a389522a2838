#include "testhooks.h"

#include "waits.h"

#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <QtGlobal>

#include <cstdio>

namespace {

bool Enabled(const char *name)
{
    return qEnvironmentVariableIntValue(name) != 0;
}

// Reports the first paint event of the object it is installed on, then leaves.
class FirstPaintReporter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            std::printf("shown: %s\n", watched->metaObject()->className());
            std::fflush(stdout);
            watched->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

}  // namespace

namespace TestHooks {

void ReportFirstShow(QObject *window)
{
    if (!window || !Enabled("VOGM_REPORT_SHOWN"))
        return;
    window->installEventFilter(new FirstPaintReporter(window));
}

void AutoCloseAlreadyRunning(QObject *notice)
{
    if (!notice || !Enabled("VOGM_AUTOCLOSE_ALREADY_RUNNING"))
        return;
    QTimer::singleShot(Waits::Scaled(kAlreadyRunningAutoCloseMs), notice,
                       [notice] { QMetaObject::invokeMethod(notice, "close"); });
}

}  // namespace TestHooks
