// Before Start launches a server: does something on this machine already listen where the remote
// console connects (127.0.0.1:25600)? Tollan would send it the administrator password and every
// command. The shell copies the system's TCP tables into rows; the rules and the texts are here.
#pragma once
#include "base/Names.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the shell found on 127.0.0.1:25600 before a launch: nobody, another program (named as far
// as the system tells), or nothing known because the system's tables could not be read.
enum class EPortState { Free, Busy, Unknown };
struct CPortCheck {
    EPortState m_eState = EPortState::Free;
    std::uint32_t m_nOwnerPid = 0;
    std::string m_strOwnerImage;
};

constexpr std::uint32_t kTcpStateListen = 2;  // MIB_TCP_STATE_LISTEN

// One row of a TCP table as the system gives it: the local address in network byte order (the
// first 4 bytes for IPv4), the port field as stored there (network order in its low 16 bits).
struct CTcpTableRow {
    bool m_bIpv6 = false;
    std::uint8_t m_aAddress[16] = {};
    std::uint32_t m_nPortField = 0;
    std::uint32_t m_nState = 0;
    std::uint32_t m_nPid = 0;  // 0 when the table does not name the owner
};

unsigned short PortOfTableField(std::uint32_t field);
// A listener that takes connections to 127.0.0.1:25600: bound to 127.0.0.1 or to every address;
// on IPv6 to the any address (dual-stack sockets take IPv4 there) or a v4-mapped form of those.
bool ListensOnConsoleEndpoint(const CTcpTableRow& row);
std::optional<CTcpTableRow> FindConsolePortListener(const std::vector<CTcpTableRow>& rows);

// The message box text and the log line for a busy port; the owner is named as far as it is
// known (image name empty and/or pid 0 when the system could not tell).
struct CPortInUseReport {
    std::string m_strMessage;
    std::string m_strLogLine;
    // The restart after a crash: nobody is at the screen, so this one line says what to do.
    std::string m_strRestartLogLine;
};
CPortInUseReport DescribePortInUse(std::uint32_t pid, const std::string& imageName);

// Logged when the tables cannot be read at all: the launch goes ahead unchecked.
extern const char* const kPortNotCheckedLine;
