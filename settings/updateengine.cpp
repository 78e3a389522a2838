// The settings page's firmware update engine: the check that decides whether
// a flash can be offered, the starters, the step machine that the two update
// timers drive one state per tick, the ends of a run, and the callbacks the
// firmware library calls during a flash.

#include "updateengine.h"

#include "formsetting.h"
#include "ui_formsetting.h"

#include "configini.h"
#include "firmwareimages.h"
#include "globals.h"
#include "hidusb.h"
#include "notices.h"
#include "postmsg.h"
#include "registrystore.h"
#include "updatefailinfo.h"
#include "updaterepair.h"
#include "usbcallbacks.h"
#include "waits.h"

#include <QMutex>
#include <QMutexLocker>
#include <QTimer>

std::atomic<int> g_UpdateReceiverClass{0};
std::atomic<int> g_UpdateMid{0};
std::atomic<int> g_UpdateTarget{0};
std::atomic<int> g_DongleUpdateState{kRunIdle};
std::atomic<int> g_MouseUpdateState{kRunIdle};
std::atomic<int> g_UpdateStageCount{1};
QTimer *g_DongleCheckTimer = nullptr;
QTimer *g_MouseCheckTimer = nullptr;

namespace {

constexpr int kStepIntervalMs = 1000;
// The third argument of every UsbUpgrade_Start.
constexpr int kUpgradeTimeout = 10000;
// The repair dialog and the notice stand this far left of and above the
// page's centre.
constexpr int kDialogOffsetX = -75;
constexpr int kDialogOffsetY = -65;
// What the check presets before the library counts the boot-mode devices.
constexpr int kUncountedBootDevices = 5;

constexpr int kReceiverClasses[] = {1, 2, 4, 8};

// Progress codes of SigProgress.
constexpr int kProgress = 0;
constexpr int kFailed = 1;
constexpr int kSucceeded = 2;
constexpr int kMouseCannotFollow = 5;

QMutex s_flashedLock;
QString s_flashedVersion;
QString s_mouseVersionName;

std::atomic<int> &RunStateOf(int target)
{
    return target == kReceiverFirmware ? g_DongleUpdateState : g_MouseUpdateState;
}

void ReportProgress(int percent)
{
    PostMsg *hub = PostMsg::GetInstance();
    const bool twoImages = g_UpdateStageCount != 1;
    if (g_DongleUpdateState == kRunFlashing)
        hub->EmitProgress(twoImages ? percent / 2 : percent, kProgress);
    if (g_MouseUpdateState == kRunFlashing)
        hub->EmitProgress(twoImages ? percent / 2 + 50 : percent, kProgress);
}

// Only this thread moves a run state away from kRunFlashing, so each state is
// read, its signals emitted, and then set: the step machine, which polls the
// state, sees the end only after the dialog's signals are on their way.
void ReportSuccess()
{
    QString version;
    QString mouseVersionName;
    {
        QMutexLocker lock(&s_flashedLock);
        version = s_flashedVersion;
        mouseVersionName = s_mouseVersionName;
    }
    PostMsg *hub = PostMsg::GetInstance();
    if (g_DongleUpdateState == kRunFlashing) {
        if (g_UpdateStageCount == 1)
            hub->EmitProgress(0, kSucceeded);
        hub->EmitLabelText(0, version);
        g_DongleUpdateState = kRunSucceeded;
    }
    if (g_MouseUpdateState == kRunFlashing) {
        RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), mouseVersionName, version);
        hub->EmitProgress(0, kSucceeded);
        hub->EmitLabelText(1, version);
        g_MouseUpdateState = kRunSucceeded;
    }
    UpdateFailInfo::Remove();
}

void ReportFailure()
{
    g_MouseUpdateFound = false;
    g_ReceiverUpdateFound = false;
    PostMsg::GetInstance()->EmitProgress(0, kFailed);
    UpdateFailInfo::Write(g_UpdateTarget, g_UpdateReceiverClass, g_UpdateCid, g_UpdateMid);
    for (std::atomic<int> *state : {&g_DongleUpdateState, &g_MouseUpdateState}) {
        int flashing = kRunFlashing;
        state->compare_exchange_strong(flashing, kRunFailed);
    }
}

void UpgradeReport(const unsigned char *report)
{
    if (report[0] != 7)
        return;
    if (report[1] == 1)
        ReportProgress(report[2]);
    else if (report[1] == 2 && report[2] == 1)
        ReportSuccess();
    else if (report[1] == 2)
        ReportFailure();
}

int CableEntries(const QList<DeviceAllInfo> &devices)
{
    int count = 0;
    for (const DeviceAllInfo &device : devices)
        count += device.Wired ? 1 : 0;
    return count;
}

}  // namespace

void KeepFlashedImageFacts(const QString &versionText, const QString &mouseVersionName)
{
    QMutexLocker lock(&s_flashedLock);
    s_flashedVersion = versionText;
    s_mouseVersionName = mouseVersionName;
}

void DongleUpgradeCallBack(const unsigned char *report)
{
    UpgradeReport(report);
}

void MouseUpgradeCallBack(const unsigned char *report)
{
    UpgradeReport(report);
}

// ---- the page's part ----------------------------------------------------------------------

void FormSetting::MakeUpdateTimers()
{
    g_DongleCheckTimer = new QTimer(this);
    g_MouseCheckTimer = new QTimer(this);
    for (QTimer *timer : {g_DongleCheckTimer, g_MouseCheckTimer})
        timer->setInterval(Waits::Scaled(kStepIntervalMs));
    connect(g_DongleCheckTimer, &QTimer::timeout, this, &FormSetting::onDongleCheckTimer);
    connect(g_MouseCheckTimer, &QTimer::timeout, this, &FormSetting::onMouseCheckTimer);
}

FormSetting::EngineState FormSetting::Engine() const
{
    return {ReceiverNoUpdate, MouseNoUpdate, MouseUpdating, ReceiverUpdating,
            UpdateStepState,  FollowUpRun,   MouseBootPending};
}

QString FormSetting::ModelKeyValue(const QString &key) const
{
    return ConfigIni::GetInstance()->Value(ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex), key);
}

int FormSetting::ModelId() const
{
    return ConfigIni::GetInstance()->IntValue(ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex),
                                              QStringLiteral("MID"));
}

QPoint FormSetting::CentredOnPage(const QSize &size) const
{
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    return {origin.x() + (width() - size.width()) / 2 + kDialogOffsetX,
            origin.y() + (height() - size.height()) / 2 + kDialogOffsetY};
}

void FormSetting::CheckError(const QString &hint)
{
    g_UpDateRepair->SetHintText(hint);
    g_UpDateRepair->ShowError();
}

void FormSetting::ShowFirmwareNotice(const QString &text)
{
    UpdateWarning->move(CentredOnPage(UpdateWarning->size()));
    UpdateWarning->setModal(true);
    UpdateWarning->SetLabelText(text);
    UpdateWarning->show();
}

// ---- the check ----------------------------------------------------------------------------

bool FormSetting::ChechIsUpDate()
{
    g_UpdateReceiverClass = 0;
    MouseBootPending = 0;
    g_UpdateCid = ConfigIni::GetInstance()->IntValue(QStringLiteral("Option"), QStringLiteral("CID"));
    DriveGroup = ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex);

    const QList<DeviceAllInfo> listed = g_FoundDevices;
    if (listed.size() == 2)
        return CheckTwoListed();
    if (listed.size() >= 3) {
        const int cable = CableEntries(listed);
        QString hint;
        if (listed.size() - cable >= 2)
            hint = MultiDongleText;
        if (cable >= 2)
            hint = MultiMouseText;
        CheckError(hint);
        return false;
    }
    if (listed.isEmpty()) {
        CheckError(ErrorText);
        return false;
    }
    return CheckRepairPath();
}

// Two listed devices: the mouse on its cable and its receiver.
bool FormSetting::CheckTwoListed()
{
    const QList<DeviceAllInfo> listed = g_FoundDevices;
    if (!listed[0].Wired && !listed[1].Wired) {
        CheckError(NoUSBText);
        return false;
    }
    if (listed[0].Mid != listed[1].Mid) {
        CheckError(NoRecieveText);
        return false;
    }
    const int receiverClass = FindReceiverPartner().receiverClass;
    if (receiverClass == 0) {
        CheckError(NoRecieveText);
        return false;
    }
    g_UpdateReceiverClass = receiverClass;
    ReceiverKey = ModelKeyValue(ReceiverModelKey(receiverClass));
    const int mid = ModelId();
    const bool receiverFound = FindUpdateFirmware(kReceiverFirmware, form->label_5->text(), ReceiverKey,
                                                  uint8_t(g_UpdateCid), uint8_t(mid));
    const bool mouseFound = FindUpdateFirmware(kMouseFirmware, form->label_7->text(),
                                               ModelKeyValue(QStringLiteral("MM")), uint8_t(g_UpdateCid),
                                               uint8_t(mid));
    g_MouseUpdateFound = mouseFound;
    if (receiverFound || mouseFound) {
        g_UpdateStageCount = receiverFound && mouseFound ? 2 : 1;
        return true;
    }
    CheckError(VerNewText);
    ReceiverNoUpdate = true;
    return false;
}

// One listed device: a flash failed earlier and its target waits in boot
// mode; the listed device is the other half of the pair.
bool FormSetting::CheckRepairPath()
{
    const DeviceAllInfo listed = g_FoundDevices.first();
    const UpdateFailRecord record = UpdateFailInfo::Read();
    if (!record.IsComplete()) {
        CheckError(listed.Wired ? NoRecieveText : NoUSBText);
        return false;
    }
    const int failedTarget = record.Target();
    if (failedTarget == kReceiverFirmware) {
        if (!listed.Wired || listed.Mid != record.Mid()) {
            CheckError(NoUSBText);
            return false;
        }
    } else if (failedTarget == kMouseFirmware) {
        MouseBootPending = 1;
        if (listed.Wired || listed.Mid != record.Mid()) {
            CheckError(NoRecieveText);
            return false;
        }
    } else {
        CheckError(ErrorText);
        return false;
    }
    for (const int receiverClass : kReceiverClasses) {
        if (record.ReceiverClassText() == QString::number(receiverClass)) {
            g_UpdateReceiverClass = receiverClass;
            RepairReceiverKey = ModelKeyValue(ReceiverModelKey(receiverClass));
        }
    }
    if (listed.Cid != record.Cid()) {
        CheckError(ErrorText);
        return false;
    }
    const int mid = ModelId();
    const QString mouseKey = ModelKeyValue(QStringLiteral("MM"));
    const bool failedImageFound
        = failedTarget == kReceiverFirmware
              ? FindUpdateFirmware(kReceiverFirmware, QString(), RepairReceiverKey, uint8_t(record.Cid()), uint8_t(mid))
              : FindUpdateFirmware(kMouseFirmware, QString(), mouseKey, uint8_t(record.Cid()), uint8_t(mid));
    // Without the image there is nothing to ask the library about.
    if (!failedImageFound || g_UpdateFirmware.isEmpty()) {
        CheckError(ErrorText);
        return false;
    }
    int bootDevices = kUncountedBootDevices;
    UsbUpgradeC_FindBootDevices(FirmwareImageData(g_UpdateFirmware.first()), &bootDevices);
    if (bootDevices == 1) {
        const bool otherFound
            = failedTarget == kReceiverFirmware
                  ? FindUpdateFirmware(kMouseFirmware, form->label_7->text(), mouseKey, uint8_t(g_UpdateCid),
                                       uint8_t(mid))
                  : FindUpdateFirmware(kReceiverFirmware, form->label_5->text(), RepairReceiverKey,
                                       uint8_t(g_UpdateCid), uint8_t(mid));
        g_UpdateStageCount = otherFound ? 2 : 1;
        return true;
    }
    CheckError(bootDevices == 0 ? NoDeviceText : SameDeviceText);
    return false;
}

void FormSetting::SlotCheckUpdate()
{
    if (ChechIsUpDate())
        g_UpDateRepair->ShowReady();
}

// ---- starters -----------------------------------------------------------------------------

void FormSetting::on_Receive_clicked()
{
    g_UpdateReceiverClass = CurrentReceiverClass();
    if (ReceiverNoUpdate || MouseUpdating) {
        if (ReceiverNoUpdate)
            LastOutcomeText = VerNewText;
        return;
    }
    StartReceiverRun();
}

void FormSetting::StartReceiverRun()
{
    g_UpdateBusy = true;
    UpdateStepState = 0;
    form->toolButton_2->hide();
    SetVer(2);
    g_LinkWatch = 0;
    g_DongleCheckTimer->start(Waits::Scaled(kStepIntervalMs));
    ReceiverUpdating = true;
}

void FormSetting::on_Mouse_clicked()
{
    const DeviceAllInfo current = g_CurrentDevice.Get();
    if (current.Wired
        && (g_FoundDevices.isEmpty() || !g_FoundDevices.first().Wired || g_FoundDevices.first().Mid != current.Mid)) {
        PostMsg::GetInstance()->EmitProgress(0, kMouseCannotFollow);
        return;
    }
    if (MouseNoUpdate || ReceiverUpdating) {
        if (MouseNoUpdate) {
            form->Receive_2->setText(VerNewText);
            LastOutcomeText = VerNewText;
        }
        return;
    }
    g_UpdateBusy = true;
    UpdateStepState = 0;
    form->toolButton_3->hide();
    SetVer(1);
    g_LinkWatch = 0;
    g_MouseCheckTimer->start(Waits::Scaled(kStepIntervalMs));
    MouseUpdating = true;
}

void FormSetting::on_Start()
{
    BootCount1 = BootCount2 = BootCount4 = BootCount8 = 0;
    g_UpDateRepair->ShowUpdating();
    LastFlashSucceeded = false;
    LastOutcomeText.clear();
    const bool receiverFound
        = FindUpdateFirmware(kReceiverFirmware, form->label_5->text(), RepairReceiverKey, uint8_t(g_UpdateCid),
                             uint8_t(ConfigIni::GetInstance()->IntValue(DriveGroup, QStringLiteral("MID"))));
    if (!receiverFound && MouseBootPending == 1) {
        FollowUpRun = true;
        on_Mouse_clicked();
    } else if (g_DongleUpdateState != kRunFlashing && g_MouseUpdateState != kRunFlashing && !MouseUpdating
               && !ReceiverNoUpdate) {
        StartReceiverRun();
    } else if (ReceiverNoUpdate) {
        ApplyPlainUpdateLook();
        SlotContinue(0);
    }
    EndChainIfIdle();
}

void FormSetting::SlotContinue(int index)
{
    Q_UNUSED(index);
    ContinueAfterRun(true);
}

// Chains the run that should follow: the mouse after a receiver run that
// flashed or had nothing to flash, the receiver after such a mouse run. At
// the end of a receiver run the receiver is not chained again: a run that
// found no receiver or several would otherwise start itself anew for ever.
void FormSetting::ContinueAfterRun(bool receiverMayFollow)
{
    BootCount1 = BootCount2 = BootCount4 = BootCount8 = 0;
    const auto ranOrHadNothing = [](int state) { return state == kRunSucceeded || state == kRunNothingToFlash; };
    if (g_MouseUpdateFound && ranOrHadNothing(g_DongleUpdateState)) {
        FollowUpRun = true;
        on_Mouse_clicked();
    }
    if (receiverMayFollow && g_ReceiverUpdateFound && ranOrHadNothing(g_MouseUpdateState)) {
        FollowUpRun = true;
        on_Receive_clicked();
    }
}

// A chain the repair dialog shows must leave it with a result: the last
// flash's success, or why nothing was flashed.
void FormSetting::EndChainIfIdle()
{
    if (MouseUpdating || ReceiverUpdating || !g_UpDateRepair || !g_UpDateRepair->IsShowingUpdating())
        return;
    if (LastFlashSucceeded)
        PostMsg::GetInstance()->EmitProgress(0, kSucceeded);
    else
        CheckError(LastOutcomeText.isEmpty() ? ErrorText : LastOutcomeText);
}

// ---- the step machine ---------------------------------------------------------------------

void FormSetting::onDongleCheckTimer()
{
    UpdateStep(UpdateStepState, kReceiverFirmware, form->label_5->text());
}

void FormSetting::onMouseCheckTimer()
{
    UpdateStep(UpdateStepState, kMouseFirmware, form->label_7->text());
}

void FormSetting::UpdateStep(int state, int target, QString versionText)
{
    switch (state) {
    case 0:
        SearchStep(target, versionText);
        break;
    case 1:
        CountAndStartStep(target, versionText);
        break;
    case 2:
        // The run state became kRunFlashing before the start, so a flash that
        // ended within a tick is not overwritten here.
        UpdateStepState = 3;
        break;
    case 3:
        if (RunStateOf(target) != kRunFlashing)
            UpdateStepState = 4;
        break;
    case 4:
        EndRunStep(target);
        break;
    default:
        break;
    }
}

void FormSetting::SearchStep(int target, const QString &versionText)
{
    g_UpdateCid = ConfigIni::GetInstance()->IntValue(QStringLiteral("Option"), QStringLiteral("CID"));
    g_UpdateMid = ModelId();
    const auto cid = uint8_t(g_UpdateCid);
    const auto mid = uint8_t(g_UpdateMid);
    bool found = false;
    if (target == kMouseFirmware) {
        found = FindUpdateFirmware(kMouseFirmware, versionText, ModelKeyValue(QStringLiteral("MM")), cid, mid);
    } else {
        ReceiverPaths.clear();
        const int receiverClass = g_UpdateReceiverClass;
        const QString key = ReceiverModelKey(receiverClass);
        const QString model = key.isEmpty() ? QString() : ModelKeyValue(key);
        // A 1 kHz receiver is searched even without a model name.
        if (!key.isEmpty() && (!model.isEmpty() || receiverClass == 1)) {
            found = FindUpdateFirmware(kReceiverFirmware, QString(), model, cid, mid);
            int *bootCount = receiverClass == 1 ? &BootCount1
                             : receiverClass == 2 ? &BootCount2
                             : receiverClass == 4 ? &BootCount4
                                                  : &BootCount8;
            if (found && !g_UpdateFirmware.isEmpty())
                UsbUpgradeC_FindBootDevices(FirmwareImageData(g_UpdateFirmware.first()), bootCount);
        }
        const DeviceAllInfo current = g_CurrentDevice.Get();
        for (const DeviceAllInfo &entry : qAsConst(g_FoundDevices)) {
            if (entry.Wired)
                continue;
            if (current.Wired)
                ReceiverPaths.append(entry.Path);
            else if (entry.Path == current.Path)
                ReceiverPaths.append(current.Path);
        }
    }
    if (!found && g_UpdateReceiverClass != 0)
        EndWithoutImage(target);
    else
        UpdateStepState = 1;
}

void FormSetting::CountAndStartStep(int target, const QString &versionText)
{
    const int devices = target == kReceiverFirmware
                            ? int(ReceiverPaths.size()) + BootCount1 + BootCount2 + BootCount4 + BootCount8
                            : CableEntries(g_FoundDevices) + MouseBootPending;
    if (devices != 1) {
        RunStateOf(target) = kRunIdle;
        RestoreEndOf(target);
        ReportDeviceCount(target, devices);
        UpdateStepState = 4;
        return;
    }
    const bool found = target == kMouseFirmware
                           ? FindUpdateFirmware(kMouseFirmware, versionText, ModelKeyValue(QStringLiteral("MM")),
                                                uint8_t(g_UpdateCid), uint8_t(ModelId()))
                           : FindReceiverImageForCount(versionText);
    if (!found || g_UpdateFirmware.isEmpty()) {
        EndWithoutImage(target);
        return;
    }
    const QByteArray &image = g_UpdateFirmware.first();
    FirmwareHeader header;
    FirmwareHeader::Read(image, &header);
    ConfigIni *config = ConfigIni::GetInstance();
    KeepFlashedImageFacts(FirmwareVersionText(header.Version),
                          RegistryStore::MouseVerName(
                              config->Value(QStringLiteral("Option"), QStringLiteral("CID")),
                              config->Value(ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex),
                                            QStringLiteral("MID"))));
    g_UpdateTarget = target;
    RunStateOf(target) = kRunFlashing;
    UsbUpgrade_Start(FirmwareImageData(image),
                     target == kReceiverFirmware ? DongleUpgradeCallBack : MouseUpgradeCallBack, kUpgradeTimeout);
    UpdateStepState = 2;
}

// The receiver's image for a run that counted one receiver: one waiting in
// boot mode takes its class's image whatever version; otherwise the
// receiver's own version (2, 4 and 8 kHz) or the label's decides.
bool FormSetting::FindReceiverImageForCount(const QString &versionText)
{
    const auto cid = uint8_t(g_UpdateCid);
    const auto mid = uint8_t(ModelId());
    const int bootCounts[] = {BootCount1, BootCount2, BootCount4, BootCount8};
    for (int i = 0; i < 4; ++i) {
        if (bootCounts[i] == 1)
            return FindUpdateFirmware(kReceiverFirmware, QString(),
                                      ModelKeyValue(ReceiverModelKey(kReceiverClasses[i])), cid, mid);
    }
    const int receiverClass = g_UpdateReceiverClass;
    if (receiverClass == 2 || receiverClass == 4 || receiverClass == 8) {
        QString current;
        int version = 0;
        if (!ReceiverPaths.isEmpty()) {
            const QByteArray path = ReceiverPaths.first().toLocal8Bit();
            if (UsbFinderC_GetSlaveVersion(path.constData(), &version))
                current = FirmwareVersionText(uint32_t(version));
        }
        return FindUpdateFirmware(kReceiverFirmware, current, ModelKeyValue(ReceiverModelKey(receiverClass)), cid,
                                  mid);
    }
    return FindUpdateFirmware(kReceiverFirmware, versionText, ModelKeyValue(QStringLiteral("DM")), cid, mid);
}

// A run that did not find exactly one device: a direct run marks its row, a
// follow-up run says why in the notice.
void FormSetting::ReportDeviceCount(int target, int count)
{
    QString text = SameDeviceText;
    if (count == 0)
        text = target == kReceiverFirmware ? NoDeviceText : g_WiredModeText;
    LastOutcomeText = text;
    if (FollowUpRun) {
        ShowFirmwareNotice(text);
        FollowUpRun = false;
    } else if (target == kReceiverFirmware) {
        form->toolButton_2->show();
    } else {
        form->toolButton_3->show();
    }
}

void FormSetting::EndWithoutImage(int target)
{
    RunStateOf(target) = kRunNothingToFlash;
    RestoreEndOf(target);
    (target == kReceiverFirmware ? ReceiverNoUpdate : MouseNoUpdate) = true;
    LastOutcomeText = VerNewText;
    UpdateStepState = 4;
}

void FormSetting::EndRunStep(int target)
{
    (target == kReceiverFirmware ? ReceiverUpdating : MouseUpdating) = false;
    RestoreEndOf(target);
    const int runState = RunStateOf(target);
    if (runState == kRunSucceeded || runState == kRunFailed)
        LastFlashSucceeded = runState == kRunSucceeded;
    FollowUpRun = false;
    g_DongleCheckTimer->stop();
    g_MouseCheckTimer->stop();
    g_UpdateBusy = false;
    if (target == kReceiverFirmware) {
        if (MouseBootPending == 1) {
            FollowUpRun = true;
            on_Mouse_clicked();
        } else {
            ContinueAfterRun(false);
        }
    }
    EndChainIfIdle();
}

void FormSetting::RestoreEndOf(int target)
{
    if (target == kReceiverFirmware)
        RestoreDongleUpdateUi();
    else
        RestoreMouseUpdateUi();
}

void FormSetting::RestoreDongleUpdateUi()
{
    RestoreRunUi(kReceiverFirmware);
}

void FormSetting::RestoreMouseUpdateUi()
{
    RestoreRunUi(kMouseFirmware);
}

// The end of a run of `target`, by its run state: the row's marker, the
// record of a failed flash, the update button's look and the newer-image flag.
void FormSetting::RestoreRunUi(int target)
{
    const bool receiver = target == kReceiverFirmware;
    QToolButton *marker = receiver ? form->toolButton_2 : form->toolButton_3;
    g_LinkWatch = 1;
    switch (RunStateOf(target)) {
    case kRunNothingToFlash:
        marker->hide();
        if (!receiver)
            form->Receive_2->setText(VerNewText);
        ApplyPlainUpdateLook();
        break;
    case kRunSucceeded:
        marker->hide();
        UpdateFailInfo::Remove();
        ApplyPlainUpdateLook();
        (receiver ? g_ReceiverUpdateFound : g_MouseUpdateFound) = false;
        break;
    case kRunFlashing:
        marker->hide();
        UpdateFailInfo::Remove();
        break;
    default:
        break;
    }
    UpdateStepState = 4;
}
