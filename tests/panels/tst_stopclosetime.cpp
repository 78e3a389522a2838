// The sleep-time panel: every item's code in image byte 8, written only for a
// choice of the user and never while the button page fills itself.

#include "panelfixture.h"
#include "sleeptime.h"
#include "stopclosetime.h"
#include "testsupport.h"

#include "globals.h"

#include <QComboBox>
#include <QSignalSpy>
#include <memory>

using namespace PanelFixture;

namespace {

constexpr int kSleepTime = 8;

QComboBox *Box(StopCloseTime *panel)
{
    return panel->findChild<QComboBox *>("StopClose");
}

}  // namespace

class TestStopCloseTime : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void choiceWritesItsCode_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        const QStringList texts{"10秒",   "30秒",   "1分钟",  "5分钟",  "10分钟", "15分钟",
                                "20分钟", "25分钟", "30分钟", "35分钟", "40分钟"};
        const int codes[] = {1, 3, 6, 30, 60, 90, 120, 150, 180, 210, 240};
        for (int i = 0; i < texts.size(); ++i)
            QTest::newRow(qPrintable(texts.at(i))) << i << texts.at(i) << codes[i];
    }
    void choiceWritesItsCode()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(int, code);
        auto *panel = new StopCloseTime;
        Page page(panel);
        QCOMPARE(Box(panel)->itemText(index), text);
        panel->SetCurrentIndex(index == 0 ? 1 : 0);
        SeedByte(kSleepTime, 0);
        const QByteArray before = StoredImage();

        ChooseItem(Box(panel), index);
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{kSleepTime});
        QCOMPARE(StoredByte(kSleepTime), code);
    }

    void translatedItemWritesTheSameCode()
    {
        auto *panel = new StopCloseTime;
        Page page(panel);
        panel->SetItemText(3, "5 minutes");
        QCOMPARE(Box(panel)->itemText(3), QString("5 minutes"));
        ChooseItem(Box(panel), 3);
        QCOMPARE(StoredByte(kSleepTime), 30);
        // The current item chosen again is written again.
        ChooseItem(Box(panel), 3);
        QCOMPARE(ImagesSent(), 2);
    }

    void hostSelectionNeverWrites()
    {
        auto *panel = new StopCloseTime;
        Page page(panel);
        for (int i = 0; i < SleepTime::kItemCount; ++i) {
            panel->SetCurrentIndex(i);
            QCOMPARE(Box(panel)->currentIndex(), i);
        }
        QCOMPARE(ImagesSent(), 0);
    }

    void noWriteWhileButtonPageFillsOrNotAllowed()
    {
        auto *panel = new StopCloseTime;
        Page page(panel);
        g_ButtonRefreshing = 1;
        ChooseItem(Box(panel), 4);
        g_ButtonRefreshing = 0;
        g_WritesAllowed = 0;
        ChooseItem(Box(panel), 5);
        QCOMPARE(Box(panel)->currentIndex(), 5);
        QCOMPARE(ImagesSent(), 0);
    }

    void offlineChoiceRaisesOneNotice()
    {
        auto *panel = new StopCloseTime;
        Page page(panel);
        UnplugMouse();
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());
        ChooseItem(Box(panel), 6);
        QCOMPARE(notices->count(), 1);
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(Box(panel)->currentIndex(), 6);
    }

    void formAndPictures()
    {
        auto *panel = new StopCloseTime;
        Page page(panel);
        QCOMPARE(panel->size(), QSize(145, 34));
        QCOMPARE(Box(panel)->count(), 11);
        QCOMPARE(Box(panel)->currentIndex(), 0);
        QCOMPARE(Box(panel)->maxVisibleItems(), 15);
        QCOMPARE(MissingPictures(panel), QStringList());
        panel->SetCurrentIndex(3);
        QVERIFY(page.Shoot("stopclosetime"));
    }
};

VOGM_TEST_MAIN(TestStopCloseTime)
#include "tst_stopclosetime.moc"
