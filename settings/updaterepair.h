#pragma once
// The firmware update and repair dialog (460 x 289, frameless).
//
// The settings page keeps one hidden instance for the whole run
// (g_UpDateRepair); the main window's Space key builds one on its stack for a
// repair that the user asked for. The dialog is an empty frame with the
// notice background; it records whether a repair was started from outside.

#include <QDialog>

class Ui_UpDateRepair;

class UpDateRepair : public QDialog
{
    Q_OBJECT
public:
    explicit UpDateRepair(QWidget *parent = nullptr);
    ~UpDateRepair() override;

    // Marks the repair as started from outside (the main window's Space key
    // passes 0) and remembers the argument.
    void StartRepairFromKey(int index);

    bool StartedFromKey() const { return startedFromKey; }
    int KeyIndex() const { return keyIndex; }

private:
    Ui_UpDateRepair *ui;
    bool startedFromKey = false;
    int keyIndex = 0;
};
