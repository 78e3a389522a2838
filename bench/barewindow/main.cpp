// The yardstick of the start-up and memory figures: a bare frameless
// 1020 x 700 Qt window, built with the same compiler flags as the program and
// reporting its first paint the same way (VOGM_REPORT_SHOWN). With
// VOGM_BENCH_EMPTY_TIMER=1 it also runs a 1300 ms timer that does nothing:
// the floor of the program's idle figure, whose device page polls that often.
#include "testhooks.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {
constexpr int kWidth = 1020;
constexpr int kHeight = 700;
constexpr int kPollMs = 1300;
}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(kWidth, kHeight);
    TestHooks::ReportFirstShow(&window);
    window.show();
    QTimer emptyTimer;
    if (qEnvironmentVariableIntValue("VOGM_BENCH_EMPTY_TIMER") == 1) {
        QObject::connect(&emptyTimer, &QTimer::timeout, [] {});
        emptyTimer.start(kPollMs);
    }
    return app.exec();
}
