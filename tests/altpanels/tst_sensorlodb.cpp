// The lift-off panel as check boxes: the code each box writes, the gates, the
// choice a host's value selects (also before the panel is on screen), the
// 0.7 mm box's place, and a pulled cable.

#include "panelfixture.h"
#include "sensorlodb.h"
#include "testsupport.h"

#include "globals.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <memory>

using namespace PanelFixture;

namespace {

const QStringList kBoxes{"MM0", "MM1", "MM2"};

QCheckBox *Box(SensorLODB *panel, const QString &name)
{
    auto *box = panel->findChild<QCheckBox *>(name);
    if (!box)
        qFatal("no box %s", qPrintable(name));
    return box;
}

// The names of the checked boxes.
QStringList Checked(SensorLODB *panel)
{
    QStringList checked;
    for (const QString &name : kBoxes) {
        if (Box(panel, name)->isChecked())
            checked << name;
    }
    return checked;
}

}  // namespace

class TestSensorLODB : public QObject
{
    Q_OBJECT

private slots:
    void init() { OpenMouse(); }

    void clickWritesTheBoxCodeEachTime_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("code");
        QTest::newRow("1mm") << "MM1" << 1;
        QTest::newRow("2mm") << "MM2" << 2;
        QTest::newRow("0.7mm") << "MM0" << 3;
    }
    void clickWritesTheBoxCodeEachTime()
    {
        QFETCH(QString, box);
        QFETCH(int, code);
        auto *panel = new SensorLODB;
        Page page(panel);
        panel->Show07mm();
        SeedByte(5, 0);
        panel->SelectByValue(box == "MM1" ? 1 : 0);  // another box checked first
        const QByteArray before = StoredImage();

        QTest::mouseClick(Box(panel, box), Qt::LeftButton);
        QCOMPARE(Checked(panel), QStringList{box});
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{5});
        QCOMPARE(StoredByte(5), code);

        SeedByte(5, 0);
        QTest::mouseClick(Box(panel, box), Qt::LeftButton);
        QCOMPARE(Checked(panel), QStringList{box});
        QCOMPARE(ImagesSent(), 2);
        QCOMPARE(StoredByte(5), code);
    }

    void closedGatesCheckWithoutWriting_data()
    {
        QTest::addColumn<bool>("writesAllowed");
        QTest::addColumn<bool>("refreshing");
        QTest::newRow("writes not allowed") << false << false;
        QTest::newRow("sensor page filling") << true << true;
    }
    void closedGatesCheckWithoutWriting()
    {
        QFETCH(bool, writesAllowed);
        QFETCH(bool, refreshing);
        auto *panel = new SensorLODB;
        Page page(panel);
        g_WritesAllowed = writesAllowed ? 1 : 0;
        g_SensorRefreshing = refreshing ? 1 : 0;
        QTest::mouseClick(Box(panel, "MM2"), Qt::LeftButton);
        QCOMPARE(Checked(panel), QStringList{"MM2"});
        QCOMPARE(ImagesSent(), 0);
        g_SensorRefreshing = 0;
    }

    // The host fills the panel before it is on screen: a shown 0.7 mm box
    // counts as shown although nothing of the panel is visible yet.
    void selectByValueBeforeThePanelIsOnScreen_data()
    {
        QTest::addColumn<bool>("with07");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("checked");
        for (bool with07 : {false, true}) {
            const char *tag = with07 ? "shown" : "hidden";
            QTest::addRow("%s: 0", tag) << with07 << 0 << "MM1";
            QTest::addRow("%s: 1", tag) << with07 << 1 << "MM2";
            QTest::addRow("%s: 2", tag) << with07 << 2 << (with07 ? "MM0" : "MM2");
            QTest::addRow("%s: 3", tag) << with07 << 3 << "MM2";
            QTest::addRow("%s: -1", tag) << with07 << -1 << "MM2";
        }
    }
    void selectByValueBeforeThePanelIsOnScreen()
    {
        QFETCH(bool, with07);
        QFETCH(int, value);
        QFETCH(QString, checked);
        SensorLODB panel;
        if (with07)
            panel.Show07mm();
        QCOMPARE(Checked(&panel), QStringList());
        panel.SelectByValue(1);
        panel.SelectByValue(value);
        QCOMPARE(Checked(&panel), QStringList{checked});
        QCOMPARE(ImagesSent(), 0);
    }

    void disabledChoicesLeaveTheShown07mmBoxWriting()
    {
        auto *panel = new SensorLODB;
        Page page(panel);
        panel->Show07mm();
        panel->SetChoiceEnabled(false);
        QVERIFY(!Box(panel, "MM1")->isEnabled());
        QVERIFY(!Box(panel, "MM2")->isEnabled());
        QVERIFY(Box(panel, "MM0")->isEnabled());
        SeedByte(5, 1);
        QTest::mouseClick(Box(panel, "MM0"), Qt::LeftButton);
        QCOMPARE(StoredByte(5), 3);
        panel->SetChoiceEnabled(true);
        QVERIFY(Box(panel, "MM1")->isEnabled());
    }

    void hidingAndShowing07mmMovesTheBoxes()
    {
        auto *panel = new SensorLODB;
        Page page(panel);
        QVERIFY(Box(panel, "MM0")->isHidden());
        QCOMPARE(Box(panel, "MM1")->x(), 165);
        QCOMPARE(Box(panel, "MM2")->x(), 250);
        panel->Hide07mm();
        QVERIFY(Box(panel, "MM0")->isHidden());
        QCOMPARE(Box(panel, "MM1")->x(), 80);
        QCOMPARE(Box(panel, "MM2")->x(), 165);
        panel->Show07mm();
        QVERIFY(Box(panel, "MM0")->isVisible());
        QCOMPARE(Box(panel, "MM0")->pos(), QPoint(80, 0));
        QCOMPARE(Box(panel, "MM1")->pos(), QPoint(165, 0));
        QCOMPARE(Box(panel, "MM2")->pos(), QPoint(250, 0));
    }

    void pulledCableNotifiesOnceAndKeepsTheChoice()
    {
        auto *panel = new SensorLODB;
        Page page(panel);
        panel->SelectByValue(0);
        UnplugMouse();
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());
        QTest::mouseClick(Box(panel, "MM2"), Qt::LeftButton);
        QCOMPARE(notices->count(), 1);
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(Checked(panel), QStringList{"MM2"});
    }

    void formTextsAndPictures()
    {
        auto *panel = new SensorLODB;
        Page page(panel);
        QCOMPARE(panel->size(), QSize(338, 20));
        QCOMPARE(Box(panel, "MM0")->text(), QString("0.7mm"));
        QCOMPARE(Box(panel, "MM1")->text(), QString("1mm"));
        QCOMPARE(Box(panel, "MM2")->text(), QString("2mm"));
        auto *label = panel->findChild<QLabel *>("label");
        QCOMPARE(label->text(), QString(" LOD"));
        panel->SetLabelText("LOD");
        panel->SetLabelToolTip("Lift-off distance");
        QCOMPARE(label->text(), QString("LOD"));
        QCOMPARE(label->toolTip(), QString("Lift-off distance"));
        panel->Show07mm();
        QCOMPARE(MissingPictures(panel), QStringList());
        panel->SelectByValue(2);
        QVERIFY(page.Shoot("sensorlodb"));
    }
};

VOGM_TEST_MAIN(TestSensorLODB)
#include "tst_sensorlodb.moc"
