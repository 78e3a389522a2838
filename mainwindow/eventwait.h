#pragma once
// The waits of the main window, the device page and the wait popup that keep
// the GUI thread serving events (queued and blocking-queued signals, timers,
// painting) for a named duration.

// Serves events for Waits::Scaled(ms) milliseconds, sleeping while there are
// none, then returns.
void WaitProcessingEvents(int ms);

// A plain sleep of the GUI thread for Waits::Scaled(ms): nothing is served.
void SleepWithoutEvents(int ms);
