// The availability tabs of the deathmatch page: weapons, items and powerups, one page of check
// boxes each. A click changes only the availability flags.
#pragma once
#include "config/RecordExchange_win.h"
#include "wingui/TabCtrl_win.h"

#include <memory>

// One page of availability check boxes.
class CAvailabilityPage : public COptionPage {
public:
    CAvailabilityPage(int templateId, EAvailabilityPage page, CServerConfig& record)
        : COptionPage(templateId, record), m_ePage(page)
    {
    }

protected:
    void BindFields(CRecordExchange& exchange) override;

private:
    EAvailabilityPage m_ePage;
};

class CItemAvailabilityCtrl : public wingui::CTabCtrl {
public:
    // The three page objects are made here; their windows by CreatePages.
    explicit CItemAvailabilityCtrl(CServerConfig& record);
    CItemAvailabilityCtrl(const CItemAvailabilityCtrl&) = delete;
    CItemAvailabilityCtrl& operator=(const CItemAvailabilityCtrl&) = delete;

    // Places the pages over the display area; the weapons page is shown.
    void CreatePages(HINSTANCE instance);
    // TCN_SELCHANGE: the page of the selected tab.
    void OnSelChange();

private:
    static constexpr int kPageCount = 3;
    int m_anTemplateIds[kPageCount];
    std::unique_ptr<CAvailabilityPage> m_apPages[kPageCount];
};
