// The failed-update record "UpdateFailInfo" over the registry store.

#include "registrystore.h"
#include "testsupport.h"
#include "updatefailinfo.h"

#include <QFile>
#include <QtTest>

class TestUpdateFailInfo : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void storedTextsReadAsRecords_data();
    void storedTextsReadAsRecords();
    void writeAndRemove();
};

void TestUpdateFailInfo::init()
{
    QFile::remove(RegistryStore::DefaultFilePath());
}

void TestUpdateFailInfo::storedTextsReadAsRecords_data()
{
    QTest::addColumn<QString>("stored");  // "-": no value at all
    QTest::addColumn<bool>("set");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("classText");
    QTest::addColumn<int>("cid");
    QTest::addColumn<int>("mid");

    QTest::newRow("missing") << "-" << false << false << 0 << "" << 0 << 0;
    QTest::newRow("receiver") << "211,4,18,2" << true << true << 211 << "4" << 18 << 2;
    QTest::newRow("mouse, no class") << "210,0,18,3" << true << true << 210 << "0" << 18 << 3;
    // Empty fields count: four fields, the class empty.
    QTest::newRow("empty class") << "211,,18,2" << true << true << 211 << "" << 18 << 2;
    QTest::newRow("three fields") << "211,4,18" << true << false << 211 << "4" << 18 << 0;
    QTest::newRow("five fields") << "211,4,18,2,9" << true << false << 211 << "4" << 18 << 2;
    QTest::newRow("trailing comma") << "211,4,18,2," << true << false << 211 << "4" << 18 << 2;
    QTest::newRow("not numbers") << "x,4,y,z" << true << true << 0 << "4" << 0 << 0;
}

void TestUpdateFailInfo::storedTextsReadAsRecords()
{
    QFETCH(QString, stored);
    QFETCH(bool, set);
    QFETCH(bool, complete);
    if (stored != "-")
        QVERIFY(RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), "UpdateFailInfo", stored));

    QCOMPARE(UpdateFailInfo::IsSet(), set);
    const UpdateFailRecord record = UpdateFailInfo::Read();
    QCOMPARE(record.IsComplete(), complete);
    QTEST(record.Target(), "target");
    QTEST(record.ReceiverClassText(), "classText");
    QTEST(record.Cid(), "cid");
    QTEST(record.Mid(), "mid");
}

void TestUpdateFailInfo::writeAndRemove()
{
    RegistryStore store;
    QVERIFY(store.SetValue(RegistryStore::MouseDriveTestKey(), "MouseVer182", "v1.2"));
    QVERIFY(UpdateFailInfo::Write(210, 4, 18, 2));
    QCOMPARE(store.Value(RegistryStore::MouseDriveTestKey(), "UpdateFailInfo"), QString("210,4,18,2"));
    QVERIFY(UpdateFailInfo::Write(211, 8, 18, 3));  // a later failure replaces it
    QCOMPARE(UpdateFailInfo::StoredText(), QString("211,8,18,3"));
    QVERIFY(UpdateFailInfo::Remove());
    QVERIFY(!UpdateFailInfo::IsSet());
    QVERIFY(!store.Contains(RegistryStore::MouseDriveTestKey(), "UpdateFailInfo"));
    QCOMPARE(store.Value(RegistryStore::MouseDriveTestKey(), "MouseVer182"), QString("v1.2"));
    QVERIFY(UpdateFailInfo::Remove());  // nothing left to remove is no failure
}

VOGM_TEST_MAIN(TestUpdateFailInfo)
#include "tst_updatefailinfo.moc"
