#include "match.h"

#include "ui_match.h"

#include "configini.h"
#include "connection.h"
#include "globals.h"
#include "hidusb.h"
#include "languagereader.h"
#include "noticedialog.h"
#include "paths.h"
#include "postmsg.h"
#include "usbcallbacks.h"
#include "waits.h"
#include "writers.h"

#include <QDebug>
#include <QEvent>
#include <QTimer>

std::atomic<int> g_PairState{kPairIdle};
std::atomic<bool> g_PairStarted{false};
std::atomic<bool> g_SessionParked{false};
QTimer *g_PairUsbTimer = nullptr;
QTimer *g_PairStatusTimer = nullptr;
QTimer *g_PairTextTimer = nullptr;
int g_PairTextStep = 0;
QString g_PairButtonColor;
QString g_PairPictureDir;
bool g_PairFromDevicePage = false;
DeviceAllInfo g_PairDevice;

namespace {
constexpr int kUsbPollMs = 100;
constexpr int kStatusPollMs = 1000;
constexpr int kTextStepMs = 500;
// The animation shows "", ".", ".." and "..." after the text, then starts over.
constexpr int kTextDotSteps = 4;
// The wired-mode hint's line in the form.
constexpr int kHintLineHeight = 16;
// The finder is asked for at most this many paths.
constexpr int kFinderPathRoom = 5;

// Opened from the settings page, the dialog stands this far left of and above
// the page's centre.
constexpr int kSettingsPageDx = -70;
constexpr int kSettingsPageDy = -30;

// SigButtonEnable arguments.
constexpr int kShowFailure = 0;
constexpr int kShowSuccess = 1;

const char kNormalPicture[] = "Pair.png";
const char kSuccessPicture[] = "PairSuccess.png";
const char kFailPicture[] = "PairFail.png";

QString ButtonStyle(const QString &textColor, const QString &picture)
{
    return QStringLiteral("QPushButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
           + textColor + QStringLiteral(";);border-image: url(") + g_PairPictureDir + picture + QStringLiteral(");}");
}

// The button style while pairing cannot start: black text.
QString DisabledButtonStyle()
{
    return QStringLiteral("QPushButton{border:0px;background-position:center;background-repeat:no-repeat;"
                          "color: rgb(0,0,0);border-image: url(")
           + g_PairPictureDir + QLatin1String(kNormalPicture) + QStringLiteral(");}");
}

// A result ends the wait: the session the start button set aside comes back.
// Called from the library's thread and the GUI thread; only one of them
// gets the parked session.
void RestoreParkedSession()
{
    if (g_SessionParked.exchange(false))
        g_SessionActive.store(1);
}

void TakePairingResult(bool succeeded)
{
    PostMsg *hub = PostMsg::GetInstance();
    g_PairStarted.store(false);
    qDebug() << (succeeded ? "success" : "fail");
    g_PairState.store(succeeded ? kPairSucceeded : kPairFailed);
    RestoreParkedSession();
    hub->EmitTimerStop();
    hub->EmitButtonEnable(succeeded ? kShowSuccess : kShowFailure);
}

void ForgetTimer(QTimer *&global, QTimer *mine)
{
    if (global == mine)
        global = nullptr;
}
}  // namespace

// Runs on the library's delivery thread: sets the shared flags and tells the
// dialog through the hub (automatic connections, so its slots run on the GUI
// thread).
void PairCallBack(const unsigned char *report, int reportLen, const unsigned char *data, int dataLen)
{
    const int command = (report && reportLen > HIDUSB_HEADER_COMMAND) ? report[HIDUSB_HEADER_COMMAND] : 0;
    qDebug() << "in2" << command;
    if (command != HIDUSB_CMD_PAIRING || !data || dataLen < 1)
        return;
    if (data[0] == HIDUSB_PAIR_FAILED)
        TakePairingResult(false);
    else if (data[0] == HIDUSB_PAIR_SUCCEEDED)
        TakePairingResult(true);
}

Match::Match(QWidget *parent) : QDialog(parent), ui(new Ui_Match)
{
    ui->setupUi(this);
    connect(PostMsg::GetInstance(), &PostMsg::SigChangeLanguage, this, &Match::SlotChangeLanguage);
    g_PairPictureDir = Paths::AppFolder() + QStringLiteral("/Picture/Setting/");
    setWindowFlags(Qt::SubWindow | Qt::BypassWindowManagerHint | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint);
    setFixedSize(width(), height());
    setAttribute(Qt::WA_TranslucentBackground);
    ApplyStyleSheets();
    ui->label->hide();
    startPath = g_CurrentDevice.Get().Path;
    CreateTimers();
    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigTimerStop, this, &Match::SlotStopTimer);
    connect(hub, &PostMsg::SigButtonEnable, this, &Match::SlotButtonenable);
    connect(ui->CloseButton, &QToolButton::clicked, this, &Match::WindowClosedSet);
    SlotChangeLanguage(CurrentLanguageIndex());
}

Match::~Match()
{
    // Nobody waits for a result any more: a session set aside comes back.
    RestoreParkedSession();
    ForgetTimer(g_PairUsbTimer, usbTimer);
    ForgetTimer(g_PairStatusTimer, statusTimer);
    ForgetTimer(g_PairTextTimer, textTimer);
    delete ui;
}

void Match::ApplyStyleSheets()
{
    ConfigIni *config = ConfigIni::GetInstance();
    const QString labelColor = config->ColorTriple(QStringLiteral("Option"), QStringLiteral("LabelColor"));
    const QString &dir = g_PairPictureDir;
    ui->textEdit->setStyleSheet(QStringLiteral("#textEdit{border: transparent;background-color: transparent;color: rgb(")
                                + labelColor + QStringLiteral(";);}"));
    ui->label->setStyleSheet(QStringLiteral("#label{color: rgb(") + labelColor + QStringLiteral(";);}"));
    g_PairButtonColor = config->ColorTriple(QStringLiteral("Option"), QStringLiteral("ButtonColor"));
    ui->MatchButton->setStyleSheet(ButtonStyle(g_PairButtonColor, QLatin1String(kNormalPicture)));
    ui->toolButton_2->setStyleSheet(
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;"
                       "color: rgb(255,255,255);background-image: url(")
        + dir + QStringLiteral("Picture.png);}"));
    ui->CloseButton->setStyleSheet(
        QStringLiteral("QToolButton{border:0px;background-image: url(") + dir
        + QStringLiteral("CloseSecondPage.png);background-position:center;background-repeat:no-repeat;}"
                         "QToolButton:hover{background-image: url(")
        + dir + QStringLiteral("CloseSecondPageHover.png);}QToolButton:pressed{background-image: url(") + dir
        + QStringLiteral("CloseSecondPageClick.png);}"));
    ui->MatchA->setStyleSheet(
        QStringLiteral("#MatchA{border:0px;background-position:center;background-repeat:no-repeat;background-image: url(")
        + dir + QStringLiteral("BackSecondPage.png); }"));
}

QTimer *Match::NewTimer(int intervalMs, void (Match::*slot)())
{
    auto *timer = new QTimer(this);
    timer->setInterval(Waits::Scaled(intervalMs));
    connect(timer, &QTimer::timeout, this, slot);
    return timer;
}

// The newest dialog owns the global timer pointers.
void Match::CreateTimers()
{
    g_PairUsbTimer = usbTimer = NewTimer(kUsbPollMs, &Match::onUSBTimeupDestroy);
    g_PairStatusTimer = statusTimer = NewTimer(kStatusPollMs, &Match::onPairTimeupDestroy);
    g_PairTextTimer = textTimer = NewTimer(kTextStepMs, &Match::onTextTimeupDestroy);
}

void Match::PrepareShow()
{
    ui->MatchButton->setShortcut(QKeySequence(Qt::Key_Space));
    g_PairTextStep = 0;
    g_PairState.store(kPairIdle);
    ui->MatchButton->setEnabled(true);
    ShowButton(matchButtonText, QLatin1String(kNormalPicture));

    hasTarget = true;
    if (g_SessionActive.load() == 1) {
        TakeTarget(g_CurrentDevice.Get());
        targetPath = startPath;
    } else if (g_PairFromDevicePage) {
        TakeTarget(g_PairDevice);
    } else if (!g_PageDevices.isEmpty()) {
        TakeTarget(g_PageDevices.first());
    } else {
        // Nothing listed and nothing open: there is no receiver to pair with.
        hasTarget = false;
        TakeTarget(DeviceAllInfo());
    }
    // The customer id is configured as decimal text; the receiver takes one byte.
    targetCid = uint8_t(ConfigIni::GetInstance()->IntValue(QStringLiteral("Option"), QStringLiteral("CID")));
    usbTimer->start();
}

void Match::TakeTarget(const DeviceAllInfo &device)
{
    targetPath = device.Path;
    targetVid = device.Vid;
    targetPid = device.Pid;
    targetWired = device.Wired;
}

void Match::ShowButton(const QString &text, const QString &picture)
{
    ui->MatchButton->setText(text);
    ui->MatchButton->setStyleSheet(ButtonStyle(g_PairButtonColor, picture));
}

void Match::on_MatchButton_clicked()
{
    if (g_PairState.load() == kPairSucceeded || !canPair)
        return;
    g_PairState.store(kPairRunning);
    textTimer->start();
    ShowButton(matchingText, QLatin1String(kNormalPicture));
    // Pairing takes over the library's data callback: the open connection is
    // set aside until the result.
    int active = 1;
    if (g_SessionActive.compare_exchange_strong(active, 0))
        g_SessionParked.store(true);
    g_PairStarted.store(false);
    EnterPair();
}

void Match::EnterPair()
{
    qDebug() << "Enter";
    if (g_PairStarted.exchange(true)) {
        UsbServer_EnterDonglePairOnlyCid(targetCid);
        return;
    }
    statusTimer->start();
    const QByteArray path = targetPath.toLatin1();
    // Pairing takes the connection over, and a new mouse may answer through
    // the receiver afterwards: the image is no longer known to be its own.
    ForgetDeviceImage();
    UsbServerC_Start(path.constData(), path.constData(), PairCallBack);
    UsbServer_EnterDonglePairOnlyCid(targetCid);
}

void Match::SlotStopTimer()
{
    statusTimer->stop();
    textTimer->stop();
}

void Match::SlotButtonenable(int index)
{
    if (index == kShowSuccess) {
        ShowButton(matchSuccessText, QLatin1String(kSuccessPicture));
        ui->MatchButton->setEnabled(false);
    } else if (index == kShowFailure) {
        ShowButton(matchFailText, QLatin1String(kFailPicture));
    }
}

bool Match::TargetStillListed() const
{
    int count = kFinderPathRoom;
    const QByteArray vid = targetVid.toLatin1();
    const QByteArray pid = targetPid.toLatin1();
    const char **paths = UsbFinderC_FindHidDevicesByDefaultDeviceId(vid.constData(), pid.constData(), &count);
    for (int i = 0; paths && i < count; ++i) {
        if (paths[i] && QString::fromLatin1(paths[i]) == targetPath)
            return true;
    }
    return false;
}

// Every second while pairing: asks the receiver for its status (the answer
// comes through PairCallBack) and gives up when the receiver has gone.
void Match::onPairTimeupDestroy()
{
    UsbServer_ReadDonglePairStatus();
    if (TargetStillListed() || !g_PairStarted.exchange(false))
        return;
    SlotStopTimer();
    g_PairState.store(kPairFailed);
    ShowButton(matchFailText, QLatin1String(kFailPicture));
    RestoreParkedSession();
}

void Match::onTextTimeupDestroy()
{
    const int dots = g_PairTextStep % kTextDotSteps;
    ui->MatchButton->setText(matchingText + QString(dots, QLatin1Char('.')));
    g_PairTextStep = dots + 1;
}

// Every 100 ms while the dialog is open: a wired target shows the hint and
// keeps the button disabled. The button stays disabled after a success too.
void Match::onUSBTimeupDestroy()
{
    if (!g_PairStarted.load()) {
        const bool wiredHint = hasTarget && targetWired;
        canPair = hasTarget && !targetWired;
        ui->label->setVisible(wiredHint);
        ui->textEdit->setVisible(!wiredHint);
    }
    if (!canPair) {
        ui->MatchButton->setEnabled(false);
        ui->MatchButton->setStyleSheet(DisabledButtonStyle());
    } else if (g_PairState.load() != kPairSucceeded) {
        ui->MatchButton->setEnabled(true);
    }
}

void Match::WindowClosedSet()
{
    CloseUnlessPairing();
}

void Match::reject()
{
    CloseUnlessPairing();
}

// The dialog cannot be closed while the receiver is pairing: the pairing
// callback and the parked session depend on the answer.
void Match::CloseUnlessPairing()
{
    if (g_PairStarted.load())
        return;
    StartUsbChanged(SelectionUsbChangedCallback, kUsbChangedIntervalMs);
    usbTimer->stop();
    SlotStopTimer();
    RestoreParkedSession();
    QDialog::reject();
}

void Match::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void Match::SlotChangeLanguage(int index)
{
    QPushButton *button = ui->MatchButton;
    LanguageReader reader(QStringLiteral("Match"),
                          {
                              {QStringLiteral("label"), PropertyTarget(ui->label)},
                              {QStringLiteral("textEdit"), PropertyTarget(ui->textEdit, "plainText")},
                              {QStringLiteral("MatchButton"),
                               [this, button](const QString &text) {
                                   matchButtonText = text;
                                   button->setText(text);
                               }},
                              {QStringLiteral("Matching"), StoreTarget(&matchingText)},
                              {QStringLiteral("MatchFail"), StoreTarget(&matchFailText)},
                              {QStringLiteral("MatchSuccess"), StoreTarget(&matchSuccessText)},
                          });
    reader.Load(index);
    FitWiredHint();
}

// The hint's line was sized for the short original text; longer translations
// wrap onto further lines instead of being cut off.
void Match::FitWiredHint()
{
    QLabel *hint = ui->label;
    hint->setWordWrap(true);
    hint->resize(hint->width(), qMax(kHintLineHeight, hint->heightForWidth(hint->width())));
}

// ---- the openers ----------------------------------------------------------

namespace {
void RunPrepared(Match &match, const QWidget *over, int dx = 0, int dy = 0)
{
    match.PrepareShow();
    if (over)
        PlaceOnOpener(&match, over, dx, dy);
    match.exec();
}
}  // namespace

void RunPairingWithHandBack(bool fromDevicePage, const QWidget *over)
{
    Match match;
    g_PairFromDevicePage = fromDevicePage;
    RunPrepared(match, over);
    // Pairing replaced the data callback of the open connection. Opening
    // again drops what was asked before, and the receiver may now talk to
    // another mouse: read the whole image again, so the writers send only
    // what this mouse holds.
    OpenCurrentDevice();
    ReadWholeImage();
}

void RunPairingForTile(const DeviceAllInfo &device, const QWidget *over)
{
    g_PairFromDevicePage = true;
    g_PairDevice = device;
    Match match;
    RunPrepared(match, over);
}

void RunPairingFromSettingsPage(const QWidget *over)
{
    if (!CheckDeviceOnline())
        return;
    Match match;
    RunPrepared(match, over, kSettingsPageDx, kSettingsPageDy);
    StartUsbChanged(MainUsbChangedCallback, kUsbChangedIntervalMs);
    // Pairing replaced the data callback of the open connection; without it
    // back, battery, version and settings reports would be dropped. As after
    // the Space key, the reopened connection reads the whole image again.
    OpenCurrentDevice();
    ReadWholeImage();
}
