// The one-row report-rate panel: each box's code in image byte 0, the
// high/low signal only after the mouse took the rate, the link classes.

#include "panelfixture.h"
#include "sensorrateb.h"
#include "testsupport.h"

#include "globals.h"
#include "postmsg.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <memory>

using namespace PanelFixture;

namespace {

constexpr int kRates = 7;
const char *const kBoxes[kRates] = {"Button125HZ",  "Button250HZ",  "Button500HZ", "Button1000HZ",
                                    "Button2000HZ", "Button4000HZ", "Button8000HZ"};

QCheckBox *Box(SensorRateB *panel, int index)
{
    return panel->findChild<QCheckBox *>(kBoxes[index]);
}

QList<int> CheckedBoxes(SensorRateB *panel)
{
    QList<int> checked;
    for (int i = 0; i < kRates; ++i) {
        if (Box(panel, i)->isChecked())
            checked << i;
    }
    return checked;
}

QString HighRatesShown(SensorRateB *panel)
{
    QString shown;
    for (int i = 4; i < kRates; ++i)
        shown += Box(panel, i)->isVisibleTo(panel) ? '1' : '0';
    return shown;
}

}  // namespace

class TestSensorRateB : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void clickWritesTheCodeThenSignals_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("hideModel");
        QTest::newRow("125HZ") << 0 << 8 << 0;
        QTest::newRow("250HZ") << 1 << 4 << 0;
        QTest::newRow("500HZ") << 2 << 2 << 0;
        QTest::newRow("1000HZ") << 3 << 1 << 0;
        QTest::newRow("2000HZ") << 4 << 16 << 1;
        QTest::newRow("4000HZ") << 5 << 32 << 1;
        QTest::newRow("8000HZ") << 6 << 64 << 1;
    }
    void clickWritesTheCodeThenSignals()
    {
        QFETCH(int, box);
        QFETCH(int, code);
        QFETCH(int, hideModel);
        auto *panel = new SensorRateB;
        Page page(panel);
        SeedByte(0, 0);
        QSignalSpy hide(PostMsg::GetInstance(), &PostMsg::SigHideModel);
        const QByteArray before = StoredImage();

        QTest::mouseClick(Box(panel, box), Qt::LeftButton);
        QCOMPARE(CheckedBoxes(panel), QList<int>{box});
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{0});
        QCOMPARE(StoredByte(0), code);
        QCOMPARE(hide.count(), 1);
        QCOMPARE(hide.at(0).at(0).toInt(), hideModel);

        QTest::mouseClick(Box(panel, box), Qt::LeftButton);
        QCOMPARE(CheckedBoxes(panel), QList<int>{box});
        QCOMPARE(ImagesSent(), 2);
        QCOMPARE(hide.count(), 2);
    }

    void refusedWritesSignalNothing_data()
    {
        QTest::addColumn<bool>("offline");
        QTest::addColumn<int>("notices");
        QTest::newRow("cable pulled") << true << 1;
        QTest::newRow("writes not allowed") << false << 0;
    }
    void refusedWritesSignalNothing()
    {
        QFETCH(bool, offline);
        QFETCH(int, notices);
        auto *panel = new SensorRateB;
        Page page(panel);
        panel->SetCurrentIndex(3);
        if (offline)
            UnplugMouse();
        else
            g_WritesAllowed = 0;
        QSignalSpy hide(PostMsg::GetInstance(), &PostMsg::SigHideModel);
        std::unique_ptr<QSignalSpy> offlineNotices(OfflineNoticeSpy());

        QTest::mouseClick(Box(panel, 6), Qt::LeftButton);
        QCOMPARE(CheckedBoxes(panel), QList<int>{6});
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(offlineNotices->count(), notices);
        QCOMPARE(hide.count(), 0);
    }

    void setCurrentIndexChecksOneBoxWithoutWriting()
    {
        auto *panel = new SensorRateB;
        Page page(panel);
        QSignalSpy hide(PostMsg::GetInstance(), &PostMsg::SigHideModel);
        QCOMPARE(CheckedBoxes(panel), QList<int>());
        panel->SetCurrentIndex(6);
        panel->SetCurrentIndex(0);
        QCOMPARE(CheckedBoxes(panel), QList<int>{0});
        panel->SetCurrentIndex(7);
        panel->SetCurrentIndex(-1);
        QCOMPARE(CheckedBoxes(panel), QList<int>{0});
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(hide.count(), 0);
    }

    void rateClassShowsTheLinksHighRates_data()
    {
        QTest::addColumn<int>("rateClass");
        QTest::addColumn<QString>("shown");  // 2000, 4000, 8000 Hz
        QTest::newRow("class 0") << 0 << "000";
        QTest::newRow("class 1") << 1 << "110";
        QTest::newRow("class 2") << 2 << "100";
        QTest::newRow("class 3") << 3 << "111";
    }
    void rateClassShowsTheLinksHighRates()
    {
        QFETCH(int, rateClass);
        QFETCH(QString, shown);
        auto *panel = new SensorRateB;
        Page page(panel);
        panel->SetCurrentIndex(6);
        panel->SetRateClass(rateClass);
        QCOMPARE(HighRatesShown(panel), shown);
        for (int i = 0; i < 4; ++i)
            QVERIFY(Box(panel, i)->isVisibleTo(panel));
        panel->SetRateClass(4);
        QCOMPARE(HighRatesShown(panel), shown);
        QCOMPARE(CheckedBoxes(panel), QList<int>{6});  // hidden or not
    }

    void formTextsAndPictures()
    {
        auto *panel = new SensorRateB;
        Page page(panel);
        QCOMPARE(panel->size(), QSize(820, 38));
        const QStringList texts{"125HZ", "250HZ", "500HZ", "1000HZ", "2000HZ", "4000HZ", "8000HZ"};
        for (int i = 0; i < kRates; ++i) {
            QCOMPARE(Box(panel, i)->text(), texts.at(i));
            QCOMPARE(Box(panel, i)->geometry(), QRect(100 + 100 * i, 7, 101, 20));
        }
        auto *label = panel->findChild<QLabel *>("label");
        QCOMPARE(label->text(), QString("回报率"));
        panel->SetLabelText("Polling rate");
        QCOMPARE(label->text(), QString("Polling rate"));
        QCOMPARE(MissingPictures(panel), QStringList());
        panel->SetCurrentIndex(3);
        QVERIFY(page.Shoot("sensorrateb"));
    }
};

VOGM_TEST_MAIN(TestSensorRateB)
#include "tst_sensorrateb.moc"
