#include "macrorecorder.h"

#include "keynames.h"

#include <QElapsedTimer>

MacroRecorder::MacroRecorder(KeyCapture::Callback capturedKey, Sink sink)
    : capture(std::move(capturedKey)), sink(std::move(sink))
{
    QElapsedTimer started;
    started.start();
    clock = [started] { return started.elapsed(); };
}

void MacroRecorder::SetClock(Clock newClock)
{
    clock = std::move(newClock);
}

void MacroRecorder::Start()
{
    recordedKeyCount = 0;
    heldKeys.clear();
    awaitingFirstEvent = true;
    taking = true;
    capture.Install();
}

bool MacroRecorder::Stop()
{
    const bool wasCapturing = capture.IsInstalled();
    capture.Uninstall();
    taking = false;
    recordedKeyCount = 0;
    heldKeys.clear();
    return wasCapturing;
}

void MacroRecorder::TakeKey(int virtualKey, bool down)
{
    if (!taking) {
        lastKeyAt = clock();
        return;
    }
    const std::optional<QString> name = KeyNames::VirtualKeyName(virtualKey);
    if (!name)
        return;
    if (down) {
        if (heldKeys.contains(virtualKey))
            return;
        heldKeys.insert(virtualKey);
    } else {
        heldKeys.remove(virtualKey);
    }

    const qint64 now = clock();
    if (awaitingFirstEvent) {
        awaitingFirstEvent = false;
    } else {
        const std::optional<int> fixed = sink.fixedDelay();
        sink.delay(fixed ? double(*fixed) : double(now - lastKeyAt));
    }
    lastKeyAt = now;
    ++recordedKeyCount;
    sink.key(*name, down);

    if (recordedKeyCount == kMaxKeys) {
        taking = false;
        recordedKeyCount = 0;
        capture.Uninstall();
        sink.limitReached();
    }
}
