#include "base/OwnFolder.h"
#include "maps/LevelDiscovery.h"
#include "platform/Platform.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <unistd.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// Builds a ZIP archive; `method` 0 stores the entries, Z_DEFLATED packs them.
bool MakeArchive(const std::string& path, const Entries& entries, int method = Z_DEFLATED)
{
    zipFile zf = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    if (!zf)
        return false;
    bool ok = true;
    for (const auto& e : entries) {
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip(zf, e.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       method, Z_DEFAULT_COMPRESSION) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zf, e.second.data(), static_cast<unsigned>(e.second.size())) ==
                       ZIP_OK;
        ok = ok && zipCloseFileInZip(zf) == ZIP_OK;
    }
    return zipClose(zf, nullptr) == ZIP_OK && ok;
}

std::string Nfo(const std::string& type, const std::string& tagAndName)
{
    return "MAP_TYPE=\" " + type + "\"\r\nNAME=\"" + tagAndName + "\"\r\n";
}

std::string Level(const std::string& folder, const std::string& name)
{
    return "Content/DravicQel2/Levels/" + folder + "/" + name + "/" + name;
}

std::vector<std::string> Names(const CLevelList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.m_aSlots[i].m_strName);
    return out;
}

std::vector<std::string> Paths(const CLevelList& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i)
        out.push_back(list.m_aSlots[i].m_strPath);
    return out;
}

class LevelDiscoveryTest : public testing::Test {
protected:
    void SetUp() override { SetOwnFolder(m_own.path()); }
    void TearDown() override { SetOwnFolder(""); }
    void Archive(const std::string& name, const Entries& entries, int method = Z_DEFLATED)
    {
        ASSERT_TRUE(MakeArchive(m_game / name, entries, method));
    }
    CLevelCatalogue& Scan()
    {
        m_catalogue.Clear();
        ScanLevels(m_game.path(), m_catalogue);
        return m_catalogue;
    }
    std::vector<std::string> Log() { return LogLines(ReadFile(m_own / "Tollan.log")); }

    TempDir m_own;
    TempDir m_game;
    CLevelCatalogue m_catalogue;
};

}  // namespace

TEST_F(LevelDiscoveryTest, SkipsTheGameArchivesByExactNameAndUpperCaseExtensions)
{
    const char* excluded[] = {"All_PC_01.gro", "All_PC_02.gro", "All_PC_03.gro",
                              "Movies_PC_01.gro", "Movies_PC_02.gro"};
    for (const char* name : excluded)
        Archive(name, {{"x/" + std::string(name) + ".nfo", Nfo("DM", "T=Excluded")}});
    Archive("all_pc_01.gro", {{"a/A.nfo", Nfo("DM", "T=Case variant")}});
    Archive("Upper.GRO", {{"b/B.nfo", Nfo("DM", "T=Upper")}});
    Archive("Other.gro.bak", {{"c/C.nfo", Nfo("DM", "T=Backup")}});

    CLevelCatalogue& c = Scan();
    EXPECT_EQ(Names(c.m_dm), std::vector<std::string>{"Case variant"});
    EXPECT_EQ(Paths(c.m_dm), std::vector<std::string>{"a/A.wld"});
    EXPECT_EQ(c.m_coop.Count(), 0);
    EXPECT_TRUE(Log().empty());
}

TEST_F(LevelDiscoveryTest, SortsByTypeDmFirstAndKeepsArchiveOrder)
{
    Archive("Levels.gro", {
                              {Level("Multiplayer", "DM_One") + ".wld", "wld data"},
                              {Level("Multiplayer", "DM_One") + ".nfo", Nfo("DM", "M=Deathmatch One")},
                              {Level("Ellenier", "Village") + ".nfo", Nfo("COOP", "M=Village")},
                              {Level("Multiplayer", "Both") + ".nfo", Nfo("COOP DM", "M=Both")},
                              {"readme.txt", "NAME=\"x=not a level\"\r\n"},
                              {Level("Other", "Neither") + ".nfo", Nfo("SP", "M=Neither")},
                          });
    CLevelCatalogue& c = Scan();
    EXPECT_EQ(Names(c.m_dm), (std::vector<std::string>{"Deathmatch One", "Both"}));
    EXPECT_EQ(Paths(c.m_dm), (std::vector<std::string>{Level("Multiplayer", "DM_One") + ".wld",
                                                     Level("Multiplayer", "Both") + ".wld"}));
    EXPECT_EQ(Names(c.m_coop), std::vector<std::string>{"Village"});
    EXPECT_EQ(c.m_coop.m_aSlots[0].m_strPath, Level("Ellenier", "Village") + ".wld");
    EXPECT_EQ(c.m_dm.m_aSlots[1].m_nIndex, 1);
    EXPECT_EQ(c.m_dm.m_aSlots[2].m_nIndex, -1);
}

TEST_F(LevelDiscoveryTest, EveryNfoInTheEntryNameBecomesWld)
{
    Archive("Odd.gro", {{"Levels/Pack.nfo.d/Map.nfo", Nfo("DM", "T=Odd")},
                        {"Levels/Pack.nfo.d/", ""},
                        {"Levels/Mapnfo", Nfo("DM", "T=No dot")}});
    CLevelCatalogue& c = Scan();
    // The folder entry itself holds ".nfo" and an empty text: it takes over type and name.
    EXPECT_EQ(Paths(c.m_dm), (std::vector<std::string>{"Levels/Pack.wld.d/Map.wld",
                                                     "Levels/Pack.wld.d/"}));
    EXPECT_EQ(Names(c.m_dm), (std::vector<std::string>{"Odd", "Odd"}));
}

TEST_F(LevelDiscoveryTest, TypeAndNameCarryOverToTheNextFile)
{
    Archive("Carry.gro", {
                             {"a/First.nfo", "MAP_TYPE=\" DM\"\r\nNAME=\"TAG=Shown Name\"\r\n"},
                             {"a/NoType.nfo", "NAME=\"TAG=Second\"\r\n"},
                             {"a/NoSecondEquals.nfo", "MAP_TYPE=\" COOP\"\r\nNAME=\"Plain\"\r\n"},
                             {"a/Empty.nfo", ""},
                             {"a/Bare.nfo", "NAME=\"T=Third\"\n"},
                         });
    CLevelCatalogue& c = Scan();
    EXPECT_EQ(Names(c.m_dm), (std::vector<std::string>{"Shown Name", "Second"}));
    EXPECT_EQ(Paths(c.m_dm), (std::vector<std::string>{"a/First.wld", "a/NoType.wld"}));
    // No second "=" leaves the previous name.
    EXPECT_EQ(Names(c.m_coop), (std::vector<std::string>{"Second", "Second", "Third"}));
    EXPECT_EQ(Paths(c.m_coop), (std::vector<std::string>{"a/NoSecondEquals.wld", "a/Empty.wld",
                                                       "a/Bare.wld"}));
}

TEST_F(LevelDiscoveryTest, TheSameLevelInTwoArchivesTakesTwoSlots)
{
    Archive("One.gro", {{"m/Same.nfo", Nfo("DM", "T=Same")}});
    Archive("Two.gro", {{"m/Same.nfo", Nfo("DM", "T=Same")}}, 0);
    CLevelCatalogue& c = Scan();
    ASSERT_EQ(c.m_dm.Count(), 2);
    EXPECT_EQ(c.m_dm.m_aSlots[0].m_strPath, "m/Same.wld");
    EXPECT_EQ(c.m_dm.m_aSlots[1].m_strPath, "m/Same.wld");
}

TEST_F(LevelDiscoveryTest, FindsEntriesBetweenLargeLevelData)
{
    std::string data(700 * 1024, 'w');
    Entries entries;
    for (int i = 0; i < 4; ++i) {
        entries.push_back({"big/B" + std::to_string(i) + ".wld", data});
        entries.push_back({"big/B" + std::to_string(i) + ".nfo", Nfo("DM", "T=Big " + std::to_string(i))});
    }
    Archive("Big.gro", entries, 0);
    CLevelCatalogue& c = Scan();
    EXPECT_EQ(Names(c.m_dm), (std::vector<std::string>{"Big 0", "Big 1", "Big 2", "Big 3"}));
    EXPECT_EQ(c.m_dm.m_aSlots[3].m_strPath, "big/B3.wld");
}

TEST_F(LevelDiscoveryTest, DamagedArchivesAreLoggedAndSkipped)
{
    ASSERT_TRUE(WriteFile(m_game / "x.gro", std::string(3000, '\x55') + "PK\x05\x06 garbage"));
    ASSERT_TRUE(WriteFile(m_game / "empty.gro", ""));
    ASSERT_TRUE(MakeArchive(m_game / "good.gro", {{"g/Good.nfo", Nfo("DM", "T=Good")}}));
    // A truncated archive loses its central directory.
    std::string whole = ReadFile(m_game / "good.gro");
    ASSERT_TRUE(WriteFile(m_game / "cut.gro", whole.substr(0, whole.size() / 2)));

    CLevelCatalogue& c = Scan();
    EXPECT_EQ(Names(c.m_dm), std::vector<std::string>{"Good"});
    std::vector<std::string> log = Log();
    std::sort(log.begin(), log.end());
    EXPECT_EQ(log, (std::vector<std::string>{"ERR:  Failed to open zip file: cut.gro.\r\n",
                                             "ERR:  Failed to open zip file: empty.gro.\r\n",
                                             "ERR:  Failed to open zip file: x.gro.\r\n"}));
}

TEST_F(LevelDiscoveryTest, AnEntryWithABadChecksumIsSkippedWithoutTouchingTheCarriedState)
{
    std::string bad = "MAP_TYPE=\" COOP\"\r\nNAME=\"T=Corrupted\"\r\n";
    Archive("Crc.gro", {{"c/Good.nfo", Nfo("DM", "T=Good")},
                        {"c/Bad.nfo", bad},
                        {"c/After.nfo", "NAME=\"T=After\"\r\n"}},
            0);
    std::string bytes = ReadFile(m_game / "Crc.gro");
    size_t at = bytes.find("Corrupted");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'K';
    ASSERT_TRUE(WriteFile(m_game / "Crc.gro", bytes));

    CLevelCatalogue& c = Scan();
    EXPECT_EQ(Names(c.m_dm), (std::vector<std::string>{"Good", "After"}));
    EXPECT_EQ(c.m_coop.Count(), 0);
}

TEST_F(LevelDiscoveryTest, ABrokenDirectoryKeepsWhatWasReadBeforeIt)
{
    Archive("Broken.gro", {{"d/First.nfo", Nfo("DM", "T=First")}, {"d/Second.nfo", Nfo("DM", "T=Second")}});
    std::string bytes = ReadFile(m_game / "Broken.gro");
    size_t second = bytes.find("PK\x01\x02", bytes.find("PK\x01\x02") + 1);
    ASSERT_NE(second, std::string::npos);
    bytes[second + 2] = 'X';
    ASSERT_TRUE(WriteFile(m_game / "Broken.gro", bytes));

    CLevelCatalogue& c = Scan();
    EXPECT_EQ(Names(c.m_dm), std::vector<std::string>{"First"});
    EXPECT_EQ(Log(), std::vector<std::string>{"ERR:  Failed to read zip file: Broken.gro.\r\n"});
}

TEST_F(LevelDiscoveryTest, AnOversizedInformationEntryIsSkipped)
{
    std::string huge = "MAP_TYPE=\" COOP\"\r\nNAME=\"T=Huge\"\r\n" + std::string(kMaxNfoBytes, ' ');
    Archive("Huge.gro", {{"h/Small.nfo", Nfo("DM", "T=Small")}, {"h/Huge.nfo", huge}, {"h/Next.nfo", ""}});
    CLevelCatalogue& c = Scan();
    EXPECT_EQ(Names(c.m_dm), (std::vector<std::string>{"Small", "Small"}));
    EXPECT_EQ(c.m_dm.m_aSlots[1].m_strPath, "h/Next.wld");
    EXPECT_EQ(c.m_coop.Count(), 0);
}

TEST_F(LevelDiscoveryTest, The201stLevelOfAKindIsIgnoredWithOneLogLine)
{
    Entries entries;
    for (int i = 0; i < 205; ++i)
        entries.push_back({"l/L" + std::to_string(i) + ".nfo", Nfo("DM", "T=L" + std::to_string(i))});
    entries.push_back({"l/Coop.nfo", Nfo("COOP", "T=Still added")});
    entries.push_back({"l/Extra.nfo", Nfo("DM", "T=Extra")});
    Archive("Many.gro", entries);

    CLevelCatalogue& c = Scan();
    ASSERT_EQ(c.m_dm.Count(), 200);
    EXPECT_EQ(c.m_dm.m_aSlots[199].m_strName, "L199");
    EXPECT_EQ(c.m_dm.m_aSlots[199].m_nIndex, 199);
    EXPECT_EQ(Names(c.m_coop), std::vector<std::string>{"Still added"});
    EXPECT_EQ(Log(), std::vector<std::string>{
                         "ERR:  The level list is full; further levels are ignored.\r\n"});
}

TEST_F(LevelDiscoveryTest, ALevelWithoutANameIsLeftOutSoTheListStaysWhole)
{
    Archive("Names.gro", {{"n/Nameless.nfo", "MAP_TYPE=\" DM\"\r\n"},
                          {"n/Named.nfo", "NAME=\"T=Named\"\r\n"},
                          {"n/Blank.nfo", "NAME=\"T=  \"\r\n"},
                          {"n/Last.nfo", "NAME=\"T=Last\"\r\n"}});
    CLevelCatalogue& c = Scan();
    EXPECT_EQ(Names(c.m_dm), (std::vector<std::string>{"Named", "Last"}));
    EXPECT_EQ(Log(), (std::vector<std::string>{"ERR:  Level without a name ignored: n/Nameless.wld\r\n",
                                               "ERR:  Level without a name ignored: n/Blank.wld\r\n"}));
}

TEST_F(LevelDiscoveryTest, WritesNothingToDisk)
{
    Archive("Levels.gro", {{"Levels/A.nfo", Nfo("DM", "T=A")}, {"A.nfo", Nfo("COOP", "T=B")}});
    TempDir work;
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(work.path().c_str()), 0);
    CLevelCatalogue& c = Scan();
    ASSERT_EQ(chdir(old), 0);
    EXPECT_EQ(c.m_dm.Count(), 1);
    EXPECT_EQ(c.m_coop.Count(), 1);
    std::string listing;
    for (const char* folder : {work.path().c_str(), m_game.path().c_str()})
        for (const auto& e : platform::ListDirectory(folder))
            if (e.m_strName != "." && e.m_strName != "..")
                listing += e.m_strName + ";";
    EXPECT_EQ(listing, "Levels.gro;");
}

TEST_F(LevelDiscoveryTest, AMissingGameFolderFindsNothing)
{
    m_catalogue.Clear();
    ScanLevels(m_game / "missing", m_catalogue);
    EXPECT_EQ(m_catalogue.m_dm.Count(), 0);
    EXPECT_EQ(m_catalogue.m_coop.Count(), 0);
}

// The line rules on their own.
TEST(NfoLines, KeysAndNames)
{
    CNfoState s;
    ParseNfoLine("NAME=\"Plain\"\n", s);
    EXPECT_EQ(s.m_strName, "");
    ParseNfoLine("NAME  =\"T=Spaced key\"\n", s);
    // Spaces before "=" keep the quote: only NAME=" itself is removed.
    EXPECT_EQ(s.m_strName, "\"T=Spaced key");
    ParseNfoLine(" NAME=\"T=Leading space is another key\"\n", s);
    EXPECT_EQ(s.m_strName, "\"T=Spaced key");
    ParseNfoLine("NAME=\"T=A = B\" \"\r\n", s);
    EXPECT_EQ(s.m_strName, "A = B");
    ParseNfoLine("NAME=\"T=" + std::string(99, 'x') + "yz\"\n", s);
    EXPECT_EQ(s.m_strName, std::string(99, 'x') + "y");
    ParseNfoLine("NAME=\"T=Name\"\tTab\n", s);
    EXPECT_EQ(s.m_strName, "Name\"\tTab");
    ParseNfoLine("NAMES=\"T=Other key\"\n", s);
    ParseNfoLine("NAME \"T=no equals after the key\"\n", s);
    EXPECT_EQ(s.m_strName, "Name\"\tTab");

    ParseNfoLine("MAP_TYPE=\" COOP\"\n", s);
    EXPECT_EQ(s.m_strType, "COOP\"\n");
    ParseNfoLine("MAP_TYPE = \"DM\"\n", s);
    EXPECT_EQ(s.m_strType, "MAP_TYPE = \"DM\"\n");
    ParseNfoLine("MAP_TYPE=\"dm\"\n", s);
    EXPECT_EQ(s.m_strType, "MAP_TYPE=\"dm\"\n");
}

TEST(NfoLines, LongLinesAreReadInPiecesOf254)
{
    CNfoState s;
    std::string filler(254, '-');
    std::string text = filler + "MAP_TYPE=\" DM\"\r\n" + std::string(250, '-') + "NAME=\"T=Cut\"\r\n";
    ParseNfo(text.data(), text.size(), s);
    EXPECT_EQ(s.m_strType, "DM\"\n");
    // 250 dashes + "NAME" fill the first piece; "=\"T=Cut\"" is a line of its own with key "".
    EXPECT_EQ(s.m_strName, "");

    CNfoState t;
    std::string lone = "MAP_TYPE=\" DM\rNAME=\"T=Same line\"\r";
    ParseNfo(lone.data(), lone.size(), t);
    EXPECT_EQ(t.m_strType, "DM\rNAME=\"T=Same line\"\r");
    EXPECT_EQ(t.m_strName, "");
}

TEST(NfoLines, ChunkBoundariesDoNotChangeTheResult)
{
    std::string text = "MAP_TYPE=\" DM\"\r\n" + std::string(300, 'a') + "\r\nNAME=\"T=Chunked\"\r\n";
    CNfoState whole;
    ParseNfo(text.data(), text.size(), whole);
    for (size_t step = 1; step < 20; ++step) {
        CNfoState s;
        CNfoReader reader(s);
        for (size_t i = 0; i < text.size(); i += step)
            reader.Feed(text.data() + i, std::min(step, text.size() - i));
        reader.Finish();
        EXPECT_EQ(s.m_strType, whole.m_strType);
        EXPECT_EQ(s.m_strName, whole.m_strName);
    }
    EXPECT_EQ(whole.m_strName, "Chunked");
}
