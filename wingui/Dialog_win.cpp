#include "wingui/Dialog_win.h"

#include <exception>

namespace wingui {

namespace {
CDialog::ExceptionReporter g_reporter = nullptr;

void Report(const char* what)
{
    if (g_reporter)
        g_reporter(what);
}
}  // namespace

bool CDialog::OnInit() { return true; }
bool CDialog::OnCommand(WORD, WORD, HWND) { return false; }
bool CDialog::OnNotify(int, NMHDR*, LRESULT&) { return false; }
void CDialog::OnTimer(UINT_PTR) {}
void CDialog::OnSize(UINT, int, int) {}
void CDialog::OnDestroy() {}
bool CDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }
bool CDialog::PreTranslateMessage(MSG&) { return false; }

void CDialog::SetExceptionReporter(ExceptionReporter reporter) { g_reporter = reporter; }
void CDialog::ReportException(const char* what) { Report(what); }

INT_PTR CDialog::DoModal(HINSTANCE instance, int templateId, HWND parent)
{
    m_hInstance = instance;
    m_bOwnLoop = false;
    m_bEnded = false;
    return ::DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), parent, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

bool CDialog::CreateChild(HINSTANCE instance, int templateId, HWND parent)
{
    m_hInstance = instance;
    m_bOwnLoop = false;
    return ::CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, DialogProc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR CDialog::RunModalLoop(HINSTANCE instance, int templateId, HWND parent)
{
    m_hInstance = instance;
    m_bOwnLoop = true;
    m_bEnded = false;
    m_nResult = IDCANCEL;
    m_hOwner = parent;
    HWND hwnd = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(templateId), parent, DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!hwnd)
        return -1;
    if (m_bEnded) {
        // End() was called during OnInit; the window goes without ever being shown.
        ::DestroyWindow(hwnd);
        return m_nResult;
    }
    if (parent)
        ::EnableWindow(parent, FALSE);
    if (!::IsWindowVisible(hwnd))
        ::ShowWindow(hwnd, SW_SHOW);

    MSG msg;
    while (!m_bEnded) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // Somebody posted WM_QUIT: leave, and let the outer level see it too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        bool handled = false;
        try {
            handled = PreTranslateMessage(msg);
        } catch (const std::exception& e) {
            Report(e.what());
        } catch (...) {
            Report("unknown exception");
        }
        if (handled)
            continue;
        if (m_hWnd && ::IsDialogMessageA(m_hWnd, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    EnableOwner();
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    return m_nResult;
}

void CDialog::End(INT_PTR result)
{
    m_nResult = result;
    m_bEnded = true;
    if (!m_bOwnLoop) {
        ::EndDialog(m_hWnd, result);
        return;
    }
    // Our own loop destroys the window; during WM_INITDIALOG RunModalLoop does it afterwards.
    if (!m_bInInit && m_hWnd) {
        EnableOwner();
        ::DestroyWindow(m_hWnd);
    }
}

void CDialog::EnableOwner()
{
    // Before the dialog goes: with its owner still disabled, the system would activate some
    // other program's window instead of the owner.
    if (m_hOwner)
        ::EnableWindow(m_hOwner, TRUE);
    m_hOwner = nullptr;
}

void ShowWarning(HWND owner, const char* title, const char* text)
{
    ::MessageBoxA(owner, text, title, MB_OK | MB_ICONWARNING);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    CDialog* self;
    if (msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(l);
        ::SetWindowLongPtrA(hwnd, DWLP_USER, l);
        self->m_hWnd = hwnd;
    } else {
        self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    }
    // Messages sent before WM_INITDIALOG (WM_SETFONT and the like) have no object yet.
    if (!self)
        return FALSE;
    try {
        return self->HandleMessage(msg, w, l);
    } catch (const std::exception& e) {
        Report(e.what());
    } catch (...) {
        Report("unknown exception");
    }
    if (msg == WM_INITDIALOG)
        self->m_bInInit = false;
    return FALSE;
}

INT_PTR CDialog::HandleMessage(UINT msg, WPARAM w, LPARAM l)
{
    INT_PTR result = 0;
    if (msg != WM_INITDIALOG && OnMessage(msg, w, l, result))
        return result;
    switch (msg) {
    case WM_INITDIALOG: {
        m_bInInit = true;
        bool defaultFocus = OnInit();
        m_bInInit = false;
        return defaultFocus ? TRUE : FALSE;
    }
    case WM_COMMAND:
        return OnCommand(HIWORD(w), LOWORD(w), reinterpret_cast<HWND>(l)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        LRESULT notifyResult = 0;
        if (!OnNotify(static_cast<int>(w), reinterpret_cast<NMHDR*>(l), notifyResult))
            return FALSE;
        SetMsgResult(notifyResult);
        return TRUE;
    }
    case WM_TIMER:
        OnTimer(w);
        return TRUE;
    case WM_SIZE:
        OnSize(static_cast<UINT>(w), LOWORD(l), HIWORD(l));
        return FALSE;
    case WM_DESTROY:
        // However the window goes, our own loop must not wait for it any longer.
        if (m_bOwnLoop)
            m_bEnded = true;
        OnDestroy();
        return FALSE;
    case WM_NCDESTROY:
        ::SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        m_hWnd = nullptr;
        return FALSE;
    }
    return FALSE;
}

}  // namespace wingui
