// The rows' captions from a settings image, and the page's fills: from the
// mouse or its cache, from an applied import, and the reset to defaults;
// which image the page shows afterwards.

#include "buttoninterface.h"
#include "buttonpagesuite.h"
#include "connection.h"
#include "globals.h"
#include "hidusb_control.h"
#include "keyrecord.h"
#include "macrofile.h"
#include "pendingmacros.h"
#include "panelfixture.h"
#include "postmsg.h"
#include "testsupport.h"
#include "worldfixtures.h"

#include <QComboBox>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTextCodec>
#include <QToolButton>
#include <QtTest>
#include <cstring>
#include <thread>

using namespace ButtonPageKit;
using namespace PanelFixture;

namespace {

const QString kPrefix = QStringLiteral("Macro-");
const char *const kRowButtons[] = {"FireKey", "RightKey", "BackKey", "StartPause", "TopMusic", "BackMusic"};
// The row of each device button 0-5.
const char *const kRowOfDevice[] = {"FireKey", "RightKey", "BackKey", "TopMusic", "StartPause", "BackMusic"};

FlashDataMap ImageOf(const QByteArray &bytes)
{
    FlashDataMap image;
    std::memcpy(&image, bytes.constData(), sizeof image);
    return image;
}

void SetEntry(FlashDataMap &image, int button, int type, int param1, int param2)
{
    image.Keys[button] = KeyEntry{uint8_t(type), uint8_t(param1), uint8_t(param2)};
}

void SetKeyRecord(FlashDataMap &image, int button, const KeyRecord &record)
{
    const KeyRecordBytes bytes = StoreKeyRecord(record);
    std::memcpy(image.KeySequences[button], bytes.data(), bytes.size());
}

void SetMacroName(FlashDataMap &image, int button, const QByteArray &name)
{
    std::memset(image.Macros[button], 0, kMacroRecordSize);
    image.Macros[button][0] = uint8_t(name.size());
    std::memcpy(image.Macros[button] + 1, name.constData(), size_t(qMin(name.size(), kMacroNameBytes)));
}

// Every file below the per-user folder with its content.
QMap<QString, QByteArray> UserFiles()
{
    QMap<QString, QByteArray> files;
    QDirIterator it(TestSupport::BaseFolder(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        files.insert(file.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
    }
    return files;
}

}  // namespace

class TestButtonCaptions : public ButtonPageSuite
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void captionOfAnEntry_data();
    void captionOfAnEntry();
    void captionOfAKeyRecord_data();
    void captionOfAKeyRecord();
    void macroCaptionHandsTheRecordOnUnlessPending();
    void unsafeMacroNamesTouchNoFile_data();
    void unsafeMacroNamesTouchNoFile();
    void fillFollowsTheModelsButtonCount_data();
    void fillFollowsTheModelsButtonCount();
    void fillFromTheMouseShowsWithoutWriting();
    void importFillTakesTheDebounceAsAChoice();
    void resetShowsTheDefaults();
    void shownImage();

private:
    QComboBox *Debounce() const { return Child<QComboBox>("Debunce"); }
    // The image signals as the device side sends them, from a thread of its own.
    void FillFromMouse(const FlashDataMap &image);
    void ResetFromWorker();

    FlashDataMap m_factory{};
};

void TestButtonCaptions::initTestCase()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

void TestButtonCaptions::init()
{
    QDir(MacroFile::Folder()).removeRecursively();
    QVERIFY(QDir().mkpath(MacroFile::Folder()));
    m_page = new Buttoninterface(nullptr);
    m_page->MacroPrefix = kPrefix;
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page, TestSupport::kHangGuardMs));
    OpenMouse();
    g_CurrentDevice.Update([](DeviceAllInfo &device) { device.DriveIndex = 0; });  // the cable mouse's model
    m_factory = ImageOf(StoredImage());
}

void TestButtonCaptions::cleanup()
{
    delete m_page;
    m_page = nullptr;
    g_CurrentDevice.Set(DeviceAllInfo());
    g_DeviceOnline = 0;
    g_DeviceDataReady = 0;
}

void TestButtonCaptions::FillFromMouse(const FlashDataMap &image)
{
    g_ButtonFilled = 0;
    std::thread device([image] { PostMsg::GetInstance()->EmitUpDataLightUIButton(image); });
    QVERIFY(TestSupport::WaitFor([] { return g_ButtonFilled == 1; }));
    device.join();
}

void TestButtonCaptions::ResetFromWorker()
{
    std::atomic<bool> done{false};
    std::thread worker([&done] {
        PostMsg::GetInstance()->EmitFormReset();
        done = true;
    });
    QVERIFY(TestSupport::WaitFor([&done] { return done.load(); }));
    worker.join();
}

void TestButtonCaptions::captionOfAnEntry_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("param1");
    QTest::addColumn<QString>("caption");  // the button whose text the row takes; empty: unchanged

    QTest::newRow("none") << 0 << 7 << "DPI_5";
    QTest::newRow("left") << 1 << 1 << "LeftKey_3";
    QTest::newRow("forward") << 1 << 16 << "ForWardKey";
    QTest::newRow("DPI down") << 2 << 3 << "VolumeUp_10";
    QTest::newRow("tilt right") << 3 << 2 << "VolumeDown_2";
    QTest::newRow("fire key") << 4 << 40 << "DPI_6";
    QTest::newRow("report rate") << 7 << 3 << "DPI_2";
    QTest::newRow("next light effect") << 8 << 4 << "VolumeUp_7";
    QTest::newRow("profile") << 9 << 1 << "DPI_3";
    QTest::newRow("wheel down") << 11 << 2 << "VolumeDown_14";
    QTest::newRow("mouse button 3") << 1 << 3 << "";
    QTest::newRow("lighting 2") << 8 << 2 << "";
    QTest::newRow("wheel 0") << 11 << 0 << "";
    QTest::newRow("type 12") << 12 << 1 << "";
}

void TestButtonCaptions::captionOfAnEntry()
{
    QFETCH(int, type);
    QFETCH(int, param1);
    QFETCH(QString, caption);
    QSignalSpy handedOn(PostMsg::GetInstance(), &PostMsg::SigButtonToMacro);
    for (int button = 0; button < 6; ++button) {
        Button(kRowOfDevice[button])->setText("before");
        m_page->ShowButtonFunction(button, type, param1, 0, m_factory);
        const QString expected = caption.isEmpty() ? QString("before") : Button(caption)->text();
        QCOMPARE(Button(kRowOfDevice[button])->text(), expected);
    }
    // Buttons without a row change nothing.
    m_page->ShowButtonFunction(6, type, param1, 0, m_factory);
    m_page->ShowButtonFunction(-1, type, param1, 0, m_factory);
    QCOMPARE(handedOn.count(), 0);
}

void TestButtonCaptions::captionOfAKeyRecord_data()
{
    QTest::addColumn<QByteArray>("record");  // 52 bytes
    QTest::addColumn<QString>("caption");    // "=Name": the text of button Name

    auto bytes = [](const KeyRecord &record) {
        const KeyRecordBytes stored = StoreKeyRecord(record);
        return QByteArray(reinterpret_cast<const char *>(stored.data()), int(stored.size()));
    };
    QTest::newRow("media player") << bytes(MediaKeyRecord(0x183)) << "=Player";
    QTest::newRow("media player, low byte only") << bytes(MediaKeyRecord(0x083)) << "=Player";
    QTest::newRow("unknown consumer usage") << bytes(MediaKeyRecord(0x184)) << "before";
    QTest::newRow("combination") << bytes(Buttoninterface::ComboTextToKeyRecord("Ctrl+Shift+A")) << "Ctrl+Shift+A";
    QTest::newRow("zero record") << QByteArray(kKeySequenceSize, '\0') << "";
    // A count beyond the six events names the three presses, no release.
    KeyRecord large = Buttoninterface::ComboTextToKeyRecord("A+B+C");
    large.Count = 14;
    QTest::newRow("count 14") << bytes(large) << "A+B+C";
    large.Count = 200;
    QTest::newRow("count 200") << bytes(large) << "A+B+C";
    large.Count = 12;
    QTest::newRow("count 12 names its six events") << bytes(large) << "A+B+C+C+B+A";
    QTest::newRow("keypad plus") << bytes(Buttoninterface::ComboTextToKeyRecord("Ctrl+Num+")) << "Ctrl+Num+";
}

void TestButtonCaptions::captionOfAKeyRecord()
{
    QFETCH(QByteArray, record);
    QFETCH(QString, caption);
    FlashDataMap image = m_factory;
    for (int button = 0; button < kKeyCount; ++button)  // what lies after each record
        SetKeyRecord(image, button, Buttoninterface::ComboTextToKeyRecord("Z"));
    for (int button = 0; button < 6; ++button) {
        std::memcpy(image.KeySequences[button], record.constData(), kKeySequenceSize);
        Button(kRowOfDevice[button])->setText("before");
        m_page->ShowButtonFunction(button, 5, 0, 0, image);
        const QString expected = caption.startsWith('=') ? Button(caption.mid(1))->text() : caption;
        QCOMPARE(Button(kRowOfDevice[button])->text(), expected);
        SetKeyRecord(image, button, Buttoninterface::ComboTextToKeyRecord("Z"));
    }
}

void TestButtonCaptions::macroCaptionHandsTheRecordOnUnlessPending()
{
    QFile file(MacroFile::Folder() + "/M.ini");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("253\n0x04 1 0\n10ms\n0x04 1 1\n");
    file.close();
    FlashDataMap image = m_factory;
    SetEntry(image, 3, 6, 3, 254);
    SetMacroName(image, 3, "M");
    QSignalSpy handedOn(PostMsg::GetInstance(), &PostMsg::SigButtonToMacro);

    FillFromMouse(image);

    // The editor writes the file from the record; the button page cuts nothing.
    QCOMPARE(Button("TopMusic")->text(), kPrefix + "M");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("253\n0x04 1 0\n10ms\n0x04 1 1\n"));
    file.close();
    QCOMPARE(handedOn.count(), 1);
    QCOMPARE(handedOn.first().at(1).toInt(), 3);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(handedOn.first().at(0).value<FlashDataMap>().Macros[3]), 2),
             QByteArray("\x01M"));

    FillFromMouse(image);
    QCOMPARE(handedOn.count(), 2);
    QCOMPARE(handedOn.last().at(1).toInt(), 3);

    // Saved but not yet on the mouse: the saved file stays the truth.
    QVERIFY(PendingMacros::Mark("M"));
    FillFromMouse(image);
    QCOMPARE(handedOn.count(), 2);
    QCOMPARE(Button("TopMusic")->text(), kPrefix + "M");
    // Without its file a pending macro is rebuilt from the mouse as before.
    QVERIFY(QFile::remove(file.fileName()));
    FillFromMouse(image);
    QCOMPARE(handedOn.count(), 3);
    QVERIFY(!PendingMacros::IsPending("M"));
}

void TestButtonCaptions::unsafeMacroNamesTouchNoFile_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("parent path") << QByteArray("../x");
    QTest::newRow("parent") << QByteArray("..");
    QTest::newRow("empty, as after a reset of the mouse") << QByteArray();
}

void TestButtonCaptions::unsafeMacroNamesTouchNoFile()
{
    QFETCH(QByteArray, name);
    QFile sibling(MacroFile::Folder() + "/../x.ini");
    QVERIFY(sibling.open(QIODevice::WriteOnly));
    sibling.write("kept\n");
    sibling.close();
    FlashDataMap image = m_factory;
    SetEntry(image, 0, 6, 0, 254);
    SetMacroName(image, 0, name);
    const QMap<QString, QByteArray> before = UserFiles();
    QSignalSpy handedOn(PostMsg::GetInstance(), &PostMsg::SigButtonToMacro);

    FillFromMouse(image);

    QCOMPARE(Button("FireKey")->text(), kPrefix + QString::fromUtf8(name));
    QCOMPARE(UserFiles(), before);
    QCOMPARE(handedOn.count(), 0);
}

void TestButtonCaptions::fillFollowsTheModelsButtonCount_data()
{
    QTest::addColumn<QString>("keyNumber");
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("captioned");  // rows, in device-button order, that take a caption
    QTest::newRow("4") << "4" << 4 << 4;
    QTest::newRow("8") << "8" << 8 << 6;
    QTest::newRow("40 acts as 16") << "40" << 16 << 6;
    QTest::newRow("missing") << QString() << 0 << 0;
    QTest::newRow("not a number") << "six" << 0 << 0;
}

void TestButtonCaptions::fillFollowsTheModelsButtonCount()
{
    QFETCH(QString, keyNumber);
    QFETCH(int, listed);
    QFETCH(int, captioned);
    Fixtures::ConfigVariant config({{"Drive1/KeyNumber", keyNumber}});
    FlashDataMap image = m_factory;
    for (int button = 0; button < kKeyCount; ++button)
        SetEntry(image, button, 11, 1 + button % 2, button);  // wheel up or down; param2 tells them apart
    for (const char *row : kRowButtons)
        Button(row)->setText("before");
    QList<uint8_t> refreshing;
    QObject receiver;
    connect(PostMsg::GetInstance(), &PostMsg::SigLightToFrom, &receiver,
            [&refreshing] { refreshing << g_ButtonRefreshing.load(); });

    FillFromMouse(image);

    QCOMPARE(m_page->Assignments().Types().size(), listed);
    QCOMPARE(m_page->Assignments().Params1().size(), listed);
    QCOMPARE(m_page->Assignments().Params2().size(), listed);
    for (int i = 0; i < listed; ++i) {
        QCOMPARE(m_page->Assignments().Types().at(i), 11);
        QCOMPARE(m_page->Assignments().Params1().at(i), 1 + i % 2);
        QCOMPARE(m_page->Assignments().Params2().at(i), i);
    }
    for (int button = 0; button < 6; ++button) {
        const QString expected = button >= captioned ? QString("before")
                                                     : Button(button % 2 ? "VolumeDown_14" : "VolumeUp_14")->text();
        QCOMPARE(Button(kRowOfDevice[button])->text(), expected);
    }
    QCOMPARE(refreshing, QList<uint8_t>{1});  // the sleep time went out while the page filled
    QCOMPARE(int(g_ButtonFilled), 1);
    QCOMPARE(int(g_ButtonRefreshing), 0);
}

void TestButtonCaptions::fillFromTheMouseShowsWithoutWriting()
{
    FlashDataMap image = m_factory;
    image.DebounceTime = 2;
    image.StopCloseTime = 7;
    QSignalSpy sleep(PostMsg::GetInstance(), &PostMsg::SigLightToFrom);
    HidSim::ClearCallLog();
    WatchModals();

    FillFromMouse(image);

    QVERIFY(StopWatching().isEmpty());
    QCOMPARE(Debounce()->currentIndex(), 2);
    QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), 0);
    QCOMPARE(sleep.count(), 1);
    QCOMPARE(sleep.first().first().toInt(), 70);

    // A value the box does not hold leaves it as it is.
    image.DebounceTime = 25;
    FillFromMouse(image);
    QCOMPARE(Debounce()->currentIndex(), 2);
}

void TestButtonCaptions::importFillTakesTheDebounceAsAChoice()
{
    {
        const QSignalBlocker quiet(Debounce());
        Debounce()->setCurrentIndex(8);
    }
    FlashDataMap image = m_factory;
    HidSim::ClearCallLog();
    struct Case {
        int debounce;
        int combo;
        int writes;
        QStringList notices;
    };
    const Case cases[] = {
        {2, 2, 1, {"LessThree"}},  // changed: written again and warned about
        {2, 2, 1, {}},             // the same value: nothing
        {25, 2, 1, {}},            // not in the box: unchanged, nothing written
    };
    for (const Case &c : cases) {
        image.DebounceTime = uint8_t(c.debounce);
        WatchModals();
        PostMsg::GetInstance()->EmitUpDataButtonUIC(image);
        QStringList notices;
        for (const SeenModal &seen : StopWatching())
            notices << seen.className;
        QCOMPARE(notices, c.notices);
        QCOMPARE(Debounce()->currentIndex(), c.combo);
        QCOMPARE(int(HidSim::CallsOf("ProtocolDataUpdate").size()), c.writes);
        QCOMPARE(int(g_ButtonRefreshing), 0);
    }
    QCOMPARE(StoredByte(offsetof(FlashDataMap, DebounceTime)), 2);
}

void TestButtonCaptions::resetShowsTheDefaults()
{
    FlashDataMap image = m_factory;
    SetEntry(image, 0, 4, 10, 3);  // the previous mouse had a fire key on row 1
    FillFromMouse(image);
    QCOMPARE(Button("FireKey")->text(), Button("DPI_6")->text());
    Child<QStackedWidget>("stackedWidget")->setCurrentWidget(Child("page_2"));
    Child<QStackedWidget>("stackedWidget_2")->setCurrentWidget(Child("page_3"));
    Child("widget")->setStyleSheet(QString());
    {
        const QSignalBlocker quiet(Debounce());
        Debounce()->setCurrentIndex(3);
    }
    QSignalSpy sleep(PostMsg::GetInstance(), &PostMsg::SigLightToFrom);
    QSignalSpy mouseIndex(PostMsg::GetInstance(), &PostMsg::SigMouseIndex);
    g_ButtonFilled = 0;

    ResetFromWorker();

    QCOMPARE(m_page->Assignments().Types(), (QVector<int>{1, 1, 1, 1, 1, 2}));
    QCOMPARE(m_page->Assignments().Params1(), (QVector<int>{1, 2, 4, 8, 16, 1}));
    QCOMPARE(m_page->Assignments().Params2(), (QVector<int>{0, 0, 0, 0, 0, 0}));
    QCOMPARE(Debounce()->currentIndex(), 8);
    QCOMPARE(sleep.count(), 1);
    QCOMPARE(sleep.first().first().toInt(), 60);
    QCOMPARE(mouseIndex.count(), 1);
    QCOMPARE(mouseIndex.first().first().toInt(), 0);
    QVERIFY(Child("widget")->styleSheet().contains(m_page->PictureDir + "mouse0.png"));
    QCOMPARE(Child<QStackedWidget>("stackedWidget")->currentWidget()->objectName(), QString("page"));
    QCOMPARE(Child<QStackedWidget>("stackedWidget_2")->currentWidget()->objectName(), QString("page_9"));
    const char *const defaults[] = {"LeftKey_3", "RightKey_3", "MidKey", "ForWardKey", "BackKey_2", "VolumeUp_8"};
    for (int row = 0; row < 6; ++row)
        QCOMPARE(Button(kRowButtons[row])->text(), Button(defaults[row])->text());
    QCOMPARE(int(g_ButtonFilled), 0);
    QCOMPARE(int(g_ButtonRefreshing), 0);
    QVERIFY(!m_page->ShownImage());
}

void TestButtonCaptions::shownImage()
{
    delete m_page;  // a page that has not been filled yet
    m_page = new Buttoninterface(nullptr);
    QVERIFY(!m_page->ShownImage());

    // Offline with the cache shown: the cached image, whatever the program's image holds.
    FlashDataMap cached = m_factory;
    cached.ReportRate = 0x20;
    StoreImage(FlashDataMap{});
    g_DeviceOnline = 0;
    FillFromMouse(cached);
    QVERIFY(m_page->ShownImage());
    QCOMPARE(m_page->ShownImage()->ReportRate, uint8_t(0x20));

    // Online, with the mouse's whole image read: the program's image, changes included.
    FlashDataMap live = m_factory;
    live.ReportRate = 0x40;
    StoreImage(live);
    g_DeviceOnline = 1;
    g_DeviceDataReady = 1;
    QVERIFY(ImageIsDevicesOwn());
    QCOMPARE(m_page->ShownImage()->ReportRate, uint8_t(0x40));
    g_DeviceOnline = 0;
    QCOMPARE(m_page->ShownImage()->ReportRate, uint8_t(0x20));
    // Another mouse chosen: the program's image is not its own until its dump arrives.
    g_DeviceOnline = 1;
    ForgetDeviceImage();
    QCOMPARE(m_page->ShownImage()->ReportRate, uint8_t(0x20));
}

VOGM_TEST_MAIN(TestButtonCaptions)
#include "tst_buttoncaptions.moc"
