// Starts the device library in a process of its own and runs until it is
// ended: the program as far as the world-command folder is concerned.
#include "hidusb.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The first call that reaches the devices starts the library and its watching.
    int count = 5;
    UsbFinderC_FindHidDevicesByDefaultDeviceId("0xFF5C", "0xFF14", &count);
    return app.exec();
}
