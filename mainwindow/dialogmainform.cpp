#include "dialogmainform.h"

#include "paths.h"

void Ui_DialogMain::setupUi(QWidget *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("DialogMain"));
    window->resize(1020, 700);
    window->setMinimumSize(1020, 700);
    window->setMaximumSize(1020, 700);
    frame = new QFrame(window);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setGeometry(0, 0, 1020, 700);
    frame->setFixedSize(1020, 700);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    stackedWidgetMain = new QStackedWidget(frame);
    stackedWidgetMain->setObjectName(QStringLiteral("stackedWidgetMain"));
    stackedWidgetMain->setGeometry(0, 0, 1020, 700);
    stackedWidgetMain->setFixedSize(1020, 700);
    stackedWidgetMain->setStyleSheet(QString());
    retranslateUi(window);
    QMetaObject::connectSlotsByName(window);
}

void Ui_DialogMain::retranslateUi(QWidget *window)
{
    window->setWindowTitle(QString::fromLatin1(Paths::kProductTitle));
}
