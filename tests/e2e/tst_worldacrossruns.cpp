// A mouse keeps its settings across program runs, as a real one does: a rate
// chosen on the device page in one run is shown by "vogm-world show" and read
// back from the mouse by the next run of the program (a second process with
// the same world folder and fresh per-user files, so nothing comes from the
// program's own cache).

#include "connection.h"
#include "dialog.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb_control.h"
#include "mytoolbuttonenter.h"
#include "testsupport.h"
#include "worker.h"

#include <QAbstractButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char kSecondRun[] = "VOGM_TEST_SECOND_RUN";
constexpr int k125HzCode = 8;

bool Settled()
{
    return QApplication::activeModalWidget() == nullptr && !(g_Worker && g_Worker->isRunning());
}

QAbstractButton *PageButton(DialogMain *window, const char *name)
{
    return window->DevicePage()->findChild<QAbstractButton *>(QLatin1String(name));
}

// Opens the device page of the receiver mouse m2 and waits for its image.
bool OpenReceiverMouse(DialogMain *window)
{
    if (!QTest::qWaitFor([] { return g_PageDevices.size() == 3; }, TestSupport::kHangGuardMs))
        return false;
    int index = -1;
    for (int i = 0; i < g_PageDevices.size(); ++i)
        index = g_PageDevices[i].Pid == "0xFF14" ? i : index;
    auto *tile = window->SelectionPage()->findChild<mytoolButtonEnter *>(QString("btn%1").arg(index));
    if (!tile)
        return false;
    QTest::mouseClick(tile, Qt::LeftButton);
    QTest::mouseClick(PageButton(window, "SensorButton"), Qt::LeftButton);
    return QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, TestSupport::kHangGuardMs);
}

void CloseProgram(DialogMain *window)
{
    QTimer::singleShot(0, [window] { QTest::mouseClick(PageButton(window, "CloseButton"), Qt::LeftButton); });
    QApplication::exec();
}

}  // namespace

class TestWorldAcrossRuns : public QObject
{
    Q_OBJECT
private slots:
    void aChosenRateIsKeptForTheNextRun();
};

void TestWorldAcrossRuns::aChosenRateIsKeptForTheNextRun()
{
    auto *window = new DialogMain;
    window->show();
    QVERIFY(OpenReceiverMouse(window));
    QVERIFY(!PageButton(window, "Button125HZ")->isChecked());
    QTest::mouseClick(PageButton(window, "Button125HZ"), Qt::LeftButton);
    QCOMPARE(int(HidSim::StoredImage("m2")[0]), k125HzCode);
    CloseProgram(window);
    QVERIFY(HidSim::WaitUntilIdle());

    QProcess tool;
    tool.start(TestSupport::AppFolder() + "/vogm-world", {"show", "m2"});
    QVERIFY(tool.waitForFinished(TestSupport::kHangGuardMs));
    const QString shown = QString::fromUtf8(tool.readAllStandardOutput());
    QVERIFY2(shown.contains(QRegularExpression("ReportRate +8 \\(0x08\\)")), qPrintable(shown));

    QByteArray output;
    QVERIFY2(TestSupport::RunThisProgramAgain(kSecondRun, 4 * TestSupport::kHangGuardMs, &output), output.constData());
}

// The next run: a new process, the same world folder.
class NextRun : public QObject
{
    Q_OBJECT
private slots:
    void theMouseShowsTheRateOfTheLastRun()
    {
        QCOMPARE(int(HidSim::StoredImage("m2")[0]), k125HzCode);
        auto *window = new DialogMain;
        window->show();
        QVERIFY(OpenReceiverMouse(window));
        // The page shows the image once its fill has come through.
        QTRY_VERIFY_WITH_TIMEOUT(PageButton(window, "Button125HZ")->isChecked(), TestSupport::kHangGuardMs);
        CloseProgram(window);
    }
};

int main(int argc, char **argv)
{
    TestSupport::IsolateUserFolders();
    // Both runs keep the world in one folder, which this first run makes.
    static QTemporaryDir worldFolder;
    if (!qEnvironmentVariableIsSet(kSecondRun))
        qputenv("VOGM_WORLD_DIR", worldFolder.path().toLocal8Bit());
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (qEnvironmentVariableIsSet(kSecondRun)) {
        NextRun next;
        return QTest::qExec(&next, argc, argv);
    }
    TestWorldAcrossRuns first;
    return TestSupport::RunTest(&first, argc, argv);
}

#include "tst_worldacrossruns.moc"
