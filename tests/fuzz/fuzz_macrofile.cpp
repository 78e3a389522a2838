// Macro files: any content parses, and what it gives writes out as a file
// that parses to the same loop code and number of items.
#include "fuzzsupport.h"
#include "macrofile.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const MacroFile::Parsed parsed = MacroFile::ParseMacroFile(FuzzSupport::Bytes(data, size));
    const MacroFile::Parsed again = MacroFile::ParseMacroFile(MacroFile::Content(parsed.loopCode, parsed.items));
    FuzzSupport::Check(again.loopCode == parsed.loopCode, "loop code changed on the way through a file");
    FuzzSupport::Check(again.items.size() == parsed.items.size(), "items lost on the way through a file");
    return 0;
}
