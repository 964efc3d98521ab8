#include "app/LogFollowerModel.h"

const char CLogFollowerModel::kStartMarker[] = "-------- START OF LOG --------";

namespace {
const size_t kMarkerLength = sizeof CLogFollowerModel::kStartMarker - 1;
}

void CLogFollowerModel::Start()
{
    m_bWaitForStart = true;
    m_bRunningLogged = false;
    m_nEmptyCycles = 0;
    m_nPosition = 0;
}

void CLogFollowerModel::StartAtEnd(uint64_t nLogSize)
{
    Start();
    m_bWaitForStart = false;
    m_nPosition = nLogSize;
}

bool CLogFollowerModel::OnFileSize(uint64_t nFileSize)
{
    if (nFileSize >= m_nPosition)
        return false;
    // A new log begins with its own start marker; look for it again.
    m_nPosition = 0;
    m_bWaitForStart = true;
    return true;
}

CFollowerActions CLogFollowerModel::OnRead(const std::string& bytes)
{
    CFollowerActions actions;
    if (bytes.empty())
        return actions;
    m_nPosition += bytes.size();

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
