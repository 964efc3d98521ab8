#include "server/AlertText.h"

#include <gtest/gtest.h>

namespace {

TEST(AlertText, EachNote)
{
    const struct {
        ERunNote note;
        const char* text;
    } cases[] = {
        {ERunNote::Crashed, "GAMEBOX: NormalDM crashed; starting it again in 5 s."},
        {ERunNote::CrashLoop,
         "GAMEBOX: NormalDM crashed 3 times in a row, each time within 60 s of its launch; it is not restarted."},
        {ERunNote::NotResponding,
         "GAMEBOX: NormalDM stopped responding for 60 s and was ended; starting it again in 5 s."},
        {ERunNote::NotRespondingEnded, "GAMEBOX: NormalDM stopped responding for 60 s and was ended."},
        {ERunNote::LoginFailed, "GAMEBOX: Tollan could not log in to NormalDM and stopped it."},
        {ERunNote::LoginRefused,
         "GAMEBOX: Tollan could not log in to NormalDM, which it picked up; the server keeps running."},
        {ERunNote::ScheduledRestart, "GAMEBOX: NormalDM is restarted as scheduled."},
        {ERunNote::RelaunchFailed, "GAMEBOX: NormalDM could not be started again (no such file); it is down."},
        {ERunNote::RunningAgain, "GAMEBOX: NormalDM is running again."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AlertText(c.note, "GAMEBOX", "NormalDM", "no such file"), c.text) << int(c.note);
    EXPECT_EQ(AlertTestText("GAMEBOX"), "GAMEBOX: a test message from Tollan. Alerts reach you here.");
    // A name is never read as a field.
    EXPECT_EQ(AlertText(ERunNote::RunningAgain, "%CFG%", "100% %PC%"), "%CFG%: 100% %PC% is running again.");
}

TEST(AlertText, BodyCarriesTheMessageTwiceAndTheLostOnes)
{
    EXPECT_EQ(AlertBody("GAMEBOX: NormalDM crashed; starting it again in 5 s.", 0),
              "{\"content\":\"GAMEBOX: NormalDM crashed; starting it again in 5 s.\","
              "\"text\":\"GAMEBOX: NormalDM crashed; starting it again in 5 s.\"}");
    EXPECT_EQ(AlertBody("A.", 1), "{\"content\":\"A. (1 earlier alert was lost.)\",\"text\":\"A. (1 earlier alert was lost.)\"}");
    EXPECT_EQ(LostAlertsNote(7), " (7 earlier alerts were lost.)");
    EXPECT_EQ(LostAlertsNote(0), "");
}

// The cut counts code points, never splits one, and keeps the note of lost alerts whole.
TEST(AlertText, BodyIsCutTo2000Characters)
{
    std::string euros;
    for (int i = 0; i < 2100; ++i)
        euros += "\xE2\x82\xAC";
    const std::string note = LostAlertsNote(2);
    std::string expected;
    for (std::size_t i = 0; i < kAlertMaxChars - note.size(); ++i)
        expected += "\xE2\x82\xAC";
    expected += note;
    EXPECT_EQ(AlertBody(euros, 2), "{\"content\":\"" + expected + "\",\"text\":\"" + expected + "\"}");
}

TEST(AlertText, Outcomes)
{
    const std::string where = "https://host:443";
    EXPECT_EQ(DeliveredText(21, 4, 204), "Delivered at 21:04 (HTTP 204)");
    const struct {
        CTryResult result;
        const char* dialog;
        const char* log;
    } cases[] = {
        {AnsweredTry(404, "Gone Fishing"), "Not delivered: the server answered 404 (Gone Fishing)",
         "ERR:  Alert not delivered to https://host:443: the server answered 404 (Gone Fishing).\n"},
        // No reason phrase (HTTP/2, a terse server): the standard one; an unknown status stands alone.
        {AnsweredTry(503), "Not delivered: the server answered 503 (Service Unavailable)",
         "ERR:  Alert not delivered to https://host:443: the server answered 503 (Service Unavailable).\n"},
        {AnsweredTry(418, " \x01\x7F "), "Not delivered: the server answered 418",
         "ERR:  Alert not delivered to https://host:443: the server answered 418.\n"},
        {FailedTry(ETryResult::CannotConnect), "Not delivered: could not connect to https://host:443.",
         "ERR:  Alert not delivered to https://host:443: could not connect.\n"},
        {FailedTry(ETryResult::NoAnswer), "Not delivered: https://host:443 did not answer in time.",
         "ERR:  Alert not delivered to https://host:443: no answer in time.\n"},
        {FailedTry(ETryResult::Certificate), "Not delivered: the certificate of https://host:443 was refused.",
         "ERR:  Alert not delivered to https://host:443: its certificate was refused.\n"},
        {FailedTry(ETryResult::ConnectionLost), "Not delivered: the connection to https://host:443 broke off.",
         "ERR:  Alert not delivered to https://host:443: the connection broke off.\n"},
        {FailedTry(ETryResult::Failed, 12004),
         "Not delivered: Windows could not send it to https://host:443 (error 12004).",
         "ERR:  Alert not delivered to https://host:443: Windows error 12004.\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NotDeliveredText(c.result, where), c.dialog);
        EXPECT_EQ(NotDeliveredLogLine(c.result, where), c.log);
    }
    EXPECT_EQ(RetryingText(AnsweredTry(503), where, 7500),
              "Not delivered yet: the server answered 503 (Service Unavailable); trying again in 8 s.");
    EXPECT_EQ(DeliveredAgainLogLine(where), "INF:  Alerts are delivered again to https://host:443.\n");
}

}  // namespace
