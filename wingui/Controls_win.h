// Small value classes over the standard controls. A dialog attaches them in OnInit:
//   m_btnStart.Attach(GetItem(IDC_START));
#pragma once
#include "wingui/Window_win.h"

#include <richedit.h>

#include <vector>

namespace wingui {

class CButton : public CWindow {
public:
    bool IsChecked() const { return SendMsg(BM_GETCHECK) == BST_CHECKED; }
    void SetCheck(bool on) const { SendMsg(BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED); }
};

class CStatic : public CWindow {};

class CEdit : public CWindow {
public:
    void SetReadOnly(bool on) const { SendMsg(EM_SETREADONLY, on); }
    void SetLimit(int chars) const { SendMsg(EM_LIMITTEXT, chars); }
};

class CComboBox : public CWindow {
public:
    int GetCount() const { return static_cast<int>(SendMsg(CB_GETCOUNT)); }
    int AddString(const char* s) const
    {
        return static_cast<int>(SendMsg(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s)));
    }
    int AddString(const std::string& s) const { return AddString(s.c_str()); }
    void ResetContent() const { SendMsg(CB_RESETCONTENT); }
    int GetCurSel() const { return static_cast<int>(SendMsg(CB_GETCURSEL)); }
    void SetCurSel(int i) const { SendMsg(CB_SETCURSEL, i); }
    std::string GetItemText(int i) const
    {
        LRESULT n = SendMsg(CB_GETLBTEXTLEN, i);
        if (n == CB_ERR)
            return std::string();
        std::string s(n + 1, '\0');
        n = SendMsg(CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&s[0]));
        s.resize(n > 0 ? n : 0);
        return s;
    }
    bool IsDroppedDown() const { return SendMsg(CB_GETDROPPEDSTATE) != 0; }
    // A choice made in the box: its list closing up, or a change of selection while the list is
    // closed (arrow keys, Home/End, the wheel, a typed prefix). A change inside an open list
    // waits for the close-up. A click's CBN_SELCHANGE may come before or after its CBN_CLOSEUP
    // (Windows and Wine differ), so one pick can arrive twice.
    bool IsChoice(WORD code) const { return code == CBN_CLOSEUP || (code == CBN_SELCHANGE && !IsDroppedDown()); }
    std::vector<std::string> GetItemTexts() const
    {
        std::vector<std::string> texts;
        for (int i = 0, n = GetCount(); i < n; ++i)
            texts.push_back(GetItemText(i));
        return texts;
    }
};

// Counts nested updates made from code, so that the notifications they cause can be told apart
// from the user's own changes: `CUpdateGuard guard(m_nUpdating);` ... `if (m_nUpdating) return;`
class CUpdateGuard {
public:
    explicit CUpdateGuard(int& counter) : m_counter(counter) { ++m_counter; }
    ~CUpdateGuard() { --m_counter; }
    CUpdateGuard(const CUpdateGuard&) = delete;
    CUpdateGuard& operator=(const CUpdateGuard&) = delete;

private:
    int& m_counter;
};

// Rich edit 2.0 ("RichEdit20A"): the few calls the dialogs need.
class CRichEdit : public CWindow {
public:
    void SetUndoLimit(int n) const { SendMsg(EM_SETUNDOLIMIT, n); }
    bool SetCharFormat(const CHARFORMATA& cf, WPARAM scope = SCF_ALL) const
    {
        return SendMsg(EM_SETCHARFORMAT, scope, reinterpret_cast<LPARAM>(&cf)) != 0;
    }
    void SetSel(long start, long end) const { SendMsg(EM_SETSEL, start, end); }
    void ReplaceSel(const char* text, bool canUndo = false) const
    {
        SendMsg(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    void ReplaceSel(const std::string& text, bool canUndo = false) const { ReplaceSel(text.c_str(), canUndo); }
};

}  // namespace wingui
