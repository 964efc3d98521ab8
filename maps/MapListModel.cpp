#include "maps/MapListModel.h"

#include "maps/MapListFiles.h"

#include <algorithm>

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::vector<int> Selected(const std::vector<char>& flags)
{
    std::vector<int> rows;
    for (size_t i = 0; i < flags.size(); ++i)
        if (flags[i])
            rows.push_back(static_cast<int>(i));
    return rows;
}

void Select(std::vector<char>& flags, const std::vector<int>& rows)
{
    std::fill(flags.begin(), flags.end(), false);
    for (int r : rows)
        if (r >= 0 && r < static_cast<int>(flags.size()))
            flags[r] = true;
}

}  // namespace

void CMapListModel::Reset(int availableCount)
{
    m_abChecked.assign(availableCount > 0 ? availableCount : 0, 0);
    m_abAvailSelected.assign(m_abChecked.size(), 0);
    ClearMapList();
    m_nAnchor = -1;
}

int CMapListModel::CheckedCount() const
{
    return static_cast<int>(std::count(m_abChecked.begin(), m_abChecked.end(), 1));
}

void CMapListModel::SetAvailableSelection(const std::vector<int>& rows) { Select(m_abAvailSelected, rows); }
void CMapListModel::SetMapSelection(const std::vector<int>& rows) { Select(m_abMapSelected, rows); }

void CMapListModel::ClearMapList()
{
    m_anMapRows.clear();
    m_abMapSelected.clear();
}

void CMapListModel::DeselectAvailable() { std::fill(m_abAvailSelected.begin(), m_abAvailSelected.end(), false); }

bool CMapListModel::MapHas(int slot) const
{
    return std::find(m_anMapRows.begin(), m_anMapRows.end(), slot) != m_anMapRows.end();
}

void CMapListModel::RemoveMapRow(size_t i)
{
    m_anMapRows.erase(m_anMapRows.begin() + i);
    m_abMapSelected.erase(m_abMapSelected.begin() + i);
}

void CMapListModel::RemoveFirstMapRow(int slot)
{
    auto it = std::find(m_anMapRows.begin(), m_anMapRows.end(), slot);
    if (it != m_anMapRows.end())
        RemoveMapRow(static_cast<size_t>(it - m_anMapRows.begin()));
}

void CMapListModel::AppendMapRow(int slot)
{
    m_anMapRows.push_back(slot);
    m_abMapSelected.push_back(0);
}

// Rows swap their level; the selection stays where it is, as in the list view.
void CMapListModel::SwapMapRows(size_t a, size_t b) { std::swap(m_anMapRows[a], m_anMapRows[b]); }

void CMapListModel::Execute(EMapListCommand command)
{
    const int count = AvailableCount();
    switch (command) {
    case EMapListCommand::AddAll:
        ClearMapList();
        for (int row = 0; row < count; ++row)
            AppendMapRow(row);
        std::fill(m_abChecked.begin(), m_abChecked.end(), true);
        DeselectAvailable();
        break;
    case EMapListCommand::RemoveAll:
        ClearMapList();
        std::fill(m_abChecked.begin(), m_abChecked.end(), false);
        DeselectAvailable();
        break;
    case EMapListCommand::AddSelected:
        for (int row = 0; row < count; ++row) {
            if (m_abAvailSelected[row] && !m_abChecked[row]) {
                AppendMapRow(row);
                m_abChecked[row] = true;
            }
        }
        DeselectAvailable();
        break;
    case EMapListCommand::RemoveSelected:
        for (int row = 0; row < count; ++row) {
            if (m_abAvailSelected[row] && MapHas(row)) {
                RemoveFirstMapRow(row);
                Uncheck(row);
            }
        }
        DeselectAvailable();
        break;
    case EMapListCommand::RemoveMaps:
        for (size_t i = m_anMapRows.size(); i-- > 0;) {
            if (!m_abMapSelected[i])
                continue;
            const int slot = m_anMapRows[i];
            RemoveMapRow(i);
            if (slot >= 0 && slot < count)
                Uncheck(slot);
        }
        break;
    case EMapListCommand::Clear:
        ClearMapList();
        std::fill(m_abChecked.begin(), m_abChecked.end(), false);
        break;
    }
}

void CMapListModel::Load(const std::vector<int>& slots)
{
    ClearMapList();
    std::fill(m_abChecked.begin(), m_abChecked.end(), false);
    for (int slot : slots) {
        if (slot < 0 || slot >= AvailableCount())
            continue;
        AppendMapRow(slot);
        m_abChecked[slot] = true;
    }
}

void CMapListModel::Randomize(const std::function<int(int n)>& pick)
{
    const int n = static_cast<int>(m_anMapRows.size());
    for (int k = 0; k < n; ++k) {
        const int a = pick(n), b = pick(n);
        if (a >= 0 && a < n && b >= 0 && b < n)
            SwapMapRows(static_cast<size_t>(a), static_cast<size_t>(b));
    }
}

void CMapListModel::OnUserCheck(int row, bool checked)
{
    if (row < 0 || row >= AvailableCount())
        return;
    m_abChecked[row] = checked;
    if (checked) {
        if (!MapHas(row))
            AppendMapRow(row);
    } else {
        RemoveFirstMapRow(row);
    }
}

void CMapListModel::DropSelectedAvailable()
{
    for (int row = 0; row < AvailableCount(); ++row) {
        if (m_abAvailSelected[row] && !MapHas(row)) {
            AppendMapRow(row);
            m_abChecked[row] = true;
        }
    }
}

std::vector<int> CMapListModel::ReorderStep(int target)
{
    std::vector<int> moved;
    if (target < 0)
        return moved;
    if (target != m_nAnchor && m_nAnchor >= 0) {
        const int delta = target - m_nAnchor;
        const int count = static_cast<int>(m_anMapRows.size());
        std::vector<int> rows = Selected(m_abMapSelected);
        // The row that leads the move goes first, so a block never runs into itself.
        if (delta > 0)
            std::reverse(rows.begin(), rows.end());
        for (int row : rows) {
            const int to = row + delta;
            if (to < 0 || to >= count)
                break;
            m_abMapSelected[row] = false;
            for (int i = row; i < to; ++i)
                SwapMapRows(i, i + 1);
            for (int i = row; i > to; --i)
                SwapMapRows(i, i - 1);
            m_abMapSelected[to] = true;
            moved.push_back(to);
        }
    }
    m_nAnchor = target;
    return moved;
}

int CMapListModel::ReorderTarget(EPointerPlace place, int hitRow, int topIndex, int rowsPerPage)
{
    switch (place) {
    case EPointerPlace::OnRow: return hitRow;
    case EPointerPlace::Below: return topIndex + rowsPerPage;
    case EPointerPlace::Above: return topIndex - 1;
    case EPointerPlace::Elsewhere: break;
    }
    return -1;
}

CMapListMenu CMapListModel::AvailableMenu(int hitRow) const
{
    CMapListMenu menu;
    const int selected = static_cast<int>(Selected(m_abAvailSelected).size());
    if (hitRow >= AvailableCount())
        hitRow = -1;
    if (hitRow >= 0 && selected == 0)
        return menu;
    const int checked = CheckedCount();
    const bool none = checked == 0;
    const bool all = !none && checked == AvailableCount();

    CMapListMenuItem addAll{"  Add All Maps to List", EMapListCommand::AddAll, false, false, true};
    CMapListMenuItem removeAll{"  Remove All Maps from List", EMapListCommand::RemoveAll};
    if (hitRow < 0) {
        if (none) {
            removeAll.m_bGreyed = true;
            addAll.m_bIsDefault = true;
        } else {
            addAll.m_bGreyed = all;
            removeAll.m_bIsDefault = true;
        }
        menu.m_items = {addAll, removeAll};
    } else {
        const bool single = selected == 1;
        CMapListMenuItem add{single ? "  Add Selected Map to List" : "  Add Selected Maps to List",
                            EMapListCommand::AddSelected, false, false, true};
        CMapListMenuItem remove{single ? "  Remove Selected Map from List" : "  Remove Selected Maps from List",
                               EMapListCommand::RemoveSelected};
        if (!m_abChecked[hitRow]) {
            remove.m_bGreyed = true;
            add.m_bIsDefault = true;
        } else {
            add.m_bGreyed = true;
            remove.m_bIsDefault = true;
        }
        removeAll.m_bGreyed = none;
        addAll.m_bGreyed = all;
        menu.m_items = {add, remove, CMapListMenuItem{"", EMapListCommand::Clear}, addAll, removeAll};
    }
    // The default entry opens under the pointer.
    menu.m_nDy = menu.m_items[1].m_bIsDefault ? -24 : -6;
    return menu;
}

CMapListMenu CMapListModel::MapMenu(int hitRow)
{
    CMapListMenu menu;
    menu.m_bCentred = true;
    menu.m_nDy = 0;
    size_t selected = Selected(m_abMapSelected).size();
    if (selected == 0 && hitRow >= 0 && hitRow < static_cast<int>(m_anMapRows.size())) {
        m_abMapSelected[hitRow] = true;
        selected = 1;
    }
    CMapListMenuItem item{"  Remove Map from List", EMapListCommand::RemoveMaps};
    if (selected == 0) {
        item.m_strText = "  Clear Map List";
        item.m_eCommand = EMapListCommand::Clear;
    } else if (selected > 1) {
        item.m_strText = "  Remove Maps From List";
    }
    item.m_bIsDefault = true;
    menu.m_items = {item};
    return menu;
}

int FindMapListName(const std::vector<std::string>& names, const std::string& name)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    for (size_t i = 0; i < names.size(); ++i)
        if (EqualIgnoringCase(names[i], name))
            return static_cast<int>(i);
    return -1;
}

std::string MapListSaveName(const std::vector<std::string>& names, const std::string& typed)
{
    const int i = FindMapListName(names, typed);
    return i >= 0 ? names[i] : typed;
}

CMapListPick PickMapList(const std::vector<std::string>& shown, const std::string& current,
                        bool canCreateDefault)
{
    CMapListPick pick;
    for (const std::string& name : {current, std::string(kDefaultMapListName)}) {
        pick.m_nSelected = FindMapListName(shown, name);
        if (pick.m_nSelected >= 0) {
            pick.m_strCurrent = shown[pick.m_nSelected];
            return pick;
        }
    }
    if (canCreateDefault) {
        pick.m_bCreateDefault = true;
        pick.m_strCurrent = kDefaultMapListName;
    } else if (!shown.empty()) {
        pick.m_nSelected = 0;
        pick.m_strCurrent = shown[0];
    } else {
        pick.m_strCurrent = kDefaultMapListName;
    }
    return pick;
}
