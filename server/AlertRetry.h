// When an alert is tried again, and when a failure is worth a line in Tollan.log. Both decide
// from what one try gave; the sender hands in the clock's worth as pauses and does the waiting.
#pragma once
#include "server/AlertTry.h"

#include <optional>
#include <string>

// The pauses before the first, second and third retry, and the longest Retry-After we wait.
struct CRetryPolicy {
    unsigned m_nPauseMs[3] = {2000, 8000, 20000};
    unsigned m_nRetryAfterCapMs = 60000;
};
constexpr int kAlertRetries = 3;

// Retry-After in delta-seconds ("120"); nothing for a date or anything else.
std::optional<unsigned> ParseRetryAfter(const std::string& value);

// After a try that was not delivered, with `retriesDone` retries behind it: the pause before the
// next try, or nothing when the failure is final. A connection failure, a time-out, a 5xx or a
// 429 is tried again; any other answer and a refused certificate are final.
std::optional<unsigned> RetryPauseMs(const CTryResult& result, int retriesDone,
                                     const CRetryPolicy& policy = CRetryPolicy());

// One "ERR:" line per outage, not per try or per message: the first alert that is finally not
// delivered begins an outage, the next one delivered ends it with one "INF:" line. The lines
// name only the redacted address.
class CAlertOutage {
public:
    // The line to log, if any, e.g. "ERR:  Alert not delivered to https://host:443: the server
    // answered 503 (Service Unavailable).\n".
    std::optional<std::string> OnNotDelivered(const std::string& redacted, const CTryResult& result);
    std::optional<std::string> OnDelivered(const std::string& redacted);
    // Another address: what the old one did says nothing of the new.
    void Reset() { m_bOut = false; }
    bool IsOut() const { return m_bOut; }

private:
    bool m_bOut = false;
};
