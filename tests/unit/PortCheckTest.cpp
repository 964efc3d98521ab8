#include "server/PortCheck.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

namespace {

// The port field as the table stores it: network byte order in the low 16 bits.
std::uint32_t Field(unsigned short port) { return static_cast<std::uint32_t>((port >> 8) | ((port & 0xFF) << 8)); }

CTcpTableRow Row(std::initializer_list<int> address, unsigned short port = 25600,
                 std::uint32_t state = kTcpStateListen, std::uint32_t pid = 0)
{
    CTcpTableRow row;
    row.m_bIpv6 = address.size() == 16;
    int i = 0;
    for (int b : address)
        row.m_aAddress[i++] = static_cast<std::uint8_t>(b);
    row.m_nPortField = Field(port);
    row.m_nState = state;
    row.m_nPid = pid;
    return row;
}

const std::initializer_list<int> kV6Any = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

}  // namespace

TEST(PortCheck, RowsThatTakeConnectionsTo127001Port25600)
{
    const struct {
        CTcpTableRow row;
        bool counts;
        const char* what;
    } cases[] = {
        {Row({127, 0, 0, 1}), true, "IPv4 loopback"},
        {Row({0, 0, 0, 0}), true, "IPv4 any"},
        {Row({127, 0, 0, 2}), false, "another loopback address"},
        {Row({192, 168, 1, 5}), false, "a LAN address"},
        {Row({127, 0, 0, 1}, 25601), false, "another port"},
        {Row({127, 0, 0, 1}, 100), false, "25600 read in host order"},
        {Row({127, 0, 0, 1}, 25600, 5), false, "an established connection"},
        {Row(kV6Any), true, "IPv6 any (dual-stack)"},
        {Row({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), false, "IPv6 loopback"},
        {Row({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 127, 0, 0, 1}), true, "v4-mapped loopback"},
        {Row({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0}), true, "v4-mapped any"},
        {Row({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 10, 0, 0, 1}), false, "v4-mapped other address"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListensOnConsoleEndpoint(c.row), c.counts) << c.what;

    auto found = FindConsolePortListener({Row({127, 0, 0, 1}, 80, kTcpStateListen, 7),
                                          Row({0, 0, 0, 0}, 25600, kTcpStateListen, 1234),
                                          Row({127, 0, 0, 1}, 25600, kTcpStateListen, 99)});
    ASSERT_TRUE(found);
    EXPECT_EQ(found->m_nPid, 1234u);
    EXPECT_FALSE(FindConsolePortListener({Row({127, 0, 0, 1}, 80)}));
}

TEST(PortCheck, MessageAndLogNameTheOwnerAsFarAsKnown)
{
    const char* tail = "\n\nThe server was not started, so that the administrator password is not sent to that "
                       "program.\nEnd it, then press Start Server again.";
    const char* head = "Another program is already listening on 127.0.0.1:25600, the port of the server's remote console";
    const struct {
        std::uint32_t pid;
        const char* name;
        const char* owner;  // nullptr: not named
    } cases[] = {
        {4242, "DedicatedServer.exe", "DedicatedServer.exe (process id 4242)"},
        {4242, "", "process id 4242"},
        {0, "", nullptr},
    };
    for (const auto& c : cases) {
        CPortInUseReport r = DescribePortInUse(c.pid, c.name);
        std::string owner = c.owner ? c.owner : "";
        EXPECT_EQ(r.m_strMessage, std::string(head) + (c.owner ? ":\n" + owner + "." : ".") + tail);
        EXPECT_EQ(r.m_strLogLine, "ERR:  Port 25600 on 127.0.0.1 is in use by " +
                                    (c.owner ? owner : "another program") + "; the server was not started.\n");
        EXPECT_EQ(r.m_strRestartLogLine, "ERR:  Port 25600 on 127.0.0.1 is in use by " +
                                           (c.owner ? owner : "another program") +
                                           "; the crashed server was not restarted. End that program, then press "
                                           "Start Server.\n");
    }
}
