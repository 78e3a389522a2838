// SendLevelDpi against the simulated mouse, with the shipped models: every
// grid value is written with X equal to Y and reads back as it was sent; the
// mice's factory levels decode onto their model's grid; no level, or no mouse,
// writes nothing.
#include "configini.h"
#include "globals.h"
#include "hidusb_control.h"
#include "postmsg.h"
#include "sensorcoding.h"
#include "sensordescription.h"
#include "sensormodel.h"
#include "devicesession.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <cstring>

namespace {

const QString kCableMouse = QStringLiteral("m1");
const QString kSilentReceiver = QStringLiteral("r8k");

// What the sensor page's fill sets up for a model.
DpiRangeTable UseModel(const QString &group)
{
    ConfigIni *config = ConfigIni::GetInstance();
    g_SensorName = config->Value(group, QStringLiteral("Sensor"));
    const DpiRangeTable ranges = ParseDpiRange(config->ValueList(group, QStringLiteral("DPIRange")));
    ApplyDpiRange(ranges);
    return ranges;
}

QList<int> GridValues(const DpiRangeTable &ranges)
{
    QList<int> values;
    for (int range = 0; range < ranges.Count; ++range) {
        const int step = ranges.Texts.at(3 * range + 2).toInt();
        for (int dpi = ranges.MinList.at(range); step > 0 && dpi <= ranges.MaxList.at(range); dpi += step)
            values << dpi;
    }
    return values;
}

int UpdateCalls()
{
    return int(HidSim::CallsOf(QStringLiteral("ProtocolDataUpdate")).size());
}

QByteArray Bytes(const FlashDataMap &image)
{
    return QByteArray(reinterpret_cast<const char *>(&image), kFlashDataMapSize);
}

}  // namespace

class TestSendDpi : public QObject {
    Q_OBJECT

    QByteArray m_onlinePath;

private slots:
    void initTestCase()
    {
        AppendSensorDefines(ReadInstalledSensorDescription());
        HidSim::SetWorld(HidSim::DefaultWorld());
        m_onlinePath = HidSim::PathOf(kCableMouse);
        QVERIFY(!m_onlinePath.isEmpty());
        QVERIFY(TestSupport::OpenAsCurrentDevice(kCableMouse));
        QVERIFY(HidSim::WaitUntilIdle());
    }

    void cleanupTestCase()
    {
        UsbServer_Exit();
    }

    void init()
    {
        SetCurrentPath(m_onlinePath);
        g_SensorRefreshing = 0;
        g_ButtonRefreshing = 0;
        HidSim::ClearCallLog();
    }

    void everyGridValueIsWrittenAndReadBack_data()
    {
        QTest::addColumn<QString>("group");
        QTest::newRow("Drive1") << "Drive1";
        QTest::newRow("Drive2") << "Drive2";
        QTest::newRow("Drive3") << "Drive3";
    }

    void everyGridValueIsWrittenAndReadBack()
    {
        QFETCH(QString, group);
        const QList<int> values = GridValues(UseModel(group));
        QVERIFY(!values.isEmpty());
        int level = 0;
        for (int dpi : values) {
            SendLevelDpi(level, dpi);
            const DpiLevelRecord record = ReadImage().DpiLevels[level];
            QCOMPARE(record.DpiY, record.DpiX);
            QCOMPARE(DecodeLevelDpi(record), dpi);
            level = (level + 1) % kDpiLevelSlots;
        }
        QCOMPARE(UpdateCalls(), values.size());
    }

    // The factory levels of the simulated mice are codes this coding writes.
    void factoryLevelsDecodeOntoTheModelsGrid_data()
    {
        QTest::addColumn<QString>("mouse");
        QTest::addColumn<QString>("group");
        QTest::newRow("m1") << "m1" << "Drive1";
        QTest::newRow("m2") << "m2" << "Drive2";
        QTest::newRow("m3") << "m3" << "Drive3";
    }

    void factoryLevelsDecodeOntoTheModelsGrid()
    {
        QFETCH(QString, mouse);
        QFETCH(QString, group);
        const QList<int> grid = GridValues(UseModel(group));
        const QByteArray factory = HidSim::FactoryImage(mouse, 0);
        QCOMPARE(factory.size(), kFlashDataMapSize);
        FlashDataMap image;
        std::memcpy(&image, factory.constData(), sizeof image);
        for (const DpiLevelRecord &record : image.DpiLevels) {
            const int dpi = DecodeLevelDpi(record);
            QVERIFY2(grid.contains(dpi), qPrintable(QString::number(dpi)));
            const DpiLevelCode code = EncodeDpi(DpiCodingModel::Current(), dpi);
            QCOMPARE(int(code.X), int(record.DpiX));
            QCOMPARE(int(code.Flags), int(record.DpiFlags));
        }
    }

    void noLevelWritesNothing()
    {
        UseModel(QStringLiteral("Drive1"));
        const QByteArray before = Bytes(ReadImage());
        SendLevelDpi(-1, 800);
        SendLevelDpi(8, 800);
        QCOMPARE(Bytes(ReadImage()), before);
        QVERIFY(HidSim::CallLog().empty());
    }

    void offlineWritesNothingAndRaisesOneNotice()
    {
        UseModel(QStringLiteral("Drive1"));
        SetCurrentPath(HidSim::PathOf(kSilentReceiver));
        QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        const QByteArray before = Bytes(ReadImage());
        const QByteArray deviceBefore = HidSim::StoredImage(kCableMouse);
        SendLevelDpi(2, 800);
        QCOMPARE(Bytes(ReadImage()), before);
        QCOMPARE(HidSim::StoredImage(kCableMouse), deviceBefore);
        QCOMPARE(UpdateCalls(), 0);
        QCOMPARE(notices.count(), 1);
    }
};

VOGM_TEST_MAIN(TestSendDpi)
#include "tst_senddpi.moc"
