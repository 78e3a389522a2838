// The fire key: the dialog's clamping, ways out, look and texts, and the
// button page's DPI_6 opening it over the page at the row's values and
// writing the confirmed entry to the simulated mouse.

#include "buttoninterface.h"
#include "buttonpagesuite.h"
#include "firekey.h"
#include "globals.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "testsupport.h"

#include <QButtonGroup>
#include <QLabel>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <functional>

using namespace ButtonPageKit;
using namespace PanelFixture;

namespace {


QSpinBox *Spin(QWidget *dialog, const char *name)
{
    return dialog->findChild<QSpinBox *>(QLatin1String(name));
}

// Runs `script` on the fire-key dialog once it is the modal window.
void WhenDialogOpens(QObject *owner, const std::function<void(FireKey *)> &script)
{
    auto *timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, script] {
        if (auto *dialog = qobject_cast<FireKey *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            script(dialog);
        }
    });
    timer->start(10);
}

void Press(FireKey *dialog, const char *button)
{
    QTest::mouseClick(dialog->findChild<QToolButton *>(QLatin1String(button)), Qt::LeftButton);
}

}  // namespace

class TestFireKey : public ButtonPageSuite
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dialogClampsItsPresets_data();
    void dialogClampsItsPresets();
    void dialogLookAndEnglishTexts();

    void opensAtTheRowsValues_data();
    void opensAtTheRowsValues();
    void confirmedValuesReachTheMouse_data();
    void confirmedValuesReachTheMouse();
    void waysOutChangeNothing_data();
    void waysOutChangeNothing();
    void offlineOnlyClosesTheLists();
    void doubleClickWritesBeforeTheDialogOpens();

private:
    QString Page(const char *stack) const
    {
        return m_page->findChild<QStackedWidget *>(stack)->currentWidget()->objectName();
    }
    // Selects the row with its marker and opens the function list.
    void PrepareRow(const QString &marker);
    void PressFireKey() { QTest::mouseClick(Button("DPI_6"), Qt::LeftButton); }
};

void TestFireKey::init()
{
    m_page = new Buttoninterface(nullptr);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page, TestSupport::kHangGuardMs));
    OpenMouse();
}

void TestFireKey::cleanup()
{
    g_ButtonRefreshing = 0;
    delete m_page;
    m_page = nullptr;
}

void TestFireKey::PrepareRow(const QString &marker)
{
    QTest::mouseClick(Button(marker), Qt::LeftButton);
    m_page->findChild<QStackedWidget *>("stackedWidget")->setCurrentWidget(m_page->findChild<QWidget *>("page_2"));
}

void TestFireKey::dialogClampsItsPresets_data()
{
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("shownInterval");
    QTest::addColumn<int>("shownCount");

    QTest::newRow("below") << 5 << -1 << 10 << 0;
    QTest::newRow("above") << 300 << 9 << 255 << 3;
    QTest::newRow("inside") << 200 << 0 << 200 << 0;
}

void TestFireKey::dialogClampsItsPresets()
{
    QFETCH(int, interval);
    QFETCH(int, count);
    QFETCH(int, shownInterval);
    QFETCH(int, shownCount);

    FireKey dialog;
    QCOMPARE(Spin(&dialog, "Time")->value(), 10);
    QCOMPARE(Spin(&dialog, "Count")->value(), 3);
    dialog.SetInterval(interval);
    dialog.SetCount(count);
    QCOMPARE(Spin(&dialog, "Time")->value(), shownInterval);
    QCOMPARE(Spin(&dialog, "Count")->value(), shownCount);
    // Only OK takes the values.
    QCOMPARE(dialog.IntervalValue, 10);
    QCOMPARE(dialog.CountValue, 3);
}

void TestFireKey::dialogLookAndEnglishTexts()
{
    FireKey dialog;
    QCOMPARE(int(dialog.windowFlags() & ~Qt::WindowType(Qt::Window)), 0x6C12);
    QCOMPARE(dialog.size(), QSize(406, 170));
    QCOMPARE(MissingPictures(&dialog), QStringList());
    QVERIFY(dialog.findChild<QFrame *>("FireKeyA")->styleSheet().contains("border-image: url(")
            && dialog.findChild<QFrame *>("FireKeyA")->styleSheet().contains("BackGround.png"));
    for (const char *name : {"Count", "Time"}) {
        QCOMPARE(Spin(&dialog, name)->buttonSymbols(), QAbstractSpinBox::NoButtons);
        QCOMPARE(Spin(&dialog, name)->alignment(), Qt::AlignCenter);
    }

    // No language stored: the English file.
    QCOMPARE(dialog.findChild<QLabel *>("label")->text(), QString("Count (0-3)"));
    QCOMPARE(dialog.findChild<QLabel *>("label_2")->text(), QString("Interval (10-255)"));
    QVERIFY(dialog.findChild<QLabel *>("label_3")->text().startsWith("With a count of 0"));
    QCOMPARE(dialog.findChild<QToolButton *>("NewHong")->text(), QString("OK"));
    QCOMPARE(dialog.findChild<QToolButton *>("NewHong_2")->text(), QString("Cancel"));
}

void TestFireKey::opensAtTheRowsValues_data()
{
    QTest::addColumn<bool>("fireKeyRow");
    QTest::addColumn<int>("interval");
    QTest::addColumn<int>("count");

    QTest::newRow("row without the fire key") << false << 10 << 3;
    QTest::newRow("row with the fire key") << true << 50 << 0;
}

void TestFireKey::opensAtTheRowsValues()
{
    QFETCH(bool, fireKeyRow);
    QFETCH(int, interval);
    QFETCH(int, count);
    FlashDataMap image{};
    image.Keys[1] = fireKeyRow ? KeyEntry{4, 50, 0} : KeyEntry{1, 2, 0};
    m_page->SlotUpDataButtonUIButton(image);
    // The row's entry decides, not a caption that reads like the fire key.
    if (!fireKeyRow)
        Button("RightKey")->setText(Button("DPI_6")->text());
    PrepareRow("Number2");

    int shownInterval = -1;
    int shownCount = -1;
    QPoint dialogPos;
    WhenDialogOpens(m_page, [&](FireKey *dialog) {
        shownInterval = Spin(dialog, "Time")->value();
        shownCount = Spin(dialog, "Count")->value();
        dialogPos = dialog->pos();
        Press(dialog, "NewHong_2");
    });
    PressFireKey();

    QCOMPARE(shownInterval, interval);
    QCOMPARE(shownCount, count);
    const QPoint page = m_page->mapToGlobal(QPoint(0, 0));
    QCOMPARE(dialogPos, page + QPoint((m_page->width() - 406) / 2 - 50, (m_page->height() - 170) / 2 - 70));
}

void TestFireKey::confirmedValuesReachTheMouse_data()
{
    QTest::addColumn<QString>("marker");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("device");

    QTest::newRow("BackKey") << "Number3" << "BackKey" << 2;
    QTest::newRow("StartPause") << "Number4" << "StartPause" << 4;
    QTest::newRow("TopMusic") << "Number5" << "TopMusic" << 3;
}

void TestFireKey::confirmedValuesReachTheMouse()
{
    QFETCH(QString, marker);
    QFETCH(QString, row);
    QFETCH(int, device);
    PrepareRow(marker);
    Button("Mute")->setChecked(true);

    WhenDialogOpens(m_page, [](FireKey *dialog) {
        Spin(dialog, "Time")->setValue(200);
        Spin(dialog, "Count")->setValue(0);
        Press(dialog, "NewHong");
    });
    PressFireKey();

    QCOMPARE(StoredEntry(device), QByteArray::fromHex("04C800"));
    QCOMPARE(ImagesSent(), 1);
    QCOMPARE(Button(row)->text(), Button("DPI_6")->text());
    QCOMPARE(m_page->Assignments().Types().value(device), 4);
    QCOMPARE(m_page->Assignments().Params1().value(device), 200);
    QCOMPARE(m_page->Assignments().Params2().value(device), 0);
    QCOMPARE(m_page->FireInterval, 200);
    QCOMPARE(m_page->FireCount, 0);
    QCOMPARE(m_page->DetailGroup->checkedButton(), nullptr);
    QCOMPARE(Page("stackedWidget"), QString("page"));
    QCOMPARE(Page("stackedWidget_2"), QString("page_9"));
}

void TestFireKey::waysOutChangeNothing_data()
{
    QTest::addColumn<QString>("way");

    QTest::newRow("Cancel") << "NewHong_2";
    QTest::newRow("Close") << "CloseButton";
    QTest::newRow("Escape") << "";
}

void TestFireKey::waysOutChangeNothing()
{
    QFETCH(QString, way);
    PrepareRow("Number4");
    const QString caption = Button("StartPause")->text();
    const QByteArray image = StoredImage();
    const QVector<int> types = m_page->Assignments().Types();

    bool confirmed = true;
    FireKey *seen = nullptr;
    WhenDialogOpens(m_page, [&](FireKey *dialog) {
        seen = dialog;
        Spin(dialog, "Time")->setValue(99);
        if (way.isEmpty())
            QTest::keyClick(dialog, Qt::Key_Escape);
        else
            Press(dialog, qPrintable(way));
        confirmed = dialog->Confirmed;
    });
    PressFireKey();

    QVERIFY(seen);
    QVERIFY(!confirmed);
    QCOMPARE(Button("StartPause")->text(), caption);
    QCOMPARE(StoredImage(), image);
    QCOMPARE(ImagesSent(), 0);
    QCOMPARE(m_page->Assignments().Types(), types);
    QCOMPARE(m_page->FireInterval, 10);
    QCOMPARE(Page("stackedWidget"), QString("page_2"));
}

void TestFireKey::offlineOnlyClosesTheLists()
{
    PrepareRow("Number2");
    m_page->findChild<QStackedWidget *>("stackedWidget_2")->setCurrentWidget(m_page->findChild<QWidget *>("page_3"));
    UnplugMouse();
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);

    int opened = 0;
    WhenDialogOpens(m_page, [&](FireKey *dialog) {
        ++opened;
        Press(dialog, "NewHong_2");
    });
    PressFireKey();
    QTest::qWait(50);

    QCOMPARE(opened, 0);
    QCOMPARE(offline.count(), 0);
    QCOMPARE(Page("stackedWidget"), QString("page"));
    QCOMPARE(Page("stackedWidget_2"), QString("page_9"));

    // A page filling itself counts as online: the dialog opens.
    g_ButtonRefreshing = 1;
    PrepareRow("Number2");
    PressFireKey();
    QCOMPARE(opened, 1);
    QCOMPARE(offline.count(), 0);
}

void TestFireKey::doubleClickWritesBeforeTheDialogOpens()
{
    PrepareRow("Number1");

    // A plain press: nothing is written before the dialog.
    int imagesWhenOpen = -1;
    WhenDialogOpens(m_page, [&](FireKey *dialog) {
        imagesWhenOpen = ImagesSent();
        Press(dialog, "NewHong_2");
    });
    PressFireKey();
    QCOMPARE(imagesWhenOpen, 0);

    // A double click writes the last values first (the dialog's defaults
    // before any was confirmed), then opens the dialog.
    QByteArray entryWhenOpen;
    WhenDialogOpens(m_page, [&](FireKey *dialog) {
        entryWhenOpen = StoredEntry(0);
        Press(dialog, "NewHong_2");
    });
    PrepareRow("Number1");
    emit Button("DPI_6")->clicked(true);
    QCOMPARE(entryWhenOpen, QByteArray::fromHex("040A03"));
    QCOMPARE(m_page->Assignments().Types().value(0), 4);
    QCOMPARE(Button("FireKey")->text(), Button("DPI_6")->text());
}

VOGM_TEST_MAIN(TestFireKey)
#include "tst_firekey.moc"
