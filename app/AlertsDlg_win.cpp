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
constexpr unsigned kMaxAddressChars = 2048;
}  // namespace

bool CAlertsDlg::OnInit()
{
    SendMessageA(GetItem(IDC_ALERT_ADDRESS), EM_LIMITTEXT, kMaxAddressChars, 0);
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

bool CAlertsDlg::TakeAddress()
{
    std::string refusal;
    if (m_sender.SetAddress(GetItemText(IDC_ALERT_ADDRESS), &refusal))
        return true;
    wingui::ShowWarning(m_hWnd, kProgramName, refusal);
    SendMsg(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(IDC_ALERT_ADDRESS)), TRUE);
    return false;
}

void CAlertsDlg::OnOk()
{
    const std::string address = GetItemText(IDC_ALERT_ADDRESS);
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
        if (GetItemText(IDC_ALERT_ADDRESS).empty()) {
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
