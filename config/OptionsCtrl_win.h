// The lower half of the configuration dialog: a tab control with the game-type page
// (CDMOptionsDlg for a deathmatch configuration, CCoopOptionsDlg otherwise) and the voting page
// CVoteOptionsDlg. Both pages are rebuilt whenever the configuration or its game type changes.
#pragma once
#include "config/RecordExchange_win.h"
#include "wingui/TabCtrl_win.h"

#include <memory>

class COptionsCtrl : public wingui::CTabCtrl {
public:
    COptionsCtrl() = default;
    COptionsCtrl(const COptionsCtrl&) = delete;
    COptionsCtrl& operator=(const COptionsCtrl&) = delete;
    ~COptionsCtrl() { DestroyPages(); }

    void SetContext(const COptionPagesContext& context) { m_context = context; }
    // Creates both pages over the display area; the game-type page is shown.
    void CreatePages();
    void RebuildPages();
    void DestroyPages();
    // TCN_SELCHANGE: the voting page for any tab but the first.
    void OnSelChange();
    // The confirming read of both pages; a failing page is brought to the front first.
    bool ReadPages();

private:
    void ShowPage(int index);

    static constexpr int kPageCount = 2;
    int m_anTemplateIds[kPageCount] = {};
    std::unique_ptr<COptionPage> m_apPages[kPageCount];
    COptionPagesContext m_context;
};
