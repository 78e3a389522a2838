// The page host's page of alternative panels: opened on the simulated cable
// mouse through the program's real read, it shows the mouse's stored values
// and writes nothing while it fills.

#include "altpanelspage.h"
#include "currentmouse.h"
#include "testsupport.h"

#include "globals.h"
#include "hidusb.h"
#include "hidusb_control.h"

#include <QCheckBox>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <memory>

namespace {

const QString kMouse = QStringLiteral("m1");

bool Checked(QWidget *page, const char *panel, const char *child)
{
    QWidget *frame = page->findChild<QWidget *>(panel);
    auto *button = frame ? frame->findChild<QAbstractButton *>(child) : nullptr;
    if (!button)
        qFatal("no %s in %s", child, panel);
    return button->isChecked();
}

}  // namespace

class TestAltPanelsPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        HidSim::World world = HidSim::DefaultWorld();
        world.timing.readLatencyMs = 1;
        world.timing.fullReadMs = 1;
        HidSim::SetWorld(world);
        QByteArray stored = HidSim::StoredImage(kMouse);
        stored[0] = 2;    // 500 Hz
        stored[5] = 3;    // 0.7 mm
        stored[7] = 0;    // motion sync off
        stored[9] = 1;    // straight line on
        stored[10] = 1;   // ripple control on
        stored[6] = 9;    // debounce 9 ms
        stored[8] = 90;   // sleep after 15 min
        stored[63] = 2;   // indicator breathing,
        stored[64] = char(180);  // brightness step 7,
        stored[65] = 4;   // speed 4,
        stored[66] = 1;   // on
        QVERIFY(HidSim::SetStoredImage(kMouse, stored));
        QString error;
        QVERIFY2(CurrentMouse::Open(kMouse, &error), qPrintable(error));
    }

    void fillsFromTheMouseWithoutWriting()
    {
        const int before = int(HidSim::CallsOf("ProtocolDataUpdate").size());
        std::unique_ptr<QWidget> page(BuildAlternativePanels(ReadImage()));
        QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), before);
        QCOMPARE(g_SensorRefreshing.load(), uint8_t(0));

        QVERIFY(Checked(page.get(), "RippeControlB", "RippeControl_2"));
        QVERIFY(Checked(page.get(), "StraightLineB", "StraightLine_2"));
        QVERIFY(!Checked(page.get(), "MotionSyncB", "MotionSync_2"));
        // m1's sensor offers 0.7 mm.
        QVERIFY(Checked(page.get(), "SensorLODB", "MM0"));
        QVERIFY(Checked(page.get(), "SensorRateB", "Button500HZ"));
        // A cable link offers no high rate.
        QVERIFY(page->findChild<QWidget *>("Button2000HZ")->isHidden());

        QVERIFY(Checked(page.get(), "SensorEffectB", "MM2"));
        QCOMPARE(page->findChild<QSlider *>("SpeedH")->value(), 4);
        QCOMPARE(page->findChild<QSlider *>("LightH")->value(), 7);
        for (const char *panel : {"DebouncetimeB", "DebouncetimeC"})
            QCOMPARE(page->findChild<QWidget *>(panel)->findChild<QSpinBox *>("spinBoxA")->value(), 9);
        auto *sleep = page->findChild<QWidget *>("StopCloseTimeB");
        QCOMPARE(sleep->findChild<QSlider *>("StopClose")->value(), 6);
        QCOMPARE(sleep->findChild<QSpinBox *>("spinBoxA")->text(), QString("15 min"));
    }

    void cleanupTestCase()
    {
        UsbServer_SetPCDriverStatus(0);
        UsbServer_Exit();
    }
};

VOGM_TEST_MAIN(TestAltPanelsPage)
#include "tst_altpanelspage.moc"
