#include "sensoreffect.h"

#include "ui_sensoreffect.h"

#include "globals.h"
#include "paneltheme.h"
#include "writers.h"

namespace {

constexpr int kBrightnessCodes[SensorEffect::kBrightnessSteps] = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};

}  // namespace

int SensorEffect::BrightnessCode(int step)
{
    return (step >= 1 && step <= kBrightnessSteps) ? kBrightnessCodes[step - 1] : 0;
}

SensorEffect::SensorEffect(QWidget *parent) : QFrame(parent), ui(new Ui::SensorEffect)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    ApplyTheme();
    // The spin boxes mirror the sliders from the start.
    ui->SpeedSpinBox->setValue(ui->SpeedH->value());
    ui->LightSpinBox->setValue(ui->LightH->value());
    PanelTheme::DropFrameLine(this);
}

SensorEffect::~SensorEffect()
{
    delete ui;
}

void SensorEffect::ApplyTheme()
{
    const QString label = PanelTheme::Triple("LabelColor");
    const QString labelSheet = "QLabel{color: rgb(" + label + ";);}";
    ui->label->setStyleSheet(labelSheet);
    ui->label_15->setStyleSheet(labelSheet);
    ui->label_14->setStyleSheet(labelSheet);
    PanelTheme::ApplyComboTheme(ui->Model, m_pictureDir, ComboTheme::Ending::Plain, true);
    ApplyRowsTheme(Rows(), m_pictureDir);
}

void SensorEffect::ApplyRowsTheme(const ModeRows &rows, const QString &pictureDir)
{
    const QString sliderSheet = PanelTheme::SliderStyleSheet(pictureDir);
    rows.speedSlider->setStyleSheet(sliderSheet);
    rows.lightSlider->setStyleSheet(sliderSheet);
    const QString spinSheet =
        "QSpinBox{color: rgb(" + PanelTheme::Triple("LabelColor") + ";);background-color: transparent;border: 0px;}";
    rows.speedSpin->setStyleSheet(spinSheet);
    rows.lightSpin->setStyleSheet(spinSheet);
}

SensorEffect::ModeRows SensorEffect::Rows() const
{
    return {ui->SpeedH, ui->SpeedSpinBox, ui->line, ui->LightH, ui->LightSpinBox, ui->line_2};
}

bool SensorEffect::IsMode(int mode)
{
    return mode >= kModeOff && mode <= kModeBreathing;
}

bool SensorEffect::MayWrite()
{
    return g_WritesAllowed && !g_SensorRefreshing;
}

void SensorEffect::ShowModeRows(const ModeRows &rows, int mode)
{
    if (!IsMode(mode))
        return;
    const bool speedRow = mode == kModeBreathing;
    const bool brightnessRow = mode == kModeSteady;
    rows.speedSlider->setVisible(speedRow);
    rows.speedSpin->setVisible(speedRow);
    rows.lightSlider->setVisible(brightnessRow);
    rows.lightSpin->setVisible(brightnessRow);
    // A hidden slider leaves its plain line in its place.
    rows.speedLine->setVisible(!speedRow);
    rows.lightLine->setVisible(!brightnessRow);
}

void SensorEffect::SetMode(int mode)
{
    if (!IsMode(mode))
        return;
    ui->Model->setCurrentIndex(mode);
    const bool speedBlocked = ui->SpeedH->blockSignals(true);
    const bool lightBlocked = ui->LightH->blockSignals(true);
    ShowModeRows(Rows(), mode);
    ui->SpeedH->blockSignals(speedBlocked);
    ui->LightH->blockSignals(lightBlocked);
}

void SensorEffect::SetSpeed(int value)
{
    ui->SpeedH->setValue(value);
}

void SensorEffect::SetBrightness(int step)
{
    ui->LightH->setValue(step);
}

void SensorEffect::SetSlidersEnabled(bool on)
{
    ui->SpeedH->setEnabled(on);
    ui->LightH->setEnabled(on);
}

void SensorEffect::SetComboEnabled(bool on)
{
    ui->Model->setEnabled(on);
}

void SensorEffect::SetItemText(int index, const QString &text)
{
    ui->Model->setItemText(index, text);
}

void SensorEffect::SetLabelText(const QString &text)
{
    ui->label->setText(text);
}

void SensorEffect::SetSpeedLabelText(const QString &text)
{
    ui->label_14->setText(text);
}

void SensorEffect::SetBrightnessLabelText(const QString &text)
{
    ui->label_15->setText(text);
}

void SensorEffect::on_Model_currentIndexChanged(int index)
{
    ShowModeRows(Rows(), index);
    // Only the three modes have a meaning on the device; an empty box (index
    // -1) must not reach the writer as 0xFF.
    if (IsMode(index) && MayWrite())
        WriteDpiLedMode(index);
}

void SensorEffect::on_SpeedH_valueChanged(int value)
{
    ui->SpeedSpinBox->setValue(value);
    if (MayWrite())
        WriteDpiLedSpeed(value);
}

void SensorEffect::on_SpeedH_sliderMoved(int position)
{
    ui->SpeedSpinBox->setValue(position);
}

void SensorEffect::on_LightH_valueChanged(int value)
{
    ui->LightSpinBox->setValue(value);
    const int code = BrightnessCode(value);
    if (code != 0 && MayWrite())
        WriteDpiLedBrightness(code);
}

void SensorEffect::on_LightH_sliderMoved(int position)
{
    ui->LightSpinBox->setValue(position);
}
