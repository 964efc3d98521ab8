#include "HttpReceiver.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool Readable(SOCKET s, int ms)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv = {ms / 1000, (ms % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &tv) == 1;
}

SOCKET BoundSocket(unsigned short port, unsigned short* pBound)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    int length = sizeof a;
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    *pBound = ntohs(a.sin_port);
    return s;
}

}  // namespace

std::string CHttpRequest::Header(const std::string& name) const
{
    for (const auto& h : m_headers)
        if (lstrcmpiA(h.first.c_str(), name.c_str()) == 0)
            return h.second;
    return std::string();
}

CHttpReceiver::~CHttpReceiver()
{
    Stop();
    DeleteCriticalSection(&m_cs);
}

bool CHttpReceiver::Start(const CHttpScript& script, unsigned short port)
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    m_script = script;
    m_nStop = 0;
    m_listener = BoundSocket(port, &m_nPort);
    if (m_listener == INVALID_SOCKET || listen(m_listener, 16) != 0)
        return false;
    m_hThread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    return m_hThread != nullptr;
}

void CHttpReceiver::Stop()
{
    if (!m_hThread)
        return;
    InterlockedExchange(&m_nStop, 1);
    WaitForSingleObject(m_hThread, 5000);
    CloseHandle(m_hThread);
    m_hThread = nullptr;
    for (SOCKET s : m_held)
        closesocket(s);
    m_held.clear();
    closesocket(m_listener);
    WSACleanup();
}

std::vector<CHttpRequest> CHttpReceiver::Requests() const
{
    EnterCriticalSection(&m_cs);
    std::vector<CHttpRequest> copy = m_requests;
    LeaveCriticalSection(&m_cs);
    return copy;
}

bool CHttpReceiver::WaitForRequests(std::size_t count, DWORD ms) const
{
    for (const DWORD start = GetTickCount(); Requests().size() < count; Sleep(20))
        if (GetTickCount() - start > ms)
            return false;
    return true;
}

DWORD WINAPI CHttpReceiver::Run(LPVOID p)
{
    CHttpReceiver& self = *static_cast<CHttpReceiver*>(p);
    std::size_t answered = 0;
    while (!self.m_nStop) {
        if (!Readable(self.m_listener, 50))
            continue;
        SOCKET s = accept(self.m_listener, nullptr, nullptr);
        CHttpRequest request;
        if (s == INVALID_SOCKET || !self.Read(s, request)) {
            closesocket(s);
            continue;
        }
        EnterCriticalSection(&self.m_cs);
        self.m_requests.push_back(request);
        LeaveCriticalSection(&self.m_cs);
        if (self.m_script.m_bNeverAnswer) {
            self.m_held.push_back(s);
            continue;
        }
        const std::vector<unsigned>& statuses = self.m_script.m_statuses;
        const unsigned status = statuses[std::min(answered++, statuses.size() - 1)];
        // No reason phrase: the sender must find the standard one itself.
        std::string answer = "HTTP/1.1 " + std::to_string(status) + " \r\nContent-Length: 0\r\nConnection: close\r\n";
        if (!self.m_script.m_strRetryAfter.empty() && status / 100 != 2)
            answer += "Retry-After: " + self.m_script.m_strRetryAfter + "\r\n";
        answer += "\r\n";
        send(s, answer.data(), static_cast<int>(answer.size()), 0);
        shutdown(s, SD_SEND);
        closesocket(s);
    }
    return 0;
}

bool CHttpReceiver::Read(SOCKET s, CHttpRequest& request)
{
    std::string data;
    char buffer[4096];
    for (;;) {
        const std::size_t headEnd = data.find("\r\n\r\n");
        if (headEnd != std::string::npos) {
            request = CHttpRequest();
            std::size_t at = data.find("\r\n");
            const std::string first = data.substr(0, at);
            request.m_strMethod = first.substr(0, first.find(' '));
            request.m_strPath = first.substr(request.m_strMethod.size() + 1);
            request.m_strPath.erase(request.m_strPath.rfind(' '));
            while (at < headEnd) {
                const std::size_t end = data.find("\r\n", at + 2);
                const std::string line = data.substr(at + 2, end - at - 2);
                const std::size_t colon = line.find(':');
                const std::size_t value = std::min(line.find_first_not_of(' ', colon + 1), line.size());
                request.m_headers.emplace_back(line.substr(0, colon), line.substr(value));
                at = end;
            }
            const std::size_t size = headEnd + 4 + std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
            if (data.size() >= size) {
                request.m_strBody = data.substr(headEnd + 4, size - headEnd - 4);
                request.m_nArrivedAt = GetTickCount();
                return true;
            }
        }
        const int got = !m_nStop && Readable(s, 5000) ? recv(s, buffer, sizeof buffer, 0) : 0;
        if (got <= 0)
            return false;
        data.append(buffer, got);
    }
}

unsigned short FreeLoopbackPort()
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    unsigned short port = 0;
    closesocket(BoundSocket(0, &port));
    WSACleanup();
    return port;
}
