// ovlix-devsim: the device's web pages on a loopback port, to try OvlixSetup
// without hardware. Type 127.0.0.1:PORT as the device address.
//
// With --fresh IFACE it plays a device just reset to its factory defaults on
// that interface (Linux, root): no address until the first IPv4 packet sent to
// the interface's MAC address, whose destination it then takes as its own and
// serves its pages there.

#include "DeviceSimulator.h"
#include "FreshDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    using ovlix::DeviceSimulator;
    using ovlix::FreshDevice;

    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ovlix-devsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves the pages of an Ovlix device for trying OvlixSetup."));
    parser.addHelpOption();
    const QCommandLineOption portOption({QStringLiteral("p"), QStringLiteral("port")},
                                        QStringLiteral("Port to listen on (0: any free port)."),
                                        QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption versionOption(
        {QStringLiteral("v"), QStringLiteral("version")},
        QStringLiteral("Firmware version the root page reports."), QStringLiteral("text"),
        QStringLiteral("2.1a"));
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
        QStringLiteral("prefix"), QStringLiteral("Prefix length of the address taken (--fresh)."),
        QStringLiteral("bits"), QStringLiteral("24"));
    const QCommandLineOption delayOption(
        QStringLiteral("delay"),
        QStringLiteral("Hold every answer back this long, as a slow device."), QStringLiteral("ms"),
        QStringLiteral("0"));
    const QCommandLineOption notOvlixOption(
        QStringLiteral("not-ovlix"),
        QStringLiteral("Play some other web server, whose root page carries no version."));
    const QCommandLineOption takeDelayOption(
        QStringLiteral("take-delay"),
        QStringLiteral("Take the address this long after the first packet (--fresh)."),
        QStringLiteral("ms"), QStringLiteral("0"));
    parser.addOptions({portOption, versionOption, bindOption, freshOption, prefixOption,
                       delayOption, notOvlixOption, takeDelayOption});
    parser.process(application);

    QTextStream out(stdout);
    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    const QHostAddress address(parser.value(bindOption));
    bool delayOk = false;
    const uint delay = parser.value(delayOption).toUInt(&delayOk);
    if (!portOk || port > 65535 || address.isNull() || !delayOk || delay > 600000) {
        QTextStream(stderr) << "ovlix-devsim: bad --port, --bind or --delay value\n";
        return 2;
    }

    DeviceSimulator device;
    device.setVersion(parser.value(versionOption));
    device.setNotOvlix(parser.isSet(notOvlixOption));
    device.setAnswerDelay(int(delay));
    QObject::connect(&device, &DeviceSimulator::requestReceived, &device,
                     [&out](const QString& target) { out << "GET " << target << Qt::endl; });
    const auto serve = [&](const QHostAddress& at) {
        if (!device.listen(at, static_cast<quint16>(port))) {
            QTextStream(stderr) << "ovlix-devsim: cannot listen: " << device.errorString() << '\n';
            QCoreApplication::exit(1);
            return;
        }
        out << "Ovlix device simulator listening on http://" << at.toString() << ':'
            << device.port() << Qt::endl;
    };
    if (!parser.isSet(freshOption)) {
        serve(address);
        return device.isListening() ? QCoreApplication::exec() : 1;
    }

    FreshDevice fresh(parser.value(freshOption), parser.value(prefixOption).toInt());
    fresh.setTakeDelay(std::chrono::milliseconds(parser.value(takeDelayOption).toInt()));
    QObject::connect(&fresh, &FreshDevice::addressTaken, &device, serve);
    QObject::connect(&fresh, &FreshDevice::failed, &device, [](const QString& why) {
        QTextStream(stderr) << "ovlix-devsim: " << why << '\n';
        QCoreApplication::exit(1);
    });
    if (!fresh.start()) {
        QTextStream(stderr) << "ovlix-devsim: " << fresh.errorString() << '\n';
        return 1;
    }
    out << "Ovlix device simulator waiting, factory-fresh, on " << parser.value(freshOption)
        << Qt::endl;
    return QCoreApplication::exec();
}
