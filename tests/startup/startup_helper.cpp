// A stand-in for the program, for the start-up and crash-dump tests.
//
//   startup_helper start              runs the real start-up sequence with a
//                                     plain window; prints "STARTED" once the
//                                     event loop runs, or "ALREADY_RUNNING" and
//                                     exits 0 when another instance holds the lock
//   startup_helper <crash> [--no-handler]
//                                     installs the crash-dump handler (unless
//                                     --no-handler) and dies: segv, bus, ill,
//                                     fpe, abort, thread-exception

#include "crashdump.h"
#include "startup.h"

#include <QApplication>
#include <QTemporaryFile>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

void Say(const char *marker)
{
    std::printf("%s\n", marker);
    std::fflush(stdout);
}

int RunStart(int &argc, char **argv)
{
    return Startup::Run<QApplication>(
        argc, argv,
        [] {
            auto *window = new QWidget;
            window->setWindowTitle(QString::fromLatin1(Paths::kProductTitle));
            QTimer::singleShot(0, [] { Say("STARTED"); });
            return window;
        },
        [] { Say("ALREADY_RUNNING"); });
}

class ThrowingThread : public QThread
{
protected:
    void run() override { throw std::runtime_error("worker thread failed"); }
};

}  // namespace

// Not static, so the symbols show up in the dump's backtrace (the helper is
// linked with exported symbols).
__attribute__((noinline, no_sanitize("undefined"))) void CrashOnNullPointer()
{
    volatile int *nothing = nullptr;
    *nothing = 1;
}

__attribute__((noinline)) void CrashOnTruncatedMapping()
{
    QTemporaryFile file;
    if (!file.open() || !file.resize(4096))
        std::exit(3);
    void *mapped = mmap(nullptr, 4096, PROT_READ, MAP_SHARED, file.handle(), 0);
    if (mapped == MAP_FAILED || !file.resize(0))
        std::exit(3);
    std::printf("%d\n", *static_cast<volatile char *>(mapped));  // the page no longer exists
}

__attribute__((noinline)) void CrashOnTrap()
{
    __builtin_trap();
}

__attribute__((noinline)) void CrashByRaisingSigfpe()
{
    std::raise(SIGFPE);
    asm volatile("" ::: "memory");  // not a tail call: the frame stays on the stack
}

__attribute__((noinline)) void CrashByAbort()
{
    std::abort();
}

int RunCrash(const char *kind, bool installHandler, int &argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);  // no core files from the tests
    CrashDumpHandler *handler = nullptr;
    if (installHandler) {
        handler = new CrashDumpHandler;  // kept for the whole run, as the program does
        handler->Install();
    }
    if (!std::strcmp(kind, "segv"))
        CrashOnNullPointer();
    else if (!std::strcmp(kind, "bus"))
        CrashOnTruncatedMapping();
    else if (!std::strcmp(kind, "ill"))
        CrashOnTrap();
    else if (!std::strcmp(kind, "fpe"))
        CrashByRaisingSigfpe();
    else if (!std::strcmp(kind, "abort"))
        CrashByAbort();
    else if (!std::strcmp(kind, "thread-exception")) {
        ThrowingThread thread;
        thread.start();
        thread.wait();
    } else {
        return 2;
    }
    return 1;  // still alive: the crash did not happen
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    if (!std::strcmp(argv[1], "start")) {
        Q_INIT_RESOURCE(qtconf);  // as main() does: the resource sits in a static library
        return RunStart(argc, argv);
    }
    const bool installHandler = !(argc > 2 && !std::strcmp(argv[2], "--no-handler"));
    return RunCrash(argv[1], installHandler, argc, argv);
}
