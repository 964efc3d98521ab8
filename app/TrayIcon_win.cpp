#include "app/TrayIcon_win.h"

#include "app/AppMessages_win.h"
#include "app/Resource.h"
#include "wingui/Owners_win.h"

#include <cstring>

namespace {

void CopyText(char* to, size_t size, const std::string& text)
{
    const size_t n = text.size() < size ? text.size() : size - 1;
    std::memcpy(to, text.data(), n);
    to[n] = '\0';
}

// An elevated Tollan (the manifest asks for the highest rights available) gets no message from
// the ordinary-rights Explorer unless it lets that message through (Vista and later; the call
// does not exist on XP).
void AllowFromExplorer(UINT message)
{
    using FilterFn = BOOL(WINAPI*)(UINT, DWORD);
    const FilterFn filter =
        reinterpret_cast<FilterFn>(GetProcAddress(GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilter"));
    if (filter)
        filter(message, 1 /* MSGFLT_ADD */);
}

}  // namespace

UINT CTrayIcon::RegisterTaskbarCreated()
{
    const UINT message = RegisterWindowMessageA("TaskbarCreated");
    AllowFromExplorer(message);
    AllowFromExplorer(WM_APP_TRAY);
    return message;
}

bool CTrayIcon::Call(DWORD message, UINT flags)
{
    m_data.uFlags = flags;
    return Shell_NotifyIconA(message, &m_data) != FALSE;
}

bool CTrayIcon::Show(HWND owner, HICON icon, const std::string& tip)
{
    // The size of the Windows 2000 record: the 128-character tip and balloons, understood by
    // every later shell.
    m_data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    m_data.hWnd = owner;
    m_data.uID = 1;
    m_data.uCallbackMessage = WM_APP_TRAY;
    m_data.hIcon = icon;
    if (m_bShown && tip.compare(0, sizeof m_data.szTip - 1, m_data.szTip) == 0)
        return true;
    CopyText(m_data.szTip, sizeof m_data.szTip, tip);
    if (m_bShown)
        return Call(NIM_MODIFY, NIF_TIP);
    // Shell_NotifyIcon can report a failure (a busy Explorer's time-out) for an icon it did add:
    // then the icon answers a change.
    m_bShown = Call(NIM_ADD, NIF_MESSAGE | NIF_ICON | NIF_TIP) || Call(NIM_MODIFY, NIF_MESSAGE | NIF_ICON | NIF_TIP);
    if (m_bShown) {
        // Version 3 reports keys (NIN_KEYSELECT) and the menu key (WM_CONTEXTMENU) as well.
        m_data.uVersion = NOTIFYICON_VERSION;
        m_bVersion3 = Call(NIM_SETVERSION, 0);
        m_data.uTimeout = 0;
    }
    return m_bShown;
}

void CTrayIcon::Remove()
{
    if (m_bShown)
        Call(NIM_DELETE, 0);
    m_bShown = false;
}

void CTrayIcon::ShowBalloon(const std::string& title, const std::string& text)
{
    if (!m_bShown)
        return;
    CopyText(m_data.szInfoTitle, sizeof m_data.szInfoTitle, title);
    CopyText(m_data.szInfo, sizeof m_data.szInfo, text);
    m_data.uTimeout = 15000;
    m_data.dwInfoFlags = NIIF_INFO;
    Call(NIM_MODIFY, NIF_INFO);
    m_data.uTimeout = 0;
}

ETrayRequest CTrayIcon::RequestOf(LPARAM l) const
{
    switch (LOWORD(l)) {
    case WM_LBUTTONDBLCLK:
    case NIN_KEYSELECT:  // Enter or Space on the icon
    case NIN_BALLOONUSERCLICK:
        return ETrayRequest::Show;
    case WM_CONTEXTMENU:
        return m_bVersion3 ? ETrayRequest::Menu : ETrayRequest::None;
    case WM_RBUTTONUP:
        return m_bVersion3 ? ETrayRequest::None : ETrayRequest::Menu;
    }
    return ETrayRequest::None;
}

void CTrayIcon::ShowMenu(bool bExitEnabled) const
{
    wingui::CMenu owner(CreatePopupMenu());
    HMENU menu = owner.Get();
    if (!menu)
        return;
    AppendMenuA(menu, MF_STRING, ID_TRAY_SHOW, "&Show Tollan");
    AppendMenuA(menu, MF_STRING | (bExitEnabled ? 0 : MF_GRAYED), ID_TRAY_EXIT, "E&xit");
    SetMenuDefaultItem(menu, ID_TRAY_SHOW, FALSE);
    POINT pt;
    GetCursorPos(&pt);
    // TrackPopupMenu's known quirk: unless the owner is the foreground window the menu does not
    // close when the user clicks elsewhere, and without a message after it the next opening fails.
    SetForegroundWindow(m_data.hWnd);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_data.hWnd, nullptr);
    PostMessageA(m_data.hWnd, WM_NULL, 0, 0);
}
