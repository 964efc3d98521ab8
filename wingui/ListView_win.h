// A report-style list view ("SysListView32"): the calls the dialogs need, by row index.
#pragma once
#include "wingui/Window_win.h"

#include <commctrl.h>

#include <vector>

namespace wingui {

class CListView : public CWindow {
public:
    void SetExtendedStyle(DWORD mask, DWORD style) const
    {
        SendMsg(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style);
    }
    // A column's heading is a fixed text.
    void InsertColumn(int index, const char* text, int width) const
    {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>(text);
        column.cx = width;
        SendMsg(LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
    }
    void SetSmallImages(HIMAGELIST images) const
    {
        SendMsg(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    }
    int GetItemCount() const { return static_cast<int>(SendMsg(LVM_GETITEMCOUNT)); }
    int InsertItem(int index, const std::string& text, LPARAM data, int image = 0) const
    {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = index;
        item.pszText = const_cast<char*>(text.c_str());
        item.lParam = data;
        item.iImage = image;
        return static_cast<int>(SendMsg(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }
    void SetItem(int index, const std::string& text, LPARAM data) const
    {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = index;
        item.pszText = const_cast<char*>(text.c_str());
        item.lParam = data;
        SendMsg(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    LPARAM GetItemData(int index) const
    {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        SendMsg(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.lParam;
    }
    void DeleteItem(int index) const { SendMsg(LVM_DELETEITEM, index); }
    void DeleteAllItems() const { SendMsg(LVM_DELETEALLITEMS); }

    void SetItemState(int index, UINT state, UINT mask) const
    {
        LVITEMA item{};
        item.stateMask = mask;
        item.state = state;
        SendMsg(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item));
    }
    UINT GetItemState(int index, UINT mask) const { return static_cast<UINT>(SendMsg(LVM_GETITEMSTATE, index, mask)); }
    // Check boxes (LVS_EX_CHECKBOXES) are state images 1 (clear) and 2 (ticked).
    bool GetCheck(int index) const { return (GetItemState(index, LVIS_STATEIMAGEMASK) >> 12) == 2; }
    void SetCheck(int index, bool on) const { SetItemState(index, INDEXTOSTATEIMAGEMASK(on ? 2 : 1), LVIS_STATEIMAGEMASK); }
    bool IsSelected(int index) const { return GetItemState(index, LVIS_SELECTED) != 0; }
    void Select(int index, bool on) const { SetItemState(index, on ? LVIS_SELECTED : 0, LVIS_SELECTED); }
    std::vector<int> GetSelectedRows() const
    {
        std::vector<int> rows;
        for (int i = -1; (i = static_cast<int>(SendMsg(LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
            rows.push_back(i);
        return rows;
    }

    void EnsureVisible(int index) const { SendMsg(LVM_ENSUREVISIBLE, index, FALSE); }
    int GetTopIndex() const { return static_cast<int>(SendMsg(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(SendMsg(LVM_GETCOUNTPERPAGE)); }
    RECT GetItemRect(int index, int code = LVIR_BOUNDS) const
    {
        RECT r{};
        r.left = code;
        SendMsg(LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // The row at a point of the client area, or -1; `flags` receives the LVHT_ flags.
    int HitTest(POINT clientPoint, UINT* flags = nullptr) const
    {
        LVHITTESTINFO info{};
        info.pt = clientPoint;
        int row = static_cast<int>(SendMsg(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
        if (flags)
            *flags = info.flags;
        return row;
    }
    // Drawing off while many rows change, then on and one repaint.
    void SetRedraw(bool on) const
    {
        SendMsg(WM_SETREDRAW, on);
        if (on)
            ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
};

}  // namespace wingui
