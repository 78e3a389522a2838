#include "matchform.h"

#include <QDialog>
#include <QFont>

namespace {
constexpr int kFormWidth = 458;
constexpr int kFormHeight = 242;

QFont UiFont(const char *family, int points)
{
    QFont font(QString::fromUtf8(family));
    font.setPointSize(points);
    return font;
}

// The two little ornaments beside the instructions: never clicked, never focused.
QToolButton *Decoration(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setEnabled(false);
    button->setGeometry(geometry);
    button->setFont(UiFont("Arial", 11));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    return button;
}
}  // namespace

void Ui_Match::setupUi(QDialog *dialog)
{
    if (dialog->objectName().isEmpty())
        dialog->setObjectName(QStringLiteral("Match"));
    dialog->resize(kFormWidth, kFormHeight);
    dialog->setFixedSize(kFormWidth, kFormHeight);

    MatchA = new QFrame(dialog);
    MatchA->setObjectName(QStringLiteral("MatchA"));
    MatchA->setGeometry(0, 0, kFormWidth, kFormHeight);
    MatchA->setFixedSize(kFormWidth, kFormHeight);
    MatchA->setFrameShape(QFrame::StyledPanel);
    MatchA->setFrameShadow(QFrame::Raised);

    toolButton_2 = Decoration(MatchA, "toolButton_2", QRect(80, 30, 14, 14));

    CloseButton = new QToolButton(MatchA);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(435, 20, 14, 14);
    CloseButton->setFocusPolicy(Qt::NoFocus);
    CloseButton->setIconSize(QSize(30, 30));
    CloseButton->setAutoRaise(true);

    MatchButton = new QPushButton(MatchA);
    MatchButton->setObjectName(QStringLiteral("MatchButton"));
    MatchButton->setGeometry(110, 195, 234, 32);
    MatchButton->setFixedSize(234, 32);
    MatchButton->setFont(UiFont("微软雅黑", 11));
    MatchButton->setFocusPolicy(Qt::TabFocus);

    textEdit = new QTextEdit(MatchA);
    textEdit->setObjectName(QStringLiteral("textEdit"));
    textEdit->setEnabled(false);
    textEdit->setGeometry(105, 20, 271, 171);
    textEdit->setFont(UiFont("微软雅黑", 10));
    textEdit->setFocusPolicy(Qt::NoFocus);
    textEdit->setReadOnly(true);

    label = new QLabel(MatchA);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(105, 30, 241, 16);
    label->setFont(UiFont("微软雅黑", 10));

    toolButton_3 = Decoration(MatchA, "toolButton_3", QRect(80, 180, 18, 18));

    retranslateUi(dialog);
    QMetaObject::connectSlotsByName(dialog);
}

void Ui_Match::retranslateUi(QDialog *dialog)
{
    dialog->setWindowTitle(QStringLiteral("Dialog"));
    MatchButton->setText(QString::fromUtf8("开始配对"));
    label->setText(QString::fromUtf8("无线模式下,才能进入配对"));
    textEdit->setHtml(QString::fromUtf8(
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\" \"http://www.w3.org/TR/REC-html40/strict.dtd\">\n"
        "<html><head><meta name=\"qrichtext\" content=\"1\" /><style type=\"text/css\">\n"
        "p, li { white-space: pre-wrap; }\n"
        "</style></head><body style=\" font-family:'微软雅黑'; font-size:10pt; font-weight:400; font-style:normal;\">\n"
        "<p style=\" margin-top:0px; margin-bottom:0px; margin-left:0px; margin-right:0px; -qt-block-indent:0; "
        "text-indent:0px;\">请让鼠标进入配对状态(同时按住左中右键3秒,直至对码指示灯快闪),并靠近接收器,点击&quot;开始配对&quot;"
        "或按键盘的空格键</p></body></html>"));
}
