// CPU time of one whole fill of every page from a settings image: the device
// page frame with its four pages is built and shown, the current device is
// the default world's 4 kHz receiver with its mouse, and a thread of its own
// emits the image signals in the order the data callback does after a whole
// read (button page, lighting, sensor page, settings page). Those signals are
// blocking queued, so each fill runs on the GUI thread while the emitter
// waits; the GUI thread's own CPU clock is read around each fill.
//
// The process keeps to one CPU core: the hand-over between the two threads is
// then a plain context switch. Across cores the woken GUI thread is charged
// for the wake-up too, which on virtual machines adds tens of microseconds
// that change from run to run and would drown the fill itself.
//
// Prints one line: the median over the fills, in microseconds.
#include "dialog.h"
#include "discovery.h"
#include "globals.h"
#include "hidusb_control.h"
#include "postmsg.h"
#include "startup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <sched.h>
#include <time.h>
#include <vector>

namespace {

constexpr int kDefaultFills = 200;
constexpr int kWarmUpFills = 10;
const QString kReceiver = QStringLiteral("r4k");
const QString kMouse = QStringLiteral("m2");

qint64 CpuNanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

FlashDataMap ImageOf(const QByteArray &bytes)
{
    FlashDataMap image;
    std::memset(&image, 0, sizeof image);
    std::memcpy(&image, bytes.constData(), size_t(qMin(int(sizeof image), int(bytes.size()))));
    return image;
}

// A second image that differs in the fields the pages show, so consecutive
// fills really change the controls.
FlashDataMap ChangedImage(FlashDataMap image)
{
    image.ReportRate = image.ReportRate == 1 ? 2 : 1;
    image.DpiLevelCount = image.DpiLevelCount == 4 ? 6 : 4;
    image.DpiLevel = 0;
    image.Lod = image.Lod == 1 ? 2 : 1;
    image.DebounceTime = image.DebounceTime == 4 ? 8 : 4;
    image.StopCloseTime = image.StopCloseTime == 6 ? 12 : 6;
    image.MotionSync ^= 1;
    image.StraightLine ^= 1;
    image.RippeControl ^= 1;
    return image;
}

// Keeps this process (and the threads it starts later) on the core it runs on now.
void StayOnThisCore()
{
    const int core = sched_getcpu();
    if (core < 0)
        return;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(core, &one);
    sched_setaffinity(0, sizeof one, &one);
}

bool SelectDefaultWorldDevice()
{
    HidSim::SetWorld(HidSim::DefaultWorld());
    const QByteArray path = HidSim::PathOf(kReceiver);
    DeviceAllInfo info;
    if (path.isEmpty() || IdentifyMainDevice(info, path.constData()) != 1)
        return false;
    g_CurrentDevice.Set(info);
    SetCurrentPath(path);
    return true;
}

// Runs the fills on its own thread; the GUI thread's CPU clock is read
// around each one.
class Filler : public QThread
{
public:
    Filler(clockid_t guiClock, const FlashDataMap &a, const FlashDataMap &b, int fills)
        : m_guiClock(guiClock), m_images{a, b}, m_fills(fills)
    {
    }

    std::vector<qint64> Nanoseconds() const { return m_nanoseconds; }

protected:
    void run() override
    {
        PostMsg *hub = PostMsg::GetInstance();
        for (int i = 0; i < kWarmUpFills + m_fills; ++i) {
            const FlashDataMap &image = m_images[i % 2];
            // Let the GUI thread finish what the last fill queued (painting)
            // before the clock is read.
            QMetaObject::invokeMethod(qApp, [] { QCoreApplication::processEvents(); },
                                      Qt::BlockingQueuedConnection);
            StoreImage(image);
            const qint64 before = CpuNanoseconds(m_guiClock);
            hub->EmitUpDataLightUIButton(image);
            hub->EmitUpDataLightLight(image);
            hub->EmitUpDataLightSensor(image);
            hub->EmitForm();
            const qint64 after = CpuNanoseconds(m_guiClock);
            if (i >= kWarmUpFills)
                m_nanoseconds.push_back(after - before);
        }
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }

private:
    clockid_t m_guiClock;
    FlashDataMap m_images[2];
    int m_fills;
    std::vector<qint64> m_nanoseconds;
};

}  // namespace

int main(int argc, char **argv)
{
    StayOnThisCore();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The environment the program's start-up gives Qt.
    Startup::PrepareEnvironment();
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption fillsOption("fills", "Number of measured fills.", "n", QString::number(kDefaultFills));
    parser.addOption(fillsOption);
    parser.process(app);
    const int fills = qMax(1, parser.value(fillsOption).toInt());

    if (!SelectDefaultWorldDevice()) {
        std::fprintf(stderr, "fill bench: the default world's receiver was not identified\n");
        return 1;
    }
    const FlashDataMap stored = ImageOf(HidSim::StoredImage(kMouse));

    Dialog page;
    page.show();
    // Each page is built when first chosen: choose every one, as a user
    // who has visited them all, so that all four are filled.
    for (const char *navigation : {"SensorButton", "MacroButton", "FormSetting", "ButtonMain"})
        page.findChild<QAbstractButton *>(QLatin1String(navigation))->click();
    QCoreApplication::processEvents();

    clockid_t guiClock;
    if (pthread_getcpuclockid(pthread_self(), &guiClock) != 0) {
        std::fprintf(stderr, "fill bench: no CPU clock for the GUI thread\n");
        return 1;
    }
    Filler filler(guiClock, stored, ChangedImage(stored), fills);
    filler.start();
    app.exec();
    filler.wait();

    std::vector<qint64> times = filler.Nanoseconds();
    std::sort(times.begin(), times.end());
    const auto microseconds = [&](size_t numerator, size_t denominator) {
        return times[(times.size() - 1) * numerator / denominator] / 1000.0;
    };
    std::printf("CPU time of one fill of all pages from an image (GUI thread, one core): %.1f us median of %d fills "
                "(quartiles %.1f-%.1f us)\n",
                microseconds(1, 2), fills, microseconds(1, 4), microseconds(3, 4));
    return 0;
}
