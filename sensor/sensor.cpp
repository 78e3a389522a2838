#include "sensor.h"

#include "ui_sensor.h"

#include "configini.h"
#include "globals.h"
#include "languagereader.h"
#include "paneltheme.h"
#include "paths.h"
#include "postmsg.h"
#include "sensorcoding.h"
#include "sensordescription.h"
#include "sensormodel.h"
#include "wheelguard.h"
#include "wholefile.h"
#include "writers.h"

#include <QBuffer>
#include <QDir>
#include <QListView>
#include <QTextStream>
#include <algorithm>
#include <iterator>

namespace {

// Rate buttons of the report-rate panel, by image code.
constexpr int kRateCodes[] = {8, 4, 2, 1, 16, 32, 64};
constexpr int kRate1000Index = 3;
constexpr int kRate4000Index = 5;
constexpr int kRate8000Index = 6;
constexpr int kRate8000Code = 64;

// The sensor-mode box: 0 "LP", 1 "HP", 2 "Corded" (shown, never written).
constexpr int kModeLp = 0;
constexpr int kModeHp = 1;
constexpr int kModeCorded = 2;

// The performance-time items, in units of 10 seconds.
constexpr int kPerformanceCodes[] = {3, 6, 12, 30, 60, 90};
constexpr int kPerformanceOneMinuteIndex = 1;
constexpr int kPerformanceVisibleItems = 5;

// Indicator brightness codes of the steps 1 to 10.
constexpr int kBrightnessCodes[] = {16, 30, 60, 90, 128, 150, 180, 210, 230, 255};

// The image holds eight level records; a model never offers more.
constexpr int kMaxLevels = kDpiLevelSlots;
constexpr int kReducedLayout = 2;

// Where the indicator panel and its title marker stand in each layout.
const QPoint kEffectFull(80, 456);
const QPoint kEffectReduced(80, 316);
const QPoint kEffectTitleFull(40, 463);
const QPoint kEffectTitleReduced(40, 323);

// The defaults of a reset.
constexpr int kDefaultSliderMax = 26000;
constexpr int kDefaultSliderMin = 50;
constexpr int kDefaultLevelCount = 6;
constexpr int kDefaultDpi = 1200;
constexpr int kDefaultEffectSpeed = 3;
constexpr int kDefaultEffectBrightness = 5;

// Link types (DeviceAllInfo::LinkType).
constexpr int kLink1k = 0;
constexpr int kLink4k = 1;
constexpr int kLinkCable = 2;
constexpr int kLinkCable2 = 3;
constexpr int kLink2k = 4;
constexpr int kLink8k = 5;

// Report-rate panel classes: which high rates a link offers.
constexpr int kRateClassNone = 0;
constexpr int kRateClass4k = 1;
constexpr int kRateClass2k = 2;
constexpr int kRateClassAll = 3;

bool IsReceiverLinkWithHighRates(int linkType)
{
    return linkType == kLink4k || linkType == kLink2k || linkType == kLink8k;
}

bool IsHighRateCode(int code)
{
    return code == 16 || code == 32 || code == 64;
}

QString LevelColorHex(const DpiLevelRecord &record)
{
    return QStringLiteral("#%1%2%3")
        .arg(record.Red, 2, 16, QLatin1Char('0'))
        .arg(record.Green, 2, 16, QLatin1Char('0'))
        .arg(record.Blue, 2, 16, QLatin1Char('0'));
}

QString CurrentGroup()
{
    return ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex);
}

// Restores a shared flag when a scope ends.
class FlagScope
{
public:
    FlagScope(std::atomic<uint8_t> &flag, uint8_t value) : m_flag(flag), m_previous(flag.load())
    {
        m_flag = value;
    }
    ~FlagScope() { m_flag = m_previous; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    std::atomic<uint8_t> &m_flag;
    uint8_t m_previous;
};

}  // namespace

Sensor::Sensor(QWidget *parent) : QWidget(parent), ui(new Ui_Sensor())
{
    ui->setupUi(this);
    PictureDir = PanelTheme::PictureDir(QStringLiteral("Sensor"));
    SensorPageDir = Paths::BaseFolder() + QStringLiteral("/usersetting/SensorPage");

    PostMsg *hub = PostMsg::GetInstance();
    connect(hub, &PostMsg::SigChangeLanguage, this, &Sensor::SlotChangeLanguage);
    connect(hub, &PostMsg::SigHideModel, this, &Sensor::SlotHideModel);

    QDir().mkpath(SensorPageDir);
    ReadLevelIni();
    ApplyComboTheme();
    LoadDriverSensorHeader();
    ApplyTextTheme();
    DropFrameLines();
    SlotChangeLanguage(CurrentLanguageIndex());
    // The combo theme gave the box a list of its own; the "Corded" row is hidden in it.
    ModelView = qobject_cast<QListView *>(ui->ModelChoose->view());
    ConnectDeviceSignals();
    WheelGuard::InstallOn(this);
}

Sensor::~Sensor()
{
    delete ui;
    ui = nullptr;
}

void Sensor::ConnectDeviceSignals()
{
    // The device side waits in these emits until the page has taken the value.
    PostMsg *hub = PostMsg::GetInstance();
    const auto blocking = Qt::BlockingQueuedConnection;
    connect(hub, &PostMsg::SigUpDataLightSensor, this, &Sensor::SlotUpDataSenSorUISensor, blocking);
    connect(hub, &PostMsg::SigFormReset, this, &Sensor::SlotFormReset, blocking);
    connect(hub, &PostMsg::SigUpDataReportRate, this, &Sensor::SlotUpDataReportRate, blocking);
    connect(hub, &PostMsg::SigUpDataDPI, this, &Sensor::SlotUpDataDPI, blocking);
    connect(hub, &PostMsg::SigUpDataDPILed, this, &Sensor::SlotUpDataDPILed, blocking);
    connect(hub, &PostMsg::SigUpDataSensorUIB, this, &Sensor::SlotUpDataSenSorUIB);
}

// ---- theme, texts, files ----------------------------------------------------------

void Sensor::ApplyComboTheme()
{
    PanelTheme::ApplyComboTheme(ui->ModelChoose, PictureDir, ComboTheme::Ending::DisabledBlack, true);
    PanelTheme::ApplyComboTheme(ui->PerformanceOpen, PictureDir, ComboTheme::Ending::DisabledBlack, true,
                                kPerformanceVisibleItems);
}

void Sensor::DropFrameLines()
{
    // The page and its panels lie on the device page's dark background without
    // frame lines of their own (the other panels drop theirs themselves).
    ui->SenSorPage->setStyleSheet(ui->SenSorPage->styleSheet() + QStringLiteral("#SenSorPage{border:0px;}"));
    PanelTheme::DropFrameLine(ui->frameDpi);
}

void Sensor::ApplyTextTheme()
{
    const QString label = PanelTheme::Triple(QStringLiteral("LabelColor"));
    const QString labelStyle = QStringLiteral("QLabel{color: rgb(") + label + QStringLiteral(";);}");
    ui->label_5->setStyleSheet(labelStyle);
    ui->label_11->setStyleSheet(labelStyle);
    ui->Performance->setStyleSheet(QStringLiteral("QCheckBox{color: rgb(") + label
                                   + QStringLiteral(";);}QCheckBox::indicator:checked {image: url(") + PictureDir
                                   + QStringLiteral("CheckBoxChecked.png);}QCheckBox::indicator:unchecked {image: url(")
                                   + PictureDir + QStringLiteral("CheckBox.png);}"));
    for (QWidget *marker : {static_cast<QWidget *>(ui->TitleButton), static_cast<QWidget *>(ui->TitleButton_2),
                            static_cast<QWidget *>(ui->TitleButton_3), static_cast<QWidget *>(ui->TitleButton_4)}) {
        marker->setStyleSheet(QLatin1Char('#') + marker->objectName() + QStringLiteral("{border-image: url(")
                              + PictureDir + QStringLiteral("Title.png);}"));
    }
}

void Sensor::SlotChangeLanguage(int index)
{
    if (!reader) {
        auto item = [](QComboBox *box, int row) {
            return [box, row](const QString &text) { box->setItemText(row, text); };
        };
        SensorDPI *dpi = ui->frameDpi;
        SensorRate *rate = ui->frameRate;
        SensorLOD *lod = ui->frameLOD;
        SensorEffect *effect = ui->frameEffect;
        RippeControl *ripple = ui->frame;
        StraightLine *straight = ui->frame_4;
        MotionSync *motion = ui->frame_3;
        reader = std::make_unique<LanguageReader>(QStringLiteral("Sensor"), TagMap{
            {QStringLiteral("label_2"), [dpi](const QString &t) { dpi->SetLabelText(t); }},
            {QStringLiteral("label_3"), [rate](const QString &t) { rate->SetLabelText(t); }},
            {QStringLiteral("label_5"), PropertyTarget(ui->label_5)},
            {QStringLiteral("label_11"), PropertyTarget(ui->label_11)},
            {QStringLiteral("ModeSelectDes"), PropertyTarget(ui->label_11, "toolTip")},
            {QStringLiteral("label_12"), [lod](const QString &t) { lod->SetLabelText(t); }},
            {QStringLiteral("LODDes"), [lod](const QString &t) { lod->SetLabelToolTip(t); }},
            {QStringLiteral("label_7"), [motion](const QString &t) { motion->SetLabelText(t); }},
            {QStringLiteral("MotionSyncDes"), [motion](const QString &t) { motion->SetLabelToolTip(t); }},
            {QStringLiteral("Performance"), PropertyTarget(ui->Performance)},
            {QStringLiteral("FullPerformanceDes"), PropertyTarget(ui->Performance, "toolTip")},
            {QStringLiteral("PerformanceOpen"), item(ui->PerformanceOpen, 0)},
            {QStringLiteral("PerformanceOpen1"), item(ui->PerformanceOpen, 1)},
            {QStringLiteral("PerformanceOpen2"), item(ui->PerformanceOpen, 2)},
            {QStringLiteral("PerformanceOpen3"), item(ui->PerformanceOpen, 3)},
            {QStringLiteral("PerformanceOpen4"), item(ui->PerformanceOpen, 4)},
            {QStringLiteral("PerformanceOpen5"), item(ui->PerformanceOpen, 5)},
            {QStringLiteral("Model"), [effect](const QString &t) { effect->SetItemText(0, t); }},
            {QStringLiteral("Model1"), [effect](const QString &t) { effect->SetItemText(1, t); }},
            {QStringLiteral("Model2"), [effect](const QString &t) { effect->SetItemText(2, t); }},
            {QStringLiteral("label"), [ripple](const QString &t) { ripple->SetLabelText(t); }},
            {QStringLiteral("RippleDes"), [ripple](const QString &t) { ripple->SetLabelToolTip(t); }},
            {QStringLiteral("label_6"), [straight](const QString &t) { straight->SetLabelText(t); }},
            {QStringLiteral("FixLineDes"), [straight](const QString &t) { straight->SetLabelToolTip(t); }},
            {QStringLiteral("label_4"), [effect](const QString &t) { effect->SetLabelText(t); }},
            {QStringLiteral("label_14"), [effect](const QString &t) { effect->SetSpeedLabelText(t); }},
            {QStringLiteral("label_15"), [effect](const QString &t) { effect->SetBrightnessLabelText(t); }},
        });
    }
    reader->Load(index);
}

int Sensor::LevelIniNumber(const QString &filePath)
{
    QByteArray content;
    if (!WholeFile::Read(filePath, &content))
        return 1;
    QBuffer file(&content);
    file.open(QIODevice::ReadOnly | QIODevice::Text);
    QTextStream in(&file);
    const QString line = in.readLine();
    if (line.isEmpty())
        return 1;
    return line.toInt();
}

void Sensor::ReadLevelIni()
{
    ui->frameDpi->SetLevelCount(LevelIniNumber(SensorPageDir + QStringLiteral("/Level.ini")));
}

bool Sensor::WriteLevelIni(int value)
{
    return WholeFile::Write(SensorPageDir + QStringLiteral("/Level.ini"), QByteArray::number(value));
}

void Sensor::LoadDriverSensorHeader()
{
    const SensorDescription description = ReadInstalledSensorDescription();
    SupportModeSel = description.Support.ModeSel;
    SupportLodCal = description.Support.LodCal;
    SupportRipple = description.Support.Ripple;
    SupportFixLine = description.Support.FixLine;
    SupportMotionSync = description.Support.MotionSync;
    SupportMousepadCal = description.Support.MousepadCal;
    AppendSensorDefines(description);
}

// ---- tables -------------------------------------------------------------------------

int Sensor::RateIndexForCode(int code, bool showHighestAs4000)
{
    const int *found = std::find(std::begin(kRateCodes), std::end(kRateCodes), code);
    if (found == std::end(kRateCodes))
        return -1;
    if (code == kRate8000Code && showHighestAs4000)
        return kRate4000Index;
    return int(found - std::begin(kRateCodes));
}

int Sensor::PerformanceIndexForCode(int code)
{
    const int *found = std::find(std::begin(kPerformanceCodes), std::end(kPerformanceCodes), code);
    return found == std::end(kPerformanceCodes) ? -1 : int(found - std::begin(kPerformanceCodes));
}

int Sensor::PerformanceCodeForIndex(int index)
{
    constexpr int count = int(std::size(kPerformanceCodes));
    return (index >= 0 && index < count) ? kPerformanceCodes[index] : -1;
}

int Sensor::BrightnessStepForCode(int code)
{
    const int *found = std::find(std::begin(kBrightnessCodes), std::end(kBrightnessCodes), code);
    return found == std::end(kBrightnessCodes) ? code : int(found - std::begin(kBrightnessCodes)) + 1;
}

// ---- the page's own controls ----------------------------------------------------------

void Sensor::on_Performance_toggled(bool checked)
{
    ui->PerformanceOpen->setEnabled(checked);
}

void Sensor::on_Performance_clicked(bool checked)
{
    if (g_WritesAllowed)
        WritePerformance(checked ? 1 : 0);
}

void Sensor::on_PerformanceOpen_currentIndexChanged(int index)
{
    const int code = PerformanceCodeForIndex(index);
    if (g_WritesAllowed && !g_SensorRefreshing && code > 0)
        WritePerformanceOpen(code);
}

void Sensor::on_ModelChoose_currentIndexChanged(int index)
{
    // "Corded" only shows that the link took the mode over, and a box that
    // lost its item (-1) has nothing to say: only LP and HP are written.
    if (g_WritesAllowed && !g_SensorRefreshing && (index == kModeLp || index == kModeHp))
        WriteSensorMode(index);
}

void Sensor::on_LOD_currentIndexChanged(int index)
{
    // The lift-off panel writes its choice itself.
    Q_UNUSED(index);
}

void Sensor::changeEvent(QEvent *event)
{
    Q_UNUSED(event);
    if (ui && ui->PerformanceOpen && ui->Performance)
        ui->PerformanceOpen->setEnabled(ui->Performance->isChecked());
}

// ---- the sensor-mode box ----------------------------------------------------------------

bool Sensor::SensorModeListed() const
{
    return SensorSupport::Lists(SupportModeSel, g_SensorName);
}

void Sensor::FreeSensorMode()
{
    ui->ModelChoose->setEnabled(true);
    ui->ModelChoose->setCurrentIndex(ReadImage().SensorMode);
    if (ModelView)
        ModelView->setRowHidden(kModeCorded, true);
}

void Sensor::LockSensorModeCorded()
{
    if (ModelView)
        ModelView->setRowHidden(kModeCorded, false);
    ui->ModelChoose->setCurrentIndex(kModeCorded);
    ui->ModelChoose->setEnabled(false);
}

void Sensor::SetModeIndexSilently(int index)
{
    const bool was = ui->ModelChoose->blockSignals(true);
    ui->ModelChoose->setCurrentIndex(index);
    ui->ModelChoose->blockSignals(was);
}

void Sensor::SlotHideModel(int index)
{
    if (!SensorModeListed())
        return;
    if (index == 0 && !g_CurrentDevice.Get().Wired)
        FreeSensorMode();
    else if (index == 1 && IsReceiverLinkWithHighRates(g_CurrentDevice.Get().LinkType))
        LockSensorModeCorded();
}

void Sensor::SlotUpDataReportRate(int index)
{
    const int rate = RateIndexForCode(index, false);
    if (rate < 0)
        return;
    ui->frameRate->SetCurrentIndex(rate);
    if (!SensorModeListed() || g_CurrentDevice.Get().Wired)
        return;
    if (rate <= kRate1000Index)
        FreeSensorMode();
    else
        LockSensorModeCorded();
}

// ---- single values the mouse reports ------------------------------------------------------

void Sensor::SlotUpDataDPI(int index)
{
    // The level buttons would write the level back while writes are allowed.
    FlagScope noWrites(g_WritesAllowed, 0);
    SensorDPI *dpi = ui->frameDpi;
    dpi->MoveHandle(index + 1);
    if (index >= 0 && index < kMaxLevels) {
        dpi->CheckLevelButton(index);
        dpi->SetCurrentLevel(index);
    }
}

void Sensor::SlotUpDataDPILed(FlashDataMap DataMap)
{
    // The mouse already holds these values: show them like a fill, so the
    // panel's handlers send nothing back.
    FlagScope filling(g_SensorRefreshing, 1);
    ShowDpiLed(DataMap);
}

// ---- the whole-image fill --------------------------------------------------------------------

void Sensor::SlotUpDataSenSorUISensor(FlashDataMap DataMap)
{
    FillFromImage(DataMap, true);
}

void Sensor::SlotUpDataSenSorUIB(FlashDataMap DataMap)
{
    FillFromImage(DataMap, false);
}

void Sensor::FillFromImage(const FlashDataMap &image, bool fromDevice)
{
    SensorDPI *dpi = ui->frameDpi;
    dpi->ClearCountItems();
    dpi->BlockSliderSignals(true);
    dpi->SetSliderEnabled(true);
    ui->frameEffect->SetSlidersEnabled(true);
    if (fromDevice)
        g_SensorFilled = 0;
    g_SensorRefreshing = 1;

    dpi->SetLevelCount(image.DpiLevelCount);
    dpi->SetCurrentLevel(image.DpiLevel);
    ui->frameRate->SetCurrentIndex(RateIndexForCode(image.ReportRate, g_CurrentDevice.Get().LinkType == kLink4k));

    ConfigIni *config = ConfigIni::GetInstance();
    const QString group = CurrentGroup();
    g_SensorName = config->Value(group, QStringLiteral("Sensor"));
    if (g_SensorName == QLatin1String("3950"))
        ui->frameLOD->AddItem07mm();
    else
        ui->frameLOD->RemoveItem07mm();
    ShowSensorMode(image);
    ui->frameLOD->SelectByValue(image.Lod - 1);
    ShowPerformance(image);
    ShowOnOffOptions(image);
    ShowDpiLed(image);

    // The image holds eight level records: a model claiming more is read as eight.
    const int levels = std::clamp(config->IntValue(group, QStringLiteral("DPIMaxGrade")), 0, kMaxLevels);
    FillLevelColors(image, levels);
    const bool reduced = config->IntValue(group, QStringLiteral("XIn1")) == kReducedLayout;
    ApplyDpiRanges(group);
    FillLevelValues(image, levels);
    PlaceCurrentLevel(image);
    ApplyRateClass();
    ApplySupport();
    ApplyLayout(reduced);

    dpi->BlockSliderSignals(false);
    g_SensorRefreshing = 0;
    if (fromDevice)
        g_SensorFilled = 1;
}

void Sensor::ShowSensorMode(const FlashDataMap &image)
{
    // The box's handler runs for these changes but writes nothing during a fill.
    MyConmboBox *box = ui->ModelChoose;
    if (!SensorModeListed()) {
        box->setEnabled(false);
        return;
    }
    box->setEnabled(true);
    const int link = g_CurrentDevice.Get().LinkType;
    if (g_CurrentDevice.Get().Wired || (IsReceiverLinkWithHighRates(link) && IsHighRateCode(image.ReportRate))) {
        box->setCurrentIndex(kModeCorded);
        box->setEnabled(false);
        return;
    }
    box->setCurrentIndex(image.SensorMode);
    if (ModelView)
        ModelView->setRowHidden(kModeCorded, true);
}

void Sensor::ShowPerformance(const FlashDataMap &image)
{
    ui->Performance->setChecked(image.Performance != 0);
    ui->PerformanceOpen->setEnabled(ui->Performance->isChecked());
    const int item = PerformanceIndexForCode(image.PerformanceOpen);
    if (item >= 0)
        ui->PerformanceOpen->setCurrentIndex(item);
}

void Sensor::ShowOnOffOptions(const FlashDataMap &image)
{
    ui->frame->SetChecked(image.RippeControl != 0);
    ui->frame_4->SetChecked(image.StraightLine != 0);
    ui->frame_3->SetChecked(image.MotionSync != 0);
}

void Sensor::ShowDpiLed(const FlashDataMap &image)
{
    SensorEffect *effect = ui->frameEffect;
    if (image.DpiLedOn == 0)
        effect->SetMode(SensorEffect::kModeOff);
    else if (image.DpiLedMode == SensorEffect::kModeSteady || image.DpiLedMode == SensorEffect::kModeBreathing)
        effect->SetMode(image.DpiLedMode);
    effect->SetSpeed(image.DpiLedSpeed);
    effect->SetBrightness(BrightnessStepForCode(image.DpiLedBrightness));
}

void Sensor::FillLevelColors(const FlashDataMap &image, int levels)
{
    SensorDPI *dpi = ui->frameDpi;
    dpi->BlockCountSignals(true);
    for (int i = 0; i < levels; ++i) {
        dpi->SetLevelColor(i, LevelColorHex(image.DpiLevels[i]));
        dpi->InsertCountItem(i, QString::number(i + 1));
    }
    dpi->BlockCountSignals(false);
    dpi->HighlightMarker(image.DpiLevel);
}

void Sensor::ApplyDpiRanges(const QString &group)
{
    const DpiRangeTable table = ParseDpiRange(ConfigIni::GetInstance()->ValueList(group, QStringLiteral("DPIRange")));
    ApplyDpiRange(table);
    if (table.Valid) {
        DpiMin = table.DpiMin;
        DpiMax = table.DpiMax;
    }
    // Without a usable range list the slider keeps the limits it has.
    if (DpiMin.isEmpty() || DpiMax.isEmpty())
        return;
    ui->frameDpi->SetSliderMaximum(DpiMax.toInt());
    ui->frameDpi->SetSliderMinimum(DpiMin.toInt());
}

void Sensor::FillLevelValues(const FlashDataMap &image, int levels)
{
    SensorDPI *dpi = ui->frameDpi;
    for (int i = 0; i < levels; ++i) {
        const int value = DecodeLevelDpi(image.DpiLevels[i]);
        dpi->SetLevelText(i, QString::number(value));
        if (i == image.DpiLevel) {
            dpi->SetSliderValue(value);
            dpi->SetSpinValue(value);
        }
    }
}

void Sensor::PlaceCurrentLevel(const FlashDataMap &image)
{
    SensorDPI *dpi = ui->frameDpi;
    dpi->ShowLevels(image.DpiLevelCount - 1);
    dpi->SetCountIndex(image.DpiLevelCount - 1);
    dpi->MoveHandle(image.DpiLevel + 1);
    dpi->CheckLevelButton(image.DpiLevel);
}

void Sensor::ApplyRateClass()
{
    const int rateClass = SensorRate::RateClassForLink(g_CurrentDevice.Get().LinkType);
    if (rateClass >= 0)
        ui->frameRate->SetRateClass(rateClass);
}

void Sensor::ApplySupport()
{
    ui->frameLOD->SetComboEnabled(SensorSupport::Lists(SupportLodCal, g_SensorName));
    ui->frame->setVisible(SensorSupport::Lists(SupportRipple, g_SensorName));
    ui->frame_4->setVisible(SensorSupport::Lists(SupportFixLine, g_SensorName));
    ui->frame_3->setVisible(SensorSupport::Lists(SupportMotionSync, g_SensorName));
}

void Sensor::ApplyLayout(bool reduced)
{
    // The reduced layout keeps the DPI, rate and indicator panels only and
    // moves the indicator up into the sensor section's place.
    for (QWidget *widget : {static_cast<QWidget *>(ui->TitleButton_4), static_cast<QWidget *>(ui->label_5),
                            static_cast<QWidget *>(ui->label_11), static_cast<QWidget *>(ui->ModelChoose),
                            static_cast<QWidget *>(ui->frameLOD), static_cast<QWidget *>(ui->Performance),
                            static_cast<QWidget *>(ui->PerformanceOpen)}) {
        widget->setVisible(!reduced);
    }
    if (reduced) {
        // In the full layout the on/off panels keep what their support lists gave them.
        ui->frame->hide();
        ui->frame_4->hide();
        ui->frame_3->hide();
    }
    ui->frameEffect->move(reduced ? kEffectReduced : kEffectFull);
    ui->TitleButton_3->move(reduced ? kEffectTitleReduced : kEffectTitleFull);
}

// ---- the defaults ------------------------------------------------------------------------------

void Sensor::SlotFormReset()
{
    g_SensorRefreshing = 1;
    SensorDPI *dpi = ui->frameDpi;
    ResetDpiLevels();
    ui->frameLOD->SelectByValue(0);
    ui->Performance->setEnabled(true);
    ui->Performance->setChecked(true);
    ui->frame_3->SetChecked(true);
    dpi->SetSliderValue(kDefaultDpi);
    dpi->SetSpinValue(kDefaultDpi);
    ResetByLinkType();
    if (g_CurrentDevice.Get().Wired)
        SetModeIndexSilently(kModeCorded);
    const bool was = ui->PerformanceOpen->blockSignals(true);
    ui->PerformanceOpen->setCurrentIndex(kPerformanceOneMinuteIndex);
    ui->PerformanceOpen->blockSignals(was);
    ui->frameLOD->SelectByValue(0);
    ui->frameEffect->SetMode(SensorEffect::kModeOff);
    ui->frameEffect->SetSpeed(kDefaultEffectSpeed);
    ui->frameEffect->SetBrightness(kDefaultEffectBrightness);
    ui->Performance->setChecked(false);
    ui->PerformanceOpen->setEnabled(false);
    ui->frame_3->SetChecked(true);
    ui->frame_4->SetChecked(false);
    ui->frame->SetChecked(false);
    g_SensorRefreshing = 0;
}

void Sensor::ResetDpiLevels()
{
    SensorDPI *dpi = ui->frameDpi;
    dpi->SetSliderMaximum(kDefaultSliderMax);
    dpi->SetSliderMinimum(kDefaultSliderMin);
    dpi->LoadDefaultLevels();
    dpi->ClearCountItems();
    for (int i = 0; i < kDefaultLevelCount; ++i)
        dpi->InsertCountItem(i, QString::number(i + 1));
    dpi->BlockCountSignals(false);
    dpi->ShowLevels(kDefaultLevelCount - 1);
    dpi->SetCountIndex(kDefaultLevelCount - 1);
    dpi->MoveHandle(1);
    dpi->CheckLevelButton(0);
}

void Sensor::ResetByLinkType()
{
    switch (g_CurrentDevice.Get().LinkType) {
    case kLink1k:
    case kLinkCable:
        ui->frameRate->SetRateClass(kRateClassNone);
        ui->frameRate->SetCurrentIndex(kRate1000Index);
        SetModeIndexSilently(kModeLp);
        break;
    case kLink4k:
        ui->frameRate->SetRateClass(kRateClass4k);
        ui->frameRate->SetCurrentIndex(kRate4000Index);
        SetModeIndexSilently(kModeCorded);
        break;
    case kLinkCable2:
    case kLink8k:
        ui->frameRate->SetRateClass(kRateClassAll);
        ui->frameRate->SetCurrentIndex(kRate8000Index);
        SetModeIndexSilently(kModeCorded);
        break;
    default:
        // A link without defaults of its own keeps the rate and mode it shows.
        break;
    }
}
