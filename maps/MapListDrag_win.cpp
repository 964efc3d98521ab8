// The map list editor's two drags: rows of the available levels dragged onto the map list, with a
// picture of them under the pointer, and rows of the map list dragged to another place in it.
#include "maps/MapListDlg_win.h"

void CMapListDlg::BeginReorder(int row)
{
    PullSelections();
    m_model.BeginReorder(row);
    m_bReorderDrag = true;
    ::SetCapture(m_hWnd);
}

void CMapListDlg::BeginDragFromAvailable(POINT listPoint)
{
    // The picture: the selected rows that are visible, stacked as in the list.
    const int top = m_lvAvailable.GetTopIndex();
    const int last = top + m_lvAvailable.GetCountPerPage();
    POINT origin{0, 0};
    for (int row : m_lvAvailable.GetSelectedRows()) {
        if (row < top || row > last)
            continue;
        POINT at{};
        wingui::CImageList one(reinterpret_cast<HIMAGELIST>(
            m_lvAvailable.SendMsg(LVM_CREATEDRAGIMAGE, row, reinterpret_cast<LPARAM>(&at))));
        if (!one)
            continue;
        if (!m_dragImage) {
            m_dragImage = std::move(one);
            origin = at;
            continue;
        }
        wingui::CImageList merged(ImageList_Merge(m_dragImage.Get(), 0, one.Get(), 0, at.x - origin.x, at.y - origin.y));
        if (merged)
            m_dragImage = std::move(merged);
    }
    m_bDragFromAvailable = true;
    ::SetCapture(m_hWnd);
    if (m_dragImage && ImageList_BeginDrag(m_dragImage.Get(), 0, listPoint.x - origin.x, listPoint.y - origin.y)) {
        POINT screen = listPoint;
        ::ClientToScreen(m_lvAvailable, &screen);
        RECT window = GetWindowRectangle();
        ImageList_DragEnter(m_hWnd, screen.x - window.left, screen.y - window.top);
    }
}

void CMapListDlg::OnDragMove(POINT dialogPoint)
{
    if (m_bDragFromAvailable) {
        POINT screen = dialogPoint;
        ::ClientToScreen(m_hWnd, &screen);
        RECT window = GetWindowRectangle();
        ImageList_DragMove(screen.x - window.left, screen.y - window.top);
        return;
    }
    POINT pt = dialogPoint;
    ::MapWindowPoints(m_hWnd, m_lvMapList, &pt, 1);
    UINT flags = 0;
    int hit = m_lvMapList.HitTest(pt, &flags);
    EPointerPlace place = EPointerPlace::Elsewhere;
    if (hit >= 0 && (flags & LVHT_ONITEM))
        place = EPointerPlace::OnRow;
    else if (flags & LVHT_BELOW)
        place = EPointerPlace::Below;
    else if (flags & LVHT_ABOVE)
        place = EPointerPlace::Above;
    const int target = CMapListModel::ReorderTarget(place, hit, m_lvMapList.GetTopIndex(),
                                                    m_lvMapList.GetCountPerPage());
    m_lvMapList.SetRedraw(false);
    std::vector<int> moved = m_model.ReorderStep(target);
    RenderMapList();  // turns drawing on again
    for (int row : moved)
        m_lvMapList.EnsureVisible(row);
}

void CMapListDlg::OnDragEnd(POINT dialogPoint, bool drop)
{
    if (m_bReorderDrag) {
        m_bReorderDrag = false;
        ::ReleaseCapture();
        m_model.SetMapSelection({});
        RenderMapList();
        return;
    }
    if (!m_bDragFromAvailable)
        return;
    m_bDragFromAvailable = false;
    if (m_dragImage) {
        ImageList_DragLeave(m_hWnd);
        ImageList_EndDrag();
        m_dragImage.Reset();
    }
    ::ReleaseCapture();
    POINT screen = dialogPoint;
    ::ClientToScreen(m_hWnd, &screen);
    if (drop && ::WindowFromPoint(screen) == m_lvMapList.GetHWND()) {
        PullSelections();
        m_model.DropSelectedAvailable();
        RenderAvailable();
        RenderMapList();
    }
}
