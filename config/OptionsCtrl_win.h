// The lower half of the configuration dialog: a tab control with the game-type page
// (CDMOptionsDlg for a deathmatch configuration, CCoopOptionsDlg otherwise) and the voting page
// CVoteOptionsDlg. Both pages are rebuilt whenever the configuration or its game type changes.
#pragma once
#include "config/RecordExchange_win.h"
#include "wingui/TabCtrl_win.h"

#include <functional>
#include <memory>
#include <string>

struct CLevelCatalogue;

// What the pages need from the dialog that holds them.
struct COptionPagesContext {
    HINSTANCE m_hInstance = nullptr;
    CServerConfig* m_pRecord = nullptr;
    std::string m_strGameFolder;
    const CLevelCatalogue* m_pCatalogue = nullptr;
    // The map list editor saved a list: the dialog refills its starting level list.
    std::function<void()> m_onMapListSaved;
};

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
