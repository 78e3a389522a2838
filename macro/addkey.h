#pragma once
// The single-key dialog: captures one keyboard key for the macro editor's
// event list.
//
// While it is open the dialog's own KeyCapture reports every key press and
// release that reaches a window of the program; `keyName` holds the name of
// the latest event's key (the empty name for a key without one), and the line
// edit shows it as the current layout does. The opener builds it on its stack without a parent, runs exec() and
// takes `keyName` only when exec() returned Accepted and `accepted` is set,
// which only OK does.
//
// Escape and F12 are captured like other keys and never close the dialog;
// Return does nothing, as the dialog has no default button. The capture ends
// with OK, Cancel, the close button, any other close and the destructor.

#include "keycapture.h"

#include <QDialog>
#include <QString>

class Ui_addKey;

class addKey : public QDialog
{
    Q_OBJECT
public:
    explicit addKey(QWidget *parent = nullptr);
    ~addKey() override;

    bool accepted = false;
    QString keyName;

    void done(int result) override;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();
    void on_NewHong_2_clicked();
    // The capture's callback: presses and releases alike name the key.
    void UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu);
    void SlotChangeLanguage(int index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // A window that bypasses the window manager gets the keyboard only once
    // it is activated.
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void ApplyStyleSheets();

    Ui_addKey *ui;
    KeyCapture capture;
    QString pictureDir;
};
