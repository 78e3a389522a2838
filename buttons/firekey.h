#pragma once
// The fire-key dialog: the interval (10-255) and the repeat count (0-3) of a
// button that keeps sending while it is held; a count of 0 sends until the
// button is released.
//
// The opener builds it on its stack without a parent, presets the two spin
// boxes, runs exec() and then reads Confirmed, IntervalValue and CountValue;
// exec()'s result means nothing. OK takes the two values; Cancel, the close
// button and Escape leave Confirmed false.

#include <QDialog>
#include <QString>

class Ui_FireKey;

class FireKey : public QDialog
{
    Q_OBJECT
public:
    explicit FireKey(QWidget *parent = nullptr);
    ~FireKey() override;

    // Preset the spin boxes; both clamp to their ranges.
    void SetInterval(int value);
    void SetCount(int value);

    bool Confirmed = false;
    int IntervalValue = 10;
    int CountValue = 3;

public slots:
    void on_CloseButton_clicked();
    void on_NewHong_2_clicked();
    void on_NewHong_clicked();
    void SlotChangeLanguage(int index);

protected:
    // A window that bypasses the window manager gets the keyboard only once
    // it is activated, so typed numbers reach the spin boxes.
    void showEvent(QShowEvent *event) override;

private:
    void ApplyStyleSheets();

    Ui_FireKey *ui;
    QString PictureDir;
};
