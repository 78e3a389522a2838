// The pairing dialog against the simulated device world: which device it
// pairs, what the start button asks of the library, how results, a vanished
// receiver and the close rules play out, what the openers do afterwards, and
// how the dialog looks (pairing-sheet.png in the folder VOGM_TEST_SHOTS names).

#include "configini.h"
#include "discovery.h"
#include "globals.h"
#include "hidusb.h"
#include "match.h"
#include "postmsg.h"
#include "testsupport.h"
#include "translucentwindows.h"
#include "waits.h"
#include "worldfixtures.h"

#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace Fixtures;

namespace {

const QString kVid = QStringLiteral("0xFF5C");
const QString kStartText = QStringLiteral("Start pairing");
const QString kPairingText = QStringLiteral("Pairing");
const QString kFailText = QStringLiteral("Pairing failed");
const QString kSuccessText = QStringLiteral("Pairing succeeded");
const QString kWiredHint = QStringLiteral("Pairing is only available in wireless mode");

// The default world, fast, with a pairing that gives up after `pairTimeoutMs`.
HidSim::World TestWorld(int pairTimeoutMs = 100)
{
    HidSim::World world = Fixtures::FastDefaultWorld();
    world.timing.pairTimeoutMs = pairTimeoutMs;
    return world;
}

// The selection page's record of a device, as its scan makes it.
DeviceAllInfo Listed(const QString &device)
{
    const QString path = QString::fromLatin1(HidSim::PathOf(device));
    g_PageDevices.clear();
    EnumeratePageDevices(kVid, ConfiguredProductIds());
    for (const DeviceAllInfo &info : g_PageDevices) {
        if (info.Path == path)
            return info;
    }
    qFatal("device %s is not listed", qPrintable(device));
    return {};
}

// An open connection with `device`, as the device page has it.
void OpenSession(const QString &device)
{
    g_CurrentDevice.Set(Listed(device));
    SetCurrentPath(g_CurrentDevice.Get().Path.toLatin1());
    g_SessionActive = 1;
}

QStringList Calls(const QString &function)
{
    QStringList out;
    for (const HidSim::CallRecord &record : HidSim::CallsOf(function))
        out << record.arguments;
    return out;
}

// The call log as "Name(args)", for the functions named, oldest first.
QStringList CallTrail(const QStringList &functions)
{
    QStringList out;
    for (const HidSim::CallRecord &record : HidSim::CallLog()) {
        if (functions.contains(record.function))
            out << record.function + "(" + record.arguments + ")";
    }
    return out;
}

struct MatchWidgets {
    explicit MatchWidgets(Match &match)
        : button(match.findChild<QPushButton *>("MatchButton")),
          close(match.findChild<QToolButton *>("CloseButton")),
          hint(match.findChild<QLabel *>("label")),
          instructions(match.findChild<QTextEdit *>("textEdit")),
          dialog(&match)
    {
    }
    QPushButton *button;
    QToolButton *close;
    QLabel *hint;
    QTextEdit *instructions;
    Match *dialog;
};

// Lets the 100 ms target check run a few times.
void LetTargetCheckRun(int ticks = 3)
{
    QVERIFY(g_PairUsbTimer && g_PairUsbTimer->isActive());
    QSignalSpy spy(g_PairUsbTimer, &QTimer::timeout);
    QVERIFY(TestSupport::WaitFor([&] { return spy.count() >= ticks; }));
}

bool ResultArrived()
{
    return TestSupport::WaitFor([] { return g_PairState != kPairRunning; }, TestSupport::kHangGuardMs);
}

}  // namespace

class TestPairing : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void choosesTheTarget_data();
    void choosesTheTarget();
    void startButtonSendsThePairingCommand_data();
    void startButtonSendsThePairingCommand();
    void pairingResultReachesTheButton_data();
    void pairingResultReachesTheButton();
    void vanishedReceiverFailsAtTheNextPoll();
    void pairingTextAnimates();
    void pairingCallbackReadsOnlyWhatItGets_data();
    void pairingCallbackReadsOnlyWhatItGets();
    void closeIsRefusedWhilePairing_data();
    void closeIsRefusedWhilePairing();
    void closingWithoutResultHandsTheSessionBack();
    void openersFinishTheirWay_data();
    void openersFinishTheirWay();
    void cornersWithoutCompositor_data();
    void cornersWithoutCompositor();
    void contactSheet();

private:
    // The cases look at the order of the dialog's timed steps, not their length.
    TestSupport::ShorterWaits m_shorterWaits;
};

void TestPairing::init()
{
    g_SessionActive = 0;
    g_SessionParked = false;
    g_PairStarted = false;
    g_PairState = kPairIdle;
    g_PairFromDevicePage = false;
    g_PairDevice = DeviceAllInfo();
    g_CurrentDevice.Set(DeviceAllInfo());
    g_PageDevices.clear();
    HidSim::SetWorld(TestWorld());
    QVERIFY(HidSim::WaitUntilIdle());
    HidSim::ClearCallLog();
}

void TestPairing::cleanup()
{
    StopUsbChanged();
    UsbServer_Exit();
    QVERIFY(HidSim::WaitUntilIdle());
    g_PairStarted = false;
}

// ---- the target ---------------------------------------------------------------

void TestPairing::choosesTheTarget_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("target");  // device name; empty: none
    QTest::addColumn<bool>("wired");

    QTest::newRow("connection active: the open device") << "session" << "r4k" << false;
    QTest::newRow("tile pairing: the tile's device") << "tile" << "r8k" << false;
    QTest::newRow("neither: the first listed device") << "list" << "r8k" << false;
    QTest::newRow("first listed device on cable") << "cable-first" << "m1" << true;
    QTest::newRow("nothing listed, nothing open") << "empty" << "" << false;
}

void TestPairing::choosesTheTarget()
{
    QFETCH(QString, setup);
    QFETCH(QString, target);
    QFETCH(bool, wired);

    // Each case also holds what the cases before it would take.
    if (setup == "session")
        OpenSession("r4k");
    if (setup == "session" || setup == "tile") {
        g_PairFromDevicePage = true;
        g_PairDevice = Listed("r8k");
    }
    if (setup == "list")
        g_PageDevices = {Listed("r8k"), Listed("m1")};
    else if (setup == "cable-first")
        g_PageDevices = {Listed("m1"), Listed("r8k")};
    else if (setup != "session" && setup != "tile")
        g_PageDevices.clear();

    Match match;
    match.PrepareShow();
    match.show();
    LetTargetCheckRun();
    const MatchWidgets widgets(match);

    QCOMPARE(match.HasTarget(), !target.isEmpty());
    QCOMPARE(match.TargetPath(), QString::fromLatin1(HidSim::PathOf(target)));
    QCOMPARE(match.TargetCid(), uint8_t(18));
    if (!target.isEmpty())
        QCOMPARE(match.TargetVid(), kVid);
    QCOMPARE(match.TargetWired(), wired);

    const bool pairable = !target.isEmpty() && !wired;
    QCOMPARE(match.CanPair(), pairable);
    QCOMPARE(widgets.button->isEnabled(), pairable);
    QCOMPARE(widgets.hint->isVisible(), wired);
    QCOMPARE(widgets.instructions->isVisible(), !wired);
    QCOMPARE(widgets.hint->text(), kWiredHint);
    QCOMPARE(widgets.button->text(), kStartText);
    // A button that cannot start a pairing has black text.
    QCOMPARE(widgets.button->styleSheet().contains("color: rgb(0,0,0)"), !pairable);

    // Neither a click nor Space starts anything without a wireless target.
    if (!pairable) {
        match.on_MatchButton_clicked();
        match.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&match));
        QTest::keyClick(&match, Qt::Key_Space);
        // A click Space had started would have come as the button went up.
        QVERIFY(TestSupport::WaitFor([&] { return !widgets.button->isDown(); }));
        QCOMPARE(Calls("UsbServerC_Start"), QStringList());
        QCOMPARE(Calls("UsbServer_EnterDonglePairOnlyCid"), QStringList());
        QCOMPARE(int(g_PairState), int(kPairIdle));
    }
}

// ---- the start button -----------------------------------------------------------

void TestPairing::startButtonSendsThePairingCommand_data()
{
    QTest::addColumn<QString>("cidText");
    QTest::addColumn<QString>("cidSent");
    QTest::addColumn<bool>("bySpace");
    QTest::newRow("CID 18") << "18" << "18" << false;
    QTest::newRow("CID 18, Space") << "18" << "18" << true;
    QTest::newRow("CID 274 is cut to its low byte") << "274" << "18" << false;
    QTest::newRow("CID 300") << "300" << "44" << false;
}

void TestPairing::startButtonSendsThePairingCommand()
{
    QFETCH(QString, cidText);
    QFETCH(QString, cidSent);
    QFETCH(bool, bySpace);
    const ConfigVariant config({{"Option/CID", QString::fromLatin1(cidText.toLatin1().toBase64())}});

    OpenSession("r4k");
    Match match;
    match.PrepareShow();
    match.show();
    LetTargetCheckRun();
    if (bySpace) {
        match.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&match));
        QTest::keyClick(&match, Qt::Key_Space);
        QVERIFY(TestSupport::WaitFor([] { return g_PairState == kPairRunning; }));
    } else {
        QTest::mouseClick(MatchWidgets(match).button, Qt::LeftButton);
    }

    const QString path = QString::fromLatin1(HidSim::PathOf("r4k"));
    QCOMPARE(CallTrail({"UsbServerC_Start", "UsbServer_EnterDonglePairOnlyCid"}),
             QStringList({"UsbServerC_Start(" + path + "," + path + ")",
                          "UsbServer_EnterDonglePairOnlyCid(" + cidSent + ")"}));
    QCOMPARE(int(g_PairState), int(kPairRunning));
    QVERIFY(g_PairStarted);
    QVERIFY(g_SessionParked);
    QCOMPARE(int(g_SessionActive), 0);
    QCOMPARE(MatchWidgets(match).button->text(), kPairingText);

    // The receiver's answer reaches the pairing callback, not the device page's.
    QVERIFY(ResultArrived());
    QCOMPARE(int(g_PairState), int(kPairFailed));  // no mouse waits in pairing mode
    QCOMPARE(int(g_SessionActive), 1);
}

// ---- results ----------------------------------------------------------------------

void TestPairing::pairingResultReachesTheButton_data()
{
    QTest::addColumn<bool>("mouseInPairingMode");
    QTest::newRow("a mouse in pairing mode pairs") << true;
    QTest::newRow("no mouse in pairing mode") << false;
}

void TestPairing::pairingResultReachesTheButton()
{
    QFETCH(bool, mouseInPairingMode);
    QVERIFY(HidSim::SetPairingMode("m2", mouseInPairingMode));
    OpenSession("r8k");  // the receiver whose mouse is switched off

    Match match;
    match.PrepareShow();
    match.show();
    LetTargetCheckRun();
    const MatchWidgets widgets(match);
    QTest::mouseClick(widgets.button, Qt::LeftButton);
    QVERIFY(ResultArrived());
    QVERIFY(TestSupport::WaitFor([&] {
        return widgets.button->text() == kSuccessText || widgets.button->text() == kFailText;
    }));

    QVERIFY(!g_PairStarted);
    QCOMPARE(int(g_SessionActive), 1);
    QVERIFY(!g_SessionParked);
    QVERIFY(!g_PairStatusTimer->isActive());
    QVERIFY(!g_PairTextTimer->isActive());
    LetTargetCheckRun();  // the button's state holds against the 100 ms check

    if (mouseInPairingMode) {
        QCOMPARE(int(g_PairState), int(kPairSucceeded));
        QCOMPARE(HidSim::PairStatus("r8k"), 3);
        QCOMPARE(widgets.button->text(), kSuccessText);
        QVERIFY(widgets.button->styleSheet().contains("PairSuccess.png"));
        QVERIFY(!widgets.button->isEnabled());
        // Nothing more to do after a success.
        match.on_MatchButton_clicked();
        QCOMPARE(Calls("UsbServerC_Start").size(), 1);
    } else {
        QCOMPARE(int(g_PairState), int(kPairFailed));
        QCOMPARE(widgets.button->text(), kFailText);
        QVERIFY(widgets.button->styleSheet().contains("PairFail.png"));
        QVERIFY(widgets.button->isEnabled());
        // Another click is a new pairing on a freshly opened connection.
        QTest::mouseClick(widgets.button, Qt::LeftButton);
        QCOMPARE(int(g_PairState), int(kPairRunning));
        QCOMPARE(Calls("UsbServerC_Start").size(), 2);
        QCOMPARE(Calls("UsbServer_EnterDonglePairOnlyCid").size(), 2);
        QVERIFY(g_SessionParked);
        QVERIFY(ResultArrived());
    }
}

void TestPairing::vanishedReceiverFailsAtTheNextPoll()
{
    HidSim::SetWorld(TestWorld(60000));  // the receiver itself would wait a minute
    OpenSession("r4k");
    Match match;
    match.PrepareShow();
    match.show();
    LetTargetCheckRun();
    const MatchWidgets widgets(match);
    QTest::mouseClick(widgets.button, Qt::LeftButton);

    // Polls while the receiver is there change nothing.
    QVERIFY(TestSupport::WaitFor([] { return HidSim::CallsOf("UsbServer_ReadDonglePairStatus").size() >= 2; }));
    QCOMPARE(int(g_PairState), int(kPairRunning));

    QVERIFY(HidSim::PlugReceiver("r4k", false));
    const size_t pollsBefore = HidSim::CallsOf("UsbServer_ReadDonglePairStatus").size();
    QVERIFY(TestSupport::WaitFor([] { return g_PairState == kPairFailed; }));

    // The very next 1 s poll found it gone.
    QCOMPARE(HidSim::CallsOf("UsbServer_ReadDonglePairStatus").size(), pollsBefore + 1);
    QCOMPARE(widgets.button->text(), kFailText);
    QVERIFY(widgets.button->styleSheet().contains("PairFail.png"));
    QVERIFY(!g_PairStarted);
    QCOMPARE(int(g_SessionActive), 1);
    QVERIFY(!g_SessionParked);
    QVERIFY(!g_PairStatusTimer->isActive());
    QVERIFY(!g_PairTextTimer->isActive());
}

void TestPairing::pairingTextAnimates()
{
    HidSim::SetWorld(TestWorld(60000));
    OpenSession("r4k");
    Match match;
    match.PrepareShow();
    match.show();
    LetTargetCheckRun();
    const MatchWidgets widgets(match);
    QStringList texts;
    // Connected after the dialog's own slot, so it sees each new text.
    connect(g_PairTextTimer, &QTimer::timeout, &match, [&] { texts << widgets.button->text(); });
    QTest::mouseClick(widgets.button, Qt::LeftButton);
    QVERIFY(TestSupport::WaitFor([&] { return texts.size() >= 7; }));
    QCOMPARE(texts.mid(0, 7), QStringList({"Pairing", "Pairing.", "Pairing..", "Pairing...", "Pairing",
                                           "Pairing.", "Pairing.."}));
}

// ---- the pairing callback ---------------------------------------------------------

void TestPairing::pairingCallbackReadsOnlyWhatItGets_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("dataLen");
    QTest::addColumn<int>("state");  // g_PairState afterwards

    const QByteArray pairing("\xA5\x06\x00\x00", 4);
    QTest::newRow("success") << pairing << QByteArray("\x03\x12", 2) << 2 << int(kPairSucceeded);
    QTest::newRow("failure") << pairing << QByteArray("\x02\x12", 2) << 2 << int(kPairFailed);
    QTest::newRow("still pairing") << pairing << QByteArray("\x01\x12", 2) << 2 << int(kPairRunning);
    QTest::newRow("no data at all") << pairing << QByteArray("\x03", 1) << 0 << int(kPairRunning);
    QTest::newRow("another command") << QByteArray("\xA5\x08\x00\x00", 4) << QByteArray("\x03", 1) << 1
                                     << int(kPairRunning);
    QTest::newRow("header without a command byte") << QByteArray("\x06", 1) << QByteArray("\x03", 1) << 1
                                                   << int(kPairRunning);
}

void TestPairing::pairingCallbackReadsOnlyWhatItGets()
{
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, data);
    QFETCH(int, dataLen);
    QFETCH(int, state);

    g_PairState = kPairRunning;
    g_PairStarted = true;
    g_SessionParked = true;
    QSignalSpy stops(PostMsg::GetInstance(), &PostMsg::SigTimerStop);
    QSignalSpy buttons(PostMsg::GetInstance(), &PostMsg::SigButtonEnable);

    PairCallBack(reinterpret_cast<const unsigned char *>(header.constData()), header.size(),
                 reinterpret_cast<const unsigned char *>(data.constData()), dataLen);

    QCOMPARE(int(g_PairState), state);
    const bool result = state != kPairRunning;
    QCOMPARE(bool(g_PairStarted), !result);
    QCOMPARE(int(g_SessionActive), result ? 1 : 0);
    QCOMPARE(bool(g_SessionParked), !result);
    QCOMPARE(stops.count(), result ? 1 : 0);
    QCOMPARE(buttons.count(), result ? 1 : 0);
    if (result)
        QCOMPARE(buttons.first().first().toInt(), state == kPairSucceeded ? 1 : 0);
}

// ---- closing -------------------------------------------------------------------------

void TestPairing::closeIsRefusedWhilePairing_data()
{
    QTest::addColumn<bool>("withEscape");
    QTest::newRow("close button") << false;
    QTest::newRow("Escape") << true;
}

void TestPairing::closeIsRefusedWhilePairing()
{
    QFETCH(bool, withEscape);
    OpenSession("r4k");  // opened from the device page
    Match match;
    match.PrepareShow();
    const MatchWidgets widgets(match);
    const auto closeOnce = [&] {
        if (withEscape)
            QTest::keyClick(&match, Qt::Key_Escape);
        else
            QTest::mouseClick(widgets.close, Qt::LeftButton);
    };
    const DeviceAllInfo sentinel = [] {
        DeviceAllInfo info;
        info.Path = QStringLiteral("left over from before the dialog");
        return info;
    }();

    bool refused = false;
    size_t registrationsBeforeResult = 0;
    QTimer::singleShot(0, &match, [&] {
        LetTargetCheckRun();
        QTest::mouseClick(widgets.button, Qt::LeftButton);
        closeOnce();
        refused = match.isVisible() && g_PairStarted;
        QVERIFY(ResultArrived());
        QVERIFY(TestSupport::WaitFor([&] { return widgets.button->text() == kFailText; }));
        registrationsBeforeResult = HidSim::CallsOf("StartUsbChanged").size();
        g_PageDevices = {sentinel};
        closeOnce();
    });
    QCOMPARE(match.exec(), int(QDialog::Rejected));

    QVERIFY(refused);
    QCOMPARE(registrationsBeforeResult, size_t(0));
    QCOMPARE(Calls("StartUsbChanged"), QStringList({"600"}));
    QVERIFY(!g_PairUsbTimer->isActive());
    QCOMPARE(int(g_SessionActive), 1);
    // The selection page's callback runs and rebuilds its device list.
    QVERIFY(TestSupport::WaitFor([&] {
        return !HidSim::CallsOf("callback:usb").empty()
               && (g_PageDevices.isEmpty() || g_PageDevices.first().Path != sentinel.Path);
    }));
}

void TestPairing::closingWithoutResultHandsTheSessionBack()
{
    // A result that never comes through the callback (the receiver vanished
    // before the dialog closed) or a dialog torn down without one: the device
    // page's session must not stay set aside.
    OpenSession("r4k");
    {
        Match match;
        match.PrepareShow();
        match.show();
        LetTargetCheckRun();
        QTest::mouseClick(MatchWidgets(match).button, Qt::LeftButton);
        QVERIFY(g_SessionParked);
        g_PairStarted = false;  // as if the pairing had ended without a report
    }
    QCOMPARE(int(g_SessionActive), 1);
    QVERIFY(!g_SessionParked);
    QVERIFY(g_PairUsbTimer == nullptr && g_PairStatusTimer == nullptr && g_PairTextTimer == nullptr);
}

// ---- the openers ---------------------------------------------------------------------

void TestPairing::openersFinishTheirWay_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("afterClose");  // library calls after the dialog's own registration

    const QString r4k = QString::fromLatin1(HidSim::PathOf("r4k"));
    QTest::newRow("Space on the device page") << "space-device" << "r4k"
                                              << QStringList({"UsbServerC_Start(" + r4k + "," + r4k + ")"});
    QTest::newRow("Space on the selection page") << "space-selection" << "r8k"
                                                 << QStringList({"UsbServerC_Start(" + r4k + "," + r4k + ")"});
    QTest::newRow("tile click") << "tile" << "r8k" << QStringList();
    QTest::newRow("settings page") << "settings" << "r4k"
                                   << QStringList({"StartUsbChanged(600)", "UsbServerC_Start(" + r4k + "," + r4k + ")"});
    QTest::newRow("settings page, mouse offline") << "settings-offline" << "" << QStringList();
}

void TestPairing::openersFinishTheirWay()
{
    QFETCH(QString, opener);
    QFETCH(QString, target);
    QFETCH(QStringList, afterClose);

    if (opener == "settings-offline")
        OpenSession("r8k");  // its mouse is switched off
    else if (opener != "tile")
        OpenSession("r4k");
    if (opener == "space-selection") {
        g_SessionActive = 0;  // back on the device list, one receiver listed
        g_PageDevices = {Listed("r8k")};
    }
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
    QString seenTarget;
    bool modalSeen = false;
    bool looked = false;
    // Runs inside the pairing dialog's exec() when one opens. The offline
    // opener opens none: the look comes once the opener has returned, and a
    // dialog it had opened would have been seen there.
    QTimer::singleShot(0, [&] {
        modalSeen = TestSupport::WithModal([&](QWidget *modal) {
            seenTarget = static_cast<Match *>(modal)->TargetPath();
            TestSupport::AnswerModal(modal, "CloseButton");
        }, opener == "settings-offline" ? 0 : TestSupport::kHangGuardMs);
        looked = true;
    });
    HidSim::ClearCallLog();

    if (opener == "space-device")
        RunPairingWithHandBack(true, nullptr);
    else if (opener == "space-selection")
        RunPairingWithHandBack(false, nullptr);
    else if (opener == "tile")
        RunPairingForTile(Listed("r8k"), nullptr);
    else
        RunPairingFromSettingsPage(nullptr);

    if (opener == "settings-offline") {
        QVERIFY(TestSupport::WaitFor([&] { return looked; }));
        QVERIFY(!modalSeen);
        QCOMPARE(offline.count(), 1);
        QCOMPARE(Calls("StartUsbChanged"), QStringList());
        return;
    }
    QVERIFY(modalSeen);
    QCOMPARE(seenTarget, QString::fromLatin1(HidSim::PathOf(target)));
    QStringList calls = CallTrail({"UsbServerC_Start", "StartUsbChanged"});
    QVERIFY(!calls.isEmpty());
    QCOMPARE(calls.takeFirst(), QStringLiteral("StartUsbChanged(600)"));
    QCOMPARE(calls, afterClose);
    QCOMPARE(offline.count(), 0);
}

// ---- the look -------------------------------------------------------------------------

namespace {

struct Shot {
    QString caption;
    QImage image;
};

QImage ContactSheet(const QVector<Shot> &shots)
{
    const int columns = 2;
    const QSize cell(458 + 24, 242 + 40);
    const int rows = (shots.size() + columns - 1) / columns;
    QImage sheet(columns * cell.width(), rows * cell.height(), QImage::Format_RGB32);
    sheet.fill(QColor(90, 90, 96));
    QPainter painter(&sheet);
    painter.setPen(Qt::white);
    for (int i = 0; i < shots.size(); ++i) {
        const QPoint origin((i % columns) * cell.width() + 12, (i / columns) * cell.height() + 28);
        painter.drawText(origin + QPoint(0, -10), shots[i].caption);
        painter.drawImage(origin, shots[i].image);
    }
    return sheet;
}

}  // namespace

// Without a compositor the transparent corners of the dialog would show
// black: the window is cut to what it paints. With one it is left whole.
void TestPairing::cornersWithoutCompositor_data()
{
    QTest::addColumn<bool>("compositor");
    QTest::newRow("no compositor: rounded mask") << false;
    QTest::newRow("compositor: no mask") << true;
}

void TestPairing::cornersWithoutCompositor()
{
    QFETCH(bool, compositor);
    HidSim::SetWorld(TestWorld(60000));
    TranslucentWindows::Install();
    TranslucentWindows::SetCompositorProbe([compositor] { return compositor; });
    g_PageDevices = {Listed("r4k")};
    Match match;
    match.PrepareShow();

    match.show();

    const QRegion mask = match.mask();
    TranslucentWindows::SetCompositorProbe({});
    QCOMPARE(mask.isEmpty(), compositor);
    if (!compositor) {
        const QRect r = match.rect();
        for (const QPoint &corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()})
            QVERIFY2(!mask.contains(corner), qPrintable(QString("corner %1,%2").arg(corner.x()).arg(corner.y())));
        QVERIFY(mask.contains(r.center()));
        QVERIFY(mask.contains(QPoint(r.center().x(), r.top() + 20)));  // the frame's edge, not only its middle
    }
}

void TestPairing::contactSheet()
{
    HidSim::SetWorld(TestWorld(60000));
    QVector<Shot> shots;
    const auto take = [&](const QString &caption, const std::function<void(Match &, MatchWidgets &)> &stage) {
        Match match;
        match.PrepareShow();
        match.show();
        LetTargetCheckRun(2);
        MatchWidgets widgets(match);
        stage(match, widgets);
        for (const QString &file : TestSupport::PicturesNamed(&match))
            QVERIFY2(QFileInfo::exists(file), qPrintable(file));
        shots.append({caption, match.grab().toImage()});
        g_PairStarted = false;
    };

    g_PageDevices = {Listed("r4k")};
    take("ready", [](Match &, MatchWidgets &) {});
    take("pairing", [](Match &, MatchWidgets &widgets) {
        QTest::mouseClick(widgets.button, Qt::LeftButton);
        QVERIFY(TestSupport::WaitFor([&] { return widgets.button->text() == "Pairing.."; }));
    });
    take("paired", [](Match &match, MatchWidgets &) { match.SlotButtonenable(1); });
    take("failed", [](Match &match, MatchWidgets &) { match.SlotButtonenable(0); });
    g_PageDevices = {Listed("m1")};
    take("mouse on cable", [](Match &, MatchWidgets &) {});
    g_PageDevices.clear();
    take("no receiver", [](Match &, MatchWidgets &) {});
    g_PageDevices = {Listed("r4k")};
    take("simplified Chinese", [](Match &match, MatchWidgets &) { match.SlotChangeLanguage(1); });
    g_PageDevices = {Listed("m1")};
    take("simplified Chinese, mouse on cable", [](Match &match, MatchWidgets &) { match.SlotChangeLanguage(1); });

    QVERIFY(TestSupport::SaveShot(ContactSheet(shots), QStringLiteral("pairing-sheet.png")));
}

VOGM_TEST_MAIN(TestPairing)
#include "tst_pairing.moc"
