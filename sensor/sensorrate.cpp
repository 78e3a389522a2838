#include "sensorrate.h"

#include "ui_sensorrate.h"

#include "globals.h"
#include "paneltheme.h"
#include "postmsg.h"
#include "writers.h"

#include <QButtonGroup>

namespace {

constexpr int kRateCodes[SensorRate::kRateCount] = {8, 4, 2, 1, 16, 32, 64};
// Rows from here on are the high rates that lock the sensor mode.
constexpr int kFirstHighRate = 4;

struct RateClassRow {
    bool show2000;
    bool show4000;
    bool show8000;
};
constexpr RateClassRow kRateClasses[] = {
    {false, false, false},
    {true, true, false},
    {true, false, false},
    {true, true, true},
};
constexpr int kRateClassCount = sizeof(kRateClasses) / sizeof(kRateClasses[0]);

// Link types (DeviceAllInfo::LinkType).
constexpr int kLink1k = 0;
constexpr int kLink4k = 1;
constexpr int kLinkCable = 2;
constexpr int kLinkCable2 = 3;
constexpr int kLink2k = 4;
constexpr int kLink8k = 5;

}  // namespace

int SensorRate::RateCode(int index)
{
    return (index >= 0 && index < kRateCount) ? kRateCodes[index] : 0;
}

int SensorRate::HideModelArgument(int index)
{
    return index >= kFirstHighRate ? 1 : 0;
}

void SensorRate::ShowRateClass(int rateClass, QWidget *row2000, QWidget *row4000, QWidget *row8000)
{
    if (rateClass < 0 || rateClass >= kRateClassCount)
        return;
    const RateClassRow &row = kRateClasses[rateClass];
    row2000->setVisible(row.show2000);
    row4000->setVisible(row.show4000);
    row8000->setVisible(row.show8000);
}

int SensorRate::RateClassForLink(int linkType)
{
    switch (linkType) {
    case kLink1k:
    case kLinkCable:
        return 0;
    case kLink4k:
        return 1;
    case kLink2k:
        return 2;
    case kLinkCable2:
    case kLink8k:
        return 3;
    default:
        return -1;
    }
}

SensorRate::SensorRate(QWidget *parent) : QFrame(parent), ui(new Ui::SensorRate)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    for (int i = 0; i < kRateCount; ++i)
        m_group->addButton(Button(i), i);
    ApplyTheme();
    PanelTheme::DropFrameLine(this);
}

SensorRate::~SensorRate()
{
    delete ui;
}

QToolButton *SensorRate::Button(int index) const
{
    QToolButton *const buttons[kRateCount] = {ui->Button125HZ,  ui->Button250HZ,  ui->Button500HZ, ui->Button1000HZ,
                                              ui->Button2000HZ, ui->Button4000HZ, ui->Button8000HZ};
    return buttons[index];
}

void SensorRate::ApplyTheme()
{
    const QString label = PanelTheme::Triple("LabelColor");
    const QString button = PanelTheme::Triple("ButtonColor");
    ui->label->setStyleSheet("QLabel{color: rgb(" + label + ";);}");
    const QString sheet =
        "QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(" + button
        + ";);padding-left:0px;background-image: url(" + m_pictureDir + "ReportRate.png"
        + ");}QToolButton:checked{padding-left:0px;background-image: url(" + m_pictureDir + "ReportRateClick.png"
        + "); }";
    for (int i = 0; i < kRateCount; ++i)
        Button(i)->setStyleSheet(sheet);
}

void SensorRate::SetCurrentIndex(int index)
{
    if (index < 0 || index >= kRateCount)
        return;
    Button(index)->setChecked(true);
}

void SensorRate::SetRateClass(int rateClass)
{
    ShowRateClass(rateClass, ui->Button2000HZ, ui->Button4000HZ, ui->Button8000HZ);
}

void SensorRate::SetLabelText(const QString &text)
{
    ui->label->setText(text);
}

void SensorRate::RateClicked(int index, bool checked)
{
    if (!checked || !g_WritesAllowed)
        return;
    if (WriteReportRate(kRateCodes[index]) != WriteResult::Done)
        return;
    PostMsg::GetInstance()->EmitHideModel(HideModelArgument(index));
}

void SensorRate::on_Button125HZ_clicked(bool checked)
{
    RateClicked(0, checked);
}

void SensorRate::on_Button250HZ_clicked(bool checked)
{
    RateClicked(1, checked);
}

void SensorRate::on_Button500HZ_clicked(bool checked)
{
    RateClicked(2, checked);
}

void SensorRate::on_Button1000HZ_clicked(bool checked)
{
    RateClicked(3, checked);
}

void SensorRate::on_Button2000HZ_clicked(bool checked)
{
    RateClicked(4, checked);
}

void SensorRate::on_Button4000HZ_clicked(bool checked)
{
    RateClicked(5, checked);
}

void SensorRate::on_Button8000HZ_clicked(bool checked)
{
    RateClicked(6, checked);
}
