#pragma once
// The settings page's firmware update engine: the check that decides whether
// a flash can be offered, the starters, the step machine that two timers
// drive one step per tick, the ends of a run, and the callbacks the firmware
// library calls during a flash.
//
// A run flashes the receiver (target 211, its own timer) or the mouse (target
// 210, the other timer). The library reports the flash to
// DongleUpgradeCallBack / MouseUpgradeCallBack on a thread of its own.
// Everything the callbacks read or write is atomic, or locked inside
// updateengine.cpp; they reach the page and the repair dialog only through hub
// signals.
//
// One run, tick by tick (both timers share the step; End stops both):
//
//   a starter ──▶ Search ──no image for the receiver class──────────────┐
//                   │ image found (or no class: searched again below)   │
//                   ▼                                                    │
//                 CountAndStart ──not exactly one device──▶ marker or ───┤
//                   │ exactly one: the record is written,   notice      │
//                   │ UsbUpgrade_Start                                   │
//                   ▼                                                    ▼
//                 MarkFlashing ──▶ AwaitResult ──run state not Flashing──▶ End
//                                    ⟲ while the library reports          │
//                                                                         ▼
//                        timers stop; after a receiver run the mouse run may
//                        follow (a mouse record, or a newer mouse image), and
//                        the chain's end leaves the repair dialog a result
//
// The engine touches no widget of the page: it reads the version texts
// through the source the page gives it, and asks for the row markers, the
// update button's text and look and the firmware notice by signals. Its
// progress and result display is the repair dialog g_UpDateRepair.

#include <QObject>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

class QTimer;

// The text of the settings page's tag WiredMode (empty until the page has
// loaded its texts): the notice of a mouse run that finds no mouse on its
// cable; the main window's Space key and the tile click show it too.
extern QString g_WiredModeText;

// Run states of one target.
enum UpdateRunState : int {
    kRunIdle = 0,       // no run, or one that ended before flashing
    kRunFlashing = 1,   // the library is expected to report
    kRunSucceeded = 2,
    kRunFailed = 3,
    kRunNothingToFlash = 4,
};

extern std::atomic<int> g_UpdateReceiverClass;  // receiver class of the receiver run
extern std::atomic<int> g_UpdateMid;            // model id of the current device
extern std::atomic<int> g_UpdateTarget;         // target of the last flash started
extern std::atomic<int> g_DongleUpdateState;
extern std::atomic<int> g_MouseUpdateState;
// 2 when the check found a receiver and a mouse image: the two flashes share
// one progress bar, the receiver the first half.
extern std::atomic<int> g_UpdateStageCount;

// The texts the callbacks need of the flash they report on, kept when the
// flash starts: the image's version text and the registry value name
// "MouseVer" + CID + MID of the mouse. A later image search may clear
// g_UpdateFirmware; these stay.
void KeepFlashedImageFacts(const QString &versionText, const QString &mouseVersionName);

// One routine under two names: whichever the library calls acts on each
// target whose run state is kRunFlashing. Reports (7, 1, percent) and
// (7, 2, 1 success / anything else failure); every other report is ignored.
void DongleUpgradeCallBack(const unsigned char *report);
void MouseUpgradeCallBack(const unsigned char *report);

class UpdateEngine : public QObject
{
    Q_OBJECT
public:
    enum class Step { Search, CountAndStart, MarkFlashing, AwaitResult, End };

    // The flags of the runs of one chain, as the starters, the steps and the
    // check leave them.
    struct RunContext {
        bool receiverNoUpdate = false;  // no receiver image: the receiver starters do nothing
        bool mouseNoUpdate = false;     // no mouse image: the mouse starter only says so
        bool mouseUpdating = false;
        bool receiverUpdating = false;
        bool followUpRun = false;       // started by the program: no device / several say so in the notice
        int mouseBootPending = 0;       // 1: the record names the mouse; a mouse run follows the receiver run
        bool receiverBootPending = false;  // the repair path found the receiver waiting in boot mode
        int bootCount1 = 0;             // devices in boot mode taking the receiver image of class 1, 2, 4, 8
        int bootCount2 = 0;
        int bootCount4 = 0;
        int bootCount8 = 0;
        // How the last run of a chain ended, for a dialog still showing the
        // updating look when the chain stops: its flash succeeded, or the
        // text that says why nothing was flashed.
        bool lastFlashSucceeded = false;
        QString lastOutcomeText;
    };

    // The page's firmware texts (its language element), as the check and the
    // notices show them. The wired-mode text is g_WiredModeText.
    struct Texts {
        QString noDevice, sameDevice, verNew, noRecieve, noUSB, error, multiDongle, multiMouse;
    };

    explicit UpdateEngine(QObject *parent = nullptr);

    // The current version texts the runs compare images against: the
    // receiver's (211) and the mouse's (210). Without a source they are empty.
    void SetVersionSource(std::function<QString(int target)> source);
    void SetTexts(const Texts &texts);
    const RunContext &Context() const { return run; }
    Step CurrentStep() const { return step; }
    // Whether the timer of the target (211 or 210) runs.
    bool TimerActive(int target) const;

    // The check: true when a flash can be offered. Its errors go to the
    // repair dialog's error look.
    bool Check();
    // The check, then the ready look on the repair dialog when it passed.
    void CheckForDialog();
    // The starters.
    void StartReceiverRun();
    void StartMouseRun();
    // The repair dialog's Upgrade with a selected device.
    void Start();
    // Chains the run that should follow.
    void Continue();
    // One timer tick of a target's run, and one step on its own.
    void Tick(int target);
    void RunStep(Step step, int target, const QString &versionText);

    // A new device or version report: no run flag stands.
    void ClearRunFlags();
    // The update button opens the check again.
    void ClearReceiverNoUpdate() { run.receiverNoUpdate = false; }

signals:
    void MarkerVisible(int target, bool visible);
    void UpdateButtonText(const QString &text);
    void PlainLookWanted();
    void NoticeWanted(const QString &text);

private:
    QString VersionText(int target) const;
    QTimer *TimerOf(int target) const;
    void CheckError(const QString &hint);
    bool CheckTwoListed();
    bool CheckRepairPath();
    void ArmReceiverRun();
    void ContinueAfterRun(bool receiverMayFollow);
    void EndChainIfIdle();
    void SearchStep(int target, const QString &versionText);
    void CountAndStartStep(int target, const QString &versionText);
    bool FindReceiverImageForCount(const QString &versionText);
    int *BootCountOf(int receiverClass);
    void StartFlash(int target);
    void ReportDeviceCount(int target, int count);
    void EndWithoutImage(int target);
    void EndRunStep(int target);
    void RestoreEndOf(int target);
    QString ModelKeyValue(const QString &key) const;
    int ModelId() const;

    RunContext run;
    Step step = Step::Search;
    Texts texts;
    std::function<QString(int)> versionSource;
    QTimer *receiverTimer = nullptr;
    QTimer *mouseTimer = nullptr;
    QStringList ReceiverPaths;     // receiver links a receiver run counts
    QString RepairReceiverKey;     // model key value of the record's receiver class
    QString DriveGroup;            // the current device's model group, set by the check
    QString ReceiverKey;           // model key value of the receiver class the check found
};
