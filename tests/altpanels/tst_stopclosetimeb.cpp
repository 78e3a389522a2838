// The sleep-time slider: the time shown for each position with the units
// taken from a host's item texts, what a release writes into image byte 8,
// and the closed gates.

#include "panelfixture.h"
#include "slidergroove.h"
#include "stopclosetimeb.h"
#include "testsupport.h"

#include "globals.h"

#include <QSlider>
#include <QSpinBox>

using namespace PanelFixture;

namespace {

constexpr int kSleep = 8;

QSpinBox *Shown(StopCloseTimeB *panel)
{
    return panel->findChild<QSpinBox *>("spinBoxA");
}

QSlider *Slider(StopCloseTimeB *panel)
{
    return panel->findChild<QSlider *>("StopClose");
}

}  // namespace

class TestStopCloseTimeB : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void positionsShowBareNumbersUntilUnitsArrive()
    {
        auto *panel = new StopCloseTimeB;
        Page page(panel);
        QCOMPARE(Shown(panel)->text(), QString("10"));
        const QList<int> times{10, 30, 1, 5, 10, 15, 20, 25, 30, 35, 40};
        for (int index = 0; index < times.size(); ++index) {
            panel->SetCurrentIndex(index);
            QCOMPARE(Shown(panel)->text(), QString::number(times.at(index)));
            QCOMPARE(StopCloseTimeB::TimeForPosition(index + 1), times.at(index));
        }
        QCOMPARE(ImagesSent(), 0);
    }

    void unitsComeFromTheItemTexts_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("atPosition2");
        QTest::addColumn<QString>("atPosition3");
        QTest::newRow("seconds") << 0 << QString("10秒") << QString("30秒") << QString("1");
        QTest::newRow("minutes") << 5 << QString("15分钟") << QString("30") << QString("1分钟");
        QTest::newRow("blank kept") << 5 << QString("15 minutes") << QString("30") << QString("1 minutes");
        QTest::newRow("every 10 taken out") << 0 << QString("10 s (10)") << QString("30 s ()") << QString("1");
        QTest::newRow("other items") << 3 << QString("5 min") << QString("30") << QString("1");
    }
    void unitsComeFromTheItemTexts()
    {
        QFETCH(int, item);
        QFETCH(QString, text);
        QFETCH(QString, atPosition2);
        QFETCH(QString, atPosition3);
        auto *panel = new StopCloseTimeB;
        Page page(panel);
        panel->SetCurrentIndex(1);
        panel->SetItemText(item, text);
        QCOMPARE(Shown(panel)->text(), atPosition2);  // the shown time takes the unit at once
        panel->SetCurrentIndex(2);
        QCOMPARE(Shown(panel)->text(), atPosition3);
        QCOMPARE(ImagesSent(), 0);
    }

    void releaseWritesThePositionsCode_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("code");
        QTest::newRow("40 min") << 11 << 240;
        QTest::newRow("10 s") << 1 << 1;
        QTest::newRow("5 min") << 4 << 30;
    }
    void releaseWritesThePositionsCode()
    {
        QFETCH(int, position);
        QFETCH(int, code);
        auto *panel = new StopCloseTimeB;
        Page page(panel);
        panel->SetCurrentIndex(position == 1 ? 5 : 0);
        DragSlider(Slider(panel), position, [&] { QCOMPARE(ImagesSent(), 0); });
        QCOMPARE(Shown(panel)->value(), StopCloseTimeB::TimeForPosition(position));
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(StoredByte(kSleep), code);
    }

    void grooveClickStepsAndWrites()
    {
        auto *panel = new StopCloseTimeB;
        Page page(panel);
        panel->SetCurrentIndex(2);
        SliderGroove::Click(Slider(panel), true);
        QCOMPARE(Slider(panel)->value(), 4);
        QCOMPARE(StoredByte(kSleep), 30);
    }

    void closedGatesOnlyShow_data()
    {
        QTest::addColumn<bool>("writesAllowed");
        QTest::addColumn<bool>("lightRefreshing");
        QTest::newRow("lighting page filling") << true << true;
        QTest::newRow("writes not allowed") << false << false;
    }
    void closedGatesOnlyShow()
    {
        QFETCH(bool, writesAllowed);
        QFETCH(bool, lightRefreshing);
        auto *panel = new StopCloseTimeB;
        Page page(panel);
        panel->SetItemText(5, "15 min");
        g_WritesAllowed = writesAllowed ? 1 : 0;
        g_LightRefreshing = lightRefreshing ? 1 : 0;
        DragSlider(Slider(panel), 9);
        g_LightRefreshing = 0;
        QCOMPARE(Shown(panel)->text(), QString("30 min"));
        QCOMPARE(ImagesSent(), 0);
    }

    void indicesOutsideTheTableChangeNothing()
    {
        auto *panel = new StopCloseTimeB;
        Page page(panel);
        panel->SetItemText(5, "15 min");
        panel->SetCurrentIndex(2);
        for (int index : {11, -1}) {
            panel->SetCurrentIndex(index);
            QCOMPARE(Slider(panel)->value(), 3);
            QCOMPARE(Shown(panel)->text(), QString("1 min"));
        }
        QCOMPARE(ImagesSent(), 0);
    }

    void formAndPictures()
    {
        auto *panel = new StopCloseTimeB;
        Page page(panel);
        QCOMPARE(panel->size(), QSize(277, 28));
        QCOMPARE(Slider(panel)->hasTracking(), false);
        QCOMPARE(MissingPictures(panel), QStringList());
        panel->SetItemText(0, "10 s");
        panel->SetItemText(5, "15 min");
        panel->SetCurrentIndex(3);
        QVERIFY(page.Shoot("stopclosetimeb"));
    }
};

VOGM_TEST_MAIN(TestStopCloseTimeB)
#include "tst_stopclosetimeb.moc"
