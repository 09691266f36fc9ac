#include "X10Codes.h"

#include "device/DeviceRequests.h"

#include <QRegularExpression>

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

std::optional<X10Address> parseX10Address(const QString& text)
{
    const QString house = text.left(1).toUpper();
    const QString unit = text.mid(1);
    if (!x10HouseCodes().contains(house) || !x10UnitCodes().contains(unit))
        return std::nullopt;
    return X10Address{house, unit};
}

bool looksLikeX10Address(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z][0-9]+$"));
    return shape.match(text).hasMatch();
}

std::optional<QString> x10CommandNamed(const QString& word)
{
    for (const QString& name : x10CommandNames())
        if (name.compare(word, Qt::CaseInsensitive) == 0)
            return name;
    return std::nullopt;
}

QString x10RequestPath(const X10Command& command)
{
    return QStringLiteral("/x10.spi?house=") + encodeQueryValue(command.house) +
           QStringLiteral("&unit=") + encodeQueryValue(command.unit) + QStringLiteral("&cmd=") +
           encodeQueryValue(x10CommandCode(command.command)) +
           QStringLiteral("&x10event=1&userpass=") + encodeQueryValue(command.passcode);
}

void sendX10Command(HttpFetcher& inet, const EventLog& log, const QString& deviceIp,
                    const X10Command& command, std::function<void(const FetchResult& result)> done)
{
    SendHttp(inet, log, kX10WindowSend, deviceIp, x10RequestPath(command), std::move(done));
}

} // namespace ovlix
