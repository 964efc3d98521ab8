// The cancel confirmation: "Are you 'Sure' ...". Ends with 6 (Yes) or 7 (No); Escape and closing
// count as No.
#pragma once
#include "wingui/Dialog_win.h"

class CCancelDlg : public wingui::CDialog {
protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
};
