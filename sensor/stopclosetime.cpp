#include "stopclosetime.h"

#include "ui_stopclosetime.h"

#include "globals.h"
#include "paneltheme.h"
#include "writers.h"

namespace {
constexpr int kCodes[StopCloseTime::kItemCount] = {1, 3, 6, 30, 60, 90, 120, 150, 180, 210, 240};
constexpr int kVisibleItems = 15;
}  // namespace

int StopCloseTime::CodeForIndex(int index)
{
    return (index >= 0 && index < kItemCount) ? kCodes[index] : 0;
}

StopCloseTime::StopCloseTime(QWidget *parent) : QFrame(parent), ui(new Ui::StopCloseTime)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Light");
    PanelTheme::ApplyComboTheme(ui->StopClose, m_pictureDir, ComboTheme::Ending::Plain, false,
                      kVisibleItems);
    PanelTheme::DropFrameLine(this);
}

StopCloseTime::~StopCloseTime()
{
    delete ui;
}

void StopCloseTime::SetCurrentIndex(int index)
{
    const bool wasBlocked = ui->StopClose->blockSignals(true);
    ui->StopClose->setCurrentIndex(index);
    ui->StopClose->blockSignals(wasBlocked);
}

void StopCloseTime::SetItemText(int index, const QString &text)
{
    ui->StopClose->setItemText(index, text);
}

void StopCloseTime::on_StopClose_activated(int index)
{
    if (!g_WritesAllowed)
        return;
    const int code = CodeForIndex(index);
    if (code == 0 || g_ButtonRefreshing)
        return;
    WriteStopCloseTime(code);
}
