// The reader of driver_sensor.h: one fixture with a line per reading rule,
// read as it is (LF) and with CRLF line ends; and the shipped file.
#include "sensordescription.h"
#include "testsupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString kFixture = QStringLiteral(VOGM_FIXTURE_DIR "/driver_sensor_rules.h");

QString SupportText(const SensorSupport &support, const QString &field)
{
    if (field == QLatin1String("ModeSel")) return support.ModeSel;
    if (field == QLatin1String("LodCal")) return support.LodCal;
    if (field == QLatin1String("Ripple")) return support.Ripple;
    if (field == QLatin1String("FixLine")) return support.FixLine;
    if (field == QLatin1String("MotionSync")) return support.MotionSync;
    if (field == QLatin1String("MousepadCal")) return support.MousepadCal;
    return QStringLiteral("<no such field>");
}

// "absent", or the value of the first define of that name.
QString FirstDefine(const SensorDescription &description, const QString &name)
{
    const int at = description.DefineNames.indexOf(name);
    return at < 0 ? QStringLiteral("absent") : QString::number(description.DefineValues.at(at));
}

}  // namespace

class TestSensorDescription : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_crlfFixture;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile source(kFixture);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray content = source.readAll();
        QVERIFY(!content.contains('\r'));
        content.replace("\n", "\r\n");
        m_crlfFixture = m_dir.filePath(QStringLiteral("driver_sensor_crlf.h"));
        QFile crlf(m_crlfFixture);
        QVERIFY(crlf.open(QIODevice::WriteOnly));
        crlf.write(content);
    }

    void readsEachRule_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("kind");  // "support" or "define"
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        struct Case { const char *tag, *kind, *key, *expected; };
        const Case cases[] = {
            {"later support line replaces, first word free", "support", "ModeSel", "3950,S100"},
            {"token inside a longer word", "support", "LodCal", "3950,3395"},
            {"define name holding a token is a support line", "support", "Ripple", "0x08"},
            {"... and not a define", "define", "SENSOR_SUPPORT_RIPPLE_DPI_400", "absent"},
            {"support line without value field ignored", "support", "FixLine", ""},
            {"runs of spaces make no parts", "support", "MotionSync", "3395"},
            {"support text is the second TAB field", "support", "MousepadCal", "S100"},
            {"0x08 gives 8, first of duplicates", "define", "SENSOR_3950_DPI_400", "8"},
            {"commented 16 gives 16", "define", "SENSOR_3950_DPI_800", "16"},
            {"commented 0x10 gives 0", "define", "SENSOR_3950_DPI_1600", "0"},
            {"decimal value", "define", "SENSOR_DECIMAL", "42"},
            {"second TAB after the value not taken", "define", "SENSOR_TRAILING_FIELD", "absent"},
            {"TAB instead of space: one part", "define", "SENSOR_ONE_PART", "absent"},
            {"first word must be #define", "define", "SENSOR_NOT_DEFINE", "absent"},
            {"commented define with any first word", "define", "SENSOR_ANY_WORD", "12"},
            {"define without value ignored", "define", "SENSOR_NO_VALUE", "absent"},
            {"value that is no number gives 0", "define", "SENSOR_NOT_NUMBER", "0"},
            {"comment with spaces: too many parts", "define", "SENSOR_SPACED_COMMENT", "absent"},
            {"last line without line end not taken", "define", "SENSOR_LAST_LINE", "absent"},
        };
        const QPair<const char *, QString> files[] = {{"LF", kFixture}, {"CRLF", m_crlfFixture}};
        for (const auto &file : files) {
            for (const Case &c : cases) {
                QTest::addRow("%s: %s", file.first, c.tag)
                    << file.second << c.kind << c.key << c.expected;
            }
        }
    }

    void readsEachRule()
    {
        QFETCH(QString, file);
        QFETCH(QString, kind);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        const SensorDescription description = ReadSensorDescription(file);
        const QString actual = kind == QLatin1String("support") ? SupportText(description.Support, key)
                                                                : FirstDefine(description, key);
        QCOMPARE(actual, expected);
    }

    void keepsDefinesInFileOrderWithDuplicates_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("LF") << kFixture;
        QTest::newRow("CRLF") << m_crlfFixture;
    }

    void keepsDefinesInFileOrderWithDuplicates()
    {
        QFETCH(QString, file);
        const SensorDescription description = ReadSensorDescription(file);
        QCOMPARE(description.DefineNames,
                 QStringList({"SENSOR_3950_DPI_400", "SENSOR_3950_DPI_800", "SENSOR_3950_DPI_1600",
                              "SENSOR_DECIMAL", "SENSOR_ANY_WORD", "SENSOR_NOT_NUMBER",
                              "SENSOR_3950_DPI_400"}));
        QCOMPARE(description.DefineValues, QList<int>({8, 16, 0, 42, 12, 0, 9}));
    }

    void missingFileGivesNothing()
    {
        const SensorDescription description = ReadSensorDescription(m_dir.filePath(QStringLiteral("none.h")));
        QVERIFY(description.DefineNames.isEmpty());
        QVERIFY(description.DefineValues.isEmpty());
        QVERIFY(description.Support.ModeSel.isEmpty());
        QVERIFY(description.Support.LodCal.isEmpty());
        QVERIFY(description.Support.Ripple.isEmpty());
    }

    // The installed file: what each sensor offers, and a code for every 50 DPI
    // of the 3950 from 50 to 1600.
    void shippedFileDescribesTheThreeSensors()
    {
        QCOMPARE(SensorDescriptionPath(), TestSupport::AppFolder() + QStringLiteral("/driver_sensor.h"));
        const SensorDescription description = ReadInstalledSensorDescription();
        const SensorSupport &s = description.Support;
        for (const QString &text : {s.ModeSel, s.LodCal, s.Ripple, s.FixLine, s.MotionSync, s.MousepadCal}) {
            QVERIFY2(SensorSupport::Lists(text, QStringLiteral("3950")), qPrintable(text));
            QVERIFY2(SensorSupport::Lists(text, QStringLiteral("3395")), qPrintable(text));
        }
        QVERIFY(SensorSupport::Lists(s.Ripple, QStringLiteral("S100")));
        QVERIFY(SensorSupport::Lists(s.FixLine, QStringLiteral("S100")));
        for (const QString &text : {s.ModeSel, s.LodCal, s.MotionSync, s.MousepadCal})
            QVERIFY2(!SensorSupport::Lists(text, QStringLiteral("S100")), qPrintable(text));

        QStringList expectedNames;
        QList<int> expectedValues;
        for (int dpi = 50; dpi <= 1600; dpi += 50) {
            expectedNames << QStringLiteral("SENSOR_3950_DPI_%1").arg(dpi);
            expectedValues << dpi / 50 - 1;
        }
        QCOMPARE(description.DefineNames, expectedNames);
        QCOMPARE(description.DefineValues, expectedValues);
    }

    void shippedFileEndsEveryLine()
    {
        QFile file(SensorDescriptionPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.endsWith('\n'));
        QVERIFY(!content.contains('\r'));
    }
};

VOGM_TEST_MAIN(TestSensorDescription)
#include "tst_sensordescription.moc"
