#include "server/RemoteConsole.h"

#include <gtest/gtest.h>

namespace {

std::string B(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

const int IAC = 255, SB = 250, SE = 240, WILL = 251, WONT = 252, DO = 253, DONT = 254;

CRemoteConsoleSession MakeSession() { return CRemoteConsoleSession([] { return std::string("secret"); }); }

const std::string kSixLines = "Line 1\r\nLine 2\r\nLine 3\r\nLine 4\r\nLine 5\r\nLine 6\r\n";

// The telnet reply is the first send of each chunk.
std::string ReplyTo(const std::string& chunk)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk(chunk);
    EXPECT_GE(r.m_sends.size(), 1u);
    return r.m_sends.empty() ? std::string("<none>") : r.m_sends[0];
}

}  // namespace

TEST(TelnetOptions, AnswersFromTheTable)
{
    EXPECT_EQ(ReplyTo(B({IAC, DO, 1})), B({IAC, WILL, 1}));
    EXPECT_EQ(ReplyTo(B({IAC, DO, 3})), B({IAC, WILL, 3}));
    EXPECT_EQ(ReplyTo(B({IAC, WILL, 24})), B({IAC, DONT, 24}));
    EXPECT_EQ(ReplyTo(B({IAC, WILL, 1})), B({IAC, DO, 1}));
    EXPECT_EQ(ReplyTo(B({IAC, DO, 31})), B({IAC, WONT, 31}));
    EXPECT_EQ(ReplyTo(B({IAC, WONT, 1})), B({IAC, DONT, 1}));
    EXPECT_EQ(ReplyTo(B({IAC, DONT, 3})), B({IAC, WONT, 3}));
}

TEST(TelnetOptions, TwoSequencesGiveOneSendWithBothAnswers)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk(B({IAC, WILL, 1, IAC, WILL, 3}));
    ASSERT_EQ(r.m_sends.size(), 1u);
    EXPECT_EQ(r.m_sends[0], B({IAC, DO, 1, IAC, DO, 3}));
    EXPECT_EQ(s.m_strText, "");
    EXPECT_EQ(s.LineCount(), 0);
}

TEST(TelnetOptions, SubnegotiationOfEchoIsAnsweredWithZero)
{
    EXPECT_EQ(ReplyTo(B({IAC, SB, 1, '1', IAC, SE})), B({IAC, SB, 1, '0', IAC, SE}));
    // Any other subnegotiation costs a bare IAC.
    EXPECT_EQ(ReplyTo(B({IAC, SB, 24, 1, IAC, SE})), B({IAC}));
}

TEST(TelnetOptions, ShortSequenceAddsNothing)
{
    std::string reply;
    CRemoteConsoleSession::BuildOptionReply(B({IAC, DO}), reply);
    EXPECT_EQ(reply, "");
}

TEST(TelnetOptions, PlainTextStillSendsAnEmptyReply)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk("hello\r\n");
    ASSERT_EQ(r.m_sends.size(), 1u);
    EXPECT_EQ(r.m_sends[0], "");
}

TEST(TelnetOptions, EmptyReceiveSendsNothing)
{
    CRemoteConsoleSession s = MakeSession();
    EXPECT_TRUE(s.HandleChunk("").m_sends.empty());
}

TEST(TelnetStrip, OnlyTextAfterTheLastSequenceRemains)
{
    CRemoteConsoleSession s = MakeSession();
    s.HandleChunk("before" + B({IAC, DO, 1}) + "mid" + B({IAC, WILL, 3}) + "after");
    EXPECT_EQ(s.m_strText, "after");
}

TEST(TelnetStrip, DoubledIacStartsTheNextSearch)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk("ab" + B({IAC, IAC, DO, 1}) + "cd");
    EXPECT_EQ(r.m_sends[0], B({IAC, WILL, 1}));
    EXPECT_EQ(s.m_strText, "cd");
}

TEST(TelnetStrip, UnknownCommandIsConsumed)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk(B({IAC, 249}) + "x" + B({IAC, DO, 1}) + "Rest");
    EXPECT_EQ(r.m_sends[0], B({IAC, WILL, 1}));
    EXPECT_EQ(s.m_strText, "Rest");

    CRemoteConsoleSession t = MakeSession();
    r = t.HandleChunk("text" + B({IAC, 241}));
    EXPECT_EQ(r.m_sends[0], "");
    EXPECT_EQ(t.m_strText, "text");
}

TEST(TelnetStrip, SubnegotiationWithoutEndTakesTheRestOfTheChunk)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk("ab" + B({IAC, SB, 1, '1'}) + "tail\r\n");
    EXPECT_EQ(r.m_sends[0], B({IAC, SB, 1, '0', IAC, SE}));
    EXPECT_EQ(s.m_strText, "ab");
    EXPECT_EQ(s.LineCount(), 0);
}

TEST(TelnetStrip, TwoSubnegotiationsInOneChunkEnd)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk(B({IAC, SB, 1, '1', IAC, SE, IAC, SB, 3, '1', IAC, SE}));
    EXPECT_EQ(r.m_sends[0], B({IAC, SB, 1, '0', IAC, SE, IAC, SB, 3, '0', IAC, SE}));
}

TEST(TelnetStrip, TrailingIacIsConsumed)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk("abc" + B({IAC}));
    EXPECT_EQ(r.m_sends[0], "");
    EXPECT_EQ(s.m_strText, "abc");
    r = s.HandleChunk(B({IAC, WILL}));
    EXPECT_EQ(r.m_sends[0], "");  // two bytes are too short to answer
}

TEST(LoginScan, FullLoginSequence)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk(B({IAC, WILL, 1, IAC, WILL, 3}));
    EXPECT_EQ(r.m_sends, std::vector<std::string>{B({IAC, DO, 1, IAC, DO, 3})});

    r = s.HandleChunk(kSixLines);
    EXPECT_EQ(r.m_sends, (std::vector<std::string>{"", "secret\r\n"}));
    EXPECT_TRUE(r.m_bPasswordSent);
    EXPECT_FALSE(r.m_bLoggedIn);

    r = s.HandleChunk("Telnet connection from 127.0.0.1:1234\n");
    EXPECT_TRUE(r.m_bLoggedIn);
    EXPECT_TRUE(s.IsLoggedIn());
    // The count stayed at 6 (no CR in the confirmation), yet the confirming chunk does not send
    // the password again: the server would take it for a console command.
    EXPECT_EQ(r.m_sends, (std::vector<std::string>{""}));
    EXPECT_FALSE(r.m_bPasswordSent);

    // After the login nothing is handled any more.
    EXPECT_TRUE(s.HandleChunk(B({IAC, DO, 1})).m_sends.empty());
}

TEST(LoginScan, ConfirmationNeedsABareLineFeed)
{
    CRemoteConsoleSession crlf = MakeSession();
    EXPECT_FALSE(crlf.HandleChunk("Telnet connection from 127.0.0.1:1234\r\n").m_bLoggedIn);
    EXPECT_FALSE(crlf.IsLoggedIn());

    CRemoteConsoleSession lf = MakeSession();
    EXPECT_TRUE(lf.HandleChunk("   Telnet connection from 127.0.0.1:1234\nmore").m_bLoggedIn);

    CRemoteConsoleSession other = MakeSession();
    EXPECT_FALSE(other.HandleChunk("Telnet refused from 127.0.0.1:1234\n").m_bLoggedIn);
}

TEST(LoginScan, PasswordAtExactlySixLines)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk("a\r\nb\r\nc\r\nd\r\ne\r\n");
    EXPECT_EQ(s.LineCount(), 5);
    EXPECT_FALSE(r.m_bPasswordSent);
    r = s.HandleChunk("f\r\n");
    EXPECT_EQ(s.LineCount(), 6);
    EXPECT_TRUE(r.m_bPasswordSent);
    // A later chunk without a line end leaves the count at 6: the password goes again.
    r = s.HandleChunk("Password:");
    EXPECT_TRUE(r.m_bPasswordSent);
    EXPECT_EQ(r.m_sends.back(), "secret\r\n");
    r = s.HandleChunk("g\r\n");
    EXPECT_EQ(s.LineCount(), 7);
    EXPECT_FALSE(r.m_bPasswordSent);
}

TEST(LoginScan, JumpingFromFiveToSevenSendsNothing)
{
    CRemoteConsoleSession s = MakeSession();
    s.HandleChunk("a\r\nb\r\nc\r\nd\r\ne\r\n");
    CChunkResult r = s.HandleChunk("f\r\ng\r\n");
    EXPECT_EQ(s.LineCount(), 7);
    EXPECT_FALSE(r.m_bPasswordSent);
    EXPECT_EQ(r.m_sends.size(), 1u);
}

TEST(LoginScan, ChunkBeginningWithLineFeedIsNotExamined)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk("\nTelnet connection from 127.0.0.1:1234\n\r\n\r\n");
    EXPECT_FALSE(r.m_bLoggedIn);
    EXPECT_EQ(s.LineCount(), 1);  // only the first CR counts: the runs are never reset
}

TEST(LoginScan, PromptChunkIsNeitherCountedNorExamined)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk("Telnet connection from 127.0.0.1:1234\n\r\n>");
    EXPECT_FALSE(r.m_bLoggedIn);
    EXPECT_EQ(s.LineCount(), 0);
    EXPECT_EQ(r.m_sends, std::vector<std::string>{""});
    // The prompt only affects its own chunk.
    EXPECT_TRUE(s.HandleChunk("Telnet connection from 127.0.0.1:1234\n").m_bLoggedIn);
}

TEST(LoginScan, PromptChunkStillAnswersNegotiation)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk("  \r\n" + B({IAC, DO, 3}) + "> ");
    EXPECT_EQ(r.m_sends, std::vector<std::string>{B({IAC, WILL, 3})});
}

TEST(LoginScan, TextEndsAtZeroByte)
{
    CRemoteConsoleSession s = MakeSession();
    CChunkResult r = s.HandleChunk(std::string("a\r\n\0b\r\nc\r\n", 10));
    EXPECT_EQ(s.LineCount(), 1);
    CRemoteConsoleSession t = MakeSession();
    r = t.HandleChunk(std::string("\0Telnet connection from 127.0.0.1:1234\n", 39));
    EXPECT_FALSE(r.m_bLoggedIn);
}

TEST(LoginScan, PasswordComesFromTheOwnerWhenDue)
{
    std::string password = "first";
    CRemoteConsoleSession s([&password] { return password; });
    password = "changed";
    EXPECT_EQ(s.HandleChunk(kSixLines).m_sends.back(), "changed\r\n");
}
