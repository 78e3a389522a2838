// The program: the start-up steps, the single-instance check, the main window
// and the event loop.

#include "compiledresources.h"
#include "dialogmain.h"
#include "notices.h"
#include "startup.h"
#include "terminationsignal.h"
#include "testhooks.h"

#include <QApplication>

int main(int argc, char **argv)
{
    // The compiled-in :/qt/etc/qt.conf lives in a static library.
    Q_INIT_RESOURCE(qtconf);
    LoadCompiledResources();
    return Startup::Run<QApplication>(
        argc, argv,
        [] {
            auto *window = new DialogMain;
            TestHooks::ReportFirstShow(window);
            // SIGTERM and SIGINT take the close button's road.
            TerminationSignal::CloseOnRequest(window);
            return window;
        },
        [] {
            ExeIsRun notice;
            TestHooks::ReportFirstShow(&notice);
            TestHooks::AutoCloseAlreadyRunning(&notice);
            notice.exec();
        });
}
