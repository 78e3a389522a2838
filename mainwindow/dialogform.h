#pragma once
// The widgets of the device page frame (form "Dialog").

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidget>

class Ui_Dialog
{
public:
    QFrame *frame_2 = nullptr;
    QFrame *frame = nullptr;
    QFrame *frame_3 = nullptr;
    QToolButton *UpArrow = nullptr;
    QToolButton *ButtonMain = nullptr;
    QToolButton *SensorButton = nullptr;
    QToolButton *MacroButton = nullptr;
    QToolButton *FormSetting = nullptr;
    QToolButton *LightsButton = nullptr;
    QToolButton *SetButton = nullptr;
    QToolButton *MinButton = nullptr;
    QToolButton *CloseButton = nullptr;
    QLabel *label_2 = nullptr;
    QLabel *BatteryButtonC = nullptr;
    QProgressBar *progressBar = nullptr;
    QLabel *label = nullptr;
    QLabel *label_3 = nullptr;
    QFrame *line = nullptr;
    QFrame *line_2 = nullptr;
    QFrame *line_3 = nullptr;
    QFrame *line_4 = nullptr;
    QFrame *line_5 = nullptr;
    QFrame *line_6 = nullptr;
    QFrame *frame_4 = nullptr;
    QVBoxLayout *verticalLayout_4 = nullptr;
    QStackedWidget *stackedWidgetDialog = nullptr;

    // Builds the widgets and binds the on_<object>_<signal> slots of `page`.
    void setupUi(QWidget *page);
    void retranslateUi(QWidget *page);

private:
    static QToolButton *NavigationButton(QWidget *parent, const char *name, int x);
    static QFrame *SeparatorLine(QWidget *parent, const char *name, int x);
};
