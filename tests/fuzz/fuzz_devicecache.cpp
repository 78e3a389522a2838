// The image cache loader: only a whole file is taken, and then byte for byte.
#include "devicecache.h"
#include "fuzzsupport.h"

#include <cstring>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FlashDataMap image;
    std::memset(static_cast<void *>(&image), 0xA5, sizeof image);
    if (DecodeDeviceCache(FuzzSupport::Bytes(data, size), &image)) {
        FuzzSupport::Check(size == 4 + sizeof image, "a file of another size was taken");
        FuzzSupport::Check(std::memcmp(&image, data + 4, sizeof image) == 0, "image differs from the file");
    } else {
        for (size_t i = 0; i < sizeof image; ++i)
            FuzzSupport::Check(reinterpret_cast<const uint8_t *>(&image)[i] == 0xA5, "rejected file changed the image");
    }
    return 0;
}
