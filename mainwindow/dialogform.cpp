#include "dialogform.h"

#include <QFont>

QToolButton *Ui_Dialog::NavigationButton(QWidget *parent, const char *name, int x)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, 60, 30, 30);
    button->setCheckable(true);
    // The window's own keys (Space opens the pairing dialog) must not be
    // taken by a focused navigation button.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QFrame *Ui_Dialog::SeparatorLine(QWidget *parent, const char *name, int x)
{
    auto *separator = new QFrame(parent);
    separator->setObjectName(QLatin1String(name));
    separator->setGeometry(x, 65, 3, 21);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setStyleSheet(QStringLiteral("background-color: rgb(75, 75, 75);"));
    return separator;
}

void Ui_Dialog::setupUi(QWidget *page)
{
    if (page->objectName().isEmpty())
        page->setObjectName(QStringLiteral("Dialog"));
    page->resize(1020, 700);
    page->setMinimumSize(1020, 700);
    page->setMaximumSize(1020, 721);

    frame_2 = new QFrame(page);
    frame_2->setObjectName(QStringLiteral("frame_2"));
    frame_2->setGeometry(0, 0, 1020, 700);
    frame_2->setFixedSize(1020, 700);
    frame_2->setFrameShape(QFrame::StyledPanel);
    frame_2->setFrameShadow(QFrame::Raised);

    frame = new QFrame(frame_2);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setGeometry(0, 0, 1020, 111);

    frame_3 = new QFrame(frame_2);
    frame_3->setObjectName(QStringLiteral("frame_3"));
    frame_3->setGeometry(-10, 106, 144, 581);
    frame_3->setMaximumSize(150, 617);
    UpArrow = new QToolButton(frame_3);
    UpArrow->setObjectName(QStringLiteral("UpArrow"));
    UpArrow->setGeometry(60, 30, 34, 30);
    UpArrow->setFixedSize(34, 30);
    UpArrow->setAutoRaise(true);
    UpArrow->setFocusPolicy(Qt::NoFocus);

    ButtonMain = NavigationButton(frame, "ButtonMain", 248);
    SensorButton = NavigationButton(frame, "SensorButton", 323);
    MacroButton = NavigationButton(frame, "MacroButton", 396);
    FormSetting = NavigationButton(frame, "FormSetting", 470);
    LightsButton = NavigationButton(frame, "LightsButton", 545);

    SetButton = new QToolButton(frame);
    SetButton->setObjectName(QStringLiteral("SetButton"));
    SetButton->setGeometry(910, 10, 22, 22);
    MinButton = new QToolButton(frame);
    MinButton->setObjectName(QStringLiteral("MinButton"));
    MinButton->setGeometry(940, 20, 20, 20);
    CloseButton = new QToolButton(frame);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(980, 20, 20, 20);
    for (QToolButton *button : {SetButton, MinButton, CloseButton})
        button->setFocusPolicy(Qt::NoFocus);

    label_2 = new QLabel(frame);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setGeometry(908, 61, 41, 16);
    QFont numberFont(QStringLiteral("微软雅黑"));
    numberFont.setPointSize(10);
    label_2->setFont(numberFont);
    label_2->setAlignment(Qt::AlignCenter);

    BatteryButtonC = new QLabel(frame);
    BatteryButtonC->setObjectName(QStringLiteral("BatteryButtonC"));
    BatteryButtonC->setGeometry(957, 60, 43, 20);
    progressBar = new QProgressBar(frame);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setGeometry(958, 61, 38, 18);
    progressBar->setValue(100);
    progressBar->setTextVisible(false);
    // Full and grey until the first battery report.
    progressBar->setStyleSheet(QStringLiteral("#progressBar{border: none;background-color: transparent;}"
                                              "#progressBar::chunk {background-color: rgb(128, 128, 128);}"));
    label = new QLabel(frame);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(968, 67, 17, 7);

    label_3 = new QLabel(frame);
    label_3->setObjectName(QStringLiteral("label_3"));
    label_3->setGeometry(240, 10, 171, 51);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSize(16);
    titleFont.setBold(true);
    label_3->setFont(titleFont);
    label_3->setStyleSheet(QStringLiteral("color: rgb(192, 255, 0);"));

    line = SeparatorLine(frame, "line", 225);
    line_2 = SeparatorLine(frame, "line_2", 301);
    line_3 = SeparatorLine(frame, "line_3", 374);
    line_4 = SeparatorLine(frame, "line_4", 447);
    line_5 = SeparatorLine(frame, "line_5", 520);
    line_6 = SeparatorLine(frame, "line_6", 593);

    frame_4 = new QFrame(frame_2);
    frame_4->setObjectName(QStringLiteral("frame_4"));
    frame_4->setGeometry(140, 90, 881, 615);
    frame_4->setMaximumSize(890, 630);
    verticalLayout_4 = new QVBoxLayout(frame_4);
    verticalLayout_4->setObjectName(QStringLiteral("verticalLayout_4"));
    verticalLayout_4->setSpacing(0);
    verticalLayout_4->setContentsMargins(0, 0, 0, 0);
    stackedWidgetDialog = new QStackedWidget(frame_4);
    stackedWidgetDialog->setObjectName(QStringLiteral("stackedWidgetDialog"));
    stackedWidgetDialog->setMaximumSize(883, 605);
    verticalLayout_4->addWidget(stackedWidgetDialog);

    retranslateUi(page);
    QMetaObject::connectSlotsByName(page);
}

void Ui_Dialog::retranslateUi(QWidget *page)
{
    page->setWindowTitle(QStringLiteral("Dialog"));
    label_2->setText(QStringLiteral("100%"));
    for (QToolButton *button : {UpArrow, ButtonMain, SensorButton, MacroButton, FormSetting, LightsButton, SetButton,
                                MinButton, CloseButton})
        button->setText(QString());
}
