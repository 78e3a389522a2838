// The fire key: a button that keeps sending while it is held, with the
// interval and repeat count asked for in the fire-key dialog.

#include "buttoninterface.h"

#include "ui_buttoninterface.h"

#include "firekey.h"
#include "globals.h"
#include "hidusb.h"
#include "noticedialog.h"
#include "writers.h"

namespace {

constexpr int kFireKeyType = 4;
// What the dialog shows for a row without the fire key.
constexpr int kDefaultInterval = 10;
constexpr int kDefaultCount = 3;
constexpr int kDialogOffsetX = -50;
constexpr int kDialogOffsetY = -70;

}  // namespace

void Buttoninterface::on_DPI_6_clicked(bool checked)
{
    if (!checked)
        return;
    UncheckFunctionButtons();
    AssignToSelectedRow(kFireKeyType, FireInterval, FireCount, ui->DPI_6->text());
    CloseFunctionLists();
}

void Buttoninterface::on_DPI_6_clicked()
{
    // Offline the lists close without a notice; a page that is filling
    // itself counts as online.
    if (!UsbFinderC_GetDeviceOnLine(g_CurrentPath) && !g_ButtonRefreshing) {
        CloseFunctionLists();
        return;
    }

    // A row that shows the fire-key caption opens at its own values.
    const int selected = SelectedDeviceButton();
    const int device = selected >= 0 ? selected : 0;
    const bool hasFireKey = selected >= 0 && RowOfDeviceButton(selected)->text() == ui->DPI_6->text();

    FireKey dialog;
    dialog.SetInterval(hasFireKey ? KeyParam1List.value(device, kDefaultInterval) : kDefaultInterval);
    dialog.SetCount(hasFireKey ? KeyParam2List.value(device, kDefaultCount) : kDefaultCount);
    PlaceOnOpener(&dialog, this, kDialogOffsetX, kDialogOffsetY);
    dialog.exec();
    if (!dialog.Confirmed)
        return;  // the lists stay open
    FireCount = dialog.CountValue;
    FireInterval = dialog.IntervalValue;
    on_DPI_6_clicked(true);
}
