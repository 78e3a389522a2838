// The simple functions a row can be given: mouse buttons, report-rate and
// profile switch, no function, tilt, lighting, DPI actions and the wheel.

#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "macropanel.h"

#include "writers.h"

#include <QButtonGroup>
#include <cstring>

namespace {

// The entry (KeyEntry type and parameters) each function button writes, and
// whether it sits in the function list (which clears the detail lists first).
struct SimpleFunction {
    const char *button;
    int type;
    int param1;
    int param2;
    bool inFunctionList;
};

constexpr SimpleFunction kSimpleFunctions[] = {
    {"LeftKey_3", 1, 1, 0, true},     {"RightKey_3", 1, 2, 0, true},    {"MidKey", 1, 4, 0, true},
    {"BackKey_2", 1, 8, 0, true},     {"ForWardKey", 1, 16, 0, true},   {"DPI_2", 7, 0, 0, true},
    {"DPI_3", 9, 0, 0, true},         {"DPI_5", 0, 0, 0, true},         {"VolumeUp_8", 2, 1, 0, false},
    {"VolumeUp_9", 2, 2, 0, false},   {"VolumeUp_10", 2, 3, 0, false},  {"VolumeUp_2", 3, 1, 0, false},
    {"VolumeDown_2", 3, 2, 0, false}, {"VolumeUp_14", 11, 1, 0, false}, {"VolumeDown_14", 11, 2, 0, false},
    {"VolumeUp_4", 8, 0, 0, false},   {"VolumeUp_5", 8, 1, 0, false},   {"VolumeUp_6", 8, 3, 0, false},
    {"VolumeUp_7", 8, 4, 0, false},
};

const SimpleFunction *SimpleFunctionOf(const QObject *button)
{
    for (const SimpleFunction &function : kSimpleFunctions) {
        if (button->objectName() == QLatin1String(function.button))
            return &function;
    }
    return nullptr;
}

}  // namespace

void Buttoninterface::UncheckFunctionButtons()
{
    UncheckDetailButtons();
    MacroPanel->ClearChoice();
}

void Buttoninterface::UncheckDetailButtons()
{
    DetailGroup->setExclusive(false);
    for (QAbstractButton *button : DetailGroup->buttons())
        button->setChecked(false);
    DetailGroup->setExclusive(true);
}

void Buttoninterface::StoreButtonFunction(int button, int type, int param1, int param2)
{
    if (button < 0)
        return;
    // The lists are empty before the first fill and short for models with
    // fewer buttons; the entry the mouse took is kept all the same.
    for (QVector<int> *list : {&KeyTypeList, &KeyParam1List, &KeyParam2List}) {
        if (list->size() <= button)
            list->resize(button + 1);
    }
    KeyTypeList[button] = type;
    KeyParam1List[button] = param1;
    KeyParam2List[button] = param2;
}

void Buttoninterface::WriteSimpleFunction(QToolButton *button, bool checked)
{
    if (!checked)
        return;
    const SimpleFunction *function = SimpleFunctionOf(button);
    if (!function)
        return;
    if (function->inFunctionList)
        UncheckFunctionButtons();
    AssignToSelectedRow(function->type, function->param1, function->param2, button->text());
    CloseFunctionLists();
}

WriteResult Buttoninterface::AssignToSelectedRow(int type, int param1, int param2, const QString &caption)
{
    const int device = SelectedDeviceButton();
    if (device < 0)
        return WriteResult::Refused;
    const WriteResult result = WriteKeyFunction(device, type, param1, param2);
    if (result == WriteResult::Refused)
        return result;  // the page has been filled again with what the mouse holds
    RowOfDeviceButton(device)->setText(caption);
    StoreButtonFunction(device, type, param1, param2);
    return result;
}

void Buttoninterface::RestoreFunctionDefault(int device, QToolButton *button)
{
    const SimpleFunction *function = SimpleFunctionOf(button);
    if (!function || !RowOfDeviceButton(device))
        return;
    const KeyEntry entry{uint8_t(function->type), uint8_t(function->param1), uint8_t(function->param2)};
    // The row's key record goes with the macro it no longer plays.
    const WriteResult result = WriteImageChange([device, entry](FlashDataMap &image) {
        std::memset(image.KeySequences[device], 0, kKeySequenceSize);
        image.Keys[device] = entry;
    });
    if (result == WriteResult::Refused)
        return;
    RowOfDeviceButton(device)->setText(button->text());
    StoreButtonFunction(device, function->type, function->param1, function->param2);
}

void Buttoninterface::on_LeftKey_3_clicked(bool checked) { WriteSimpleFunction(ui->LeftKey_3, checked); }
void Buttoninterface::on_RightKey_3_clicked(bool checked) { WriteSimpleFunction(ui->RightKey_3, checked); }
void Buttoninterface::on_MidKey_clicked(bool checked) { WriteSimpleFunction(ui->MidKey, checked); }
void Buttoninterface::on_BackKey_2_clicked(bool checked) { WriteSimpleFunction(ui->BackKey_2, checked); }
void Buttoninterface::on_ForWardKey_clicked(bool checked) { WriteSimpleFunction(ui->ForWardKey, checked); }
void Buttoninterface::on_DPI_2_clicked(bool checked) { WriteSimpleFunction(ui->DPI_2, checked); }
void Buttoninterface::on_DPI_3_clicked(bool checked) { WriteSimpleFunction(ui->DPI_3, checked); }
void Buttoninterface::on_DPI_5_clicked(bool checked) { WriteSimpleFunction(ui->DPI_5, checked); }
void Buttoninterface::on_VolumeUp_2_clicked(bool checked) { WriteSimpleFunction(ui->VolumeUp_2, checked); }
void Buttoninterface::on_VolumeDown_2_clicked(bool checked) { WriteSimpleFunction(ui->VolumeDown_2, checked); }
void Buttoninterface::on_VolumeUp_4_clicked(bool checked) { WriteSimpleFunction(ui->VolumeUp_4, checked); }
void Buttoninterface::on_VolumeUp_5_clicked(bool checked) { WriteSimpleFunction(ui->VolumeUp_5, checked); }
void Buttoninterface::on_VolumeUp_6_clicked(bool checked) { WriteSimpleFunction(ui->VolumeUp_6, checked); }
void Buttoninterface::on_VolumeUp_7_clicked(bool checked) { WriteSimpleFunction(ui->VolumeUp_7, checked); }
void Buttoninterface::on_VolumeUp_8_clicked(bool checked) { WriteSimpleFunction(ui->VolumeUp_8, checked); }
void Buttoninterface::on_VolumeUp_9_clicked(bool checked) { WriteSimpleFunction(ui->VolumeUp_9, checked); }
void Buttoninterface::on_VolumeUp_10_clicked(bool checked) { WriteSimpleFunction(ui->VolumeUp_10, checked); }
void Buttoninterface::on_VolumeUp_14_clicked(bool checked) { WriteSimpleFunction(ui->VolumeUp_14, checked); }
void Buttoninterface::on_VolumeDown_14_clicked(bool checked) { WriteSimpleFunction(ui->VolumeDown_14, checked); }
