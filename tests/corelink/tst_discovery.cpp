#include "discovery.h"
#include "globals.h"
#include "testsupport.h"
#include "worldfixtures.h"

#include <QtTest>

using namespace Fixtures;

class TestDiscovery : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void defaultWorldListsTheThreeShippedModels();
    void identificationRetries_data();
    void identificationRetries();
    void twoGroupsWithOneModelIdTakeTheFirst();
    void noGroupsListsOnlySilentDevices();
    void hugeDeviceTotalStopsAtTheLastGroup();
    void mainScanKeepsOnlyTheCurrentModelAndUnknownOnes();
    void mainScanKeepsTheKnownVersionTexts();
    void versionText_data();
    void versionText();
    void refreshReportsTheAddressAndReplacesBothEntries();

private:
    static int IdentityCalls() { return int(HidSim::CallsOf("UsbFinderC_GetDeviceInfo").size()); }
    static void ScanPage()
    {
        g_PageDevices.clear();
        g_PageDevicesCopy.clear();
        EnumeratePageDevices(ConfigIni::GetInstance()->Value("Option", "VID"), ConfiguredProductIds());
    }
};

void TestDiscovery::init()
{
    g_PageDevices.clear();
    g_PageDevicesCopy.clear();
    g_FoundDevices.clear();
    g_CurrentDevice.Set(DeviceAllInfo());
    HidSim::ClearCallLog();
}

void TestDiscovery::defaultWorldListsTheThreeShippedModels()
{
    HidSim::SetWorld(HidSim::DefaultWorld());
    ScanPage();
    QCOMPARE(g_PageDevices.size(), 3);
    QCOMPARE(g_PageDevicesCopy.size(), 3);
    QMap<QString, int> driveByPid;
    for (const DeviceAllInfo &d : g_PageDevices) {
        QCOMPARE(int(d.Cid), 18);
        driveByPid[d.Pid] = d.DriveIndex;
    }
    QCOMPARE(driveByPid.value("0xFF01"), 0);  // Drive1 on cable
    QCOMPARE(driveByPid.value("0xFF14"), 1);  // Drive2 through the 4 kHz receiver
    QCOMPARE(driveByPid.value("0xFF18"), 2);  // Drive3 through the 8 kHz receiver
    for (const DeviceAllInfo &d : g_PageDevices) {
        if (d.Pid == "0xFF18")
            QVERIFY(!d.Online);
        else
            QVERIFY(d.Online);
        QCOMPARE(d.Wired, d.Pid == "0xFF01");
    }
}

void TestDiscovery::identificationRetries_data()
{
    QTest::addColumn<int>("zeroAnswers");
    QTest::addColumn<int>("expectedCalls");
    QTest::addColumn<int>("expectedDrive");
    QTest::newRow("answers at once") << 0 << 1 << 0;
    QTest::newRow("answers on the tenth call") << 9 << 10 << 0;
    QTest::newRow("never answers") << 10 << 10 << 3;
}

void TestDiscovery::identificationRetries()
{
    QFETCH(int, zeroAnswers);
    QFETCH(int, expectedCalls);
    QFETCH(int, expectedDrive);
    HidSim::Mouse mouse = CableMouse("m1", 1);
    mouse.zeroIdAnswers = zeroAnswers;
    HidSim::SetWorld(WorldOf({}, {mouse}));
    HidSim::ClearCallLog();
    ScanPage();
    QCOMPARE(g_PageDevices.size(), 1);
    QCOMPARE(IdentityCalls(), expectedCalls);
    QCOMPARE(g_PageDevices[0].DriveIndex, expectedDrive);
    QVERIFY(g_PageDevices[0].Wired);
}

void TestDiscovery::twoGroupsWithOneModelIdTakeTheFirst()
{
    ConfigVariant config({{"Drive2/MID", "1"}});
    HidSim::SetWorld(WorldOf({}, {CableMouse("m1", 1)}));
    ScanPage();
    QCOMPARE(g_PageDevices.size(), 1);
    QCOMPARE(g_PageDevices[0].DriveIndex, 0);
}

void TestDiscovery::noGroupsListsOnlySilentDevices()
{
    ConfigVariant config({{"Option/DeviceTotal", "0"}});
    HidSim::Mouse silent = CableMouse("silent", 2);
    silent.pid = 0xFF01;
    silent.zeroIdAnswers = 10;
    silent.address = {1, 2, 9};
    HidSim::SetWorld(WorldOf({}, {CableMouse("m1", 1), silent}));
    ScanPage();
    QCOMPARE(g_PageDevices.size(), 1);
    QCOMPARE(g_PageDevices[0].DriveIndex, 0);
    QCOMPARE(QByteArray(g_PageDevices[0].Path.toLatin1()), HidSim::PathOf("silent"));

    g_CurrentDevice.Update([&](DeviceAllInfo &d) { d.Path = "x"; });
    DeviceAllInfo info;
    const QByteArray path = HidSim::PathOf("m1");
    QCOMPARE(IdentifyMainDevice(info, path.constData()), 0);
}

// A DeviceTotal far beyond the file's model groups: a device of no listed
// model is still told apart at once, by both scans.
void TestDiscovery::hugeDeviceTotalStopsAtTheLastGroup()
{
    ConfigVariant config({{"Option/DeviceTotal", "2147483647"}});
    HidSim::SetWorld(WorldOf({}, {CableMouse("m9", 9), CableMouse("m1", 1)}));
    ScanPage();
    QCOMPARE(g_PageDevices.size(), 2);
    QList<int> indexes{g_PageDevices[0].DriveIndex, g_PageDevices[1].DriveIndex};
    std::sort(indexes.begin(), indexes.end());
    QCOMPARE(indexes, QList<int>({0, 2147483647}));
    DeviceAllInfo probe;
    QCOMPARE(IdentifyMainDevice(probe, HidSim::PathOf("m9").constData()), 2);
    QCOMPARE(probe.DriveIndex, 2147483647);
}

void TestDiscovery::mainScanKeepsOnlyTheCurrentModelAndUnknownOnes()
{
    HidSim::Mouse current = CableMouse("m1", 1);
    HidSim::Mouse otherModel = CableMouse("m2", 2);
    HidSim::Mouse unknownModel = CableMouse("m9", 9);
    HidSim::Mouse otherMaker = CableMouse("foreign", 1, 19);
    HidSim::SetWorld(WorldOf({}, {current, otherModel, unknownModel, otherMaker}));
    g_CurrentDevice.Update([&](DeviceAllInfo &d) {
        d.Path = QString::fromLatin1(HidSim::PathOf("m1"));
        d.DriveIndex = 0;
    });

    DeviceAllInfo probe;
    QCOMPARE(IdentifyMainDevice(probe, HidSim::PathOf("m9").constData()), 2);
    QCOMPARE(IdentifyMainDevice(probe, HidSim::PathOf("foreign").constData()), 3);

    EnumerateMainDevices(ConfigIni::GetInstance()->Value("Option", "VID"), ConfiguredProductIds());
    QStringList paths;
    for (const DeviceAllInfo &d : g_FoundDevices)
        paths << d.Path;
    QVERIFY(paths.contains(QString::fromLatin1(HidSim::PathOf("m1"))));
    QVERIFY(paths.contains(QString::fromLatin1(HidSim::PathOf("m9"))));
    QVERIFY(paths.contains(QString::fromLatin1(HidSim::PathOf("foreign"))));
    QVERIFY(!paths.contains(QString::fromLatin1(HidSim::PathOf("m2"))));
    // The current path now names the library's own, stable string.
    QCOMPARE(QByteArray(g_CurrentPath), HidSim::PathOf("m1"));
}

void TestDiscovery::mainScanKeepsTheKnownVersionTexts()
{
    HidSim::SetWorld(WorldOf({}, {CableMouse("m1", 1)}));
    g_CurrentDevice.Update([&](DeviceAllInfo &d) {
        d.Path = QString::fromLatin1(HidSim::PathOf("m1"));
        d.FirmwareVersion = "v1.2";
        d.UsbVersion = "v9.9";
    });
    DeviceAllInfo fresh;
    fresh.Path = g_CurrentDevice.Get().Path;
    QCOMPARE(IdentifyMainDevice(fresh, HidSim::PathOf("m1").constData()), 1);
    QCOMPARE(g_CurrentDevice.Get().FirmwareVersion, QStringLiteral("v1.2"));
    QCOMPARE(g_CurrentDevice.Get().UsbVersion, QStringLiteral("v9.9"));
    QVERIFY(g_CurrentDevice.Get().Online);
    QCOMPARE(g_CurrentDevice.Get().Address.size(), 3);

    // A device that came back with other firmware: the scan's versions win.
    QVERIFY(HidSim::ApplyCommand("version m1 0x0105"));
    fresh.UsbVersion = "v1.5";
    QCOMPARE(IdentifyMainDevice(fresh, HidSim::PathOf("m1").constData()), 1);
    QCOMPARE(g_CurrentDevice.Get().UsbVersion, QStringLiteral("v1.5"));
    QCOMPARE(g_CurrentDevice.Get().FirmwareVersion, QStringLiteral("v1.5"));
}

void TestDiscovery::versionText_data()
{
    QTest::addColumn<int>("word");
    QTest::addColumn<QString>("text");
    QTest::newRow("0x010F") << 0x010F << "v1.f";
    QTest::newRow("0x0A00") << 0x0A00 << "v10.0";
    QTest::newRow("0x0102") << 0x0102 << "v1.2";
    QTest::newRow("0x0110") << 0x0110 << "v1.10";
}

void TestDiscovery::versionText()
{
    QFETCH(int, word);
    QFETCH(QString, text);
    QCOMPARE(VersionText(word), text);
}

void TestDiscovery::refreshReportsTheAddressAndReplacesBothEntries()
{
    HidSim::Receiver receiver;
    receiver.name = "r4k";
    receiver.linkType = 1;
    receiver.pid = 0xFF14;
    receiver.mid = 2;
    receiver.mouse = "m2";
    receiver.address = {0x0A, 0x0B, 0x0C};
    HidSim::Mouse mouse = CableMouse("m2", 2);
    mouse.cable = false;
    mouse.address = receiver.address;
    HidSim::SetWorld(WorldOf({receiver}, {mouse}));
    ScanPage();
    QCOMPARE(g_PageDevices.size(), 1);
    g_PageDevices[0].Online = false;
    QVERIFY(RefreshPageDevice(0));
    QVERIFY(g_PageDevices[0].Online);
    QCOMPARE(g_PageDevices[0].Address, (QList<char>{0x0A, 0x0B, 0x0C}));
    QCOMPARE(g_PageDevicesCopy[0].Address, g_PageDevices[0].Address);

    QVERIFY(!RefreshPageDevice(5));  // a stale index does nothing
    QVERIFY(!RefreshPageDevice(-1));
    QCOMPARE(g_PageDevices.size(), 1);

    receiver.address = {0, 0, 0};
    mouse.address = receiver.address;
    HidSim::SetWorld(WorldOf({receiver}, {mouse}));
    ScanPage();
    QVERIFY(!RefreshPageDevice(0));
}

VOGM_TEST_MAIN(TestDiscovery)
#include "tst_discovery.moc"
