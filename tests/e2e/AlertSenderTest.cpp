// Drives CAlertSender against a receiver of our own on 127.0.0.1 and checks what arrived there,
// the outcomes the dialog will show and the lines of Tollan.log.
// Usage: AlertSenderTest <scratch folder>
#include "HttpReceiver.h"
#include "WinTestFiles.h"
#include "base/OwnFolder.h"
#include "base/UtilityLog.h"
#include "server/AlertSender_win.h"
#include "server/AlertText.h"

#include <cstdio>
#include <functional>
#include <string>

namespace {

int g_nFailures = 0;

#define CHECK(cond, what)                                                     \
    do {                                                                      \
        if (!(cond)) {                                                        \
            ++g_nFailures;                                                    \
            printf("FAIL %s:%d: %s [%s]\n", __FILE__, __LINE__, what, #cond); \
        }                                                                     \
    } while (0)

const char kSecretPath[] = "/api/webhooks/123/SeCrEt?wait=true";
const char kCrashed[] = "GAMEBOX: NormalDM crashed; starting it again in 5 s.";

// Quick pauses, so that three retries take a moment; Retry-After is still honoured up to 5 s.
CRetryPolicy QuickPolicy()
{
    CRetryPolicy policy;
    policy.m_nPauseMs[0] = 50;
    policy.m_nPauseMs[1] = 100;
    policy.m_nPauseMs[2] = 150;
    policy.m_nRetryAfterCapMs = 5000;
    return policy;
}

std::string Address(unsigned short port)
{
    return "http://127.0.0.1:" + std::to_string(port) + kSecretPath;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        Sleep(20);
    }
    return true;
}

// Waits for an outcome that is final (delivered, or finally not) and later than `after`.
bool WaitFinal(const CAlertSender& sender, CAlertOutcome& outcome, unsigned after = 0, DWORD ms = 15000)
{
    return WaitFor(
        [&] {
            outcome = sender.LastOutcome();
            return outcome.m_nSequence > after &&
                   (outcome.m_eState == EAlertState::Delivered || outcome.m_eState == EAlertState::NotDelivered);
        },
        ms);
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string Log()
{
    return ReadAll(UtilityLogPath());
}

void FreshLog()
{
    DeleteFileA(UtilityLogPath().c_str());
}

// ---------------------------------------------------------------- cases

// The one POST, byte for byte, and the outcome the dialog shows for it.
void TestExactPost()
{
    printf("-- a POST with the exact headers and body\n");
    FreshLog();
    CHttpReceiver receiver;
    CHECK(receiver.Start(CHttpScript()), "receiver listens");
    CAlertSender sender(QuickPolicy());
    std::string refusal = "unchanged";
    CHECK(sender.SetAddress(Address(receiver.Port()), &refusal), "address accepted");
    CHECK(refusal.empty(), "no refusal text");
    CHECK(sender.RedactedAddress() == "http://127.0.0.1:" + std::to_string(receiver.Port()), "redacted address");

    // The owner's window hears of every change of the outcome.
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    sender.SetNotify(window, WM_APP + 7);

    CHECK(sender.Send(kCrashed), "message queued");
    CAlertOutcome outcome;
    CHECK(WaitFinal(sender, outcome), "an outcome");
    const std::string text = outcome.m_strText;
    CHECK(outcome.m_eState == EAlertState::Delivered, "delivered");
    CHECK(text.size() == 29 && text.compare(0, 13, "Delivered at ") == 0 && text[15] == ':' &&
              text.compare(18, 11, " (HTTP 204)") == 0,
          "outcome text \"Delivered at HH:MM (HTTP 204)\"");
    printf("   outcome: %s\n", text.c_str());
    CHECK(outcome.m_nSequence == 2 && !outcome.m_bTest, "two changes: sending, delivered");
    int notes = 0;
    MSG msg;
    while (PeekMessageA(&msg, window, WM_APP + 7, WM_APP + 7, PM_REMOVE))
        ++notes;
    CHECK(notes == 2, "the window was told twice");
    DestroyWindow(window);

    const std::vector<CHttpRequest> requests = receiver.Requests();
    CHECK(requests.size() == 1, "exactly one request");
    if (!requests.empty()) {
        const CHttpRequest& r = requests[0];
        const std::string body = std::string("{\"content\":\"") + kCrashed + "\",\"text\":\"" + kCrashed + "\"}";
        CHECK(r.m_strMethod == "POST", "POST");
        CHECK(r.m_strPath == kSecretPath, "path and query as given");
        CHECK(r.Header("Content-Type") == "application/json; charset=utf-8", "content type");
        CHECK(r.Header("Content-Length") == std::to_string(body.size()), "content length");
        CHECK(r.Header("Host") == "127.0.0.1:" + std::to_string(receiver.Port()), "host");
        CHECK(r.Header("Authorization").empty(), "no authorization");
        CHECK(r.m_strBody == body, "body");
        if (r.m_strBody != body)
            printf("   body: %s\n", r.m_strBody.c_str());
        for (const auto& h : r.m_headers)
            printf("   header %s: %s\n", h.first.c_str(), h.second.c_str());
    }
    CHECK(Log().empty(), "nothing logged");
    sender.Shutdown();
}

// ANSI text arrives as UTF-8, escaped as JSON requires.
void TestAnsiBecomesUtf8()
{
    printf("-- ANSI text arrives as UTF-8 JSON\n");
    CHttpReceiver receiver;
    CHECK(receiver.Start(CHttpScript()), "receiver listens");
    CAlertSender sender(QuickPolicy());
    sender.SetAddress(Address(receiver.Port()));
    // "Caf\xE9" is "Café" in the Western code pages; the wide form says what it is elsewhere.
    const std::string ansi = "PC: Caf\xE9 \"DM\"\t\\";
    wchar_t wide[64];
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 64);
    char utf8[256];
    WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8, nullptr, nullptr);
    std::string expected = utf8;
    expected = expected.substr(0, expected.find('"')) + "\\\"DM\\\"\\t\\\\";
    sender.Send(ansi);
    CHECK(receiver.WaitForRequests(1, 10000), "request arrived");
    const std::vector<CHttpRequest> requests = receiver.Requests();
    CHECK(!requests.empty() &&
              requests[0].m_strBody == "{\"content\":\"" + expected + "\",\"text\":\"" + expected + "\"}",
          "body in UTF-8");
    if (GetACP() == 1252)
        CHECK(expected.find("Caf\xC3\xA9") != std::string::npos, "the Western e acute as C3 A9");
    sender.Shutdown();
}

// A 404 is final: one try, its outcome, one ERR line, and the secret nowhere.
void TestNotFound()
{
    printf("-- 404 is final\n");
    FreshLog();
    CHttpScript script;
    script.m_statuses = {404};
    CHttpReceiver receiver;
    CHECK(receiver.Start(script), "receiver listens");
    CAlertSender sender(QuickPolicy());
    sender.SetAddress(Address(receiver.Port()));
    sender.Send(kCrashed);
    CAlertOutcome outcome;
    CHECK(WaitFinal(sender, outcome), "an outcome");
    CHECK(outcome.m_strText == "Not delivered: the server answered 404 (Not Found)", "outcome text for 404");
    printf("   outcome: %s\n", outcome.m_strText.c_str());
    Sleep(300);
    CHECK(receiver.Requests().size() == 1, "not tried again");
    const std::string log = Log();
    const std::string line = "ERR:  Alert not delivered to http://127.0.0.1:" + std::to_string(receiver.Port()) +
                             ": the server answered 404 (Not Found).\r\n";
    CHECK(Count(log, line) == 1, "one ERR line");
    CHECK(log.find("SeCrEt") == std::string::npos && log.find("webhooks") == std::string::npos, "no path in the log");
    sender.Shutdown();
}

// 503 then 204: exactly one retry, after the Retry-After; no outage.
void TestRetryThenDelivered()
{
    printf("-- 503 then 204: one retry\n");
    FreshLog();
    CHttpScript script;
    script.m_statuses = {503, 204};
    script.m_strRetryAfter = "1";
    CHttpReceiver receiver;
    CHECK(receiver.Start(script), "receiver listens");
    CAlertSender sender(QuickPolicy());
    sender.SetAddress(Address(receiver.Port()));
    sender.Send(kCrashed);
    CAlertOutcome outcome;
    CHECK(WaitFor([&] { return sender.LastOutcome().m_eState == EAlertState::Retrying; }, 10000), "retrying");
    CHECK(sender.LastOutcome().m_strText ==
              "Not delivered yet: the server answered 503 (Service Unavailable); trying again in 1 s.",
          "retrying text");
    CHECK(WaitFinal(sender, outcome), "an outcome");
    CHECK(outcome.m_eState == EAlertState::Delivered, "delivered");
    Sleep(300);
    const std::vector<CHttpRequest> requests = receiver.Requests();
    CHECK(requests.size() == 2, "exactly two requests");
    CHECK(requests.size() == 2 && requests[0].m_strBody == requests[1].m_strBody, "the same body again");
    CHECK(requests.size() == 2 && requests[1].m_nArrivedAt - requests[0].m_nArrivedAt >= 900,
          "Retry-After honoured");
    CHECK(Log().find("ERR:") == std::string::npos, "a retried success is no outage");
    sender.Shutdown();
}

// Nobody listens: one ERR line for several messages; once a receiver is back, one INF line and
// the next message tells how many were lost.
void TestClosedPortOneErrorLine()
{
    printf("-- a closed port: one ERR line for several messages\n");
    FreshLog();
    const unsigned short port = FreeLoopbackPort();
    CHECK(port != 0, "a free port");
    CAlertSender sender(QuickPolicy());
    sender.SetAddress(Address(port));
    for (int i = 0; i < 3; ++i)
        sender.Send(kCrashed);
    const std::string where = "http://127.0.0.1:" + std::to_string(port);
    // Each message: a try and three retries, all refused, then its final outcome.
    CHECK(WaitFor([&] { return sender.LastOutcome().m_nSequence >= 3 * 5; }, 60000), "three messages done");
    CAlertOutcome outcome = sender.LastOutcome();
    CHECK(outcome.m_strText == "Not delivered: could not connect to " + where + ".", "outcome text");
    printf("   outcome: %s\n", outcome.m_strText.c_str());
    std::string log = Log();
    CHECK(Count(log, "ERR:") == 1, "exactly one ERR line");
    CHECK(Count(log, "ERR:  Alert not delivered to " + where + ": could not connect.\r\n") == 1, "its text");

    CHttpReceiver receiver;
    CHECK(receiver.Start(CHttpScript(), port), "receiver listens on that port now");
    sender.Send("GAMEBOX: NormalDM is running again.");
    CHECK(WaitFinal(sender, outcome, outcome.m_nSequence) && outcome.m_eState == EAlertState::Delivered,
          "delivered again");
    log = Log();
    CHECK(Count(log, "INF:  Alerts are delivered again to " + where + ".\r\n") == 1, "one INF line");
    CHECK(Count(log, "ERR:") == 1, "still one ERR line");
    const std::vector<CHttpRequest> requests = receiver.Requests();
    CHECK(requests.size() == 1 && requests[0].m_strBody.find("running again. (3 earlier alerts were lost.)\"") !=
                                      std::string::npos,
          "the lost ones are told");
    CHECK(log.find("SeCrEt") == std::string::npos, "no path in the log");
    sender.Shutdown();
}

// What was sent just before the end still goes out within the grace.
void TestPendingSentAtShutdown()
{
    printf("-- a message queued just before Shutdown is delivered\n");
    CHttpReceiver receiver;
    CHECK(receiver.Start(CHttpScript()), "receiver listens");
    CAlertSender sender(QuickPolicy());
    sender.SetAddress(Address(receiver.Port()));
    sender.Send(kCrashed);
    sender.Shutdown(1000);
    CHECK(receiver.Requests().size() == 1, "delivered before Shutdown returned");
    CHECK(!sender.Send(kCrashed), "nothing is taken after Shutdown");
}

// A receiver that never answers: Shutdown aborts and returns within about a second.
void TestShutdownWhileNoAnswer()
{
    printf("-- a receiver that never answers: Shutdown within about 1 s\n");
    FreshLog();
    CHttpScript script;
    script.m_bNeverAnswer = true;
    CHttpReceiver receiver;
    CHECK(receiver.Start(script), "receiver listens");
    {
        CAlertSender sender(QuickPolicy());
        sender.SetAddress(Address(receiver.Port()));
        sender.Send(kCrashed);
        sender.Send(kCrashed);
        CHECK(receiver.WaitForRequests(1, 10000), "the request is in flight");
        const DWORD start = GetTickCount();
        sender.Shutdown(1000);
        const DWORD took = GetTickCount() - start;
        printf("   Shutdown took %lu ms\n", static_cast<unsigned long>(took));
        CHECK(took <= 1300, "Shutdown returned within about 1 s");
    }
    receiver.Stop();
    CHECK(Log().find("ERR:") == std::string::npos, "an abort at the end is no outage");
}

// Refused addresses turn alerts off and say why; empty is off.
void TestAddressRefused()
{
    printf("-- refused and empty addresses\n");
    CAlertSender sender;
    std::string refusal;
    CHECK(!sender.SetAddress("ftp://example.org/x", &refusal), "refused");
    CHECK(refusal == "The webhook address must begin with https:// or http://.", "refusal text");
    CHECK(!sender.IsOn() && !sender.Send(kCrashed) && !sender.SendTest(), "alerts are off");
    CHECK(sender.SetAddress("", &refusal) && refusal.empty() && !sender.IsOn(), "empty is off");
    CHECK(sender.RedactedAddress().empty(), "nothing to show");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        printf("usage: AlertSenderTest <scratch folder>\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string scratch = WinPath(argv[1]);
    RemoveTree(scratch);
    for (size_t i = 3; i <= scratch.size(); ++i)
        if (i == scratch.size() || scratch[i] == '\\')
            CreateDirectoryA(scratch.substr(0, i).c_str(), nullptr);
    SetOwnFolder(scratch);

    TestAddressRefused();
    TestExactPost();
    TestAnsiBecomesUtf8();
    TestNotFound();
    TestRetryThenDelivered();
    TestClosedPortOneErrorLine();
    TestPendingSentAtShutdown();
    TestShutdownWhileNoAnswer();

    printf(g_nFailures ? "%d check(s) failed\n" : "all checks passed\n", g_nFailures);
    return g_nFailures ? 1 : 0;
}
