// The about dialog: the program and its version, and two link labels (the authors' site and the
// game maker's) that turn red under the pointer, open their address with the shell when clicked
// and are purple once visited. Each opening is a new dialog, so the links start blue again.
#pragma once
#include "controls/LinkLabelModel.h"
#include "wingui/Controls_win.h"
#include "wingui/Dialog_win.h"
#include "wingui/Owners_win.h"

class CAboutDlg : public wingui::CDialog {
public:
    // Runs a new about dialog modally over the owner.
    static void Show(HINSTANCE instance, HWND owner);

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
    bool PreTranslateMessage(MSG& msg) override;
    void OnDestroy() override;

private:
    struct CLink {
        int m_nId;
        const char* m_pszAddress;
        wingui::CStatic m_label;
        CLinkLabelModel m_state;
    };
    void CreateTooltips();

    CLink m_links[2];
    HCURSOR m_hNormalCursor = nullptr;  // shared: never destroyed
    HCURSOR m_hHandCursor = nullptr;    // shared: never destroyed
    HWND m_hTooltips = nullptr;
    wingui::CFont m_linkFont;
};
