#include "Settings.h"

#include "EventLog.h"
#include "TextFiles.h"

#include <QFile>
#include <QFileInfo>

namespace ovlix {

namespace {

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}
bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Moves past one line end, taking CR LF as one.
qsizetype skipLineEnd(const QString& text, qsizetype at)
{
    if (text[at] == QLatin1Char('\r') && at + 1 < text.size() && text[at + 1] == QLatin1Char('\n'))
        return at + 2;
    return at + 1;
}

} // namespace

QStringList settingFields(const QString& text)
{
    QStringList fields;
    const qsizetype size = text.size();
    qsizetype at = 0;
    bool atLineStart = true;
    while (at < size) {
        while (at < size && isBlank(text[at]))
            ++at;
        if (at < size && isLineEnd(text[at]) && atLineStart) {
            at = skipLineEnd(text, at); // a blank line holds no field
            continue;
        }
        QString field;
        if (at < size && text[at] == QLatin1Char('"')) {
            const qsizetype close = text.indexOf(QLatin1Char('"'), at + 1);
            const qsizetype end = close < 0 ? size : close;
            field = text.mid(at + 1, end - at - 1);
            at = end + 1;
            while (at < size && text[at] != QLatin1Char(',') && !isLineEnd(text[at]))
                ++at; // anything between the closing quote and the delimiter is dropped
        } else {
            const qsizetype begin = at;
            while (at < size && text[at] != QLatin1Char(',') && !isLineEnd(text[at]))
                ++at;
            field = text.mid(begin, at - begin);
            while (!field.isEmpty() && isBlank(field.back()))
                field.chop(1);
        }
        fields.append(field);
        if (at >= size)
            break;
        if (text[at] == QLatin1Char(',')) {
            ++at;
            atLineStart = false;
            if (at >= size)
                fields.append(QString()); // a trailing comma ends in an empty field
        } else {
            at = skipLineEnd(text, at);
            atLineStart = true;
        }
    }
    return fields;
}

QString ReadSetting(const EventLog& log, const QString& path, const QString& name)
{
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) {
        const QStringList fields = settingFields(fromFileText(file.read(kMaxReadFileSize)));
        // Names stand at even places; a name that is the last field has an
        // empty value, and value() never reads past the end.
        for (qsizetype i = fields.indexOf(name); i >= 0; i = fields.indexOf(name, i + 1))
            if (i % 2 == 0)
                return fields.value(i + 1);
    }
    log.WriteLog(QStringLiteral("System variable ") + name + QStringLiteral(" missing in ") + path);
    return {};
}

bool FileExists(const QString& path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
}

} // namespace ovlix
