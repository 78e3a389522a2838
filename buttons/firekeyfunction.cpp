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

// What the dialog shows for a row without the fire key.
constexpr int kDefaultInterval = 10;
constexpr int kDefaultCount = 3;
constexpr int kDialogOffsetX = -50;
constexpr int kDialogOffsetY = -70;

}  // namespace

void Buttoninterface::on_DPI_6_clicked(bool checked)
{
    ChooseFunctionOf(ui->DPI_6, checked);
}

void Buttoninterface::on_DPI_6_clicked()
{
    // Offline the lists close without a notice; a page that is filling
    // itself counts as online.
    if (!UsbFinderC_GetDeviceOnLine(g_CurrentPath) && !g_ButtonRefreshing) {
        CloseFunctionLists();
        return;
    }

    // A row that holds the fire key opens at its own values.
    const std::optional<KeyEntry> entry = Model.Entry(SelectedDeviceButton());
    const bool hasFireKey = entry && entry->Type == Function::kFireKey;

    FireKey dialog;
    dialog.SetInterval(hasFireKey ? entry->Param1 : kDefaultInterval);
    dialog.SetCount(hasFireKey ? entry->Param2 : kDefaultCount);
    PlaceOnOpener(&dialog, this, kDialogOffsetX, kDialogOffsetY);
    dialog.exec();
    if (!dialog.Confirmed)
        return;  // the lists stay open
    FireCount = dialog.CountValue;
    FireInterval = dialog.IntervalValue;
    on_DPI_6_clicked(true);
}
