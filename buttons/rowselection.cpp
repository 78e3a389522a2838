// Picking a row: the lists open at the row's current function, its buttons
// checked and scrolled into view, so that the user sees what the mouse button
// does and can choose another function. The last row with the left button
// refuses, for a mouse needs one.

#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "macropanel.h"

#include "listscroll.h"
#include "notices.h"

#include <QLayout>
#include <QScrollBar>
#include <algorithm>
#include <iterator>

namespace {

// Every row of the lists is this many pixels high.
constexpr int kListRowHeight = 15;

// Where the function list scrolls for each function type.
constexpr int kNoFunctionAt = 135;
constexpr int kReportRateAt = 75;
constexpr int kProfileAt = 90;
constexpr int kFireKeyAt = 105;
constexpr int kCombinationAt = 120;
constexpr int kTiltAndWheelAt = 150;
constexpr int kLightingAt = 180;
constexpr int kDpiAt = 195;
constexpr int kMacroAndDpiLockAt = 225;
constexpr int kMediaAt = 240;

// The DPI-lock list holds 100 to 1200 in steps of 100.
constexpr int kDpiLockStep = 100;
constexpr int kDpiLockValues = 12;

// The mouse-button parameters in the order of the function list.
constexpr int kMouseButtonParams[] = {1, 2, 4, 8, 16};

enum FunctionType {
    kNone = 0,
    kMouseButton,
    kDpi,
    kTilt,
    kFireKey,
    kKey,
    kMacro,
    kReportRate,
    kLighting,
    kProfile,
    kDpiLock,
    kWheel,
    // Types above the last one name no function the page knows.
    kUnknown,
};

void ScrollTo(QScrollArea *area, int position)
{
    FunctionLists::ScrollTo(area, position);
}

int MouseButtonRow(int param)
{
    for (int i = 0; i < int(std::size(kMouseButtonParams)); ++i) {
        if (kMouseButtonParams[i] == param)
            return i;
    }
    return -1;
}

}  // namespace

void Buttoninterface::on_FireKey_clicked() { SelectRow(0, kRowDeviceButtons[0]); }
void Buttoninterface::on_RightKey_clicked() { SelectRow(1, kRowDeviceButtons[1]); }
void Buttoninterface::on_BackKey_clicked() { SelectRow(2, kRowDeviceButtons[2]); }
void Buttoninterface::on_StartPause_clicked() { SelectRow(3, kRowDeviceButtons[3]); }
void Buttoninterface::on_TopMusic_clicked() { SelectRow(4, kRowDeviceButtons[4]); }
void Buttoninterface::on_BackMusic_clicked() { SelectRow(5, kRowDeviceButtons[5]); }

void Buttoninterface::OpenListsAt(QWidget *detailPage, QToolButton *category, QToolButton *function)
{
    Lists->OpenAt(detailPage, category, function);
}

void Buttoninterface::SelectRow(int row, int button)
{
    if (TheRows->RefusesSelection(row)) {
        ui->stackedWidget->setCurrentWidget(ui->page);
        ui->stackedWidget_2->setCurrentWidget(ui->page_9);
        ClearRowSelection();
        LeftButtonOnly notice(nullptr);
        RunNotice(notice);
        return;
    }
    Lists->ShowRowsScrollBar(row == 0);

    // Lists without an entry for this button (a model with fewer buttons, or
    // no fill yet) name no known function.
    const std::optional<KeyEntry> entry = Model.Entry(button);
    const int type = entry ? int(entry->Type) : int(kUnknown);
    const int param = entry ? entry->Param1 : 0;
    QScrollArea *functions = ui->scrollArea_4;
    QScrollArea *dpiLocks = ui->scrollArea_10;

    switch (type) {
    case kNone:
    case kFireKey:
    case kReportRate:
    case kProfile: {
        OpenListsAt(ui->page_9, nullptr, FunctionButtonOf(type, param));
        ScrollTo(dpiLocks, 0);
        const int at = type == kNone ? kNoFunctionAt : type == kFireKey ? kFireKeyAt
                                                       : type == kReportRate ? kReportRateAt : kProfileAt;
        ScrollTo(functions, at);
        break;
    }
    case kMouseButton:
        OpenListsAt(ui->page_9, nullptr, FunctionButtonOf(type, param));
        ScrollTo(dpiLocks, 0);
        ScrollTo(functions, kListRowHeight * std::max(0, MouseButtonRow(param)));
        break;
    case kDpi:
        OpenListsAt(ui->page_7, ui->DPI_7, FunctionButtonOf(type, param));
        ScrollTo(dpiLocks, 0);
        ScrollTo(functions, kDpiAt);
        break;
    case kTilt:
        OpenListsAt(ui->page_4, ui->DPI_11, FunctionButtonOf(type, param));
        ScrollTo(dpiLocks, 0);
        ScrollTo(functions, kTiltAndWheelAt);
        break;
    case kLighting:
        OpenListsAt(ui->page_6, ui->DPI_9, FunctionButtonOf(type, param));
        ScrollTo(dpiLocks, 0);
        ScrollTo(functions, kLightingAt);
        break;
    case kWheel:
        OpenListsAt(ui->page_10, ui->DPI_13, FunctionButtonOf(type, param));
        ScrollTo(dpiLocks, 0);
        ScrollTo(functions, kTiltAndWheelAt);
        break;
    case kKey:
        if (QToolButton *media = MediaButtonOfRow(button)) {
            OpenListsAt(ui->page_3, ui->DPI_12, media);
            ScrollTo(ui->scrollArea_3, kListRowHeight * ui->scrollAreaWidgetContents_3->layout()->indexOf(media));
            ScrollTo(functions, kMediaAt);
        } else {
            OpenListsAt(ui->page_9, nullptr, ui->DPI_8);
            ScrollTo(ui->scrollArea_3, 0);
            ScrollTo(functions, kCombinationAt);
        }
        break;
    case kMacro:
        OpenListsAt(ui->page_5, ui->DPI_10, nullptr);
        ShowMacroOfRow(row);
        ScrollTo(dpiLocks, 0);
        ScrollTo(functions, kMacroAndDpiLockAt);
        break;
    case kDpiLock: {
        const int value = DpiCodeToValue(param);
        const bool listedValue = value % kDpiLockStep == 0 && value / kDpiLockStep >= 1
                                 && value / kDpiLockStep <= kDpiLockValues;
        OpenListsAt(ui->page_8, ui->DPI_4, listedValue ? DpiLockButtonOf(value) : nullptr);
        ScrollTo(dpiLocks, listedValue ? kListRowHeight * (value / kDpiLockStep - 1) : 0);
        ScrollTo(functions, kMacroAndDpiLockAt);
        break;
    }
    default:
        ScrollTo(dpiLocks, 0);
        ScrollTo(functions, 0);
        break;
    }
}

QToolButton *Buttoninterface::MediaButtonOfRow(int button) const
{
    const std::optional<FlashDataMap> image = ShownImage();
    if (!image)
        return nullptr;
    const MacroEvent first = LoadKeyRecord(image->KeySequences[button]).Events[0];
    return first.Kind == kKindConsumer ? MediaButtonOfCode(first.Code & 0xFF) : nullptr;
}

void Buttoninterface::ShowMacroOfRow(int row)
{
    // The record the row holds names its macro.
    const std::optional<Function> function = Model.FunctionOfRow(row);
    const QString name = function ? function->MacroName() : QString();
    if (!name.isEmpty())
        MacroPanel->ShowMacro(name);
}
