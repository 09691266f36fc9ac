#include "network/HostAddress.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace ovlix;
using namespace ovlix::test;

TEST(GetHostIP, TakesTheFirstAddressOfTheHostNameThatIsNotLoopback)
{
    FilesFolder files;
    FixedHostLookup lookup;
    lookup.named = QList<QHostAddress>{QHostAddress("127.0.1.1"), QHostAddress("192.168.1.10"),
                                       QHostAddress("10.0.0.2")};
    lookup.interfaces = {QHostAddress("10.0.0.2")};
    EXPECT_EQ(GetHostIP(files.log(), lookup), "192.168.1.10");

    // Debian's 127.0.1.1 for the name: an interface that is up has the address.
    lookup.named = QList<QHostAddress>{QHostAddress("127.0.1.1")};
    lookup.interfaces = {QHostAddress("127.0.0.1"), QHostAddress("10.0.0.2")};
    EXPECT_EQ(GetHostIP(files.log(), lookup), "10.0.0.2");

    EXPECT_TRUE(files.logMessages().isEmpty());

    // Nothing but loopback anywhere: no address rather than loopback, and why.
    lookup.interfaces = {QHostAddress("127.0.0.1")};
    EXPECT_EQ(GetHostIP(files.log(), lookup), "");
    EXPECT_EQ(files.logMessages(), QStringList{"GetHostIP: no address of this PC but loopback"});
}

TEST(GetHostIP, LogsWhyTheHostNameGaveNoAddressAndLeavesItEmpty)
{
    FilesFolder files;
    FixedHostLookup lookup;
    lookup.interfaces = {QHostAddress("192.168.1.10")};
    lookup.nameError = 36;
    EXPECT_EQ(GetHostIP(files.log(), lookup), "");
    lookup.nameError = 0;
    lookup.named = std::nullopt;
    EXPECT_EQ(GetHostIP(files.log(), lookup), "");
    EXPECT_EQ(files.logMessages(),
              (QStringList{"ERROR::Windows Sockets error 36 has occurred. Unable to successfully "
                           "get Host Name.",
                           "ERROR::Windows Sockets are not responding. Unable to successfully "
                           "get Host Name."}));
}

// The host name is left alone here: resolving it may ask a name server.
TEST(GetHostIP, TheSystemLookupListsTheInterfacesThatAreUp)
{
    SystemHostLookup lookup;
    EXPECT_TRUE(lookup.upInterfaceAddresses().contains(QHostAddress("127.0.0.1")));
    EXPECT_FALSE(lookup.hostName().name.isEmpty());
}
