// The DPI indicator panel with mode boxes: which rows each mode shows, what
// each mode, slider and setter writes (bytes 63-66), and the closed gates.

#include "panelfixture.h"
#include "sensoreffectb.h"
#include "testsupport.h"

#include "globals.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>

using namespace PanelFixture;

namespace {

constexpr int kLedMode = 63;
constexpr int kLedBrightness = 64;
constexpr int kLedSpeed = 65;
constexpr int kLedOn = 66;

template <typename T>
T *Child(QWidget *panel, const char *name)
{
    auto *child = panel->findChild<T *>(name);
    if (!child)
        qFatal("no %s", name);
    return child;
}

// Shown (1) or hidden (0): SpeedH, SpeedSpinBox, line, LightH, LightSpinBox, line_2.
QString Rows(QWidget *panel)
{
    QString rows;
    for (const char *name : {"SpeedH", "SpeedSpinBox", "line", "LightH", "LightSpinBox", "line_2"})
        rows += Child<QWidget>(panel, name)->isHidden() ? '0' : '1';
    return rows;
}

QStringList CheckedBoxes(QWidget *panel)
{
    QStringList checked;
    for (const char *name : {"MM1", "MM2", "MM3"}) {
        if (Child<QCheckBox>(panel, name)->isChecked())
            checked << name;
    }
    return checked;
}

}  // namespace

class TestSensorEffectB : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void modeBoxShowsItsRowsAndWritesEachClick_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<int>("ledOn");
        QTest::addColumn<int>("ledMode");
        QTest::newRow("steady") << "MM1" << "001110" << 1 << 1;
        QTest::newRow("breathing") << "MM2" << "110001" << 1 << 2;
        QTest::newRow("off keeps the mode") << "MM3" << "001001" << 0 << 2;
    }
    void modeBoxShowsItsRowsAndWritesEachClick()
    {
        QFETCH(QString, box);
        QFETCH(QString, rows);
        QFETCH(int, ledOn);
        QFETCH(int, ledMode);
        auto *panel = new SensorEffectB;
        Page page(panel);
        SeedByte(kLedMode, 2);
        SeedByte(kLedOn, box == "MM3" ? 1 : 0);
        const QByteArray before = StoredImage();

        QTest::mouseClick(Child<QCheckBox>(panel, qPrintable(box)), Qt::LeftButton);
        QCOMPARE(CheckedBoxes(panel), QStringList{box});
        QCOMPARE(Rows(panel), rows);
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(StoredByte(kLedOn), ledOn);
        QCOMPARE(StoredByte(kLedMode), ledMode);
        for (int changed : ChangedBytes(before, StoredImage()))
            QVERIFY(changed == kLedOn || changed == kLedMode);

        QTest::mouseClick(Child<QCheckBox>(panel, qPrintable(box)), Qt::LeftButton);
        QCOMPARE(CheckedBoxes(panel), QStringList{box});
        QCOMPARE(ImagesSent(), 2);
    }

    void brightnessIsWrittenOnRelease_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("code");
        QTest::newRow("5") << 5 << 128;
        QTest::newRow("10") << 10 << 255;
    }
    void brightnessIsWrittenOnRelease()
    {
        QFETCH(int, step);
        QFETCH(int, code);
        auto *panel = new SensorEffectB;
        Page page(panel);
        panel->SetMode(1);
        auto *spin = Child<QSpinBox>(panel, "LightSpinBox");
        DragSlider(Child<QSlider>(panel, "LightH"), step, [&] {
            QCOMPARE(spin->value(), step);
            QCOMPARE(ImagesSent(), 0);
        });
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(StoredByte(kLedBrightness), code);
    }

    void settersWriteOnlyRealSliderChanges()
    {
        auto *panel = new SensorEffectB;
        Page page(panel);
        panel->SetMode(1);
        QCOMPARE(CheckedBoxes(panel), QStringList{"MM1"});
        QCOMPARE(Rows(panel), QString("001110"));
        QCOMPARE(ImagesSent(), 0);

        SeedByte(kLedSpeed, 1);
        panel->SetSpeed(3);
        QCOMPARE(Child<QSpinBox>(panel, "SpeedSpinBox")->value(), 3);
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(StoredByte(kLedSpeed), 3);
        panel->SetSpeed(3);
        QCOMPARE(ImagesSent(), 1);

        panel->SetMode(3);  // no such mode
        QCOMPARE(CheckedBoxes(panel), QStringList{"MM1"});
    }

    void closedGatesShowButWriteNothing_data()
    {
        QTest::addColumn<bool>("writesAllowed");
        QTest::addColumn<bool>("refreshing");
        QTest::newRow("sensor page filling") << true << true;
        QTest::newRow("writes not allowed") << false << false;
    }
    void closedGatesShowButWriteNothing()
    {
        QFETCH(bool, writesAllowed);
        QFETCH(bool, refreshing);
        auto *panel = new SensorEffectB;
        Page page(panel);
        g_WritesAllowed = writesAllowed ? 1 : 0;
        g_SensorRefreshing = refreshing ? 1 : 0;
        QTest::mouseClick(Child<QCheckBox>(panel, "MM2"), Qt::LeftButton);
        QCOMPARE(Rows(panel), QString("110001"));
        DragSlider(Child<QSlider>(panel, "SpeedH"), 4);
        QCOMPARE(Child<QSpinBox>(panel, "SpeedSpinBox")->value(), 4);
        panel->SetBrightness(7);
        QCOMPARE(Child<QSpinBox>(panel, "LightSpinBox")->value(), 7);
        QTest::mouseClick(Child<QCheckBox>(panel, "MM3"), Qt::LeftButton);
        QCOMPARE(Rows(panel), QString("001001"));
        g_SensorRefreshing = 0;
        QCOMPARE(ImagesSent(), 0);
    }

    void newPanelAndItsTexts()
    {
        auto *panel = new SensorEffectB;
        Page page(panel);
        QCOMPARE(panel->size(), QSize(400, 143));
        QCOMPARE(CheckedBoxes(panel), QStringList());
        QCOMPARE(Rows(panel), QString("111111"));
        QCOMPARE(Child<QCheckBox>(panel, "MM3")->text(), QString("关闭"));
        panel->SetItemText(0, "Off");
        panel->SetItemText(1, "Steady");
        panel->SetItemText(2, "Breathing");
        panel->SetItemText(3, "None");
        QCOMPARE(Child<QCheckBox>(panel, "MM3")->text(), QString("Off"));
        QCOMPARE(Child<QCheckBox>(panel, "MM1")->text(), QString("Steady"));
        QCOMPARE(Child<QCheckBox>(panel, "MM2")->text(), QString("Breathing"));
        panel->SetLabelText("DPI indicator");
        panel->SetSpeedLabelText("Speed");
        panel->SetBrightnessLabelText("Brightness");
        QCOMPARE(Child<QLabel>(panel, "label")->text(), QString("DPI indicator"));
        QCOMPARE(Child<QLabel>(panel, "label_14")->text(), QString("Speed"));
        QCOMPARE(Child<QLabel>(panel, "label_15")->text(), QString("Brightness"));
        panel->SetSlidersEnabled(false);
        QVERIFY(!Child<QSlider>(panel, "SpeedH")->isEnabled());
        QVERIFY(!Child<QSlider>(panel, "LightH")->isEnabled());
        panel->SetSlidersEnabled(true);
        QCOMPARE(MissingPictures(panel), QStringList());
        g_SensorRefreshing = 1;
        panel->SetMode(1);
        panel->SetBrightness(6);
        g_SensorRefreshing = 0;
        QVERIFY(page.Shoot("sensoreffectb"));
    }
};

VOGM_TEST_MAIN(TestSensorEffectB)
#include "tst_sensoreffectb.moc"
