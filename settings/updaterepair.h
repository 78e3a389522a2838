#pragma once
// The firmware dialog (460 x 289, frameless): it repairs a firmware update
// that failed, and it is the progress and result display of every firmware
// run.
//
// The settings page keeps one hidden instance for the whole run
// (g_UpDateRepair); the device-selection page's Repair button shows it, the
// check (CheckRepair) gives the ready look or an error look with a hint, and
// Upgrade flashes: without a selected device the dialog repairs by itself
// (StartRepair: the receiver image first, then the mouse image), with one it
// hands the start to the settings page (SigUpdateStart). The main window's
// Space key builds an instance on its stack for a repair the user asked for.
// Every instance answers the hub's signals the same way.
//
// Threads: the dialog lives on the GUI thread. RepairUpgradeCallBack runs on
// the firmware library's flash thread: it touches no widget, reaches the
// dialog only through hub signals (automatic connections), keeps the record
// "UpdateFailInfo" through the registry store (locked) and may start the
// mouse image from inside the callback. What it shares with the dialog is
// atomic or locked (below).

#include <QDialog>
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>

class Ui_UpDateRepair;
struct RepairSituation;
struct UpdateFailRecord;
enum class RepairAnswer;

// ---- what a repair run shares with the flash thread -------------------------
extern std::atomic<bool> g_RepairFlashing;       // an image reported progress and not yet its end
extern std::atomic<int> g_RepairStage;           // image being flashed: 0 receiver, 1 mouse
extern std::atomic<int> g_RepairStageCount;      // 2 when both images of the failed model exist, else 1
extern std::atomic<int> g_RepairFailedStage;     // 0: the receiver's update failed (211), 1: the mouse's (210)
extern std::atomic<int> g_RepairReceiverClass;   // 1, 2, 4, 8 from the record; 0 for any other value
extern std::atomic<int> g_RepairCid;             // customer id from the record
extern std::atomic<int> g_RepairMid;             // MID of the failed model's Drive group
// The record's fields as the last check read them (GUI thread only).
extern QStringList g_RepairFailInfo;
// g_RepairRunning (globals.h): a repair run started and has not ended.

// MM of the failed model's group: the mouse firmware model name.
QString RepairMouseModel();
void SetRepairMouseModel(const QString &model);
// The HID path of the listed cable mouse of model g_RepairMid when the run
// started (empty: none). After the receiver image the mouse image follows only
// if this mouse still answers on its cable, or if the mouse's update failed.
QByteArray RepairCableMousePath();
void SetRepairCableMousePath(const QByteArray &path);
// The registry value name "MouseVer" + CID + MID of the failed model: a
// flashed mouse image's version is kept under it. Empty: nothing is kept.
void SetRepairMouseVersionName(const QString &name);

// The callback handed to UsbUpgrade_Start for a repair: reports (7, 1, percent)
// and (7, 2, 1 success / other failure); every other report is ignored. Before
// every flash the record "UpdateFailInfo" names what a repair must do should
// the program die during it (flashrecord.h); a flashed image's version goes to
// the version texts (SigLabelText).
void RepairUpgradeCallBack(const unsigned char *report);

class UpDateRepair : public QDialog
{
    Q_OBJECT
public:
    explicit UpDateRepair(QWidget *parent = nullptr);
    ~UpDateRepair() override;

    // The four looks. Each ends with the keys: Return clicks NewHong_2 and
    // Escape NewHong while they are shown and enabled.
    void ResetUi();       // Upgrade and Cancel, empty hint, no bar; enabled states kept
    void ShowReady();     // ready to start: Upgrade, Cancel, the ReadyUpdate hint
    void ShowError();     // Confirm and Cancel with the hint the caller set
    void ShowUpdating();  // a run: the bar, the UpdateNotMove hint, no button usable
    void SetHintText(const QString &text);
    // The updating look stands: a run shows its bar and nothing can close it.
    bool IsShowingUpdating() const;

    // The repair check against the failed-update record, the devices of the
    // device-selection page and the installed images. False: the dialog shows
    // the error look with its hint (or, for an unusable record, is unchanged).
    bool CheckRepair();
    // Flashes the failed model's receiver image, then its mouse image.
    void StartRepair();
    // The main window's Space key: flashes the receiver image of the model
    // (its group, the receiver class and the ids the key's own search used)
    // as a one-stage run, outside the check. Without an image the dialog
    // shows the error look with the FileError hint.
    void StartRepairFromKey(int receiverClass, const QString &driveGroup, int cid, int mid);

    bool IsExternalStart() const { return ExternalStart; }

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();
    void SlotAutoRepair(int index);
    void SlotAutoRepairProgress(int index);
    void SlotChangeLanguage(int index);
    void SlotProgress(int schedue, int Discrib);
    void on_NewHong_2_clicked();
    void SlotRepairCheckUpdate();

protected:
    // A close request (Escape while Cancel cannot take it, the window
    // closed) acts as the close button, and only while that is usable: a run
    // cannot be closed away.
    void reject() override;

private:
    // The texts of the language element "AutoRepair" (empty until loaded).
    struct Texts {
        QString Upgrade, Cancel, Confirm, ReadyUpdate, UpdateNotMove, UpdateSuccess, UpdateFail;
        QString NoDevice, SameDevice, MultiDongle, MultiMouse, NoUSB, NoRecieve, FileError;
    };

    void ApplyStyleSheets();
    void SetKeys();
    void ShowConfirm();
    void ErrorWithHint(const QString &hint);
    void CloseAfterRun();
    // Parts of the check.
    bool FindDriveGroup(int failedMid);
    void PrepareRun(const UpdateFailRecord &record, RepairSituation *situation);
    QString HintOf(RepairAnswer answer) const;
    static int BootCount(const QByteArray &image);

    Ui_UpDateRepair *ui;
    QString PictureDir;
    Texts texts;
    bool confirmShown = false;  // NewHong_2 carries the Confirm text: it closes the dialog
    bool ExternalStart = false;
    int FailedTarget = 0;
    QString ReceiverModel;
    QString DriveGroup;
    // A repair may start: set by the check and by the Space key's start.
    bool StartAllowed = false;
};

// The one repair dialog of the run (g_UpDateRepair), built hidden when it is
// first needed.
UpDateRepair *SharedRepairDialog();
