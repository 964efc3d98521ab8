#include "config/DMOptionsDlg_win.h"

#include "base/UtilityLog.h"
#include "maps/LevelCatalogue.h"
#include "maps/MapListDlg_win.h"
#include "maps/MapListFiles.h"
#include "maps/MapListModel.h"
#include "config/Resource.h"

CDMOptionsDlg::CDMOptionsDlg(const COptionPagesContext& context)
    : COptionPage(IDD_DM_OPTIONS, *context.m_pRecord), m_context(context), m_availability(*context.m_pRecord)
{
}

void CDMOptionsDlg::BindFields(CRecordExchange& exchange) { exchange.Bind(m_hWnd, DeathmatchOptionsFields()); }

void CDMOptionsDlg::ShowExtra()
{
    m_availability.Attach(GetItem(IDC_AVAILABILITY_TABS));
    m_availability.InsertItem(0, "Weapons Availability");
    m_availability.InsertItem(1, "Items Availability");
    m_availability.InsertItem(2, "Powerups Availability");
    m_availability.SetMinTabWidth(120);
    m_availability.CreatePages(Instance());
    m_availability.SetCurSel(0);

    m_cmbMapList.Attach(GetItem(IDC_MAP_LIST_CHOICE));
    FillMapListChoice();
}

void CDMOptionsDlg::FillMapListChoice()
{
    CServerConfig& cfg = m_record;
    const CLevelList& dm = m_context.m_pCatalogue->m_dm;
    auto fill = [&] {
        m_cmbMapList.ResetContent();
        for (const std::string& name : ListMapLists(m_context.m_strGameFolder, false))
            m_cmbMapList.AddString(name);
        return m_cmbMapList.GetItemTexts();  // as the sorted list shows them
    };
    CMapListPick pick = PickMapList(fill(), cfg.g_strMapList, dm.Count() > 0);
    if (pick.m_bCreateDefault) {
        CreateDefaultMapList(m_context.m_strGameFolder, dm);
        pick = PickMapList(fill(), kDefaultMapListName, false);
    }
    cfg.g_strMapList = pick.m_strCurrent;
    m_cmbMapList.SetCurSel(pick.m_nSelected);
}

void CDMOptionsDlg::OnMapListChosen(bool bCloseUp)
{
    CServerConfig& cfg = m_record;
    int selected = m_cmbMapList.GetCurSel();
    if (selected < 0 && m_cmbMapList.GetCount() > 0)
        selected = 0;
    // A change of selection onto the list already chosen (a click's second notification) has
    // nothing left to do.
    if (!bCloseUp && (selected < 0 || m_cmbMapList.GetItemText(selected) == cfg.g_strMapList))
        return;
    if (selected >= 0)
        cfg.g_strMapList = m_cmbMapList.GetItemText(selected);
    LogMessage("INF:  Current Map List: %s\n", cfg.g_strMapList.c_str());
    if (bCloseUp)
        ::SetFocus(GetItem(IDC_MODIFY_MAP_LIST));
}

void CDMOptionsDlg::OnModifyMapList()
{
    CServerConfig& cfg = m_record;
    CMapListDlg editor(m_context.m_strGameFolder, m_context.m_pCatalogue->m_dm, cfg.g_strMapList, cfg.g_iDmStartingLevel);
    editor.m_onSaved = m_context.m_onMapListSaved;
    editor.Run(Instance(), ::GetAncestor(m_hWnd, GA_ROOT));
    FillMapListChoice();
}

bool CDMOptionsDlg::OnCommand(WORD code, WORD id, HWND control)
{
    if (id == IDC_MAP_LIST_CHOICE && m_cmbMapList.IsChoice(code)) {
        OnMapListChosen(code == CBN_CLOSEUP);
        return true;
    }
    if (id == IDC_MODIFY_MAP_LIST && code == BN_CLICKED) {
        OnModifyMapList();
        return true;
    }
    return COptionPage::OnCommand(code, id, control);
}

bool CDMOptionsDlg::OnNotify(int id, NMHDR* header, LRESULT& result)
{
    if (id == IDC_AVAILABILITY_TABS && header->code == TCN_SELCHANGE) {
        m_availability.OnSelChange();
        return true;
    }
    return false;
}
