#include "server/LogFollower.h"

#include <gtest/gtest.h>

using Texts = std::vector<std::string>;

TEST(FollowerStart, MarkerInFirstReadDropsTheOldText)
{
    CLogFollowerModel m;
    m.Start();
    CFollowerActions a = m.OnRead("old run\r\n-------- START OF LOG --------\r\nINF: hello\r\n");
    EXPECT_EQ(a.m_console, (Texts{"INF:    The server is starting...", "\r\nINF: hello\r\n"}));
    EXPECT_EQ(a.m_log, Texts{"INF:  The server is running...\n"});
    EXPECT_FALSE(m.WaitingForStart());

    // Once started, a second marker is only text.
    a = m.OnRead("-------- START OF LOG --------\n");
    EXPECT_EQ(a.m_console, Texts{"-------- START OF LOG --------\n"});
    EXPECT_TRUE(a.m_log.empty());
}

TEST(FollowerStart, MarkerSplitAcrossReadsIsNotRecognised)
{
    CLogFollowerModel m;
    m.Start();
    CFollowerActions a = m.OnRead("old\n-------- START ");
    EXPECT_EQ(a.m_console, Texts{"old\n-------- START "});
    a = m.OnRead("OF LOG --------\nINF: x\n");
    EXPECT_EQ(a.m_console, Texts{"OF LOG --------\nINF: x\n"});
    EXPECT_TRUE(a.m_log.empty());
    EXPECT_TRUE(m.WaitingForStart());
}

// A picked-up server: its log is read from where it ends now, with no marker awaited; a log
// recreated later is read from its start and awaits its marker again.
TEST(FollowerStart, AtTheLogsEndNoMarkerIsAwaited)
{
    CLogFollowerModel m;
    m.StartAtEnd(5000);
    EXPECT_FALSE(m.OnFileSize(5000));
    CFollowerActions a = m.OnRead("INF:  x\r\n");
    EXPECT_TRUE(a.m_console == Texts{"INF:  x\r\n"} && a.m_log.empty());
    EXPECT_TRUE(m.OnFileSize(100));
    EXPECT_TRUE(m.WaitingForStart());
}

TEST(FollowerStart, TextEndsAtZeroByteButThePositionCountsEveryByte)
{
    CLogFollowerModel m;
    m.Start();
    CFollowerActions a = m.OnRead(std::string("abc\0def", 7));
    EXPECT_EQ(a.m_console, Texts{"abc"});
    EXPECT_EQ(m.Position(), 7u);
    EXPECT_TRUE(m.OnRead("").m_console.empty());
}

TEST(FollowerCycles, RunEndsOnTheEleventhEmptyCycleAfterTheProcessEnded)
{
    CLogFollowerModel m;
    m.Start();
    for (int i = 0; i < 50; ++i)
        EXPECT_TRUE(m.OnProcessWait(false, 0));  // the process lives: no count
    EXPECT_TRUE(m.OnProcessWait(true, 255));     // still draining
    for (int i = 1; i <= 10; ++i)
        EXPECT_TRUE(m.OnProcessWait(true, 0)) << i;
    EXPECT_FALSE(m.OnProcessWait(true, 0));
    EXPECT_EQ(m.EmptyCycles(), 11);
}

TEST(FollowerCycles, EmptyCyclesAreNotResetByLaterBytes)
{
    CLogFollowerModel m;
    m.Start();
    for (int i = 0; i < 6; ++i)
        m.OnProcessWait(true, 0);
    EXPECT_TRUE(m.OnProcessWait(true, 100));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(m.OnProcessWait(true, 0));
    EXPECT_FALSE(m.OnProcessWait(true, 0));
}

TEST(FollowerRewind, ShorterFileRestartsAtItsBeginning)
{
    CLogFollowerModel m;
    m.Start();
    m.OnRead(std::string(255, 'o'));
    m.OnRead("old\n-------- START OF LOG --------\nold run\n");
    EXPECT_FALSE(m.OnFileSize(400));
    EXPECT_FALSE(m.OnFileSize(m.Position()));
    EXPECT_TRUE(m.OnFileSize(40));
    EXPECT_EQ(m.Position(), 0u);
    // The new log's marker is recognised again; the utility log line stays once per run.
    CFollowerActions a = m.OnRead("-------- START OF LOG --------\nINF: new\n");
    EXPECT_EQ(a.m_console, (Texts{"INF:    The server is starting...", "\nINF: new\n"}));
    EXPECT_TRUE(a.m_log.empty());
    EXPECT_EQ(m.Position(), 40u);
}

// The run's kept copy: from its start marker on (one split between reads too), nothing of the
// previous run's log until the server rewrites it, all of a picked-up run, and on across a log the
// server empties. Steps are reads, or "@size" / "!size": a size check, written since the launch or not.
TEST(FollowerRunBytes, TheCopyHoldsTheRunsBytes)
{
    const std::string M = CLogFollowerModel::kStartMarker;
    const struct {
        int start;  // 0 launched, 1 launched on the previous run's log, 2 picked up
        std::vector<std::string> steps;
        std::string run;
        int rewinds;
    } cases[] = {
        {0, {"old\n" + M + "\na\n", std::string("b\0", 2)}, M + "\na\n" + std::string("b\0", 2), 0},
        {0, {"old\n-------- START ", "OF LOG --------\nx\n", "y"}, M + "\nx\ny", 0},
        {0, {"header\n", "no start\n"}, "", 0},
        {1, {M + "\nold\n", "!100", "old\n", "@500", "h\n" + M + "\nnew\n"}, M + "\nnew\n", 1},
        {1, {M + "\nold\n", "!0", "h\n" + M + "\nnew\n"}, M + "\nnew\n", 1},
        {2, {"x\n", "@0", "y\n"}, "x\ny\n", 1},
        {0, {M + "\na\n", "@0", "b\n"}, M + "\na\nb\n", 1},
    };
    for (const auto& c : cases) {
        CLogFollowerModel m;
        c.start == 2 ? m.StartAtEnd(5000) : m.Start(c.start == 1);
        std::string run;
        int rewinds = 0;
        for (const std::string& step : c.steps)
            if (step[0] == '@' || step[0] == '!')
                rewinds += m.OnFileSize(std::stoull(step.substr(1)), step[0] == '@');
            else
                run += m.OnRead(step).m_strRun;
        EXPECT_EQ(run, c.run) << c.steps[0];
        EXPECT_EQ(rewinds, c.rewinds) << c.steps[0];
    }
}

// The level the run plays: the last trace line that changes over, split across reads or hidden
// among the console's lines after "Error closing" alike; a line of another tag does not count, and
// a recreated log drops the unfinished line.
TEST(FollowerLevel, ChangingOverSetsTheCurrentLevel)
{
    CLogFollowerModel m;
    m.Start();
    m.OnRead("-------- START OF LOG --------\nTRC:   Changing over to Levels/Coop/Ruins.wld  \n");
    EXPECT_EQ(m.CurrentLevel(), "Levels/Coop/Ruins.wld");
    m.OnRead("TRC:   Loading\nINF: TRC:   Changing over to Levels/X.wld\n");
    EXPECT_EQ(m.CurrentLevel(), "Levels/Coop/Ruins.wld");
    m.OnRead("ERR: Error closing file\nTRC:   Changing over");
    m.OnRead(" to Levels/Hidden.wld\nrest");
    EXPECT_EQ(m.CurrentLevel(), "Levels/Hidden.wld");
    m.OnRead("TRC:   Changing over to Levels/Cut.wld");
    EXPECT_TRUE(m.OnFileSize(0));
    m.OnRead("\n");
    EXPECT_EQ(m.CurrentLevel(), "Levels/Hidden.wld");
    m.Start();
    EXPECT_EQ(m.CurrentLevel(), "");
}
