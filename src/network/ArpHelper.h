#pragma once

#include "core/CommandRunner.h"

#include <functional>
#include <optional>
#include <QStringList>

namespace ovlix {

class EventLog;

// What pkexec did with a request for the ARP helper.
struct PkexecRun {
    bool started = false;
    int exitCode = 0;
    QString errorLine; // the first line it or the helper wrote to standard error
};

// The helper's arguments for an arp command line that changes the table
// ("arp -d IP", "arp -i CARD -s IP MAC"); empty for any other line.
QStringList arpHelperArguments(const QString& commandLine);

// The one sentence that tells the user why pkexec did not give the right;
// empty when it did, or when the helper itself answered.
QString pkexecRefusal(const PkexecRun& run);

// The network setup's commands for a program that may not change the ARP
// table itself: the lines that change it run as "pkexec HELPER ..." and are
// waited for, so that the password is asked once and a refusal is known
// before the next step; after a refusal, only the next setup's delete asks
// again. Every
// other line, and every line of a program that has the right or where the
// helper is not installed, goes to `others` unchanged.
class ArpHelperLauncher final : public ProcessLauncher {
public:
    struct Seams {
        QString helper;
        // Why the program may not change the table itself; empty when it may.
        std::function<QString()> platformRefusal;
        std::function<PkexecRun(const QStringList& arguments)> pkexec;
    };
    // The installed helper, this platform's rights and the real pkexec.
    static Seams systemSeams();

    ArpHelperLauncher(const EventLog& log, ProcessLauncher& others, Seams seams = systemSeams());

    StartOutcome startDetached(const QString& commandLine) override;
    // Why the ARP table may not be changed, as far as is known: empty while
    // pkexec may still give the right.
    QString refusal() const;

private:
    const EventLog& log_;
    ProcessLauncher& others_;
    Seams seams_;
    bool throughHelper_;
    std::optional<PkexecRun> refused_;
    QString lastChange_;
};

} // namespace ovlix
