// The button page's codings without a page: combination texts and media keys
// into key records, stored codes back to display names, key names into macro
// events, and DPI values to sensor codes and back.

#include "buttoninterface.h"
#include "keynames.h"
#include "keyrecord.h"
#include "testsupport.h"

#include <QtTest>

namespace {

struct Event {
    int action;
    int kind;
    int code;
};

// The 52 bytes of a record with `count` and these events (delay 10 each).
QByteArray RecordBytes(int count, const QList<Event> &events)
{
    QByteArray bytes(kKeySequenceSize, '\0');
    bytes[0] = char(count);
    for (int i = 0; i < events.size(); ++i) {
        const int at = 4 + 8 * i;
        bytes[at] = char(events[i].action);
        bytes[at + 1] = char(events[i].kind);
        bytes[at + 2] = char(events[i].code & 0xFF);
        bytes[at + 3] = char(events[i].code >> 8);
        bytes[at + 4] = char(10);
    }
    return bytes;
}

QByteArray BytesOf(const KeyRecord &record)
{
    const KeyRecordBytes bytes = StoreKeyRecord(record);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

QByteArray Hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace('|', ' ').replace(' ', ""));
}

}  // namespace

class TestButtonCodes : public QObject
{
    Q_OBJECT
private slots:
    void recordBytes();
    void textToRecord_data();
    void textToRecord();
    void codeToName_data();
    void codeToName();
    void everyKeyNameRoundTrips();
    void macroKeyNames_data();
    void macroKeyNames();
    void dpiCodes_data();
    void dpiCodes();
};

void TestButtonCodes::recordBytes()
{
    QCOMPARE(BytesOf(Buttoninterface::ComboTextToKeyRecord("Ctrl+Shift+A")),
             Hex("06 00 00 00 | 00 00 01 00 0A 00 00 00 | 00 00 02 00 0A 00 00 00 | 00 01 04 00 0A 00 00 00 |"
                 "01 01 04 00 0A 00 00 00 | 01 00 02 00 0A 00 00 00 | 01 00 01 00 0A 00 00 00"));
    QCOMPARE(BytesOf(MediaKeyRecord(0x183)),
             Hex("02 00 00 00 | 00 02 83 01 0A 00 00 00 | 01 02 83 01 0A 00 00 00") + QByteArray(32, '\0'));
}

void TestButtonCodes::textToRecord_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("kept");
    const int A = 0x04;
    QTest::newRow("one key") << "A" << RecordBytes(2, {{0, 1, A}, {1, 1, A}}) << "A";
    QTest::newRow("empty text: one key of code 0") << "" << RecordBytes(2, {{0, 1, 0}, {1, 1, 0}}) << "";
    QTest::newRow("empty second part") << "A+" << RecordBytes(4, {{0, 1, A}, {0, 1, 0}, {1, 1, 0}, {1, 1, A}})
                                       << "A+";
    QTest::newRow("F") << "F" << RecordBytes(2, {{0, 1, 0x09}, {1, 1, 0x09}}) << "F";
    QTest::newRow("Esc") << "Esc" << RecordBytes(2, {{0, 1, 0x29}, {1, 1, 0x29}}) << "Esc";
    QTest::newRow("lower-case letter") << "a" << RecordBytes(2, {{0, 1, 0}, {1, 1, 0}}) << "a";
    QTest::newRow("lower-case modifier") << "ctrl" << RecordBytes(2, {{0, 1, 0}, {1, 1, 0}}) << "ctrl";
    QTest::newRow("left-hand modifier names are no combination keys")
        << "LCtrl+F12" << RecordBytes(4, {{0, 1, 0}, {0, 1, 0x45}, {1, 1, 0x45}, {1, 1, 0}}) << "LCtrl+F12";
    QTest::newRow("Win, arrow and keypad") << QString::fromUtf8("Win+→+Num3")
                                           << RecordBytes(6, {{0, 0, 0x08}, {0, 1, 0x4F}, {0, 1, 0x5B},
                                                              {1, 1, 0x5B}, {1, 1, 0x4F}, {1, 0, 0x08}})
                                           << QString::fromUtf8("Win+→+Num3");
    QTest::newRow("four parts keep three") << "A+B+C+D"
                                           << RecordBytes(6, {{0, 1, A}, {0, 1, 0x05}, {0, 1, 0x06}, {1, 1, 0x06},
                                                              {1, 1, 0x05}, {1, 1, A}})
                                           << "A+B+C";
    // Keypad plus is a name that ends in "+".
    const int plus = 0x57;
    QTest::newRow("Ctrl+Num+") << "Ctrl+Num+"
                               << RecordBytes(4, {{0, 0, 1}, {0, 1, plus}, {1, 1, plus}, {1, 0, 1}}) << "Ctrl+Num+";
    QTest::newRow("Num++A") << "Num++A"
                            << RecordBytes(4, {{0, 1, plus}, {0, 1, A}, {1, 1, A}, {1, 1, plus}}) << "Num++A";
    QTest::newRow("Num+ before another key") << "Num+A"
                                             << RecordBytes(4, {{0, 1, 0}, {0, 1, A}, {1, 1, A}, {1, 1, 0}})
                                             << "Num+A";
    QTest::newRow("lone plus: two empty keys") << "+" << RecordBytes(4, {{0, 1, 0}, {0, 1, 0}, {1, 1, 0}, {1, 1, 0}})
                                               << "+";
    QTest::newRow("four keys, the last keypad plus") << "NumLock+Num1+Num++Enter"
                                                     << RecordBytes(6, {{0, 1, 0x53}, {0, 1, 0x59}, {0, 1, plus},
                                                                        {1, 1, plus}, {1, 1, 0x59}, {1, 1, 0x53}})
                                                     << "NumLock+Num1+Num+";
    QTest::newRow("many parts") << "Ctrl+Alt+Shift+Win+A+B+C"
                                << RecordBytes(6, {{0, 0, 1}, {0, 0, 4}, {0, 0, 2}, {1, 0, 2}, {1, 0, 4}, {1, 0, 1}})
                                << "Ctrl+Alt+Shift";
}

void TestButtonCodes::textToRecord()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QFETCH(QString, kept);
    QCOMPARE(BytesOf(Buttoninterface::ComboTextToKeyRecord(text)), expected);
    QCOMPARE(Buttoninterface::ComboTextKept(text), kept);
}

void TestButtonCodes::codeToName_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("0x20 modifier") << 0x20 << 0 << "Shift";
    QTest::newRow("0x20 keyboard") << 0x20 << 1 << "3";
    QTest::newRow("0x20 consumer") << 0x20 << 2 << "";
    QTest::newRow("0x10 modifier") << 0x10 << 0 << "Ctrl";
    QTest::newRow("0x10 keyboard") << 0x10 << 1 << "M";
    QTest::newRow("0x10 other kind") << 0x10 << 7 << "M";
    QTest::newRow("0x04 modifier") << 0x04 << 0 << "Alt";
    QTest::newRow("0x04 consumer") << 0x04 << 2 << "";
    QTest::newRow("0x40 modifier") << 0x40 << 0 << "Alt";
    QTest::newRow("0x40 keyboard") << 0x40 << 1 << "F7";
    QTest::newRow("0x08 modifier") << 0x08 << 0 << "Win";
    QTest::newRow("0x80 any kind") << 0x80 << 1 << "Win";
    QTest::newRow("0x01 any kind") << 0x01 << 1 << "Ctrl";
    QTest::newRow("keypad Enter") << 0x58 << 1 << "Enter";
    QTest::newRow("Enter") << 0x28 << 1 << "Enter";
    QTest::newRow("0x64 unnamed") << 0x64 << 1 << "";
    QTest::newRow("0x00") << 0x00 << 1 << "";
    QTest::newRow("Num3") << 0x5B << 1 << "Num3";
    QTest::newRow("BackSpace whatever the kind") << 0x2A << 0 << "BackSpace";
    QTest::newRow("left arrow") << 0x50 << 1 << QString::fromUtf8("←");
    QTest::newRow("F12") << 0x45 << 1 << "F12";
    QTest::newRow("above the table") << 0x66 << 1 << "";
}

void TestButtonCodes::codeToName()
{
    QFETCH(int, code);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QCOMPARE(Buttoninterface::KeyCodeToName(code, kind), name);
}

void TestButtonCodes::everyKeyNameRoundTrips()
{
    // Mouse names must not take the place of keyboard names in combinations.
    g_MouseLeftName = "F5";
    int keys = 0;
    for (const QString &name : KeyNames::AllKeyNames()) {
        if (name.isEmpty() || !KeyNames::KeyboardUsage(name))
            continue;
        // One key ("Num+" cannot stand in a combination text, which splits at "+").
        const KeyRecord record = Buttoninterface::KeyNameToEvents(name, 0, 1, EmptyKeyRecord());
        QCOMPARE(Buttoninterface::KeyCodeToName(record.Events[0].Code & 0xFF, record.Events[0].Kind), name);
        QCOMPARE(record.Events[1].Code, record.Events[0].Code);
        ++keys;
    }
    QCOMPARE(keys, 95);  // 83 keys and F1 to F12
    for (const char *modifier : {"Ctrl", "Shift", "Alt", "Win"}) {
        const KeyRecord record = Buttoninterface::KeyNameToEvents(modifier, 0, 1, EmptyKeyRecord());
        QCOMPARE(int(record.Events[0].Kind), 0);
        QCOMPARE(Buttoninterface::KeyCodeToName(record.Events[0].Code, record.Events[0].Kind), QString(modifier));
    }
    g_MouseLeftName.clear();
}

void TestButtonCodes::macroKeyNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mouseLeft");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("code");
    const int kept = 0x5A5;
    QTest::newRow("right Ctrl") << "RCtrl" << "" << 0 << 0x10;
    QTest::newRow("plain Ctrl is no macro key") << "Ctrl" << "" << 1 << kept;
    QTest::newRow("empty name, no mouse names") << "" << "" << 1 << 0;
    QTest::newRow("empty name, mouse names set") << "" << "Left" << 1 << 0;
    QTest::newRow("F") << "F" << "" << 1 << 0x09;
    QTest::newRow("left mouse button") << "Left" << "Left" << 4 << 0x01;
}

void TestButtonCodes::macroKeyNames()
{
    QFETCH(QString, name);
    QFETCH(QString, mouseLeft);
    QFETCH(int, kind);
    QFETCH(int, code);
    g_MouseLeftName = mouseLeft;
    MacroRecord record = EmptyMacroRecord();
    const int k = 69;
    record.Events[k] = MacroEvent{1, 7, 0x5A5, 1234};
    record.Events[k - 1] = MacroEvent{1, 7, 0x111, 99};

    Buttoninterface::MacroKeyNameToEvent(name, k, record);

    QCOMPARE(int(record.Events[k].Kind), kind);
    QCOMPARE(int(record.Events[k].Code), code);
    QCOMPARE(int(record.Events[k].Action), 1);
    QCOMPARE(record.Events[k].Delay, 1234u);
    QCOMPARE(int(record.Events[k - 1].Code), 0x111);
    g_MouseLeftName.clear();
}

void TestButtonCodes::dpiCodes_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<int>("value");  // -1: only the code is turned back
    QTest::addColumn<int>("code");  // the value's code
    QTest::addColumn<int>("back");  // the value that code gives back

    const QStringList none;
    QTest::newRow("plain 100") << "3395" << none << QList<int>() << 100 << 1 << 100;
    QTest::newRow("plain 1200") << "3395" << none << QList<int>() << 1200 << 23 << 1200;
    QTest::newRow("plain code 0") << "3395" << none << QList<int>() << -1 << 0 << 50;
    QTest::newRow("plain code 255") << "3395" << none << QList<int>() << -1 << 255 << 12800;
    QTest::newRow("no sensor name") << "" << QStringList{"SENSOR_3950_DPI_100"} << QList<int>{9} << 400 << 7 << 400;

    const QStringList ab12{"SENSOR_3950_DPI_400", "SENSOR_AB12_DPI_400", "SENSOR_AB12_DPI_800"};
    const QList<int> codes{3, 7, 0x0F};
    QTest::newRow("defined 400") << "AB12" << ab12 << codes << 400 << 7 << 400;
    QTest::newRow("defined 800") << "AB12" << ab12 << codes << 800 << 15 << 800;
    QTest::newRow("undefined 500 codes as value / 50") << "AB12" << ab12 << codes << 500 << 10 << 0;
    QTest::newRow("another sensor's code is not taken") << "AB12" << ab12 << codes << 100 << 2 << 0;
    QTest::newRow("sensor named with a capital I")
        << "PIXI" << QStringList{"SENSOR_PIXI_DPI_400"} << QList<int>{7} << 400 << 7 << 400;
}

void TestButtonCodes::dpiCodes()
{
    QFETCH(QString, sensor);
    QFETCH(QStringList, names);
    QFETCH(QList<int>, values);
    QFETCH(int, value);
    QFETCH(int, code);
    QFETCH(int, back);
    const QVector<QString> n = names.toVector();
    const QVector<int> v = values.toVector();
    if (value >= 0)
        QCOMPARE(Buttoninterface::DpiValueToCode(value, sensor, n, v), code);
    QCOMPARE(Buttoninterface::DpiCodeToValue(code, sensor, n, v), back);
}

VOGM_TEST_MAIN(TestButtonCodes)
#include "tst_buttoncodes.moc"
