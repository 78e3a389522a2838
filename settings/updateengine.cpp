#include "updateengine.h"

#include "configini.h"
#include "firmwareimages.h"
#include "flashrecord.h"
#include "globals.h"
#include "hidusb.h"
#include "postmsg.h"
#include "receiverclass.h"
#include "registrystore.h"
#include "repaircheck.h"
#include "updatefailinfo.h"
#include "updaterepair.h"
#include "usbcallbacks.h"
#include "waits.h"

#include <QTimer>

#include <mutex>

std::atomic<int> g_UpdateReceiverClass{0};
std::atomic<int> g_UpdateMid{0};
std::atomic<int> g_UpdateTarget{0};
std::atomic<int> g_DongleUpdateState{kRunIdle};
std::atomic<int> g_MouseUpdateState{kRunIdle};
std::atomic<int> g_UpdateStageCount{1};

namespace {

constexpr int kStepIntervalMs = 1000;
// The third argument of every UsbUpgrade_Start.
constexpr int kUpgradeTimeout = 10000;
// What the check presets before the library counts the boot-mode devices.
constexpr int kUncountedBootDevices = 5;

// Progress codes of SigProgress.
constexpr int kProgress = 0;
constexpr int kFailed = 1;
constexpr int kSucceeded = 2;
constexpr int kMouseCannotFollow = 5;

std::mutex s_flashedLock;
QString s_flashedVersion;
QString s_mouseVersionName;
// No flash of the run follows the one under way: its success ends the record.
std::atomic<bool> s_lastFlash{true};

std::atomic<int> &RunStateOf(int target)
{
    return target == kReceiverFirmware ? g_DongleUpdateState : g_MouseUpdateState;
}

FlashRun EngineRun()
{
    return {g_UpdateReceiverClass, g_UpdateCid, g_UpdateMid};
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
        const std::lock_guard<std::mutex> lock(s_flashedLock);
        version = s_flashedVersion;
        mouseVersionName = s_mouseVersionName;
    }
    PostMsg *hub = PostMsg::GetInstance();
    FlashRecord::AfterSuccess(EngineRun(), g_UpdateTarget, s_lastFlash);
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
}

void ReportFailure()
{
    g_MouseUpdateFound = false;
    g_ReceiverUpdateFound = false;
    PostMsg::GetInstance()->EmitProgress(0, kFailed);
    FlashRecord::AfterFailure(EngineRun(), g_UpdateTarget);
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

int BootDevicesFor(bool found)
{
    if (!found || g_UpdateFirmware.isEmpty())
        return 0;
    int count = kUncountedBootDevices;
    UsbUpgradeC_FindBootDevices(FirmwareImageData(g_UpdateFirmware.first()), &count);
    return count;
}

}  // namespace

void KeepFlashedImageFacts(const QString &versionText, const QString &mouseVersionName)
{
    const std::lock_guard<std::mutex> lock(s_flashedLock);
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

// ---- the engine ---------------------------------------------------------------------------

UpdateEngine::UpdateEngine(QObject *parent) : QObject(parent)
{
    receiverTimer = new QTimer(this);
    mouseTimer = new QTimer(this);
    for (QTimer *timer : {receiverTimer, mouseTimer})
        timer->setInterval(Waits::Scaled(kStepIntervalMs));
    connect(receiverTimer, &QTimer::timeout, this, [this] { Tick(kReceiverFirmware); });
    connect(mouseTimer, &QTimer::timeout, this, [this] { Tick(kMouseFirmware); });
}

void UpdateEngine::SetVersionSource(std::function<QString(int)> source)
{
    versionSource = std::move(source);
}

void UpdateEngine::SetTexts(const Texts &newTexts)
{
    texts = newTexts;
}

QString UpdateEngine::VersionText(int target) const
{
    return versionSource ? versionSource(target) : QString();
}

QTimer *UpdateEngine::TimerOf(int target) const
{
    return target == kReceiverFirmware ? receiverTimer : mouseTimer;
}

bool UpdateEngine::TimerActive(int target) const
{
    return TimerOf(target)->isActive();
}

QString UpdateEngine::ModelKeyValue(const QString &key) const
{
    return ConfigIni::GetInstance()->Value(ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex), key);
}

int UpdateEngine::ModelId() const
{
    return ConfigIni::GetInstance()->IntValue(ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex),
                                              QStringLiteral("MID"));
}

void UpdateEngine::CheckError(const QString &hint)
{
    if (!g_UpDateRepair)
        return;
    g_UpDateRepair->SetHintText(hint);
    g_UpDateRepair->ShowError();
}

void UpdateEngine::ClearRunFlags()
{
    run.receiverNoUpdate = false;
    run.mouseNoUpdate = false;
    run.mouseUpdating = false;
    run.receiverUpdating = false;
}

// ---- the check ----------------------------------------------------------------------------

bool UpdateEngine::Check()
{
    g_UpdateReceiverClass = 0;
    run.mouseBootPending = 0;
    run.receiverBootPending = false;
    g_UpdateCid = ConfigIni::GetInstance()->IntValue(QStringLiteral("Option"), QStringLiteral("CID"));
    DriveGroup = ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex);

    const QList<DeviceAllInfo> listed = g_FoundDevices;
    if (listed.size() == 2)
        return CheckTwoListed();
    if (listed.size() >= 3) {
        const int cable = CableEntries(listed);
        QString hint;
        if (listed.size() - cable >= 2)
            hint = texts.multiDongle;
        if (cable >= 2)
            hint = texts.multiMouse;
        CheckError(hint);
        return false;
    }
    return CheckRepairPath();
}

void UpdateEngine::CheckForDialog()
{
    if (Check() && g_UpDateRepair)
        g_UpDateRepair->ShowReady();
}

// Two listed devices: the mouse on its cable and its receiver.
bool UpdateEngine::CheckTwoListed()
{
    const QList<DeviceAllInfo> listed = g_FoundDevices;
    if (!listed[0].Wired && !listed[1].Wired) {
        CheckError(texts.noUSB);
        return false;
    }
    if (listed[0].Mid != listed[1].Mid) {
        CheckError(texts.noRecieve);
        return false;
    }
    const int receiverClass = FindReceiverPartner().receiverClass;
    if (receiverClass == 0) {
        CheckError(texts.noRecieve);
        return false;
    }
    g_UpdateReceiverClass = receiverClass;
    ReceiverKey = ModelKeyValue(ReceiverClass::ModelKey(receiverClass));
    const int mid = ModelId();
    const bool receiverFound = FindUpdateFirmware(kReceiverFirmware, VersionText(kReceiverFirmware), ReceiverKey,
                                                  uint8_t(g_UpdateCid), uint8_t(mid));
    const bool mouseFound = FindUpdateFirmware(kMouseFirmware, VersionText(kMouseFirmware),
                                               ModelKeyValue(QStringLiteral("MM")), uint8_t(g_UpdateCid),
                                               uint8_t(mid));
    g_MouseUpdateFound = mouseFound;
    if (receiverFound || mouseFound) {
        g_UpdateStageCount = receiverFound && mouseFound ? 2 : 1;
        return true;
    }
    CheckError(texts.verNew);
    run.receiverNoUpdate = true;
    return false;
}

// One listed device, or none: a flash failed, or was cut off, earlier and its
// target waits in boot mode; a listed device is the other half of the pair.
// A mouse record takes its receiver listed or waiting in boot mode.
bool UpdateEngine::CheckRepairPath()
{
    const QList<DeviceAllInfo> listed = g_FoundDevices;
    const UpdateFailRecord record = UpdateFailInfo::Read();
    if (!record.IsComplete()) {
        CheckError(listed.isEmpty() ? texts.error : listed.first().Wired ? texts.noRecieve : texts.noUSB);
        return false;
    }
    const int failedTarget = record.Target();
    const int mid = ModelId();
    const QString mouseKey = ModelKeyValue(QStringLiteral("MM"));
    const int receiverClass = ReceiverClass::OfText(record.ReceiverClassText());
    if (receiverClass != 0) {
        g_UpdateReceiverClass = receiverClass;
        RepairReceiverKey = ModelKeyValue(ReceiverClass::ModelKey(receiverClass));
    }
    const bool receiverImage = FindUpdateFirmware(kReceiverFirmware, QString(), RepairReceiverKey,
                                                  uint8_t(record.Cid()), uint8_t(mid));
    const int receiverBoot = BootDevicesFor(receiverImage);
    const bool mouseImage = FindUpdateFirmware(kMouseFirmware, QString(), mouseKey, uint8_t(record.Cid()),
                                               uint8_t(mid));
    const int mouseBoot = BootDevicesFor(mouseImage);
    if (listed.isEmpty() && receiverBoot + mouseBoot == 0) {
        CheckError(texts.error);
        return false;
    }
    if (failedTarget == kReceiverFirmware) {
        if (RepairCheck::ListedCableMice(listed, record.Mid()) == 0) {
            CheckError(texts.noUSB);
            return false;
        }
    } else if (failedTarget == kMouseFirmware) {
        run.mouseBootPending = RepairCheck::ListedCableMice(listed, record.Mid()) == 0 ? 1 : 0;
        if (RepairCheck::ListedReceivers(listed, record.Mid()) == 0 && receiverBoot == 0) {
            CheckError(texts.noRecieve);
            return false;
        }
    } else {
        CheckError(texts.error);
        return false;
    }
    if (!listed.isEmpty() && listed.first().Cid != record.Cid()) {
        CheckError(texts.error);
        return false;
    }
    // The failed target's image, again with an empty current version.
    const bool failedImageFound = failedTarget == kReceiverFirmware ? receiverImage : mouseImage;
    if (!failedImageFound) {
        CheckError(texts.error);
        return false;
    }
    RepairSituation situation;
    situation.record = record;
    situation.listed = listed;
    situation.receiverBootCount = receiverBoot;
    situation.mouseBootCount = mouseBoot;
    const int takers = RepairCheck::ImageTakers(situation);
    if (takers != 1) {
        CheckError(takers == 0 ? texts.noDevice : texts.sameDevice);
        return false;
    }
    run.receiverBootPending = receiverBoot > 0;
    const bool otherFound
        = failedTarget == kReceiverFirmware
              ? FindUpdateFirmware(kMouseFirmware, VersionText(kMouseFirmware), mouseKey, uint8_t(g_UpdateCid),
                                   uint8_t(mid))
              : receiverBoot > 0
                    || FindUpdateFirmware(kReceiverFirmware, VersionText(kReceiverFirmware), RepairReceiverKey,
                                          uint8_t(g_UpdateCid), uint8_t(mid));
    g_UpdateStageCount = otherFound ? 2 : 1;
    return true;
}

// ---- starters -----------------------------------------------------------------------------

void UpdateEngine::StartReceiverRun()
{
    const DeviceAllInfo current = g_CurrentDevice.Get();
    g_UpdateReceiverClass
        = current.Wired ? FindReceiverPartner().receiverClass : ReceiverClass::OfLink(current.LinkType);
    if (run.receiverNoUpdate || run.mouseUpdating) {
        if (run.receiverNoUpdate)
            run.lastOutcomeText = texts.verNew;
        return;
    }
    ArmReceiverRun();
}

void UpdateEngine::ArmReceiverRun()
{
    g_UpdateBusy = true;
    step = Step::Search;
    emit MarkerVisible(kReceiverFirmware, false);
    emit MarkerVisible(kMouseFirmware, false);
    g_LinkWatch = 0;
    receiverTimer->start(Waits::Scaled(kStepIntervalMs));
    run.receiverUpdating = true;
}

void UpdateEngine::StartMouseRun()
{
    const DeviceAllInfo current = g_CurrentDevice.Get();
    if (current.Wired
        && (g_FoundDevices.isEmpty() || !g_FoundDevices.first().Wired || g_FoundDevices.first().Mid != current.Mid)) {
        PostMsg::GetInstance()->EmitProgress(0, kMouseCannotFollow);
        return;
    }
    if (run.mouseNoUpdate || run.receiverUpdating) {
        if (run.mouseNoUpdate) {
            emit UpdateButtonText(texts.verNew);
            run.lastOutcomeText = texts.verNew;
        }
        return;
    }
    g_UpdateBusy = true;
    step = Step::Search;
    emit MarkerVisible(kMouseFirmware, false);
    emit MarkerVisible(kReceiverFirmware, false);
    g_LinkWatch = 0;
    mouseTimer->start(Waits::Scaled(kStepIntervalMs));
    run.mouseUpdating = true;
}

void UpdateEngine::Start()
{
    run.bootCount1 = run.bootCount2 = run.bootCount4 = run.bootCount8 = 0;
    if (g_UpDateRepair)
        g_UpDateRepair->ShowUpdating();
    run.lastFlashSucceeded = false;
    run.lastOutcomeText.clear();
    // A receiver waiting in boot mode takes its image whatever version the
    // page shows for it.
    const bool receiverFound
        = run.receiverBootPending
          || FindUpdateFirmware(kReceiverFirmware, VersionText(kReceiverFirmware), RepairReceiverKey,
                                uint8_t(g_UpdateCid),
                                uint8_t(ConfigIni::GetInstance()->IntValue(DriveGroup, QStringLiteral("MID"))));
    if (!receiverFound && run.mouseBootPending == 1) {
        run.followUpRun = true;
        StartMouseRun();
    } else if (g_DongleUpdateState != kRunFlashing && g_MouseUpdateState != kRunFlashing && !run.mouseUpdating
               && !run.receiverNoUpdate) {
        ArmReceiverRun();
    } else if (run.receiverNoUpdate) {
        emit PlainLookWanted();
        Continue();
    }
    EndChainIfIdle();
}

void UpdateEngine::Continue()
{
    ContinueAfterRun(true);
}

// Chains the run that should follow: the mouse after a receiver run that
// flashed or had nothing to flash, the receiver after such a mouse run. At
// the end of a receiver run the receiver is not chained again: a run that
// found no receiver or several would otherwise start itself anew for ever.
void UpdateEngine::ContinueAfterRun(bool receiverMayFollow)
{
    run.bootCount1 = run.bootCount2 = run.bootCount4 = run.bootCount8 = 0;
    const auto ranOrHadNothing = [](int state) { return state == kRunSucceeded || state == kRunNothingToFlash; };
    if (g_MouseUpdateFound && ranOrHadNothing(g_DongleUpdateState)) {
        run.followUpRun = true;
        StartMouseRun();
    }
    if (receiverMayFollow && g_ReceiverUpdateFound && ranOrHadNothing(g_MouseUpdateState)) {
        run.followUpRun = true;
        StartReceiverRun();
    }
}

// The chain stops: a last flash that succeeded ends the record (unless the
// mouse image is still owed), and a repair dialog still showing the updating
// look gets a result: the flash's success, or why nothing was flashed.
void UpdateEngine::EndChainIfIdle()
{
    if (run.mouseUpdating || run.receiverUpdating)
        return;
    if (run.lastFlashSucceeded)
        FlashRecord::AfterSuccess(EngineRun(), g_UpdateTarget, true);
    if (!g_UpDateRepair || !g_UpDateRepair->IsShowingUpdating())
        return;
    if (run.lastFlashSucceeded)
        PostMsg::GetInstance()->EmitProgress(0, kSucceeded);
    else
        CheckError(run.lastOutcomeText.isEmpty() ? texts.error : run.lastOutcomeText);
}

// ---- the step machine ---------------------------------------------------------------------

void UpdateEngine::Tick(int target)
{
    RunStep(step, target, VersionText(target));
}

void UpdateEngine::RunStep(Step current, int target, const QString &versionText)
{
    switch (current) {
    case Step::Search:
        SearchStep(target, versionText);
        break;
    case Step::CountAndStart:
        CountAndStartStep(target, versionText);
        break;
    case Step::MarkFlashing:
        // The run state became kRunFlashing before the start, so a flash that
        // ended within a tick is not overwritten here.
        step = Step::AwaitResult;
        break;
    case Step::AwaitResult:
        step = RunStateOf(target) == kRunFlashing ? Step::AwaitResult : Step::End;
        break;
    case Step::End:
        EndRunStep(target);
        break;
    }
}

int *UpdateEngine::BootCountOf(int receiverClass)
{
    switch (receiverClass) {
    case 1:
        return &run.bootCount1;
    case 2:
        return &run.bootCount2;
    case 4:
        return &run.bootCount4;
    default:
        return &run.bootCount8;
    }
}

void UpdateEngine::SearchStep(int target, const QString &versionText)
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
        const QString key = ReceiverClass::ModelKey(receiverClass);
        const QString model = key.isEmpty() ? QString() : ModelKeyValue(key);
        // A 1 kHz receiver is searched even without a model name.
        if (!key.isEmpty() && (!model.isEmpty() || receiverClass == 1)) {
            found = FindUpdateFirmware(kReceiverFirmware, QString(), model, cid, mid);
            if (found && !g_UpdateFirmware.isEmpty())
                UsbUpgradeC_FindBootDevices(FirmwareImageData(g_UpdateFirmware.first()), BootCountOf(receiverClass));
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
        step = Step::CountAndStart;
}

void UpdateEngine::CountAndStartStep(int target, const QString &versionText)
{
    const int devices = target == kReceiverFirmware
                            ? int(ReceiverPaths.size()) + run.bootCount1 + run.bootCount2 + run.bootCount4
                                  + run.bootCount8
                            : CableEntries(g_FoundDevices) + run.mouseBootPending;
    if (devices != 1) {
        RunStateOf(target) = kRunIdle;
        RestoreEndOf(target);
        ReportDeviceCount(target, devices);
        step = Step::End;
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
    StartFlash(target);
    step = Step::MarkFlashing;
}

// The kept image goes to the library. The record names what a repair must
// do should the program die during this flash, and the callbacks learn
// whether a flash of the run follows this one.
void UpdateEngine::StartFlash(int target)
{
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
    s_lastFlash = target == kMouseFirmware || (g_UpdateStageCount == 1 && run.mouseBootPending == 0);
    FlashRecord::BeforeFlash(EngineRun(), target);
    RunStateOf(target) = kRunFlashing;
    UsbUpgrade_Start(FirmwareImageData(image),
                     target == kReceiverFirmware ? DongleUpgradeCallBack : MouseUpgradeCallBack, kUpgradeTimeout);
}

// The receiver's image for a run that counted one receiver: one waiting in
// boot mode takes its class's image whatever version; otherwise the
// receiver's own version (2, 4 and 8 kHz) or the label's decides.
bool UpdateEngine::FindReceiverImageForCount(const QString &versionText)
{
    const auto cid = uint8_t(g_UpdateCid);
    const auto mid = uint8_t(ModelId());
    for (const int receiverClass : ReceiverClass::kClasses) {
        if (*BootCountOf(receiverClass) == 1)
            return FindUpdateFirmware(kReceiverFirmware, QString(),
                                      ModelKeyValue(ReceiverClass::ModelKey(receiverClass)), cid, mid);
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
        return FindUpdateFirmware(kReceiverFirmware, current, ModelKeyValue(ReceiverClass::ModelKey(receiverClass)),
                                  cid, mid);
    }
    return FindUpdateFirmware(kReceiverFirmware, versionText, ModelKeyValue(QStringLiteral("DM")), cid, mid);
}

// A run that did not find exactly one device: a direct run marks its row, a
// follow-up run says why in the notice.
void UpdateEngine::ReportDeviceCount(int target, int count)
{
    QString text = texts.sameDevice;
    if (count == 0)
        text = target == kReceiverFirmware ? texts.noDevice : g_WiredModeText;
    run.lastOutcomeText = text;
    if (run.followUpRun) {
        emit NoticeWanted(text);
        run.followUpRun = false;
    } else {
        emit MarkerVisible(target, true);
    }
}

void UpdateEngine::EndWithoutImage(int target)
{
    RunStateOf(target) = kRunNothingToFlash;
    RestoreEndOf(target);
    (target == kReceiverFirmware ? run.receiverNoUpdate : run.mouseNoUpdate) = true;
    run.lastOutcomeText = texts.verNew;
    step = Step::End;
}

void UpdateEngine::EndRunStep(int target)
{
    (target == kReceiverFirmware ? run.receiverUpdating : run.mouseUpdating) = false;
    RestoreEndOf(target);
    const int runState = RunStateOf(target);
    if (runState == kRunSucceeded || runState == kRunFailed)
        run.lastFlashSucceeded = runState == kRunSucceeded;
    run.followUpRun = false;
    receiverTimer->stop();
    mouseTimer->stop();
    g_UpdateBusy = false;
    if (target == kReceiverFirmware) {
        if (run.mouseBootPending == 1) {
            run.followUpRun = true;
            StartMouseRun();
        } else {
            ContinueAfterRun(false);
        }
    }
    EndChainIfIdle();
}

// The end of a run of `target`, by its run state: the row's marker, the
// update button's look and the newer-image flag. The record is the callbacks'
// and the chain's end's (flashrecord.h).
void UpdateEngine::RestoreEndOf(int target)
{
    const bool receiver = target == kReceiverFirmware;
    g_LinkWatch = 1;
    switch (RunStateOf(target)) {
    case kRunNothingToFlash:
        emit MarkerVisible(target, false);
        if (!receiver)
            emit UpdateButtonText(texts.verNew);
        emit PlainLookWanted();
        break;
    case kRunSucceeded:
        emit MarkerVisible(target, false);
        emit PlainLookWanted();
        (receiver ? g_ReceiverUpdateFound : g_MouseUpdateFound) = false;
        break;
    case kRunFlashing:
        emit MarkerVisible(target, false);
        break;
    default:
        break;
    }
    step = Step::End;
}
