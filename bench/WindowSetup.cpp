// The network setup window's procedure as it runs behind the window, for the
// setup benchmark: the press, the fixed five-second wait, then the tick's one
// probe with the window's 60-second request deadline.
//   usage: ovlix-bench-window-setup IP MAC   (root, in a namespace of its own)

#include "core/CommandRunner.h"
#include "core/EventLog.h"
#include "device/QtHttpFetcher.h"
#include "network/AddressAssignment.h"
#include "network/ArpEntries.h"
#include "network/HostAddress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

using namespace ovlix;

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3) {
        QTextStream(stderr) << "usage: ovlix-bench-window-setup IP MAC\n";
        return 2;
    }
    const QString& ip = arguments[1];
    const QString& mac = arguments[2];
    QElapsedTimer clock;
    clock.start();
    QTemporaryDir files;
    const EventLog log(files.filePath(QStringLiteral("OvlixSetup.log")));
    SystemProcessLauncher launcher;
    SystemHostLookup hosts;
    QtHttpFetcher inet;
    AddressAssignment assignment({log, launcher, systemNetworkCommands(), inet, &arpTableRefusal,
                                  files.filePath(QStringLiteral("netset"))});
    const ArpCard card = assignment.press(ip, mac, GetHostIP(log, hosts, systemNetworkCards()));
    QTimer::singleShot(5000, Qt::PreciseTimer, &application, [&] {
        assignment.tick(
            ip, mac, card, [] {},
            [&clock](const AddressAssignment::Outcome& outcome) {
                QTextStream(stdout) << clock.elapsed() << " ms: "
                                    << QString(outcome.message)
                                           .replace(QStringLiteral("\r\n"), QStringLiteral(" / "))
                                    << '\n';
                QCoreApplication::exit(outcome.assigned ? 0 : 1);
            });
    });
    return QCoreApplication::exec();
}
