#pragma once
// Settings for the process-level tests and the benchmarks. Each is off unless
// its environment variable is set, and changes nothing else of the program.
//
//   VOGM_REPORT_SHOWN=1               prints "shown: <class name>" on stdout,
//                                     once, when a watched window's first paint
//                                     has been handled and flushed
//   VOGM_AUTOCLOSE_ALREADY_RUNNING=1  closes the "already running" notice of a
//                                     second start a (scaled) wait after its
//                                     first paint has been handled

class QObject;

namespace TestHooks {

// The wait before the "already running" notice closes itself (scaled by Waits).
constexpr int kAlreadyRunningAutoCloseMs = 2000;

// Watches `window` for its first paint and reports it, once handled, when
// VOGM_REPORT_SHOWN is set.
void ReportFirstShow(QObject *window);

// Closes `notice` (through its "close" slot) the wait above after its first
// paint has been handled, when VOGM_AUTOCLOSE_ALREADY_RUNNING is set.
void AutoCloseAlreadyRunning(QObject *notice);

}  // namespace TestHooks
