#include "updaterepair.h"

#include "paths.h"

#include <QFrame>

namespace {
constexpr int kRepairWidth = 460;
constexpr int kRepairHeight = 289;
}  // namespace

UpDateRepair::UpDateRepair(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("UpDateRepair"));
    setWindowTitle(QStringLiteral("Dialog"));
    setFixedSize(kRepairWidth, kRepairHeight);
    AutoRepair = new QFrame(this);
    AutoRepair->setObjectName(QStringLiteral("AutoRepair"));
    AutoRepair->setGeometry(0, 0, kRepairWidth, kRepairHeight);
    AutoRepair->setFrameShape(QFrame::StyledPanel);
    AutoRepair->setFrameShadow(QFrame::Raised);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    AutoRepair->setStyleSheet(
        QStringLiteral("#AutoRepair{border:0px;background-position:center;background-repeat:no-repeat;border-image: url(")
        + Paths::AppFolder() + QStringLiteral("/Picture/WarningDialog/BackGround.png);}"));
}

UpDateRepair::~UpDateRepair() = default;

void UpDateRepair::StartRepairFromKey(int index)
{
    startedFromKey = true;
    keyIndex = index;
}
