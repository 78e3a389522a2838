#include "dialogchange.h"

#include "hidusb.h"
#include "languagereader.h"
#include "paths.h"
#include "postmsg.h"
#include "usbcallbacks.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

DialogChange *g_DialogChange = nullptr;
QString g_DialogChangePictureDir;
QString g_ConnectPromptText;
QString g_RepairDeviceText;
QString g_OfflineTips1Text;
QString g_OfflineTips2Text;
QString g_MouseIsNewTipsText;

namespace {
constexpr int kPageWidth = 1020;
constexpr int kPageHeight = 700;
// SigChangeSize arguments of this page.
constexpr int kHideFromSelectionPage = 2;
constexpr int kCloseFromSelectionPage = 3;

QToolButton *MakeWindowButton(QWidget *parent, const char *name, int x)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, 10, 20, 20);
    button->setFixedSize(20, 20);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(30, 30));
    button->setAutoRaise(true);
    return button;
}

QString PushButtonStyle(const QString &dir, const QString &stem)
{
    return QStringLiteral("QToolButton{border:0px;background-image: url(") + dir + stem
        + QStringLiteral(".png);background-position:center;background-repeat:no-repeat;}"
                         "QToolButton:hover{background-image: url(")
        + dir + stem + QStringLiteral("Hover.png);}QToolButton:pressed{background-image: url(") + dir + stem
        + QStringLiteral("Click.png);}");
}
}  // namespace

DialogChange::DialogChange(QWidget *parent) : QWidget(parent)
{
    BuildForm();
    g_DialogChange = this;
    g_DialogChangePictureDir = Paths::AppFolder() + QStringLiteral("/Picture/DialogChange/");
    ApplyStyleSheets();
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &DialogChange::ChangeDialogLanguage);
    ChangeDialogLanguage(CurrentLanguageIndex());
    StartUsbChanged(SelectionUsbChangedCallback, kUsbChangedIntervalMs);
}

DialogChange::~DialogChange()
{
    if (g_DialogChange == this)
        g_DialogChange = nullptr;
}

void DialogChange::BuildForm()
{
    setObjectName(QStringLiteral("DialogChange"));
    resize(kPageWidth, kPageHeight);
    frameChange = new QFrame(this);
    frameChange->setObjectName(QStringLiteral("frameChange"));
    frameChange->setGeometry(0, 0, kPageWidth, kPageHeight);
    frameChange->setFrameShape(QFrame::StyledPanel);
    frameChange->setFrameShadow(QFrame::Raised);
    MinButton = MakeWindowButton(frameChange, "MinButton", 940);
    CloseButton = MakeWindowButton(frameChange, "CloseButton", 980);

    label_2 = new QLabel(frameChange);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setGeometry(0, 320, 1021, 121);
    QFont font(QStringLiteral("微软雅黑"));
    font.setPointSize(20);
    label_2->setFont(font);
    label_2->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    label_2->setAlignment(Qt::AlignCenter);
    label_2->setWordWrap(true);
    label_2->setText(QStringLiteral("请接入你的游戏装备"));

    QMetaObject::connectSlotsByName(this);
}

void DialogChange::ApplyStyleSheets()
{
    const QString &D = g_DialogChangePictureDir;
    frameChange->setStyleSheet(QStringLiteral("#frameChange{border-image: url(") + D
                               + QStringLiteral("MainBack.png);}"));
    CloseButton->setStyleSheet(PushButtonStyle(D, QStringLiteral("Close")));
    MinButton->setStyleSheet(PushButtonStyle(D, QStringLiteral("Min")));
}

void DialogChange::on_MinButton_clicked()
{
    PostMsg::GetInstance()->EmitChangeSize(kHideFromSelectionPage);
}

void DialogChange::on_CloseButton_clicked()
{
    PostMsg::GetInstance()->EmitChangeSize(kCloseFromSelectionPage);
}

void DialogChange::ChangeDialogLanguage(int index)
{
    LanguageReader reader(QStringLiteral("DialogChange"),
                          {
                              {QStringLiteral("label_2"),
                               [this](const QString &text) {
                                   g_ConnectPromptText = text;
                                   label_2->setText(text);
                               }},
                              {QStringLiteral("RepairDevice"), StoreTarget(&g_RepairDeviceText)},
                              {QStringLiteral("OfflineTips1"), StoreTarget(&g_OfflineTips1Text)},
                              {QStringLiteral("OfflineTips2"), StoreTarget(&g_OfflineTips2Text)},
                              {QStringLiteral("MouseIsNewTips"), StoreTarget(&g_MouseIsNewTipsText)},
                          });
    reader.Load(index);
}
