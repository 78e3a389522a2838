// The language-file reader against small fixture files: which file an index
// reads, and what a load applies for each shape of file.

#include "languagereader.h"
#include "paths.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

Q_DECLARE_METATYPE(LanguageReader::Outcome)

namespace {

const char kOldLabel[] = "old label";
const char kOldOk[] = "old OK";
const char kOldCancel[] = "old Cancel";

// The six file names as they are installed.
const QStringList kFileNames = {
    "0-English.xml", QString::fromUtf8("1-简体中文.xml"), QString::fromUtf8("2-繁体中文.xml"),
    "3-Korea.xml",   "4-Russia.xml",                     "5-Japanese.xml",
};

QByteArray InTotal(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Total>" + body + "</Total>\n";
}

QByteArray ContainReset(const QByteArray &tags)
{
    return InTotal("<ContainReset>" + tags + "</ContainReset>");
}

// The texts of a ContainReset-like class, loaded through StoreTarget.
struct Texts {
    QString label = kOldLabel;
    QString ok = kOldOk;
    QString cancel = kOldCancel;

    LanguageReader Reader()
    {
        return LanguageReader("ContainReset", {{"label", StoreTarget(&label)},
                                               {"OK", StoreTarget(&ok)},
                                               {"Cancel", StoreTarget(&cancel)}});
    }
};

}  // namespace

class TestLanguageReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void storedIndexChoosesTheFile_data();
    void storedIndexChoosesTheFile();
    void loadAppliesTexts_data();
    void loadAppliesTexts();
    void languageChangeKeepsTextsTheNewFileLacks();
    void propertyTargetsSetWidgets();
    void oneParsePerFileContent();

private:
    void WriteLanguageFile(int index, const QByteArray &content);
    void WriteMacroIni(const QByteArray &content);

    QScopedPointer<QTemporaryDir> appFolder;
};

void TestLanguageReader::init()
{
    TestSupport::IsolateUserFolders();
    appFolder.reset(new QTemporaryDir);
    QVERIFY(appFolder->isValid());
    QVERIFY(QDir(appFolder->path()).mkpath("Language"));
    qputenv("VOGM_APP_DIR", QFile::encodeName(appFolder->path()));
}

void TestLanguageReader::WriteLanguageFile(int index, const QByteArray &content)
{
    QFile file(appFolder->path() + "/Language/" + kFileNames.at(index));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), qint64(content.size()));
}

void TestLanguageReader::WriteMacroIni(const QByteArray &content)
{
    QVERIFY(QDir().mkpath(Paths::BaseFolder()));
    QFile file(Paths::BaseFolder() + "/Macro.ini");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void TestLanguageReader::storedIndexChoosesTheFile_data()
{
    QTest::addColumn<QByteArray>("macroIni");  // null: no Macro.ini at all
    QTest::addColumn<QString>("expected");

    QTest::newRow("no Macro.ini") << QByteArray() << "text 0";
    QTest::newRow("no Language key") << QByteArray("[AutoStart]\nEnable=1\n") << "text 0";
    QTest::newRow("empty") << QByteArray("[Language]\nLanguage=\n") << "text 0";
    for (int index = 0; index <= 5; ++index) {
        QTest::addRow("index %d", index) << "[Language]\nLanguage=" + QByteArray::number(index) + "\n"
                                         << "text " + QString::number(index);
    }
    QTest::newRow("index 7") << QByteArray("[Language]\nLanguage=7\n") << "text 0";
    QTest::newRow("index -1") << QByteArray("[Language]\nLanguage=-1\n") << "text 0";
    QTest::newRow("abc") << QByteArray("[Language]\nLanguage=abc\n") << "text 0";
    QTest::newRow("3abc") << QByteArray("[Language]\nLanguage=3abc\n") << "text 0";
}

void TestLanguageReader::storedIndexChoosesTheFile()
{
    QFETCH(QByteArray, macroIni);
    QFETCH(QString, expected);
    for (int index = 0; index <= 5; ++index)
        WriteLanguageFile(index, ContainReset("<label>text " + QByteArray::number(index) + "</label>"));
    if (!macroIni.isNull())
        WriteMacroIni(macroIni);

    Texts texts;
    QCOMPARE(texts.Reader().Load(CurrentLanguageIndex()), LanguageReader::Outcome::Read);
    QCOMPARE(texts.label, expected);
}

void TestLanguageReader::loadAppliesTexts_data()
{
    using Outcome = LanguageReader::Outcome;
    QTest::addColumn<QByteArray>("file");  // null: no file
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<Outcome>("outcome");

    QTest::newRow("every tag")
        << ContainReset("<label>Restore?</label><OK>Yes</OK><Cancel>No</Cancel>")
        << "Restore?" << "Yes" << "No" << Outcome::Read;
    QTest::newRow("root Labels changes nothing")
        << QByteArray("<Labels><ContainReset><label>x</label><OK>y</OK></ContainReset></Labels>")
        << kOldLabel << kOldOk << kOldCancel << Outcome::NotLabelsFile;
    QTest::newRow("label twice: the second wins")
        << ContainReset("<label>first</label><OK>Yes</OK><label>second</label>")
        << "second" << "Yes" << kOldCancel << Outcome::Read;
    QTest::newRow("element twice: the second wins")
        << InTotal("<ContainReset><OK>first</OK><Cancel>No</Cancel></ContainReset>"
                   "<ContainReset><OK>second</OK></ContainReset>")
        << kOldLabel << "second" << "No" << Outcome::Read;
    QTest::newRow("markup inside a text stops the load")
        << ContainReset("<OK>Yes</OK><label>a<b/>c</label><Cancel>No</Cancel>")
        << kOldLabel << "Yes" << kOldCancel << Outcome::Stopped;
    QTest::newRow("syntax error stops the load")
        << QByteArray("<Total><ContainReset><OK>Yes</OK><label>x</labl><Cancel>No</Cancel>"
                      "</ContainReset></Total>")
        << kOldLabel << "Yes" << kOldCancel << Outcome::Stopped;
    QTest::newRow("syntax error after the element")
        << QByteArray("<Total><ContainReset><OK>Yes</OK></ContainReset><Other><</Other></Total>")
        << kOldLabel << "Yes" << kOldCancel << Outcome::Stopped;
    QTest::newRow("Label with a capital is skipped")
        << ContainReset("<Label>wrong</Label><OK>Yes</OK>") << kOldLabel << "Yes" << kOldCancel
        << Outcome::Read;
    QTest::newRow("unknown elements at any depth are skipped")
        << InTotal("<MouseOffLine><label>other class</label></MouseOffLine>"
                   "<Other><ContainReset><label>nested class</label></ContainReset></Other>"
                   "<ContainReset><!-- note --><?pi data?>"
                   "<Extra><label>inside Extra</label><a><b><OK>deep</OK></b><c/></a></Extra>"
                   "<label>Restore?</label><Extra2/><OK>Yes</OK></ContainReset>")
        << "Restore?" << "Yes" << kOldCancel << Outcome::Read;
    QTest::newRow("very deep nesting is skipped")
        << ContainReset(QByteArray("<x>").repeated(100000) + QByteArray("</x>").repeated(100000)
                        + "<label>after</label>")
        << "after" << kOldOk << kOldCancel << Outcome::Read;
    QTest::newRow("entities and CDATA")
        << ContainReset("<label>&lt;b&gt; &amp; &#x4E2D;&quot;</label><OK><![CDATA[<i>Yes</i> & ok]]></OK>")
        << QString::fromUtf8("<b> & 中\"") << "<i>Yes</i> & ok" << kOldCancel << Outcome::Read;
    QTest::newRow("empty tag sets an empty text")
        << ContainReset("<label/><OK></OK>") << "" << "" << kOldCancel << Outcome::Read;
    QTest::newRow("white space and line breaks are kept")
        << ContainReset("<label>  two\n  lines  </label>") << "  two\n  lines  " << kOldOk << kOldCancel
        << Outcome::Read;
    QTest::newRow("attributes are ignored")
        << InTotal("<ContainReset version=\"2\"><label lang=\"en\">Restore?</label></ContainReset>")
        << "Restore?" << kOldOk << kOldCancel << Outcome::Read;
    QTest::newRow("declared encoding")
        << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                      "<Total><ContainReset><label>R\xe9initialiser</label></ContainReset></Total>")
        << QString::fromUtf8("Réinitialiser") << kOldOk << kOldCancel << Outcome::Read;
    QTest::newRow("missing file changes nothing")
        << QByteArray() << kOldLabel << kOldOk << kOldCancel << Outcome::NoFile;
    QTest::newRow("empty file changes nothing")
        << QByteArray("") << kOldLabel << kOldOk << kOldCancel << Outcome::Stopped;
}

void TestLanguageReader::loadAppliesTexts()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, label);
    QFETCH(QString, ok);
    QFETCH(QString, cancel);
    QFETCH(LanguageReader::Outcome, outcome);
    if (!file.isNull())
        WriteLanguageFile(0, file);

    Texts texts;
    QCOMPARE(texts.Reader().Load(0), outcome);
    QCOMPARE(texts.label, label);
    QCOMPARE(texts.ok, ok);
    QCOMPARE(texts.cancel, cancel);
}

void TestLanguageReader::languageChangeKeepsTextsTheNewFileLacks()
{
    WriteLanguageFile(0, ContainReset("<label>Restore?</label><OK>OK</OK><Cancel>Cancel</Cancel>"));
    WriteLanguageFile(3, ContainReset(QString::fromUtf8("<label>복원하시겠습니까?</label>").toUtf8()));

    Texts texts;
    const LanguageReader reader = texts.Reader();
    QCOMPARE(reader.Load(0), LanguageReader::Outcome::Read);
    QCOMPARE(reader.Load(3), LanguageReader::Outcome::Read);
    QCOMPARE(texts.label, QString::fromUtf8("복원하시겠습니까?"));
    QCOMPARE(texts.ok, QString("OK"));
    QCOMPARE(texts.cancel, QString("Cancel"));
}

void TestLanguageReader::propertyTargetsSetWidgets()
{
    WriteLanguageFile(0, InTotal("<NewVer><label>New firmware</label><NewHong>OK</NewHong>"
                                 "<NoApear>Do not show again</NoApear></NewVer>"));
    QLabel label;
    QCheckBox checkBox;
    auto *button = new QToolButton;
    const LanguageReader reader("NewVer", {{"label", PropertyTarget(&label)},
                                           {"NewHong", PropertyTarget(button)},
                                           {"NoApear", PropertyTarget(&checkBox, "toolTip")}});
    delete button;  // a target whose widget is gone is passed over

    QCOMPARE(reader.Load(0), LanguageReader::Outcome::Read);
    QCOMPARE(label.text(), QString("New firmware"));
    QCOMPARE(checkBox.toolTip(), QString("Do not show again"));
    QCOMPARE(checkBox.text(), QString());
}

// Every class reading the same file shares one parse; a file whose content
// changed is parsed again, and a stop inside one class's text still ends only
// the loads that read that tag.
void TestLanguageReader::oneParsePerFileContent()
{
    WriteLanguageFile(0, InTotal("<ContainReset><label>Restore?</label><OK><b>OK</b></OK></ContainReset>"
                                 "<NewVer><label>New firmware</label></NewVer>"));
    const int before = LanguageReader::ParsesMade();
    QString resetLabel, newVerLabel, ok = "unset";
    const LanguageReader reset("ContainReset", {{"label", StoreTarget(&resetLabel)}});
    const LanguageReader resetButtons("ContainReset", {{"OK", StoreTarget(&ok)}});
    const LanguageReader newVer("NewVer", {{"label", StoreTarget(&newVerLabel)}});

    QCOMPARE(reset.Load(0), LanguageReader::Outcome::Read);
    QCOMPARE(resetButtons.Load(0), LanguageReader::Outcome::Stopped);  // markup in its text
    QCOMPARE(newVer.Load(0), LanguageReader::Outcome::Read);
    QCOMPARE(LanguageReader::ParsesMade() - before, 1);
    QCOMPARE(resetLabel, QString("Restore?"));
    QCOMPARE(ok, QString("unset"));
    QCOMPARE(newVerLabel, QString("New firmware"));

    WriteLanguageFile(0, InTotal("<NewVer><label>Newer firmware</label></NewVer>"));
    QCOMPARE(newVer.Load(0), LanguageReader::Outcome::Read);
    QCOMPARE(newVerLabel, QString("Newer firmware"));
    QCOMPARE(LanguageReader::ParsesMade() - before, 2);
}

VOGM_TEST_MAIN(TestLanguageReader)
#include "tst_languagereader.moc"
