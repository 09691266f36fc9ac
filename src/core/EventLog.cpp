#include "EventLog.h"

#include "TextFiles.h"

#include <algorithm>
#include <QFile>
#include <QList>

namespace ovlix {

namespace {

// A piece of a date-time format: a run of one pattern letter, a quoted text,
// or the separators between them.
struct FormatPiece {
    enum Kind { Field, Quoted, Separators } kind;
    QString text;
};

QList<FormatPiece> splitFormat(const QString& format)
{
    QList<FormatPiece> pieces;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype end = i + 1;
        FormatPiece::Kind kind = FormatPiece::Separators;
        if (c == u'\'') {
            kind = FormatPiece::Quoted;
            // A quote inside is written twice.
            while (end < format.size() &&
                   (format[end] != u'\'' || format.mid(end, 2) == QLatin1String("''")))
                end += format[end] == u'\'' ? 2 : 1;
            end = std::min(end + 1, format.size());
        } else if (c.isLetter()) {
            kind = FormatPiece::Field;
            while (end < format.size() && format[end] == c)
                ++end;
        } else {
            while (end < format.size() && !format[end].isLetter() && format[end] != u'\'')
                ++end;
        }
        pieces.append({kind, format.mid(i, end - i)});
        i = end;
    }
    return pieces;
}

// The locale's time format with seconds, without the time zone it may carry and
// without the separators and brackets around the zone. Qt writes no day period
// ("B", "b": "in the afternoon") but leaves its letter as text: AM and PM take
// its place.
QString timeFormatWithoutZone(const QLocale& locale)
{
    QList<FormatPiece> pieces = splitFormat(locale.timeFormat(QLocale::LongFormat));
    for (FormatPiece& piece : pieces) {
        if (piece.kind == FormatPiece::Field && piece.text.front().toLower() == u'b')
            piece.text = QStringLiteral("AP");
    }
    const auto isZone = [](const FormatPiece& piece) {
        return piece.kind == FormatPiece::Field && piece.text.startsWith(u't');
    };
    const auto isSeparators = [&pieces](qsizetype i) {
        return i >= 0 && i < pieces.size() && pieces[i].kind == FormatPiece::Separators;
    };
    for (;;) {
        const qsizetype zone =
            std::find_if(pieces.cbegin(), pieces.cend(), isZone) - pieces.cbegin();
        if (zone == pieces.size())
            break;
        qsizetype first = zone;
        // A full stop there ends an abbreviation ("ч." in Bulgarian) and stays.
        if (isSeparators(zone - 1) && pieces[zone - 1].text.startsWith(u'.'))
            pieces[zone - 1].text = QStringLiteral(".");
        else if (isSeparators(zone - 1))
            first = zone - 1;
        const qsizetype last = isSeparators(zone + 1) ? zone + 1 : zone;
        pieces.remove(first, last - first + 1);
        // A zone between two parts leaves one blank between them.
        if (first > 0 && first < pieces.size())
            pieces.insert(first, {FormatPiece::Separators, QStringLiteral(" ")});
    }
    QString format;
    for (const FormatPiece& piece : pieces)
        format += piece.text;
    return format.trimmed();
}

} // namespace

QString withControlsVisible(const QString& text)
{
    QString shown;
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control)
            shown += c;
        else if (c == u'\r')
            shown += QStringLiteral("\\r");
        else if (c == u'\n')
            shown += QStringLiteral("\\n");
        else if (c == u'\t')
            shown += QStringLiteral("\\t");
        else
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    }
    return shown;
}

EventLog::EventLog(QString logFile, Clock clock, const QLocale& locale)
    : logFile_(std::move(logFile)), clock_(std::move(clock)), locale_(locale)
{
}

QString EventLog::timeStamp(const QDateTime& when, const QLocale& locale)
{
    QString date = locale.toString(when.date(), QLocale::ShortFormat);
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    // The locale's long time format is the one with seconds; the time zone it may
    // carry has no place in a log line.
    return date + QLatin1Char(' ') + locale.toString(time, timeFormatWithoutZone(locale));
}

void EventLog::WriteLog(const QString& message) const
{
    QFile file(logFile_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(toFileText(timeStamp(clock_(), locale_) + withControlsVisible(message) +
                          QStringLiteral("\r\n")));
}

} // namespace ovlix
