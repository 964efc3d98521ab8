#include "installer/InstallSystem_win.h"

#include "installer/Registration_win.h"
#include "installer/resource.h"
#include "platform/Temp_win.h"

#include <windows.h>

void CWindowsInstallSystem::Pause(unsigned ms) { Sleep(ms); }

bool CWindowsInstallSystem::IsUtilityRunning() { return IsTollanRunning(); }

bool CWindowsInstallSystem::GetPayload(const void*& data, std::size_t& size)
{
    return platform::FindResourceBytes("ZIP", IDR_PAYLOAD, data, size, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

std::string CWindowsInstallSystem::MakeTempFolder()
{
    return platform::CreateInTempFolder("TollanInstaller", "",
                                        [](const char* name) { return CreateDirectoryA(name, nullptr) != 0; });
}

void CWindowsInstallSystem::RemoveTempFolder(const std::string& folder) { RemoveDirectoryA(folder.c_str()); }

CInstallSystem::EShortcutResult CWindowsInstallSystem::MakeShortcut(const CShortcutSpec& shortcut,
                                                                    std::string& linkPath)
{
    return SaveShortcut(shortcut, linkPath);
}

bool CWindowsInstallSystem::WriteSettingsNumber(const char* name, std::uint32_t value)
{
    return WriteTollanSettingNumber(name, value);
}

bool CWindowsInstallSystem::WriteSettingsText(const char* name, const std::string& text)
{
    return WriteTollanSettingText(name, text);
}

bool CWindowsInstallSystem::WriteUninstallEntry(const std::string& displayName, const std::string& command)
{
    return WriteUninstallKey(displayName, command);
}
