// Hosts the installation run: the run works on a worker thread, every change it asks of the
// wizard's view is carried over to the wizard's thread (a sent message), and the wizard keeps
// painting and answering while it waits for the run's end. It knows the wizard only as a view.
#pragma once
#include "installer/InstallLog.h"
#include "installer/InstallPlan.h"
#include "installer/InstallRun.h"
#include "platform/Handle_win.h"

#include <windows.h>

// The worker asks the wizard's thread to carry out a view call (a std::function in lParam); the
// wizard hands this message to CInstallRunner::CarryRequest.
constexpr UINT WM_APP_RUN_ON_UI = WM_APP + 1;

class CInstallRunner : private CInstallView {
public:
    // `frame` is the wizard's window, which gets WM_APP_RUN_ON_UI and keeps its keys while the
    // run goes on; `view` shows the run on that window's thread.
    CInstallRunner(HWND frame, CInstallView& view, CInstallSystem& system);

    // Starts the run on its worker; false when the thread could not be made.
    bool Start(CInstallationLog& log, const CInstallSettings& settings);
    // Waits for the worker's end while the wizard paints and answers.
    void WaitForEnd();

    static void CarryRequest(LPARAM l);

private:
    // The view as the worker sees it: each call goes to the wizard's thread.
    void HideBackAndNext() override;
    void SetHeader(const char* title, const char* subtitle) override;
    void SetStatusLine(const std::string& text) override;
    void SetDetailLine(const std::string& text) override;
    void SetProgressRange(int entries) override;
    void SetProgressPos(int done) override;
    void ShowEndState() override;
    void ShowStopped() override;

    struct CRunContext {
        CInstallRunner* m_pRunner;
        CInstallationLog* m_pLog;
        const CInstallSettings* m_pSettings;
    };
    static DWORD WINAPI Worker(LPVOID param);
    template <class F> void OnUi(F fn);

    HWND m_hFrame;
    CInstallView& m_view;
    CInstallSystem& m_system;
    CRunContext m_context{};
    platform::CHandle m_thread;
};
