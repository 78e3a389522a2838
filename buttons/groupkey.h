#pragma once
// The key-combination dialog: gives a mouse button up to three keys in all,
// made of the modifier boxes Shift, Ctrl, Alt and Win and of keys pressed on
// the keyboard.
//
// While it is open the dialog's own KeyCapture reports every key that reaches
// a window of the program; the captured keys show as "A+B+C" in a line edit
// that takes no typing; the Menu key is captured like any other and opens
// no menu. OK hands back one text, modifiers first
// ("Shift+Ctrl+A") in ComboText with Confirmed set. The opener builds it on
// its stack without a parent, runs exec() and reads the two members; exec()'s
// result means nothing, since every way out closes with close().
//
// The capture ends with OK (when accepted), Cancel, the close button, any
// other close and the destructor: it never outlives the dialog.

#include "elapsedclock.h"
#include "keycapture.h"

#include <QDialog>
#include <QString>

class Ui_GroupKey;

class GroupKey : public QDialog
{
    Q_OBJECT
public:
    // Keys pressed within this window from the first key form one combination;
    // a key after it starts a new one.
    static constexpr int kSequenceWindowMs = 2000;

    explicit GroupKey(QWidget *parent = nullptr);
    ~GroupKey() override;

    // The name a captured key shows with: the key's name for keyboard keys,
    // as the current layout shows it; Space and the modifier keys have none
    // (modifiers come from the boxes).
    static QString KeyName(int virtualKey);

    bool Confirmed = false;
    QString ComboText;
    int PlusCount = 0;  // "+" in the edit when the last key came
    int LastKey = -1;   // virtual key of the last key taken; -1 none
    bool FirstKey = true;
    // Steady time unless a test gives it a source of its own (UseSource).
    ElapsedClock SequenceTimer;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_2_clicked();
    void on_NewHong_clicked();
    // The capture's callback: takes a key press into the edit.
    void UpdateCapslockTip(int keyCode, bool downOrUp, bool aotu);
    void on_lineEdit_textEdited(const QString &text);
    void SlotChangeLanguage(int index);

protected:
    // Escape and F12 do nothing; Escape never rejects the dialog.
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A window that bypasses the window manager gets the keyboard only once
    // it is activated.
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

public:
    void done(int result) override;

private:
    void ApplyStyleSheets();
    // Shift, Ctrl, Alt and Win as checked, joined with "+".
    QString CheckedModifiers(int &parts) const;
    void ShowTooManyKeys();

    Ui_GroupKey *ui;
    KeyCapture Capture;
    QString PictureDir;
};
