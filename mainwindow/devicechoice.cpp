// Choosing a device on the device-selection page: what a click on a device
// tile does. It pairs a receiver whose mouse does not answer (asking first
// when the firmware images on disk leave the cause open), warns that the
// mouse needs a firmware update by cable, or selects the device: it becomes
// current, the main window shows the device page and the worker opens it.

#include "dialogchange.h"

#include "configini.h"
#include "devicetiles.h"
#include "eventwait.h"
#include "firmwareimages.h"
#include "formsetting.h"
#include "globals.h"
#include "hidusb.h"
#include "match.h"
#include "mytoolbuttonenter.h"
#include "noticedialog.h"
#include "notices.h"
#include "postmsg.h"
#include "registrystore.h"
#include "usbcallbacks.h"
#include "worker.h"

#include <QDir>
#include <QThread>

namespace {
// SigSetver(6): the settings page empties its two firmware-version texts.
constexpr int kSetverClearVersions = 6;
// SigChangeMainDialog(1): show the device page.
constexpr int kDevicePage = 1;
// Between choosing a device and starting the worker: a plain sleep of the GUI
// thread, nothing is served.
constexpr int kChoiceSleepMs = 150;
// The firmware warning sits this far left of the page's centre.
constexpr int kWarningOffsetX = -20;
// The hint text of SigLabelTextB that marks the receiver update button.
const char kUpdateHint[] = "true";

enum class PairingOutcome { Pair, Ask, Warn, None };

QString ConfigValue(const QString &group, const char *key)
{
    return ConfigIni::GetInstance()->Value(group, QLatin1String(key));
}

// The index in the tile's object name ("btn" + index); -1 when it holds none.
int TileIndex(const QObject *tile)
{
    return tile ? mytoolButtonEnter::TileIndexFromName(tile->objectName()) : -1;
}

bool IsUnidentified(const DeviceAllInfo &device)
{
    return device.DriveIndex == g_DeviceTotal;
}

bool AnswersNow(const DeviceAllInfo &device)
{
    const QByteArray path = device.Path.toLocal8Bit();
    return UsbFinderC_GetDeviceOnLine(path.constData());
}

// SigMouseIndex for the models the button page tells apart (MID 1 and 2).
void EmitMouseIndexOf(const DeviceAllInfo &device)
{
    const int mid = ConfigValue(ConfigIni::DriveGroup(device.DriveIndex), "MID").toInt();
    if (mid == 1)
        PostMsg::GetInstance()->EmitMouseIndex(0);
    else if (mid == 2)
        PostMsg::GetInstance()->EmitMouseIndex(1);
}

// Exactly two entries of one model, the clicked one offline and the other
// online: the receiver of a mouse that answers by cable (or the reverse).
bool IsOfflineTwin(int clicked)
{
    if (g_PageDevices.size() != 2 || (clicked != 0 && clicked != 1))
        return false;
    const DeviceAllInfo first = g_PageDevices.at(0);
    const DeviceAllInfo second = g_PageDevices.at(1);
    if (first.Cid != second.Cid || first.Mid != second.Mid)
        return false;
    const bool firstOnline = AnswersNow(first);
    if (clicked == 0)
        return !firstOnline && AnswersNow(second);
    return firstOnline && !AnswersNow(second);
}

// Whether a receiver image for this model with another version than the
// receiver's own exists. A cabled entry has no receiver model key and finds
// none; for a 2, 4 or 8 kHz receiver an empty key finds none either.
bool ReceiverImageDiffers(const DeviceAllInfo &device, const QString &group, uint8_t cid, uint8_t mid)
{
    const QString modelKey = ReceiverClass::ModelKey(ReceiverClass::OfLink(device.LinkType));
    if (modelKey.isEmpty())
        return false;
    const QString model = ConfigIni::GetInstance()->Value(group, modelKey);
    if (device.LinkType != 0 && model.isEmpty())
        return false;
    return FindRepairFirmware(kReceiverFirmware, device.UsbVersion, model, cid, mid);
}

// Why might the mouse behind this receiver not answer? Without a recorded
// mouse version it was never paired with this program: pair. Otherwise the
// images on disk decide: a newer mouse image alone means the mouse needs its
// update by cable; a newer receiver image alone is left to the device page;
// both or neither leave the cause open: ask.
PairingOutcome DecidePairing(const DeviceAllInfo &device)
{
    const QString group = ConfigIni::DriveGroup(device.DriveIndex);
    const QString cidText = ConfigValue(QStringLiteral("Option"), "CID");
    const QString midText = ConfigValue(group, "MID");
    const QString recorded =
        RegistryStore().Value(RegistryStore::MouseDriveTestKey(), RegistryStore::MouseVerName(cidText, midText));
    if (recorded.isEmpty())
        return PairingOutcome::Pair;
    const auto cid = uint8_t(cidText.toInt());
    const auto mid = uint8_t(midText.toInt());
    const bool mouseImage = FindUpdateFirmware(kMouseFirmware, recorded, ConfigValue(group, "MM"), cid, mid);
    const bool receiverImage = ReceiverImageDiffers(device, group, cid, mid);
    if (receiverImage && !mouseImage)
        return PairingOutcome::None;
    if (!receiverImage && mouseImage)
        return PairingOutcome::Warn;
    return PairingOutcome::Ask;
}

void RunPairingDialog(QWidget *page, const DeviceAllInfo &device)
{
    RunPairingForTile(device, page);
}

void AskThenPair(QWidget *page, const DeviceAllInfo &device)
{
    RePair question(nullptr);
    PlaceOnOpener(&question, page);
    question.exec();
    if (question.accepted())
        RunPairingDialog(page, device);
}

void WarnWiredUpdate(QWidget *page)
{
    UpDateWarning notice(nullptr);
    notice.SetLabelText(g_WiredModeText);
    PlaceOnOpener(&notice, page, kWarningOffsetX, 0);
    notice.exec();
}

// Runs the decision's dialog; returns the outcome.
PairingOutcome PairOrWarn(QWidget *page, const DeviceAllInfo &device)
{
    const PairingOutcome outcome = DecidePairing(device);
    switch (outcome) {
    case PairingOutcome::Pair:
        RunPairingDialog(page, device);
        break;
    case PairingOutcome::Ask:
        AskThenPair(page, device);
        break;
    case PairingOutcome::Warn:
        WarnWiredUpdate(page);
        break;
    case PairingOutcome::None:
        break;
    }
    return outcome;
}

// The receiver update hint of the settings page; updates g_ReceiverUpdateFound
// when the image folder exists.
QString ReceiverUpdateHint(const DeviceAllInfo &device)
{
    if (!QDir(FirmwareFolder()).exists())
        return QString();
    g_ReceiverUpdateFound =
        HasNewFirmwareForClass(kReceiverFirmware, device.UsbVersion, ReceiverClass::OfLink(device.LinkType));
    return g_ReceiverUpdateFound ? QLatin1String(kUpdateHint) : QString();
}

void SelectDevice(const DeviceAllInfo &device)
{
    PostMsg *hub = PostMsg::GetInstance();
    // The worker makes it current (same thread, done when the emit returns).
    hub->EmitSelectMouseInfo(device);
    hub->EmitLabelTextB(device.UsbVersion, ReceiverUpdateHint(device));
    hub->EmitChangeMainDialog(kDevicePage);
    SleepWithoutEvents(kChoiceSleepMs);
    // Marked active before the thread starts, so its first pass opens the device.
    g_SessionActive = 1;
    if (g_Worker)
        g_Worker->StartPass();
    else
        g_WorkerRun = 1;
}
}  // namespace

void DialogChange::slotButtonClicked()
{
    PostMsg::GetInstance()->EmitSetver(kSetverClearVersions);
    const int clicked = TileIndex(sender());
    if (clicked < 0 || clicked >= g_PageDevices.size())
        return;
    // The dialogs below run event loops in which a device change rebuilds
    // the list; everything after them uses this copy.
    const DeviceAllInfo device = g_PageDevices.at(clicked);
    EmitMouseIndexOf(device);
    if (IsOfflineTwin(clicked) && PairOrWarn(this, device) != PairingOutcome::None)
        return;
    if (IsUnidentified(device)) {
        if (!device.Wired)
            PairOrWarn(this, device);
        return;
    }
    SelectDevice(device);
}
