// Which files of the macro folder the button page's macro list shows, and
// under which names; no widget involved.

#include "macronamesmodel.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestMacroNames : public QObject
{
    Q_OBJECT
private slots:
    void listingRules_data();
    void listingRules();
    void rowsCarryNameAndTip();
};

void TestMacroNames::listingRules_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("first");
    QTest::addColumn<QStringList>("again");

    // The first name holding "xml" is dropped; a relisting passes over the later ones too.
    QTest::newRow("xml names") << QStringList{"A.ini", "b.ini", "c.xml", "d.xml.ini"}
                               << QStringList{"A", "b", "d.xml"} << QStringList{"A", "b"};
    QTest::newRow("xml test keeps case") << QStringList{"X.XML.ini", "y.ini"} << QStringList{"X.XML", "y"}
                                         << QStringList{"X.XML", "y"};
    // Sorted without case; hidden files and links are no macros.
    QTest::newRow("case, hidden, link") << QStringList{"b.ini", "A.ini", ".hidden.ini", "@link.ini"}
                                        << QStringList{"A", "b"} << QStringList{"A", "b"};
    // Every ".ini" goes, wherever it stands.
    QTest::newRow("ini inside") << QStringList{"x.ini.ini", "m.inix"} << QStringList{"mx", "x"}
                                << QStringList{"mx", "x"};
    QTest::newRow("no suffix") << QStringList{"plain"} << QStringList{"plain"} << QStringList{"plain"};
    QTest::newRow("empty") << QStringList{} << QStringList{} << QStringList{};
}

void TestMacroNames::listingRules()
{
    QFETCH(QStringList, files);
    QFETCH(QStringList, first);
    QFETCH(QStringList, again);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const QString &file : files) {
        if (file.startsWith('@')) {
            QVERIFY(QFile::link(folder.filePath(files.first()), folder.filePath(file.mid(1))));
            continue;
        }
        QFile made(folder.filePath(file));
        QVERIFY(made.open(QIODevice::WriteOnly));
        made.write("254\n");
    }
    QVERIFY(QDir(folder.path()).mkdir("sub.ini"));  // folders are no macros

    MacroNamesModel names;
    QSignalSpy reset(&names, &QAbstractItemModel::modelReset);
    names.List(folder.path(), MacroNamesModel::Listing::First);
    QCOMPARE(names.Names(), first);
    QCOMPARE(names.rowCount(), first.size());
    QCOMPARE(reset.count(), 1);
    names.List(folder.path(), MacroNamesModel::Listing::Again);
    QCOMPARE(names.Names(), again);
}

void TestMacroNames::rowsCarryNameAndTip()
{
    QTemporaryDir folder;
    for (const char *file : {"a.ini", "a.ini.ini", "Long macro name of thirty ch.ini"}) {
        QFile made(folder.filePath(file));
        QVERIFY(made.open(QIODevice::WriteOnly));
    }
    MacroNamesModel names;
    names.List(folder.path(), MacroNamesModel::Listing::First);
    QCOMPARE(names.rowCount(), 3);
    const QModelIndex last = names.index(2);
    QCOMPARE(names.data(last, Qt::DisplayRole).toString(), QString("Long macro name of thirty ch"));
    QCOMPARE(names.data(last, Qt::ToolTipRole), names.data(last, Qt::DisplayRole));
    QVERIFY(!names.data(last, Qt::DecorationRole).isValid());
    QVERIFY(!names.data(names.index(3)).isValid());
    // Two files may give one name; the later row stands for it.
    QCOMPARE(names.RowOf("a"), 1);
    QCOMPARE(names.RowOf("b"), -1);
    QCOMPARE(names.NameAt(7), QString());
}

VOGM_TEST_MAIN(TestMacroNames)
#include "tst_macronames.moc"
