#include "maps/MapListDlg_win.h"

#include "base/Names.h"
#include "base/UtilityLog.h"
#include "maps/MapListFiles.h"
#include "maps/Resource.h"

#include <windowsx.h>

namespace {

// Menu command ids: one per model command, away from every control id.
UINT MenuId(EMapListCommand command) { return 0x7000 + static_cast<UINT>(command); }

POINT ClientPointOfMessage(HWND window)
{
    DWORD pos = ::GetMessagePos();
    POINT pt{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    ::ScreenToClient(window, &pt);
    return pt;
}

}  // namespace

CMapListDlg::CMapListDlg(const std::string& gameFolder, const CLevelList& dm, std::string& mapList,
                         int& dmStartingLevel)
    : m_strGameFolder(gameFolder),
      m_dm(dm),
      m_strMapList(mapList),
      m_iDmStartingLevel(dmStartingLevel),
      m_random(::GetTickCount())
{
}

CMapListDlg::~CMapListDlg() = default;

INT_PTR CMapListDlg::Run(HINSTANCE instance, HWND parent)
{
    return RunModalLoop(instance, IDD_MAPLIST_DIALOG, parent);
}

bool CMapListDlg::OnInit()
{
    m_btnSave.Attach(GetItem(IDOK));
    m_btnCancel.Attach(GetItem(IDCANCEL));
    m_cmbName.Attach(GetItem(IDC_MAP_LIST_NAME));
    m_lvAvailable.Attach(GetItem(IDC_AVAILABLE_MAPS));
    m_lvMapList.Attach(GetItem(IDC_MAP_LIST));
    auto loadPicture = [this](wingui::CBitmap& bitmap, int id) {
        bitmap.Reset(static_cast<HBITMAP>(
            ::LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    };
    loadPicture(m_addBitmap, IDB_MENU_ADD_MAP);
    loadPicture(m_removeBitmap, IDB_MENU_REMOVE_MAP);

    wingui::CUpdateGuard guard(m_nUpdating);
    m_lvAvailable.InsertColumn(0, "Available Maps", 200);
    m_lvMapList.InsertColumn(0, "Map List", 200);
    m_lvAvailable.SetExtendedStyle(LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    // One picture for both lists; they share it (LVS_SHAREIMAGELISTS) and we free it.
    m_rowImages.Reset(ImageList_LoadImageA(Instance(), MAKEINTRESOURCEA(IDB_MAP_ROW), 16, 0, RGB(255, 255, 255),
                                           IMAGE_BITMAP, LR_CREATEDIBSECTION));
    m_lvAvailable.SetSmallImages(m_rowImages.Get());
    m_lvMapList.SetSmallImages(m_rowImages.Get());

    const int count = m_dm.Count();
    m_model.Reset(count);
    for (int i = 0; i < count; ++i)
        m_lvAvailable.InsertItem(i, m_dm.m_aSlots[i].m_strName, i);
    RenderAvailable();

    FillNameBox();
    CreateToolTips();
    return true;
}

void CMapListDlg::FillNameBox()
{
    wingui::CUpdateGuard guard(m_nUpdating);
    for (const std::string& name : ListMapLists(m_strGameFolder, true))
        m_cmbName.AddString(name);
    int selected = FindMapListName(m_cmbName.GetItemTexts(), m_strMapList);
    if (selected < 0 && m_cmbName.GetCount() > 0)
        selected = 0;
    m_strListName = m_strMapList;
    if (selected >= 0) {
        m_cmbName.SetCurSel(selected);
        // What is shown and saved is the list that was read.
        m_strListName = m_cmbName.GetItemText(selected);
        LoadList(m_strListName);
    }
    SetNameBoxText(m_strListName);
}

void CMapListDlg::LoadList(const std::string& name)
{
    std::vector<int> slots;
    if (!ReadMapList(m_strGameFolder, name + ".txt", m_dm, slots))
        return;
    m_model.Load(slots);
    RenderAvailable();
    RenderMapList();
}

void CMapListDlg::SetNameBoxText(const std::string& text)
{
    wingui::CUpdateGuard guard(m_nUpdating);
    m_cmbName.SetText(text);
}

void CMapListDlg::MoveFocusTo(int id)
{
    SendMsg(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetItem(id)), TRUE);
}

void CMapListDlg::OnNameChosen(bool bCloseUp)
{
    int selected = m_cmbName.GetCurSel();
    if (selected < 0 && m_cmbName.GetCount() > 0)
        selected = 0;
    // A key or the wheel loads the list it brought into the box, so that Save never writes one
    // list's rows under another's name. The list already loaded is left alone: that is the
    // second notification of a click.
    if (!bCloseUp && (selected < 0 || m_cmbName.GetItemText(selected) == m_strListName))
        return;
    if (selected >= 0) {
        m_strListName = m_cmbName.GetItemText(selected);
        LogMessage("INF:  Current Map List: %s\n", m_strListName.c_str());
        LoadList(m_strListName);
        SetNameBoxText(m_strListName);
    }
    if (bCloseUp)
        MoveFocusTo(IDOK);
}

void CMapListDlg::OnSave()
{
    // The box shows the list name after every load, so its text is what the user means, even
    // when the combo box swallowed the notification of a change. A listed name typed in other
    // letter case is that very file; its spelling is kept.
    m_strListName = m_cmbName.GetText();
    const std::string name = MapListSaveName(m_cmbName.GetItemTexts(), m_strListName);
    if (name.empty()) {
        wingui::ShowWarning(m_hWnd, kProgramName, "Sorry, cannot save a Map List without a name.");
        return;
    }
    switch (WriteMapList(m_strGameFolder, name, m_model.MapRows(), m_dm, m_iDmStartingLevel)) {
    case EMapListSave::EmptyList:
        wingui::ShowWarning(m_hWnd, kProgramName, "The Map List must contain at least one map!");
        break;
    case EMapListSave::UnsafeName:
        wingui::ShowWarning(m_hWnd, kProgramName, "Sorry, cannot save a Map List under that name: it cannot be a file name.");
        break;
    case EMapListSave::Saved:
        m_btnCancel.SetText("Finished");
        m_strMapList = name;
        if (name != m_strListName) {
            m_strListName = name;
            SetNameBoxText(name);
        }
        if (m_onSaved)
            m_onSaved();
        break;
    case EMapListSave::UnknownLevel:
    case EMapListSave::Failed:
        break;  // logged
    }
    MoveFocusTo(IDCANCEL);
}

void CMapListDlg::PullSelections()
{
    m_model.SetAvailableSelection(m_lvAvailable.GetSelectedRows());
    m_model.SetMapSelection(m_lvMapList.GetSelectedRows());
}

void CMapListDlg::RenderAvailable()
{
    wingui::CUpdateGuard guard(m_nUpdating);
    for (int row = 0; row < m_model.AvailableCount(); ++row) {
        if (m_lvAvailable.GetCheck(row) != m_model.IsChecked(row))
            m_lvAvailable.SetCheck(row, m_model.IsChecked(row));
        if (m_lvAvailable.IsSelected(row) != m_model.IsAvailableSelected(row))
            m_lvAvailable.Select(row, m_model.IsAvailableSelected(row));
    }
}

void CMapListDlg::RenderMapList()
{
    wingui::CUpdateGuard guard(m_nUpdating);
    const std::vector<int>& rows = m_model.MapRows();
    const int wanted = static_cast<int>(rows.size());
    int shown = m_lvMapList.GetItemCount();
    m_lvMapList.SetRedraw(false);
    while (shown > wanted)
        m_lvMapList.DeleteItem(--shown);
    for (int i = 0; i < wanted; ++i) {
        const std::string& name = m_dm.m_aSlots[rows[i]].m_strName;
        if (i < shown)
            m_lvMapList.SetItem(i, name, rows[i]);
        else
            m_lvMapList.InsertItem(i, name, rows[i]);
        if (m_lvMapList.IsSelected(i) != m_model.IsMapSelected(i))
            m_lvMapList.Select(i, m_model.IsMapSelected(i));
    }
    m_lvMapList.SetRedraw(true);
}

void CMapListDlg::RunCommand(EMapListCommand command)
{
    PullSelections();
    m_model.Execute(command);
    RenderAvailable();
    RenderMapList();
}

bool CMapListDlg::OnCommand(WORD code, WORD id, HWND control)
{
    switch (id) {
    case IDOK:
        if (code == BN_CLICKED)
            OnSave();
        return true;
    case IDCANCEL:
        End(IDCANCEL);
        return true;
    case IDC_CLEAR_MAP_LIST:
        RunCommand(EMapListCommand::Clear);
        return true;
    case IDC_RANDOMIZE_MAP_LIST:
        PullSelections();
        m_model.Randomize([this](int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); });
        RenderMapList();
        return true;
    case IDC_MAP_LIST_NAME:
        if (code == CBN_EDITCHANGE && !m_nUpdating)
            m_strListName = m_cmbName.GetText();
        else if (m_cmbName.IsChoice(code) && !m_nUpdating)
            OnNameChosen(code == CBN_CLOSEUP);
        return true;
    }
    return false;
}

void CMapListDlg::OnAvailableItemChanged(const NMLISTVIEW& change)
{
    const UINT oldImage = change.uOldState & LVIS_STATEIMAGEMASK;
    const UINT newImage = change.uNewState & LVIS_STATEIMAGEMASK;
    // A state image of 0 is the row before it got its check box, not a user's click.
    if (m_nUpdating || change.iItem < 0 || !(change.uChanged & LVIF_STATE) || oldImage == newImage || !oldImage)
        return;
    m_model.OnUserCheck(change.iItem, (newImage >> 12) == 2);
    RenderMapList();
}

void CMapListDlg::OnAvailableDoubleClick(const NMITEMACTIVATE& click)
{
    if (click.iItem < 0)
        return;
    // The check box handles clicks on itself, left of this.
    RECT row = m_lvAvailable.GetItemRect(click.iItem);
    if (click.ptAction.x < row.left + 25)
        return;
    m_model.OnUserCheck(click.iItem, !m_model.IsChecked(click.iItem));
    RenderAvailable();
    RenderMapList();
}

void CMapListDlg::OnContextMenu(bool available)
{
    const wingui::CListView& list = available ? m_lvAvailable : m_lvMapList;
    UINT flags = 0;
    int hit = list.HitTest(ClientPointOfMessage(list), &flags);
    if (!(flags & LVHT_ONITEM))
        hit = -1;
    PullSelections();
    CMapListMenu spec = available ? m_model.AvailableMenu(hit) : m_model.MapMenu(hit);
    if (spec.m_items.empty())
        return;
    if (!available)
        RenderMapList();  // a hit row may have become the selection

    const wingui::CMenu owner(::CreatePopupMenu());
    HMENU menu = owner.Get();
    for (const CMapListMenuItem& item : spec.m_items) {
        if (item.m_strText.empty()) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT id = MenuId(item.m_eCommand);
        ::AppendMenuA(menu, MF_STRING | (item.m_bGreyed ? MF_GRAYED : 0), id, item.m_strText.c_str());
        HBITMAP picture = item.m_bAdds ? m_addBitmap.Get() : m_removeBitmap.Get();
        ::SetMenuItemBitmaps(menu, id, MF_BYCOMMAND, picture, picture);
        if (item.m_bIsDefault)
            ::SetMenuDefaultItem(menu, id, FALSE);
    }
    DWORD pos = ::GetMessagePos();
    const UINT align = spec.m_bCentred ? TPM_VCENTERALIGN : TPM_TOPALIGN;
    const UINT chosen = static_cast<UINT>(::TrackPopupMenu(menu, TPM_LEFTALIGN | align | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                                           GET_X_LPARAM(pos) + spec.m_nDx, GET_Y_LPARAM(pos) + spec.m_nDy,
                                                           0, m_hWnd, nullptr));
    for (const CMapListMenuItem& item : spec.m_items)
        if (!item.m_strText.empty() && chosen == MenuId(item.m_eCommand)) {
            m_model.Execute(item.m_eCommand);
            RenderAvailable();
            RenderMapList();
        }
}

bool CMapListDlg::OnNotify(int id, NMHDR* header, LRESULT& result)
{
    if (id != IDC_AVAILABLE_MAPS && id != IDC_MAP_LIST)
        return false;
    const bool available = id == IDC_AVAILABLE_MAPS;
    switch (header->code) {
    case LVN_ITEMCHANGED:
        if (available)
            OnAvailableItemChanged(*reinterpret_cast<NMLISTVIEW*>(header));
        return true;
    case NM_DBLCLK:
        if (available)
            OnAvailableDoubleClick(*reinterpret_cast<NMITEMACTIVATE*>(header));
        return true;
    case NM_RCLICK:
        OnContextMenu(available);
        result = TRUE;
        return true;
    case LVN_BEGINDRAG: {
        const NMLISTVIEW& drag = *reinterpret_cast<NMLISTVIEW*>(header);
        if (available)
            BeginDragFromAvailable(drag.ptAction);
        else
            BeginReorder(drag.iItem);
        return true;
    }
    }
    return false;
}

bool CMapListDlg::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result)
{
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!m_bReorderDrag && !m_bDragFromAvailable)
            return false;
        OnDragMove(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
        return true;
    case WM_LBUTTONUP:
        if (!m_bReorderDrag && !m_bDragFromAvailable)
            return false;
        OnDragEnd(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}, true);
        return true;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the drag ends where it is, without a drop.
        if (reinterpret_cast<HWND>(l) != m_hWnd && (m_bReorderDrag || m_bDragFromAvailable))
            OnDragEnd(POINT{0, 0}, false);
        return false;
    }
    return false;
}

bool CMapListDlg::PreTranslateMessage(MSG& msg)
{
    if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST)
        return false;
    if (m_tooltip) {
        HWND tool = msg.hwnd;
        if (::GetParent(tool) == m_cmbName.GetHWND())
            tool = m_cmbName;  // the combo box's edit
        m_tooltip.RelayEvent(msg, tool);
    }
    // The list under the pointer takes the keyboard, so its menu keys and the wheel act on it.
    if (msg.message == WM_MOUSEMOVE && !m_bReorderDrag &&
        (msg.hwnd == m_lvAvailable.GetHWND() || msg.hwnd == m_lvMapList.GetHWND()) && ::GetFocus() != msg.hwnd)
        ::SetFocus(msg.hwnd);
    return false;
}

void CMapListDlg::CreateToolTips()
{
    if (!m_tooltip.Create(m_hWnd, Instance()))
        return;
    m_tooltip.SetMaxTipWidth(200);
    m_tooltip.SetTipBkColor(RGB(255, 255, 255));
    m_tooltip.SetMargins(3);
    m_tooltip.SetDelayTime(TTDT_INITIAL, 1500);
    m_tooltip.SetDelayTime(TTDT_AUTOPOP, 5000);
    // The string table holds one tip per control id (and other strings under other ids).
    for (int id : {IDC_MAP_LIST_NAME, IDC_AVAILABLE_MAPS, IDC_MAP_LIST}) {
        char text[256];
        if (::LoadStringA(Instance(), id, text, sizeof text) > 0)
            m_tooltip.AddTool(m_hWnd, GetItem(id), text);
    }
}

void CMapListDlg::OnDestroy()
{
    if (m_bReorderDrag || m_bDragFromAvailable)
        OnDragEnd(POINT{0, 0}, false);
    if (m_tooltip)
        ::DestroyWindow(m_tooltip.Detach());
}
