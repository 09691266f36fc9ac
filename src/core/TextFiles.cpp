#include "TextFiles.h"

#include <QSaveFile>

namespace ovlix {

QByteArray toFileText(const QString& text)
{
    return text.toLocal8Bit();
}

QString fromFileText(const QByteArray& bytes)
{
    return QString::fromLocal8Bit(bytes);
}

bool fitsCodePage(const QString& text)
{
    return fromFileText(toFileText(text)) == text;
}

SaveResult saveFileAtomically(const QString& path, const QByteArray& content)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write reports every byte taken, and commit() then
    // ignores a failure of its own flush and puts the cut file in place.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    // On a full disk a write can come back short without an error, and commit()
    // would then replace the old file with the cut one: check every byte.
    if (file.write(content) != content.size()) {
        QString error = file.errorString();
        if (file.error() == QFileDevice::NoError)
            error = QStringLiteral("No space left to write %1").arg(path);
        file.cancelWriting();
        file.commit();
        return {false, error};
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

} // namespace ovlix
