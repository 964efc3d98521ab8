#include "app/GameFolderShell.h"

#include "app/GameFolder.h"
#include "app/Settings.h"
#include "base/UtilityLog.h"

#include <objbase.h>
#include <shlobj.h>

#include <exception>

#ifndef BIF_NEWDIALOGSTYLE
#define BIF_NEWDIALOGSTYLE 0x0040
#endif

namespace {

struct CBrowseContext {
    std::string m_strInitial;
    HWND m_hEdit = nullptr;
    HFONT m_hTitleFont = nullptr;
    HFONT m_hFolderFont = nullptr;
};

// A copy of the control's font with another height and weight, keeping its face.
HFONT ResizedFont(HWND control, int height, int weight)
{
    HFONT current = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    if (!current)
        current = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf{};
    if (!GetObjectA(current, sizeof lf, &lf))
        return nullptr;
    lf.lfHeight = height;
    lf.lfWidth = 0;
    lf.lfWeight = weight;
    HFONT font = CreateFontIndirectA(&lf);
    if (font)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return font;
}

void OnBrowseMessage(HWND hwnd, UINT msg, LPARAM l, CBrowseContext* ctx)
{
    if (msg == BFFM_INITIALIZED) {
        SetWindowLongPtrA(hwnd, GWL_EXSTYLE, GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & ~WS_EX_CONTEXTHELP);
        if (!ctx->m_strInitial.empty())
            SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(ctx->m_strInitial.c_str()));
        SetWindowTextA(hwnd, "  Browsing for...");
        ctx->m_hEdit = FindWindowExA(hwnd, nullptr, "Edit", nullptr);
        if (ctx->m_hEdit)
            SetWindowTextA(ctx->m_hEdit, ctx->m_strInitial.c_str());
        if (HWND title = FindWindowExA(hwnd, nullptr, "Static", nullptr))
            ctx->m_hTitleFont = ResizedFont(title, 23, FW_NORMAL);
        if (HWND folder = FindWindowExA(hwnd, nullptr, "Static", "Folder:"))
            ctx->m_hFolderFont = ResizedFont(folder, 16, FW_NORMAL);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    } else if (msg == BFFM_SELCHANGED && ctx->m_hEdit) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(l), path))
            SetWindowTextA(ctx->m_hEdit, path);
    }
}

// Called by the shell's dialog: nothing may unwind into it. Our touches are cosmetic, so a
// failure is logged and the dialog goes on without them.
int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM l, LPARAM data)
{
    try {
        OnBrowseMessage(hwnd, msg, l, reinterpret_cast<CBrowseContext*>(data));
    } catch (const std::exception& e) {
        LogMessage("ERR:  Unexpected failure in the folder browser: %s\n", e.what());
    } catch (...) {
        LogMessage("ERR:  Unexpected failure in the folder browser.\n");
    }
    return 0;
}

}  // namespace

void ShowTollanMessage(HWND owner, const char* text)
{
    MessageBoxA(owner, text, "Tollan", MB_OK | MB_ICONWARNING);
}

std::string BrowseForFolder(HWND owner, const std::string& title, const std::string& initialFolder)
{
    // The new dialog style hosts shell views and needs COM on this thread.
    HRESULT com = CoInitialize(nullptr);

    CBrowseContext ctx;
    ctx.m_strInitial = initialFolder.substr(0, 518);
    char display[MAX_PATH] = "";
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.pidlRoot = nullptr;
    bi.pszDisplayName = display;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(&ctx);

    std::string chosen;
    if (LPITEMIDLIST pidl = SHBrowseForFolderA(&bi)) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(pidl, path))
            chosen = path;
        CoTaskMemFree(pidl);
    }
    if (ctx.m_hTitleFont)
        DeleteObject(ctx.m_hTitleFont);
    if (ctx.m_hFolderFont)
        DeleteObject(ctx.m_hFolderFont);
    if (SUCCEEDED(com))
        CoUninitialize();
    return chosen;
}

void BrowseForGameFolder(HWND owner)
{
    SetGameFolder(BrowseForFolder(owner, "Dravic Qel 2 Game Folder", "C:\\"));
}

bool FindGameFolderInRegistry()
{
    HKEY key;
    // The game is a 32-bit program and writes its key in the 32-bit view of the registry; a
    // 64-bit build of Tollan would otherwise look in the other view and miss it.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Morvane\\DravicQel2", 0, KEY_READ | KEY_WOW64_32KEY,
                      &key) != ERROR_SUCCESS) {
        LogMessage("DQ2 is not installed.\n");
        return false;
    }
    char buf[260];
    DWORD size = sizeof buf;
    DWORD type = 0;
    std::string raw;
    // Only a string that carries its terminating zero within the 260 bytes counts.
    if (RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && buf[size - 1] == '\0')
        raw = buf;
    std::string folder = CleanRegistryGamePath(raw);
    LogMessage("DQ2 Is Installed, Location: %s\n", folder.c_str());
    SetGameFolder(folder);
    RegCloseKey(key);
    return true;
}

bool FindGameFolder(HWND owner)
{
    CGameFolderSearch steps;
    steps.readStoredPath = [] { return ReadSettingString("GamePath").value_or(std::string()); };
    steps.readGameRegistry = [](std::string& folder) {
        if (!FindGameFolderInRegistry())
            return false;
        folder = GameFolder();
        return true;
    };
    steps.browse = [owner] {
        BrowseForGameFolder(owner);
        return GameFolder();
    };
    steps.promptValidFolder = [owner] {
        ShowTollanMessage(owner, "Please select a valid Game Installation Folder\n\n For Example: "
                                 "C:\\Program Files\\Dravic Qel 2");
    };
    return SearchGameFolder(steps);
}
