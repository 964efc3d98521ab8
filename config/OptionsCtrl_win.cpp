#include "config/OptionsCtrl_win.h"

#include "config/CoopOptionsDlg_win.h"
#include "config/DMOptionsDlg_win.h"
#include "config/VoteOptionsDlg_win.h"

void COptionsCtrl::CreatePages()
{
    CServerConfig& record = *m_context.m_pRecord;
    if (record.g_gtGameType == kGameTypeDeathmatch)
        m_apPages[0] = std::make_unique<CDMOptionsDlg>(m_context);
    else
        m_apPages[0] = std::make_unique<CCoopOptionsDlg>(record);
    m_apPages[1] = std::make_unique<CVoteOptionsDlg>(record);
    for (int i = 0; i < kPageCount; ++i) {
        m_anTemplateIds[i] = m_apPages[i]->TemplateId();
        m_apPages[i]->CreateChild(m_context.m_hInstance, m_anTemplateIds[i], m_hWnd);
        PlacePage(*m_apPages[i], 3, 1, 4, 2);
    }
    ShowPage(0);
}

void COptionsCtrl::DestroyPages()
{
    for (auto& page : m_apPages) {
        if (page && page->GetHWND())
            ::DestroyWindow(*page);
        page.reset();
    }
}

void COptionsCtrl::RebuildPages()
{
    DestroyPages();
    CreatePages();
}

void COptionsCtrl::ShowPage(int index)
{
    for (int i = 0; i < kPageCount; ++i)
        if (m_apPages[i])
            m_apPages[i]->Show(i == index ? SW_SHOW : SW_HIDE);
}

void COptionsCtrl::OnSelChange() { ShowPage(GetCurSel() == 0 ? 0 : 1); }

bool COptionsCtrl::ReadPages()
{
    for (int i = 0; i < kPageCount; ++i) {
        if (!m_apPages[i])
            continue;
        // The focus goes back to a failing control, so its page comes to the front first.
        if (!m_apPages[i]->WouldPass() && GetCurSel() != i) {
            SetCurSel(i);
            ShowPage(i);
        }
        if (!m_apPages[i]->ReadAll())
            return false;
    }
    return true;
}
