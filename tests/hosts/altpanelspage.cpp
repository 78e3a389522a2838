#include "altpanelspage.h"

#include "configini.h"
#include "debouncetimeb.h"
#include "debouncetimec.h"
#include "globals.h"
#include "languagereader.h"
#include "onoffpanelsb.h"
#include "sensor.h"
#include "sensorcoding.h"
#include "sensordescription.h"
#include "sensordpib.h"
#include "sensorlodb.h"
#include "sensormodel.h"
#include "sensorrate.h"
#include "sensorrateb.h"
#include "sensoreffectb.h"
#include "sleeptime.h"
#include "stopclosetimeb.h"
#include "wheelguard.h"

#include <QFont>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <atomic>

namespace {

// The fills set controls whose slots write; the sensor page's fill flag keeps
// them quiet, as it does for the sensor page's own panels.
class SensorFill
{
public:
    SensorFill() : m_previous(g_SensorRefreshing.load()) { g_SensorRefreshing = 1; }
    ~SensorFill() { g_SensorRefreshing = m_previous; }
    SensorFill(const SensorFill &) = delete;
    SensorFill &operator=(const SensorFill &) = delete;

private:
    uint8_t m_previous;
};

// The panels, for the fill and the texts.
struct Panels {
    RippeControlB *ripple = nullptr;
    StraightLineB *straight = nullptr;
    MotionSyncB *motion = nullptr;
    SensorLODB *lod = nullptr;
    SensorRateB *rate = nullptr;
    SensorEffectB *effect = nullptr;
    DebouncetimeB *debounceSlider = nullptr;
    DebouncetimeC *debounceSteps = nullptr;
    StopCloseTimeB *sleep = nullptr;
    SensorDPIB *dpi = nullptr;
};

// A small grey caption naming the panel below it, so a person can tell them apart.
void Caption(QWidget *page, const QString &text, int x, int y)
{
    auto *caption = new QLabel(text, page);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    caption->setFont(font);
    caption->setStyleSheet(QStringLiteral("color: rgb(120, 122, 130);"));
    caption->move(x, y);
}

template <typename PanelType>
PanelType *Place(QWidget *page, const QString &name, int x, int y)
{
    auto *panel = new PanelType(page);
    Caption(page, name, x, y);
    panel->move(x, y + 16);
    return panel;
}

Panels PlacePanels(QWidget *page)
{
    Panels panels;
    panels.rate = Place<SensorRateB>(page, QStringLiteral("SensorRateB"), 16, 12);
    panels.dpi = Place<SensorDPIB>(page, QStringLiteral("SensorDPIB"), 16, 76);
    panels.ripple = Place<RippeControlB>(page, QStringLiteral("RippeControlB"), 760, 76);
    panels.straight = Place<StraightLineB>(page, QStringLiteral("StraightLineB"), 760, 128);
    panels.motion = Place<MotionSyncB>(page, QStringLiteral("MotionSyncB"), 760, 180);
    panels.lod = Place<SensorLODB>(page, QStringLiteral("SensorLODB"), 760, 232);
    panels.effect = Place<SensorEffectB>(page, QStringLiteral("SensorEffectB"), 760, 284);
    panels.debounceSlider = Place<DebouncetimeB>(page, QStringLiteral("DebouncetimeB"), 16, 556);
    panels.debounceSteps = Place<DebouncetimeC>(page, QStringLiteral("DebouncetimeC"), 330, 556);
    panels.sleep = Place<StopCloseTimeB>(page, QStringLiteral("StopCloseTimeB"), 530, 556);
    return panels;
}

void LoadTexts(const Panels &panels)
{
    RippeControlB *ripple = panels.ripple;
    StraightLineB *straight = panels.straight;
    MotionSyncB *motion = panels.motion;
    SensorLODB *lod = panels.lod;
    SensorRateB *rate = panels.rate;
    SensorEffectB *effect = panels.effect;
    SensorDPIB *dpi = panels.dpi;
    // The sensor page's texts; the lift-off caption is longer than this
    // panel's label, so the panel keeps its own and shows the text as its tip.
    LanguageReader(QStringLiteral("Sensor"), TagMap{
        {QStringLiteral("label_2"), [dpi](const QString &t) { dpi->SetLabelText(t); }},
        {QStringLiteral("label_3"), [rate](const QString &t) { rate->SetLabelText(t); }},
        {QStringLiteral("label_12"), [lod](const QString &t) { lod->SetLabelToolTip(t); }},
        {QStringLiteral("label"), [ripple](const QString &t) { ripple->SetLabelText(t); }},
        {QStringLiteral("RippleDes"), [ripple](const QString &t) { ripple->SetLabelToolTip(t); }},
        {QStringLiteral("label_6"), [straight](const QString &t) { straight->SetLabelText(t); }},
        {QStringLiteral("FixLineDes"), [straight](const QString &t) { straight->SetLabelToolTip(t); }},
        {QStringLiteral("label_7"), [motion](const QString &t) { motion->SetLabelText(t); }},
        {QStringLiteral("MotionSyncDes"), [motion](const QString &t) { motion->SetLabelToolTip(t); }},
        {QStringLiteral("label_4"), [effect](const QString &t) { effect->SetLabelText(t); }},
        {QStringLiteral("label_14"), [effect](const QString &t) { effect->SetSpeedLabelText(t); }},
        {QStringLiteral("label_15"), [effect](const QString &t) { effect->SetBrightnessLabelText(t); }},
        {QStringLiteral("Model"), [effect](const QString &t) { effect->SetItemText(0, t); }},
        {QStringLiteral("Model1"), [effect](const QString &t) { effect->SetItemText(1, t); }},
        {QStringLiteral("Model2"), [effect](const QString &t) { effect->SetItemText(2, t); }},
    }).Load(CurrentLanguageIndex());

    // The button page's debounce unit.
    DebouncetimeB *debounceSlider = panels.debounceSlider;
    DebouncetimeC *debounceSteps = panels.debounceSteps;
    LanguageReader(QStringLiteral("Buttoninterface"), TagMap{
        {QStringLiteral("S1"), [=](const QString &unit) {
             debounceSlider->SetSuffix(unit);
             debounceSteps->SetSuffix(unit);
         }},
    }).Load(CurrentLanguageIndex());

    // The settings page's sleep-time items: StopCloseTime, StopCloseTime1..10.
    StopCloseTimeB *sleep = panels.sleep;
    TagMap sleepItems;
    for (int item = 0; item < SleepTime::kItemCount; ++item) {
        const QString tag = item == 0 ? QStringLiteral("StopCloseTime") : QStringLiteral("StopCloseTime%1").arg(item);
        sleepItems.insert(tag, [sleep, item](const QString &text) { sleep->SetItemText(item, text); });
    }
    LanguageReader(QStringLiteral("FormSetting"), sleepItems).Load(CurrentLanguageIndex());
}

// The model's sensor name and its entries of driver_sensor.h.
struct Model {
    QString group;
    SensorSupport support;
    DpiRangeTable ranges;
    int levels = 0;
};

Model LoadModel()
{
    Model model;
    model.group = ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex);
    ConfigIni *config = ConfigIni::GetInstance();
    g_SensorName = config->Value(model.group, QStringLiteral("Sensor"));
    const SensorDescription description = ReadInstalledSensorDescription();
    model.support = description.Support;
    g_SensorDefineNames.clear();
    g_SensorDefineValues.clear();
    AppendSensorDefines(description);
    model.ranges = ParseDpiRange(config->ValueList(model.group, QStringLiteral("DPIRange")));
    ApplyDpiRange(model.ranges);
    // The image holds eight level records: a model claiming more is read as eight.
    model.levels = std::clamp(config->IntValue(model.group, QStringLiteral("DPIMaxGrade")), 0, SensorDPIB::kLevels);
    return model;
}

void FillSwitches(const Panels &panels, const FlashDataMap &image)
{
    panels.ripple->SetChecked(image.RippeControl != 0);
    panels.straight->SetChecked(image.StraightLine != 0);
    panels.motion->SetChecked(image.MotionSync != 0);
}

void FillLod(SensorLODB *lod, const FlashDataMap &image, const Model &model)
{
    if (g_SensorName == QLatin1String("3950"))
        lod->Show07mm();
    else
        lod->Hide07mm();
    lod->SetChoiceEnabled(SensorSupport::Lists(model.support.LodCal, g_SensorName));
    lod->SelectByValue(image.Lod - 1);
}

void FillRate(SensorRateB *rate, const FlashDataMap &image)
{
    const int link = g_CurrentDevice.Get().LinkType;
    const int rateClass = SensorRate::RateClassForLink(link);
    if (rateClass >= 0)
        rate->SetRateClass(rateClass);
    // 8000 Hz shows as 4000 Hz on the 4 kHz receiver link (type 1).
    rate->SetCurrentIndex(Sensor::RateIndexForCode(image.ReportRate, link == 1));
}

void FillEffect(SensorEffectB *effect, const FlashDataMap &image)
{
    if (image.DpiLedOn == 0)
        effect->SetMode(SensorEffect::kModeOff);
    else
        effect->SetMode(image.DpiLedMode);
    effect->SetSpeed(image.DpiLedSpeed);
    effect->SetBrightness(Sensor::BrightnessStepForCode(image.DpiLedBrightness));
}

void FillSleep(StopCloseTimeB *sleep, const FlashDataMap &image)
{
    const int item = SleepTime::ItemOfCode(image.StopCloseTime);
    if (item >= 0)
        sleep->SetCurrentIndex(item);
}

QString LevelColorHex(const DpiLevelRecord &record)
{
    return QStringLiteral("#%1%2%3")
        .arg(record.Red, 2, 16, QLatin1Char('0'))
        .arg(record.Green, 2, 16, QLatin1Char('0'))
        .arg(record.Blue, 2, 16, QLatin1Char('0'));
}

// The DPI table, with the count box's and the sliders' signals blocked so
// that nothing of the fill is handled as a change.
void FillDpi(SensorDPIB *dpi, const FlashDataMap &image, const Model &model)
{
    if (model.ranges.Valid) {
        dpi->SetSliderMaximum(model.ranges.DpiMax.toInt());
        dpi->SetSliderMinimum(model.ranges.DpiMin.toInt());
    }
    dpi->BlockSliderSignals(true);
    const bool countBlocked = dpi->BlockCountSignals(true);
    dpi->ClearCountItems();
    for (int level = 0; level < model.levels; ++level) {
        const DpiLevelRecord &record = image.DpiLevels[level];
        dpi->SetLevelColor(level, LevelColorHex(record));
        dpi->SetLevelText(level, QString::number(DecodeLevelDpi(record)));
        dpi->InsertCountItem(level, QString::number(level + 1));
    }
    dpi->UpdateAllButtons();
    dpi->SetCountIndex(image.DpiLevelCount - 1);
    dpi->ShowLevels(image.DpiLevelCount - 1);
    dpi->BlockCountSignals(countBlocked);
    dpi->SetLevelCount(image.DpiLevelCount);
    dpi->SetCurrentLevel(image.DpiLevel);
    dpi->SelectLevel(image.DpiLevel);
    dpi->BlockSliderSignals(false);
}

}  // namespace

QWidget *BuildAlternativePanels(const FlashDataMap &image)
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("AlternativePanels"));
    page->setFixedSize(1190, 620);
    const Panels panels = PlacePanels(page);
    LoadTexts(panels);

    const SensorFill fill;
    const Model model = LoadModel();
    FillSwitches(panels, image);
    FillLod(panels.lod, image, model);
    FillRate(panels.rate, image);
    FillEffect(panels.effect, image);
    panels.debounceSlider->SetValue(image.DebounceTime);
    panels.debounceSteps->SetValue(image.DebounceTime);
    FillSleep(panels.sleep, image);
    FillDpi(panels.dpi, image, model);
    WheelGuard::InstallOn(page);
    return page;
}
