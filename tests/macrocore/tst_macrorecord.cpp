// The device macro record: bytes built from an event list, the bounds of the
// record, and the event list read back from a record.

#include "keynames.h"
#include "macrorecord.h"
#include "testsupport.h"

#include <QTextCodec>
#include <QtTest>
#include <cstring>

Q_DECLARE_METATYPE(MacroItem)

namespace {

MacroItem Down(const QString &name)
{
    return MacroItem::Key(name, true);
}

MacroItem Up(const QString &name)
{
    return MacroItem::Key(name, false);
}

MacroItem Wait(const QString &text)
{
    return MacroItem{text, MacroItem::kDelayType};
}

// The 592 bytes from their leading part given as hexadecimal text, zeros after it.
QByteArray RecordBytes(const QByteArray &leadingHex)
{
    QByteArray bytes = QByteArray::fromHex(leadingHex);
    bytes.append(QByteArray(kMacroRecordSize - bytes.size(), '\0'));
    return bytes;
}

QByteArray BytesOf(const MacroRecord &record)
{
    const MacroRecordBytes bytes = StoreRecord(record);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// n key presses of "A" with a 10 ms delay between each two.
MacroItems Keys(int n)
{
    MacroItems items;
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            items << Wait("10ms");
        items << Down("A");
    }
    return items;
}

MacroRecord FilledRecord(uint8_t value)
{
    MacroRecord record;
    std::memset(&record, value, sizeof record);
    return record;
}

const QByteArray kNameM1 = "026d31" + QByteArray(28 * 2, '0');

}  // namespace

class TestMacroRecord : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void buildsRecordBytes_data();
    void buildsRecordBytes();
    void holdsAtMostSeventyEvents();
    void cutsTheNameAtAWholeCharacter_data();
    void cutsTheNameAtAWholeCharacter();
    void readsEventList_data();
    void readsEventList();
    void readsNameUpToTheFirstZeroByte();
    void bytesRoundTrip();
};

void TestMacroRecord::initTestCase()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestMacroRecord::init()
{
    g_MouseLeftName = "Left";
    g_MouseRightName = "Right";
    g_MouseMiddleName = "Middle";
    g_MouseBackName = "Back";
    g_MouseForwardName = "Forward";
}

void TestMacroRecord::buildsRecordBytes_data()
{
    QTest::addColumn<MacroItems>("items");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("A click") << MacroItems{Down("A"), Wait("20ms"), Up("A")}
                             << RecordBytes(kNameM1 + "02" "0001040014000000" "0101040000000000");
    QTest::newRow("left click") << MacroItems{Down("Left"), Wait("10ms"), Up("Left")}
                                << RecordBytes(kNameM1 + "02" "000401000a000000" "0104010000000000");
    QTest::newRow("long delay") << MacroItems{Down("A"), Wait("70000ms"), Up("RAlt")}
                                << RecordBytes(kNameM1 + "02" "0001040070110100" "0100400000000000");
    QTest::newRow("unknown name") << MacroItems{Down("Shift")} << RecordBytes(kNameM1 + "01" "0001000000000000");
    QTest::newRow("empty list") << MacroItems{} << RecordBytes(kNameM1 + "00");
}

void TestMacroRecord::buildsRecordBytes()
{
    QFETCH(MacroItems, items);
    QFETCH(QByteArray, bytes);
    MacroRecord record = FilledRecord(0xA5);
    QVERIFY(BuildMacroRecord("m1", items, &record));
    QCOMPARE(BytesOf(record).toHex(' '), bytes.toHex(' '));
}

void TestMacroRecord::holdsAtMostSeventyEvents()
{
    MacroRecord record = EmptyMacroRecord();
    QVERIFY(BuildMacroRecord("m", Keys(70), &record));
    QCOMPARE(int(record.Count), 0x46);
    QCOMPARE(int(record.Events[69].Code), 0x04);
    QCOMPARE(int(record.Events[68].Delay), 10);
    QCOMPARE(int(record.Events[69].Delay), 0);

    // 71 keys, or 70 keys with a trailing delay, would need a 71st event.
    for (const MacroItems &tooLong : {Keys(71), Keys(70) << Wait("10ms")}) {
        MacroRecord untouched = FilledRecord(0x5A);
        QVERIFY(!BuildMacroRecord("m", tooLong, &untouched));
        QCOMPARE(BytesOf(untouched), BytesOf(FilledRecord(0x5A)));
    }
}

void TestMacroRecord::cutsTheNameAtAWholeCharacter_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kept");
    const QString cjk = QString::fromUtf8("宏");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // 4 bytes, two UTF-16 units
    QTest::newRow("11 CJK keep 10") << cjk.repeated(11) << cjk.repeated(10);
    QTest::newRow("31 ASCII keep 30") << QString(31, 'a') << QString(30, 'a');
    QTest::newRow("pair over the end") << QString(28, 'a') + emoji << QString(28, 'a');
    QTest::newRow("pair fits") << QString(26, 'a') + emoji << QString(26, 'a') + emoji;
}

void TestMacroRecord::cutsTheNameAtAWholeCharacter()
{
    QFETCH(QString, name);
    QFETCH(QString, kept);
    MacroRecord record = EmptyMacroRecord();
    QVERIFY(BuildMacroRecord(name, {Down("A")}, &record));
    QCOMPARE(int(record.NameLength), kept.toUtf8().size());
    QCOMPARE(QByteArray(record.Name, record.NameLength), kept.toUtf8());
    QCOMPARE(ReadMacroRecord(record).name, kept);
    QCOMPARE(int(record.Count), 1);  // the byte after the name field is untouched by the name
}

void TestMacroRecord::readsEventList_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<MacroItems>("items");
    QTest::newRow("count 0") << 0 << MacroItems{};
    QTest::newRow("count 1") << 1 << MacroItems{Down("A")};
    QTest::newRow("count 3") << 3 << MacroItems{Down("A"), Wait("10ms"), Up("RAlt"), Wait("70000ms"), Down("Back")};
}

void TestMacroRecord::readsEventList()
{
    QFETCH(int, count);
    QFETCH(MacroItems, items);
    MacroRecord record = EmptyMacroRecord();
    record.Count = uint8_t(count);
    record.Events[0] = MacroEvent{0, kKindKeyboard, 0x04, 10};
    record.Events[1] = MacroEvent{1, kKindModifier, 0x40, 70000};
    record.Events[2] = MacroEvent{0, kKindMouse, 0x08, 0};
    QCOMPARE(ReadMacroRecord(record).items, items);
}

void TestMacroRecord::readsNameUpToTheFirstZeroByte()
{
    const QByteArray bytes = RecordBytes("05" "61620063640000" + QByteArray(23 * 2, '0') + "c8");
    const MacroRecord record = LoadRecord(reinterpret_cast<const uint8_t *>(bytes.constData()));
    const UploadedMacro macro = ReadMacroRecord(record);
    QCOMPARE(macro.name, QString("ab"));
    // Count 200: only the 70 event slots are read (zero events: "", delays 0).
    QCOMPARE(macro.items.size(), 70 + 69);
    QCOMPARE(macro.items.last(), Down(""));
    QCOMPARE(macro.items.at(1), Wait("0ms"));
}

void TestMacroRecord::bytesRoundTrip()
{
    QByteArray bytes(kMacroRecordSize, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 37 + 11) & 0xFF);
    const MacroRecord record = LoadRecord(reinterpret_cast<const uint8_t *>(bytes.constData()));
    QCOMPARE(BytesOf(record), bytes);
    // Event 0 at byte 32: the code is little-endian.
    QCOMPARE(int(record.Events[0].Code), (uchar(bytes[35]) << 8) | uchar(bytes[34]));
}

VOGM_TEST_MAIN(TestMacroRecord)
#include "tst_macrorecord.moc"
