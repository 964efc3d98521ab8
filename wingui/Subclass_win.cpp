#include "wingui/Subclass_win.h"

#include "wingui/Dialog_win.h"

#include <commctrl.h>

#include <exception>

namespace wingui {

CSubclass::~CSubclass() { Unsubclass(); }

LRESULT CSubclass::WindowProc(UINT msg, WPARAM w, LPARAM l) { return Default(msg, w, l); }

bool CSubclass::Subclass(HWND hwnd)
{
    Unsubclass();
    if (!hwnd || !::SetWindowSubclass(hwnd, Proc, 0, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    m_hWndSubclassed = hwnd;
    return true;
}

void CSubclass::Unsubclass()
{
    if (m_hWndSubclassed)
        ::RemoveWindowSubclass(m_hWndSubclassed, Proc, 0);
    m_hWndSubclassed = nullptr;
}

LRESULT CSubclass::Default(UINT msg, WPARAM w, LPARAM l)
{
    return ::DefSubclassProc(m_hWndSubclassed, msg, w, l);
}

LRESULT CALLBACK CSubclass::Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self)
{
    CSubclass* me = reinterpret_cast<CSubclass*>(self);
    LRESULT result = 0;
    bool handled = false;
    // Exceptions never cross into user32, as in the dialog procedure.
    try {
        result = me->WindowProc(msg, w, l);
        handled = true;
    } catch (const std::exception& e) {
        CDialog::ReportException(e.what());
    } catch (...) {
        CDialog::ReportException("unknown exception");
    }
    if (!handled)
        result = ::DefSubclassProc(hwnd, msg, w, l);
    if (msg == WM_NCDESTROY)
        me->Unsubclass();
    return result;
}

}  // namespace wingui
