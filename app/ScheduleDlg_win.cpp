#include "app/ScheduleDlg_win.h"

#include "server/Runner_win.h"
#include "base/Names.h"
#include "base/SettingsStore.h"
#include "base/StringPrintf.h"
#include "base/UtilityLog.h"
#include "app/Resource.h"

namespace {
// The typed texts as settings; only called with texts that passed CheckRestartTexts.
CRestartSettings SettingsOf(const std::string& daily, const std::string& hours)
{
    CRestartSettings settings;
    if (!daily.empty())
        settings.m_nDailyMinute = ParseDailyTime(daily);
    if (!hours.empty())
        settings.m_nEveryHours = ParseEveryHours(hours).value_or(0);
    return settings;
}
}  // namespace

bool CScheduleDlg::OnInit()
{
    const CRestartSettings& current = m_runner.RestartSettings();
    SetItemText(IDC_RESTART_DAILY, current.m_nDailyMinute ? FormatDailyTime(*current.m_nDailyMinute) : std::string());
    SetItemText(IDC_RESTART_EVERY_HOURS, current.m_nEveryHours ? StringPrintf("%u", current.m_nEveryHours) : std::string());
    SendMessageA(GetItem(IDC_RESTART_DAILY), EM_LIMITTEXT, 5, 0);
    SendMessageA(GetItem(IDC_RESTART_EVERY_HOURS), EM_LIMITTEXT, 5, 0);
    ShowNextRestart();
    return true;
}

// What the typed texts would give; a text that is not valid yet says so.
void CScheduleDlg::ShowNextRestart()
{
    const std::string daily = GetItemText(IDC_RESTART_DAILY);
    const std::string hours = GetItemText(IDC_RESTART_EVERY_HOURS);
    std::string line;
    if (CheckRestartTexts(daily, hours)) {
        line = "The texts above are not a time HH:MM and a number of hours yet.";
    } else {
        const CScheduleTime now = ScheduleNow();
        const CRestartSettings settings = SettingsOf(daily, hours);
        line = DescribeNextRestart(m_runner.SecondsUntilRestart(now, settings), now, settings);
    }
    SetItemText(IDC_NEXT_RESTART, line);
}

void CScheduleDlg::OnOk()
{
    const std::string daily = GetItemText(IDC_RESTART_DAILY);
    const std::string hours = GetItemText(IDC_RESTART_EVERY_HOURS);
    if (std::optional<std::string> problem = CheckRestartTexts(daily, hours)) {
        wingui::ShowWarning(m_hWnd, kProgramName, *problem);
        const int field = !daily.empty() && !ParseDailyTime(daily) ? IDC_RESTART_DAILY : IDC_RESTART_EVERY_HOURS;
        SendMsg(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(field)), TRUE);
        return;
    }
    const CRestartSettings settings = SettingsOf(daily, hours);
    const std::string stored = settings.m_nDailyMinute ? FormatDailyTime(*settings.m_nDailyMinute) : std::string();
    if (!m_settings.WriteString(kRestartDailyValue, stored) ||
        !m_settings.WriteDword(kRestartEveryHoursValue, settings.m_nEveryHours))
        LogMessage("ERR:  Unable to write the scheduled restart to registry.\n");
    m_runner.SetRestartSettings(settings);
    LogMessage("INF:  Scheduled restart: %s%s, every %u hours after a launch (0: never).\n",
               stored.empty() ? "no daily time" : "daily at ", stored.c_str(), settings.m_nEveryHours);
    End(IDOK);
}

bool CScheduleDlg::OnCommand(WORD code, WORD id, HWND)
{
    switch (id) {
    case IDC_RESTART_DAILY:
    case IDC_RESTART_EVERY_HOURS:
        if (code == EN_CHANGE)
            ShowNextRestart();
        return true;
    case IDOK:
        OnOk();
        return true;
    case IDCANCEL:
        End(IDCANCEL);
        return true;
    }
    return false;
}
