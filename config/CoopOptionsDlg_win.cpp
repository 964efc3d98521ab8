#include "config/CoopOptionsDlg_win.h"

#include "config/Resource.h"

CCoopOptionsDlg::CCoopOptionsDlg(CServerConfig& record) : COptionPage(IDD_COOP_OPTIONS, record) {}

void CCoopOptionsDlg::BindFields(CRecordExchange& exchange) { exchange.Bind(m_hWnd, CoopOptionsFields()); }

void CCoopOptionsDlg::ShowExtra()
{
    m_cmbDifficulty.Attach(GetItem(IDC_DIFFICULTY));
    m_cmbDifficulty.ResetContent();
    for (const char* label : kDifficultyLabels)
        m_cmbDifficulty.AddString(label);
    m_cmbDifficulty.SetCurSel(m_record.g_gdDifficulty);
}

bool CCoopOptionsDlg::OnCommand(WORD code, WORD id, HWND control)
{
    if (id == IDC_DIFFICULTY && m_cmbDifficulty.IsChoice(code)) {
        ApplyDifficultyChoice(m_record, m_cmbDifficulty.GetCurSel());
        return true;
    }
    return COptionPage::OnCommand(code, id, control);
}
