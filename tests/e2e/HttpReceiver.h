// A small HTTP receiver on 127.0.0.1 for the Wine tests: it records every request (method, path,
// headers, body) and answers from a script, so that a test can play a webhook that works, fails,
// throttles or never answers. One thread of its own; Winsock only.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

struct CHttpRequest {
    std::string m_strMethod;
    std::string m_strPath;  // as sent, query included
    std::vector<std::pair<std::string, std::string>> m_headers;  // in order, names as sent
    std::string m_strBody;
    DWORD m_nArrivedAt = 0;  // GetTickCount() when the request was complete

    // The value of the first header of that name (any case), or empty.
    std::string Header(const std::string& name) const;
};

struct CHttpScript {
    // The statuses of the answers in turn; the last one answers every request after it.
    std::vector<unsigned> m_statuses{204};
    std::string m_strRetryAfter;  // sent with every answer that is no 2xx, when not empty
    bool m_bNeverAnswer = false;  // read and record requests, then hold the connection silently
};

class CHttpReceiver {
public:
    CHttpReceiver();
    ~CHttpReceiver();
    CHttpReceiver(const CHttpReceiver&) = delete;
    CHttpReceiver& operator=(const CHttpReceiver&) = delete;

    // Listens on 127.0.0.1:port (0: a free one) and starts answering; false when it cannot.
    bool Start(const CHttpScript& script, unsigned short port = 0);
    // Closes every connection and the listener, and ends the thread.
    void Stop();
    unsigned short Port() const { return m_nPort; }

    std::vector<CHttpRequest> Requests() const;
    // Waits until at least `count` requests arrived; false when the time ran out first.
    bool WaitForRequests(std::size_t count, DWORD ms) const;

private:
    static DWORD WINAPI Run(LPVOID self);
    void Serve();
    bool ReadRequest(SOCKET s, CHttpRequest& request);
    void Answer(SOCKET s, unsigned status);

    CHttpScript m_script;
    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_nPort = 0;
    HANDLE m_hThread = nullptr;
    volatile LONG m_nStop = 0;
    mutable CRITICAL_SECTION m_cs;
    std::vector<CHttpRequest> m_requests;
    std::vector<SOCKET> m_held;  // connections never answered
    bool m_bWinsock = false;
};

// A port on 127.0.0.1 that nobody listens on (bound once, then closed again).
unsigned short FreeLoopbackPort();
