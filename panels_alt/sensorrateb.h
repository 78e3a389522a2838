#pragma once
// The report rate as one row of seven exclusive check boxes, 125 Hz to
// 8000 Hz. A checked click writes the rate's code into image byte 0 while
// writes are allowed and, once the mouse took it, tells the sensor page
// whether the rate is a high one (SigHideModel). No page places the panel; a
// host shows the high rates the link offers and checks the current rate.

#include <QFrame>
#include <QString>

class QButtonGroup;
class QCheckBox;

namespace Ui {
class SensorRateB;
}

class SensorRateB : public QFrame
{
    Q_OBJECT
public:
    explicit SensorRateB(QWidget *parent = nullptr);
    ~SensorRateB() override;

    // Checks box `index` (0-6) without writing; other values are ignored.
    void SetCurrentIndex(int index);
    // Shows the high rates of a rate class as the sensor page's rate panel
    // does; other classes change nothing, and a hidden box keeps its state.
    void SetRateClass(int rateClass);
    void SetLabelText(const QString &text);

private slots:
    void on_Button125HZ_clicked(bool checked);
    void on_Button250HZ_clicked(bool checked);
    void on_Button500HZ_clicked(bool checked);
    void on_Button1000HZ_clicked(bool checked);
    void on_Button2000HZ_clicked(bool checked);
    void on_Button4000HZ_clicked(bool checked);
    void on_Button8000HZ_clicked(bool checked);

private:
    void RateClicked(int index, bool checked);
    QCheckBox *Box(int index) const;

    Ui::SensorRateB *ui;
    QString m_pictureDir;
    QButtonGroup *rateGroup;
};
