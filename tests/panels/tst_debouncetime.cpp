// The debounce panel: the chosen millisecond value goes to image byte 6, and
// a written time of 0-3 ms is followed by the LessThree notice.

#include "debouncetime.h"
#include "panelfixture.h"
#include "testsupport.h"

#include "globals.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScreen>
#include <QSignalSpy>
#include <memory>

using namespace PanelFixture;

namespace {

constexpr int kDebounce = 6;

QComboBox *Box(DebounceTime *panel)
{
    return panel->findChild<QComboBox *>("Debunce");
}

// The panel as the button page leaves it after a fill: `index` shown, nothing sent.
DebounceTime *FilledPanel(int index)
{
    auto *panel = new DebounceTime;
    panel->SetCurrentIndex(index);
    return panel;
}

}  // namespace

class TestDebounceTime : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void choiceWritesAndShortTimesWarn_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<bool>("notice");
        QTest::newRow("0 ms") << 0 << true;
        QTest::newRow("3 ms") << 3 << true;
        QTest::newRow("4 ms") << 4 << false;
        QTest::newRow("20 ms") << 20 << false;
    }
    void choiceWritesAndShortTimesWarn()
    {
        QFETCH(int, ms);
        QFETCH(bool, notice);
        auto *panel = FilledPanel(8);
        Page page(panel);
        SeedByte(kDebounce, 8);
        const QByteArray before = StoredImage();

        WatchModals();
        ChooseItem(Box(panel), ms);
        const QList<SeenModal> seen = StopWatching();
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{kDebounce});
        QCOMPARE(StoredByte(kDebounce), ms);
        QCOMPARE(seen.size(), notice ? 1 : 0);
        if (notice) {
            QCOMPARE(seen.at(0).className, QString("LessThree"));
            // Its offset from the panel would put it far up and left; it opens
            // over the panel's window instead, wholly on the screen.
            const QRect notice(seen.at(0).pos, QSize(300, 140));
            const QWidget *window = panel->window();
            const QRect windowRect(window->mapToGlobal(QPoint(0, 0)), window->size());
            QVERIFY(window->screen()->availableGeometry().contains(notice));
            if (windowRect.width() >= notice.width() && windowRect.height() >= notice.height())
                QVERIFY(windowRect.intersects(notice));
        }
    }

    void choosingTheCurrentItemSendsNothing()
    {
        auto *panel = FilledPanel(2);
        Page page(panel);
        WatchModals();
        ChooseItem(Box(panel), 2);
        QCOMPARE(StopWatching().size(), 0);
        QCOMPARE(ImagesSent(), 0);
    }

    // A fill shows the value and never writes or warns, whatever the host did
    // with the box's signals; a value the box does not hold leaves it empty.
    void hostSelectionNeverWrites_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("blockedByHost");
        QTest::addColumn<int>("shown");
        QTest::newRow("short time") << 1 << false << 1;
        QTest::newRow("short time, host blocked") << 2 << true << 2;
        QTest::newRow("longest") << 20 << false << 20;
        QTest::newRow("-1") << -1 << false << -1;
        QTest::newRow("21") << 21 << false << -1;
        QTest::newRow("byte 0xFF from an import") << 255 << false << -1;
    }
    void hostSelectionNeverWrites()
    {
        QFETCH(int, index);
        QFETCH(bool, blockedByHost);
        QFETCH(int, shown);
        auto *panel = FilledPanel(8);
        Page page(panel);
        const QByteArray before = StoredImage();

        WatchModals();
        panel->BlockSignals(blockedByHost);
        panel->SetCurrentIndex(index);
        QCOMPARE(panel->BlockSignals(false), blockedByHost);
        QCOMPARE(StopWatching().size(), 0);
        QCOMPARE(Box(panel)->currentIndex(), shown);
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(StoredImage(), before);

        // The user's next choice is written as usual.
        ChooseItem(Box(panel), 5);
        QCOMPARE(StoredByte(kDebounce), 5);
    }

    void offlineChoiceShowsOnlyTheOfflineNotice()
    {
        auto *panel = FilledPanel(8);
        Page page(panel);
        UnplugMouse();
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());
        WatchModals();
        ChooseItem(Box(panel), 2);
        QCOMPARE(StopWatching().size(), 0);  // no "updating the setting" when nothing was updated
        QCOMPARE(notices->count(), 1);
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(Box(panel)->currentIndex(), 2);
    }

    void nothingSentWhileWritesNotAllowed()
    {
        auto *panel = FilledPanel(8);
        Page page(panel);
        g_WritesAllowed = 0;
        WatchModals();
        ChooseItem(Box(panel), 1);
        QCOMPARE(StopWatching().size(), 0);
        QCOMPARE(ImagesSent(), 0);
    }

    void itemsAndTheirUnits()
    {
        auto *panel = new DebounceTime;
        Page page(panel);
        QComboBox *box = Box(panel);
        QCOMPARE(panel->size(), QSize(164, 37));
        QCOMPARE(box->count(), 21);
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(box->itemText(0), QString("0"));
        QCOMPARE(box->itemText(1), QString("1ms"));
        QCOMPARE(box->itemText(2), QString("2ms"));
        QCOMPARE(box->itemText(20), QString("20"));
        QCOMPARE(box->maxVisibleItems(), 5);
        panel->SetItemUnit(5, "ms");
        QCOMPARE(box->itemText(5), QString("5ms"));
        panel->SetItemUnit(12, " 毫秒");
        QCOMPARE(box->itemText(12), QString("12 毫秒"));
        QCOMPARE(MissingPictures(panel), QStringList());
        QCOMPARE(MissingPictures(box->view()), QStringList());
        panel->SetCurrentIndex(8);
        panel->SetItemUnit(8, "ms");
        QVERIFY(page.Shoot("debouncetime"));
        QTest::mouseClick(box, Qt::LeftButton);
        QVERIFY(TestSupport::WaitFor([box] { return box->view()->isVisible(); }));
        QVERIFY(Shoot(box->view()->window(), "debouncetime-popup"));
        box->hidePopup();
    }
};

VOGM_TEST_MAIN(TestDebounceTime)
#include "tst_debouncetime.moc"
