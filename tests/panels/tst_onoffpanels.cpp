// The three on/off panels: a click writes the state the toggle now shows, in
// the panel's own byte, once; setting the toggle from an image writes nothing.

#include "onoffpanel.h"
#include "panelfixture.h"
#include "testsupport.h"

#include "globals.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <memory>

using namespace PanelFixture;

namespace {

enum Kind { Ripple, Straight, Motion };

OnOffPanel *MakePanel(int kind)
{
    switch (kind) {
    case Ripple:
        return new RippeControl;
    case Straight:
        return new StraightLine;
    default:
        return new MotionSync;
    }
}

QToolButton *Toggle(OnOffPanel *panel, const QString &name)
{
    auto *toggle = panel->findChild<QToolButton *>(name);
    if (!toggle)
        qFatal("no toggle %s", qPrintable(name));
    return toggle;
}

}  // namespace

class TestOnOffPanels : public QObject
{
    Q_OBJECT

private:
    void addPanelColumns()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("toggleName");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("labelText");
        QTest::newRow("RippeControl") << int(Ripple) << "RippeControl_2" << 10 << QString("波纹控制");
        QTest::newRow("StraightLine") << int(Straight) << "StraightLine_2" << 9 << QString("直线修正");
        QTest::newRow("MotionSync") << int(Motion) << "MotionSync_2" << 7 << QString("motion sync");
    }

private slots:
    void init() { OpenMouse(); }

    void clickWritesNewStateOnceInOwnByte_data() { addPanelColumns(); }
    void clickWritesNewStateOnceInOwnByte()
    {
        QFETCH(int, kind);
        QFETCH(QString, toggleName);
        QFETCH(int, offset);
        auto *panel = MakePanel(kind);
        Page page(panel);
        SeedByte(offset, 0);
        panel->SetChecked(false);
        QToolButton *toggle = Toggle(panel, toggleName);

        const QByteArray before = StoredImage();
        QTest::mouseClick(toggle, Qt::LeftButton);
        QVERIFY(toggle->isChecked());
        QCOMPARE(ImagesSent(), 1);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>{offset});
        QCOMPARE(StoredByte(offset), 1);

        QTest::mouseClick(toggle, Qt::LeftButton);
        QVERIFY(!toggle->isChecked());
        QCOMPARE(ImagesSent(), 2);
        QCOMPARE(ChangedBytes(before, StoredImage()), QList<int>());
    }

    void settingOrDisallowedClickWritesNothing_data() { addPanelColumns(); }
    void settingOrDisallowedClickWritesNothing()
    {
        QFETCH(int, kind);
        QFETCH(QString, toggleName);
        auto *panel = MakePanel(kind);
        Page page(panel);
        QToolButton *toggle = Toggle(panel, toggleName);

        panel->SetChecked(true);
        QVERIFY(toggle->isChecked());
        panel->SetChecked(false);
        QVERIFY(!toggle->isChecked());

        g_WritesAllowed = 0;
        QTest::mouseClick(toggle, Qt::LeftButton);
        QVERIFY(toggle->isChecked());  // the screen follows the user all the same
        QCOMPARE(ImagesSent(), 0);
    }

    void offlineClickWritesNothingAndNotifiesOnce_data() { addPanelColumns(); }
    void offlineClickWritesNothingAndNotifiesOnce()
    {
        QFETCH(int, kind);
        QFETCH(QString, toggleName);
        QFETCH(int, offset);
        auto *panel = MakePanel(kind);
        Page page(panel);
        panel->SetChecked(false);
        const int imageByte = uint8_t(reinterpret_cast<const char *>(&g_FlashDataMap)[offset]);
        UnplugMouse();
        std::unique_ptr<QSignalSpy> notices(OfflineNoticeSpy());

        QTest::mouseClick(Toggle(panel, toggleName), Qt::LeftButton);
        QCOMPARE(ImagesSent(), 0);
        QCOMPARE(notices->count(), 1);
        QCOMPARE(int(uint8_t(reinterpret_cast<const char *>(&g_FlashDataMap)[offset])), imageByte);
        QVERIFY(Toggle(panel, toggleName)->isChecked());  // not turned back
    }

    void formTextsAndPictures_data() { addPanelColumns(); }
    void formTextsAndPictures()
    {
        QFETCH(int, kind);
        QFETCH(QString, toggleName);
        QFETCH(QString, labelText);
        auto *panel = MakePanel(kind);
        Page page(panel);
        QCOMPARE(panel->size(), QSize(275, 31));
        QToolButton *toggle = Toggle(panel, toggleName);
        QCOMPARE(toggle->size(), QSize(36, 18));
        QCOMPARE(toggle->focusPolicy(), Qt::NoFocus);
        auto *label = panel->findChild<QLabel *>("label");
        QVERIFY(label);
        QCOMPARE(label->text(), labelText);
        panel->SetLabelText("Ripple");
        panel->SetLabelToolTip("Smooths the path");
        QCOMPARE(label->text(), QString("Ripple"));
        QCOMPARE(label->toolTip(), QString("Smooths the path"));
        QCOMPARE(MissingPictures(panel), QStringList());
        panel->SetChecked(kind == Motion);
        QVERIFY(page.Shoot("onoff-" + toggleName));
    }
};

VOGM_TEST_MAIN(TestOnOffPanels)
#include "tst_onoffpanels.moc"
