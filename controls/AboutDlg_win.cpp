#include "controls/AboutDlg_win.h"

#include "controls/Resource.h"

#include <commctrl.h>
#include <shellapi.h>

namespace {
// The two addresses are reserved example names until the project has its own site; the game
// maker's fictional site must never point at somebody else's.
const char kAuthorAddress[] = "https://tollan.example.org/";
const char kMakerAddress[] = "https://www.morvane.example/";
}  // namespace

void CAboutDlg::Show(HINSTANCE instance, HWND owner)
{
    CAboutDlg dlg;
    dlg.m_links[0].m_nId = IDC_AUTHOR_LINK;
    dlg.m_links[0].m_pszAddress = kAuthorAddress;
    dlg.m_links[1].m_nId = IDC_MAKER_LINK;
    dlg.m_links[1].m_pszAddress = kMakerAddress;
    dlg.RunModalLoop(instance, IDD_ABOUTBOX, owner);
}

bool CAboutDlg::OnInit()
{
    // Centred over the main window.
    if (HWND owner = GetWindow(m_hWnd, GW_OWNER)) {
        RECT o, me = GetWindowRectangle();
        GetWindowRect(owner, &o);
        int w = me.right - me.left, h = me.bottom - me.top;
        SetWindowPos(m_hWnd, nullptr, (o.left + o.right - w) / 2, (o.top + o.bottom - h) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_hHandCursor = LoadCursor(nullptr, IDC_HAND);
    m_hNormalCursor = GetCursor();
    for (CLink& link : m_links)
        link.m_label.Attach(GetItem(link.m_nId));

    // The links are drawn in the labels' own font, underlined.
    if (m_links[0].m_label.GetFont())
        m_linkFont = wingui::DerivedFont(m_links[0].m_label, 0, 0, true);
    if (m_linkFont)
        for (CLink& link : m_links)
            link.m_label.SetFont(m_linkFont.Get(), false);
    CreateTooltips();
    return true;
}

void CAboutDlg::CreateTooltips()
{
    m_hTooltips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, Instance(), nullptr);
    if (!m_hTooltips)
        return;
    RECT margin{3, 3, 3, 3};
    SendMessageA(m_hTooltips, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    // Only the links have hints: a hint for every control whose id has a string would give OK
    // (id 1) the program's name.
    for (CLink& link : m_links) {
        char text[256] = "";
        if (!LoadStringA(Instance(), link.m_nId, text, sizeof text))
            continue;
        TTTOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND;
        ti.hwnd = m_hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(link.m_label.GetHWND());
        ti.lpszText = text;
        SendMessageA(m_hTooltips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageA(m_hTooltips, TTM_ACTIVATE, TRUE, 0);
}

bool CAboutDlg::OnCommand(WORD code, WORD id, HWND control)
{
    if (id != IDOK && id != IDCANCEL)
        return false;
    End(id);
    return true;
}

bool CAboutDlg::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result)
{
    if (msg != WM_CTLCOLORSTATIC)
        return false;
    for (CLink& link : m_links) {
        if (reinterpret_cast<HWND>(l) != link.m_label.GetHWND())
            continue;
        HDC dc = reinterpret_cast<HDC>(w);
        SetTextColor(dc, link.m_state.Colour());
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    return false;
}

// Every message for the dialog or its controls, before the system sees it: the pointer's
// position when the message was queued decides which link is under it.
bool CAboutDlg::PreTranslateMessage(MSG& msg)
{
    if (!m_hWnd || (msg.hwnd != m_hWnd && !IsChild(m_hWnd, msg.hwnd)))
        return false;
    bool overLink = false;
    for (CLink& link : m_links) {
        RECT r = link.m_label.GetWindowRectangle();
        CLinkStep step = link.m_state.OnMessage(PtInRect(&r, msg.pt) != 0, msg.message == WM_LBUTTONDOWN);
        if (step.m_bOpen)
            ShellExecuteA(m_hWnd, "open", link.m_pszAddress, nullptr, nullptr, SW_SHOWNORMAL);
        if (step.m_bRedraw)
            RedrawWindow(link.m_label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        overLink = overLink || link.m_state.IsHovered();
    }
    SetCursor(overLink ? m_hHandCursor : m_hNormalCursor);
    if (m_hTooltips)
        SendMessageA(m_hTooltips, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    return false;
}

void CAboutDlg::OnDestroy()
{
    // The two pointers are the system's shared ones and stay; only what the dialog made goes.
    if (m_hTooltips)
        DestroyWindow(m_hTooltips);
    m_hTooltips = nullptr;
}
