// Start-up: fix where the program's files live, write the start banner and
// open the main window. The program ends when its last window closes.

#include "core/AppContext.h"
#include "core/CommandRunner.h"
#include "core/EventLog.h"
#include "core/StartUp.h"
#include "device/QtHttpFetcher.h"
#include "discovery/DeviceFinder.h"
#include "network/ArpEntries.h"
#include "network/ArpHelper.h"
#include "network/HostAddress.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgramLook.h"
#include "ui/WindowEnvironment.h"
#include "ui/WindowRegistry.h"

#include <QApplication>

using namespace ovlix;

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("OvlixSetup"));
    QApplication::setApplicationVersion(programVersion());
    // A Wayland desktop finds the program's name and icon by its desktop entry.
    QApplication::setDesktopFileName(QStringLiteral("io.github.ovlixsetup.ovlixsetup"));
    applyProgramLook();

    const DataFolder folder = chooseProgramDataFolder();
    AppContext context = makeAppContext(folder.path, programVersion());
    const EventLog log(context.LogFile);
    writeStartBanner(log, context, folder);

    QtMessageBoxes messages;
    SystemProcessLauncher programs;
    // Through pkexec when the program may not change the ARP table.
    ArpHelperLauncher processes(log, programs);
    SystemHostLookup hosts;
    WindowEnvironment environment{
        context,
        log,
        messages,
        processes,
        [] { return std::make_unique<QtHttpFetcher>(); },
        {systemNetworkCommands(), hosts, [&processes] { return processes.refusal(); }},
        [] { return std::make_unique<QtHttpFetcher>(FetchLimits{kSearchDeadline}); }};
    WindowRegistry windows(environment);
    windows.openMain();
    return QApplication::exec();
}
