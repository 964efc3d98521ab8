// A window handle with the few operations the dialogs need. Holds the HWND only; copying it copies
// the handle, never the window.
#pragma once
#include <windows.h>

#include <string>

namespace wingui {

class CWindow {
public:
    CWindow(HWND hwnd = nullptr) : m_hWnd(hwnd) {}
    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND Detach()
    {
        HWND h = m_hWnd;
        m_hWnd = nullptr;
        return h;
    }
    HWND GetHWND() const { return m_hWnd; }
    void Invalidate(bool erase = true) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    operator HWND() const { return m_hWnd; }

    LRESULT SendMsg(UINT msg, WPARAM w = 0, LPARAM l = 0) const
    {
        return ::SendMessageA(m_hWnd, msg, w, l);
    }

    bool SetText(const std::string& text) const { return ::SetWindowTextA(m_hWnd, text.c_str()) != 0; }
    // A literal needs no string made of it first.
    bool SetText(const char* text) const { return ::SetWindowTextA(m_hWnd, text) != 0; }
    std::string GetText() const
    {
        int n = ::GetWindowTextLengthA(m_hWnd);
        std::string s(n + 1, '\0');
        n = ::GetWindowTextA(m_hWnd, &s[0], n + 1);
        s.resize(n > 0 ? n : 0);
        return s;
    }

    bool Enable(bool enable) const { return ::EnableWindow(m_hWnd, enable) != 0; }
    bool IsEnabled() const { return ::IsWindowEnabled(m_hWnd) != 0; }
    bool Show(int cmd) const { return ::ShowWindow(m_hWnd, cmd) != 0; }
    bool IsVisible() const { return ::IsWindowVisible(m_hWnd) != 0; }
    bool Move(int x, int y, int cx, int cy, bool repaint = false) const
    {
        return ::MoveWindow(m_hWnd, x, y, cx, cy, repaint) != 0;
    }
    RECT GetWindowRectangle() const
    {
        RECT r{};
        ::GetWindowRect(m_hWnd, &r);
        return r;
    }
    RECT GetClientRectangle() const
    {
        RECT r{};
        ::GetClientRect(m_hWnd, &r);
        return r;
    }
    // Window rectangle in the client coordinates of the parent.
    RECT GetRectInParent() const
    {
        RECT r = GetWindowRectangle();
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    void SetFont(HFONT font, bool redraw = true) const
    {
        SendMsg(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMsg(WM_GETFONT)); }
    LONG_PTR GetStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_STYLE); }
    LONG_PTR GetExStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE); }
    // Changes the frame styles and makes the window recompute its non-client area.
    void ModifyStyles(LONG_PTR removeStyle, LONG_PTR addStyle, LONG_PTR removeEx, LONG_PTR addEx) const
    {
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (GetStyle() & ~removeStyle) | addStyle);
        ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, (GetExStyle() & ~removeEx) | addEx);
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    HWND GetItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetFocus() const { ::SetFocus(m_hWnd); }

protected:
    HWND m_hWnd;
};

}  // namespace wingui
