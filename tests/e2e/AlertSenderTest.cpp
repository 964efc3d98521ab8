// Drives CAlertSender against a receiver of our own on 127.0.0.1 and checks what arrived there,
// the outcomes the dialog will show and the lines of Tollan.log.
// Usage: AlertSenderTest <scratch folder>
#include "HttpReceiver.h"
#include "WinTestCheck.h"
#include "WinTestFiles.h"
#include "base/OwnFolder.h"
#include "base/UtilityLog.h"
#include "server/AlertSender_win.h"

#include <cstdio>
#include <functional>
#include <string>

namespace {

const char kPath[] = "/api/webhooks/123/SeCrEt?wait=true";
const char kCrashed[] = "GAMEBOX: NormalDM crashed; starting it again in 5 s.";

// A sender with short pauses between retries; Retry-After is still honoured up to 5 s.
struct CQuickSender : CAlertSender {
    explicit CQuickSender(unsigned short port) : CAlertSender(Policy())
    {
        SetAddress("http://127.0.0.1:" + std::to_string(port) + kPath);
    }
    static CRetryPolicy Policy()
    {
        CRetryPolicy policy;
        policy.m_nPauseMs[0] = 50;
        policy.m_nPauseMs[1] = 100;
        policy.m_nPauseMs[2] = 150;
        policy.m_nRetryAfterCapMs = 5000;
        return policy;
    }
};

bool WaitFor(const std::function<bool()>& done, DWORD ms = 15000)
{
    for (const DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start > ms)
            return false;
    return true;
}

// The first final outcome (delivered, or finally not) after the change `after`.
CAlertOutcome Final(const CAlertSender& sender, unsigned after = 0)
{
    CAlertOutcome o;
    WaitFor([&] {
        o = sender.LastOutcome();
        return o.m_nSequence > after && (o.m_eState == EAlertState::Delivered || o.m_eState == EAlertState::NotDelivered);
    });
    return o;
}

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

std::string TakeLog()
{
    const std::string log = ReadAll(UtilityLogPath());
    DeleteFileA(UtilityLogPath().c_str());
    return log;
}

std::string Where(unsigned short port)
{
    return "http://127.0.0.1:" + std::to_string(port);
}

void TestExactPost()
{
    printf("-- a POST with the exact headers and body\n");
    CHttpReceiver receiver;
    CHECK(receiver.Start(CHttpScript()), "receiver listens");
    CQuickSender sender(receiver.Port());
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    sender.SetNotify(window, WM_APP + 7);
    CHECK(sender.Send(kCrashed), "queued");
    const CAlertOutcome o = Final(sender);
    printf("   outcome: %s\n", o.m_strText.c_str());
    CHECK(o.m_eState == EAlertState::Delivered && o.m_nSequence == 2, "sending, then delivered");
    CHECK(o.m_strText.size() == 29 && o.m_strText.compare(0, 13, "Delivered at ") == 0 && o.m_strText[15] == ':' &&
              o.m_strText.compare(18, 11, " (HTTP 204)") == 0,
          "\"Delivered at HH:MM (HTTP 204)\"");
    MSG msg;
    int notes = 0;
    while (PeekMessageA(&msg, window, WM_APP + 7, WM_APP + 7, PM_REMOVE))
        ++notes;
    CHECK(notes == 2, "the window was told of each change");
    DestroyWindow(window);

    const std::vector<CHttpRequest> requests = receiver.Requests();
    const std::string body = std::string("{\"content\":\"") + kCrashed + "\",\"text\":\"" + kCrashed + "\"}";
    CHECK(requests.size() == 1, "one request");
    if (!requests.empty()) {
        const CHttpRequest& r = requests[0];
        CHECK(r.m_strMethod == "POST" && r.m_strPath == kPath, "POST to the path and query given");
        CHECK(r.Header("Content-Type") == "application/json; charset=utf-8", "content type");
        CHECK(r.Header("Content-Length") == std::to_string(body.size()) && r.m_strBody == body, "body");
        CHECK(r.Header("Host") == "127.0.0.1:" + std::to_string(receiver.Port()), "host");
    }
    CHECK(TakeLog().empty(), "nothing logged");
}

// A 404 is final: one try, its outcome, one ERR line, and the secret nowhere.
void TestNotFound()
{
    printf("-- 404 is final\n");
    CHttpScript script;
    script.m_statuses = {404};
    CHttpReceiver receiver;
    CHECK(receiver.Start(script), "receiver listens");
    CQuickSender sender(receiver.Port());
    sender.Send(kCrashed);
    CHECK(Final(sender).m_strText == "Not delivered: the server answered 404 (Not Found)", "outcome for 404");
    Sleep(300);
    CHECK(receiver.Requests().size() == 1, "not tried again");
    const std::string log = TakeLog();
    CHECK(Count(log, "ERR:  Alert not delivered to " + Where(receiver.Port()) +
                         ": the server answered 404 (Not Found).\r\n") == 1,
          "one ERR line");
    CHECK(log.find("SeCrEt") == std::string::npos, "no path in the log");
}

// 503 then 204: exactly one retry, after the Retry-After; no outage.
void TestRetryThenDelivered()
{
    printf("-- 503 then 204: one retry\n");
    CHttpScript script;
    script.m_statuses = {503, 204};
    script.m_strRetryAfter = "1";
    CHttpReceiver receiver;
    CHECK(receiver.Start(script), "receiver listens");
    CQuickSender sender(receiver.Port());
    sender.Send(kCrashed);
    CHECK(WaitFor([&] { return sender.LastOutcome().m_eState == EAlertState::Retrying; }) &&
              sender.LastOutcome().m_strText ==
                  "Not delivered yet: the server answered 503 (Service Unavailable); trying again in 1 s.",
          "retrying");
    CHECK(Final(sender).m_eState == EAlertState::Delivered, "delivered");
    Sleep(300);
    const std::vector<CHttpRequest> r = receiver.Requests();
    CHECK(r.size() == 2 && r[0].m_strBody == r[1].m_strBody, "two requests of the same body");
    CHECK(r.size() == 2 && r[1].m_nArrivedAt - r[0].m_nArrivedAt >= 900, "Retry-After honoured");
    CHECK(TakeLog().empty(), "a retried success is no outage");
}

// Nobody listens: one ERR line for several messages; once a receiver is back, one INF line, and
// the next message tells how many were lost.
void TestClosedPort()
{
    printf("-- a closed port: one ERR line for several messages\n");
    const unsigned short port = FreeLoopbackPort();
    CQuickSender sender(port);
    for (int i = 0; i < 3; ++i)
        sender.Send(kCrashed);
    // Each message: sending, three retries, its final outcome.
    CHECK(WaitFor([&] { return sender.LastOutcome().m_nSequence >= 3 * 5; }, 60000), "three messages done");
    const CAlertOutcome o = sender.LastOutcome();
    CHECK(o.m_strText == "Not delivered: could not connect to " + Where(port) + ".", "outcome");
    const std::string log = TakeLog();
    CHECK(Count(log, "ERR:") == 1 && Count(log, "ERR:  Alert not delivered to " + Where(port) + ": could not connect.\r\n") == 1,
          "exactly one ERR line");

    CHttpReceiver receiver;
    CHECK(receiver.Start(CHttpScript(), port), "a receiver on that port now");
    sender.Send("GAMEBOX: NormalDM is running again.");
    CHECK(Final(sender, o.m_nSequence).m_eState == EAlertState::Delivered, "delivered");
    CHECK(TakeLog().find("INF:  Alerts are delivered again to " + Where(port) + ".\r\n") != std::string::npos,
          "one INF line");
    const std::vector<CHttpRequest> r = receiver.Requests();
    CHECK(r.size() == 1 && r[0].m_strBody.find("again. (3 earlier alerts were lost.)\"") != std::string::npos,
          "the lost ones are told");
}

// At the end, what waits still goes out; a receiver that never answers costs about a second.
void TestShutdown()
{
    printf("-- Shutdown: a pending message goes out, a silent receiver is given up\n");
    {
        CHttpReceiver receiver;
        CHECK(receiver.Start(CHttpScript()), "receiver listens");
        CQuickSender sender(receiver.Port());
        sender.Send(kCrashed);
        sender.Shutdown(1000);
        CHECK(receiver.Requests().size() == 1, "delivered before Shutdown returned");
        CHECK(!sender.Send(kCrashed), "nothing is taken after Shutdown");
    }
    CHttpScript script;
    script.m_bNeverAnswer = true;
    CHttpReceiver receiver;
    CHECK(receiver.Start(script), "receiver listens");
    CQuickSender sender(receiver.Port());
    sender.Send(kCrashed);
    sender.Send(kCrashed);
    CHECK(receiver.WaitForRequests(1, 10000), "a request in flight");
    const DWORD start = GetTickCount();
    sender.Shutdown(1000);
    const DWORD took = GetTickCount() - start;
    printf("   Shutdown took %lu ms\n", static_cast<unsigned long>(took));
    CHECK(took <= 1300, "Shutdown returned within about 1 s");
    CHECK(TakeLog().empty(), "an abort at the end is no outage");
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
    MakeDirectories(scratch);
    SetOwnFolder(scratch);
    TakeLog();

    TestExactPost();
    TestNotFound();
    TestRetryThenDelivered();
    TestClosedPort();
    TestShutdown();

    return CheckResult();
}
