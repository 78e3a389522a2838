// The scenario reader: any JSON (or not) gives a world or an error text.
#include "fuzzsupport.h"
#include "hidusb_control.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    HidSim::World world;
    QString error;
    const bool read = HidSim::ParseScenario(FuzzSupport::Bytes(data, size), &world, &error);
    FuzzSupport::Check(read || !error.isEmpty(), "rejected without a reason");
    return 0;
}
