#include "sensorlodb.h"

#include "ui_sensorlodb.h"

#include "globals.h"
#include "paneltheme.h"
#include "writers.h"

#include <QButtonGroup>

namespace {

constexpr int kCode1mm = 1;
constexpr int kCode2mm = 2;
constexpr int kCode07mm = 3;

constexpr int kFirstX = 80;
constexpr int kSecondX = 165;
constexpr int kThirdX = 250;

}  // namespace

SensorLODB::SensorLODB(QWidget *parent) : QFrame(parent), ui(new Ui::SensorLODB)
{
    ui->setupUi(this);
    lodGroup = new QButtonGroup(this);
    lodGroup->setExclusive(true);
    lodGroup->addButton(ui->MM0);
    lodGroup->addButton(ui->MM1);
    lodGroup->addButton(ui->MM2);
    ui->MM0->hide();
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    ApplyTheme();
    PanelTheme::DropFrameLine(this);
}

SensorLODB::~SensorLODB()
{
    delete ui;
}

void SensorLODB::ApplyTheme()
{
    ui->label->setStyleSheet(PanelTheme::LabelStyleSheet());
    const QString boxes = PanelTheme::CheckBoxStyleSheet(m_pictureDir);
    ui->MM1->setStyleSheet(boxes);
    ui->MM2->setStyleSheet(boxes);
    // "0.7mm" stays hidden until a host shows it; it is dressed like the others
    // so that it looks like them once shown.
    ui->MM0->setStyleSheet(boxes);
}

void SensorLODB::Show07mm()
{
    ui->MM0->show();
    ui->MM0->move(kFirstX, 0);
    ui->MM1->move(kSecondX, 0);
    ui->MM2->move(kThirdX, 0);
}

void SensorLODB::Hide07mm()
{
    ui->MM0->hide();
    ui->MM1->move(kFirstX, 0);
    ui->MM2->move(kSecondX, 0);
}

void SensorLODB::SetChoiceEnabled(bool enabled)
{
    ui->MM1->setEnabled(enabled);
    ui->MM2->setEnabled(enabled);
}

void SensorLODB::SelectByValue(int index)
{
    switch (index) {
    case 0:
        ui->MM1->setChecked(true);
        break;
    case 1:
        ui->MM2->setChecked(true);
        break;
    case 2:
        if (!ui->MM0->isHidden())
            ui->MM0->setChecked(true);
        break;
    default:
        break;
    }
}

void SensorLODB::SetLabelText(const QString &text)
{
    ui->label->setText(text);
}

void SensorLODB::SetLabelToolTip(const QString &text)
{
    ui->label->setToolTip(text);
}

void SensorLODB::WriteChoice(int code)
{
    if (g_WritesAllowed && !g_SensorRefreshing)
        WriteLod(code);
}

void SensorLODB::on_MM1_clicked(bool)
{
    WriteChoice(kCode1mm);
}

void SensorLODB::on_MM2_clicked(bool)
{
    WriteChoice(kCode2mm);
}

void SensorLODB::on_MM0_clicked(bool)
{
    WriteChoice(kCode07mm);
}
