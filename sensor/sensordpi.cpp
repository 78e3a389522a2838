#include "sensordpi.h"

#include "ui_sensordpi.h"

#include "combotheme.h"
#include "configini.h"
#include "globals.h"
#include "hidusb.h"
#include "paths.h"
#include "postmsg.h"
#include "sensorcoding.h"
#include "sensormodel.h"
#include "writers.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QSizePolicy>

namespace {

const QString kOption = QStringLiteral("Option");

// Where the handle stands under each level. They follow the 91-pixel grid of
// the value buttons (button x + 12), except level 5, one pixel further right.
constexpr int kSnapX[SensorDPI::kLevels] = {27, 118, 209, 300, 391, 483, 573, 664};
constexpr int kSnapY = 154;
constexpr int kLevelPitch = 91;

const char *const kLevelColors[SensorDPI::kLevels] = {
    "255,0,0", "0,255,0", "0,0,255", "255,255,0", "0,255,255", "255,0,255", "159,0,0", "0,212,252",
};

// A drop further right than this is beyond the last level of the count
// (indexed by the count box's index, 0 to 6; eight levels have no limit).
constexpr int kCountLimitX[7] = {69, 160, 251, 342, 433, 524, 612};

// Drops outside the value buttons' strip are refused.
constexpr int kDropMinX = 15;
constexpr int kDropMaxX = 706;

// How far the handle must be carried to move it by `levels`: the distance from
// the current level's snap point, tested in this order.
struct DropWindow {
    int levels;
    int from;
    int to;
};
constexpr DropWindow kDropWindows[] = {
    {+1, 78, 129},    {-1, -102, -51},  {+2, 168, 214},   {-2, -192, -144}, {+3, 264, 317},
    {-3, -284, -236}, {+4, 361, 389},   {-4, -369, -327}, {+5, 443, 495},   {-5, -465, -411},
    {+6, 538, 591},   {-6, -556, -504}, {+7, 623, 669},   {-7, -646, -599},
};

// Levels a drop at distance d moves the handle by; 0 when no window holds d.
int LevelsForDrop(int d)
{
    for (const DropWindow &window : kDropWindows) {
        if (d >= window.from && d <= window.to)
            return window.levels;
    }
    return 0;
}

bool ValidLevel(int level)
{
    return level >= 0 && level < SensorDPI::kLevels;
}

bool WritesAllowed()
{
    return g_WritesAllowed.load() != 0;
}

bool Refreshing()
{
    return g_SensorRefreshing.load() != 0;
}

bool MouseAway()
{
    return !UsbFinderC_GetDeviceOnLine(g_CurrentPath);
}

void RaiseOfflineNotice()
{
    PostMsg::GetInstance()->EmitMouseOffLineo(0);
}

QString HexPairValue(const QString &hex, int position)
{
    bool ok = false;
    const int value = hex.mid(position, 2).toInt(&ok, 16);
    return QString::number(ok ? value : 0);
}

}  // namespace

SensorDPI::SensorDPI(QWidget *parent)
    : QFrame(parent)
    , ui(new Ui_SensorDPI)
{
    ui->setupUi(this);
    PictureDir = Paths::AppFolder() + QStringLiteral("/Picture/Sensor/");

    ValueButtons = {ui->BlueButton,  ui->BrightRedButton, ui->RedButton,       ui->YellowButton,
                    ui->GreenButton, ui->PurpleButton,    ui->LightBlueButton, ui->LightYellowButton};
    Markers = {ui->BlueButtonA,  ui->BrightRedButtonA, ui->RedButtonA,       ui->YellowButtonA,
               ui->GreenButtonA, ui->PurpleButtonA,    ui->LightBlueButtonA, ui->LightYellowButtonA};

    ConfigIni *config = ConfigIni::GetInstance();
    ButtonColorList = config->ValueList(kOption, QStringLiteral("ButtonColor"));
    ButtonColor = config->ColorTriple(kOption, QStringLiteral("ButtonColor"));

    for (int level = 0; level < kLevels; ++level) {
        SnapPoints[level] = QPoint(kSnapX[level], kSnapY);
        LevelColors[level] = QString::fromLatin1(kLevelColors[level]);
    }

    ValueGroup = new QButtonGroup(this);
    MarkerGroup = new QButtonGroup(this);
    ValueGroup->setExclusive(true);
    MarkerGroup->setExclusive(true);
    ApplyThemeStyles();

    for (QWidget *kept : {static_cast<QWidget *>(ui->horizontalSliderC), static_cast<QWidget *>(ui->spinBoxA),
                          static_cast<QWidget *>(ui->ReduceLevelA), static_cast<QWidget *>(ui->AddLevelA)}) {
        QSizePolicy policy = kept->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        kept->setSizePolicy(policy);
    }
    for (QToolButton *button : ValueButtons) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
    }

    StoreHomeGeometry();
    for (int level = 0; level < kLevels; ++level) {
        ValueGroup->addButton(ValueButtons[level], level);
        MarkerGroup->addButton(Markers[level], level);
    }
    DragArea = QRect(0, 0, 728, 194);
}

SensorDPI::~SensorDPI()
{
    delete ui;
}

void SensorDPI::ApplyThemeStyles()
{
    ConfigIni *config = ConfigIni::GetInstance();
    const QString label = config->ColorTriple(kOption, QStringLiteral("LabelColor"));
    const QString slider = config->ColorTriple(kOption, QStringLiteral("SliderColor"));
    const QString line = config->ColorTriple(kOption, QStringLiteral("LinEditColorSecond"));
    const QString dir = PictureDir;

    ui->label->setStyleSheet(QStringLiteral("QLabel{color: rgb(") + label + QStringLiteral(";);}"));
    ui->label_8->setStyleSheet(
        QStringLiteral("#label_8{border:0px;background-position:center;background-repeat:no-repeat;"
                       "background-image: url(")
        + dir + QStringLiteral("Level.png);}#label_8:hover{border:0px;background-position:center;"
                               "background-repeat:no-repeat;background-image: url(")
        + dir + QStringLiteral("LevelHover.png);}"));

    const ComboTheme::Colors comboColors{config->Color(kOption, QStringLiteral("ComboxTextColor")),
                                         config->Color(kOption, QStringLiteral("ComboxBackGroundColor")),
                                         config->Color(kOption, QStringLiteral("ComboxSelectColor"))};
    ComboTheme::Apply(ui->ChooseEvent, comboColors, dir, ComboTheme::Ending::Plain, true, 5);

    ui->horizontalSliderC->setStyleSheet(
        QStringLiteral("QSlider:groove:horizontal{height:2px;left: 0px;right: 0px;border:0px;border-radius:0px;"
                       "background:rgba(0,0,0,50);}QSlider:handle:horizontal{ width:  5px;height: 50px;  "
                       "margin-top: -20px;margin-left: 0px; margin-bottom: -20px;margin-right: 0px; "
                       "border-image: url(")
        + dir + QStringLiteral("HuaKuai.png);} QSlider:sub-page:horizontal{background-color: rgb(") + slider
        + QStringLiteral(";);}QSlider:add-page:horizontal{background-color: rgb(255, 255, 255);}"));
    ui->spinBoxA->setStyleSheet(QStringLiteral("QSpinBox{background-color: transparent;color: rgb(") + line
                                + QStringLiteral(";);border: 1px  solid gray;}QSpinBox:hover{background-color: "
                                                 "transparent;color: rgb(")
                                + line + QStringLiteral(";);border: 1px  solid gray;}"));
    ui->ReduceLevelA->setStyleSheet(QStringLiteral("#ReduceLevelA{background-image: url(") + dir
                                    + QStringLiteral("Reduce.png);border:0px;background-position:center;"
                                                     "background-repeat:no-repeat;}"));
    ui->AddLevelA->setStyleSheet(QStringLiteral("#AddLevelA{background-image: url(") + dir
                                 + QStringLiteral("Add.png);border:0px;background-position:center;"
                                                  "background-repeat:no-repeat;}"));

    const QString valueStyle =
        QStringLiteral("QToolButton{border:0px;background-position:center;background-repeat:no-repeat;color: rgb(")
        + ButtonColor + QStringLiteral(";);background-image: url(") + dir + QStringLiteral("MinA.png);}");
    for (QToolButton *button : ValueButtons)
        button->setStyleSheet(valueStyle);
    // Every marker starts red; the first fill or reset paints it in its level's colour.
    for (QToolButton *marker : Markers) {
        marker->setStyleSheet(QLatin1Char('#') + marker->objectName()
                              + QStringLiteral("{border:0px;border-radius:3px;background-position:center;"
                                               "background-repeat:no-repeat;background-color: rgb(255, 0, 0);"
                                               "background-image: url(")
                              + dir + QStringLiteral("MinB.png);}"));
    }
}

void SensorDPI::StoreHomeGeometry()
{
    for (int level = 0; level < kLevels; ++level) {
        ButtonHomeRects[level] = ValueButtons[level]->geometry();
        MarkerHomeRects[level] = Markers[level]->geometry();
    }
}

// --- Styles --------------------------------------------------------------------

QString SensorDPI::ValueStyle(bool selected) const
{
    return QStringLiteral("QToolButton{border:0px;border-radius:3px;background-position:center;"
                          "background-repeat:no-repeat;color: rgb(")
        + ButtonColor + QStringLiteral(";);background-image: url(") + PictureDir
        + (selected ? QStringLiteral("MaxA.png") : QStringLiteral("MinA.png")) + QStringLiteral(");}");
}

QString SensorDPI::MarkerStyle(int level, bool selected) const
{
    return QStringLiteral("QToolButton{border:0px;border-radius:3px;background-position:center;"
                          "background-repeat:no-repeat;background-color:rgb(")
        + LevelColors[level] + QStringLiteral(");background-image: url(") + PictureDir
        + (selected ? QStringLiteral("MaxB.png") : QStringLiteral("MinB.png")) + QStringLiteral(");}");
}

void SensorDPI::PaintMarker(int level)
{
    Markers[level]->setStyleSheet(MarkerStyle(level, Markers[level]->isChecked()));
}

// --- Operations for the sensor page ----------------------------------------------

void SensorDPI::SetLabelText(const QString &text)
{
    ui->label->setText(text);
}

void SensorDPI::SetSliderMinimum(int value)
{
    ui->horizontalSliderC->setMinimum(value);
}

void SensorDPI::SetSliderMaximum(int value)
{
    ui->horizontalSliderC->setMaximum(value);
}

void SensorDPI::SetSliderValue(int value)
{
    ui->horizontalSliderC->setValue(value);
}

void SensorDPI::SetSliderEnabled(bool enabled)
{
    ui->horizontalSliderC->setEnabled(enabled);
}

bool SensorDPI::BlockSliderSignals(bool block)
{
    return ui->horizontalSliderC->blockSignals(block);
}

bool SensorDPI::BlockCountSignals(bool block)
{
    return ui->ChooseEvent->blockSignals(block);
}

void SensorDPI::SetSpinValue(int value)
{
    ui->spinBoxA->setValue(value);
}

void SensorDPI::ClearCountItems()
{
    const QSignalBlocker blocker(ui->ChooseEvent);
    ui->ChooseEvent->clear();
}

void SensorDPI::InsertCountItem(int index, const QString &text)
{
    ui->ChooseEvent->insertItem(index, text);
}

void SensorDPI::SetCountIndex(int index)
{
    ui->ChooseEvent->setCurrentIndex(index);
}

void SensorDPI::ShowLevels(int n)
{
    if (!ValidLevel(n))
        return;
    for (int level = 0; level < kLevels; ++level) {
        ValueButtons[level]->setVisible(level <= n);
        Markers[level]->setVisible(level <= n);
    }
}

void SensorDPI::MoveHandle(int k)
{
    if (ValidLevel(k - 1))
        PlaceHandleAt(SnapPoints[k - 1]);
}

void SensorDPI::CheckLevelButton(int level)
{
    if (ValidLevel(level))
        ValueButtons[level]->setChecked(true);
}

void SensorDPI::SetCurrentLevel(int level)
{
    CurrentLevel = level;
}

void SensorDPI::SetLevelCount(int count)
{
    LevelCount = count;
}

void SensorDPI::SetLevelColor(int level, const QString &hex)
{
    if (!ValidLevel(level))
        return;
    LevelColors[level] =
        HexPairValue(hex, 1) + QLatin1Char(',') + HexPairValue(hex, 3) + QLatin1Char(',') + HexPairValue(hex, 5);
}

void SensorDPI::SetLevelText(int level, const QString &text)
{
    if (ValidLevel(level))
        ValueButtons[level]->setText(text);
}

void SensorDPI::HighlightMarker(int level)
{
    for (int i = 0; i < kLevels; ++i) {
        if (i == level) {
            Markers[i]->setStyleSheet(MarkerStyle(i, true));
        } else {
            Markers[i]->setGeometry(MarkerHomeRects[i]);
            Markers[i]->setStyleSheet(MarkerStyle(i, false));
        }
    }
}

void SensorDPI::LoadDefaultLevels()
{
    ConfigIni *config = ConfigIni::GetInstance();
    const QString group = ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex);

    // Three numbers per level; a last group that is not complete is ignored.
    const QStringList colors = config->ValueList(group, QStringLiteral("DPIColor"));
    for (int off = 0; off + 2 < colors.size() && off / 3 < kLevels; off += 3) {
        LevelColors[off / 3] = colors.at(off).trimmed() + QLatin1Char(',') + colors.at(off + 1).trimmed()
            + QLatin1Char(',') + colors.at(off + 2).trimmed();
    }

    const QStringList grades = config->ValueList(group, QStringLiteral("DPIGrade"));
    if (grades.size() < kLevels)
        return;
    for (int level = 0; level < kLevels; ++level) {
        Markers[level]->setGeometry(MarkerHomeRects[level]);
        Markers[level]->setStyleSheet(MarkerStyle(level, false));
        ValueButtons[level]->setText(grades.at(level).trimmed());
    }
}

void SensorDPI::BlockAllSignals(bool block)
{
    for (int level = 0; level < kLevels; ++level) {
        ValueButtons[level]->blockSignals(block);
        Markers[level]->blockSignals(block);
    }
    ui->horizontalSliderC->blockSignals(block);
    ui->spinBoxA->blockSignals(block);
}

void SensorDPI::BlockLevelSignals(bool block)
{
    for (int level = 0; level < kLevels; ++level) {
        ValueButtons[level]->blockSignals(block);
        Markers[level]->blockSignals(block);
    }
    ui->horizontalSliderC->blockSignals(block);
    ui->ChooseEvent->blockSignals(block);
}

void SensorDPI::SetSpinVisible(bool visible)
{
    ui->spinBoxA->setVisible(visible);
}

QString SensorDPI::GetLevelColor(int level) const
{
    return ValidLevel(level) ? LevelColors[level] : QString();
}

QPoint SensorDPI::SnapPoint(int level) const
{
    return ValidLevel(level) ? SnapPoints[level] : QPoint();
}

// --- Selecting a level -----------------------------------------------------------

int SensorDPI::CheckedValueLevel() const
{
    for (int level = 0; level < kLevels; ++level) {
        if (ValueButtons[level]->isChecked())
            return level;
    }
    return -1;
}

int SensorDPI::CheckedMarkerLevel() const
{
    for (int level = 0; level < kLevels; ++level) {
        if (Markers[level]->isChecked())
            return level;
    }
    return -1;
}

int SensorDPI::LevelValue(int level) const
{
    return ValueButtons[level]->text().toInt();
}

void SensorDPI::ValueButtonToggled(int level, bool checked)
{
    const QRect home = ButtonHomeRects[level];
    if (!checked) {
        ValueButtons[level]->setGeometry(home);
        ValueButtons[level]->setStyleSheet(ValueStyle(false));
        return;
    }
    ValueButtons[level]->setGeometry(home.x() - 7, home.y() - 7, 68, 70);
    ValueButtons[level]->setStyleSheet(ValueStyle(true));
    Markers[level]->setChecked(true);
    if (WritesAllowed() && !Refreshing()) {
        CurrentLevel = level;
        PlaceHandleAt(SnapPoints[level]);
        WriteDpiLevel(level);
    }
}

void SensorDPI::ValueButtonClicked(int level)
{
    ShowLevelValue(level);
}

void SensorDPI::MarkerToggled(int level, bool checked)
{
    const QRect home = MarkerHomeRects[level];
    if (!checked) {
        Markers[level]->setGeometry(home);
        Markers[level]->setStyleSheet(MarkerStyle(level, false));
        return;
    }
    Markers[level]->setGeometry(home.x() - 8, home.y() + 6, 66, 14);
    ValueButtons[level]->setChecked(true);
    Markers[level]->setStyleSheet(MarkerStyle(level, true));
    ShowLevelValue(level);
}

void SensorDPI::ShowLevelValue(int level)
{
    const int value = LevelValue(level);
    {
        const QSignalBlocker blocker(ui->horizontalSliderC);
        ui->horizontalSliderC->setValue(value);
    }
    const int snapped = Snap(value);
    ValueButtons[level]->setText(QString::number(snapped));
    ui->spinBoxA->setValue(snapped);
}

// --- The current level's value ---------------------------------------------------

int SensorDPI::Snap(int value)
{
    const DpiSnap snap = SnapDpi(value);
    if (snap.pageStep > 0)
        ui->horizontalSliderC->setPageStep(snap.pageStep);
    return snap.value;
}

void SensorDPI::on_horizontalSliderC_valueChanged(int value)
{
    if (WritesAllowed() && !Refreshing() && MouseAway()) {
        ui->spinBoxA->setValue(value);
        RaiseOfflineNotice();
        return;
    }
    const int snapped = Snap(value);
    const int level = CheckedValueLevel();
    if (level >= 0)
        ValueButtons[level]->setText(QString::number(snapped));
    ui->spinBoxA->setValue(snapped);
    if (WritesAllowed() && !Refreshing() && g_ApplyingSettings.load() == 0)
        SendLevelDpi(level, snapped);
}

void SensorDPI::on_horizontalSliderC_sliderMoved(int value)
{
    ui->spinBoxA->setValue(Snap(value));
}

// --- Step buttons ------------------------------------------------------------------

int SensorDPI::StepUp(int value) const
{
    const QList<DpiRange> ranges = CurrentDpiRanges();
    for (int k = 0; k < ranges.size(); ++k) {
        const DpiRange &range = ranges.at(k);
        const bool last = k + 1 == ranges.size();
        if (last)
            return value >= range.min && value <= range.max ? value + range.step : value;
        if (value >= range.min && value < range.max)
            return value + range.step;
        if (value >= range.max && value < ranges.at(k + 1).min)
            return ranges.at(k + 1).min;
    }
    return value;
}

int SensorDPI::StepDown(int value) const
{
    const QList<DpiRange> ranges = CurrentDpiRanges();
    for (int k = 0; k < ranges.size(); ++k) {
        const DpiRange &range = ranges.at(k);
        if (value >= range.min && value <= range.max)
            return value - range.step;
        // Between two ranges the next lower grid value is the lower range's maximum.
        if (k + 1 < ranges.size() && value > range.max && value < ranges.at(k + 1).min)
            return range.max;
    }
    return value;
}

bool SensorDPI::StepButtonsMayRun()
{
    if (WritesAllowed() && MouseAway()) {
        RaiseOfflineNotice();
        return false;
    }
    return true;
}

// The slider only reports a value it did not hold already. When the slider
// still stands on the raw value that the step lands on (the spin box shows it
// snapped), the value handler is run directly so the step is not lost.
void SensorDPI::ApplyStep(int value)
{
    QSlider *slider = ui->horizontalSliderC;
    const int bounded = qBound(slider->minimum(), value, slider->maximum());
    if (bounded == slider->value() && bounded != ui->spinBoxA->value() && !slider->signalsBlocked())
        on_horizontalSliderC_valueChanged(bounded);
    else
        slider->setValue(value);
}

void SensorDPI::on_AddLevelA_clicked()
{
    if (StepButtonsMayRun())
        ApplyStep(StepUp(ui->spinBoxA->value()));
}

void SensorDPI::on_ReduceLevelA_clicked()
{
    if (StepButtonsMayRun())
        ApplyStep(StepDown(ui->spinBoxA->value()));
}

// --- Colour ------------------------------------------------------------------------

// The colour dialog wears the program's dark look; its own widgets are Qt's.
void SensorDPI::ThemeColorDialog()
{
    ConfigIni *config = ConfigIni::GetInstance();
    const QString label = config->ColorTriple(kOption, QStringLiteral("LabelColor"));
    const QString accent = config->ColorTriple(kOption, QStringLiteral("SliderColor"));
    const QString field = config->ColorTriple(kOption, QStringLiteral("ComboxBackGroundColor"));
    ColorDialog->setOption(QColorDialog::DontUseNativeDialog);
    ColorDialog->setStyleSheet(
        QStringLiteral("QColorDialog{background-color: rgb(28, 29, 34);}"
                       "QColorDialog QLabel, QColorDialog QCheckBox{color: rgb(%1);}"
                       "QColorDialog QLineEdit, QColorDialog QSpinBox{background-color: rgb(%3); color: rgb(%1);"
                       "border: 1px solid rgb(70, 72, 80); selection-background-color: rgb(%2);}"
                       "QColorDialog QPushButton{background-color: rgb(%3); color: rgb(%1);"
                       "border: 1px solid rgb(70, 72, 80); border-radius: 3px; padding: 4px 14px;}"
                       "QColorDialog QPushButton:hover{border-color: rgb(%2);}"
                       "QColorDialog QPushButton:pressed, QColorDialog QPushButton:default{border-color: rgb(%2);}")
            .arg(label, accent, field));
}

QColor SensorDPI::LevelColor(int level) const
{
    const QStringList parts = LevelColors[level].split(QLatin1Char(','));
    return QColor(parts.value(0).toInt(), parts.value(1).toInt(), parts.value(2).toInt());
}

// Opens at the level's own colour, with Qt's texts in the chosen language.
void SensorDPI::OpenColorDialog(int level)
{
    // Built on first use and kept with the panel.
    if (!ColorDialog) {
        ColorDialog = new QColorDialog(this);
        connect(ColorDialog, &QColorDialog::colorSelected, this, &SensorDPI::SetColor);
        ThemeColorDialog();
    }
    QEvent languageChange(QEvent::LanguageChange);
    QCoreApplication::sendEvent(ColorDialog, &languageChange);
    if (ValidLevel(level))
        ColorDialog->setCurrentColor(LevelColor(level));
    ColorDialog->show();
}

void SensorDPI::SetColor(const QColor &color)
{
    const int level = CheckedMarkerLevel();
    if (level < 0)
        return;
    LevelColors[level] = QStringLiteral("%1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue());
    if (WritesAllowed() && !Refreshing())
        WriteDpiLevelColor(level, color.red(), color.green(), color.blue());
    PaintMarker(level);
}

// --- Level count -------------------------------------------------------------------

void SensorDPI::on_ChooseEvent_currentIndexChanged(int index)
{
    if (Refreshing() || !ValidLevel(index))
        return;
    SwapFrom = CurrentLevel;
    const int old = CurrentLevel;
    if (old > index) {
        if (ValidLevel(old))
            ExchangeWithLastLevel(old, index);
        else
            SelectLastLevelAfterBadCurrent(index);
    }
    ShowLevels(index);
    WriteLevelCount(index + 1);
}

// The current level lies beyond the new count: it trades places with the new
// last level, which becomes current, so the level in use stays in use.
void SensorDPI::ExchangeWithLastLevel(int old, int last)
{
    const QString oldColor = LevelColors[old];
    const int oldValue = LevelValue(old);
    const QString lastColor = LevelColors[last];
    const int lastValue = LevelValue(last);

    LevelColors[old] = lastColor;
    PaintMarker(old);
    ValueButtons[old]->setText(QString::number(lastValue));

    LevelColors[last] = oldColor;
    PaintMarker(last);
    PlaceHandleAt(SnapPoints[last]);
    ValueButtons[last]->setText(QString::number(oldValue));
    ValueButtons[last]->setChecked(true);

    LevelCount = last + 1;
    CurrentLevel = last;

    if (WritesAllowed()) {
        const FlashDataMap image = ReadImage();
        const DpiLevelRecord lastRecord = image.DpiLevels[last];
        const DpiLevelRecord oldRecord = image.DpiLevels[old];
        WriteDpiLevelSwap(&lastRecord, &oldRecord, last, old, last);
    }
}

// A current level outside 0-7 (an image byte taken unchecked) has no level to
// exchange: the new last level simply becomes current.
void SensorDPI::SelectLastLevelAfterBadCurrent(int last)
{
    CurrentLevel = last;
    LevelCount = last + 1;
    PlaceHandleAt(SnapPoints[last]);
    if (!ValueButtons[last]->isChecked())
        ValueButtons[last]->setChecked(true);
    else if (WritesAllowed())
        WriteDpiLevel(last);
}

void SensorDPI::WriteLevelCount(int count)
{
    if (WritesAllowed())
        WriteDpiLevelCount(count);
}

// --- The current-level handle --------------------------------------------------------

void SensorDPI::PlaceHandleAt(const QPoint &point)
{
    ui->label_8->move(point);
}

void SensorDPI::mousePressEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton)
        return;
    if (ui->label_8->geometry().contains(event->pos())) {
        Dragging = true;
        GrabOffset = event->pos() - ui->label_8->pos();
    }
}

void SensorDPI::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() == Qt::NoButton || !Dragging)
        return;
    if (DragArea.contains(event->pos()))
        PlaceHandleAt(event->pos() - GrabOffset);
    else
        mouseReleaseEvent(event);
}

void SensorDPI::mouseReleaseEvent(QMouseEvent *event)
{
    ReleaseHandle(event->pos());
}

void SensorDPI::ReleaseHandle(const QPoint &pos)
{
    Dragging = false;
    const bool currentValid = ValidLevel(CurrentLevel);
    const QPoint home = currentValid ? SnapPoints[CurrentLevel] : QPoint(0, 0);

    if (!ui->label_8->geometry().contains(pos)) {
        PlaceHandleAt(home);
        return;
    }
    const int x = pos.x();
    if (x < kDropMinX || x > kDropMaxX) {
        if (currentValid)
            PlaceHandleAt(home);
        return;
    }
    const int countIndex = ui->ChooseEvent->currentIndex();
    if (countIndex >= 0 && countIndex <= 6 && x > kCountLimitX[countIndex]) {
        // Beyond the last level in use: back, and the unchanged level again.
        PlaceHandleAt(home);
        if (WritesAllowed())
            WriteDpiLevel(CurrentLevel);
        return;
    }
    const int levels = LevelsForDrop(x - home.x());
    const int target = CurrentLevel + levels;
    if (levels == 0 || !ValidLevel(target)) {
        PlaceHandleAt(home);
        return;
    }
    PlaceHandleAt(QPoint(home.x() + kLevelPitch * levels, home.y()));
    if (!SelectDraggedLevel(target)) {
        PlaceHandleAt(home);
        return;
    }
    if (WritesAllowed())
        WriteDpiLevel(CurrentLevel);
}

bool SensorDPI::SelectDraggedLevel(int level)
{
    if (WritesAllowed() && MouseAway() && !Refreshing()) {
        RaiseOfflineNotice();
        return false;
    }
    if (!ValidLevel(level))
        return true;
    CurrentLevel = level;
    ValueButtons[level]->setChecked(true);
    return true;
}

// --- Named slots -------------------------------------------------------------------

void SensorDPI::on_BlueButton_toggled(bool checked) { ValueButtonToggled(0, checked); }
void SensorDPI::on_BlueButton_clicked() { ValueButtonClicked(0); }
void SensorDPI::on_BrightRedButton_toggled(bool checked) { ValueButtonToggled(1, checked); }
void SensorDPI::on_BrightRedButton_clicked() { ValueButtonClicked(1); }
void SensorDPI::on_RedButton_toggled(bool checked) { ValueButtonToggled(2, checked); }
void SensorDPI::on_RedButton_clicked() { ValueButtonClicked(2); }
void SensorDPI::on_YellowButton_toggled(bool checked) { ValueButtonToggled(3, checked); }
void SensorDPI::on_YellowButton_clicked() { ValueButtonClicked(3); }
void SensorDPI::on_GreenButton_toggled(bool checked) { ValueButtonToggled(4, checked); }
void SensorDPI::on_GreenButton_clicked() { ValueButtonClicked(4); }
void SensorDPI::on_PurpleButton_toggled(bool checked) { ValueButtonToggled(5, checked); }
void SensorDPI::on_PurpleButton_clicked() { ValueButtonClicked(5); }
void SensorDPI::on_LightBlueButton_toggled(bool checked) { ValueButtonToggled(6, checked); }
void SensorDPI::on_LightBlueButton_clicked() { ValueButtonClicked(6); }
void SensorDPI::on_LightYellowButton_toggled(bool checked) { ValueButtonToggled(7, checked); }
void SensorDPI::on_LightYellowButton_clicked() { ValueButtonClicked(7); }

void SensorDPI::on_BlueButtonA_toggled(bool checked) { MarkerToggled(0, checked); }
void SensorDPI::on_BlueButtonA_clicked() { OpenColorDialog(0); }
void SensorDPI::on_BrightRedButtonA_toggled(bool checked) { MarkerToggled(1, checked); }
void SensorDPI::on_BrightRedButtonA_clicked() { OpenColorDialog(1); }
void SensorDPI::on_RedButtonA_toggled(bool checked) { MarkerToggled(2, checked); }
void SensorDPI::on_RedButtonA_clicked() { OpenColorDialog(2); }
void SensorDPI::on_YellowButtonA_toggled(bool checked) { MarkerToggled(3, checked); }
void SensorDPI::on_YellowButtonA_clicked() { OpenColorDialog(3); }
void SensorDPI::on_GreenButtonA_toggled(bool checked) { MarkerToggled(4, checked); }
void SensorDPI::on_GreenButtonA_clicked() { OpenColorDialog(4); }
void SensorDPI::on_PurpleButtonA_toggled(bool checked) { MarkerToggled(5, checked); }
void SensorDPI::on_PurpleButtonA_clicked() { OpenColorDialog(5); }
void SensorDPI::on_LightBlueButtonA_toggled(bool checked) { MarkerToggled(6, checked); }
void SensorDPI::on_LightBlueButtonA_clicked() { OpenColorDialog(6); }
void SensorDPI::on_LightYellowButtonA_toggled(bool checked) { MarkerToggled(7, checked); }
void SensorDPI::on_LightYellowButtonA_clicked() { OpenColorDialog(7); }
