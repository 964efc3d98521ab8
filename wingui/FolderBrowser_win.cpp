#include "wingui/FolderBrowser_win.h"

#include "wingui/Owners_win.h"

#include <objbase.h>
#include <shlobj.h>

#ifndef BIF_NEWDIALOGSTYLE
#define BIF_NEWDIALOGSTYLE 0x0040
#endif

namespace wingui {
namespace {

struct CBrowseContext {
    std::string m_strInitial;  // cut to the browser's limit before the dialog opens
    const char* m_pszEditText = "";
    HWND m_hEdit = nullptr;
    CFont m_titleFont;
    CFont m_folderFont;
};

// The control gets a copy of its font with another height and weight, kept in `font`.
void Refont(HWND control, CFont& font, int height, int weight)
{
    font = DerivedFont(control, height, weight);
    if (font)
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
}

// Called by the shell's dialog; it allocates nothing and so cannot throw into it.
int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM l, LPARAM data)
{
    CBrowseContext* ctx = reinterpret_cast<CBrowseContext*>(data);
    if (msg == BFFM_INITIALIZED) {
        SetWindowLongPtrA(hwnd, GWL_EXSTYLE, GetWindowLongPtrA(hwnd, GWL_EXSTYLE) & ~WS_EX_CONTEXTHELP);
        if (!ctx->m_strInitial.empty())
            SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(ctx->m_strInitial.c_str()));
        SetWindowTextA(hwnd, "  Browsing for...");
        ctx->m_hEdit = FindWindowExA(hwnd, nullptr, "Edit", nullptr);
        if (ctx->m_hEdit)
            SetWindowTextA(ctx->m_hEdit, ctx->m_pszEditText);
        if (HWND title = FindWindowExA(hwnd, nullptr, "Static", nullptr))
            Refont(title, ctx->m_titleFont, 23, FW_NORMAL);
        if (HWND folder = FindWindowExA(hwnd, nullptr, "Static", "Folder:"))
            Refont(folder, ctx->m_folderFont, 16, FW_NORMAL);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    } else if (msg == BFFM_SELCHANGED && ctx->m_hEdit) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(l), path))
            SetWindowTextA(ctx->m_hEdit, path);
    }
    return 0;
}

}  // namespace

std::string BrowseForFolder(HWND owner, const CFolderBrowse& browse)
{
    CBrowseContext ctx;
    ctx.m_strInitial = browse.m_strInitialFolder.substr(0, 518);
    ctx.m_pszEditText = browse.m_strEditText.c_str();
    char display[MAX_PATH] = "";
    BROWSEINFOA bi{};
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.lpszTitle = browse.m_strTitle.c_str();
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
    return chosen;
}

}  // namespace wingui
