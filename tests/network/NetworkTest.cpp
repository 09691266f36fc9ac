#include "discovery/SearchPlan.h"
#include "network/AddressAssignment.h"
#include "network/AddressSetup.h"
#include "network/ArpEntries.h"
#include "network/ArpHelper.h"
#include "network/FacingInterface.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#ifdef Q_OS_WIN
#include "network/win32/WinSockets.h"
#endif

using namespace ovlix;
using namespace ovlix::test;
using Failure = FetchResult::Failure;
using Status = win32::SocketsStart::Status;

namespace {

// Loopback, a card that is down but kept its address, a cable on 192.168.1.0/24 (the device's
// network), Wi-Fi on 10.0.0.0/16 and within it a virtual machine's 10.0.5.0/24.
const QList<NetworkCard> kCards{{"lo", {{QHostAddress("127.0.0.1"), 8}}, true, true},
                                {"eth1", {{QHostAddress("10.0.0.2"), 24}}, false},
                                {"eth0", {{QHostAddress("192.168.1.10"), 24}}},
                                {"wlan0", {{QHostAddress("10.0.0.2"), 16}}},
                                {"vboxnet0", {{QHostAddress("10.0.5.1"), 24}}},
                                {"any", {{QHostAddress("10.0.5.3"), 0}}, true, true}};

FetchResult failed(Failure failure)
{
    return {false, {}, "failed", failure};
}

struct Pc {
    AddressAssignment::Seams seams(const QString& netset)
    {
        const auto cards = [] { return kCards; };
        return {files.log(),        launcher, *commands, *inet, [this] { return refusal; },
                files.path(netset), cards};
    }
    // Answers each request in turn with the next answer, the last one for ever, until `over`.
    void answer(const QList<FetchResult>& answers, const std::function<bool()>& over)
    {
        for (qsizetype i = 0; waitUntil([&] { return device.count() > i || over(); }) && !over();)
            device.answer(i, answers.value(i, answers.last())), ++i;
    }
    FilesFolder files;
    RecordingLauncher launcher;
    WindowsNetworkCommands windows;
    LinuxNetworkCommands onLinux;
    const NetworkCommands* commands = &windows;
    HeldRequests device;
    std::unique_ptr<HttpFetcher> inet = device.fetcher();
    QString refusal;
    FixedHostLookup hosts;
};

const QString kIp = "192.168.1.250", kMac = "00-03-75-aa-bb-cc";
const QString kSet = "arp -s 192.168.1.250 00-03-75-aa-bb-cc 192.168.1.10";
const QString kNoPing = "Failed to ping Ovlix.  Please try again.\r\n";
const QString kSomething = "Something answered at 192.168.1.250, but not as an Ovlix: another "
                           "device may already use this address.";
const QString kNothing = "Nothing answered at 192.168.1.250: the device did not take the address; "
                         "check its cable and power, the MAC address, and that it was reset or "
                         "restarted just before.";
const QString kSaved = "lastip, 192.168.1.250\r\nlastmac, 00-03-75-aa-bb-cc\r\n";

} // namespace

#ifdef Q_OS_WIN
// The system's own Windows Sockets: only "localhost" is resolved, from the hosts file.
TEST(WinSockets, StartVersionOneOneNameTheHostResolveLocalhostAndStop)
{
    const win32::SocketsStart start = win32::startSockets();
    EXPECT_TRUE(start.status == Status::Started && start.major == 1 && start.minor == 1);
    const win32::HostName host = win32::localHostName();
    EXPECT_TRUE(host.error == 0 && !host.name.empty() &&
                host.name == QString::fromStdString(host.name).trimmed().toStdString())
        << host.name;
    const auto loopback = win32::ipv4AddressesOf("localhost");
    EXPECT_TRUE(loopback && std::ranges::count(*loopback, std::vector<std::uint8_t>{127, 0, 0, 1}));
    EXPECT_TRUE(win32::stopSockets());
}
#endif

// Linux never settles for loopback; Windows takes the name's first address and stops the
// sockets that it started, whatever the lookup gave.
TEST(GetHostIP, ChoosesTheAddressAndLogsEveryFailureAsOnItsPlatform)
{
    using Addresses = std::optional<QList<QHostAddress>>;
    const QHostAddress lo("127.0.0.1"), debian("127.0.1.1"), lan("192.168.1.10");
    const QString stop = "Socket error occurred in Cleanup.";
    const QString only = "GetHostIP: no address of this PC but loopback";
    const QString none = "ERROR::Windows Sockets are not responding. Unable to successfully get "
                         "Host Name.";
    const QString few = "ERROR::This application requires a minimum of 1 supported sockets.";
    const QString old = "Sockets version 1.0 is not supported by 32-bit Windows Sockets.";
    const std::tuple<bool, Status, Addresses, QList<NetworkCard>, QString, QStringList> cases[] = {
        {false, {}, {{debian, lan, QHostAddress("10.0.0.2")}}, {}, "192.168.1.10", {}},
        {false, {}, {{debian}}, kCards, "192.168.1.10", {}},
        {false, {}, {{}}, kCards.mid(3), "10.0.0.2", {}},
        {false, {}, {{debian}}, kCards.mid(0, 2), "", {only}},
        {false, {}, std::nullopt, kCards, "", {none}},
        {true, {}, {{lo, lan}}, {}, "127.0.0.1", {stop}},
        {true, {}, {{}}, kCards, "", {stop}},
        {true, {}, std::nullopt, {}, "", {none, stop}},
        {true, Status::NotResponding, {{lan}}, {}, "", {"Windows Socket is not responding."}},
        {true, Status::TooFewSockets, {{lan}}, {}, "", {few}},
        {true, Status::VersionTooOld, {{lan}}, {}, "", {old}},
    };
    for (const auto& [windows, started, named, cards, address, log] : cases) {
        FilesFolder files;
        FixedHostLookup lookup;
        std::tie(lookup.asOnWindows, lookup.named) = std::tie(windows, named);
        lookup.start = {started, 1, 0};
        EXPECT_EQ(GetHostIP(files.log(), lookup, cards), address);
        EXPECT_EQ(files.logMessages(), log) << address.toStdString();
    }
    FilesFolder files;
    FixedHostLookup lookup;
    lookup.nameError = 36;
    EXPECT_EQ(GetHostIP(files.log(), lookup, kCards), "");
    EXPECT_EQ(
        files.logMessages().join(""),
        "ERROR::Windows Sockets error 36 has occurred. Unable to successfully get Host Name.");
}

TEST(ArpEntries, WindowsLinesAreAsTypedAndOnlyTheBareDeleteDecides)
{
    const QString ip = "10.0.0.5", mac = "00-03-75-10-01-55";
    EXPECT_EQ(WindowsNetworkCommands().setArpEntry(ip, mac, {}), "arp -s " + ip + " " + mac + " ");
    FilesFolder files;
    RecordingLauncher launcher;
    launcher.failing = true;
    EXPECT_FALSE(DeleteArpEntry(files.log(), launcher, ip));
    const QString cannot = "Error in RunApp sub: could not Shell file: arp -d ";
    const QString error = " Error# 2 was generated by OvlixSetup No such file";
    EXPECT_EQ(files.logMessages(),
              (QStringList{"Delete ARP table", "Run App:  arp -d 10.0.0.5", cannot + ip + error,
                           "Run App:  arp -d ", cannot + error, "ERROR::Delete ARP entry. "}));
    EXPECT_EQ(macAddressForArp("00:03:75:AA:bb:cc"), "00-03-75-AA-bb-cc");
    for (const char* wrong :
         {"00-03-75-10-01", "00-03-75-10-01-55-66", "00:03-75:10:01:55", "00-03-75-10-01-5g"})
        EXPECT_EQ(macAddressForArp(wrong), std::nullopt) << wrong;
}

// Without the right, the lines that change the table go through pkexec and the
// helper, each change logged once more; a right refused is one sentence and is
// not asked for again; with the right, or without the helper, nothing changes.
TEST(ArpHelper, ChangesGoThroughPkexecUntilTheRightIsRefused)
{
#ifdef Q_OS_WIN
    GTEST_SKIP() << "pkexec and the ARP helper are Linux's";
#endif
    const QString helper = "/bin/true", set = "arp -i eth0 -s 10.0.0.5 00:03:75:10:01:55";
    const QString own = "Start ovlix as root.",
                  through = "Through the ARP helper: pkexec /bin/true ";
    const QString cannot = "Error in RunApp sub: could not Shell file: ";
    // A delete and a set; what pkexec was asked, also by the next setup's delete, the log but
    // the documented lines, what the plain launcher started, the refusal.
    const auto deleteAndSet = [&](PkexecRun run, QString ownRefusal, QString path) {
        FilesFolder files;
        RecordingLauncher others;
        QList<QStringList> asked;
        ArpHelperLauncher launcher(files.log(), others,
                                   {path, [=] { return ownRefusal; },
                                    [&](const QStringList& arguments) {
                                        asked.append(arguments);
                                        return run;
                                    }});
        DeleteArpEntry(files.log(), launcher, "10.0.0.5");
        SetArpEntry(files.log(), launcher, LinuxNetworkCommands(), "10.0.0.5", "00-03-75-10-01-55",
                    {"eth0", "10.0.0.1"});
        EXPECT_EQ(files.logMessages().filter(QRegularExpression("^(Delete|Set|Run)")),
                  (QStringList{"Delete ARP table", "Run App:  arp -d 10.0.0.5", "Run App:  arp -d ",
                               "Set ARP entry: " + set, "Run App:  " + set}));
        auto seen =
            std::tuple(asked, files.logMessages().filter(QRegularExpression("^(Thr|Err|ERR)")),
                       others.commandLines, launcher.refusal());
        launcher.startDetached("arp -d 10.0.0.5");
        std::get<0>(seen) = asked;
        return seen;
    };
    const QStringList plain{"arp -d 10.0.0.5", "arp -d ", set};
    const QStringList twice{through + "delete 10.0.0.5",
                            through + "set eth0 10.0.0.5 00:03:75:10:01:55"};
    const QStringList del{helper, "delete", "10.0.0.5"};
    const QList<QStringList> allAsked{
        del, {helper, "set", "eth0", "10.0.0.5", "00:03:75:10:01:55"}, del};
    EXPECT_EQ(deleteAndSet({true, 0, ""}, own, helper),
              std::tuple(allAsked, twice, QStringList{"arp -d "}, QString()));
    EXPECT_EQ(deleteAndSet({}, own, "/nonexistent/helper"),
              std::tuple(QList<QStringList>(), QStringList(), plain, own));
    const QString notUp = " Error# 2 was generated by true ovlix-arp-helper: eth0 is not up";
    EXPECT_EQ(deleteAndSet({true, 2, "ovlix-arp-helper: eth0 is not up"}, own, helper),
              std::tuple(allAsked,
                         QStringList{twice[0], cannot + "arp -d 10.0.0.5" + notUp, twice[1],
                                     cannot + set + notUp, "ERROR::Set ARP entry failed.  "},
                         QStringList{"arp -d "}, QString()));

    const QString as = "Error executing command as another user: ";
    const std::pair<PkexecRun, QString> refusals[] = {
        {{true, 126, as + "Request dismissed"},
         "The password dialog was dismissed, so the ARP table was not changed."},
        {{true, 127, as + "Not authorized"},
         "Changing the ARP table was not allowed: the password "
         "was refused, or this user may not do it."},
        {{true, 127, as + "No authentication agent found."},
         "No authentication agent is running to ask for the administrator's password, which "
         "changing the ARP table needs: start NetworkTest from your desktop, or as root."},
        {{false, 0, "execvp: No such file or directory"},
         "NetworkTest may not change the ARP table of this computer itself, and pkexec, which "
         "asks for that right, is not installed: install pkexec, or start NetworkTest as root."},
        {{true, 127, "Cannot run program /x"},
         "pkexec could not start the ARP helper: Cannot run program /x"},
    };
    for (const auto& [run, sentence] : refusals) {
        const QString error =
            QString(" Error# %1 was generated by pkexec ").arg(run.exitCode) + run.errorLine;
        // Not asked again for the set, but for the next setup.
        EXPECT_EQ(deleteAndSet(run, own, helper),
                  std::tuple(QList<QStringList>{del, del},
                             QStringList{twice[0], cannot + "arp -d 10.0.0.5" + error,
                                         cannot + set + error, "ERROR::Set ARP entry failed.  "},
                             QStringList{"arp -d "}, sentence));
    }
}

// The press chooses the card once, from the cards listed, and Linux arp is given its name.
TEST(CardFacing, PicksTheCardWhoseNarrowestNetworkHoldsTheAddressAndSaysWhy)
{
    const QString faces = "Network card %1 faces %2: its network %3 holds it";
    const QString none = "No network card has %1 on its network; the host address %2 is used";
    // What was typed, the host address found at load, the log line, the card arp is given.
    const std::tuple<QString, QString, QString, QString> cases[] = {
        {"10.0.0.9", "10.0.5.1", faces.arg("wlan0 (10.0.0.2)", "10.0.0.9", "10.0.0.0/16"),
         "-i wlan0 "},
        {"10.0.5.20:8080", "", faces.arg("vboxnet0 (10.0.5.1)", "10.0.5.20:8080", "10.0.5.0/24"),
         "-i vboxnet0 "},
        {"172.16.0.5", "10.0.0.2", none.arg("172.16.0.5", "10.0.0.2"), "-i wlan0 "},
        {"127.0.0.1:9", "10.0.0.9", none.arg("127.0.0.1:9", "10.0.0.9"), ""},
        {"ovlix.local", "10.0.5.3", none.arg("ovlix.local", "10.0.5.3"), ""},
        {"172.16.0.5", "",
         "No network card has 172.16.0.5 on its network; no host address is known either", ""}};
    for (const auto& [typed, hostIp, line, card] : cases) {
        Pc pc;
        pc.commands = &pc.onLinux;
        AddressAssignment(pc.seams("netset")).press(typed, kMac, hostIp);
        EXPECT_EQ(pc.files.logMessages().mid(0, 1) + pc.launcher.commandLines.mid(2),
                  QStringList({line, "arp " + card + "-s " + typed + " 00:03:75:aa:bb:cc",
                               "ping -c 4 " + typed}));
        EXPECT_EQ(onSomeNetwork(typed, kCards), line.startsWith("Network")) << typed.toStdString();
    }
    const QString offNetwork = "The address 172.16.0.5 is on none of this PC's networks (%1).";
    EXPECT_EQ(whyNoOvlixAnswered("172.16.0.5", Failure::NoAnswer, kCards),
              offNetwork.arg("192.168.1.0/24 on eth0, 10.0.0.0/16 on wlan0, 10.0.5.0/24 on "
                             "vboxnet0"));
    EXPECT_EQ(whyNoOvlixAnswered("172.16.0.5", Failure::Refused, kCards.mid(0, 2)),
              offNetwork.arg("it has none but loopback"));
}

// A search asks every host address of the networks once, never their own, broadcast or the PC's
// addresses, and cuts what is too large to the PC's /24.
TEST(SearchPlan, AsksEachHostAddressOnceAndCutsLargeNetworksToThePcsOwn)
{
    const QList<NetworkCard> twoOnOne{
        {"eth0", {{QHostAddress("10.1.0.5"), 24}, {QHostAddress("10.7.3.20"), 16}}},
        {"eth1", {{QHostAddress("10.1.0.7"), 24}}}};
    // The cards, the networks asked for, the networks searched | the addresses asked, in runs.
    const std::tuple<QList<NetworkCard>, QString, QString> cases[] = {
        {kCards, "",
         "192.168.1.0/24, 10.0.0.0/24 (cut from 10.0.0.0/16), 10.0.5.0/24 | "
         "192.168.1.1-192.168.1.9, 192.168.1.11-192.168.1.254, 10.0.0.1, 10.0.0.3-10.0.0.254, "
         "10.0.5.2-10.0.5.254"},
        {twoOnOne, "",
         "10.1.0.0/24, 10.7.3.0/24 (cut from 10.7.0.0/16) | 10.1.0.1-10.1.0.4, 10.1.0.6, "
         "10.1.0.8-10.1.0.254, 10.7.3.1-10.7.3.19, 10.7.3.21-10.7.3.254"},
        {kCards, "10.0.0.2/31 10.0.0.9/32 192.168.1.10/32 10.0.0.255/31",
         "10.0.0.2/31, 10.0.0.9/32, 192.168.1.10/32, 10.0.0.254/31 | 10.0.0.3, 10.0.0.9, "
         "10.0.0.254-10.0.0.255"},
        {kCards, "10.9.4.0/22 10.9.4.0/21 0.0.0.0/0",
         "10.9.4.0/22, 10.9.0.0/24 (cut from 10.9.0.0/21), 192.168.1.0/24 (cut from 0.0.0.0/0) | "
         "10.9.4.1-10.9.7.254, 10.9.0.1-10.9.0.254, 192.168.1.1-192.168.1.9, "
         "192.168.1.11-192.168.1.254"},
        {kCards, "10.0.0.0/28 10.0.0.0/24 10.0.0.5/30",
         "10.0.0.0/24 | 10.0.0.1, 10.0.0.3-10.0.0.254"},
        {kCards.mid(0, 2), "", "no network | "}};
    for (const auto& [cards, requested, expected] : cases) {
        QList<Ipv4Network> networks;
        for (const QString& text : requested.split(' ', Qt::SkipEmptyParts))
            networks.append(Ipv4Network::parse(text).value());
        const QList<quint32> asked = planSearch(networks, cards).addresses;
        QStringList runs; // "10.0.0.3-10.0.0.254": each run of consecutive addresses
        for (qsizetype first = 0, last = 0; first < asked.size(); first = ++last) {
            while (last + 1 < asked.size() && asked[last + 1] == asked[last] + 1)
                ++last;
            runs.append(QHostAddress(asked[first]).toString() +
                        (last == first ? "" : "-" + QHostAddress(asked[last]).toString()));
        }
        EXPECT_EQ(planSearch(networks, cards).networksText() + " | " + runs.join(", "), expected);
    }
}

TEST(AddressAssignment, EveryFailureOfTheTickIsToldAndLoggedAndSavesNothing)
{
    const QString notFound = "PingOvlix: index.htm version not found";
    const QStringList cannot{"Error in RunApp sub: could not Shell file: " + kSet +
                                 " Error# 2 was generated by OvlixSetup No such file",
                             "ERROR::Set ARP entry failed.  "};
    const QString noArp = "Failed to Set ARP table.\r\n", why = kSomething + "\r\n";
    // The answer, whether the commands start, the refusal, the message after "Error: ", the log
    // after the entry's lines.
    const std::tuple<FetchResult, bool, QString, QString, QStringList> cases[] = {
        {failed(Failure::Refused), false, "", kNoPing + why, {notFound, kSomething}},
        {failed(Failure::NoAnswer), false, "", kNoPing + kNothing + "\r\n", {notFound, kNothing}},
        {failed(Failure::Other), false, "", kNoPing, {notFound}},
        {failed(Failure::NoAnswer), false, "No.", kNoPing + "No.\r\n", {notFound, "No."}},
        {versionPage("2.1a"), true, "", noArp, cannot},
        {failed(Failure::Closed), true, "", noArp + kNoPing + why,
         cannot + QStringList{notFound, kSomething}},
    };
    for (const auto& [answer, launcherFails, refusal, message, log] : cases) {
        Pc pc;
        std::tie(pc.launcher.failing, pc.refusal) = std::tie(launcherFails, refusal);
        AddressAssignment assignment(pc.seams("netset"));
        std::optional<AddressAssignment::Outcome> outcome;
        assignment.tick(
            kIp, kMac, {"eth0", "192.168.1.10"}, [] { FAIL(); },
            [&outcome](const AddressAssignment::Outcome& o) { outcome = o; });
        pc.answer({answer}, [&] { return outcome.has_value(); });
        ASSERT_TRUE(outcome.has_value());
        EXPECT_EQ(outcome->message, "Error: " + message);
        EXPECT_EQ(outcome->version, answer.ok ? std::optional<QString>("2.1a") : std::nullopt);
        EXPECT_EQ(pc.files.logMessages(),
                  QStringList({"Set ARP entry: " + kSet, "Run App:  " + kSet}) + log);
        EXPECT_FALSE(outcome->assigned || QFile::exists(pc.files.path("netset")));
    }
}

TEST(AddressSetup, ProbesUntilTheDeviceAnswersOrTheWaitIsOverAndTellsEachChange)
{
    using Result = AddressSetup::Result;
    const QString start =
        "static ARP entry for " + kIp + " set (host address 192.168.1.10), ping started";
    const QString notSaved = "The address could not be saved: ";
    const FetchResult page{true, "<h1>It works</h1>", {}, {}};
    QList<FetchResult> many;
    for (Failure f :
         {Failure::NoAnswer, Failure::NoAnswer, Failure::HostNotFound, Failure::Unreachable,
          Failure::Closed, Failure::Other, Failure::None, Failure::Refused})
        many.append(f == Failure::None ? page : failed(f));
    const QStringList manyTold =
        QStringList{start} +
        QString("probe 1: no answer|probe 3: the address was not found|probe 4: the address is "
                "unreachable|probe 5: the connection closed before an answer|probe 6: the request "
                "failed|probe 7: a page without a version|probe 8: the connection was refused")
            .split('|');
    const QList<FetchResult> answered{failed(Failure::NoAnswer), versionPage("2.1a")};
    const QStringList saved{start, "probe 1: no answer", "probe 2: version 2.1a; settings saved"};
    const QStringList unsaved{start, "probe 1: version 2.1a; settings not saved"};
    const std::tuple<QList<FetchResult>, QString, QString, Result, QString, QStringList> cases[] = {
        {answered, "", "netset", Result::Done, "", saved},
        {{versionPage("2.1a")}, "", "missing/netset", Result::Done, notSaved, unsaved},
        {{versionPage("2.1a")}, "May not.", "netset", Result::NotAllowed, "May not.", {}},
        {many, "", "netset", Result::NoAnswer, kSomething, manyTold},
    };
    for (const auto& [answers, refusal, netset, result, message, stages] : cases) {
        Pc pc;
        pc.refusal = refusal;
        AddressSetup setup(pc.seams(netset), pc.hosts, std::chrono::milliseconds(400),
                           std::chrono::milliseconds(10));
        QStringList told;
        std::optional<AddressSetup::Outcome> outcome;
        setup.run(
            kIp, kMac,
            [&told](std::chrono::milliseconds at, const QString& what) {
                // Each stage is told with its time since the start, within the wait.
                EXPECT_TRUE(at.count() >= 0 && at.count() < 5000) << at.count();
                told.append(what);
            },
            [&outcome](const AddressSetup::Outcome& o) { outcome = o; });
        pc.answer(answers, [&] { return outcome.has_value(); });
        ASSERT_TRUE(outcome.has_value());
        EXPECT_EQ(outcome->result, result);
        EXPECT_EQ(outcome->message.left(message.size()), message);
        EXPECT_EQ(outcome->message.size() > message.size(), message == notSaved);
        EXPECT_EQ(told, stages);
        const QStringList log = pc.files.logMessages();
        // The entry is set at every probe, and logged at the press and the first.
        EXPECT_EQ(log.count("Run App:  " + kSet), result == Result::NotAllowed ? 0 : 2);
        EXPECT_EQ(log.contains(message), result != Result::Done);
        EXPECT_EQ(log.contains("ERROR::SaveNetSettings: " + outcome->message.mid(notSaved.size())),
                  message == notSaved);
        EXPECT_EQ(pc.files.read("netset"),
                  stages.join("").endsWith("settings saved") ? kSaved : "");
    }
    Pc pc; // no host address and no card facing the device: the entry goes without one
    pc.hosts.named = std::nullopt;
    AddressSetup setup(pc.seams("netset"), pc.hosts, std::chrono::milliseconds(50));
    QString told;
    setup.run("172.16.0.5", kMac,
              [&told](std::chrono::milliseconds, const QString& what) { told += what; }, {});
    EXPECT_EQ(told, "static ARP entry for 172.16.0.5 set (host address none), ping started");
    Pc slow; // silent a while: the first probe's lines, then a line every fourth probe and each
             // change
    AddressSetup waiting(slow.seams("netset"), slow.hosts, std::chrono::seconds(20),
                         std::chrono::milliseconds(10));
    bool over = false;
    waiting.run(kIp, kMac, {}, [&over](AddressSetup::Outcome) { over = true; });
    QList<FetchResult> answers(9, failed(Failure::NoAnswer));
    slow.answer(answers += {kConnectionRefused, versionPage("2.1a")}, [&over] { return over; });
    const QStringList log = slow.files.logMessages();
    EXPECT_EQ(log.mid(log.indexOf("Run App:  ping 192.168.1.250") + 1).join('\n').toStdString(),
              ("Set ARP entry: " + kSet + "\nRun App:  " + kSet +
               QString("\nPingOvlix: index.htm version not found").repeated(4))
                  .toStdString());
}
