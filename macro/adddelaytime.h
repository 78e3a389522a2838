#pragma once
// The delay dialog: asks for one delay of 10 to 65535 ms for the macro
// editor's event list.
//
// The opener builds it on its stack without a parent, runs exec() and reads
// `accepted` and `delay`; exec()'s result means nothing, since every button
// closes with close(). The spin box always starts at 10. Escape closes it as
// any dialog (not accepted); Return does nothing, as the dialog has no
// default button.

#include <QDialog>
#include <QString>

class Ui_AddDelayTime;

class AddDelayTime : public QDialog
{
    Q_OBJECT
public:
    explicit AddDelayTime(QWidget *parent = nullptr);
    ~AddDelayTime() override;

    bool accepted = false;
    int delay = 0;  // milliseconds, set by OK

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_clicked();
    void on_NewHong_2_clicked();
    void SlotChangeLanguage(int index);

protected:
    // A window that bypasses the window manager gets the keyboard only once
    // it is activated.
    void showEvent(QShowEvent *event) override;

private:
    void ApplyStyleSheets();

    Ui_AddDelayTime *ui;
    QString pictureDir;
};
