#include "base/OwnFolder.h"
#include "base/UtilityLog.h"
#include "platform/Platform.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::tm At(int year, int month, int day, int h, int m, int s)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    return t;
}

// Every entry starts with a 20-character prefix; strip them to compare messages.
std::vector<std::string> Entries(const std::string& text)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t start = pos + 20;
        size_t end = text.size();
        // The next entry begins with "MM/DD/YY HH:MM:SS - " after the previous one's text.
        for (size_t i = start; i + 20 <= text.size(); ++i) {
            if (text.compare(i + 17, 3, " - ") == 0 && text[i + 2] == '/' && text[i + 5] == '/' &&
                text[i + 11] == ':' && text[i + 14] == ':') {
                end = i;
                break;
            }
        }
        out.push_back(text.substr(start, end - start));
        pos = end;
    }
    return out;
}

class UtilityLogTest : public testing::Test {
protected:
    void SetUp() override { SetOwnFolder(m_dir.path()); }
    void TearDown() override { SetOwnFolder(""); }
    std::string Log() { return ReadFile(m_dir.path() + "/Tollan.log"); }
    TempDir m_dir;
};

}  // namespace

TEST(LogPrefix, PadsEveryFieldToTwoDigits)
{
    EXPECT_EQ(FormatLogPrefix(At(2026, 12, 6, 13, 45, 7)), "12/06/26 13:45:07 - ");
    EXPECT_EQ(FormatLogPrefix(At(2027, 1, 5, 7, 3, 9)), "01/05/27 07:03:09 - ");
    EXPECT_EQ(FormatLogPrefix(At(2000, 1, 1, 0, 0, 0)), "01/01/00 00:00:00 - ");
}

TEST_F(UtilityLogTest, WritesPrefixAndMessageWithCrLf)
{
    LogMessage("INF:  The Utility has started successfully.\n");
    std::string log = Log();
    ASSERT_GE(log.size(), 20u);
    EXPECT_EQ(log.substr(17, 3), " - ");
    EXPECT_EQ(log.substr(20), "INF:  The Utility has started successfully.\r\n");
}

TEST_F(UtilityLogTest, CutsTheMessageAt255Characters)
{
    std::string longText(300, 'x');
    LogMessage("%s", longText.c_str());
    EXPECT_EQ(Log().substr(20), std::string(255, 'x'));
}

TEST_F(UtilityLogTest, PercentFromAnArgumentIsWrittenAsItIs)
{
    LogMessage("INF:  Command: '%s' sent to the server.\n", "say %s %d %n");
    EXPECT_EQ(Log().substr(20), "INF:  Command: 'say %s %d %n' sent to the server.\r\n");
}

TEST_F(UtilityLogTest, MessagesWithoutLineBreakShareOneLine)
{
    LogMessage("ERR:  Could not Get Admin Password.");
    LogMessage("INF:  Launching Server...\n");
    std::string log = Log();
    EXPECT_EQ(log.find('\n'), log.size() - 1);
    EXPECT_EQ(Entries(log), (std::vector<std::string>{"ERR:  Could not Get Admin Password.",
                                                      "INF:  Launching Server...\r\n"}));
}

TEST_F(UtilityLogTest, UnwritableLogIsSilentlySkipped)
{
    const std::string missing = m_dir.path() + "/missing-folder";
    SetOwnFolder(missing);
    LogMessage("INF:  lost\n");
    EXPECT_FALSE(platform::PathExists(missing));  // nothing is made in its place
    // The next entry, once the journal can be written, is the only one there.
    SetOwnFolder(m_dir.path());
    LogMessage("INF:  kept\n");
    EXPECT_EQ(Entries(Log()), std::vector<std::string>{"INF:  kept\r\n"});
}

TEST_F(UtilityLogTest, EntriesFromTwoThreadsStayWhole)
{
    const int kPerThread = 300;
    auto writer = [](char c) {
        std::string body(100, c);
        for (int i = 0; i < kPerThread; ++i)
            LogMessage("%s\n", body.c_str());
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();
    auto entries = Entries(Log());
    ASSERT_EQ(entries.size(), 2u * kPerThread);
    for (const auto& e : entries)
        EXPECT_TRUE(e == std::string(100, 'a') + "\r\n" || e == std::string(100, 'b') + "\r\n") << e;
}
