#include "installer/CancelDlg_win.h"

#include "installer/resource.h"

bool CCancelDlg::OnInit()
{
    SendMessageA(GetItem(IDC_QUESTION_ICON), STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)), 0);
    return true;
}

bool CCancelDlg::OnCommand(WORD, WORD id, HWND)
{
    if (id == IDYES || id == IDNO || id == IDCANCEL) {
        End(id == IDYES ? IDYES : IDNO);
        return true;
    }
    return false;
}
