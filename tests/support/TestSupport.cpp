#include "TestSupport.h"

#include <QFile>

namespace ovlix::test {

QStringList FilesFolder::logMessages() const
{
    QStringList messages;
    const QString stamp = fixedStamp();
    const QString text = QString::fromLocal8Bit(read(QStringLiteral("OvlixSetup.log")));
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        messages.append(line.startsWith(stamp) ? line.mid(stamp.size())
                                               : QStringLiteral("?") + line);
    return messages;
}

QByteArray FilesFolder::read(const QString& name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void FilesFolder::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace ovlix::test
