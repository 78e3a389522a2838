// The yardstick of the start-up and memory figures: a bare frameless
// 1020 x 700 Qt window, built with the same compiler flags as the program and
// reporting its first paint the same way (VOGM_REPORT_SHOWN).
#include "testhooks.h"

#include <QApplication>
#include <QWidget>

namespace {
constexpr int kWidth = 1020;
constexpr int kHeight = 700;
}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setFixedSize(kWidth, kHeight);
    TestHooks::ReportFirstShow(&window);
    window.show();
    return app.exec();
}
