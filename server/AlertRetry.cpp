#include "server/AlertRetry.h"

#include "server/AlertText.h"

#include <algorithm>

std::optional<unsigned> ParseRetryAfter(const std::string& value)
{
    const std::size_t first = value.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::nullopt;
    const std::size_t last = value.find_last_not_of(" \t");
    unsigned seconds = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (value[i] < '0' || value[i] > '9')
            return std::nullopt;
        // Anything beyond a day is as good as "too long" and must not overflow.
        seconds = std::min(seconds * 10 + static_cast<unsigned>(value[i] - '0'), 86400u);
    }
    return seconds;
}

std::optional<unsigned> RetryPauseMs(const CTryResult& result, int retriesDone, const CRetryPolicy& policy)
{
    if (retriesDone < 0 || retriesDone >= kAlertRetries)
        return std::nullopt;
    switch (result.m_eKind) {
    case ETryResult::CannotConnect:
    case ETryResult::NoAnswer:
    case ETryResult::ConnectionLost:
        return policy.m_nPauseMs[retriesDone];
    case ETryResult::Certificate:
    case ETryResult::Failed:
        return std::nullopt;
    case ETryResult::Answered:
        break;
    }
    if (result.m_nStatus != 429 && (result.m_nStatus < 500 || result.m_nStatus > 599))
        return std::nullopt;
    if (const std::optional<unsigned> seconds = ParseRetryAfter(result.m_strRetryAfter))
        return std::min(*seconds * 1000u, policy.m_nRetryAfterCapMs);
    return policy.m_nPauseMs[retriesDone];
}

std::optional<std::string> CAlertOutage::OnNotDelivered(const std::string& redacted, const CTryResult& result)
{
    if (m_bOut)
        return std::nullopt;
    m_bOut = true;
    return NotDeliveredLogLine(result, redacted);
}

std::optional<std::string> CAlertOutage::OnDelivered(const std::string& redacted)
{
    if (!m_bOut)
        return std::nullopt;
    m_bOut = false;
    return DeliveredAgainLogLine(redacted);
}
