#include "app/AlertsDlg_win.h"

#include "app/Resource.h"
#include "base/Names.h"
#include "base/SettingsStore.h"
#include "base/UtilityLog.h"
#include "server/AlertSender_win.h"
#include "server/WebhookAddress.h"

namespace {
// The sender's word that its outcome changed.
constexpr UINT WM_APP_ALERT_OUTCOME = WM_APP + 1;
}  // namespace

// The field holds any length: an address too long is refused as such rather than cut short
// where nobody sees it.
bool CAlertsDlg::OnInit()
{
    SetItemText(IDC_ALERT_ADDRESS, m_strAddress);
    m_sender.SetNotify(m_hWnd, WM_APP_ALERT_OUTCOME);
    ShowOutcome();
    return true;
}

void CAlertsDlg::OnDestroy() { m_sender.SetNotify(nullptr, 0); }

void CAlertsDlg::ShowOutcome()
{
    const CAlertOutcome outcome = m_sender.LastOutcome();
    std::string text = outcome.m_strText;
    if (text.empty())
        text = m_sender.IsOn() ? "No message was sent yet." : "Alerts are off.";
    SetItemText(IDC_ALERT_OUTCOME, text);
}

// A copied address often brings a blank or a line end along: they go, from the field as well, so
// that what it shows is what is used.
std::string CAlertsDlg::FieldAddress()
{
    const std::string text = GetItemText(IDC_ALERT_ADDRESS);
    const char* const blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    const std::string address =
        first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(blanks) + 1 - first);
    if (address != text)
        SetItemText(IDC_ALERT_ADDRESS, address);
    return address;
}

bool CAlertsDlg::TakeAddress()
{
    std::string refusal;
    if (m_sender.SetAddress(FieldAddress(), &refusal))
        return true;
    wingui::ShowWarning(m_hWnd, kProgramName, refusal);
    SendMsg(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(IDC_ALERT_ADDRESS)), TRUE);
    return false;
}

void CAlertsDlg::OnOk()
{
    const std::string address = FieldAddress();
    if (!address.empty() && !TakeAddress())
        return;
    if (address.empty())
        m_sender.SetAddress(std::string());
    if (!m_settings.WriteString(kAlertWebhookValue, address))
        LogMessage("ERR:  Unable to write the alerts' webhook address to registry.\n");
    m_strAddress = address;
    // The path and the query hold the webhook's secret: only where it goes is logged.
    if (m_sender.IsOn())
        LogMessage("INF:  Alerts go to %s.\n", m_sender.RedactedAddress().c_str());
    else
        LogMessage("INF:  Alerts are off.\n");
    End(IDOK);
}

// A test went to an address that was not stored: the one in use is put back.
void CAlertsDlg::OnCancel()
{
    if (m_bTried)
        m_sender.SetAddress(m_strAddress);
    End(IDCANCEL);
}

bool CAlertsDlg::OnCommand(WORD, WORD id, HWND)
{
    switch (id) {
    case IDC_ALERT_TEST:
        if (FieldAddress().empty()) {
            wingui::ShowWarning(m_hWnd, kProgramName, "Please enter the webhook address to send the test message to.");
            SendMsg(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(IDC_ALERT_ADDRESS)), TRUE);
            return true;
        }
        if (!TakeAddress())
            return true;
        m_bTried = true;
        m_sender.SendTest();
        ShowOutcome();
        return true;
    case IDOK:
        OnOk();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    }
    return false;
}

bool CAlertsDlg::OnMessage(UINT msg, WPARAM, LPARAM, INT_PTR& result)
{
    if (msg != WM_APP_ALERT_OUTCOME)
        return false;
    ShowOutcome();
    result = TRUE;
    return true;
}
