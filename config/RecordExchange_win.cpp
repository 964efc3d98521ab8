#include "config/RecordExchange_win.h"

#include "base/Names.h"
#include "wingui/Controls_win.h"


void CRecordExchange::Bind(HWND dialog, const CFieldRule* rules, size_t count)
{
    m_hDialog = dialog;
    m_rules.assign(rules, rules + count);
    for (const CFieldRule& rule : m_rules)
        if (rule.m_eKind == EFieldKind::Text)
            ::SendDlgItemMessageA(dialog, rule.m_nControlId, EM_LIMITTEXT, kMaxTextFieldChars, 0);
}

const CFieldRule* CRecordExchange::Find(int id) const
{
    for (const CFieldRule& rule : m_rules)
        if (rule.m_nControlId == id)
            return &rule;
    return nullptr;
}

bool CRecordExchange::IsEdit(int id) const
{
    const CFieldRule* rule = Find(id);
    return rule && (rule->m_eKind == EFieldKind::Integer || rule->m_eKind == EFieldKind::Decimal ||
                    rule->m_eKind == EFieldKind::Text);
}

bool CRecordExchange::IsCheck(int id) const { return Find(id) && !IsEdit(id); }

std::string CRecordExchange::Text(int controlId) const
{
    return wingui::CWindow(::GetDlgItem(m_hDialog, controlId)).GetText();
}

bool CRecordExchange::Checked(int controlId) const
{
    return ::IsDlgButtonChecked(m_hDialog, controlId) == BST_CHECKED;
}

void CRecordExchange::Show(const CServerConfig& cfg) const
{
    for (const CFieldRule& rule : m_rules) {
        if (IsEdit(rule.m_nControlId))
            ::SetDlgItemTextA(m_hDialog, rule.m_nControlId, FieldText(rule, cfg).c_str());
        else
            ::CheckDlgButton(m_hDialog, rule.m_nControlId, FieldChecked(rule, cfg) ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool CRecordExchange::Read(CServerConfig& cfg) const
{
    std::optional<CExchangeFailure> failure = ReadControls(m_rules.data(), m_rules.size(), *this, cfg);
    if (!failure)
        return true;
    wingui::ShowWarning(::GetAncestor(m_hDialog, GA_ROOT), kProgramName, failure->m_strMessage);
    HWND control = ::GetDlgItem(m_hDialog, failure->m_nControlId);
    ::SetFocus(control);
    ::SendMessageA(control, EM_SETSEL, 0, -1);
    return false;
}

bool CRecordExchange::WouldPass(const CServerConfig& cfg) const
{
    CServerConfig copy = cfg;
    return !ReadControls(m_rules.data(), m_rules.size(), *this, copy);
}

COptionPage::~COptionPage() = default;

bool COptionPage::OnInit()
{
    BindFields(m_exchange);
    wingui::CUpdateGuard guard(m_nUpdating);
    m_exchange.Show(m_record);
    ShowExtra();
    return true;
}

bool COptionPage::ReadAll() { return m_exchange.Read(m_record); }

bool COptionPage::OnCommand(WORD code, WORD id, HWND control)
{
    if ((code == EN_CHANGE && m_exchange.IsEdit(id)) || (code == BN_CLICKED && m_exchange.IsCheck(id))) {
        if (!m_nUpdating)
            ReadAll();
        return true;
    }
    return false;
}
