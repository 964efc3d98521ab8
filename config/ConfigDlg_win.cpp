#include "config/ConfigDlg_win.h"

#include "base/Names.h"
#include "config/ConfigSave.h"
#include "config/HistoryStore.h"
#include "maps/LevelCatalogue.h"
#include "config/Resource.h"

CConfigDlg::CConfigDlg(CServerConfig& record, const std::string& gameFolder, const CLevelCatalogue& catalogue,
                       const CHistoryStore& history)
    : m_record(record), m_strGameFolder(gameFolder), m_catalogue(catalogue), m_history(history)
{
}

CConfigDlg::~CConfigDlg() = default;

INT_PTR CConfigDlg::Run(HINSTANCE instance, HWND parent)
{
    return RunModalLoop(instance, IDD_CONFIG_DIALOG, parent);
}

bool CConfigDlg::OnInit()
{
    CServerConfig& cfg = m_record;
    m_btnCancel.Attach(GetItem(IDCANCEL));
    m_cmbName.Attach(GetItem(IDC_CONFIG_NAME));
    m_cmbGameType.Attach(GetItem(IDC_GAME_TYPE));
    m_cmbStartingLevel.Attach(GetItem(IDC_STARTING_LEVEL));
    m_tabs.Attach(GetItem(IDC_OPTIONS_TABS));
    m_exchange.Bind(m_hWnd, ServerSettingsFields());

    // A name typed at an earlier opening and left with Cancel is not what this one shows.
    cfg.m_strNewConfigName.clear();
    m_bNameTyped = false;
    wingui::CUpdateGuard guard(m_nUpdating);
    SetItemText(IDC_CONFIG_EXTENSION, ".cfg");
    ShowRecord();
    m_history.GetConfigOptions(cfg);
    ShowRecord();
    FillNameBox();
    RefillStartingLevels();
    for (const char* label : kGameTypeLabels)
        m_cmbGameType.AddString(label);
    m_cmbGameType.SetCurSel(cfg.g_gtGameType);

    m_tabs.InsertItem(0, "");
    m_tabs.InsertItem(1, "");
    NameTabs();
    m_tabs.SetMinTabWidth(120);
    COptionPagesContext context;
    context.m_hInstance = Instance();
    context.m_pRecord = &m_record;
    context.m_strGameFolder = m_strGameFolder;
    context.m_pCatalogue = &m_catalogue;
    context.m_onMapListSaved = [this] { RefillStartingLevels(); };
    m_tabs.SetContext(context);
    m_tabs.CreatePages();
    m_tabs.SetCurSel(0);
    return true;
}

void CConfigDlg::ShowRecord()
{
    wingui::CUpdateGuard guard(m_nUpdating);
    m_exchange.Show(m_record);
}

bool CConfigDlg::ReadControls() { return m_exchange.Read(m_record); }

void CConfigDlg::FillNameBox()
{
    CServerConfig& cfg = m_record;
    wingui::CUpdateGuard guard(m_nUpdating);
    CConfigComboResult names = m_history.FillConfigCombo(cfg);
    m_cmbName.ResetContent();
    for (const std::string& name : names.m_names)
        m_cmbName.AddString(name);
    m_cmbName.SetCurSel(names.m_nSelected);
    // The box shows the name Save will write, listed or not.
    SetNameBoxText(cfg.m_strConfigName);
}

void CConfigDlg::SetNameBoxText(const std::string& text)
{
    wingui::CUpdateGuard guard(m_nUpdating);
    m_cmbName.SetText(text);
}

void CConfigDlg::RefillStartingLevels()
{
    const CServerConfig& cfg = m_record;
    const CLevelList& levels = cfg.g_gtGameType == kGameTypeDeathmatch ? m_catalogue.m_dm : m_catalogue.m_coop;
    wingui::CUpdateGuard guard(m_nUpdating);
    m_cmbStartingLevel.ResetContent();
    for (int i = 0, n = levels.Count(); i < n; ++i)
        m_cmbStartingLevel.AddString(levels.m_aSlots[i].m_strName);
    m_cmbStartingLevel.SetCurSel(StartingLevelOfGameType(cfg));
}

void CConfigDlg::NameTabs()
{
    const bool deathmatch = m_record.g_gtGameType == kGameTypeDeathmatch;
    m_tabs.SetItemText(0, deathmatch ? "Death Match Settings" : "Cooperative Settings");
    m_tabs.SetItemText(1, "Voting Settings");
}

// The parts that follow the game type: starting levels, the game type shown, both pages and the
// tab names, with the first tab selected.
void CConfigDlg::RefreshForGameType()
{
    RefillStartingLevels();
    {
        wingui::CUpdateGuard guard(m_nUpdating);
        m_cmbGameType.SetCurSel(m_record.g_gtGameType);
        m_tabs.RebuildPages();
        NameTabs();
        m_tabs.SetCurSel(0);
    }
}

void CConfigDlg::MoveFocusTo(int id)
{
    SendMsg(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(id)), TRUE);
}

void CConfigDlg::OnNameChosen(bool bCloseUp)
{
    CServerConfig& cfg = m_record;
    const int selected = m_cmbName.GetCurSel();
    // A key or the wheel loads the entry it brought into the box. The entry already loaded and
    // not typed over is left alone: that is the second notification of a click.
    if (!bCloseUp &&
        (selected < 0 || (!m_bNameTyped && m_cmbName.GetItemText(selected) == cfg.m_strConfigName)))
        return;
    cfg.m_strNewConfigName.clear();
    m_bNameTyped = false;
    if (selected >= 0)
        cfg.m_strConfigName = m_cmbName.GetItemText(selected);
    // Even the same entry is loaded again: unsaved changes give way to the stored values.
    m_history.GetConfigOptions(cfg);
    ShowRecord();
    SetNameBoxText(cfg.m_strConfigName);
    RefreshForGameType();
    if (bCloseUp)
        MoveFocusTo(IDC_SAVE_CONFIG);
}

void CConfigDlg::OnGameTypeChosen(bool bCloseUp)
{
    CServerConfig& cfg = m_record;
    const int selected = m_cmbGameType.GetCurSel();
    if (!bCloseUp && selected == cfg.g_gtGameType)
        return;
    ApplyGameTypeChoice(cfg, selected);
    RefreshForGameType();
    if (bCloseUp)
        MoveFocusTo(IDC_SAVE_CONFIG);
}

void CConfigDlg::OnStartingLevelChosen(bool bCloseUp)
{
    ApplyStartingLevelChoice(m_record, m_cmbStartingLevel.GetCurSel());
    if (bCloseUp)
        MoveFocusTo(IDC_SAVE_CONFIG);
}

void CConfigDlg::OnSave()
{
    // Save writes what the controls hold; a field that fails its check stops it.
    if (!ReadControls() || !m_tabs.ReadPages())
        return;
    // The box shows the current name after every pick, so any other text was typed. The edit's
    // notifications alone are not enough: the combo box drops one after it set its own text.
    CServerConfig& cfg = m_record;
    const std::string shown = m_cmbName.GetText();
    if (shown != cfg.m_strConfigName || m_bNameTyped) {
        cfg.m_strNewConfigName = shown;
        m_bNameTyped = true;
    }
    CSaveRequest request;
    request.m_bNameTyped = m_bNameTyped;
    request.m_onScriptWritten = m_onScriptSaved;
    CSaveResult result = SaveConfiguration(m_strGameFolder, m_catalogue, m_history, request, cfg);
    if (result.m_bRefused) {
        wingui::ShowWarning(m_hWnd, kProgramName, result.m_strMessage);
        int focus = IDC_CONFIG_NAME;
        CFieldTable fields = ServerSettingsFields();
        for (size_t i = 0; i < fields.m_nCount; ++i)
            if (result.m_pField && fields.m_pRules[i].m_pText == result.m_pField)
                focus = fields.m_pRules[i].m_nControlId;
        MoveFocusTo(focus);
        return;
    }
    m_bNameTyped = false;
    // The save may have changed a value (a server FPS below the floor is raised): the controls
    // show what the files now hold.
    ShowRecord();
    if (!result.m_bSaved) {
        wingui::ShowWarning(m_hWnd, kProgramName, result.m_strMessage);
        return;
    }
    m_btnCancel.SetText("Finished");
}

void CConfigDlg::OnClose()
{
    if (ReadControls() && m_tabs.ReadPages())
        End(IDOK);
}

bool CConfigDlg::OnCommand(WORD code, WORD id, HWND control)
{
    if ((code == EN_CHANGE && m_exchange.IsEdit(id)) || (code == BN_CLICKED && m_exchange.IsCheck(id))) {
        if (!m_nUpdating)
            ReadControls();
        return true;
    }
    switch (id) {
    case IDC_SAVE_CONFIG:
        if (code == BN_CLICKED)
            OnSave();
        return true;
    case IDCANCEL:  // the button, Escape and the close command
        OnClose();
        return true;
    case IDC_CONFIG_NAME:
        if (code == CBN_EDITCHANGE && !m_nUpdating) {
            m_record.m_strNewConfigName = m_cmbName.GetText();
            m_bNameTyped = true;
        } else if (m_cmbName.IsChoice(code) && !m_nUpdating) {
            OnNameChosen(code == CBN_CLOSEUP);
        }
        return true;
    case IDC_GAME_TYPE:
        if (m_cmbGameType.IsChoice(code) && !m_nUpdating)
            OnGameTypeChosen(code == CBN_CLOSEUP);
        return true;
    case IDC_STARTING_LEVEL:
        if (m_cmbStartingLevel.IsChoice(code) && !m_nUpdating)
            OnStartingLevelChosen(code == CBN_CLOSEUP);
        return true;
    }
    return false;
}

bool CConfigDlg::OnNotify(int id, NMHDR* header, LRESULT& result)
{
    if (id == IDC_OPTIONS_TABS && header->code == TCN_SELCHANGE) {
        m_tabs.OnSelChange();
        return true;
    }
    return false;
}

bool CConfigDlg::IsDroppedDownCombo(HWND focus) const
{
    for (HWND w : {focus, ::GetParent(focus)}) {
        char cls[16] = "";
        if (w && ::GetClassNameA(w, cls, sizeof cls) && lstrcmpiA(cls, "ComboBox") == 0 &&
            ::SendMessageA(w, CB_GETDROPPEDSTATE, 0, 0))
            return true;
    }
    return false;
}

bool CConfigDlg::PreTranslateMessage(MSG& msg)
{
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || !m_hWnd ||
        (msg.hwnd != m_hWnd && !::IsChild(m_hWnd, msg.hwnd)))
        return false;
    // An open drop-down list takes the Return to close itself on the highlighted entry.
    if (IsDroppedDownCombo(::GetFocus()))
        return false;
    // Return never saves or closes: it only moves the focus to "Save Config".
    MoveFocusTo(IDC_SAVE_CONFIG);
    return true;
}
