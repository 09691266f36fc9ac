#pragma once

#include <QString>
#include <QStringList>

namespace ovlix {

class EventLog;

// Splits settings-file text into its fields. A field ends at a comma or a line
// end (CR LF, CR or LF); blanks in front of a field are skipped, and so are
// blanks at its end; a field that begins with a double quote runs to the
// closing quote and may hold commas. Blank lines hold no field.
QStringList settingFields(const QString& text);

// The value of the first name/value pair whose name is exactly `name`, fields
// being paired in file order. A missing file or name is logged and gives an
// empty value.
QString ReadSetting(const EventLog& log, const QString& path, const QString& name);

// True when `path` is a file that can be opened for reading.
bool FileExists(const QString& path);

} // namespace ovlix
