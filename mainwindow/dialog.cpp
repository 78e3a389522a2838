#include "dialog.h"

#include "ui_dialog.h"

#include "buttoninterface.h"
#include "configini.h"
#include "connection.h"
#include "crashdump.h"
#include "eventwait.h"
#include "formsetting.h"
#include "globals.h"
#include "hidusb.h"
#include "imagecache.h"
#include "macro.h"
#include "noticedialog.h"
#include "pagebackground.h"
#include "paths.h"
#include "postmsg.h"
#include "sensor.h"
#include "sensormodel.h"
#include "updataparam.h"
#include "updaterepair.h"
#include "worker.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDebug>
#include <QHideEvent>
#include <QKeyEvent>
#include <QStackedWidget>

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
    // The one worker of the program (not its child); its online poll starts now.
    g_Worker = new Worker(this);
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
    ReserveStackPlaces();
    ConnectHub();
    StandInForButtonPage();
    StandInForSensorPage();
    StandInForMacroPage();
    StandInForSettingsPage();
    FormSetting::LoadWiredModeText(CurrentLanguageIndex());
    ui->label_3->hide();
}

Dialog::~Dialog()
{
    // A worker pass may wait in a blocking emit to a page or to this frame:
    // end it while they still take calls, then release whatever is queued.
    ShutdownWorker();
    PostMsg::GetInstance()->disconnect(this);
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    delete m_buttonPage;
    delete m_macroPage;
    delete m_sensorPage;
    delete m_settingsPage;
    delete m_upDataParam;
    // The settings page's repair dialog, also when only the device list opened it.
    delete g_UpDateRepair;
    g_UpDateRepair = nullptr;
    delete m_crashDumpHandler;  // the handlers it installed stay for the process
    delete ui;
}

// ---- pages built on demand -------------------------------------------------------------

QWidget *Dialog::BuiltPage(int index) const
{
    switch (index) {
    case kButtonPage:
        return m_buttonPage;
    case kSensorPage:
        return m_sensorPage;
    case kMacroPage:
        return m_macroPage;
    case kSettingsPage:
        return m_settingsPage;
    default:
        return nullptr;
    }
}

// Each page has its place in the stack from the start (an empty widget until
// the page is built), so every page stands at its own index.
void Dialog::ReserveStackPlaces()
{
    for (int index = 0; index < kPageCount; ++index)
        ui->stackedWidgetDialog->addWidget(new QWidget);
}

void Dialog::AddToStack(QWidget *page, int index)
{
    QStackedWidget *stack = ui->stackedWidgetDialog;
    QWidget *place = stack->widget(index);
    const bool wasCurrent = stack->currentIndex() == index;
    stack->insertWidget(index, page);
    stack->removeWidget(place);
    delete place;
    if (wasCurrent)
        stack->setCurrentIndex(index);
}

void Dialog::StandIn(int index, const QMetaObject::Connection &connection)
{
    m_standIns[size_t(index)].append(connection);
}

// The page answers the hub itself from now on.
void Dialog::PageBuilt(int index)
{
    for (const QMetaObject::Connection &connection : qAsConst(m_standIns[size_t(index)]))
        disconnect(connection);
    m_standIns[size_t(index)].clear();
}

Buttoninterface *Dialog::ButtonPage()
{
    if (!m_buttonPage) {
        m_buttonPage = new Buttoninterface(ui->stackedWidgetDialog);
        AddToStack(m_buttonPage, kButtonPage);
        PageBuilt(kButtonPage);
    }
    return m_buttonPage;
}

Sensor *Dialog::SensorPage()
{
    if (!m_sensorPage) {
        m_sensorPage = new Sensor(this);
        AddToStack(m_sensorPage, kSensorPage);
        PageBuilt(kSensorPage);
        ReplaySensorCalls();
    }
    return m_sensorPage;
}

Macro *Dialog::MacroPage()
{
    if (!m_macroPage) {
        m_macroPage = new Macro(this);
        AddToStack(m_macroPage, kMacroPage);
        PageBuilt(kMacroPage);
    }
    return m_macroPage;
}

FormSetting *Dialog::SettingsPage()
{
    if (!m_settingsPage) {
        m_settingsPage = new FormSetting(this);
        AddToStack(m_settingsPage, kSettingsPage);
        PageBuilt(kSettingsPage);
        ReplaySettingsCalls();
    }
    return m_settingsPage;
}

// Everything that reaches the button page acts at once (rows, writes, the
// macro list), and the page is current whenever this frame shows: it is built
// by the first of its calls. Language and mouse picture it reads when built.
void Dialog::StandInForButtonPage()
{
    PostMsg *hub = PostMsg::GetInstance();
    const auto blocking = Qt::BlockingQueuedConnection;
    StandIn(kButtonPage, connect(hub, &PostMsg::SigUpDataLightUIButton, this,
                                 [this](FlashDataMap image) { ButtonPage()->SlotUpDataButtonUIButton(image); },
                                 blocking));
    StandIn(kButtonPage, connect(hub, &PostMsg::SigUpDataConfigUI, this,
                                 [this](int total, int selected, bool enabled) {
                                     ButtonPage()->SlotUpDataConfigUI(total, selected, enabled);
                                 },
                                 blocking));
    StandIn(kButtonPage, connect(hub, &PostMsg::SigUpDataButtonUIC, this,
                                 [this](FlashDataMap image) { ButtonPage()->SlotUpDataButtonUIB(image); }));
    StandIn(kButtonPage,
            connect(hub, &PostMsg::SigAddMacroButton, this, [this] { ButtonPage()->SlotAddMacroButton(); }));
    StandIn(kButtonPage, connect(hub, &PostMsg::SigDeleteMacroButton, this,
                                 [this](QString name) { ButtonPage()->SlotDeleteMacroButton(name); }));
    StandIn(kButtonPage, connect(hub, &PostMsg::SigUpDataMacro, this,
                                 [this](QString name, int index) { ButtonPage()->SlotUpDataMacro(name, index); }));
    StandIn(kButtonPage, connect(hub, &PostMsg::SigMacroRename, this, [this](QString oldName, QString newName) {
                ButtonPage()->SlotMacroRename(oldName, newName);
            }));
    StandIn(kButtonPage, connect(hub, &PostMsg::SigFormReset, this, [this] { ButtonPage()->SlotFormResetButton(); },
                                 blocking));
}

// The sensor page only shows what it is given: its calls wait for it. A whole
// image replaces everything held before it. The fill's confirmation, which the
// wait popup waits for, is given now as the page would give it.
void Dialog::StandInForSensorPage()
{
    PostMsg *hub = PostMsg::GetInstance();
    const auto blocking = Qt::BlockingQueuedConnection;
    HeldCalls &held = m_held[kSensorPage];
    auto holdImage = [this, &held](const FlashDataMap &image) {
        g_SensorName = ConfigIni::GetInstance()->Value(ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex),
                                                       QStringLiteral("Sensor"));
        held.Clear();
        // Shown as the page shows an image it is handed; the confirmation is given here.
        held.Hold(QStringLiteral("image"), [this, image] { m_sensorPage->SlotUpDataSenSorUIB(image); });
    };
    StandIn(kSensorPage, connect(hub, &PostMsg::SigUpDataLightSensor, this,
                                 [holdImage](FlashDataMap image) {
                                     g_SensorFilled = 0;
                                     holdImage(image);
                                     g_SensorFilled = 1;
                                 },
                                 blocking));
    StandIn(kSensorPage, connect(hub, &PostMsg::SigUpDataSensorUIB, this, holdImage));
    StandIn(kSensorPage, connect(hub, &PostMsg::SigFormReset, this,
                                 [this, &held] {
                                     held.Hold(QStringLiteral("reset"), [this] { m_sensorPage->SlotFormReset(); });
                                 },
                                 blocking));
    StandIn(kSensorPage, connect(hub, &PostMsg::SigUpDataReportRate, this,
                                 [this, &held](int code) {
                                     held.Hold(QStringLiteral("rate:%1").arg(code),
                                               [this, code] { m_sensorPage->SlotUpDataReportRate(code); });
                                 },
                                 blocking));
    StandIn(kSensorPage, connect(hub, &PostMsg::SigUpDataDPI, this,
                                 [this, &held](int level) {
                                     held.Hold(QStringLiteral("dpi:%1").arg(level),
                                               [this, level] { m_sensorPage->SlotUpDataDPI(level); });
                                 },
                                 blocking));
    StandIn(kSensorPage, connect(hub, &PostMsg::SigUpDataDPILed, this,
                                 [this, &held](FlashDataMap image) {
                                     held.Hold(QStringLiteral("dpiled"),
                                               [this, image] { m_sensorPage->SlotUpDataDPILed(image); });
                                 },
                                 blocking));
    StandIn(kSensorPage, connect(hub, &PostMsg::SigHideModel, this, [this, &held](int index) {
                held.Hold(QStringLiteral("hide:%1").arg(index), [this, index] { m_sensorPage->SlotHideModel(index); });
            }));
}

// The sensor name stays the one the last image gave when it came.
void Dialog::ReplaySensorCalls()
{
    const QString sensorName = g_SensorName;
    m_held[kSensorPage].Replay();
    g_SensorName = sensorName;
}

// A macro read back from the mouse is written to its file at once, and a
// macro sent after a save goes at once: both build the editor. Nothing else
// reaches an editor that was never shown (no recording can run in it).
void Dialog::StandInForMacroPage()
{
    PostMsg *hub = PostMsg::GetInstance();
    StandIn(kMacroPage, connect(hub, &PostMsg::SigButtonToMacro, this, [this](FlashDataMap image, int button) {
                MacroPage()->SlotButtonToMacro(image, button);
            }));
    StandIn(kMacroPage, connect(hub, &PostMsg::SigMacroDownLoadData, this,
                                [this](QString name, int button) { MacroPage()->SlotMacroDownLoadData(name, button); }));
}

// Version texts, option blocks and the sleep time wait for the page; the
// update flags that others read are found now, as the page would. The
// receiver's LED and long-range reports (set as a click would, so they go
// back to the receiver) and everything of a firmware update build the page.
void Dialog::StandInForSettingsPage()
{
    PostMsg *hub = PostMsg::GetInstance();
    const auto blocking = Qt::BlockingQueuedConnection;
    HeldCalls &held = m_held[kSettingsPage];
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigChangeLanguage, this, &FormSetting::LoadWiredModeText));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigSetver, this, [this, &held](int index) {
                if (index == 0)
                    FormSetting::FindUpdatesOfCurrentDevice();
                held.Hold(QStringLiteral("setver:%1").arg(index), [this, index] { m_settingsPage->SetVer(index); });
            }));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigLabelTextB, this, [this, &held](QString version, QString hint) {
                held.Hold(QStringLiteral("receiver"),
                          [this, version, hint] { m_settingsPage->SlotLabelTextB(version, hint); });
            }));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigForm, this,
                                   [this, &held] { held.Hold(QStringLiteral("form"), [this] { m_settingsPage->SlotForm(); }); },
                                   blocking));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigFormB, this, [this, &held] {
                held.Hold(QStringLiteral("formB"), [this] { m_settingsPage->SlotFormB(); });
            }));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigFormReset, this,
                                   [this, &held] {
                                       held.Hold(QStringLiteral("reset"), [this] { m_settingsPage->SlotFormResetForm(); });
                                   },
                                   blocking));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigLightToFrom, this, [this, &held](int seconds) {
                held.Hold(QStringLiteral("sleep:%1").arg(seconds),
                          [this, seconds] { m_settingsPage->SlotLightToFrom(seconds); });
            }));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigRGBValue, this,
                                   [this](DongleRGB *rgb) { SettingsPage()->SlotRGBValue(rgb); }, blocking));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigLongRangeMode, this,
                                   [this](bool on) { SettingsPage()->SlotLongRangeMode(on); }, blocking));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigLabelText, this,
                                   [this](int index, QString text) { SettingsPage()->SlotLabelText(index, text); }));
    StandIn(kSettingsPage,
            connect(hub, &PostMsg::SigCheckUpdate, this, [this] { SettingsPage()->SlotCheckUpdate(); }));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigUpdateStart, this, [this] { SettingsPage()->on_Start(); }));
    StandIn(kSettingsPage,
            connect(hub, &PostMsg::SigContinue, this, [this](int index) { SettingsPage()->SlotContinue(index); }));
    StandIn(kSettingsPage, connect(hub, &PostMsg::SigSetNewVer, this, [this] { SettingsPage()->SetVerText(); }));
}

// The update flags stay as the version reports left them when they came.
void Dialog::ReplaySettingsCalls()
{
    const bool mouseUpdate = g_MouseUpdateFound;
    const bool receiverUpdate = g_ReceiverUpdateFound;
    m_held[kSettingsPage].Replay();
    g_MouseUpdateFound = mouseUpdate;
    g_ReceiverUpdateFound = receiverUpdate;
}

// The repair runs in the settings page: it is built before the repair dialog
// shows, never while a check or a run is under way.
UpDateRepair *Dialog::RepairDialog()
{
    SettingsPage();
    return SharedRepairDialog();
}

UpDataParam *Dialog::EnsureWaitPopup()
{
    if (!m_upDataParam)
        m_upDataParam = new UpDataParam(nullptr);
    return m_upDataParam;
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

void Dialog::ShowSettingsPage(int index)
{
    m_chosenPage = index;
    QWidget *page = nullptr;
    switch (index) {
    case kSensorPage:
        page = SensorPage();
        break;
    case kMacroPage:
        page = MacroPage();
        break;
    case kSettingsPage:
        page = SettingsPage();
        break;
    default:
        page = ButtonPage();
        break;
    }
    ui->stackedWidgetDialog->setCurrentWidget(page);
}

void Dialog::on_ButtonMain_clicked()
{
    ShowSettingsPage(kButtonPage);
    PostMsg::GetInstance()->EmitAddMacroButton();
}

void Dialog::on_SensorButton_clicked()
{
    ShowSettingsPage(kSensorPage);
}

void Dialog::on_MacroButton_clicked()
{
    ShowSettingsPage(kMacroPage);
}

void Dialog::on_FormSetting_clicked()
{
    ShowSettingsPage(kSettingsPage);
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
    ShowSettingsPage(kButtonPage);
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
    if (m_upDataParam && m_upDataParam->isVisible())
        return;
    EnsureWaitPopup()->StartWaitTimer();
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
        if (m_upDataParam)
            m_upDataParam->Abandon();
        CloseOwnWindows();
    }
    QWidget::hideEvent(event);
}

void Dialog::showEvent(QShowEvent *event)
{
    // The chosen page is built when the frame first shows.
    if (!BuiltPage(m_chosenPage))
        ShowSettingsPage(m_chosenPage);
    QWidget::showEvent(event);
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
