// ovlix setup --mac MAC [--wait SECONDS] IP: the network window's Set IP
// Address, probing until the device answers instead of after one fixed wait.

#include "CommandLine.h"
#include "Commands.h"
#include "core/CommandRunner.h"
#include "device/QtHttpFetcher.h"
#include "network/AddressSetup.h"
#include "network/ArpEntries.h"
#include "network/ArpHelper.h"
#include "network/HostAddress.h"

#include <QCoreApplication>
#include <QHostAddress>

namespace ovlix::cli {

namespace {

const QString kMac = QStringLiteral("mac");
const QString kWait = QStringLiteral("wait");
constexpr double kLongestWait = 3600;

// What the setup works through, kept until the program ends.
struct SetupRun : QObject {
    SetupRun(Invocation& call, std::chrono::milliseconds wait)
        : arp(call.log(), launcher), inet(FetchLimits{call.timeout()}),
          setup({call.log(), arp, systemNetworkCommands(), inet, [this] { return arp.refusal(); },
                 call.context().NetsetFile},
                hosts, wait)
    {
        setParent(QCoreApplication::instance());
    }
    SystemProcessLauncher launcher;
    ArpHelperLauncher arp; // through pkexec when ovlix may not change the ARP table
    SystemHostLookup hosts;
    QtHttpFetcher inet;
    AddressSetup setup;
};

} // namespace

void runSetup(Invocation& call)
{
    call.options().addOptions(
        {{kMac,
          QStringLiteral("The device's MAC address: six pairs of hex digits joined by - or :."),
          QStringLiteral("MAC")},
         {kWait,
          QStringLiteral("Gives the device up to SECONDS to answer (default 30, at most %1).")
              .arg(kLongestWait),
          QStringLiteral("SECONDS"), QStringLiteral("30")}});
    call.options().addPositionalArgument(
        QStringLiteral("IP"),
        QStringLiteral("The address to give the device, such as 192.168.1.250."));
    if (!call.parse(1, 1))
        return;
    if (!call.options().isSet(kMac))
        return call.mistake(QStringLiteral("--mac MAC is required: the device's MAC address, "
                                           "such as 00-03-75-10-01-55"));
    const std::optional<QString> mac = macAddressForArp(call.value(kMac));
    if (!mac)
        return call.mistake(QStringLiteral("--mac takes six pairs of hex digits joined by - or :, "
                                           "such as 00-03-75-10-01-55, not \"%1\"")
                                .arg(call.value(kMac)));
    const QString ip = call.positional().at(0);
    if (QHostAddress(ip).protocol() != QAbstractSocket::IPv4Protocol)
        return call.mistake(
            QStringLiteral("IP takes an IPv4 address such as 192.168.1.250, not \"%1\"").arg(ip));
    bool number = false;
    const double seconds = call.value(kWait).toDouble(&number);
    if (!number || !(seconds > 0) || seconds > kLongestWait)
        return call.mistake(
            QStringLiteral("--wait takes a number of seconds above 0 and up to %1, not \"%2\"")
                .arg(kLongestWait)
                .arg(call.value(kWait)));
    call.start();

    auto* run = new SetupRun(call, std::chrono::milliseconds(qRound64(seconds * 1000)));
    run->setup.run(
        ip, *mac,
        [&call](std::chrono::milliseconds since, const QString& what) {
            if (!call.json())
                call.print(
                    QStringLiteral("%1 s  %2").arg(since.count() / 1000.0, 6, 'f', 2).arg(what));
        },
        [&call, ip, mac](AddressSetup::Outcome outcome) {
            using Result = AddressSetup::Result;
            if (call.json())
                call.printJson({{QStringLiteral("address"), ip},
                                {QStringLiteral("mac"), *mac},
                                {QStringLiteral("done"), outcome.result == Result::Done},
                                {QStringLiteral("version"),
                                 outcome.version ? QJsonValue(*outcome.version) : QJsonValue()},
                                {QStringLiteral("why"), outcome.message}});
            else if (outcome.result == Result::Done)
                call.print(QStringLiteral("Ovlix at IP: %1 set up, version %2")
                               .arg(ip, outcome.version.value_or(QString())));
            if (outcome.result != Result::Done || !outcome.message.isEmpty())
                call.printError(QStringLiteral("ovlix setup: ") +
                                (outcome.message.isEmpty()
                                     ? QStringLiteral("no Ovlix answered at %1").arg(ip)
                                     : outcome.message));
            call.finish(outcome.result == Result::Done         ? ExitCode::Done
                        : outcome.result == Result::NotAllowed ? ExitCode::NotAllowed
                                                               : ExitCode::Failed);
        });
}

} // namespace ovlix::cli
