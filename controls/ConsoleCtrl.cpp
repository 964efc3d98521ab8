#include "controls/ConsoleCtrl.h"

#include "resources/resource.h"

#include <string>

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
    if (!batch.nTrimChars && batch.inserts.empty())
        return;
    // One repaint per batch instead of one per trim, format change, insert and scroll: under a
    // busy log the painting was most of the program's time.
    SendMsg(WM_SETREDRAW, FALSE);
    if (batch.nTrimChars) {
        SetSel(0, static_cast<long>(batch.nTrimChars));
        ReplaceSel("");
    }
    LRESULT before = SendMsg(EM_GETLINECOUNT);
    SetSel(-1, -1);
    // Consecutive lines of one colour go in as one insert: every replace makes the control
    // re-wrap and re-measure.
    std::string run;
    for (size_t i = 0; i < batch.inserts.size(); ++i) {
        const CConsoleInsert& insert = batch.inserts[i];
        run += insert.strText;
        if (i + 1 < batch.inserts.size() && batch.inserts[i + 1].crColour == insert.crColour)
            continue;
        m_cf.crTextColor = insert.crColour;
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
    SetSel(0, -1);
    ReplaceSel("");
}

bool CConsoleCtrl::HasSelection() const
{
    CHARRANGE range{};
    SendMsg(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax > range.cpMin;
}

void CConsoleCtrl::ShowContextMenu(HINSTANCE instance, HWND owner, POINT pt, HBITMAP copyBitmap) const
{
    HMENU menu = LoadMenuA(instance, "EditPopup");
    if (!menu)
        return;
    HMENU popup = GetSubMenu(menu, 0);
    if (copyBitmap)
        SetMenuItemBitmaps(popup, ID_EDIT_COPY_CONSOLE, MF_BYCOMMAND, copyBitmap, copyBitmap);
    UINT chosen = TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_VCENTERALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                                 pt.x, pt.y, 0, owner, nullptr);
    if (chosen == ID_EDIT_COPY_CONSOLE)
        Copy();
    DestroyMenu(menu);
}
