#include "installer/WizardModel.h"

#include "installer/InstallPlan.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

Lines D(const CWizardActions& actions)
{
    Lines out;
    for (const CWizardAction& a : actions)
        out.push_back(Describe(a));
    return out;
}

// The frame as the user sees it: the visible panel, then each button shown with its text.
std::string Shown(const CWizardView& v)
{
    std::string s = "page " + std::to_string(v.m_nShownPage);
    if (v.m_bBack)
        s += " back";
    if (v.m_bNext)
        s += " next '" + v.m_strNext + "'";
    if (v.m_bCancel)
        s += v.m_bCancelEnabled ? " cancel" : " cancel(off)";
    if (v.m_bHeader)
        s += " header '" + v.m_strTitle + "'";
    return s;
}

CWizardFacts Folder(EGameFolder folder)
{
    CWizardFacts facts;
    facts.m_eFolder = folder;
    return facts;
}

const CWizardFacts kUsable = Folder(EGameFolder::Usable);
const char kPage0[] = "page 0 next '&Next >' cancel";
const char kPage1[] = "page 1 back next '&Next >' cancel header 'Destination Folder'";
const char kPage2[] = "page 2 back next '&Install' cancel header 'Select Additional Tasks'";
const Lines kRunStarts = {"hide page 2", "show page 3", "open log", "hide next", "hide back", "disable cancel",
                          "start run"};

// From the welcome page to "&Install" pressed with a usable folder; the run has started.
CWizardModel Running()
{
    CWizardModel w;
    w.OnOpened(true);
    for (int i = 0; i < 3; ++i)
        w.OnNext(kUsable);
    w.OnRunStarted(true);
    return w;
}

class WizardModelTest : public testing::Test {
protected:
    void SetUp() override { m.OnOpened(true); }
    CWizardModel m;
};

TEST_F(WizardModelTest, NextAndBackShowEachPagesButtonsAndHeader)
{
    struct Step {
        const char* event;
        std::string shown;
    };
    const Step steps[] = {{"open", kPage0}, {"next", kPage1}, {"next", kPage2}, {"back", kPage1},
                          {"next", kPage2}, {"back", kPage1}, {"back", kPage0}, {"back", kPage0}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.event);
        if (std::string(step.event) == "next")
            m.OnNext(kUsable);
        else if (std::string(step.event) == "back")
            m.OnBack();
        EXPECT_EQ(Shown(m.View()), step.shown);
    }
    m.OnNext(kUsable);
    m.OnNext(kUsable);
    EXPECT_EQ(m.View().m_strSubtitle, "Which additional tasks should be performed during installation?");
    EXPECT_EQ(D(m.OnBack()), (Lines{"hide page 2", "show page 1", "show back", "next &Next >",
                                   "header Destination Folder|Where should the DQ2 Dedicated Server Utility be "
                                   "installed?"}));
}

TEST_F(WizardModelTest, WithoutAFolderTheDestinationPageOpensTheBrowserBeforeItsHeader)
{
    EXPECT_EQ(D(m.OnNext(Folder(EGameFolder::None))),
              (Lines{"hide page 0", "show page 1", "show back", "show header", "next &Next >", "browse"}));
    EXPECT_EQ(D(m.OnBrowsed(EGameFolder::None)),
              (Lines{"header Destination Folder|Where should the DQ2 Dedicated Server Utility be installed?"}));
    // Back to page 1 never browses; only entering it from the welcome page does, every time.
    m.OnNext(Folder(EGameFolder::None));
    EXPECT_EQ(D(m.OnBack()).back(),
              "header Destination Folder|Where should the DQ2 Dedicated Server Utility be installed?");
    m.OnBack();
    EXPECT_EQ(D(m.OnNext(Folder(EGameFolder::None))).back(), "browse");
    m.OnBrowsed(EGameFolder::Usable);
    EXPECT_EQ(D(m.OnBrowsePressed()), Lines{"browse"});
    EXPECT_EQ(D(m.OnBrowsed(EGameFolder::Usable)), Lines{});
    EXPECT_EQ(Shown(m.View()), kPage1);
}

TEST_F(WizardModelTest, InstallNeedsAFolderThatExists)
{
    m.OnNext(kUsable);
    m.OnNext(kUsable);
    for (EGameFolder folder : {EGameFolder::None, EGameFolder::Missing}) {
        EXPECT_EQ(D(m.OnNext(Folder(folder))), Lines{"browse"});
        EXPECT_EQ(D(m.OnBrowsed(EGameFolder::Missing)), Lines{});
        EXPECT_EQ(Shown(m.View()), kPage2);
    }
    m.OnNext(Folder(EGameFolder::Missing));
    EXPECT_EQ(D(m.OnBrowsed(EGameFolder::Usable)), kRunStarts);
}

TEST_F(WizardModelTest, TheRunEndsOnTheFinishedPageAndFinishDoesWhatItsBoxesShow)
{
    m.OnNext(kUsable);
    m.OnNext(kUsable);
    EXPECT_EQ(D(m.OnNext(kUsable)), kRunStarts);
    EXPECT_EQ(D(m.OnRunStarted(true)), Lines{});
    m.OnRunHidesButtons();
    m.OnRunHeader("Installing", "The program features you have selected are being installed.");
    EXPECT_EQ(Shown(m.View()), "page 3 cancel(off) header 'Installing'");
    // The run cannot be left or cancelled while it works.
    EXPECT_EQ(D(m.OnNext(kUsable)), Lines{});
    EXPECT_EQ(D(m.OnBack()), Lines{});
    EXPECT_EQ(D(m.OnCancel()), Lines{});

    EXPECT_EQ(D(m.OnRunCompleted()), (Lines{"hide cancel", "hide back", "hide header", "hide page 3", "show page 4",
                                            "next Finish", "show next", "focus next", "repaint line"}));
    EXPECT_EQ(Shown(m.View()), "page 4 next 'Finish'");
    EXPECT_EQ(m.Page(), EWizardPage::Progress);

    // Finish: Tollan first, then the read-me, each only when its box shows a tick.
    const Lines finish = {"hide page 3", "show page 4", "next &Finish", "hide cancel", "hide back", "hide header"};
    for (int ticks = 0; ticks < 4; ++ticks) {
        CWizardModel w = Running();
        w.OnRunCompleted();
        CWizardFacts facts = kUsable;
        facts.m_bLaunchUtility = (ticks & 1) != 0;
        facts.m_bViewReadMe = (ticks & 2) != 0;
        Lines expected = finish;
        if (facts.m_bLaunchUtility)
            expected.push_back("launch utility");
        if (facts.m_bViewReadMe)
            expected.push_back("open read-me");
        expected.push_back("close 1");
        EXPECT_EQ(D(w.OnNext(facts)), expected) << ticks;
    }
}

TEST_F(WizardModelTest, CancelAsksUntilTheRunHasCompleted)
{
    EXPECT_EQ(D(m.OnCancel()), Lines{"ask cancel"});
    EXPECT_EQ(D(m.OnCancelAnswered(false)), Lines{});
    EXPECT_EQ(Shown(m.View()), kPage0);
    m.OnNext(kUsable);
    m.OnCancel();
    EXPECT_EQ(D(m.OnCancelAnswered(true)), Lines{"close 2"});

    // A run that stopped early leaves Cancel, with its question, as the only way out.
    CWizardModel stopped = Running();
    EXPECT_EQ(D(stopped.OnRunStopped()), Lines{"enable cancel"});
    stopped.OnRunEnded();
    EXPECT_EQ(D(stopped.OnCancel()), Lines{"ask cancel"});

    // After the run, Cancel (Escape, closing the frame) ends the wizard without asking.
    CWizardModel completed = Running();
    completed.OnRunCompleted();
    EXPECT_EQ(D(completed.OnCancel()), Lines{"close 2"});
}

TEST_F(WizardModelTest, AWorkerThatDoesNotStartLeavesCancelUsable)
{
    m.OnNext(kUsable);
    m.OnNext(kUsable);
    m.OnNext(kUsable);
    EXPECT_EQ(D(m.OnRunStarted(false)), Lines{"enable cancel"});
    EXPECT_EQ(Shown(m.View()), "page 3 cancel header 'Select Additional Tasks'");
    EXPECT_EQ(D(m.OnBack()), Lines{});
    EXPECT_EQ(D(m.OnCancel()), Lines{"ask cancel"});
}

TEST_F(WizardModelTest, EnterAfterAStoppedRunDoesNotReachTheFinishedPage)
{
    // Next is hidden then, but stays the default button that Enter presses.
    CWizardModel stopped = Running();
    stopped.OnRunStopped();
    stopped.OnRunEnded();
    EXPECT_EQ(D(stopped.OnNext(kUsable)), Lines{});
    EXPECT_EQ(Shown(stopped.View()), "page 3 cancel header 'Select Additional Tasks'");
    for (int i = 0; i < 3; ++i)
        m.OnNext(kUsable);
    m.OnRunStarted(false);
    EXPECT_EQ(D(m.OnNext(kUsable)), Lines{});
}

TEST_F(WizardModelTest, WhileItAsksOrAfterItClosedTheButtonsDoNothing)
{
    // A click can reach the frame under a modal box (a posted one, or one already queued).
    struct Case {
        const char* m_pszWhat;
        void (*m_arrange)(CWizardModel&);
    };
    const Case cases[] = {
        {"browser on entering page 1", [](CWizardModel& w) { w.OnNext(Folder(EGameFolder::None)); }},
        {"browser of the Browse button", [](CWizardModel& w) { w.OnNext(kUsable); w.OnBrowsePressed(); }},
        {"browser before the run",
         [](CWizardModel& w) { w.OnNext(kUsable); w.OnNext(kUsable); w.OnNext(Folder(EGameFolder::Missing)); }},
        {"cancel question", [](CWizardModel& w) { w.OnNext(kUsable); w.OnCancel(); }},
        {"closed", [](CWizardModel& w) { w.OnNext(kUsable); w.OnCancel(); w.OnCancelAnswered(true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.m_pszWhat);
        CWizardModel w;
        w.OnOpened(true);
        c.m_arrange(w);
        const std::string before = Shown(w.View());
        EXPECT_EQ(D(w.OnNext(kUsable)), Lines{});
        EXPECT_EQ(D(w.OnBack()), Lines{});
        EXPECT_EQ(D(w.OnCancel()), Lines{});
        EXPECT_EQ(D(w.OnBrowsePressed()), Lines{});
        EXPECT_EQ(Shown(w.View()), before);
    }
}

TEST_F(WizardModelTest, AGameFolderTooLongToInstallBelowIsRefusedWithAWarning)
{
    const std::string longest(kMaxGameFolderChars, 'g');
    struct Case {
        std::string m_strFolder;
        bool m_bIsDirectory;
        EGameFolder m_eJudged;
    };
    const Case cases[] = {{"", true, EGameFolder::None},
                          {longest + "g", true, EGameFolder::TooLong},
                          {longest, false, EGameFolder::Missing},
                          {longest, true, EGameFolder::Usable}};
    for (const Case& c : cases)
        EXPECT_EQ(JudgeGameFolder(c.m_strFolder, c.m_bIsDirectory), c.m_eJudged) << c.m_strFolder.size();

    m.OnNext(kUsable);
    m.OnNext(kUsable);
    CWizardFacts facts = Folder(EGameFolder::TooLong);
    facts.m_strGameFolder = "D:\\Deep";
    EXPECT_EQ(D(m.OnNext(facts)),
              (Lines{"warn The path of this game folder is too long to install the DQ2 Dedicated Server Utility "
                     "below it:\n\nD:\\Deep\n\nPlease choose a game folder whose path has at most 178 characters.",
                     "browse"}));
    EXPECT_EQ(D(m.OnBrowsed(EGameFolder::TooLong)), Lines{});
    EXPECT_EQ(Shown(m.View()), kPage2);
}

TEST(WizardModel, WithoutItsPanelsTheFrameOpensWithoutAPageAndNextDoesNothing)
{
    CWizardModel m;
    EXPECT_EQ(D(m.OnOpened(false)), Lines{"hide back"});
    EXPECT_EQ(D(m.OnNext(kUsable)), Lines{});
    EXPECT_EQ(D(m.OnCancel()), Lines{"ask cancel"});
}

}  // namespace
