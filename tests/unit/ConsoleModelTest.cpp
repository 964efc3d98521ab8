#include "controls/ConsoleModel.h"

#include <gtest/gtest.h>

namespace {

using Inserts = std::vector<std::pair<uint32_t, std::string>>;

Inserts Shown(const CConsoleBatch& b)
{
    Inserts out;
    for (const CConsoleInsert& i : b.m_inserts)
        out.emplace_back(i.m_crColour, i.m_strText);
    return out;
}

}  // namespace

TEST(ConsoleLines, FragmentIsJoinedWithTheNextBatch)
{
    CConsoleModel m;
    EXPECT_TRUE(m.AppendConsoleText("abc", 0).m_inserts.empty());
    EXPECT_EQ(m.PendingFragment(), "abc");
    EXPECT_EQ(Shown(m.AppendConsoleText("def\n", 0)), (Inserts{{kConsoleBlack, " abcdef\n"}}));
    EXPECT_EQ(m.PendingFragment(), "");
}

// A log recreated under the follower is read again from its start: the old run's unfinished line
// is dropped, so the new run's first line stands on its own.
TEST(ConsoleLines, RecreatedLogDropsTheOldFragment)
{
    CConsoleModel m;
    m.AppendConsoleText("INF:  still in the log", 0);
    m.DropPendingFragment();
    m.AppendConsoleText("INF:    The server is starting...", 0);
    EXPECT_EQ(Shown(m.AppendConsoleText("\r\nWRN:  up\n", 0)),
              (Inserts{{kConsoleGreen, " INF:    The server is starting...\r\n"}, {kConsoleYellow, " WRN:  up\n"}}));
}

TEST(ConsoleLines, SeveralLinesAndARestInOneBatch)
{
    CConsoleModel m;
    EXPECT_EQ(Shown(m.AppendConsoleText("one\ntwo\nthr", 0)),
              (Inserts{{kConsoleBlack, " one\n"}, {kConsoleBlack, " two\n"}}));
    EXPECT_EQ(m.PendingFragment(), "thr");
}

TEST(ConsoleLines, FragmentKeepsOnlyTheFirst200Characters)
{
    CConsoleModel m;
    std::string text(200, 'a');
    text += std::string(100, 'b');
    m.AppendConsoleText(text, 0);
    EXPECT_EQ(m.PendingFragment(), std::string(200, 'a'));
    EXPECT_EQ(Shown(m.AppendConsoleText("\n", 0)),
              (Inserts{{kConsoleBlack, " " + std::string(200, 'a') + "\n"}}));
}

TEST(ConsoleLines, TextEndsAtZeroByte)
{
    CConsoleModel m;
    EXPECT_EQ(Shown(m.AppendConsoleText(std::string("x\n\0y\n", 5), 0)),
              (Inserts{{kConsoleBlack, " x\n"}}));
}

TEST(ConsoleColours, FirstMatchingTagWins)
{
    CConsoleModel m;
    EXPECT_EQ(Shown(m.AppendConsoleText("INF: a\nERR: b\nWRN: c\nTRC: d\nplain\n"
                                        "ERR: and INF: both\nTRC: WRN:\n",
                                        0)),
              (Inserts{{kConsoleGreen, " INF: a\n"},
                       {kConsoleRed, " ERR: b\n"},
                       {kConsoleYellow, " WRN: c\n"},
                       {kConsoleBlue, " TRC: d\n"},
                       {kConsoleBlack, " plain\n"},
                       {kConsoleGreen, " ERR: and INF: both\n"},
                       {kConsoleYellow, " TRC: WRN:\n"}}));
}

TEST(ConsoleColours, StatusTextJoinsTheNextLineInGreen)
{
    CConsoleModel m;
    m.AppendConsoleText("INF:    The server is starting...", 0);
    EXPECT_EQ(Shown(m.AppendConsoleText("\nERR: x\n", 0)),
              (Inserts{{kConsoleGreen, " INF:    The server is starting...\n"},
                       {kConsoleRed, " ERR: x\n"}}));
    m.AppendConsoleText("INF:    The server is starting...", 0);
    EXPECT_EQ(Shown(m.AppendConsoleText("ERR: oops\n", 0)),
              (Inserts{{kConsoleGreen, " INF:    The server is starting...ERR: oops\n"}}));
}

TEST(ConsoleErrorClosing, HidesTheLineAndTheRestOfItsBatch)
{
    CConsoleModel m;
    CConsoleBatch b = m.AppendConsoleText("INF: before\nERR: Error closing file\nINF: after\nTRC:   "
                                          "Changing over to Levels/Hidden.wld\nrest",
                                          0);
    EXPECT_EQ(Shown(b), (Inserts{{kConsoleGreen, " INF: before\n"}}));
    EXPECT_EQ(m.PendingFragment(), "rest");
    EXPECT_EQ(Shown(m.AppendConsoleText("\nINF: next\n", 0)),
              (Inserts{{kConsoleBlack, " rest\n"}, {kConsoleGreen, " INF: next\n"}}));
}

TEST(ConsoleErrorClosing, OnlyInErrorLines)
{
    CConsoleModel m;
    EXPECT_EQ(Shown(m.AppendConsoleText("INF: Error closing\nafter\n", 0)),
              (Inserts{{kConsoleGreen, " INF: Error closing\n"}, {kConsoleBlack, " after\n"}}));
}

TEST(ConsoleCap, TrimsTheExcessBeforeTheBatch)
{
    CConsoleModel m;
    EXPECT_EQ(m.AppendConsoleText("x\n", 20050).m_nTrimChars, 50u);
    EXPECT_EQ(m.AppendConsoleText("x\n", 20000).m_nTrimChars, 0u);
    EXPECT_EQ(m.AppendConsoleText("", 20001).m_nTrimChars, 1u);
}
