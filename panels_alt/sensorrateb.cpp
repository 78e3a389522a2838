#include "sensorrateb.h"

#include "ui_sensorrateb.h"

#include "globals.h"
#include "paneltheme.h"
#include "postmsg.h"
#include "sensorrate.h"
#include "writers.h"

#include <QButtonGroup>

SensorRateB::SensorRateB(QWidget *parent) : QFrame(parent), ui(new Ui::SensorRateB)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    rateGroup = new QButtonGroup(this);
    rateGroup->setExclusive(true);
    for (int i = 0; i < SensorRate::kRateCount; ++i)
        rateGroup->addButton(Box(i), i);
    ui->label->setStyleSheet(PanelTheme::LabelStyleSheet());
    const QString boxes = PanelTheme::CheckBoxStyleSheet(m_pictureDir);
    for (int i = 0; i < SensorRate::kRateCount; ++i)
        Box(i)->setStyleSheet(boxes);
    PanelTheme::DropFrameLine(this);
}

SensorRateB::~SensorRateB()
{
    delete ui;
}

QCheckBox *SensorRateB::Box(int index) const
{
    QCheckBox *const boxes[SensorRate::kRateCount] = {ui->Button125HZ,  ui->Button250HZ,  ui->Button500HZ,
                                                      ui->Button1000HZ, ui->Button2000HZ, ui->Button4000HZ,
                                                      ui->Button8000HZ};
    return boxes[index];
}

void SensorRateB::SetCurrentIndex(int index)
{
    if (index < 0 || index >= SensorRate::kRateCount)
        return;
    Box(index)->setChecked(true);
}

void SensorRateB::SetRateClass(int rateClass)
{
    SensorRate::ShowRateClass(rateClass, ui->Button2000HZ, ui->Button4000HZ, ui->Button8000HZ);
}

void SensorRateB::SetLabelText(const QString &text)
{
    ui->label->setText(text);
}

void SensorRateB::RateClicked(int index, bool checked)
{
    if (!checked || !g_WritesAllowed)
        return;
    if (WriteReportRate(SensorRate::RateCode(index)) == WriteResult::Done)
        PostMsg::GetInstance()->EmitHideModel(SensorRate::HideModelArgument(index));
}

void SensorRateB::on_Button125HZ_clicked(bool checked)
{
    RateClicked(0, checked);
}

void SensorRateB::on_Button250HZ_clicked(bool checked)
{
    RateClicked(1, checked);
}

void SensorRateB::on_Button500HZ_clicked(bool checked)
{
    RateClicked(2, checked);
}

void SensorRateB::on_Button1000HZ_clicked(bool checked)
{
    RateClicked(3, checked);
}

void SensorRateB::on_Button2000HZ_clicked(bool checked)
{
    RateClicked(4, checked);
}

void SensorRateB::on_Button4000HZ_clicked(bool checked)
{
    RateClicked(5, checked);
}

void SensorRateB::on_Button8000HZ_clicked(bool checked)
{
    RateClicked(6, checked);
}
