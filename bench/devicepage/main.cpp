// The program on a filled device page, for the memory and idle-CPU figures.
//
// It starts the way the program does (the same start-up steps, the same main
// window, the same end on SIGTERM) and then does what a user does: once the
// device-selection page shows the tile of the default world's 4 kHz receiver
// mouse, it clicks it; the device page opens, the wait popup comes up while
// the whole settings image is read, and closes once the pages are filled.
// It prints "clicked: <ms since start>" when it clicks, and "drawn: <ms since
// start>" once the device page has been painted after the click. When the popup has
// closed without a notice and the device thread's pass has ended, it prints
// "filled: <ms since start>" on stdout (after switching to the page whose
// button VOGM_BENCH_PAGE names, when set: ButtonMain, SensorButton,
// MacroButton or FormSetting) and from then on only
// runs the program's event loop, so whoever started it can measure it from
// outside. A failure prints "failed: <reason>" and ends with exit code 1.
//
// VOGM_BENCH_MACRO_FILES=N first puts N small macro files into the per-user
// macro folder (each run starts from fresh per-user folders).
//
// Everything is driven by events (the shows and hides of the widgets
// involved), so the driver adds no timers of its own once the page is filled.
//
// With VOGM_BENCH_RESETS=N it then resets the mouse N times through the button
// page's Reset (answering the question with OK) and prints
// "reset: <n> <VmRSS> KiB" once each reset's wait popup has closed and the
// device thread's pass has ended.
//
// With VOGM_BENCH_TOUR=1 it also holds the GUI thread to account (heartbeat.h):
// from the end of the first paint until the GUI thread is idle, then through
// the tile click (until the page is filled and idle), a switch to each page,
// and the back arrow to the device list. It prints one "phase:" line each,
// then "toured: <VmRSS> KiB <VmHWM> KiB" once back on the list and idle, and
// from then on only runs the event loop (the probe stopped).
#include "compiledresources.h"
#include "dialogchange.h"
#include "dialog.h"
#include "dialogmain.h"
#include "globals.h"
#include "macrofile.h"
#include "heartbeat.h"
#include "mytoolbuttonenter.h"
#include "notices.h"
#include "startup.h"
#include "terminationsignal.h"
#include "updataparam.h"
#include "worker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <iterator>

namespace {

const QString kReceiverPid = QStringLiteral("0xFF14");
constexpr int kMainDevicePage = 1;
// From start to filled page; the popup alone waits 4.5 s.
constexpr int kDeadlineMs = 60000;

int PageIndexOfPid(const QString &pid)
{
    for (int i = 0; i < g_PageDevices.size(); ++i) {
        if (g_PageDevices[i].Pid == pid)
            return i;
    }
    return -1;
}

// The press and release a left click makes in the middle of `widget`.
void Click(QWidget *widget)
{
    const QPoint at = widget->rect().center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

void PrintClicked(qint64 milliseconds)
{
    std::printf("clicked: %lld ms\n", milliseconds);
    std::fflush(stdout);
}

void PrintDrawn(qint64 milliseconds)
{
    std::printf("drawn: %lld ms\n", milliseconds);
    std::fflush(stdout);
}

void PrintFilled(qint64 milliseconds)
{
    std::printf("filled: %lld ms\n", milliseconds);
    std::fflush(stdout);
}

// The phase's line: its longest gap (own CPU plus blocked, its CPU share),
// its gaps over 50 ms and its whole own CPU time.
void PrintPhase(const Heartbeat::Figures &figures)
{
    std::printf("phase: %s: longest gap %.1f ms (%.1f ms CPU), %d gaps over 50 ms, %.1f ms CPU in %d beats\n",
                qPrintable(figures.phase), figures.longestGapMs, figures.longestGapCpuMs, figures.gapsOver50Ms,
                figures.cpuMs, figures.beats);
    std::fflush(stdout);
}

// A field of /proc/self/status in KiB.
qint64 StatusKiB(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

void PrintFailed(const char *reason)
{
    std::printf("failed: %s\n", reason);
    std::fflush(stdout);
}

class DevicePageDriver : public QObject
{
public:
    explicit DevicePageDriver(DialogMain *window) : QObject(window), m_window(window)
    {
        m_clock.start();
        qApp->installEventFilter(this);
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] { Fail("the device page was not filled in time"); });
        m_deadline.start(kDeadlineMs);
        m_tour = qEnvironmentVariableIntValue("VOGM_BENCH_TOUR") == 1;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_tour && !m_firstPaintSeen && watched == m_window) {
            m_firstPaintSeen = true;
            Later(&DevicePageDriver::BeginStartUpPhase);
        }
        if (event->type() == QEvent::Show)
            OnShown(watched);
        else if (event->type() == QEvent::Paint && m_devicePage && watched == m_devicePage && !m_drawn)
            OnDrawn();
        else if (event->type() == QEvent::Hide && m_state == State::PopupShown && qobject_cast<UpDataParam *>(watched))
            Later(&DevicePageDriver::CheckSettled);
        else if (event->type() == QEvent::Hide && m_state == State::Resetting && qobject_cast<UpDataParam *>(watched))
            Later(&DevicePageDriver::CheckResetSettled);
        return false;
    }

private:
    enum class State { WaitingForTile, WaitingForPopup, PopupShown, Resetting, Done };

    void OnShown(QObject *watched)
    {
        if (m_state == State::WaitingForTile && qobject_cast<mytoolButtonEnter *>(watched))
            Later(&DevicePageDriver::ClickTileIfShown);
        else if (m_state == State::WaitingForPopup && qobject_cast<UpDataParam *>(watched))
            m_state = State::PopupShown;
        else if (m_state == State::Resetting && qobject_cast<ContainReset *>(watched))
            QTimer::singleShot(0, watched, [watched] { AnswerOk(watched); });
    }

    static void AnswerOk(QObject *question)
    {
        if (auto *ok = question->findChild<QAbstractButton *>(QStringLiteral("OK")))
            ok->click();
    }

    // After the event in hand: the tiles are connected once the page is built.
    void Later(void (DevicePageDriver::*step)())
    {
        QTimer::singleShot(0, this, step);
    }

    mytoolButtonEnter *ReceiverTile() const
    {
        const int index = PageIndexOfPid(kReceiverPid);
        if (index < 0 || !g_PageDevices[index].Online)
            return nullptr;
        QWidget *page = m_window->SelectionPage();
        auto *tile = page->findChild<mytoolButtonEnter *>(QStringLiteral("btn%1").arg(index));
        return tile && tile->isVisibleTo(page) ? tile : nullptr;
    }

    // After the first paint has been handled: until the GUI thread is idle.
    void BeginStartUpPhase()
    {
        m_heartbeat.BeginPhase(QStringLiteral("first paint until idle"));
        m_heartbeat.WhenIdle(kQuietMs, [this] {
            PrintPhase(m_heartbeat.EndPhase());
            m_startUpSettled = true;
            ClickTileIfShown();
        });
    }

    void ClickTileIfShown()
    {
        mytoolButtonEnter *tile = ReceiverTile();
        if (m_state != State::WaitingForTile || !tile || (m_tour && !m_startUpSettled))
            return;
        m_state = State::WaitingForPopup;
        PrintClicked(m_clock.elapsed());
        m_devicePage = m_window->DevicePage();
        if (m_tour)
            m_heartbeat.BeginPhase(QStringLiteral("tile click until filled and idle"));
        Click(tile);
        if (m_window->CurrentPage() != kMainDevicePage)
            Fail("the tile did not open the device page");
    }

    // True while the device thread's pass runs; `again` is then called once
    // it has ended.
    bool PassStillRunning(void (DevicePageDriver::*again)())
    {
        if (!g_Worker || !g_Worker->isRunning())
            return false;
        connect(g_Worker, &QThread::finished, this, again,
                Qt::ConnectionType(Qt::QueuedConnection | Qt::UniqueConnection));
        return g_Worker->isRunning();
    }

    // The popup has closed: a notice now means the read failed; otherwise the
    // page is filled once the device thread's pass has ended.
    void CheckSettled()
    {
        if (m_state != State::PopupShown)
            return;
        if (QWidget *modal = QApplication::activeModalWidget()) {
            Fail(QByteArray("a dialog came up after the wait popup: ") + modal->metaObject()->className());
            return;
        }
        if (PassStillRunning(&DevicePageDriver::CheckSettled))
            return;
        Finish();
    }

    void Finish()
    {
        const QString pageButton = qEnvironmentVariable("VOGM_BENCH_PAGE");
        if (!pageButton.isEmpty()) {
            auto *button = m_window->DevicePage()->findChild<QAbstractButton *>(pageButton);
            if (!button) {
                Fail("VOGM_BENCH_PAGE names no page button");
                return;
            }
            button->click();
        }
        m_state = State::Done;
        if (m_drawn)
            qApp->removeEventFilter(this);
        if (g_Worker)
            disconnect(g_Worker, nullptr, this, nullptr);
        PrintFilled(m_clock.elapsed());
        m_resetsLeft = qEnvironmentVariableIntValue("VOGM_BENCH_RESETS");
        if (m_resetsLeft > 0) {
            qApp->installEventFilter(this);
            ResetOnce();
            return;
        }
        if (!m_tour) {
            m_deadline.stop();
            return;
        }
        m_heartbeat.WhenIdle(kQuietMs, [this] {
            PrintPhase(m_heartbeat.EndPhase());
            VisitNextPage();
        });
    }

    // The button page's Reset, from the event loop as a user's click comes.
    void ResetOnce()
    {
        auto *reset = m_window->DevicePage()->findChild<QAbstractButton *>(QStringLiteral("Reset"));
        if (!reset) {
            Fail("the button page has no Reset");
            return;
        }
        m_state = State::Resetting;
        m_deadline.start(kDeadlineMs);
        QTimer::singleShot(0, reset, &QAbstractButton::click);
    }

    // A reset's popup has closed: once the device thread's pass has ended,
    // the memory is printed and the next reset starts.
    void CheckResetSettled()
    {
        if (m_state != State::Resetting)
            return;
        if (PassStillRunning(&DevicePageDriver::CheckResetSettled))
            return;
        if (g_Worker)
            disconnect(g_Worker, nullptr, this, nullptr);
        ++m_resetsDone;
        std::printf("reset: %d %lld KiB\n", m_resetsDone, StatusKiB("VmRSS"));
        std::fflush(stdout);
        if (--m_resetsLeft > 0) {
            ResetOnce();
            return;
        }
        m_state = State::Done;
        m_deadline.stop();
        qApp->removeEventFilter(this);
    }

    // Each page button of the device page in turn, each until idle, then the
    // back arrow.
    void VisitNextPage()
    {
        static const char *const kPageButtons[] = {"SensorButton", "MacroButton", "FormSetting", "ButtonMain"};
        const bool back = m_visited == int(std::size(kPageButtons));
        const QString name = back ? QStringLiteral("UpArrow") : QLatin1String(kPageButtons[m_visited]);
        auto *button = m_window->DevicePage()->findChild<QAbstractButton *>(name);
        if (!button) {
            Fail("a page button is missing");
            return;
        }
        ++m_visited;
        m_heartbeat.BeginPhase(back ? QStringLiteral("back arrow to the device list") : QStringLiteral("to ") + name);
        // From the event loop, as a user's click comes.
        QTimer::singleShot(0, button, &QAbstractButton::click);
        m_heartbeat.WhenIdle(kQuietMs, [this, back] {
            PrintPhase(m_heartbeat.EndPhase());
            if (back)
                FinishTour();
            else
                VisitNextPage();
        });
    }

    void FinishTour()
    {
        m_deadline.stop();
        if (m_window->CurrentPage() == kMainDevicePage) {
            Fail("the back arrow left the device page shown");
            return;
        }
        std::printf("toured: %lld KiB %lld KiB\n", StatusKiB("VmRSS"), StatusKiB("VmHWM"));
        std::fflush(stdout);
    }

    // The paint event is still being handled: the page counts as drawn once
    // the event loop is back.
    void OnDrawn()
    {
        m_drawn = true;
        QTimer::singleShot(0, this, [this] {
            PrintDrawn(m_clock.elapsed());
            if (m_state == State::Done)
                qApp->removeEventFilter(this);
        });
    }

    void Fail(const QByteArray &reason)
    {
        m_state = State::Done;
        PrintFailed(reason.constData());
        QCoreApplication::exit(1);
    }

    // Idle: this long without a gap over the probe's idle gap.
    static constexpr int kQuietMs = 500;

    QPointer<DialogMain> m_window;
    QPointer<QWidget> m_devicePage;
    bool m_drawn = false;
    State m_state = State::WaitingForTile;
    bool m_tour = false;
    bool m_firstPaintSeen = false;
    bool m_startUpSettled = false;
    int m_visited = 0;
    int m_resetsLeft = 0;
    int m_resetsDone = 0;
    Heartbeat m_heartbeat;
    QTimer m_deadline;
    QElapsedTimer m_clock;
};

void PutMacroFiles(int count)
{
    QDir().mkpath(MacroFile::Folder());
    for (int i = 0; i < count; ++i) {
        QFile file(MacroFile::PathOf(MacroFile::Folder(), QStringLiteral("macro %1").arg(i, 5, 10, QLatin1Char('0'))));
        if (file.open(QIODevice::WriteOnly))
            file.write("254\n0x04 1 0\n10ms\n0x04 1 1\n");
    }
}

}  // namespace

int main(int argc, char **argv)
{
    Q_INIT_RESOURCE(qtconf);
    LoadCompiledResources();
    bool alreadyRunning = false;
    const int code = Startup::Run<QApplication>(
        argc, argv,
        [] {
            PutMacroFiles(qEnvironmentVariableIntValue("VOGM_BENCH_MACRO_FILES"));
            auto *window = new DialogMain;
            TerminationSignal::CloseOnRequest(window);
            new DevicePageDriver(window);
            return window;
        },
        [&alreadyRunning] { alreadyRunning = true; });
    if (alreadyRunning) {
        PrintFailed("another instance holds the per-user lock");
        return 1;
    }
    return code;
}
