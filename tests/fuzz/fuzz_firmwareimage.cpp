// Firmware image headers: an image is taken only when whole as its header
// says, and only such an image reaches the device library, which reads
// 728 + body length bytes from the pointer it gets.
#include "firmwareimages.h"
#include "fuzzsupport.h"
#include "hidusb.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray image = FuzzSupport::Bytes(data, size);
    FirmwareHeader header;
    if (!FirmwareHeader::Read(image, &header)) {
        FuzzSupport::Check(size < size_t(FirmwareLayout::kHeaderSize), "a whole header was refused");
        return 0;
    }
    FirmwareVersionText(header.Version);
    if (!header.DescribesWhole(image))
        return 0;
    FuzzSupport::Check(size == size_t(FirmwareLayout::kHeaderSize) + header.BodyLength, "length differs from the header");
    int count = 0;
    UsbUpgradeC_FindBootDevices(FirmwareImageData(image), &count);
    return 0;
}
