// The settings page's controls and the device's reports on the receiver
// options: the advanced blocks, the language box, start at login, the mouse
// settings and web links, pairing, long range, the receiver LED and the
// sleep time.

#include "formsetting.h"

#include "ui_formsetting.h"

#include "autostart.h"
#include "configini.h"
#include "globals.h"
#include "hidusb.h"
#include "macroini.h"
#include "match.h"
#include "mousesettings.h"
#include "notices.h"
#include "postmsg.h"
#include "sleeptime.h"
#include "stopclosetime.h"
#include "weblink.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QSignalBlocker>
#include <QUrl>
#include <optional>

namespace {

// Items of the model's Adveanced list; "-1" means the model lacks the option.
constexpr int kLongRangeItem = 0;
constexpr int kLedItem = 1;
const char kOptionAbsent[] = "-1";

// Only the 4 kHz receiver has an LED.
constexpr uint8_t kLedReceiverLink = 1;

DeviceAllInfo CurrentDevice()
{
    return g_CurrentDevice.Get();
}

bool HasOption(int item)
{
    const QString group = ConfigIni::DriveGroup(CurrentDevice().DriveIndex);
    return ConfigIni::GetInstance()->AdvancedItem(group, item) != QLatin1String(kOptionAbsent);
}

bool IsReceiverLink(const DeviceAllInfo &device)
{
    return !DeviceAllInfo::IsWiredLink(device.LinkType);
}

bool DeviceOnline()
{
    return UsbFinderC_GetDeviceOnLine(g_CurrentPath);
}

// The receiver's own long-range state; none when no receiver answers.
std::optional<bool> ReceiverLongRange()
{
    unsigned char state = 0;
    if (!UsbFinderC_GetLongRangeMode(g_CurrentPath, &state))
        return std::nullopt;
    return state != 0;
}

// The receiver's own LED mode, or the last one it reported.
int ReceiverLedMode()
{
    DongleRGB record = ReadDongleRgb();
    UsbFinderC_Get4KDongleRGBValue(g_CurrentPath, &record);
    return record.Mode;
}

}  // namespace

// ---- the receiver options' blocks ---------------------------------------------------------

// After every whole read of the mouse, and when an offline mouse's stored
// image is shown.
void FormSetting::SlotForm()
{
    FollowModelAndLink(true);
    ShowReceiverLongRange();
}

// After a settings import: the same, but the long-range block is never shown.
void FormSetting::SlotFormB()
{
    FollowModelAndLink(false);
}

// Hides what the model lacks, the LED block for every receiver link (the LED
// report shows it again), and both blocks on a cable.
void FormSetting::FollowModelAndLink(bool mayShowLongRange)
{
    if (!HasOption(kLedItem))
        SetLedBlockVisible(false);
    if (!HasOption(kLongRangeItem))
        SetLongRangeBlockVisible(false);
    else if (mayShowLongRange)
        SetLongRangeBlockVisible(true);

    const DeviceAllInfo device = CurrentDevice();
    if (IsReceiverLink(device)) {
        SetLedBlockVisible(false);
        ApplyCompactLayout();
    }
    if (device.Wired) {
        SetLongRangeBlockVisible(false);
        SetLedBlockVisible(false);
        ApplyCompactLayout();
    }
}

// The mouse is gone and no stored image exists.
void FormSetting::SlotFormResetForm()
{
    SetLongRangeBlockVisible(false);
    SetLedBlockVisible(false);
    form->checkBox_2->setChecked(false);
    ApplyCompactLayout();
}

// The 4 kHz receiver reported its LED mode (1, 2 or 3; any other mode shows
// the block with no box changed). The box is set as a click would set it, so
// with writes allowed the mode goes back to the receiver.
void FormSetting::SlotRGBValue(DongleRGB *Rgb)
{
    const DeviceAllInfo device = CurrentDevice();
    if (!HasOption(kLedItem) || device.Wired || device.LinkType != kLedReceiverLink)
        return;
    SetLedBlockVisible(true);
    QCheckBox *const boxes[] = {form->ReUntil, form->ReUntil_2, form->ReUntil_3};
    const int mode = Rgb ? Rgb->Mode : 0;
    if (mode >= 1 && mode <= 3)
        boxes[mode - 1]->setChecked(true);
    ApplyExpandedLayout();
}

// The receiver reported its long-range state; set as a click would set it.
void FormSetting::SlotLongRangeMode(bool Select)
{
    if (!HasOption(kLongRangeItem))
        return;
    SetLongRangeBlockVisible(true);
    form->checkBox_2->setChecked(Select);
}

// Offline the box goes back to what the receiver has, and the user is told.
void FormSetting::on_checkBox_2_toggled(bool checked)
{
    if (!g_WritesAllowed)
        return;
    if (!DeviceOnline()) {
        ShowReceiverLongRange();
        PostMsg::GetInstance()->EmitMouseOffLineo(0);
        return;
    }
    UsbFinderC_SetLongRangeMode(g_CurrentPath, checked);
}

// Shows the receiver's state without writing it back.
void FormSetting::ShowReceiverLongRange()
{
    if (const std::optional<bool> on = ReceiverLongRange()) {
        const QSignalBlocker quiet(form->checkBox_2);
        form->checkBox_2->setChecked(*on);
    }
}

void FormSetting::ShowReceiverLed()
{
    const int mode = ReceiverLedMode();
    QCheckBox *const boxes[] = {form->ReUntil, form->ReUntil_2, form->ReUntil_3};
    if (mode < 1 || mode > 3)
        return;
    for (QCheckBox *box : boxes) {
        const QSignalBlocker quiet(box);
        box->setChecked(box == boxes[mode - 1]);
    }
}

void FormSetting::on_ReUntil_toggled(bool checked)
{
    WriteLedMode(1, checked);
}

void FormSetting::on_ReUntil_2_toggled(bool checked)
{
    WriteLedMode(2, checked);
}

void FormSetting::on_ReUntil_3_toggled(bool checked)
{
    WriteLedMode(3, checked);
}

// Both boxes of an exclusive change come here; only the checked one acts.
// Offline the boxes go back to the receiver's mode and the notice is shown
// once. Online the whole record goes out with the mode in byte 0.
void FormSetting::WriteLedMode(int mode, bool checked)
{
    if (!g_WritesAllowed || !checked)
        return;
    if (!DeviceOnline()) {
        ShowReceiverLed();
        PostMsg::GetInstance()->EmitMouseOffLineo(0);
        return;
    }
    DongleRGB record = ReadDongleRgb();
    record.Mode = uint8_t(mode);
    StoreDongleRgb(record);
    UsbFinderC_Set4KDongleRGB(g_CurrentPath, &record);
}

// ---- language -----------------------------------------------------------------------------

// Stored first: every page reloads its texts on SigChangeLanguage, and the
// web link is chosen by the stored index.
void FormSetting::on_comboBox_activated(int index)
{
    MacroIni::GetInstance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"),
                                      QString::number(index));
    PostMsg *hub = PostMsg::GetInstance();
    hub->EmitChangeLanguage(index);
    hub->EmitLanguageSameA(index);
}

// The device list's box chose a language; it has stored and announced it.
void FormSetting::SlotLanguageSameB(int index)
{
    form->comboBox->setCurrentIndex(index);
}

// ---- start at login, mouse settings, web link ---------------------------------------------

// The box and Macro.ini follow the entry: a change that could not be made
// puts the box back and says why.
void FormSetting::on_checkBox_clicked(bool checked)
{
    const bool changed = checked ? Autostart::Enable(QCoreApplication::applicationFilePath()) : Autostart::Disable();
    if (!changed) {
        form->checkBox->setChecked(!checked);
        ShowControlNotice(checked ? AutoStartOnFailText : AutoStartOffFailText);
        return;
    }
    MacroIni::GetInstance()->SetValue(QStringLiteral("AutoStart"), QStringLiteral("Enable"),
                                      checked ? QStringLiteral("1") : QStringLiteral("0"));
}

void FormSetting::on_pushButton_clicked()
{
    if (!MouseSettings::Open())
        ShowControlNotice(NoOpenerText);
}

// The link's text is the address; only a web address is handed on.
void FormSetting::on_pushButton_3_clicked()
{
    const QUrl address = WebLink::Checked(form->pushButton_3->text());
    if (address.isEmpty()) {
        ShowControlNotice(NotWebAddressText);
        return;
    }
    if (!QDesktopServices::openUrl(address))
        ShowControlNotice(NoOpenerText);
}

void FormSetting::ShowControlNotice(const QString &text)
{
    UpDateWarning notice;
    notice.SetLabelText(text);
    PlaceOnOpener(&notice, this);
    notice.exec();
}

// ---- pairing ------------------------------------------------------------------------------

void FormSetting::on_pushButton_2_clicked()
{
    RunPairingFromSettingsPage(this);
}

// ---- sleep time ---------------------------------------------------------------------------

void FormSetting::SlotLightToFrom(int index)
{
    // A time the mouse does not offer changes nothing; SetCurrentIndex sends nothing.
    const int item = SleepTime::ItemOfSeconds(index);
    if (item >= 0)
        form->frameClose->SetCurrentIndex(item);
}
