// The button page's key-combination function: the real DPI_8 button opens the
// key-combination dialog over the page, keys typed into it reach the
// simulated mouse as the row's key record, and Cancel or an offline mouse
// leave the row as it was.

#include "buttoninterface.h"
#include "buttonpagesuite.h"
#include "groupkey.h"
#include "keyrecord.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "testsupport.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QtTest>
#include <functional>

using namespace ButtonPageKit;
using namespace PanelFixture;

namespace {


QByteArray BytesOf(const KeyRecord &record)
{
    const KeyRecordBytes bytes = StoreKeyRecord(record);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), int(bytes.size()));
}

// Runs `script` on the key-combination dialog once it is the modal window.
void WhenDialogOpens(QObject *owner, const std::function<void(GroupKey *)> &script)
{
    auto *timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, script] {
        if (auto *dialog = qobject_cast<GroupKey *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            script(dialog);
        }
    });
    timer->start(10);
}

void TypeCtrlC(GroupKey *dialog)
{
    dialog->findChild<QCheckBox *>("Ctrl")->setChecked(true);
    QTest::keyClick(dialog->windowHandle(), Qt::Key_C);
}

void Press(GroupKey *dialog, const char *button)
{
    dialog->findChild<QToolButton *>(button)->click();
}

}  // namespace

class TestKeyCombination : public ButtonPageSuite
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void confirmedCombinationReachesTheMouse_data();
    void confirmedCombinationReachesTheMouse();
    void cancelChangesNothing();
    void offlineRaisesTheNoticeOnce();

private:
    QString Page(const char *stack) const
    {
        return m_page->findChild<QStackedWidget *>(stack)->currentWidget()->objectName();
    }
    // Selects the row with its marker, opens the function list and shows
    // the media-key list with a highlighted key.
    void PrepareRow(const QString &marker);
    void ClickCombination() { QTest::mouseClick(Button("DPI_8"), Qt::LeftButton); }
};

void TestKeyCombination::init()
{
    m_page = new Buttoninterface(nullptr);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page, TestSupport::kHangGuardMs));
    OpenMouse();
}

void TestKeyCombination::cleanup()
{
    delete m_page;
    m_page = nullptr;
}

void TestKeyCombination::PrepareRow(const QString &marker)
{
    QTest::mouseClick(Button(marker), Qt::LeftButton);
    m_page->findChild<QStackedWidget *>("stackedWidget")->setCurrentWidget(m_page->findChild<QWidget *>("page_2"));
    QTest::mouseClick(Button("DPI_12"), Qt::LeftButton);
    Button("Mute")->setChecked(true);
    QCOMPARE(Page("stackedWidget_2"), QString("page_3"));
}

void TestKeyCombination::confirmedCombinationReachesTheMouse_data()
{
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("device");

    QTest::newRow("StartPause") << "Number4" << "StartPause" << 4;
    QTest::newRow("TopMusic") << "Number5" << "TopMusic" << 3;
}

void TestKeyCombination::confirmedCombinationReachesTheMouse()
{
    QFETCH(QString, marker);
    QFETCH(QString, row);
    QFETCH(int, device);
    PrepareRow(marker);

    QPoint dialogPos;
    WhenDialogOpens(m_page, [&](GroupKey *dialog) {
        dialogPos = dialog->pos();
        TypeCtrlC(dialog);
        Press(dialog, "NewHong");
    });
    ClickCombination();

    const QPoint page = m_page->mapToGlobal(QPoint(0, 0));
    QCOMPARE(dialogPos, page + QPoint((m_page->width() - 300) / 2 - 50, (m_page->height() - 140) / 2 - 70));
    QCOMPARE(StoredEntry(device), QByteArray::fromHex("050000"));
    QCOMPARE(StoredKeyRecord(device), BytesOf(Buttoninterface::ComboTextToKeyRecord("Ctrl+C")));
    QCOMPARE(Button(row)->text(), QString("Ctrl+C"));
    QCOMPARE(m_page->Assignments().Types().value(device), 5);
    QCOMPARE(Page("stackedWidget"), QString("page_2"));
    QCOMPARE(Page("stackedWidget_2"), QString("page_9"));
    QCOMPARE(m_page->DetailGroup->checkedButton(), nullptr);
    QVERIFY(Button("DPI_8")->isChecked());
    QVERIFY(Button(row)->isChecked());
    QCOMPARE(ImagesSent(), 1);
}

void TestKeyCombination::cancelChangesNothing()
{
    PrepareRow("Number4");
    const QString caption = Button("StartPause")->text();
    const QByteArray image = StoredImage();
    const QVector<int> types = m_page->Assignments().Types();

    WhenDialogOpens(m_page, [](GroupKey *dialog) {
        TypeCtrlC(dialog);
        Press(dialog, "NewHong_2");
    });
    ClickCombination();

    QCOMPARE(Button("StartPause")->text(), caption);
    QCOMPARE(StoredImage(), image);
    QCOMPARE(ImagesSent(), 0);
    QCOMPARE(m_page->Assignments().Types(), types);
    QCOMPARE(Page("stackedWidget"), QString("page_2"));
    QCOMPARE(Page("stackedWidget_2"), QString("page_3"));
    QVERIFY(Button("Mute")->isChecked());
}

void TestKeyCombination::offlineRaisesTheNoticeOnce()
{
    PrepareRow("Number5");
    const QString caption = Button("TopMusic")->text();
    const QVector<int> types = m_page->Assignments().Types();
    UnplugMouse();
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);

    WhenDialogOpens(m_page, [](GroupKey *dialog) {
        TypeCtrlC(dialog);
        Press(dialog, "NewHong");
    });
    ClickCombination();

    QCOMPARE(offline.count(), 1);
    QCOMPARE(offline.first().first().toInt(), 0);
    QCOMPARE(Button("TopMusic")->text(), caption);
    QCOMPARE(m_page->Assignments().Types(), types);
    QCOMPARE(ImagesSent(), 0);
    QCOMPARE(Page("stackedWidget"), QString("page_2"));
    QCOMPARE(Page("stackedWidget_2"), QString("page_9"));
}

VOGM_TEST_MAIN(TestKeyCombination)
#include "tst_keycombination.moc"
