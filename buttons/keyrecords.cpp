// Key combinations and media keys: the key records of buttons whose function
// is a key (entry {5, 0, 0}), and the display names of their codes.

#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "groupkey.h"
#include "keylabels.h"
#include "keynames.h"
#include "noticedialog.h"
#include "writers.h"

#include <QStackedWidget>
#include <QStringList>
#include <optional>

namespace {

// The key-combination dialog sits left of and above the page's centre.
constexpr int kKeyDialogOffsetX = -50;
constexpr int kKeyDialogOffsetY = -70;
constexpr uint8_t kPress = 0;
constexpr uint8_t kRelease = 1;

// The modifiers a combination names, as bits of the keyboard report's
// modifier byte (the left-hand keys).
struct Modifier {
    const char *name;
    int bit;
};
constexpr Modifier kModifiers[] = {{"Ctrl", 0x01}, {"Shift", 0x02}, {"Alt", 0x04}, {"Win", 0x08}};

const Modifier *ModifierNamed(const QString &name)
{
    for (const Modifier &modifier : kModifiers) {
        if (name == QLatin1String(modifier.name))
            return &modifier;
    }
    return nullptr;
}

// The consumer usages of the media keys; the low byte of a usage is the
// media key's code.
constexpr int kMediaUsages[] = {0x183, 0xCD,  0xB5,  0xB6,  0xB7,  0xE2,  0xE9,  0xEA,  0x18A,
                                0x192, 0x194, 0x223, 0x221, 0x225, 0x224, 0x226, 0x227, 0x22A};

std::optional<int> MediaUsageOfCode(int code)
{
    for (int usage : kMediaUsages) {
        if ((usage & 0xFF) == code)
            return usage;
    }
    return std::nullopt;
}

bool IsRowButton(int button)
{
    return ButtonAssignments::RowOfDevice(button) >= 0;
}

}  // namespace

// ---- records ----------------------------------------------------------------------

QString Buttoninterface::ComboTextKept(const QString &text)
{
    return KeyNames::SplitCombination(text).mid(0, kKeyRecordKeys).join(QLatin1Char('+'));
}

KeyRecord Buttoninterface::ComboTextToKeyRecord(const QString &text)
{
    // Empty parts are keys too: "A+" is A and the empty name.
    const QStringList keys = KeyNames::SplitCombination(text).mid(0, kKeyRecordKeys);
    const KeyLabels labels = KeyLabels::Current();
    const int count = keys.size();
    KeyRecord record = EmptyKeyRecord();
    for (int i = 0; i < count; ++i)
        record = KeyNameToEvents(labels.Name(keys.at(i)), i, count, record);
    record.Count = uint8_t(2 * count);
    return record;
}

KeyRecord Buttoninterface::KeyNameToEvents(const QString &name, int position, int keyCount, KeyRecord record)
{
    if (keyCount < 1 || keyCount > kKeyRecordKeys || position < 0 || position >= keyCount)
        return record;
    MacroEvent &press = record.Events[position];
    MacroEvent &release = record.Events[2 * keyCount - 1 - position];
    press.Action = kPress;
    release.Action = kRelease;
    press.Delay = release.Delay = kKeyEventDelayMs;
    if (const Modifier *modifier = ModifierNamed(name)) {
        press.Kind = release.Kind = uint8_t(kKindModifier);
        press.Code = release.Code = uint16_t(modifier->bit);
        return record;
    }
    // An unknown name keeps the code the record has: a key of code 0, which is none.
    press.Kind = release.Kind = uint8_t(kKindKeyboard);
    if (const std::optional<int> usage = KeyNames::KeyboardUsage(name))
        press.Code = release.Code = uint16_t(*usage);
    return record;
}

QString Buttoninterface::KeyCodeToName(int code, int kind)
{
    const bool modifier = kind == kKindModifier;
    const bool keyboard = kind == kKindKeyboard;
    // Codes that are both a keyboard usage and a modifier bit go by the kind.
    switch (code) {
    case 0x04:
        return modifier ? QStringLiteral("Alt") : keyboard ? QStringLiteral("A") : QString();
    case 0x08:
        return modifier ? QStringLiteral("Win") : keyboard ? QStringLiteral("E") : QString();
    case 0x10:
        return modifier ? QStringLiteral("Ctrl") : QStringLiteral("M");
    case 0x20:
        return modifier ? QStringLiteral("Shift") : keyboard ? QStringLiteral("3") : QString();
    case 0x40:
        return modifier ? QStringLiteral("Alt") : keyboard ? QStringLiteral("F7") : QString();
    case 0x01:
        return QStringLiteral("Ctrl");
    case 0x02:
        return QStringLiteral("Shift");
    case 0x80:
        return QStringLiteral("Win");
    case 0x58:  // keypad Enter
        return QStringLiteral("Enter");
    default:
        return KeyNames::KeyboardName(code);
    }
}

void Buttoninterface::MacroKeyNameToEvent(const QString &name, int index, MacroRecord &record)
{
    KeyNames::KeyNameToEvent(name, index, record);
}

QString Buttoninterface::KeysCaption(const KeyRecord &keys)
{
    const int named = CaptionKeyCount(keys.Count);
    const KeyLabels labels = KeyLabels::Current();
    QStringList names;
    for (int i = 0; i < named; ++i)
        names.append(labels.Shown(KeyCodeToName(keys.Events[i].Code & 0xFF, keys.Events[i].Kind)));
    return names.join(QLatin1Char('+'));
}

// ---- writing ----------------------------------------------------------------------

void Buttoninterface::WriteKeyCombination(int button, const QString &text)
{
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    UncheckFunctionButtons();
    if (IsRowButton(button))
        AssignToDevice(button, Function::Keys(ComboTextToKeyRecord(text)));
    // The function list stays open for the next choice.
    Lists->KeepFunctionListOpen();
}

void Buttoninterface::on_DPI_8_clicked()
{
    GroupKey dialog;
    PlaceOnOpener(&dialog, this, kKeyDialogOffsetX, kKeyDialogOffsetY);
    dialog.exec();
    if (!dialog.Confirmed)
        return;  // the lists stay as they are
    WriteKeyCombination(SelectedDeviceButton(), dialog.ComboText);
}

QToolButton *Buttoninterface::MediaButtonOfCode(int code) const
{
    for (auto each = FunctionTable.constBegin(); each != FunctionTable.constEnd(); ++each) {
        const auto &keys = each.value().KeyRecordBytesToStore();
        if (keys && (LoadKeyRecord(keys->data()).Events[0].Code & 0xFF) == code)
            return qobject_cast<QToolButton *>(each.key());
    }
    return nullptr;
}

void Buttoninterface::WriteMediaKey(int button, int code)
{
    const std::optional<int> usage = MediaUsageOfCode(code);
    if (usage && IsRowButton(button))
        AssignToDevice(button, Function::Keys(MediaKeyRecord(*usage)));
}

void Buttoninterface::on_Player_clicked(bool checked) { ChooseFunctionOf(ui->Player, checked); }
void Buttoninterface::on_StartPause_2_clicked(bool checked) { ChooseFunctionOf(ui->StartPause_2, checked); }
void Buttoninterface::on_BackMusic_2_clicked(bool checked) { ChooseFunctionOf(ui->BackMusic_2, checked); }
void Buttoninterface::on_TopMusic_2_clicked(bool checked) { ChooseFunctionOf(ui->TopMusic_2, checked); }
void Buttoninterface::on_Mute_clicked(bool checked) { ChooseFunctionOf(ui->Mute, checked); }
void Buttoninterface::on_VolumeUp_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp, checked); }
void Buttoninterface::on_VolumeDown_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown, checked); }
void Buttoninterface::on_VolumeDown_4_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_4, checked); }
void Buttoninterface::on_VolumeDown_5_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_5, checked); }
void Buttoninterface::on_VolumeDown_6_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_6, checked); }
void Buttoninterface::on_VolumeDown_3_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_3, checked); }
void Buttoninterface::on_VolumeDown_8_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_8, checked); }
void Buttoninterface::on_VolumeDown_9_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_9, checked); }
void Buttoninterface::on_VolumeDown_7_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_7, checked); }
void Buttoninterface::on_VolumeDown_10_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_10, checked); }
void Buttoninterface::on_VolumeDown_12_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_12, checked); }
void Buttoninterface::on_VolumeDown_13_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_13, checked); }
void Buttoninterface::on_VolumeDown_11_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_11, checked); }
