#include "controls/CommandLineCtrl_win.h"

void CCommandLineEditCtrl::PreTranslateKey(const MSG& msg)
{
    const bool character = msg.message == WM_CHAR || msg.message == WM_SYSCHAR;
    m_model.OnEditKey(character, static_cast<unsigned>(msg.wParam), [this] { return GetText(); });
}

CCommandLineCtrl::~CCommandLineCtrl() = default;

void CCommandLineCtrl::Attach(HWND combo)
{
    CComboBox::Attach(combo);
    Subclass(combo);
}

void CCommandLineCtrl::Fill() const
{
    for (const char* entry : kCommandLineEntries)
        AddString(entry);
}

bool CCommandLineCtrl::PreTranslateMessage(MSG& msg)
{
    if (!m_edit.GetHWND() || msg.hwnd != m_edit.GetHWND() || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST)
        return false;
    m_edit.PreTranslateKey(msg);
    if (msg.message != WM_KEYDOWN)
        return false;
    switch (m_model.OnComboKeyDown(static_cast<unsigned>(msg.wParam), IsDroppedDown())) {
    case ECommandLineKey::kOpenList:
        ShowList(true);
        return false;
    case ECommandLineKey::kCloseList:
        ShowList(false);
        return true;
    case ECommandLineKey::kNextEntry:
        // The field hands Down to the list, which selects the next entry, shows it in the field
        // and notifies the selection change (the pending command follows from that).
        ::SendMessageA(m_edit.GetHWND(), WM_KEYDOWN, VK_DOWN, 0);
        return false;
    case ECommandLineKey::kPass:
        break;
    }
    return false;
}

void CCommandLineCtrl::OnNotification(WORD code)
{
    if (code != CBN_SELCHANGE && code != CBN_CLOSEUP)
        return;
    int selected = GetCurSel();
    if (selected >= 0)
        m_model.OnEntrySelected(GetItemText(selected));
}

std::string CCommandLineCtrl::TakeCommandForSend()
{
    std::string command = m_model.TakeForSend(GetText());
    SetText("");
    return command;
}

LRESULT CCommandLineCtrl::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_CTLCOLOREDIT:
        // The field asks its combo for colours when it is first drawn: the moment it is known.
        if (!m_edit.GetHWND())
            m_edit.Attach(reinterpret_cast<HWND>(l));
        break;
    case WM_DESTROY:
        m_edit.Detach();
        break;
    }
    return Default(msg, w, l);
}
