#include "updaterepair.h"

#include "ui_updaterepair.h"

#include "paths.h"

UpDateRepair::UpDateRepair(QWidget *parent) : QDialog(parent), ui(new Ui_UpDateRepair)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    ui->AutoRepair->setStyleSheet(
        QStringLiteral("#AutoRepair{border:0px;background-position:center;background-repeat:no-repeat;border-image: url(")
        + Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/BackGround.png);}"));
}

UpDateRepair::~UpDateRepair()
{
    delete ui;
}

void UpDateRepair::StartRepairFromKey(int index)
{
    startedFromKey = true;
    keyIndex = index;
}
