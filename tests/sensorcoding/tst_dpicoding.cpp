// DPI value coding: encoding and decoding as separate tables over the worked
// examples and the faults found, and the DPIRange parser the fill uses.
#include "configini.h"
#include "sensorcoding.h"
#include "sensordescription.h"
#include "sensormodel.h"
#include "testsupport.h"

namespace {

// "SENSOR_3950_DPI_400=8;SENSOR_3950_DPI_800=16"
void AddDefines(DpiCodingModel &model, const QString &defines)
{
    for (const QString &entry : defines.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList nameValue = entry.split(QLatin1Char('='));
        model.DefineNames << nameValue.at(0);
        model.DefineValues << nameValue.at(1).toInt();
    }
}

DpiCodingModel MakeModel(const QString &sensor, const QString &dpiRange, const QString &defines)
{
    const DpiRangeTable table = ParseDpiRange(dpiRange.split(QLatin1Char(','), Qt::SkipEmptyParts));
    DpiCodingModel model;
    model.SensorName = sensor;
    model.RangeMode = table.Mode;
    model.RangeCount = table.Count;
    model.RangeMinList = table.MinList;
    model.RangeMaxList = table.MaxList;
    AddDefines(model, defines);
    return model;
}

const char *const k3395Ranges = "50,10000,50,10100,26000,100,0x22";
const char *const kFourRanges = "50,1000,50,1050,2000,50,2100,3000,100,3100,4000,100,0x33";
const char *const k3950Defines = "SENSOR_3950_DPI_400=8;SENSOR_3950_DPI_800=16";

// The model of a shipped "Drive" group, with the shipped sensor description.
DpiCodingModel ShippedModel(const QString &group, DpiRangeTable *ranges)
{
    ConfigIni *config = ConfigIni::GetInstance();
    *ranges = ParseDpiRange(config->ValueList(group, QStringLiteral("DPIRange")));
    const SensorDescription description = ReadInstalledSensorDescription();
    DpiCodingModel model;
    model.SensorName = config->Value(group, QStringLiteral("Sensor"));
    model.RangeMode = ranges->Mode;
    model.RangeCount = ranges->Count;
    model.RangeMinList = ranges->MinList;
    model.RangeMaxList = ranges->MaxList;
    model.DefineNames = description.DefineNames;
    model.DefineValues = description.DefineValues;
    return model;
}

void AddCodingColumns()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("dpiRange");
    QTest::addColumn<QString>("defines");
}

}  // namespace

class TestDpiCoding : public QObject {
    Q_OBJECT

private slots:
    void encodes_data()
    {
        AddCodingColumns();
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("flags");

        // Worked examples.
        QTest::newRow("3395 1600: first range") << "3395" << k3395Ranges << "" << 1600 << 31 << 0x00;
        QTest::newRow("3395 26000: 10-bit code 259") << "3395" << k3395Ranges << "" << 26000 << 3 << 0x66;
        QTest::newRow("3395 12345: factor 2") << "3395" << k3395Ranges << "" << 12345 << 122 << 0x22;
        QTest::newRow("8-bit sensor, mode 0x11") << "S100" << "50,3000,50,3100,8000,100,0x11" << "" << 4000 << 39 << 0x11;
        QTest::newRow("0x33 800") << "S100" << kFourRanges << "" << 800 << 15 << 0x00;
        QTest::newRow("0x33 1500") << "S100" << kFourRanges << "" << 1500 << 29 << 0x00;
        QTest::newRow("0x33 2500") << "S100" << kFourRanges << "" << 2500 << 24 << 0x22;
        QTest::newRow("0x33 3500") << "S100" << kFourRanges << "" << 3500 << 34 << 0x11;
        QTest::newRow("0x33 above the last range") << "S100" << kFourRanges << "" << 4600 << 22 << 0x33;
        QTest::newRow("range maximum belongs to its range") << "3395" << k3395Ranges << "" << 10000 << 199 << 0x00;
        QTest::newRow("defines 400") << "3950" << "50,800,50,850,1600,50,0x22" << k3950Defines << 400 << 8 << 0x00;
        QTest::newRow("defines 1600, mode 0x22") << "3950" << "50,800,50,850,1600,50,0x22" << k3950Defines << 1600 << 16 << 0x22;
        QTest::newRow("defines 1600, mode 0x11") << "3950" << "50,800,50,850,1600,50,0x11" << k3950Defines << 1600 << 16 << 0x11;

        // Faults found: every written code must decode.
        QTest::newRow("below 50: code 0, not 0xFF") << "3395" << k3395Ranges << "" << 30 << 0 << 0x00;
        QTest::newRow("8-bit code clamped to 255") << "S100" << "50,26000,50,0x11" << "" << 20000 << 255 << 0x00;
        QTest::newRow("10-bit code clamped to 1023") << "3395" << "50,60000,50,0x11" << "" << 60000 << 0xFF << 0xCC;
        QTest::newRow("no define: largest below") << "3950" << "50,1600,50,0x22" << k3950Defines << 600 << 8 << 0x00;
        QTest::newRow("no define: above all") << "3950" << "50,1600,50,0x22" << k3950Defines << 1200 << 16 << 0x00;
        QTest::newRow("no define: none lower, smallest") << "3950" << "50,1600,50,0x22" << k3950Defines << 100 << 8 << 0x00;
        QTest::newRow("define above 255 not used") << "3950" << "50,1600,50,0x22"
            << "SENSOR_3950_DPI_400=300;SENSOR_3950_DPI_200=3" << 400 << 3 << 0x00;
        QTest::newRow("mode 0x22 without maxima: factor 1") << "S100" << "0x22" << "" << 4000 << 79 << 0x00;
        QTest::newRow("mode 0x33, malformed list: no maxima") << "S100" << "1000,2000,50,3000,0x33" << "" << 4000 << 79 << 0x00;
        QTest::newRow("capital I in sensor name") << "IX9" << "50,1600,50,0x22"
            << "SENSOR_IX9_DPI_400=8;SENSOR_IX9_DPI_800=16" << 800 << 16 << 0x00;
        QTest::newRow("define above the range never written") << "3950" << "50,1600,50,0x22"
            << "SENSOR_3950_DPI_400=8;SENSOR_3950_DPI_1500000000=119" << 1600 << 8 << 0x00;
    }

    void encodes()
    {
        QFETCH(QString, sensor);
        QFETCH(QString, dpiRange);
        QFETCH(QString, defines);
        QFETCH(int, dpi);
        QFETCH(int, x);
        QFETCH(int, flags);
        const DpiLevelCode code = EncodeDpi(MakeModel(sensor, dpiRange, defines), dpi);
        QCOMPARE(int(code.X), x);
        QCOMPARE(int(code.Flags), flags);
    }

    void decodes_data()
    {
        AddCodingColumns();
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("dpi");

        QTest::newRow("3395 code 31") << "3395" << k3395Ranges << "" << 31 << 0x00 << 1600;
        QTest::newRow("3395 code 3, flags 0x66") << "3395" << k3395Ranges << "" << 3 << 0x66 << 26000;
        QTest::newRow("3395 code 122, flags 0x22") << "3395" << k3395Ranges << "" << 122 << 0x22 << 12300;
        QTest::newRow("bits 0x0C are not read back") << "3395" << k3395Ranges << "" << 3 << 0x2E << 400;
        QTest::newRow("8-bit sensor ignores 0xC0") << "S100" << k3395Ranges << "" << 3 << 0x40 << 200;
        QTest::newRow("8-bit, 0x11 doubles") << "S100" << "50,3000,50,3100,8000,100,0x11" << "" << 39 << 0x11 << 4000;
        QTest::newRow("0x33 code 15") << "S100" << kFourRanges << "" << 15 << 0x00 << 800;
        QTest::newRow("0x33 code 29") << "S100" << kFourRanges << "" << 29 << 0x00 << 1500;
        QTest::newRow("0x33 code 24, 0x22") << "S100" << kFourRanges << "" << 24 << 0x22 << 2500;
        QTest::newRow("0x33 code 34, 0x11") << "S100" << kFourRanges << "" << 34 << 0x11 << 3500;
        QTest::newRow("0x33 code 22, 0x33") << "S100" << kFourRanges << "" << 22 << 0x33 << 4600;
        QTest::newRow("define 8") << "3950" << "" << k3950Defines << 8 << 0x00 << 400;
        QTest::newRow("define 16, 0x22 doubles") << "3950" << "" << k3950Defines << 16 << 0x22 << 1600;
        QTest::newRow("define 16, 0x11 doubles") << "3950" << "" << k3950Defines << 16 << 0x11 << 1600;
        QTest::newRow("define 8, 0x33 four times") << "3950" << "" << k3950Defines << 8 << 0x33 << 1600;
        QTest::newRow("no define of that value") << "3950" << "" << k3950Defines << 9 << 0x00 << 0;
        QTest::newRow("first of equal values decides") << "3950" << ""
            << "SENSOR_3950_DPI_400=8;SENSOR_3950_DPI_450=8" << 8 << 0x00 << 400;
        QTest::newRow("define above 255 never matches") << "3950" << ""
            << "SENSOR_3950_DPI_400=300;SENSOR_3950_DPI_800=16" << 44 << 0x00 << 0;
        QTest::newRow("other sensors' defines not used") << "3395" << ""
            << "SENSOR_3950_DPI_400=8" << 8 << 0x00 << 450;
        QTest::newRow("capital I in sensor name") << "IX9" << ""
            << "SENSOR_IX9_DPI_400=8;SENSOR_IX9_DPI_800=16" << 8 << 0x00 << 400;
        // Defines whose DPI the model cannot have are ignored; doubling a huge
        // one would overflow.
        QTest::newRow("define above the range ignored") << "3395" << k3395Ranges
            << "SENSOR_3395_DPI_1500000000=119;SENSOR_3395_DPI_400=7" << 119 << 0x33 << 0;
        QTest::newRow("huge define, range unknown") << "3395" << ""
            << "SENSOR_3395_DPI_1500000000=119;SENSOR_3395_DPI_400=7" << 119 << 0x33 << 0;
        QTest::newRow("define below the range ignored") << "3950" << "100,1600,50,0x22"
            << "SENSOR_3950_DPI_50=0;SENSOR_3950_DPI_400=7" << 0 << 0x00 << 0;
        QTest::newRow("only out-of-range defines: plain coding") << "3395" << k3395Ranges
            << "SENSOR_3395_DPI_1500000000=119" << 119 << 0x00 << 6000;
    }

    void decodes()
    {
        QFETCH(QString, sensor);
        QFETCH(QString, dpiRange);
        QFETCH(QString, defines);
        QFETCH(int, x);
        QFETCH(int, flags);
        QFETCH(int, dpi);
        QCOMPARE(DecodeDpi(MakeModel(sensor, dpiRange, defines), uint8_t(x), uint8_t(flags)), dpi);
    }

    void shippedModelsRoundTrip_data()
    {
        QTest::addColumn<QString>("group");
        const int models = ConfigIni::GetInstance()->IntValue(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));
        QVERIFY(models >= 3);
        for (int index = 0; index < models; ++index) {
            const QString group = ConfigIni::DriveGroup(index);
            QTest::newRow(qPrintable(group)) << group;
        }
    }

    // Every value on every range grid of a shipped model comes back unchanged.
    void shippedModelsRoundTrip()
    {
        QFETCH(QString, group);
        DpiRangeTable ranges;
        const DpiCodingModel model = ShippedModel(group, &ranges);
        QVERIFY(ranges.Valid);
        int values = 0;
        for (int range = 0; range < ranges.Count; ++range) {
            const int step = ranges.Texts.at(3 * range + 2).toInt();
            QVERIFY(step > 0);
            for (int dpi = ranges.MinList.at(range); dpi <= ranges.MaxList.at(range); dpi += step) {
                const DpiLevelCode code = EncodeDpi(model, dpi);
                QCOMPARE(DecodeDpi(model, code.X, code.Flags), dpi);
                ++values;
            }
        }
        QVERIFY(values > 0);
    }

    // The description's rules rely on these: a listed name must not occur
    // inside another, and the define prefix is matched by name.
    void shippedSensorNamesAreDistinct()
    {
        ConfigIni *config = ConfigIni::GetInstance();
        const int models = config->IntValue(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));
        QStringList names;
        for (int index = 0; index < models; ++index)
            names << config->Value(ConfigIni::DriveGroup(index), QStringLiteral("Sensor"));
        QCOMPARE(names, QStringList({"3950", "3395", "S100"}));
        for (const QString &name : names) {
            QVERIFY2(!name.contains(QLatin1Char('I')), qPrintable(name));
            for (const QString &other : names)
                QVERIFY2(name == other || !other.contains(name), qPrintable(name + " in " + other));
        }
        DpiRangeTable ranges;
        QVERIFY(HasDpiDefineTable(ShippedModel(QStringLiteral("Drive1"), &ranges)));
        QVERIFY(!HasDpiDefineTable(ShippedModel(QStringLiteral("Drive2"), &ranges)));
        QVERIFY(!HasDpiDefineTable(ShippedModel(QStringLiteral("Drive3"), &ranges)));
    }

    // Mode 0x33 with a range count larger than the maxima actually known.
    void rangeSearchStaysInsideTheList()
    {
        DpiCodingModel model;
        model.SensorName = QStringLiteral("S100");
        model.RangeMode = 0x33;
        model.RangeCount = 4;
        model.RangeMaxList = {1000};
        const DpiRangeFactor range = RangeFactorFor(model, 30000);
        QCOMPARE(range.Factor, 1);
        QCOMPARE(int(range.Bits), 0);
    }

    void parsesDpiRange_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QList<int>>("maxima");
        QTest::addColumn<QString>("dpiMax");

        QTest::newRow("two ranges") << k3395Ranges << 0x22 << 2 << true << QList<int>{10000, 26000} << "26000";
        QTest::newRow("four ranges") << kFourRanges << 0x33 << 4 << true << QList<int>{1000, 2000, 3000, 4000} << "4000";
        QTest::newRow("mode without 0x") << "50,1600,50,11" << 0x11 << 1 << true << QList<int>{1600} << "1600";
        QTest::newRow("two fields") << "50,0x22" << 0x22 << 0 << false << QList<int>{} << "";
        QTest::newRow("five fields") << "50,1000,50,2000,0x33" << 0x33 << 1 << false << QList<int>{} << "";
        QTest::newRow("five ranges") << "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,0x33" << 0x33 << 5 << false << QList<int>{} << "";
        QTest::newRow("empty") << "" << 0 << 0 << false << QList<int>{} << "";
    }

    void parsesDpiRange()
    {
        QFETCH(QString, fields);
        QFETCH(int, mode);
        QFETCH(int, count);
        QFETCH(bool, valid);
        QFETCH(QList<int>, maxima);
        QFETCH(QString, dpiMax);
        const DpiRangeTable table = ParseDpiRange(fields.split(QLatin1Char(','), Qt::SkipEmptyParts));
        QCOMPARE(table.Mode, mode);
        QCOMPARE(table.Count, count);
        QCOMPARE(table.Valid, valid);
        QCOMPARE(table.MaxList, maxima);
        QCOMPARE(table.DpiMax, dpiMax);
    }

    // A fill sets the first 3k texts and both lists; a malformed list empties
    // the lists but keeps the texts of the last good fill.
    void applyingRangesKeepsTextsOfTheLastGoodFill()
    {
        ApplyDpiRange(ParseDpiRange(QString(kFourRanges).split(QLatin1Char(','))));
        ApplyDpiRange(ParseDpiRange(QString(k3395Ranges).split(QLatin1Char(','))));
        QCOMPARE(DpiRangeTexts(), QStringList({"50", "10000", "50", "10100", "26000", "100",
                                               "2100", "3000", "100", "3100", "4000", "100"}));
        QCOMPARE(g_DpiRangeMinList, QList<int>({50, 10100}));
        QCOMPARE(g_DpiRangeMaxList, QList<int>({10000, 26000}));
        QCOMPARE(g_DpiRangeMode, 0x22);
        QCOMPARE(g_DpiRangeCount, 2);

        ApplyDpiRange(ParseDpiRange({"50", "0x11"}));
        QCOMPARE(g_DpiRangeMode, 0x11);
        QCOMPARE(g_DpiRangeCount, 0);
        QVERIFY(g_DpiRangeMinList.isEmpty());
        QVERIFY(g_DpiRangeMaxList.isEmpty());
        QCOMPARE(g_DpiRange2Max, QStringLiteral("26000"));
    }
};

VOGM_TEST_MAIN(TestDpiCoding)
#include "tst_dpicoding.moc"
