#include "dialogchange.h"

#include "ui_dialogchange.h"

#include "combotheme.h"
#include "configini.h"
#include "deviceallinfo.h"
#include "dialog.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb.h"
#include "languagereader.h"
#include "macroini.h"
#include "myconmbobox.h"
#include "noticedialog.h"
#include "pagebackground.h"
#include "paths.h"
#include "postmsg.h"
#include "updatefailinfo.h"
#include "updaterepair.h"
#include "usbcallbacks.h"
#include "wheelguard.h"

#include <QEvent>
#include <QLabel>
#include <QSignalBlocker>

QString g_ConnectPromptText;
QString g_RepairDeviceText;
QString g_OfflineTips1Text;
QString g_OfflineTips2Text;
QString g_MouseIsNewTipsText;

namespace {

// SigChangeSize arguments of this page.
constexpr int kHideToTray = 2;
constexpr int kCloseApplication = 3;
constexpr int kLanguageListRows = 5;

// "r,g,b" of a theme colour of Config.ini.
QString Theme(const char *key)
{
    return ConfigIni::GetInstance()->ColorTriple(QStringLiteral("Option"), QLatin1String(key));
}

QColor ThemeColor(const char *key)
{
    return ConfigIni::GetInstance()->Color(QStringLiteral("Option"), QLatin1String(key));
}

QString ThreeStateButtonStyle(const QString &dir, const QString &stem)
{
    return QStringLiteral("QToolButton{border:0px;background-image: url(") + dir + stem
        + QStringLiteral(".png);background-position:center;background-repeat:no-repeat;}"
                         "QToolButton:hover{background-image: url(")
        + dir + stem + QStringLiteral("Hover.png);}QToolButton:pressed{background-image: url(") + dir + stem
        + QStringLiteral("Click.png);}");
}

QString ArrowStyle(const QString &dir, const QString &stem)
{
    return QStringLiteral("QToolButton{border-image: url(") + dir + stem
        + QStringLiteral(".png);}QToolButton:hover{border-image: url(") + dir + stem
        + QStringLiteral("Click.png);}");
}

QString OfflineTip()
{
    return g_OfflineTips1Text + QLatin1Char('\n') + g_OfflineTips2Text;
}

}  // namespace

DialogChange::DialogChange(QWidget *parent) : QWidget(parent), ui(new Ui_DialogChange)
{
    ui->setupUi(this);
    // The hint overlaps the lower edge of the tiles: let clicks through to them.
    ui->label_3->setAttribute(Qt::WA_TransparentForMouseEvents);
    g_DialogChange = this;
    ui->comboBox->setCurrentIndex(0);
    g_DialogChangePictureDir = Paths::AppFolder() + QStringLiteral("/Picture/DialogChange/");
    ApplyStyleSheets();

    ui->label_2->show();
    ui->label_3->show();
    ui->RightButton->hide();
    ui->LeftButton->hide();

    ConnectHub();
    ShowRepairFromRegistry();
    g_DeviceTotal = ConfigIni::GetInstance()->IntValue(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));

    const int language = CurrentLanguageIndex();
    ui->comboBox->setCurrentIndex(language);
    ChangeDialogLanguage(language);
    ui->FindVer->hide();
    WheelGuard::InstallOn(this);

    // No scan of our own: the library calls the callback soon after this.
    StartUsbChanged(SelectionUsbChangedCallback, kUsbChangedIntervalMs);
}

DialogChange::~DialogChange()
{
    // The tiles die with the page; the lists must not keep their addresses.
    g_DeviceTiles.clear();
    g_OfflineIcons.clear();
    g_LinkIcons.clear();
    g_RateBadges.clear();
    if (g_DialogChange == this)
        g_DialogChange = nullptr;
    delete ui;
}

void DialogChange::ApplyStyleSheets()
{
    const QString &D = g_DialogChangePictureDir;
    new PageBackground(ui->frameChange, PageScene::Kind::DeviceList, Paths::AppFolder() + QStringLiteral("/Picture/"));
    ui->CloseButton->setStyleSheet(ThreeStateButtonStyle(D, QStringLiteral("Close")));
    ui->MinButton->setStyleSheet(ThreeStateButtonStyle(D, QStringLiteral("Min")));
    ui->Repair->setStyleSheet(QStringLiteral("#Repair{border:0px;background-image: url(") + D
                              + QStringLiteral("Repair.png);background-position:center;background-repeat:no-repeat;}"));
    ui->RightButton->setStyleSheet(ArrowStyle(D, QStringLiteral("Right")));
    ui->LeftButton->setStyleSheet(ArrowStyle(D, QStringLiteral("Left")));

    const ComboTheme::Colors colors{ThemeColor("ComboxTextColor"), ThemeColor("ComboxBackGroundColor"),
                                    ThemeColor("ComboxSelectColor")};
    ComboTheme::Apply(ui->comboBox, colors, D, ComboTheme::Ending::Plain, true, kLanguageListRows);

    ApplyPopupStyleSheets(Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/"));
}

// The firmware-news popup wears the notice dialogs' look.
void DialogChange::ApplyPopupStyleSheets(const QString &W)
{
    ui->FindVerlaebl->setStyleSheet(QStringLiteral("QLabel{color: rgb(") + Theme("LabelColor")
                                    + QStringLiteral(";);}"));
    ui->NewHong->setStyleSheet(
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
        + Theme("ButtonColor") + QStringLiteral(";);border-image: url(") + W
        + QStringLiteral("Confirm.png);}QToolButton:pressed{border-image: url(") + W
        + QStringLiteral("ConfirmClick.png); }"));
    ui->CloseButton_2->setStyleSheet(ThreeStateButtonStyle(W, QStringLiteral("Close")));
    ui->FindVer->setStyleSheet(
        QStringLiteral("#FindVer{border:0px;background-position:center;background-repeat:no-repeat;"
                       "background-image: url(")
        + W + QStringLiteral("BackGround.png);}"));
    ui->NoApear->setStyleSheet(QStringLiteral("QCheckBox{color: rgb(") + Theme("LabelColor")
                               + QStringLiteral(";);}QCheckBox::indicator:checked {image: url(") + W
                               + QStringLiteral("CheckBoxCheck.png);}QCheckBox::indicator:unchecked {image: url(")
                               + W + QStringLiteral("CheckBox.png);}"));
}

void DialogChange::ConnectHub()
{
    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigLanguageSameA, this, &DialogChange::SlotSameLanguageA);
    connect(hub, &PostMsg::SigUpDateButton, this, &DialogChange::SlotUpDateButton);
    connect(hub, &PostMsg::SigEnterKey, this, &DialogChange::SlotEnterKey);
    connect(hub, &PostMsg::SigChangeLanguage, this, &DialogChange::ChangeDialogLanguage);
}

void DialogChange::ShowRepairFromRegistry()
{
    ui->Repair->setVisible(UpdateFailInfo::IsSet());
}

void DialogChange::ShowRepairHint(bool repairVisible)
{
    ui->Repair->setVisible(repairVisible);
    ui->label_2->setText(repairVisible ? g_RepairDeviceText : g_ConnectPromptText);
}

void DialogChange::ChangeDialogLanguage(int index)
{
    const LanguageReader reader(
        QStringLiteral("DialogChange"),
        {
            {QStringLiteral("label_2"),
             [this](const QString &text) {
                 g_ConnectPromptText = text;
                 if (ui->Repair->isHidden())
                     ui->label_2->setText(text);
             }},
            {QStringLiteral("RepairDevice"),
             [this](const QString &text) {
                 g_RepairDeviceText = text;
                 if (!ui->Repair->isHidden())
                     ui->label_2->setText(text);
             }},
            {QStringLiteral("label_3"), PropertyTarget(ui->label_3)},
            {QStringLiteral("label"), PropertyTarget(ui->FindVerlaebl)},
            {QStringLiteral("NewHong"), PropertyTarget(ui->NewHong)},
            {QStringLiteral("NoApear"), PropertyTarget(ui->NoApear)},
            {QStringLiteral("OfflineTips1"), StoreTarget(&g_OfflineTips1Text)},
            {QStringLiteral("OfflineTips2"), StoreTarget(&g_OfflineTips2Text)},
            {QStringLiteral("MouseIsNewTips"), StoreTarget(&g_MouseIsNewTipsText)},
        });
    reader.Load(index);
    // Tiles built before a language change get the new tooltip too.
    for (QLabel *icon : qAsConst(g_OfflineIcons))
        icon->setToolTip(OfflineTip());
}

void DialogChange::on_MinButton_clicked()
{
    PostMsg::GetInstance()->EmitChangeSize(kHideToTray);
}

void DialogChange::on_CloseButton_clicked()
{
    PostMsg::GetInstance()->EmitChangeSize(kCloseApplication);
}

// The arrows change their visibility only on the way to the first and the
// last page; every page stays reachable.
void DialogChange::on_LeftButton_clicked()
{
    ui->label_2->hide();
    ui->label_3->show();
    const int current = ui->stackedWidget->currentIndex();
    if (current <= 0)
        return;
    if (current == 1) {
        ui->LeftButton->hide();
        ui->RightButton->show();
    }
    ui->stackedWidget->setCurrentIndex(current - 1);
}

void DialogChange::on_RightButton_clicked()
{
    ui->label_2->hide();
    ui->label_3->show();
    const int pages = ui->stackedWidget->count();
    const int current = ui->stackedWidget->currentIndex();
    if (current + 1 >= pages)
        return;
    if (current == pages - 2) {
        ui->LeftButton->show();
        ui->RightButton->hide();
    }
    ui->stackedWidget->setCurrentIndex(current + 1);
}

void DialogChange::on_Repair_clicked()
{
    // The repair runs in the device page's settings page; the device page
    // builds that page and the dialog when first needed. Without a device page
    // there is none.
    if (auto *main = qobject_cast<DialogMain *>(window()))
        main->DevicePage()->RepairDialog();
    UpDateRepair *repair = g_UpDateRepair;
    if (!repair)
        return;
    PlaceOnOpener(repair, this);
    repair->ResetUi();
    repair->setModal(true);
    PostMsg::GetInstance()->EmitRepairCheckUpdate();
    // Not exec(): the dialog reports through the hub and the slot returns at once.
    repair->show();
}

void DialogChange::on_comboBox_activated(int index)
{
    MacroIni::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"),
                                      QString::number(index));
    PostMsg::GetInstance()->EmitChangeLanguage(index);
    PostMsg::GetInstance()->EmitLanguageSameB(index);
}

void DialogChange::SlotSameLanguageA(int index)
{
    ui->comboBox->setCurrentIndex(index);
}

void DialogChange::SlotUpDateButton(bool IsHide)
{
    ShowRepairHint(!IsHide);
}

void DialogChange::SlotEnterKey()
{
    if (!ui->FindVer->isHidden()) {
        ui->FindVer->hide();
        return;
    }
    if (!ui->Repair->isHidden())
        on_Repair_clicked();
}

void DialogChange::on_CloseButton_2_clicked()
{
    ui->FindVer->hide();
}

void DialogChange::on_NewHong_clicked()
{
    ui->FindVer->hide();
}

void DialogChange::on_NoApear_clicked(bool checked)
{
    MacroIni::GetInstance()->SetValue(QStringLiteral("FindNew"), QStringLiteral("IsShow"),
                                      checked ? QStringLiteral("1") : QStringLiteral("0"));
}

// slotButtonClicked(), what a tile click does, is in devicechoice.cpp.

void DialogChange::WindowClosedA()
{
    close();
}

void DialogChange::WindowMinA()
{
    showMinimized();
}

void DialogChange::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        const QSignalBlocker blocker(ui->comboBox);
        ui->retranslateUi(this);
        ui->comboBox->setCurrentIndex(0);
    }
    QWidget::changeEvent(event);
}
