#include "ArpHelper.h"

#include "ArpEntries.h"
#include "core/EventLog.h"
#include "OvlixConfig.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <utility>

namespace ovlix {

QStringList arpHelperArguments(const QString& commandLine)
{
    const QStringList words = QProcess::splitCommand(commandLine);
    if (words.value(0) != QLatin1String("arp"))
        return {};
    if (words.size() == 3 && words[1] == QLatin1String("-d"))
        return {QStringLiteral("delete"), words[2]};
    if (words.size() == 6 && words[1] == QLatin1String("-i") && words[3] == QLatin1String("-s"))
        return {QStringLiteral("set"), words[2], words[4], words[5]};
    // No card faces the device: the helper says that it needs one.
    if (words.size() == 4 && words[1] == QLatin1String("-s"))
        return {QStringLiteral("set"), QString(), words[2], words[3]};
    return {};
}

QString pkexecRefusal(const PkexecRun& run)
{
    constexpr int kDismissed = 126;
    constexpr int kNotRun = 127;
    const QString program = QCoreApplication::applicationName();
    if (!run.started)
        return QStringLiteral(
                   "%1 may not change the ARP table of this computer itself, and pkexec, "
                   "which asks for that right, is not installed: install pkexec, or "
                   "start %1 as root.")
            .arg(program);
    if (run.exitCode == kDismissed)
        return QStringLiteral(
            "The password dialog was dismissed, so the ARP table was not changed.");
    if (run.exitCode != kNotRun)
        return {};
    if (run.errorLine.contains(QLatin1String("No authentication agent")))
        return QStringLiteral("No authentication agent is running to ask for the administrator's "
                              "password, which changing the ARP table needs: start %1 from "
                              "your desktop, or as root.")
            .arg(program);
    if (run.errorLine.contains(QLatin1String("Not authorized")))
        return QStringLiteral("Changing the ARP table was not allowed: the password was refused, "
                              "or this user may not do it.");
    return QStringLiteral("pkexec could not start the ARP helper: %1").arg(run.errorLine);
}

namespace {

PkexecRun runPkexec(const QStringList& arguments)
{
    QProcess pkexec;
    // Its messages untranslated, which tell its refusals apart; the password
    // dialog is the desktop's and speaks the user's language all the same.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    pkexec.setProcessEnvironment(environment);
    pkexec.setStandardInputFile(QProcess::nullDevice());
    pkexec.setStandardOutputFile(QProcess::nullDevice());
    pkexec.start(QStringLiteral("pkexec"), arguments);
    if (!pkexec.waitForStarted(-1))
        return {false, 0, pkexec.errorString()};
    // As long as the password dialog is open.
    pkexec.waitForFinished(-1);
    const QString error = QString::fromLocal8Bit(pkexec.readAllStandardError()).trimmed();
    return {true, pkexec.exitStatus() == QProcess::NormalExit ? pkexec.exitCode() : -1,
            error.section(QLatin1Char('\n'), 0, 0)};
}

} // namespace

ArpHelperLauncher::Seams ArpHelperLauncher::systemSeams()
{
    return {QStringLiteral(OVLIX_ARP_HELPER), &arpTableRefusal, &runPkexec};
}

ArpHelperLauncher::ArpHelperLauncher(const EventLog& log, ProcessLauncher& others, Seams seams)
    : log_(log), others_(others), seams_(std::move(seams)),
      throughHelper_(!seams_.platformRefusal().isEmpty() && QFileInfo(seams_.helper).isExecutable())
{
}

StartOutcome ArpHelperLauncher::startDetached(const QString& commandLine)
{
    const QStringList arguments = throughHelper_ ? arpHelperArguments(commandLine) : QStringList();
    if (arguments.isEmpty())
        return others_.startDetached(commandLine);
    const QString pkexec = QStringLiteral("pkexec");
    // Each setup begins with the delete and may ask again; its later lines may not.
    if (arguments[0] == QLatin1String("delete"))
        refused_.reset();
    if (refused_)
        return {false, refused_->exitCode, pkexec, refused_->errorLine};
    const QString change = QStringLiteral("Through the ARP helper: pkexec ") + seams_.helper +
                           QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
    // A setup sets the same entry again and again: said when it changes.
    if (change != std::exchange(lastChange_, change))
        log_.WriteLog(change);
    const PkexecRun run = seams_.pkexec(QStringList{seams_.helper} + arguments);
    if (!pkexecRefusal(run).isEmpty()) {
        refused_ = run;
        return {false, run.exitCode, pkexec, run.errorLine};
    }
    if (run.exitCode != 0)
        return {false, run.exitCode, QFileInfo(seams_.helper).fileName(), run.errorLine};
    return {true, 0, {}, {}};
}

QString ArpHelperLauncher::refusal() const
{
    if (!throughHelper_)
        return seams_.platformRefusal();
    return refused_ ? pkexecRefusal(*refused_) : QString();
}

} // namespace ovlix
