// The GUI thread's CPU time for each step that builds part of the device
// page, in the program's own main window: the frame (after the first paint),
// the switch to the device page (which builds the button page), and the first
// choice of the sensor page, the macro editor and the settings page (each
// built then), each step with the events it leaves (its paint). Prints one
// line per step, "<step>: <ms> ms CPU", then ends. VOGM_APP_DIR names the
// staged files.
#include "compiledresources.h"
#include "dialog.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

// Runs `step` and every event it leaves behind (the paint included).
void Measure(const char *name, const std::function<void()> &step)
{
    const double before = ThreadCpuMs();
    step();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    std::printf("%s: %.1f ms CPU\n", name, ThreadCpuMs() - before);
    std::fflush(stdout);
}

void ClickNavigation(DialogMain *window, const char *button)
{
    window->DevicePage()->findChild<QAbstractButton *>(QLatin1String(button))->click();
}

}  // namespace

int main(int argc, char **argv)
{
    Q_INIT_RESOURCE(qtconf);
    LoadCompiledResources();
    QApplication app(argc, argv);
    auto *window = new DialogMain;
    // The frame, measured on its own before the window shows (the program
    // builds it right after the first paint).
    QCoreApplication::processEvents();
    Measure("frame (top bar, navigation, worker)", [window] { window->DevicePage(); });
    window->show();
    // Once the device list has painted and has its tiles.
    QTimer settle;
    QObject::connect(&settle, &QTimer::timeout, window, [window, &settle] {
        if (!window->isVisible() || g_PageDevices.isEmpty())
            return;
        settle.stop();
        QCoreApplication::processEvents();
        Measure("switch to the device page (button page)", [window] { window->SlotChangeMainDialog(1); });
        Measure("sensor page, first chosen", [window] { ClickNavigation(window, "SensorButton"); });
        Measure("macro editor, first chosen", [window] { ClickNavigation(window, "MacroButton"); });
        Measure("settings page, first chosen", [window] { ClickNavigation(window, "FormSetting"); });
        Measure("button page, chosen again", [window] { ClickNavigation(window, "ButtonMain"); });
        StopUsbChanged();
        QCoreApplication::exit(0);
    });
    settle.start(20);
    const int code = QApplication::exec();
    delete window;
    return code;
}
