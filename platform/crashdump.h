#pragma once
// Crash dumps: when the process dies of a fatal signal (SIGSEGV, SIGBUS,
// SIGILL, SIGFPE, SIGABRT) or of std::terminate (an exception that left any
// thread), one text file is written into "<base folder>/Exception", named by
// the local time as "yyyy_MM_dd_hh_mm_ss.dmp" (an existing file of that name is
// truncated). It holds the reason, the faulting address, the thread, the
// program with its build id, and a backtrace whose frames give module and
// offset (for addr2line) and the function wherever the module's dynamic
// symbol table names it. Then the process ends as it would have without the
// handler.
//
// The signal path only makes async-signal-safe calls: the folder path and the
// local-time offset are prepared by Install(), and the file name is computed
// with plain arithmetic (localtime_r may take locks). Consequence: a run that
// crosses a daylight-saving change names its dump with the offset that held
// when the handler was installed.
//
// The handler runs on an alternate signal stack (so a stack overflow can still
// be reported) for the thread that installs it; other threads report their
// faults on their own stacks.

#include <ctime>

class CrashDumpHandler
{
public:
    CrashDumpHandler() = default;

    // Installs the handlers for the whole process; the previous handlers are
    // not kept. Safe to call again (it re-reads the folder and time offset).
    static void Install();

    // Length of a dump file name without the terminating NUL.
    static constexpr int kNameLength = 23;

    // Writes "yyyy_MM_dd_hh_mm_ss.dmp" for `when` shifted by `utcOffsetSeconds`
    // into `name` (NUL-terminated). Async-signal-safe. Years 0 to 9999.
    static void FormatDumpName(time_t when, long utcOffsetSeconds, char (&name)[kNameLength + 1]);
};
