// The button page's model without any widget: what it holds after a load, a
// reset and an assignment, the left-button guard, the rows of a macro (by
// entry and record, whatever the names look like), and the captions a
// function names from the page's texts.

#include "buttonassignments.h"
#include "buttonfunction.h"
#include "keyrecord.h"
#include "macrorecord.h"

#include <QtTest>
#include <cstring>

Q_DECLARE_METATYPE(Function)

namespace {

MacroRecord NamedRecord(const QString &name, int events)
{
    MacroRecord record = EmptyMacroRecord();
    const QByteArray bytes = MacroRecordNameBytes(name);
    std::memcpy(record.Name, bytes.constData(), size_t(bytes.size()));
    record.NameLength = uint8_t(bytes.size());
    record.Count = uint8_t(events);
    return record;
}

// An image whose device button b holds entry b of `entries`.
FlashDataMap ImageWith(std::initializer_list<KeyEntry> entries)
{
    FlashDataMap image{};
    int device = 0;
    for (const KeyEntry &entry : entries)
        image.Keys[device++] = entry;
    return image;
}

void PutMacro(FlashDataMap &image, int device, const QString &name)
{
    const MacroRecordBytes bytes = StoreRecord(NamedRecord(name, 2));
    std::memcpy(image.Macros[device], bytes.data(), kMacroRecordSize);
}

CaptionTexts Texts()
{
    CaptionTexts texts;
    texts.plain.insert(qMakePair(1, 1), "Left button");
    texts.plain.insert(qMakePair(1, 2), "Right button");
    texts.plain.insert(qMakePair(2, 1), "DPI cycle");
    texts.plain.insert(qMakePair(4, CaptionTexts::kAnyParam), "Fire key");
    texts.plain.insert(qMakePair(0, CaptionTexts::kAnyParam), "None");
    texts.media.insert(0x83, "Player");
    texts.dpiLock = "DPI lock";
    texts.macroPrefix = "Macro-";
    texts.keysCaption = [](const KeyRecord &keys) { return QString("%1 keys").arg(keys.Count / 2); };
    texts.dpiValueOfCode = [](int code) { return (code + 1) * 50; };
    return texts;
}

}  // namespace

class TestButtonAssignments : public QObject
{
    Q_OBJECT
private slots:
    void loadHoldsTheModelsButtons();
    void resetGivesTheFactoryFunctionsAndNoSettings();
    void assignKeepsEntryAndRecordsOfTheRowsButton();
    void leftGuard_data();
    void leftGuard();
    void macroRowsAreFoundByEntryAndRecord();
    void renamedRecordKeepsItsEvents();
    void captions_data();
    void captions();
};

void TestButtonAssignments::loadHoldsTheModelsButtons()
{
    ButtonAssignments model;
    QVERIFY(!model.HoldsSettings());
    QVERIFY(!model.FunctionOfRow(0));

    FlashDataMap image = ImageWith({{1, 1, 0}, {11, 2, 0}, {4, 20, 5}, {10, 7, 0}, {6, 4, 254}, {5, 0, 0}});
    image.ReportRate = 0x20;
    model.Load(image, 5);
    QVERIFY(model.HoldsSettings());
    QCOMPARE(model.KeyCount(), 5);
    QCOMPARE(model.Types(), (QVector<int>{1, 11, 4, 10, 6}));
    QCOMPARE(model.Params1(), (QVector<int>{1, 2, 20, 7, 4}));
    QCOMPARE(model.Params2(), (QVector<int>{0, 0, 5, 0, 254}));
    QCOMPARE(model.Image().ReportRate, uint8_t(0x20));
    // Row 6 stands for device button 5, which this model does not have.
    QVERIFY(!model.Entry(5));
    QVERIFY(!model.FunctionOfRow(5));
    // Rows 4 and 5 carry device buttons 4 and 3.
    QCOMPARE(model.FunctionOfRow(3)->kind(), Function::Kind::Macro);
    QCOMPARE(model.FunctionOfRow(4)->kind(), Function::Kind::DpiLock);

    model.Load(image, 40);  // a configuration beyond the image's buttons
    QCOMPARE(model.KeyCount(), kKeyCount);
}

void TestButtonAssignments::resetGivesTheFactoryFunctionsAndNoSettings()
{
    ButtonAssignments model;
    FlashDataMap image = ImageWith({{6, 0, 1}, {6, 1, 1}, {6, 2, 1}, {6, 3, 1}, {6, 4, 1}, {6, 5, 1}});
    PutMacro(image, 0, "Old");
    model.Load(image, 16);
    model.Reset();
    QVERIFY(!model.HoldsSettings());
    QCOMPARE(model.Types(), (QVector<int>{1, 1, 1, 1, 1, 2}));
    QCOMPARE(model.Params1(), (QVector<int>{1, 2, 4, 8, 16, 1}));
    QCOMPARE(model.Params2(), (QVector<int>(6, 0)));
    QVERIFY(model.DevicesOfMacro("Old").isEmpty());
    QCOMPARE(*model.FunctionOfRow(0)->Caption(Texts()), QString("Left button"));
    QCOMPARE(*model.FunctionOfRow(5)->Caption(Texts()), QString("DPI cycle"));
}

void TestButtonAssignments::assignKeepsEntryAndRecordsOfTheRowsButton()
{
    ButtonAssignments model;
    FlashDataMap image{};
    std::memset(image.KeySequences[4], 0xAB, kKeySequenceSize);
    model.Load(image, 6);

    // Row 4 is device button 4; a plain function leaves the key record as it is.
    model.Assign(3, Function::Plain(3, 1));
    QCOMPARE(model.Entry(4)->Type, uint8_t(3));
    QCOMPARE(model.Image().KeySequences[4][0], uint8_t(0xAB));
    // ... unless it is restored in place of a macro: the key record goes.
    model.Assign(3, Function::Plain(1, 8).ClearingKeyRecord());
    QCOMPARE(model.Image().KeySequences[4][0], uint8_t(0));

    const KeyRecord media = MediaKeyRecord(0x183);
    model.Assign(4, Function::Keys(media));  // row 5 is device button 3
    QCOMPARE(model.Entry(3)->Type, uint8_t(5));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(model.Image().KeySequences[3]), kKeySequenceSize),
             QByteArray(reinterpret_cast<const char *>(StoreKeyRecord(media).data()), kKeySequenceSize));

    model.Assign(5, Function::Macro(5, NamedRecord("M", 4), 300));
    QCOMPARE(model.Params1().at(5), 5);
    QCOMPARE(model.Params2().at(5), 300 % 256);  // the mouse holds a byte
    QCOMPARE(model.DevicesOfMacro("M"), QList<int>{5});
    QCOMPARE(model.Image().Macros[5][31], uint8_t(4));

    // A button the model did not hold joins the held ones.
    ButtonAssignments empty;
    empty.Assign(2, Function::Plain(7, 0));
    QCOMPARE(empty.Types(), (QVector<int>{0, 0, 7}));
    QVERIFY(!empty.HoldsSettings());
}

void TestButtonAssignments::leftGuard_data()
{
    QTest::addColumn<int>("leftRows");  // bit r: row r holds the left button
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("refused");
    QTest::newRow("the only left row") << 0b000001 << 0 << true;
    QTest::newRow("another row") << 0b000001 << 1 << false;
    QTest::newRow("two left rows") << 0b100001 << 5 << false;
    QTest::newRow("only left on crossed row 4") << 0b001000 << 3 << true;
    QTest::newRow("no left row") << 0 << 0 << false;
}

void TestButtonAssignments::leftGuard()
{
    QFETCH(int, leftRows);
    QFETCH(int, row);
    QFETCH(bool, refused);
    FlashDataMap image{};
    for (int r = 0; r < ButtonAssignments::kRows; ++r) {
        const int device = ButtonAssignments::DeviceOfRow(r);
        // The other rows hold other mouse buttons and a left click in a key record.
        image.Keys[device] = (leftRows >> r) & 1 ? KeyEntry{1, 1, 0} : KeyEntry{1, 2, 0};
    }
    ButtonAssignments model;
    model.Load(image, 6);
    QCOMPARE(model.IsOnlyLeftButtonRow(row), refused);
}

void TestButtonAssignments::macroRowsAreFoundByEntryAndRecord()
{
    // Device 0 holds the left button but still carries an old record named
    // "Left button"; devices 2 and 3 play a macro of that name; device 5 plays "Other".
    FlashDataMap image = ImageWith({{1, 1, 0}, {1, 2, 0}, {6, 2, 1}, {6, 3, 253}, {1, 16, 0}, {6, 5, 1}});
    PutMacro(image, 0, "Left button");
    PutMacro(image, 2, "Left button");
    PutMacro(image, 3, "Left button");
    PutMacro(image, 5, "Other");
    ButtonAssignments model;
    model.Load(image, 6);

    // Row order: device 3 is row 5, after device 4 (row 4).
    QCOMPARE(model.DevicesOfMacro("Left button"), (QList<int>{2, 3}));
    QCOMPARE(model.DevicesOfMacro("Other"), QList<int>{5});
    QVERIFY(model.DevicesOfMacro("Macro-Other").isEmpty());
    QVERIFY(model.DevicesOfMacro("").isEmpty());
    // The caption text of the left button names no macro row, and the macro
    // rows are no left rows: row 1 is the only one.
    QVERIFY(model.IsOnlyLeftButtonRow(0));
    QCOMPARE(model.FunctionOfRow(2)->MacroName(), QString("Left button"));
    QCOMPARE(model.FunctionOfRow(0)->MacroName(), QString());

    // A button the model does not hold is no row of the macro.
    model.Load(image, 3);
    QCOMPARE(model.DevicesOfMacro("Left button"), QList<int>{2});
}

void TestButtonAssignments::renamedRecordKeepsItsEvents()
{
    MacroRecord record = NamedRecord("A long macro name", 3);
    record.Events[2].Delay = 500;
    const MacroRecordBytes renamed = ButtonAssignments::Renamed(StoreRecord(record).data(), QString("B") + QChar(0));
    const MacroRecord back = LoadRecord(renamed.data());
    QCOMPARE(back.NameLength, uint8_t(1));
    QCOMPARE(Function::MacroNameOf(renamed.data()), QString("B"));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(back.Name), kMacroNameBytes),
             QByteArray("B") + QByteArray(kMacroNameBytes - 1, '\0'));
    QCOMPARE(back.Count, uint8_t(3));
    QCOMPARE(back.Events[2].Delay, uint32_t(500));
}

void TestButtonAssignments::captions_data()
{
    QTest::addColumn<Function>("function");
    QTest::addColumn<QString>("caption");  // "-" for none: the row keeps its caption
    QTest::newRow("mouse button") << Function::Plain(1, 2) << "Right button";
    QTest::newRow("unknown param") << Function::Plain(1, 32) << "-";
    QTest::newRow("type above 11") << Function::Plain(12, 0) << "-";
    QTest::newRow("fire key any values") << Function::FireKey(200, 9) << "Fire key";
    QTest::newRow("none any param") << Function::Plain(0, 7) << "None";
    QTest::newRow("media by low byte") << Function::Keys(MediaKeyRecord(0x283)) << "Player";
    QTest::newRow("media unknown") << Function::Keys(MediaKeyRecord(0x199)) << "-";
    QTest::newRow("combination") << Function::Keys(KeyRecord{4, {}, {}}) << "2 keys";
    QTest::newRow("macro") << Function::Macro(3, NamedRecord("Left button", 1), 1) << "Macro-Left button";
    QTest::newRow("DPI lock chosen") << Function::DpiLock(10, 500) << "DPI lock-500";
    QTest::newRow("DPI lock read back") << Function::DpiLock(7, 0) << "DPI lock-400";
}

void TestButtonAssignments::captions()
{
    QFETCH(Function, function);
    QFETCH(QString, caption);
    const std::optional<QString> named = function.Caption(Texts());
    QCOMPARE(named.value_or("-"), caption);
}

QTEST_APPLESS_MAIN(TestButtonAssignments)
#include "tst_buttonassignments.moc"
