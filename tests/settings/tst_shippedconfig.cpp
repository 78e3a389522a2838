#include "configini.h"
#include "testsupport.h"

#include <QSettings>
#include <QtTest>
#include <algorithm>

// Checks the Config.ini that the build stages beside the program: every key
// the program reads is there and within the limits its readers rely on, and
// the identities agree with the simulated device world.
class TestShippedConfig : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void optionGroupIsComplete();
    void themeColoursAreThreeNumbers();
    void modelGroupsAreComplete_data();
    void modelGroupsAreComplete();
    void dpiSettingsAreWithinTheirLimits_data();
    void dpiSettingsAreWithinTheirLimits();
    void buttonDefaultsAndReceiverOptions_data();
    void buttonDefaultsAndReceiverOptions();
    void identitiesMatchTheDeviceWorld();

private:
    QSettings *m_raw = nullptr;
    int m_deviceTotal = 0;
};

namespace {

const char *const kOptionKeys[] = {
    "VID", "CID", "DeviceTotal", "InterfaceId", "DeviceId", "ShowBatteryValue", "Transition",
    "USB_PID", "Wireless_PID", "Wireless2_PID", "Wireless4_PID", "Wireless8_PID",
};
const char *const kColourKeys[] = {
    "LabelColor", "ButtonColor", "LinEditColor", "LinEditColorSecond",
    "SliderColor", "ComboxTextColor", "ComboxSelectColor", "ComboxBackGroundColor",
};
const char *const kModelKeys[] = {
    "MID", "MM", "DM", "D2M", "D4M", "D8M", "Sensor", "DPIMaxGrade", "DPIRange", "XIn1",
    "DPIColor", "DPIGrade", "KeyNumber", "KeyParam1", "KeyParam2", "KeyParam3", "KeyParam4",
    "KeyParam5", "KeyParam6", "Adveanced",
};

// Strict Base64: the shipped file must not rely on fromBase64 skipping junk.
bool IsStrictBase64(const QString &stored)
{
    const auto result = QByteArray::fromBase64Encoding(stored.trimmed().toLatin1(),
                                                       QByteArray::AbortOnBase64DecodingErrors);
    return result.decodingStatus == QByteArray::Base64DecodingStatus::Ok && !result.decoded.isEmpty();
}

bool IsNumberInRange(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= low && value <= high;
}

struct DpiRange {
    int min, max, step;
};

}  // namespace

void TestShippedConfig::initTestCase()
{
    const QString path = ConfigIni::DefaultPath();
    QVERIFY2(QFile::exists(path), qPrintable(path));
    m_raw = new QSettings(path, QSettings::IniFormat, this);
    m_deviceTotal = ConfigIni::GetInstance()->IntValue("Option", "DeviceTotal");
}

void TestShippedConfig::optionGroupIsComplete()
{
    for (const char *key : kOptionKeys)
        QVERIFY2(m_raw->contains(QString("Option/") + key), key);
    QVERIFY(m_deviceTotal >= 1 && m_deviceTotal <= 14);
    for (const char *key : {"InterfaceId", "DeviceId", "ShowBatteryValue", "Transition"})
        QVERIFY2(IsNumberInRange(m_raw->value(QString("Option/") + key).toString(), 0, 255), key);
    for (const char *key : kOptionKeys) {
        if (!ConfigIni::IsCodedKey(key))
            continue;
        const QStringList stored = m_raw->value(QString("Option/") + key).toStringList();
        QVERIFY2(!stored.isEmpty(), key);
        for (const QString &item : stored)
            QVERIFY2(IsStrictBase64(item), key);
    }
}

void TestShippedConfig::themeColoursAreThreeNumbers()
{
    for (const char *key : kColourKeys) {
        const QStringList items = ConfigIni::GetInstance()->ValueList("Option", key);
        QVERIFY2(items.size() == 3, key);
        for (const QString &item : items)
            QVERIFY2(IsNumberInRange(item, 0, 255), key);
    }
}

void TestShippedConfig::modelGroupsAreComplete_data()
{
    QTest::addColumn<QString>("group");
    for (int i = 0; i < m_deviceTotal; ++i)
        QTest::newRow(qPrintable(ConfigIni::DriveGroup(i))) << ConfigIni::DriveGroup(i);
}

void TestShippedConfig::modelGroupsAreComplete()
{
    QFETCH(QString, group);
    for (const char *key : kModelKeys)
        QVERIFY2(m_raw->contains(group + "/" + key), key);
    ConfigIni *config = ConfigIni::GetInstance();
    for (const char *key : {"MM", "DM", "D2M", "D4M", "D8M", "Sensor"}) {
        QVERIFY2(IsStrictBase64(m_raw->value(group + "/" + key).toString()), key);
        QVERIFY2(config->Value(group, key).toLocal8Bit().size() <= 64, key);  // header field width
    }
    const QByteArray sensor = config->Value(group, "Sensor").toLocal8Bit();
    QVERIFY(!sensor.isEmpty() && sensor.size() <= 11);
    QVERIFY(IsNumberInRange(config->Value(group, "MID"), 1, 255));
    for (int other = 0; other < m_deviceTotal; ++other) {
        if (ConfigIni::DriveGroup(other) != group)
            QVERIFY(config->Value(ConfigIni::DriveGroup(other), "MID") != config->Value(group, "MID"));
    }
}

void TestShippedConfig::dpiSettingsAreWithinTheirLimits_data()
{
    modelGroupsAreComplete_data();
}

void TestShippedConfig::dpiSettingsAreWithinTheirLimits()
{
    QFETCH(QString, group);
    ConfigIni *config = ConfigIni::GetInstance();
    QVERIFY(IsNumberInRange(config->Value(group, "DPIMaxGrade"), 1, 8));
    QVERIFY(IsNumberInRange(config->Value(group, "XIn1"), 0, 255));

    const QStringList fields = config->ValueList(group, "DPIRange");
    const int rangeCount = (fields.size() - 1) / 3;
    QVERIFY(fields.size() == 3 * rangeCount + 1 && rangeCount >= 1 && rangeCount <= 4);
    bool ok = false;
    const int mode = fields.last().toInt(&ok, 16);
    QVERIFY(ok && (mode == 0x11 || mode == 0x22 || mode == 0x33));
    QList<DpiRange> ranges;
    for (int r = 0; r < rangeCount; ++r) {
        const DpiRange range{fields[3 * r].toInt(), fields[3 * r + 1].toInt(), fields[3 * r + 2].toInt()};
        QVERIFY(range.min > 0 && range.min < range.max && range.step > 0);
        QCOMPARE((range.max - range.min) % range.step, 0);
        if (!ranges.isEmpty())
            QVERIFY(range.min > ranges.last().max);
        ranges << range;
    }

    const QStringList colours = config->ValueList(group, "DPIColor");
    QCOMPARE(colours.size(), 24);
    for (const QString &channel : colours)
        QVERIFY(IsNumberInRange(channel, 0, 255));

    const QStringList grades = config->ValueList(group, "DPIGrade");
    QCOMPARE(grades.size(), 8);
    for (const QString &grade : grades) {
        const int dpi = grade.toInt();
        const bool onGrid = std::any_of(ranges.cbegin(), ranges.cend(), [dpi](const DpiRange &r) {
            return dpi >= r.min && dpi <= r.max && (dpi - r.min) % r.step == 0;
        });
        QVERIFY2(onGrid, qPrintable(grade));
    }
}

void TestShippedConfig::buttonDefaultsAndReceiverOptions_data()
{
    modelGroupsAreComplete_data();
}

void TestShippedConfig::buttonDefaultsAndReceiverOptions()
{
    QFETCH(QString, group);
    ConfigIni *config = ConfigIni::GetInstance();
    QVERIFY(IsNumberInRange(config->Value(group, "KeyNumber"), 6, 16));
    int keyDefaults = 0;
    for (int i = 1; i <= 6; ++i) {
        const QStringList items = config->ValueList(group, "KeyParam" + QString::number(i));
        QVERIFY(!items.isEmpty());
        bool ok = false;
        const int kind = items.first().toInt(&ok, 16);
        QVERIFY(items.first().startsWith("0x") && ok && kind <= 11);
        if (items.first() == "0x05") {
            ++keyDefaults;
            // A media-key default names its usage's low byte; a combination has four items.
            QVERIFY(items.size() == 3 || items.size() == 4);
            if (items.size() == 3)
                QVERIFY(items.at(2).toInt(&ok, 16) > 0 && ok);
        }
    }
    QVERIFY(keyDefaults >= 1);

    const QStringList advanced = config->ValueList(group, "Adveanced");
    QCOMPARE(advanced.size(), 2);
    QVERIFY(IsNumberInRange(advanced.at(0), -1, 1));
    QVERIFY(advanced.at(1) == "-1" || IsNumberInRange(advanced.at(1), 1, 3));
}

void TestShippedConfig::identitiesMatchTheDeviceWorld()
{
    ConfigIni *config = ConfigIni::GetInstance();
    QCOMPARE(config->Value("Option", "VID"), QString("0xFF5C"));
    QCOMPARE(config->Value("Option", "CID"), QString("18"));
    QCOMPARE(m_deviceTotal, 3);
    QCOMPARE(config->ValueList("Option", "USB_PID"), QStringList{"0xFF01"});
    QCOMPARE(config->ValueList("Option", "Wireless_PID"), QStringList{"0xFF11"});
    QCOMPARE(config->ValueList("Option", "Wireless2_PID"), QStringList{"0xFF12"});
    QCOMPARE(config->ValueList("Option", "Wireless4_PID"), QStringList{"0xFF14"});
    QCOMPARE(config->ValueList("Option", "Wireless8_PID"), QStringList{"0xFF18"});
    const char *const sensors[] = {"3950", "3395", "S100"};
    for (int i = 0; i < 3; ++i) {
        const QString group = ConfigIni::DriveGroup(i);
        const QString n = QString::number(i + 1);
        QCOMPARE(config->IntValue(group, "MID"), i + 1);
        QCOMPARE(config->Value(group, "Sensor"), QString(sensors[i]));
        QCOMPARE(config->Value(group, "MM"), "VOM-M" + n);
        QCOMPARE(config->Value(group, "DM"), "VOR-M" + n + "-1K");
        QCOMPARE(config->Value(group, "D2M"), "VOR-M" + n + "-2K");
        QCOMPARE(config->Value(group, "D4M"), "VOR-M" + n + "-4K");
        QCOMPARE(config->Value(group, "D8M"), "VOR-M" + n + "-8K");
    }
}

VOGM_TEST_MAIN(TestShippedConfig)
#include "tst_shippedconfig.moc"
