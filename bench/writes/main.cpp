// What the device library sends for one one-field write (the report rate,
// through the program's one-field writer) and for one macro download (a
// two-key macro to button 3, through the macro writer) against a write in
// which every byte the mouse keeps has changed, that is the whole image. The mouse is the
// default world's wireless mouse behind its 4 kHz receiver; the counts come
// from the library's write statistics.
//
// Prints two lines.
#include "connection.h"
#include "discovery.h"
#include "globals.h"
#include "hidusb_control.h"
#include "macrorecord.h"
#include "writers.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

const QString kReceiver = QStringLiteral("r4k");
const QString kMouse = QStringLiteral("m2");

FlashDataMap StoredImage()
{
    const QByteArray bytes = HidSim::StoredImage(kMouse);
    FlashDataMap image;
    std::memset(&image, 0, sizeof image);
    std::memcpy(&image, bytes.constData(), size_t(qMin(int(sizeof image), int(bytes.size()))));
    return image;
}

FlashDataMap EveryByteChanged(FlashDataMap image)
{
    auto *bytes = reinterpret_cast<unsigned char *>(&image);
    for (size_t i = 0; i < sizeof image; ++i)
        bytes[i] = static_cast<unsigned char>(~bytes[i]);
    return image;
}

// The record of a macro "bench": A and B pressed and released, 10 ms apart.
bool TwoKeyRecord(MacroRecordBytes *bytes)
{
    const MacroItems items{MacroItem::Key("A", true),  MacroItem::Delay(10), MacroItem::Key("A", false),
                           MacroItem::Delay(10),       MacroItem::Key("B", true), MacroItem::Delay(10),
                           MacroItem::Key("B", false)};
    MacroRecord record = EmptyMacroRecord();
    if (!BuildMacroRecord(QStringLiteral("bench"), items, &record))
        return false;
    *bytes = StoreRecord(record);
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    HidSim::SetWorld(HidSim::DefaultWorld());
    const QByteArray path = HidSim::PathOf(kReceiver);
    DeviceAllInfo info;
    info.Path = QString::fromLatin1(path);
    if (path.isEmpty() || IdentifyMainDevice(info, path.constData()) != 1) {
        std::fprintf(stderr, "write bench: cannot find the default world's receiver\n");
        return 1;
    }
    // Opened as a worker pass opens it: the writers send once the dump is in.
    g_CurrentDevice.Set(info);
    SetCurrentPath(path);
    if (!OpenCurrentDevice() || !ReadWholeImage() || !HidSim::WaitUntilIdle() || !ImageIsDevicesOwn()) {
        std::fprintf(stderr, "write bench: cannot read the default world's receiver mouse\n");
        return 1;
    }

    const FlashDataMap stored = StoredImage();
    HidSim::ResetWriteStats();
    const bool fieldSent = WriteReportRate(stored.ReportRate == 1 ? 2 : 1) == WriteResult::Done;
    const HidSim::WriteStats field = HidSim::CurrentWriteStats();

    constexpr int kMacroButton = 2;
    MacroRecordBytes macro{};
    const KeyEntry entry = ReadImage().Keys[kMacroButton];
    HidSim::ResetWriteStats();
    const bool macroSent = TwoKeyRecord(&macro) 
                           && WriteKeyMacro(kMacroButton, &entry, macro.data()) == WriteResult::Done;
    const HidSim::WriteStats download = HidSim::CurrentWriteStats();

    StoreImage(EveryByteChanged(ReadImage()));
    HidSim::ResetWriteStats();
    const bool wholeSent = WriteFlashDataMap() == WriteResult::Done;
    const HidSim::WriteStats whole = HidSim::CurrentWriteStats();
    CloseConnection();

    if (!fieldSent || !macroSent || !wholeSent || field.calls != 1 || whole.calls != 1 || field.reports == 0
        || download.reports == 0) {
        std::fprintf(stderr, "write bench: the mouse did not take the writes\n");
        return 1;
    }
    std::printf("device writes, one field vs whole image: %lld report / %lld wire bytes (%lld payload) vs "
                "%lld reports / %lld wire bytes (%lld payload) = 1/%lld of the reports\n",
                field.reports, field.wireBytes, field.payloadBytes, whole.reports, whole.wireBytes,
                whole.payloadBytes, whole.reports / field.reports);
    std::printf("device writes, one macro download vs whole image: %lld reports / %lld wire bytes (%lld payload) "
                "vs %lld reports = 1/%lld of the reports\n",
                download.reports, download.wireBytes, download.payloadBytes, whole.reports,
                whole.reports / download.reports);
    return 0;
}
