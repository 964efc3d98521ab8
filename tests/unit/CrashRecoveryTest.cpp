#include "server/CrashRecovery.h"
#include "base/OwnFolder.h"
#include "base/TextFile.h"
#include "base/UtilityLog.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class CrashRewrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetOwnFolder(m_own.path());
        mkdir((m_game / "DedicatedServerUtility").c_str(), 0755);
        mkdir((m_game / "DedicatedServerUtility/Config").c_str(), 0755);
        m_script = CCrashRecovery::ScriptPath(m_game.path(), "Coop");
        m_copy = CCrashRecovery::CopyPath(m_game.path(), "Coop");
    }
    void TearDown() override
    {
        CTextWriter::FailWriteNumber(0);
        SetOwnFolder("");
    }
    std::string Log() { return ReadFile(m_own / "Tollan.log"); }

    // A script of 40 lines with the level line in the middle.
    static std::string Script40(const std::string& levelLine)
    {
        std::string s;
        for (int i = 1; i <= 40; ++i)
            s += i == 20 ? levelLine : "qel_iLine" + std::to_string(i) + " = " + std::to_string(i) + ";\r\n";
        return s;
    }

    TempDir m_own, m_game;
    std::string m_script, m_copy;
    CCrashRecovery m_recovery;
};

}  // namespace

TEST_F(CrashRewrite, OnlyTheLevelLineIsReplaced)
{
    ASSERT_TRUE(WriteFile(m_script, Script40("   qel_strLevelToStart = \"Levels/Old.wld\";\r\n")));
    int fps = 20;
    EXPECT_TRUE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "Levels/New.wld", fps));
    EXPECT_EQ(ReadFile(m_copy), Script40("qel_strLevelToStart = \"Levels/New.wld\";\r\n"));
    EXPECT_EQ(fps, 20);
    // The script itself is untouched until the swap.
    EXPECT_EQ(ReadFile(m_script), Script40("   qel_strLevelToStart = \"Levels/Old.wld\";\r\n"));
}

TEST_F(CrashRewrite, LowFrameRateIsRaisedTo15)
{
    ASSERT_TRUE(WriteFile(m_script, Script40("qel_strLevelToStart = \"A.wld\";\r\n")));
    int fps = 10;
    EXPECT_TRUE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "", fps));
    EXPECT_EQ(fps, 15);
    EXPECT_NE(ReadFile(m_copy).find("qel_strLevelToStart = \"\";\r\n"), std::string::npos);
}

TEST_F(CrashRewrite, ScriptWithoutLevelLineIsCopiedUnchanged)
{
    ASSERT_TRUE(WriteFile(m_script, Script40("qel_iOther = 1;\r\n")));
    int fps = 10;
    EXPECT_TRUE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "X.wld", fps));
    EXPECT_EQ(ReadFile(m_copy), Script40("qel_iOther = 1;\r\n"));
    EXPECT_EQ(fps, 10);
}

TEST_F(CrashRewrite, TailOfALongLevelLineIsNotLeftBehind)
{
    std::string longLine = "qel_strLevelToStart = \"" + std::string(300, 'L') + "\";\r\n";
    ASSERT_TRUE(WriteFile(m_script, Script40(longLine)));
    int fps = 30;
    EXPECT_TRUE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "N.wld", fps));
    EXPECT_EQ(ReadFile(m_copy), Script40("qel_strLevelToStart = \"N.wld\";\r\n"));
}

TEST_F(CrashRewrite, MissingScriptLogsAndSchedulesNoSwap)
{
    int fps = 10;
    EXPECT_FALSE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "X.wld", fps));
    EXPECT_NE(Log().find("ERR:  Unable to open Coop.cfg file during a call to AddCurrentLevelToConfig().\r\n"),
              std::string::npos);
    EXPECT_TRUE(FileExistsAt(m_copy));
    EXPECT_EQ(ReadFile(m_copy), "");
    EXPECT_FALSE(m_recovery.SwapConfigScript(m_game.path(), "Coop"));
    EXPECT_FALSE(FileExistsAt(m_script));
    EXPECT_EQ(fps, 10);
}

TEST_F(CrashRewrite, CopyThatCannotBeCreatedIsLogged)
{
    int fps = 10;
    EXPECT_FALSE(m_recovery.AddCurrentLevelToConfig(m_game / "missing", "Coop", "X.wld", fps));
    EXPECT_NE(Log().find("ERR:  Could not create CoopTemp.cfg file during a call to "
                         "AddCurrentLevelToConfig().\r\n"),
              std::string::npos);
}

TEST_F(CrashRewrite, UnsafeNameIsRefused)
{
    int fps = 10;
    EXPECT_FALSE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "../Coop", "X.wld", fps));
    EXPECT_NE(Log().find("ERR:  Refused the configuration name \"../Coop\""), std::string::npos);
    EXPECT_FALSE(m_recovery.SwapConfigScript(m_game.path(), "../Coop"));
}

TEST_F(CrashRewrite, FailedWriteAtAnyStepNeverSwaps)
{
    const std::string original = Script40("qel_strLevelToStart = \"Old.wld\";\r\n");
    ASSERT_TRUE(WriteFile(m_script, original));
    for (int n = 1; n <= 40; ++n) {
        // A complete copy from an earlier crash must not be swapped in after a failed one either.
        int fps = 30;
        ASSERT_TRUE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "A.wld", fps));
        CTextWriter::FailWriteNumber(n);
        EXPECT_FALSE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "B.wld", fps)) << n;
        CTextWriter::FailWriteNumber(0);
        EXPECT_FALSE(m_recovery.SwapConfigScript(m_game.path(), "Coop")) << n;
        EXPECT_EQ(ReadFile(m_script), original) << n;
    }
    EXPECT_NE(Log().find("ERR:  Could not write CoopTemp.cfg file during a call to "
                         "AddCurrentLevelToConfig().\r\n"),
              std::string::npos);
}

TEST_F(CrashRewrite, SwapReplacesTheScriptOnce)
{
    ASSERT_TRUE(WriteFile(m_script, Script40("qel_strLevelToStart = \"Old.wld\";\r\n")));
    int fps = 30;
    ASSERT_TRUE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "New.wld", fps));
    EXPECT_TRUE(m_recovery.SwapConfigScript(m_game.path(), "Coop"));
    EXPECT_EQ(ReadFile(m_script), Script40("qel_strLevelToStart = \"New.wld\";\r\n"));
    EXPECT_FALSE(FileExistsAt(m_copy));
    // A second timer expiry has nothing left to swap.
    EXPECT_FALSE(m_recovery.SwapConfigScript(m_game.path(), "Coop"));
}

TEST_F(CrashRewrite, SwapOfAnotherConfigurationIsRefused)
{
    ASSERT_TRUE(WriteFile(m_script, Script40("qel_strLevelToStart = \"Old.wld\";\r\n")));
    const std::string other = CCrashRecovery::ScriptPath(m_game.path(), "Other");
    ASSERT_TRUE(WriteFile(other, "qel_iX = 1;\r\n"));
    int fps = 30;
    ASSERT_TRUE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "New.wld", fps));
    EXPECT_FALSE(m_recovery.SwapConfigScript(m_game.path(), "Other"));
    EXPECT_EQ(ReadFile(other), "qel_iX = 1;\r\n");
}

TEST_F(CrashRewrite, FailedSwapKeepsTheScript)
{
    const std::string original = Script40("qel_strLevelToStart = \"Old.wld\";\r\n");
    ASSERT_TRUE(WriteFile(m_script, original));
    int fps = 30;
    ASSERT_TRUE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "New.wld", fps));
    ASSERT_EQ(std::remove(m_copy.c_str()), 0);
    EXPECT_FALSE(m_recovery.SwapConfigScript(m_game.path(), "Coop"));
    EXPECT_EQ(ReadFile(m_script), original);
}

TEST_F(CrashRewrite, SaveCancelsThePendingSwapOfItsConfigurationOnly)
{
    ASSERT_TRUE(WriteFile(m_script, Script40("qel_strLevelToStart = \"A.wld\";\r\n")));
    int fps = 60;
    ASSERT_TRUE(m_recovery.AddCurrentLevelToConfig(m_game.path(), "Coop", "Levels/B.wld", fps));
    EXPECT_FALSE(m_recovery.CancelPendingSwap(m_game.path(), "Other"));
    EXPECT_TRUE(FileExistsAt(m_copy));

    // The save wrote the user's script; the swap timer that still fires must not undo it.
    ASSERT_TRUE(WriteFile(m_script, "saved by the user\r\n"));
    EXPECT_TRUE(m_recovery.CancelPendingSwap(m_game.path(), "Coop"));
    EXPECT_FALSE(FileExistsAt(m_copy));
    EXPECT_FALSE(m_recovery.SwapConfigScript(m_game.path(), "Coop"));
    EXPECT_EQ("saved by the user\r\n", ReadFile(m_script));
    EXPECT_FALSE(m_recovery.CancelPendingSwap(m_game.path(), "Coop"));
}
