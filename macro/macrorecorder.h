#pragma once
// Recording a macro from the keyboard, without any widget.
//
// While it runs, the recorder turns each key that the program's key capture
// reports (KeyCapture: any window of the program in front) into a key event,
// with a delay before every key but the first: the pause measured since the
// last key taken, or the fixed delay the page asks for. Keys without a name
// are left out and change nothing, not even the measured pause. A held key
// gives one press and one release. The 70th key ends the capture and is
// reported as the limit, once, right after that key.
// GUI thread only.

#include "keycapture.h"

#include <QSet>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

class MacroRecorder
{
public:
    // Monotonic milliseconds; by default a QElapsedTimer started with the recorder.
    using Clock = std::function<qint64()>;
    struct Sink {
        std::function<void(const QString &name, bool press)> key;
        std::function<void(double ms)> delay;
        // The fixed delay to insert, or nullopt for the measured pause.
        std::function<std::optional<int>()> fixedDelay;
        std::function<void()> limitReached;
    };
    static constexpr int kMaxKeys = 70;

    // `capturedKey` gets every key the capture reports; the page hands it on
    // to TakeKey (the page's own recording callback sits in between).
    MacroRecorder(KeyCapture::Callback capturedKey, Sink sink);

    void SetClock(Clock clock);
    // Starts taking keys (and the capture); the first key gets no delay.
    void Start();
    // Stops the capture; true when it was running.
    bool Stop();
    bool IsCapturing() const { return capture.IsInstalled(); }
    // True from Start until Stop or the 70th key.
    bool IsTaking() const { return taking; }

    // One key from the capture, `down` true for a press.
    void TakeKey(int virtualKey, bool down);

private:
    KeyCapture capture;
    Sink sink;
    Clock clock;
    bool taking = false;
    qint64 lastKeyAt = 0;             // clock() when the last key was taken
    bool awaitingFirstEvent = false;  // no delay goes before the next key taken
    int recordedKeyCount = 0;
    QSet<int> heldKeys;               // keys taken as pressed and not yet released
};
