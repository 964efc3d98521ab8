// The map list editor's list logic: the available rows (one per deathmatch catalogue slot, with a
// check box) and the map list (catalogue slots in rotation order). The dialog feeds it the
// selections and the user's actions and shows what it holds afterwards; changes the model makes
// itself never come back as user actions.
#pragma once
#include <functional>
#include <string>
#include <vector>

enum class EMapListCommand {
    AddSelected,     // "  Add Selected Map(s) to List"
    RemoveSelected,  // "  Remove Selected Map(s) from List"
    AddAll,          // "  Add All Maps to List"
    RemoveAll,       // "  Remove All Maps from List"
    RemoveMaps,      // "  Remove Map(s) from List" (map list menu)
    Clear,           // "Clear Map List" (button, or the map list menu on empty space)
};

struct CMapListMenuItem {
    std::string m_strText;  // empty for a separator
    EMapListCommand m_eCommand;
    bool m_bGreyed = false;
    bool m_bIsDefault = false;
    bool m_bAdds = false;  // add-type entries carry one picture, remove-type ones another
};

struct CMapListMenu {
    std::vector<CMapListMenuItem> m_items;  // empty: no menu
    int m_nDx = 5;                          // the menu's left edge, right of the pointer
    int m_nDy = -6;                         // its top relative to the pointer (available list)
    bool m_bCentred = false;                // centred vertically on the pointer (map list)
};

// Where the pointer is, for a reorder step.
enum class EPointerPlace { OnRow, Above, Below, Elsewhere };

class CMapListModel {
public:
    explicit CMapListModel(int availableCount = 0) { Reset(availableCount); }
    // Available rows 0 .. count-1 for the catalogue slots of the same number, none checked, the
    // map list empty.
    void Reset(int availableCount);

    int AvailableCount() const { return static_cast<int>(m_abChecked.size()); }
    bool IsChecked(int row) const { return m_abChecked[row] != 0; }
    bool IsAvailableSelected(int row) const { return m_abAvailSelected[row] != 0; }
    const std::vector<int>& MapRows() const { return m_anMapRows; }
    bool IsMapSelected(int i) const { return m_abMapSelected[i] != 0; }
    int CheckedCount() const;

    // The selections as the list views hold them.
    void SetAvailableSelection(const std::vector<int>& rows);
    void SetMapSelection(const std::vector<int>& rows);

    void Execute(EMapListCommand command);
    // A map list read from its file: it replaces the map list and the ticks.
    void Load(const std::vector<int>& slots);
    // Swaps n pairs of rows; pick(n) returns a position from 0 to n-1.
    void Randomize(const std::function<int(int n)>& pick);

    // The user ticked or unticked an available row (its check box, a double-click, the space
    // bar). A ticked level is appended unless the map list has it; an unticked one loses its
    // first row. Rows are matched by their level, never by their names.
    void OnUserCheck(int row, bool checked);
    // Available rows dropped on the map list: every selected one that the list lacks is
    // appended and ticked.
    void DropSelectedAvailable();

    // Reordering by dragging: the anchor row, then one step per mouse move.
    void BeginReorder(int anchorRow) { m_nAnchor = anchorRow; }
    // Moves the selected rows as a block by (target - anchor) places; a step that would push a
    // row past either end moves nothing from that row on. Returns the new places of the moved
    // rows in the order they moved (each is scrolled into view in turn). The target becomes the
    // anchor.
    std::vector<int> ReorderStep(int target);
    // The row a step aims at: the row under the pointer, or one beyond the visible rows when the
    // pointer is above or below the list; -1 for none.
    static int ReorderTarget(EPointerPlace place, int hitRow, int topIndex, int rowsPerPage);

    // The context menus. `hitRow` is the row under the pointer, or -1. For the map list a hit row
    // with nothing selected becomes the selection.
    CMapListMenu AvailableMenu(int hitRow) const;
    CMapListMenu MapMenu(int hitRow);

private:
    void ClearMapList();
    void Uncheck(int row) { m_abChecked[row] = false; }
    void DeselectAvailable();
    bool MapHas(int slot) const;
    void RemoveFirstMapRow(int slot);
    void RemoveMapRow(size_t i);
    void AppendMapRow(int slot);
    void SwapMapRows(size_t a, size_t b);

    std::vector<char> m_abChecked;  // char, not bool: plain bytes are smaller and quicker
    std::vector<char> m_abAvailSelected;
    std::vector<int> m_anMapRows;
    std::vector<char> m_abMapSelected;
    int m_nAnchor = -1;
};

// The entry of `names` that stands for the list `name`: the same text, or else the same text in
// other letter case (Windows file names ignore case); -1 when none.
int FindMapListName(const std::vector<std::string>& names, const std::string& name);

// The name under which the editor saves: a listed name in other letter case is the same file,
// so its listed spelling is kept.
std::string MapListSaveName(const std::vector<std::string>& names, const std::string& typed);

// The deathmatch page's map list choice. `shown` are the lists in the order the choice shows them.
struct CMapListPick {
    int m_nSelected = -1;
    std::string m_strCurrent;       // what g_strMapList becomes
    bool m_bCreateDefault = false;  // write MapList.txt, list again and pick again
};
// The current list if it is listed; else a listed "MapList" (never rewritten); else the default
// list is to be created, when the catalogue has deathmatch levels; else the first list shown.
CMapListPick PickMapList(const std::vector<std::string>& shown, const std::string& current,
                        bool canCreateDefault);
