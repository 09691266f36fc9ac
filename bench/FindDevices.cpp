// The device search as the benchmark runs it: the finder alone in a Qt Core
// process, over the networks named on the command line, with the default
// per-address deadline. Prints each device found, the time the search took,
// and the process's peak resident memory before and after it.
//   usage: ovlix-bench-find CIDR...

#include "core/EventLog.h"
#include "device/QtHttpFetcher.h"
#include "discovery/DeviceFinder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using namespace ovlix;

// The kernel's figure for this process: "VmHWM" (peak) or "VmRSS" (now), in kB.
static QString memory(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return QString::fromLatin1(line.mid(qstrlen(field) + 1).simplified());
    return QStringLiteral("?");
}

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    QList<Ipv4Network> networks;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        const std::optional<Ipv4Network> network = Ipv4Network::parse(argument);
        if (!network) {
            QTextStream(stderr) << "ovlix-bench-find: not a network: " << argument << '\n';
            return 2;
        }
        networks.append(*network);
    }
    if (networks.isEmpty()) {
        QTextStream(stderr) << "usage: ovlix-bench-find CIDR...\n";
        return 2;
    }

    QTemporaryDir folder;
    const EventLog log(folder.filePath(QStringLiteral("OvlixSetup.log")));
    DeviceFinder finder(
        log, [] { return std::make_unique<QtHttpFetcher>(FetchLimits{kSearchDeadline}); });
    const SearchPlan plan = planSearch(networks, systemNetworkCards());
    out << "idle: VmHWM " << memory("VmHWM:") << ", VmRSS " << memory("VmRSS:") << Qt::endl;

    QElapsedTimer clock;
    QObject::connect(&finder, &DeviceFinder::deviceFound, [&](const FoundDevice& device) {
        out << "found " << device.address << ' ' << device.version << ' ' << device.macAddress
            << " after " << clock.elapsed() << " ms" << Qt::endl;
    });
    QObject::connect(&finder, &DeviceFinder::finished, [&](int found) {
        out << "search: " << found << " devices, " << plan.addresses.size() << " addresses, "
            << clock.elapsed() << " ms" << Qt::endl;
        out << "peak: VmHWM " << memory("VmHWM:") << Qt::endl;
        QCoreApplication::exit(found > 0 ? 0 : 1);
    });
    clock.start();
    finder.start(plan);
    return QCoreApplication::exec();
}
