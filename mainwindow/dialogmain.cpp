#include "dialogmain.h"

#include "ui_dialogmain.h"

#include "configini.h"
#include "connection.h"
#include "dialog.h"
#include "dialogchange.h"
#include "eventwait.h"
#include "firmwareimages.h"
#include "formsetting.h"
#include "globals.h"
#include "hidusb.h"
#include "languagereader.h"
#include "macroini.h"
#include "match.h"
#include "notices.h"
#include "paths.h"
#include "postmsg.h"
#include "qttexts.h"
#include "registrystore.h"
#include "translucentwindows.h"
#include "updaterepair.h"
#include "usbcallbacks.h"
#include "writers.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDebug>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>

DialogMain::TrayUse DialogMain::s_trayUse = DialogMain::TrayUse::Auto;

namespace {
constexpr int kSelectionPage = 0;
constexpr int kDevicePage = 1;
// SigChangeSize arguments: 0/1 hide/close from the device page, 2/3 from the selection page.
constexpr int kHideFromDevicePage = 0;
constexpr int kCloseFromDevicePage = 1;
constexpr int kHideFromSelectionPage = 2;
constexpr int kCloseFromSelectionPage = 3;
// The plain sleep after the connection is closed on the way back to the device list.
constexpr int kBackToListSleepMs = 100;
// The wait before the library is shut down at the end of a close sequence.
constexpr int kCloseWaitMs = 200;
// The offline notice sits centred over the window, this much higher.
constexpr int kOfflineNoticeOffsetY = -20;
// The firmware notices of the Space key sit this much to the left.
constexpr int kFirmwareNoticeOffsetX = -20;

// Whether a repair image of the device's receiver exists. An empty model name
// counts as no image, except for the 1 kHz receiver ("DM"), which is searched
// all the same.
bool ReceiverRepairImageFound(const DeviceAllInfo &device, const QString &group, uint8_t cid, uint8_t mid)
{
    const QString key = ReceiverClass::ModelKey(ReceiverClass::OfLink(device.LinkType));
    if (key.isEmpty())
        return false;
    const QString modelName = ConfigIni::GetInstance()->Value(group, key);
    if (modelName.isEmpty() && key != QLatin1String("DM"))
        return false;
    return FindRepairFirmware(kReceiverFirmware, device.UsbVersion, modelName, cid, mid);
}
}  // namespace

void DialogMain::SetTrayUse(TrayUse use)
{
    s_trayUse = use;
}

DialogMain::DialogMain(QWidget *parent) : QDialog(parent), ui(new Ui_DialogMain)
{
    ui->setupUi(this);
    setWindowTitle(QString::fromLatin1(Paths::kProductTitle));
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &DialogMain::SlotChangeLanguage);
    // Closing a notice while this window is in the tray must not end the
    // program; the close sequences quit explicitly.
    QApplication::setQuitOnLastWindowClosed(false);
    TranslucentWindows::Install();
    MigrateLanguageIndex();
    m_pictureDir = Paths::AppFolder() + QStringLiteral("/Picture/Dialog/");
    // Before the pages exist: changing a window's flags re-parents everything below it.
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setFixedSize(width(), height());
    // Each page's frame paints the whole window (pagebackground.h): the window
    // fills nothing first. The window itself, not the frame, is marked, so it
    // still gets its own paint events.
    setAttribute(Qt::WA_OpaquePaintEvent);
    CreatePages();
    ConnectHub();
    CreateTrayIcon();
    SlotChangeLanguage(CurrentLanguageIndex());
}

DialogMain::~DialogMain()
{
    delete m_dialog;
    delete m_dialogChange;
    delete m_trayIcon;
    delete ui;
}

void DialogMain::MigrateLanguageIndex()
{
    RegistryStore store;
    const QString key = RegistryStore::ProductKey();
    const int index = store.IntValue(key, QLatin1String(RegistryStore::kLanguageIndex), 0);
    if (index != 0)
        MacroIni::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"),
                                          QString::number(index));
    store.Remove(key, QLatin1String(RegistryStore::kLanguageIndex));
}

// The device list comes first; the device page is built after the first
// paint (BuildDevicePageSoon), or at once when something needs it earlier: a
// hub signal (a tile click starts with one), the switch to it, a caller of
// DevicePage().
void DialogMain::CreatePages()
{
    m_dialogChange = new DialogChange(ui->stackedWidgetMain);
    ui->stackedWidgetMain->addWidget(m_dialogChange);
    ui->stackedWidgetMain->setCurrentWidget(m_dialogChange);
    PostMsg::GetInstance()->BeforeNextEmit([this] { EnsureDevicePage(); });
}

void DialogMain::EnsureDevicePage()
{
    if (m_dialog || m_buildingDevicePage)
        return;
    m_buildingDevicePage = true;
    PostMsg::GetInstance()->BeforeNextEmit(nullptr);
    m_dialog = new Dialog(ui->stackedWidgetMain);
    ui->stackedWidgetMain->addWidget(m_dialog);
    m_buildingDevicePage = false;
}

Dialog *DialogMain::DevicePage()
{
    EnsureDevicePage();
    return m_dialog;
}

void DialogMain::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    if (!m_dialog && !m_devicePageQueued) {
        m_devicePageQueued = true;
        QTimer::singleShot(0, this, &DialogMain::EnsureDevicePage);
    }
}

void DialogMain::ConnectHub()
{
    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeMainDialog, this, &DialogMain::SlotChangeMainDialog);
    connect(hub, &PostMsg::SigChangeSize, this, &DialogMain::SlotChangeSize);
    connect(hub, &PostMsg::SigMouseOffLineo, this, &DialogMain::SlotMouseOffLine);
    connect(hub, &PostMsg::SigUpPageLight, this, &DialogMain::SlotUpPageLight);
}

void DialogMain::CreateTrayIcon()
{
    m_trayIcon = new QSystemTrayIcon(QIcon(m_pictureDir + QStringLiteral("Logo.png")));
    m_trayIcon->setToolTip(QString::fromLatin1(Paths::kProductTitle));
}

int DialogMain::CurrentPage() const
{
    return ui->stackedWidgetMain->currentIndex();
}

// ---- page switching -------------------------------------------------------

void DialogMain::SlotChangeMainDialog(int index)
{
    g_WritesAllowed = 1;
    PostMsg *hub = PostMsg::GetInstance();
    if (index == kSelectionPage) {
        hub->EmitSecondPageChange();
        g_SessionActive = 0;
        hub->EmitMainPageChange();
        CloseConnection();
        ForgetHeldChanges();
        SleepWithoutEvents(kBackToListSleepMs);
        ui->stackedWidgetMain->setCurrentWidget(m_dialogChange);
        StartUsbChanged(SelectionUsbChangedCallback, kUsbChangedIntervalMs);
    } else if (index == kDevicePage) {
        EnsureDevicePage();
        ui->stackedWidgetMain->setCurrentWidget(m_dialog);
        StartUsbChanged(MainUsbChangedCallback, kUsbChangedIntervalMs);
    }
}

// ---- hiding and closing ---------------------------------------------------

void DialogMain::SlotChangeSize(int index)
{
    if (index == kHideFromDevicePage || index == kCloseFromDevicePage)
        UsbServer_SetPCDriverStatus(false);
    switch (index) {
    case kHideFromDevicePage:
    case kHideFromSelectionPage:
        HideWindow(index == kHideFromDevicePage);
        break;
    case kCloseFromDevicePage:
    case kCloseFromSelectionPage:
        CloseSequence();
        break;
    default:
        break;
    }
}

bool DialogMain::UseTray() const
{
    switch (s_trayUse) {
    case TrayUse::Tray:
        return true;
    case TrayUse::Minimise:
        return false;
    case TrayUse::Auto:
        break;
    }
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void DialogMain::HideWindow(bool fromDevicePage)
{
    if (!UseTray()) {
        // Without a tray a hidden window could not be brought back.
        m_minimisedFromDevicePage = fromDevicePage;
        showMinimized();
        return;
    }
    hide();
    RebuildTrayMenu();
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &DialogMain::on_activatedSysTrayIcon,
            Qt::UniqueConnection);
    m_trayIcon->show();
}

void DialogMain::RebuildTrayMenu()
{
    // The texts may have changed since the last hide; the old menu (and its
    // actions, its children) goes.
    if (m_trayMenu)
        m_trayMenu->deleteLater();
    m_trayMenu = new QMenu(this);
    m_mainAction = new QAction(m_mainFormText, m_trayMenu);
    m_exitAction = new QAction(m_exitText, m_trayMenu);
    connect(m_mainAction, &QAction::triggered, this, &DialogMain::slotActionMain);
    connect(m_exitAction, &QAction::triggered, this, &DialogMain::slotActionExitApp);
    m_trayMenu->addAction(m_mainAction);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_exitAction);
    m_trayIcon->setContextMenu(m_trayMenu);
}

void DialogMain::CloseSequence()
{
    if (m_closing)
        return;
    m_closing = true;
    qDebug() << "close";
    StopUsbChanged();
    WaitProcessingEvents(kCloseWaitMs);
    CloseConnection();
    m_trayIcon->hide();
    close();
    QCoreApplication::quit();
}

void DialogMain::CloseFromCurrentPage()
{
    if (CurrentPage() == kDevicePage)
        m_dialog->WindowClosed();
    else
        PostMsg::GetInstance()->EmitChangeSize(kCloseFromSelectionPage);
}

void DialogMain::closeEvent(QCloseEvent *event)
{
    // A close request from outside (the window manager) takes the same road
    // as the page's close button, so the connection is shut down in order.
    if (!m_closing) {
        event->ignore();
        CloseFromCurrentPage();
        return;
    }
    QDialog::closeEvent(event);
}

// ---- tray -----------------------------------------------------------------

void DialogMain::on_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
        // Some trays pop the context menu up themselves; show it only once.
        if (m_trayMenu && !m_trayMenu->isVisible())
            m_trayMenu->exec(QCursor::pos());
        break;
    case QSystemTrayIcon::DoubleClick:
        ShowFromTray(false);
        break;
    case QSystemTrayIcon::Trigger:
        ShowFromTray(true);
        break;
    default:
        break;
    }
}

void DialogMain::ShowFromTray(bool restoreDriverStatus)
{
    show();
    if (restoreDriverStatus && CurrentPage() == kDevicePage)
        UsbServer_SetPCDriverStatus(true);
    m_trayIcon->hide();
}

void DialogMain::slotActionMain()
{
    on_activatedSysTrayIcon(QSystemTrayIcon::Trigger);
}

void DialogMain::slotActionExitApp()
{
    // Shut the connection and the library down before the process ends.
    CloseFromCurrentPage();
}

void DialogMain::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange && !isMinimized() && m_minimisedFromDevicePage) {
        m_minimisedFromDevicePage = false;
        if (CurrentPage() == kDevicePage)
            UsbServer_SetPCDriverStatus(true);
    }
    QDialog::changeEvent(event);
}

// ---- notices and texts ----------------------------------------------------

void DialogMain::SlotMouseOffLine(int index)
{
    g_OfflineNoticeKind = index;
    MouseOffLine notice;
    PlaceOnOpener(&notice, this, 0, kOfflineNoticeOffsetY);
    g_WaitOnline = 1;
    g_RestartWorker = 1;
    notice.exec();
}

void DialogMain::SlotUpPageLight() {}

void DialogMain::SlotChangeLanguage(int index)
{
    QtTexts::Use(index);
    LanguageReader reader(QStringLiteral("DialogMain"), {
                                                            {QStringLiteral("MainForm"), StoreTarget(&m_mainFormText)},
                                                            {QStringLiteral("Exit"), StoreTarget(&m_exitText)},
                                                        });
    reader.Load(index);
}

// ---- dragging -------------------------------------------------------------

void DialogMain::mousePressEvent(QMouseEvent *event)
{
    m_pressGlobalPos = event->globalPos();
    m_pressWindowPos = pos();
    m_dragOffset = m_pressGlobalPos - m_pressWindowPos;
}

void DialogMain::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::LeftButton && !isMaximized() && !m_dragOffset.isNull())
        move(event->globalPos() - m_dragOffset);
}

void DialogMain::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event);
    m_dragOffset = QPoint(0, 0);
}

// ---- keys -----------------------------------------------------------------

void DialogMain::keyPressEvent(QKeyEvent *event)
{
    if (g_MacroRecording.load() != 0)
        return;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Only the selection page answers Return (its repair button).
        if (CurrentPage() == kSelectionPage)
            PostMsg::GetInstance()->EmitEnterKey();
        break;
    case Qt::Key_Escape:
    case Qt::Key_F12:
        break;
    case Qt::Key_Space:
        HandleSpaceKey();
        break;
    default:
        QWidget::keyPressEvent(event);
        break;
    }
}

void DialogMain::HandleSpaceKey()
{
    if (CurrentPage() != kSelectionPage)
        PairFromDevicePage();
    else
        SpaceOnSelectionPage();
}

void DialogMain::RunPairing(bool fromDevicePage)
{
    // Pairing replaces the data callback; the open connection gets it back.
    RunPairingWithHandBack(fromDevicePage, this);
}

void DialogMain::PairFromDevicePage()
{
    RunPairing(true);
    // Closing the pairing dialog registered the selection page's callback;
    // the device page follows its mouse again only with its own.
    if (CurrentPage() == kDevicePage)
        StartUsbChanged(MainUsbChangedCallback, kUsbChangedIntervalMs);
}

void DialogMain::SpaceOnSelectionPage()
{
    if (g_PageDevices.size() != 1 || g_PageDevices.first().Wired)
        return;
    const DeviceAllInfo device = g_PageDevices.first();
    ConfigIni *config = ConfigIni::GetInstance();
    const QString group = ConfigIni::DriveGroup(device.DriveIndex);
    const QString cidText = config->Value(QStringLiteral("Option"), QStringLiteral("CID"));
    const QString midText = config->Value(group, QStringLiteral("MID"));
    const QString version =
        RegistryStore().Value(RegistryStore::MouseDriveTestKey(), RegistryStore::MouseVerName(cidText, midText));
    if (version.isEmpty()) {
        RunPairing(false);
        return;
    }
    const auto cid = uint8_t(cidText.toInt());
    const auto mid = uint8_t(midText.toInt());
    const bool mouseImage =
        FindUpdateFirmware(kMouseFirmware, version, config->Value(group, QStringLiteral("MM")), cid, mid);
    UpDateRepair repair;
    PlaceOnOpener(&repair, this);
    const bool receiverImage = ReceiverRepairImageFound(device, group, cid, mid);
    if (receiverImage == mouseImage)
        RunPairing(false);
    else if (mouseImage)
        WarnWiredMode();
    else
        AskThenRepair(repair, {ReceiverClass::OfLink(device.LinkType), group, cid, mid});
}

void DialogMain::WarnWiredMode()
{
    UpDateWarning notice;
    notice.SetLabelText(g_WiredModeText);
    PlaceOnOpener(&notice, this, kFirmwareNoticeOffsetX, 0);
    notice.exec();
}

void DialogMain::AskThenRepair(UpDateRepair &repair, const KeyRepair &what)
{
    ContainReset question;
    question.SetLabelText(g_MouseIsNewTipsText);
    PlaceOnOpener(&question, this, kFirmwareNoticeOffsetX, 0);
    question.exec();
    if (!question.accepted())
        return;
    repair.StartRepairFromKey(what.receiverClass, what.driveGroup, what.cid, what.mid);
    repair.exec();
}
