// " Configuration Settings": shows the current configuration, switches to another stored one or
// starts a new one under a typed name, and saves it (script, server INI, History.ini). Every change
// of a control goes into the record at once; the dialog keeps no copy of its own.
#pragma once
#include "config/OptionsCtrl_win.h"
#include "config/RecordExchange_win.h"
#include "wingui/Controls_win.h"
#include "wingui/Dialog_win.h"

#include <functional>
#include <string>

class CHistoryStore;
struct CLevelCatalogue;

class CConfigDlg : public wingui::CDialog {
public:
    // Edits `record` on the configuration record.m_strConfigName names when it opens; when it has
    // closed, that field names the configuration it ended on.
    CConfigDlg(CServerConfig& record, const std::string& gameFolder, const CLevelCatalogue& catalogue,
               const CHistoryStore& history);
    ~CConfigDlg() override;

    // Called with the configuration name whenever Save has written its script.
    std::function<void(const std::string& name)> m_onScriptSaved;

    // Runs the dialog modally; it always ends as if confirmed.
    INT_PTR Run(HINSTANCE instance, HWND parent);
    // Refills the starting level list from the catalogue and the record (the map list editor
    // asks for it after a save).
    void RefillStartingLevels();

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    bool PreTranslateMessage(MSG& msg) override;

private:
    void ShowRecord();
    bool ReadControls();
    void FillNameBox();
    void SetNameBoxText(const std::string& text);
    void NameTabs();
    void RefreshForGameType();
    void MoveFocusTo(int id);
    // A choice in one of the lists (see wingui::CComboBox::IsChoice); only a close-up moves the
    // focus on, so that the keys can go on through the list.
    void OnNameChosen(bool bCloseUp);
    void OnGameTypeChosen(bool bCloseUp);
    void OnStartingLevelChosen(bool bCloseUp);
    void OnSave();
    void OnClose();
    bool IsDroppedDownCombo(HWND focus) const;

    CServerConfig& m_record;
    std::string m_strGameFolder;
    const CLevelCatalogue& m_catalogue;
    const CHistoryStore& m_history;
    int m_nUpdating = 0;
    bool m_bNameTyped = false;  // the name box was typed in since the last pick

    CRecordExchange m_exchange;
    wingui::CButton m_btnCancel;
    wingui::CComboBox m_cmbName, m_cmbGameType, m_cmbStartingLevel;
    COptionsCtrl m_tabs;
};
