#include "server/AlertText.h"

#include "base/StringPrintf.h"
#include "server/Json.h"

#include <cstring>

namespace {

const char* Template(ERunNote note)
{
    switch (note) {
    case ERunNote::Crashed: return "%PC%: %CFG% crashed; starting it again in 5 s.";
    case ERunNote::CrashLoop:
        return "%PC%: %CFG% crashed 3 times in a row, each time within 60 s of its launch; it is not restarted.";
    case ERunNote::NotResponding:
        return "%PC%: %CFG% stopped responding for 60 s and was ended; starting it again in 5 s.";
    case ERunNote::NotRespondingEnded: return "%PC%: %CFG% stopped responding for 60 s and was ended.";
    case ERunNote::LoginFailed: return "%PC%: Tollan could not log in to %CFG% and stopped it.";
    case ERunNote::LoginRefused:
        return "%PC%: Tollan could not log in to %CFG%, which it picked up; the server keeps running.";
    case ERunNote::ScheduledRestart: return "%PC%: %CFG% is restarted as scheduled.";
    case ERunNote::RelaunchFailed: return "%PC%: %CFG% could not be started again (%DETAIL%); it is down.";
    case ERunNote::RunningAgain: return "%PC%: %CFG% is running again.";
    }
    return "%PC%: %CFG%";
}

// The template with its fields filled in one pass, so that a name holding "%CFG%" stays as it is.
std::string Fill(const char* text, const std::string& computer, const std::string& config, const std::string& detail)
{
    const struct {
        const char* field;
        const std::string& value;
    } fields[] = {{"%PC%", computer}, {"%CFG%", config}, {"%DETAIL%", detail}};
    std::string out;
    for (const char* p = text; *p;) {
        bool filled = false;
        for (const auto& f : fields) {
            const std::size_t length = std::strlen(f.field);
            if (std::strncmp(p, f.field, length) == 0) {
                out += f.value;
                p += length;
                filled = true;
                break;
            }
        }
        if (!filled)
            out += *p++;
    }
    return out;
}

// The reason phrase a server sent, as far as it can be shown: printable ASCII, 60 characters.
std::string ShownReason(const std::string& reason)
{
    std::string out;
    for (char c : reason)
        if (c >= 0x20 && c < 0x7F && out.size() < 60)
            out += c;
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    while (!out.empty() && out.front() == ' ')
        out.erase(0, 1);
    return out;
}

std::string AnswerText(const CTryResult& r)
{
    std::string reason = ShownReason(r.m_strReason);
    if (reason.empty())
        reason = StandardReasonPhrase(r.m_nStatus);
    if (reason.empty())
        return StringPrintf("the server answered %u", r.m_nStatus);
    return StringPrintf("the server answered %u (%s)", r.m_nStatus, reason.c_str());
}

// Why a try failed, naming the address where the sentence needs it.
std::string FailureText(const CTryResult& r, const std::string& where)
{
    switch (r.m_eKind) {
    case ETryResult::Answered: return AnswerText(r);
    case ETryResult::CannotConnect: return "could not connect to " + where;
    case ETryResult::NoAnswer: return where + " did not answer in time";
    case ETryResult::ConnectionLost: return "the connection to " + where + " broke off";
    case ETryResult::Certificate: return "the certificate of " + where + " was refused";
    case ETryResult::Failed: break;
    }
    return StringPrintf("Windows could not send it to %s (error %lu)", where.c_str(), r.m_nError);
}

}  // namespace

std::string AlertText(ERunNote note, const std::string& computer, const std::string& config, const std::string& detail)
{
    return Fill(Template(note), computer, config, detail);
}

std::string AlertTestText(const std::string& computer)
{
    return Fill("%PC%: a test message from Tollan. Alerts reach you here.", computer, "", "");
}

std::string LostAlertsNote(unsigned lost)
{
    if (lost == 0)
        return std::string();
    if (lost == 1)
        return " (1 earlier alert was lost.)";
    return StringPrintf(" (%u earlier alerts were lost.)", lost);
}

std::string AlertBody(const std::string& utf8Message, unsigned lost)
{
    const std::string note = LostAlertsNote(lost);
    const std::string message = CutCodePoints(ValidUtf8(utf8Message), kAlertMaxChars - note.size()) + note;
    return JsonObjectOfStrings({{"content", message}, {"text", message}});
}

std::string StandardReasonPhrase(unsigned status)
{
    switch (status) {
    case 200: return "OK";
    case 201: return "Created";
    case 202: return "Accepted";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 410: return "Gone";
    case 413: return "Content Too Large";
    case 415: return "Unsupported Media Type";
    case 422: return "Unprocessable Content";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 501: return "Not Implemented";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    }
    return std::string();
}

std::string DeliveredText(int hour, int minute, unsigned status)
{
    return StringPrintf("Delivered at %02d:%02d (HTTP %u)", hour % 100, minute % 100, status);
}

std::string NotDeliveredText(const CTryResult& result, const std::string& redacted)
{
    // An answer is quoted as it came; the other reasons are sentences of their own.
    return "Not delivered: " + FailureText(result, redacted) + (result.m_eKind == ETryResult::Answered ? "" : ".");
}

std::string RetryingText(const CTryResult& result, const std::string& redacted, unsigned pauseMs)
{
    return StringPrintf("Not delivered yet: %s; trying again in %u s.", FailureText(result, redacted).c_str(),
                        (pauseMs + 999) / 1000);
}

std::string NotDeliveredLogLine(const CTryResult& result, const std::string& redacted)
{
    std::string why;
    switch (result.m_eKind) {
    case ETryResult::Answered: why = AnswerText(result); break;
    case ETryResult::CannotConnect: why = "could not connect"; break;
    case ETryResult::NoAnswer: why = "no answer in time"; break;
    case ETryResult::ConnectionLost: why = "the connection broke off"; break;
    case ETryResult::Certificate: why = "its certificate was refused"; break;
    case ETryResult::Failed: why = StringPrintf("Windows error %lu", result.m_nError); break;
    }
    return StringPrintf("ERR:  Alert not delivered to %s: %s.\n", redacted.c_str(), why.c_str());
}

std::string DeliveredAgainLogLine(const std::string& redacted)
{
    return StringPrintf("INF:  Alerts are delivered again to %s.\n", redacted.c_str());
}
