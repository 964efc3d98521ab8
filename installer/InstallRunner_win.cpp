#include "installer/InstallRunner_win.h"

#include "wingui/Owners_win.h"

#include <functional>

CInstallRunner::CInstallRunner(HWND frame, CInstallView& view, CInstallSystem& system)
    : m_hFrame(frame), m_view(view), m_system(system)
{
}

DWORD WINAPI CInstallRunner::Worker(LPVOID param)
{
    const CRunContext& ctx = *static_cast<CRunContext*>(param);
    // The shortcuts are COM objects: COM is set up once for this thread.
    const wingui::CComApartment com;
    ::RunInstallation(*ctx.m_pRunner, ctx.m_pRunner->m_system, *ctx.m_pLog, *ctx.m_pSettings);
    return 0;
}

bool CInstallRunner::Start(CInstallationLog& log, const CInstallSettings& settings)
{
    m_context = {this, &log, &settings};
    m_thread.Reset(CreateThread(nullptr, 0, Worker, &m_context, 0, nullptr));
    return static_cast<bool>(m_thread);
}

void CInstallRunner::WaitForEnd()
{
    if (!m_thread)
        return;
    HANDLE thread = m_thread.Get();
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (!IsDialogMessageA(m_hFrame, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    WaitForSingleObject(thread, INFINITE);
}

template <class F> void CInstallRunner::OnUi(F fn)
{
    std::function<void()> call = fn;
    SendMessageA(m_hFrame, WM_APP_RUN_ON_UI, 0, reinterpret_cast<LPARAM>(&call));
}

void CInstallRunner::CarryRequest(LPARAM l) { (*reinterpret_cast<std::function<void()>*>(l))(); }

void CInstallRunner::HideBackAndNext()
{
    OnUi([this] { m_view.HideBackAndNext(); });
}

void CInstallRunner::SetHeader(const char* title, const char* subtitle)
{
    OnUi([=] { m_view.SetHeader(title, subtitle); });
}

void CInstallRunner::SetStatusLine(const std::string& text)
{
    OnUi([&] { m_view.SetStatusLine(text); });
}

void CInstallRunner::SetDetailLine(const std::string& text)
{
    OnUi([&] { m_view.SetDetailLine(text); });
}

void CInstallRunner::SetProgressRange(int entries)
{
    OnUi([=] { m_view.SetProgressRange(entries); });
}

void CInstallRunner::SetProgressPos(int done)
{
    OnUi([=] { m_view.SetProgressPos(done); });
}

void CInstallRunner::ShowEndState()
{
    OnUi([this] { m_view.ShowEndState(); });
}

void CInstallRunner::ShowStopped()
{
    OnUi([this] { m_view.ShowStopped(); });
}
