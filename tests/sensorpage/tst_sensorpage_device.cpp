// The sensor page in the device page frame, filled through the real path:
// the receiver mouse of the default world is chosen, the worker opens it, the
// library's data callback hands the image over (blocking, from its own
// thread) while the wait popup waits, and a DPI step on the page changes the
// image the simulated mouse stores.
//
// With VOGM_TEST_SHOTS set, the filled device page is saved there as
// sensorpage.png.

#include "dialog.h"
#include "globals.h"
#include "hidusb_control.h"
#include "postmsg.h"
#include "sensor.h"
#include "sensormodel.h"
#include "testsupport.h"
#include "updataparam.h"
#include "worker.h"
#include "worldfixtures.h"

#include <QComboBox>
#include <QDir>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>
#include <cstring>
#include <memory>

namespace {

const QString kReceiver = QStringLiteral("r4k");
const QString kMouse = QStringLiteral("m2");  // Drive2, "3395", behind the 4 kHz receiver

const char *const kValueButtons[] = {"BlueButton", "BrightRedButton", "RedButton", "YellowButton"};

DpiLevelRecord StoredLevel(int level)
{
    const QByteArray stored = HidSim::StoredImage(kMouse);
    FlashDataMap image;
    std::memcpy(&image, stored.constData(), sizeof image);
    return image.DpiLevels[level];
}

QStringList LevelTexts(QWidget *page)
{
    QStringList texts;
    for (const char *name : kValueButtons)
        texts << page->findChild<QToolButton *>(name)->text();
    return texts;
}

}  // namespace

class TestSensorPageDevice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void receiverMouseFillsThePageAndTakesItsChanges();

private:
    std::unique_ptr<Dialog> m_frame;
};

void TestSensorPageDevice::initTestCase()
{
    HidSim::SetWorld(Fixtures::FastDefaultWorld());
}

void TestSensorPageDevice::cleanupTestCase()
{
    m_frame.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestSensorPageDevice::receiverMouseFillsThePageAndTakesItsChanges()
{
    m_frame = std::make_unique<Dialog>();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get(), TestSupport::kHangGuardMs));
    m_frame->findChild<QToolButton *>("SensorButton")->click();
    auto *page = m_frame->findChild<Sensor *>("Sensor");
    QVERIFY(page);
    QCOMPARE(m_frame->findChild<QStackedWidget *>("stackedWidgetDialog")->currentWidget(), page);

    // The tile click of the receiver's mouse: select it, switch pages (which
    // allows writes), mark the connection active and start the worker's pass.
    DeviceAllInfo mouse;
    mouse.Path = QString::fromLatin1(HidSim::PathOf(kReceiver));
    mouse.Cid = 18;
    mouse.Mid = 2;
    mouse.LinkType = 1;
    mouse.DriveIndex = 1;
    mouse.Online = true;
    PostMsg::GetInstance()->EmitSelectMouseInfo(mouse);
    g_WritesAllowed = 1;
    g_SessionActive = 1;
    g_WorkerRun = 1;
    g_Worker->start();

    // The factory image of the Drive2 mouse: four levels, the second current, 1000 Hz, HP.
    const QStringList factoryLevels{"400", "800", "1600", "3200"};
    UpDataParam *popup = m_frame->WaitPopup();
    QVERIFY(TestSupport::WaitFor([&] { return LevelTexts(page) == factoryLevels && !popup->isVisible(); }));
    QCOMPARE(g_SensorName, QStringLiteral("3395"));
    QVERIFY(page->findChild<QToolButton *>("BrightRedButton")->isChecked());
    QCOMPARE(page->findChild<QSpinBox *>("spinBoxA")->value(), 800);
    QCOMPARE(page->findChild<QSlider *>("horizontalSliderC")->maximum(), 26000);
    QVERIFY(page->findChild<QToolButton *>("Button1000HZ")->isChecked());
    QVERIFY(!page->findChild<QToolButton *>("Button8000HZ")->isVisibleTo(page));
    auto *mode = page->findChild<QComboBox *>("ModelChoose");
    QCOMPARE(mode->currentText(), QStringLiteral("HP"));
    QVERIFY(mode->isEnabled());
    QCOMPARE(int(g_SensorRefreshing), 0);

    const QPixmap shot = m_frame->grab();
    QVERIFY(!shot.isNull());
    QVERIFY(TestSupport::SaveShot(shot.toImage(), "sensorpage.png"));

    // One step up on the current level: 850 DPI, plain code 850 / 50 - 1.
    QCOMPARE(int(StoredLevel(1).DpiX), 15);
    QTest::mouseClick(page->findChild<QToolButton *>("AddLevelA"), Qt::LeftButton);
    QVERIFY(TestSupport::WaitFor([] { return StoredLevel(1).DpiX == 16; }));
    QCOMPARE(int(StoredLevel(1).DpiY), 16);
    QCOMPARE(int(StoredLevel(1).DpiFlags), 0);
    QCOMPARE(page->findChild<QToolButton *>("BrightRedButton")->text(), QStringLiteral("850"));
    QCOMPARE(int(StoredLevel(0).DpiX), 7);  // the other levels stay
}

VOGM_TEST_MAIN(TestSensorPageDevice)
#include "tst_sensorpage_device.moc"
