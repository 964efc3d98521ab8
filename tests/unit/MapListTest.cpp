#include "base/OwnFolder.h"
#include "base/TextFile.h"
#include "maps/MapListFiles.h"
#include "platform/Platform.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

namespace {

std::string DmPath(const std::string& name)
{
    return "Content/DravicQel2/Levels/Multiplayer/" + name + "/" + name + ".wld";
}

// The demo game's catalogue: deathmatch slot 3 is DM_Metropolis, the delivered starting level.
CLevelCatalogue DemoCatalogue()
{
    CLevelCatalogue c;
    const char* dm[][2] = {{"DM_LittleTrouble", "Little Trouble"},
                           {"DM_BrkeenChevap", "Brkeen Chevap"},
                           {"DM_Chanolin", "Chanolin"},
                           {"DM_Metropolis", "Metropolis"}};
    for (int i = 0; i < 4; ++i)
        c.m_dm.m_aSlots[i] = {dm[i][1], DmPath(dm[i][0]), i};
    c.m_coop.m_aSlots[0] = {"Village", "Content/DravicQel2/Levels/05_Ellenier/5_1_Village/5_1_Village.wld",
                       0};
    return c;
}

class MapListTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetOwnFolder(m_own.path());
        m_folder = MapListFolder(m_game.path());
    }
    void TearDown() override
    {
        SetOwnFolder("");
        CTextWriter::FailWriteNumber(0);
    }
    void MakeFolder()
    {
        ASSERT_TRUE(platform::MakeDirectory(m_game / "DedicatedServerUtility"));
        ASSERT_TRUE(platform::MakeDirectory(m_folder));
    }
    void Put(const std::string& file, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFile(m_folder + "/" + file, bytes));
    }
    std::vector<int> Read(const std::string& bytes)
    {
        Put("Read.txt", bytes);
        std::vector<int> slots{99};
        EXPECT_TRUE(ReadMapList(m_game.path(), "Read.txt", m_catalogue.m_dm, slots));
        return slots;
    }
    std::string File(const std::string& name) { return ReadFile(m_folder + "/" + name); }
    std::vector<std::string> Log() { return LogLines(ReadFile(m_own / "Tollan.log")); }
    // Names in the order the file system lists the folder.
    std::vector<std::string> InFolderOrder(std::vector<std::string> wanted)
    {
        std::vector<std::string> out;
        for (const auto& e : platform::ListDirectory(m_folder))
            for (const auto& w : wanted)
                if (e.m_strName == w + ".txt")
                    out.push_back(w);
        return out;
    }

    TempDir m_own;
    TempDir m_game;
    std::string m_folder;
    CLevelCatalogue m_catalogue = DemoCatalogue();
};

const std::string kMetropolis = DmPath("DM_Metropolis");
const std::string kTrouble = DmPath("DM_LittleTrouble");
const std::string kBrkeen = DmPath("DM_BrkeenChevap");
const std::string kChanolin = DmPath("DM_Chanolin");

}  // namespace

TEST_F(MapListTest, ListsOnlyTxtFilesThatNameALevelFolder)
{
    MakeFolder();
    Put("Rotation.txt", "# any first line\r\n" + kMetropolis + "\r\n");
    Put("Unknown.txt", "Content/DravicQel2/Levels/Gone/Gone.wld\n");  // recognised, even if stale
    Put("Notes.txt", "Content/DravicQel2/Other/x.wld\r\nplain text\r\n");
    Put("Upper.TXT", kMetropolis + "\r\n");
    Put("Backup.txt.bak", kMetropolis + "\r\n");
    Put("Double.txt.txt", kMetropolis + "\r\n");
    Put("Empty.txt", "");
    ASSERT_TRUE(platform::MakeDirectory(m_folder + "/Folder.txt"));
    // The mark must lie within one read of 254 characters.
    Put("Split.txt", std::string(240, ' ') + kMetropolis + "\r\n");

    std::vector<std::string> names = ListMapLists(m_game.path(), true);
    EXPECT_EQ(names, InFolderOrder({"Rotation", "Unknown", "Double.txt"}));
    EXPECT_EQ(names.size(), 3u);
    EXPECT_TRUE(Log().empty());
}

TEST_F(MapListTest, ListingLogsUnopenableFilesOnlyWhenAsked)
{
    MakeFolder();
    Put("Good.txt", kBrkeen + "\r\n");
    ASSERT_EQ(symlink("/nonexistent/target", (m_folder + "/Broken.txt").c_str()), 0);

    EXPECT_EQ(ListMapLists(m_game.path(), false), std::vector<std::string>{"Good"});
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(ListMapLists(m_game.path(), true), std::vector<std::string>{"Good"});
    EXPECT_EQ(Log(), std::vector<std::string>{"ERR:  Failed to open: " + m_folder +
                                              "/Broken.txt\r\n"});
    EXPECT_TRUE(ListMapLists(m_game / "nowhere", true).empty());
}

TEST_F(MapListTest, ReadingFoldsRunsTrimsAndDropsUnknownLines)
{
    MakeFolder();
    // Lines 1 and 2 equal: once. Lines 1 and 3 equal: twice.
    EXPECT_EQ(Read(kMetropolis + "\r\n" + kMetropolis + "\r\n" + kTrouble + "\r\n"),
              (std::vector<int>{3, 0}));
    EXPECT_EQ(Read(kMetropolis + "\r\n" + kTrouble + "\r\n" + kMetropolis + "\r\n"),
              (std::vector<int>{3, 0, 3}));
    // Trailing blanks and tabs, bare LF, a missing last line end.
    EXPECT_EQ(Read(kChanolin + "  \t\r\n" + kBrkeen + " \n" + kTrouble), (std::vector<int>{2, 1, 0}));
    // Empty lines and unknown levels vanish; an empty line breaks a run.
    EXPECT_EQ(Read(kChanolin + "\r\n\r\n" + kChanolin + "\r\n" + DmPath("DM_Gone") + "\r\n" +
                   "content/dravicqel2/levels/multiplayer/dm_chanolin/dm_chanolin.wld\r\n"),
              (std::vector<int>{2, 2}));
    // Leading blanks are kept, so such a line matches nothing.
    EXPECT_EQ(Read(" " + kChanolin + "\r\n"), std::vector<int>{});
    // A cooperative level is not a map list level.
    EXPECT_EQ(Read(m_catalogue.m_coop.m_aSlots[0].m_strPath + "\r\n"), std::vector<int>{});
    EXPECT_TRUE(Log().empty());
}

TEST_F(MapListTest, ReadingAMissingFileLogsAndLeavesTheResult)
{
    std::vector<int> slots{1, 2};
    EXPECT_FALSE(ReadMapList(m_game.path(), "Missing.txt", m_catalogue.m_dm, slots));
    EXPECT_EQ(slots, (std::vector<int>{1, 2}));
    EXPECT_EQ(Log(), std::vector<std::string>{"ERR:  Failed to open: " + m_folder + "/Missing.txt\r\n"});
}

TEST_F(MapListTest, WritingCreatesTheFoldersAndMakesTheFirstLevelTheStart)
{
    int start = 0;
    EXPECT_EQ(WriteMapList(m_game.path(), "Three", {2, 3, 1}, m_catalogue.m_dm, start),
              EMapListSave::Saved);
    EXPECT_EQ(File("Three.txt"), kChanolin + "\r\n" + kMetropolis + "\r\n" + kBrkeen + "\r\n");
    EXPECT_EQ(start, 2);
    EXPECT_EQ(Log(), std::vector<std::string>{"INF:  Attempting to save Map List file: " + m_folder +
                                              "/Three.txt...\r\n"});
    // Saving again rewrites the file whole and leaves no twin behind.
    EXPECT_EQ(WriteMapList(m_game.path(), "Three", {0}, m_catalogue.m_dm, start), EMapListSave::Saved);
    EXPECT_EQ(File("Three.txt"), kTrouble + "\r\n");
    EXPECT_EQ(start, 0);
    EXPECT_EQ(ListMapLists(m_game.path(), true), std::vector<std::string>{"Three"});
    std::vector<int> back;
    EXPECT_TRUE(ReadMapList(m_game.path(), "Three.txt", m_catalogue.m_dm, back));
    EXPECT_EQ(back, std::vector<int>{0});
}

TEST_F(MapListTest, WritingRefusesEmptyListsUnsafeNamesAndUnknownSlots)
{
    int start = 7;
    EXPECT_EQ(WriteMapList(m_game.path(), "Empty", {}, m_catalogue.m_dm, start), EMapListSave::EmptyList);
    for (const char* bad : {"..", "a/b", "..\\x", "trail.", "", "q\"uote"})
        EXPECT_EQ(WriteMapList(m_game.path(), bad, {0}, m_catalogue.m_dm, start),
                  EMapListSave::UnsafeName)
            << bad;
    EXPECT_EQ(WriteMapList(m_game.path(), "Gap", {0, 4}, m_catalogue.m_dm, start),
              EMapListSave::UnknownLevel);
    EXPECT_EQ(WriteMapList(m_game.path(), "Neg", {-1}, m_catalogue.m_dm, start),
              EMapListSave::UnknownLevel);
    EXPECT_EQ(start, 7);
    EXPECT_FALSE(platform::IsDirectory(m_game / "DedicatedServerUtility"));
    std::vector<std::string> log = Log();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0], "ERR:  Map List name is not a valid file name: ..\r\n");
    EXPECT_EQ(log[1], "ERR:  Map List name is not a valid file name: a/b\r\n");
}

// History.ini drops the blanks that begin a value and the ";" that end it.
TEST_F(MapListTest, NamesTheStoreWouldChangeAreRefusedAndNotListed)
{
    MakeFolder();
    int start = 7;
    for (const char* bad : {" Lead", "Semi;"}) {
        EXPECT_EQ(WriteMapList(m_game.path(), bad, {0}, m_catalogue.m_dm, start), EMapListSave::UnsafeName) << bad;
        Put(std::string(bad) + ".txt", kTrouble + "\n");
    }
    EXPECT_EQ(start, 7);
    EXPECT_EQ(ListMapLists(m_game.path(), false), std::vector<std::string>{});
    EXPECT_EQ(WriteMapList(m_game.path(), "Semi;colon", {0}, m_catalogue.m_dm, start), EMapListSave::Saved);
}

TEST_F(MapListTest, AFailedWriteKeepsTheOldListAndTheStartingLevel)
{
    MakeFolder();
    Put("Kept.txt", kMetropolis + "\r\n");
    int start = 3;
    CTextWriter::FailWriteNumber(2);
    EXPECT_EQ(WriteMapList(m_game.path(), "Kept", {0, 1, 2}, m_catalogue.m_dm, start),
              EMapListSave::Failed);
    EXPECT_EQ(File("Kept.txt"), kMetropolis + "\r\n");
    EXPECT_EQ(start, 3);
    EXPECT_FALSE(FileExistsAt(m_folder + "/Kept.txt.tmp"));
    EXPECT_EQ(Log().back(), "ERR:  Could not write Map List file: " + m_folder + "/Kept.txt\r\n");
}

TEST_F(MapListTest, AFileThatCannotBeCreatedIsLogged)
{
    // A file where the folder should be: neither folder can be made, nor the list.
    ASSERT_TRUE(WriteFile(m_game / "DedicatedServerUtility", "not a folder"));
    int start = 1;
    EXPECT_EQ(WriteMapList(m_game.path(), "Blocked", {2}, m_catalogue.m_dm, start),
              EMapListSave::Failed);
    EXPECT_EQ(start, 1);
    std::string path = m_folder + "/Blocked.txt";
    EXPECT_EQ(Log(), (std::vector<std::string>{"INF:  Attempting to save Map List file: " + path + "...\r\n",
                                               "ERR:  Could not create Map List file: " + path + "\r\n"}));
}

TEST_F(MapListTest, TheDefaultListHoldsEveryDeathmatchLevel)
{
    MakeFolder();
    Put("MapList.txt", "old contents\r\n");
    EXPECT_EQ(CreateDefaultMapList(m_game.path(), m_catalogue.m_dm), "MapList");
    EXPECT_EQ(File("MapList.txt"), kTrouble + "\r\n" + kBrkeen + "\r\n" + kChanolin + "\r\n" +
                                       kMetropolis + "\r\n");
    EXPECT_EQ(ListMapLists(m_game.path(), false), std::vector<std::string>{"MapList"});
    EXPECT_TRUE(Log().empty());
}

TEST_F(MapListTest, TheDefaultListDoesNotCreateTheFolder)
{
    EXPECT_EQ(CreateDefaultMapList(m_game.path(), m_catalogue.m_dm), "MapList");
    EXPECT_FALSE(platform::IsDirectory(m_folder));
    EXPECT_EQ(Log(), std::vector<std::string>{"Could not create new MapLists\\MapList.txt file.\r\n"});
}

TEST_F(MapListTest, TheDeliveredListIsWhatTheWriterProduces)
{
    std::string delivered = ReadFile(std::string(TOLLAN_SOURCE_DIR) + "/resources/defaults/MapList.txt");
    ASSERT_FALSE(delivered.empty());
    int start = 0;
    ASSERT_EQ(WriteMapList(m_game.path(), "MapList", {3, 0, 1, 2}, m_catalogue.m_dm, start),
              EMapListSave::Saved);
    EXPECT_EQ(File("MapList.txt"), delivered);
    EXPECT_EQ(start, 3);
    EXPECT_EQ(m_catalogue.m_dm.m_aSlots[start].m_strPath, kMetropolis);

    MakeFolder();
    Put("Delivered.txt", delivered);
    std::vector<int> slots;
    EXPECT_TRUE(ReadMapList(m_game.path(), "Delivered.txt", m_catalogue.m_dm, slots));
    EXPECT_EQ(slots, (std::vector<int>{3, 0, 1, 2}));
}
