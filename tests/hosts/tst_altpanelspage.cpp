// The page host's page of alternative panels: opened on the simulated cable
// mouse through the program's real read, it shows the mouse's stored values
// and writes nothing while it fills.

#include "altpanelspage.h"
#include "currentmouse.h"
#include "sensorcoding.h"
#include "sensordpib.h"
#include "testsupport.h"
#include "worldfixtures.h"

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
        HidSim::SetWorld(Fixtures::FastDefaultWorld());
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
        stored[1] = 3;    // three DPI levels,
        stored[2] = 1;    // the second current,
        stored[15 + 6 * 2 + 3] = char(0x12);  // the third's colour #123456
        stored[15 + 6 * 2 + 4] = char(0x34);
        stored[15 + 6 * 2 + 5] = char(0x56);
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

        auto *dpi = page->findChild<SensorDPIB *>();
        QVERIFY(Checked(page.get(), "SensorDPIB", "MB"));
        QCOMPARE(dpi->GetCurrentLevel(), 1);
        QCOMPARE(dpi->GetLevelColor(2), QString("#123456"));
        QVERIFY(dpi->findChild<QWidget *>("RedButtonA")->styleSheet().contains("#123456"));
        QVERIFY(dpi->findChild<QWidget *>("MC")->isVisibleTo(dpi));
        QVERIFY(!dpi->findChild<QWidget *>("MD")->isVisibleTo(dpi));
        const FlashDataMap image = ReadImage();
        for (int level = 0; level < 3; ++level) {
            const QString name = QStringLiteral("spinBox") + QChar('A' + level);
            QCOMPARE(dpi->findChild<QSpinBox *>(name)->value(), DecodeLevelDpi(image.DpiLevels[level]));
        }
        // Filled with the signals blocked and the skip armed anew: the first
        // change is not sent.
        QVERIFY(!dpi->GetSkipNextSend());
        const int sent = int(HidSim::CallsOf("ProtocolDataUpdate").size());
        dpi->SetSliderValue(700, 0);
        QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), sent);
        QVERIFY(dpi->GetSkipNextSend());
    }

    void cleanupTestCase()
    {
        UsbServer_SetPCDriverStatus(0);
        UsbServer_Exit();
    }
};

VOGM_TEST_MAIN(TestAltPanelsPage)
#include "tst_altpanelspage.moc"
