// The rows' captions from a settings image, and the slots with which the page
// brings itself up to date: from an image read from the mouse or its cache,
// from an imported (or cached) image the wait popup applied, and to the
// defaults when there is neither.

#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "configini.h"
#include "connection.h"
#include "globals.h"
#include "keylabels.h"
#include "macrofile.h"
#include "postmsg.h"
#include "sleeptime.h"

#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cstring>

namespace {

constexpr int kKeyFunction = 5;
constexpr int kMacroFunction = 6;
constexpr int kDpiLockFunction = 10;
// Entries whose caption does not depend on param1.
constexpr int kAnyParam = -1;

// The button whose text captions an entry.
struct Caption {
    int type;
    int param1;
    const char *button;
};
constexpr Caption kCaptions[] = {
    {0, kAnyParam, "DPI_5"},      {1, 1, "LeftKey_3"},      {1, 2, "RightKey_3"},     {1, 4, "MidKey"},
    {1, 8, "BackKey_2"},          {1, 16, "ForWardKey"},    {2, 1, "VolumeUp_8"},     {2, 2, "VolumeUp_9"},
    {2, 3, "VolumeUp_10"},        {3, 1, "VolumeUp_2"},     {3, 2, "VolumeDown_2"},   {4, kAnyParam, "DPI_6"},
    {7, kAnyParam, "DPI_2"},      {8, 0, "VolumeUp_4"},     {8, 1, "VolumeUp_5"},     {8, 3, "VolumeUp_6"},
    {8, 4, "VolumeUp_7"},         {9, kAnyParam, "DPI_3"},  {11, 1, "VolumeUp_14"},   {11, 2, "VolumeDown_14"},
};

// The reset's lists: left, right, middle, back and forward, then DPI cycle.
const QVector<int> kResetTypes{1, 1, 1, 1, 1, 2};
const QVector<int> kResetParam1{1, 2, 4, 8, 16, 1};
const QVector<int> kResetParam2{0, 0, 0, 0, 0, 0};
constexpr int kResetDebounceIndex = 8;

QString CurrentDriveGroup()
{
    return ConfigIni::DriveGroup(g_CurrentDevice.Get().DriveIndex);
}

// The buttons of the current model that the page shows, at most the image's 16.
int ModelKeyNumber()
{
    bool ok = false;
    const int keys = ConfigIni::GetInstance()->Value(CurrentDriveGroup(), QStringLiteral("KeyNumber")).toInt(&ok, 10);
    return ok ? std::clamp(keys, 0, kKeyCount) : 0;
}

}  // namespace

std::optional<FlashDataMap> Buttoninterface::ShownImage() const
{
    if (!FilledImage)
        return std::nullopt;
    if (g_DeviceOnline && g_DeviceDataReady && ImageIsDevicesOwn())
        return ReadImage();
    return FilledImage;
}

// ---- captions ---------------------------------------------------------------------

QToolButton *Buttoninterface::FunctionButtonOf(int type, int param1) const
{
    for (const Caption &caption : kCaptions) {
        if (caption.type == type && (caption.param1 == kAnyParam || caption.param1 == param1))
            return findChild<QToolButton *>(QLatin1String(caption.button));
    }
    return nullptr;
}

void Buttoninterface::ShowButtonFunction(int button, int type, int param1, int param2, const FlashDataMap &image)
{
    QToolButton *row = RowOfDeviceButton(button);
    if (!row)
        return;
    switch (type) {
    case kKeyFunction:
        ShowKeyCaption(row, image.KeySequences[button]);
        break;
    case kMacroFunction:
        ShowMacroCaption(row, button, param2, image);
        break;
    case kDpiLockFunction:
        row->setText(ui->DPI_4->text() + QLatin1Char('-') + QString::number(DpiCodeToValue(param1)));
        break;
    default:
        if (const QToolButton *function = FunctionButtonOf(type, param1))
            row->setText(function->text());
        break;
    }
}

void Buttoninterface::ShowKeyCaption(QToolButton *row, const uint8_t *record)
{
    const KeyRecord keys = LoadKeyRecord(record);
    const MacroEvent &first = keys.Events[0];
    if (first.Kind == kKindConsumer) {
        // A media key, known by the low byte of its usage.
        if (const QToolButton *media = MediaButtonOfCode(first.Code & 0xFF))
            row->setText(media->text());
        return;
    }
    const int named = CaptionKeyCount(keys.Count);
    const KeyLabels labels = KeyLabels::Current();
    QStringList names;
    for (int i = 0; i < named; ++i)
        names.append(labels.Shown(KeyCodeToName(keys.Events[i].Code & 0xFF, keys.Events[i].Kind)));
    row->setText(names.join(QLatin1Char('+')));
}

int Buttoninterface::CaptionKeyCount(int count)
{
    // A combination stores its presses first. A count beyond the record's
    // events would name releases and bytes past the record: such a record
    // names its presses, the first three.
    return count > kKeyRecordEvents * 2 ? kKeyRecordKeys : count / 2;
}

void Buttoninterface::ShowMacroCaption(QToolButton *row, int button, int loopCode, const FlashDataMap &image)
{
    const QString name = MacroNameOf(image.Macros[button]);
    row->setText(MacroPrefix + name);
    Q_UNUSED(loopCode);  // the editor takes it from the image's entry
    // A name from the mouse or an import becomes a file name only when it is
    // safe as one; "" or "../x" touch no file and reach no editor.
    if (!IsSafeMacroName(name))
        return;
    // A macro saved but not yet on the mouse keeps its file, which goes to
    // the mouse once the fill is over.
    if (HoldsPendingMacro(name)) {
        QTimer::singleShot(0, this, [this, button, name] { SendSavedMacro(button, name); });
        return;
    }
    PostMsg::GetInstance()->EmitButtonToMacro(image, button);
}

// ---- fills ------------------------------------------------------------------------

int Buttoninterface::SleepSeconds(const FlashDataMap &image)
{
    return SleepTime::SecondsOfCode(image.StopCloseTime);
}

void Buttoninterface::ShowButtons(const FlashDataMap &image)
{
    FilledImage = image;
    ui->OutputData->setEnabled(true);
    const int keys = ModelKeyNumber();
    KeyTypeList.clear();
    KeyParam1List.clear();
    KeyParam2List.clear();
    for (int i = 0; i < keys; ++i) {
        KeyTypeList.append(image.Keys[i].Type);
        KeyParam1List.append(image.Keys[i].Param1);
        KeyParam2List.append(image.Keys[i].Param2);
    }
    for (int i = 0; i < keys; ++i)
        ShowButtonFunction(i, KeyTypeList.at(i), KeyParam1List.at(i), KeyParam2List.at(i), image);
}

void Buttoninterface::SlotUpDataButtonUIButton(FlashDataMap DataMap)
{
    g_ButtonFilled = 0;
    g_ButtonRefreshing = 1;
    PostMsg::GetInstance()->EmitLightToFrom(SleepSeconds(DataMap));
    SensorName = CurrentSensorName();
    ShowButtons(DataMap);
    // The panel shows the value without writing it; a value the box does not
    // hold leaves the box as it is.
    if (DataMap.DebounceTime <= DebounceTime::kMaxMs)
        ui->DebunceButton->SetCurrentIndex(DataMap.DebounceTime);
    g_ButtonFilled = 1;
    g_ButtonRefreshing = 0;
}

void Buttoninterface::SlotUpDataButtonUIB(FlashDataMap DataMap)
{
    g_ButtonRefreshing = 1;
    SensorName = CurrentSensorName();
    PostMsg::GetInstance()->EmitLightToFrom(SleepSeconds(DataMap));
    ShowButtons(DataMap);
    // Taken as a choice: a changed value is written again (silently skipped
    // offline, the page being filled) and a very short one is warned about.
    if (DataMap.DebounceTime <= DebounceTime::kMaxMs)
        ui->DebunceButton->ChooseIndex(DataMap.DebounceTime);
    g_ButtonRefreshing = 0;
}

void Buttoninterface::SlotFormResetButton()
{
    g_ButtonRefreshing = 1;
    ShowMousePicture();
    PostMsg::GetInstance()->EmitMouseIndex(0);
    ui->stackedWidget->setCurrentWidget(ui->page);
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    KeyTypeList = kResetTypes;
    KeyParam1List = kResetParam1;
    KeyParam2List = kResetParam2;
    // The rows show the defaults rather than the previous mouse's functions.
    FilledImage.reset();
    ui->OutputData->setEnabled(false);  // no settings of this mouse to export
    for (int button = 0; button < kResetTypes.size(); ++button)
        ShowButtonFunction(button, kResetTypes.at(button), kResetParam1.at(button), kResetParam2.at(button),
                           FlashDataMap{});
    ui->DebunceButton->SetCurrentIndex(kResetDebounceIndex);
    PostMsg::GetInstance()->EmitLightToFrom(SleepTime::SecondsOfCode(SleepTime::CodeOfItem(SleepTime::kDefaultItem)));
    g_ButtonRefreshing = 0;
}
