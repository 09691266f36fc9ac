#include "AddressSetup.h"

#include "ArpEntries.h"
#include "core/EventLog.h"
#include "device/DeviceRequests.h"
#include "HostAddress.h"
#include "NetSettings.h"

#include <QRegularExpression>

namespace ovlix {

// Keeps what is written through it, for the setup to write or drop once it
// knows whether the lines tell anything new.
class HeldLines : public EventLog {
public:
    explicit HeldLines(const EventLog& log) : EventLog(log) {}
    void WriteLog(const QString& message) const override { held_.append(message); }
    QStringList take() const { return std::exchange(held_, {}); }
    void write(const QStringList& lines) const
    {
        for (const QString& line : lines)
            EventLog::WriteLog(line);
    }

private:
    mutable QStringList held_;
};

namespace {

// An outcome that does not change is logged once a second at the
// quarter-second rounds, not at every probe.
constexpr int kProbesPerRepeatedLine = 4;

QString whatMet(FetchResult::Failure failure)
{
    using Failure = FetchResult::Failure;
    switch (failure) {
    case Failure::None:
        return QStringLiteral("a page without a version");
    case Failure::HostNotFound:
        return QStringLiteral("the address was not found");
    case Failure::Refused:
        return QStringLiteral("the connection was refused");
    case Failure::Unreachable:
        return QStringLiteral("the address is unreachable");
    case Failure::NoAnswer:
        return QStringLiteral("no answer");
    case Failure::Closed:
        return QStringLiteral("the connection closed before an answer");
    case Failure::Other:
        break;
    }
    return QStringLiteral("the request failed");
}

} // namespace

AddressSetup::AddressSetup(AddressAssignment::Seams seams, HostLookup& hosts,
                           std::chrono::milliseconds wait, std::chrono::milliseconds interval)
    : seams_(std::move(seams)), hosts_(hosts), assignment_(seams_),
      held_(std::make_shared<HeldLines>(seams_.log))
{
    rounds_.setInterval(interval);
    rounds_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&rounds_, &QTimer::timeout, &rounds_, [this] { probe(); });
    deadline_.setInterval(wait);
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline_, &QTimer::timeout, &deadline_, [this] {
        // A probe that never came back counts as no answer.
        const QString why = whyNoOvlixAnswered(
            ip_, lastFailure_.value_or(FetchResult::Failure::NoAnswer), seams_.cards());
        if (!why.isEmpty())
            seams_.log.WriteLog(why);
        finish({Result::NoAnswer, std::nullopt, why});
    });
}

void AddressSetup::run(const QString& ip, const QString& mac, Stage stage,
                       std::function<void(Outcome)> done)
{
    clock_.start();
    ip_ = ip;
    mac_ = mac;
    stage_ = std::move(stage);
    done_ = std::move(done);
    // Without the right nothing below can work: said before anything is sent
    // to the device, and when asking for it at the press was refused.
    const auto refused = [this] {
        const QString refusal = seams_.arpTableRefusal();
        if (!refusal.isEmpty()) {
            seams_.log.WriteLog(refusal);
            finish({Result::NotAllowed, std::nullopt, refusal});
        }
        return !refusal.isEmpty();
    };
    if (refused())
        return;
    card_ = assignment_.press(ip, mac, GetHostIP(seams_.log, hosts_, seams_.cards()));
    if (refused())
        return;
    report(QStringLiteral("static ARP entry for %1 set (host address %2), ping started")
               .arg(ip, card_.address.isEmpty() ? QStringLiteral("none") : card_.address));
    deadline_.start();
    rounds_.start();
    probe();
}

void AddressSetup::probe()
{
    // The entry is set again every round; its lines are logged when they change.
    SetArpEntry(*held_, seams_.launcher, seams_.commands, ip_, mac_, card_);
    const QStringList entryLines = held_->take();
    if (entryLines != lastEntryLines_)
        held_->write(entryLines);
    lastEntryLines_ = entryLines;
    const int number = ++probes_;
    probeVersion(
        seams_.inet, *held_, ip_,
        [this, number, held = held_, alive = std::weak_ptr<bool>(alive_)](VersionProbe answer) {
            const QStringList lines = held->take();
            if (alive.expired() || !done_)
                return;
            if (answer.version) {
                // The device has the address whether or not it could be saved.
                const SaveResult saved = SaveNetSettings(seams_.log, seams_.netsetFile, ip_, mac_);
                report(QStringLiteral("probe %1: version %2; %3")
                           .arg(number)
                           .arg(*answer.version, saved.ok ? QStringLiteral("settings saved")
                                                          : QStringLiteral("settings not saved")));
                finish({Result::Done, answer.version,
                        saved.ok
                            ? QString()
                            : QStringLiteral("The address could not be saved: ") + saved.error});
                return;
            }
            // Each change is told once, not every quarter second.
            const bool changed = answer.failure != lastFailure_ || lines != lastProbeLines_;
            if (answer.failure != lastFailure_)
                report(QStringLiteral("probe %1: %2").arg(number).arg(whatMet(answer.failure)));
            if (changed || number >= lastLoggedProbe_ + kProbesPerRepeatedLine) {
                held->write(lines);
                lastLoggedProbe_ = number;
            }
            lastFailure_ = answer.failure;
            lastProbeLines_ = lines;
        });
}

void AddressSetup::finish(Outcome outcome)
{
    rounds_.stop();
    deadline_.stop();
    if (auto done = std::exchange(done_, {}))
        done(std::move(outcome));
}

void AddressSetup::report(const QString& what) const
{
    if (stage_)
        stage_(std::chrono::milliseconds(clock_.elapsed()), what);
}

std::optional<QString> macAddressForArp(const QString& text)
{
    static const QRegularExpression mac(
        QStringLiteral("^[0-9A-Fa-f]{2}([-:])[0-9A-Fa-f]{2}(\\1[0-9A-Fa-f]{2}){4}$"));
    if (!mac.match(text).hasMatch())
        return std::nullopt;
    return QString(text).replace(QLatin1Char(':'), QLatin1Char('-'));
}

} // namespace ovlix
