// The device page against faults of real mice, with the real main window and
// the simulated default world: a change made before a mouse's whole image has
// arrived, a read slower than the wait popup, a dump that fails the library's
// check, a refused write, an unplug with a quick replug, and a mouse plugged
// in by cable while the device thread is still opening it by radio.

#include "connection.h"
#include "devicecache.h"
#include "dialog.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb_control.h"
#include "mytoolbuttonenter.h"
#include "notices.h"
#include "postmsg.h"
#include "devicelist.h"
#include "testsupport.h"
#include "waits.h"
#include "worker.h"

#include <QAbstractButton>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int kRateOffset = 0x000;  // the report-rate code in the image
constexpr int k125HzCode = 8;

// Closes every modal dialog that opens (the offline notice with its button)
// and remembers which ones did. A dialog is remembered when it is shown, not
// when the poll finds it: the program may close it first (the online poll
// closes the offline notice once the mouse answers). Paused, it only
// remembers: its poll does not run, and the program's own closing is what
// ends the dialog.
class ModalCloser : public QObject
{
public:
    ModalCloser()
    {
        qApp->installEventFilter(this);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal == m_last || IsWaitPopup(modal))
                return;
            m_last = modal;
            TestSupport::AnswerModal(modal, QString());
        });
        m_timer.start(10);
    }
    QStringList seen;
    void SetPaused(bool paused) { paused ? m_timer.stop() : m_timer.start(10); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (event->type() == QEvent::Show && widget && widget->isWindow() && widget->isModal()
            && !IsWaitPopup(widget))
            seen << QString::fromLatin1(widget->metaObject()->className());
        return false;
    }

private:
    // The wait popup closes itself after its wait.
    static bool IsWaitPopup(const QWidget *widget)
    {
        return QLatin1String(widget->metaObject()->className()) == QLatin1String("UpDataParam");
    }

    QTimer m_timer;
    QPointer<QWidget> m_last;
};

QList<int> ChangedBytes(const QByteArray &before, const QByteArray &after)
{
    QList<int> changed;
    for (int i = 0; i < qMin(before.size(), after.size()); ++i) {
        if (before[i] != after[i])
            changed << i;
    }
    return changed;
}

int CallCount(const char *function)
{
    return int(HidSim::CallsOf(QLatin1String(function)).size());
}

int DumpsDelivered()
{
    int dumps = 0;
    for (const HidSim::CallRecord &r : HidSim::CallsOf("callback:data"))
        dumps += r.arguments.contains(QStringLiteral("length=%1").arg(HidSim::kDumpSize)) ? 1 : 0;
    return dumps;
}

// What a failed wait saw: the open modal, the worker, the connection's calls.
QByteArray State()
{
    QWidget *modal = QApplication::activeModalWidget();
    QStringList calls;
    for (const HidSim::CallRecord &r : HidSim::CallLog()) {
        if (r.function.startsWith("UsbServer") || r.function == "callback:data")
            calls << r.function + "(" + r.arguments + ")";
    }
    return QString("modal %1, worker %2, own image %3, calls: %4")
        .arg(modal ? modal->metaObject()->className() : "none")
        .arg(g_Worker && g_Worker->isRunning() ? "running" : "idle")
        .arg(ImageIsDevicesOwn())
        .arg(calls.mid(qMax(0, calls.size() - 12)).join(' '))
        .toLocal8Bit();
}

QByteArray CacheFileOf(uint8_t mid)
{
    QFile file(DeviceCacheFolder() + "/" + DeviceCacheName(18, mid));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestDeviceFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void aChangeBeforeTheDumpWaitsForIt_data();
    void aChangeBeforeTheDumpWaitsForIt();
    void aReadSlowerThanThePopupCompletesOnce();
    void aGarbageDumpIsDropped();
    void aRefusedWriteIsTheOfflineCase_data();
    void aRefusedWriteIsTheOfflineCase();
    void aQuickReplugIsFollowedByAReopen();
    void aMouseCabledWhileItsReceiverOpensIsReadOnItsCable();

private:
    void Choose(const QString &pid);
    void BackToList();
    QAbstractButton *PageButton(const char *name) const;

    DialogMain *m_window = nullptr;
    ModalCloser *m_closer = nullptr;
};

// One main window for the whole run, as in the program; each case starts on
// the device list with a fresh default world and fresh per-user files.
void TestDeviceFaults::initTestCase()
{
    m_closer = new ModalCloser;
    m_window = new DialogMain;
    m_window->show();
}

void TestDeviceFaults::init()
{
    TestSupport::IsolateUserFolders();
    HidSim::SetWorld(HidSim::DefaultWorld());
    QVERIFY(QTest::qWaitFor([] { return g_PageDevices.size() == 3 && PageIndexOfPid("0xFF18") >= 0 && Settled(); },
                            TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    HidSim::ClearCallLog();
    m_closer->seen.clear();
}

void TestDeviceFaults::cleanup()
{
    HidSim::HoldOpens("m2", false);
    if (m_window->CurrentPage() == 1)
        BackToList();
}

void TestDeviceFaults::Choose(const QString &pid)
{
    const int index = PageIndexOfPid(pid);
    QVERIFY(index >= 0);
    auto *tile = m_window->SelectionPage()->findChild<mytoolButtonEnter *>(QString("btn%1").arg(index));
    QVERIFY(tile);
    QTest::mouseClick(tile, Qt::LeftButton);
    QCOMPARE(m_window->CurrentPage(), 1);
    QTest::mouseClick(PageButton("SensorButton"), Qt::LeftButton);
}

void TestDeviceFaults::BackToList()
{
    QVERIFY(QTest::qWaitFor([] { return Settled(); }, TestSupport::kHangGuardMs));
    QTest::mouseClick(PageButton("UpArrow"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([this] { return m_window->CurrentPage() == 0 && Settled(); }, TestSupport::kHangGuardMs));
}

QAbstractButton *TestDeviceFaults::PageButton(const char *name) const
{
    return m_window->DevicePage()->findChild<QAbstractButton *>(QLatin1String(name));
}

void TestDeviceFaults::aChangeBeforeTheDumpWaitsForIt_data()
{
    QTest::addColumn<bool>("m2First");
    QTest::addColumn<int>("clickAfterMs");
    QTest::newRow("fresh start, 100 ms") << false << 100;
    QTest::newRow("fresh start, 250 ms") << false << 250;
    QTest::newRow("after m2, 100 ms") << true << 100;
    QTest::newRow("after m2, 250 ms") << true << 250;
}

// m3 is chosen while it is off and switched on; its whole dump takes the
// world's usual 300 ms. A rate clicked before it arrived must not send the
// program's image (zeros, or m2's) into m3: nothing reaches m3 until its dump
// is in, and then the click changes exactly the rate.
void TestDeviceFaults::aChangeBeforeTheDumpWaitsForIt()
{
    QFETCH(bool, m2First);
    QFETCH(int, clickAfterMs);
    if (m2First) {
        Choose("0xFF14");
        QVERIFY(QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, TestSupport::kHangGuardMs));
        BackToList();
    }
    const QByteArray before = HidSim::StoredImage("m3");
    Choose("0xFF18");
    QVERIFY(QTest::qWaitFor([] { return Settled(); }, TestSupport::kHangGuardMs));
    QVERIFY(!ImageIsDevicesOwn());

    QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
    // The dump is held back long enough that the click lands well before it,
    // however loaded the machine.
    QVERIFY(HidSim::ApplyCommand("slowread m3 5000"));
    QVERIFY(HidSim::SetPower("m3", true));
    QTest::qWait(clickAfterMs);
    QVERIFY2(!ImageIsDevicesOwn(), "the dump came before the click; the case shows nothing");
    // The held click waits for the dump on the program's own, unscaled
    // patience, which outlasts the held dump.
    Waits::SetDivisor(1);
    QTest::mouseClick(PageButton("Button125HZ"), Qt::LeftButton);
    Waits::SetDivisor(0);
    QCOMPARE(HidSim::StoredImage("m3"), before);
    QCOMPARE(notices.count(), 0);  // the mouse is there: the write waits for the read

    QVERIFY2(QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, TestSupport::kHangGuardMs),
             State().constData());
    QVERIFY(HidSim::WaitUntilIdle());
    const QByteArray after = HidSim::StoredImage("m3");
    QCOMPARE(ChangedBytes(before, after), QList<int>{kRateOffset});
    QCOMPARE(int(after[kRateOffset]), k125HzCode);
    QVERIFY2(PageButton("Button125HZ")->isChecked(), "the page shows the rate the mouse now has");
    QCOMPARE(notices.count(), 0);
}

// Every read of the mouse takes 12 s (scaled like the program's waits): longer
// than the wait popup with its page wait. The offline notice that follows
// reopens the device; the reopen keeps the read, which completes once.
void TestDeviceFaults::aReadSlowerThanThePopupCompletesOnce()
{
    HidSim::Timing slow = HidSim::CurrentTiming();
    slow.fullReadMs = Waits::Scaled(12000);
    HidSim::SetTiming(slow);
    Choose("0xFF14");
    QVERIFY(QTest::qWaitFor([] { return DumpsDelivered() == 1 && Settled(); }, TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    QCOMPARE(CallCount("UsbServer_ReadAllFlashData"), 1);
    QCOMPARE(DumpsDelivered(), 1);
    QVERIFY(ImageIsDevicesOwn());
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&g_FlashDataMap), HidSim::kImageSize),
             HidSim::StoredImage("m2"));
}

// A dump that fails the library's check (the world's "garbage" fault, and the
// same bytes injected as a report) is not stored, written back, shown or
// cached; the whole read is asked once more and its good dump is taken.
void TestDeviceFaults::aGarbageDumpIsDropped()
{
    Choose("0xFF14");
    QVERIFY(QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    const QByteArray stored = HidSim::StoredImage("m2");
    const QByteArray cache = CacheFileOf(2);
    QVERIFY(!cache.isEmpty());
    QSignalSpy fills(PostMsg::GetInstance(), &PostMsg::SigUpDataLightSensor);
    HidSim::ClearCallLog();

    QVERIFY(HidSim::InjectReport(8, 0, QByteArray(HidSim::kDumpSize, char(0xEE))));
    QVERIFY(HidSim::ApplyCommand("garbage m2"));  // and the re-read's dump too
    QVERIFY(QTest::qWaitFor([] { return CallCount("UsbServer_ReadAllFlashData") == 1; }, TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    QCOMPARE(DumpsDelivered(), 2);
    QCOMPARE(CallCount("UsbServer_ReadAllFlashData"), 1);  // once more, not over and over
    QCOMPARE(CallCount("ProtocolDataUpdate"), 0);
    QCOMPARE(fills.count(), 0);
    QCOMPARE(HidSim::StoredImage("m2"), stored);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&g_FlashDataMap), HidSim::kImageSize), stored);

    // Leaving the page saves the image the program holds: still the good one.
    BackToList();
    QCOMPARE(CacheFileOf(2), cache);
}

void TestDeviceFaults::aRefusedWriteIsTheOfflineCase_data()
{
    QTest::addColumn<bool>("userCloses");
    QTest::newRow("closed by the user") << true;
    // Nobody answers the notice: the online poll closes it, the mouse being there.
    QTest::newRow("closed by the online poll") << false;
}

// A write the mouse refuses is the offline case: the notice, the image taken
// back, and once the device is found again the next change reaches it.
void TestDeviceFaults::aRefusedWriteIsTheOfflineCase()
{
    QFETCH(bool, userCloses);
    Choose("0xFF14");
    QVERIFY(QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, TestSupport::kHangGuardMs));
    const QByteArray before = HidSim::StoredImage("m2");
    QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
    QVERIFY(HidSim::ApplyCommand("failwrite m2"));
    m_closer->SetPaused(!userCloses);
    QTest::mouseClick(PageButton("Button125HZ"), Qt::LeftButton);
    m_closer->SetPaused(false);
    QCOMPARE(notices.count(), 1);
    QCOMPARE(m_closer->seen, QStringList{"MouseOffLine"});
    QCOMPARE(HidSim::StoredImage("m2"), before);
    QCOMPARE(int(ReadImage().ReportRate), int(before[kRateOffset]));
    QVERIFY2(QTest::qWaitFor([] { return Settled() && ImageIsDevicesOwn(); }, TestSupport::kHangGuardMs),
             State().constData());

    QTest::mouseClick(PageButton("Button125HZ"), Qt::LeftButton);
    QCOMPARE(ChangedBytes(before, HidSim::StoredImage("m2")), QList<int>{kRateOffset});
}

// The receiver is pulled and put back within the library's change interval:
// the program's handle is dead, although the device looks unchanged. The
// refused change brings the notice and a reopen; the next change arrives.
void TestDeviceFaults::aQuickReplugIsFollowedByAReopen()
{
    Choose("0xFF14");
    QVERIFY(QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, TestSupport::kHangGuardMs));
    const QByteArray before = HidSim::StoredImage("m2");
    const int opens = CallCount("UsbServerC_Start");
    QVERIFY(HidSim::ApplyCommand("unplug r4k"));
    QVERIFY(HidSim::ApplyCommand("plug r4k"));

    QTest::mouseClick(PageButton("Button125HZ"), Qt::LeftButton);
    QCOMPARE(HidSim::StoredImage("m2"), before);
    QVERIFY(QTest::qWaitFor([&] { return CallCount("UsbServerC_Start") > opens && ImageIsDevicesOwn() && Settled(); },
                            TestSupport::kHangGuardMs));
    QCOMPARE(m_window->CurrentPage(), 1);

    QTest::mouseClick(PageButton("Button125HZ"), Qt::LeftButton);
    QCOMPARE(ChangedBytes(before, HidSim::StoredImage("m2")), QList<int>{kRateOffset});
}

// The page follows the mouse to its cable while the pass that opens it
// through its receiver still runs (held in its open): the pass for the cable
// follows that one, and the mouse is read there with no offline notice. The
// wait popup keeps its real length: the follow waits for the library's
// change interval.
void TestDeviceFaults::aMouseCabledWhileItsReceiverOpensIsReadOnItsCable()
{
    const TestSupport::ShorterWaits realWaits(1);
    const QByteArray cable = HidSim::PathOf("m2");
    QVERIFY(HidSim::HoldOpens("m2", true));
    // The popup's event loop runs while the pass waits in its open, so the
    // steps run from the event loop: the cable once the open is held, the
    // open let go once the page has followed the mouse to its cable.
    bool cabled = false;
    bool followedWhileThePassRan = false;
    QTimer step;
    connect(&step, &QTimer::timeout, this, [&] {
        if (!cabled && CallCount("UsbServerC_Start") == 1) {
            cabled = HidSim::ApplyCommand("cable m2 on");
        } else if (cabled && g_CurrentDevice.Get().Path.toLatin1() == cable) {
            followedWhileThePassRan = g_Worker->isRunning();
            HidSim::HoldOpens("m2", false);
            step.stop();
        }
    });
    step.start(10);
    Choose("0xFF14");

    QVERIFY2(QTest::qWaitFor(
                 [&] { return !step.isActive() && OpenedConnection().path == cable && ImageIsDevicesOwn() && Settled(); },
                 TestSupport::kHangGuardMs),
             State());
    QVERIFY(followedWhileThePassRan);
    QCOMPARE(m_closer->seen, QStringList());
    const FlashDataMap image = ReadImage();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&image), HidSim::kImageSize), HidSim::StoredImage("m2"));
}

VOGM_TEST_MAIN(TestDeviceFaults)
#include "tst_devicefaults.moc"
