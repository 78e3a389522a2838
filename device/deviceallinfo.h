#pragma once
#include <QList>
#include <QString>
#include <cstdint>

// One found mouse or receiver.
struct DeviceAllInfo {
    QString Path;             // HID path as the library's finder returned it
    QString Vid = "0";        // Option/VID text under which it was found
    QString Pid = "0";        // product-id list entry under which it was found
    uint8_t Cid = 0;          // customer id
    uint8_t Mid = 0;          // model id
    uint8_t LinkType = 0;     // 0 1 kHz receiver, 1 4 kHz, 4 2 kHz, 5 8 kHz, other cable
    int DriveIndex = 0;       // N - 1 of the Config.ini group "DriveN"; DeviceTotal when none matched
    bool Online = false;
    bool Wired = false;       // (LinkType & 0xFA) != 0
    QString UsbVersion;       // version text of the USB device itself
    QString FirmwareVersion;  // mouse firmware version text (current device only)
    QList<char> Address;      // the three pairing-address bytes

    static bool IsWiredLink(uint8_t linkType) { return (linkType & 0xFA) != 0; }
};
