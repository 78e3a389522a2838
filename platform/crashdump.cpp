#include "crashdump.h"

#include "paths.h"

#include <QByteArray>
#include <QFile>

#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <execinfo.h>
#include <fcntl.h>
#include <link.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>

namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr size_t kAltStackSize = 64 * 1024;
constexpr int kMaxFrames = 64;
constexpr long long kSecondsPerDay = 86400;
constexpr const char kDumpSuffix[] = ".dmp";

// Prepared by Install(), only read by the handlers (except MakeFolder, which
// runs on the one reporting thread).
char g_dumpFolder[PATH_MAX];  // "<base>/Exception"; empty when the path does not fit
std::atomic<long> g_utcOffset{0};
// The program file and its GNU build id in hexadecimal (empty when it has
// none), so a dump can be matched with the build that wrote it.
char g_programPath[PATH_MAX];
char g_buildId[2 * 64 + 1];

// The thread that is writing the dump (0: none). The first crashing thread
// wins; the others wait for it to end the process.
std::atomic<pid_t> g_reportingThread{0};

pid_t CurrentThreadId()
{
    return static_cast<pid_t>(::syscall(SYS_gettid));
}

// Buffered output through write(2) only.
class DumpWriter
{
public:
    explicit DumpWriter(int fd) : fd_(fd) {}
    ~DumpWriter() { Flush(); }
    DumpWriter(const DumpWriter &) = delete;
    DumpWriter &operator=(const DumpWriter &) = delete;

    DumpWriter &Text(const char *text)
    {
        while (*text)
            Put(*text++);
        return *this;
    }

    DumpWriter &Chars(const char *text, size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            Put(text[i]);
        return *this;
    }

    DumpWriter &Decimal(long long value)
    {
        unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                 : static_cast<unsigned long long>(value);
        if (value < 0)
            Put('-');
        char digits[24];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        while (count > 0)
            Put(digits[--count]);
        return *this;
    }

    DumpWriter &Hex(unsigned long long value)
    {
        Text("0x");
        for (int shift = 60; shift >= 0; shift -= 4)
            Put("0123456789abcdef"[(value >> shift) & 0xF]);
        return *this;
    }

    void Flush()
    {
        size_t done = 0;
        while (done < used_) {
            const ssize_t n = ::write(fd_, buffer_ + done, used_ - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        used_ = 0;
    }

private:
    void Put(char c)
    {
        if (used_ == sizeof buffer_)
            Flush();
        buffer_[used_++] = c;
    }

    int fd_;
    char buffer_[512];
    size_t used_ = 0;
};

const char *SignalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    case SIGABRT: return "SIGABRT";
    default: return "signal";
    }
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian calendar).
void CivilFromDays(long long days, long long &year, unsigned &month, unsigned &day)
{
    days += 719468;  // shift the epoch to 0000-03-01
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

char *PutDigits(char *out, long long value, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    return out + width;
}

// Creates every missing folder of `path` (which this function edits in place
// and restores).
void MakeFolder(char *path)
{
    for (char *p = path + 1; *p; ++p) {
        if (*p != '/')
            continue;
        *p = '\0';
        ::mkdir(path, 0755);
        *p = '/';
    }
    ::mkdir(path, 0755);
}

// Opens (creating or truncating) the dump file for the current moment.
// `name` receives the file name. Returns -1 when no file can be written.
int OpenDumpFile(char (&name)[CrashDumpHandler::kNameLength + 1])
{
    CrashDumpHandler::FormatDumpName(::time(nullptr), g_utcOffset.load(), name);
    const size_t folderLength = ::strlen(g_dumpFolder);
    if (folderLength == 0)
        return -1;
    MakeFolder(g_dumpFolder);

    char path[PATH_MAX];
    ::memcpy(path, g_dumpFolder, folderLength);
    path[folderLength] = '/';
    ::memcpy(path + folderLength + 1, name, sizeof name);
    return ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

void WriteHeader(DumpWriter &out, const char (&name)[CrashDumpHandler::kNameLength + 1])
{
    const long offsetMinutes = g_utcOffset.load() / 60;
    char threadName[17] = {};
    ::prctl(PR_GET_NAME, threadName, 0, 0, 0);
    const pid_t thread = CurrentThreadId();

    out.Text(Paths::kProductTitle).Text(" crash dump\n");
    out.Text("time: ").Chars(name, CrashDumpHandler::kNameLength - (sizeof kDumpSuffix - 1));
    out.Text(" (local, UTC offset ").Decimal(offsetMinutes).Text(" min)\n");
    out.Text("process: ").Decimal(::getpid()).Text("\n");
    out.Text("thread: ").Decimal(thread).Text(" \"").Text(threadName).Text("\"");
    out.Text(thread == ::getpid() ? " (main thread)\n" : "\n");
    out.Text("program: ").Text(g_programPath).Text("\n");
    out.Text("build-id: ").Text(g_buildId[0] ? g_buildId : "none").Text("\n");
}

// Where `address` lies: "<module>+0x<offset> <symbol>+0x<distance>". The
// offset is the address as the module's file has it, so
// `addr2line -f -i -e <module> <offset>` resolves it; the symbol is named when
// the module's dynamic symbol table has it. dladdr is what glibc's own
// backtrace_symbols_fd uses in this place.
void WriteLocation(DumpWriter &out, const void *address)
{
    Dl_info info {};
    link_map *module = nullptr;
    if (!::dladdr1(address, &info, reinterpret_cast<void **>(&module), RTLD_DL_LINKMAP) || !info.dli_fname) {
        out.Text("?");
        return;
    }
    const uintptr_t bias = module ? module->l_addr : reinterpret_cast<uintptr_t>(info.dli_fbase);
    out.Text(info.dli_fname[0] ? info.dli_fname : g_programPath).Text("+");
    out.Hex(reinterpret_cast<uintptr_t>(address) - bias);
    if (info.dli_sname && info.dli_saddr) {
        out.Text(" ").Text(info.dli_sname).Text("+");
        out.Hex(reinterpret_cast<uintptr_t>(address) - reinterpret_cast<uintptr_t>(info.dli_saddr));
    }
}

// One line per frame: "#<n> 0x<address> <location>" (WriteLocation). A frame's
// address is where its call returns to; the location is that of the call
// itself (one byte back), so that a call that ends a function is not taken
// for the next function. The faulting frame (`faultingPc`) is located as it is.
void WriteBacktrace(DumpWriter &out, uintptr_t faultingPc = 0)
{
    out.Text("backtrace:\n");
    void *frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    for (int i = 0; i < count; ++i) {
        const auto address = reinterpret_cast<uintptr_t>(frames[i]);
        out.Text("#").Decimal(i).Text(" ").Hex(address).Text(" ");
        WriteLocation(out, reinterpret_cast<const void *>(address == faultingPc ? address : address - 1));
        out.Text("\n");
    }
}

unsigned long long InstructionAddress(const void *context)
{
#if defined(__x86_64__)
    return static_cast<unsigned long long>(static_cast<const ucontext_t *>(context)->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<const ucontext_t *>(context)->uc_mcontext.pc;
#else
    (void)context;
    return 0;
#endif
}

// True when this thread is the first to report. A thread crashing while
// another writes waits for that one to end the process; a fault on the
// reporting thread itself (inside the writer) just ends it.
bool ClaimReport()
{
    const pid_t self = CurrentThreadId();
    pid_t reporting = 0;
    if (g_reportingThread.compare_exchange_strong(reporting, self))
        return true;
    if (reporting == self)
        return false;
    for (;;)
        ::pause();
}

void RestoreDefaultAction(int sig)
{
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(sig, &action, nullptr);
}

void WriteSignalDump(int sig, const siginfo_t *info, const void *context)
{
    char name[CrashDumpHandler::kNameLength + 1];
    const int fd = OpenDumpFile(name);
    if (fd < 0)
        return;
    {
        DumpWriter out(fd);
        WriteHeader(out, name);
        out.Text("reason: signal ").Decimal(sig).Text(" (").Text(SignalName(sig)).Text("), code ")
            .Decimal(info->si_code).Text("\n");
        if (info->si_code > 0)
            out.Text("address: ").Hex(reinterpret_cast<uintptr_t>(info->si_addr)).Text("\n");
        else
            out.Text("sent by process: ").Decimal(info->si_pid).Text("\n");
        const unsigned long long pc = InstructionAddress(context);
        if (pc) {
            out.Text("instruction: ").Hex(pc).Text(" ");
            WriteLocation(out, reinterpret_cast<const void *>(pc));
            out.Text("\n");
        }
        WriteBacktrace(out, static_cast<uintptr_t>(pc));
    }
    ::close(fd);
}

void OnFatalSignal(int sig, siginfo_t *info, void *context)
{
    if (ClaimReport())
        WriteSignalDump(sig, info, context);
    // The signal stays blocked until this handler returns; it is then delivered
    // with its default action, so the process ends exactly as it would have.
    RestoreDefaultAction(sig);
    ::raise(sig);
}

// Not a signal path: the exception may be rethrown and names demangled.
void WriteCurrentException(DumpWriter &out)
{
    const std::exception_ptr current = std::current_exception();
    if (!current) {
        out.Text("exception: none (std::terminate called directly)\n");
        return;
    }
    const auto demangled = [](const char *mangled) {
        int status = 0;
        char *readable = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
        return status == 0 && readable ? readable : mangled;  // freed with the process
    };
    try {
        std::rethrow_exception(current);
    } catch (const std::exception &error) {
        out.Text("exception: ").Text(demangled(typeid(error).name())).Text(": ").Text(error.what()).Text("\n");
    } catch (...) {
        const std::type_info *type = abi::__cxa_current_exception_type();
        out.Text("exception: ").Text(type ? demangled(type->name()) : "of unknown type").Text("\n");
    }
}

void WriteTerminateDump()
{
    char name[CrashDumpHandler::kNameLength + 1];
    const int fd = OpenDumpFile(name);
    if (fd < 0)
        return;
    {
        DumpWriter out(fd);
        WriteHeader(out, name);
        out.Text("reason: std::terminate\n");
        WriteCurrentException(out);
        WriteBacktrace(out);
    }
    ::close(fd);
}

[[noreturn]] void OnTerminate()
{
    if (ClaimReport())
        WriteTerminateDump();
    // abort() must not come back into our SIGABRT handler for a second dump.
    RestoreDefaultAction(SIGABRT);
    std::abort();
}

void PrepareDumpFolder()
{
    const QByteArray folder = QFile::encodeName(Paths::BaseFolder() + "/Exception");
    const bool fits = static_cast<size_t>(folder.size()) + 1 + CrashDumpHandler::kNameLength < sizeof g_dumpFolder;
    if (!fits) {
        g_dumpFolder[0] = '\0';
        return;
    }
    ::memcpy(g_dumpFolder, folder.constData(), static_cast<size_t>(folder.size()) + 1);
}

void CaptureUtcOffset()
{
    const time_t now = ::time(nullptr);
    struct tm local {};
    if (::localtime_r(&now, &local))
        g_utcOffset.store(local.tm_gmtoff);
}

// The GNU build id of the program, from its note segment as mapped.
int ReadProgramBuildId(dl_phdr_info *info, size_t, void *)
{
    // The first object reported is the program itself.
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr) &segment = info->dlpi_phdr[i];
        if (segment.p_type != PT_NOTE)
            continue;
        const char *note = reinterpret_cast<const char *>(info->dlpi_addr + segment.p_vaddr);
        const char *end = note + segment.p_memsz;
        while (note + sizeof(ElfW(Nhdr)) <= end) {
            const auto *header = reinterpret_cast<const ElfW(Nhdr) *>(note);
            const char *name = note + sizeof(ElfW(Nhdr));
            const char *desc = name + ((header->n_namesz + 3) & ~3u);
            const char *next = desc + ((header->n_descsz + 3) & ~3u);
            if (next > end)
                break;
            if (header->n_type == NT_GNU_BUILD_ID && header->n_namesz == 4 && !::memcmp(name, "GNU", 4)
                && header->n_descsz * 2 < sizeof g_buildId) {
                for (unsigned j = 0; j < header->n_descsz; ++j) {
                    const auto byte = static_cast<unsigned char>(desc[j]);
                    g_buildId[2 * j] = "0123456789abcdef"[byte >> 4];
                    g_buildId[2 * j + 1] = "0123456789abcdef"[byte & 0xF];
                }
                g_buildId[2 * header->n_descsz] = '\0';
                return 1;
            }
            note = next;
        }
    }
    return 1;  // only the program
}

void IdentifyProgram()
{
    const ssize_t length = ::readlink("/proc/self/exe", g_programPath, sizeof g_programPath - 1);
    g_programPath[length > 0 ? length : 0] = '\0';
    g_buildId[0] = '\0';
    ::dl_iterate_phdr(ReadProgramBuildId, nullptr);
}

// The first backtrace() loads the unwinder library (which allocates); do it
// now rather than inside a signal handler.
void PreloadUnwinder()
{
    void *frames[2];
    ::backtrace(frames, 2);
}

// Keeps an alternate stack that someone already set up (a sanitizer runtime
// does, and frees it later as its own); otherwise gives this thread one.
void EnsureAlternateStack()
{
    stack_t current {};
    if (::sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE))
        return;
    stack_t ours {};
    ours.ss_sp = std::malloc(kAltStackSize);  // lives as long as the thread
    ours.ss_size = kAltStackSize;
    if (ours.ss_sp)
        ::sigaltstack(&ours, nullptr);
}

}  // namespace

void CrashDumpHandler::Install()
{
    PrepareDumpFolder();
    CaptureUtcOffset();
    IdentifyProgram();
    PreloadUnwinder();
    EnsureAlternateStack();

    struct sigaction action {};
    action.sa_sigaction = OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : kFatalSignals)
        sigaddset(&action.sa_mask, sig);
    for (int sig : kFatalSignals)
        ::sigaction(sig, &action, nullptr);
    std::set_terminate(OnTerminate);
}

void CrashDumpHandler::FormatDumpName(time_t when, long utcOffsetSeconds, char (&name)[kNameLength + 1])
{
    const long long local = static_cast<long long>(when) + utcOffsetSeconds;
    long long days = local / kSecondsPerDay;
    long long secondOfDay = local % kSecondsPerDay;
    if (secondOfDay < 0) {
        secondOfDay += kSecondsPerDay;
        --days;
    }
    long long year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, year, month, day);

    char *out = name;
    out = PutDigits(out, year, 4);
    *out++ = '_';
    out = PutDigits(out, month, 2);
    *out++ = '_';
    out = PutDigits(out, day, 2);
    *out++ = '_';
    out = PutDigits(out, secondOfDay / 3600, 2);
    *out++ = '_';
    out = PutDigits(out, secondOfDay / 60 % 60, 2);
    *out++ = '_';
    out = PutDigits(out, secondOfDay % 60, 2);
    ::memcpy(out, kDumpSuffix, sizeof kDumpSuffix);
}
