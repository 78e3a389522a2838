#include "sensoreffectb.h"

#include "ui_sensoreffectb.h"

#include "globals.h"
#include "paneltheme.h"
#include "writers.h"

#include <QButtonGroup>
#include <QSignalBlocker>

SensorEffectB::SensorEffectB(QWidget *parent) : QFrame(parent), ui(new Ui::SensorEffectB)
{
    ui->setupUi(this);
    modeGroup = new QButtonGroup(this);
    modeGroup->setExclusive(true);
    modeGroup->addButton(ui->MM1);
    modeGroup->addButton(ui->MM2);
    modeGroup->addButton(ui->MM3);
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    ApplyTheme();
    PanelTheme::DropFrameLine(this);
}

SensorEffectB::~SensorEffectB()
{
    delete ui;
}

void SensorEffectB::ApplyTheme()
{
    const QString labelSheet = PanelTheme::LabelStyleSheet();
    ui->label->setStyleSheet(labelSheet);
    ui->label_15->setStyleSheet(labelSheet);
    ui->label_14->setStyleSheet(labelSheet);
    const QString boxes = PanelTheme::CheckBoxStyleSheet(m_pictureDir);
    ui->MM1->setStyleSheet(boxes);
    ui->MM2->setStyleSheet(boxes);
    ui->MM3->setStyleSheet(boxes);
    SensorEffect::ApplyRowsTheme(Rows(), m_pictureDir);
}

SensorEffect::ModeRows SensorEffectB::Rows() const
{
    return {ui->SpeedH, ui->SpeedSpinBox, ui->line, ui->LightH, ui->LightSpinBox, ui->line_2};
}

bool SensorEffectB::MayWrite()
{
    return g_WritesAllowed && !g_SensorRefreshing;
}

void SensorEffectB::SetSlidersEnabled(bool enabled)
{
    ui->SpeedH->setEnabled(enabled);
    ui->LightH->setEnabled(enabled);
}

void SensorEffectB::SetMode(int mode)
{
    if (!SensorEffect::IsMode(mode))
        return;
    const QSignalBlocker speedBlocker(ui->SpeedH);
    const QSignalBlocker lightBlocker(ui->LightH);
    QCheckBox *const boxes[] = {ui->MM3, ui->MM1, ui->MM2};
    boxes[mode]->setChecked(true);
    SensorEffect::ShowModeRows(Rows(), mode);
}

void SensorEffectB::SetItemText(int index, const QString &text)
{
    if (!SensorEffect::IsMode(index))
        return;
    QCheckBox *const boxes[] = {ui->MM3, ui->MM1, ui->MM2};
    boxes[index]->setText(text);
}

void SensorEffectB::SetLabelText(const QString &text)
{
    ui->label->setText(text);
}

void SensorEffectB::SetSpeedLabelText(const QString &text)
{
    ui->label_14->setText(text);
}

void SensorEffectB::SetBrightnessLabelText(const QString &text)
{
    ui->label_15->setText(text);
}

void SensorEffectB::SetSpeed(int value)
{
    ui->SpeedH->setValue(value);
}

void SensorEffectB::SetBrightness(int step)
{
    ui->LightH->setValue(step);
}

void SensorEffectB::on_SpeedH_valueChanged(int value)
{
    ui->SpeedSpinBox->setValue(value);
    if (MayWrite())
        WriteDpiLedSpeed(value);
}

void SensorEffectB::on_SpeedH_sliderMoved(int position)
{
    ui->SpeedSpinBox->setValue(position);
}

void SensorEffectB::on_LightH_valueChanged(int value)
{
    ui->LightSpinBox->setValue(value);
    // A step outside the table has no code: nothing is written for it.
    const int code = SensorEffect::BrightnessCode(value);
    if (code != 0 && MayWrite())
        WriteDpiLedBrightness(code);
}

void SensorEffectB::on_LightH_sliderMoved(int position)
{
    ui->LightSpinBox->setValue(position);
}

void SensorEffectB::ModeClicked(int mode, bool checked)
{
    if (!checked)
        return;
    SensorEffect::ShowModeRows(Rows(), mode);
    if (MayWrite())
        WriteDpiLedMode(mode);
}

void SensorEffectB::on_MM3_clicked(bool checked)
{
    ModeClicked(SensorEffect::kModeOff, checked);
}

void SensorEffectB::on_MM1_clicked(bool checked)
{
    ModeClicked(SensorEffect::kModeSteady, checked);
}

void SensorEffectB::on_MM2_clicked(bool checked)
{
    ModeClicked(SensorEffect::kModeBreathing, checked);
}
