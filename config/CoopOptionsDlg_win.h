// The cooperative page: difficulty, lives, enemy strength and what stays after a pickup.
#pragma once
#include "config/RecordExchange_win.h"
#include "wingui/Controls_win.h"

class CCoopOptionsDlg : public COptionPage {
public:
    explicit CCoopOptionsDlg(CServerConfig& record);

protected:
    void BindFields(CRecordExchange& exchange) override;
    void ShowExtra() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;

private:
    wingui::CComboBox m_cmbDifficulty;
};
