// A small HTTP receiver on 127.0.0.1 for the Wine tests: it records each request and answers
// from a script, so that a test can play a webhook that works, fails, throttles or never answers.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct CHttpRequest {
    std::string m_strMethod;
    std::string m_strPath;  // query included
    std::vector<std::pair<std::string, std::string>> m_headers;
    std::string m_strBody;
    DWORD m_nArrivedAt = 0;  // GetTickCount()

    // The first header of that name (any case), or empty.
    std::string Header(const std::string& name) const;
};

struct CHttpScript {
    std::vector<unsigned> m_statuses{204};  // the answers in turn; the last one repeats
    std::string m_strRetryAfter;            // sent with every answer that is no 2xx
    bool m_bNeverAnswer = false;            // record, then hold the connection silently
};

class CHttpReceiver {
public:
    CHttpReceiver() { InitializeCriticalSection(&m_cs); }
    ~CHttpReceiver();
    CHttpReceiver(const CHttpReceiver&) = delete;
    CHttpReceiver& operator=(const CHttpReceiver&) = delete;

    // Listens on 127.0.0.1:port (0: any free one) from a thread of its own.
    bool Start(const CHttpScript& script, unsigned short port = 0);
    // Ends the thread and closes every connection.
    void Stop();
    unsigned short Port() const { return m_nPort; }
    std::vector<CHttpRequest> Requests() const;
    bool WaitForRequests(std::size_t count, DWORD ms) const;

private:
    static DWORD WINAPI Run(LPVOID self);
    bool Read(SOCKET s, CHttpRequest& request);

    CHttpScript m_script;
    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_nPort = 0;
    HANDLE m_hThread = nullptr;
    volatile LONG m_nStop = 0;
    mutable CRITICAL_SECTION m_cs;
    std::vector<CHttpRequest> m_requests;
    std::vector<SOCKET> m_held;
};

// A port on 127.0.0.1 that nobody listens on.
unsigned short FreeLoopbackPort();
