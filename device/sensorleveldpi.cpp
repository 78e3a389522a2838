// SendLevelDpi lives apart from the pure coding so code that only encodes and
// decodes does not pull in the device writers.
#include "sensorcoding.h"

#include "writers.h"

void SendLevelDpi(int level, int dpi)
{
    if (level < 0 || level >= kDpiLevelSlots)
        return;
    const DpiLevelCode code = EncodeDpi(DpiCodingModel::Current(), dpi);
    WriteDpiLevelValue(level, code.X, code.X, code.Flags);
}
