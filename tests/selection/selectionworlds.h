#pragma once
// Simulated worlds for the selection suites and a way to let the library
// deliver its USB-change calls.

#include "hidusb.h"
#include "hidusb_control.h"
#include "worldfixtures.h"

#include <QCoreApplication>
#include <QEvent>

namespace SelectionWorlds {

struct ReceiverKind {
    uint8_t linkType;
    uint16_t pid;
};
constexpr ReceiverKind k1k{0, 0xFF11};
constexpr ReceiverKind k2k{4, 0xFF12};
constexpr ReceiverKind k4k{1, 0xFF14};
constexpr ReceiverKind k8k{5, 0xFF18};

// A receiver paired with `mouse` ("" for none: it answers zero ids).
inline HidSim::Receiver ReceiverOf(const QString &name, ReceiverKind kind, const QString &mouse,
                                   HidSim::Address address)
{
    HidSim::Receiver r;
    r.name = name;
    r.linkType = kind.linkType;
    r.pid = kind.pid;
    r.mouse = mouse;
    r.address = address;
    r.hasLed = false;
    return r;
}

// A mouse off cable, switched on, with the pairing address of its receiver.
inline HidSim::Mouse WirelessMouse(const QString &name, uint8_t mid, HidSim::Address address)
{
    HidSim::Mouse m = Fixtures::CableMouse(name, mid);
    m.cable = false;
    m.address = address;
    return m;
}

inline HidSim::Address AddressOf(uint8_t n)
{
    return {0x10, 0x20, n};
}

// Lets posted world changes reach the library's notifier, then waits until the
// library has made every USB-change call it owes and the tiles it replaced are
// gone.
inline bool Settle()
{
    for (int round = 0; round < 2; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        if (!HidSim::WaitUntilIdle())
            return false;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

// Registers `callback` again: the library calls it once soon, as it does when
// a page registers it.
inline bool Register(UsbChangedCallback callback)
{
    StartUsbChanged(callback, 600);
    return Settle();
}

}  // namespace SelectionWorlds
