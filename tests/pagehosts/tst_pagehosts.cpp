// The debounce and sleep-time panels as the button page and the settings page
// host them: a fill from the mouse selects without writing, an applied import
// takes a changed debounce time as a choice, texts come from the language files.

#include "buttoninterface.h"
#include "devicesession.h"
#include "formsetting.h"
#include "globals.h"
#include "hidusb_control.h"
#include "macroini.h"
#include "postmsg.h"
#include "testsupport.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QtTest>
#include <thread>

class TestPageHosts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void buttonFillSelectsTheDebounceItemWithoutWriting();
    void importFillTakesAChangedDebounceAsAChoice();
    void sleepTimeFollowsTheButtonPage_data();
    void sleepTimeFollowsTheButtonPage();
    void panelTextsComeFromTheLanguageFile();

private:
    QComboBox *Debounce() const { return m_buttons->findChild<QComboBox *>("Debunce"); }
    QComboBox *Sleep() const { return m_settings->findChild<QComboBox *>("StopClose"); }
    Buttoninterface *m_buttons = nullptr;
    FormSetting *m_settings = nullptr;
};

void TestPageHosts::initTestCase()
{
    HidSim::SetWorld(HidSim::DefaultWorld());
    m_buttons = new Buttoninterface(nullptr);
    m_settings = new FormSetting(nullptr);
    QVERIFY(Debounce());
    QVERIFY(Sleep());
    QCOMPARE(m_buttons->findChild<QWidget *>("DebunceButton")->geometry(), QRect(35, 50, 165, 37));
    QCOMPARE(m_settings->findChild<QWidget *>("frameClose")->geometry(), QRect(250, 365, 145, 35));
    g_WritesAllowed = 1;
    SetCurrentPath(HidSim::PathOf("m1"));
}

void TestPageHosts::buttonFillSelectsTheDebounceItemWithoutWriting()
{
    FlashDataMap image{};
    image.DebounceTime = 2;  // would warn and write if the panel reacted
    image.StopCloseTime = 30;
    HidSim::ResetWriteStats();
    std::thread([&] { PostMsg::GetInstance()->EmitUpDataLightUIButton(image); }).detach();
    QVERIFY(QTest::qWaitFor([] { return g_ButtonFilled == 1; }));
    QCOMPARE(Debounce()->currentIndex(), 2);
    QCOMPARE(Sleep()->currentIndex(), 3);  // 300 s
    QCOMPARE(HidSim::CurrentWriteStats().calls, 0);
    QVERIFY(QApplication::activeModalWidget() == nullptr);

    std::thread([] { PostMsg::GetInstance()->EmitFormReset(); }).detach();
    QVERIFY(QTest::qWaitFor([&] { return Debounce()->currentIndex() == 8; }));
    QVERIFY(QTest::qWaitFor([&] { return Sleep()->currentIndex() == 2; }));  // 60 s
    QCOMPARE(HidSim::CurrentWriteStats().calls, 0);
}

// An applied import or cached image reaches the page through the wait popup:
// the sleep time is only shown, a changed debounce time is taken as if chosen
// (written again, and a very short one warned about); the same one is not.
void TestPageHosts::importFillTakesAChangedDebounceAsAChoice()
{
    QVERIFY(TestSupport::OpenAsCurrentDevice("m1"));  // writes reach only a mouse whose image was read
    {
        const QSignalBlocker quiet(Debounce());
        Debounce()->setCurrentIndex(8);
    }
    FlashDataMap image{};
    image.DebounceTime = 1;
    image.StopCloseTime = 90;
    HidSim::ClearCallLog();
    TestSupport::ModalWatcher watcher;
    PostMsg::GetInstance()->EmitUpDataButtonUIC(image);  // the notice opens inside this call
    QCOMPARE(watcher.Classes(), QStringList{"LessThree"});
    QCOMPARE(Debounce()->currentIndex(), 1);
    QCOMPARE(Sleep()->currentIndex(), 5);  // 15 min
    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 1);

    PostMsg::GetInstance()->EmitUpDataButtonUIC(image);
    QCOMPARE(watcher.seen.size(), 1);
    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 1);
}

void TestPageHosts::sleepTimeFollowsTheButtonPage_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("item");
    QTest::newRow("10 s") << 10 << 0;
    QTest::newRow("5 min") << 300 << 3;
    QTest::newRow("40 min") << 2400 << 10;
    QTest::newRow("unknown value keeps the item") << 45 << 10;
}

void TestPageHosts::sleepTimeFollowsTheButtonPage()
{
    QFETCH(int, seconds);
    QFETCH(int, item);
    HidSim::ResetWriteStats();
    PostMsg::GetInstance()->EmitLightToFrom(seconds);
    QCOMPARE(Sleep()->currentIndex(), item);
    QCOMPARE(HidSim::CurrentWriteStats().calls, 0);
}

void TestPageHosts::panelTextsComeFromTheLanguageFile()
{
    PostMsg::GetInstance()->EmitChangeLanguage(4);  // Russian
    QVERIFY(Debounce()->itemText(0).contains(QString::fromUtf8("мс")));
    QVERIFY(Sleep()->itemText(3).contains(QString::fromUtf8("мин")));
    QVERIFY(!g_WiredModeText.isEmpty());
    PostMsg::GetInstance()->EmitChangeLanguage(0);
    QVERIFY(Debounce()->itemText(0).contains("ms"));
}

VOGM_TEST_MAIN(TestPageHosts)
#include "tst_pagehosts.moc"
