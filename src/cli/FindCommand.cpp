// ovlix find [--network CIDR]...: the search of the "Find Ovlix Devices"
// window, on this PC's networks or on those named.

#include "CommandLine.h"
#include "Commands.h"
#include "device/QtHttpFetcher.h"
#include "discovery/DeviceFinder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>

namespace ovlix::cli {

void runFind(Invocation& call)
{
    const QCommandLineOption networkOption(
        QStringLiteral("network"),
        QStringLiteral("Searches this IPv4 network, such as 192.168.1.0/24, instead of the PC's "
                       "own; may be given more than once. One larger than 1024 addresses is "
                       "cut to a /24."),
        QStringLiteral("CIDR"));
    call.options().addOption(networkOption);
    if (!call.parse(0, 0))
        return;
    QList<Ipv4Network> requested;
    for (const QString& text : call.options().values(networkOption)) {
        const std::optional<Ipv4Network> network = Ipv4Network::parse(text);
        if (!network) {
            call.mistake(
                QStringLiteral("--network takes an IPv4 network such as 192.168.1.0/24, not \"%1\"")
                    .arg(text));
            return;
        }
        requested.append(*network);
    }
    call.start();
    const SearchPlan plan = planSearch(requested, systemNetworkCards());
    if (plan.networks.isEmpty()) {
        // A program that parses the output gets what it expects: no devices.
        if (call.json())
            call.printJson(QJsonArray());
        call.printError(QStringLiteral("ovlix find: this PC is on no network to search; name one "
                                       "with --network"));
        call.finish(ExitCode::Failed);
        return;
    }
    for (const SearchedNetwork& searched : plan.networks) {
        if (searched.cutFrom)
            call.printError(
                QStringLiteral("ovlix find: %1 has more than %2 addresses: only %3 is searched")
                    .arg(searched.cutFrom->toString())
                    .arg(kLargestSearchedNetwork)
                    .arg(searched.network.toString()));
    }

    const std::chrono::milliseconds deadline = call.timeout();
    auto* finder = new DeviceFinder(
        call.log(), [deadline] { return std::make_unique<QtHttpFetcher>(FetchLimits{deadline}); },
        QCoreApplication::instance());
    auto devices = std::make_shared<QJsonArray>();
    auto clock = std::make_shared<QElapsedTimer>();
    QObject::connect(
        finder, &DeviceFinder::deviceFound, finder, [&call, devices](const FoundDevice& device) {
            devices->append(QJsonObject{{QStringLiteral("address"), device.address},
                                        {QStringLiteral("version"), device.version},
                                        {QStringLiteral("mac"), device.macAddress}});
            if (!call.json())
                call.print(QStringLiteral("%1  %2  %3")
                               .arg(device.address, device.version,
                                    device.macAddress.isEmpty() ? QStringLiteral("MAC unknown")
                                                                : device.macAddress));
        });
    QObject::connect(finder, &DeviceFinder::finished, finder,
                     [&call, devices, clock, addresses = plan.addresses.size()](int found) {
                         const double seconds = double(clock->elapsed()) / 1000.0;
                         if (call.json())
                             call.printJson(*devices);
                         else
                             call.print(QStringLiteral("%1 %2 found, %3 asked in %4 s")
                                            .arg(found)
                                            .arg(found == 1 ? QStringLiteral("device")
                                                            : QStringLiteral("devices"))
                                            .arg(addressCount(addresses))
                                            .arg(seconds, 0, 'f', 1));
                         call.finish(found > 0 ? ExitCode::Done : ExitCode::Failed);
                     });
    clock->start();
    finder->start(plan);
}

} // namespace ovlix::cli
