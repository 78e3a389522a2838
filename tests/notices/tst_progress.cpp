// The firmware progress notice: what each progress report shows, and where
// closing it leads (back to the device list after a failure, on with the
// update otherwise), also when the language changes in between or an update
// is busy.

#include "globals.h"
#include "noticetestkit.h"
#include "postmsg.h"
#include "testsupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace NoticeTestKit;

namespace {

QLabel *Label(Progress &notice)
{
    return notice.findChild<QLabel *>("label");
}

QProgressBar *Bar(Progress &notice)
{
    return notice.findChild<QProgressBar *>("progressBar_2");
}

QToolButton *Confirm(Progress &notice)
{
    return notice.findChild<QToolButton *>("NewHong");
}

// Puts the notice into a state by the reports an update would send.
void Drive(Progress &notice, const QString &state)
{
    if (state == "failed") {
        notice.SlotProgress(40, 0);
        notice.SlotProgress(40, 1);
    } else if (state == "succeeded") {
        notice.SlotProgress(90, 0);
        notice.SlotProgress(95, 2);
    } else if (state == "running") {
        notice.SlotProgress(40, 0);
    }
}

}  // namespace

class TestProgress : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir fixture;

private slots:
    void initTestCase()
    {
        QVERIFY(fixture.isValid());
        QVERIFY(MakeFixtureFolder(fixture.path()));
        QVERIFY(WriteTagFixture(fixture.path(), 0));
        QVERIFY(WriteTagFixture(fixture.path(), 3, "#3"));
        UseAppFolder(fixture.path());
    }

    void init()
    {
        g_UpdateBusy = false;
    }

    void cleanup()
    {
        g_UpdateBusy = false;
        emit PostMsg::GetInstance()->SigChangeLanguage(0);
    }

    void startsAtOnePercent()
    {
        Progress notice;
        QCOMPARE(notice.objectName(), QString("Progress"));
        QVERIFY(notice.findChild<QFrame *>("AddDelayTimeA"));
        QCOMPARE(Label(notice)->text(), QString("Progress.UpdateNotMove: 1%"));
        QCOMPARE(Bar(notice)->value(), 0);
        QVERIFY(Bar(notice)->format().isEmpty());
        QVERIFY(Confirm(notice)->isHidden());
        QCOMPARE(Confirm(notice)->text(), QString("Progress.Confirm"));
    }

    void reports_data()
    {
        QTest::addColumn<int>("schedue");
        QTest::addColumn<int>("discrib");
        QTest::addColumn<int>("bar");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("confirmShown");

        QTest::newRow("percentage") << 37 << 0 << 37 << "Progress.UpdateNotMove: 37%" << false;
        QTest::newRow("failure") << 55 << 1 << 55 << "Progress.UpDateFail" << true;
        QTest::newRow("success ends the bar at 100") << 10 << 2 << 100 << "Progress.UpDateSuccess" << true;
        QTest::newRow("hide the button") << 70 << 3 << 70 << "Progress.UpdateNotMove: 1%" << false;
        QTest::newRow("start over") << 60 << 4 << 0 << "Progress.UpdateNotMove: 0%" << false;
        QTest::newRow("unknown kind moves only the bar") << 42 << 5 << 42 << "Progress.UpdateNotMove: 1%" << false;
    }

    void reports()
    {
        QFETCH(int, schedue);
        QFETCH(int, discrib);
        QFETCH(int, bar);
        QFETCH(QString, label);
        QFETCH(bool, confirmShown);

        Progress notice;
        notice.show();
        notice.SlotProgress(schedue, discrib);
        QCOMPARE(Bar(notice)->value(), bar);
        QCOMPARE(Label(notice)->text(), label);
        QCOMPARE(Confirm(notice)->isVisible(), confirmShown);
    }

    void closing_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("languageChange");
        QTest::addColumn<QString>("answer");  // a button's name, or "" for Escape
        QTest::addColumn<bool>("backToDeviceList");

        QTest::newRow("failed, close button") << "failed" << false << "CloseButton" << true;
        QTest::newRow("failed, confirm") << "failed" << false << "NewHong" << true;
        QTest::newRow("failed, Escape") << "failed" << false << "" << true;
        QTest::newRow("failed, language change, close button") << "failed" << true << "CloseButton" << true;
        QTest::newRow("failed, language change, Escape") << "failed" << true << "" << true;
        QTest::newRow("succeeded, confirm") << "succeeded" << false << "NewHong" << false;
        QTest::newRow("succeeded, language change, confirm") << "succeeded" << true << "NewHong" << false;
        QTest::newRow("running, close button") << "running" << false << "CloseButton" << false;
        QTest::newRow("running, Escape") << "running" << false << "" << false;
    }

    // After a failure closing leads back to the device list and nothing else;
    // otherwise the notice starts over and the update sequence goes on.
    void closing()
    {
        QFETCH(QString, state);
        QFETCH(bool, languageChange);
        QFETCH(QString, answer);
        QFETCH(bool, backToDeviceList);

        Progress notice;
        Drive(notice, state);
        if (languageChange)
            emit PostMsg::GetInstance()->SigChangeLanguage(3);
        QSignalSpy mainDialog(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog);
        QSignalSpy goOn(PostMsg::GetInstance(), &PostMsg::SigContinue);

        TestSupport::AnswerNextModal(answer);
        QCOMPARE(notice.exec(), int(QDialog::Rejected));
        QVERIFY(!notice.isVisible());

        if (backToDeviceList) {
            QCOMPARE(mainDialog.count(), 1);
            QCOMPARE(mainDialog.first().first().toInt(), 0);
            QCOMPARE(goOn.count(), 0);
        } else {
            QCOMPARE(mainDialog.count(), 0);
            QCOMPARE(goOn.count(), 1);
            QCOMPARE(goOn.first().first().toInt(), 0);
            QCOMPARE(Bar(notice)->value(), 0);
            QVERIFY(Label(notice)->text().endsWith(": 0%"));
        }
    }

    void busyUpdate_data()
    {
        QTest::addColumn<QString>("how");  // a button's name, "Escape" or "signal"
        QTest::addColumn<bool>("closes");
        QTest::newRow("close button") << "CloseButton" << false;
        QTest::newRow("Escape") << "Escape" << false;
        QTest::newRow("close signal") << "signal" << false;
        QTest::newRow("confirm") << "NewHong" << true;
    }

    // While an update is busy only the confirm button closes the notice.
    void busyUpdate()
    {
        QFETCH(QString, how);
        QFETCH(bool, closes);

        Progress notice;
        Drive(notice, "succeeded");
        g_UpdateBusy = true;
        bool stayedOpen = false;
        QTimer::singleShot(0, [&] {
            TestSupport::WithModal([&](QWidget *modal) {
                if (how == "signal")
                    PostMsg::GetInstance()->EmitCloseProgress();
                else
                    TestSupport::AnswerModal(modal, how == "Escape" ? QString() : how);
                QCoreApplication::processEvents();
                stayedOpen = notice.isVisible();
                if (stayedOpen)
                    notice.done(QDialog::Rejected);
            });
        });
        notice.exec();
        QCOMPARE(stayedOpen, !closes);
    }

    // The hub's close signal closes and resets the notice without sending
    // anyone anywhere.
    void closeSignal()
    {
        Progress notice;
        Drive(notice, "running");
        QSignalSpy mainDialog(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog);
        QSignalSpy goOn(PostMsg::GetInstance(), &PostMsg::SigContinue);
        QTimer::singleShot(0, [] {
            TestSupport::WithModal([](QWidget *) { PostMsg::GetInstance()->EmitCloseProgress(); });
        });
        notice.exec();
        QVERIFY(!notice.isVisible());
        QCOMPARE(Label(notice)->text(), QString("Progress.UpdateNotMove: 0%"));
        QCOMPARE(Bar(notice)->value(), 0);
        QCOMPARE(mainDialog.count() + goOn.count(), 0);
    }

    // Return clicks the confirm button once an outcome is shown.
    void returnConfirmsTheOutcome()
    {
        Progress notice;
        Drive(notice, "failed");
        QSignalSpy mainDialog(PostMsg::GetInstance(), &PostMsg::SigChangeMainDialog);
        QTimer::singleShot(0, [&notice] {
            TestSupport::WithModal([&notice](QWidget *modal) {
                if (QTest::qWaitForWindowActive(modal))
                    QTest::keyClick(modal, Qt::Key_Return);
                if (!QTest::qWaitFor([&notice] { return !notice.isVisible(); }, TestSupport::kHangGuardMs))
                    notice.done(QDialog::Rejected);
            });
        });
        notice.exec();
        QCOMPARE(mainDialog.count(), 1);
    }
};

VOGM_TEST_MAIN(TestProgress)
#include "tst_progress.moc"
