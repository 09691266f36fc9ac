#pragma once

#include <QString>

namespace ovlix {

class EventLog;

// What the system said when asked to start a program.
struct StartOutcome {
    bool started = false;
    int errorNumber = 0;
    QString errorSource;
    QString errorDescription;
};

// Starts a program from a command line and returns at once, never waiting for
// it. The real one lives in a platform file; tests use a recorder.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    virtual StartOutcome startDetached(const QString& commandLine) = 0;
};

// The launcher of this platform: no shell, output discarded, and on Windows a
// minimised window that does not take the focus.
class SystemProcessLauncher : public ProcessLauncher {
public:
    StartOutcome startDetached(const QString& commandLine) override;
};

// Logs the command line, starts it, and logs why when it could not be started.
bool RunApp(const EventLog& log, ProcessLauncher& launcher, const QString& commandLine);

} // namespace ovlix
