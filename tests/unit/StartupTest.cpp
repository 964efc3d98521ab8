// Start-up pieces of the core: the stored window placement, the game's registry path, the server
// program test and the order of the game folder search; plus the main window's geometry.
#include "app/GameFolder.h"
#include "base/GamePaths.h"
#include "app/MainLayout.h"
#include "app/WindowPlacementRecord.h"
#include "platform/Platform.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

TEST(WindowPlacementRecord, EncodesElevenLittleEndianFields)
{
    CWindowPlacementRecord r;
    r.m_nFlags = 2;
    r.m_nShowCmd = 1;
    r.m_nMinX = -1;
    r.m_nMinY = -1;
    r.m_nMaxX = -8;
    r.m_nMaxY = -31;
    r.m_nLeft = 100;
    r.m_nTop = 0x01020304;
    r.m_nRight = 880;
    r.m_nBottom = 600;
    std::string b = r.Encode();
    ASSERT_EQ(b.size(), 44u);
    EXPECT_EQ(b.substr(0, 4), Bytes({44, 0, 0, 0}));
    EXPECT_EQ(b.substr(4, 4), Bytes({2, 0, 0, 0}));
    EXPECT_EQ(b.substr(8, 4), Bytes({1, 0, 0, 0}));
    EXPECT_EQ(b.substr(12, 4), Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(b.substr(20, 4), Bytes({0xF8, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(b.substr(28, 4), Bytes({100, 0, 0, 0}));
    EXPECT_EQ(b.substr(32, 4), Bytes({4, 3, 2, 1}));
    EXPECT_EQ(b.substr(36, 4), Bytes({0x70, 0x03, 0, 0}));
    EXPECT_EQ(b.substr(40, 4), Bytes({0x58, 0x02, 0, 0}));

    auto back = CWindowPlacementRecord::Decode(b);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Encode(), b);
    EXPECT_EQ(back->m_nMaxY, -31);
    EXPECT_EQ(back->m_nTop, 0x01020304);
}

TEST(WindowPlacementRecord, OnlyFortyFourBytesAreARecord)
{
    std::string b = CWindowPlacementRecord().Encode();
    EXPECT_FALSE(CWindowPlacementRecord::Decode(b.substr(0, 43)));
    EXPECT_FALSE(CWindowPlacementRecord::Decode(b + '\0'));
    EXPECT_FALSE(CWindowPlacementRecord::Decode(""));
    // Fields are applied as stored, even a length that is not 44.
    b[0] = 40;
    auto r = CWindowPlacementRecord::Decode(b);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->m_nLength, 40);
}

TEST(WindowPlacementRecord, MaximisedIsStoredAsNormalWithTheMaximisedRectangle)
{
    CWindowPlacementRecord r;
    r.m_nShowCmd = CWindowPlacementRecord::kShowMaximised;
    r.m_nLeft = 10, r.m_nTop = 20, r.m_nRight = 700, r.m_nBottom = 500;
    r.ApplyMaximisedRule(-4, -4, 1284, 804);
    EXPECT_EQ(r.m_nShowCmd, 1);
    EXPECT_EQ(r.m_nLeft, -4);
    EXPECT_EQ(r.m_nTop, -4);
    EXPECT_EQ(r.m_nRight, 1284);
    EXPECT_EQ(r.m_nBottom, 804);

    for (int show : {1, 2}) {
        CWindowPlacementRecord n;
        n.m_nShowCmd = show;
        n.m_nLeft = 10, n.m_nTop = 20, n.m_nRight = 700, n.m_nBottom = 500;
        n.ApplyMaximisedRule(0, 0, 1280, 800);
        EXPECT_EQ(n.m_nShowCmd, show);
        EXPECT_EQ(n.m_nLeft, 10);
        EXPECT_EQ(n.m_nBottom, 500);
    }
}

TEST(CleanRegistryGamePath, RemovesDollarsTrailingSlashesAndDoublesSlashes)
{
    EXPECT_EQ(CleanRegistryGamePath("$D://Games//DQ2//"), "D:\\Games\\DQ2");
    EXPECT_EQ(CleanRegistryGamePath("$C://Program Files//Dravic Qel 2/"), "C:\\Program Files\\Dravic Qel 2");
    EXPECT_EQ(CleanRegistryGamePath("$$$D://DQ2"), "D:\\DQ2");
    EXPECT_EQ(CleanRegistryGamePath("D:\\Games\\DQ2"), "D:\\Games\\DQ2");
    // Only leading dollars go; a single slash stays; three slashes make a backslash and a slash.
    EXPECT_EQ(CleanRegistryGamePath("D:/Games$/DQ2"), "D:/Games$/DQ2");
    EXPECT_EQ(CleanRegistryGamePath("D:///DQ2"), "D:\\/DQ2");
    EXPECT_EQ(CleanRegistryGamePath(""), "");
    EXPECT_EQ(CleanRegistryGamePath("$$//"), "");
}

class GameFolderTest : public ::testing::Test {
protected:
    std::string MakeGame(const std::string& name, const std::vector<std::string>& binFiles)
    {
        std::string game = m_dir / name;
        mkdir(game.c_str(), 0755);
        mkdir((game + "/Bin").c_str(), 0755);
        for (const std::string& f : binFiles)
            WriteFile(game + "/Bin/" + f, "MZ");
        return game;
    }
    TempDir m_dir;
    std::string m_strFound = "(not set)";
};

TEST_F(GameFolderTest, ServerProgramNameMustMatchExactly)
{
    EXPECT_TRUE(HasServerProgram(MakeGame("good", {"readme.txt", "DedicatedServer.exe"})));
    EXPECT_FALSE(HasServerProgram(MakeGame("lower", {"dedicatedserver.exe"})));
    EXPECT_FALSE(HasServerProgram(MakeGame("longer", {"DedicatedServer.exe.bak", "DedicatedServer"})));
    EXPECT_FALSE(HasServerProgram(MakeGame("empty", {})));
    EXPECT_FALSE(HasServerProgram(m_dir / "missing"));
    EXPECT_FALSE(HasServerProgram(""));
}

// Records the calls the search makes, in order.
struct CSearchScript {
    std::string stored;
    bool registryExists = false;
    std::string registryFolder;
    std::vector<std::string> browses;  // what each browse returns
    std::vector<std::string> calls;

    CGameFolderSearch Steps()
    {
        CGameFolderSearch s;
        s.m_readStoredPath = [this] {
            calls.push_back("stored");
            return stored;
        };
        s.m_readGameRegistry = [this](std::string& folder) {
            calls.push_back("registry");
            if (registryExists)
                folder = registryFolder;
            return registryExists;
        };
        s.m_browse = [this] {
            std::string r = browses.empty() ? std::string() : browses.front();
            if (!browses.empty())
                browses.erase(browses.begin());
            calls.push_back("browse:" + r);
            return r;
        };
        s.m_promptValidFolder = [this] { calls.push_back("prompt"); };
        return s;
    }
};

TEST_F(GameFolderTest, StoredPathWithServerProgramIsFoundAtOnce)
{
    CSearchScript script;
    script.stored = MakeGame("stored", {"DedicatedServer.exe"});
    script.registryExists = true;
    script.registryFolder = "elsewhere";
    EXPECT_TRUE(SearchGameFolder(script.Steps(), m_strFound));
    EXPECT_EQ(m_strFound, script.stored);
    EXPECT_EQ(script.calls, (std::vector<std::string>{"stored"}));
}

TEST_F(GameFolderTest, StoredPathWithoutProgramFallsBackToTheGameRegistryUnchecked)
{
    CSearchScript script;
    script.stored = MakeGame("stored", {"dedicatedserver.exe"});
    script.registryExists = true;
    script.registryFolder = m_dir / "no such folder";
    EXPECT_TRUE(SearchGameFolder(script.Steps(), m_strFound));
    EXPECT_EQ(m_strFound, script.registryFolder);
    EXPECT_EQ(script.calls, (std::vector<std::string>{"stored", "registry"}));
}

TEST_F(GameFolderTest, ThreeFailedBrowsesGiveUpAfterTwoPrompts)
{
    CSearchScript script;
    EXPECT_FALSE(SearchGameFolder(script.Steps(), m_strFound));
    EXPECT_EQ(script.calls, (std::vector<std::string>{"stored", "registry", "browse:", "prompt",
                                                      "browse:", "prompt", "browse:"}));
    EXPECT_EQ(m_strFound, "");
}

TEST_F(GameFolderTest, BrowsingToTheGameEndsTheSearch)
{
    CSearchScript script;
    std::string wrong = MakeGame("wrong", {});
    std::string good = MakeGame("good", {"DedicatedServer.exe"});
    script.browses = {wrong, good, m_dir / "never asked"};
    EXPECT_TRUE(SearchGameFolder(script.Steps(), m_strFound));
    EXPECT_EQ(m_strFound, good);
    EXPECT_EQ(script.calls, (std::vector<std::string>{"stored", "registry", "browse:" + wrong, "prompt",
                                                      "browse:" + good}));
}

TEST_F(GameFolderTest, AThirdBrowseCanStillFindTheGame)
{
    CSearchScript script;
    std::string good = MakeGame("good", {"DedicatedServer.exe"});
    script.browses = {"", "", good};
    EXPECT_TRUE(SearchGameFolder(script.Steps(), m_strFound));
    EXPECT_EQ(m_strFound, good);
    EXPECT_EQ(script.calls.size(), 7u);
    EXPECT_EQ(script.calls.back(), "browse:" + good);
}

TEST(MainLayout, FollowsTheClientSize)
{
    CMainLayout m = ComputeMainLayout(1000, 600, 21, 24, false);
    EXPECT_EQ(m.m_configSettings, (CLayoutRect{5, 5, 100, 25}));
    EXPECT_EQ(m.m_currentConfigLabel, (CLayoutRect{110, 6, 80, 21}));
    EXPECT_EQ(m.m_configList, (CLayoutRect{192, 6, 106, 21}));
    EXPECT_EQ(m.m_cfgLabel, (CLayoutRect{295, 6, 30, 21}));
    EXPECT_EQ(m.m_listPlayers, (CLayoutRect{662, 5, 73, 25}));
    EXPECT_EQ(m.m_pauseServer, (CLayoutRect{740, 5, 80, 25}));
    EXPECT_EQ(m.m_restartServer, (CLayoutRect{825, 5, 85, 25}));
    EXPECT_EQ(m.m_startServer, (CLayoutRect{920, 5, 75, 25}));
    EXPECT_EQ(m.m_console, (CLayoutRect{5, 35, 990, 518}));
    EXPECT_EQ(m.m_commandLine, (CLayoutRect{5, 560, 990, 24}));
    EXPECT_EQ(m.m_sizeGrip, (CLayoutRect{988, 588, 12, 12}));
    // Inside a painted frame the console keeps one more pixel free on each side.
    EXPECT_EQ(ComputeMainLayout(1000, 600, 21, 24, true).m_console, (CLayoutRect{6, 35, 988, 518}));
}

TEST(MainLayout, DraggedEdgesStopAtTheMinimumSize)
{
    // The right edge of a 700-pixel window dragged to 600 pixels stays at 680.
    int l = 100, t = 50, r = 700, b = 650;
    ClampSizingRect(ESizingEdge::Right, l, t, r, b);
    EXPECT_EQ(r - l, 680);
    EXPECT_EQ(l, 100);

    l = 200, t = 100, r = 800, b = 400;
    ClampSizingRect(ESizingEdge::TopLeft, l, t, r, b);
    EXPECT_EQ(l, 120);
    EXPECT_EQ(t, -80);
    EXPECT_EQ(r, 800);
    EXPECT_EQ(b, 400);

    l = 0, t = 0, r = 500, b = 300;
    ClampSizingRect(ESizingEdge::BottomLeft, l, t, r, b);
    EXPECT_EQ(l, -180);
    EXPECT_EQ(b, 480);

    l = 0, t = 0, r = 900, b = 700;
    ClampSizingRect(ESizingEdge::Bottom, l, t, r, b);
    EXPECT_EQ(r, 900);
    EXPECT_EQ(b, 700);
}

TEST(MainLayout, FrameColourByExactSchemeName)
{
    EXPECT_EQ(FrameColourForScheme("NormalColor"), 0xB99D7Fu);
    EXPECT_EQ(FrameColourForScheme("Metallic"), 0xB99D7Fu);
    EXPECT_EQ(FrameColourForScheme("HomeStead"), 0x7FB9A4u);  // 164, 185, 127
    EXPECT_FALSE(FrameColourForScheme("homestead"));
    EXPECT_FALSE(FrameColourForScheme("Royale"));
    EXPECT_FALSE(FrameColourForScheme(""));
}

}  // namespace
