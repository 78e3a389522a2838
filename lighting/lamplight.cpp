#include "lamplight.h"

#include "ui_lamplight.h"

#include "globals.h"
#include "hidusb.h"
#include "languagereader.h"
#include "paneltheme.h"
#include "postmsg.h"
#include "screencolor.h"
#include "sleeptime.h"
#include "stopclosetime.h"
#include "wheelguard.h"
#include "writers.h"

#include <QMouseEvent>

namespace {

const QColor kPresets[LampLight::kPresetCount] = {
    {255, 0, 0},    {0, 255, 255},  {0, 255, 0},    {255, 0, 255},  {255, 255, 0},
    {255, 80, 0},   {0, 0, 255},    {227, 0, 127},  {46, 166, 223}, {96, 25, 133},
    {255, 255, 255}, {139, 178, 36}, {255, 155, 51}, {208, 113, 173}};

constexpr int kModeVisibleItems = 5;
constexpr int kResetMode = 1;
constexpr int kResetBrightness = 10;
constexpr int kResetSpeed = 8;

// Which rows a lighting mode shows. A hidden slider leaves its grey bar.
struct ModeRows
{
    bool customColor;
    bool brightness;
    bool speed;
};

constexpr ModeRows kModeRows[LampLight::kModeCount] = {
    {false, false, false},  // off
    {false, true, true},    // colour flow
    {true, true, true},     // single-colour breathing
    {true, true, false},    // mixed colour, steady
    {false, true, true},    // neon
    {false, true, true},    // mixed-colour breathing
};

bool IsMode(int index)
{
    return index >= 0 && index < LampLight::kModeCount;
}

bool MayWrite()
{
    return g_WritesAllowed && !g_LightRefreshing;
}

// Sets g_LightRefreshing for the life of the object.
class RefreshScope
{
public:
    RefreshScope() { g_LightRefreshing = 1; }
    ~RefreshScope() { g_LightRefreshing = 0; }
    RefreshScope(const RefreshScope &) = delete;
    RefreshScope &operator=(const RefreshScope &) = delete;
};

QString LabelSheet(const QString &color)
{
    return "QLabel{color: rgb(" + color + ";);}";
}

}  // namespace

QColor LampLight::PresetColor(int index)
{
    return (index >= 0 && index < kPresetCount) ? kPresets[index] : QColor();
}

LampLight::LampLight(QWidget *parent) : QWidget(parent), ui(new Ui::LampLight)
{
    ui->setupUi(this);
    m_pictureDir = PanelTheme::PictureDir("Light");
    ui->line->hide();
    ui->line_2->hide();
    // Only the layout of the first mode: building the page writes nothing.
    ShowModeWidgets(ui->LightMod->currentIndex());
    ApplyTheme();
    SlotChangeLanguage(CurrentLanguageIndex());
    WheelGuard::InstallOn(this);
}

LampLight::~LampLight()
{
    delete ui;
}

void LampLight::ApplyTheme()
{
    const QString &dir = m_pictureDir;
    // The page lies on the device page's dark background without a frame line.
    ui->LightPage->setStyleSheet(ui->LightPage->styleSheet() + QStringLiteral("#LightPage{border:0px;}"));
    PanelTheme::ApplyComboTheme(ui->LightMod, dir, ComboTheme::Ending::Plain, true, kModeVisibleItems);

    const QString label = PanelTheme::Triple("LabelColor");
    for (QLabel *caption : {ui->label, ui->label_2, ui->label_3, ui->label_4, ui->label_5, ui->label_6, ui->label_8,
                            ui->label_13})
        caption->setStyleSheet(LabelSheet(label));
    const QString displaySheet = "QSpinBox{color: rgb(" + label + ";);background-color: transparent;border: 0px;}";
    ui->LightSpinBox_2->setStyleSheet(displaySheet);
    ui->SpeedSpinBox_2->setStyleSheet(displaySheet);

    const QString channelSheet = "QSpinBox{background-color: rgb(0, 0, 0);color: rgb("
        + PanelTheme::Triple("LinEditColorSecond")
        + ");border: 1px solid gray;}QSpinBox:hover{background-color: transparent;}";
    for (QSpinBox *box : {ui->RSpinBox, ui->GSpinBox, ui->BSpinBox})
        box->setStyleSheet(channelSheet);

    const QString sliderSheet =
        "QSlider:groove:horizontal{height:2px;left: 0px;right: 0px;border:0px;border-radius:6px;"
        "background:rgba(0,0,0,50);}QSlider:handle:horizontal{ width:  5px;height: 50px;  margin-top: -20px;"
        "margin-left: 0px; margin-bottom: -20px;margin-right: 0px; border-image: url("
        + dir + "HuaKuai.png);} QSlider:sub-page:horizontal{background-color: rgb("
        + PanelTheme::Triple("SliderColor")
        + ";);}QSlider:add-page:horizontal{background-color: rgb(255, 255, 255);}";
    ui->horizontalLight->setStyleSheet(sliderSheet);
    ui->horizontalSpeed->setStyleSheet(sliderSheet);

    ui->RippeControl->setStyleSheet(
        "QToolButton{color: rgb(255, 255, 255);border: 0px;background-position: center;"
        "background-repeat: no-repeat;background-image: url("
        + dir + "Close.png);}QToolButton:checked{background-image: url(" + dir + "Open.png);}");
    ui->label_7->setStyleSheet("QLabel{background-position: center;background-repeat: no-repeat;"
                               "background-image: url("
                               + dir + "ColorBoard.png);}");
    for (QToolButton *minus : {ui->ReduceR, ui->ReduceG, ui->ReduceB})
        minus->setStyleSheet("QToolButton{border: 0px;background-image: url(" + dir + "Reduce.png);}");
    for (QToolButton *plus : {ui->AddR, ui->AddG, ui->AddB})
        plus->setStyleSheet("QToolButton{border: 0px;background-image: url(" + dir + "Add.png);}");
    ui->labelPreView->setStyleSheet("QLabel{background-image: url(" + dir + "PreviewColor.png);}");

    const QList<QToolButton *> presets = PresetButtons();
    for (int i = 0; i < presets.size(); ++i) {
        const QString picture = QStringLiteral("Color") + QChar('A' + i) + QStringLiteral(".png");
        presets.at(i)->setStyleSheet("QToolButton{border: 0px;background-image: url(" + dir + picture + ");}");
    }
}

QList<QToolButton *> LampLight::PresetButtons() const
{
    return {ui->toolButtonColorA, ui->toolButtonColorB, ui->toolButtonColorC, ui->toolButtonColorD,
            ui->toolButtonColorE, ui->toolButtonColorF, ui->toolButtonColorG, ui->toolButtonColorH,
            ui->toolButtonColorI, ui->toolButtonColorJ, ui->toolButtonColorK, ui->toolButtonColorL,
            ui->toolButtonColorM, ui->toolButtonColorN};
}

QList<QWidget *> LampLight::CustomColorWidgets() const
{
    QList<QWidget *> widgets{ui->label_6, ui->label_7,  ui->label_8, ui->labelPreView, ui->label_11,
                             ui->label_10, ui->label_12, ui->ReduceR, ui->ReduceG,      ui->ReduceB,
                             ui->RSpinBox, ui->GSpinBox, ui->BSpinBox, ui->AddR,        ui->AddG,
                             ui->AddB,    ui->label_13};
    for (QToolButton *preset : PresetButtons())
        widgets << preset;
    return widgets;
}

void LampLight::ShowModeWidgets(int index)
{
    if (!IsMode(index))
        return;
    const ModeRows rows = kModeRows[index];
    for (QWidget *widget : CustomColorWidgets())
        widget->setVisible(rows.customColor);
    ui->horizontalLight->setVisible(rows.brightness);
    ui->LightSpinBox_2->setVisible(rows.brightness);
    ui->horizontalSpeed->setVisible(rows.speed);
    ui->SpeedSpinBox_2->setVisible(rows.speed);
    ui->line->setVisible(!rows.brightness);
    ui->line_2->setVisible(!rows.speed);
}

void LampLight::on_LightMod_currentIndexChanged(int index)
{
    if (IsMode(index) && MayWrite())
        WriteLightMode(index);
    ShowModeWidgets(index);
}

bool LampLight::PassOfflineGuard()
{
    if (!g_WritesAllowed || g_LightRefreshing)
        return true;
    if (UsbFinderC_GetDeviceOnLine(g_CurrentPath))
        return true;
    PostMsg::GetInstance()->EmitMouseOffLineo(0);
    return false;
}

QSpinBox *LampLight::ChannelBox(Channel channel) const
{
    switch (channel) {
    case Channel::Red:
        return ui->RSpinBox;
    case Channel::Green:
        return ui->GSpinBox;
    case Channel::Blue:
        break;
    }
    return ui->BSpinBox;
}

void LampLight::StepChannel(Channel channel, int step)
{
    if (!PassOfflineGuard())
        return;
    // The box keeps its range and signals only a real change.
    QSpinBox *box = ChannelBox(channel);
    box->setValue(box->value() + step);
}

void LampLight::on_AddR_clicked() { StepChannel(Channel::Red, 1); }
void LampLight::on_AddG_clicked() { StepChannel(Channel::Green, 1); }
void LampLight::on_AddB_clicked() { StepChannel(Channel::Blue, 1); }
void LampLight::on_ReduceR_clicked() { StepChannel(Channel::Red, -1); }
void LampLight::on_ReduceG_clicked() { StepChannel(Channel::Green, -1); }
void LampLight::on_ReduceB_clicked() { StepChannel(Channel::Blue, -1); }

void LampLight::ShowPreview(int red, int green, int blue)
{
    ui->labelPreView->setStyleSheet(QStringLiteral("QLabel{background-color: rgb(%1,%2,%3);"
                                                   "border: 2px solid  rgb(220,220,220);}")
                                        .arg(red)
                                        .arg(green)
                                        .arg(blue));
}

void LampLight::ChannelChanged(Channel channel, int value)
{
    int red = ui->RSpinBox->value();
    int green = ui->GSpinBox->value();
    int blue = ui->BSpinBox->value();
    ShowPreview(red, green, blue);
    // No test of g_LightRefreshing: a refresh blocks these boxes' signals instead.
    if (!g_WritesAllowed)
        return;
    switch (channel) {
    case Channel::Red:
        red = value;
        break;
    case Channel::Green:
        green = value;
        break;
    case Channel::Blue:
        blue = value;
        break;
    }
    WriteLightColor(red, green, blue);
}

void LampLight::on_RSpinBox_valueChanged(int value) { ChannelChanged(Channel::Red, value); }
void LampLight::on_GSpinBox_valueChanged(int value) { ChannelChanged(Channel::Green, value); }
void LampLight::on_BSpinBox_valueChanged(int value) { ChannelChanged(Channel::Blue, value); }

void LampLight::SetColorThroughBoxes(const QColor &color)
{
    ui->RSpinBox->setValue(color.red());
    ui->GSpinBox->setValue(color.green());
    ui->BSpinBox->setValue(color.blue());
}

void LampLight::ApplyPreset(int index)
{
    if (!PassOfflineGuard())
        return;
    SetColorThroughBoxes(PresetColor(index));
}

void LampLight::on_toolButtonColorA_clicked() { ApplyPreset(0); }
void LampLight::on_toolButtonColorB_clicked() { ApplyPreset(1); }
void LampLight::on_toolButtonColorC_clicked() { ApplyPreset(2); }
void LampLight::on_toolButtonColorD_clicked() { ApplyPreset(3); }
void LampLight::on_toolButtonColorE_clicked() { ApplyPreset(4); }
void LampLight::on_toolButtonColorF_clicked() { ApplyPreset(5); }
void LampLight::on_toolButtonColorG_clicked() { ApplyPreset(6); }
void LampLight::on_toolButtonColorH_clicked() { ApplyPreset(7); }
void LampLight::on_toolButtonColorI_clicked() { ApplyPreset(8); }
void LampLight::on_toolButtonColorJ_clicked() { ApplyPreset(9); }
void LampLight::on_toolButtonColorK_clicked() { ApplyPreset(10); }
void LampLight::on_toolButtonColorL_clicked() { ApplyPreset(11); }
void LampLight::on_toolButtonColorM_clicked() { ApplyPreset(12); }
void LampLight::on_toolButtonColorN_clicked() { ApplyPreset(13); }

void LampLight::on_horizontalLight_valueChanged(int value)
{
    ui->LightSpinBox_2->setValue(value);
    if (MayWrite())
        WriteLightBrightness(value - 1);
}

void LampLight::on_horizontalSpeed_valueChanged(int value)
{
    ui->SpeedSpinBox_2->setValue(value);
    if (MayWrite())
        WriteLightSpeed(value - 1);
}

void LampLight::on_horizontalLight_sliderMoved(int position)
{
    ui->LightSpinBox_2->setValue(position);
}

void LampLight::on_horizontalSpeed_sliderMoved(int position)
{
    ui->SpeedSpinBox_2->setValue(position);
}

void LampLight::on_RippeControl_clicked(bool checked)
{
    if (MayWrite())
        WriteMoveLightOff(checked ? 1 : 0);
}

bool LampLight::PressIsOn(const QWidget *widget, const QPoint &pagePos) const
{
    return QRect(widget->mapTo(this, QPoint(0, 0)), widget->size()).contains(pagePos);
}

void LampLight::mousePressEvent(QMouseEvent *event)
{
    // The press that completes a double click arrives here too, with its own type.
    if (event->type() != QEvent::MouseButtonPress)
        return;
    const QPoint at = event->pos();
    // A press beside the boxes ends their editing: they lose the focus to the page.
    QList<QSpinBox *> leaving;
    const QList<QSpinBox *> channels{ui->RSpinBox, ui->GSpinBox, ui->BSpinBox};
    if (!PressIsOn(ui->RSpinBox, at) && !PressIsOn(ui->GSpinBox, at) && !PressIsOn(ui->BSpinBox, at))
        leaving << channels;
    for (QSpinBox *display : {ui->LightSpinBox_2, ui->SpeedSpinBox_2}) {
        if (!PressIsOn(display, at))
            leaving << display;
    }
    for (QSpinBox *box : leaving)
        box->clearFocus();
    if (!leaving.isEmpty())
        setFocus(Qt::OtherFocusReason);
    // A hidden board (modes without a custom colour) picks nothing.
    if (ui->label_7->isVisibleTo(this) && PressIsOn(ui->label_7, at))
        PickScreenColor();
}

void LampLight::PickScreenColor()
{
    if (!PassOfflineGuard())
        return;
    const std::optional<QColor> color = ScreenColor::UnderCursor();
    if (!color)
        return;
    SetColorThroughBoxes(*color);
    ShowPreview(color->red(), color->green(), color->blue());
}

void LampLight::SlotUpDataLightUILight(FlashDataMap DataMap)
{
    Refresh(DataMap, true);
}

void LampLight::SlotUpDataLightUIA(FlashDataMap DataMap)
{
    Refresh(DataMap, false);
}

void LampLight::Refresh(const FlashDataMap &image, bool slidersEnabled)
{
    ui->horizontalLight->setEnabled(slidersEnabled);
    ui->horizontalSpeed->setEnabled(slidersEnabled);
    RefreshScope refreshing;

    const QList<QWidget *> silenced{ui->horizontalLight, ui->horizontalSpeed, ui->RSpinBox, ui->GSpinBox,
                                    ui->BSpinBox};
    for (QWidget *widget : silenced)
        widget->blockSignals(true);
    // Stored steps above 9 end at the controls' maximum of 10.
    ui->horizontalLight->setValue(image.LightBrightness + 1);
    ui->LightSpinBox_2->setValue(image.LightBrightness + 1);
    ui->horizontalSpeed->setValue(image.LightSpeed + 1);
    ui->SpeedSpinBox_2->setValue(image.LightSpeed + 1);
    ui->RSpinBox->setValue(image.LightRed);
    ui->GSpinBox->setValue(image.LightGreen);
    ui->BSpinBox->setValue(image.LightBlue);
    ShowPreview(image.LightRed, image.LightGreen, image.LightBlue);
    for (QWidget *widget : silenced)
        widget->blockSignals(false);

    ui->LightMod->setCurrentIndex(image.LightOn != 0 ? image.LightMode : 0);
    ui->RippeControl->setChecked(image.MoveLightOff != 0);
    const int idleItem = SleepTime::ItemOfCode(image.StopCloseTime);
    if (idleItem >= 0)
        ui->frameClose->SetCurrentIndex(idleItem);
}

void LampLight::SlotFormResetLight()
{
    RefreshScope refreshing;
    ui->LightMod->setCurrentIndex(kResetMode);
    ui->horizontalLight->setValue(kResetBrightness);
    ui->horizontalSpeed->setValue(kResetSpeed);
    ui->LightSpinBox_2->setValue(kResetBrightness);
    ui->SpeedSpinBox_2->setValue(kResetSpeed);
    ui->RippeControl->setChecked(true);
    ui->frameClose->SetCurrentIndex(SleepTime::kDefaultItem);
}

void LampLight::SlotChangeLanguage(int index)
{
    TagMap tags{
        {QStringLiteral("label"), PropertyTarget(ui->label)},
        {QStringLiteral("label_2"), PropertyTarget(ui->label_2)},
        {QStringLiteral("label_3"), PropertyTarget(ui->label_3)},
        {QStringLiteral("label_4"), PropertyTarget(ui->label_4)},
        {QStringLiteral("label_5"), PropertyTarget(ui->label_5)},
        {QStringLiteral("label_6"), PropertyTarget(ui->label_6)},
        {QStringLiteral("label_8"), PropertyTarget(ui->label_8)},
        {QStringLiteral("label_10"), PropertyTarget(ui->label_10)},
        {QStringLiteral("label_11"), PropertyTarget(ui->label_11)},
        {QStringLiteral("label_12"), PropertyTarget(ui->label_12)},
        {QStringLiteral("label_13"), PropertyTarget(ui->label_13)},
    };
    for (int item = 0; item < kModeCount; ++item) {
        const QString tag = item == 0 ? QStringLiteral("LightMod") : QStringLiteral("LightMod%1").arg(item);
        tags.insert(tag, [this, item](const QString &text) { ui->LightMod->setItemText(item, text); });
    }
    for (int item = 0; item < SleepTime::kItemCount; ++item) {
        const QString tag =
            item == 0 ? QStringLiteral("StopCloseTime") : QStringLiteral("StopCloseTime%1").arg(item);
        tags.insert(tag, [this, item](const QString &text) { ui->frameClose->SetItemText(item, text); });
    }
    LanguageReader reader(QStringLiteral("Light"), tags);
    reader.Load(index);
}
