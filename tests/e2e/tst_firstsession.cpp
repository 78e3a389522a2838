// A new user's first session with the real main window and the simulated
// default world: choose the receiver mouse, see its settings, change a DPI
// value, watch the battery, lose and regain the mouse, follow it to the cable,
// go back, choose it again while it is off, and close the program.

#include "devicecache.h"
#include "dialog.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb_control.h"
#include "mytoolbuttonenter.h"
#include "notices.h"
#include "sensorcoding.h"
#include "sensordpi.h"
#include "devicelist.h"
#include "testsupport.h"
#include "updataparam.h"
#include "worker.h"
#include "worldfixtures.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <cstring>

namespace {

QList<mytoolButtonEnter *> VisibleTiles(QWidget *page)
{
    QList<mytoolButtonEnter *> tiles;
    for (mytoolButtonEnter *tile : page->findChildren<mytoolButtonEnter *>()) {
        if (tile->isVisibleTo(page))
            tiles << tile;
    }
    return tiles;
}

// No dialog open and no worker pass running (the wait popup clears the
// pages' filled flags again once it has seen them).
DpiLevelRecord StoredLevel(int level)
{
    const QByteArray image = HidSim::StoredImage("m2");
    DpiLevelRecord record;
    std::memcpy(&record, image.constData() + offsetof(FlashDataMap, DpiLevels) + level * sizeof record, sizeof record);
    return record;
}

}  // namespace

class TestFirstSession : public QObject
{
    Q_OBJECT
private slots:
    void aFirstSessionEndToEnd();

private:
    void ChooseTileOf(DialogMain *window, const QString &pid);
    void ClickSlider(QSlider *slider, double fraction);
};

void TestFirstSession::ChooseTileOf(DialogMain *window, const QString &pid)
{
    const int index = PageIndexOfPid(pid);
    QVERIFY(index >= 0);
    auto *tile = window->SelectionPage()->findChild<mytoolButtonEnter *>(QString("btn%1").arg(index));
    QVERIFY(tile);
    QTest::mouseClick(tile, Qt::LeftButton);
}

void TestFirstSession::ClickSlider(QSlider *slider, double fraction)
{
    const QPoint at(int(slider->width() * fraction), slider->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, slider->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &event);
    }
}

void TestFirstSession::aFirstSessionEndToEnd()
{
    HidSim::SetWorld(Fixtures::FastDefaultWorld());
    // Records the dialogs that open; the session answers them itself.
    TestSupport::ModalWatcher watcher;
    watcher.answer = false;

    auto *window = new DialogMain;
    window->show();

    // Three tiles: the receiver mouse, the cabled mouse, the switched-off mouse.
    QVERIFY(QTest::qWaitFor([&] { return VisibleTiles(window->SelectionPage()).size() == 3; }, TestSupport::kHangGuardMs));
    QCOMPARE(window->CurrentPage(), 0);

    // Choosing the receiver mouse: the device page, the wait popup, the filled pages.
    ChooseTileOf(window, "0xFF14");
    QCOMPARE(window->CurrentPage(), 1);
    QVERIFY(QTest::qWaitFor([&] { return watcher.Classes().contains("UpDataParam") && Settled(); }, TestSupport::kHangGuardMs));
    QCOMPARE(watcher.Classes(), QStringList{"UpDataParam"});  // closed without a notice
    QCOMPARE(QByteArray(g_CurrentPath), HidSim::PathOf("r4k"));

    // The sensor page shows the mouse's own settings.
    QTest::mouseClick(window->DevicePage()->findChild<QAbstractButton *>("SensorButton"), Qt::LeftButton);
    auto *dpi = window->DevicePage()->findChild<SensorDPI *>();
    QVERIFY(dpi);
    const FlashDataMap device = [] {
        FlashDataMap image;
        std::memcpy(&image, HidSim::StoredImage("m2").constData(), sizeof image);
        return image;
    }();
    const int level = device.DpiLevel;
    QCOMPARE(dpi->GetCurrentLevel(), level);
    auto *spin = dpi->findChild<QSpinBox *>("spinBoxA");
    QCOMPARE(spin->value(), DecodeLevelDpi(device.DpiLevels[level]));

    // A DPI value changed with the real slider reaches the mouse.
    auto *slider = dpi->findChild<QSlider *>("horizontalSliderC");
    QVERIFY(slider);
    HidSim::ResetWriteStats();
    ClickSlider(slider, 0.75);
    QVERIFY(QTest::qWaitFor([] { return HidSim::CurrentWriteStats().calls > 0; }, TestSupport::kHangGuardMs));
    const DpiLevelRecord written = StoredLevel(level);
    QVERIFY(std::memcmp(&written, &device.DpiLevels[level], sizeof written) != 0);
    QCOMPARE(DecodeLevelDpi(written), spin->value());
    const int chosenDpi = spin->value();

    // The mouse's battery report shows on the device page.
    HidSim::SetBattery("m2", 15, true);
    auto *battery = window->DevicePage()->findChild<QLabel *>("label_2");
    QVERIFY(QTest::qWaitFor([&] { return battery->text() == "15%"; }, TestSupport::kHangGuardMs));

    // Switched off, a change raises the offline notice; switched on, it closes.
    QVERIFY(HidSim::SetPower("m2", false));
    HidSim::WaitUntilIdle();
    watcher.seen.clear();
    watcher.inspect = [](QWidget *modal) {
        if (qobject_cast<MouseOffLine *>(modal))
            HidSim::SetPower("m2", true);
    };
    QTest::mouseClick(window->DevicePage()->findChild<QAbstractButton *>("Button125HZ"), Qt::LeftButton);
    watcher.inspect = nullptr;
    QVERIFY2(watcher.Classes().contains("MouseOffLine"), qPrintable(watcher.Classes().join(',')));
    QVERIFY(QTest::qWaitFor([&] { return Settled(); }, TestSupport::kHangGuardMs));

    // Plugging the cable: the device page follows the mouse to it.
    QVERIFY(HidSim::SetCable("m2", true));
    QVERIFY(QTest::qWaitFor([&] { return g_CurrentDevice.Get().Wired && QByteArray(g_CurrentPath) == HidSim::PathOf("m2"); },
                            TestSupport::kHangGuardMs));
    QVERIFY(QTest::qWaitFor([&] { return Settled(); }, TestSupport::kHangGuardMs));
    QCOMPARE(window->CurrentPage(), 1);

    // The back arrow: the tiles again, and the model's cache on disk.
    QTest::mouseClick(window->DevicePage()->findChild<QAbstractButton *>("UpArrow"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([&] { return window->CurrentPage() == 0; }, TestSupport::kHangGuardMs));
    const QString cacheFile = DeviceCacheFolder() + "/" + DeviceCacheName(18, 2);
    QVERIFY(QFile::exists(cacheFile));

    // With the mouse off, choosing it fills the pages from that cache.
    HidSim::SetCable("m2", false);
    HidSim::SetPower("m2", false);
    QVERIFY(QTest::qWaitFor([&] {
        const int i = PageIndexOfPid("0xFF14");
        return i >= 0 && !g_PageDevices[i].Online;
    }, TestSupport::kHangGuardMs));
    spin->setValue(0);
    ChooseTileOf(window, "0xFF14");
    QVERIFY(QTest::qWaitFor([&] { return spin->value() == chosenDpi && !g_Worker->isRunning(); }, TestSupport::kHangGuardMs));
    QCOMPARE(int(g_WaitOnline), 1);

    // Closing the window runs the close sequence and ends the event loop with 0.
    HidSim::ClearCallLog();
    QTimer::singleShot(0, [&] {
        QTest::mouseClick(window->DevicePage()->findChild<QAbstractButton *>("CloseButton"), Qt::LeftButton);
    });
    QCOMPARE(QApplication::exec(), 0);
    QStringList sequence;
    for (const HidSim::CallRecord &r : HidSim::CallLog()) {
        if (r.function == "UsbServer_SetPCDriverStatus" || r.function == "StopUsbChanged" || r.function == "UsbServer_Exit")
            sequence << r.function;
    }
    QCOMPARE(sequence, (QStringList{"UsbServer_SetPCDriverStatus", "StopUsbChanged", "UsbServer_Exit"}));
    QVERIFY(!window->isVisible());
}

VOGM_TEST_MAIN(TestFirstSession)
#include "tst_firstsession.moc"
