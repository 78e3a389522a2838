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
    if (!Model.HoldsSettings())
        return std::nullopt;
    if (g_DeviceOnline && g_DeviceDataReady && ImageIsDevicesOwn())
        return ReadImage();
    return Model.Image();
}

// ---- captions ---------------------------------------------------------------------

QToolButton *Buttoninterface::FunctionButtonOf(int type, int param1) const
{
    for (auto each = FunctionTable.constBegin(); each != FunctionTable.constEnd(); ++each) {
        const Function &function = each.value();
        if (function.kind() != Function::Kind::Plain && function.kind() != Function::Kind::FireKey)
            continue;
        const KeyEntry entry = function.Entry();
        if (entry.Type == type && CaptionTexts::ParamKey(type, entry.Param1) == CaptionTexts::ParamKey(type, param1))
            return qobject_cast<QToolButton *>(each.key());
    }
    return nullptr;
}

void Buttoninterface::ShowButtonFunction(int button, int type, int param1, int param2, const FlashDataMap &image)
{
    if (!RowOfDeviceButton(button))
        return;
    const KeyEntry entry{uint8_t(type), uint8_t(param1), uint8_t(param2)};
    ShowCaption(button, Function::Stored(entry, image.KeySequences[button], image.Macros[button]));
    if (type == Function::kMacro)
        FollowMacroRow(button, image);
}

int Buttoninterface::CaptionKeyCount(int count)
{
    // A combination stores its presses first. A count beyond the record's
    // events would name releases and bytes past the record: such a record
    // names its presses, the first three.
    return count > kKeyRecordEvents * 2 ? kKeyRecordKeys : count / 2;
}

void Buttoninterface::FollowMacroRow(int button, const FlashDataMap &image)
{
    const QString name = Function::MacroNameOf(image.Macros[button]);
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
    Model.Load(image, ModelKeyNumber());
    ui->OutputData->setEnabled(true);
    for (int i = 0; i < Model.KeyCount(); ++i) {
        const KeyEntry entry = image.Keys[i];
        ShowButtonFunction(i, entry.Type, entry.Param1, entry.Param2, image);
    }
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
    // The rows show the defaults rather than the previous mouse's functions.
    Model.Reset();
    ui->OutputData->setEnabled(false);  // no settings of this mouse to export
    for (int row = 0; row < kRows; ++row)
        ShowCaption(ButtonAssignments::DeviceOfRow(row), *Model.FunctionOfRow(row));
    ui->DebunceButton->SetCurrentIndex(kResetDebounceIndex);
    PostMsg::GetInstance()->EmitLightToFrom(SleepTime::SecondsOfCode(SleepTime::CodeOfItem(SleepTime::kDefaultItem)));
    g_ButtonRefreshing = 0;
}
