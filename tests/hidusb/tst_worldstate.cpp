// The world across runs: what the devices keep is written to the state file
// in the control folder after a change, applied by name when the library
// starts, brought back to the factory state by "reset", and shown from
// outside by "vogm-world show".

#include "flashdatamap.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>
#include <atomic>
#include <cstring>

using namespace HidSim;

namespace {

void Ignore(const unsigned char *, int, const unsigned char *, int) {}

bool WriteByte(const char *device, const QString &mouse, int offset, int value)
{
    QByteArray image = StoredImage(mouse);
    if (offset < 0 || offset >= image.size())
        return false;  // no such mouse
    image.replace(offset, 1, QByteArray(1, char(value)));
    const QByteArray path = PathOf(device);
    return UsbServerC_Start(path.constData(), path.constData(), Ignore)
           && ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(image.data()));
}

QByteArray SavedFile()
{
    QFile file(WorldStateFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The image a mouse has in the saved state, as the next start installs it.
QByteArray SavedImage(const QString &mouse)
{
    World next = DefaultWorld();
    if (!ApplySavedState(SavedFile(), &next))
        return QByteArray();
    SetWorld(next);
    return StoredImage(mouse);
}

const Mouse *MouseOf(const World &world, const QString &name)
{
    for (const Mouse &m : world.mice) {
        if (m.name == name)
            return &m;
    }
    return nullptr;
}

// What the file says of a receiver.
QJsonObject SavedReceiver(const QString &name)
{
    return QJsonDocument::fromJson(SavedFile()).object().value("receivers").toObject().value(name).toObject();
}

// The file as the flash's finished report found it (the flash thread).
std::atomic<bool> s_finished{false};
QJsonObject s_receiverAtTheEnd;

void FinishedReportLooksAtTheFile(const unsigned char *report)
{
    if (report[1] != 2)
        return;
    s_receiverAtTheEnd = SavedReceiver("r4k");
    s_finished = true;
}

QString RunTool(const QStringList &arguments)
{
    QProcess tool;
    tool.start(TestSupport::AppFolder() + "/vogm-world", arguments);
    if (!tool.waitForFinished(TestSupport::kHangGuardMs))
        return QString();
    return QString::fromUtf8(tool.readAllStandardOutput());
}

}  // namespace

class TestWorldState : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void aChangeIsSavedInTheControlFolder();
    void savedStateIsAppliedByName();
    void unusableSavedStateIsLeftOut_data();
    void unusableSavedStateIsLeftOut();
    void devicesOfOtherWorldsStayInTheFile();
    void resetBringsBackTheFactoryState();
    void theToolShowsWhatTheMouseStored();
    void bootModeIsKeptAcrossRuns();
};

void TestWorldState::init()
{
    SetWorld(DefaultWorld());
    QVERIFY(WaitUntilIdle());
}

// Per test process: the control folder is below the test's own data folder.
void TestWorldState::aChangeIsSavedInTheControlFolder()
{
    QVERIFY(WorldStateFile().startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
    QVERIFY(WriteByte("r4k", "m2", 0x006, 17));
    QVERIFY(WaitUntilIdle());
    QCOMPARE(int(SavedImage("m2")[0x006]), 17);
}

void TestWorldState::savedStateIsAppliedByName()
{
    QVERIFY(WriteByte("m1", "m1", 0x005, 3));
    QVERIFY(UsbServerC_Start(PathOf("m1"), PathOf("m1"), Ignore));
    QVERIFY(UsbServer_SetCurrentConfig(2));
    QVERIFY(UsbFinderC_SetLongRangeMode(PathOf("r8k"), true));
    QVERIFY(ApplyCommand("version m2 0x0105"));
    QVERIFY(WaitUntilIdle());

    World next = DefaultWorld();
    QVERIFY(ApplySavedState(SavedFile(), &next));
    SetWorld(next);  // as the next start installs it
    QCOMPARE(int(StoredImage("m1", 0)[0x005]), 3);
    QCOMPARE(ActiveProfile("m1"), 2);
    QCOMPARE(MouseOf(CurrentWorld(), "m2")->version, uint16_t(0x0105));
    unsigned char longRange = 0;
    QVERIFY(UsbFinderC_GetLongRangeMode(PathOf("r8k"), &longRange));
    QCOMPARE(int(longRange), 1);
    QCOMPARE(StoredImage("m3"), FactoryImage("m3"));
}

void TestWorldState::unusableSavedStateIsLeftOut_data()
{
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<bool>("readable");
    QTest::newRow("not JSON") << QByteArray("{ mice") << false;
    QTest::newRow("another format") << QByteArray(R"({"format": 9, "mice": {}})") << false;
    QTest::newRow("another model") << QByteArray(R"({"format": 1, "mice": {"m2": {"mid": 3, "flash": []}}})") << true;
    QTest::newRow("short flash")
        << QByteArray(R"({"format": 1, "mice": {"m2": {"mid": 2, "address": "3A:51:07", "version": "0x0102",
                       "flash": ["AAAA", "AAAA", "AAAA", "AAAA"]}}})")
        << true;
    QTest::newRow("unknown paired mouse")
        << QByteArray(R"({"format": 1, "receivers": {"r4k": {"mouse": "zz", "led": "01000000000000000000",
                       "version": "0x0101"}}})")
        << true;
}

// A state file that cannot be used leaves those devices at their factory state.
void TestWorldState::unusableSavedStateIsLeftOut()
{
    QFETCH(QByteArray, state);
    QFETCH(bool, readable);
    World world = DefaultWorld();
    QString error;
    QCOMPARE(ApplySavedState(state, &world, &error), readable);
    QVERIFY(!error.isEmpty());
    QVERIFY(MouseOf(world, "m2")->stored.empty());
    QCOMPARE(world.receivers[0].mouse, QStringLiteral("m2"));
}

// Another scenario's devices are kept in the file while this world runs.
void TestWorldState::devicesOfOtherWorldsStayInTheFile()
{
    QVERIFY(WriteByte("r4k", "m2", 0x006, 12));
    World other;
    other.mice.push_back(DefaultWorld().mice[0]);
    other.mice[0].name = "solo";
    SetWorld(other);
    QVERIFY(WaitUntilIdle());
    const QJsonObject mice = QJsonDocument::fromJson(SavedFile()).object().value("mice").toObject();
    QVERIFY(mice.contains("solo"));
    QVERIFY(mice.contains("m2"));
    QCOMPARE(int(SavedImage("m2")[0x006]), 12);
}

void TestWorldState::resetBringsBackTheFactoryState()
{
    QVERIFY(WriteByte("r4k", "m2", 0x006, 9));
    QVERIFY(ApplyCommand("version r4k 0x0203"));
    QVERIFY(ApplyCommand("unplug r8k"));
    QVERIFY(ApplyCommand("reset"));
    QVERIFY(WaitUntilIdle());
    QCOMPARE(StoredImage("m2"), FactoryImage("m2"));
    QCOMPARE(CurrentWorld().receivers[0].version, uint16_t(0x0101));
    QVERIFY(!CurrentWorld().receivers[1].plugged);  // what the user did to the devices stays
    QCOMPARE(SavedImage("m2"), FactoryImage("m2"));
}

void TestWorldState::theToolShowsWhatTheMouseStored()
{
    QByteArray image = StoredImage("m2");
    const char name[] = "Reload";
    image[0x3BC + 592 * 2] = char(sizeof name - 1);
    std::memcpy(image.data() + 0x3BC + 592 * 2 + 1, name, sizeof name - 1);
    image[0x3BC + 592 * 2 + 31] = 4;
    image[0x000] = 8;
    image[0x04A + 3 * 2] = 6;
    QVERIFY(UsbServerC_Start(PathOf("r4k"), PathOf("r4k"), Ignore));
    QVERIFY(ProtocolDataUpdate(reinterpret_cast<FlashDataMap *>(image.data())));
    QVERIFY(WaitUntilIdle());

    const QString shown = RunTool({"show", "m2"});
    QVERIFY2(shown.contains(QRegularExpression("ReportRate +8 \\(0x08\\)")), qPrintable(shown));
    QVERIFY(shown.contains("active profile: 0\n"));
    QVERIFY(shown.contains(QRegularExpression("\\n +2: 6 0x04 0x00\\n")));
    QVERIFY(shown.contains("2: \"Reload\", 4 events"));

    // "reset" from the tool: the file goes at once, the running world follows.
    RunTool({"reset"});
    QVERIFY(QTest::qWaitFor([] { return StoredImage("m2") == FactoryImage("m2"); }, TestSupport::kHangGuardMs));
    QVERIFY(WaitUntilIdle());
    QVERIFY(RunTool({"show", "m2"}).contains(QRegularExpression("ReportRate +1 \\(0x01\\)")));
}

// Boot mode is the device's own state: in the file as soon as a flash
// starts and before its end is reported, over the scenario's at the next
// start, and back to the scenario's after "reset".
void TestWorldState::bootModeIsKeptAcrossRuns()
{
    Timing fast;
    fast.flashMs = 100;
    SetTiming(fast);
    QFile file(TestSupport::AppFolder() + "/bin/VOR-M2-4K_v1.2.bin");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray image = file.readAll();
    s_finished = false;

    QVERIFY(UsbUpgrade_Start(reinterpret_cast<const unsigned char *>(image.constData()), FinishedReportLooksAtTheFile,
                             10000));
    // No wait: a program killed now leaves the receiver in boot mode.
    QCOMPARE(SavedReceiver("r4k").value("bootMode").toBool(), true);
    QVERIFY(QTest::qWaitFor([] { return bool(s_finished); }, TestSupport::kHangGuardMs));
    QCOMPARE(s_receiverAtTheEnd.value("bootMode").toBool(), false);
    QCOMPARE(s_receiverAtTheEnd.value("version").toString(), QString("0x0102"));

    QVERIFY(ApplyCommand("boot r8k on"));
    QVERIFY(WaitUntilIdle());
    World next = DefaultWorld();
    QVERIFY(ApplySavedState(SavedFile(), &next));
    QVERIFY(next.receivers[1].bootMode);
    QVERIFY(!next.receivers[0].bootMode);
    const QString shown = RunTool({"show"});
    QVERIFY2(shown.contains("receiver r8k: link type 5, VOR-M3-8K, firmware 0x0101, boot mode on"), qPrintable(shown));
    QVERIFY2(shown.contains("receiver r4k: link type 1, VOR-M2-4K, firmware 0x0102, boot mode off"), qPrintable(shown));
    QVERIFY(RunTool({"show", "m2"}).contains("boot mode off"));

    QVERIFY(ApplyCommand("reset"));
    QVERIFY(WaitUntilIdle());
    QVERIFY(!CurrentWorld().receivers[1].bootMode);
    QVERIFY(!SavedReceiver("r8k").value("bootMode").toBool());
}

VOGM_TEST_MAIN(TestWorldState)
#include "tst_worldstate.moc"
