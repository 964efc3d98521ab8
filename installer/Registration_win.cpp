#include "installer/Registration_win.h"

#include "base/Names.h"
#include "platform/Handle_win.h"
#include "platform/Registry_win.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace {
// Our own copies of the three ids: libuuid keeps all of its GUIDs in one section of about 40 KB.
const CLSID kClsidShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}  // namespace

std::string ShortcutTarget(const std::string& linkPath)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return std::string();
    std::string target;
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH] = L"";
    if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) > 0 &&
        SUCCEEDED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
        char path[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target = path;
        file->Release();
    }
    link->Release();
    return target;
}

std::string ShortcutLinkPath(const CShortcutSpec& spec)
{
    char folder[MAX_PATH] = "";
    std::string path;
    if (SHGetSpecialFolderPathA(nullptr, folder, spec.m_nSpecialFolder, FALSE))
        path = std::string(folder) + "\\";
    return path + spec.m_strLinkName;
}

CInstallSystem::EShortcutResult SaveShortcut(const CShortcutSpec& spec, std::string& linkPath)
{
    using Result = CInstallSystem::EShortcutResult;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return Result::Skipped;
    link->SetPath(spec.m_strTarget.c_str());
    link->SetWorkingDirectory(spec.m_strWorkingFolder.c_str());
    if (!spec.m_strDescription.empty())
        link->SetDescription(spec.m_strDescription.c_str());
    IPersistFile* file = nullptr;
    Result result = Result::Skipped;
    if (SUCCEEDED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
        char folder[MAX_PATH] = "";
        std::string base;
        if (SHGetSpecialFolderPathA(nullptr, folder, spec.m_nSpecialFolder, FALSE))
            base = std::string(folder) + "\\";
        if (!spec.m_strGroupFolder.empty()) {
            std::string group = base + spec.m_strGroupFolder;
            DWORD a = GetFileAttributesA(group.c_str());
            if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY))
                CreateDirectoryA(group.c_str(), nullptr);
        }
        linkPath = base + spec.m_strLinkName;
        WCHAR wide[MAX_PATH] = L"";
        bool converted = MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH) > 0;
        result = converted && SUCCEEDED(file->Save(wide, TRUE)) ? Result::Saved : Result::Failed;
        file->Release();
    }
    link->Release();
    return result;
}

namespace {

// REG_SZ data of exactly the text's length, without a terminating NUL. Some registry layers
// add a NUL that follows the counted data, so the wide text is followed by a guard character.
bool SetTextValue(HKEY key, const char* name, const std::string& text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::vector<WCHAR> wide(n + 1, L'#');
    if (n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), n);
    std::vector<WCHAR> wideName(strlen(name) + 1);
    MultiByteToWideChar(CP_ACP, 0, name, -1, wideName.data(), static_cast<int>(wideName.size()));
    return RegSetValueExW(key, wideName.data(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.data()),
                          static_cast<DWORD>(n * sizeof(WCHAR))) == ERROR_SUCCESS;
}

}  // namespace

bool WriteTollanSettingNumber(const char* name, std::uint32_t value)
{
    platform::CRegKey key;
    return key.Create(HKEY_CURRENT_USER, kSettingsKeyPath) && key.SetDword(name, value);
}

bool WriteTollanSettingText(const char* name, const std::string& text)
{
    platform::CRegKey key;
    return key.Create(HKEY_CURRENT_USER, kSettingsKeyPath) && SetTextValue(key.Get(), name, text);
}

bool WriteUninstallKey(const std::string& displayName, const std::string& command)
{
    platform::CRegKey key;
    if (!key.Create(HKEY_LOCAL_MACHINE, kUninstallKeyPath))
        return false;
    bool ok = SetTextValue(key.Get(), "DisplayName", displayName);
    return SetTextValue(key.Get(), "UninstallString", command) && ok;
}

bool IsTollanRunning()
{
    if (platform::CHandle(OpenMutexA(SYNCHRONIZE, FALSE, kInstanceMutexName)))
        return true;
    return GetLastError() == ERROR_ACCESS_DENIED;
}
