// ovlix-devsim: the device's web pages on a loopback port, to try OvlixSetup
// without hardware. Type 127.0.0.1:PORT as the device address.

#include "DeviceSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
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
    parser.addOptions({portOption, versionOption, bindOption});
    parser.process(application);

    QTextStream out(stdout);
    bool portOk = false;
    const uint port = parser.value(portOption).toUInt(&portOk);
    const QHostAddress address(parser.value(bindOption));
    if (!portOk || port > 65535 || address.isNull()) {
        QTextStream(stderr) << "ovlix-devsim: bad --port or --bind value\n";
        return 2;
    }

    DeviceSimulator device;
    device.setVersion(parser.value(versionOption));
    if (!device.listen(address, static_cast<quint16>(port))) {
        QTextStream(stderr) << "ovlix-devsim: cannot listen: " << device.errorString() << '\n';
        return 1;
    }
    QObject::connect(&device, &DeviceSimulator::requestReceived, &device,
                     [&out](const QString& target) { out << "GET " << target << Qt::endl; });
    out << "Ovlix device simulator listening on http://" << address.toString() << ':'
        << device.port() << Qt::endl;
    return QCoreApplication::exec();
}
