#pragma once
// The DPI indicator effect panel of the sensor page: off, steady or breathing,
// with a speed (1-5) for breathing and a brightness step (1-10) for steady
// light. Writes image bytes 63-66; the sliders write only when released.

#include <QFrame>
#include <QString>

namespace Ui {
class SensorEffect;
}

class SensorEffect : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kModeOff = 0;
    static constexpr int kModeSteady = 1;
    static constexpr int kModeBreathing = 2;
    static constexpr int kBrightnessSteps = 10;

    // Brightness step 1-10 -> the code stored in image byte 64; 0 for any other step.
    static int BrightnessCode(int step);
    static bool IsMode(int mode);

    // The speed and brightness rows of an indicator panel: a slider with its
    // number box, and the plain line shown in the slider's place when hidden.
    struct ModeRows {
        QWidget *speedSlider;
        QWidget *speedSpin;
        QWidget *speedLine;
        QWidget *lightSlider;
        QWidget *lightSpin;
        QWidget *lightLine;
    };
    // Off shows both lines, steady the brightness row, breathing the speed
    // row; any other mode changes nothing.
    static void ShowModeRows(const ModeRows &rows, int mode);
    // The sliders' and number boxes' style sheets.
    static void ApplyRowsTheme(const ModeRows &rows, const QString &pictureDir);

    explicit SensorEffect(QWidget *parent = nullptr);
    ~SensorEffect() override;

    // Selects mode 0, 1 or 2 (the mode slot runs when the item changes) and
    // shows that mode's rows even when the item was already current. Any other
    // mode is ignored.
    void SetMode(int mode);
    // Both clamp into the slider's range.
    void SetSpeed(int value);
    void SetBrightness(int step);
    void SetSlidersEnabled(bool on);
    void SetComboEnabled(bool on);
    void SetItemText(int index, const QString &text);
    void SetLabelText(const QString &text);
    void SetSpeedLabelText(const QString &text);
    void SetBrightnessLabelText(const QString &text);

private slots:
    void on_Model_currentIndexChanged(int index);
    void on_SpeedH_valueChanged(int value);
    void on_SpeedH_sliderMoved(int position);
    void on_LightH_valueChanged(int value);
    void on_LightH_sliderMoved(int position);

private:
    static bool MayWrite();
    ModeRows Rows() const;
    void ApplyTheme();

    Ui::SensorEffect *ui;
    QString m_pictureDir;
};
