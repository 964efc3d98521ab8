#include "base/OwnFolder.h"
#include "base/TextFile.h"
#include "controls/ConsoleFind.h"
#include "controls/ConsoleSave.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

namespace {
// As the rich edit gives it: every paragraph end one "\r".
const std::string kText = " INF:  Remote console listening\r ERR:  remote CONSOLE lost\r INF:  Remote console login\r";
const size_t kFirst = 7, kSecond = 39, kThird = 66;
}  // namespace

TEST(ConsoleFind, ForwardFromAPositionWrapsAndHonoursCase)
{
    const struct {
        const char* what;
        bool matchCase;
        size_t from;
        long expected;  // start of the match, -1 for none
    } cases[] = {
        {"Remote console", false, 0, kFirst},
        {"Remote console", false, kFirst + 1, kSecond},  // case folded: "remote CONSOLE"
        {"Remote console", true, kFirst + 1, kThird},
        {"Remote console", true, kThird + 1, kFirst},    // wraps to the first
        {"Remote console", false, 1000, kFirst},         // beyond the end: from the start
        {"lost\r INF", false, 0, 54},                    // across a line end
        {"REMOTE console", true, 0, -1},
        {"", false, 0, -1},
    };
    for (const auto& c : cases) {
        auto match = FindInText(kText, {c.what, c.matchCase}, c.from);
        if (c.expected < 0) {
            EXPECT_FALSE(match) << c.what;
        } else {
            ASSERT_TRUE(match) << c.what << " from " << c.from;
            EXPECT_EQ(match->m_nStart, static_cast<size_t>(c.expected)) << c.what << " from " << c.from;
            EXPECT_EQ(match->m_nEnd, match->m_nStart + std::string(c.what).size());
        }
    }
}

// F3 goes on after the last match even when a batch has moved the caret to the end, and the
// position follows the characters the console trims from its start.
TEST(ConsoleFind, FinderContinuesAfterItsMatchAcrossBatchesAndTrims)
{
    CConsoleFinder finder;
    finder.m_request = {"Remote console", false};
    const CTextRange caretAtEnd{kText.size(), kText.size()};
    EXPECT_EQ(finder.FindNext(kText, caretAtEnd), (CTextRange{kFirst, kFirst + 14}));
    // A batch arrived: the caret is at the (new) end, the user's selection gone.
    std::string grown = kText + " INF:  more\r";
    EXPECT_EQ(finder.FindNext(grown, {grown.size(), grown.size()}), (CTextRange{kSecond, kSecond + 14}));
    // The user clicked somewhere: the search starts there.
    EXPECT_EQ(finder.FindNext(grown, {kFirst + 2, kFirst + 2}), (CTextRange{kSecond, kSecond + 14}));
    // The console dropped its first 10 characters.
    finder.OnTrimmed(10);
    std::string trimmed = grown.substr(10);
    EXPECT_EQ(finder.FindNext(trimmed, {trimmed.size(), trimmed.size()}), (CTextRange{kThird - 10, kThird + 4}));
    finder.OnCleared();
    EXPECT_FALSE(finder.FindNext("", {0, 0}));
}

TEST(ConsoleSave, WritesCrLfThroughATwinAndKeepsTheOldFileOnFailure)
{
    TempDir own, dir;
    SetOwnFolder(own.path());
    const std::string path = dir / "Console.txt";
    EXPECT_EQ(ConsoleTextToFileText(" a\r b\r\n c\n d"), " a\n b\n c\n d");
    ASSERT_TRUE(SaveConsoleText(path, kText));
    EXPECT_EQ(ReadFile(path), Crlf({" INF:  Remote console listening", " ERR:  remote CONSOLE lost",
                                    " INF:  Remote console login"}));
    CTextWriter::FailWriteNumber(1);
    EXPECT_FALSE(SaveConsoleText(path, " other\r"));
    CTextWriter::FailWriteNumber(0);
    EXPECT_EQ(ReadFile(path), Crlf({" INF:  Remote console listening", " ERR:  remote CONSOLE lost",
                                    " INF:  Remote console login"}));
    EXPECT_FALSE(FileExistsAt(path + ".tmp"));
    EXPECT_FALSE(SaveConsoleText(dir / "missing/Console.txt", kText));
    std::string log = ReadFile(own / "Tollan.log");
    EXPECT_NE(log.find("INF:  The console was saved to " + path + "\r\n"), std::string::npos);
    EXPECT_NE(log.find("ERR:  Failed to save the console to " + path + "\r\n"), std::string::npos);
    EXPECT_NE(log.find("ERR:  Failed to save the console to " + dir / "missing/Console.txt\r\n"), std::string::npos);
    SetOwnFolder("");
}
