#pragma once
// Key capture: reports every key press and release that reaches any window of
// the program, as a desktop virtual-key code, to whoever asked for it.
//
// A KeyCapture watches the application's events while it is installed. It
// sees a key event once, when the event reaches a window (a modal dialog's
// included), before the focused widget gets it, and never consumes it. On X11
// a held key comes as release/press pairs that carry one time; the releases
// of those pairs are dropped, so a held key gives presses, then one release.
// An X11 release is therefore reported once the next key event has come, or
// once the events queued with it have been handled.
//
// Each capture reports releases only of keys whose press it reported: a
// release whose press went to another program, or came before the capture
// was installed, is not reported.
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
#include <set>

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
    std::set<int> held;        // codes whose press was reported and not yet released
};

// The Windows virtual-key code of a key event.
//
// With native codes (X11: nativeVirtualKey is the keysym, nativeScanCode the
// keycode) the key's position decides: the code a US layout gives at that
// keycode, whatever the layout in use and whatever Shift or AltGr do (left and
// right modifiers apart: 160-165, 91, 92; AltGr is the right Alt). The keypad
// keys that follow NumLock take the keysym's meaning: digits 96-105 and 110
// with NumLock on, the navigation codes and 12 for keypad 5 with it off.
// Positions without a code (the ISO key beside left Shift, F13 and up, media
// keys) give 0.
//
// Without native codes (nativeVirtualKey 0, as on the offscreen platform) the
// Qt key and the keypad modifier decide; shifted symbols give their US base
// key and a modifier key its left-hand code.
//
// A key without a virtual-key code gives 0.
int WindowsVirtualKey(int qtKey, Qt::KeyboardModifiers modifiers, quint32 nativeScanCode, quint32 nativeVirtualKey);

// The X11 keycode at which a US layout gives a virtual-key code (the keypad
// digits with NumLock on); 0 for a code no position gives.
quint32 KeycodeOfVirtualKey(int virtualKey);
