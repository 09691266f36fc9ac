#pragma once

#include "x10/X10Codes.h"

#include <QString>

namespace ovlix {

class EventLog;

// What a unit named on the command line stands for: an X10 address written
// out ("A1", "p16"), or else the label text of a slot in the labels file,
// compared without regard to case; the first such slot counts.
struct UnitLookup {
    enum class Outcome { Found, Unknown, LabelsFileUnreadable };
    Outcome outcome = Outcome::Unknown;
    X10Address address;
    QString error; // why the labels file could not be read
};

// Reads the labels file, with its log lines, only when `unit` is not shaped
// like an address (a letter and digits); one so shaped but out of range, such
// as "Q1" or "A17", is Unknown without it.
UnitLookup lookUpX10Unit(const EventLog& log, const QString& labelsFile, const QString& unit);

} // namespace ovlix
