#include "HostAddress.h"

namespace ovlix {

QString hostNameFailedLine(int error)
{
    return QStringLiteral("ERROR::Windows Sockets error ") + QString::number(error) +
           QStringLiteral(" has occurred. Unable to successfully get Host Name.");
}

QString noHostEntryLine()
{
    return QStringLiteral("ERROR::Windows Sockets are not responding. ") +
           QStringLiteral("Unable to successfully get Host Name.");
}

} // namespace ovlix
