#include "server/AlertTry.h"

CTryResult AnsweredTry(unsigned status, const std::string& reason, const std::string& retryAfter)
{
    CTryResult r;
    r.m_eKind = ETryResult::Answered;
    r.m_nStatus = status;
    r.m_strReason = reason;
    r.m_strRetryAfter = retryAfter;
    return r;
}

CTryResult FailedTry(ETryResult kind, unsigned long error)
{
    CTryResult r;
    r.m_eKind = kind;
    r.m_nError = error;
    return r;
}

bool IsDelivered(const CTryResult& result)
{
    return result.m_eKind == ETryResult::Answered && result.m_nStatus >= 200 && result.m_nStatus < 300;
}
