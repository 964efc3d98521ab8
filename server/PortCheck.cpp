#include "server/PortCheck.h"

#include "base/StringPrintf.h"

#include <cstring>

const char* const kPortNotCheckedLine =
    "ERR:  Could not read the system's TCP table; port 25600 was not checked before the launch.\n";

unsigned short PortOfTableField(std::uint32_t field)
{
    return static_cast<unsigned short>(((field & 0xFF) << 8) | ((field >> 8) & 0xFF));
}

bool ListensOnConsoleEndpoint(const CTcpTableRow& row)
{
    if (row.m_nState != kTcpStateListen || PortOfTableField(row.m_nPortField) != kRemoteConsolePort)
        return false;
    static const std::uint8_t loopback[4] = {127, 0, 0, 1}, any[4] = {0, 0, 0, 0};
    auto coversV4 = [](const std::uint8_t* a) {
        return std::memcmp(a, loopback, 4) == 0 || std::memcmp(a, any, 4) == 0;
    };
    if (!row.m_bIpv6)
        return coversV4(row.m_aAddress);
    static const std::uint8_t zeros[16] = {}, mapped[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    return std::memcmp(row.m_aAddress, zeros, 16) == 0 ||
           (std::memcmp(row.m_aAddress, mapped, 12) == 0 && coversV4(row.m_aAddress + 12));
}

std::optional<CTcpTableRow> FindConsolePortListener(const std::vector<CTcpTableRow>& rows)
{
    for (const CTcpTableRow& row : rows)
        if (ListensOnConsoleEndpoint(row))
            return row;
    return std::nullopt;
}

CPortInUseReport DescribePortInUse(std::uint32_t pid, const std::string& imageName)
{
    std::string owner;
    const std::string id = StringPrintf("process id %lu", static_cast<unsigned long>(pid));
    if (!imageName.empty() && pid)
        owner = imageName + " (" + id + ")";
    else if (!imageName.empty())
        owner = imageName;
    else if (pid)
        owner = id;

    CPortInUseReport report;
    report.m_strMessage = StringPrintf("Another program is already listening on 127.0.0.1:25600, the port of the "
                                     "server's remote console%s%s.\n\nThe server was not started, so that the "
                                     "administrator password is not sent to that program.\nEnd it, then press Start "
                                     "Server again.",
                                     owner.empty() ? "" : ":\n", owner.c_str());
    const char* user = owner.empty() ? "another program" : owner.c_str();
    report.m_strLogLine = StringPrintf("ERR:  Port 25600 on 127.0.0.1 is in use by %s; the server was not started.\n", user);
    report.m_strRestartLogLine = StringPrintf("ERR:  Port 25600 on 127.0.0.1 is in use by %s; the crashed server was not "
                                            "restarted. End that program, then press Start Server.\n",
                                            user);
    return report;
}
