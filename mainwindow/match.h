#pragma once
// The pairing dialog: pairs a mouse with its USB receiver.
//
// Openers build it on their stack without a parent, set g_PairFromDevicePage
// (and g_PairDevice for a tile), call PrepareShow(), place it and run exec().
// This class so far chooses the device to pair and shows the dialog's frame;
// the pairing itself (the start button, PairCallBack and the timers) comes
// with the pairing dialog's own work.

#include "deviceallinfo.h"

#include <QDialog>
#include <QString>

class QFrame;
class QToolButton;

// Set by the opener: pair g_PairDevice when no device connection is active.
extern bool g_PairFromDevicePage;
// The device that a tile click chose for pairing.
extern DeviceAllInfo g_PairDevice;
// The folder of the dialog's pictures (application folder + "/Picture/Setting/").
extern QString g_PairPictureDir;

class Match : public QDialog
{
    Q_OBJECT
public:
    explicit Match(QWidget *parent = nullptr);
    ~Match() override;

    // Chooses the device to pair: the open device while a connection is
    // active, else g_PairDevice when g_PairFromDevicePage is set, else the
    // first device of the selection page.
    void PrepareShow();

    QString TargetPath() const { return targetPath; }
    QString TargetVid() const { return targetVid; }
    QString TargetPid() const { return targetPid; }
    bool TargetWired() const { return targetWired; }
    uint8_t TargetCid() const { return targetCid; }

public slots:
    // The close button: the selection page's USB-change callback is registered
    // again (pairing may have changed the device list) and the dialog closes.
    void WindowClosedSet();

private:
    void TakeTarget(const DeviceAllInfo &device);

    QFrame *MatchA = nullptr;
    QToolButton *CloseButton = nullptr;
    QString startPath;  // the current device's path when the dialog was built
    uint8_t targetCid = 0;
    QString targetPath;
    QString targetVid;
    QString targetPid;
    bool targetWired = false;
};
