// " Scheduled Restart": the daily time and the hours after a launch at which the server is
// restarted in full, with the next restart they give. OK stores them; texts that are no time or
// number of hours are refused with a message and the focus on them.
#pragma once
#include "server/RestartSchedule.h"
#include "wingui/Dialog_win.h"

class CServerRunner;
class CSettingsStore;

class CScheduleDlg : public wingui::CDialog {
public:
    CScheduleDlg(CServerRunner& runner, CSettingsStore& settings) : m_runner(runner), m_settings(settings) {}

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;

private:
    void ShowNextRestart();
    void OnOk();

    CServerRunner& m_runner;
    CSettingsStore& m_settings;
};
