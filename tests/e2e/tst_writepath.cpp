// Every change either reaches the mouse or the user is told: the real main
// window against the simulated default world, with faults injected through
// the world's commands. After each case the mouse holds byte for byte the
// image the pages were last filled from, and the notices are counted.

#include "connection.h"
#include "dialog.h"
#include "dialogchange.h"
#include "dialogmain.h"
#include "globals.h"
#include "hidusb.h"
#include "hidusb_control.h"
#include "buttoninterface.h"
#include "macrochoice.h"
#include "macrofile.h"
#include "myconmbobox.h"
#include "mytoolbuttonenter.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "devicelist.h"
#include "testsupport.h"
#include "worker.h"
#include "noticedialog.h"
#include "updataparam.h"
#include "waits.h"
#include "writers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cstddef>
#include <mutex>

namespace {

constexpr int kRateOffset = 0x000;
constexpr int kDebounceOffset = 0x006;
constexpr int kKeysOffset = 0x04A;
constexpr int k1000HzCode = 1;
constexpr int k125HzCode = 8;

QByteArray Bytes(const FlashDataMap &image)
{
    return QByteArray(reinterpret_cast<const char *>(&image), HidSim::kImageSize);
}

QByteArray KeyEntryOf(const QByteArray &image, int button)
{
    return image.mid(kKeysOffset + 3 * button, 3);
}

int CallCount(const char *function)
{
    return int(HidSim::CallsOf(QLatin1String(function)).size());
}

// The image the sensor page was last filled from: after a read (on the
// library's thread), from the cache, after an import or a refused write.
class FillRecorder : public QObject
{
public:
    FillRecorder()
    {
        PostMsg *hub = PostMsg::GetInstance();
        connect(hub, &PostMsg::SigUpDataLightSensor, this, [this](FlashDataMap image) { Take(image); },
                Qt::DirectConnection);
        connect(hub, &PostMsg::SigUpDataSensorUIB, this, [this](FlashDataMap image) { Take(image); },
                Qt::DirectConnection);
    }
    QByteArray Last()
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        return m_last;
    }
    void Clear()
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_last.clear();
    }

private:
    void Take(const FlashDataMap &image)
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        m_last = Bytes(image);
    }
    std::mutex m_lock;
    QByteArray m_last;
};

// Types `path` into a file dialog as a user does; other dialogs are answered
// by the watcher (the offline notice with Escape).
void AnswerFileDialogs(TestSupport::ModalWatcher &watcher, const QString &path)
{
    watcher.inspect = [path](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog)
            return;
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(path);
        static_cast<QDialog *>(dialog)->accept();
    };
}

}  // namespace

class TestWritePath : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void aRefusedImportIsTakenBack();
    void aRefusedAssignmentLeavesTheRow();
    void aProfileOnADeadHandleGoesBack();
    void aStaleBatteryReportNeverShows();
    void anAssignmentAfterAQuickReplugArrives();
    void aClickDuringAProfileReadArrivesOnce();
    void aMacroDeletedOfflineTellsOnce_data();
    void aMacroDeletedOfflineTellsOnce();
    void aMacroNamedLikeAFunctionTouchesNoRow();
    void exportNeedsSettingsOfThisMouse();
    void exportAsksBeforeOverwritingTheSuffixedName();
    void longRangeOfflineShowsTheReceiversState();

private:
    void Choose(const QString &pid);
    void OpenReceiverMouse();
    void BackToList();
    QAbstractButton *PageButton(const char *name) const;
    template <typename T>
    T *Child(const char *name) const
    {
        return m_window->DevicePage()->findChild<T *>(QLatin1String(name));
    }
    void ClickRowThenFunction(const char *row, const char *function);
    // The mouse holds what the pages were last filled from, and so does the image.
    void CheckMouseHoldsWhatIsShown(const QString &mouse);
    // The window, with `modal` drawn where it stands, for a person to look at
    // (saved only with VOGM_TEST_SHOTS).
    void Shot(const QString &name, QWidget *modal = nullptr);
    // The next offline notice is pictured as `name` over the window.
    void ShootNextNotice(const QString &name);

    DialogMain *m_window = nullptr;
    TestSupport::ModalWatcher *m_watcher = nullptr;
    FillRecorder *m_fills = nullptr;
    QSignalSpy *m_notices = nullptr;
};

void TestWritePath::initTestCase()
{
    m_fills = new FillRecorder;
    m_watcher = new TestSupport::ModalWatcher({}, {"UpDataParam"});
    m_window = new DialogMain;
    m_window->show();
}

void TestWritePath::cleanupTestCase()
{
    delete m_window;
    delete m_notices;
    delete m_watcher;
    delete m_fills;
}

void TestWritePath::init()
{
    TestSupport::IsolateUserFolders();
    HidSim::SetWorld(HidSim::DefaultWorld());
    QVERIFY(QTest::qWaitFor([] { return g_PageDevices.size() == 3 && PageIndexOfPid("0xFF18") >= 0 && Settled(); },
                            TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    HidSim::ClearCallLog();
    m_watcher->seen.clear();
    m_watcher->inspect = nullptr;
    m_fills->Clear();
    delete m_notices;
    m_notices = new QSignalSpy(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
}

void TestWritePath::cleanup()
{
    m_watcher->inspect = nullptr;
    if (m_window->CurrentPage() == 1)
        BackToList();
}

void TestWritePath::Choose(const QString &pid)
{
    const int index = PageIndexOfPid(pid);
    QVERIFY(index >= 0);
    auto *tile = m_window->SelectionPage()->findChild<mytoolButtonEnter *>(QString("btn%1").arg(index));
    QVERIFY(tile);
    QTest::mouseClick(tile, Qt::LeftButton);
    QCOMPARE(m_window->CurrentPage(), 1);
}

void TestWritePath::OpenReceiverMouse()
{
    Choose("0xFF14");
    QVERIFY(QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    m_notices->clear();
}

void TestWritePath::BackToList()
{
    QVERIFY(QTest::qWaitFor([] { return Settled(); }, TestSupport::kHangGuardMs));
    QTest::mouseClick(PageButton("UpArrow"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([this] { return m_window->CurrentPage() == 0 && Settled(); }, TestSupport::kHangGuardMs));
}

QAbstractButton *TestWritePath::PageButton(const char *name) const
{
    return Child<QAbstractButton>(name);
}

void TestWritePath::ClickRowThenFunction(const char *row, const char *function)
{
    QTest::mouseClick(PageButton(row), Qt::LeftButton);
    QTest::mouseClick(PageButton(function), Qt::LeftButton);
}

void TestWritePath::Shot(const QString &name, QWidget *modal)
{
    QImage image = m_window->grab().toImage();
    if (modal) {
        QPainter painter(&image);
        painter.drawImage(modal->mapToGlobal(QPoint()) - m_window->mapToGlobal(QPoint()), modal->grab().toImage());
    }
    QVERIFY(TestSupport::SaveShot(image, "writepath-" + name + ".png"));
}

void TestWritePath::ShootNextNotice(const QString &name)
{
    m_watcher->inspect = [this, name](QWidget *modal) {
        if (QString::fromLatin1(modal->metaObject()->className()) != "MouseOffLine")
            return;
        Shot(name, modal);
        m_watcher->inspect = nullptr;
    };
}

void TestWritePath::CheckMouseHoldsWhatIsShown(const QString &mouse)
{
    QVERIFY(QTest::qWaitFor([] { return Settled(); }, TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    QVERIFY(!m_fills->Last().isEmpty());
    QCOMPARE(HidSim::StoredImage(mouse), m_fills->Last());
    QCOMPARE(Bytes(ReadImage()), m_fills->Last());
}

// The mouse refuses an imported file: the image, the pages and the mouse stay
// at the mouse's settings, the user is told once, and the next change sends
// only its own byte.
void TestWritePath::aRefusedImportIsTakenBack()
{
    OpenReceiverMouse();
    QTemporaryDir dir;
    const QString file = dir.filePath("rate125");
    QTest::mouseClick(PageButton("SensorButton"), Qt::LeftButton);
    QTest::mouseClick(PageButton("Button125HZ"), Qt::LeftButton);
    QCOMPARE(int(HidSim::StoredImage("m2")[kRateOffset]), k125HzCode);
    AnswerFileDialogs(*m_watcher, file);
    QTest::mouseClick(PageButton("OutputData"), Qt::LeftButton);
    QVERIFY(QFile::exists(file + ".bin"));
    QTest::mouseClick(PageButton("Button1000HZ"), Qt::LeftButton);
    const QByteArray before = HidSim::StoredImage("m2");
    QCOMPARE(int(before[kRateOffset]), k1000HzCode);

    QVERIFY(HidSim::ApplyCommand("failwrite m2"));
    AnswerFileDialogs(*m_watcher, file + ".bin");
    QTest::mouseClick(PageButton("ImportData"), Qt::LeftButton);
    QVERIFY(QTest::qWaitFor([] { return Settled(); }, TestSupport::kHangGuardMs));

    QCOMPARE(HidSim::StoredImage("m2"), before);
    QCOMPARE(m_notices->count(), 1);
    QVERIFY(PageButton("Button1000HZ")->isChecked());
    CheckMouseHoldsWhatIsShown("m2");

    auto *debounce = Child<QComboBox>("Debunce");
    QVERIFY(debounce);
    debounce->setCurrentIndex(debounce->currentIndex() == 8 ? 9 : 8);
    QCOMPARE(PanelFixture::ChangedBytes(before, HidSim::StoredImage("m2")), QList<int>{kDebounceOffset});
    QCOMPARE(m_notices->count(), 1);
}

// The mouse refuses an assignment: the row keeps the function the mouse has,
// under one notice.
void TestWritePath::aRefusedAssignmentLeavesTheRow()
{
    OpenReceiverMouse();
    QTest::mouseClick(PageButton("ButtonMain"), Qt::LeftButton);
    const QString caption = PageButton("RightKey")->text();
    const QByteArray before = HidSim::StoredImage("m2");
    QVERIFY(HidSim::ApplyCommand("failwrite m2"));
    ShootNextNotice("refused-assignment");

    ClickRowThenFunction("RightKey", "MidKey");
    QCOMPARE(m_notices->count(), 1);
    QCOMPARE(PageButton("RightKey")->text(), caption);
    QCOMPARE(HidSim::StoredImage("m2"), before);
    CheckMouseHoldsWhatIsShown("m2");
}

// After a quick replug the program's handle is dead: the mouse refuses the
// profile switch, so the box goes back to the profile the mouse has.
void TestWritePath::aProfileOnADeadHandleGoesBack()
{
    OpenReceiverMouse();
    auto *profiles = Child<MyConmboBox>("ProjectChoose");
    QVERIFY(QTest::qWaitFor([profiles] { return profiles->count() == 4; }, TestSupport::kHangGuardMs));
    QCOMPARE(profiles->currentIndex(), 0);
    QVERIFY(HidSim::ApplyCommand("unplug r4k"));
    QVERIFY(HidSim::ApplyCommand("plug r4k"));

    ShootNextNotice("dead-handle-profile-notice");
    PanelFixture::ChooseItem(profiles, 2);
    QCOMPARE(profiles->currentIndex(), 0);
    QCOMPARE(m_notices->count(), 1);
    QCOMPARE(HidSim::ActiveProfile("m2"), 0);
    QVERIFY(QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, TestSupport::kHangGuardMs));
    QCOMPARE(profiles->currentIndex(), HidSim::ActiveProfile("m2"));
    CheckMouseHoldsWhatIsShown("m2");
    Shot("dead-handle-profile");
}

// A battery report of m2 is on its way to the page when the program leaves
// m2's connection: it must not show on the next mouse's page.
void TestWritePath::aStaleBatteryReportNeverShows()
{
    OpenReceiverMouse();
    auto *level = Child<QLabel>("label_2");
    std::atomic<bool> switchOnce{true};
    // Runs on the library's thread before the page's slot is reached.
    const auto hook = connect(
        PostMsg::GetInstance(), &PostMsg::SigBattery, this,
        [&switchOnce](bool, int, bool, quint64) {
            if (!switchOnce.exchange(false))
                return;
            QMetaObject::invokeMethod(qApp, [] { ForgetDeviceImage(); }, Qt::BlockingQueuedConnection);
        },
        Qt::DirectConnection);
    // The page's own connection was made before this one: move it behind.
    Dialog *page = m_window->DevicePage();
    disconnect(PostMsg::GetInstance(), &PostMsg::SigBattery, page, &Dialog::SlotBattery);
    connect(PostMsg::GetInstance(), &PostMsg::SigBattery, page, &Dialog::SlotBattery, Qt::BlockingQueuedConnection);
    QMetaObject::invokeMethod(page, "ShowNoBattery");

    QVERIFY(HidSim::SetBattery("m2", 80, false));
    QVERIFY(QTest::qWaitFor([&switchOnce] { return !switchOnce.load(); }, TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    QCoreApplication::processEvents();
    disconnect(hook);
    QCOMPARE(level->text(), QString());
    QVERIFY(!ImageIsDevicesOwn());
}

// unplug and plug again within the library's change interval: the first
// assignment waits for a read it asks for, then reaches the mouse, without a
// notice, and the row's caption names the entry.
void TestWritePath::anAssignmentAfterAQuickReplugArrives()
{
    OpenReceiverMouse();
    QTest::mouseClick(PageButton("ButtonMain"), Qt::LeftButton);
    QVERIFY(HidSim::ApplyCommand("unplug r4k"));
    QVERIFY(HidSim::ApplyCommand("plug r4k"));
    QVERIFY(QTest::qWaitFor([] { return Settled(); }, TestSupport::kHangGuardMs));

    ClickRowThenFunction("RightKey", "MidKey");
    QVERIFY(QTest::qWaitFor([] { return KeyEntryOf(HidSim::StoredImage("m2"), 1) == QByteArray("\x01\x04\x00", 3); },
                            TestSupport::kHangGuardMs));
    CheckMouseHoldsWhatIsShown("m2");
    QCOMPARE(m_notices->count(), 0);
    QCOMPARE(PageButton("RightKey")->text(), PageButton("MidKey")->text());
    QCOMPARE(HeldChangeCount(), 0);
}

// A slow read after a profile switch: a click made while it runs reaches the
// new profile once the read is in, sent once, neither lost nor doubled.
void TestWritePath::aClickDuringAProfileReadArrivesOnce()
{
    OpenReceiverMouse();
    QTest::mouseClick(PageButton("ButtonMain"), Qt::LeftButton);
    auto *profiles = Child<MyConmboBox>("ProjectChoose");
    QVERIFY(QTest::qWaitFor([profiles] { return profiles->count() == 4; }, TestSupport::kHangGuardMs));
    const QByteArray secondBefore = HidSim::StoredImage("m2", 1);
    // Slow, yet well within the program's patience with a whole read.
    QVERIFY(HidSim::SlowNextRead("m2", Waits::Scaled(kWholeReadPatienceMs) / 2));

    PanelFixture::ChooseItem(profiles, 1);
    QCOMPARE(HidSim::ActiveProfile("m2"), 1);
    HidSim::ClearCallLog();
    ClickRowThenFunction("RightKey", "MidKey");
    QCOMPARE(HidSim::StoredImage("m2", 1), secondBefore);
    QCOMPARE(HeldChangeCount(), 1);

    QVERIFY(QTest::qWaitFor([] { return ImageIsDevicesOwn() && Settled(); }, TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    QCOMPARE(CallCount("UsbServer_ReadAllFlashData"), 0);  // the switch's read, not another one
    QCOMPARE(CallCount("ProtocolDataUpdate"), 1);
    QCOMPARE(PanelFixture::ChangedBytes(secondBefore, HidSim::StoredImage("m2", 1)),
             (QList<int>{kKeysOffset + 3 + 1}));
    QCOMPARE(PageButton("RightKey")->text(), PageButton("MidKey")->text());
    QCOMPARE(m_notices->count(), 0);
    CheckMouseHoldsWhatIsShown("m2");
}

void TestWritePath::aMacroDeletedOfflineTellsOnce_data()
{
    QTest::addColumn<bool>("rowPlaysIt");
    QTest::addColumn<int>("notices");
    QTest::newRow("no row plays it") << false << 0;
    QTest::newRow("one row plays it") << true << 1;
}

// The editor deletes a macro while the mouse is away: the row restore tells
// the user, the final send says nothing.
void TestWritePath::aMacroDeletedOfflineTellsOnce()
{
    QFETCH(bool, rowPlaysIt);
    QFETCH(int, notices);
    OpenReceiverMouse();
    QTest::mouseClick(PageButton("ButtonMain"), Qt::LeftButton);
    QVERIFY(QDir().mkpath(MacroFile::Folder()));
    QFile file(MacroFile::Folder() + "/dev1.ini");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("254\n0x04 1 0\n10ms\n0x04 1 1\n");
    file.close();
    PostMsg::GetInstance()->EmitAddMacroButton();
    if (rowPlaysIt) {
        QTest::mouseClick(PageButton("RightKey"), Qt::LeftButton);
        QTest::mouseClick(PageButton("DPI_10"), Qt::LeftButton);
        auto *buttons = m_window->DevicePage()->findChild<Buttoninterface *>();
        QVERIFY(buttons);
        QVERIFY(TestSupport::ClickMacroChoice(buttons->MacroPanel, "dev1"));
        QCOMPARE(HidSim::StoredImage("m2").at(kKeysOffset + 3), char(6));
    }
    m_notices->clear();
    QVERIFY(HidSim::SetPower("m2", false));
    QVERIFY(QTest::qWaitFor([] { return !UsbFinderC_GetDeviceOnLine(g_CurrentPath); }, TestSupport::kHangGuardMs));

    const QString prefix = PageButton("RightKey")->text().section("dev1", 0, 0);
    PostMsg::GetInstance()->EmitDeleteMacroButton((rowPlaysIt ? prefix : QString("Macro-")) + "dev1");
    QCOMPARE(m_notices->count(), notices);
}

// A macro named like a function's caption: the rows that show that function
// are no macro rows, so a rename or a loop save leaves them alone.
void TestWritePath::aMacroNamedLikeAFunctionTouchesNoRow()
{
    OpenReceiverMouse();
    QTest::mouseClick(PageButton("ButtonMain"), Qt::LeftButton);
    const QString leftCaption = PageButton("FireKey")->text();
    QCOMPARE(leftCaption, PageButton("LeftKey_3")->text());
    const QByteArray before = HidSim::StoredImage("m2");

    PostMsg::GetInstance()->EmitMacroRename(leftCaption, "Other");
    PostMsg::GetInstance()->EmitUpDataMacro(leftCaption, 1);
    QCOMPARE(PageButton("FireKey")->text(), leftCaption);
    QCOMPARE(HidSim::StoredImage("m2"), before);
    QCOMPARE(m_notices->count(), 0);
    CheckMouseHoldsWhatIsShown("m2");
}

// A page showing no settings of this mouse (off, nothing cached) has nothing
// to export: Export is disabled until the mouse's settings are shown.
void TestWritePath::exportNeedsSettingsOfThisMouse()
{
    Choose("0xFF18");
    QVERIFY(QTest::qWaitFor([] { return Settled(); }, TestSupport::kHangGuardMs));
    QTest::mouseClick(PageButton("ButtonMain"), Qt::LeftButton);
    QVERIFY(!PageButton("OutputData")->isEnabled());
    Shot("export-disabled");
    QVERIFY(HidSim::SetPower("m3", true));
    QVERIFY(QTest::qWaitFor([this] { return ImageIsDevicesOwn() && PageButton("OutputData")->isEnabled(); }, TestSupport::kHangGuardMs));
    CheckMouseHoldsWhatIsShown("m3");
}

// "backup" typed over an existing backup.bin: the dialog asks, and No leaves
// the file as it was.
void TestWritePath::exportAsksBeforeOverwritingTheSuffixedName()
{
    OpenReceiverMouse();
    QTest::mouseClick(PageButton("ButtonMain"), Qt::LeftButton);
    QTemporaryDir dir;
    QFile existing(dir.filePath("backup.bin"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("kept");
    existing.close();

    QStringList asked;
    m_watcher->inspect = [&](QWidget *modal) {
        if (auto *dialog = qobject_cast<QFileDialog *>(modal)) {
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(dir.filePath("backup"));
            QTimer::singleShot(0, dialog, [dialog] { static_cast<QDialog *>(dialog)->accept(); });
            // Stays open for the question; closed below.
        } else if (auto *question = qobject_cast<QMessageBox *>(modal)) {
            asked << question->text();
            question->button(QMessageBox::No)->click();
            if (auto *fileDialog = qobject_cast<QFileDialog *>(question->parentWidget()))
                QTimer::singleShot(0, fileDialog, [fileDialog] { fileDialog->reject(); });
        }
    };
    m_watcher->answer = false;
    QTest::mouseClick(PageButton("OutputData"), Qt::LeftButton);
    m_watcher->answer = true;
    QCOMPARE(asked.size(), 1);
    QFile kept(dir.filePath("backup.bin"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("kept"));
}

// The long-range box clicked while the mouse is off goes back to the
// receiver's state with the notice; the next entry of the device shows it too.
void TestWritePath::longRangeOfflineShowsTheReceiversState()
{
    OpenReceiverMouse();
    QTest::mouseClick(PageButton("FormSetting"), Qt::LeftButton);
    auto *longRange = Child<QCheckBox>("checkBox_2");
    QVERIFY(longRange);
    QVERIFY(!longRange->isChecked());
    QVERIFY(HidSim::SetPower("m2", false));
    QVERIFY(QTest::qWaitFor([] { return !UsbFinderC_GetDeviceOnLine(g_CurrentPath); }, TestSupport::kHangGuardMs));

    Child<QScrollArea>("scrollArea")->ensureWidgetVisible(longRange);
    ShootNextNotice("long-range-offline");
    QTest::mouseClick(longRange, Qt::LeftButton);
    QVERIFY(!longRange->isChecked());
    QCOMPARE(m_notices->count(), 1);
    QVERIFY(QTest::qWaitFor([] { return Settled(); }, TestSupport::kHangGuardMs));

    QVERIFY(HidSim::SetPower("m2", true));
    QVERIFY(QTest::qWaitFor([] { return UsbFinderC_GetDeviceOnLine(g_CurrentPath) && Settled(); }, TestSupport::kHangGuardMs));
    QVERIFY(HidSim::WaitUntilIdle());
    BackToList();
    OpenReceiverMouse();
    QVERIFY(!longRange->isChecked());
    unsigned char receiverState = 0x73;
    QVERIFY(UsbFinderC_GetLongRangeMode(g_CurrentPath, &receiverState));
    QCOMPARE(int(receiverState), 0);
    QTest::mouseClick(PageButton("FormSetting"), Qt::LeftButton);
    Child<QScrollArea>("scrollArea")->ensureWidgetVisible(longRange);
    Shot("long-range-after-reentry");
    CheckMouseHoldsWhatIsShown("m2");
}

VOGM_TEST_MAIN(TestWritePath)
#include "tst_writepath.moc"
