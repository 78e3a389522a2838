// The one-field writers against the simulated mouse: which image bytes each
// writer changes, that the mouse gets the whole image once, the offline path
// with its notice, and indices outside the image.
#include "connection.h"
#include "globals.h"
#include "hidusb_control.h"
#include "postmsg.h"
#include "devicesession.h"
#include "testsupport.h"
#include "worldfixtures.h"
#include "writers.h"

#include <QSignalSpy>
#include <cstring>
#include <functional>

using WriterCall = std::function<WriteResult()>;
Q_DECLARE_METATYPE(WriterCall)

namespace {

const QString kCableMouse = QStringLiteral("m1");       // online on cable in the default world
const QString kSilentReceiver = QStringLiteral("r8k");  // its mouse is switched off
constexpr uint8_t kBaseByte = 0xEE;                     // no writer below stores this value
constexpr int kSpareProfile = 3;

FlashDataMap BaseImage()
{
    FlashDataMap image;
    std::memset(&image, kBaseByte, sizeof image);
    return image;
}

QByteArray Bytes(const FlashDataMap &image)
{
    return QByteArray(reinterpret_cast<const char *>(&image), kFlashDataMapSize);
}

// "0x024-0x026,0x03F" -> {0x24, 0x25, 0x26, 0x3F}
QList<int> Offsets(const QString &ranges)
{
    QList<int> offsets;
    for (const QString &range : ranges.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList ends = range.split(QLatin1Char('-'));
        const int first = ends.first().toInt(nullptr, 16);
        const int last = ends.last().toInt(nullptr, 16);
        for (int offset = first; offset <= last; ++offset)
            offsets << offset;
    }
    return offsets;
}

QList<int> ChangedOffsets(const QByteArray &before, const QByteArray &after)
{
    QList<int> offsets;
    for (int i = 0; i < before.size(); ++i) {
        if (before.at(i) != after.at(i))
            offsets << i;
    }
    return offsets;
}

// What the mouse keeps of a whole image: the same image stored directly into
// a spare profile and read back through the mouse's own flash format.
QByteArray AsStoredByMouse(const QByteArray &image)
{
    HidSim::SetStoredImage(kCableMouse, image, kSpareProfile);
    return HidSim::StoredImage(kCableMouse, kSpareProfile);
}

QByteArray Pattern(int size, int seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + seed) % 200);  // never 0xEE
    return bytes;
}

int UpdateCalls()
{
    return int(HidSim::CallsOf(QStringLiteral("ProtocolDataUpdate")).size());
}

int LibraryCalls()
{
    return UpdateCalls() + int(HidSim::CallsOf(QStringLiteral("UsbFinderC_GetDeviceOnLine")).size());
}

// Each row's records live here so the calls can point at them.
const DpiLevelRecord kRecordA{1, 2, 3, 4, 5, 6};
const DpiLevelRecord kRecordB{7, 8, 9, 10, 11, 12};
const KeyEntry kEntry{3, 0x21, 0x05};
const QByteArray kSequence = Pattern(kKeySequenceSize, 1);
const QByteArray kMacro = Pattern(kMacroRecordSize, 2);

const uint8_t *Raw(const QByteArray &bytes)
{
    return reinterpret_cast<const uint8_t *>(bytes.constData());
}

}  // namespace

class TestWriters : public QObject {
    Q_OBJECT

    QByteArray m_onlinePath;
    QByteArray m_offlinePath;

    void UseDevice(const QByteArray &path) { SetCurrentPath(path); }

    void ResetLogs()
    {
        HidSim::ClearCallLog();
        HidSim::ResetWriteStats();
    }

private slots:
    void initTestCase()
    {
        HidSim::SetWorld(Fixtures::FastDefaultWorld());
        m_onlinePath = HidSim::PathOf(kCableMouse);
        m_offlinePath = HidSim::PathOf(kSilentReceiver);
        QVERIFY(!m_onlinePath.isEmpty());
        QVERIFY(!m_offlinePath.isEmpty());
        QVERIFY(TestSupport::OpenAsCurrentDevice(kCableMouse));
        QVERIFY(HidSim::WaitUntilIdle());
    }

    void cleanupTestCase()
    {
        UsbServer_Exit();
    }

    void init()
    {
        g_SensorRefreshing = 0;
        g_ButtonRefreshing = 0;
        UseDevice(m_onlinePath);
        StoreImage(BaseImage());
        ResetLogs();
    }

    void changesExactlyItsFieldAndSendsTheWholeImage_data()
    {
        QTest::addColumn<WriterCall>("write");
        QTest::addColumn<QString>("changed");   // offsets that must change, and no others
        QTest::addColumn<int>("at");            // where `bytes` must stand afterwards
        QTest::addColumn<QByteArray>("bytes");

        auto row = [](const char *tag, WriterCall call, const char *changed, int at = 0,
                      const QByteArray &bytes = QByteArray()) {
            QTest::newRow(tag) << call << QString::fromLatin1(changed) << at << bytes;
        };
        row("WriteReportRate(0x140) keeps the low byte", [] { return WriteReportRate(0x140); }, "0x000", 0x000, QByteArray("\x40", 1));
        row("WriteDpiLevelCount", [] { return WriteDpiLevelCount(5); }, "0x001");
        row("WriteDpiLevel", [] { return WriteDpiLevel(3); }, "0x002");
        row("WriteByte3", [] { return WriteByte3(1); }, "0x003");
        row("WriteByte4", [] { return WriteByte4(1); }, "0x004");
        row("WriteLod", [] { return WriteLod(3); }, "0x005");
        row("WriteDebounceTime", [] { return WriteDebounceTime(8); }, "0x006");
        row("WriteMotionSync", [] { return WriteMotionSync(1); }, "0x007");
        row("WriteStopCloseTime", [] { return WriteStopCloseTime(30); }, "0x008");
        row("WriteStraightLine", [] { return WriteStraightLine(1); }, "0x009");
        row("WriteRippeControl", [] { return WriteRippeControl(1); }, "0x00A");
        row("WriteMoveLightOff", [] { return WriteMoveLightOff(1); }, "0x00B");
        row("WritePerformance", [] { return WritePerformance(1); }, "0x00C");
        row("WritePerformanceOpen", [] { return WritePerformanceOpen(30); }, "0x00D");
        row("WriteSensorMode", [] { return WriteSensorMode(1); }, "0x00E");
        row("WriteDpiLevelValue(7)", [] { return WriteDpiLevelValue(7, 31, 31, 0x22); }, "0x039-0x03B", 0x039, QByteArray("\x1f\x1f\x22", 3));
        row("WriteDpiLevelColor(3,10,20,30)", [] { return WriteDpiLevelColor(3, 10, 20, 30); }, "0x024-0x026", 0x024, QByteArray("\x0a\x14\x1e", 3));
        row("WriteDpiLevelSwap", [] { return WriteDpiLevelSwap(&kRecordA, &kRecordB, 5, 2, 4); },
            "0x001-0x002,0x01B-0x020,0x02D-0x032", 0x001, QByteArray("\x05\x04", 2));
        row("WriteDpiLedMode(2) switches on", [] { return WriteDpiLedMode(2); }, "0x03F,0x042", 0x03F, QByteArray("\x02\xee\xee\x01", 4));
        row("WriteDpiLedMode(0) keeps the mode", [] { return WriteDpiLedMode(0); }, "0x042", 0x03F, QByteArray("\xee\xee\xee\x00", 4));
        row("WriteDpiLedBrightness", [] { return WriteDpiLedBrightness(128); }, "0x040");
        row("WriteDpiLedSpeed", [] { return WriteDpiLedSpeed(3); }, "0x041");
        row("WriteLightMode(3) switches on", [] { return WriteLightMode(3); }, "0x043,0x049");
        row("WriteLightMode(0) keeps the mode", [] { return WriteLightMode(0); }, "0x049", 0x043, QByteArray("\xee", 1));
        row("WriteLightColor", [] { return WriteLightColor(1, 2, 3); }, "0x044-0x046", 0x044, QByteArray("\x01\x02\x03", 3));
        row("WriteLightSpeed", [] { return WriteLightSpeed(9); }, "0x047");
        row("WriteLightBrightness", [] { return WriteLightBrightness(9); }, "0x048");
        row("WriteKeyFunction(0,1,0x10,0)", [] { return WriteKeyFunction(0, 1, 0x10, 0); }, "0x04A-0x04C", 0x04A, QByteArray("\x01\x10\x00", 3));
        row("WriteKeyFunction(15)", [] { return WriteKeyFunction(15, 2, 3, 4); }, "0x077-0x079");
        row("WriteKeySequence(3)", [] { return WriteKeySequence(3, &kEntry, Raw(kSequence)); },
            "0x053-0x055,0x118-0x14B", 0x118, kSequence);
        row("WriteKeyMacro(15)", [] { return WriteKeyMacro(15, &kEntry, Raw(kMacro)); },
            "0x077-0x079,0x266C-0x28BB", 0x266C, kMacro);
        row("WriteKeyMacro(0)", [] { return WriteKeyMacro(0, &kEntry, Raw(kMacro)); },
            "0x04A-0x04C,0x3BC-0x60B", 0x3BC, kMacro);
    }

    void changesExactlyItsFieldAndSendsTheWholeImage()
    {
        QFETCH(WriterCall, write);
        QFETCH(QString, changed);
        QFETCH(int, at);
        QFETCH(QByteArray, bytes);
        QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        const QByteArray before = Bytes(ReadImage());

        QCOMPARE(write(), WriteResult::Done);

        const QByteArray after = Bytes(ReadImage());
        QCOMPARE(ChangedOffsets(before, after), Offsets(changed));
        if (!bytes.isEmpty())
            QCOMPARE(after.mid(at, bytes.size()), bytes);
        QCOMPARE(UpdateCalls(), 1);
        QCOMPARE(HidSim::CurrentWriteStats().calls, qint64(1));
        QCOMPARE(HidSim::StoredImage(kCableMouse), AsStoredByMouse(after));
        QCOMPARE(notices.count(), 0);
    }

    // Both records may point into the image itself: a true exchange.
    void swapTakesBothRecordsBeforeWriting()
    {
        FlashDataMap image = BaseImage();
        image.DpiLevels[1] = kRecordA;
        image.DpiLevels[4] = kRecordB;
        StoreImage(image);
        QCOMPARE(WriteDpiLevelSwap(&g_FlashDataMap.DpiLevels[1], &g_FlashDataMap.DpiLevels[4], 1, 4, 2), WriteResult::Done);
        const FlashDataMap after = ReadImage();
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&after.DpiLevels[4]), 6),
                 QByteArray(reinterpret_cast<const char *>(&kRecordA), 6));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(&after.DpiLevels[1]), 6),
                 QByteArray(reinterpret_cast<const char *>(&kRecordB), 6));
        QCOMPARE(int(after.DpiLevel), 2);
        QCOMPARE(int(after.DpiLevelCount), 3);
    }

    void swapIntoOneSlotLeavesTheSecondRecord()
    {
        QCOMPARE(WriteDpiLevelSwap(&kRecordA, &kRecordB, 6, 6, 6), WriteResult::Done);
        const FlashDataMap after = ReadImage();
        QCOMPARE(int(after.DpiLevels[6].DpiX), int(kRecordB.DpiX));
        QCOMPARE(int(after.DpiLevels[6].Blue), int(kRecordB.Blue));
    }

    void offlineWritesNothing_data()
    {
        QTest::addColumn<WriterCall>("write");
        QTest::addColumn<int>("sensorRefreshing");
        QTest::addColumn<int>("buttonRefreshing");
        QTest::addColumn<int>("notices");

        const QPair<const char *, WriterCall> writers[] = {
            {"WriteReportRate", [] { return WriteReportRate(0x10); }},
            {"WriteDpiLevelSwap", [] { return WriteDpiLevelSwap(&kRecordA, &kRecordB, 1, 0, 1); }},
            {"WriteKeyMacro", [] { return WriteKeyMacro(2, &kEntry, Raw(kMacro)); }},
            {"WriteDpiLedMode", [] { return WriteDpiLedMode(0); }},
            {"CheckDeviceOnline", [] { return CheckDeviceOnline() ? WriteResult::Done : WriteResult::Refused; }},
        };
        for (const auto &writer : writers) {
            QTest::addRow("%s: one notice", writer.first) << writer.second << 0 << 0 << 1;
            QTest::addRow("%s: sensor page filling", writer.first) << writer.second << 1 << 0 << 0;
            QTest::addRow("%s: button page filling", writer.first) << writer.second << 0 << 1 << 0;
        }
    }

    void offlineWritesNothing()
    {
        QFETCH(WriterCall, write);
        QFETCH(int, sensorRefreshing);
        QFETCH(int, buttonRefreshing);
        QFETCH(int, notices);
        UseDevice(m_offlinePath);
        g_SensorRefreshing = uint8_t(sensorRefreshing);
        g_ButtonRefreshing = uint8_t(buttonRefreshing);
        QSignalSpy spy(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        const QByteArray imageBefore = Bytes(ReadImage());
        const QByteArray deviceBefore = HidSim::StoredImage(kCableMouse);

        QCOMPARE(write(), WriteResult::Refused);

        QCOMPARE(Bytes(ReadImage()), imageBefore);
        QCOMPARE(HidSim::StoredImage(kCableMouse), deviceBefore);
        QCOMPARE(UpdateCalls(), 0);
        QCOMPARE(spy.count(), notices);
        if (notices > 0)
            QCOMPARE(spy.first().first().toInt(), 0);
    }

    // An index outside the image is refused before anything is asked or shown.
    void indicesOutsideTheImageAreRefused_data()
    {
        QTest::addColumn<WriterCall>("write");
        QTest::newRow("key 16") << WriterCall([] { return WriteKeyFunction(16, 1, 1, 0); });
        QTest::newRow("key -1") << WriterCall([] { return WriteKeyFunction(-1, 1, 1, 0); });
        QTest::newRow("sequence key 16") << WriterCall([] { return WriteKeySequence(16, &kEntry, Raw(kSequence)); });
        QTest::newRow("macro key 16") << WriterCall([] { return WriteKeyMacro(16, &kEntry, Raw(kMacro)); });
        QTest::newRow("macro key -1") << WriterCall([] { return WriteKeyMacro(-1, &kEntry, Raw(kMacro)); });
        QTest::newRow("level value 8") << WriterCall([] { return WriteDpiLevelValue(8, 1, 1, 0); });
        QTest::newRow("level colour -1") << WriterCall([] { return WriteDpiLevelColor(-1, 1, 2, 3); });
        QTest::newRow("swap slot 8") << WriterCall([] { return WriteDpiLevelSwap(&kRecordA, &kRecordB, 8, 0, 0); });
        QTest::newRow("swap level 8") << WriterCall([] { return WriteDpiLevelSwap(&kRecordA, &kRecordB, 0, 1, 8); });
        QTest::newRow("swap without record") << WriterCall([] { return WriteDpiLevelSwap(nullptr, &kRecordB, 0, 1, 1); });
        QTest::newRow("macro without record") << WriterCall([] { return WriteKeyMacro(1, &kEntry, nullptr); });
    }

    void indicesOutsideTheImageAreRefused()
    {
        QFETCH(WriterCall, write);
        QSignalSpy spy(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        const QByteArray before = Bytes(ReadImage());
        QCOMPARE(write(), WriteResult::Refused);
        QCOMPARE(Bytes(ReadImage()), before);
        QCOMPARE(LibraryCalls(), 0);
        QCOMPARE(spy.count(), 0);
    }

    void checkDeviceOnlineOnlyAsks()
    {
        QVERIFY(CheckDeviceOnline());
        QCOMPARE(UpdateCalls(), 0);
        QCOMPARE(Bytes(ReadImage()), Bytes(BaseImage()));
    }

    // Sends the image as it stands.
    void writeFlashDataMapSendsTheImageAsItStands()
    {
        FlashDataMap image = BaseImage();
        image.Lod = 2;
        StoreImage(image);
        QCOMPARE(WriteFlashDataMap(), WriteResult::Done);
        QCOMPARE(UpdateCalls(), 1);
        QCOMPARE(HidSim::StoredImage(kCableMouse), AsStoredByMouse(Bytes(image)));
    }

    // A refused image is taken back: the image holds the mouse's bytes again,
    // with one notice; the quiet send says nothing.
    void aRefusedWriteIsTakenBack_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::newRow("shown") << false;
        QTest::newRow("quiet") << true;
    }

    void aRefusedWriteIsTakenBack()
    {
        QFETCH(bool, quiet);
        QVERIFY(TestSupport::OpenAsCurrentDevice(kCableMouse));
        QVERIFY(HidSim::WaitUntilIdle());
        const QByteArray stored = HidSim::StoredImage(kCableMouse);
        QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
        QVERIFY(HidSim::FailNextWrites(kCableMouse));
        const WriteResult result = WriteImageChange([](FlashDataMap &image) { image.Lod ^= 1; },
                                                    quiet ? WriteNotice::Quiet : WriteNotice::Shown);
        QCOMPARE(result, WriteResult::Refused);
        QCOMPARE(Bytes(ReadImage()).left(HidSim::kImageSize), stored);
        QCOMPARE(HidSim::StoredImage(kCableMouse), stored);
        QCOMPARE(notices.count(), quiet ? 0 : 1);
    }

    // Before the connection's dump is in, a change is held and a read asked
    // for; the dump takes it, and the mouse gets the image once.
    void aChangeBeforeTheDumpIsHeldAndArrivesWithIt()
    {
        QVERIFY(TestSupport::OpenAsCurrentDevice(kCableMouse));
        QVERIFY(HidSim::WaitUntilIdle());
        const QByteArray stored = HidSim::StoredImage(kCableMouse);
        ForgetProfileImage();  // as after a profile switch, with no read asked
        ResetLogs();
        QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);

        QCOMPARE(WriteLod(stored.at(0x005) == 2 ? 1 : 2), WriteResult::NotYetRead);
        QCOMPARE(WriteDebounceTime(7), WriteResult::NotYetRead);
        QCOMPARE(HeldChangeCount(), 2);
        QCOMPARE(UpdateCalls(), 0);
        QCOMPARE(int(HidSim::CallsOf(QStringLiteral("UsbServer_ReadAllFlashData")).size()), 1);

        QVERIFY(TestSupport::WaitFor([] { return ImageIsDevicesOwn(); }));
        QVERIFY(HidSim::WaitUntilIdle());
        QCOMPARE(HeldChangeCount(), 0);
        QCOMPARE(UpdateCalls(), 1);
        QCOMPARE(ChangedOffsets(stored, HidSim::StoredImage(kCableMouse)), (QList<int>{0x005, 0x006}));
        QCOMPARE(HidSim::StoredImage(kCableMouse), Bytes(ReadImage()).left(HidSim::kImageSize));
        QCOMPARE(notices.count(), 0);
    }

    // A read that ends without a dump: the held change goes, with one notice.
    void aReadWithoutADumpDropsTheHeldChange()
    {
        QVERIFY(TestSupport::OpenAsCurrentDevice(kCableMouse));
        QVERIFY(HidSim::WaitUntilIdle());
        const QByteArray stored = HidSim::StoredImage(kCableMouse);
        ForgetProfileImage();
        QVERIFY(HidSim::GarbageNextDumps(kCableMouse, 2));
        QSignalSpy notices(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);

        QCOMPARE(WriteDebounceTime(7), WriteResult::NotYetRead);
        QVERIFY(TestSupport::WaitFor([&notices] { return notices.count() == 1; }));
        QVERIFY(HidSim::WaitUntilIdle());
        QCOMPARE(HeldChangeCount(), 0);
        QCOMPARE(HidSim::StoredImage(kCableMouse), stored);
        QCOMPARE(notices.count(), 1);
    }
};

VOGM_TEST_MAIN(TestWriters)
#include "tst_writers.moc"
