#include "connection.h"

#include "globals.h"
#include "hidcallback.h"
#include "hidusb.h"
#include "waits.h"

#include <QElapsedTimer>
#include <atomic>

namespace {

Guarded<ConnectionSnapshot> s_opened;
std::atomic<uint64_t> s_serial{0};
std::atomic<uint64_t> s_dumpSerial{0};  // 0: no dump taken
std::atomic<int> s_rejectedDumps{0};
std::atomic<qint64> s_wholeReadAskedAt{-1};  // ms on s_clock; -1: none awaited

qint64 Now()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

uint64_t NewSerial()
{
    s_rejectedDumps = 0;
    s_wholeReadAskedAt = -1;
    return ++s_serial;
}

}  // namespace

void BeginConnection(const DeviceAllInfo &device, const QByteArray &path)
{
    ConnectionSnapshot snapshot;
    snapshot.device = device;
    snapshot.path = path;
    snapshot.serial = NewSerial();
    s_opened.Set(snapshot);
}

ConnectionSnapshot OpenedConnection()
{
    return s_opened.Get();
}

bool OpenCurrentDevice()
{
    const char *path = g_CurrentPath;
    BeginConnection(g_CurrentDevice.Get(), QByteArray(path));
    return UsbServerC_Start(path, path, HidInputCallback);
}

void CloseConnection()
{
    NewSerial();
    UsbServer_Exit();
}

void ForgetDeviceImage()
{
    NewSerial();
}

void ForgetProfileImage()
{
    s_opened.Update([](ConnectionSnapshot &opened) { opened.serial = NewSerial(); });
}

bool IsCurrentConnection(uint64_t serial)
{
    return serial != 0 && serial == s_serial;
}

void NoteDumpTaken(uint64_t serial)
{
    s_rejectedDumps = 0;
    s_dumpSerial = serial;
}

bool ImageIsDevicesOwn()
{
    const uint64_t serial = s_dumpSerial;
    return serial != 0 && serial == s_serial;
}

int NoteDumpRejected()
{
    return ++s_rejectedDumps;
}

bool ReadWholeImage()
{
    // Noted first: the answer may come before the call returns.
    NoteWholeReadAsked();
    if (UsbServer_ReadAllFlashData())
        return true;
    NoteWholeReadAnswered();
    return false;
}

void NoteWholeReadAsked()
{
    s_wholeReadAskedAt = Now();
}

void NoteWholeReadAnswered()
{
    s_wholeReadAskedAt = -1;
}

bool WholeReadInFlight()
{
    const qint64 askedAt = s_wholeReadAskedAt;
    return askedAt >= 0 && Now() - askedAt < Waits::Scaled(kWholeReadPatienceMs);
}
