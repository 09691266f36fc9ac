// ovlix-arp-helper: the one step of the network setup that needs root, run by
// pkexec under the polkit action io.github.ovlixsetup.arp-entry for a user's
// OvlixSetup or ovlix. It takes "set CARD IP MAC" or "delete IP" and nothing
// else, refuses whatever is not plainly a device's address on one of this
// PC's networks, and changes the neighbour table over rtnetlink itself: no
// shell, no PATH lookup of arp, and the kernel's own error for each change.
//
// Exit codes: 0 done, 1 the system refused the change, 2 a request refused
// here, 3 not run as root.

#include "HelperRequest.h"
#include "NeighbourTable.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <pwd.h>
#include <syslog.h>
#include <unistd.h>

using namespace ovlix::arphelper;

namespace {

constexpr const char* kName = "ovlix-arp-helper";

int fail(int code, const std::string& why)
{
    std::fprintf(stderr, "%s: %s\n", kName, why.c_str());
    return code;
}

// Who asked: the user pkexec names, else whoever started the helper as root.
std::string requester()
{
    const char* pkexecUid = std::getenv("PKEXEC_UID");
    uid_t uid = getuid();
    if (pkexecUid != nullptr && *pkexecUid != '\0' &&
        std::strspn(pkexecUid, "0123456789") == std::strlen(pkexecUid))
        uid = uid_t(std::strtoul(pkexecUid, nullptr, 10));
    const passwd* user = getpwuid(uid);
    return std::string(user != nullptr ? user->pw_name : "unknown user") + " (uid " +
           std::to_string(uid) + ')';
}

int changed(int answer, const std::string& change, const std::string& user)
{
    if (answer != 0)
        return fail(1, change + ": " + std::strerror(answer));
    syslog(LOG_NOTICE, "%s for %s", change.c_str(), user.c_str());
    return 0;
}

int changeTable(int argc, char* argv[])
{
    const std::string user = requester();
    // Nothing of the caller's environment is used past this point.
    clearenv();
    if (geteuid() != 0)
        return fail(3, "must be run as root, through pkexec");
    const std::vector<Card> cards = systemCards();
    const Request request = checkRequest({argv + std::min(argc, 1), argv + argc}, cards);
    if (const auto* refusal = std::get_if<Refusal>(&request))
        return fail(2, refusal->why);
    openlog(kName, LOG_PID, LOG_AUTHPRIV);
    if (const auto* entry = std::get_if<SetEntry>(&request))
        return changed(setPermanentEntry(*entry),
                       "static ARP entry " + ipText(entry->ip) + " -> " + macText(entry->mac) +
                           " set on " + entry->card,
                       user);
    const auto& entries = std::get<DeleteEntries>(request);
    return changed(deleteEntries(entries, cards),
                   "ARP entries for " + ipText(entries.ip) + " deleted", user);
}

} // namespace

int main(int argc, char* argv[])
{
    try {
        return changeTable(argc, argv);
    } catch (const std::exception& error) { // no memory for a string
        std::fprintf(stderr, "%s: %s\n", kName, error.what());
        return 1;
    }
}
