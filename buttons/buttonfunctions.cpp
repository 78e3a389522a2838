// The functions a row can be given, in one table (function button ->
// Function), and the one way a chosen function reaches the mouse, the row's
// caption and the model.

#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "macropanel.h"

#include "writers.h"

#include <QButtonGroup>
#include <cstring>

namespace {

// Functions of the function list clear the detail list's highlights first:
// no function, mouse buttons, fire key, report-rate and profile switch.
bool IsFunctionListFunction(const Function &function)
{
    switch (function.Entry().Type) {
    case 0:
    case Function::kMouseButton:
    case Function::kFireKey:
    case 7:
    case 9:
        return true;
    default:
        return false;
    }
}

}  // namespace

void Buttoninterface::BuildFunctionTable()
{
    const struct {
        QToolButton *button;
        int type;
        int param1;
    } plain[] = {
        {ui->LeftKey_3, 1, 1},     {ui->RightKey_3, 1, 2},    {ui->MidKey, 1, 4},       {ui->BackKey_2, 1, 8},
        {ui->ForWardKey, 1, 16},   {ui->DPI_2, 7, 0},         {ui->DPI_3, 9, 0},        {ui->DPI_5, 0, 0},
        {ui->VolumeUp_8, 2, 1},    {ui->VolumeUp_9, 2, 2},    {ui->VolumeUp_10, 2, 3},  {ui->VolumeUp_2, 3, 1},
        {ui->VolumeDown_2, 3, 2},  {ui->VolumeUp_14, 11, 1},  {ui->VolumeDown_14, 11, 2}, {ui->VolumeUp_4, 8, 0},
        {ui->VolumeUp_5, 8, 1},    {ui->VolumeUp_6, 8, 3},    {ui->VolumeUp_7, 8, 4},
    };
    for (const auto &each : plain)
        FunctionTable.insert(each.button, Function::Plain(each.type, each.param1));
    // The fire key's values are those of the dialog when it is chosen.
    FunctionTable.insert(ui->DPI_6, Function::FireKey(FireInterval, FireCount));

    const struct {
        QToolButton *button;
        int usage;
    } media[] = {
        {ui->Player, 0x183},        {ui->StartPause_2, 0xCD},   {ui->BackMusic_2, 0xB5},    {ui->TopMusic_2, 0xB6},
        {ui->Mute, 0xB7},           {ui->VolumeUp, 0xE2},       {ui->VolumeDown, 0xE9},     {ui->VolumeDown_4, 0xEA},
        {ui->VolumeDown_5, 0x18A},  {ui->VolumeDown_6, 0x192},  {ui->VolumeDown_3, 0x194},  {ui->VolumeDown_8, 0x223},
        {ui->VolumeDown_9, 0x221},  {ui->VolumeDown_7, 0x225},  {ui->VolumeDown_10, 0x224}, {ui->VolumeDown_12, 0x226},
        {ui->VolumeDown_13, 0x227}, {ui->VolumeDown_11, 0x22A},
    };
    for (const auto &each : media)
        FunctionTable.insert(each.button, Function::Keys(MediaKeyRecord(each.usage)));

    // The sensor's code of a value is taken when the lock is chosen.
    QToolButton *const locks[] = {ui->VolumeUp_11, ui->VolumeUp_12, ui->VolumeUp_13, ui->VolumeUp_16,
                                  ui->VolumeUp_15, ui->VolumeUp_19, ui->VolumeUp_20, ui->VolumeUp_22,
                                  ui->VolumeUp_18, ui->VolumeUp_24, ui->VolumeUp_23, ui->VolumeUp_21};
    int value = 0;
    for (QToolButton *lock : locks)
        FunctionTable.insert(lock, Function::DpiLock(0, value += 100));
}

std::optional<Function> Buttoninterface::FunctionOfButton(const QAbstractButton *button) const
{
    const auto found = FunctionTable.constFind(const_cast<QAbstractButton *>(button));
    if (found == FunctionTable.constEnd())
        return std::nullopt;
    switch (found->kind()) {
    case Function::Kind::FireKey:
        return Function::FireKey(FireInterval, FireCount);
    case Function::Kind::DpiLock:
        return Function::DpiLock(DpiValueToCode(found->DpiValue()), found->DpiValue());
    default:
        return *found;
    }
}

CaptionTexts Buttoninterface::CurrentCaptionTexts() const
{
    CaptionTexts texts;
    for (auto each = FunctionTable.constBegin(); each != FunctionTable.constEnd(); ++each) {
        const Function &function = each.value();
        const KeyEntry entry = function.Entry();
        switch (function.kind()) {
        case Function::Kind::Plain:
        case Function::Kind::FireKey:
            texts.plain.insert(qMakePair(int(entry.Type), CaptionTexts::ParamKey(entry.Type, entry.Param1)),
                               each.key()->text());
            break;
        case Function::Kind::KeyRecord:
            texts.media.insert(LoadKeyRecord(function.KeyRecordBytesToStore()->data()).Events[0].Code & 0xFF,
                               each.key()->text());
            break;
        case Function::Kind::Macro:
        case Function::Kind::DpiLock:
            break;
        }
    }
    texts.dpiLock = ui->DPI_4->text();
    texts.macroPrefix = MacroPrefix;
    texts.keysCaption = [](const KeyRecord &keys) { return KeysCaption(keys); };
    texts.dpiValueOfCode = [this](int code) { return DpiCodeToValue(code); };
    return texts;
}

void Buttoninterface::ShowCaption(int device, const Function &function)
{
    QToolButton *row = RowOfDeviceButton(device);
    if (!row)
        return;
    if (const std::optional<QString> caption = function.Caption(CurrentCaptionTexts()))
        row->setText(*caption);
}

void Buttoninterface::UncheckFunctionButtons()
{
    Lists->ClearDetailHighlights();
    MacroPanel->ClearChoice();
}

void Buttoninterface::ChooseFunctionOf(QAbstractButton *button, bool checked)
{
    if (!checked)
        return;
    if (const std::optional<Function> function = FunctionOfButton(button))
        OnFunctionChosen(*function);
}

void Buttoninterface::OnFunctionChosen(const Function &function)
{
    if (IsFunctionListFunction(function))
        UncheckFunctionButtons();
    AssignToSelectedRow(function);
    CloseFunctionLists();
}

WriteResult Buttoninterface::WriteFunction(int device, const Function &function)
{
    const KeyEntry entry = function.Entry();
    if (const auto &keys = function.KeyRecordBytesToStore())
        return WriteKeySequence(device, &entry, keys->data());
    return WriteKeyFunction(device, entry.Type, entry.Param1, entry.Param2);
}

WriteResult Buttoninterface::AssignToSelectedRow(const Function &function)
{
    const int device = SelectedDeviceButton();
    if (device < 0)
        return WriteResult::Refused;
    return AssignToDevice(device, function);
}

WriteResult Buttoninterface::AssignToDevice(int device, const Function &function)
{
    const int row = ButtonAssignments::RowOfDevice(device);
    if (row < 0)
        return WriteResult::Refused;
    const WriteResult result = WriteFunction(device, function);
    if (result == WriteResult::Refused)
        return result;  // the page has been filled again with what the mouse holds
    ShowCaption(device, function);
    Model.Assign(row, function);
    return result;
}

void Buttoninterface::RestoreFunctionDefault(int device, QToolButton *button)
{
    const std::optional<Function> function = FunctionOfButton(button);
    if (!function || !RowOfDeviceButton(device))
        return;
    // The row's key record goes with the macro it no longer plays.
    const Function restored = function->ClearingKeyRecord();
    const KeyEntry entry = restored.Entry();
    const WriteResult result = WriteImageChange([device, entry](FlashDataMap &image) {
        std::memset(image.KeySequences[device], 0, kKeySequenceSize);
        image.Keys[device] = entry;
    });
    if (result == WriteResult::Refused)
        return;
    ShowCaption(device, restored);
    Model.Assign(ButtonAssignments::RowOfDevice(device), restored);
}

void Buttoninterface::on_LeftKey_3_clicked(bool checked) { ChooseFunctionOf(ui->LeftKey_3, checked); }
void Buttoninterface::on_RightKey_3_clicked(bool checked) { ChooseFunctionOf(ui->RightKey_3, checked); }
void Buttoninterface::on_MidKey_clicked(bool checked) { ChooseFunctionOf(ui->MidKey, checked); }
void Buttoninterface::on_BackKey_2_clicked(bool checked) { ChooseFunctionOf(ui->BackKey_2, checked); }
void Buttoninterface::on_ForWardKey_clicked(bool checked) { ChooseFunctionOf(ui->ForWardKey, checked); }
void Buttoninterface::on_DPI_2_clicked(bool checked) { ChooseFunctionOf(ui->DPI_2, checked); }
void Buttoninterface::on_DPI_3_clicked(bool checked) { ChooseFunctionOf(ui->DPI_3, checked); }
void Buttoninterface::on_DPI_5_clicked(bool checked) { ChooseFunctionOf(ui->DPI_5, checked); }
void Buttoninterface::on_VolumeUp_2_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_2, checked); }
void Buttoninterface::on_VolumeDown_2_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_2, checked); }
void Buttoninterface::on_VolumeUp_4_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_4, checked); }
void Buttoninterface::on_VolumeUp_5_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_5, checked); }
void Buttoninterface::on_VolumeUp_6_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_6, checked); }
void Buttoninterface::on_VolumeUp_7_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_7, checked); }
void Buttoninterface::on_VolumeUp_8_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_8, checked); }
void Buttoninterface::on_VolumeUp_9_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_9, checked); }
void Buttoninterface::on_VolumeUp_10_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_10, checked); }
void Buttoninterface::on_VolumeUp_14_clicked(bool checked) { ChooseFunctionOf(ui->VolumeUp_14, checked); }
void Buttoninterface::on_VolumeDown_14_clicked(bool checked) { ChooseFunctionOf(ui->VolumeDown_14, checked); }
