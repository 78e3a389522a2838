#include "stopclosetimeb.h"

#include "ui_stopclosetimeb.h"

#include "globals.h"
#include "paneltheme.h"
#include "sleeptime.h"
#include "writers.h"

#include <QSignalBlocker>

namespace {

// Codes are tenths of a minute: below one minute the time shows in seconds.
constexpr int kCodesPerMinute = 60 / SleepTime::kUnitSeconds;

constexpr int kSecondsItem = 0;
constexpr int kMinutesItem = 5;

int CodeOfPosition(int position)
{
    return SleepTime::CodeOfItem(position - 1);
}

bool ShowsSeconds(int position)
{
    const int code = CodeOfPosition(position);
    return code != 0 && code < kCodesPerMinute;
}

}  // namespace

StopCloseTimeB::StopCloseTimeB(QWidget *parent) : QFrame(parent), ui(new Ui::StopCloseTimeB)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Sensor");
    ui->spinBoxA->setStyleSheet(PanelTheme::FramedSpinStyleSheet());
    ui->StopClose->setStyleSheet(PanelTheme::SliderStyleSheet(m_pictureDir));
    // The number box shows the slider's time from the start (10 for 10 s, not
    // the form's 1).
    ShowTime(ui->StopClose->value());
    PanelTheme::DropFrameLine(this);
}

StopCloseTimeB::~StopCloseTimeB()
{
    delete ui;
}

int StopCloseTimeB::TimeForPosition(int position)
{
    const int code = CodeOfPosition(position);
    return ShowsSeconds(position) ? SleepTime::SecondsOfCode(code) : code / kCodesPerMinute;
}

void StopCloseTimeB::ShowTime(int position)
{
    ui->spinBoxA->setValue(TimeForPosition(position));
    ui->spinBoxA->setSuffix(ShowsSeconds(position) ? secondsUnit : minutesUnit);
}

void StopCloseTimeB::SetCurrentIndex(int index)
{
    if (index < 0 || index >= SleepTime::kItemCount)
        return;
    const QSignalBlocker blocker(ui->StopClose);
    ui->StopClose->setValue(index + 1);
    ShowTime(index + 1);
}

void StopCloseTimeB::SetItemText(int index, const QString &text)
{
    if (index == kSecondsItem)
        secondsUnit = QString(text).remove(QStringLiteral("10"));
    else if (index == kMinutesItem)
        minutesUnit = QString(text).remove(QStringLiteral("15"));
    else
        return;
    ShowTime(ui->StopClose->value());
}

void StopCloseTimeB::on_StopClose_sliderMoved(int position)
{
    ShowTime(position);
}

void StopCloseTimeB::on_StopClose_valueChanged(int value)
{
    ShowTime(value);
    if (g_WritesAllowed && !g_LightRefreshing)
        WriteStopCloseTime(CodeOfPosition(value));
}
