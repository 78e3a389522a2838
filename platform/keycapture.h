#pragma once
// Key capture: reports every key press and release that reaches any window of
// the program, as a desktop virtual-key code, to whoever asked for it.
//
// A KeyCapture watches the application's events while it is installed. It
// sees a key event once, when the event reaches a window (a modal dialog's
// included), before the focused widget gets it, and never consumes it. On X11
// a held key comes as release/press pairs; the releases of those pairs are
// dropped, so a held key gives presses, then one release. Qt flags such a
// release as auto-repeat only when the press has already been read from the
// X connection, so a release of a key that the X server still holds down is
// taken as a repeat as well.
// Keys bound to a shortcut never arrive as key events: capturing windows
// define none.
//
// Any number of captures may be installed at once; each has its own
// callback and its own repeat state, and sees every key once. Uninstalling or
// destroying a capture stops its calls at once, also from inside its own
// callback, and leaves the others alone. A capture installed while a key is
// being reported first sees the next key.
//
// Callback arguments: the virtual-key code (0 for a key without one), true
// for a press, and whether the code equals the previous event's code since
// the last key release. GUI thread only.

#include <QtGlobal>
#include <QtCore/qnamespace.h>
#include <cstdint>
#include <functional>

class KeyCapture
{
public:
    using Callback = std::function<void(int virtualKey, bool down, bool repeat)>;

    explicit KeyCapture(Callback callback);
    ~KeyCapture();

    KeyCapture(const KeyCapture &) = delete;
    KeyCapture &operator=(const KeyCapture &) = delete;

    // Starts reporting keys; installing twice changes nothing. Needs the
    // application object; without one nothing is reported.
    void Install();
    // Stops reporting at once; also safe when not installed.
    void Uninstall();
    bool IsInstalled() const;

private:
    friend class KeyCaptureFilter;
    // Hands one key event to the callback, `down` false for a release.
    void Report(int virtualKey, bool down);

    Callback callback;
    std::uint64_t serial = 0;  // non-zero while installed: the installation's number
    int lastVirtualKey = -1;   // previous event's code since the last release; -1 none
};

// Whether the window system still holds a key down, by the native keycode of
// a key event. The default asks the X server on the xcb platform and answers
// false elsewhere; tests replace it (an empty function restores the default).
using KeyHeldQuery = std::function<bool(quint32 nativeScanCode)>;
void SetKeyHeldQuery(KeyHeldQuery query);

// The Windows virtual-key code of a key event.
//
// With native codes (X11: nativeVirtualKey is the keysym, nativeScanCode the
// keycode) modifiers, the keypad and named keys come from the keysym (left and
// right modifiers apart: 160-165, 91, 92; keypad digits 96-105 with NumLock
// on, the navigation codes and 12 for keypad 5 with it off), letters from the
// keysym folded to upper case, and digits and punctuation from the keycode's
// position on a US keyboard, so that Shift does not change them (Shift+1 is
// 49). Letters of a non-Latin layout take their key's US position.
//
// Without native codes (nativeVirtualKey 0, as on the offscreen platform) the
// Qt key and the keypad modifier decide; shifted symbols give their US base
// key and a modifier key its left-hand code.
//
// A key without a virtual-key code gives 0.
int WindowsVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode, quint32 nativeVirtualKey);
