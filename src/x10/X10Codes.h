#pragma once

#include <QString>
#include <QStringList>

namespace ovlix {

// An X10 address always travels as its two texts, never as list positions.
// The lists hold their codes in this order; their first items are the defaults.
QStringList x10HouseCodes();   // "A" to "P"
QStringList x10UnitCodes();    // "1" to "16"
QStringList x10CommandNames(); // "On", "Off", "Query"

// The X10 function code sent for a command, matched exactly (case and blanks
// count); any other text gives an empty code.
QString x10CommandCode(const QString& command);

// What the X10 window sends, as the user sees it in its boxes.
struct X10Command {
    QString house;
    QString unit;
    QString command;
    QString passcode;
};

// The device's X10 page with the command's fields; every value is encoded, so
// no typed text can add, cut or change another field.
QString x10RequestPath(const X10Command& command);

} // namespace ovlix
