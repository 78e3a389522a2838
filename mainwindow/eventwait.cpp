#include "eventwait.h"

#include "waits.h"

#include <QEventLoop>
#include <QThread>
#include <QTimer>

void WaitProcessingEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(Waits::Scaled(ms), &loop, &QEventLoop::quit);
    loop.exec();
}

void SleepWithoutEvents(int ms)
{
    QThread::msleep(static_cast<unsigned long>(Waits::Scaled(ms)));
}
