#pragma once

#include "core/TextFiles.h"
#include "LabelSet.h"

#include <QByteArray>
#include <QString>

namespace ovlix {

class EventLog;

// Splits the first field off `text`: blanks (CR, LF, TAB, space) in front of
// the field are dropped, blanks at its end stay, and the delimiter that ends it
// belongs to neither output. Without a delimiter the whole text is the field.
// `text` may be the same string as `remainder`.
void ParseField(const QString& text, QChar delimiter, QString& field, QString& remainder);

// The file's eight lines, "text,house,unit" each, ended by CR LF.
QByteArray labelsFileText(const LabelSet& slots);

// Replaces the labels file whole; a failure is logged and returned, and the
// previous file stays as it was.
SaveResult saveLabelsFile(const EventLog& log, const QString& path, const LabelSet& slots);

// What could not be taken from a labels file; empty texts when nothing.
struct LabelsProblems {
    QString field; // the last field that could not be applied
    QString lines; // what is wrong with the file's lines as a whole
};

// Applies the text of a labels file to the slots as readLabelsFile does.
LabelsProblems applyLabelsText(const QString& text, LabelSet& slots);

// Reads the file's first eight lines (ended by CR LF, LF or CR) into the slots.
// The fields are taken as they stand, blanks around the codes aside, so every
// slot that was saved comes back as it was. A missing field leaves its part of
// the slot as it was, a missing line leaves its slot; the log tells the last
// field problem and then what was wrong with the lines. Returns why the file
// could not be opened; empty when it was.
QString readLabelsFile(const EventLog& log, const QString& path, LabelSet& slots);

} // namespace ovlix
