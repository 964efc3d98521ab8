#include "server/LogFollower.h"

#include "base/TextFile.h"

#include <algorithm>

const char CLogFollowerModel::kStartMarker[] = "-------- START OF LOG --------";

namespace {
const size_t kMarkerLength = sizeof CLogFollowerModel::kStartMarker - 1;

bool Contains(const std::string& s, const char* what) { return s.find(what) != std::string::npos; }
}  // namespace

void CLogFollowerModel::Start(bool bLogIsOld)
{
    m_bLogIsOld = bLogIsOld;
    m_bCopying = false;
    m_strCarry.clear();
    m_bWaitForStart = true;
    m_bRunningLogged = false;
    m_nEmptyCycles = 0;
    m_nPosition = 0;
    m_strLine.clear();
    m_strCurrentLevel.clear();
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
    m_strLine.clear();  // as the console drops its unfinished line
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
    actions.m_strRun = RunBytes(bytes);

    std::string text = bytes.substr(0, bytes.find('\0'));
    if (m_bWaitForStart) {
        size_t p = text.find(kStartMarker);
        if (p != std::string::npos) {
            text.erase(0, p + kMarkerLength);
            actions.m_console.push_back("INF:    The server is starting...");
            if (!m_bRunningLogged)
                actions.m_log.push_back("INF:  The server is running...\n");
            m_bRunningLogged = true;
            m_bWaitForStart = false;
        }
    }
    actions.m_console.push_back(text);
    for (const std::string& shown : actions.m_console)
        FollowLevel(shown);
    return actions;
}

// A trace line (one that names no other tag) that says "Changing over to" names the new level.
void CLogFollowerModel::FollowLevel(const std::string& text)
{
    std::string work = m_strLine + text;
    size_t pos = 0;
    for (size_t nl; (nl = work.find('\n', pos)) != std::string::npos; pos = nl + 1) {
        std::string line = work.substr(pos, nl + 1 - pos);
        if (Contains(line, "TRC:") && Contains(line, "Changing over to") && !Contains(line, "INF:") &&
            !Contains(line, "ERR:") && !Contains(line, "WRN:")) {
            m_strCurrentLevel = TrimRight(ReplaceAll(line, "TRC:   Changing over to ", ""));
        }
    }
    m_strLine = work.substr(pos, kMaxLineChars);
}

bool CLogFollowerModel::OnProcessWait(bool bProcessEnded, size_t nBytesThisCycle)
{
    if (bProcessEnded && nBytesThisCycle == 0)
        ++m_nEmptyCycles;
    return m_nEmptyCycles <= kMaxEmptyCycles;
}
