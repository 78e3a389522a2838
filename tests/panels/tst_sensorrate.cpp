// The report-rate panel: each row's code in image byte 0, the high/low signal
// to the sensor page only after the mouse took the rate, the link classes.

#include "panelfixture.h"
#include "sensorrate.h"
#include "testsupport.h"

#include "globals.h"
#include "postmsg.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <memory>

using namespace PanelFixture;

namespace {

const char *const kButtons[SensorRate::kRateCount] = {"Button125HZ",  "Button250HZ",  "Button500HZ", "Button1000HZ",
                                                      "Button2000HZ", "Button4000HZ", "Button8000HZ"};

QToolButton *RateButton(SensorRate *panel, int index)
{
    return panel->findChild<QToolButton *>(kButtons[index]);
}

int CheckedRow(SensorRate *panel)
{
    for (int i = 0; i < SensorRate::kRateCount; ++i) {
        if (RateButton(panel, i)->isChecked())
            return i;
    }
    return -1;
}

QString Shown(SensorRate *panel)
{
    QString shown;
    for (int i = 4; i < SensorRate::kRateCount; ++i)
        shown += RateButton(panel, i)->isVisibleTo(panel) ? '1' : '0';
    return shown;
}

}  // namespace

class TestSensorRate : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void clickWritesCodeThenSignalsRateKind_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("kind");
        QTest::newRow("125Hz") << 0 << 8 << 0;
        QTest::newRow("250Hz") << 1 << 4 << 0;
        QTest::newRow("500Hz") << 2 << 2 << 0;
        QTest::newRow("1000Hz") << 3 << 1 << 0;
        QTest::newRow("2000Hz") << 4 << 16 << 1;
        QTest::newRow("4000Hz") << 5 << 32 << 1;
        QTest::newRow("8000Hz") << 6 << 64 << 1;
    }
    void clickWritesCodeThenSignalsRateKind()
    {
        QFETCH(int, row);
        QFETCH(int, code);
        QFETCH(int, kind);
        auto *panel = new SensorRate;
        Page page(panel);
        SeedByte(0, 0);
        QSignalSpy hide(PostMsg::GetInstance(), &PostMsg::SigHideModel);
        const QByteArray before = StoredImage();

        QTest::mouseClick(RateButton(panel, row), Qt::LeftButton);
        QCOMPARE(CheckedRow(panel), row);
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{0});
        QCOMPARE(StoredByte(0), code);
        QCOMPARE(hide.count(), 1);
        QCOMPARE(hide.at(0).at(0).toInt(), kind);

        // The row already checked sends again.
        QTest::mouseClick(RateButton(panel, row), Qt::LeftButton);
        QCOMPARE(CheckedRow(panel), row);
        QCOMPARE(ImagesSent(), 2);
        QCOMPARE(hide.count(), 2);
    }

    void offlineClickRaisesNoticeAndNoSignal()
    {
        auto *panel = new SensorRate;
        Page page(panel);
        panel->SetCurrentIndex(3);
        UnplugMouse();
        QSignalSpy hide(PostMsg::GetInstance(), &PostMsg::SigHideModel);
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());

        QTest::mouseClick(RateButton(panel, 6), Qt::LeftButton);
        QCOMPARE(CheckedRow(panel), 6);  // stays as the user left it
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(notices->count(), 1);
        QCOMPARE(hide.count(), 0);
    }

    void clickWhileWritesNotAllowedSendsNothing()
    {
        auto *panel = new SensorRate;
        Page page(panel);
        g_WritesAllowed = 0;
        QSignalSpy hide(PostMsg::GetInstance(), &PostMsg::SigHideModel);
        QTest::mouseClick(RateButton(panel, 4), Qt::LeftButton);
        QCOMPARE(CheckedRow(panel), 4);
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(hide.count(), 0);
    }

    void setCurrentIndexChecksWithoutSending()
    {
        auto *panel = new SensorRate;
        Page page(panel);
        QSignalSpy hide(PostMsg::GetInstance(), &PostMsg::SigHideModel);
        QCOMPARE(CheckedRow(panel), -1);
        for (int row = 0; row < SensorRate::kRateCount; ++row) {
            panel->SetCurrentIndex(row);
            QCOMPARE(CheckedRow(panel), row);
        }
        panel->SetCurrentIndex(2);
        panel->SetCurrentIndex(7);
        QCOMPARE(CheckedRow(panel), 2);
        panel->SetCurrentIndex(-1);
        QCOMPARE(CheckedRow(panel), 2);
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
        auto *panel = new SensorRate;
        Page page(panel);
        QCOMPARE(Shown(panel), QString("111"));
        panel->SetRateClass(rateClass);
        QCOMPARE(Shown(panel), shown);
        for (int i = 0; i < 4; ++i)
            QVERIFY(RateButton(panel, i)->isVisibleTo(panel));
        // Unknown classes change nothing.
        panel->SetRateClass(4);
        panel->SetRateClass(-1);
        QCOMPARE(Shown(panel), shown);
    }

    void hidingTheCheckedRateKeepsItChecked()
    {
        auto *panel = new SensorRate;
        Page page(panel);
        panel->SetCurrentIndex(6);
        panel->SetRateClass(0);
        QVERIFY(!RateButton(panel, 6)->isVisibleTo(panel));
        QCOMPARE(CheckedRow(panel), 6);
    }

    void formTextsAndPictures()
    {
        auto *panel = new SensorRate;
        Page page(panel);
        QCOMPARE(panel->size(), QSize(725, 82));
        const QStringList texts{"125Hz", "250Hz", "500Hz", "1000Hz", "2000Hz", "4000Hz", "8000Hz"};
        for (int i = 0; i < SensorRate::kRateCount; ++i) {
            QToolButton *button = RateButton(panel, i);
            QCOMPARE(button->text(), texts.at(i));
            QCOMPARE(button->geometry(), QRect(100 * i, 51, 74, 26));
        }
        auto *label = panel->findChild<QLabel *>("label");
        QCOMPARE(label->text(), QString("回报率"));
        panel->SetLabelText("Polling rate");
        QCOMPARE(label->text(), QString("Polling rate"));
        QCOMPARE(MissingPictures(panel), QStringList());
        panel->SetRateClass(1);
        panel->SetCurrentIndex(3);
        QVERIFY(page.Shoot("sensorrate"));
    }
};

VOGM_TEST_MAIN(TestSensorRate)
#include "tst_sensorrate.moc"
