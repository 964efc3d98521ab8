#include "maps/MapListModel.h"

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<int>;

Rows Checked(const CMapListModel& m)
{
    Rows rows;
    for (int r = 0; r < m.AvailableCount(); ++r)
        if (m.IsChecked(r))
            rows.push_back(r);
    return rows;
}

Rows SelectedMaps(const CMapListModel& m)
{
    Rows rows;
    for (size_t i = 0; i < m.MapRows().size(); ++i)
        if (m.IsMapSelected(static_cast<int>(i)))
            rows.push_back(static_cast<int>(i));
    return rows;
}

// Five levels; the map list holds 2, 0, 2 (a file may list a level twice); available rows 0 and
// 1 selected; map row 1 selected.
CMapListModel Sample()
{
    CMapListModel m(5);
    m.Load({2, 0, 2});
    m.SetAvailableSelection({0, 1});
    m.SetMapSelection({1});
    return m;
}

TEST(MapListModelTest, EveryCommandHasExactlyItsNetEffect)
{
    const struct {
        EMapListCommand command;
        Rows map, checked;
        bool availableDeselected;
    } cases[] = {
        {EMapListCommand::AddAll, {0, 1, 2, 3, 4}, {0, 1, 2, 3, 4}, true},
        {EMapListCommand::RemoveAll, {}, {}, true},
        {EMapListCommand::AddSelected, {2, 0, 2, 1}, {0, 1, 2}, true},
        {EMapListCommand::RemoveSelected, {2, 2}, {2}, true},
        {EMapListCommand::RemoveMaps, {2, 2}, {2}, false},
        {EMapListCommand::Clear, {}, {}, false},
    };
    for (const auto& c : cases) {
        CMapListModel m = Sample();
        m.Execute(c.command);
        EXPECT_EQ(c.map, m.MapRows()) << static_cast<int>(c.command);
        EXPECT_EQ(c.checked, Checked(m)) << static_cast<int>(c.command);
        EXPECT_EQ(c.availableDeselected, !m.IsAvailableSelected(0)) << static_cast<int>(c.command);
    }
}

TEST(MapListModelTest, ChecksFindTheirOwnLevelNotANamePrefix)
{
    // Row 0 "Metropolis", row 1 "Metropolis II"; rows 2 and 3 are one level from two archives.
    CMapListModel m(4);
    m.OnUserCheck(1, true);
    m.OnUserCheck(0, true);
    m.OnUserCheck(3, true);
    m.OnUserCheck(2, true);
    EXPECT_EQ((Rows{1, 0, 3, 2}), m.MapRows());
    m.OnUserCheck(0, false);
    m.OnUserCheck(2, false);
    EXPECT_EQ((Rows{1, 3}), m.MapRows());
    EXPECT_EQ((Rows{1, 3}), Checked(m));

    // Ticking a level already listed adds no second row; unticking removes the first of two.
    m.Load({1, 3, 1});
    m.OnUserCheck(1, true);
    EXPECT_EQ((Rows{1, 3, 1}), m.MapRows());
    m.OnUserCheck(1, false);
    EXPECT_EQ((Rows{3, 1}), m.MapRows());

    // A drop appends the selected rows the list lacks, in ascending order.
    m.SetAvailableSelection({2, 0, 3});
    m.DropSelectedAvailable();
    EXPECT_EQ((Rows{3, 1, 0, 2}), m.MapRows());
    EXPECT_EQ((Rows{0, 2, 3}), Checked(m));
}

TEST(MapListModelTest, ReorderMovesTheSelectionAsABlockAndStopsAtTheEnds)
{
    CMapListModel m(6);
    m.Load({0, 1, 2, 3, 4, 5});
    m.SetMapSelection({1, 2, 3});
    m.BeginReorder(2);
    EXPECT_EQ((Rows{5, 4, 3}), m.ReorderStep(4));  // two places down, the leading row first
    EXPECT_EQ((Rows{0, 4, 5, 1, 2, 3}), m.MapRows());
    EXPECT_EQ((Rows{3, 4, 5}), SelectedMaps(m));

    EXPECT_EQ(Rows{}, m.ReorderStep(5));  // the last row would leave the list
    EXPECT_EQ((Rows{0, 4, 5, 1, 2, 3}), m.MapRows());
    EXPECT_EQ((Rows{0, 1, 2}), m.ReorderStep(2));  // three places up from the new anchor
    EXPECT_EQ((Rows{1, 2, 3, 0, 4, 5}), m.MapRows());
    EXPECT_EQ((Rows{0, 1, 2}), SelectedMaps(m));
    EXPECT_EQ(Rows{}, m.ReorderStep(1));  // the first row would leave the list
    EXPECT_EQ(Rows{}, m.ReorderStep(-1));  // no target

    EXPECT_EQ(7, CMapListModel::ReorderTarget(EPointerPlace::Below, -1, 2, 5));
    EXPECT_EQ(1, CMapListModel::ReorderTarget(EPointerPlace::Above, -1, 2, 5));
    EXPECT_EQ(4, CMapListModel::ReorderTarget(EPointerPlace::OnRow, 4, 2, 5));
    EXPECT_EQ(-1, CMapListModel::ReorderTarget(EPointerPlace::Elsewhere, -1, 2, 5));
}

TEST(MapListModelTest, RandomizeSwapsOnePairPerRow)
{
    CMapListModel m(3);
    m.Load({2});
    m.Randomize([](int n) { return n - 1; });
    EXPECT_EQ(Rows{2}, m.MapRows());

    m.Load({0, 1, 2});
    Rows picks{0, 2, 1, 2, 0, 0};
    size_t next = 0;
    m.Randomize([&](int) { return picks[next++]; });
    EXPECT_EQ(6u, next);
    EXPECT_EQ((Rows{2, 0, 1}), m.MapRows());  // swaps (0 2), (1 2), (0 0)
}

TEST(MapListModelTest, AvailableMenuModesGreyAndDefault)
{
    CMapListModel m(3);
    CMapListMenu menu = m.AvailableMenu(-1);  // background, none checked
    ASSERT_EQ(2u, menu.m_items.size());
    EXPECT_EQ("  Add All Maps to List", menu.m_items[0].m_strText);
    EXPECT_TRUE(menu.m_items[0].m_bIsDefault);
    EXPECT_TRUE(menu.m_items[1].m_bGreyed);
    EXPECT_EQ(-6, menu.m_nDy);

    m.Execute(EMapListCommand::AddAll);
    menu = m.AvailableMenu(-1);  // all checked
    EXPECT_TRUE(menu.m_items[0].m_bGreyed);
    EXPECT_TRUE(menu.m_items[1].m_bIsDefault);
    EXPECT_EQ(-24, menu.m_nDy);

    m.OnUserCheck(2, false);
    EXPECT_TRUE(m.AvailableMenu(1).m_items.empty());  // a row hit but none selected
    m.SetAvailableSelection({1});
    menu = m.AvailableMenu(1);  // single, on a checked row, some checked
    ASSERT_EQ(5u, menu.m_items.size());
    EXPECT_EQ("  Add Selected Map to List", menu.m_items[0].m_strText);
    EXPECT_TRUE(menu.m_items[0].m_bGreyed);
    EXPECT_EQ("  Remove Selected Map from List", menu.m_items[1].m_strText);
    EXPECT_TRUE(menu.m_items[1].m_bIsDefault);
    EXPECT_TRUE(menu.m_items[2].m_strText.empty());
    EXPECT_FALSE(menu.m_items[3].m_bGreyed || menu.m_items[4].m_bGreyed);
    EXPECT_TRUE(menu.m_items[0].m_bAdds && menu.m_items[3].m_bAdds && !menu.m_items[1].m_bAdds);
    EXPECT_EQ(-24, menu.m_nDy);

    m.SetAvailableSelection({1, 2});
    menu = m.AvailableMenu(2);  // multiple, on an unchecked row
    EXPECT_EQ("  Add Selected Maps to List", menu.m_items[0].m_strText);
    EXPECT_TRUE(menu.m_items[0].m_bIsDefault);
    EXPECT_TRUE(menu.m_items[1].m_bGreyed);
    EXPECT_EQ(-6, menu.m_nDy);
}

TEST(MapListModelTest, MapMenuOffersClearOnEmptySpaceAndSelectsAHitRow)
{
    CMapListModel m(3);
    m.Load({0, 1, 2});
    CMapListMenu menu = m.MapMenu(-1);
    ASSERT_EQ(1u, menu.m_items.size());
    EXPECT_EQ("  Clear Map List", menu.m_items[0].m_strText);
    EXPECT_EQ(EMapListCommand::Clear, menu.m_items[0].m_eCommand);
    EXPECT_TRUE(menu.m_items[0].m_bIsDefault && menu.m_bCentred);

    menu = m.MapMenu(1);
    EXPECT_EQ("  Remove Map from List", menu.m_items[0].m_strText);
    EXPECT_EQ(Rows{1}, SelectedMaps(m));
    m.SetMapSelection({0, 2});
    EXPECT_EQ("  Remove Maps From List", m.MapMenu(1).m_items[0].m_strText);
}

TEST(MapListModelTest, ListNamesMatchIgnoringCaseAndKeepTheListedSpelling)
{
    const std::vector<std::string> shown{"Arena", "maplist", "Rotation"};
    const struct {
        std::vector<std::string> shown;
        std::string current;
        bool canCreate;
        int selected;
        std::string chosen;
        bool create;
    } cases[] = {
        {shown, "rotation", true, 2, "Rotation", false},
        {shown, "Gone", true, 1, "maplist", false},  // a listed MapList is never rewritten
        {{"Arena"}, "Gone", true, -1, "MapList", true},
        {{"Arena"}, "Gone", false, 0, "Arena", false},  // no levels: nothing to write
        {{}, "Gone", false, -1, "MapList", false},
    };
    for (const auto& c : cases) {
        CMapListPick pick = PickMapList(c.shown, c.current, c.canCreate);
        EXPECT_EQ(c.selected, pick.m_nSelected) << c.current;
        EXPECT_EQ(c.chosen, pick.m_strCurrent) << c.current;
        EXPECT_EQ(c.create, pick.m_bCreateDefault) << c.current;
    }
    EXPECT_EQ(1, FindMapListName({"MAPLIST", "MapList"}, "MapList"));
    EXPECT_EQ("Rotation", MapListSaveName(shown, "ROTATION"));
    EXPECT_EQ("New", MapListSaveName(shown, "New"));
}

}  // namespace
