// The settings import check over any file content.
#include "fuzzsupport.h"
#include "updataparam.h"

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
    const int result = UpDataParam::CheckImportContent(FuzzSupport::Bytes(data, size), &image);
    FuzzSupport::Check(result >= 0 && result <= 2, "unknown check result");
    return 0;
}
