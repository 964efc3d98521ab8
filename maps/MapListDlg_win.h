// The map list editor: every deathmatch level with a check box, and the map list being edited in
// rotation order. It shows what its CMapListModel holds and feeds it the user's actions.
#pragma once
#include "maps/LevelCatalogue.h"
#include "maps/MapListModel.h"
#include "wingui/Controls_win.h"
#include "wingui/Dialog_win.h"
#include "wingui/ListView_win.h"
#include "wingui/Owners_win.h"
#include "wingui/ToolTip_win.h"

#include <functional>
#include <random>
#include <string>

class CMapListDlg : public wingui::CDialog {
public:
    // `mapList` and `dmStartingLevel` are the record's fields: a save sets them.
    CMapListDlg(const std::string& gameFolder, const CLevelList& dm, std::string& mapList, int& dmStartingLevel);
    ~CMapListDlg() override;

    // Called after every successful save (the configuration dialog refills its starting levels).
    std::function<void()> m_onSaved;

    INT_PTR Run(HINSTANCE instance, HWND parent);

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    bool OnNotify(int id, NMHDR* header, LRESULT& result) override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
    bool PreTranslateMessage(MSG& msg) override;
    void OnDestroy() override;

private:
    void FillNameBox();
    void LoadList(const std::string& name);
    // A choice in the name box (see wingui::CComboBox::IsChoice) loads the list it shows; a
    // close-up also moves the focus to "Save Map List".
    void OnNameChosen(bool bCloseUp);
    void OnSave();
    void SetNameBoxText(const std::string& text);
    void MoveFocusTo(int id);

    void RenderAvailable();
    void RenderMapList();
    void PullSelections();
    void RunCommand(EMapListCommand command);

    void OnAvailableItemChanged(const NMLISTVIEW& change);
    void OnAvailableDoubleClick(const NMITEMACTIVATE& click);
    void OnContextMenu(bool available);
    void BeginReorder(int row);
    void BeginDragFromAvailable(POINT clientPoint);
    void OnDragMove(POINT clientPoint);
    void OnDragEnd(POINT clientPoint, bool drop);
    void CreateToolTips();

    std::string m_strGameFolder;
    const CLevelList& m_dm;
    std::string& m_strMapList;
    int& m_iDmStartingLevel;

    CMapListModel m_model;
    std::string m_strListName;
    int m_nUpdating = 0;
    bool m_bReorderDrag = false;
    bool m_bDragFromAvailable = false;
    wingui::CImageList m_dragImage;
    wingui::CImageList m_rowImages;
    wingui::CBitmap m_addBitmap, m_removeBitmap;
    std::minstd_rand m_random;

    wingui::CButton m_btnSave, m_btnCancel;
    wingui::CComboBox m_cmbName;
    wingui::CListView m_lvAvailable, m_lvMapList;
    wingui::CToolTip m_tooltip;
};
