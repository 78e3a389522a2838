// The mirrored on/off panels: the same writes as the sensor page's, in the
// label-first layout.

#include "onoffpanelsb.h"
#include "panelfixture.h"
#include "testsupport.h"

#include "globals.h"

#include <QLabel>
#include <QToolButton>

using namespace PanelFixture;

namespace {

enum Kind { Ripple, Straight, Motion };

OnOffPanel *MakePanel(int kind)
{
    switch (kind) {
    case Ripple:
        return new RippeControlB;
    case Straight:
        return new StraightLineB;
    default:
        return new MotionSyncB;
    }
}

}  // namespace

class TestOnOffPanelsB : public QObject
{
    Q_OBJECT

private:
    void addPanelColumns()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("frameName");
        QTest::addColumn<QString>("toggleName");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("labelText");
        QTest::newRow("RippeControlB") << int(Ripple) << "RippeControlB" << "RippeControl_2" << 10
                                       << QString("波纹控制");
        QTest::newRow("StraightLineB") << int(Straight) << "StraightLineB" << "StraightLine_2" << 9
                                       << QString("直线修正");
        QTest::newRow("MotionSyncB") << int(Motion) << "MotionSyncB" << "MotionSync_2" << 7 << QString("motion sync");
    }

private slots:
    void init() { OpenMouse(); }

    void clickWritesTheNewStateInItsOwnByte_data() { addPanelColumns(); }
    void clickWritesTheNewStateInItsOwnByte()
    {
        QFETCH(int, kind);
        QFETCH(QString, toggleName);
        QFETCH(int, offset);
        auto *panel = MakePanel(kind);
        Page page(panel);
        SeedByte(offset, 0);
        auto *toggle = panel->findChild<QToolButton *>(toggleName);
        QVERIFY(toggle);

        const QByteArray before = StoredImage();
        QTest::mouseClick(toggle, Qt::LeftButton);
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{offset});
        QCOMPARE(StoredByte(offset), 1);

        QTest::mouseClick(toggle, Qt::LeftButton);
        QCOMPARE(ImagesSent(), 2);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>());

        // Set from an image, or clicked before writes are allowed: shown only.
        panel->SetChecked(true);
        QVERIFY(toggle->isChecked());
        g_WritesAllowed = 0;
        QTest::mouseClick(toggle, Qt::LeftButton);
        QVERIFY(!toggle->isChecked());
        QCOMPARE(ImagesSent(), 2);
    }

    void mirroredForm_data() { addPanelColumns(); }
    void mirroredForm()
    {
        QFETCH(int, kind);
        QFETCH(QString, frameName);
        QFETCH(QString, toggleName);
        QFETCH(QString, labelText);
        auto *panel = MakePanel(kind);
        Page page(panel);
        QCOMPARE(panel->objectName(), frameName);
        QCOMPARE(panel->size(), QSize(204, 31));
        auto *toggle = panel->findChild<QToolButton *>(toggleName);
        QCOMPARE(toggle->geometry(), QRect(165, 0, 36, 18));
        auto *label = panel->findChild<QLabel *>("label");
        QCOMPARE(label->geometry(), QRect(0, 0, 161, 31));
        QCOMPARE(label->alignment(), Qt::AlignRight | Qt::AlignTop);
        QCOMPARE(label->text(), labelText);
        QCOMPARE(MissingPictures(panel), QStringList());
        panel->SetLabelText("Ripple control");
        panel->SetChecked(kind != Straight);
        QVERIFY(page.Shoot("onoffb-" + frameName));
    }
};

VOGM_TEST_MAIN(TestOnOffPanelsB)
#include "tst_onoffpanelsb.moc"
