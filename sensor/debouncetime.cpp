#include "debouncetime.h"

#include "ui_debouncetime.h"

#include "globals.h"
#include "notices.h"
#include "paneltheme.h"
#include "writers.h"

namespace {
constexpr int kVisibleItems = 5;
}

DebounceTime::DebounceTime(QWidget *parent) : ComboPanel(parent), ui(new Ui::DebounceTime)
{
    ui->setupUi(this);
    SetBox(ui->Debunce);
    m_pictureDir = PanelTheme::PictureDir("Buttoninterface");
    PanelTheme::ApplyComboTheme(ui->Debunce, m_pictureDir, ComboTheme::Ending::Plain, true,
                      kVisibleItems);
    PanelTheme::DropFrameLine(this);
}

DebounceTime::~DebounceTime()
{
    delete ui;
}

void DebounceTime::SetItemUnit(int index, const QString &unit)
{
    SetItemText(index, QString::number(index) + unit);
}

void DebounceTime::ChooseIndex(int index)
{
    if (index == ui->Debunce->currentIndex())
        return;
    SetCurrentIndex(index);
    TakeChoice(index);
}

void DebounceTime::on_Debunce_currentIndexChanged(int index)
{
    TakeChoice(index);
}

void DebounceTime::TakeChoice(int index)
{
    if (!g_WritesAllowed)
        return;
    // An index outside the box names no debounce time.
    if (index < 0 || index > kMaxMs)
        return;
    if (WriteDebounceTime(index) != WriteResult::Done)
        return;  // the offline notice has been raised instead
    if (index <= kNoticeUpToMs)
        ShowShortTimeNotice();
}

void DebounceTime::ShowShortTimeNotice()
{
    LessThree notice(nullptr);
    PlaceOnOpener(&notice, this, kNoticeDx, kNoticeDy);
    notice.exec();
}
