#include "controls/ConsoleFindDlg_win.h"

#include "base/StringPrintf.h"
#include "controls/Resource.h"

bool CConsoleFindDlg::OnInit()
{
    wingui::CWindow what(GetItem(IDC_FIND_WHAT));
    what.SetText(m_request.m_strWhat);
    what.SendMsg(EM_SETSEL, 0, -1);
    wingui::CWindow(GetItem(IDOK)).Enable(!m_request.m_strWhat.empty());
    CheckDlgButton(m_hWnd, IDC_FIND_MATCH_CASE, m_request.m_bMatchCase ? BST_CHECKED : BST_UNCHECKED);
    what.SetFocus();
    return false;
}

bool CConsoleFindDlg::OnCommand(WORD code, WORD id, HWND control)
{
    switch (id) {
    case IDC_FIND_WHAT:
        if (code == EN_CHANGE)
            wingui::CWindow(GetItem(IDOK)).Enable(!wingui::CWindow(control).GetText().empty());
        return code == EN_CHANGE;
    case IDOK: {
        m_request.m_strWhat = GetItemText(IDC_FIND_WHAT);
        m_request.m_bMatchCase = IsDlgButtonChecked(m_hWnd, IDC_FIND_MATCH_CASE) == BST_CHECKED;
        if (m_request.m_strWhat.empty())
            return true;
        bool found = m_findNext();
        if (!found)
            MessageBeep(MB_ICONWARNING);
        SetItemText(IDC_FIND_STATUS, found ? std::string() : StringPrintf("Cannot find \"%s\".", m_request.m_strWhat.c_str()));
        return true;
    }
    case IDCANCEL:
        End(IDCANCEL);
        return true;
    }
    return false;
}
