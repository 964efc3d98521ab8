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

// Why a try failed, naming the address (the format's %s) where the sentence needs it, and the
// system's error where it has one.
std::string FailureText(const CTryResult& r, const std::string& where)
{
    const char* format = "Windows could not send it to %s (error %lu)";
    switch (r.m_eKind) {
    case ETryResult::Answered: return AnswerText(r);
    case ETryResult::CannotConnect: format = "could not connect to %s"; break;
    case ETryResult::NoAnswer: format = "%s did not answer in time"; break;
    case ETryResult::ConnectionLost: format = "the connection to %s broke off"; break;
    case ETryResult::Certificate: format = "the certificate of %s was refused"; break;
    case ETryResult::Failed: break;
    }
    return StringPrintf(format, where.c_str(), r.m_nError);
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
    const std::string value = JsonString(message);
    return StringPrintf("{\"content\":%s,\"text\":%s}", value.c_str(), value.c_str());
}

const char* StandardReasonPhrase(unsigned status)
{
    static const struct {
        unsigned short m_nStatus;
        const char* m_pszPhrase;
    } kPhrases[] = {{200, "OK"},
                    {201, "Created"},
                    {202, "Accepted"},
                    {204, "No Content"},
                    {301, "Moved Permanently"},
                    {302, "Found"},
                    {303, "See Other"},
                    {307, "Temporary Redirect"},
                    {308, "Permanent Redirect"},
                    {400, "Bad Request"},
                    {401, "Unauthorized"},
                    {403, "Forbidden"},
                    {404, "Not Found"},
                    {405, "Method Not Allowed"},
                    {408, "Request Timeout"},
                    {410, "Gone"},
                    {413, "Content Too Large"},
                    {415, "Unsupported Media Type"},
                    {422, "Unprocessable Content"},
                    {429, "Too Many Requests"},
                    {500, "Internal Server Error"},
                    {501, "Not Implemented"},
                    {502, "Bad Gateway"},
                    {503, "Service Unavailable"},
                    {504, "Gateway Timeout"}};
    for (const auto& p : kPhrases)
        if (p.m_nStatus == status)
            return p.m_pszPhrase;
    return "";
}

std::string DeliveredText(int hour, int minute, unsigned status)
{
    return StringPrintf("Delivered at %02d:%02d (HTTP %u)", hour % 100, minute % 100, status);
}

std::string NotDeliveredText(const CTryResult& result, const std::string& redacted)
{
    // An answer is quoted as it came; the other reasons are sentences of their own.
    return StringPrintf("Not delivered: %s%s", FailureText(result, redacted).c_str(),
                        result.m_eKind == ETryResult::Answered ? "" : ".");
}

std::string RetryingText(const CTryResult& result, const std::string& redacted, unsigned pauseMs)
{
    return StringPrintf("Not delivered yet: %s; trying again in %u s.", FailureText(result, redacted).c_str(),
                        (pauseMs + 999) / 1000);
}

std::string NotDeliveredLogLine(const CTryResult& result, const std::string& redacted)
{
    const char* why = nullptr;
    switch (result.m_eKind) {
    case ETryResult::Answered: break;
    case ETryResult::CannotConnect: why = "could not connect"; break;
    case ETryResult::NoAnswer: why = "no answer in time"; break;
    case ETryResult::ConnectionLost: why = "the connection broke off"; break;
    case ETryResult::Certificate: why = "its certificate was refused"; break;
    case ETryResult::Failed:
        return StringPrintf("ERR:  Alert not delivered to %s: Windows error %lu.\n", redacted.c_str(), result.m_nError);
    }
    return StringPrintf("ERR:  Alert not delivered to %s: %s.\n", redacted.c_str(),
                        why ? why : AnswerText(result).c_str());
}

std::string DeliveredAgainLogLine(const std::string& redacted)
{
    return StringPrintf("INF:  Alerts are delivered again to %s.\n", redacted.c_str());
}
