#include "sensorlod.h"

#include "ui_sensorlod.h"

#include "globals.h"
#include "paneltheme.h"
#include "writers.h"

namespace {

constexpr int kCode07mm = 3;
constexpr int kCode1mm = 1;
constexpr int kCode2mm = 2;
constexpr int kPlainItemCount = 2;
constexpr int kFullItemCount = 3;

// Item codes by index, for the plain box and for the box with 0.7 mm.
constexpr int kPlainCodes[kPlainItemCount] = {kCode1mm, kCode2mm};
constexpr int kFullCodes[kFullItemCount] = {kCode07mm, kCode1mm, kCode2mm};

}  // namespace

SensorLOD::SensorLOD(QWidget *parent) : QFrame(parent), ui(new Ui::SensorLOD)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    ApplyTheme();
    PanelTheme::DropFrameLine(this);
}

SensorLOD::~SensorLOD()
{
    delete ui;
}

void SensorLOD::ApplyTheme()
{
    ui->label->setStyleSheet("QLabel{color: rgb(" + PanelTheme::Triple("LabelColor") + ";);}");
    PanelTheme::ApplyComboTheme(ui->LOD, m_pictureDir, ComboTheme::Ending::DisabledBlack, true);
}

int SensorLOD::CodeForIndex(int itemCount, int index)
{
    if (itemCount == kFullItemCount)
        return (index >= 0 && index < kFullItemCount) ? kFullCodes[index] : 0;
    return (index >= 0 && index < kPlainItemCount) ? kPlainCodes[index] : 0;
}

bool SensorLOD::HasItem07mm() const
{
    return ui->LOD->count() == kFullItemCount;
}

void SensorLOD::AddItem07mm()
{
    if (ui->LOD->count() == kPlainItemCount)
        ui->LOD->insertItem(0, "0.7mm");
}

void SensorLOD::RemoveItem07mm()
{
    if (HasItem07mm())
        ui->LOD->removeItem(0);
}

void SensorLOD::SetComboEnabled(bool on)
{
    ui->LOD->setEnabled(on);
}

void SensorLOD::SelectByValue(int value)
{
    if (!HasItem07mm()) {
        ui->LOD->setCurrentIndex(value);
        return;
    }
    // Byte 5 minus 1 -> index of the three-item box.
    static constexpr int kFullIndexByValue[] = {1, 2, 0};
    if (value >= 0 && value < kFullItemCount)
        ui->LOD->setCurrentIndex(kFullIndexByValue[value]);
}

void SensorLOD::SetLabelText(const QString &text)
{
    ui->label->setText(text);
}

void SensorLOD::SetLabelToolTip(const QString &text)
{
    ui->label->setToolTip(text);
}

void SensorLOD::SetItemUnit(const QString &unit)
{
    const int first = HasItem07mm() ? 1 : 0;
    ui->LOD->setItemText(first, "1 " + unit);
    ui->LOD->setItemText(first + 1, "2 " + unit);
}

void SensorLOD::on_LOD_currentIndexChanged(int index)
{
    if (!g_WritesAllowed || g_SensorRefreshing)
        return;
    const int code = CodeForIndex(ui->LOD->count(), index);
    if (code != 0)
        WriteLod(code);
}
