#include "X10Codes.h"

#include "device/DeviceRequests.h"

namespace ovlix {

QStringList x10HouseCodes()
{
    QStringList codes;
    for (char16_t letter = u'A'; letter <= u'P'; ++letter)
        codes.append(QString(QChar(letter)));
    return codes;
}

QStringList x10UnitCodes()
{
    QStringList codes;
    for (int unit = 1; unit <= 16; ++unit)
        codes.append(QString::number(unit));
    return codes;
}

QStringList x10CommandNames()
{
    return {QStringLiteral("On"), QStringLiteral("Off"), QStringLiteral("Query")};
}

QString x10CommandCode(const QString& command)
{
    if (command == QLatin1String("On"))
        return QStringLiteral("2");
    if (command == QLatin1String("Off"))
        return QStringLiteral("3");
    if (command == QLatin1String("Query"))
        return QStringLiteral("8");
    return {};
}

QString x10RequestPath(const X10Command& command)
{
    return QStringLiteral("/x10.spi?house=") + encodeQueryValue(command.house) +
           QStringLiteral("&unit=") + encodeQueryValue(command.unit) + QStringLiteral("&cmd=") +
           encodeQueryValue(x10CommandCode(command.command)) +
           QStringLiteral("&x10event=1&userpass=") + encodeQueryValue(command.passcode);
}

} // namespace ovlix
