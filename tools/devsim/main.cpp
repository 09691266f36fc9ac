// ovlix-devsim: the device's web pages on a loopback port, to try OvlixSetup
// without hardware. Type 127.0.0.1:PORT as the device address.
//
// With --fresh IFACE it plays a device just reset to its factory defaults on
// that interface (Linux, root): no address until the first IPv4 packet sent to
// the interface's MAC address, whose destination it then takes as its own and
// serves its pages there.

#include "core/StartUp.h"
#include "DeviceSimulator.h"
#include "FreshDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <tuple>

namespace {

// Exit codes as ovlix's: 1 the simulator failed, 2 a mistake on the command line.
constexpr int kFailed = 1;
constexpr int kUsage = 2;

int mistake(const QString& what)
{
    QTextStream(stderr) << "ovlix-devsim: " << what << "; see ovlix-devsim --help\n";
    return kUsage;
}

// Why the option's value is no whole number from 0 to `most`; empty when it is one.
QString numberProblem(const QCommandLineParser& parser, const QCommandLineOption& option, uint most)
{
    bool ok = false;
    if (parser.value(option).toUInt(&ok) <= most && ok)
        return {};
    return QStringLiteral("--%1 takes a whole number from 0 to %2, not \"%3\"")
        .arg(option.names().constLast())
        .arg(most)
        .arg(parser.value(option));
}

} // namespace

int main(int argc, char* argv[])
{
    using ovlix::DeviceSimulator;
    using ovlix::FreshDevice;

    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ovlix-devsim"));
    QCoreApplication::setApplicationVersion(ovlix::programVersion());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves the pages of an Ovlix device for trying OvlixSetup."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption portOption(
        {QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("Port to listen on (default 0: any free port)."), QStringLiteral("port"),
        QStringLiteral("0"));
    const QCommandLineOption firmwareOption(
        QStringLiteral("firmware"),
        QStringLiteral("Firmware version the root page reports (default 2.1a)."),
        QStringLiteral("text"), QStringLiteral("2.1a"));
    const QCommandLineOption bindOption(
        {QStringLiteral("b"), QStringLiteral("bind")},
        QStringLiteral("Address to listen on (default: loopback only)."), QStringLiteral("address"),
        QStringLiteral("127.0.0.1"));
    const QCommandLineOption freshOption(
        QStringLiteral("fresh"),
        QStringLiteral("Play a factory-fresh device on this interface: take the address of the "
                       "first IPv4 packet sent to its MAC, then serve there."),
        QStringLiteral("interface"));
    const QCommandLineOption prefixOption(
        QStringLiteral("prefix"),
        QStringLiteral("Prefix length of the address taken, with --fresh (default 24)."),
        QStringLiteral("bits"), QStringLiteral("24"));
    const QCommandLineOption delayOption(
        QStringLiteral("delay"),
        QStringLiteral("Hold every answer back this long, as a slow device (default 0)."),
        QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption notOvlixOption(
        QStringLiteral("not-ovlix"),
        QStringLiteral("Play some other web server, whose root page carries no version."));
    const QCommandLineOption takeDelayOption(
        QStringLiteral("take-delay"),
        QStringLiteral("Take the address this long after the first packet, with --fresh "
                       "(default 0)."),
        QStringLiteral("ms"), QStringLiteral("0"));
    parser.addOptions({portOption, firmwareOption, bindOption, freshOption, prefixOption,
                       delayOption, notOvlixOption, takeDelayOption});
    if (!parser.parse(QCoreApplication::arguments()))
        return mistake(parser.errorText().remove(QRegularExpression(QStringLiteral("\\.$"))));
    if (parser.isSet(helpOption))
        parser.showHelp(0);
    if (parser.isSet(versionOption))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        return mistake(QStringLiteral("unexpected argument \"%1\"")
                           .arg(parser.positionalArguments().constFirst()));
    for (const QCommandLineOption& needsFresh : {prefixOption, takeDelayOption})
        if (parser.isSet(needsFresh) && !parser.isSet(freshOption))
            return mistake(
                QStringLiteral("--%1 needs --fresh").arg(needsFresh.names().constLast()));
    // A day of waiting is more than any test or demo wants; a reply held back
    // longer than ten minutes outlasts every client's deadline.
    const std::tuple<const QCommandLineOption&, uint> limits[] = {{portOption, 65535},
                                                                  {prefixOption, 32},
                                                                  {delayOption, 600000},
                                                                  {takeDelayOption, 86400000}};
    for (const auto& [option, most] : limits)
        if (const QString problem = numberProblem(parser, option, most); !problem.isEmpty())
            return mistake(problem);
    const QHostAddress address(parser.value(bindOption));
    if (address.isNull())
        return mistake(
            QStringLiteral("--bind takes an IP address, not \"%1\"").arg(parser.value(bindOption)));
    const auto port = static_cast<quint16>(parser.value(portOption).toUInt());

    QTextStream out(stdout);
    DeviceSimulator device;
    device.setVersion(parser.value(firmwareOption));
    device.setNotOvlix(parser.isSet(notOvlixOption));
    device.setAnswerDelay(int(parser.value(delayOption).toUInt()));
    QObject::connect(&device, &DeviceSimulator::requestReceived, &device,
                     [&out](const QString& target) { out << "GET " << target << Qt::endl; });
    const auto serve = [&](const QHostAddress& at) {
        if (!device.listen(at, port)) {
            QTextStream(stderr) << "ovlix-devsim: cannot listen: " << device.errorString() << '\n';
            QCoreApplication::exit(kFailed);
            return;
        }
        out << "Ovlix device simulator listening on http://" << at.toString() << ':'
            << device.port() << Qt::endl;
    };
    if (!parser.isSet(freshOption)) {
        serve(address);
        return device.isListening() ? QCoreApplication::exec() : kFailed;
    }

    FreshDevice fresh(parser.value(freshOption), parser.value(prefixOption).toInt());
    fresh.setTakeDelay(std::chrono::milliseconds(parser.value(takeDelayOption).toInt()));
    QObject::connect(&fresh, &FreshDevice::addressTaken, &device, serve);
    QObject::connect(&fresh, &FreshDevice::failed, &device, [](const QString& why) {
        QTextStream(stderr) << "ovlix-devsim: --fresh: " << why << '\n';
        QCoreApplication::exit(kFailed);
    });
    if (!fresh.start()) {
        QTextStream(stderr) << "ovlix-devsim: --fresh: " << fresh.errorString() << '\n';
        return kFailed;
    }
    out << "Ovlix device simulator waiting, factory-fresh, on " << parser.value(freshOption)
        << Qt::endl;
    return QCoreApplication::exec();
}
