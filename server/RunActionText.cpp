// The run model's actions as text lines, for tests and traces. A file of its own: the programs
// never call it, so the linker never takes it into them.
#include "server/RunAction.h"

std::string Describe(const CRunAction& a)
{
    switch (a.m_eKind) {
    case ERunAction::Send: return "send " + a.m_strText;
    case ERunAction::Log: return "log " + a.m_strText;
    case ERunAction::Console: return "console " + a.m_strText;
    case ERunAction::SetTimer: return "timer " + std::to_string(a.m_nTimer) + " " + std::to_string(a.m_nMs);
    case ERunAction::KillTimer: return "kill " + std::to_string(a.m_nTimer);
    case ERunAction::Buttons:
        return std::string("buttons start:") + (a.m_buttons.m_bStartEnabled ? "on" : "off") + " '" +
               (a.m_buttons.m_bStopCaption ? "Stop Server" : "Start Server") + "' commands:" + (a.m_buttons.m_bCommandsEnabled ? "on" : "off");
    case ERunAction::Title: return "title " + a.m_strText;
    case ERunAction::CheckPort: return "check-port";
    case ERunAction::Launch: return "launch " + a.m_strConfig + " " + a.m_strText;
    case ERunAction::Follow: return "follow " + std::to_string(a.m_nRun) + (a.m_bFromLogEnd ? " from-end" : "");
    case ERunAction::Connect: return "connect " + std::to_string(a.m_nRun);
    case ERunAction::CheckWindows: return "check-windows " + std::to_string(a.m_nRun);
    case ERunAction::Terminate: return "terminate " + std::to_string(a.m_nRun);
    case ERunAction::ShowMessage: return "box " + a.m_strText;
    case ERunAction::Notify: return "notify " + RunNoteText(a.m_eNote, a.m_strText);
    case ERunAction::CrashCopy: return "crash-copy " + a.m_strConfig + " " + a.m_strText;
    case ERunAction::SwapScript: return "swap " + a.m_strConfig;
    case ERunAction::CloseWindow: return "close";
    }
    return "?";
}
