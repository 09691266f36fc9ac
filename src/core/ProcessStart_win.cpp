#include "CommandRunner.h"
#include "win32/DetachedStart.h"

namespace ovlix {

StartOutcome SystemProcessLauncher::startDetached(const QString& commandLine)
{
    const win32::DetachedStartResult result =
        win32::startMinimisedWithoutFocus(commandLine.toStdWString());
    if (result.started)
        return {true, 0, {}, {}};
    return {false, static_cast<int>(result.errorCode), QStringLiteral("OvlixSetup"),
            QString::fromStdWString(result.description)};
}

} // namespace ovlix
