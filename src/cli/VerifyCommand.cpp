// ovlix verify [ADDRESS]: the main window's Verify button.

#include "CommandLine.h"
#include "Commands.h"
#include "device/DeviceRequests.h"

namespace ovlix::cli {

void runVerify(Invocation& call)
{
    call.options().addPositionalArgument(QStringLiteral("ADDRESS"), deviceOption().description(),
                                         QStringLiteral("[ADDRESS]"));
    if (!call.parse(0, 1) ||
        !call.takeAddress(QLatin1String("ADDRESS"), call.positional().isEmpty()
                                                        ? std::nullopt
                                                        : std::optional(call.positional().at(0))))
        return;
    call.start();
    const std::optional<QString> deviceAddress = call.deviceAddress();
    if (!deviceAddress)
        return;
    const QString& address = *deviceAddress;
    probeVersion(call.fetcher(), call.log(), address, [&call, address](const VersionProbe& probe) {
        const std::optional<QString>& version = probe.version;
        if (call.json())
            call.printJson(
                {{QStringLiteral("address"), address},
                 {QStringLiteral("found"), version.has_value()},
                 {QStringLiteral("version"), version ? QJsonValue(*version) : QJsonValue()}});
        else if (version)
            call.print(*version);
        if (!version)
            call.printError(QStringLiteral("ovlix verify: Ovlix at IP: %1 not found (%2)")
                                .arg(address, probe.failure == FetchResult::Failure::None
                                                  ? QStringLiteral("its page carries no version")
                                                  : probe.error));
        call.finish(version ? ExitCode::Done : ExitCode::Failed);
    });
}

} // namespace ovlix::cli
