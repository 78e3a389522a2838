#include "stopclosetime.h"

#include "ui_stopclosetime.h"

#include "globals.h"
#include "paneltheme.h"
#include "sleeptime.h"
#include "writers.h"

namespace {
constexpr int kVisibleItems = 15;
}  // namespace

StopCloseTime::StopCloseTime(QWidget *parent) : ComboPanel(parent), ui(new Ui::StopCloseTime)
{
    ui->setupUi(this);
    SetBox(ui->StopClose);
    m_pictureDir = PanelTheme::PictureDir("Light");
    PanelTheme::ApplyComboTheme(ui->StopClose, m_pictureDir, ComboTheme::Ending::Plain, false, kVisibleItems);
    PanelTheme::DropFrameLine(this);
}

StopCloseTime::~StopCloseTime()
{
    delete ui;
}

void StopCloseTime::on_StopClose_activated(int index)
{
    if (!g_WritesAllowed)
        return;
    const int code = SleepTime::CodeOfItem(index);
    if (code == 0 || g_ButtonRefreshing)
        return;
    WriteStopCloseTime(code);
}
