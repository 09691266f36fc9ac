#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace ovlix {
class DeviceSimulator;
}

namespace ovlix::test {

// Runs the terminal session of `file` (tests/cli/ovlix-session.txt tells how
// to read one) in a folder of the program's files, a run at a time, and
// checks each run whole. `words` are the session's %WORDS% and what they stand
// for; `labelsFile` is the folder's labels file; the folder's netset names
// `device` when one is given, and the requests it receives are shown.
void runTerminalSession(const QString& file, QMap<QString, QString> words,
                        const QByteArray& labelsFile, DeviceSimulator* device = nullptr);

} // namespace ovlix::test
