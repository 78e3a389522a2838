// The macro file codec: the exact lines written, what the parser keeps and
// skips, whole-file writes and appends, and the checks on macro names.

#include "keynames.h"
#include "macrofile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

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

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

}  // namespace

class TestMacroFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void writesAndAppendsExactLines();
    void unknownNameIsWrittenAsTheEmptyName();
    void appendNeedsAnExistingFile();
    void writeIntoAFolderFails();
    void parser_data();
    void parser();
    void everyNameSurvivesWriteAndParse();
    void names_data();
    void names();
    void folderIsBelowTheUserFolder();

private:
    QTemporaryDir dir;
};

void TestMacroFile::initTestCase()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    QVERIFY(dir.isValid());
}

void TestMacroFile::init()
{
    g_MouseLeftName = "Left";
    g_MouseRightName = "Right";
    g_MouseMiddleName = "Middle";
    g_MouseBackName = "Back";
    g_MouseForwardName = "Forward";
}

void TestMacroFile::writesAndAppendsExactLines()
{
    const QString path = dir.filePath("m.ini");
    QVERIFY(MacroFile::Write(path, 254, {Down("A"), Wait("10ms"), Up("A")}));
    QCOMPARE(ReadAll(path), QByteArray("254\n0x04 1 0\n10ms\n0x04 1 1\n"));

    QVERIFY(MacroFile::Append(path, {Down("LShift"), Wait("10ms"), Down("Left")}));
    QCOMPARE(ReadAll(path), QByteArray("254\n0x04 1 0\n10ms\n0x04 1 1\n0x02 0 0\n10ms\n0x01 4 0\n"));

    // A whole write replaces everything.
    QVERIFY(MacroFile::Write(path, 3, {}));
    QCOMPARE(ReadAll(path), QByteArray("3\n"));
}

void TestMacroFile::unknownNameIsWrittenAsTheEmptyName()
{
    QCOMPARE(MacroFile::Content(1, {Down("Shift"), Wait("10ms"), Up("Shift")}),
             QByteArray("1\n0x00 1 0\n10ms\n0x00 1 1\n"));
    const MacroFile::Parsed parsed = MacroFile::ParseMacroFile("1\n0x00 1 0\n10ms\n0x00 1 1\n");
    QCOMPARE(parsed.items, (MacroItems{Down(""), Wait("10ms"), Up("")}));
}

void TestMacroFile::appendNeedsAnExistingFile()
{
    const QString missing = dir.filePath("missing.ini");
    QVERIFY(!MacroFile::Append(missing, {Down("A")}));
    QVERIFY(!QFile::exists(missing));

    // A file whose loop line lacks its line end still gets separate lines.
    const QString path = dir.filePath("noend.ini");
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("255");
    }
    QVERIFY(MacroFile::Append(path, {Down("A")}));
    QCOMPARE(ReadAll(path), QByteArray("255\n0x04 1 0\n"));
}

void TestMacroFile::writeIntoAFolderFails()
{
    const QString path = dir.filePath("folder.ini");
    QVERIFY(QDir().mkpath(path));
    QVERIFY(!MacroFile::Write(path, 254, {Down("A")}));
    QVERIFY(!MacroFile::Append(path, {Down("A")}));
    MacroFile::Parsed parsed;
    QVERIFY(!MacroFile::Read(path, &parsed));
    QVERIFY(QFileInfo(path).isDir());
}

void TestMacroFile::parser_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("loopCode");
    QTest::addColumn<MacroItems>("items");
    const MacroItems aClick = {Down("A"), Wait("10ms"), Up("A")};
    QTest::newRow("LF") << QByteArray("254\n0x04 1 0\n10ms\n0x04 1 1\n") << 254 << aClick;
    QTest::newRow("CR LF") << QByteArray("254\r\n0x04 1 0\r\n10ms\r\n0x04 1 1\r\n") << 254 << aClick;
    QTest::newRow("last line without line end") << QByteArray("254\n0x04 1 0\n10ms\n0x04 1 1") << 254 << aClick;
    QTest::newRow("mouse and modifier") << QByteArray("2\n0x01 4 0\n5ms\n0x20 0 1\n") << 2
                                        << MacroItems{Down("Left"), Wait("5ms"), Up("RShift")};
    QTest::newRow("skipped shapes") << QByteArray("17\n0x04 1 2\n0x04 1\nabc\n\n0x04 1 0 0\n0x04 x 0\n") << 17
                                    << MacroItems{};
    QTest::newRow("delay shapes") << QByteArray("1\n10ms\nms\n-5ms\n10 ms\n10MS\n0ms\n") << 1
                                  << MacroItems{Wait("10ms"), Wait("0ms")};
    QTest::newRow("unknown code") << QByteArray("1\n0x99 1 0\n0x0a 1 1\n") << 1 << MacroItems{Down(""), Up("")};
    QTest::newRow("bare action digits") << QByteArray("1\n1\n0\n2\n") << 1 << MacroItems{Up(""), Down("")};
    QTest::newRow("loop line with more words") << QByteArray("253 x\n") << 253 << MacroItems{};
    QTest::newRow("loop line not a number") << QByteArray("abc\n0x04 1 0\n") << 0 << MacroItems{Down("A")};
    QTest::newRow("empty loop line") << QByteArray("\n0x04 1 0\n") << 0 << MacroItems{Down("A")};
    QTest::newRow("empty file") << QByteArray() << 0 << MacroItems{};
    QTest::newRow("binary junk") << QByteArray("\xff\xfe\x00\x01\n\x00ms\n", 9) << 0 << MacroItems{};
}

void TestMacroFile::parser()
{
    QFETCH(QByteArray, content);
    QFETCH(int, loopCode);
    QFETCH(MacroItems, items);
    const MacroFile::Parsed parsed = MacroFile::ParseMacroFile(content);
    QCOMPARE(parsed.loopCode, loopCode);
    QCOMPARE(parsed.items, items);
}

void TestMacroFile::everyNameSurvivesWriteAndParse()
{
    MacroItems items;
    const QStringList names = KeyNames::AllKeyNames() + QStringList{"Left", "Right", "Middle", "Back", "Forward"};
    for (const QString &name : names)
        items << Down(name) << Wait("12ms") << Up(name) << Wait("65535ms");
    items.removeLast();

    const QString path = dir.filePath("all.ini");
    QVERIFY(MacroFile::Write(path, 250, items));
    MacroFile::Parsed parsed;
    QVERIFY(MacroFile::Read(path, &parsed));
    QCOMPARE(parsed.loopCode, 250);
    QCOMPARE(parsed.items, items);
}

void TestMacroFile::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::addColumn<bool>("valid");
    const QString cjk = QString::fromUtf8("宏");
    QTest::newRow("m1") << "m1" << true << true;
    QTest::newRow("30 bytes") << QString(30, 'a') << true << true;
    QTest::newRow("10 CJK characters") << cjk.repeated(10) << true << true;
    QTest::newRow("blank inside") << "my macro" << true << true;
    QTest::newRow("empty") << "" << false << false;
    QTest::newRow("dot") << "." << false << false;
    QTest::newRow("dot dot") << ".." << false << false;
    QTest::newRow("slash") << "a/b" << false << false;
    QTest::newRow("backslash") << "a\\b" << false << false;
    QTest::newRow("tab") << "a\tb" << false << false;
    QTest::newRow("NUL") << QString("a") + QChar(0) << false << false;
    QTest::newRow("climbing out") << "../../Macro" << false << false;
    QTest::newRow("hidden") << ".h" << true << false;
    QTest::newRow("xml") << "myxml" << true << false;
    QTest::newRow(".ini inside") << "x.ini" << true << false;
    QTest::newRow("31 bytes") << QString(31, 'a') << true << false;
    QTest::newRow("11 CJK characters") << cjk.repeated(11) << true << false;
}

void TestMacroFile::names()
{
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QFETCH(bool, valid);
    QCOMPARE(IsSafeMacroName(name), safe);
    QCOMPARE(IsValidMacroName(name), valid);
    QCOMPARE(MacroFile::PathOf("/m", name).isEmpty(), !safe);
    if (safe)
        QCOMPARE(MacroFile::PathOf("/m", name), "/m/" + name + ".ini");
}

void TestMacroFile::folderIsBelowTheUserFolder()
{
    QCOMPARE(MacroFile::Folder(), TestSupport::BaseFolder() + "/usersetting/MacroPage");
}

VOGM_TEST_MAIN(TestMacroFile)
#include "tst_macrofile.moc"
