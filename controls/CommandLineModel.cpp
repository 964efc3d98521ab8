#include "controls/CommandLineModel.h"

const char* const kCommandLineEntries[kCommandLineEntryCount] = {
    "",
    "net_bDebuggingEnabled",
    "net_bClientsMayPause",
    "net_bReportICMPErrors",
    "net_bReportCommErrors",
    "net_bReportSocketErrors",
    "net_bReportUnknownErrors",
    "net_bReportMiscErrors",
    "net_iVIPReserve",
    "net_iMaxObservers",
    "net_iMaxClients",
    "net_fConnectionTimeout",
    "net_fDisconnectPeriod",
    "net_fMessageDelayLimit",
    "rcts_strWelcomeNote",
    "qelEnableItem()",
    "qelEnableAllItems()",
    "qelDisableItem()",
    "qelListAllItems()",
    "qelListDisabledItems()",
    "qelRestartMap()",
    "qelNextMap()",
    "qelKickPlayer()",
    "qelKickClient()",
    "qelBanPlayer()",
    "qelBanClient()",
    "qelBanIP()",
    "qelTimeBanPlayer()",
    "qelTimeBanCLient()",
    "qelTimeBanIP()",
    "qelUnBanPlayer()",
    "qelUnBanClient()",
    "qelUnBanIP()",
    "qelShowBanList()",
};

namespace {
// The key code read as a character: the letter keys, and the few other keys whose codes fall
// in the same range (the numeric keypad, F1 to F11), as the rule has always read them.
bool ReadsAsLetter(unsigned code)
{
    return (code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z');
}
}  // namespace

void CCommandLineModel::OnEditKey(bool bCharacter, unsigned code, const std::function<std::string()>& readField)
{
    if (code == kKeyEnter)
        m_strPending = readField();
    else if (bCharacter && code == kKeyBackspace && !m_strPending.empty())
        m_strPending.pop_back();
}

ECommandLineKey CCommandLineModel::OnComboKeyDown(unsigned code, bool bListOpen) const
{
    if (!bListOpen && m_strPending.size() < kOpenBelowLength && ReadsAsLetter(code))
        return ECommandLineKey::kOpenList;
    if (code == kKeyEnter && bListOpen)
        return ECommandLineKey::kCloseList;
    if (code == kKeyTab)
        return bListOpen ? ECommandLineKey::kCloseList : ECommandLineKey::kNextEntry;
    return ECommandLineKey::kPass;
}

std::string CCommandLineModel::TakeForSend(const std::string& fieldText)
{
    m_strPending = fieldText;
    std::string command;
    command.swap(m_strPending);
    return command;
}
