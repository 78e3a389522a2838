// vogm-world: changes the simulated devices of a running program.
//
//   vogm-world unplug r4k
//   vogm-world power m3 on
//   vogm-world battery m2 12
//   vogm-world show m2
//   vogm-world show
//   vogm-world help
//
// Each command writes one command file into the folder the device library
// watches; the program applies it and writes the outcome to last-result.txt.
// "show" reads what the devices keep from the state file the library writes
// into the same folder, so it works whether the program runs or not.

#include "hidusb_control.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace {

int Usage(QTextStream &out)
{
    out << "usage: vogm-world COMMAND [ARGS...]    (folder: " << HidSim::ControlFolder() << ")\n"
        << "       vogm-world result               show the outcome of the last commands\n"
        << "       vogm-world devices              the default world's device names\n"
        << "       vogm-world show                 every device's firmware version and boot mode\n"
        << "       vogm-world show MOUSE           what the mouse has stored (version, boot mode, profile, settings, keys, macros)\n"
        << "       vogm-world show RECEIVER        the receiver's firmware version, boot mode and pairing\n"
        << "       vogm-world reset                every device back to its factory state, now and at the next start\n"
        << "\nThe devices keep what they store across runs, in " << HidSim::WorldStateFile() << ".\n"
        << "\ncommands for the running program:\n";
    for (const QString &line : HidSim::CommandHelp())
        out << "  " << line << "\n";
    return 2;
}

int ShowResult(QTextStream &out)
{
    QFile f(HidSim::ControlFolder() + "/last-result.txt");
    if (!f.open(QIODevice::ReadOnly)) {
        out << "no result yet\n";
        return 1;
    }
    out << f.readAll();
    return 0;
}

int ShowDevices(QTextStream &out)
{
    const HidSim::World w = HidSim::DefaultWorld();
    for (const HidSim::Receiver &r : w.receivers)
        out << "receiver " << r.name << "  pid 0x" << QString::number(r.pid, 16) << "  mouse " << r.mouse << "\n";
    for (const HidSim::Mouse &m : w.mice)
        out << "mouse    " << m.name << "  model " << m.mid << (m.cable ? "  on cable" : "") << "\n";
    return 0;
}

// What the devices keep, read from the state file over the world the program
// would start with: every device, or the one named.
int Show(QTextStream &out, const QString &device)
{
    QString problem;
    const HidSim::World world = HidSim::StartingWorld(&problem);
    if (!problem.isEmpty())
        out << "note: " << problem << "\n";
    const QString text = device.isEmpty() ? HidSim::DescribeDevices(world) : HidSim::DescribeDevice(world, device);
    if (text.isEmpty()) {
        out << "no device is named \"" << device << "\"\n";
        return 1;
    }
    out << text;
    return 0;
}

int SendCommand(QTextStream &out, const QString &command)
{
    const QString inbox = HidSim::ControlFolder() + "/inbox";
    if (!QDir().mkpath(inbox)) {
        out << "cannot create " << inbox << "\n";
        return 1;
    }
    const QString name = QStringLiteral("%1/%2-%3.cmd")
                             .arg(inbox)
                             .arg(QDateTime::currentMSecsSinceEpoch())
                             .arg(QCoreApplication::applicationPid());
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write((command + "\n").toUtf8()) < 0 || !file.commit()) {
        out << "cannot write " << name << "\n";
        return 1;
    }
    out << "sent: " << command << "\n";
    return 0;
}

// Without a running program the next start finds no saved state; a running
// program resets its devices and saves that.
int Reset(QTextStream &out)
{
    const QString state = HidSim::WorldStateFile();
    if (QFile::exists(state) && !QFile::remove(state)) {
        out << "cannot remove " << state << "\n";
        return 1;
    }
    return SendCommand(out, QStringLiteral("reset"));
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == "help" || args[0] == "--help")
        return Usage(out);
    if (args[0] == "result")
        return ShowResult(out);
    if (args[0] == "devices")
        return ShowDevices(out);
    if (args[0] == "show" && args.size() <= 2)
        return Show(out, args.value(1));
    if (args[0] == "reset" && args.size() == 1)
        return Reset(out);
    return SendCommand(out, args.join(' '));
}
