#pragma once
// The DPI indicator effect with the modes as exclusive check boxes (steady,
// breathing, off) above a speed slider (1-5) and a brightness slider (1-10),
// each with a read-only number. Only the slider the chosen mode uses is shown;
// a hidden slider leaves a plain line in its row. Writes image bytes 63-66
// while writes are allowed and the sensor page is not filling itself; the
// sliders write only when released. No page places the panel; a host fills it
// and sets its texts.

#include "sensoreffect.h"

#include <QFrame>
#include <QString>

class QButtonGroup;

namespace Ui {
class SensorEffectB;
}

class SensorEffectB : public QFrame
{
    Q_OBJECT
public:
    explicit SensorEffectB(QWidget *parent = nullptr);
    ~SensorEffectB() override;

    void SetSlidersEnabled(bool enabled);
    // Checks the box of mode 0 (off), 1 (steady) or 2 (breathing) and shows
    // that mode's rows, without writing; any other mode changes nothing.
    void SetMode(int mode);
    // The box text of mode 0, 1 or 2; any other index changes nothing.
    void SetItemText(int index, const QString &text);
    void SetLabelText(const QString &text);
    void SetSpeedLabelText(const QString &text);
    void SetBrightnessLabelText(const QString &text);
    // Move the slider as if the user released it there: a changed value is
    // shown and written (unless writing is closed, see above).
    void SetSpeed(int value);
    void SetBrightness(int step);

private slots:
    void on_SpeedH_valueChanged(int value);
    void on_SpeedH_sliderMoved(int position);
    void on_LightH_valueChanged(int value);
    void on_LightH_sliderMoved(int position);
    void on_MM3_clicked(bool checked);
    void on_MM1_clicked(bool checked);
    void on_MM2_clicked(bool checked);

private:
    static bool MayWrite();
    void ModeClicked(int mode, bool checked);
    SensorEffect::ModeRows Rows() const;
    void ApplyTheme();

    Ui::SensorEffectB *ui;
    QString m_pictureDir;
    QButtonGroup *modeGroup;
};
