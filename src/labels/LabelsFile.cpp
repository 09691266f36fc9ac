#include "LabelsFile.h"

#include "core/EventLog.h"

#include <optional>
#include <QFile>

namespace ovlix {

namespace {

bool isBlank(QChar c)
{
    return c == u'\r' || c == u'\n' || c == u'\t' || c == u' ';
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// The line that starts at `pos`; `pos` moves past its end (CR LF, CR or LF).
std::optional<QString> nextLine(const QString& text, qsizetype& pos)
{
    if (pos >= text.size())
        return std::nullopt;
    qsizetype end = pos;
    while (end < text.size() && !isLineEnd(text[end]))
        ++end;
    QString line = text.mid(pos, end - pos);
    if (end < text.size())
        end += text.mid(end, 2) == QLatin1String("\r\n") ? 2 : 1;
    pos = end;
    return line;
}

// Applies one line; a field it lacks leaves its part of the slot and is noted
// as the latest problem.
void applyLine(const QString& line, int number, LabelSlot& slot, QString& problem)
{
    QString field;
    QString rest;
    ParseField(line, kLabelFieldDelimiter, field, rest);
    if (field.size() > kMaxLabelLength) {
        field.truncate(kMaxLabelLength);
        // Half a character would not be saved as it was read.
        if (field.back().isHighSurrogate())
            field.chop(1);
        problem = QStringLiteral("Line %1: the label is longer than %2 characters")
                      .arg(number)
                      .arg(kMaxLabelLength);
    }
    slot.text = field;

    // The codes stand as the boxes showed them when they were saved, typed
    // texts included; blanks around a code are no part of it, and would
    // otherwise be sent to the device with it.
    const qsizetype codes = line.count(kLabelFieldDelimiter);
    ParseField(rest, kLabelFieldDelimiter, field, rest);
    if (codes >= 1)
        slot.house = field.trimmed();
    ParseField(rest, kLabelFieldDelimiter, field, rest);
    if (codes >= 2)
        slot.unit = field.trimmed();
    if (codes == 0)
        problem = QStringLiteral("Line %1: the house and unit codes are missing").arg(number);
    else if (codes == 1)
        problem = QStringLiteral("Line %1: the unit code is missing").arg(number);
}

} // namespace

void ParseField(const QString& text, QChar delimiter, QString& field, QString& remainder)
{
    // field or remainder may be text itself: read from a copy.
    const QString copy = text; // NOLINT(performance-unnecessary-copy-initialization)
    qsizetype start = 0;
    while (start < copy.size() && isBlank(copy[start]))
        ++start;
    const qsizetype end = copy.indexOf(delimiter, start);
    if (end < 0) {
        field = copy.mid(start);
        remainder.clear();
        return;
    }
    field = copy.mid(start, end - start);
    remainder = copy.mid(end + 1);
}

QByteArray labelsFileText(const LabelSet& slots)
{
    QString text;
    for (const LabelSlot& slot : slots)
        text += slot.text + kLabelFieldDelimiter + slot.house + kLabelFieldDelimiter + slot.unit +
                QStringLiteral("\r\n");
    return toFileText(text);
}

SaveResult saveLabelsFile(const EventLog& log, const QString& path, const LabelSet& slots)
{
    SaveResult result = saveFileAtomically(path, labelsFileText(slots));
    if (!result.ok)
        log.WriteLog(QStringLiteral("ERROR::frmDeviceLabels.SaveLabels: ") + result.error);
    return result;
}

LabelsProblems applyLabelsText(const QString& text, LabelSet& slots)
{
    LabelsProblems problems;
    qsizetype pos = 0;
    int lines = 0;
    for (; lines < kLabelSlots; ++lines) {
        const std::optional<QString> line = nextLine(text, pos);
        if (!line)
            break;
        applyLine(*line, lines + 1, slots[lines], problems.field);
    }
    if (lines < kLabelSlots)
        problems.lines =
            QStringLiteral("The file has only %1 of %2 lines").arg(lines).arg(kLabelSlots);
    else if (!text.mid(pos).trimmed().isEmpty())
        problems.lines = QStringLiteral("The lines after line %1 are ignored").arg(kLabelSlots);
    return problems;
}

QString readLabelsFile(const EventLog& log, const QString& path, LabelSet& slots)
{
    const QString errorPrefix = QStringLiteral("ERROR::frmDeviceLabels.ReadLabels: ");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        log.WriteLog(errorPrefix + file.errorString());
        return file.errorString();
    }
    const QString text = fromFileText(file.read(kMaxReadFileSize));
    const bool cut = !file.atEnd();
    file.close();

    LabelsProblems problems = applyLabelsText(text, slots);
    if (cut)
        problems.lines =
            QStringLiteral("Only the first %1 bytes of the file are read").arg(kMaxReadFileSize);
    for (const QString& problem : {problems.field, problems.lines})
        if (!problem.isEmpty())
            log.WriteLog(errorPrefix + problem);
    return {};
}

} // namespace ovlix
