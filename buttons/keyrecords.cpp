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

namespace {

constexpr int kKeyFunction = 5;
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

// The media buttons and their consumer usages; the low byte of a usage is the
// media key's code.
struct MediaKey {
    const char *button;
    int usage;
};
constexpr MediaKey kMediaKeys[] = {
    {"Player", 0x183},       {"StartPause_2", 0xCD},  {"BackMusic_2", 0xB5},   {"TopMusic_2", 0xB6},
    {"Mute", 0xB7},          {"VolumeUp", 0xE2},      {"VolumeDown", 0xE9},    {"VolumeDown_4", 0xEA},
    {"VolumeDown_5", 0x18A}, {"VolumeDown_6", 0x192}, {"VolumeDown_3", 0x194}, {"VolumeDown_8", 0x223},
    {"VolumeDown_9", 0x221}, {"VolumeDown_7", 0x225}, {"VolumeDown_10", 0x224}, {"VolumeDown_12", 0x226},
    {"VolumeDown_13", 0x227}, {"VolumeDown_11", 0x22A},
};

const MediaKey *MediaKeyOfButton(const QObject *button)
{
    for (const MediaKey &key : kMediaKeys) {
        if (button->objectName() == QLatin1String(key.button))
            return &key;
    }
    return nullptr;
}

const MediaKey *MediaKeyOfCode(int code)
{
    for (const MediaKey &key : kMediaKeys) {
        if ((key.usage & 0xFF) == code)
            return &key;
    }
    return nullptr;
}

bool IsRowButton(int button)
{
    return button >= 0 && button < Buttoninterface::kRows;
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

// ---- writing ----------------------------------------------------------------------

bool Buttoninterface::WriteKeyRecord(int button, const KeyRecord &record, const QString &caption)
{
    const KeyEntry entry{kKeyFunction, 0, 0};
    const KeyRecordBytes bytes = StoreKeyRecord(record);
    if (WriteKeySequence(button, &entry, bytes.data()) == WriteResult::Refused)
        return false;
    StoreButtonFunction(button, kKeyFunction, 0, 0);
    RowOfDeviceButton(button)->setText(caption);
    return true;
}

void Buttoninterface::WriteKeyCombination(int button, const QString &text)
{
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
    UncheckFunctionButtons();
    if (IsRowButton(button))
        WriteKeyRecord(button, ComboTextToKeyRecord(text), ComboTextKept(text));
    // The function list stays open for the next choice.
    ui->stackedWidget->setCurrentWidget(ui->page_2);
    ShowRowsScrollBar();
    ui->stackedWidget_2->setCurrentWidget(ui->page_9);
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
    const MediaKey *key = MediaKeyOfCode(code);
    return key ? findChild<QToolButton *>(QLatin1String(key->button)) : nullptr;
}

void Buttoninterface::WriteMediaKey(int button, int code)
{
    const MediaKey *key = MediaKeyOfCode(code);
    if (!key || !IsRowButton(button))
        return;
    WriteKeyRecord(button, MediaKeyRecord(key->usage), MediaButtonOfCode(code)->text());
}

void Buttoninterface::WriteMediaButton(QToolButton *button, bool checked)
{
    if (!checked)
        return;
    const MediaKey *key = MediaKeyOfButton(button);
    if (!key)
        return;
    const int device = SelectedDeviceButton();
    if (device >= 0)
        WriteKeyRecord(device, MediaKeyRecord(key->usage), button->text());
    CloseFunctionLists();
}

void Buttoninterface::on_Player_clicked(bool checked) { WriteMediaButton(ui->Player, checked); }
void Buttoninterface::on_StartPause_2_clicked(bool checked) { WriteMediaButton(ui->StartPause_2, checked); }
void Buttoninterface::on_BackMusic_2_clicked(bool checked) { WriteMediaButton(ui->BackMusic_2, checked); }
void Buttoninterface::on_TopMusic_2_clicked(bool checked) { WriteMediaButton(ui->TopMusic_2, checked); }
void Buttoninterface::on_Mute_clicked(bool checked) { WriteMediaButton(ui->Mute, checked); }
void Buttoninterface::on_VolumeUp_clicked(bool checked) { WriteMediaButton(ui->VolumeUp, checked); }
void Buttoninterface::on_VolumeDown_clicked(bool checked) { WriteMediaButton(ui->VolumeDown, checked); }
void Buttoninterface::on_VolumeDown_4_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_4, checked); }
void Buttoninterface::on_VolumeDown_5_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_5, checked); }
void Buttoninterface::on_VolumeDown_6_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_6, checked); }
void Buttoninterface::on_VolumeDown_3_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_3, checked); }
void Buttoninterface::on_VolumeDown_8_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_8, checked); }
void Buttoninterface::on_VolumeDown_9_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_9, checked); }
void Buttoninterface::on_VolumeDown_7_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_7, checked); }
void Buttoninterface::on_VolumeDown_10_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_10, checked); }
void Buttoninterface::on_VolumeDown_12_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_12, checked); }
void Buttoninterface::on_VolumeDown_13_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_13, checked); }
void Buttoninterface::on_VolumeDown_11_clicked(bool checked) { WriteMediaButton(ui->VolumeDown_11, checked); }
