#include "controls/CommandLineModel.h"
#include "controls/LinkLabelModel.h"

#include <gtest/gtest.h>

namespace {

using K = ECommandLineKey;

// Enter in the edit field: the pending command takes the field's text.
void EnterIn(CCommandLineModel& m, const std::string& field)
{
    m.OnEditKey(false, kKeyEnter, [&] { return field; });
}

void Backspace(CCommandLineModel& m)
{
    m.OnEditKey(true, kKeyBackspace, [] () -> std::string { ADD_FAILURE() << "field read"; return ""; });
}

}  // namespace

TEST(CommandLine, PendingCommandChangesOnlyAtItsMoments)
{
    CCommandLineModel m;
    EXPECT_EQ(m.PendingCommand(), "");
    // Typing alone (any key but Enter) leaves it; only the Backspace character shortens it.
    m.OnEditKey(false, 'Q', [] { return std::string("never read"); });
    m.OnEditKey(false, kKeyBackspace, [] { return std::string("never read"); });
    EXPECT_EQ(m.PendingCommand(), "");
    EnterIn(m, "qelBanIP(3)");
    EXPECT_EQ(m.PendingCommand(), "qelBanIP(3)");
    m.OnEditKey(true, kKeyEnter, [] { return std::string("by the character"); });
    EXPECT_EQ(m.PendingCommand(), "by the character");
    m.OnEntrySelected("qelNextMap()");
    EXPECT_EQ(m.PendingCommand(), "qelNextMap()");
    Backspace(m);
    Backspace(m);
    EXPECT_EQ(m.PendingCommand(), "qelNextMap");
    for (int i = 0; i < 20; ++i)
        Backspace(m);
    EXPECT_EQ(m.PendingCommand(), "");
}

TEST(CommandLine, SendTakesWhatTheFieldShows)
{
    CCommandLineModel m;
    m.OnEntrySelected("qelBanIP()");
    // The focus was on a button, so no Enter reached the field after the user typed.
    EXPECT_EQ(m.TakeForSend("qelKickPlayer(7)"), "qelKickPlayer(7)");
    EXPECT_EQ(m.PendingCommand(), "");
    EXPECT_EQ(m.TakeForSend(""), "");
}

TEST(CommandLine, ComboKeyRules)
{
    struct Case {
        std::string m_strPending;
        unsigned m_nCode;
        bool m_bOpen;
        K m_eExpected;
    } cases[] = {
        {"", 'Q', false, K::kOpenList},
        {"qelBa", 'Z', false, K::kOpenList},           // 5 characters: still short
        {"qelBan", 'Q', false, K::kPass},              // 6: no longer
        {"qelKickPlayer()", 'Q', false, K::kPass},
        {"", 'Q', true, K::kPass},                     // already open
        {"", 'a', false, K::kOpenList},                // numeric keypad 1 reads as "a"
        {"", '1', false, K::kPass},
        {"", 0x26, false, K::kPass},                   // Up: "&" is no letter
        {"", kKeyEnter, true, K::kCloseList},
        {"", kKeyEnter, false, K::kPass},
        {"", kKeyTab, true, K::kCloseList},
        {"", kKeyTab, false, K::kNextEntry},
        {"qelKickPlayer()", kKeyTab, false, K::kNextEntry},
    };
    for (const Case& c : cases) {
        CCommandLineModel m;
        m.OnEntrySelected(c.m_strPending);
        EXPECT_EQ(m.OnComboKeyDown(c.m_nCode, c.m_bOpen), c.m_eExpected)
            << "pending \"" << c.m_strPending << "\" key " << c.m_nCode << (c.m_bOpen ? " open" : " closed");
    }
}

TEST(LinkLabel, ColoursFollowHoverAndVisit)
{
    CLinkLabelModel link;
    EXPECT_EQ(link.Colour(), kLinkBlue);
    struct Step {
        bool inside, press;
        bool open, redraw;
        std::uint32_t colour;
    } steps[] = {
        {false, true, false, false, kLinkBlue},   // a press elsewhere
        {true, false, false, true, kLinkRed},     // onto the link
        {true, true, true, false, kLinkRed},      // the press opens it, still red
        {true, false, false, false, kLinkRed},    // held and moved on the link: once only
        {false, false, false, true, kLinkPurple}, // off it
        {true, false, false, true, kLinkRed},
        {false, false, false, true, kLinkPurple},
    };
    for (const Step& s : steps) {
        CLinkStep got = link.OnMessage(s.inside, s.press);
        EXPECT_EQ(got.m_bOpen, s.open);
        EXPECT_EQ(got.m_bRedraw, s.redraw);
        EXPECT_EQ(link.Colour(), s.colour);
    }
    EXPECT_TRUE(link.IsVisited());
}
