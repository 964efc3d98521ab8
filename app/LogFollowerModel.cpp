#include "app/LogFollowerModel.h"

#include <algorithm>

const char CLogFollowerModel::kStartMarker[] = "-------- START OF LOG --------";

namespace {
const size_t kMarkerLength = sizeof CLogFollowerModel::kStartMarker - 1;
}

void CLogFollowerModel::Start(bool bLogIsOld)
{
    m_bLogIsOld = bLogIsOld;
    m_bCopying = false;
    m_strCarry.clear();
    m_bWaitForStart = true;
    m_bRunningLogged = false;
    m_nEmptyCycles = 0;
    m_nPosition = 0;
}

void CLogFollowerModel::StartAtEnd(uint64_t nLogSize)
{
    Start();
    m_bWaitForStart = false;
    m_bCopying = true;
    m_nPosition = nLogSize;
}

bool CLogFollowerModel::OnFileSize(uint64_t nFileSize, bool bWrittenSinceLaunch)
{
    const bool bRecreated = nFileSize < m_nPosition || (m_bLogIsOld && bWrittenSinceLaunch && m_nPosition > 0);
    if (bWrittenSinceLaunch || bRecreated)
        m_bLogIsOld = false;
    if (!bRecreated)
        return false;
    // A new log begins with its own start marker; look for it again.
    m_nPosition = 0;
    m_bWaitForStart = true;
    m_strCarry.clear();
    return true;
}

// Unlike the console's, this search finds a marker split between two reads: a copy that began
// only at the next marker would lose the whole run.
std::string CLogFollowerModel::RunBytes(const std::string& bytes)
{
    if (m_bCopying)
        return bytes;
    if (m_bLogIsOld)
        return std::string();
    std::string text = m_strCarry + bytes;
    const size_t p = text.find(kStartMarker);
    m_strCarry.clear();
    if (p == std::string::npos) {
        m_strCarry = text.substr(text.size() - std::min(text.size(), kMarkerLength - 1));
        return std::string();
    }
    m_bCopying = true;
    return text.substr(p);
}

CFollowerActions CLogFollowerModel::OnRead(const std::string& bytes)
{
    CFollowerActions actions;
    if (bytes.empty())
        return actions;
    m_nPosition += bytes.size();
    actions.run = RunBytes(bytes);

    std::string text = bytes.substr(0, bytes.find('\0'));
    if (m_bWaitForStart) {
        size_t p = text.find(kStartMarker);
        if (p != std::string::npos) {
            text.erase(0, p + kMarkerLength);
            actions.console.push_back("INF:    The server is starting...");
            if (!m_bRunningLogged)
                actions.log.push_back("INF:  The server is running...\n");
            m_bRunningLogged = true;
            m_bWaitForStart = false;
        }
    }
    actions.console.push_back(text);
    return actions;
}

bool CLogFollowerModel::OnProcessWait(bool bProcessEnded, size_t nBytesThisCycle)
{
    if (bProcessEnded && nBytesThisCycle == 0)
        ++m_nEmptyCycles;
    return m_nEmptyCycles <= kMaxEmptyCycles;
}
