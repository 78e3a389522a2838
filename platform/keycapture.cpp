#include "keycapture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

namespace {

struct Installation {
    KeyCapture *capture;
    std::uint64_t serial;
};

// The installed captures in installation order.
std::vector<Installation> &Installed()
{
    static std::vector<Installation> installed;
    return installed;
}

std::uint64_t g_nextSerial = 1;

KeyCapture *InstalledCapture(std::uint64_t serial)
{
    for (const Installation &entry : Installed()) {
        if (entry.serial == serial)
            return entry.capture;
    }
    return nullptr;
}

// ---- Translation to virtual-key codes ----

constexpr int kNoKey = 0;

struct CodePair {
    quint32 from;
    int virtualKey;
};

int Find(const CodePair *table, std::size_t size, quint32 from)
{
    const CodePair *end = table + size;
    const CodePair *found = std::find_if(table, end, [from](const CodePair &pair) { return pair.from == from; });
    return found == end ? kNoKey : found->virtualKey;
}

template <std::size_t N>
int Find(const CodePair (&table)[N], quint32 from)
{
    return Find(table, N, from);
}

// The keypad keys whose code follows NumLock, by keysym: the digits and the
// decimal key with NumLock on, the navigation codes (12 for the middle key)
// with it off. Shift reverses NumLock, as the keysym tells.
const CodePair kKeypadKeysyms[] = {
    {0xffb0, 96}, {0xffb1, 97}, {0xffb2, 98}, {0xffb3, 99}, {0xffb4, 100},
    {0xffb5, 101}, {0xffb6, 102}, {0xffb7, 103}, {0xffb8, 104}, {0xffb9, 105},
    {0xffae, 110}, {0xffac, 110},  // KP_Decimal, KP_Separator (layouts with a decimal comma)
    {0xff95, 36}, {0xff96, 37}, {0xff97, 38}, {0xff98, 39}, {0xff99, 40},
    {0xff9a, 33}, {0xff9b, 34}, {0xff9c, 35}, {0xff9d, 12}, {0xff9e, 45}, {0xff9f, 46},
};

// X11 keycodes (evdev code + 8) of the keypad keys that follow NumLock, with
// their NumLock-on code for a keysym outside the list above.
const CodePair kNumLockKeycodes[] = {
    {79, 103}, {80, 104}, {81, 105}, {83, 100}, {84, 101}, {85, 102},
    {87, 97},  {88, 98},  {89, 99},  {90, 96},  {91, 110},
};

// Every other position: X11 keycode (evdev code + 8) to the code a US layout
// gives there. Positions not listed (the ISO key beside left Shift, F13 and
// up, media keys) have no code.
const CodePair kPositions[] = {
    {9, 27},   // Esc
    {10, 49}, {11, 50}, {12, 51}, {13, 52}, {14, 53}, {15, 54}, {16, 55}, {17, 56}, {18, 57}, {19, 48},
    {20, 189}, {21, 187}, {22, 8}, {23, 9},
    {24, 'Q'}, {25, 'W'}, {26, 'E'}, {27, 'R'}, {28, 'T'}, {29, 'Y'}, {30, 'U'}, {31, 'I'}, {32, 'O'}, {33, 'P'},
    {34, 219}, {35, 221}, {36, 13}, {37, 162},
    {38, 'A'}, {39, 'S'}, {40, 'D'}, {41, 'F'}, {42, 'G'}, {43, 'H'}, {44, 'J'}, {45, 'K'}, {46, 'L'},
    {47, 186}, {48, 222}, {49, 192}, {50, 160}, {51, 220},
    {52, 'Z'}, {53, 'X'}, {54, 'C'}, {55, 'V'}, {56, 'B'}, {57, 'N'}, {58, 'M'},
    {59, 188}, {60, 190}, {61, 191}, {62, 161}, {63, 106}, {64, 164}, {65, 32}, {66, 20},
    {67, 112}, {68, 113}, {69, 114}, {70, 115}, {71, 116}, {72, 117}, {73, 118}, {74, 119}, {75, 120}, {76, 121},
    {77, 144}, {78, 145}, {82, 109}, {86, 107}, {95, 122}, {96, 123},
    {104, 13}, {105, 163}, {106, 111}, {107, 44}, {108, 165},  // keypad Enter, RCtrl, keypad /, Print, AltGr
    {110, 36}, {111, 38}, {112, 33}, {113, 37}, {114, 39}, {115, 35}, {116, 40}, {117, 34}, {118, 45}, {119, 46},
    {127, 19}, {133, 91}, {134, 92}, {135, 93},  // Pause, LWin, RWin, Menu
};

int FromNativeCodes(quint32 keycode, quint32 keysym)
{
    if (int numLockKey = Find(kNumLockKeycodes, keycode)) {
        const int byKeysym = Find(kKeypadKeysyms, keysym);
        return byKeysym ? byKeysym : numLockKey;
    }
    return Find(kPositions, keycode);
}

constexpr int kVirtualKeyF1 = 112;

// Qt keys that keep their code on the keypad.
const CodePair kQtNamedKeys[] = {
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9}, {Qt::Key_Backtab, 9}, {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Pause, 19}, {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27}, {Qt::Key_Space, 32}, {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35}, {Qt::Key_Home, 36}, {Qt::Key_Left, 37}, {Qt::Key_Up, 38},
    {Qt::Key_Right, 39}, {Qt::Key_Down, 40}, {Qt::Key_Print, 44}, {Qt::Key_SysReq, 44},
    {Qt::Key_Insert, 45}, {Qt::Key_Delete, 46}, {Qt::Key_Menu, 93}, {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    // Modifiers: without native codes the side is unknown; the left key stands for both.
    {Qt::Key_Shift, 160}, {Qt::Key_Control, 162}, {Qt::Key_Alt, 164}, {Qt::Key_AltGr, 165},
    {Qt::Key_Meta, 91}, {Qt::Key_Super_L, 91}, {Qt::Key_Super_R, 92},
};

// Keypad keys (Qt key with the keypad modifier).
const CodePair kQtKeypadKeys[] = {
    {Qt::Key_0, 96}, {Qt::Key_1, 97}, {Qt::Key_2, 98}, {Qt::Key_3, 99}, {Qt::Key_4, 100},
    {Qt::Key_5, 101}, {Qt::Key_6, 102}, {Qt::Key_7, 103}, {Qt::Key_8, 104}, {Qt::Key_9, 105},
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109}, {Qt::Key_Period, 110},
    {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
};

// Symbols, shifted ones at their US base key.
const CodePair kQtSymbolKeys[] = {
    {Qt::Key_Exclam, 49}, {Qt::Key_At, 50}, {Qt::Key_NumberSign, 51}, {Qt::Key_Dollar, 52},
    {Qt::Key_Percent, 53}, {Qt::Key_AsciiCircum, 54}, {Qt::Key_Ampersand, 55}, {Qt::Key_Asterisk, 56},
    {Qt::Key_ParenLeft, 57}, {Qt::Key_ParenRight, 48},
    {Qt::Key_Minus, 189}, {Qt::Key_Underscore, 189}, {Qt::Key_Equal, 187}, {Qt::Key_Plus, 187},
    {Qt::Key_BracketLeft, 219}, {Qt::Key_BraceLeft, 219}, {Qt::Key_BracketRight, 221}, {Qt::Key_BraceRight, 221},
    {Qt::Key_Backslash, 220}, {Qt::Key_Bar, 220}, {Qt::Key_Semicolon, 186}, {Qt::Key_Colon, 186},
    {Qt::Key_Apostrophe, 222}, {Qt::Key_QuoteDbl, 222}, {Qt::Key_QuoteLeft, 192}, {Qt::Key_AsciiTilde, 192},
    {Qt::Key_Comma, 188}, {Qt::Key_Less, 188}, {Qt::Key_Period, 190}, {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191}, {Qt::Key_Question, 191},
};

int FromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey < 0)
        return kNoKey;
    const auto key = quint32(qtKey);
    if (int virtualKey = Find(kQtNamedKeys, key))
        return virtualKey;
    if (modifiers & Qt::KeypadModifier) {
        if (int virtualKey = Find(kQtKeypadKeys, key))
            return virtualKey;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return kVirtualKeyF1 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return qtKey;  // the same numbers as the virtual keys
    return Find(kQtSymbolKeys, key);
}

}  // namespace

quint32 KeycodeOfVirtualKey(int virtualKey)
{
    for (const CodePair &pair : kNumLockKeycodes) {
        if (pair.virtualKey == virtualKey)
            return pair.from;
    }
    // Keypad Enter shares 13 with Return: the first listed, Return, is the key.
    for (const CodePair &pair : kPositions) {
        if (pair.virtualKey == virtualKey)
            return pair.from;
    }
    return 0;
}

int WindowsVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode, quint32 nativeVirtualKey)
{
    if (nativeVirtualKey != 0)
        return FromNativeCodes(nativeScanCode, nativeVirtualKey);
    return FromQtKey(qtKey, modifiers);
}

// ---- The application-wide filter ----

class KeyCaptureFilter : public QObject
{
public:
    using QObject::QObject;

    // The filter of the running application, made and installed on first use.
    // It stays installed for the application's life: installing and removing
    // application filters while one of them runs would shift the others.
    static void EnsureInstalled()
    {
        static QPointer<KeyCaptureFilter> filter;
        QCoreApplication *app = QCoreApplication::instance();
        if (filter || !app)
            return;
        filter = new KeyCaptureFilter(app);
        app->installEventFilter(filter);
    }

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) {
            ReportPending();  // a repeat's press would have come before
            return false;
        }
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
            return false;
        // A key event reaches the window first, then the focus widget and its
        // parents: only the window's delivery counts.
        if (!receiver->isWindowType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool down = type == QEvent::KeyPress;
        if (key->isAutoRepeat() && !down)
            return false;  // X11 sends a release before each repeated press
        const KeyEvent current{WindowsVirtualKey(key->key(), key->modifiers(), key->nativeScanCode(),
                                                 key->nativeVirtualKey()),
                               key->nativeScanCode(), key->timestamp()};
        if (down && IsRepeatOfPendingRelease(current))
            pending.reset();  // the release and this press are the server's repeat
        ReportPending();
        if (Installed().empty())
            return false;
        if (!down && current.scanCode != 0 && current.time != 0) {
            HoldRelease(current);
            return false;
        }
        ReportToAll(current.virtualKey, down);
        return false;
    }

private:
    struct KeyEvent {
        int virtualKey;
        quint32 scanCode;
        ulong time;
    };

    // The X server repeats a held key as a release and a press that carry
    // the same time. Qt flags the pair only when it has read the press along
    // with the release; otherwise the press arrives after the release, so a
    // release from the X server (native codes and a time) waits for the next
    // key or mouse-button event, or for the end of the events queued with
    // it. Events without a time (made by a program) are reported at once.
    bool IsRepeatOfPendingRelease(const KeyEvent &press) const
    {
        return pending && pending->scanCode == press.scanCode && pending->time == press.time;
    }

    void HoldRelease(const KeyEvent &release)
    {
        pending = release;
        const std::uint64_t number = ++pendingNumber;
        QMetaObject::invokeMethod(
            this,
            [this, number] {
                if (number == pendingNumber)
                    ReportPending();
            },
            Qt::QueuedConnection);
    }

    void ReportPending()
    {
        if (!pending)
            return;
        const int virtualKey = pending->virtualKey;
        pending.reset();
        ReportToAll(virtualKey, false);
    }

    // Callbacks may install, uninstall or destroy captures: each capture of
    // the snapshot is called only while its installation is still there.
    static void ReportToAll(int virtualKey, bool down)
    {
        const std::vector<Installation> snapshot = Installed();
        for (const Installation &entry : snapshot) {
            if (KeyCapture *capture = InstalledCapture(entry.serial))
                capture->Report(virtualKey, down);
        }
    }

    std::optional<KeyEvent> pending;
    std::uint64_t pendingNumber = 0;
};

KeyCapture::KeyCapture(Callback callback) : callback(std::move(callback)) {}

KeyCapture::~KeyCapture()
{
    Uninstall();
}

void KeyCapture::Install()
{
    if (serial != 0 || !QCoreApplication::instance())
        return;
    KeyCaptureFilter::EnsureInstalled();
    serial = g_nextSerial++;
    lastVirtualKey = -1;
    held.clear();
    Installed().push_back({this, serial});
}

void KeyCapture::Uninstall()
{
    if (serial == 0)
        return;
    std::vector<Installation> &installed = Installed();
    const std::uint64_t mine = serial;
    installed.erase(std::remove_if(installed.begin(), installed.end(),
                                   [mine](const Installation &entry) { return entry.serial == mine; }),
                    installed.end());
    serial = 0;
}

bool KeyCapture::IsInstalled() const
{
    return serial != 0;
}

void KeyCapture::Report(int virtualKey, bool down)
{
    bool repeat = false;
    if (down) {
        repeat = virtualKey == lastVirtualKey;
        lastVirtualKey = virtualKey;
        if (!repeat)
            held.insert(virtualKey);
    } else {
        lastVirtualKey = -1;  // a release ends the run of equal codes
        if (held.erase(virtualKey) == 0)
            return;  // its press went elsewhere, or came before this capture
    }
    // The callback may destroy this capture: it runs on a copy, and nothing
    // of this object is touched afterwards.
    const Callback call = callback;
    if (call)
        call(virtualKey, down, repeat);
}
