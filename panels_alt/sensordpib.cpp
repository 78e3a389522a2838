#include "sensordpib.h"

#include "ui_sensordpib.h"

#include "globals.h"
#include "hidusb.h"
#include "paneltheme.h"
#include "postmsg.h"
#include "sensorcoding.h"
#include "sensormodel.h"
#include "writers.h"

#include <QButtonGroup>
#include <QColorDialog>

namespace {

const char *const kDefaultColors[SensorDPIB::kLevels] = {"#ff0000", "#ffff00", "#ffaa00", "#00ff00",
                                                         "#aaffff", "#aa55ff", "#9f0000", "#00d4d4"};
const char *const kPresetColors[SensorDPIB::kLevels] = {"#ff0000", "#00ffff", "#00ff00", "#ffffff",
                                                        "#00ffff", "#ff557d", "#ff00ff", "#00ffff"};

bool ValidLevel(int level)
{
    return level >= 0 && level < SensorDPIB::kLevels;
}

bool MouseAway()
{
    return !UsbFinderC_GetDeviceOnLine(g_CurrentPath);
}

// Changes made with writes allowed while the mouse is away go nowhere: the
// handlers that test for it say so and stop.
bool RefusedOffline()
{
    if (g_WritesAllowed && !g_SensorRefreshing && MouseAway()) {
        PostMsg::GetInstance()->EmitMouseOffLineo(0);
        return true;
    }
    return false;
}

QString ButtonStyle(const QString &colour)
{
    return "QToolButton{border:0px;border-radius:3px;background-position:center;background-repeat:no-repeat;"
           "background-color:"
        + colour + ";}";
}

int HexComponent(const QString &hex, int position)
{
    return hex.mid(position, 2).toInt(nullptr, 16);
}

}  // namespace

SensorDPIB::SensorDPIB(QWidget *parent) : QFrame(parent), ui(new Ui::SensorDPIB)
{
    ui->setupUi(this);
    PictureDir = PanelTheme::PictureDir("Sensor");
    Boxes = {ui->MA, ui->MB, ui->MC, ui->MD, ui->ME, ui->MF, ui->MG, ui->MH};
    ColourButtons = {ui->BlueButtonA,  ui->BrightRedButtonA, ui->RedButtonA,       ui->YellowButtonA,
                     ui->GreenButtonA, ui->PurpleButtonA,    ui->LightBlueButtonA, ui->LightYellowButtonA};
    Sliders = {ui->horizontalSliderA, ui->horizontalSliderB, ui->horizontalSliderC, ui->horizontalSliderD,
               ui->horizontalSliderE, ui->horizontalSliderF, ui->horizontalSliderG, ui->horizontalSliderH};
    Spins = {ui->spinBoxA, ui->spinBoxB, ui->spinBoxC, ui->spinBoxD,
             ui->spinBoxE, ui->spinBoxF, ui->spinBoxG, ui->spinBoxH};
    for (int level = 0; level < kLevels; ++level)
        LevelColors[level] = QString::fromLatin1(kDefaultColors[level]);
    ApplyTheme();

    LevelGroup = new QButtonGroup(this);
    LevelGroup->setExclusive(true);
    for (int level = 0; level < kLevels; ++level)
        LevelGroup->addButton(Boxes[level], level);
    ColorDialog = new QColorDialog(this);
    connect(ColorDialog, &QColorDialog::colorSelected, this, &SensorDPIB::SetColor);
    PanelTheme::DropFrameLine(this);
}

SensorDPIB::~SensorDPIB()
{
    delete ui;
}

void SensorDPIB::ApplyTheme()
{
    ui->label->setStyleSheet(PanelTheme::LabelStyleSheet());
    PanelTheme::ApplyComboTheme(ui->ChooseEvent, PictureDir, ComboTheme::Ending::Plain, true, 5);
    const QString sliderSheet = PanelTheme::SliderStyleSheet(PictureDir);
    const QString spinSheet = PanelTheme::FramedSpinStyleSheet();
    const QString boxSheet = PanelTheme::CheckBoxStyleSheet(PictureDir);
    for (int level = 0; level < kLevels; ++level) {
        Sliders[level]->setStyleSheet(sliderSheet);
        Spins[level]->setStyleSheet(spinSheet);
        Boxes[level]->setStyleSheet(boxSheet);
        // Red until the host or the user repaints it, whatever the level's colour.
        QToolButton *button = ColourButtons[level];
        button->setStyleSheet("#" + button->objectName()
                              + "{border:0px;border-radius:3px;background-color: rgb(255, 0, 0);}");
    }
}

void SensorDPIB::RestyleButton(int level)
{
    ColourButtons[level]->setStyleSheet(ButtonStyle(LevelColors[level]));
}

QString SensorDPIB::GetLevelColor(int level) const
{
    return ValidLevel(level) ? LevelColors[level] : QString();
}

// --- Host operations ---------------------------------------------------------------

bool SensorDPIB::BlockCountSignals(bool block)
{
    return ui->ChooseEvent->blockSignals(block);
}

void SensorDPIB::ClearCountItems()
{
    const bool wasBlocked = ui->ChooseEvent->blockSignals(true);
    ui->ChooseEvent->clear();
    ui->ChooseEvent->blockSignals(wasBlocked);
}

void SensorDPIB::InsertCountItem(int index, const QString &text)
{
    ui->ChooseEvent->insertItem(index, text);
}

void SensorDPIB::SetCountIndex(int index)
{
    ui->ChooseEvent->setCurrentIndex(index);
}

void SensorDPIB::BlockSliderSignals(bool block)
{
    for (QSlider *slider : Sliders)
        slider->blockSignals(block);
}

void SensorDPIB::SetSliderEnabled(bool enabled)
{
    for (QSlider *slider : Sliders)
        slider->setEnabled(enabled);
}

void SensorDPIB::SetSliderMinimum(int value)
{
    for (QSlider *slider : Sliders)
        slider->setMinimum(value);
}

void SensorDPIB::SetSliderMaximum(int value)
{
    for (QSlider *slider : Sliders)
        slider->setMaximum(value);
}

void SensorDPIB::SetSliderValue(int value, int level)
{
    if (ValidLevel(level))
        Sliders[level]->setValue(value);
}

void SensorDPIB::SetSpinValue(int value, int level)
{
    if (ValidLevel(level))
        Spins[level]->setValue(value);
}

void SensorDPIB::SetLevelText(int level, const QString &text)
{
    if (!ValidLevel(level))
        return;
    const int value = text.toInt();
    Sliders[level]->setValue(value);
    Spins[level]->setValue(value);
}

void SensorDPIB::SetLevelColor(int level, const QString &colour)
{
    if (ValidLevel(level))
        LevelColors[level] = colour;
}

void SensorDPIB::UpdateBlueButton()
{
    RestyleButton(0);
}

void SensorDPIB::UpdateBrightRedButton()
{
    RestyleButton(1);
}

void SensorDPIB::UpdateRedButton()
{
    RestyleButton(2);
}

void SensorDPIB::UpdateYellowButton()
{
    RestyleButton(3);
}

void SensorDPIB::UpdateGreenButton()
{
    RestyleButton(4);
}

void SensorDPIB::UpdatePurpleButton()
{
    RestyleButton(5);
}

void SensorDPIB::UpdateLightBlueButton()
{
    RestyleButton(6);
}

void SensorDPIB::UpdateLightYellowButton()
{
    RestyleButton(7);
}

void SensorDPIB::UpdateAllButtons()
{
    for (int level = 0; level < kLevels; ++level)
        RestyleButton(level);
}

void SensorDPIB::ApplyPresetButtonColours()
{
    for (int level = 0; level < kLevels; ++level)
        ColourButtons[level]->setStyleSheet(ButtonStyle(QString::fromLatin1(kPresetColors[level])));
}

void SensorDPIB::CheckLevelButton(int level)
{
    if (ValidLevel(level))
        Boxes[level]->setChecked(true);
}

void SensorDPIB::SelectLevel(int level)
{
    if (RefusedOffline())
        return;
    SkipNextSend = false;
    CheckLevelButton(level);
}

void SensorDPIB::SetCurrentLevel(int level)
{
    CurrentLevel = level;
}

void SensorDPIB::SetLevelCount(int count)
{
    LevelCount = count;
}

void SensorDPIB::ShowLevels(int n)
{
    if (!ValidLevel(n))
        return;
    for (int level = 0; level < kLevels; ++level) {
        const bool shown = level <= n;
        Boxes[level]->setVisible(shown);
        ColourButtons[level]->setVisible(shown);
        Sliders[level]->setVisible(shown);
        Spins[level]->setVisible(shown);
    }
}

void SensorDPIB::SetLabelText(const QString &text)
{
    ui->label->setText(text);
}

// --- A level's value ---------------------------------------------------------------

void SensorDPIB::SliderChanged(int level, int value)
{
    if (g_WritesAllowed && !g_SensorRefreshing && MouseAway()) {
        Spins[level]->setValue(value);
        PostMsg::GetInstance()->EmitMouseOffLineo(0);
        return;
    }
    const DpiSnap snap = SnapDpi(value);
    if (snap.pageStep > 0)
        Sliders[level]->setPageStep(snap.pageStep);
    // The slider stays where it was put; only the number shows the grid value.
    Spins[level]->setValue(snap.value);
    if (!SkipNextSend) {
        SkipNextSend = true;
        return;
    }
    if (!g_ApplyingSettings)
        SendLevelDpi(level, snap.value);
}

void SensorDPIB::on_horizontalSliderA_valueChanged(int value)
{
    SliderChanged(0, value);
}

void SensorDPIB::on_horizontalSliderB_valueChanged(int value)
{
    SliderChanged(1, value);
}

void SensorDPIB::on_horizontalSliderC_valueChanged(int value)
{
    SliderChanged(2, value);
}

void SensorDPIB::on_horizontalSliderD_valueChanged(int value)
{
    SliderChanged(3, value);
}

void SensorDPIB::on_horizontalSliderE_valueChanged(int value)
{
    SliderChanged(4, value);
}

void SensorDPIB::on_horizontalSliderF_valueChanged(int value)
{
    SliderChanged(5, value);
}

void SensorDPIB::on_horizontalSliderG_valueChanged(int value)
{
    SliderChanged(6, value);
}

void SensorDPIB::on_horizontalSliderH_valueChanged(int value)
{
    SliderChanged(7, value);
}

// --- The current level ---------------------------------------------------------------

void SensorDPIB::LevelToggled(int level, bool checked)
{
    if (!checked || !g_WritesAllowed || g_SensorRefreshing)
        return;
    CurrentLevel = level;
    WriteDpiLevel(level);
}

void SensorDPIB::on_MA_toggled(bool checked)
{
    LevelToggled(0, checked);
}

void SensorDPIB::on_MB_toggled(bool checked)
{
    LevelToggled(1, checked);
}

void SensorDPIB::on_MC_toggled(bool checked)
{
    LevelToggled(2, checked);
}

void SensorDPIB::on_MD_toggled(bool checked)
{
    LevelToggled(3, checked);
}

void SensorDPIB::on_ME_toggled(bool checked)
{
    LevelToggled(4, checked);
}

void SensorDPIB::on_MF_toggled(bool checked)
{
    LevelToggled(5, checked);
}

void SensorDPIB::on_MG_toggled(bool checked)
{
    LevelToggled(6, checked);
}

void SensorDPIB::on_MH_toggled(bool checked)
{
    LevelToggled(7, checked);
}

// --- Colours ---------------------------------------------------------------------------

void SensorDPIB::ColourButtonClicked(int level)
{
    ColorTarget = level;
    ColorDialog->show();
}

void SensorDPIB::SetColor(const QColor &color)
{
    if (!ValidLevel(ColorTarget))
        return;
    const QString hex = QStringLiteral("#%1%2%3")
                            .arg(color.red(), 2, 16, QLatin1Char('0'))
                            .arg(color.green(), 2, 16, QLatin1Char('0'))
                            .arg(color.blue(), 2, 16, QLatin1Char('0'));
    LevelColors[ColorTarget] = hex;
    if (g_WritesAllowed && !g_SensorRefreshing)
        WriteDpiLevelColor(ColorTarget, HexComponent(hex, 1), HexComponent(hex, 3), HexComponent(hex, 5));
    RestyleButton(ColorTarget);
}

void SensorDPIB::on_BlueButtonA_clicked()
{
    ColourButtonClicked(0);
}

void SensorDPIB::on_BrightRedButtonA_clicked()
{
    ColourButtonClicked(1);
}

void SensorDPIB::on_RedButtonA_clicked()
{
    ColourButtonClicked(2);
}

void SensorDPIB::on_YellowButtonA_clicked()
{
    ColourButtonClicked(3);
}

void SensorDPIB::on_GreenButtonA_clicked()
{
    ColourButtonClicked(4);
}

void SensorDPIB::on_PurpleButtonA_clicked()
{
    ColourButtonClicked(5);
}

void SensorDPIB::on_LightBlueButtonA_clicked()
{
    ColourButtonClicked(6);
}

void SensorDPIB::on_LightYellowButtonA_clicked()
{
    ColourButtonClicked(7);
}

// --- The level count -----------------------------------------------------------------

void SensorDPIB::on_ChooseEvent_currentIndexChanged(int index)
{
    if (g_SensorRefreshing)
        return;
    // Item i means i + 1 levels; an emptied box (-1) or an item past the
    // eighth names no count.
    if (!ValidLevel(index))
        return;
    // A current level beyond the new count moves onto the new last level. A
    // current level outside 0-7 (set by a host from a bad image byte) has no
    // row to move.
    if (index < CurrentLevel && ValidLevel(CurrentLevel))
        MoveCurrentLevelTo(index, CurrentLevel);
    ShowLevels(index);
    if (g_WritesAllowed)
        WriteDpiLevelCount(index + 1);
}

// Rows `last` and `current` trade colours and values, `last` becomes the
// current level, and the mouse's records trade places with them.
void SensorDPIB::MoveCurrentLevelTo(int last, int current)
{
    std::array<bool, kLevels> wasBlocked{};
    for (int level = 0; level < kLevels; ++level)
        wasBlocked[level] = Sliders[level]->blockSignals(true);

    std::swap(LevelColors[last], LevelColors[current]);
    const int lastValue = Spins[last]->value();
    const int currentValue = Spins[current]->value();
    Sliders[last]->setValue(currentValue);
    Spins[last]->setValue(currentValue);
    Sliders[current]->setValue(lastValue);
    Spins[current]->setValue(lastValue);
    RestyleButton(last);
    RestyleButton(current);

    Boxes[last]->setChecked(true);
    LevelCount = last + 1;
    CurrentLevel = last;
    if (g_WritesAllowed) {
        const FlashDataMap image = ReadImage();
        const DpiLevelRecord lastRecord = image.DpiLevels[last];
        const DpiLevelRecord currentRecord = image.DpiLevels[current];
        WriteDpiLevelSwap(&lastRecord, &currentRecord, last, current, last);
    }

    for (int level = 0; level < kLevels; ++level)
        Sliders[level]->blockSignals(wasBlocked[level]);
}
