#include "updaterepair.h"

#include "configini.h"
#include "deviceallinfo.h"
#include "firmwareimages.h"
#include "globals.h"
#include "hidusb.h"
#include "languagereader.h"
#include "paths.h"
#include "postmsg.h"
#include "ui_updaterepair.h"
#include "updatefailinfo.h"
#include "usbcallbacks.h"

#include <QKeySequence>
#include <QMutex>
#include <QMutexLocker>

std::atomic<bool> g_RepairFlashing{false};
std::atomic<int> g_RepairStage{0};
std::atomic<int> g_RepairStageCount{1};
std::atomic<int> g_RepairFailedStage{0};
std::atomic<int> g_RepairReceiverClass{0};
std::atomic<int> g_RepairCid{0};
std::atomic<int> g_RepairMid{0};
QStringList g_RepairFailInfo;

namespace {

constexpr int kUpgradeTimeout = 10000;  // handed to the firmware library as it is
constexpr int kBootCountPreset = 5;

// Texts the flash thread reads: set on the GUI thread before a start.
QMutex s_runLock;
QString s_mouseModel;
QByteArray s_cableMousePath;

int TargetOfStage(int stage)
{
    return stage == 0 ? kReceiverFirmware : kMouseFirmware;
}

// The receiver firmware model key of a record's class text, and the class.
struct ReceiverKey {
    const char *key;
    int receiverClass;
};

bool ReceiverKeyOf(const QString &classText, ReceiverKey *out)
{
    static const struct {
        const char *text;
        ReceiverKey key;
    } keys[] = {{"1", {"DM", 1}}, {"2", {"D2M", 2}}, {"4", {"D4M", 4}}, {"8", {"D8M", 8}}};
    for (const auto &entry : keys) {
        if (classText == QLatin1String(entry.text)) {
            *out = entry.key;
            return true;
        }
    }
    return false;
}

const QStringList &PidListOfClass(const QString &classText)
{
    static const QStringList none;
    if (classText == QLatin1String("1"))
        return g_WirelessPidList;
    if (classText == QLatin1String("2"))
        return g_Wireless2PidList;
    if (classText == QLatin1String("4"))
        return g_Wireless4PidList;
    if (classText == QLatin1String("8"))
        return g_Wireless8PidList;
    return none;
}

bool IsReceiverPid(const QString &pid)
{
    return g_WirelessPidList.contains(pid) || g_Wireless2PidList.contains(pid) || g_Wireless4PidList.contains(pid)
        || g_Wireless8PidList.contains(pid);
}

ConfigIni *Config()
{
    return ConfigIni::GetInstance();
}

// The run ends: the device-selection page's Repair button follows the record.
void EndRun(int autoRepair, bool hideRepairButton, int progressCode)
{
    PostMsg *hub = PostMsg::GetInstance();
    hub->EmitAutoRepair(autoRepair);
    hub->EmitUpDateButton(hideRepairButton);
    hub->EmitProgress(0, progressCode);
    g_RepairRunning = false;
}

// Every finished report gives the device link its watch back and ends the
// image's flashing (closing is allowed again).
void EndOfImage()
{
    g_LinkWatch = 1;
    g_RepairFlashing = false;
}

// After the receiver image: the mouse image follows when the mouse's update
// was the one that failed, or when the mouse of the failed model still answers
// on its cable. The receiver's image is over before the mouse's may start.
void ContinueWithTheMouse()
{
    g_RepairStage = 1;
    QByteArray image;
    const bool found = FindRepairFirmwareImage(kMouseFirmware, QString(), RepairMouseModel(),
                                               uint8_t(g_RepairCid.load()), uint8_t(g_RepairMid.load()), &image);
    const QByteArray cablePath = RepairCableMousePath();
    const bool mouseReachable = !cablePath.isEmpty() && UsbFinderC_GetDeviceOnLine(cablePath.constData());
    const bool allowed = g_RepairFailedStage == 1 || mouseReachable;
    EndOfImage();
    if (found && allowed) {
        UsbUpgrade_Start(FirmwareImageData(image), RepairUpgradeCallBack, kUpgradeTimeout);
        return;
    }
    // Only the receiver's image was there and the receiver was what failed:
    // the repair is done.
    if (g_RepairStageCount == 1 && g_RepairFailedStage == 0)
        EndRun(0, true, 2);
    else
        EndRun(1, true, 5);
}

void StageSucceeded()
{
    const int stage = g_RepairStage;
    if (stage == g_RepairFailedStage)
        UpdateFailInfo::Remove();
    if (stage == 0) {
        ContinueWithTheMouse();
        return;
    }
    EndRun(0, true, 2);
    EndOfImage();
}

void StageFailed()
{
    UpdateFailInfo::Write(TargetOfStage(g_RepairStage), g_RepairReceiverClass, g_RepairCid, g_RepairMid);
    PostMsg *hub = PostMsg::GetInstance();
    hub->EmitAutoRepair(1);
    hub->EmitUpDateButton(false);
    hub->EmitProgress(0, 6);
    g_RepairRunning = false;
    EndOfImage();
}

}  // namespace

QString RepairMouseModel()
{
    QMutexLocker lock(&s_runLock);
    return s_mouseModel;
}

void SetRepairMouseModel(const QString &model)
{
    QMutexLocker lock(&s_runLock);
    s_mouseModel = model;
}

QByteArray RepairCableMousePath()
{
    QMutexLocker lock(&s_runLock);
    return s_cableMousePath;
}

void SetRepairCableMousePath(const QByteArray &path)
{
    QMutexLocker lock(&s_runLock);
    s_cableMousePath = path;
}

void RepairUpgradeCallBack(const unsigned char *report)
{
    if (report[0] != 7)
        return;
    if (report[1] == 1) {
        g_RepairFlashing = true;
        int percent = report[2];
        if (g_RepairStageCount == 2)
            percent = percent / 2 + (g_RepairStage == 1 ? 50 : 0);
        PostMsg::GetInstance()->EmitAutoRepairProgress(percent);
        return;
    }
    if (report[1] != 2)
        return;
    if (report[2] == 1)
        StageSucceeded();
    else
        StageFailed();
}

// ---- the dialog -----------------------------------------------------------------

UpDateRepair::UpDateRepair(QWidget *parent) : QDialog(parent), ui(new Ui_UpDateRepair)
{
    ui->setupUi(this);
    ui->NewHong->hide();
    ui->NewHong_2->hide();
    ui->ToolText_2->hide();
    ui->progressBar_2->hide();

    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &UpDateRepair::SlotChangeLanguage);
    connect(hub, &PostMsg::SigAutoRepair, this, &UpDateRepair::SlotAutoRepair);
    connect(hub, &PostMsg::SigAutoRepairProgress, this, &UpDateRepair::SlotAutoRepairProgress);
    connect(hub, &PostMsg::SigProgress, this, &UpDateRepair::SlotProgress);
    connect(hub, &PostMsg::SigRepairCheckUpdate, this, &UpDateRepair::SlotRepairCheckUpdate);

    PictureDir = Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/");
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    ApplyStyleSheets();
    SlotChangeLanguage(CurrentLanguageIndex());
}

UpDateRepair::~UpDateRepair()
{
    delete ui;
}

void UpDateRepair::ApplyStyleSheets()
{
    const QString &D = PictureDir;
    const QString label = Config()->ColorTriple(QStringLiteral("Option"), QStringLiteral("LabelColor"));
    const QString button = Config()->ColorTriple(QStringLiteral("Option"), QStringLiteral("ButtonColor"));
    ui->ToolText->setStyleSheet(QStringLiteral("#ToolText{color: rgb(") + label
                                + QStringLiteral(";);background-color:rgba(0,0,0,0);}"));
    ui->ToolText_2->setStyleSheet(QStringLiteral("#ToolText_2{color: rgb(255,0,0);background-color:rgba(0,0,0,0);}"));
    const QString textButton
        = QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
        + button + QStringLiteral(";);border-image: url(") + D + QStringLiteral("ok_nr.png);}QToolButton:hover{"
                                                                           "border-image: url(")
        + D + QStringLiteral("ok_enter.png); }");
    ui->NewHong->setStyleSheet(textButton);
    ui->NewHong_2->setStyleSheet(textButton);
    ui->CloseButton->setStyleSheet(
        QStringLiteral("QToolButton{border:0px;background-image: url(") + D
        + QStringLiteral("Close.png);background-position:center;background-repeat:no-repeat;}"
                         "QToolButton:hover{background-image: url(")
        + D + QStringLiteral("CloseHover.png);}QToolButton:pressed{background-image: url(") + D
        + QStringLiteral("CloseClick.png);}"));
    ui->AutoRepair->setStyleSheet(
        QStringLiteral("#AutoRepair{border:0px;background-position:center;background-repeat:no-repeat;"
                       "border-image: url(")
        + D + QStringLiteral("BackGround.png);}"));
}

void UpDateRepair::SlotChangeLanguage(int index)
{
    const TagMap tags{
        {QStringLiteral("ToolText"), PropertyTarget(ui->ToolText)},
        {QStringLiteral("NewHong_2"), StoreTarget(&texts.Upgrade)},
        {QStringLiteral("Cancel"), StoreTarget(&texts.Cancel)},
        {QStringLiteral("Confirm"), StoreTarget(&texts.Confirm)},
        {QStringLiteral("ReadyUpdate"), StoreTarget(&texts.ReadyUpdate)},
        {QStringLiteral("UpdateNotMove"), StoreTarget(&texts.UpdateNotMove)},
        {QStringLiteral("UpdateSuccess"), StoreTarget(&texts.UpdateSuccess)},
        {QStringLiteral("UpdateFail"), StoreTarget(&texts.UpdateFail)},
        {QStringLiteral("NoDevice"), StoreTarget(&texts.NoDevice)},
        {QStringLiteral("SameDevice"), StoreTarget(&texts.SameDevice)},
        {QStringLiteral("MultiDongle"), StoreTarget(&texts.MultiDongle)},
        {QStringLiteral("MultiMouse"), StoreTarget(&texts.MultiMouse)},
        {QStringLiteral("NoUSB"), StoreTarget(&texts.NoUSB)},
        {QStringLiteral("NoRecieve"), StoreTarget(&texts.NoRecieve)},
        {QStringLiteral("FileError"), StoreTarget(&texts.FileError)},
    };
    LanguageReader(QStringLiteral("AutoRepair"), tags).Load(index);
}

// ---- looks ----------------------------------------------------------------------

void UpDateRepair::SetKeys()
{
    ui->NewHong_2->setShortcut(QKeySequence(Qt::Key_Return));
    ui->NewHong->setShortcut(QKeySequence(Qt::Key_Escape));
}

void UpDateRepair::ShowConfirm()
{
    ui->NewHong_2->setText(texts.Confirm);
    confirmShown = true;
}

void UpDateRepair::ResetUi()
{
    ui->NewHong_2->setText(texts.Upgrade);
    confirmShown = false;
    ui->NewHong_2->show();
    ui->NewHong->setText(texts.Cancel);
    ui->NewHong->show();
    ui->CloseButton->show();
    ui->ToolText_2->clear();
    ui->ToolText_2->show();
    ui->progressBar_2->setValue(0);
    ui->progressBar_2->hide();
    SetKeys();
}

void UpDateRepair::ShowReady()
{
    ui->NewHong_2->setText(texts.Upgrade);
    confirmShown = false;
    ui->NewHong_2->show();
    ui->NewHong->setText(texts.Cancel);
    ui->NewHong->show();
    ui->NewHong->setEnabled(true);
    ui->CloseButton->show();
    ui->CloseButton->setEnabled(true);
    ui->ToolText_2->setText(texts.ReadyUpdate);
    ui->ToolText_2->show();
    ui->progressBar_2->hide();
    SetKeys();
}

void UpDateRepair::ShowError()
{
    ShowConfirm();
    ui->NewHong_2->show();
    ui->NewHong->show();
    ui->NewHong->setEnabled(true);
    ui->CloseButton->show();
    ui->CloseButton->setEnabled(true);
    ui->ToolText_2->show();
    ui->progressBar_2->hide();
    SetKeys();
}

void UpDateRepair::ShowUpdating()
{
    ui->NewHong_2->hide();
    ui->NewHong->hide();
    ui->NewHong->setEnabled(false);
    ui->CloseButton->show();
    ui->CloseButton->setEnabled(false);
    ui->ToolText_2->setText(texts.UpdateNotMove);
    ui->ToolText_2->show();
    ui->progressBar_2->show();
    SetKeys();
}

bool UpDateRepair::IsShowingUpdating() const
{
    return !ui->progressBar_2->isHidden() && !ui->CloseButton->isEnabled();
}

void UpDateRepair::SetHintText(const QString &text)
{
    ui->ToolText_2->setText(text);
}

void UpDateRepair::ErrorWithHint(const QString &hint)
{
    SetHintText(hint);
    ShowError();
}

// ---- results --------------------------------------------------------------------

void UpDateRepair::SlotAutoRepairProgress(int index)
{
    ui->progressBar_2->setValue(index);
}

void UpDateRepair::SlotAutoRepair(int index)
{
    SetHintText(index == 0 ? texts.UpdateSuccess : texts.UpdateFail);
    ShowConfirm();
    ui->NewHong->show();
    SetKeys();
}

void UpDateRepair::SlotProgress(int schedue, int Discrib)
{
    switch (Discrib) {
    case 0:
        ui->progressBar_2->setValue(schedue);
        break;
    case 1:
    case 2:
        ShowConfirm();
        ui->NewHong->show();
        ui->NewHong_2->show();
        SetHintText(Discrib == 1 ? texts.UpdateFail : texts.UpdateSuccess);
        ui->ToolText_2->show();
        if (Discrib == 2)
            ui->progressBar_2->setValue(100);
        ui->CloseButton->setEnabled(true);
        ui->NewHong->setEnabled(true);
        break;
    case 3:
        ui->NewHong->hide();
        break;
    case 4:
        ui->NewHong->hide();
        ui->progressBar_2->setValue(0);
        break;
    case 5:
        ShowConfirm();
        ui->NewHong_2->show();
        SetHintText(texts.UpdateFail);
        ui->ToolText_2->show();
        ui->NewHong->show();
        ui->CloseButton->setEnabled(true);
        ui->NewHong->setEnabled(true);
        ui->progressBar_2->setValue(50);
        break;
    case 6:
        SetHintText(texts.UpdateFail);
        ui->ToolText_2->show();
        ui->NewHong->show();
        ui->CloseButton->setEnabled(true);
        ui->NewHong->setEnabled(true);
        break;
    default:
        break;
    }
    SetKeys();
}

// ---- buttons --------------------------------------------------------------------

void UpDateRepair::CloseAfterRun()
{
    if (!ui->progressBar_2->isHidden()) {
        PostMsg *hub = PostMsg::GetInstance();
        if (ui->progressBar_2->value() == 100)
            hub->EmitSetNewVer();
        else if (g_SessionActive != 0)
            hub->EmitChangeMainDialog(0);
    }
    // done(), not close(): close() would come back through reject().
    done(QDialog::Rejected);
}

void UpDateRepair::on_CloseButton_clicked()
{
    if (g_RepairFlashing)
        return;
    CloseAfterRun();
}

void UpDateRepair::on_NewHong_clicked()
{
    on_CloseButton_clicked();
}

void UpDateRepair::on_NewHong_2_clicked()
{
    if (!g_RepairFlashing && !ui->progressBar_2->isHidden()) {
        CloseAfterRun();
        return;
    }
    if (confirmShown)
        done(QDialog::Rejected);
    else if (g_SessionActive != 0)
        PostMsg::GetInstance()->EmitUpdateStart();
    else
        StartRepair();
}

void UpDateRepair::reject()
{
    if (!ui->CloseButton->isHidden() && ui->CloseButton->isEnabled())
        on_CloseButton_clicked();
}

// ---- the check --------------------------------------------------------------------

void UpDateRepair::SlotRepairCheckUpdate()
{
    if (CheckRepair())
        ShowReady();
}

// Several listed devices: one cable mouse and one receiver, and the one that
// matters for the failed target must be of the failed model.
bool UpDateRepair::DevicesFit(int failedMid)
{
    const QList<DeviceAllInfo> &devices = g_PageDevices;
    if (devices.isEmpty()) {
        ErrorWithHint(texts.NoDevice);
        return false;
    }
    if (devices.size() == 1)
        return true;
    int wired = 0;
    for (const DeviceAllInfo &device : devices)
        wired += device.Wired ? 1 : 0;
    const int wireless = devices.size() - wired;
    if (wired >= 2) {
        ErrorWithHint(texts.MultiMouse);
        return false;
    }
    if (wireless >= 2) {
        ErrorWithHint(texts.MultiDongle);
        return false;
    }
    for (const DeviceAllInfo &device : devices) {
        if (FailedTarget == kMouseFirmware && device.Wired && device.Mid != failedMid) {
            ErrorWithHint(texts.MultiMouse);
            return false;
        }
        if (FailedTarget == kReceiverFirmware && !device.Wired && device.Mid != failedMid) {
            ErrorWithHint(texts.MultiDongle);
            return false;
        }
    }
    return true;
}

// The listed receivers that count for a receiver repair: any receiver, or,
// when exactly one is listed, one of the record's class.
int UpDateRepair::ListedReceivers(const QString &classText) const
{
    if (FailedTarget != kReceiverFirmware)
        return 0;
    int receivers = 0;
    for (const DeviceAllInfo &device : qAsConst(g_PageDevices))
        receivers += IsReceiverPid(device.Pid) ? 1 : 0;
    if (receivers != 1)
        return receivers;
    const QStringList &classPids = PidListOfClass(classText);
    int ofClass = 0;
    for (const DeviceAllInfo &device : qAsConst(g_PageDevices))
        ofClass += classPids.contains(device.Pid) ? 1 : 0;
    return ofClass;
}

bool UpDateRepair::FindDriveGroup(int failedMid)
{
    const int total = Config()->IntValue(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));
    for (int k = 1; k <= total; ++k) {
        const QString group = QStringLiteral("Drive%1").arg(k);
        if (Config()->IntValue(group, QStringLiteral("MID")) == failedMid) {
            DriveGroup = group;
            return true;
        }
    }
    return false;
}

// Devices waiting in boot mode for the kept image; none without an image.
int UpDateRepair::BootCount() const
{
    if (g_RepairFirmware.isEmpty())
        return 0;
    int count = kBootCountPreset;
    UsbUpgradeC_FindBootDevices(FirmwareImageData(g_RepairFirmware.first()), &count);
    return count;
}

bool UpDateRepair::CheckRepair()
{
    const UpdateFailRecord record = UpdateFailInfo::Read();
    g_RepairFailInfo = record.fields;
    if (!record.IsComplete()) {
        StartAllowed = false;
        return false;
    }
    g_RepairReceiverClass = 0;
    FailedTarget = record.Target();
    const int failedMid = record.Mid();
    if (!DevicesFit(failedMid))
        return false;
    const int listedReceivers = ListedReceivers(record.ReceiverClassText());
    g_RepairStage = 0;

    if (ExternalStart) {
        StartAllowed = true;
    } else {
        const DeviceAllInfo &first = g_PageDevices.first();
        if (FailedTarget == kReceiverFirmware && !(first.Wired && first.Mid == failedMid)) {
            ErrorWithHint(texts.NoUSB);
            return false;
        }
        if (FailedTarget == kMouseFirmware && !(!first.Wired && first.Mid == failedMid)) {
            ErrorWithHint(texts.NoRecieve);
            return false;
        }
        if (!FindDriveGroup(failedMid)) {
            StartAllowed = false;
            ErrorWithHint(texts.FileError);
            return false;
        }
        SetRepairMouseModel(Config()->Value(DriveGroup, QStringLiteral("MM")));
        ReceiverKey key{};
        if (ReceiverKeyOf(record.ReceiverClassText(), &key)) {
            g_RepairReceiverClass = key.receiverClass;
            ReceiverModel = Config()->Value(DriveGroup, QLatin1String(key.key));
        }
        g_RepairCid = record.Cid();
        g_RepairMid = Config()->IntValue(DriveGroup, QStringLiteral("MID"));

        const auto cid = uint8_t(g_RepairCid.load());
        const auto mid = uint8_t(g_RepairMid.load());
        const bool mouseImage = FindRepairFirmware(kMouseFirmware, QString(), RepairMouseModel(), cid, mid);
        const bool receiverImage = FindRepairFirmware(kReceiverFirmware, QString(), ReceiverModel, cid, mid);
        g_RepairStageCount = mouseImage && receiverImage ? 2 : 1;
        if (FailedTarget == kReceiverFirmware) {
            g_RepairFailedStage = 0;
            StartAllowed = FindRepairFirmware(kReceiverFirmware, QString(), ReceiverModel, cid, mid);
        } else {
            g_RepairFailedStage = 1;
            StartAllowed = FindRepairFirmware(kMouseFirmware, QString(), RepairMouseModel(), cid, mid);
        }
    }

    if (!StartAllowed) {
        ErrorWithHint(texts.FileError);
        return false;
    }
    const int total = BootCount() + listedReceivers;
    if (total == 1)
        return true;
    ErrorWithHint(total == 0 ? texts.NoDevice : texts.SameDevice);
    ui->NewHong->show();
    g_RepairRunning = false;
    return false;
}

// ---- starting -------------------------------------------------------------------

void UpDateRepair::StartRepair()
{
    if (!StartAllowed)
        return;
    g_RepairRunning = true;
    ShowUpdating();
    g_LinkWatch = 0;

    const auto cid = uint8_t(g_RepairCid.load());
    const auto mid = uint8_t(Config()->IntValue(DriveGroup, QStringLiteral("MID")));
    QByteArray cablePath;
    for (const DeviceAllInfo &device : qAsConst(g_PageDevices)) {
        if (device.Wired && device.Mid == g_RepairMid) {
            cablePath = device.Path.toUtf8();
            break;
        }
    }
    SetRepairCableMousePath(cablePath);

    if (FindRepairFirmware(kReceiverFirmware, QString(), ReceiverModel, cid, mid)) {
        g_RepairStage = 0;
    } else {
        g_RepairStage = 1;
        if (!FindRepairFirmware(kMouseFirmware, QString(), RepairMouseModel(), cid, mid)) {
            // Nothing to flash: the record stays, and so does the Repair button.
            ErrorWithHint(texts.FileError);
            g_RepairRunning = false;
            g_LinkWatch = 1;
            return;
        }
    }
    // A refused start still ends with the library's failure report.
    StartAllowed = UsbUpgrade_Start(FirmwareImageData(g_RepairFirmware.first()), RepairUpgradeCallBack,
                                    kUpgradeTimeout);
}

void UpDateRepair::StartRepairFromKey(int index)
{
    Q_UNUSED(index);
    ExternalStart = true;
    StartRepair();
}
