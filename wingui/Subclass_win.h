// A window procedure put in front of an existing window's own, for a control class that must see
// some of its messages first (comctl32's SetWindowSubclass, so several hooks can share a window).
// Removed at WM_NCDESTROY at the latest.
#pragma once
#include <windows.h>

namespace wingui {

class CSubclass {
public:
    CSubclass() = default;
    virtual ~CSubclass();
    CSubclass(const CSubclass&) = delete;
    CSubclass& operator=(const CSubclass&) = delete;

    bool Subclass(HWND hwnd);
    void Unsubclass();
    HWND SubclassedWindow() const { return m_hWndSubclassed; }

protected:
    // Return Default(...) for what the window's own procedure should handle.
    virtual LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l);
    LRESULT Default(UINT msg, WPARAM w, LPARAM l);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR self);

    HWND m_hWndSubclassed = nullptr;
};

}  // namespace wingui
