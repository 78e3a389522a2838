#include "hidcallback.h"

#include "configini.h"
#include "connection.h"
#include "devicecache.h"
#include "discovery.h"
#include "globals.h"
#include "hidusb.h"
#include "postmsg.h"
#include "registrystore.h"
#include "waits.h"
#include "writers.h"

#include <QCoreApplication>
#include <QEvent>
#include <mutex>
#include <cstring>

namespace {

constexpr unsigned char kLongRangeUnanswered = 0x73;

// A header byte counts only when the report reaches it; an unread byte is 0.
int HeaderByte(const uchar *report, int reportLen, int index)
{
    return (report && reportLen > index) ? report[index] : 0;
}

QString GroupOf(const DeviceAllInfo &device)
{
    return ConfigIni::DriveGroup(device.DriveIndex);
}

PostMsg *Hub()
{
    return PostMsg::GetInstance();
}

// Writes the image back, but only once it holds this mouse's own dump: before
// that it may still be the previous mouse's image, or zeros.
void SendImageBack()
{
    if (!ImageIsDevicesOwn())
        return;
    FlashDataMap copy = ReadImage();
    ProtocolDataUpdate(&copy);
}

// A report of a connection that is no longer the current one belongs to the
// previous mouse: its level must not show on the next mouse's page.
void OnBattery(const uchar *data, uint64_t serial)
{
    if (!IsCurrentConnection(serial))
        return;
    GetDeviceBatteryStatus(data, g_BatteryStatus);
    Hub()->EmitBattery(g_BatteryStatus[1] > 0, g_BatteryStatus[0], g_ShowBatteryValue == 1, serial);
}

void QueryReceiver(const DeviceAllInfo &device)
{
    const QByteArray path = device.Path.toLatin1();
    if (!device.Wired && device.LinkType == 1) {
        DongleRGB record = ReadDongleRgb();
        UsbFinderC_Get4KDongleRGBValue(path.constData(), &record);
        StoreDongleRgb(record);
        if (record.Mode != 0)
            Hub()->EmitRGBValue(g_DongleRgb);
    }
    unsigned char longRange = kLongRangeUnanswered;
    UsbFinderC_GetLongRangeMode(path.constData(), &longRange);
    if (longRange != kLongRangeUnanswered && longRange != 0)
        Hub()->EmitLongRangeMode(true);
}

// After a command-9 report: buttons whose default (KeyParamN, item 0) is a key
// keep their key and macro records; every other record is cleared.
void ClearRecordsWithoutKeyDefault(const QString &group, FlashDataMap &image)
{
    for (int i = 1; i <= 6; ++i) {
        const QStringList param = ConfigIni::GetInstance()->ValueList(group, QString("KeyParam%1").arg(i));
        if (!param.isEmpty() && param.first() == QLatin1String("0x05"))
            g_DefaultMacroKeys.append(i - 1);
    }
    for (int key = 0; key < kKeyCount; ++key) {
        if (g_DefaultMacroKeys.contains(key))
            continue;
        std::memset(image.KeySequences[key], 0, kKeySequenceSize);
        std::memset(image.Macros[key], 0, kMacroRecordSize);
    }
}

// A dump that fails the library's own check is dropped whole: not stored,
// not written back, not shown, not cached. The read is asked once more; a
// second bad dump in a row is left at that, so a broken mouse is not read
// over and over.
void OnRejectedDump()
{
    NoteWholeReadAnswered();
    if (NoteDumpRejected() == 1)
        ReadWholeImage();
    else
        EndOfWholeRead();
}

void OnWholeDump(const ConnectionSnapshot &connection, const uchar *data)
{
    // A dump still on its way when its connection was closed, or another
    // device was chosen, belongs to no page: it would fill the pages with the
    // old mouse and end the run flag of the new mouse's pass.
    if (!IsCurrentConnection(connection.serial))
        return;
    FlashDataMap parsed{};
    if (!ProtocolDataParser(data, &parsed)) {
        OnRejectedDump();
        return;
    }
    const DeviceAllInfo &device = connection.device;
    StoreImage(parsed);
    NoteWholeReadAnswered();
    g_SaveCacheName.Set(DeviceCacheName(device.Cid, device.Mid));

    UsbServer_ReadDPILed();
    UsbServer_ReadBatteryLevel();
    UsbServer_ReadVersion();
    UsbServer_ReadConfig();
    const bool queryReceiver = !g_SkipDongleQuery;
    g_SkipDongleQuery = 0;

    if (g_CheckDefaultMacros) {
        {
            std::lock_guard<std::mutex> lock(g_ImageLock);
            ClearRecordsWithoutKeyDefault(GroupOf(device), g_FlashDataMap);
        }
        g_CheckDefaultMacros = 0;
    }
    // The changes made while the dump was awaited go out with it, once.
    if (!AdoptDump(connection.serial))
        SendImageBack();
    g_DefaultMacroKeys.clear();
    g_SensorFilled = 0;
    g_ButtonFilled = 0;

    Hub()->EmitUpDataLightUIButton(ReadImage());
    Hub()->EmitUpDataLightLight(ReadImage());
    Hub()->EmitUpDataLightSensor(ReadImage());
    Hub()->EmitForm();
    // After the form: it hides the receiver's LED block on every receiver
    // link, and the receiver's answers show what it has.
    if (queryReceiver)
        QueryReceiver(device);
    g_DeviceDataReady = 1;
    g_WorkerRun = 0;
}

void OnReportRate(const DeviceAllInfo &device, uchar code)
{
    if (device.Wired && code > 15)
        return;
    {
        std::lock_guard<std::mutex> lock(g_ImageLock);
        g_FlashDataMap.ReportRate = code;
    }
    Hub()->EmitUpDataReportRate(code);
    SendImageBack();
}

void OnCurrentLevel(uchar level)
{
    {
        std::lock_guard<std::mutex> lock(g_ImageLock);
        g_FlashDataMap.DpiLevel = level;
    }
    Hub()->EmitUpDataDPI(level);
}

// Decodes a report into `size` image bytes at `offset`: the decoder sees the
// bytes as they stand and fills what the report carries.
template <typename Decoder>
void DecodeIntoImage(std::size_t offset, std::size_t size, Decoder decode)
{
    unsigned char decoded[16];
    auto *image = reinterpret_cast<unsigned char *>(&g_FlashDataMap);
    {
        std::lock_guard<std::mutex> lock(g_ImageLock);
        std::memcpy(decoded, image + offset, size);
    }
    decode(decoded);
    {
        std::lock_guard<std::mutex> lock(g_ImageLock);
        std::memcpy(image + offset, decoded, size);
    }
}

void OnDpiLed(const uchar *data)
{
    DecodeIntoImage(offsetof(FlashDataMap, DpiLedMode), 4, [data](unsigned char *out) { BufferToDPILed(data, out); });
    Hub()->EmitUpDataDPILed(ReadImage());
}

void OnLedBar(const uchar *data)
{
    DecodeIntoImage(offsetof(FlashDataMap, LightMode), 7, [data](unsigned char *out) { BufferToLedBar(data, out); });
    Hub()->EmitUpDataLightLight(ReadImage());
}

void OnSettings(const ConnectionSnapshot &connection, int status, int subCommand, const uchar *data, int dataLen)
{
    if (status != 0 || !data)
        return;
    if (subCommand == HIDUSB_SUB_FLASH && dataLen == HIDUSB_DUMP_SIZE)
        OnWholeDump(connection, data);
    else if (subCommand == HIDUSB_SUB_FLASH && dataLen == 1)
        OnReportRate(connection.device, data[0]);
    else if (subCommand == HIDUSB_SUB_CURRENT_DPI && dataLen == 1)
        OnCurrentLevel(data[0]);
    else if (subCommand == HIDUSB_SUB_DPI_LED && dataLen == 8)
        OnDpiLed(data);
    else if (subCommand == HIDUSB_SUB_LED_BAR && dataLen == 9)
        OnLedBar(data);
}

// The receiver's LED mode was changed on the receiver: the report carries its
// whole record. Taking it keeps the page from showing, and writing back, the
// mode the receiver had before.
void OnReceiverLed(const uchar *data, int dataLen)
{
    if (data && dataLen == int(sizeof(DongleRGB))) {
        DongleRGB record;
        std::memcpy(&record, data, sizeof record);
        StoreDongleRgb(record);
    }
    Hub()->EmitRGBValue(g_DongleRgb);
}

void OnReceiverOptions(const DeviceAllInfo &device)
{
    const QString group = GroupOf(device);
    const QByteArray path = device.Path.toLatin1();
    const int ledMode = ConfigIni::GetInstance()->AdvancedItem(group, 1).toInt();
    if (ledMode > 0 && !device.Wired && device.LinkType == 1) {
        DongleRGB record = ReadDongleRgb();
        record.Mode = uint8_t(ledMode);
        StoreDongleRgb(record);
        UsbFinderC_Set4KDongleRGB(path.constData(), &record);
        Hub()->EmitRGBValue(g_DongleRgb);
    }
    const int longRange = ConfigIni::GetInstance()->AdvancedItem(group, 0).toInt();
    if (longRange == 0 || longRange == 1) {
        UsbFinderC_SetLongRangeMode(path.constData(), longRange == 1);
        Hub()->EmitLongRangeMode(longRange == 1);
    }
    ReadWholeImage();
    g_CheckDefaultMacros = 1;
    g_SkipDongleQuery = 1;
}

void OnProfile(const uchar *data, int dataLen)
{
    if (data && dataLen == 1)
        Hub()->EmitUpDataConfigUI(4, data[0], true);
    else
        Hub()->EmitUpDataConfigUI(0, 0, false);
}

// The current device record belongs to the GUI thread's side: the version
// text goes there, and only onto the record of the device it was read from.
// The text waits in a locked slot; a plain event tells the GUI thread to take
// it (nothing of ours travels inside Qt's event queue).
struct VersionOfDevice {
    QString path;
    QString version;
};
Guarded<QList<VersionOfDevice>> s_versionsToHandOver;

class VersionReceiver : public QObject
{
public:
    static const QEvent::Type kArrived = QEvent::User;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() != kArrived)
            return QObject::event(e);
        QList<VersionOfDevice> arrived;
        s_versionsToHandOver.Update([&arrived](QList<VersionOfDevice> &waiting) { arrived.swap(waiting); });
        for (const VersionOfDevice &v : qAsConst(arrived)) {
            g_CurrentDevice.Update([&v](DeviceAllInfo &current) {
                if (current.Path == v.path)
                    current.FirmwareVersion = v.version;
            });
        }
        return true;
    }
};

void HandVersionToGuiThread(const QString &path, const QString &version)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        g_CurrentDevice.Update([&](DeviceAllInfo &current) {
            if (current.Path == path)
                current.FirmwareVersion = version;
        });
        return;
    }
    static VersionReceiver *receiver = [app] {
        auto *r = new VersionReceiver;  // lives for the run, on the GUI thread
        r->moveToThread(app->thread());
        return r;
    }();
    s_versionsToHandOver.Update([&](QList<VersionOfDevice> &waiting) { waiting.append({path, version}); });
    QCoreApplication::postEvent(receiver, new QEvent(VersionReceiver::kArrived));
}

void OnVersion(const DeviceAllInfo &device)
{
    const QByteArray path = device.Path.toLocal8Bit();
    const QString version = VersionText(UsbFinderC_GetVersion(path.constData()));
    // Queued before SigSetver(0), so its receivers find the new text.
    HandVersionToGuiThread(device.Path, version);
    Hub()->EmitSetver(0);
    const QString name = "MouseVer" + ConfigIni::GetInstance()->Value("Option", "CID")
                         + ConfigIni::GetInstance()->Value(GroupOf(device), "MID");
    RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), name, version);
}

}  // namespace

void HidInputCallback(const uchar *report, int reportLen, const uchar *data, int dataLen)
{
    const int command = HeaderByte(report, reportLen, HIDUSB_HEADER_COMMAND);
    const int status = HeaderByte(report, reportLen, HIDUSB_HEADER_STATUS);
    const int subCommand = HeaderByte(report, reportLen, HIDUSB_HEADER_SUBCOMMAND);
    if (dataLen < 0 || (dataLen > 0 && !data))
        return;
    const ConnectionSnapshot connection = OpenedConnection();
    switch (command) {
    case HIDUSB_CMD_BATTERY:
        if (dataLen >= 2)
            OnBattery(data, connection.serial);
        break;
    case HIDUSB_CMD_SETTINGS:
        OnSettings(connection, status, subCommand, data, dataLen);
        break;
    case HIDUSB_CMD_RESET_DONE:
        OnReceiverOptions(connection.device);
        break;
    case HIDUSB_CMD_STATUS:
        if (dataLen >= 1) {
            GetDeviceStatusChanged(data, g_StatusChanges);
            RunStatusReads();
        }
        break;
    case HIDUSB_CMD_PROFILE:
        OnProfile(data, dataLen);
        break;
    case HIDUSB_CMD_VERSION:
        OnVersion(connection.device);
        break;
    case HIDUSB_CMD_RECEIVER_LED:
        OnReceiverLed(data, dataLen);
        break;
    case HIDUSB_CMD_LONG_RANGE_OFF:
        if (dataLen == 10)
            Hub()->EmitLongRangeMode(false);
        break;
    default:
        break;
    }
}

void RunStatusReads()
{
    if (g_StatusChanges[0])
        UsbServer_ReadCurrentDPI();
    if (g_StatusChanges[1])
        UsbServer_ReadReportRate();
    if (g_StatusChanges[6])
        UsbServer_ReadBatteryLevel();
    if (g_StatusChanges[5])
        UsbServer_ReadLedBar();
    if (g_StatusChanges[3])
        UsbServer_ReadDPILed();
    if (g_StatusChanges[2] && g_StatusTimer.isValid() && g_StatusTimer.elapsed() > Waits::Scaled(kStatusReloadGateMs)) {
        g_StatusTimer.restart();
        g_RestartWorker = 1;
        g_ReloadRequested = 1;
    }
}
