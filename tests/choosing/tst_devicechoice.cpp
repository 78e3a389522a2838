#include "../selection/selectionworlds.h"
#include "choosingkit.h"
#include "devicecache.h"
#include "devicetiles.h"
#include "dialog.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "formsetting.h"
#include "globals.h"
#include "match.h"
#include "mytoolbuttonenter.h"
#include "noticedialog.h"
#include "registrystore.h"
#include "testsupport.h"
#include "updataparam.h"
#include "worker.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <memory>

using namespace ChoosingKit;
using namespace SelectionWorlds;

// A click on a device tile of the running main window, against the simulated
// device library: which signals it sends, when it pairs, asks or warns, and
// how a selection ends with the device read and the wait popup closed.
class TestDeviceChoice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void identifiedOnlineDeviceIsSelectedAndRead_data();
    void identifiedOnlineDeviceIsSelectedAndRead();
    void mouseIndexByModel_data();
    void mouseIndexByModel();
    void unidentifiedCabledDeviceOnlyClearsVersions();
    void unidentifiedReceiverWithoutVersionPairs();
    void pairingDecision_data();
    void pairingDecision();
    void tileIndexOutsideTheListIsIgnored();

private:
    void Open(const HidSim::World &world);
    int EntryWhere(const std::function<bool(const DeviceAllInfo &)> &match) const;
    void ClickTile(int entry);
    // The selected device was opened with its own path and, when it answered,
    // its wait popup ran and closed.
    void ExpectOpened(const QString &path, bool online);
    QStringList ChoiceSignals() const;

    std::unique_ptr<DialogMain> m_main;
    std::unique_ptr<HubRecorder> m_recorder;
    // Made before a tile is clicked: the popup may come and go within the click's events.
    std::unique_ptr<QSignalSpy> m_popupClosed;
};

namespace {

const QStringList kChoicePrefixes{"SigSetver(6)", "SigMouseIndex", "SigSelectMouseInfo", "SigLabelTextB",
                                  "SigChangeMainDialog"};

// Two receivers of model 1, the 1 kHz one with its mouse on, the 4 kHz one
// with its mouse off: the offline twin of a device also listed online.
HidSim::World TwinWorld()
{
    HidSim::Mouse on = WirelessMouse("mA", 1, AddressOf(1));
    HidSim::Mouse off = WirelessMouse("mB", 1, AddressOf(2));
    off.powered = false;
    return Fixtures::WorldOf({ReceiverOf("ra", k1k, "mA", AddressOf(1)), ReceiverOf("rb", k4k, "mB", AddressOf(2))},
                             {on, off});
}

void RecordMouseVersion(const QString &name, const QString &version)
{
    RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), name, version);
}

}  // namespace

void TestDeviceChoice::initTestCase()
{
    DialogMain::SetTrayUse(DialogMain::TrayUse::Minimise);
}

void TestDeviceChoice::init()
{
    TestSupport::IsolateUserFolders();
    g_SessionActive = 0;
    g_DeviceOnline = 0;
    g_OpenedOnline = 0;
    g_DeviceDataReady = 0;
    g_WaitOnline = 0;
    g_RestartWorker = 0;
    g_ReloadRequested = 0;
    g_SensorFilled = 0;
    g_ButtonFilled = 0;
    g_PairFromDevicePage = false;
    g_PairDevice = DeviceAllInfo{};
    g_ReceiverUpdateFound = false;
}

void TestDeviceChoice::cleanup()
{
    if (g_Worker)
        g_Worker->wait();
    m_recorder.reset();
    m_popupClosed.reset();
    m_main.reset();
    UsbServer_Exit();
    g_SessionActive = 0;
    QVERIFY(Settle());
}

void TestDeviceChoice::Open(const HidSim::World &world)
{
    HidSim::SetWorld(world);
    m_main = std::make_unique<DialogMain>();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    QVERIFY(Settle());
    QVERIFY(!g_DeviceTiles.isEmpty());
    m_recorder = std::make_unique<HubRecorder>();
    HidSim::ClearCallLog();
}

int TestDeviceChoice::EntryWhere(const std::function<bool(const DeviceAllInfo &)> &match) const
{
    for (int i = 0; i < g_PageDevices.size(); ++i) {
        if (match(g_PageDevices.at(i)))
            return i;
    }
    return -1;
}

void TestDeviceChoice::ClickTile(int entry)
{
    QVERIFY(entry >= 0 && entry < g_DeviceTiles.size());
    mytoolButtonEnter *tile = g_DeviceTiles.at(entry);
    QCOMPARE(tile->objectName(), QStringLiteral("btn%1").arg(entry));
    QVERIFY(tile->isVisible());
    m_popupClosed = std::make_unique<QSignalSpy>(m_main->DevicePage()->WaitPopup(), &QDialog::finished);
    QTest::mouseClick(tile, Qt::LeftButton);
}

QStringList TestDeviceChoice::ChoiceSignals() const
{
    return m_recorder->Only(kChoicePrefixes);
}

void TestDeviceChoice::ExpectOpened(const QString &path, bool online)
{
    QVERIFY(TestSupport::WaitFor([] { return !HidSim::CallsOf("UsbServerC_Start").empty(); }));
    QCOMPARE(HidSim::CallsOf("UsbServerC_Start").front().arguments, path + QLatin1Char(',') + path);
    if (!online)
        return;
    QVERIFY(TestSupport::WaitFor([this] { return m_popupClosed->count() == 1; }, TestSupport::kHangGuardMs));
    QVERIFY(m_recorder->Names().contains("SigUpDataParam(0)"));
}

void TestDeviceChoice::identifiedOnlineDeviceIsSelectedAndRead_data()
{
    QTest::addColumn<bool>("imageFolder");
    QTest::addColumn<QString>("hint");
    // The staged images hold a newer 4 kHz receiver image of model 2.
    QTest::newRow("staged images") << true << "true";
    QTest::newRow("no image folder") << false << "";
}

void TestDeviceChoice::identifiedOnlineDeviceIsSelectedAndRead()
{
    QFETCH(bool, imageFolder);
    QFETCH(QString, hint);
    std::unique_ptr<FixtureAppFolder> noImages;
    if (!imageFolder) {
        noImages = std::make_unique<FixtureAppFolder>();
        QVERIFY(QDir(FirmwareFolder()).removeRecursively());
        g_ReceiverUpdateFound = true;  // kept as it is without the folder
    }
    ModalWatcher watcher;
    Open(Fixtures::FastDefaultWorld());
    const int entry = EntryWhere([](const DeviceAllInfo &d) { return d.Mid == 2 && d.Online; });
    QVERIFY(entry >= 0);
    const DeviceAllInfo chosen = g_PageDevices.at(entry);
    QCOMPARE(chosen.UsbVersion, QStringLiteral("v1.1"));

    ClickTile(entry);
    QCOMPARE(ChoiceSignals(), (QStringList{"SigSetver(6)", "SigMouseIndex(1)", "SigSelectMouseInfo",
                                           "SigLabelTextB(v1.1," + hint + ")", "SigChangeMainDialog(1)"}));
    QCOMPARE(m_recorder->selected.Path, chosen.Path);
    QCOMPARE(g_SessionActive.load(), 1);
    QCOMPARE(g_ReceiverUpdateFound.load(), true);
    QCOMPARE(m_main->CurrentPage(), 1);
    QCOMPARE(g_CurrentDevice.Get().Path, chosen.Path);

    ExpectOpened(chosen.Path, true);
    QVERIFY(!m_recorder->Names().contains("SigMouseOffLineo(1)"));
    QVERIFY(!m_recorder->Names().contains("SigMouseOffLineo(0)"));
    QVERIFY(watcher.seen.isEmpty());
    // The confirmations were taken, and the model's first read left its cache.
    QCOMPARE(g_SensorFilled.load(), uint8_t(0));
    QCOMPARE(g_ButtonFilled.load(), uint8_t(0));
    QCOMPARE(QFileInfo(DeviceCacheFolder() + "/" + DeviceCacheName(18, 2)).size(), qint64(10432));
}

void TestDeviceChoice::mouseIndexByModel_data()
{
    QTest::addColumn<int>("mid");
    QTest::addColumn<QStringList>("mouseIndex");
    QTest::newRow("MID 1") << 1 << QStringList{"SigMouseIndex(0)"};
    QTest::newRow("MID 2") << 2 << QStringList{"SigMouseIndex(1)"};
    QTest::newRow("MID 3") << 3 << QStringList{};
}

void TestDeviceChoice::mouseIndexByModel()
{
    QFETCH(int, mid);
    QFETCH(QStringList, mouseIndex);
    ModalWatcher watcher;
    Open(Fixtures::WorldOf({}, {Fixtures::CableMouse("m", uint8_t(mid))}));
    QCOMPARE(g_PageDevices.size(), 1);
    const QString path = g_PageDevices.first().Path;
    ClickTile(0);
    QCOMPARE(m_recorder->Only({"SigMouseIndex"}), mouseIndex);
    QVERIFY(m_recorder->Names().contains("SigSelectMouseInfo"));
    ExpectOpened(path, true);
    QVERIFY(watcher.seen.isEmpty());
}

void TestDeviceChoice::unidentifiedCabledDeviceOnlyClearsVersions()
{
    ModalWatcher watcher;
    Open(Fixtures::WorldOf({}, {Fixtures::CableMouse("m9", 9)}));
    QCOMPARE(g_PageDevices.first().DriveIndex, g_DeviceTotal);
    QVERIFY(g_PageDevices.first().Wired);
    ClickTile(0);
    // The click's answer; whatever else it set off would have been posted by now.
    QVERIFY(TestSupport::WaitFor([this] { return m_recorder->Names().contains("SigSetver(6)"); }));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(m_recorder->Names(), QStringList{"SigSetver(6)"});
    QVERIFY(watcher.seen.isEmpty());
    QCOMPARE(g_SessionActive.load(), 0);
    QCOMPARE(m_main->CurrentPage(), 0);
    QVERIFY(HidSim::CallsOf("UsbServerC_Start").empty());
}

void TestDeviceChoice::unidentifiedReceiverWithoutVersionPairs()
{
    // A version recorded for a model does not count: the key of an
    // unidentified device is "MouseVer" + CID alone.
    RecordMouseVersion(QStringLiteral("MouseVer181"), QStringLiteral("v1.2"));
    ModalWatcher watcher;
    Open(Fixtures::WorldOf({ReceiverOf("r1k", k1k, "", AddressOf(1))}, {}));
    const DeviceAllInfo receiver = g_PageDevices.first();
    QCOMPARE(receiver.DriveIndex, g_DeviceTotal);
    QVERIFY(!receiver.Wired);
    ClickTile(0);
    QCOMPARE(watcher.Classes(), QStringList{"Match"});
    QCOMPARE(m_recorder->Names(), QStringList{"SigSetver(6)"});
    QVERIFY(g_PairFromDevicePage);
    QCOMPARE(g_PairDevice.Path, receiver.Path);
    QCOMPARE(g_SessionActive.load(), 0);
}

void TestDeviceChoice::pairingDecision_data()
{
    QTest::addColumn<int>("clicked");         // 0 the online twin, 1 the offline one
    QTest::addColumn<QString>("recorded");    // MouseVer181; "" none
    QTest::addColumn<uint>("mouseImage");     // version of the VOM-M1 image on disk; 0 none
    QTest::addColumn<uint>("receiverImage");  // version of the VOR-M1-4K image; 0 none
    QTest::addColumn<QString>("repairAnswer");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<bool>("selected");

    // The simulated mouse reports v1.2 (recorded), its 4 kHz receiver v1.1.
    QTest::newRow("never paired") << 1 << "" << 0x0103u << 0x0102u << "" << QStringList{"Match"} << false;
    QTest::newRow("no images: ask, OK pairs") << 1 << "v1.2" << 0u << 0u << "OK" << QStringList{"RePair", "Match"}
                                              << false;
    QTest::newRow("R-X-: ask, Cancel") << 1 << "v1.2" << 0x0102u << 0x0101u << "Cancel" << QStringList{"RePair"}
                                       << false;
    QTest::newRow("R-X-: ask, close button") << 1 << "v1.2" << 0x0102u << 0x0101u << "CloseButton"
                                             << QStringList{"RePair"} << false;
    QTest::newRow("R-X-: ask, Escape") << 1 << "v1.2" << 0x0102u << 0x0101u << "" << QStringList{"RePair"} << false;
    QTest::newRow("R-X+: warn") << 1 << "v1.2" << 0x0103u << 0x0101u << "" << QStringList{"UpDateWarning"} << false;
    QTest::newRow("R+X-: selected") << 1 << "v1.2" << 0x0102u << 0x0102u << "" << QStringList{} << true;
    QTest::newRow("R+X+: ask, OK pairs") << 1 << "v1.2" << 0x0103u << 0x0102u << "OK"
                                         << QStringList{"RePair", "Match"} << false;
    QTest::newRow("online twin: selected") << 0 << "" << 0u << 0u << "" << QStringList{} << true;
}

void TestDeviceChoice::pairingDecision()
{
    QFETCH(int, clicked);
    QFETCH(QString, recorded);
    QFETCH(uint, mouseImage);
    QFETCH(uint, receiverImage);
    QFETCH(QString, repairAnswer);
    QFETCH(QStringList, dialogs);
    QFETCH(bool, selected);
    FixtureAppFolder app;
    if (mouseImage)
        QVERIFY(app.AddImage("mouse.bin", kMouseFirmware, mouseImage, 18, 1, "VOM-M1"));
    if (receiverImage)
        QVERIFY(app.AddImage("receiver.bin", kReceiverFirmware, receiverImage, 18, 1, "VOR-M1-4K"));
    if (!recorded.isEmpty())
        RecordMouseVersion(QStringLiteral("MouseVer181"), recorded);

    ModalWatcher watcher({{"RePair", repairAnswer}});
    Open(TwinWorld());
    QCOMPARE(g_PageDevices.size(), 2);
    QCOMPARE(g_PageDevices.at(1).Pid, QStringLiteral("0xFF14"));
    const DeviceAllInfo entry = g_PageDevices.at(clicked);
    ClickTile(clicked);

    QCOMPARE(watcher.Classes(), dialogs);
    if (dialogs.contains("Match")) {
        QVERIFY(g_PairFromDevicePage);
        QCOMPARE(g_PairDevice.Path, entry.Path);
    }
    if (dialogs == QStringList{"UpDateWarning"}) {
        QVERIFY(!g_WiredModeText.isEmpty());
        QCOMPARE(watcher.seen.first().text, g_WiredModeText);
        const QWidget *page = m_main->SelectionPage();
        QCOMPARE(watcher.seen.first().pos,
                 NoticePosition(QRect(page->mapToGlobal(QPoint(0, 0)), page->size()), QSize(300, 140), -20, 0));
    }
    QCOMPARE(m_recorder->Names().contains("SigSelectMouseInfo"), selected);
    QCOMPARE(g_SessionActive.load(), selected ? 1 : 0);
    QCOMPARE(m_main->CurrentPage(), selected ? 1 : 0);
    if (selected) {
        QCOMPARE(m_recorder->selected.Path, entry.Path);
        ExpectOpened(entry.Path, clicked == 0);
    }
}

void TestDeviceChoice::tileIndexOutsideTheListIsIgnored()
{
    ModalWatcher watcher;
    Open(Fixtures::FastDefaultWorld());
    for (const char *name : {"btn7", "btn-1", "btnx", ""}) {
        QToolButton stale;
        stale.setObjectName(QLatin1String(name));
        connect(&stale, &QToolButton::clicked, m_main->SelectionPage(), &DialogChange::slotButtonClicked);
        m_recorder->Clear();
        stale.click();
        QCOMPARE(m_recorder->Names(), QStringList{"SigSetver(6)"});
    }
    QVERIFY(watcher.seen.isEmpty());
    QCOMPARE(g_SessionActive.load(), 0);
}

VOGM_TEST_MAIN(TestDeviceChoice)
#include "tst_devicechoice.moc"
