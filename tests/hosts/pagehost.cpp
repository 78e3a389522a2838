// The page host: shows the pages and panels that no page of the program
// places, on the simulated world's cable mouse m1, with writes allowed, so a
// person can look at them and try them. Each hosted page has its own tab.
//
// The world is the one the device library starts with (the default world, or
// the file named by VOGM_SCENARIO); `vogm-world` changes it as for the program.

#include "compiledresources.h"
#include "currentmouse.h"
#include "globals.h"
#include "hidusb.h"
#include "hostedpages.h"

#include <QApplication>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>

namespace {

const QString kMouse = QStringLiteral("m1");

QTabWidget *HostWindow(const FlashDataMap &image)
{
    auto *tabs = new QTabWidget;
    tabs->setWindowTitle(QStringLiteral("Page host: %1").arg(kMouse));
    tabs->setStyleSheet(QStringLiteral(
        "QTabWidget::pane{border: 0px;}"
        "QTabBar::tab{background: rgb(36, 37, 44); color: rgb(200, 200, 200); padding: 6px 16px;}"
        "QTabBar::tab:selected{background: rgb(24, 25, 29); color: rgb(255, 255, 255);}"));
    for (const HostedPage &hosted : HostedPages())
        tabs->addTab(DarkPage(hosted.build(image)), hosted.title);
    // Whole pages: a new window would otherwise get at most 2/3 of the screen.
    tabs->setMinimumSize(tabs->minimumSizeHint());
    return tabs;
}

}  // namespace

int main(int argc, char **argv)
{
    // Run from the build tree, the host finds the staged data by itself.
    if (qEnvironmentVariableIsEmpty("VOGM_APP_DIR"))
        qputenv("VOGM_APP_DIR", VOGM_STAGED_DATA);
    LoadCompiledResources();
    QApplication app(argc, argv);

    QString error;
    if (!CurrentMouse::Open(kMouse, &error)) {
        std::fprintf(stderr, "vogm-pagehost: %s\n", qPrintable(error));
        return 1;
    }
    QTabWidget *window = HostWindow(ReadImage());
    window->show();
    const int result = app.exec();
    delete window;
    UsbServer_SetPCDriverStatus(0);
    UsbServer_Exit();
    return result;
}
