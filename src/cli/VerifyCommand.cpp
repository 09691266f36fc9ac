// ovlix verify [ADDRESS]: the main window's Verify button.

#include "CommandLine.h"
#include "Commands.h"
#include "device/DeviceRequests.h"

namespace ovlix::cli {

void runVerify(Invocation& call)
{
    call.options().addPositionalArgument(QStringLiteral("ADDRESS"), deviceOption().description(),
                                         QStringLiteral("[ADDRESS]"));
    if (!call.parse(0, 1))
        return;
    call.start();
    const QString address = call.deviceAddress(call.positional().value(0));
    PingOvlix(
        call.fetcher(), call.log(), address, [&call, address](std::optional<QString> version) {
            if (call.json())
                call.printJson(
                    {{QStringLiteral("address"), address},
                     {QStringLiteral("found"), version.has_value()},
                     {QStringLiteral("version"), version ? QJsonValue(*version) : QJsonValue()}});
            else if (version)
                call.print(*version);
            if (!version)
                call.printError(QStringLiteral("Ovlix at IP: ") + address +
                                QStringLiteral(" not found"));
            call.finish(version ? ExitCode::Done : ExitCode::Failed);
        });
}

} // namespace ovlix::cli
