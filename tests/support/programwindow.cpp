#include "programwindow.h"

#include "connection.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb_control.h"
#include "mytoolbuttonenter.h"
#include "testsupport.h"
#include "worker.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

namespace TestSupport {

bool Settled()
{
    return QApplication::activeModalWidget() == nullptr && !(g_Worker && g_Worker->isRunning());
}

bool OpenTile(DialogMain *window, const QString &pid)
{
    int index = -1;
    const bool listed = QTest::qWaitFor([&] {
        for (int i = 0; i < g_PageDevices.size(); ++i)
            index = g_PageDevices[i].Pid == pid && g_PageDevices[i].Online ? i : index;
        return index >= 0 && Settled();
    }, kHangGuardMs);
    auto *tile = window->SelectionPage()->findChild<mytoolButtonEnter *>(QString("btn%1").arg(index));
    if (!listed || !tile)
        return false;
    QTest::mouseClick(tile, Qt::LeftButton);
    return window->CurrentPage() == 1 && QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, kHangGuardMs)
           && HidSim::WaitUntilIdle();
}

void TurnWheel(QWidget *widget, const QPoint &pos, int notches)
{
    QWindow *window = widget->window()->windowHandle();
    const QPoint global = widget->mapToGlobal(pos);
    const QPointF local = window->mapFromGlobal(global);
    const int step = notches > 0 ? QWheelEvent::DefaultDeltasPerStep : -QWheelEvent::DefaultDeltasPerStep;
    for (int i = 0; i < qAbs(notches); ++i) {
        QWheelEvent event(local, global, QPoint(), QPoint(0, step), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        // Only events from the window system travel on to the parents.
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(window, &event);
    }
}

}  // namespace TestSupport
