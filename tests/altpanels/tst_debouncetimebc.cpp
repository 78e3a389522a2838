// The slider and the step-button debounce panels: what each shows and writes
// into image byte 6, and that setting a value never writes.

#include "debouncetimeb.h"
#include "debouncetimec.h"
#include "panelfixture.h"
#include "slidergroove.h"
#include "testsupport.h"

#include "globals.h"

#include <QSlider>
#include <QSpinBox>
#include <QToolButton>

using namespace PanelFixture;

namespace {

constexpr int kDebounce = 6;

QSpinBox *Shown(QWidget *panel)
{
    return panel->findChild<QSpinBox *>("spinBoxA");
}

QSlider *Slider(QWidget *panel)
{
    return panel->findChild<QSlider *>("Debunce");
}

}  // namespace

class TestDebouncetimeBC : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void sliderSetValueKeepsToOneToTwenty_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shown");
        QTest::newRow("0") << 0 << 1;
        QTest::newRow("7") << 7 << 7;
        QTest::newRow("25") << 25 << 20;
    }
    void sliderSetValueKeepsToOneToTwenty()
    {
        QFETCH(int, value);
        QFETCH(int, shown);
        auto *panel = new DebouncetimeB;
        Page page(panel);
        panel->SetValue(value);
        QCOMPARE(Shown(panel)->value(), shown);
        QCOMPARE(Slider(panel)->value(), shown);
        QCOMPARE(ImagesSent(), 0);
    }

    void sliderWritesOnReleaseAndGrooveSteps()
    {
        auto *panel = new DebouncetimeB;
        Page page(panel);
        panel->SetValue(5);
        DragSlider(Slider(panel), 12, [&] {
            QCOMPARE(Shown(panel)->value(), 12);
            QCOMPARE(ImagesSent(), 0);
        });
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(StoredByte(kDebounce), 12);

        SliderGroove::Click(Slider(panel), true);
        QCOMPARE(Shown(panel)->value(), 13);
        QCOMPARE(ImagesSent(), 2);
        QCOMPARE(StoredByte(kDebounce), 13);
    }

    void stepButtons_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("plus");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("written");  // -1: nothing
        QTest::newRow("+ from 0") << 0 << true << 1 << 1;
        QTest::newRow("+ from 12") << 12 << true << 13 << 13;
        QTest::newRow("+ at 20") << 20 << true << 20 << -1;
        QTest::newRow("- from 12") << 12 << false << 11 << 11;
        QTest::newRow("- at 1") << 1 << false << 1 << -1;
        QTest::newRow("- at 0 writes 0 again") << 0 << false << 0 << 0;
    }
    void stepButtons()
    {
        QFETCH(int, from);
        QFETCH(bool, plus);
        QFETCH(int, shown);
        QFETCH(int, written);
        auto *panel = new DebouncetimeC;
        Page page(panel);
        QCOMPARE(Shown(panel)->value(), 0);
        panel->SetValue(from);
        SeedByte(kDebounce, 99);
        QTest::mouseClick(panel->findChild<QToolButton *>(plus ? "AddLevelA" : "ReduceLevelA"), Qt::LeftButton);
        QCOMPARE(Shown(panel)->value(), shown);
        QCOMPARE(ImagesSent(), written < 0 ? 0 : 1);
        QCOMPARE(StoredByte(kDebounce), written < 0 ? 99 : written);
    }

    void stepSetValueKeepsToZeroToTwenty()
    {
        auto *panel = new DebouncetimeC;
        Page page(panel);
        panel->SetValue(30);
        QCOMPARE(Shown(panel)->value(), 20);
        panel->SetValue(-4);
        QCOMPARE(Shown(panel)->value(), 0);
        QCOMPARE(ImagesSent(), 0);
    }

    void writesNotAllowedOnlyShow()
    {
        auto *slider = new DebouncetimeB;
        Page sliderPage(slider);
        auto *steps = new DebouncetimeC;
        Page stepsPage(steps);
        g_WritesAllowed = 0;
        DragSlider(Slider(slider), 9);
        QCOMPARE(Shown(slider)->value(), 9);
        QTest::mouseClick(steps->findChild<QToolButton *>("AddLevelA"), Qt::LeftButton);
        QCOMPARE(Shown(steps)->value(), 1);
        QCOMPARE(ImagesSent(), 0);
    }

    void formsAndPictures()
    {
        auto *slider = new DebouncetimeB;
        Page sliderPage(slider);
        auto *steps = new DebouncetimeC;
        Page stepsPage(steps);
        QCOMPARE(slider->size(), QSize(280, 27));
        QCOMPARE(steps->size(), QSize(165, 37));
        QCOMPARE(Slider(slider)->hasTracking(), false);
        slider->SetSuffix("ms");
        steps->SetSuffix(" ms");
        slider->SetValue(4);
        steps->SetValue(4);
        QCOMPARE(Shown(slider)->text(), QString("4ms"));
        QCOMPARE(Shown(steps)->text(), QString("4 ms"));
        QCOMPARE(MissingPictures(slider), QStringList());
        QCOMPARE(MissingPictures(steps), QStringList());
        QVERIFY(sliderPage.Shoot("debouncetimeb"));
        QVERIFY(stepsPage.Shoot("debouncetimec"));
    }
};

VOGM_TEST_MAIN(TestDebouncetimeBC)
#include "tst_debouncetimebc.moc"
