#include "app/StartOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(StartOptions, CommandLines)
{
    struct Case {
        const char* m_pszLine;
        bool m_bStart;
        const char* m_pszConfig;
        bool m_bMinimized;
        size_t m_nProblems;
    } cases[] = {
        {"", false, "", false, 0},
        {"/start", true, "", false, 0},
        {"/START /Minimized", true, "", true, 0},
        {"-start \"Normal DM\" /minimized", true, "Normal DM", true, 0},
        {"/start NormalCOOP", true, "NormalCOOP", false, 0},
        {"/minimized /start", true, "", true, 0},
        {"/quick", false, "", false, 1},
        {"NormalDM", false, "", false, 1},
        {"/start A B", true, "A", false, 1},
        {"  /start   \"\"  ", true, "", false, 0},
        {"\"\" /start", true, "", false, 1},  // an empty word: a shortcut's stray quotes
    };
    for (const Case& c : cases) {
        const CStartOptions o = ParseStartOptions(c.m_pszLine);
        EXPECT_EQ(o.m_bStart, c.m_bStart) << c.m_pszLine;
        EXPECT_EQ(o.m_strConfig, c.m_pszConfig) << c.m_pszLine;
        EXPECT_EQ(o.m_bMinimized, c.m_bMinimized) << c.m_pszLine;
        EXPECT_EQ(o.m_astrProblems.size(), c.m_nProblems) << c.m_pszLine;
    }
    EXPECT_EQ(ParseStartOptions("/x").m_astrProblems.at(0),
              "ERR:  The command line's \"/x\" is not understood; Tollan starts without launching the server.\n");
}

TEST(StartOptions, WhatStartUpLaunches)
{
    const std::vector<std::string> stored = {"NormalDM", "NormalCOOP"};
    auto choose = [&](const char* line, bool setting, bool pickedUp, std::optional<std::string> last) {
        return ChooseStartLaunch(ParseStartOptions(line), setting, pickedUp, last, stored);
    };
    EXPECT_EQ(choose("", false, false, std::string("NormalDM")).m_strConfig, std::nullopt);
    EXPECT_EQ(choose("", true, false, std::string("NormalDM")).m_strConfig, std::optional<std::string>("NormalDM"));
    EXPECT_EQ(choose("/start", false, false, std::string("NormalCOOP")).m_strConfig,
              std::optional<std::string>("NormalCOOP"));
    EXPECT_EQ(choose("/start NormalDM", false, false, std::string("NormalCOOP")).m_strConfig,
              std::optional<std::string>("NormalDM"));
    for (const char* refused : {"/start Missing", "/start normaldm", "/start \"a:b\"", "/start /bogus"})
        EXPECT_EQ(choose(refused, false, false, std::string("NormalDM")).m_strConfig, std::nullopt) << refused;
    EXPECT_EQ(choose("/start \"a:b\"", false, false, std::nullopt).m_strLogLine,
              "ERR:  \"a:b\" cannot be a configuration name; nothing is launched at start-up.\n");
    EXPECT_EQ(choose("/start", true, true, std::string("NormalDM")).m_strLogLine,
              "INF:  A server was picked up at start-up, so none is launched.\n");
    EXPECT_EQ(choose("/start", false, false, std::nullopt).m_strLogLine,
              "ERR:  No configuration was launched before, so none is launched at start-up.\n");
}

}  // namespace
