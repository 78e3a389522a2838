#pragma once
// What the settings page's firmware update engine shares with the rest of the
// program and with the firmware library's flash thread.
//
// A run flashes the receiver (target 211, driven by g_DongleCheckTimer) or the
// mouse (target 210, g_MouseCheckTimer) one step per tick; the library reports
// the flash to DongleUpgradeCallBack / MouseUpgradeCallBack on a thread of its
// own. Everything the callbacks read or write is atomic, or locked inside
// updateengine.cpp; they reach the page and the repair dialog only through
// hub signals.

#include <QString>
#include <atomic>

class QTimer;

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

// Made by the settings page (its children, 1000 ms, not started); null while
// no page exists.
extern QTimer *g_DongleCheckTimer;
extern QTimer *g_MouseCheckTimer;

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
