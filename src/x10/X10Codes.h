#pragma once

#include "device/DeviceRequests.h"

#include <functional>
#include <optional>
#include <QString>
#include <QStringList>

namespace ovlix {

class EventLog;

// An X10 address always travels as its two texts, never as list positions.
// The lists hold their codes in this order; their first items are the defaults.
QStringList x10HouseCodes();   // "A" to "P"
QStringList x10UnitCodes();    // "1" to "16"
QStringList x10CommandNames(); // "On", "Off", "Query"

// The X10 function code sent for a command, matched exactly (case and blanks
// count); any other text gives an empty code.
QString x10CommandCode(const QString& command);

// A house code and a unit code, as the lists hold them.
struct X10Address {
    QString house;
    QString unit;
};

// A house letter and a unit number run together, in either case ("A1", "p16");
// nothing for any other text.
std::optional<X10Address> parseX10Address(const QString& text);

// Whether `text` is shaped like an address, a letter followed by digits, in
// range or not ("A1", "Q1", "a17").
bool looksLikeX10Address(const QString& text);

// The command of the list whose name matches `word` in any case ("on" gives
// "On"); nothing for any other word.
std::optional<QString> x10CommandNamed(const QString& word);

// The passcode the X10 window offers before the user types another.
inline const QString kInitialX10Passcode = QStringLiteral("731");

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

// How an X10 command reports itself in the log: never with its URL, which
// carries the passcode.
inline const SendHttpStyle kX10WindowSend{QString(), QStringLiteral("ERROR::SendHttp: ")};

// Sends the command as the X10 window does: a failure is logged without the
// URL, which carries the passcode; `done` learns whether the transfer completed,
// and if not, what was observed.
void sendX10Command(HttpFetcher& inet, const EventLog& log, const QString& deviceIp,
                    const X10Command& command, std::function<void(const FetchResult& result)> done);

} // namespace ovlix
