#include "HttpReceiver.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

const char* ReasonOf(unsigned status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    }
    return "Whatever";
}

// Waits up to `ms` for the socket to become readable.
bool Readable(SOCKET s, int ms)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv = {ms / 1000, (ms % 1000) * 1000};
    return select(0, &set, nullptr, nullptr, &tv) == 1;
}

}  // namespace

std::string CHttpRequest::Header(const std::string& name) const
{
    for (const auto& h : m_headers)
        if (Lower(h.first) == Lower(name))
            return h.second;
    return std::string();
}

CHttpReceiver::CHttpReceiver()
{
    InitializeCriticalSection(&m_cs);
}

CHttpReceiver::~CHttpReceiver()
{
    Stop();
    DeleteCriticalSection(&m_cs);
}

bool CHttpReceiver::Start(const CHttpScript& script, unsigned short port)
{
    WSADATA wsa;
    if (!m_bWinsock && WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return false;
    m_bWinsock = true;
    m_script = script;
    m_nStop = 0;
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_listener == INVALID_SOCKET)
        return false;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    int length = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, 16) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(m_listener);
        m_listener = INVALID_SOCKET;
        return false;
    }
    m_nPort = ntohs(address.sin_port);
    m_hThread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    return m_hThread != nullptr;
}

void CHttpReceiver::Stop()
{
    InterlockedExchange(&m_nStop, 1);
    if (m_hThread) {
        WaitForSingleObject(m_hThread, 5000);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
    }
    for (SOCKET s : m_held)
        closesocket(s);
    m_held.clear();
    if (m_listener != INVALID_SOCKET) {
        closesocket(m_listener);
        m_listener = INVALID_SOCKET;
    }
    if (m_bWinsock) {
        WSACleanup();
        m_bWinsock = false;
    }
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
    const DWORD start = GetTickCount();
    while (Requests().size() < count) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(20);
    }
    return true;
}

DWORD WINAPI CHttpReceiver::Run(LPVOID self)
{
    static_cast<CHttpReceiver*>(self)->Serve();
    return 0;
}

void CHttpReceiver::Serve()
{
    std::size_t answered = 0;
    while (!m_nStop) {
        if (!Readable(m_listener, 50))
            continue;
        SOCKET s = accept(m_listener, nullptr, nullptr);
        if (s == INVALID_SOCKET)
            continue;
        CHttpRequest request;
        if (!ReadRequest(s, request)) {
            closesocket(s);
            continue;
        }
        EnterCriticalSection(&m_cs);
        m_requests.push_back(request);
        LeaveCriticalSection(&m_cs);
        if (m_script.m_bNeverAnswer) {
            m_held.push_back(s);
            continue;
        }
        const std::vector<unsigned>& statuses = m_script.m_statuses;
        const unsigned status = statuses.empty() ? 204 : statuses[answered < statuses.size() ? answered : statuses.size() - 1];
        ++answered;
        Answer(s, status);
        closesocket(s);
    }
}

bool CHttpReceiver::ReadRequest(SOCKET s, CHttpRequest& request)
{
    std::string data;
    std::size_t headEnd = std::string::npos;
    std::size_t need = 0;
    char buffer[4096];
    for (;;) {
        if (headEnd == std::string::npos) {
            headEnd = data.find("\r\n\r\n");
            if (headEnd != std::string::npos) {
                // Request line and headers.
                std::size_t lineStart = 0, lineEnd = data.find("\r\n");
                const std::string first = data.substr(0, lineEnd);
                const std::size_t sp1 = first.find(' '), sp2 = first.rfind(' ');
                if (sp1 == std::string::npos || sp2 <= sp1)
                    return false;
                request.m_strMethod = first.substr(0, sp1);
                request.m_strPath = first.substr(sp1 + 1, sp2 - sp1 - 1);
                while (lineEnd < headEnd) {
                    lineStart = lineEnd + 2;
                    lineEnd = data.find("\r\n", lineStart);
                    const std::string line = data.substr(lineStart, lineEnd - lineStart);
                    const std::size_t colon = line.find(':');
                    if (colon == std::string::npos)
                        continue;
                    std::size_t valueAt = colon + 1;
                    while (valueAt < line.size() && line[valueAt] == ' ')
                        ++valueAt;
                    request.m_headers.emplace_back(line.substr(0, colon), line.substr(valueAt));
                }
                need = headEnd + 4 + std::strtoul(request.Header("Content-Length").c_str(), nullptr, 10);
            }
        }
        if (headEnd != std::string::npos && data.size() >= need) {
            request.m_strBody = data.substr(headEnd + 4, need - headEnd - 4);
            request.m_nArrivedAt = GetTickCount();
            return true;
        }
        if (m_nStop || !Readable(s, 5000))
            return false;
        const int got = recv(s, buffer, sizeof buffer, 0);
        if (got <= 0)
            return false;
        data.append(buffer, got);
    }
}

void CHttpReceiver::Answer(SOCKET s, unsigned status)
{
    char head[256];
    std::snprintf(head, sizeof head, "HTTP/1.1 %u %s\r\nContent-Length: 0\r\nConnection: close\r\n", status,
                  ReasonOf(status));
    std::string answer = head;
    if (!m_script.m_strRetryAfter.empty() && (status < 200 || status >= 300))
        answer += "Retry-After: " + m_script.m_strRetryAfter + "\r\n";
    answer += "\r\n";
    send(s, answer.data(), static_cast<int>(answer.size()), 0);
    shutdown(s, SD_SEND);
}

unsigned short FreeLoopbackPort()
{
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    unsigned short port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    closesocket(s);
    WSACleanup();
    return port;
}
