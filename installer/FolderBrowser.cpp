#include "installer/FolderBrowser.h"

#include <objbase.h>
#include <shlobj.h>

#ifndef BIF_NEWDIALOGSTYLE
#define BIF_NEWDIALOGSTYLE 0x0040
#endif

namespace {

struct CBrowseState {
    HWND m_hEdit = nullptr;
    HFONT m_hTitleFont = nullptr;
    HFONT m_hFolderFont = nullptr;
};

// A copy of the control's font with another cell height and weight, in its own face.
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

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM l, LPARAM data)
{
    CBrowseState* state = reinterpret_cast<CBrowseState*>(data);
    if (msg == BFFM_INITIALIZED) {
        SetWindowLongPtrA(hwnd, GWL_EXSTYLE, GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & ~WS_EX_CONTEXTHELP);
        SetWindowTextA(hwnd, "  Browsing for...");
        state->m_hEdit = FindWindowExA(hwnd, nullptr, "Edit", nullptr);
        if (state->m_hEdit)
            SetWindowTextA(state->m_hEdit, "Please Choose the DQ2 Game Folder");
        if (HWND title = FindWindowExA(hwnd, nullptr, "Static", nullptr))
            state->m_hTitleFont = ResizedFont(title, 23, FW_NORMAL);
        if (HWND folder = FindWindowExA(hwnd, nullptr, "Static", "Folder:"))
            state->m_hFolderFont = ResizedFont(folder, 16, FW_NORMAL);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    } else if (msg == BFFM_SELCHANGED && state->m_hEdit) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(l), path))
            SetWindowTextA(state->m_hEdit, path);
    }
    return 0;
}

}  // namespace

std::string BrowseForGameFolder(HWND owner)
{
    // The new dialog style hosts shell views: COM is set up for this thread by the program.
    CBrowseState state;
    char display[MAX_PATH] = "";
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.lpszTitle = "DQ2 Game Folder:";
    bi.ulFlags = BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    bi.lpfn = BrowseCallback;
    bi.lParam = reinterpret_cast<LPARAM>(&state);

    std::string chosen;
    if (LPITEMIDLIST pidl = SHBrowseForFolderA(&bi)) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(pidl, path))
            chosen = path;
        CoTaskMemFree(pidl);
    }
    if (state.m_hTitleFont)
        DeleteObject(state.m_hTitleFont);
    if (state.m_hFolderFont)
        DeleteObject(state.m_hFolderFont);
    return chosen;
}
