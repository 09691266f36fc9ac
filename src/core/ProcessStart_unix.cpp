#include "CommandRunner.h"

#include <QProcess>

namespace ovlix {

StartOutcome SystemProcessLauncher::startDetached(const QString& commandLine)
{
    // Split into arguments here: no shell ever sees the line, so redirection and
    // pipe characters reach the program as ordinary arguments.
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return {false, 0, QStringLiteral("OvlixSetup"), QStringLiteral("Empty command line")};
    QProcess process;
    process.setProgram(arguments.takeFirst());
    process.setArguments(arguments);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (process.startDetached())
        return {true, 0, {}, {}};
    return {false, static_cast<int>(process.error()), QStringLiteral("OvlixSetup"),
            process.errorString()};
}

} // namespace ovlix
