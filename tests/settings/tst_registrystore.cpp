#include "paths.h"
#include "registrystore.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <thread>

// The INI file that stands in for the registry keys of the program.
class TestRegistryStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void keyPathsAndNamesOfTheProgram();
    void valueOutlivesTheStoreInstanceInTheBaseFolder();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void keyPathsAndNamesIgnoreCaseAndTheRootName();
    void removeDropsOnlyThatValue();
    void damagedLinesAreSkippedAndTheRestKept();
    void aKeyWrittenTwiceReadsAsOne();
    void namesRepeatedInAnotherCaseKeepTheirFirstValue_data();
    void namesRepeatedInAnotherCaseKeepTheirFirstValue();
    void unwritableFileReportsFailureAndKeepsTheOldValues();
    void writersOnTwoThreadsLoseNothing();
};

void TestRegistryStore::init()
{
    QFile::remove(RegistryStore::DefaultFilePath());
}

void TestRegistryStore::keyPathsAndNamesOfTheProgram()
{
    const QString title = "Veltrane Orvandel Gaming Mouse";
    QCOMPARE(RegistryStore::MouseDriveTestKey(), "Software\\" + title + "\\" + title + "\\Mouse Drive Test");
    QCOMPARE(RegistryStore::ProductKey(), "Software\\" + title + "\\" + title + "\\" + title);
    QCOMPARE(RegistryStore::RunKey(), QString("Software\\Microsoft\\Windows\\CurrentVersion\\Run"));
    QCOMPARE(RegistryStore::MouseVerName("18", "2"), QString("MouseVer182"));
    QCOMPARE(RegistryStore::MouseVerName("18", ""), QString("MouseVer18"));
}

void TestRegistryStore::valueOutlivesTheStoreInstanceInTheBaseFolder()
{
    QTemporaryDir workDir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(workDir.path()));

    QCOMPARE(RegistryStore::DefaultFilePath(), Paths::BaseFolder() + "/registry.ini");
    QVERIFY(!QFile::exists(RegistryStore::DefaultFilePath()));
    {
        RegistryStore writer;
        QCOMPARE(writer.FilePath(), RegistryStore::DefaultFilePath());
        QVERIFY(writer.SetValue(RegistryStore::MouseDriveTestKey(), "MouseVer182", "v1.2"));
        QVERIFY(writer.SetValue(RegistryStore::ProductKey(), RegistryStore::kLanguageIndex, "3"));
    }
    RegistryStore reader;
    QCOMPARE(reader.Value(RegistryStore::MouseDriveTestKey(), "MouseVer182"), QString("v1.2"));
    QCOMPARE(reader.IntValue(RegistryStore::ProductKey(), RegistryStore::kLanguageIndex), 3);
    QVERIFY(QFile::exists(RegistryStore::DefaultFilePath()));
    QVERIFY(QDir(workDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());

    QVERIFY(QDir::setCurrent(previous));
}

void TestRegistryStore::valuesRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("failed-update record") << "UpdateFailInfo" << "211,4,18,2";
    QTest::newRow("windows path") << "Veltrane" << "C:\\Program Files\\Veltrane\\app.exe";
    QTest::newRow("equals and brackets") << "a=b[c];d" << "x=y ; [z]";
    QTest::newRow("line breaks") << "multi" << "one\ntwo\r\nthree\\n";
    QTest::newRow("empty value") << "empty" << "";
    QTest::newRow("non-latin") << "Sprache" << QString::fromUtf8("한국어 — 日本語");
    QTest::newRow("blanks kept") << " padded " << "  both ends  ";
}

void TestRegistryStore::valuesRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QVERIFY(RegistryStore().SetValue(RegistryStore::RunKey(), name, value));
    QVERIFY(RegistryStore().SetValue(RegistryStore::RunKey(), "after", "still here"));
    RegistryStore fresh;
    QVERIFY(fresh.Contains(RegistryStore::RunKey(), name));
    QCOMPARE(fresh.Value(RegistryStore::RunKey(), name, "missing"), value);
    QCOMPARE(fresh.Value(RegistryStore::RunKey(), "after"), QString("still here"));
    QCOMPARE(fresh.ValueNames(RegistryStore::RunKey()), QStringList({name, "after"}));
}

void TestRegistryStore::keyPathsAndNamesIgnoreCaseAndTheRootName()
{
    RegistryStore store;
    QVERIFY(store.SetValue("HKEY_CURRENT_USER\\Software\\Vendor\\Tool", "Count", "7"));
    QCOMPARE(store.Value("software\\vendor\\TOOL", "count"), QString("7"));
    QVERIFY(store.SetValue("Software\\Vendor\\Tool\\", "COUNT", "8"));
    QCOMPARE(store.ValueNames("Software\\Vendor\\Tool"), QStringList({"Count"}));
    QCOMPARE(store.IntValue("Software\\Vendor\\Tool", "Count"), 8);
    QCOMPARE(store.IntValue("Software\\Vendor\\Tool", "Missing", -5), -5);
    QVERIFY(!store.Contains("Software\\Vendor", "Count"));  // a parent key is another key
}

void TestRegistryStore::removeDropsOnlyThatValue()
{
    RegistryStore store;
    const QString key = RegistryStore::MouseDriveTestKey();
    QVERIFY(store.SetValue(key, RegistryStore::kUpdateFailInfo, "210,0,18,1"));
    QVERIFY(store.SetValue(key, "MouseVer181", "v1.3"));
    QVERIFY(store.Remove(key, "updatefailinfo"));
    QVERIFY(!RegistryStore().Contains(key, RegistryStore::kUpdateFailInfo));
    QCOMPARE(RegistryStore().Value(key, RegistryStore::kUpdateFailInfo), QString());
    QCOMPARE(RegistryStore().Value(key, "MouseVer181"), QString("v1.3"));
    QVERIFY(store.Remove(key, "never written"));
    QVERIFY(store.Remove("Software\\Nowhere", "x"));
}

void TestRegistryStore::damagedLinesAreSkippedAndTheRestKept()
{
    QVERIFY(QDir().mkpath(Paths::BaseFolder()));
    QFile file(RegistryStore::DefaultFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("orphan=1\n[Software\\A\nnot a value line\n[Software\\B]\n=no name\nGood=yes\n\\\n[\n]x\n");
    file.close();
    RegistryStore store;
    QCOMPARE(store.Value("Software\\B", "Good"), QString("yes"));
    QVERIFY(!store.Contains("Software\\B", ""));
    QVERIFY(store.SetValue("Software\\B", "Other", "2"));
    QCOMPARE(RegistryStore().ValueNames("Software\\B"), QStringList({"Good", "Other"}));
}

// A key that stands twice in the file (the first time empty) is one key: its
// values are neither hidden before a write nor lost or doubled by one.
void TestRegistryStore::aKeyWrittenTwiceReadsAsOne()
{
    QVERIFY(QDir().mkpath(Paths::BaseFolder()));
    QFile file(RegistryStore::DefaultFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Software\\A]\n[Software\\B]\nx=1\n[software\\a]\ny=2\ny=3\n[Software\\A]\nz=4\n");
    file.close();
    RegistryStore store;
    QCOMPARE(store.ValueNames("Software\\A"), QStringList({"y", "z"}));
    QCOMPARE(store.Value("Software\\A", "y"), QString("2"));
    QVERIFY(store.SetValue("Software\\B", "w", "5"));
    QCOMPARE(RegistryStore().ValueNames("Software\\A"), QStringList({"y", "z"}));
    QCOMPARE(RegistryStore().ValueNames("Software\\B"), QStringList({"x", "w"}));
}

void TestRegistryStore::namesRepeatedInAnotherCaseKeepTheirFirstValue_data()
{
    QTest::addColumn<int>("names");
    QTest::newRow("a key of a few values") << 3;
    QTest::newRow("a key of many values") << 40;
}

// However many values a key holds, a name met again (in any case, in the same
// key or in the key written again later) keeps its first value and its place.
void TestRegistryStore::namesRepeatedInAnotherCaseKeepTheirFirstValue()
{
    QFETCH(int, names);
    QByteArray file = "[Software\\K]\n";
    QStringList expected;
    for (int i = 0; i < names; ++i) {
        file += "Name" + QByteArray::number(i) + "=first\n";
        expected << "Name" + QString::number(i);
    }
    file += "NAME0=second\n[software\\k]\nname" + QByteArray::number(names - 1) + "=second\nExtra=x\n";
    expected << "Extra";
    QVERIFY(QDir().mkpath(Paths::BaseFolder()));
    QFile out(RegistryStore::DefaultFilePath());
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();

    RegistryStore store;
    QCOMPARE(store.ValueNames("Software\\K"), expected);
    QCOMPARE(store.Value("Software\\K", "name0"), QString("first"));
    QCOMPARE(store.Value("Software\\K", "NAME" + QString::number(names - 1)), QString("first"));
    QVERIFY(store.SetValue("Software\\K", "nAmE1", "changed"));
    QCOMPARE(RegistryStore().ValueNames("Software\\K"), expected);
    QCOMPARE(RegistryStore().Value("Software\\K", "Name1"), QString("changed"));
}

void TestRegistryStore::unwritableFileReportsFailureAndKeepsTheOldValues()
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + "/file");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RegistryStore blocked(dir.path() + "/file/registry.ini");  // a folder that cannot exist
    QVERIFY(!blocked.SetValue("Software\\A", "x", "1"));
    QCOMPARE(blocked.Value("Software\\A", "x", "none"), QString("none"));
    QVERIFY(!RegistryStore().SetValue("Software\\A", "", "nameless"));
}

void TestRegistryStore::writersOnTwoThreadsLoseNothing()
{
    const QString key = RegistryStore::MouseDriveTestKey();
    auto writer = [&key](const QString &prefix) {
        RegistryStore store;
        for (int i = 0; i < 60; ++i)
            store.SetValue(key, prefix + QString::number(i), QString::number(i));
    };
    std::thread first(writer, QString("A"));
    std::thread second(writer, QString("B"));
    writer("C");
    first.join();
    second.join();
    const QStringList names = RegistryStore().ValueNames(key);
    QCOMPARE(names.size(), 180);
    QCOMPARE(RegistryStore().Value(key, "B59"), QString("59"));
}

VOGM_TEST_MAIN(TestRegistryStore)
#include "tst_registrystore.moc"
