// Dialogs from templates. One static dialog procedure finds the C++ object (stored at
// WM_INITDIALOG) and calls its virtual handlers. Three ways to run one:
//   DoModal       - the system's modal loop (DialogBoxParam);
//   RunModalLoop  - our own modal-style loop, so PreTranslateMessage sees each message before
//                   IsDialogMessage (the main window needs that for its keys);
//   CreateChild   - a borderless child page (template styles WS_CHILD | DS_CONTROL) inside a
//                   parent dialog, shown and hidden by its owner (tab pages).
#pragma once
#include "wingui/Window_win.h"

namespace wingui {

class CDialog : public CWindow {
public:
    CDialog() = default;
    virtual ~CDialog() = default;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    INT_PTR DoModal(HINSTANCE instance, int templateId, HWND parent);
    INT_PTR RunModalLoop(HINSTANCE instance, int templateId, HWND parent);
    bool CreateChild(HINSTANCE instance, int templateId, HWND parent);

    // Ends a modal dialog (either kind) with the given result. Safe to call from OnInit.
    void End(INT_PTR result);

    // Exceptions never cross into user32: the dialog procedure catches them and reports them
    // here (the program installs a logger), then goes on as if the message was not handled.
    using ExceptionReporter = void (*)(const char* what);
    static void SetExceptionReporter(ExceptionReporter reporter);
    static void ReportException(const char* what);

protected:
    // The handlers do nothing unless overridden (Dialog_win.cpp), in one place rather than in every
    // dialog's file.
    // Return false from OnInit when the focus was set by the handler; true by default.
    virtual bool OnInit();
    // True when handled.
    virtual bool OnCommand(WORD code, WORD id, HWND control);
    // True when handled; `result` goes back through DWLP_MSGRESULT.
    virtual bool OnNotify(int id, NMHDR* header, LRESULT& result);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnSize(UINT type, int cx, int cy);
    virtual void OnDestroy();
    // Sees every message first. True when handled; `result` is the dialog procedure's return
    // value (use SetMsgResult for messages that report through DWLP_MSGRESULT).
    virtual bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result);
    // Our own loop offers each message here before IsDialogMessage; true swallows it.
    virtual bool PreTranslateMessage(MSG& msg);

    void SetMsgResult(LRESULT value) const { ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, value); }

public:
    // A control's text, by its id.
    void SetItemText(int id, const std::string& text) const { ::SetDlgItemTextA(m_hWnd, id, text.c_str()); }
    void SetItemText(int id, const char* text) const { ::SetDlgItemTextA(m_hWnd, id, text); }
    std::string GetItemText(int id) const { return CWindow(GetItem(id)).GetText(); }

protected:
    HINSTANCE Instance() const { return m_hInstance; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    INT_PTR HandleMessage(UINT msg, WPARAM w, LPARAM l);
    void EnableOwner();

    HINSTANCE m_hInstance = nullptr;
    HWND m_hOwner = nullptr;  // disabled while our own loop runs
    bool m_bOwnLoop = false;
    bool m_bInInit = false;
    bool m_bEnded = false;
    INT_PTR m_nResult = IDCANCEL;
};

// A message box with one OK button and a warning icon.
void ShowWarning(HWND owner, const char* title, const char* text);
inline void ShowWarning(HWND owner, const char* title, const std::string& text) { ShowWarning(owner, title, text.c_str()); }

}  // namespace wingui
