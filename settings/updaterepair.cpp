#include "updaterepair.h"

#include "configini.h"
#include "deviceallinfo.h"
#include "firmwareimages.h"
#include "flashrecord.h"
#include "globals.h"
#include "hidusb.h"
#include "languagereader.h"
#include "paths.h"
#include "postmsg.h"
#include "receiverclass.h"
#include "registrystore.h"
#include "repaircheck.h"
#include "ui_updaterepair.h"
#include "updatefailinfo.h"
#include "usbcallbacks.h"

#include <QKeySequence>

#include <mutex>

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

// Texts the flash thread reads: set on the GUI thread before a start, or by
// the flash thread before it starts the mouse image.
std::mutex s_runLock;
QString s_mouseModel;
QByteArray s_cableMousePath;
QString s_flashedVersion;     // version text of the image being flashed
QString s_mouseVersionName;   // "MouseVer" + CID + MID of the failed model

int TargetOfStage(int stage)
{
    return stage == 0 ? kReceiverFirmware : kMouseFirmware;
}

ConfigIni *Config()
{
    return ConfigIni::GetInstance();
}

FlashRun RepairRun()
{
    return {g_RepairReceiverClass, g_RepairCid, g_RepairMid};
}

QString VersionOfImage(const QByteArray &image)
{
    FirmwareHeader header;
    return FirmwareHeader::Read(image, &header) ? FirmwareVersionText(header.Version) : QString();
}

// Every flash of a repair starts here: the record first names what a repair
// must do should the program die during this flash.
void StartImage(int target, const QByteArray &image, bool *started = nullptr)
{
    FlashRecord::BeforeFlash(RepairRun(), target);
    {
        const std::lock_guard<std::mutex> lock(s_runLock);
        s_flashedVersion = VersionOfImage(image);
    }
    const bool accepted = UsbUpgrade_Start(FirmwareImageData(image), RepairUpgradeCallBack, kUpgradeTimeout);
    if (started)
        *started = accepted;
}

QString FlashedVersion()
{
    const std::lock_guard<std::mutex> lock(s_runLock);
    return s_flashedVersion;
}

// The run ends: the device-selection page's Repair button follows the record.
void EndRun(int autoRepair, int progressCode)
{
    PostMsg *hub = PostMsg::GetInstance();
    hub->EmitAutoRepair(autoRepair);
    hub->EmitUpDateButton(!UpdateFailInfo::IsSet());
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

// A flashed image's version reaches the version texts at once; the mouse's
// is also the version the program remembers for the model.
void ReportFlashedVersion(int target)
{
    const QString version = FlashedVersion();
    if (target == kMouseFirmware) {
        QString name;
        {
            const std::lock_guard<std::mutex> lock(s_runLock);
            name = s_mouseVersionName;
        }
        if (!name.isEmpty())
            RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), name, version);
    }
    PostMsg::GetInstance()->EmitLabelText(target == kReceiverFirmware ? 0 : 1, version);
}

// After the receiver image: the mouse image follows when the mouse's update
// was the one that failed, or when the mouse of the failed model still answers
// on its cable. The receiver's image is over before the mouse's may start.
void ContinueWithTheMouse()
{
    // Only the receiver's image was there and the receiver was what failed:
    // the repair is done.
    if (g_RepairStageCount == 1 && g_RepairFailedStage == 0) {
        FlashRecord::AfterSuccess(RepairRun(), kReceiverFirmware, true);
        EndOfImage();
        EndRun(0, 2);
        return;
    }
    g_RepairStage = 1;
    QByteArray image;
    const bool found = FindRepairFirmwareImage(kMouseFirmware, QString(), RepairMouseModel(),
                                               uint8_t(g_RepairCid.load()), uint8_t(g_RepairMid.load()), &image);
    const QByteArray cablePath = RepairCableMousePath();
    const bool mouseReachable = !cablePath.isEmpty() && UsbFinderC_GetDeviceOnLine(cablePath.constData());
    const bool allowed = g_RepairFailedStage == 1 || mouseReachable;
    EndOfImage();
    if (found && allowed) {
        StartImage(kMouseFirmware, image);
        return;
    }
    // The mouse image cannot follow: a record still owed to the mouse stays.
    FlashRecord::AfterSuccess(RepairRun(), kReceiverFirmware, true);
    EndRun(1, 5);
}

void StageSucceeded()
{
    const int stage = g_RepairStage;
    ReportFlashedVersion(TargetOfStage(stage));
    if (stage == 0) {
        FlashRecord::AfterSuccess(RepairRun(), kReceiverFirmware, false);
        ContinueWithTheMouse();
        return;
    }
    FlashRecord::AfterSuccess(RepairRun(), kMouseFirmware, true);
    EndOfImage();
    EndRun(0, 2);
}

void StageFailed()
{
    FlashRecord::AfterFailure(RepairRun(), TargetOfStage(g_RepairStage));
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
    const std::lock_guard<std::mutex> lock(s_runLock);
    return s_mouseModel;
}

void SetRepairMouseModel(const QString &model)
{
    const std::lock_guard<std::mutex> lock(s_runLock);
    s_mouseModel = model;
}

QByteArray RepairCableMousePath()
{
    const std::lock_guard<std::mutex> lock(s_runLock);
    return s_cableMousePath;
}

void SetRepairCableMousePath(const QByteArray &path)
{
    const std::lock_guard<std::mutex> lock(s_runLock);
    s_cableMousePath = path;
}

void SetRepairMouseVersionName(const QString &name)
{
    const std::lock_guard<std::mutex> lock(s_runLock);
    s_mouseVersionName = name;
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

bool UpDateRepair::FindDriveGroup(int failedMid)
{
    const int total = Config()->IntValue(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));
    for (int k = 1; k <= total; ++k) {
        const QString group = ConfigIni::DriveGroup(k - 1);
        if (Config()->IntValue(group, QStringLiteral("MID")) == failedMid) {
            DriveGroup = group;
            return true;
        }
    }
    return false;
}

// Devices waiting in boot mode for an image; none without an image.
int UpDateRepair::BootCount(const QByteArray &image)
{
    if (image.isEmpty())
        return 0;
    int count = kBootCountPreset;
    UsbUpgradeC_FindBootDevices(FirmwareImageData(image), &count);
    return count;
}

// The failed model's group, names, ids and images as the run needs them;
// g_RepairFirmware keeps the failed target's image. The situation gets what
// the verdict needs of them.
void UpDateRepair::PrepareRun(const UpdateFailRecord &record, RepairSituation *situation)
{
    situation->modelKnown = FindDriveGroup(record.Mid());
    if (!situation->modelKnown)
        return;
    SetRepairMouseModel(Config()->Value(DriveGroup, QStringLiteral("MM")));
    const int receiverClass = ReceiverClass::OfText(record.ReceiverClassText());
    if (receiverClass != 0) {
        g_RepairReceiverClass = receiverClass;
        ReceiverModel = Config()->Value(DriveGroup, ReceiverClass::ModelKey(receiverClass));
    }
    g_RepairCid = record.Cid();
    g_RepairMid = Config()->IntValue(DriveGroup, QStringLiteral("MID"));
    SetRepairMouseVersionName(RegistryStore::MouseVerName(Config()->Value(QStringLiteral("Option"), QStringLiteral("CID")),
                                                          Config()->Value(DriveGroup, QStringLiteral("MID"))));

    const auto cid = uint8_t(g_RepairCid.load());
    const auto mid = uint8_t(g_RepairMid.load());
    QByteArray mouseImage;
    QByteArray receiverImage;
    FindRepairFirmwareImage(kMouseFirmware, QString(), RepairMouseModel(), cid, mid, &mouseImage);
    FindRepairFirmwareImage(kReceiverFirmware, QString(), ReceiverModel, cid, mid, &receiverImage);
    g_RepairStageCount = !mouseImage.isEmpty() && !receiverImage.isEmpty() ? 2 : 1;
    situation->receiverBootCount = BootCount(receiverImage);
    situation->mouseBootCount = BootCount(mouseImage);
    if (FailedTarget == kReceiverFirmware) {
        g_RepairFailedStage = 0;
        StartAllowed = FindRepairFirmware(kReceiverFirmware, QString(), ReceiverModel, cid, mid);
    } else {
        g_RepairFailedStage = 1;
        StartAllowed = FindRepairFirmware(kMouseFirmware, QString(), RepairMouseModel(), cid, mid);
    }
    situation->failedImage = StartAllowed;
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
    g_RepairStage = 0;
    RepairSituation situation;
    situation.record = record;
    // The scan's list: a receiver whose mouse is also on its cable shares
    // that mouse's tile, but it is there for the repair all the same.
    situation.listed = g_PageDevicesCopy;
    situation.externalStart = ExternalStart;
    if (ExternalStart) {
        StartAllowed = true;
        situation.receiverBootCount = situation.mouseBootCount = BootCount(g_RepairFirmware.value(0));
    } else {
        PrepareRun(record, &situation);
    }
    const RepairAnswer answer = RepairCheck::Judge(situation);
    if (answer == RepairAnswer::Ready)
        return true;
    ErrorWithHint(HintOf(answer));
    if (answer == RepairAnswer::NoDevice || answer == RepairAnswer::SameDevice) {
        ui->NewHong->show();
        g_RepairRunning = false;
    }
    if (answer == RepairAnswer::FileError)
        StartAllowed = false;
    return false;
}

QString UpDateRepair::HintOf(RepairAnswer answer) const
{
    switch (answer) {
    case RepairAnswer::NoDevice: return texts.NoDevice;
    case RepairAnswer::MultiMouse: return texts.MultiMouse;
    case RepairAnswer::MultiDongle: return texts.MultiDongle;
    case RepairAnswer::NoUSB: return texts.NoUSB;
    case RepairAnswer::NoRecieve: return texts.NoRecieve;
    case RepairAnswer::FileError: return texts.FileError;
    case RepairAnswer::SameDevice: return texts.SameDevice;
    case RepairAnswer::Ready:
    case RepairAnswer::UnusableRecord: break;
    }
    return QString();
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
    const auto mid = uint8_t(g_RepairMid.load());
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
    StartImage(TargetOfStage(g_RepairStage), g_RepairFirmware.first(), &StartAllowed);
}

// The Space key found a receiver image of another version than the listed
// receiver's and no newer mouse image: that receiver image alone is flashed,
// and a failure leaves a receiver record behind like any repair.
void UpDateRepair::StartRepairFromKey(int receiverClass, const QString &driveGroup, int cid, int mid)
{
    ExternalStart = true;
    DriveGroup = driveGroup;
    ReceiverModel = Config()->Value(driveGroup, ReceiverClass::ModelKey(receiverClass));
    SetRepairMouseModel(Config()->Value(driveGroup, QStringLiteral("MM")));
    SetRepairMouseVersionName(QString());
    g_RepairReceiverClass = receiverClass;
    g_RepairCid = cid;
    g_RepairMid = mid;
    g_RepairStageCount = 1;
    g_RepairFailedStage = 0;
    g_RepairStage = 0;
    ResetUi();
    StartAllowed = !ReceiverModel.isEmpty() || receiverClass == 1;
    if (StartAllowed)
        StartAllowed = FindRepairFirmware(kReceiverFirmware, QString(), ReceiverModel, uint8_t(cid), uint8_t(mid));
    if (!StartAllowed) {
        ErrorWithHint(texts.FileError);
        return;
    }
    StartRepair();
}

UpDateRepair *SharedRepairDialog()
{
    if (!g_UpDateRepair) {
        g_UpDateRepair = new UpDateRepair(nullptr);
        g_UpDateRepair->hide();
    }
    return g_UpDateRepair;
}
