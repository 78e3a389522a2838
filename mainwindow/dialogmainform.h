#pragma once
// The widgets of the main window (form "DialogMain"): one frame holding the
// page stack.

#include <QFrame>
#include <QStackedWidget>
#include <QWidget>

class Ui_DialogMain
{
public:
    QFrame *frame = nullptr;
    QStackedWidget *stackedWidgetMain = nullptr;

    void setupUi(QWidget *window);
    void retranslateUi(QWidget *window);
};
