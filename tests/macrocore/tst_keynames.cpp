// The key vocabulary: names, codes, kinds, virtual keys, the comparison
// order that decides between a key and a mouse button of the same name, and
// the key names of combination texts.

#include "keynames.h"
#include "testsupport.h"

#include <QtTest>
#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

void SetMouseNames(const QString &left, const QString &right, const QString &middle, const QString &back,
                   const QString &forward)
{
    g_MouseLeftName = left;
    g_MouseRightName = right;
    g_MouseMiddleName = middle;
    g_MouseBackName = back;
    g_MouseForwardName = forward;
}

const QString kRightArrow = QString(QChar(0x2192));

}  // namespace

class TestKeyNames : public QObject
{
    Q_OBJECT
private slots:
    void init() { SetMouseNames("Left", "Right", "Middle", "Back", "Forward"); }

    void virtualKeys_data();
    void virtualKeys();
    void nameToCodeAndEvent_data();
    void nameToCodeAndEvent();
    void mouseNamesYieldToEarlierKeyNames_data();
    void mouseNamesYieldToEarlierKeyNames();
    void emptyNameNeedsNoMouseNames();
    void codeTextToName_data();
    void codeTextToName();
    void deviceCodeToName_data();
    void deviceCodeToName();
    void everyNameSurvivesCodeAndEvent();
    void combinationTexts_data();
    void combinationTexts();
};

void TestKeyNames::virtualKeys_data()
{
    QTest::addColumn<int>("vk");
    QTest::addColumn<std::optional<QString>>("name");
    QTest::newRow("A") << 65 << std::optional<QString>("A");
    QTest::newRow("digit 0") << 48 << std::optional<QString>("0");
    QTest::newRow("Enter") << 13 << std::optional<QString>("Enter");
    QTest::newRow("Space") << 32 << std::optional<QString>("Space");
    QTest::newRow("APPs") << 93 << std::optional<QString>("APPs");
    QTest::newRow("keypad point") << 110 << std::optional<QString>("Num.");
    QTest::newRow("right arrow") << 39 << std::optional<QString>(kRightArrow);
    QTest::newRow("F12") << 123 << std::optional<QString>("F12");
    QTest::newRow("LShift") << 160 << std::optional<QString>("LShift");
    QTest::newRow("RAlt") << 165 << std::optional<QString>("RAlt");
    QTest::newRow("Clear has the empty name") << 12 << std::optional<QString>(QString());
    QTest::newRow("no entry") << 226 << std::optional<QString>();
    QTest::newRow("zero") << 0 << std::optional<QString>();
}

void TestKeyNames::virtualKeys()
{
    QFETCH(int, vk);
    QFETCH(std::optional<QString>, name);
    QCOMPARE(KeyNames::VirtualKeyName(vk), name);
}

void TestKeyNames::nameToCodeAndEvent_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("codeText");
    QTest::addColumn<int>("eventKind");
    QTest::addColumn<int>("eventCode");  // the event's code before is 0x77
    QTest::newRow("LShift") << "LShift" << QStringList{"0x02", "0"} << 0 << 0x02;
    QTest::newRow("RWin") << "RWin" << QStringList{"0x80", "0"} << 0 << 0x80;
    QTest::newRow("A") << "A" << QStringList{"0x04", "1"} << 1 << 0x04;
    QTest::newRow("Num.") << "Num." << QStringList{"0x63", "1"} << 1 << 0x63;
    QTest::newRow("right arrow") << kRightArrow << QStringList{"0x4F", "1"} << 1 << 0x4F;
    QTest::newRow("F12") << "F12" << QStringList{"0x45", "1"} << 1 << 0x45;
    QTest::newRow("empty name") << "" << QStringList{"0x00", "1"} << 1 << 0x00;
    QTest::newRow("left button") << "Left" << QStringList{"0x01", "4"} << 4 << 0x01;
    QTest::newRow("forward button") << "Forward" << QStringList{"0x10", "4"} << 4 << 0x10;
    QTest::newRow("Shift is no name") << "Shift" << QStringList{} << 1 << 0x77;
    QTest::newRow("case matters") << "a" << QStringList{} << 1 << 0x77;
}

void TestKeyNames::nameToCodeAndEvent()
{
    QFETCH(QString, name);
    QFETCH(QStringList, codeText);
    QFETCH(int, eventKind);
    QFETCH(int, eventCode);
    QCOMPARE(KeyNames::KeyNameToHexCode(name), codeText);

    MacroRecord record = EmptyMacroRecord();
    record.Events[3].Kind = 9;
    record.Events[3].Code = 0x77;
    record.Events[3].Action = 1;
    record.Events[3].Delay = 55;
    KeyNames::KeyNameToEvent(name, 3, record);
    QCOMPARE(int(record.Events[3].Kind), eventKind);
    QCOMPARE(int(record.Events[3].Code), eventCode);
    QCOMPARE(int(record.Events[3].Action), 1);
    QCOMPARE(int(record.Events[3].Delay), 55);
}

void TestKeyNames::mouseNamesYieldToEarlierKeyNames_data()
{
    QTest::addColumn<QString>("leftName");
    QTest::addColumn<QStringList>("codeText");
    QTest::newRow("A is the key") << "A" << QStringList{"0x04", "1"};
    QTest::newRow("LCtrl is the modifier") << "LCtrl" << QStringList{"0x01", "0"};
    QTest::newRow("F5 is the key") << "F5" << QStringList{"0x3E", "1"};
}

void TestKeyNames::mouseNamesYieldToEarlierKeyNames()
{
    QFETCH(QString, leftName);
    QFETCH(QStringList, codeText);
    g_MouseLeftName = leftName;
    QCOMPARE(KeyNames::KeyNameToHexCode(leftName), codeText);
}

void TestKeyNames::emptyNameNeedsNoMouseNames()
{
    SetMouseNames({}, {}, {}, {}, {});
    QCOMPARE(KeyNames::KeyNameToHexCode(QString()), (QStringList{"0x00", "1"}));
    // A mouse event read back before any language file shows the empty name.
    QCOMPARE(KeyNames::HexCodeToKeyName("0x01", 4), QString());
}

void TestKeyNames::codeTextToName_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("modifier") << "0x02" << 0 << "LShift";
    QTest::newRow("0x02 is no keyboard key") << "0x02" << 1 << "";
    QTest::newRow("right button") << "0x02" << 4 << "Right";
    QTest::newRow("LAlt") << "0x04" << 0 << "LAlt";
    QTest::newRow("A") << "0x04" << 1 << "A";
    QTest::newRow("middle button") << "0x04" << 4 << "Middle";
    QTest::newRow("back button") << "0x08" << 4 << "Back";
    QTest::newRow("F1 after the mouse names") << "0x3A" << 1 << "F1";
    QTest::newRow("one digit") << "0x4" << 1 << "";
    QTest::newRow("lower case") << "0x0a" << 1 << "";
    QTest::newRow("upper case") << "0x0A" << 1 << "G";
    QTest::newRow("empty name") << "0x00" << 1 << "";
    QTest::newRow("keypad Enter is unnamed") << "0x58" << 1 << "";
    QTest::newRow("other kind") << "0x04" << 2 << "";
    QTest::newRow("no prefix") << "04" << 1 << "";
}

void TestKeyNames::codeTextToName()
{
    QFETCH(QString, code);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QCOMPARE(KeyNames::HexCodeToKeyName(code, kind), name);
}

void TestKeyNames::deviceCodeToName_data()
{
    QTest::addColumn<int>("usage");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("0x40 keyboard") << 0x40 << 1 << "F7";
    QTest::newRow("0x40 modifier") << 0x40 << 0 << "RAlt";
    QTest::newRow("0x40 other kind") << 0x40 << 4 << "F7";
    QTest::newRow("0x20 other kind") << 0x20 << 4 << "";
    QTest::newRow("0x20 modifier") << 0x20 << 0 << "RShift";
    QTest::newRow("0x10 keyboard") << 0x10 << 1 << "M";
    QTest::newRow("keypad Enter") << 0x58 << 1 << "Enter";
    QTest::newRow("LAlt") << 0x04 << 0 << "LAlt";
    QTest::newRow("A") << 0x04 << 1 << "A";
    QTest::newRow("LCtrl any kind") << 0x01 << 1 << "LCtrl";
    QTest::newRow("RWin any kind") << 0x80 << 2 << "RWin";
    QTest::newRow("Num3 any kind") << 0x5B << 0 << "Num3";
    QTest::newRow("unnamed usage") << 0x64 << 1 << "";
    QTest::newRow("beyond a byte") << 0x104 << 1 << "";
}

void TestKeyNames::deviceCodeToName()
{
    QFETCH(int, usage);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QCOMPARE(KeyNames::CodeToKeyName(usage, kind), name);
}

void TestKeyNames::everyNameSurvivesCodeAndEvent()
{
    const QStringList mouseNames = {"Left", "Right", "Middle", "Back", "Forward"};
    QCOMPARE(KeyNames::MouseCodeToName(1), QString("Left"));
    QCOMPARE(KeyNames::MouseCodeToName(16), QString("Forward"));
    QCOMPARE(KeyNames::MouseCodeToName(3), QString());

    const QStringList names = KeyNames::AllKeyNames() + mouseNames;
    // letters, digits, F-keys, the other keys, the empty name, modifiers, mouse buttons
    QCOMPARE(names.size(), 26 + 10 + 12 + 47 + 1 + 8 + 5);
    QStringList problems;
    for (const QString &name : names) {
        const QStringList code = KeyNames::KeyNameToHexCode(name);
        if (code.size() != 2 || KeyNames::HexCodeToKeyName(code[0], code[1].toInt()) != name)
            problems << "file code of " + name;

        MacroRecord record = EmptyMacroRecord();
        KeyNames::KeyNameToEvent(name, 0, record);
        const MacroEvent event = record.Events[0];
        const QString back = event.Kind == kKindMouse ? KeyNames::MouseCodeToName(event.Code)
                                                      : KeyNames::CodeToKeyName(event.Code, event.Kind);
        if (back != name)
            problems << "record event of " + name;
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void TestKeyNames::combinationTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("Ctrl+Num+") << "Ctrl+Num+" << QStringList{"Ctrl", "Num+"};
    QTest::newRow("Num++A") << "Num++A" << QStringList{"Num+", "A"};
    QTest::newRow("Num+ alone") << "Num+" << QStringList{"Num+"};
    QTest::newRow("Num+ before a name is Num") << "Num+A" << QStringList{"Num", "A"};
    QTest::newRow("Num++ ends in an empty name") << "Num++" << QStringList{"Num+", ""};
    QTest::newRow("A+B+C") << "A+B+C" << QStringList{"A", "B", "C"};
    QTest::newRow("A+") << "A+" << QStringList{"A", ""};
    QTest::newRow("+") << "+" << QStringList{"", ""};
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("Shift+Ctrl+Z") << "Shift+Ctrl+Z" << QStringList{"Shift", "Ctrl", "Z"};
    QTest::newRow("more than three keys") << "NumLock+Num1+Num++Enter"
                                          << QStringList{"NumLock", "Num1", "Num+", "Enter"};
    QTest::newRow("other names ending in plus are split") << "A++B" << QStringList{"A", "", "B"};
}

// Every text without "Num+" splits at each "+", as it always did.
void TestKeyNames::combinationTexts()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QCOMPARE(KeyNames::SplitCombination(text), names);
    if (!text.contains("Num+"))
        QCOMPARE(KeyNames::SplitCombination(text), text.split('+'));
}

VOGM_TEST_MAIN(TestKeyNames)
#include "tst_keynames.moc"
