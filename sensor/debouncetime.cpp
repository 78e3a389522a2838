#include "debouncetime.h"

#include "ui_debouncetime.h"

#include "globals.h"
#include "notices.h"
#include "paneltheme.h"
#include "writers.h"

namespace {
constexpr int kVisibleItems = 5;
}

DebounceTime::DebounceTime(QWidget *parent) : QFrame(parent), ui(new Ui::DebounceTime)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Buttoninterface");
    PanelTheme::ApplyComboTheme(ui->Debunce, m_pictureDir, ComboTheme::Ending::Plain, true,
                      kVisibleItems);
    PanelTheme::DropFrameLine(this);
}

DebounceTime::~DebounceTime()
{
    delete ui;
}

bool DebounceTime::BlockSignals(bool block)
{
    return ui->Debunce->blockSignals(block);
}

void DebounceTime::SetCurrentIndex(int index)
{
    ui->Debunce->setCurrentIndex(index);
}

void DebounceTime::SetItemUnit(int index, const QString &unit)
{
    ui->Debunce->setItemText(index, QString::number(index) + unit);
}

void DebounceTime::on_Debunce_currentIndexChanged(int index)
{
    if (!g_WritesAllowed)
        return;
    // An index outside the box (-1 after a byte above 20 came in from an
    // import or the cache) names no debounce time.
    if (index < 0 || index > kMaxMs)
        return;
    if (!WriteDebounceTime(index))
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
