// The remote console connection to the game server: a Winsock 1.1 stream socket whose
// notifications (WSAAsyncSelect) arrive as WM_APP_SOCKET at its owner's window. The login
// conversation itself lives in CRemoteConsoleSession; this class only moves its bytes and tells
// its owner what the user must hear. The owner hands it one notification at a time, never from
// within another (the runner defers those that arrive while a message box is open).
#pragma once
#include <winsock2.h>
#include <windows.h>

#include "server/RemoteConsole.h"

#include <memory>
#include <string>

// What the connection needs from its owner (the server runner).
class CRemoteConsoleOwner {
public:
    // The administrator password, asked each time the password line is due.
    virtual std::string GetRemoteConsolePassword() = 0;
    // The server confirmed the login; the owner tells the run model, whose run it was.
    virtual void OnRemoteConsoleLoggedIn() = 0;
    // A failure the user is told about (the connection attempt's error, a network that went down).
    virtual void OnRemoteConsoleError(const char* text) = 0;

protected:
    ~CRemoteConsoleOwner() = default;
};

class CRemoteConsoleSocket {
public:
    // Replaces `socket` by a new connection attempt to 127.0.0.1:25600 (the old object is
    // destroyed first, which closes its connection). Notifications go to `hNotify` as
    // WM_APP_SOCKET, to be passed to OnSocketMessage. True when the attempt has begun; the caller
    // then starts its login check timer. On failure the pointer is left empty and the reason logged.
    static bool ConnectToServer(std::unique_ptr<CRemoteConsoleSocket>& socket, HWND hNotify,
                                CRemoteConsoleOwner* pOwner);

    CRemoteConsoleSocket(HWND hNotify, CRemoteConsoleOwner* pOwner);
    ~CRemoteConsoleSocket();
    CRemoteConsoleSocket(const CRemoteConsoleSocket&) = delete;
    CRemoteConsoleSocket& operator=(const CRemoteConsoleSocket&) = delete;

    // socket(), bind to any local port and WSAAsyncSelect for read, write, OOB, connect and close.
    bool Create();
    // Begins connecting; the outcome arrives as the connected notification.
    void Connect(const char* address, unsigned short port);

    // WM_APP_SOCKET handler: wParam is the socket, lParam the event and its error code.
    void OnSocketMessage(WPARAM wParam, LPARAM lParam);

    // One send call with the text's bytes; a failed or partial send is neither retried nor reported.
    void SendText(const std::string& text);

    bool IsLoggedIn() const { return m_session.IsLoggedIn(); }
    SOCKET GetSocket() const { return m_hSocket; }

private:
    void HandleEvent(WORD event, WORD error);
    void OnConnect(WORD error);
    void OnReceive(WORD error);
    void OnSend(WORD error);

    HWND m_hNotify;
    CRemoteConsoleOwner* m_pOwner;
    SOCKET m_hSocket = INVALID_SOCKET;
    CRemoteConsoleSession m_session;
};
