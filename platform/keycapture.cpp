#include "keycapture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>
#include <xcb/xcb.h>

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

// X11 keysyms of modifiers, the keypad and the named keys.
const CodePair kKeysyms[] = {
    {0xffe1, 160}, {0xffe2, 161},  // Shift_L, Shift_R
    {0xffe3, 162}, {0xffe4, 163},  // Control_L, Control_R
    {0xffe9, 164}, {0xffea, 165},  // Alt_L, Alt_R
    {0xffe7, 164}, {0xffe8, 165},  // Meta_L, Meta_R (Alt with Shift held)
    {0xfe03, 165}, {0xff7e, 165},  // ISO_Level3_Shift (AltGr), Mode_switch
    {0xffeb, 91},  {0xffec, 92},   // Super_L, Super_R
    {0xff67, 93},                  // Menu
    {0xffe5, 20},  {0xff7f, 144}, {0xff14, 145},  // Caps_Lock, Num_Lock, Scroll_Lock
    // Keypad with NumLock on.
    {0xffb0, 96}, {0xffb1, 97}, {0xffb2, 98}, {0xffb3, 99}, {0xffb4, 100},
    {0xffb5, 101}, {0xffb6, 102}, {0xffb7, 103}, {0xffb8, 104}, {0xffb9, 105},
    {0xffaa, 106}, {0xffab, 107}, {0xffad, 109}, {0xffae, 110}, {0xffaf, 111},
    {0xffac, 110},  // KP_Separator: the decimal key of layouts with a decimal comma
    {0xff8d, 13}, {0xff80, 32}, {0xff89, 9},  // KP_Enter, KP_Space, KP_Tab
    // Keypad with NumLock off: the navigation codes, 12 for the middle key.
    {0xff95, 36}, {0xff96, 37}, {0xff97, 38}, {0xff98, 39}, {0xff99, 40},
    {0xff9a, 33}, {0xff9b, 34}, {0xff9c, 35}, {0xff9d, 12}, {0xff9e, 45}, {0xff9f, 46},
    // Named keys.
    {0xff08, 8}, {0xff09, 9}, {0xfe20, 9},  // BackSpace, Tab, ISO_Left_Tab (Shift+Tab)
    {0xff0b, 12}, {0xff0d, 13}, {0xff13, 19}, {0xff1b, 27}, {0x0020, 32},
    {0xff55, 33}, {0xff56, 34}, {0xff57, 35}, {0xff50, 36},
    {0xff51, 37}, {0xff52, 38}, {0xff53, 39}, {0xff54, 40},
    {0xff61, 44}, {0xff15, 44},  // Print, Sys_Req (Alt+Print)
    {0xff63, 45}, {0xffff, 46},  // Insert, Delete
};

constexpr quint32 kKeysymF1 = 0xffbe;
constexpr quint32 kKeysymF24 = 0xffd5;
constexpr int kVirtualKeyF1 = 112;

// X11 keycodes (evdev) of the digit and punctuation keys of a US keyboard.
const CodePair kSymbolKeycodes[] = {
    {10, 49}, {11, 50}, {12, 51}, {13, 52}, {14, 53}, {15, 54}, {16, 55}, {17, 56}, {18, 57}, {19, 48},
    {20, 189}, {21, 187}, {34, 219}, {35, 221}, {51, 220},
    {47, 186}, {48, 222}, {49, 192}, {59, 188}, {60, 190}, {61, 191},
};

// X11 keycodes of the letter keys of a US keyboard: the letters of a layout
// whose keysyms are not Latin take these.
const CodePair kLetterKeycodes[] = {
    {24, 'Q'}, {25, 'W'}, {26, 'E'}, {27, 'R'}, {28, 'T'}, {29, 'Y'}, {30, 'U'}, {31, 'I'}, {32, 'O'}, {33, 'P'},
    {38, 'A'}, {39, 'S'}, {40, 'D'}, {41, 'F'}, {42, 'G'}, {43, 'H'}, {44, 'J'}, {45, 'K'}, {46, 'L'},
    {52, 'Z'}, {53, 'X'}, {54, 'C'}, {55, 'V'}, {56, 'B'}, {57, 'N'}, {58, 'M'},
};

// Keysyms of characters outside Latin-1 (Cyrillic, Greek, kana, Hangul...):
// the legacy ones below the function keys (0xfe00 up) and the Unicode ones.
bool IsOtherScriptKeysym(quint32 keysym)
{
    return (keysym > 0xff && keysym < 0xfe00) || (keysym >= 0x01000100 && keysym <= 0x0110ffff);
}

int FromNativeCodes(quint32 keycode, quint32 keysym)
{
    if (int virtualKey = Find(kKeysyms, keysym))
        return virtualKey;
    if (keysym >= kKeysymF1 && keysym <= kKeysymF24)
        return kVirtualKeyF1 + int(keysym - kKeysymF1);
    if (keysym >= 'a' && keysym <= 'z')
        return int(keysym - 'a' + 'A');
    if (keysym >= 'A' && keysym <= 'Z')
        return int(keysym);
    if (int virtualKey = Find(kSymbolKeycodes, keycode))
        return virtualKey;
    if (IsOtherScriptKeysym(keysym))
        return Find(kLetterKeycodes, keycode);
    return kNoKey;
}

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

// ---- Keys the X server holds down ----

struct XcbDisconnect {
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};

// The key state comes over a connection of our own: Qt keeps its own to itself.
bool XServerHoldsKey(quint32 keycode)
{
    static std::unique_ptr<xcb_connection_t, XcbDisconnect> connection;
    static bool tried = false;
    if (!tried) {
        tried = true;
        xcb_connection_t *opened = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(opened))
            xcb_disconnect(opened);
        else
            connection.reset(opened);
    }
    constexpr quint32 kKeycodes = 256;
    if (!connection || keycode == 0 || keycode >= kKeycodes)
        return false;
    xcb_query_keymap_reply_t *reply =
        xcb_query_keymap_reply(connection.get(), xcb_query_keymap(connection.get()), nullptr);
    if (!reply)
        return false;
    const bool held = (reply->keys[keycode / 8] >> (keycode % 8)) & 1;
    std::free(reply);
    return held;
}

KeyHeldQuery &HeldQuery()
{
    static KeyHeldQuery query;
    return query;
}

bool KeyStillHeld(quint32 nativeScanCode)
{
    if (HeldQuery())
        return HeldQuery()(nativeScanCode);
    return QGuiApplication::platformName() == QLatin1String("xcb") && XServerHoldsKey(nativeScanCode);
}

}  // namespace

void SetKeyHeldQuery(KeyHeldQuery query)
{
    HeldQuery() = std::move(query);
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
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
            return false;
        // A key event reaches the window first, then the focus widget and its
        // parents: only the window's delivery counts.
        if (!receiver->isWindowType() || Installed().empty())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool down = type == QEvent::KeyPress;
        // X11 sends a release before each repeated press.
        if (!down && (key->isAutoRepeat() || KeyStillHeld(key->nativeScanCode())))
            return false;
        const int virtualKey = WindowsVirtualKey(key->key(), key->modifiers(), key->nativeScanCode(),
                                                 key->nativeVirtualKey());
        // Callbacks may install, uninstall or destroy captures: each capture of
        // the snapshot is called only while its installation is still there.
        const std::vector<Installation> snapshot = Installed();
        for (const Installation &entry : snapshot) {
            if (KeyCapture *capture = InstalledCapture(entry.serial))
                capture->Report(virtualKey, down);
        }
        return false;
    }
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
    } else {
        lastVirtualKey = -1;  // a release ends the run of equal codes
    }
    // The callback may destroy this capture: it runs on a copy, and nothing
    // of this object is touched afterwards.
    const Callback call = callback;
    if (call)
        call(virtualKey, down, repeat);
}
