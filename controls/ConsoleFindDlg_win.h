// The console's find box: "Find what", "Match case", Find Next (the default button) and Cancel.
// It stays open while Find Next is pressed; each press searches once through `findNext`.
#pragma once
#include "controls/ConsoleFind.h"
#include "wingui/Dialog_win.h"

#include <functional>

class CConsoleFindDlg : public wingui::CDialog {
public:
    CConsoleFindDlg(CFindRequest& request, std::function<bool()> findNext)
        : m_request(request), m_findNext(std::move(findNext))
    {
    }

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;

private:
    CFindRequest& m_request;
    std::function<bool()> m_findNext;
};
