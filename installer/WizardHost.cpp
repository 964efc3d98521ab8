#include "installer/WizardHost.h"

#include "installer/InstallerDlg.h"
#include "installer/Registration.h"
#include "installer/resource.h"
#include "wingui/Temp.h"

#include <commctrl.h>
#include <objbase.h>

#include <functional>

CWizardHost::~CWizardHost()
{
    if (m_hThread)
        CloseHandle(m_hThread);
}

DWORD WINAPI CWizardHost::Worker(LPVOID param)
{
    const CRunContext& ctx = *static_cast<CRunContext*>(param);
    // The shortcuts are COM objects: COM is set up once for this thread.
    HRESULT com = CoInitialize(nullptr);
    ::RunInstallation(*ctx.host, *ctx.log, *ctx.settings);
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}

bool CWizardHost::Start(CInstallationLog& log, const CInstallSettings& settings)
{
    m_context = {this, &log, &settings};
    m_hThread = CreateThread(nullptr, 0, Worker, &m_context, 0, nullptr);
    return m_hThread != nullptr;
}

void CWizardHost::WaitForEnd()
{
    if (!m_hThread)
        return;
    const HWND frame = m_frame.GetHWND();
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &m_hThread, FALSE, INFINITE, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (!IsDialogMessageA(frame, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    WaitForSingleObject(m_hThread, INFINITE);
}

template <class F> void CWizardHost::OnUi(F fn)
{
    std::function<void()> call = fn;
    SendMessageA(m_frame.GetHWND(), WM_APP_RUN_ON_UI, 0, reinterpret_cast<LPARAM>(&call));
}

void CWizardHost::CarryRequest(LPARAM l) { (*reinterpret_cast<std::function<void()>*>(l))(); }

void CWizardHost::SetProgressText(int id, const std::string& text)
{
    OnUi([=] { SetDlgItemTextA(m_frame.ProgressPanel(), id, text.c_str()); });
}

// ---- the wizard's visible parts ----

void CWizardHost::HideBackAndNext()
{
    OnUi([this] { m_frame.OnRunHidesButtons(); });
}

void CWizardHost::SetHeader(const char* title, const char* subtitle)
{
    OnUi([=] { m_frame.OnRunHeader(title, subtitle); });
}

void CWizardHost::SetStatusLine(const std::string& text) { SetProgressText(IDC_STATUS_LINE, text); }
void CWizardHost::SetDetailLine(const std::string& text) { SetProgressText(IDC_DETAIL_LINE, text); }

void CWizardHost::SetProgressRange(int entries)
{
    OnUi([=] { SendDlgItemMessageA(m_frame.ProgressPanel(), IDC_PROGRESS, PBM_SETRANGE32, 0, entries); });
}

void CWizardHost::SetProgressPos(int done)
{
    OnUi([=] { SendDlgItemMessageA(m_frame.ProgressPanel(), IDC_PROGRESS, PBM_SETPOS, done, 0); });
}

void CWizardHost::ShowEndState()
{
    OnUi([this] { m_frame.OnRunCompleted(); });
}

void CWizardHost::ShowStopped()
{
    OnUi([this] { m_frame.OnRunStopped(); });
}

void CWizardHost::Pause(unsigned ms) { Sleep(ms); }

// ---- the system ----

bool CWizardHost::IsUtilityRunning() { return IsTollanRunning(); }

bool CWizardHost::GetPayload(const void*& data, std::size_t& size)
{
    return wingui::FindResourceBytes("ZIP", IDR_PAYLOAD, data, size, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

std::string CWizardHost::MakeTempFolder()
{
    return wingui::CreateInTempFolder("TollanInstaller", "",
                                      [](const char* name) { return CreateDirectoryA(name, nullptr) != 0; });
}

void CWizardHost::RemoveTempFolder(const std::string& folder) { RemoveDirectoryA(folder.c_str()); }

CInstallHost::EShortcutResult CWizardHost::MakeShortcut(const CShortcutSpec& shortcut, std::string& linkPath)
{
    return SaveShortcut(shortcut, linkPath);
}

bool CWizardHost::WriteSettingsNumber(const char* name, std::uint32_t value)
{
    return WriteTollanSettingNumber(name, value);
}

bool CWizardHost::WriteSettingsText(const char* name, const std::string& text)
{
    return WriteTollanSettingText(name, text);
}

bool CWizardHost::WriteUninstallEntry(const std::string& displayName, const std::string& command)
{
    return WriteUninstallKey(displayName, command);
}
