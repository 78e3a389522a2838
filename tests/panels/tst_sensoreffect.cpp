// The DPI indicator effect panel: what each mode writes into bytes 63-66,
// which rows each mode shows, and that the sliders write once, on release.

#include "panelfixture.h"
#include "sensoreffect.h"
#include "testsupport.h"

#include "globals.h"

#include <QComboBox>
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

template <class T>
T *Child(SensorEffect *panel, const char *name)
{
    T *child = panel->findChild<T *>(name);
    if (!child)
        qFatal("no child %s", name);
    return child;
}

// Which of SpeedH, SpeedSpinBox, LightH, LightSpinBox, line, line_2 are shown.
QString Rows(SensorEffect *panel)
{
    QString rows;
    for (const char *name : {"SpeedH", "SpeedSpinBox", "LightH", "LightSpinBox", "line", "line_2"})
        rows += Child<QWidget>(panel, name)->isVisibleTo(panel) ? '1' : '0';
    return rows;
}

// The panel as the sensor page leaves it after a fill, nothing sent.
SensorEffect *FilledPanel(int mode, int speed, int step)
{
    auto *panel = new SensorEffect;
    g_SensorRefreshing = 1;
    panel->SetMode(mode);
    panel->SetSpeed(speed);
    panel->SetBrightness(step);
    g_SensorRefreshing = 0;
    return panel;
}

}  // namespace

class TestSensorEffect : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void breathingIsOneWriteOfModeAndOn()
    {
        auto *panel = FilledPanel(SensorEffect::kModeOff, 3, 5);
        Page page(panel);
        SeedByte(kLedOn, 0);
        SeedByte(kLedMode, 1);
        const QByteArray before = StoredImage();

        ChooseItem(Child<QComboBox>(panel, "Model"), SensorEffect::kModeBreathing);
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>({kLedMode, kLedOn}));
        QCOMPARE(StoredByte(kLedOn), 1);
        QCOMPARE(StoredByte(kLedMode), 2);
    }

    void offKeepsTheLastMode()
    {
        auto *panel = FilledPanel(SensorEffect::kModeBreathing, 3, 5);
        Page page(panel);
        auto *model = Child<QComboBox>(panel, "Model");
        ChooseItem(model, SensorEffect::kModeSteady);
        ChooseItem(model, SensorEffect::kModeOff);
        QCOMPARE(ImagesSent(), 2);
        QCOMPARE(StoredByte(kLedOn), 0);
        QCOMPARE(StoredByte(kLedMode), 1);
    }

    void invalidModeIsIgnored_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("3") << 3;
        QTest::newRow("-1") << -1;
        QTest::newRow("255") << 255;
    }
    void invalidModeIsIgnored()
    {
        QFETCH(int, mode);
        auto *panel = FilledPanel(SensorEffect::kModeSteady, 3, 5);
        Page page(panel);
        const QString rows = Rows(panel);
        const QByteArray before = StoredImage();
        panel->SetMode(mode);  // as a fill outside the page's refreshing would
        QCOMPARE(Child<QComboBox>(panel, "Model")->currentIndex(), int(SensorEffect::kModeSteady));
        QCOMPARE(Rows(panel), rows);
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(StoredImage(), before);
    }

    void modeShowsItsRows_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("rows");  // SpeedH SpeedSpinBox LightH LightSpinBox line line_2
        QTest::newRow("off") << 0 << "000011";
        QTest::newRow("steady") << 1 << "001110";
        QTest::newRow("breathing") << 2 << "110001";
    }
    void modeShowsItsRows()
    {
        QFETCH(int, mode);
        QFETCH(QString, rows);
        // Chosen by the user.
        auto *chosen = FilledPanel(mode == 0 ? 1 : 0, 3, 5);
        Page page(chosen);
        ChooseItem(Child<QComboBox>(chosen, "Model"), mode);
        QCOMPARE(Rows(chosen), rows);
        // Set by the page, also when the item is current already (no signal).
        auto *set = new SensorEffect;
        Page other(set);
        Child<QComboBox>(set, "Model")->setCurrentIndex(mode);
        g_SensorRefreshing = 1;
        set->SetMode(mode);
        QCOMPARE(Rows(set), rows);
    }

    void brightnessDragWritesOnceOnRelease_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("code");
        QTest::newRow("1") << 1 << 16;
        QTest::newRow("4") << 4 << 90;
        QTest::newRow("7") << 7 << 180;
        QTest::newRow("10") << 10 << 255;
    }
    void brightnessDragWritesOnceOnRelease()
    {
        QFETCH(int, step);
        QFETCH(int, code);
        auto *panel = FilledPanel(SensorEffect::kModeSteady, 3, 5);
        Page page(panel);
        auto *light = Child<QSlider>(panel, "LightH");
        auto *spin = Child<QSpinBox>(panel, "LightSpinBox");
        const QByteArray before = StoredImage();

        DragSlider(light, step, [&] {
            QCOMPARE(spin->value(), step);  // follows the handle
            QCOMPARE(ImagesSent(), 0);      // nothing sent while held
        });
        QCOMPARE(light->value(), step);
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(StoredByte(kLedBrightness), code);
        for (int changed : ChangedBytes(before, StoredImage()))
            QCOMPARE(changed, kLedBrightness);
    }

    void speedDragWritesOnceOnRelease()
    {
        auto *panel = FilledPanel(SensorEffect::kModeBreathing, 1, 5);
        Page page(panel);
        auto *speed = Child<QSlider>(panel, "SpeedH");
        DragSlider(speed, 4, [&] { QCOMPARE(Child<QSpinBox>(panel, "SpeedSpinBox")->value(), 4); });
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(StoredByte(kLedSpeed), 4);
    }

    void settersClampToTheSliders()
    {
        auto *panel = FilledPanel(SensorEffect::kModeSteady, 3, 5);
        Page page(panel);
        g_SensorRefreshing = 1;
        panel->SetBrightness(0);
        QCOMPARE(Child<QSlider>(panel, "LightH")->value(), 1);
        QCOMPARE(Child<QSpinBox>(panel, "LightSpinBox")->value(), 1);
        panel->SetBrightness(200);
        QCOMPARE(Child<QSlider>(panel, "LightH")->value(), 10);
        panel->SetSpeed(9);
        QCOMPARE(Child<QSlider>(panel, "SpeedH")->value(), 5);
        QCOMPARE(Child<QSpinBox>(panel, "SpeedSpinBox")->value(), 5);
        g_SensorRefreshing = 0;
        QCOMPARE(ImagesSent(), 0);
    }

    void reportedEffectIsWrittenBack()
    {
        // The page follows an indicator state the mouse reports without its
        // refreshing flag, so the setters write like a user's change.
        auto *panel = FilledPanel(SensorEffect::kModeOff, 3, 5);
        Page page(panel);
        panel->SetMode(SensorEffect::kModeSteady);
        panel->SetBrightness(9);
        QCOMPARE(ImagesSent(), 2);
        QCOMPARE(StoredByte(kLedOn), 1);
        QCOMPARE(StoredByte(kLedBrightness), 230);
    }

    void nothingSentWhileWritesNotAllowed()
    {
        auto *panel = FilledPanel(SensorEffect::kModeOff, 3, 5);
        Page page(panel);
        g_WritesAllowed = 0;
        ChooseItem(Child<QComboBox>(panel, "Model"), SensorEffect::kModeSteady);
        DragSlider(Child<QSlider>(panel, "LightH"), 8);
        QCOMPARE(Rows(panel), QString("001110"));
        QCOMPARE(Child<QSpinBox>(panel, "LightSpinBox")->value(), 8);
        QCOMPARE(ImagesSent(), 0);
    }

    void formTextsAndPictures()
    {
        auto *panel = FilledPanel(SensorEffect::kModeSteady, 3, 6);
        Page page(panel);
        QCOMPARE(panel->size(), QSize(439, 96));
        auto *model = Child<QComboBox>(panel, "Model");
        QCOMPARE(model->itemText(0), QString("关闭"));
        QCOMPARE(model->itemText(2), QString("呼吸"));
        panel->SetItemText(1, "Steady");
        QCOMPARE(model->itemText(1), QString("Steady"));
        panel->SetLabelText("DPI light");
        panel->SetSpeedLabelText("Speed");
        panel->SetBrightnessLabelText("Brightness");
        QCOMPARE(Child<QLabel>(panel, "label")->text(), QString("DPI light"));
        QCOMPARE(Child<QLabel>(panel, "label_14")->text(), QString("Speed"));
        QCOMPARE(Child<QLabel>(panel, "label_15")->text(), QString("Brightness"));
        panel->SetSlidersEnabled(false);
        QVERIFY(!Child<QSlider>(panel, "SpeedH")->isEnabled());
        QVERIFY(!Child<QSlider>(panel, "LightH")->isEnabled());
        panel->SetSlidersEnabled(true);
        QCOMPARE(MissingPictures(panel), QStringList());
        QVERIFY(page.Shoot("sensoreffect-steady"));
        g_SensorRefreshing = 1;
        panel->SetMode(SensorEffect::kModeBreathing);
        QVERIFY(page.Shoot("sensoreffect-breathing"));
        panel->SetMode(SensorEffect::kModeOff);
        QVERIFY(page.Shoot("sensoreffect-off"));
    }
};

VOGM_TEST_MAIN(TestSensorEffect)
#include "tst_sensoreffect.moc"
