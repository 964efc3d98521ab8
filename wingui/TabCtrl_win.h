// A tab control ("SysTabControl32") whose pages are borderless child dialogs, children of the tab
// control itself and shown or hidden by their owner when the selection changes.
#pragma once
#include "wingui/Window_win.h"

#include <commctrl.h>

namespace wingui {

class CTabCtrl : public CWindow {
public:
    // The tabs' names are fixed texts.
    int InsertItem(int index, const char* text) const
    {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(text);
        return static_cast<int>(SendMsg(TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item)));
    }
    void SetItemText(int index, const char* text) const
    {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(text);
        SendMsg(TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item));
    }
    int GetItemCount() const { return static_cast<int>(SendMsg(TCM_GETITEMCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMsg(TCM_GETCURSEL)); }
    // Selects a tab; like the control itself this sends no TCN_SELCHANGE.
    void SetCurSel(int index) const { SendMsg(TCM_SETCURSEL, index); }
    void SetMinTabWidth(int pixels) const { SendMsg(TCM_SETMINTABWIDTH, 0, pixels); }

    // The display area below the tabs, in the tab control's client coordinates.
    RECT DisplayRect() const
    {
        RECT r = GetClientRectangle();
        SendMsg(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // Moves a page over the display area, grown by the given pixels to the left and upwards and
    // in width and height.
    void PlacePage(HWND page, int growLeft, int growUp, int growWidth, int growHeight) const
    {
        RECT r = DisplayRect();
        ::MoveWindow(page, r.left - growLeft, r.top - growUp, r.right - r.left + growWidth,
                     r.bottom - r.top + growHeight, FALSE);
    }
};

}  // namespace wingui
