#include "server/RemoteConsole_win.h"

#include "base/Names.h"
#include "base/UtilityLog.h"
#include "server/RunMessages_win.h"

#include <new>

namespace {

struct CConnectError {
    int m_nCode;
    const char* m_pszText;
};

// Failures of the connection attempt that the user is told about; other codes pass silently.
const CConnectError kConnectErrors[] = {
    {WSAEADDRINUSE, "ERR:  The specified address is already in use.\n"},
    {WSAEADDRNOTAVAIL, "ERR:  The specified address is not available from the local machine.\n"},
    {WSAEAFNOSUPPORT, "ERR:  Addresses in the specified family cannot be used with this socket.\n"},
    {WSAECONNREFUSED, "ERR:  The attempt to connect was forcefully rejected.\n"},
    {WSAEDESTADDRREQ, "ERR:  A destination address is required.\n"},
    {WSAEFAULT, "ERR:  The lpSockAddrLen argument is incorrect.\n"},
    {WSAEINVAL, "ERR:  The socket is already bound to an address.\n"},
    {WSAEISCONN, "ERR:  The socket is already connected.\n"},
    {WSAEMFILE, "ERR:  No more file descriptors are available.\n"},
    {WSAENETUNREACH, "ERR:  The network cannot be reached from this host at this time.\n"},
    {WSAENOBUFS, "ERR:  No buffer space is available. The socket cannot be connected.\n"},
    {WSAENOTCONN, "ERR:  The socket is not connected.\n"},
    {WSAENOTSOCK, "ERR:  The descriptor is a file, not a socket.\n"},
    {WSAETIMEDOUT, "ERR:  The attempt to connect timed out without establishing a connection.\n"},
};

const char kNetworkDown[] = "The Windows Sockets implementation detected that the network subsystem failed.\n";

}  // namespace

bool CRemoteConsoleSocket::ConnectToServer(std::unique_ptr<CRemoteConsoleSocket>& socket, HWND hNotify,
                                           CRemoteConsoleOwner* pOwner)
{
    socket.reset();
    socket.reset(new (std::nothrow) CRemoteConsoleSocket(hNotify, pOwner));
    if (!socket) {
        // These two lines end without a line break, as they always have: the next entry follows.
        LogMessage("ERR:  Could not create new socket class");
        return false;
    }
    if (!socket->Create()) {
        LogMessage("ERR:  Could not create new socket");
        socket.reset();
        return false;
    }
    socket->Connect(kRemoteConsoleAddress, kRemoteConsolePort);
    LogMessage("INF:  Connecting to server...\n");
    return true;
}

CRemoteConsoleSocket::CRemoteConsoleSocket(HWND hNotify, CRemoteConsoleOwner* pOwner)
    : m_hNotify(hNotify),
      m_pOwner(pOwner),
      m_session([this] { return m_pOwner ? m_pOwner->GetRemoteConsolePassword() : std::string(); })
{
}

CRemoteConsoleSocket::~CRemoteConsoleSocket()
{
    if (m_hSocket == INVALID_SOCKET)
        return;
    WSAAsyncSelect(m_hSocket, m_hNotify, 0, 0);
    closesocket(m_hSocket);
    // Notifications already posted stay queued after closesocket; the next socket may get the
    // same handle value, so they must not reach it.
    MSG msg;
    while (PeekMessageA(&msg, m_hNotify, WM_APP_SOCKET, WM_APP_SOCKET, PM_REMOVE)) {
    }
}

bool CRemoteConsoleSocket::Create()
{
    m_hSocket = socket(AF_INET, SOCK_STREAM, 0);
    if (m_hSocket == INVALID_SOCKET)
        return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    if (bind(m_hSocket, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 ||
        WSAAsyncSelect(m_hSocket, m_hNotify, WM_APP_SOCKET, FD_READ | FD_WRITE | FD_OOB | FD_CONNECT | FD_CLOSE) != 0) {
        closesocket(m_hSocket);
        m_hSocket = INVALID_SOCKET;
        return false;
    }
    return true;
}

void CRemoteConsoleSocket::Connect(const char* address, unsigned short port)
{
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = inet_addr(address);
    remote.sin_port = htons(port);
    if (connect(m_hSocket, reinterpret_cast<sockaddr*>(&remote), sizeof(remote)) == 0)
        return;
    int error = WSAGetLastError();
    // A non-blocking connect normally reports WSAEWOULDBLOCK and the outcome later. A failure at
    // once brings no FD_CONNECT, so report it the same way, through the message queue.
    if (error != WSAEWOULDBLOCK)
        PostMessageA(m_hNotify, WM_APP_SOCKET, static_cast<WPARAM>(m_hSocket),
                     WSAMAKESELECTREPLY(FD_CONNECT, error));
}

void CRemoteConsoleSocket::OnSocketMessage(WPARAM wParam, LPARAM lParam)
{
    if (static_cast<SOCKET>(wParam) == m_hSocket && m_hSocket != INVALID_SOCKET)
        HandleEvent(WSAGETSELECTEVENT(lParam), WSAGETSELECTERROR(lParam));
}

void CRemoteConsoleSocket::HandleEvent(WORD event, WORD error)
{
    switch (event) {
    case FD_CONNECT:
        OnConnect(error);
        break;
    case FD_READ:
        OnReceive(error);
        break;
    case FD_WRITE:
        OnSend(error);
        break;
    default:
        // A close by the server and out-of-band data change nothing.
        break;
    }
}

void CRemoteConsoleSocket::OnConnect(WORD error)
{
    for (const CConnectError& e : kConnectErrors) {
        if (e.m_nCode == error) {
            if (m_pOwner)
                m_pOwner->OnRemoteConsoleError(e.m_pszText);
            return;
        }
    }
}

void CRemoteConsoleSocket::OnReceive(WORD error)
{
    if (error == WSAENETDOWN) {
        if (m_pOwner)
            m_pOwner->OnRemoteConsoleError(kNetworkDown);
        return;
    }
    // After the login nothing is read: WSAAsyncSelect then posts no further FD_READ either.
    if (m_session.IsLoggedIn())
        return;

    char buffer[CRemoteConsoleSession::kChunkSize];
    int got = recv(m_hSocket, buffer, sizeof(buffer), 0);
    if (got <= 0)
        return;
    CChunkResult result = m_session.HandleChunk(std::string(buffer, static_cast<size_t>(got)));
    for (const std::string& bytes : result.m_sends)
        SendText(bytes);
    if (result.m_bLoggedIn && m_pOwner)
        m_pOwner->OnRemoteConsoleLoggedIn();
}

void CRemoteConsoleSocket::OnSend(WORD error)
{
    if (error == WSAENETDOWN && m_pOwner)
        m_pOwner->OnRemoteConsoleError(kNetworkDown);
}

void CRemoteConsoleSocket::SendText(const std::string& text)
{
    send(m_hSocket, text.data(), static_cast<int>(text.size()), 0);
}
