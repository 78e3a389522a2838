#pragma once
// The report-rate panel of the sensor page: seven exclusive buttons from
// 125 Hz to 8000 Hz. A click writes the rate code (image byte 0) and, once the
// mouse took it, tells the sensor page whether the new rate is a high one
// (SigHideModel 1 for 2000 Hz and more, 0 otherwise).

#include <QFrame>
#include <QString>

class QButtonGroup;
class QToolButton;

namespace Ui {
class SensorRate;
}

class SensorRate : public QFrame
{
    Q_OBJECT
public:
    // Row i of the panel: 125, 250, 500, 1000, 2000, 4000, 8000 Hz.
    static constexpr int kRateCount = 7;
    // The code each row writes to image byte 0.
    static int RateCode(int index);
    // What SigHideModel tells the sensor page after row `index` was written:
    // 1 for the high rates (2000 Hz and more), 0 otherwise.
    static int HideModelArgument(int index);
    // Shows the 2000, 4000 and 8000 Hz rows as rate class `rateClass` says
    // (see SetRateClass); any other class changes nothing.
    static void ShowRateClass(int rateClass, QWidget *row2000, QWidget *row4000, QWidget *row8000);
    // The rate class of a link type (DeviceAllInfo::LinkType): 0 or 2 give 0,
    // 1 gives 1, 4 gives 2, 3 or 5 give 3; -1 for any other link.
    static int RateClassForLink(int linkType);

    explicit SensorRate(QWidget *parent = nullptr);
    ~SensorRate() override;

    // Checks row `index` (0-6) without sending anything; other values are ignored.
    void SetCurrentIndex(int index);
    // Shows the high rates a link offers: class 0 none, 1 2000 and 4000 Hz,
    // 2 2000 Hz only, 3 all three. Other classes change nothing; hiding a
    // button keeps its checked state.
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
    void ApplyTheme();
    void RateClicked(int index, bool checked);
    QToolButton *Button(int index) const;

    Ui::SensorRate *ui;
    QString m_pictureDir;
    QButtonGroup *m_group;
};
