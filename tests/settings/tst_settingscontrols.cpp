// The settings page's controls against the simulated devices: the receiver
// options' blocks as the model, the link and the reports decide, what long
// range and the LED send to the receiver, the offline notices, the language
// box, start at login, the mouse-settings and web links, and pairing.

#include "autostart.h"
#include "connection.h"
#include "discovery.h"
#include "formsetting.h"
#include "globals.h"
#include "hidcallback.h"
#include "hidusb.h"
#include "macroini.h"
#include "match.h"
#include "mousesettings.h"
#include "devicesession.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "testsupport.h"
#include "weblink.h"
#include "worldfixtures.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <memory>

using namespace Fixtures;

namespace {

const QString kVid = QStringLiteral("0xFF5C");

template <typename T = QWidget>
T *Child(QWidget *page, const QString &name)
{
    T *child = page->findChild<T *>(name);
    if (!child)
        qFatal("the settings page has no %s", qPrintable(name));
    return child;
}

// The device list's record of a device, as its scan makes it.
DeviceAllInfo Listed(const QString &device)
{
    const QString path = QString::fromLatin1(HidSim::PathOf(device));
    g_PageDevices.clear();
    EnumeratePageDevices(kVid, ConfiguredProductIds());
    for (const DeviceAllInfo &info : g_PageDevices) {
        if (info.Path == path)
            return info;
    }
    qFatal("device %s is not listed", qPrintable(device));
    return {};
}

// `device` becomes the current device of an open connection whose reports go
// to the program's data callback, its mouse's image read when it answers.
void OpenSession(const QString &device)
{
    TestSupport::OpenAsCurrentDevice(device);
    g_SessionActive = 1;
    HidSim::WaitUntilIdle();
}

// `device`, whose mouse is off, as the current device of an open connection.
void OpenOffline(const QString &device)
{
    g_CurrentDevice.Set(Listed(device));
    SetCurrentPath(HidSim::PathOf(device));
    OpenCurrentDevice();
    g_SessionActive = 1;
}

// The current device record alone, as the device list has it.
void UseRecord(const DeviceAllInfo &device)
{
    g_CurrentDevice.Set(device);
}

// Runs `emitting` on a thread of its own, as the data callback and the worker
// emit, and serves the GUI thread's events until it has returned.
bool EmitFromThread(const std::function<void()> &emitting)
{
    std::unique_ptr<QThread> thread(QThread::create(emitting));
    thread->start();
    return QTest::qWaitFor([&] { return thread->isFinished(); }, TestSupport::kHangGuardMs) && thread->wait(1000);
}

void EmitRgb(int mode)
{
    DongleRGB record = ReadDongleRgb();
    record.Mode = uint8_t(mode);
    StoreDongleRgb(record);
    QVERIFY(EmitFromThread([] { PostMsg::GetInstance()->EmitRGBValue(g_DongleRgb); }));
}

const QStringList kLongRangeBlock{"TitleButton_6", "label_11", "checkBox_2", "textEdit"};
const QStringList kLedBlock{"TitleButton_7", "label_14", "ReUntil", "ReUntil_2", "ReUntil_3",
                            "textEdit_2", "textEdit_3", "textEdit_4"};

// The blocks in short: long range "-" hidden, "o" shown, "x" shown and
// checked; the LED block "-" hidden, else the checked box 1-3 (0 none); then
// the layout, "710" or "860" (anything else: its sizes and places disagree).
QString Blocks(QWidget *page)
{
    const auto shown = [page](const QStringList &names) {
        int count = 0;
        for (const QString &name : names)
            count += Child(page, name)->isHidden() ? 0 : 1;
        return count == 0 ? 0 : count == names.size() ? 1 : -1;
    };
    const int longRange = shown(kLongRangeBlock);
    const int led = shown(kLedBlock);
    if (longRange < 0 || led < 0)
        return "a block partly shown";
    QString text = longRange == 0 ? "-" : Child<QCheckBox>(page, "checkBox_2")->isChecked() ? "x" : "o";
    int checked = 0;
    for (int mode = 1; mode <= 3; ++mode) {
        if (Child<QCheckBox>(page, mode == 1 ? "ReUntil" : QString("ReUntil_%1").arg(mode))->isChecked())
            checked = mode;
    }
    text += led == 0 ? QString(" -") : QString(" %1").arg(checked);
    QWidget *content = Child(page, "scrollAreaWidgetContents");
    const int height = content->maximumHeight();
    const QPoint web = Child(page, "pushButton_3")->pos();
    const QPoint company = Child(page, "pushButton_4")->pos();
    const bool compact = height == 710 && web == QPoint(610, 620) && company == QPoint(490, 640);
    const bool expanded = height == 860 && web == QPoint(610, 790) && company == QPoint(490, 810);
    if (content->minimumHeight() != height || !(compact || expanded))
        return text + " bad layout";
    return text + QString(" %1").arg(height);
}

QStringList Calls(const QString &function)
{
    QStringList out;
    for (const HidSim::CallRecord &record : HidSim::CallsOf(function))
        out << record.arguments;
    return out;
}

QStringList CallTrail(const QStringList &functions)
{
    QStringList out;
    for (const HidSim::CallRecord &record : HidSim::CallLog()) {
        if (functions.contains(record.function))
            out << record.function + "(" + record.arguments + ")";
    }
    return out;
}

HidSim::Receiver ReceiverNamed(const QString &name)
{
    for (const HidSim::Receiver &receiver : HidSim::CurrentWorld().receivers) {
        if (receiver.name == name)
            return receiver;
    }
    qFatal("no receiver %s", qPrintable(name));
    return {};
}

// Reads an Exec value back as a desktop-entry reader does: the string escapes
// first, then the quoting, then "%%". Returns the arguments.
QStringList ExecArguments(const QString &value)
{
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == 'n' ? QChar('\n') : next == 't' ? QChar('\t') : next == 'r' ? QChar('\r')
                        : next == 's' ? QChar(' ') : next == '\\' ? QChar('\\') : QChar('?');
        } else {
            unescaped += value[i];
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool inArgument = false;
    for (int i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted) {
            if (c == '\\' && i + 1 < unescaped.size())
                current += unescaped[++i];
            else if (c == '"')
                quoted = false;
            else
                current += c;
        } else if (c == '"') {
            quoted = inArgument = true;
        } else if (c == ' ') {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == '%' && i + 1 < unescaped.size() && unescaped[i + 1] == '%') {
            current += '%';
            ++i;
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    // "%%" inside quotes too.
    for (QString &argument : arguments)
        argument.replace("%%", "%");
    return arguments;
}

QMap<QString, QString> EntryValues(const QString &path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const int equals = line.indexOf('=');
        values.insert(equals < 0 ? line : line.left(equals), equals < 0 ? QString() : line.mid(equals + 1));
    }
    return values;
}

// The message of the notice that `act` opens, which is then closed with its
// OK; empty when `act` returns without opening one.
QString NoticeOpenedBy(const std::function<void()> &act)
{
    QString text;
    QTimer timer;  // fires only inside a modal's event loop opened by `act`
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&text] {
        TestSupport::WithModal([&text](QWidget *modal) {
            if (auto *label = modal->findChild<QLabel *>("label"))
                text = label->text();
            TestSupport::AnswerModal(modal, "NewHong");
        });
    });
    timer.start(0);
    act();
    return text;
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Receives the addresses the desktop would open.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl &url) { opened << url; }
};

}  // namespace

class TestSettingsControls : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void blocksFollowModelLinkAndReports_data();
    void blocksFollowModelLinkAndReports();
    void ledModeOutsideOneToThreeShowsTheBlockOnly_data();
    void ledModeOutsideOneToThreeShowsTheBlockOnly();
    void importNeverShowsLongRange();
    void optionsReachTheReceiver();
    void aWholeReadShowsTheReceiverOptions();
    void nothingIsSentBeforeWritesAreAllowed();
    void offlineChangesRaiseTheNotice();
    void ledReportReachesThePageThroughTheDataCallback();
    void languageBoxStoresThenAnnounces();
    void autostartEntryFollowsTheBox();
    void autostartBoxGoesBackWhenTheEntryCannotChange_data();
    void autostartBoxGoesBackWhenTheEntryCannotChange();
    void autostartEntryQuotesTheProgramPath_data();
    void autostartEntryQuotesTheProgramPath();
    void autostartFolderFollowsXdgConfigHome_data();
    void autostartFolderFollowsXdgConfigHome();
    void mouseSettingsToolByDesktopAndPath_data();
    void mouseSettingsToolByDesktopAndPath();
    void mouseSettingsLinkStartsTheTool();
    void mouseSettingsWithoutToolSaysSo();
    void webLinkOpensItsText();
    void webLinkTakesWebAddressesOnly_data();
    void webLinkTakesWebAddressesOnly();
    void webLinkRefusesOtherSchemesWithANotice();
    void pairingOfflineShowsNoDialog();
    void pairingHandsTheConnectionBack();

private:
    FormSetting *NewPage();
    std::unique_ptr<FormSetting> m_page;
    QTemporaryDir m_config;
};

void TestSettingsControls::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
}

void TestSettingsControls::init()
{
    HidSim::World world = HidSim::DefaultWorld();
    world.timing = FastTiming();
    HidSim::SetWorld(world);
    g_WritesAllowed = 0;
    g_SensorRefreshing = 0;
    g_ButtonRefreshing = 0;
    StoreDongleRgb(DongleRGB{});
    MacroIni::GetInstance()->SetValue("Language", "Language", "0");
    HidSim::ClearCallLog();
}

void TestSettingsControls::cleanup()
{
    m_page.reset();
    g_WritesAllowed = 0;
    MouseSettings::SetLauncher({});
}

FormSetting *TestSettingsControls::NewPage()
{
    m_page.reset();
    m_page = std::make_unique<FormSetting>();
    return m_page.get();
}

// ---- the receiver options' blocks ---------------------------------------------------------

void TestSettingsControls::blocksFollowModelLinkAndReports_data()
{
    QTest::addColumn<int>("driveIndex");
    QTest::addColumn<int>("linkType");
    QTest::addColumn<QStringList>("expected");  // after SigForm, SigLongRangeMode(true), SigRGBValue(2), SigForm

    QTest::newRow("Drive3 (-1,-1) on the 8 kHz receiver")
        << 2 << 5 << QStringList{"- - 710", "- - 710", "- - 710", "- - 710"};
    QTest::newRow("Drive3 (-1,-1) on the 4 kHz receiver")
        << 2 << 1 << QStringList{"- - 710", "- - 710", "- - 710", "- - 710"};
    QTest::newRow("Drive1 (1,2) on cable")
        << 0 << 2 << QStringList{"- - 710", "x - 710", "x - 710", "- - 710"};
    QTest::newRow("Drive1 (1,2) on the 4 kHz receiver")
        << 0 << 1 << QStringList{"o - 710", "x - 710", "x 2 860", "x - 710"};
    QTest::newRow("Drive2 (0,1) on the 4 kHz receiver")
        << 1 << 1 << QStringList{"o - 710", "x - 710", "x 2 860", "x - 710"};
    QTest::newRow("Drive2 (0,1) on the 2 kHz receiver")
        << 1 << 4 << QStringList{"o - 710", "x - 710", "x - 710", "x - 710"};
}

void TestSettingsControls::blocksFollowModelLinkAndReports()
{
    QFETCH(int, driveIndex);
    QFETCH(int, linkType);
    QFETCH(QStringList, expected);
    DeviceAllInfo device;
    device.DriveIndex = driveIndex;
    device.LinkType = uint8_t(linkType);
    device.Wired = DeviceAllInfo::IsWiredLink(uint8_t(linkType));
    UseRecord(device);
    FormSetting *page = NewPage();
    PostMsg *hub = PostMsg::GetInstance();

    QStringList seen;
    QVERIFY(EmitFromThread([hub] { hub->EmitForm(); }));
    seen << Blocks(page);
    QVERIFY(EmitFromThread([hub] { hub->EmitLongRangeMode(true); }));
    seen << Blocks(page);
    EmitRgb(2);
    seen << Blocks(page);
    QVERIFY(EmitFromThread([hub] { hub->EmitForm(); }));
    seen << Blocks(page);
    QCOMPARE(seen, expected);
}

void TestSettingsControls::ledModeOutsideOneToThreeShowsTheBlockOnly_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("0") << 0;
    QTest::newRow("4") << 4;
}

void TestSettingsControls::ledModeOutsideOneToThreeShowsTheBlockOnly()
{
    QFETCH(int, mode);
    UseRecord(Listed("r4k"));
    FormSetting *page = NewPage();
    EmitRgb(3);
    QVERIFY(EmitFromThread([] { PostMsg::GetInstance()->EmitForm(); }));
    QCOMPARE(Blocks(page), QString("o - 710"));
    EmitRgb(mode);
    QCOMPARE(Blocks(page), QString("o 3 860"));
}

// After a settings import the long-range block is hidden where the model
// lacks it, and never shown.
void TestSettingsControls::importNeverShowsLongRange()
{
    UseRecord(Listed("r4k"));
    FormSetting *page = NewPage();
    PostMsg::GetInstance()->EmitFormB();
    QCOMPARE(Blocks(page), QString("- - 710"));
    QVERIFY(EmitFromThread([] { PostMsg::GetInstance()->EmitForm(); }));
    PostMsg::GetInstance()->EmitFormB();
    QCOMPARE(Blocks(page), QString("o - 710"));
}

// ---- what reaches the receiver ------------------------------------------------------------

void TestSettingsControls::optionsReachTheReceiver()
{
    OpenSession("r4k");
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    // The receiver's record as the library last filled it, bytes 1-9 its own.
    DongleRGB record{};
    for (int i = 0; i < 9; ++i)
        record.Rest[i] = uint8_t(0x31 + i);
    StoreDongleRgb(record);
    QVERIFY(EmitFromThread([] { PostMsg::GetInstance()->EmitForm(); }));
    EmitRgb(1);
    QCOMPARE(Blocks(page), QString("o 1 860"));
    g_WritesAllowed = 1;
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);

    QTest::mouseClick(Child(page, "ReUntil_3"), Qt::LeftButton);
    QCOMPARE(Calls("UsbFinderC_Set4KDongleRGB").size(), 1);
    const std::array<uint8_t, 10> led = ReceiverNamed("r4k").led;
    QCOMPARE(int(led[0]), 3);
    for (int i = 1; i < 10; ++i)
        QCOMPARE(int(led[i]), 0x30 + i);

    QTest::mouseClick(Child(page, "checkBox_2"), Qt::LeftButton);
    QVERIFY(ReceiverNamed("r4k").longRange);
    QTest::mouseClick(Child(page, "checkBox_2"), Qt::LeftButton);
    QVERIFY(!ReceiverNamed("r4k").longRange);
    QCOMPARE(offline.count(), 0);
}

// A whole read through the data callback ends with the receiver's options
// shown as the receiver reported them, LED block included.
void TestSettingsControls::aWholeReadShowsTheReceiverOptions()
{
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    OpenSession("r4k");
    QVERIFY(TestSupport::WaitFor([page] { return Blocks(page) == "o 1 860"; }));
}

void TestSettingsControls::nothingIsSentBeforeWritesAreAllowed()
{
    OpenSession("r4k");
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    EmitRgb(1);
    QVERIFY(EmitFromThread([] { PostMsg::GetInstance()->EmitLongRangeMode(false); }));
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
    HidSim::ClearCallLog();

    QTest::mouseClick(Child(page, "ReUntil_2"), Qt::LeftButton);
    QTest::mouseClick(Child(page, "checkBox_2"), Qt::LeftButton);
    QVERIFY(Child<QCheckBox>(page, "ReUntil_2")->isChecked());
    QVERIFY(Child<QCheckBox>(page, "checkBox_2")->isChecked());
    QCOMPARE(CallTrail({"UsbFinderC_GetDeviceOnLine", "UsbFinderC_Set4KDongleRGB", "UsbFinderC_SetLongRangeMode"}),
             QStringList());
    QCOMPARE(offline.count(), 0);
}

// Offline a box that changes raises the notice once, and the boxes go back
// to the receiver's mode.
void TestSettingsControls::offlineChangesRaiseTheNotice()
{
    OpenSession("r4k");
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    EmitRgb(1);
    QVERIFY(HidSim::SetPower("m2", false));
    HidSim::WaitUntilIdle();
    g_WritesAllowed = 1;
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
    HidSim::ClearCallLog();

    QTest::mouseClick(Child(page, "ReUntil_2"), Qt::LeftButton);
    QCOMPARE(offline.count(), 1);
    QCOMPARE(offline.at(0).at(0).toInt(), 0);
    QVERIFY(!Child<QCheckBox>(page, "ReUntil_2")->isChecked());
    QVERIFY(Child<QCheckBox>(page, "ReUntil")->isChecked());
    QCOMPARE(Calls("UsbFinderC_Set4KDongleRGB"), QStringList());

    // The worker's reset when the 8 kHz receiver's mouse is off and nothing is stored.
    OpenOffline("r8k");
    g_WritesAllowed = 0;
    Child<QCheckBox>(page, "checkBox_2")->setChecked(true);
    g_WritesAllowed = 1;
    offline.clear();
    QVERIFY(EmitFromThread([] { PostMsg::GetInstance()->EmitFormReset(); }));
    QVERIFY(!Child<QCheckBox>(page, "checkBox_2")->isChecked());
    QCOMPARE(offline.count(), 1);
    QCOMPARE(Calls("UsbFinderC_SetLongRangeMode"), QStringList());
}

// The receiver's own LED change arrives as report 21; the page shows it and
// writes the same mode back, which brings no further report.
void TestSettingsControls::ledReportReachesThePageThroughTheDataCallback()
{
    OpenSession("r4k");
    FormSetting *page = NewPage();
    g_WritesAllowed = 1;
    HidSim::ClearCallLog();
    QVERIFY(HidSim::ReceiverLedChanged("r4k", 2));
    QVERIFY(TestSupport::WaitFor([page] { return Blocks(page) == "- 2 860"; }));
    QVERIFY(HidSim::WaitUntilIdle());
    QCOMPARE(int(ReceiverNamed("r4k").led[0]), 2);
    QCOMPARE(Calls("callback:data").filter("command=21 ").size(), 1);
    QCOMPARE(int(ReadDongleRgb().Mode), 2);
}

// ---- language -----------------------------------------------------------------------------

void TestSettingsControls::languageBoxStoresThenAnnounces()
{
    MacroIni::GetInstance()->SetValue("Language", "Language", "3");
    FormSetting *page = NewPage();
    QStringList heard;
    QObject context;
    PostMsg *hub = PostMsg::GetInstance();
    const auto stored = [] { return MacroIni::GetInstance()->Value("Language", "Language"); };
    connect(hub, &PostMsg::SigChangeLanguage, &context,
            [&](int index) { heard << QString("SigChangeLanguage(%1) stored %2").arg(index).arg(stored()); });
    connect(hub, &PostMsg::SigLanguageSameA, &context,
            [&](int index) { heard << QString("SigLanguageSameA(%1)").arg(index); });
    connect(hub, &PostMsg::SigLanguageSameB, &context,
            [&](int index) { heard << QString("SigLanguageSameB(%1)").arg(index); });
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));

    PanelFixture::ChooseItem(Child<QComboBox>(page, "comboBox"), 0);
    QCOMPARE(heard, (QStringList{"SigChangeLanguage(0) stored 0", "SigLanguageSameA(0)"}));
    QCOMPARE(Child<QWidget>(page, "label_2")->property("text").toString(), QString("Language"));

    // The device list chose: only the box follows.
    heard.clear();
    page->SlotLanguageSameB(3);
    QCOMPARE(Child<QComboBox>(page, "comboBox")->currentIndex(), -1);  // the box lists English only
    page->SlotLanguageSameB(0);
    QCOMPARE(Child<QComboBox>(page, "comboBox")->currentIndex(), 0);
    QCOMPARE(heard, QStringList());
    QCOMPARE(stored(), QString("0"));
}

// ---- start at login -----------------------------------------------------------------------

void TestSettingsControls::autostartEntryFollowsTheBox()
{
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    const QString entry = m_config.path() + "/autostart/" + QCoreApplication::applicationName() + ".desktop";
    QCOMPARE(Autostart::EntryPath(), entry);

    QTest::mouseClick(Child(page, "checkBox"), Qt::LeftButton);
    QCOMPARE(MacroIni::GetInstance()->Value("AutoStart", "Enable"), QString("1"));
    const QMap<QString, QString> values = EntryValues(entry);
    QCOMPARE(values.value("Type"), QString("Application"));
    QCOMPARE(values.value("Name"), QString("Veltrane Orvandel Gaming Mouse"));
    QCOMPARE(ExecArguments(values.value("Exec")), QStringList{QCoreApplication::applicationFilePath()});

    QTest::mouseClick(Child(page, "checkBox"), Qt::LeftButton);
    QCOMPARE(MacroIni::GetInstance()->Value("AutoStart", "Enable"), QString("0"));
    QVERIFY(!QFile::exists(entry));

    // An entry left by other means does not check the box of a new page.
    QVERIFY(Autostart::Enable("/usr/bin/true"));
    QVERIFY(!Child<QCheckBox>(NewPage(), "checkBox")->isChecked());
    QVERIFY(Autostart::Disable());
}

void TestSettingsControls::autostartBoxGoesBackWhenTheEntryCannotChange_data()
{
    QTest::addColumn<bool>("wasOn");
    QTest::newRow("on: a file named autostart blocks the folder") << false;
    QTest::newRow("off: a folder in the entry's place") << true;
}

// The box says what the desktop will do at the next login: a change that
// could not be made puts it back, leaves Macro.ini alone and says why.
void TestSettingsControls::autostartBoxGoesBackWhenTheEntryCannotChange()
{
    QFETCH(bool, wasOn);
    const QString folder = m_config.path() + "/autostart";
    QDir(folder).removeRecursively();
    QFile::remove(folder);
    QVERIFY(QDir().mkpath(QFileInfo(MacroIni::DefaultPath()).path()));
    QVERIFY(MacroIni::GetInstance()->SetValue("AutoStart", "Enable", wasOn ? "1" : "0"));
    if (wasOn) {
        QVERIFY(QDir().mkpath(Autostart::EntryPath() + "/kept"));
    } else {
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    const QByteArray macroIni = FileBytes(MacroIni::DefaultPath());
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    auto *box = Child<QCheckBox>(page, "checkBox");
    QCOMPARE(box->isChecked(), wasOn);

    const QString notice = NoticeOpenedBy([box] { QTest::mouseClick(box, Qt::LeftButton); });
    QCOMPARE(notice, wasOn ? QString("Start at login could not be turned off: the autostart entry could not be removed")
                           : QString("Start at login could not be turned on: the autostart entry could not be written"));
    QCOMPARE(box->isChecked(), wasOn);
    QCOMPARE(FileBytes(MacroIni::DefaultPath()), macroIni);
    QCOMPARE(MacroIni::GetInstance()->Value("AutoStart", "Enable"), QString(wasOn ? "1" : "0"));
    QCOMPARE(QFileInfo(Autostart::EntryPath()).isDir(), wasOn);
    QDir(folder).removeRecursively();
    QFile::remove(folder);
}

void TestSettingsControls::autostartEntryQuotesTheProgramPath_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("plain") << "/opt/veltrane-orvandel/lib/VeltraneOrvandel";
    QTest::newRow("blanks") << "/home/user/My Programs/Veltrane Orvandel/VeltraneOrvandel";
    QTest::newRow("quote, dollar, backquote") << "/tmp/a\"b/$HOME/`id`/VeltraneOrvandel";
    QTest::newRow("backslash and percent") << "/tmp/back\\slash/100%u/VeltraneOrvandel";
}

void TestSettingsControls::autostartEntryQuotesTheProgramPath()
{
    QFETCH(QString, program);
    QVERIFY(Autostart::Enable(program));
    QCOMPARE(ExecArguments(EntryValues(Autostart::EntryPath()).value("Exec")), QStringList{program});
    QVERIFY(Autostart::Disable());
    QVERIFY(!QFile::exists(Autostart::EntryPath()));
}

void TestSettingsControls::autostartFolderFollowsXdgConfigHome_data()
{
    QTest::addColumn<QString>("configHome");
    QTest::addColumn<QString>("folder");
    QTest::newRow("set") << "/srv/config" << "/srv/config/autostart";
    QTest::newRow("empty") << "" << QDir::homePath() + "/.config/autostart";
    QTest::newRow("relative") << "config" << QDir::homePath() + "/.config/autostart";
}

void TestSettingsControls::autostartFolderFollowsXdgConfigHome()
{
    QFETCH(QString, configHome);
    QFETCH(QString, folder);
    qputenv("XDG_CONFIG_HOME", configHome.toLocal8Bit());
    const QString entry = Autostart::EntryPath();
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    QCOMPARE(entry, folder + "/" + QCoreApplication::applicationName() + ".desktop");
}

// ---- mouse settings and web link ----------------------------------------------------------

void TestSettingsControls::mouseSettingsToolByDesktopAndPath_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("program");  // empty: none
    QTest::addColumn<QStringList>("arguments");

    const QStringList many{"gnome-control-center", "systemsettings5", "xfce4-mouse-settings", "mate-mouse-properties"};
    QTest::newRow("GNOME") << "GNOME" << many << "gnome-control-center" << QStringList{"mouse"};
    QTest::newRow("ubuntu:GNOME") << "ubuntu:GNOME" << many << "gnome-control-center" << QStringList{"mouse"};
    QTest::newRow("KDE, Plasma 5") << "KDE" << many << "systemsettings5" << QStringList{"kcm_mouse"};
    QTest::newRow("xfce in lower case") << "xfce" << many << "xfce4-mouse-settings" << QStringList();
    QTest::newRow("MATE") << "MATE" << many << "mate-mouse-properties" << QStringList();
    QTest::newRow("desktop's tool missing: first of the table found")
        << "X-Cinnamon" << QStringList{"mate-mouse-properties", "xfce4-mouse-settings"} << "xfce4-mouse-settings"
        << QStringList();
    QTest::newRow("no desktop named") << "" << QStringList{"lxinput", "lxqt-config-input"} << "lxqt-config-input"
                                      << QStringList();
    QTest::newRow("nothing installed") << "GNOME" << QStringList() << "" << QStringList();
}

void TestSettingsControls::mouseSettingsToolByDesktopAndPath()
{
    QFETCH(QString, desktop);
    QFETCH(QStringList, installed);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QTemporaryDir bin;
    for (const QString &name : installed) {
        QFile tool(bin.path() + "/" + name);
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.write("#!/bin/sh\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QTemporaryDir empty;
    const QByteArray path = qgetenv("PATH");
    const QByteArray current = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("PATH", (empty.path() + ":" + bin.path()).toLocal8Bit());
    qputenv("XDG_CURRENT_DESKTOP", desktop.toLocal8Bit());
    const MouseSettings::Command command = MouseSettings::ChooseForSession();
    qputenv("PATH", path);
    qputenv("XDG_CURRENT_DESKTOP", current);
    QCOMPARE(command.program, program.isEmpty() ? QString() : bin.path() + "/" + program);
    QCOMPARE(command.arguments, arguments);
}

void TestSettingsControls::mouseSettingsLinkStartsTheTool()
{
    QTemporaryDir bin;
    QFile tool(bin.path() + "/xfce4-mouse-settings");
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("PATH", bin.path().toLocal8Bit());
    qputenv("XDG_CURRENT_DESKTOP", "XFCE");
    QStringList started;
    MouseSettings::SetLauncher([&](const QString &program, const QStringList &arguments) {
        started << program + " " + arguments.join(' ');
        return true;
    });
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    QTest::mouseClick(Child(page, "pushButton"), Qt::LeftButton);
    QTest::mouseClick(Child(page, "pushButton"), Qt::LeftButton);
    qputenv("PATH", path);
    qputenv("XDG_CURRENT_DESKTOP", desktop);
    QCOMPARE(started, (QStringList{tool.fileName() + " ", tool.fileName() + " "}));
}

void TestSettingsControls::mouseSettingsWithoutToolSaysSo()
{
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit());
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    const QString noTool = NoticeOpenedBy([page] { QTest::mouseClick(Child(page, "pushButton"), Qt::LeftButton); });
    qputenv("PATH", path);
    QCOMPARE(noTool, QString("No program was found to open it"));

    // A tool that is found but does not start says the same.
    MouseSettings::SetLauncher([](const QString &, const QStringList &) { return false; });
    QFile tool(bin.path() + "/lxinput");
    QVERIFY(tool.open(QIODevice::WriteOnly));
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    qputenv("PATH", bin.path().toLocal8Bit());
    const QString failed = NoticeOpenedBy([page] { QTest::mouseClick(Child(page, "pushButton"), Qt::LeftButton); });
    qputenv("PATH", path);
    QCOMPARE(failed, QString("No program was found to open it"));
}

void TestSettingsControls::webLinkOpensItsText()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "Open");
    QDesktopServices::setUrlHandler("http", &catcher, "Open");
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    auto *link = Child<QPushButton>(page, "pushButton_3");
    page->findChild<QScrollArea *>("scrollArea")->ensureWidgetVisible(link);
    QTest::mouseClick(link, Qt::LeftButton);
    link->setText("www.example.org");
    QTest::mouseClick(link, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");
    QCOMPARE(catcher.opened, (QList<QUrl>{QUrl("https://orvandel.example/en"), QUrl("https://www.example.org")}));
}

void TestSettingsControls::webLinkTakesWebAddressesOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("opened");  // empty: refused
    QTest::newRow("shipped https") << "https://orvandel.example/en" << "https://orvandel.example/en";
    QTest::newRow("http with a path and query") << "http://example.org/a?b=1" << "http://example.org/a?b=1";
    QTest::newRow("scheme in capitals, blanks around") << "  HTTPS://Example.org/  " << "https://example.org/";
    QTest::newRow("bare www") << "www.example.org/shop" << "https://www.example.org/shop";
    QTest::newRow("http without a host") << "http://" << "";
    QTest::newRow("https without a host") << "https:///etc/passwd" << "";
    QTest::newRow("file") << "file:///etc/passwd" << "";
    QTest::newRow("bare path") << "/bin/sh" << "";
    QTest::newRow("bare name") << "example.org" << "";
    QTest::newRow("smb") << "smb://server/share" << "";
    QTest::newRow("ssh") << "ssh://user@host" << "";
    QTest::newRow("apt") << "apt:sl" << "";
    QTest::newRow("javascript") << "javascript:alert(1)" << "";
    QTest::newRow("an application's scheme") << "vnd.x:open" << "";
    QTest::newRow("www inside another scheme") << "file://www.example.org/x" << "";
    QTest::newRow("empty") << "" << "";
}

void TestSettingsControls::webLinkTakesWebAddressesOnly()
{
    QFETCH(QString, text);
    QFETCH(QString, opened);
    const QUrl url = WebLink::Checked(text);
    QCOMPARE(url.toString(), opened);
    QCOMPARE(url.isEmpty(), opened.isEmpty());
}

// What the link shows stays; what it would open is refused with a notice and
// never reaches the desktop.
void TestSettingsControls::webLinkRefusesOtherSchemesWithANotice()
{
    UrlCatcher catcher;
    for (const char *scheme : {"https", "http", "file", "smb"})
        QDesktopServices::setUrlHandler(scheme, &catcher, "Open");
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    auto *link = Child<QPushButton>(page, "pushButton_3");
    page->findChild<QScrollArea *>("scrollArea")->ensureWidgetVisible(link);
    QStringList notices;
    for (const char *text : {"file:///etc/passwd", "smb://server/share", "/bin/sh"}) {
        link->setText(text);
        notices << NoticeOpenedBy([link] { QTest::mouseClick(link, Qt::LeftButton); });
        QCOMPARE(link->text(), QString(text));
    }
    for (const char *scheme : {"https", "http", "file", "smb"})
        QDesktopServices::unsetUrlHandler(scheme);
    QCOMPARE(notices, QStringList({"This link is not a web address", "This link is not a web address", "This link is not a web address"}));
    QCOMPARE(catcher.opened, QList<QUrl>());

    // A web address that no program takes says so too.
    link->setText("https://orvandel.example/en");
    QCOMPARE(NoticeOpenedBy([link] { QTest::mouseClick(link, Qt::LeftButton); }),
             QString("No program was found to open it"));
}

// ---- pairing ------------------------------------------------------------------------------

void TestSettingsControls::pairingOfflineShowsNoDialog()
{
    OpenOffline("r8k");  // its mouse is switched off
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    QSignalSpy offline(PostMsg::GetInstance(), &PostMsg::SigMouseOffLineo);
    bool modalSeen = false;
    QTimer::singleShot(0, [&] {
        modalSeen = TestSupport::WithModal([](QWidget *modal) { TestSupport::AnswerModal(modal, "CloseButton"); },
                                           300);
    });
    HidSim::ClearCallLog();
    QTest::mouseClick(Child(page, "pushButton_2"), Qt::LeftButton);
    QTest::qWait(400);
    QVERIFY(!modalSeen);
    QCOMPARE(offline.count(), 1);
    QCOMPARE(Calls("StartUsbChanged"), QStringList());
}

// After the dialog the device page's USB-change callback and the program's
// data callback are back: a later battery report reaches the device page.
void TestSettingsControls::pairingHandsTheConnectionBack()
{
    OpenSession("r4k");
    FormSetting *page = NewPage();
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page, TestSupport::kHangGuardMs));
    QPoint dialogAt;
    QPoint expectedAt;
    bool modalSeen = false;
    QTimer::singleShot(0, [&] {
        modalSeen = TestSupport::WithModal([&](QWidget *modal) {
            dialogAt = modal->pos();
            const QPoint corner = page->mapToGlobal(QPoint(0, 0));
            expectedAt = corner + QPoint((page->width() - modal->width()) / 2 - 70,
                                         (page->height() - modal->height()) / 2 - 30);
            TestSupport::AnswerModal(modal, "CloseButton");
        });
    });
    HidSim::ClearCallLog();
    QTest::mouseClick(Child(page, "pushButton_2"), Qt::LeftButton);
    QVERIFY(modalSeen);
    QCOMPARE(dialogAt, expectedAt);
    const QString path = QString::fromLatin1(HidSim::PathOf("r4k"));
    QStringList calls = CallTrail({"UsbServerC_Start", "StartUsbChanged"});
    QVERIFY(!calls.isEmpty());
    QCOMPARE(calls.takeFirst(), QString("StartUsbChanged(600)"));  // the dialog's own, on its close
    QCOMPARE(calls, (QStringList{"StartUsbChanged(600)", "UsbServerC_Start(" + path + "," + path + ")"}));

    // The report comes on the library's delivery thread: it is counted on
    // this one, queued, so nothing of the case is touched from there.
    int batteryReports = 0;
    QObject receiver;
    connect(PostMsg::GetInstance(), &PostMsg::SigBattery, &receiver, [&batteryReports] { ++batteryReports; },
            Qt::QueuedConnection);
    QVERIFY(HidSim::SetBattery("m2", 42, false));
    QVERIFY(TestSupport::WaitFor([&batteryReports] { return batteryReports > 0; }));
}

VOGM_TEST_MAIN(TestSettingsControls)
#include "tst_settingscontrols.moc"
