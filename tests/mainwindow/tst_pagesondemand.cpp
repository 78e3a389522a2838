// The device page frame builds each settings page when it is first shown.
// A page built late must show exactly what it shows when built with the
// frame: each case runs the same session twice with the real main window and
// the simulated default world, once with every page built before the device
// list is used and once with no page built, then opens the pages and compares
// every control. The wait popup closes after a tile click with only the
// button page built.

#include "connection.h"
#include "devicecache.h"
#include "dialog.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "macrofile.h"
#include "macroini.h"
#include "mainwindowkit.h"
#include "programwindow.h"
#include "testsupport.h"
#include "waits.h"
#include "worker.h"
#include "worldfixtures.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <map>

namespace {

using Snapshot = QMap<QString, QString>;

// The pages by their navigation buttons, in stack order.
const QList<QPair<int, QString>> kPages{{Dialog::kButtonPage, "ButtonMain"},
                                        {Dialog::kSensorPage, "SensorButton"},
                                        {Dialog::kMacroPage, "MacroButton"},
                                        {Dialog::kSettingsPage, "FormSetting"}};

constexpr int kJapanese = 5;

QString PathOf(const QWidget *widget, const QWidget *root)
{
    QStringList parts;
    for (const QWidget *w = widget; w && w != root; w = w->parentWidget()) {
        QString part = w->objectName();
        if (part.isEmpty()) {
            const QObject *parent = w->parent();
            const int index = parent ? parent->children().indexOf(const_cast<QWidget *>(w)) : 0;
            part = QString("%1#%2").arg(w->metaObject()->className()).arg(index);
        }
        parts.prepend(part);
    }
    return parts.join('/');
}

// What a user can see of a control, and what decides how it reacts.
QString StateOf(const QWidget *w, const QWidget *root)
{
    QStringList s{w->metaObject()->className(), w->isVisibleTo(root) ? "shown" : "hidden",
                  w->isEnabled() ? "enabled" : "disabled",
                  QString("%1,%2 %3x%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height()),
                  "tip=" + w->toolTip(), "sheet=" + w->styleSheet(), "font=" + w->font().toString()};
    if (auto *b = qobject_cast<const QAbstractButton *>(w))
        s << "text=" + b->text() << (b->isChecked() ? "checked" : "unchecked");
    if (auto *l = qobject_cast<const QLabel *>(w))
        s << "text=" + l->text();
    if (auto *c = qobject_cast<const QComboBox *>(w)) {
        QStringList items;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        s << "items=" + items.join('|') << QString("index=%1").arg(c->currentIndex());
    }
    // A hidden scroll area's bars take their range from its layout when it shows.
    const bool hiddenScrollBar = qobject_cast<const QScrollBar *>(w) && !w->isVisibleTo(root);
    if (auto *sl = qobject_cast<const QAbstractSlider *>(w); sl && !hiddenScrollBar)
        s << QString("value=%1 range=%2-%3").arg(sl->value()).arg(sl->minimum()).arg(sl->maximum());
    if (auto *sp = qobject_cast<const QAbstractSpinBox *>(w))
        s << "text=" + sp->text();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        s << "text=" + e->text();
    if (auto *t = qobject_cast<const QTextEdit *>(w))
        s << "text=" + t->toPlainText();
    if (auto *list = qobject_cast<const QListWidget *>(w)) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        s << "items=" + items.join('|') << QString("row=%1").arg(list->currentRow());
    }
    return s.join("; ");
}

Snapshot SnapshotOf(const QWidget *page)
{
    Snapshot shot;
    for (const QWidget *w : page->findChildren<QWidget *>()) {
        if (!w->isWindow())
            shot.insert(PathOf(w, page), StateOf(w, page));
    }
    return shot;
}

QStringList Differences(const Snapshot &atStart, const Snapshot &late)
{
    QStringList out;
    for (auto it = atStart.begin(); it != atStart.end(); ++it) {
        if (late.value(it.key()) != it.value())
            out << it.key() + "\n   built at start: " + it.value() + "\n   built late:     " + late.value(it.key());
    }
    for (auto it = late.begin(); it != late.end(); ++it) {
        if (!atStart.contains(it.key()))
            out << it.key() + " only when built late: " + it.value();
    }
    return out;
}

bool Click(QWidget *root, const QString &name)
{
    auto *button = root->findChild<QAbstractButton *>(name);
    if (!button)
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool BackToList(DialogMain *window)
{
    return Click(window->DevicePage(), "UpArrow")
           && QTest::qWaitFor([&] { return window->CurrentPage() == 0 && TestSupport::Settled(); }, TestSupport::kHangGuardMs);
}

bool Idle()
{
    return HidSim::WaitUntilIdle() && QTest::qWaitFor([] { return TestSupport::Settled(); }, TestSupport::kHangGuardMs)
           && HidSim::WaitUntilIdle();
}

// The steps of each case, from the device list shown.
const std::map<QString, std::function<bool(DialogMain *)>> kCases{
    {"fill", [](DialogMain *w) { return TestSupport::OpenTile(w, "0xFF14"); }},
    {"device switch",
     [](DialogMain *w) {
         return TestSupport::OpenTile(w, "0xFF14") && BackToList(w) && TestSupport::OpenTile(w, "0xFF01");
     }},
    {"language change",
     [](DialogMain *w) {
         if (!TestSupport::OpenTile(w, "0xFF14") || !BackToList(w))
             return false;
         // The list's language box as a choice of Japanese.
         QMetaObject::invokeMethod(w->SelectionPage(), "on_comboBox_activated", Q_ARG(int, kJapanese));
         return TestSupport::OpenTile(w, "0xFF14");
     }},
    {"firmware version report",
     [](DialogMain *w) { return TestSupport::OpenTile(w, "0xFF14") && HidSim::SetVersion("m2", 0x0109) && Idle(); }},
    {"receiver LED report",
     [](DialogMain *w) { return TestSupport::OpenTile(w, "0xFF14") && HidSim::ReceiverLedChanged("r4k", 3) && Idle(); }},
};

}  // namespace

class TestPagesOnDemand : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void frameBuildsOnlyItself();
    void waitPopupClosesWithOnlyTheButtonPage();
    void pageBuiltLateShowsTheSame_data();
    void pageBuiltLateShowsTheSame();

private:
    DialogMain *StartProgram();
    void EndProgram();
    // The pages of one session: built with the frame, or when opened at its end.
    QMap<int, Snapshot> Session(const QString &steps, bool pagesAtStart);

    DialogMain *m_window = nullptr;
    // Sessions already run: (steps, pages at start) -> page snapshots.
    QMap<QPair<QString, bool>, QMap<int, Snapshot>> m_sessions;
};

void TestPagesOnDemand::init()
{
    DialogMain::SetTrayUse(DialogMain::TrayUse::Minimise);
    MainWindowKit::ResetSharedState();
    g_FoundDevices.clear();
    QDir(DeviceCacheFolder()).removeRecursively();
    QDir(MacroFile::Folder()).removeRecursively();
    MacroIni::GetInstance()->SetValue("Language", "Language", "0");
    HidSim::SetWorld(Fixtures::FastDefaultWorld());
    HidSim::WaitUntilIdle();
}

void TestPagesOnDemand::cleanup()
{
    EndProgram();
}

DialogMain *TestPagesOnDemand::StartProgram()
{
    m_window = new DialogMain;
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window))
        qWarning("main window not exposed");
    // The frame follows the first paint; the list follows the library's first call.
    if (!QTest::qWaitFor([&] { return m_window->DevicePageBuilt() && g_PageDevices.size() == 3; }, TestSupport::kHangGuardMs))
        qWarning("device list not ready");
    return m_window;
}

void TestPagesOnDemand::EndProgram()
{
    delete m_window;
    m_window = nullptr;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    StopUsbChanged();
    CloseConnection();
    HidSim::WaitUntilIdle();
}

void TestPagesOnDemand::frameBuildsOnlyItself()
{
    DialogMain *window = StartProgram();
    Dialog *frame = window->DevicePage();
    for (const auto &page : kPages)
        QVERIFY2(!frame->BuiltPage(page.first), qPrintable(page.second));
    QVERIFY(!frame->WaitPopupBuilt());
    QVERIFY(!g_UpDateRepair);
    // The worker and its online poll run from the frame's construction.
    QVERIFY(g_Worker);
    QVERIFY(g_OnlineTimer && g_OnlineTimer->isActive());
    QCOMPARE(g_OnlineTimer->interval(), Waits::Scaled(kOnlinePollMs));
}

void TestPagesOnDemand::waitPopupClosesWithOnlyTheButtonPage()
{
    TestSupport::ModalWatcher watcher;
    watcher.answer = false;
    DialogMain *window = StartProgram();
    // The cabled mouse: no receiver reports that would build the settings page.
    QVERIFY(TestSupport::OpenTile(window, "0xFF01"));
    QCOMPARE(watcher.Classes(), QStringList{"UpDataParam"});  // closed without a notice
    Dialog *frame = window->DevicePage();
    QVERIFY(frame->BuiltPage(Dialog::kButtonPage));
    QVERIFY(!frame->BuiltPage(Dialog::kSensorPage));
    QVERIFY(!frame->BuiltPage(Dialog::kMacroPage));
    QVERIFY(frame->HeldCallCount(Dialog::kSensorPage) > 0);
    // The popup saw both confirmations and took them back.
    QCOMPARE(int(g_SensorFilled), 0);
    QCOMPARE(int(g_ButtonFilled), 0);
}

QMap<int, Snapshot> TestPagesOnDemand::Session(const QString &steps, bool pagesAtStart)
{
    const QPair<QString, bool> key(steps, pagesAtStart);
    if (m_sessions.contains(key))
        return m_sessions.value(key);
    TestSupport::ModalWatcher watcher;
    watcher.answer = false;
    DialogMain *window = StartProgram();
    Dialog *frame = window->DevicePage();
    if (pagesAtStart) {
        for (const auto &page : kPages)
            Click(frame, page.second);
        Click(frame, "ButtonMain");
    }
    QMap<int, Snapshot> shots;
    if (!kCases.at(steps)(window)) {
        qWarning("the steps of \"%s\" did not complete", qPrintable(steps));
        EndProgram();
        return shots;
    }
    for (const auto &page : kPages) {
        Click(frame, page.second);
        Idle();
        shots.insert(page.first, SnapshotOf(frame->BuiltPage(page.first)));
    }
    EndProgram();
    init();
    m_sessions.insert(key, shots);
    return shots;
}

void TestPagesOnDemand::pageBuiltLateShowsTheSame_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("steps");
    for (const auto &page : kPages) {
        for (const auto &steps : kCases)
            QTest::newRow(qPrintable(page.second + ", " + steps.first)) << page.first << steps.first;
    }
}

void TestPagesOnDemand::pageBuiltLateShowsTheSame()
{
    QFETCH(int, page);
    QFETCH(QString, steps);
    const Snapshot atStart = Session(steps, true).value(page);
    const Snapshot late = Session(steps, false).value(page);
    QVERIFY(!atStart.isEmpty());
    QVERIFY(!late.isEmpty());
    const QStringList differences = Differences(atStart, late);
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join('\n')));
}

VOGM_TEST_MAIN(TestPagesOnDemand)
#include "tst_pagesondemand.moc"
