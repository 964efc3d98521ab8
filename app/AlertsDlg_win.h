// " Alerts": the webhook address the alerts go to, a test message to it, and how the last message
// went. OK stores the address (empty turns alerts off); one that is no webhook address is refused
// with a message and the focus back on it. Cancel leaves everything as it was.
#pragma once
#include "wingui/Dialog_win.h"

#include <string>

class CAlertSender;
class CSettingsStore;

// REG_SZ under the settings: where alerts go; missing or empty, nowhere.
constexpr char kAlertWebhookValue[] = "AlertWebhook";

class CAlertsDlg : public wingui::CDialog {
public:
    // `address` is the one in use; it is what OK stored when the dialog ends with IDOK.
    CAlertsDlg(CAlertSender& sender, CSettingsStore& settings, std::string& address)
        : m_sender(sender), m_settings(settings), m_strAddress(address)
    {
    }

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
    void OnDestroy() override;

private:
    std::string FieldAddress();
    // The field's address when the sender takes it; otherwise says why and puts the focus there.
    bool TakeAddress();
    void ShowOutcome();
    void OnOk();
    void OnCancel();

    CAlertSender& m_sender;
    CSettingsStore& m_settings;
    std::string& m_strAddress;
    bool m_bTried = false;  // a test went to the field's address, which may not be the one in use
};
