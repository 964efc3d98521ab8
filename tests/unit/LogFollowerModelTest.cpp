#include "app/LogFollowerModel.h"

#include <gtest/gtest.h>

using Texts = std::vector<std::string>;

TEST(FollowerStart, MarkerInFirstReadDropsTheOldText)
{
    CLogFollowerModel m;
    m.Start();
    CFollowerActions a = m.OnRead("old run\r\n-------- START OF LOG --------\r\nINF: hello\r\n");
    EXPECT_EQ(a.console, (Texts{"INF:    The server is starting...", "\r\nINF: hello\r\n"}));
    EXPECT_EQ(a.log, Texts{"INF:  The server is running...\n"});
    EXPECT_FALSE(m.WaitingForStart());

    // Once started, a second marker is only text.
    a = m.OnRead("-------- START OF LOG --------\n");
    EXPECT_EQ(a.console, Texts{"-------- START OF LOG --------\n"});
    EXPECT_TRUE(a.log.empty());
}

TEST(FollowerStart, MarkerSplitAcrossReadsIsNotRecognised)
{
    CLogFollowerModel m;
    m.Start();
    CFollowerActions a = m.OnRead("old\n-------- START ");
    EXPECT_EQ(a.console, Texts{"old\n-------- START "});
    a = m.OnRead("OF LOG --------\nINF: x\n");
    EXPECT_EQ(a.console, Texts{"OF LOG --------\nINF: x\n"});
    EXPECT_TRUE(a.log.empty());
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
    EXPECT_TRUE(a.console == Texts{"INF:  x\r\n"} && a.log.empty());
    EXPECT_TRUE(m.OnFileSize(100));
    EXPECT_TRUE(m.WaitingForStart());
}

TEST(FollowerStart, TextEndsAtZeroByteButThePositionCountsEveryByte)
{
    CLogFollowerModel m;
    m.Start();
    CFollowerActions a = m.OnRead(std::string("abc\0def", 7));
    EXPECT_EQ(a.console, Texts{"abc"});
    EXPECT_EQ(m.Position(), 7u);
    EXPECT_TRUE(m.OnRead("").console.empty());
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
    EXPECT_EQ(a.console, (Texts{"INF:    The server is starting...", "\nINF: new\n"}));
    EXPECT_TRUE(a.log.empty());
    EXPECT_EQ(m.Position(), 40u);
}
