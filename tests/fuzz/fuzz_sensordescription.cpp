// driver_sensor.h and the DPI coding: any description, with the ranges of the
// shipped models and of a model without ranges, decodes level records and
// encodes DPI values across the int range without overflow.
#include "configini.h"
#include "fuzzsupport.h"
#include "sensorcoding.h"
#include "sensordescription.h"
#include "sensormodel.h"

#include <limits>

namespace {

QList<DpiCodingModel> Models(const SensorDescription &description)
{
    QList<DpiCodingModel> models;
    ConfigIni *config = ConfigIni::GetInstance();
    for (int drive = 0; drive < 2; ++drive) {
        const QString group = ConfigIni::DriveGroup(drive);
        const DpiRangeTable ranges = ParseDpiRange(config->ValueList(group, QStringLiteral("DPIRange")));
        DpiCodingModel model;
        model.SensorName = config->Value(group, QStringLiteral("Sensor"));
        model.RangeMode = ranges.Mode;
        model.RangeCount = ranges.Count;
        model.RangeMinList = ranges.MinList;
        model.RangeMaxList = ranges.MaxList;
        model.DefineNames = description.DefineNames;
        model.DefineValues = description.DefineValues;
        models << model;
    }
    DpiCodingModel bare = models.first();
    bare.RangeMode = 0x33;
    bare.RangeCount = 4;
    bare.RangeMinList.clear();
    bare.RangeMaxList.clear();
    models << bare;
    return models;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const SensorDescription description = ParseSensorDescription(FuzzSupport::Bytes(data, size));
    FuzzSupport::Check(description.DefineNames.size() == description.DefineValues.size(), "define lists differ");
    const uint8_t flagSets[] = {0x00, 0xFF};
    const int dpis[] = {std::numeric_limits<int>::min(), -1, 0, 50, 1600, 26000, std::numeric_limits<int>::max()};
    for (const DpiCodingModel &model : Models(description)) {
        // Every 17th code: the fuzzer picks the define values, so it meets them.
        for (int x = 0; x < 256; x += 17) {
            for (const uint8_t flags : flagSets)
                FuzzSupport::Check(DecodeDpi(model, uint8_t(x), flags) >= 0, "negative DPI decoded");
        }
        for (const int dpi : dpis)
            EncodeDpi(model, dpi);
    }
    return 0;
}
