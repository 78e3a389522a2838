#include "debouncetimeb.h"

#include "ui_debouncetimeb.h"

#include "globals.h"
#include "paneltheme.h"
#include "writers.h"

#include <QSignalBlocker>

DebouncetimeB::DebouncetimeB(QWidget *parent) : QFrame(parent), ui(new Ui::DebouncetimeB)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    ui->spinBoxA->setStyleSheet(PanelTheme::FramedSpinStyleSheet());
    ui->Debunce->setStyleSheet(PanelTheme::SliderStyleSheet(m_pictureDir));
    PanelTheme::DropFrameLine(this);
}

DebouncetimeB::~DebouncetimeB()
{
    delete ui;
}

void DebouncetimeB::SetValue(int v)
{
    const QSignalBlocker blocker(ui->Debunce);
    ui->Debunce->setValue(v);
    ui->spinBoxA->setValue(v);
}

void DebouncetimeB::SetSuffix(const QString &unit)
{
    ui->spinBoxA->setSuffix(unit);
}

void DebouncetimeB::on_Debunce_sliderMoved(int position)
{
    ui->spinBoxA->setValue(position);
}

void DebouncetimeB::on_Debunce_valueChanged(int value)
{
    ui->spinBoxA->setValue(value);
    if (g_WritesAllowed)
        WriteDebounceTime(value);
}
