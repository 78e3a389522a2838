// The failed-update record while firmware runs flash: for each report of a
// one-flash and a two-flash run, from a receiver record and from a mouse
// record, what the record says afterwards, and the repair check's answer for
// the world a crash or kill at that moment leaves (the device being flashed
// waits in boot mode; one that took its image is listed again).

#include "firmwareimages.h"
#include "flashrecord.h"
#include "receiverclass.h"
#include "registrystore.h"
#include "repaircheck.h"
#include "testsupport.h"
#include "updatefailinfo.h"

#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(RepairAnswer)

namespace {

constexpr int kReceiver = kReceiverFirmware;
constexpr int kMouse = kMouseFirmware;
const FlashRun kRun{4, 18, 2};
const QString kReceiverPid = QStringLiteral("0xFF14");

// The model's receiver and its mouse on the cable, each up (listed) or in
// boot mode.
struct Devices {
    bool receiverBoot = false;
    bool mouseBoot = false;
};

DeviceAllInfo Listed(bool wired)
{
    DeviceAllInfo device;
    device.Wired = wired;
    device.Cid = 18;
    device.Mid = 2;
    device.Pid = wired ? QStringLiteral("0xFF01") : kReceiverPid;
    return device;
}

RepairAnswer CheckAfterAKill(const Devices &devices)
{
    RepairSituation situation;
    situation.record = UpdateFailInfo::Read();
    situation.modelKnown = true;
    situation.failedImage = true;
    situation.receiverBootCount = devices.receiverBoot ? 1 : 0;
    situation.mouseBootCount = devices.mouseBoot ? 1 : 0;
    if (!devices.mouseBoot)
        situation.listed << Listed(true);
    if (!devices.receiverBoot)
        situation.listed << Listed(false);
    return RepairCheck::Judge(situation);
}

// One report of the run: "start 211" (the flash is started: the device
// restarts into boot mode), "ok 211" (it took the image), "ok 211 last" (the
// run's last flash), "fail 211".
void Apply(const QString &report, Devices *devices)
{
    const QStringList words = report.split(' ');
    const int target = words.at(1).toInt();
    bool &boot = target == kReceiver ? devices->receiverBoot : devices->mouseBoot;
    if (words.at(0) == "start") {
        QVERIFY(FlashRecord::BeforeFlash(kRun, target));
        boot = true;
    } else if (words.at(0) == "ok") {
        QVERIFY(FlashRecord::AfterSuccess(kRun, target, words.value(2) == "last"));
        boot = false;
    } else {
        QVERIFY(FlashRecord::AfterFailure(kRun, target));
    }
}

}  // namespace

class TestFlashRecord : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void theRule_data();
    void theRule();
    void recordAndCheckAtEachReport_data();
    void recordAndCheckAtEachReport();
};

void TestFlashRecord::init()
{
    QFile::remove(RegistryStore::DefaultFilePath());
    g_Wireless4PidList = QStringList{kReceiverPid};
}

void TestFlashRecord::theRule_data()
{
    QTest::addColumn<int>("recorded");
    QTest::addColumn<int>("flash");
    QTest::addColumn<int>("beforeFlash");
    QTest::addColumn<int>("afterFailure");
    QTest::addColumn<int>("afterSuccess");      // not the last flash
    QTest::addColumn<int>("afterLastSuccess");  // 0: removed

    QTest::newRow("no record, receiver") << 0 << kReceiver << kReceiver << kReceiver << 0 << 0;
    QTest::newRow("no record, mouse") << 0 << kMouse << kMouse << kMouse << 0 << 0;
    QTest::newRow("receiver record, receiver") << kReceiver << kReceiver << kReceiver << kReceiver << kReceiver << 0;
    QTest::newRow("receiver record, mouse") << kReceiver << kMouse << kMouse << kMouse << kReceiver << 0;
    // A mouse record holds until the mouse image is written.
    QTest::newRow("mouse record, receiver") << kMouse << kReceiver << kMouse << kMouse << kMouse << kMouse;
    QTest::newRow("mouse record, mouse") << kMouse << kMouse << kMouse << kMouse << kMouse << 0;
}

void TestFlashRecord::theRule()
{
    QFETCH(int, recorded);
    QFETCH(int, flash);
    QTEST(FlashRecord::TargetBeforeFlash(recorded, flash), "beforeFlash");
    QTEST(FlashRecord::TargetAfterFailure(recorded, flash), "afterFailure");
    QTEST(FlashRecord::TargetAfterSuccess(recorded, flash, false), "afterSuccess");
    QTEST(FlashRecord::TargetAfterSuccess(recorded, flash, true), "afterLastSuccess");
}

void TestFlashRecord::recordAndCheckAtEachReport_data()
{
    QTest::addColumn<QString>("record");    // before the run; "" none
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QString>("after");     // the record after the last report
    QTest::addColumn<RepairAnswer>("check");

    const RepairAnswer ready = RepairAnswer::Ready;
    const RepairAnswer nothing = RepairAnswer::UnusableRecord;
    const QString receiverRecord = "211,4,18,2";
    const QString mouseRecord = "210,4,18,2";

    // A receiver repair of two flashes: the receiver, then the mouse.
    const QStringList twoFromReceiver{"start 211", "ok 211", "start 210", "ok 210 last"};
    for (int n = 1; n <= twoFromReceiver.size(); ++n) {
        const QStringList reports = twoFromReceiver.mid(0, n);
        const bool done = n == twoFromReceiver.size();
        QTest::addRow("receiver record, two flashes: %s", qPrintable(reports.last()))
            << receiverRecord << reports << (done ? QString() : n >= 3 ? mouseRecord : receiverRecord)
            << (done ? nothing : ready);
    }
    QTest::newRow("receiver record, two flashes: the receiver fails")
        << receiverRecord << QStringList{"start 211", "fail 211"} << receiverRecord << ready;
    QTest::newRow("receiver record, two flashes: the mouse fails")
        << receiverRecord << QStringList{"start 211", "ok 211", "start 210", "fail 210"} << mouseRecord << ready;

    // A mouse repair of two flashes: the mouse record holds until the mouse
    // took its image, so a receiver left in boot mode is repaired with it.
    const QStringList twoFromMouse{"start 211", "ok 211", "start 210", "ok 210 last"};
    for (int n = 1; n <= twoFromMouse.size(); ++n) {
        const QStringList reports = twoFromMouse.mid(0, n);
        const bool done = n == twoFromMouse.size();
        QTest::addRow("mouse record, two flashes: %s", qPrintable(reports.last()))
            << mouseRecord << reports << (done ? QString() : mouseRecord) << (done ? nothing : ready);
    }
    QTest::newRow("mouse record, two flashes: the receiver fails")
        << mouseRecord << QStringList{"start 211", "fail 211"} << mouseRecord << ready;
    QTest::newRow("mouse record, two flashes: the mouse fails")
        << mouseRecord << QStringList{"start 211", "ok 211", "start 210", "fail 210"} << mouseRecord << ready;

    // One flash: the receiver's image alone (a receiver repair, the Space
    // key), or the mouse's alone.
    QTest::newRow("receiver record, one flash: start") << receiverRecord << QStringList{"start 211"}
                                                       << receiverRecord << ready;
    QTest::newRow("receiver record, one flash: ok") << receiverRecord << QStringList{"start 211", "ok 211 last"}
                                                    << "" << nothing;
    QTest::newRow("no record, one flash: start") << "" << QStringList{"start 211"} << receiverRecord << ready;
    QTest::newRow("no record, one flash: fails") << "" << QStringList{"start 211", "fail 211"} << receiverRecord
                                                 << ready;
    QTest::newRow("mouse record, one flash: start") << mouseRecord << QStringList{"start 210"} << mouseRecord
                                                    << ready;
    QTest::newRow("mouse record, one flash: ok") << mouseRecord << QStringList{"start 210", "ok 210 last"} << ""
                                                 << nothing;
    // The receiver's flash was the last one that could run: a mouse record
    // stays while the mouse waits in boot mode.
    QTest::newRow("mouse record, only the receiver flashed")
        << mouseRecord << QStringList{"start 211", "ok 211 last"} << mouseRecord << ready;
}

void TestFlashRecord::recordAndCheckAtEachReport()
{
    QFETCH(QString, record);
    QFETCH(QStringList, reports);
    Devices devices;
    if (record.startsWith("211"))
        devices.receiverBoot = true;
    if (record.startsWith("210"))
        devices.mouseBoot = true;
    if (!record.isEmpty())
        QVERIFY(RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), "UpdateFailInfo", record));

    for (const QString &report : reports)
        Apply(report, &devices);

    QTEST(UpdateFailInfo::StoredText(), "after");
    QTEST(CheckAfterAKill(devices), "check");
}

VOGM_TEST_MAIN(TestFlashRecord)
#include "tst_flashrecord.moc"
