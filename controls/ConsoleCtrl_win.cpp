#include "controls/ConsoleCtrl_win.h"

#include "base/UtilityLog.h"
#include "controls/ConsoleFindDlg_win.h"
#include "controls/ConsoleSave.h"
#include "controls/Resource.h"

#include <commctrl.h>
#include <commdlg.h>

#include <exception>
#include <string>

namespace {
const WPARAM kCtrlF = 0x06;  // the character TranslateMessage makes of Ctrl+F

HINSTANCE ProgramInstance() { return GetModuleHandleA(nullptr); }
}  // namespace

CConsoleCtrl::~CConsoleCtrl() = default;

void CConsoleCtrl::Prepare()
{
    SetUndoLimit(0);
    m_cf = CHARFORMATA{};
    m_cf.cbSize = sizeof m_cf;
    m_cf.dwMask = CFM_SIZE | CFM_COLOR | CFM_BOLD;
    m_cf.dwEffects = CFE_BOLD;
    // Dialog font-size value 16: (16 / 2 + 2) points, in twips.
    m_cf.yHeight = (16 / 2 + 2) * 20;
    m_cf.crTextColor = 0;
    SetCharFormat(m_cf);
    // A match found from the find box stays visible while the box has the focus.
    SendMsg(EM_SETOPTIONS, ECOOP_OR, ECO_NOHIDESEL);
    Subclass(m_hWnd);
}

size_t CConsoleCtrl::GetCharCount() const
{
    // WM_GETTEXTLENGTH counts a paragraph end as CR LF, but selections count it once.
    GETTEXTLENGTHEX gtl{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    LRESULT n = SendMsg(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gtl));
    return n > 0 ? static_cast<size_t>(n) : 0;
}

void CConsoleCtrl::AppendConsoleText(const std::string& text)
{
    ApplyBatch(m_model.AppendConsoleText(text, GetCharCount()));
}

void CConsoleCtrl::ApplyBatch(const CConsoleBatch& batch)
{
    if (!batch.m_nTrimChars && batch.m_inserts.empty())
        return;
    // One repaint per batch instead of one per trim, format change, insert and scroll: under a
    // busy log the painting was most of the program's time.
    SendMsg(WM_SETREDRAW, FALSE);
    if (batch.m_nTrimChars) {
        m_finder.OnTrimmed(batch.m_nTrimChars);
        SetSel(0, static_cast<long>(batch.m_nTrimChars));
        ReplaceSel("");
    }
    LRESULT before = SendMsg(EM_GETLINECOUNT);
    SetSel(-1, -1);
    // Consecutive lines of one colour go in as one insert: every replace makes the control
    // re-wrap and re-measure.
    std::string run;
    for (size_t i = 0; i < batch.m_inserts.size(); ++i) {
        const CConsoleInsert& insert = batch.m_inserts[i];
        run += insert.m_strText;
        if (i + 1 < batch.m_inserts.size() && batch.m_inserts[i + 1].m_crColour == insert.m_crColour)
            continue;
        m_cf.crTextColor = insert.m_crColour;
        SetCharFormat(m_cf, SCF_SELECTION);
        ReplaceSel(run);
        run.clear();
    }
    LRESULT after = SendMsg(EM_GETLINECOUNT);
    if (after > before)
        SendMsg(EM_LINESCROLL, 0, after - before);
    SendMsg(WM_SETREDRAW, TRUE);
    // The frame too: the scroll bar is drawn there, and its thumb moved while redraw was off.
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void CConsoleCtrl::Clear()
{
    m_finder.OnCleared();
    SetSel(0, -1);
    ReplaceSel("");
}

bool CConsoleCtrl::HasSelection() const
{
    CHARRANGE range{};
    SendMsg(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax > range.cpMin;
}

void CConsoleCtrl::ShowContextMenu(HINSTANCE instance, POINT pt, HBITMAP copyBitmap)
{
    CConsoleMenuOffer offer = ConsoleMenuOffer(HasSelection(), GetCharCount());
    if (!offer.m_bShow)
        return;
    const wingui::CMenu menu(LoadMenuA(instance, "EditPopup"));
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu.Get(), 0);
    if (!m_saveBitmap)
        m_saveBitmap.Reset(static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(IDB_MENU_SAVE), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    if (copyBitmap)
        SetMenuItemBitmaps(popup, ID_EDIT_COPY_CONSOLE, MF_BYCOMMAND, copyBitmap, copyBitmap);
    if (m_saveBitmap)
        SetMenuItemBitmaps(popup, ID_EDIT_SAVE_CONSOLE, MF_BYCOMMAND, m_saveBitmap.Get(), m_saveBitmap.Get());
    EnableMenuItem(popup, ID_EDIT_COPY_CONSOLE, MF_BYCOMMAND | (offer.m_bCopy ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(popup, ID_EDIT_SAVE_CONSOLE, MF_BYCOMMAND | (offer.m_bSave ? MF_ENABLED : MF_GRAYED));
    // The console owns the menu, so the chosen command reaches WindowProc as WM_COMMAND.
    TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_VCENTERALIGN, pt.x, pt.y, 0, m_hWnd, nullptr);
}

std::string CConsoleCtrl::GetPlainText() const
{
    // GT_DEFAULT keeps a paragraph end as the one "\r" the control counts; a double-byte code
    // page could take two bytes a character.
    std::string text(2 * GetCharCount() + 2, '\0');
    GETTEXTEX gt{};
    gt.cb = static_cast<DWORD>(text.size());
    gt.flags = GT_DEFAULT;
    gt.codepage = CP_ACP;
    LRESULT n = SendMsg(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&gt), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

void CConsoleCtrl::OpenFind()
{
    CConsoleFindDlg dialog(m_finder.m_request, [this] { return FindNext(); });
    dialog.RunModalLoop(ProgramInstance(), IDD_CONSOLE_FIND, ::GetParent(m_hWnd));
}

bool CConsoleCtrl::FindNext()
{
    CHARRANGE sel{};
    SendMsg(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&sel));
    CTextRange selection{static_cast<size_t>(sel.cpMin > 0 ? sel.cpMin : 0),
                         static_cast<size_t>(sel.cpMax > 0 ? sel.cpMax : 0)};
    auto match = m_finder.FindNext(GetPlainText(), selection);
    if (!match)
        return false;
    CHARRANGE found{static_cast<LONG>(match->m_nStart), static_cast<LONG>(match->m_nEnd)};
    SendMsg(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&found));
    SendMsg(EM_SCROLLCARET);
    return true;
}

void CConsoleCtrl::SaveToFile()
{
    char file[MAX_PATH] = "Console.txt";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ::GetParent(m_hWnd);
    ofn.lpstrFilter = "Text Files (*.txt)\0*.txt\0All Files (*.*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = "txt";
    ofn.lpstrTitle = "Save Console to File";
    // The server inherits Tollan's working directory: the dialog must not move it.
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                OFN_NOREADONLYRETURN;
    if (GetSaveFileNameA(&ofn))
        SaveConsoleText(file, GetPlainText());
    else if (DWORD error = CommDlgExtendedError())
        LogMessage("ERR:  The Save As dialog failed (error 0x%lX); the console was not saved.\n",
                   static_cast<unsigned long>(error));
}

bool CConsoleCtrl::OnOwnMessage(UINT msg, WPARAM w)
{
    switch (msg) {
    case WM_CHAR:
        if (w != kCtrlF)
            return false;
        OpenFind();
        return true;
    case WM_KEYDOWN:
        if (w != VK_F3)
            return false;
        if (m_finder.m_request.m_strWhat.empty())
            OpenFind();
        else if (!FindNext())
            MessageBeep(MB_ICONWARNING);
        return true;
    case WM_COMMAND:
        if (LOWORD(w) == ID_EDIT_COPY_CONSOLE)
            Copy();
        else if (LOWORD(w) == ID_EDIT_SAVE_CONSOLE)
            SaveToFile();
        else
            return false;
        return true;
    }
    return false;
}

LRESULT CConsoleCtrl::WindowProc(UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_NCDESTROY)
        m_saveBitmap.Reset();
    else if (OnOwnMessage(msg, w))
        return 0;
    return Default(msg, w, l);
}
