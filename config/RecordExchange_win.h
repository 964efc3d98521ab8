// The controls of one dialog or page bound to the record through a table of field rules: shows
// the record in them, and reads them back with the checks and their messages.
#pragma once
#include "config/ConfigFields.h"
#include "wingui/Dialog_win.h"

#include <functional>
#include <string>
#include <vector>

class CRecordExchange : public CControlSource {
public:
    void Bind(HWND dialog, const CFieldRule* rules, size_t count);
    void Bind(HWND dialog, CFieldTable table) { Bind(dialog, table.m_pRules, table.m_nCount); }
    void Bind(HWND dialog, const std::vector<CFieldRule>& rules) { Bind(dialog, rules.data(), rules.size()); }

    // Fills the controls from the record. The caller holds its update guard meanwhile: the edits
    // report these changes like the user's.
    void Show(const CServerConfig& cfg) const;
    // Reads every control into the record. A failing check shows its message and puts the focus
    // back on that control; false then, and the fields after it stay unread.
    bool Read(CServerConfig& cfg) const;
    // Whether Read would pass, without touching the record or showing anything.
    bool WouldPass(const CServerConfig& cfg) const;
    // Whether a control is one of the table's edits or check boxes.
    bool IsEdit(int id) const;
    bool IsCheck(int id) const;

    std::string Text(int controlId) const override;
    bool Checked(int controlId) const override;

private:
    const CFieldRule* Find(int id) const;
    HWND m_hDialog = nullptr;
    std::vector<CFieldRule> m_rules;
};

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

// A borderless child page whose controls are bound to the record: any click of one of its check
// boxes, and any change of one of its edits by the user, reads all of its controls.
class COptionPage : public wingui::CDialog {
public:
    COptionPage(int templateId, CServerConfig& record) : m_record(record), m_nTemplateId(templateId) {}
    ~COptionPage() override;
    int TemplateId() const { return m_nTemplateId; }
    // The confirming read of every control of the page.
    virtual bool ReadAll();
    bool WouldPass() const { return m_exchange.WouldPass(m_record); }

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    // The page's own table and any controls beyond it.
    virtual void BindFields(CRecordExchange& exchange) = 0;
    virtual void ShowExtra() {}

    CServerConfig& m_record;
    int m_nUpdating = 0;
    CRecordExchange m_exchange;

private:
    int m_nTemplateId;
};
