// The deathmatch page: limits, the end of round delay, the map list choice with its editor, and
// the availability tabs.
#pragma once
#include "config/ItemAvailabilityCtrl_win.h"
#include "config/RecordExchange_win.h"
#include "wingui/Controls_win.h"

class CDMOptionsDlg : public COptionPage {
public:
    explicit CDMOptionsDlg(const COptionPagesContext& context);

protected:
    void BindFields(CRecordExchange& exchange) override;
    void ShowExtra() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;

private:
    // Lists the map lists and selects the current one, creating the default list when needed.
    void FillMapListChoice();
    // A choice in the list (see wingui::CComboBox::IsChoice); a close-up moves the focus on.
    void OnMapListChosen(bool bCloseUp);
    void OnModifyMapList();

    COptionPagesContext m_context;
    wingui::CComboBox m_cmbMapList;
    CItemAvailabilityCtrl m_availability;
};
