#pragma once
// The sleep time (image byte 8, in units of 10 s) as the eleven positions of a
// slider, 10 s to 40 min, with the chosen time beside it as a number and a
// seconds or minutes unit. Dragging only shows; the time is written once, when
// the handle is released (or at once for a step by a click on the groove),
// while writes are allowed and the lighting page is not filling itself. No
// page places the panel; a host fills it and gives it the item texts of its
// language, from which it takes the two units.

#include <QFrame>
#include <QString>

namespace Ui {
class StopCloseTimeB;
}

class StopCloseTimeB : public QFrame
{
    Q_OBJECT
public:
    explicit StopCloseTimeB(QWidget *parent = nullptr);
    ~StopCloseTimeB() override;

    // Index 0-10 (position 1-11) without writing; any other index is ignored.
    void SetCurrentIndex(int index);
    // Item 0 ("10 s" in the host's language) gives the seconds unit with every
    // "10" taken out, item 5 ("15 min") the minutes unit with every "15" taken
    // out; the shown time takes the new unit. Other items change nothing.
    void SetItemText(int index, const QString &text);
    // The number shown for position 1-11 (10, 30, 1, 5, ... 40); 0 for any
    // other position.
    static int TimeForPosition(int position);

private slots:
    void on_StopClose_sliderMoved(int position);
    void on_StopClose_valueChanged(int value);

private:
    void ShowTime(int position);

    Ui::StopCloseTimeB *ui;
    QString m_pictureDir;
    QString secondsUnit;
    QString minutesUnit;
};
