// The key-capture layer: the translation of key events to virtual-key codes,
// and the application-wide capture with keys sent to a window handle (as
// the window system delivers them) or hand-made events with native codes and
// times. The same capture on a real X server: tests/xkeys.

#include "keycapture.h"
#include "testsupport.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

struct Call {
    int virtualKey;
    bool down;
    bool repeat;
    bool operator==(const Call &other) const
    {
        return virtualKey == other.virtualKey && down == other.down && repeat == other.repeat;
    }
};

char *ToText(const Call &call)
{
    return QTest::toString(QStringLiteral("(%1, %2, %3)")
                               .arg(call.virtualKey)
                               .arg(call.down ? "down" : "up")
                               .arg(call.repeat ? "repeat" : "first"));
}

// X11 codes of the A key: keycode 38, keysym "a".
constexpr quint32 kKeycodeA = 38;
constexpr quint32 kKeysymA = 0x61;

// An A key event as the X server sends it, at server time `time`.
void SendNative(QWindow *window, QEvent::Type type, ulong time, bool autoRepeat = false)
{
    QKeyEvent event(type, Qt::Key_A, Qt::NoModifier, kKeycodeA, kKeysymA, 0, QStringLiteral("a"), autoRepeat);
    event.setTimestamp(time);
    QCoreApplication::sendEvent(window, &event);
}

// An X11 release is reported once the events queued with it are handled.
void HandleQueuedEvents()
{
    QCoreApplication::sendPostedEvents();
}

}  // namespace

namespace QTest {
template <>
char *toString(const Call &call)
{
    return ToText(call);
}
}  // namespace QTest

class TestKeyCapture : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void translatesWithoutNativeCodes_data();
    void translatesWithoutNativeCodes();
    void translatesX11Codes_data();
    void translatesX11Codes();

    void reportsEachKeyOnceBeforeTheFocusWidget();
    void heldKeyGivesPressesThenOneRelease();
    void fastTapsKeepEveryPair();
    void releaseWithoutItsPressIsNotReported_data();
    void releaseWithoutItsPressIsNotReported();
    void removedCaptureGetsNoCall_data();
    void removedCaptureGetsNoCall();
    void captureInstalledDuringAKeySeesTheNextOne();

private:
    std::unique_ptr<QWidget> window;
    QLineEdit *edit = nullptr;
};

void TestKeyCapture::init()
{
    window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(window.get());
    edit = new QLineEdit(window.get());
    layout->addWidget(edit);
    window->show();
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get(), TestSupport::kHangGuardMs));
    edit->setFocus();
}

void TestKeyCapture::cleanup()
{
    window.reset();
}

void TestKeyCapture::translatesWithoutNativeCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<int>("virtualKey");

    QTest::newRow("A") << int(Qt::Key_A) << false << 65;
    QTest::newRow("! is the 1 key") << int(Qt::Key_Exclam) << false << 49;
    QTest::newRow("keypad 5") << int(Qt::Key_5) << true << 101;
    QTest::newRow("keypad *") << int(Qt::Key_Asterisk) << true << 106;
    QTest::newRow("* is the 8 key") << int(Qt::Key_Asterisk) << false << 56;
    QTest::newRow(": is the ; key") << int(Qt::Key_Colon) << false << 186;
    QTest::newRow("left") << int(Qt::Key_Left) << false << 37;
    QTest::newRow("F12") << int(Qt::Key_F12) << false << 123;
    QTest::newRow("Shift") << int(Qt::Key_Shift) << false << 160;
    QTest::newRow("Space") << int(Qt::Key_Space) << false << 32;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false << 27;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true << 13;
    QTest::newRow("Clear") << int(Qt::Key_Clear) << false << 12;
    QTest::newRow("volume up") << int(Qt::Key_VolumeUp) << false << 0;
}

void TestKeyCapture::translatesWithoutNativeCodes()
{
    QFETCH(int, key);
    QFETCH(bool, keypad);
    QFETCH(int, virtualKey);
    QCOMPARE(WindowsVirtualKey(key, keypad ? Qt::KeypadModifier : Qt::NoModifier, 0, 0), virtualKey);
}

void TestKeyCapture::translatesX11Codes_data()
{
    QTest::addColumn<quint32>("keysym");
    QTest::addColumn<quint32>("keycode");
    QTest::addColumn<int>("virtualKey");

    // The position decides, whatever the layout puts there.
    QTest::newRow("a") << quint32('a') << quint32(38) << 65;
    QTest::newRow("Shift+a") << quint32('A') << quint32(38) << 65;
    QTest::newRow("AZERTY a on the Q key") << quint32('a') << quint32(24) << 81;
    QTest::newRow("AZERTY q on the A key") << quint32('q') << quint32(38) << 65;
    QTest::newRow("AZERTY comma on the M key") << quint32(',') << quint32(58) << 77;
    QTest::newRow("AZERTY ampersand on the 1 key") << quint32('&') << quint32(10) << 49;
    QTest::newRow("QWERTZ z on the Y key") << quint32('z') << quint32(29) << 89;
    QTest::newRow("QWERTZ sharp s on the - key") << quint32(0xdf) << quint32(20) << 189;
    QTest::newRow("Cyrillic ef on the A key") << quint32(0x6c6) << quint32(38) << 65;
    QTest::newRow("Shift+1") << quint32('!') << quint32(10) << 49;
    QTest::newRow("Shift+;") << quint32(':') << quint32(47) << 186;
    QTest::newRow("left Shift") << quint32(0xffe1) << quint32(50) << 160;
    QTest::newRow("right Shift") << quint32(0xffe2) << quint32(62) << 161;
    QTest::newRow("right Ctrl") << quint32(0xffe4) << quint32(105) << 163;
    QTest::newRow("AltGr") << quint32(0xfe03) << quint32(108) << 165;
    QTest::newRow("right Super") << quint32(0xffec) << quint32(134) << 92;
    QTest::newRow("Menu") << quint32(0xff67) << quint32(135) << 93;
    QTest::newRow("Alt+Print") << quint32(0xff15) << quint32(107) << 44;
    QTest::newRow("Space") << quint32(0x20) << quint32(65) << 32;
    QTest::newRow("Shift+Tab") << quint32(0xfe20) << quint32(23) << 9;
    QTest::newRow("F12") << quint32(0xffc9) << quint32(96) << 123;
    // The keypad keeps NumLock's meaning.
    QTest::newRow("keypad 1, NumLock on") << quint32(0xffb1) << quint32(87) << 97;
    QTest::newRow("keypad 1, NumLock off") << quint32(0xff9c) << quint32(87) << 35;
    QTest::newRow("keypad 7, NumLock off") << quint32(0xff95) << quint32(79) << 36;
    QTest::newRow("keypad 5, NumLock off") << quint32(0xff9d) << quint32(84) << 12;
    QTest::newRow("keypad 5, NumLock on") << quint32(0xffb5) << quint32(84) << 101;
    QTest::newRow("keypad decimal comma") << quint32(0xffac) << quint32(91) << 110;
    QTest::newRow("keypad Delete") << quint32(0xff9f) << quint32(91) << 46;
    QTest::newRow("keypad plus") << quint32(0xffab) << quint32(86) << 107;
    QTest::newRow("keypad Enter") << quint32(0xff8d) << quint32(104) << 13;
    // Positions without a code.
    QTest::newRow("ISO key beside left Shift") << quint32('<') << quint32(94) << 0;
    QTest::newRow("F13") << quint32(0xffca) << quint32(191) << 0;
    QTest::newRow("volume up") << quint32(0x1008ff13) << quint32(123) << 0;
}

void TestKeyCapture::translatesX11Codes()
{
    QFETCH(quint32, keysym);
    QFETCH(quint32, keycode);
    QFETCH(int, virtualKey);
    // The Qt key must not matter once native codes are there.
    QCOMPARE(WindowsVirtualKey(Qt::Key_unknown, Qt::ShiftModifier, keycode, keysym), virtualKey);
}

void TestKeyCapture::reportsEachKeyOnceBeforeTheFocusWidget()
{
    std::vector<Call> calls;
    QStringList editTextAtCall;
    KeyCapture capture([&](int virtualKey, bool down, bool repeat) {
        calls.push_back({virtualKey, down, repeat});
        editTextAtCall << edit->text();
    });
    capture.Install();

    QTest::keyClick(window->windowHandle(), 'a');
    QTest::keyClick(window->windowHandle(), 'b');

    const std::vector<Call> expected{{65, true, false}, {65, false, false}, {66, true, false}, {66, false, false}};
    QCOMPARE(calls, expected);
    QCOMPARE(editTextAtCall, (QStringList{"", "a", "a", "ab"}));
    QCOMPARE(edit->text(), QStringLiteral("ab"));  // never consumed
}

// The X server repeats a held key as a release and a press of one time; Qt
// flags the pair only when it read both at once.
void TestKeyCapture::heldKeyGivesPressesThenOneRelease()
{
    std::vector<Call> calls;
    KeyCapture capture([&](int virtualKey, bool down, bool repeat) { calls.push_back({virtualKey, down, repeat}); });
    capture.Install();

    QWindow *handle = window->windowHandle();
    SendNative(handle, QEvent::KeyPress, 1000);
    SendNative(handle, QEvent::KeyRelease, 1500, true);  // flagged by Qt
    SendNative(handle, QEvent::KeyPress, 1500, true);
    SendNative(handle, QEvent::KeyRelease, 1530);  // not flagged: Qt read the press later
    SendNative(handle, QEvent::KeyPress, 1530);
    SendNative(handle, QEvent::KeyRelease, 1560);
    SendNative(handle, QEvent::KeyPress, 1560);
    SendNative(handle, QEvent::KeyRelease, 1575);  // the key let go
    HandleQueuedEvents();
    SendNative(handle, QEvent::KeyPress, 2000);  // pressed again

    const std::vector<Call> expected{{65, true, false}, {65, true, true},   {65, true, true},
                                     {65, true, true},  {65, false, false}, {65, true, false}};
    QCOMPARE(calls, expected);
}

// Taps faster than any repeat: every press and release is kept, also when a
// tap's release is followed at once by the next press.
void TestKeyCapture::fastTapsKeepEveryPair()
{
    std::vector<Call> calls;
    KeyCapture capture([&](int virtualKey, bool down, bool repeat) { calls.push_back({virtualKey, down, repeat}); });
    capture.Install();

    QWindow *handle = window->windowHandle();
    ulong time = 100;
    for (int tap = 0; tap < 3; ++tap) {
        SendNative(handle, QEvent::KeyPress, time);
        SendNative(handle, QEvent::KeyRelease, time + 5);
        time += 6;
    }
    HandleQueuedEvents();

    std::vector<Call> expected;
    for (int tap = 0; tap < 3; ++tap) {
        expected.push_back({65, true, false});
        expected.push_back({65, false, false});
    }
    QCOMPARE(calls, expected);
}

void TestKeyCapture::releaseWithoutItsPressIsNotReported_data()
{
    QTest::addColumn<bool>("native");
    QTest::newRow("X11 codes") << true;
    QTest::newRow("Qt keys only") << false;
}

// A key the window manager grabs (Print under openbox) arrives as a lone
// release; so does a key pressed in another program.
void TestKeyCapture::releaseWithoutItsPressIsNotReported()
{
    QFETCH(bool, native);
    std::vector<Call> calls;
    KeyCapture capture([&](int virtualKey, bool down, bool repeat) { calls.push_back({virtualKey, down, repeat}); });
    capture.Install();

    QWindow *handle = window->windowHandle();
    if (native) {
        SendNative(handle, QEvent::KeyRelease, 10);
        HandleQueuedEvents();
        SendNative(handle, QEvent::KeyPress, 20);
        SendNative(handle, QEvent::KeyRelease, 30);
        SendNative(handle, QEvent::KeyRelease, 40);
        HandleQueuedEvents();
    } else {
        QTest::keyRelease(handle, Qt::Key_Print);
        QTest::keyClick(handle, 'a');
        QTest::keyRelease(handle, 'a');
    }

    QCOMPARE(calls, (std::vector<Call>{{65, true, false}, {65, false, false}}));
}

void TestKeyCapture::removedCaptureGetsNoCall_data()
{
    QTest::addColumn<bool>("fromCallback");
    QTest::addColumn<bool>("destroy");

    QTest::newRow("uninstalled") << false << false;
    QTest::newRow("destroyed") << false << true;
    QTest::newRow("uninstalled by its callback") << true << false;
    QTest::newRow("destroyed by its callback") << true << true;
}

// A second capture, installed after the first, goes on seeing every key once.
void TestKeyCapture::removedCaptureGetsNoCall()
{
    QFETCH(bool, fromCallback);
    QFETCH(bool, destroy);

    int firstCalls = 0;
    std::unique_ptr<KeyCapture> first;
    auto remove = [&] {
        if (destroy)
            first.reset();
        else
            first->Uninstall();
    };
    first = std::make_unique<KeyCapture>([&](int, bool, bool) {
        ++firstCalls;
        if (fromCallback)
            remove();
    });
    first->Install();

    std::vector<Call> otherCalls;
    KeyCapture other([&](int virtualKey, bool down, bool repeat) { otherCalls.push_back({virtualKey, down, repeat}); });
    other.Install();
    if (!fromCallback)
        remove();

    QTest::keyClick(window->windowHandle(), 'a');
    QTest::keyClick(window->windowHandle(), 'b');

    QCOMPARE(firstCalls, fromCallback ? 1 : 0);
    QCOMPARE(otherCalls.size(), std::size_t(4));
    QCOMPARE(otherCalls.front(), (Call{65, true, false}));
    QCOMPARE(otherCalls.back(), (Call{66, false, false}));
}

// The release of the key being reported belongs to a press the late capture
// never saw: its first key is the next one.
void TestKeyCapture::captureInstalledDuringAKeySeesTheNextOne()
{
    std::vector<Call> lateCalls;
    KeyCapture late([&](int virtualKey, bool down, bool repeat) { lateCalls.push_back({virtualKey, down, repeat}); });
    KeyCapture starter([&](int, bool, bool) { late.Install(); });
    starter.Install();

    QTest::keyPress(window->windowHandle(), 'a');
    QVERIFY(lateCalls.empty());
    QTest::keyRelease(window->windowHandle(), 'a');
    QVERIFY(lateCalls.empty());
    QTest::keyClick(window->windowHandle(), 'b');
    QCOMPARE(lateCalls, (std::vector<Call>{{66, true, false}, {66, false, false}}));
}

VOGM_TEST_MAIN(TestKeyCapture)
#include "tst_keycapture.moc"
