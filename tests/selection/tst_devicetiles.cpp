#include "deviceallinfo.h"
#include "devicetiles.h"
#include "dialogchange.h"
#include "globals.h"
#include "myconmbobox.h"
#include "mytoolbuttonenter.h"
#include "postmsg.h"
#include "selectionform.h"
#include "selectionworlds.h"
#include "testsupport.h"
#include "usbcallbacks.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace SelectionWorlds;

namespace {

// Four receivers of different kinds, each with its own mouse, and three 8 kHz
// receivers without a mouse (unidentified). None of them is a duplicate under
// the shipped three-model configuration.
HidSim::World ReceiversWorld(int plugged)
{
    std::vector<HidSim::Receiver> receivers{
        ReceiverOf("r1k", k1k, "mA", AddressOf(1)), ReceiverOf("r2k", k2k, "mB", AddressOf(2)),
        ReceiverOf("r4k", k4k, "m2", AddressOf(3)), ReceiverOf("r8k", k8k, "m3", AddressOf(4)),
        ReceiverOf("e1", k8k, "", AddressOf(5)),    ReceiverOf("e2", k8k, "", AddressOf(6)),
        ReceiverOf("e3", k8k, "", AddressOf(7)),
    };
    for (size_t i = 0; i < receivers.size(); ++i)
        receivers[i].plugged = int(i) < plugged;
    std::vector<HidSim::Mouse> mice{WirelessMouse("mA", 1, AddressOf(1)), WirelessMouse("mB", 2, AddressOf(2)),
                                    WirelessMouse("m2", 2, AddressOf(3)), WirelessMouse("m3", 3, AddressOf(4))};
    return Fixtures::WorldOf(receivers, mice);
}

QList<QPoint> Positions(const QList<QLabel *> &labels)
{
    QList<QPoint> points;
    for (const QLabel *label : labels)
        points << label->pos();
    return points;
}

QList<QPoint> AtHeight(const QList<int> &xs, int y)
{
    QList<QPoint> points;
    for (int x : xs)
        points << QPoint(x, y);
    return points;
}

bool Shows(const QWidget *widget, const char *picture)
{
    return widget->styleSheet().contains(g_DialogChangePictureDir + QLatin1String(picture));
}

}  // namespace

class TestDeviceTiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void noDeviceShowsTheMessage();
    void tilePlacement_data();
    void tilePlacement();
    void arrowsStepThroughThePages_data();
    void arrowsStepThroughThePages();
    void defaultWorldTiles();
    void languageChangeReachesBuiltTiles();
    void cabledModelHidesItsReceiver();
    void cabledMouseHidesOnlyItsOwnReceiver_data();
    void cabledMouseHidesOnlyItsOwnReceiver();
    void identicalDevices_data();
    void identicalDevices();
    void unidentifiedReceiver();
    void groupsOutsideTheCountTable_data();
    void groupsOutsideTheCountTable();
    void hoverRefreshesOnlyThatTile();
    void staleTileIndexIsIgnored();
    void rebuildFromATilesOwnClick();
    void clickedTileFindsItsEntry_data();
    void clickedTileFindsItsEntry();
    void badgeAndKindOfListedProductIds_data();
    void badgeAndKindOfListedProductIds();
    void everyPictureNamedExists();
    void screenshotOfTheDefaultWorld();

private:
    void UseWorld(const HidSim::World &world);
    SelectionForm Form() const { return SelectionForm(m_page); }
    DialogChange *m_page = nullptr;
};

void TestDeviceTiles::initTestCase()
{
    HidSim::SetWorld(Fixtures::WorldOf({}, {}));
    m_page = new DialogChange;
    QCOMPARE(g_DialogChange, m_page);
    QVERIFY(Settle());
}

void TestDeviceTiles::cleanupTestCase()
{
    delete m_page;
}

void TestDeviceTiles::init()
{
    HidSim::ClearCallLog();
}

void TestDeviceTiles::UseWorld(const HidSim::World &world)
{
    HidSim::SetWorld(world);
    QVERIFY(Register(SelectionUsbChangedCallback));
}

void TestDeviceTiles::noDeviceShowsTheMessage()
{
    UseWorld(ReceiversWorld(3));
    QCOMPARE(g_DeviceTiles.size(), 3);
    UseWorld(Fixtures::WorldOf({}, {}));
    QCOMPARE(Form().stackedWidget->count(), 0);
    QVERIFY(g_DeviceTiles.isEmpty() && g_LinkIcons.isEmpty() && g_OfflineIcons.isEmpty() && g_RateBadges.isEmpty());
    QVERIFY(!Form().label_2->isHidden());
    QVERIFY(Form().label_3->isHidden());
    QVERIFY(Form().LeftButton->isHidden());
    QVERIFY(Form().RightButton->isHidden());
}

void TestDeviceTiles::tilePlacement_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<QList<int>>("tileX");
    QTest::addColumn<QList<int>>("iconX");
    QTest::addColumn<QList<int>>("badgeX");
    QTest::newRow("one") << 1 << QList<int>{305} << QList<int>{530} << QList<int>{312};
    QTest::newRow("two") << 2 << QList<int>{135, 445} << QList<int>{360, 665} << QList<int>{142, 452};
    QTest::newRow("three") << 3 << QList<int>{0, 300, 600} << QList<int>{225, 525, 825} << QList<int>{7, 307, 607};
    QTest::newRow("four") << 4 << QList<int>{0, 300, 600, 305} << QList<int>{225, 525, 825, 530}
                          << QList<int>{7, 307, 607, 312};
    QTest::newRow("five") << 5 << QList<int>{0, 300, 600, 135, 445} << QList<int>{225, 525, 825, 360, 665}
                          << QList<int>{7, 307, 607, 142, 452};
    QTest::newRow("seven") << 7 << QList<int>{0, 300, 600, 0, 300, 600, 305}
                           << QList<int>{225, 525, 825, 225, 525, 825, 530}
                           << QList<int>{7, 307, 607, 7, 307, 607, 312};
}

void TestDeviceTiles::tilePlacement()
{
    QFETCH(int, devices);
    QFETCH(QList<int>, tileX);
    QFETCH(QList<int>, iconX);
    QFETCH(QList<int>, badgeX);
    UseWorld(ReceiversWorld(devices));
    QCOMPARE(g_PageDevices.size(), devices);
    QCOMPARE(g_DeviceTiles.size(), devices);

    const int pages = (devices + 2) / 3;
    QCOMPARE(Form().stackedWidget->count(), pages);
    QCOMPARE(Form().stackedWidget->currentIndex(), 0);
    for (int n = 0; n < devices; ++n) {
        const mytoolButtonEnter *tile = g_DeviceTiles.at(n);
        QCOMPARE(tile->objectName(), QStringLiteral("btn%1").arg(n));
        QCOMPARE(tile->pos(), QPoint(tileX.at(n), 0));
        QCOMPARE(tile->size(), QSize(284, 360));
        QCOMPARE(tile->focusPolicy(), Qt::NoFocus);
        QCOMPARE(tile->parentWidget(), Form().stackedWidget->widget(n / 3));
        QCOMPARE(g_OfflineIcons.at(n)->objectName(), QStringLiteral("label%1").arg(n));
        QCOMPARE(g_LinkIcons.at(n)->objectName(), QStringLiteral("UsbWifi%1").arg(n));
        QCOMPARE(g_OfflineIcons.at(n)->parentWidget(), tile->parentWidget());
    }
    QCOMPARE(Positions(g_OfflineIcons), AtHeight(iconX, 20));
    QCOMPARE(Positions(g_LinkIcons), AtHeight(iconX, 20));
    QCOMPARE(Positions(g_RateBadges), AtHeight(badgeX, 10));
    for (const QLabel *badge : qAsConst(g_RateBadges))
        QCOMPARE(badge->size(), QSize(42, 26));

    QCOMPARE(Form().RightButton->isHidden(), devices <= 3);
    QVERIFY(Form().LeftButton->isHidden());
    QVERIFY(Form().label_2->isHidden());
    QVERIFY(!Form().label_3->isHidden());
}

void TestDeviceTiles::arrowsStepThroughThePages_data()
{
    // Each step: the arrow clicked, then the page shown and which arrows show.
    QTest::addColumn<int>("devices");
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QList<int>>("pages");
    QTest::addColumn<QString>("arrowsShown");  // per step: "L", "R" or "LR"
    QTest::newRow("two pages") << 4 << "RL" << QList<int>{1, 0} << "L,R";
    QTest::newRow("three pages") << 7 << "RRLL" << QList<int>{1, 2, 1, 0} << "R,L,L,R";
}

void TestDeviceTiles::arrowsStepThroughThePages()
{
    QFETCH(int, devices);
    QFETCH(QString, clicks);
    QFETCH(QList<int>, pages);
    QFETCH(QString, arrowsShown);
    UseWorld(ReceiversWorld(devices));
    const QStringList shown = arrowsShown.split(',');
    for (int step = 0; step < clicks.size(); ++step) {
        QToolButton *arrow = clicks.at(step) == 'R' ? Form().RightButton : Form().LeftButton;
        QVERIFY2(!arrow->isHidden(), qPrintable(QStringLiteral("step %1").arg(step)));
        QTest::mouseClick(arrow, Qt::LeftButton);
        QCOMPARE(Form().stackedWidget->currentIndex(), pages.at(step));
        QString arrows;
        if (!Form().LeftButton->isHidden())
            arrows += 'L';
        if (!Form().RightButton->isHidden())
            arrows += 'R';
        QCOMPARE(arrows, shown.at(step));
        QVERIFY(Form().label_2->isHidden());
        QVERIFY(!Form().label_3->isHidden());
    }
}

void TestDeviceTiles::defaultWorldTiles()
{
    UseWorld(HidSim::DefaultWorld());
    // Scan order: the cable id first, then the 4 kHz and the 8 kHz receiver.
    QCOMPARE(g_DeviceTiles.size(), 3);
    QCOMPARE(g_PageDevices.at(0).Pid, QStringLiteral("0xFF01"));
    QCOMPARE(g_PageDevices.at(1).Pid, QStringLiteral("0xFF14"));
    QCOMPARE(g_PageDevices.at(2).Pid, QStringLiteral("0xFF18"));

    // Cabled mouse, online: its USB icon, no badge.
    QVERIFY(Shows(g_DeviceTiles.at(0), "OnLine0.png"));
    QVERIFY(Shows(g_LinkIcons.at(0), "OnLineUsb.png"));
    QVERIFY(!g_LinkIcons.at(0)->isHidden());
    QVERIFY(g_OfflineIcons.at(0)->isHidden());
    // The 4 kHz receiver's mouse is online.
    QVERIFY(Shows(g_DeviceTiles.at(1), "OnLine0.png"));
    QVERIFY(Shows(g_LinkIcons.at(1), "OnLineWifi.png"));
    QVERIFY(!g_LinkIcons.at(1)->isHidden());
    QVERIFY(g_OfflineIcons.at(1)->isHidden());
    // The 8 kHz receiver's mouse is switched off.
    QVERIFY(Shows(g_DeviceTiles.at(2), "DisOnlin0.png"));
    QVERIFY(Shows(g_OfflineIcons.at(2), "DisOnline.png"));
    QVERIFY(!g_OfflineIcons.at(2)->isHidden());
    QVERIFY(g_LinkIcons.at(2)->isHidden());

    QCOMPARE(g_RateBadges.size(), 2);
    QVERIFY(Shows(g_RateBadges.at(0), "4KHz.png"));
    QVERIFY(Shows(g_RateBadges.at(1), "8KHz.png"));
    QCOMPARE(g_RateBadges.at(1)->parentWidget(), g_DeviceTiles.at(2)->parentWidget());

    const QString tip = g_OfflineIcons.at(2)->toolTip();
    QCOMPARE(tip, QStringLiteral("The mouse is offline or asleep.\nMove the mouse or press a button to wake it up."));
}

void TestDeviceTiles::languageChangeReachesBuiltTiles()
{
    UseWorld(HidSim::DefaultWorld());
    const QString english = g_OfflineIcons.at(2)->toolTip();
    PostMsg::GetInstance()->EmitChangeLanguage(1);
    const QString other = g_OfflineIcons.at(2)->toolTip();
    PostMsg::GetInstance()->EmitChangeLanguage(0);
    QVERIFY(other != english);
    QVERIFY(!g_OfflineTips1Text.isEmpty());
    QCOMPARE(g_OfflineIcons.at(0)->toolTip(), english);
    QVERIFY(other.contains('\n'));
}

void TestDeviceTiles::cabledModelHidesItsReceiver()
{
    std::vector<HidSim::Receiver> receivers{ReceiverOf("r1k", k1k, "mA", AddressOf(1)),
                                           ReceiverOf("r4k", k4k, "m2", AddressOf(3))};
    UseWorld(Fixtures::WorldOf(receivers, {WirelessMouse("mA", 1, AddressOf(1)), WirelessMouse("m2", 2, AddressOf(3))}));
    QCOMPARE(g_DeviceTiles.size(), 2);

    // Plugging the cable in brings the real callback.
    QVERIFY(HidSim::SetCable("mA", true));
    QVERIFY(Settle());
    QCOMPARE(g_PageDevicesCopy.size(), 3);
    QCOMPARE(g_PageDevices.size(), 2);
    QCOMPARE(g_PageDevices.at(0).Pid, QStringLiteral("0xFF01"));
    QVERIFY(g_PageDevices.at(0).Wired);
    QCOMPARE(g_PageDevices.at(1).Pid, QStringLiteral("0xFF14"));
    QCOMPARE(g_DeviceTiles.size(), 2);
    QCOMPARE(g_DeviceTiles.at(1)->objectName(), QStringLiteral("btn1"));
    QCOMPARE(g_DeviceTiles.at(1)->pos(), QPoint(445, 0));
    QCOMPARE(g_RateBadges.size(), 1);  // the cable id is in no receiver list
    QVERIFY(Shows(g_RateBadges.at(0), "4KHz.png"));
    QCOMPARE(g_RateBadges.at(0)->pos(), QPoint(452, 10));

    QVERIFY(HidSim::SetCable("mA", false));
    QVERIFY(Settle());
    QCOMPARE(g_PageDevices.size(), 2);
    QCOMPARE(g_PageDevices.at(0).Pid, QStringLiteral("0xFF11"));
}

// Two mice of the same model, one on a 4 kHz and one on a 1 kHz receiver:
// putting one on its cable hides that mouse's receiver tile only. A receiver
// that reports no pairing address cannot tell, and goes with the model.
void TestDeviceTiles::cabledMouseHidesOnlyItsOwnReceiver_data()
{
    QTest::addColumn<QString>("onCable");
    QTest::addColumn<bool>("silentReceiver");  // the 1 kHz receiver reports no address
    QTest::addColumn<QStringList>("tiles");    // product ids in list order

    QTest::newRow("both wireless") << "" << false << QStringList{"0xFF11", "0xFF14"};
    QTest::newRow("4 kHz receiver's mouse on cable") << "m4" << false << QStringList{"0xFF01", "0xFF11"};
    QTest::newRow("1 kHz receiver's mouse on cable") << "m1" << false << QStringList{"0xFF01", "0xFF14"};
    QTest::newRow("the other receiver cannot tell") << "m4" << true << QStringList{"0xFF01"};
}

void TestDeviceTiles::cabledMouseHidesOnlyItsOwnReceiver()
{
    QFETCH(QString, onCable);
    QFETCH(bool, silentReceiver);
    QFETCH(QStringList, tiles);
    const HidSim::Address quiet{0, 0, 0};
    const HidSim::Address oneK = silentReceiver ? quiet : AddressOf(1);
    std::vector<HidSim::Receiver> receivers{ReceiverOf("r1k", k1k, "m1", oneK),
                                           ReceiverOf("r4k", k4k, "m4", AddressOf(3))};
    std::vector<HidSim::Mouse> mice{WirelessMouse("m1", 2, oneK), WirelessMouse("m4", 2, AddressOf(3))};
    UseWorld(Fixtures::WorldOf(receivers, mice));
    if (!onCable.isEmpty()) {
        QVERIFY(HidSim::SetCable(onCable, true));
        QVERIFY(Settle());
    }

    QStringList shown;
    for (const DeviceAllInfo &device : qAsConst(g_PageDevices))
        shown << device.Pid;
    QCOMPARE(shown, tiles);
    QCOMPARE(g_DeviceTiles.size(), tiles.size());
    QCOMPARE(g_PageDevicesCopy.size(), onCable.isEmpty() ? 2 : 3);
}

void TestDeviceTiles::identicalDevices_data()
{
    QTest::addColumn<QString>("deviceTotal");
    QTest::addColumn<bool>("duplicate");
    QTest::newRow("three models") << "3" << true;
    // With one model only the cable kind is tested: both receivers get a tile.
    QTest::newRow("one model") << "1" << false;
}

void TestDeviceTiles::identicalDevices()
{
    QFETCH(QString, deviceTotal);
    QFETCH(bool, duplicate);
    Fixtures::ConfigVariant config({{"Option/DeviceTotal", deviceTotal}});
    std::vector<HidSim::Receiver> receivers{ReceiverOf("ra", k1k, "mA", AddressOf(1)),
                                           ReceiverOf("rb", k1k, "mB", AddressOf(2))};
    HidSim::SetWorld(Fixtures::WorldOf(receivers, {WirelessMouse("mA", 1, AddressOf(1)), WirelessMouse("mB", 1, AddressOf(2))}));
    TestSupport::ModalWatcher closer({}, {}, QStringLiteral("CloseButton"));
    QVERIFY(Register(SelectionUsbChangedCallback));

    QCOMPARE(g_DuplicateDevice, duplicate);
    QCOMPARE(closer.Classes(), duplicate ? QStringList{"QuestiondialogB"} : QStringList());
    QCOMPARE(g_PageDevicesCopy.size(), 2);
    QCOMPARE(g_DeviceTiles.size(), duplicate ? 0 : 2);
    QCOMPARE(Form().stackedWidget->count(), duplicate ? 0 : 1);
    QCOMPARE(Form().label_2->isHidden(), !duplicate);
    QCOMPARE(Form().label_3->isHidden(), duplicate);
    QVERIFY(Form().LeftButton->isHidden() && Form().RightButton->isHidden());
}

void TestDeviceTiles::unidentifiedReceiver()
{
    UseWorld(Fixtures::WorldOf({ReceiverOf("r1k", k1k, "", AddressOf(1))}, {}));
    QCOMPARE(g_PageDevices.size(), 1);
    QCOMPARE(g_PageDevices.at(0).DriveIndex, g_DeviceTotal);
    QVERIFY(Shows(g_DeviceTiles.at(0), "Unknow.png"));
    QVERIFY(Shows(g_LinkIcons.at(0), "OnLineWifi.png"));
    QVERIFY(!g_LinkIcons.at(0)->isHidden());
    QVERIFY(g_OfflineIcons.at(0)->isHidden());
    QCOMPARE(g_RateBadges.size(), 1);
    QVERIFY(Shows(g_RateBadges.at(0), "1KHz.png"));
}

void TestDeviceTiles::groupsOutsideTheCountTable_data()
{
    QTest::addColumn<QString>("deviceTotal");
    QTest::addColumn<int>("mid");
    QTest::addColumn<int>("driveIndex");
    // Two receivers of model 16 (group index 15): not counted, so no notice.
    QTest::newRow("group 15") << "16" << 16 << 15;
    // Unidentified devices carry DriveIndex = DeviceTotal = 20.
    QTest::newRow("unidentified at 20") << "20" << 0 << 20;
}

void TestDeviceTiles::groupsOutsideTheCountTable()
{
    QFETCH(QString, deviceTotal);
    QFETCH(int, mid);
    QFETCH(int, driveIndex);
    Fixtures::ConfigVariant config({{"Option/DeviceTotal", deviceTotal}, {"Drive16/MID", "16"}});
    const QString mouseA = mid ? QStringLiteral("mA") : QString();
    const QString mouseB = mid ? QStringLiteral("mB") : QString();
    std::vector<HidSim::Receiver> receivers{ReceiverOf("ra", k1k, mouseA, AddressOf(1)),
                                           ReceiverOf("rb", k1k, mouseB, AddressOf(2))};
    std::vector<HidSim::Mouse> mice;
    if (mid)
        mice = {WirelessMouse("mA", uint8_t(mid), AddressOf(1)), WirelessMouse("mB", uint8_t(mid), AddressOf(2))};
    TestSupport::ModalWatcher closer({}, {}, QStringLiteral("CloseButton"));
    UseWorld(Fixtures::WorldOf(receivers, mice));
    QVERIFY(closer.seen.isEmpty());
    QCOMPARE(g_PageDevices.size(), 2);
    QCOMPARE(g_PageDevices.at(0).DriveIndex, driveIndex);
    QCOMPARE(g_DeviceTiles.size(), 2);
    QVERIFY(!g_DuplicateDevice);
}

void TestDeviceTiles::hoverRefreshesOnlyThatTile()
{
    UseWorld(HidSim::DefaultWorld());
    QVERIFY(Shows(g_DeviceTiles.at(1), "OnLine0.png"));
    QVERIFY(HidSim::SetPower("m2", false));  // the rescan it causes is still pending
    HidSim::ClearCallLog();

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(g_DeviceTiles.at(1), &enter);

    const QString receiverPath = QString::fromLatin1(HidSim::PathOf("r4k"));
    const auto asked = HidSim::CallsOf("UsbFinderC_GetDeviceOnLineWithUsbAddress");
    QVERIFY(!asked.empty());
    for (const HidSim::CallRecord &call : asked)
        QVERIFY2(call.arguments.contains(receiverPath), qPrintable(call.arguments));
    QVERIFY(Shows(g_DeviceTiles.at(1), "DisOnlin0.png"));
    QVERIFY(!g_OfflineIcons.at(1)->isHidden());
    QVERIFY(g_LinkIcons.at(1)->isHidden());
    QVERIFY(Shows(g_DeviceTiles.at(0), "OnLine0.png"));
    QVERIFY(Settle());
}

void TestDeviceTiles::staleTileIndexIsIgnored()
{
    UseWorld(HidSim::DefaultWorld());
    HidSim::ClearCallLog();
    QVERIFY(!RefreshPageTile(3));
    QVERIFY(!RefreshPageTile(-1));
    QVERIFY(HidSim::CallsOf("UsbFinderC_GetDeviceInfo").empty());
    // A tile of an older, longer build names an entry that no longer exists.
    mytoolButtonEnter stale;
    stale.setObjectName(QStringLiteral("btn7"));
    connect(&stale, &mytoolButtonEnter::tileEntered, this, [](int index) { RefreshPageTile(index); });
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&stale, &enter);
    QVERIFY(HidSim::CallsOf("UsbFinderC_GetDeviceInfo").empty());
    QVERIFY(RefreshPageTile(2));
}

void TestDeviceTiles::rebuildFromATilesOwnClick()
{
    UseWorld(HidSim::DefaultWorld());
    QPointer<mytoolButtonEnter> clicked = g_DeviceTiles.at(0);
    bool aliveAfterRebuild = false;
    connect(clicked.data(), &QToolButton::clicked, this, [&] {
        // As the library's callback does when it runs in a nested event loop
        // started from this click.
        SelectionUsbChangedCallback();
        aliveAfterRebuild = !clicked.isNull();
    });
    QTest::mouseClick(clicked.data(), Qt::LeftButton);
    QVERIFY(aliveAfterRebuild);
    QVERIFY(!clicked.isNull());
    QVERIFY(!g_DeviceTiles.contains(clicked.data()));
    QCOMPARE(g_DeviceTiles.size(), 3);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(clicked.isNull());
    QCOMPARE(Form().stackedWidget->count(), 1);
}

void TestDeviceTiles::clickedTileFindsItsEntry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("entry");  // -1: none
    QTest::newRow("first") << "btn0" << 0;
    QTest::newRow("last") << "btn2" << 2;
    QTest::newRow("past the list") << "btn3" << -1;
    QTest::newRow("not a tile") << "label1" << -1;
    QTest::newRow("negative") << "btn-1" << -1;
}

void TestDeviceTiles::clickedTileFindsItsEntry()
{
    QFETCH(QString, name);
    QFETCH(int, entry);
    UseWorld(HidSim::DefaultWorld());
    QObject tile;
    tile.setObjectName(name);
    DeviceAllInfo found;
    QCOMPARE(TileDevice(&tile, &found), entry >= 0);
    if (entry >= 0)
        QCOMPARE(found.Path, g_PageDevices.at(entry).Path);
    QVERIFY(!TileDevice(nullptr, &found));
}

void TestDeviceTiles::badgeAndKindOfListedProductIds_data()
{
    QTest::addColumn<QString>("pid");
    QTest::addColumn<bool>("wired");
    QTest::addColumn<QString>("badge");
    QTest::addColumn<int>("kind");
    QTest::newRow("1 kHz") << "P1" << false << "1KHz.png" << 1;
    QTest::newRow("2 kHz") << "P2" << false << "2KHz.png" << 2;
    QTest::newRow("4 kHz") << "P4" << false << "4KHz.png" << 3;
    QTest::newRow("8 kHz") << "P8" << false << "8KHz.png" << 4;
    QTest::newRow("1 and 8 kHz") << "P18" << false << "1KHz.png" << 1;
    QTest::newRow("2 and 1 kHz") << "P12" << false << "2KHz.png" << 1;
    QTest::newRow("4 and 8 kHz") << "P48" << false << "4KHz.png" << 3;
    QTest::newRow("unlisted receiver") << "PX" << false << "" << -1;
    QTest::newRow("cable") << "P1" << true << "1KHz.png" << 0;
}

void TestDeviceTiles::badgeAndKindOfListedProductIds()
{
    QFETCH(QString, pid);
    QFETCH(bool, wired);
    QFETCH(QString, badge);
    QFETCH(int, kind);
    g_WirelessPidList = QStringList{"P1", "P18", "P12"};
    g_Wireless2PidList = QStringList{"P2", "P12"};
    g_Wireless4PidList = QStringList{"P4", "P48"};
    g_Wireless8PidList = QStringList{"P8", "P18", "P48"};
    DeviceAllInfo device;
    device.Pid = pid;
    device.Wired = wired;
    QCOMPARE(RateBadgePicture(pid), badge);
    QCOMPARE(TileKind(device), kind);
}

void TestDeviceTiles::everyPictureNamedExists()
{
    UseWorld(HidSim::DefaultWorld());
    QStringList named = TestSupport::PicturesNamed(m_page);
    named << TestSupport::PicturesNamed(Form().comboBox->view());
    QStringList missing;
    for (const QString &file : qAsConst(named)) {
        if (!QFileInfo::exists(file))
            missing << file;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join('\n')));
    QVERIFY(named.size() > 20);
}

void TestDeviceTiles::screenshotOfTheDefaultWorld()
{
    UseWorld(HidSim::DefaultWorld());
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page));
    const QImage shot = m_page->grab().toImage();
    QCOMPARE(shot.size(), QSize(1020, 700));
    // The centre of the first tile is the tile picture, not the page background.
    const QPoint tileCentre = g_DeviceTiles.at(0)->mapTo(m_page, QPoint(142, 180));
    QVERIFY(shot.pixelColor(tileCentre) != shot.pixelColor(QPoint(30, 650)));
    QVERIFY(TestSupport::SaveShot(shot, QStringLiteral("selection-page.png")));
    m_page->hide();
}

VOGM_TEST_MAIN(TestDeviceTiles)
#include "tst_devicetiles.moc"
