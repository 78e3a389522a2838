// The lift-off panel: the codes the items write with and without the 0.7 mm
// item, how the page's byte selects an item, and adding/removing 0.7 mm.

#include "panelfixture.h"
#include "sensorlod.h"
#include "testsupport.h"

#include "globals.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <memory>

using namespace PanelFixture;

namespace {

QComboBox *Box(SensorLOD *panel)
{
    return panel->findChild<QComboBox *>("LOD");
}

QStringList Items(QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

}  // namespace

class TestSensorLOD : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void choiceWritesItsCode_data()
    {
        QTest::addColumn<bool>("with07");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("choose");
        QTest::addColumn<int>("code");
        QTest::newRow("three: 0.7mm") << true << 1 << 0 << 3;
        QTest::newRow("three: 1mm") << true << 0 << 1 << 1;
        QTest::newRow("three: 2mm") << true << 1 << 2 << 2;
        QTest::newRow("two: 1mm") << false << 1 << 0 << 1;
        QTest::newRow("two: 2mm") << false << 0 << 1 << 2;
    }
    void choiceWritesItsCode()
    {
        QFETCH(bool, with07);
        QFETCH(int, from);
        QFETCH(int, choose);
        QFETCH(int, code);
        auto *panel = new SensorLOD;
        Page page(panel);
        // Set up as the sensor page's fill does: nothing is sent.
        g_SensorRefreshing = 1;
        if (with07)
            panel->AddItem07mm();
        panel->SetComboEnabled(true);
        Box(panel)->setCurrentIndex(from);
        g_SensorRefreshing = 0;
        SeedByte(5, 0);
        const QByteArray before = StoredImage();

        ChooseItem(Box(panel), choose);
        QCOMPARE(Box(panel)->currentIndex(), choose);
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{5});
        QCOMPARE(StoredByte(5), code);
    }

    void noWriteWhileFillingOrNotAllowed()
    {
        auto *panel = new SensorLOD;
        Page page(panel);
        panel->SetComboEnabled(true);
        g_SensorRefreshing = 1;
        ChooseItem(Box(panel), 1);
        g_SensorRefreshing = 0;
        g_WritesAllowed = 0;
        ChooseItem(Box(panel), 0);
        QCOMPARE(Box(panel)->currentIndex(), 0);
        QCOMPARE(ImagesSent(), 0);
    }

    void offlineChoiceRaisesOneNotice()
    {
        auto *panel = new SensorLOD;
        Page page(panel);
        panel->SetComboEnabled(true);
        UnplugMouse();
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());
        ChooseItem(Box(panel), 1);
        QCOMPARE(Box(panel)->currentIndex(), 1);
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(notices->count(), 1);
    }

    void selectByValue_data()
    {
        QTest::addColumn<bool>("with07");
        QTest::addColumn<int>("value");  // image byte 5 minus 1
        QTest::addColumn<int>("index");  // the item then current
        // Three items: 0.7mm, 1mm, 2mm; the box starts at 2mm.
        QTest::newRow("three: 1mm") << true << 0 << 1;
        QTest::newRow("three: 2mm") << true << 1 << 2;
        QTest::newRow("three: 0.7mm") << true << 2 << 0;
        QTest::newRow("three: 3 unchanged") << true << 3 << 2;
        QTest::newRow("three: -1 unchanged") << true << -1 << 2;
        // Two items: the value is the index; the box starts at 2mm.
        QTest::newRow("two: 1mm") << false << 0 << 0;
        QTest::newRow("two: 2mm") << false << 1 << 1;
        QTest::newRow("two: byte 3 names no item") << false << 2 << -1;
    }
    void selectByValue()
    {
        QFETCH(bool, with07);
        QFETCH(int, value);
        QFETCH(int, index);
        auto *panel = new SensorLOD;
        Page page(panel);
        g_SensorRefreshing = 1;
        if (with07)
            panel->AddItem07mm();
        Box(panel)->setCurrentIndex(Box(panel)->count() - 1);
        panel->SelectByValue(value);
        QCOMPARE(Box(panel)->currentIndex(), index);
        g_SensorRefreshing = 0;
        QCOMPARE(ImagesSent(), 0);
    }

    void addingAndRemovingTheShortDistance()
    {
        auto *panel = new SensorLOD;
        Page page(panel);
        QComboBox *box = Box(panel);
        g_SensorRefreshing = 1;
        QCOMPARE(Items(box), QStringList({"1mm", "2mm"}));
        QCOMPARE(box->currentIndex(), 0);

        panel->AddItem07mm();
        QCOMPARE(Items(box), QStringList({"0.7mm", "1mm", "2mm"}));
        QCOMPARE(box->currentText(), QString("1mm"));  // still current, now at index 1
        QCOMPARE(box->currentIndex(), 1);
        panel->AddItem07mm();
        QCOMPARE(box->count(), 3);

        box->setCurrentIndex(0);
        panel->RemoveItem07mm();
        QCOMPARE(Items(box), QStringList({"1mm", "2mm"}));
        QCOMPARE(box->currentText(), QString("1mm"));
        panel->RemoveItem07mm();
        QCOMPARE(box->count(), 2);
        g_SensorRefreshing = 0;
        QCOMPARE(ImagesSent(), 0);
    }

    void itemUnitLabelsTheMillimetreItems()
    {
        auto *panel = new SensorLOD;
        Page page(panel);
        panel->SetItemUnit("mm");
        QCOMPARE(Items(Box(panel)), QStringList({"1 mm", "2 mm"}));
        g_SensorRefreshing = 1;
        panel->AddItem07mm();
        panel->SetItemUnit("毫米");
        QCOMPARE(Items(Box(panel)), QStringList({"0.7mm", "1 毫米", "2 毫米"}));
    }

    void formTextsAndPictures()
    {
        auto *panel = new SensorLOD;
        Page page(panel);
        QCOMPARE(panel->size(), QSize(131, 61));
        QVERIFY(!Box(panel)->isEnabled());  // until the page knows the sensor calibrates
        QVERIFY(Box(panel)->styleSheet().contains("QComboBox:disabled{color: rgb(0, 0, 0);}"));
        auto *label = panel->findChild<QLabel *>("label");
        QCOMPARE(label->text(), QString(" LOD"));
        panel->SetLabelText("Lift-off distance");
        panel->SetLabelToolTip("Height at which the sensor stops tracking");
        QCOMPARE(label->text(), QString("Lift-off distance"));
        QCOMPARE(label->toolTip(), QString("Height at which the sensor stops tracking"));
        QCOMPARE(MissingPictures(panel), QStringList());
        QCOMPARE(MissingPictures(Box(panel)->view()), QStringList());
        QVERIFY(page.Shoot("sensorlod-disabled"));
        g_SensorRefreshing = 1;
        panel->AddItem07mm();
        panel->SetComboEnabled(true);
        QVERIFY(page.Shoot("sensorlod-enabled"));
    }
};

VOGM_TEST_MAIN(TestSensorLOD)
#include "tst_sensorlod.moc"
