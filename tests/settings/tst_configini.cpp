#include "configini.h"
#include "macroini.h"
#include "paths.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <thread>

// Reading Config.ini and Macro.ini through their singletons, with a fixture
// Config.ini in place of the shipped one.
class TestConfigIni : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void valueDecodesOnlyTheIdentityKeys_data();
    void valueDecodesOnlyTheIdentityKeys();
    void codedValueDiffersFromItsStoredText();
    void listItemsAreDecodedOneByOne();
    void missingKeyGivesEmptyTextAndEmptyList();
    void colourFallsBackWhenTheListCannotGiveOne_data();
    void colourFallsBackWhenTheListCannotGiveOne();
    void advancedItemCountsAMissingItemAsHidden();
    void twoThreadsReadAtOnce();
    void freshMacroIniGivesEmptyLanguage();
    void macroIniWritesTheChoiceAtOnce();

private:
    QTemporaryDir m_dir;
};

namespace {

QByteArray B64(const char *text)
{
    return QByteArray(text).toBase64();
}

struct FixtureValue {
    const char *group;
    const char *key;
    QByteArray stored;
    const char *expected;
};

const QList<FixtureValue> &Fixture()
{
    static const QList<FixtureValue> values = {
        {"Option", "VID", B64("0xFF5C"), "0xFF5C"},
        {"Option", "CID", B64("18"), "18"},
        {"Option", "DeviceTotal", "MTg=", "MTg="},  // looks like Base64, is not a coded key
        {"Drive1", "MID", "MTI=", "MTI="},
        {"Drive1", "Sensor", B64("AB 12\n"), "AB12"},
        {"Drive1", "CID", B64("7"), "7"},  // coded names are decoded in every group
        {"Drive1", "MM", B64("VOM-M1 \n"), "VOM-M1"},
        {"Drive2", "D4M", B64("R-4K"), "R-4K"},
        {"Drive2", "Mm", B64("x"), nullptr},  // names compare exactly: stays coded
    };
    return values;
}

}  // namespace

void TestConfigIni::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QCOMPARE(ConfigIni::DefaultPath(), Paths::AppFolder() + "/usersetting/Config.ini");
    QMap<QString, QStringList> groups;
    for (const FixtureValue &v : Fixture())
        groups[v.group] << QString("%1=%2").arg(v.key, QString::fromLatin1(v.stored));
    groups["Option"] << "Wireless_PID=" + B64("0xFF11") + "," + B64("0x FF 12\n")
                     << "LabelColor=10,20,30" << "ButtonColor=10,20" << "SliderColor=a,b,c"
                     << "ComboxTextColor=300,0,0";
    groups["Drive1"] << "DPIColor=1,2,3,4,5,6" << "Adveanced=1";
    groups["Drive2"] << "Adveanced=0,3";
    QString content;
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        content += "[" + it.key() + "]\n" + it.value().join("\n") + "\n";
    const QString path = m_dir.path() + "/Config.ini";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content.toUtf8());
    file.close();
    ConfigIni::GetInstance()->UseFileForTesting(path);
}

void TestConfigIni::valueDecodesOnlyTheIdentityKeys_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    for (const FixtureValue &v : Fixture()) {
        const QString expected = v.expected ? QString::fromUtf8(v.expected) : QString::fromLatin1(v.stored);
        QTest::addRow("%s/%s", v.group, v.key) << v.group << v.key << expected;
    }
}

void TestConfigIni::valueDecodesOnlyTheIdentityKeys()
{
    QFETCH(QString, group);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(ConfigIni::GetInstance()->Value(group, key), expected);
}

void TestConfigIni::codedValueDiffersFromItsStoredText()
{
    const QString vid = ConfigIni::GetInstance()->Value("Option", "VID");
    QCOMPARE(vid, QString("0xFF5C"));
    QVERIFY(vid != QString::fromLatin1(B64("0xFF5C")));
    QCOMPARE(ConfigIni::GetInstance()->IntValue("Option", "CID"), 18);
    QCOMPARE(ConfigIni::DecodeBase64(QString::fromLatin1(B64("a b"))), QString("a b"));
}

void TestConfigIni::listItemsAreDecodedOneByOne()
{
    QCOMPARE(ConfigIni::GetInstance()->ValueList("Option", "Wireless_PID"),
             QStringList({"0xFF11", "0xFF12"}));
    // An uncoded list comes back as stored.
    QCOMPARE(ConfigIni::GetInstance()->ValueList("Drive2", "Adveanced"), QStringList({"0", "3"}));
}

void TestConfigIni::missingKeyGivesEmptyTextAndEmptyList()
{
    ConfigIni *config = ConfigIni::GetInstance();
    QCOMPARE(config->Value("Option", "Nothing"), QString(""));
    QVERIFY(config->ValueList("Option", "Nothing").isEmpty());
    QCOMPARE(config->Value("Drive9", "MM"), QString(""));  // coded key, missing group
    QVERIFY(config->ValueList("Drive9", "USB_PID").isEmpty());
    QCOMPARE(config->IntValue("Drive9", "MID"), 0);
}

void TestConfigIni::colourFallsBackWhenTheListCannotGiveOne_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("three numbers") << "Option" << "LabelColor" << 0 << QColor(10, 20, 30);
    QTest::newRow("two numbers") << "Option" << "ButtonColor" << 0 << ConfigIni::FallbackColor("ButtonColor");
    QTest::newRow("not numbers") << "Option" << "SliderColor" << 0 << ConfigIni::FallbackColor("SliderColor");
    QTest::newRow("out of range") << "Option" << "ComboxTextColor" << 0
                                  << ConfigIni::FallbackColor("ComboxTextColor");
    QTest::newRow("missing") << "Option" << "ComboxBackGroundColor" << 0
                             << ConfigIni::FallbackColor("ComboxBackGroundColor");
    QTest::newRow("second level colour") << "Drive1" << "DPIColor" << 1 << QColor(4, 5, 6);
    QTest::newRow("level past the list") << "Drive1" << "DPIColor" << 2 << ConfigIni::FallbackColor("DPIColor");
}

void TestConfigIni::colourFallsBackWhenTheListCannotGiveOne()
{
    QFETCH(QString, group);
    QFETCH(QString, key);
    QFETCH(int, index);
    QFETCH(QColor, expected);
    ConfigIni *config = ConfigIni::GetInstance();
    QVERIFY(expected.isValid());
    QCOMPARE(config->Color(group, key, index), expected);
    const QString triple = QString("%1,%2,%3").arg(expected.red()).arg(expected.green()).arg(expected.blue());
    QCOMPARE(config->ColorTriple(group, key, index), triple);
    QCOMPARE(config->RgbText(group, key, index), "rgb(" + triple + ")");
}

void TestConfigIni::advancedItemCountsAMissingItemAsHidden()
{
    ConfigIni *config = ConfigIni::GetInstance();
    QCOMPARE(config->AdvancedItem("Drive1", 0), QString("1"));
    QCOMPARE(config->AdvancedItem("Drive1", 1), QString("-1"));
    QCOMPARE(config->AdvancedItem("Drive2", 1), QString("3"));
    QCOMPARE(config->AdvancedItem("Drive7", 0), QString("-1"));
    QCOMPARE(config->AdvancedItem("Drive2", -1), QString("-1"));
}

void TestConfigIni::twoThreadsReadAtOnce()
{
    std::atomic<int> wrong{0};
    auto reader = [&wrong] {
        for (int i = 0; i < 3000; ++i) {
            ConfigIni *config = ConfigIni::GetInstance();
            if (config->Value("Option", "VID") != QLatin1String("0xFF5C"))
                ++wrong;
            if (config->ValueList("Option", "Wireless_PID").size() != 2)
                ++wrong;
        }
    };
    std::thread first(reader);
    std::thread second(reader);
    reader();
    first.join();
    second.join();
    QCOMPARE(wrong.load(), 0);
}

void TestConfigIni::freshMacroIniGivesEmptyLanguage()
{
    QCOMPARE(MacroIni::DefaultPath(), Paths::BaseFolder() + "/Macro.ini");
    QVERIFY(QDir().mkpath(Paths::BaseFolder()));
    QFile file(MacroIni::DefaultPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(MacroIni::GetInstance()->Value("Language", "Language"), QString(""));
    QVERIFY(MacroIni::GetInstance()->ValueList("AutoStart", "Enable").isEmpty());
}

void TestConfigIni::macroIniWritesTheChoiceAtOnce()
{
    MacroIni *macro = MacroIni::GetInstance();
    macro->SetValue("Language", "Language", "3");
    macro->SetValue("AutoStart", "Enable", "1");
    QSettings onDisk(MacroIni::DefaultPath(), QSettings::IniFormat);
    QCOMPARE(onDisk.value("Language/Language").toString(), QString("3"));
    QCOMPARE(macro->Value("Language", "Language"), QString("3"));
    macro->Remove("AutoStart", "Enable");
    QCOMPARE(macro->Value("AutoStart", "Enable"), QString(""));
    QSettings again(MacroIni::DefaultPath(), QSettings::IniFormat);
    QVERIFY(!again.contains("AutoStart/Enable"));
}

VOGM_TEST_MAIN(TestConfigIni)
#include "tst_configini.moc"
