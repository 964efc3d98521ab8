#include "server/AlertQueue.h"
#include "server/AlertRetry.h"

#include <gtest/gtest.h>

namespace {

const std::optional<unsigned> kFinal;

TEST(AlertRetry, WhatIsTriedAgainAndWhen)
{
    const struct {
        CTryResult result;
        std::optional<unsigned> pauses[4];  // after the first try and each retry
    } cases[] = {
        {FailedTry(ETryResult::CannotConnect), {2000u, 8000u, 20000u, kFinal}},
        {FailedTry(ETryResult::ConnectionLost), {2000u, 8000u, 20000u, kFinal}},
        {AnsweredTry(503), {2000u, 8000u, 20000u, kFinal}},
        {AnsweredTry(429), {2000u, 8000u, 20000u, kFinal}},
        {AnsweredTry(429, "", "5"), {5000u, 5000u, 5000u, kFinal}},
        {AnsweredTry(503, "", " 0 "), {0u, 0u, 0u, kFinal}},
        {AnsweredTry(503, "", "3600"), {60000u, 60000u, 60000u, kFinal}},  // honoured up to 60 s
        // A date is not waited for: the usual pauses.
        {AnsweredTry(503, "", "Wed, 21 Oct 2015 07:28:00 GMT"), {2000u, 8000u, 20000u, kFinal}},
        {AnsweredTry(404), {kFinal, kFinal, kFinal, kFinal}},
        {AnsweredTry(400, "", "5"), {kFinal, kFinal, kFinal, kFinal}},
        {AnsweredTry(600), {kFinal, kFinal, kFinal, kFinal}},
        {FailedTry(ETryResult::Certificate), {kFinal, kFinal, kFinal, kFinal}},
    };
    for (const auto& c : cases)
        for (int retries = 0; retries < 4; ++retries)
            EXPECT_EQ(RetryPauseMs(c.result, retries), c.pauses[retries])
                << int(c.result.m_eKind) << " " << c.result.m_nStatus << " " << retries;
    CRetryPolicy quick;
    quick.m_nPauseMs[1] = 7;
    quick.m_nRetryAfterCapMs = 1000;
    EXPECT_EQ(RetryPauseMs(AnsweredTry(502), 1, quick), 7u);
    EXPECT_EQ(RetryPauseMs(AnsweredTry(502, "", "2"), 1, quick), 1000u);
}

TEST(AlertRetry, DeliveredIsAny2xx)
{
    for (unsigned status : {199u, 200u, 204u, 299u, 300u})
        EXPECT_EQ(IsDelivered(AnsweredTry(status)), status / 100 == 2) << status;
    EXPECT_FALSE(IsDelivered(FailedTry(ETryResult::NoAnswer)));
}

TEST(AlertOutage, OneErrorLinePerOutage)
{
    const std::string where = "https://host:443";
    CAlertOutage outage;
    EXPECT_FALSE(outage.OnDelivered(where));  // nothing to end
    EXPECT_EQ(outage.OnNotDelivered(where, AnsweredTry(503, "Service Unavailable")),
              "ERR:  Alert not delivered to https://host:443: the server answered 503 (Service Unavailable).\n");
    EXPECT_FALSE(outage.OnNotDelivered(where, AnsweredTry(503)));
    EXPECT_FALSE(outage.OnNotDelivered(where, FailedTry(ETryResult::CannotConnect)));
    EXPECT_EQ(outage.OnDelivered(where), "INF:  Alerts are delivered again to https://host:443.\n");
    EXPECT_FALSE(outage.OnDelivered(where));
    EXPECT_TRUE(outage.OnNotDelivered(where, FailedTry(ETryResult::CannotConnect)));  // a new outage
    outage.Reset();
    EXPECT_FALSE(outage.OnDelivered("https://other:443"));
}

TEST(AlertQueue, BoundDropsTheOldestAndCountsThem)
{
    CAlertQueue queue;
    for (int i = 0; i < 35; ++i)
        queue.Push({std::to_string(i)});
    EXPECT_EQ(queue.Size(), kAlertQueueMax);
    EXPECT_EQ(queue.Lost(), 3u);
    queue.Push({"test", true});  // first in line; the oldest alert makes room
    EXPECT_EQ(queue.Lost(), 4u);
    EXPECT_EQ(queue.Pop()->m_strText, "test");
    EXPECT_EQ(queue.Pop()->m_strText, "4");

    // Reported while another was lost meanwhile: that one stays counted.
    queue.Push({"x"});
    queue.Push({"y"});
    queue.Push({"z"});
    EXPECT_EQ(queue.Lost(), 5u);
    queue.Reported(4);
    EXPECT_EQ(queue.Lost(), 1u);
    queue.CountLost({"failed"});
    queue.CountLost({"test", true});
    EXPECT_EQ(queue.Lost(), 2u);
    queue.Clear();
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_EQ(queue.Lost(), 0u);
    EXPECT_FALSE(queue.Pop());
}

}  // namespace
