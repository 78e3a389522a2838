// Macro.ini: whatever the reader takes from a file, the writer writes so that
// the reader gives back the same values.
#include "fuzzsupport.h"
#include "macroini.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QVariantMap values = MacroIni::Parsed(FuzzSupport::Bytes(data, size));
    const QVariantMap again = MacroIni::Parsed(MacroIni::Serialised(values));
    FuzzSupport::Check(again == values, "written values read back differently");
    return 0;
}
