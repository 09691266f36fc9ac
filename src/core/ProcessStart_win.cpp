#include "CommandRunner.h"

#include <QProcess>

#include <windows.h>

namespace ovlix {

StartOutcome SystemProcessLauncher::startDetached(const QString& commandLine)
{
    // The command line goes to CreateProcess unchanged; its first word names the
    // program, and no command interpreter parses the rest.
    const qsizetype programEnd = commandLine.indexOf(QLatin1Char(' '));
    QProcess process;
    process.setProgram(programEnd < 0 ? commandLine : commandLine.left(programEnd));
    if (programEnd >= 0)
        process.setNativeArguments(commandLine.mid(programEnd + 1));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments* arguments) {
        // Minimised and not activated: the program's own window keeps the focus.
        arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        arguments->startupInfo->wShowWindow = SW_SHOWMINNOACTIVE;
    });
    if (process.startDetached())
        return {true, 0, {}, {}};
    return {false, static_cast<int>(GetLastError()), QStringLiteral("OvlixSetup"),
            process.errorString()};
}

} // namespace ovlix
