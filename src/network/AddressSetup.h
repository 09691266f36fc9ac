#pragma once

#include "AddressAssignment.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace ovlix {

class HostLookup;
class HeldLines;

// How long one probe may take: a device that has its address answers within
// milliseconds, and a short deadline lets the next probe go out soon.
inline constexpr std::chrono::milliseconds kSetupProbeDeadline{1000};

// The address assignment for those who can wait as long as the device needs:
// the press's steps, then instead of one fixed wait the entry is set again and
// the device probed every quarter second, until it answers with a version or
// the wait is over. Each probe's deadline is that of the seams' fetcher.
class AddressSetup {
public:
    enum class Result { Done, NoAnswer, NotAllowed };
    struct Outcome {
        Result result = Result::NoAnswer;
        std::optional<QString> version;
        QString message; // why, when not done; done, what went wrong besides
    };
    // What has just happened, with the time since the start.
    using Stage = std::function<void(std::chrono::milliseconds sinceStart, const QString& what)>;

    AddressSetup(AddressAssignment::Seams seams, HostLookup& hosts, std::chrono::milliseconds wait,
                 std::chrono::milliseconds interval = std::chrono::milliseconds(250));

    // `mac` as arp takes it (macAddressForArp). `done` runs once, unless this
    // object goes away first.
    void run(const QString& ip, const QString& mac, Stage stage, std::function<void(Outcome)> done);

private:
    void probe();
    void finish(Outcome outcome);
    void report(const QString& what) const;

    AddressAssignment::Seams seams_;
    HostLookup& hosts_;
    AddressAssignment assignment_;
    QTimer rounds_;
    QTimer deadline_;
    QElapsedTimer clock_;
    QString ip_, mac_;
    ArpCard card_; // the card the press chose
    Stage stage_;
    std::function<void(Outcome)> done_;
    int probes_ = 0;
    std::optional<FetchResult::Failure> lastFailure_;
    // The rounds' log lines, held until it is known whether they tell anything new.
    std::shared_ptr<HeldLines> held_;
    QStringList lastEntryLines_, lastProbeLines_;
    int lastLoggedProbe_ = 0;
    // Answers of probes still in flight must not reach an object that is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// A MAC address written with "-" or ":" between its six groups, as the arp
// command takes it: with dashes (Linux arp is given colons later); nothing
// when the text is not a MAC address.
std::optional<QString> macAddressForArp(const QString& text);

} // namespace ovlix
