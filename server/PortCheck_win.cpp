#include "server/PortCheck_win.h"

#include <winsock2.h>

#include "server/PortCheck.h"
#include "platform/Processes_win.h"

#include <iprtrmib.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// iphlpapi is loaded only here, when a launch needs it: Tollan starts without it.
using GetExtendedTcpTableFn = DWORD(WINAPI*)(PVOID, PDWORD, BOOL, ULONG, TCP_TABLE_CLASS, ULONG);

// Calls `query(buffer, size)` until the buffer is large enough (the table can grow in between).
template <typename Query>
bool ReadTable(std::vector<BYTE>& buffer, Query query)
{
    DWORD size = 4096;
    for (int attempt = 0; attempt < 4; ++attempt) {
        buffer.assign(size + 256, 0);
        size = static_cast<DWORD>(buffer.size());
        DWORD rc = query(buffer.data(), &size);
        if (rc == NO_ERROR)
            return true;
        if (rc != ERROR_INSUFFICIENT_BUFFER)
            return false;
    }
    return false;
}

// Every TCP row the system lists, IPv6 included when it has it; false when not even the IPv4
// table could be read.
bool ReadTcpRows(std::vector<CTcpTableRow>& rows)
{
    const platform::CModule lib(LoadLibraryA("iphlpapi.dll"));
    if (!lib)
        return false;
    // Every system Tollan runs on (Vista on) has the table with the owners' process ids.
    auto extended = lib.Proc<GetExtendedTcpTableFn>("GetExtendedTcpTable");
    std::vector<BYTE> buf;
    const auto read = [&](ULONG family) {
        return ReadTable(buf, [&](BYTE* p, DWORD* n) {
            return extended(p, n, FALSE, family, TCP_TABLE_OWNER_PID_LISTENER, 0);
        });
    };
    if (!extended || !read(AF_INET))
        return false;
    {
        auto* table = reinterpret_cast<MIB_TCPTABLE_OWNER_PID*>(buf.data());
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            const MIB_TCPROW_OWNER_PID& r = table->table[i];
            CTcpTableRow row;
            std::memcpy(row.m_aAddress, &r.dwLocalAddr, 4);
            row.m_nPortField = r.dwLocalPort;
            row.m_nState = r.dwState;
            row.m_nPid = r.dwOwningPid;
            rows.push_back(row);
        }
        if (read(AF_INET6)) {
            auto* table6 = reinterpret_cast<MIB_TCP6TABLE_OWNER_PID*>(buf.data());
            for (DWORD i = 0; i < table6->dwNumEntries; ++i) {
                const MIB_TCP6ROW_OWNER_PID& r = table6->table[i];
                CTcpTableRow row;
                row.m_bIpv6 = true;
                std::memcpy(row.m_aAddress, r.ucLocalAddr, 16);
                row.m_nPortField = r.dwLocalPort;
                row.m_nState = r.dwState;
                row.m_nPid = r.dwOwningPid;
                rows.push_back(row);
            }
        }
    }
    return true;
}

std::string ImageNameOf(DWORD pid)
{
    std::string name;
    platform::ForEachProcess([&](const PROCESSENTRY32& entry) {
        if (entry.th32ProcessID == pid)
            name = entry.szExeFile;
        return name.empty();
    });
    return name;
}

}  // namespace

CPortCheck CheckConsolePort()
{
    CPortCheck check;
    std::vector<CTcpTableRow> rows;
    if (!ReadTcpRows(rows)) {
        check.m_eState = EPortState::Unknown;
        return check;
    }
    if (auto listener = FindConsolePortListener(rows)) {
        check.m_eState = EPortState::Busy;
        check.m_nOwnerPid = listener->m_nPid;
        if (listener->m_nPid)
            check.m_strOwnerImage = ImageNameOf(listener->m_nPid);
    }
    return check;
}
