// ovlix: the device's operations from a command line, over the core library
// that OvlixSetup's windows use (Qt Core and Network only, no windows).
//
// The command table below is all that main knows of the commands. A command
// is one file, src/cli/<Name>Command.cpp, holding `void run<Name>(Invocation&)`
// (declared in Commands.h). It adds its options and arguments to
// call.options(), calls call.parse(least, most) and returns when that is false,
// calls call.start() before it logs or reads the program's files, does its work
// through the core library, prints through call.print(), printJson() or
// printError(), and ends the run with call.finish(ExitCode), at once or from a
// callback. Adding a command is that file, one row below and one line in
// src/CMakeLists.txt. src/cli only parses and prints: what the windows could
// share belongs in the core library.

#include "CommandLine.h"
#include "Commands.h"
#include "core/StartUp.h"
#include "discovery/DeviceFinder.h"
#include "network/AddressSetup.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

using namespace ovlix;
using namespace ovlix::cli;

namespace {

const Command kCommands[] = {
    {QStringLiteral("verify"), QStringLiteral("[--json] [ADDRESS]"),
     QStringLiteral("Asks the device at ADDRESS for its firmware version and prints it."),
     &runVerify},
    {QStringLiteral("x10"),
     QStringLiteral("[--device ADDRESS] [--passcode-file FILE] [--json] UNIT COMMAND"),
     QStringLiteral("Sends an X10 command (on, off or query) to a unit through the device."),
     &runX10},
    {QStringLiteral("labels show"), QStringLiteral("[--json]"),
     QStringLiteral("Prints the eight slots of the labels file: slot, label, house, unit."),
     &runLabelsShow, 0, TimeoutUnit::NoDevice},
    {QStringLiteral("labels send"), QStringLiteral("[--device ADDRESS] [--json]"),
     QStringLiteral("Sends the labels file's eight labels to the device."), &runLabelsSend},
    {QStringLiteral("find"), QStringLiteral("[--network CIDR]... [--timeout MS] [--json]"),
     QStringLiteral("Lists the devices that answer on this PC's networks, or on those named."),
     &runFind, double(kSearchDeadline.count()), TimeoutUnit::Milliseconds},
    {QStringLiteral("setup"), QStringLiteral("--mac MAC [--wait SECONDS] [--json] IP"),
     QStringLiteral("Gives a device just reset the address IP and waits until it answers."),
     &runSetup, kSetupProbeDeadline.count() / 1000.0},
};

// The rows whose names begin with `words` ("labels "); all for none.
QList<const Command*> commandsNamed(const QString& words = {})
{
    QList<const Command*> rows;
    for (const Command& command : kCommands)
        if (command.name.startsWith(words))
            rows.append(&command);
    return rows;
}

QString commandNames(const QList<const Command*>& rows)
{
    QStringList names;
    for (const Command* command : rows)
        names.append(command->name);
    return names.join(QStringLiteral(", "));
}

// Each command's words and arguments, then its summary.
QString commandLines(const QList<const Command*>& rows)
{
    QString lines;
    for (const Command* command : rows)
        lines += QStringLiteral("  ovlix %1 %2\n      %3\n")
                     .arg(command->name, command->arguments, command->summary);
    return lines;
}

QString programHelp()
{
    QString help = QStringLiteral(
        "Usage: ovlix COMMAND [OPTIONS] [ARGUMENTS]\n"
        "Operates an Ovlix device from the command line, sharing the device address,\n"
        "labels file and log with OvlixSetup. Options come after the command word.\n"
        "\nCommands:\n");
    help += commandLines(commandsNamed());
    help += QStringLiteral(
        "\nOptions:\n"
        "  -h, --help         Shows this help, or after a command that command's help\n"
        "                     (after labels, the help of the labels commands).\n"
        "      --version      Shows the program's version.\n"
        "      --timeout SECONDS\n"
        "                     Gives up on the device after SECONDS (default 60; setup\n"
        "                     gives each probe 1; at most 86400). find takes MS, the\n"
        "                     whole milliseconds it gives each address, 10 or more\n"
        "                     (default 1500). labels show, which contacts no device,\n"
        "                     has none.\n"
        "      --json         Prints JSON instead of the text: one object, or for find\n"
        "                     an array of the devices found.\n"
        "\nAddresses:\n"
        "  ADDRESS is typed as in OvlixSetup's main window: 192.168.1.10, or\n"
        "  127.0.0.1:8080 with a port. Without one, the device address that the\n"
        "  network setup saved last is used, else 192.168.1.250.\n\n");
    help += exitCodeHelp();
    help += QStringLiteral(
        "\nEnvironment:\n"
        "  OVLIX_PASSCODE     The X10 passcode; else the first line of --passcode-file,\n"
        "                     else 731. It is never an argument, which any user can see.\n"
        "\nFiles:\n"
        "  OvlixSetup's log OvlixSetup.log, labels file labels and network settings\n"
        "  netset: beside the program when it runs from its build folder, in the\n"
        "  per-user data folder (~/.local/share/OvlixSetup) when it is installed.\n"
        "\nExamples:\n"
        "  ovlix verify 192.168.1.10\n"
        "      Prints the firmware version of the device at 192.168.1.10.\n"
        "  ovlix x10 a1 on\n"
        "      Switches unit A1 on, through the device set up last.\n"
        "  OVLIX_PASSCODE=4711 ovlix x10 \"Hall lamp\" off\n"
        "      Switches off the unit labelled Hall lamp, with the passcode 4711.\n"
        "  ovlix x10 --passcode-file ~/.ovlix-passcode --json p16 query\n"
        "      Queries unit P16 and prints what was sent as JSON.\n"
        "  ovlix labels send --device 127.0.0.1:8080\n"
        "      Sends the labels file to the simulator on port 8080.\n"
        "  ovlix find --network 192.168.1.0/24\n"
        "      Prints the address, version and MAC address of each device on that\n"
        "      network; exits 1 when none answers.\n"
        "  sudo ovlix setup --mac 00:03:75:10:01:55 --wait 60 192.168.1.250\n"
        "      Gives the device just reset the address 192.168.1.250, waiting up to a\n"
        "      minute for it to answer.\n");
    return help;
}

// The words of the arguments that name a command, as far as they go.
QString askedCommand(const QStringList& arguments)
{
    QString first = arguments.value(0);
    for (const Command& command : kCommands)
        if (command.name.startsWith(first + u' '))
            return arguments.mid(0, 2).join(u' ');
    return first;
}

// The table row named by the first words of the arguments.
const Command* findCommand(const QStringList& arguments)
{
    for (const Command& command : kCommands) {
        const QStringList words = command.name.split(u' ');
        if (arguments.mid(0, words.size()) == words)
            return &command;
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ovlix"));
    QCoreApplication::setApplicationVersion(programVersion());

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const QString first = arguments.value(0);
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        QTextStream(stdout) << programHelp();
        return static_cast<int>(ExitCode::Done);
    }
    if (first == QLatin1String("--version")) {
        QTextStream(stdout) << "ovlix " << programVersion() << '\n';
        return static_cast<int>(ExitCode::Done);
    }
    const Command* command = findCommand(arguments);
    if (!command) {
        // "labels" alone is the first word of its commands, not one itself.
        const QList<const Command*> group =
            first.isEmpty() ? QList<const Command*>() : commandsNamed(first + u' ');
        const QString second = arguments.value(1);
        if (!group.isEmpty() && arguments.size() == 2 &&
            (second == QLatin1String("--help") || second == QLatin1String("-h"))) {
            QTextStream(stdout) << QStringLiteral("Usage: ovlix %1 COMMAND [OPTIONS]\n\n"
                                                  "Commands:\n")
                                       .arg(first)
                                << commandLines(group)
                                << QStringLiteral("\nEach command takes --help for its options.\n");
            return static_cast<int>(ExitCode::Done);
        }
        const QString what =
            arguments.isEmpty() ? QStringLiteral("ovlix: no command given")
            : !group.isEmpty() && arguments.size() == 1
                ? QStringLiteral("ovlix: \"%1\" needs a command").arg(first)
                : QStringLiteral("ovlix: unknown command \"%1\"").arg(askedCommand(arguments));
        QTextStream(stderr) << withControlsVisible(what) << ": use "
                            << commandNames(group.isEmpty() ? commandsNamed() : group)
                            << "; options come after the command word (see ovlix --help)\n";
        return static_cast<int>(ExitCode::Usage);
    }

    Invocation call(*command, arguments.mid(command->name.count(u' ') + 1));
    QTimer::singleShot(0, &application, [&] { command->run(call); });
    return QCoreApplication::exec();
}
