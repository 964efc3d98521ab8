// What one try of an alert's delivery gave, as the sender reports it and the rules read it.
#pragma once
#include <string>

enum class ETryResult {
    Answered,        // the server answered: m_nStatus
    CannotConnect,   // no connection (refused, no route, a name not found)
    NoAnswer,        // the connection or the answer timed out
    ConnectionLost,  // the connection broke off, or the answer was no HTTP
    Certificate,     // the server's certificate was refused
    Failed,          // the system could not even try (m_nError)
};

struct CTryResult {
    ETryResult m_eKind = ETryResult::Failed;
    unsigned m_nStatus = 0;
    std::string m_strReason;  // the answer's reason phrase as sent, maybe empty
    std::string m_strRetryAfter;  // the answer's Retry-After header, maybe empty
    unsigned long m_nError = 0;
};

CTryResult AnsweredTry(unsigned status, const std::string& reason = std::string(),
                       const std::string& retryAfter = std::string());
CTryResult FailedTry(ETryResult kind, unsigned long error = 0);

// A 2xx answer.
bool IsDelivered(const CTryResult& result);
