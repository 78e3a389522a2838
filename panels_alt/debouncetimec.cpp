#include "debouncetimec.h"

#include "ui_debouncetimec.h"

#include "globals.h"
#include "paneltheme.h"
#include "writers.h"

namespace {

constexpr int kMaxMs = 20;
constexpr int kOneMs = 1;

QString StepButtonSheet(const QString &name, const QString &picture)
{
    return "#" + name + "{background-image: url(" + picture
        + ");border:0px;background-position:center;background-repeat:no-repeat;}";
}

}  // namespace

DebouncetimeC::DebouncetimeC(QWidget *parent) : QFrame(parent), ui(new Ui::DebouncetimeC)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    ui->spinBoxA->setStyleSheet(PanelTheme::FramedSpinStyleSheet());
    ui->AddLevelA->setStyleSheet(StepButtonSheet("AddLevelA", m_pictureDir + "Add.png"));
    ui->ReduceLevelA->setStyleSheet(StepButtonSheet("ReduceLevelA", m_pictureDir + "Reduce.png"));
    PanelTheme::DropFrameLine(this);
}

DebouncetimeC::~DebouncetimeC()
{
    delete ui;
}

void DebouncetimeC::SetValue(int v)
{
    ui->spinBoxA->setValue(v);
}

void DebouncetimeC::SetSuffix(const QString &unit)
{
    ui->spinBoxA->setSuffix(unit);
}

void DebouncetimeC::WriteShown()
{
    if (g_WritesAllowed)
        WriteDebounceTime(ui->spinBoxA->value());
}

void DebouncetimeC::on_AddLevelA_clicked()
{
    if (ui->spinBoxA->value() == kMaxMs)
        return;
    ui->spinBoxA->setValue(ui->spinBoxA->value() + 1);
    WriteShown();
}

void DebouncetimeC::on_ReduceLevelA_clicked()
{
    if (ui->spinBoxA->value() == kOneMs)
        return;
    ui->spinBoxA->setValue(ui->spinBoxA->value() - 1);
    WriteShown();
}
