#pragma once
// The pairing dialog: pairs a mouse with a USB receiver.
//
// Openers build it on their stack without a parent, set g_PairFromDevicePage
// (and g_PairDevice for a tile), call PrepareShow(), place it and run exec().
// The start button (or Space) sends the receiver the pairing command for the
// configured customer id; PairCallBack, installed as the library's data
// callback for the target, reports the result, and a 1 s poll declares a
// failure when the receiver leaves the device list. A wired target cannot be
// paired: the dialog shows a hint instead of the instructions.
//
// While a pairing runs (g_PairStarted) neither the close button nor Escape
// closes the dialog. A device connection that the start button set aside
// (g_SessionParked) is handed back whenever the pairing ends or the dialog
// closes, so the device page keeps following its mouse.
//
// PairCallBack stays the library's data callback after the dialog closes,
// until an opener or the worker installs another one.

#include "deviceallinfo.h"

#include <QDialog>
#include <QString>
#include <atomic>
#include <cstdint>

class QTimer;
class QWidget;
class Ui_Match;

// g_PairState values.
enum PairStateCode : int { kPairIdle = 0, kPairRunning = 1, kPairSucceeded = 2, kPairFailed = 3 };

// Written by PairCallBack on the library's thread, read by the dialog's timers.
extern std::atomic<int> g_PairState;
// The pairing command went out and no result has come yet.
extern std::atomic<bool> g_PairStarted;
// The start button cleared g_SessionActive; a result (or the dialog's end) sets it again.
extern std::atomic<bool> g_SessionParked;

// The open dialog's timers (null when no dialog exists).
extern QTimer *g_PairUsbTimer;     // 100 ms: target kind and button state
extern QTimer *g_PairStatusTimer;  // 1000 ms while pairing: pairing status and receiver-gone test
extern QTimer *g_PairTextTimer;    // 500 ms while pairing: the "Pairing..." animation
extern int g_PairTextStep;
// Config.ini Option/ButtonColor as "r,g,b".
extern QString g_PairButtonColor;
// The folder of the dialog's pictures (application folder + "/Picture/Setting/").
extern QString g_PairPictureDir;
// Set by the opener: pair g_PairDevice when no device connection is active.
extern bool g_PairFromDevicePage;
// The device that a tile click chose for pairing.
extern DeviceAllInfo g_PairDevice;

// The data callback handed to the library while pairing. Command 6 carries
// the receiver's pairing status in data byte 0: 2 failed, 3 succeeded.
void PairCallBack(const unsigned char *report, int reportLen, const unsigned char *data, int dataLen);

class Match : public QDialog
{
    Q_OBJECT
public:
    explicit Match(QWidget *parent = nullptr);
    ~Match() override;

    // Chooses the device to pair and resets the dialog to its idle look: the
    // open device while a connection is active, else g_PairDevice when
    // g_PairFromDevicePage is set, else the first device of the selection
    // page. With none of them pairing stays disabled.
    void PrepareShow();

    // Sends the pairing command to the target (the start button's work).
    void EnterPair();

    // The chosen target, for openers and tests.
    bool HasTarget() const { return hasTarget; }
    QString TargetPath() const { return targetPath; }
    QString TargetVid() const { return targetVid; }
    bool TargetWired() const { return targetWired; }
    uint8_t TargetCid() const { return targetCid; }
    bool CanPair() const { return canPair; }

    // Escape and the window's own close follow the close button's rules.
    void reject() override;

protected:
    void changeEvent(QEvent *event) override;

public slots:
    void WindowClosedSet();
    void on_MatchButton_clicked();
    void onPairTimeupDestroy();
    void onUSBTimeupDestroy();
    void onTextTimeupDestroy();
    void SlotStopTimer();
    void SlotButtonenable(int index);
    void SlotChangeLanguage(int index);

private:
    void ApplyStyleSheets();
    QTimer *NewTimer(int intervalMs, void (Match::*slot)());
    void CreateTimers();
    void TakeTarget(const DeviceAllInfo &device);
    void ShowButton(const QString &text, const QString &picture);
    bool TargetStillListed() const;
    void CloseUnlessPairing();
    void FitWiredHint();

    Ui_Match *ui;
    QTimer *usbTimer = nullptr;
    QTimer *statusTimer = nullptr;
    QTimer *textTimer = nullptr;
    bool canPair = false;
    bool hasTarget = false;
    QString startPath;  // the current device's path when the dialog was built
    uint8_t targetCid = 0;
    QString targetPath;
    QString targetVid;
    QString targetPid;
    bool targetWired = false;
    QString matchButtonText;
    QString matchingText;
    QString matchFailText;
    QString matchSuccessText;
};

// The openers' sequences around exec(), each dialog centred over `over`:
// - the main window's Space key: pair (g_PairFromDevicePage as given), then
//   hand the data callback of the open connection back to HidInputCallback;
void RunPairingWithHandBack(bool fromDevicePage, const QWidget *over);
// - a tile click: pair `device` (no device connection runs meanwhile);
void RunPairingForTile(const DeviceAllInfo &device, const QWidget *over);
// - the settings page's pairing button: only while the mouse answers (else
//   the offline notice is raised); the dialog stands 70 px left of and 30 px
//   above the centre of `over`; afterwards the device page's USB-change
//   callback follows the mouse again, and the connection is opened again with
//   HidInputCallback and reads the whole image, as after the Space key.
void RunPairingFromSettingsPage(const QWidget *over);
