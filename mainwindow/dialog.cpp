#include "dialog.h"

#include "ui_dialog.h"

#include "buttoninterface.h"
#include "configini.h"
#include "connection.h"
#include "crashdump.h"
#include "eventwait.h"
#include "formsetting.h"
#include "hidusb.h"
#include "imagecache.h"
#include "macro.h"
#include "noticedialog.h"
#include "pagebackground.h"
#include "paths.h"
#include "postmsg.h"
#include "sensor.h"
#include "updataparam.h"

#include <QButtonGroup>
#include <QDebug>
#include <QHideEvent>
#include <QKeyEvent>

namespace {
// The wait on the back arrow between the last request and closing the connection.
constexpr int kBackArrowWaitMs = 100;
// SigChangeSize arguments of this page.
constexpr int kHideFromDevicePage = 0;
constexpr int kCloseFromDevicePage = 1;
// SigChangeMainDialog: back to the device list.
constexpr int kSelectionPage = 0;
// SigUpDataParam: 1 is a re-read that the mouse asked for.
constexpr int kReReadWait = 1;
// SigStartRecord arguments.
constexpr int kRecordingStarted = 0;
constexpr int kRecordingStopped = 1;
// The popup sits centred over the page, this much higher.
constexpr int kPopupOffsetY = -20;
// A battery level below this shows a red bar.
constexpr int kLowBatteryLevel = 16;

QString CheckableButtonStyle(const QString &dir, const QString &stem, const QString &checkedSuffix)
{
    return QStringLiteral("QToolButton{border: 0px;background-position:center;background-repeat:no-repeat;"
                          "background-image: url(")
        + dir + stem + QStringLiteral(".png);}QToolButton:hover{background-image:  url(") + dir + stem
        + QStringLiteral("Hover.png);}QToolButton:checked{background-image: url(") + dir + stem + checkedSuffix
        + QStringLiteral(".png);}");
}

QString PushButtonStyle(const QString &dir, const QString &stem)
{
    return QStringLiteral("QToolButton{border:0px;background-image: url(") + dir + stem
        + QStringLiteral(".png);background-position:center;background-repeat:no-repeat;}"
                         "QToolButton:hover{background-image: url(")
        + dir + stem + QStringLiteral("Hover.png);}QToolButton:pressed{background-image: url(") + dir + stem
        + QStringLiteral("Click.png);}");
}

QString BatteryBarStyle(int level)
{
    const QString chunk = level < kLowBatteryLevel ? QStringLiteral("rgb(152, 43, 34)")
                                                   : QStringLiteral("rgb(0, 255, 153)");
    return QStringLiteral("#progressBar{border: none;background-color: transparent;}"
                          "#progressBar::chunk {background-color: ")
        + chunk + QStringLiteral(";}");
}
}  // namespace

Dialog::Dialog(QWidget *parent) : QWidget(parent), ui(new Ui_Dialog)
{
    ui->setupUi(this);
    ShowNoBattery();
    ui->line_6->hide();
    ui->LightsButton->hide();
    m_pictureDir = Paths::AppFolder() + QStringLiteral("/Picture/Dialog/");
    CreatePages();
    m_upDataParam = new UpDataParam(nullptr);
    qDebug() << "Start";
    ApplyStyleSheets();
    ui->label->hide();
    ui->SetButton->hide();
    SetupButtonGroup();
    connect(ui->MinButton, &QToolButton::clicked, this, &Dialog::WindowMin);
    ui->ButtonMain->setChecked(true);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setFixedSize(width(), height());
    m_crashDumpHandler = new CrashDumpHandler;
    m_crashDumpHandler->Install();
    ui->stackedWidgetDialog->setCurrentWidget(m_buttonPage);
    ConnectHub();
    ui->label_3->hide();
}

Dialog::~Dialog()
{
    delete m_buttonPage;
    delete m_macroPage;
    delete m_sensorPage;
    delete m_settingsPage;
    delete m_upDataParam;
    delete m_crashDumpHandler;  // the handlers it installed stay for the process
    delete ui;
}

void Dialog::CreatePages()
{
    m_buttonPage = new Buttoninterface(this);
    m_macroPage = new Macro(this);
    m_sensorPage = new Sensor(this);
    m_settingsPage = new FormSetting(this);
    ui->stackedWidgetDialog->addWidget(m_buttonPage);
    ui->stackedWidgetDialog->addWidget(m_sensorPage);
    ui->stackedWidgetDialog->addWidget(m_macroPage);
    ui->stackedWidgetDialog->addWidget(m_settingsPage);
}

void Dialog::ApplyStyleSheets()
{
    const QString &D = m_pictureDir;
    const QString labelColor =
        ConfigIni::GetInstance()->ColorTriple(QStringLiteral("Option"), QStringLiteral("LabelColor"));
    ui->label_2->setStyleSheet(QStringLiteral("#label_2{color: rgb(") + labelColor + QStringLiteral(";);}"));
    new PageBackground(ui->frame_2, PageScene::Kind::DevicePage, Paths::AppFolder() + QStringLiteral("/Picture/"));
    ui->BatteryButtonC->setStyleSheet(QStringLiteral("#BatteryButtonC{border:0px;background-image: url(") + D
                                      + QStringLiteral("Battery.png);background-position:center;"
                                                       "background-repeat:no-repeat;}"));
    ui->label->setStyleSheet(QStringLiteral("#label{border-image: url(") + D + QStringLiteral("Charg.png);}"));
    ui->ButtonMain->setStyleSheet(CheckableButtonStyle(D, QStringLiteral("Home"), QStringLiteral("Checked")));
    ui->SensorButton->setStyleSheet(CheckableButtonStyle(D, QStringLiteral("Sensor"), QStringLiteral("Checked")));
    ui->MacroButton->setStyleSheet(CheckableButtonStyle(D, QStringLiteral("Macro"), QStringLiteral("Checked")));
    ui->LightsButton->setStyleSheet(CheckableButtonStyle(D, QStringLiteral("Light"), QStringLiteral("Checked")));
    ui->FormSetting->setStyleSheet(CheckableButtonStyle(D, QStringLiteral("Setting"), QStringLiteral("Click")));
    ui->CloseButton->setStyleSheet(PushButtonStyle(D, QStringLiteral("Close")));
    ui->MinButton->setStyleSheet(PushButtonStyle(D, QStringLiteral("Min")));
    ui->SetButton->setStyleSheet(PushButtonStyle(D, QStringLiteral("Setting")));
    ui->UpArrow->setStyleSheet(PushButtonStyle(D, QStringLiteral("PageChange")));
}

void Dialog::SetupButtonGroup()
{
    m_firstGroup = new QButtonGroup(this);
    m_firstGroup->setExclusive(true);
    m_navigationGroup = new QButtonGroup(this);
    m_navigationGroup->setExclusive(true);
    for (QToolButton *button : {ui->ButtonMain, ui->MacroButton, ui->LightsButton, ui->SensorButton, ui->FormSetting})
        m_navigationGroup->addButton(button);
}

void Dialog::ConnectHub()
{
    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigSecondPageChange, this, &Dialog::SlotSecondDialog);
    connect(hub, &PostMsg::SigUpDataParam, this, &Dialog::SlotUpDataParam);
    connect(hub, &PostMsg::SigStartRecord, this, &Dialog::SlotStartRecord);
    connect(hub, &PostMsg::SigBattery, this, &Dialog::SlotBattery, Qt::BlockingQueuedConnection);
    connect(hub, &PostMsg::SigMouseIndex, this, &Dialog::SlotMouseIndex);
    connect(hub, &PostMsg::SigSelectMouseInfo, this, &Dialog::ShowNoBattery);
}

void Dialog::ShowSettingsPage(QWidget *page)
{
    ui->stackedWidgetDialog->setCurrentWidget(page);
}

void Dialog::on_ButtonMain_clicked()
{
    ShowSettingsPage(m_buttonPage);
    PostMsg::GetInstance()->EmitAddMacroButton();
}

void Dialog::on_SensorButton_clicked()
{
    ShowSettingsPage(m_sensorPage);
}

void Dialog::on_MacroButton_clicked()
{
    ShowSettingsPage(m_macroPage);
}

void Dialog::on_FormSetting_clicked()
{
    ShowSettingsPage(m_settingsPage);
}

void Dialog::on_LightsButton_clicked() {}

void Dialog::on_SetButton_clicked() {}

void Dialog::SlotMouseIndex(int index)
{
    Q_UNUSED(index);
}

void Dialog::SlotSecondDialog()
{
    ui->ButtonMain->setChecked(true);
    ShowSettingsPage(m_buttonPage);
}

void Dialog::WindowMin()
{
    PostMsg::GetInstance()->EmitChangeSize(kHideFromDevicePage);
}

void Dialog::WindowClosed()
{
    on_CloseButton_clicked();
}

void Dialog::on_CloseButton_clicked()
{
    SaveImageCacheOfSelectedModel();
    PostMsg::GetInstance()->EmitChangeSize(kCloseFromDevicePage);
}

void Dialog::on_UpArrow_clicked()
{
    UsbServer_SetPCDriverStatus(false);
    SaveImageCacheOfSelectedModel();
    ui->ButtonMain->setChecked(true);
    WaitProcessingEvents(kBackArrowWaitMs);
    CloseConnection();
    PostMsg::GetInstance()->EmitChangeMainDialog(kSelectionPage);
    PostMsg::GetInstance()->EmitSetMacroPage();
}

void Dialog::SlotUpDataParam(int index)
{
    // A further request while the popup waits would run it inside itself.
    if (m_upDataParam->isVisible())
        return;
    m_upDataParam->StartWaitTimer();
    qDebug() << "q";
    if (index == kReReadWait)
        m_upDataParam->resetWaitMode = true;
    qDebug() << "w";
    PlaceOnOpener(m_upDataParam, this, 0, kPopupOffsetY);
    qDebug() << "t1";
    m_upDataParam->exec();
}

void Dialog::SetNavigationEnabled(bool enabled)
{
    for (QAbstractButton *button : m_navigationGroup->buttons())
        button->setEnabled(enabled);
}

void Dialog::SlotStartRecord(int index)
{
    if (index == kRecordingStarted)
        SetNavigationEnabled(false);
    else if (index == kRecordingStopped)
        SetNavigationEnabled(true);
}

void Dialog::SlotBattery(bool IsCharg, int Number, bool IsText, quint64 Serial)
{
    if (!IsCurrentConnection(Serial))
        return;
    ui->label->setVisible(IsCharg);
    ui->progressBar->setValue(Number);
    ui->label_2->setText(IsText ? QString::number(Number) + QLatin1Char('%') : QString::number(Number));
    ui->progressBar->setStyleSheet(BatteryBarStyle(Number));
}

// Only a level the current mouse reported is shown: no figure, no charging
// mark and an empty bar until then (also while the mouse is off).
void Dialog::ShowNoBattery()
{
    ui->label->hide();
    ui->label_2->clear();
    ui->progressBar->setValue(0);
}

void Dialog::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous()) {
        m_upDataParam->Abandon();
        CloseOwnWindows();
    }
    QWidget::hideEvent(event);
}

// Windows that the pages opened without exec() (such as the colour dialog of
// a DPI level) close with the page.
void Dialog::CloseOwnWindows()
{
    for (QWidget *child : findChildren<QWidget *>()) {
        if (child->isWindow() && child->isVisible())
            child->close();
    }
}

void Dialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F12)
        return;
    QWidget::keyPressEvent(event);
}

void Dialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
}
