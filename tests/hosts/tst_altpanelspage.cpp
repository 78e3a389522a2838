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
    }

    void cleanupTestCase()
    {
        UsbServer_SetPCDriverStatus(0);
        UsbServer_Exit();
    }
};

VOGM_TEST_MAIN(TestAltPanelsPage)
#include "tst_altpanelspage.moc"
