// Config.ini values: decoded identity keys, colour lists, receiver options,
// DPI ranges and numbers from any file.
#include "configini.h"
#include "fuzzsupport.h"
#include "sensormodel.h"

#include <QFile>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A new name each time: Qt's INI reader caches files by path.
    const QString path = FuzzSupport::ScratchFile(FuzzSupport::Bytes(data, size), true);
    ConfigIni *config = ConfigIni::GetInstance();
    config->UseFileForTesting(path);
    const QString option = QStringLiteral("Option");
    for (const char *key : {"VID", "CID", "USB_PID", "Wireless_PID", "Wireless4_PID", "Wireless8_PID"}) {
        config->Value(option, QLatin1String(key));
        config->ValueList(option, QLatin1String(key));
    }
    const int total = config->IntValue(option, QStringLiteral("DeviceTotal"));
    for (const char *key : {"LabelColor", "ButtonColor", "SliderColor", "ComboxBackGroundColor"})
        FuzzSupport::Check(config->Color(option, QLatin1String(key)).isValid(), "invalid theme colour");
    for (int drive = 0; drive < 4 && drive < qMax(total, 1); ++drive) {
        const QString group = ConfigIni::DriveGroup(drive);
        for (const char *key : {"MID", "MM", "DM", "Sensor", "DPIMaxGrade", "KeyNumber"})
            config->Value(group, QLatin1String(key));
        for (int level = -1; level <= 8; ++level)
            FuzzSupport::Check(config->Color(group, QStringLiteral("DPIColor"), level).isValid(), "invalid level colour");
        config->AdvancedItem(group, 0);
        config->AdvancedItem(group, 1);
        const DpiRangeTable ranges = ParseDpiRange(config->ValueList(group, QStringLiteral("DPIRange")));
        ApplyDpiRange(ranges);
        DpiRangeTexts();
    }
    config->UseFileForTesting(ConfigIni::DefaultPath());
    QFile::remove(path);
    return 0;
}
