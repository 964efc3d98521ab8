#include "server/AlertSender_win.h"

#include "base/UtilityLog.h"
#include "platform/Platform.h"
#include "server/AlertQueue.h"
#include "server/AlertText.h"
#include "server/WebhookAddress.h"

#include <winhttp.h>

#include <optional>
#include <vector>

// What the caller's side and the worker share. The worker holds its own reference, so a thread
// that Shutdown left hanging in the network never touches freed memory.
struct CAlertSender::CShared {
    explicit CShared(const CRetryPolicy& policy)
        : m_policy(policy),
          m_wake(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          m_closing(CreateEventA(nullptr, TRUE, FALSE, nullptr))
    {
    }

    const CRetryPolicy m_policy;
    const platform::CHandle m_wake;     // auto-reset: a message waits, or the end has come
    const platform::CHandle m_closing;  // manual reset: Shutdown began; pauses end at once

    mutable platform::CLock m_lock;  // guards everything below
    CWebhookAddress m_address;  // where alerts go, while m_bOn
    bool m_bOn = false;
    unsigned m_nAddressChanges = 0;
    CAlertQueue m_queue;
    CAlertOutcome m_outcome;
    HWND m_hNotify = nullptr;
    UINT m_nNotifyMessage = 0;
    bool m_bClosing = false;  // deliver what waits, once each
    bool m_bStop = false;     // give up at once
    HINTERNET m_hRequest = nullptr;  // the request in flight; whoever comes first closes it

    void SetOutcome(EAlertState state, bool bTest, const std::string& text)
    {
        HWND hwnd;
        UINT message;
        {
            platform::CLockHold hold(m_lock);
            ++m_outcome.m_nSequence;
            m_outcome.m_eState = state;
            m_outcome.m_bTest = bTest;
            m_outcome.m_strText = text;
            hwnd = m_hNotify;
            message = m_nNotifyMessage;
        }
        if (hwnd)
            PostMessageA(hwnd, message, 0, 0);
    }
};

namespace {

using CShared = CAlertSender::CShared;

// The address's parts and the header texts are ASCII (the address check sees to it). A vector,
// not a wide string: the latter would bring a whole second string class into the program.
std::vector<wchar_t> Widened(const std::string& ascii)
{
    std::vector<wchar_t> wide(ascii.begin(), ascii.end());
    wide.push_back(L'\0');
    return wide;
}

std::string Utf8FromAnsi(const std::string& ansi)
{
    if (ansi.empty())
        return ansi;
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (wideLength <= 0)
        return ansi;  // the JSON writer makes valid UTF-8 of it
    std::vector<wchar_t> wide(wideLength);
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return ansi;
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &utf8[0], length, nullptr, nullptr);
    return utf8;
}

std::string Narrowed(const wchar_t* wide, size_t length)
{
    std::string out;
    for (size_t i = 0; i < length; ++i)
        out += wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?';
    return out;
}

CTryResult FailureOf(DWORD error)
{
    switch (error) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
        return FailedTry(ETryResult::CannotConnect, error);
    case ERROR_WINHTTP_TIMEOUT:
        return FailedTry(ETryResult::NoAnswer, error);
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:  // the handshake broke off; no certificate was judged
        return FailedTry(ETryResult::ConnectionLost, error);
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
        return FailedTry(ETryResult::Certificate, error);
    }
    return FailedTry(ETryResult::Failed, error);
}

// A WinHTTP handle (a session or a connection) that closes itself. The request in flight is
// closed under the lock instead, by whichever of the worker and Shutdown comes first.
class CInternetHandle {
public:
    CInternetHandle() = default;
    explicit CInternetHandle(HINTERNET handle) : m_hHandle(handle) {}
    ~CInternetHandle()
    {
        if (m_hHandle)
            WinHttpCloseHandle(m_hHandle);
    }
    CInternetHandle(CInternetHandle&& o) noexcept : m_hHandle(o.m_hHandle) { o.m_hHandle = nullptr; }
    CInternetHandle& operator=(CInternetHandle&& o) noexcept
    {
        std::swap(m_hHandle, o.m_hHandle);
        return *this;
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    HINTERNET Get() const { return m_hHandle; }
    explicit operator bool() const { return m_hHandle != nullptr; }

private:
    HINTERNET m_hHandle = nullptr;
};

// The system's proxy settings: the automatic ones where Windows has them (8.1 on), else those
// set for WinHTTP. Certificates are checked as always; nothing here turns that off.
CInternetHandle OpenSession()
{
    HINTERNET session = WinHttpOpen(L"Tollan", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                                    WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session)
        session = WinHttpOpen(L"Tollan", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session)
        return CInternetHandle();
    WinHttpSetTimeouts(session, 10000, 10000, 10000, 10000);
    // TLS 1.2 where the system knows it but does not offer it by itself (Windows 7); older
    // systems keep their own choice.
    for (DWORD protocols : {DWORD(WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3),
                            DWORD(WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2)}) {
        if (WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols))
            break;
    }
    return CInternetHandle(session);
}

// One POST of the body, opening the session first if need be. Sets *pbAborted when Shutdown
// ended it.
CTryResult TryOnce(CShared& shared, CInternetHandle& session, const CWebhookAddress& address, const std::string& body,
                   bool* pbAborted)
{
    *pbAborted = false;
    if (!session)
        session = OpenSession();
    if (!session)
        return FailureOf(GetLastError());
    const CInternetHandle connect(WinHttpConnect(session.Get(), Widened(address.m_strHost).data(),
                                                 static_cast<INTERNET_PORT>(address.m_nPort), 0));
    if (!connect)
        return FailureOf(GetLastError());
    HINTERNET request = WinHttpOpenRequest(connect.Get(), L"POST", Widened(address.m_strPathAndQuery).data(), nullptr,
                                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                           address.m_bHttps ? WINHTTP_FLAG_SECURE : 0);
    if (!request)
        return FailureOf(GetLastError());
    {
        platform::CLockHold hold(shared.m_lock);
        if (shared.m_bStop) {
            WinHttpCloseHandle(request);
            *pbAborted = true;
            return CTryResult();
        }
        shared.m_hRequest = request;
    }

    // A webhook that moved is a fault of its address, to be shown, not followed with the secret.
    DWORD feature = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &feature, sizeof feature);
    static const wchar_t headers[] = L"Content-Type: application/json; charset=utf-8";

    CTryResult result;
    const DWORD length = static_cast<DWORD>(body.size());
    if (WinHttpSendRequest(request, headers, static_cast<DWORD>(-1), const_cast<char*>(body.data()), length,
                           length, 0) &&
        WinHttpReceiveResponse(request, nullptr)) {
        DWORD status = 0, size = sizeof status;
        WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                            &status, &size, WINHTTP_NO_HEADER_INDEX);
        const auto header = [request](DWORD what) {
            wchar_t text[128] = L"";
            DWORD bytes = sizeof text - sizeof text[0];
            if (!WinHttpQueryHeaders(request, what, WINHTTP_HEADER_NAME_BY_INDEX, text, &bytes,
                                     WINHTTP_NO_HEADER_INDEX))
                return std::string();
            return Narrowed(text, bytes / sizeof text[0]);
        };
        result = AnsweredTry(status, header(WINHTTP_QUERY_STATUS_TEXT), header(WINHTTP_QUERY_RETRY_AFTER));
    } else {
        result = FailureOf(GetLastError());
    }

    {
        platform::CLockHold hold(shared.m_lock);
        *pbAborted = shared.m_bStop;
        if (shared.m_hRequest) {
            WinHttpCloseHandle(shared.m_hRequest);
            shared.m_hRequest = nullptr;
        }
    }
    return result;
}

// Delivers one message with its retries; the outage rule decides what reaches the log.
void Deliver(CShared& shared, CInternetHandle& session, const CQueuedAlert& alert, unsigned lost, CAlertOutage& outage,
             unsigned& addressChanges)
{
    const std::string body = AlertBody(Utf8FromAnsi(alert.m_strText), lost);
    shared.SetOutcome(EAlertState::Sending, alert.m_bTest, "Sending...");
    for (int retries = 0;; ++retries) {
        CWebhookAddress address;
        bool bClosing;
        {
            platform::CLockHold hold(shared.m_lock);
            if (shared.m_bStop || !shared.m_bOn)
                return;
            address = shared.m_address;
            bClosing = shared.m_bClosing;
            if (addressChanges != shared.m_nAddressChanges) {
                addressChanges = shared.m_nAddressChanges;
                outage.Reset();
            }
        }
        bool bAborted = false;
        const CTryResult result = TryOnce(shared, session, address, body, &bAborted);
        if (bAborted)
            return;
        const std::string where = address.Redacted();
        if (IsDelivered(result)) {
            if (const std::optional<std::string> line = outage.OnDelivered(where))
                LogMessage("%s", line->c_str());
            {
                platform::CLockHold hold(shared.m_lock);
                shared.m_queue.Reported(lost);
            }
            SYSTEMTIME now;
            GetLocalTime(&now);
            shared.SetOutcome(EAlertState::Delivered, alert.m_bTest,
                              DeliveredText(now.wHour, now.wMinute, result.m_nStatus));
            return;
        }
        const std::optional<unsigned> pause =
            bClosing ? std::nullopt : RetryPauseMs(result, retries, shared.m_policy);
        if (!pause) {
            if (const std::optional<std::string> line = outage.OnNotDelivered(where, result))
                LogMessage("%s", line->c_str());
            {
                platform::CLockHold hold(shared.m_lock);
                shared.m_queue.CountLost(alert);
            }
            shared.SetOutcome(EAlertState::NotDelivered, alert.m_bTest, NotDeliveredText(result, where));
            return;
        }
        shared.SetOutcome(EAlertState::Retrying, alert.m_bTest, RetryingText(result, where, *pause));
        // Shutdown ends the pause: the message then gets its last try at once.
        WaitForSingleObject(shared.m_closing.Get(), *pause);
    }
}

DWORD WINAPI AlertWorker(LPVOID parameter)
{
    std::shared_ptr<CShared>* pShared = static_cast<std::shared_ptr<CShared>*>(parameter);
    const std::shared_ptr<CShared> shared = *pShared;
    delete pShared;

    CInternetHandle session;
    CAlertOutage outage;
    unsigned addressChanges = 0;
    for (;;) {
        std::optional<CQueuedAlert> alert;
        unsigned lost = 0;
        {
            platform::CLockHold hold(shared->m_lock);
            if (shared->m_bStop)
                break;
            alert = shared->m_queue.Pop();
            if (!alert && shared->m_bClosing)
                break;
            lost = alert && !alert->m_bTest ? shared->m_queue.Lost() : 0;
        }
        if (!alert) {
            WaitForSingleObject(shared->m_wake.Get(), INFINITE);
            continue;
        }
        Deliver(*shared, session, *alert, lost, outage, addressChanges);
    }
    return 0;
}

}  // namespace

std::string AlertComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size) || !name[0])
        return "This computer";
    return name;
}

// Not make_shared: it would bring the library's type-information comparison in for nothing.
CAlertSender::CAlertSender(const CRetryPolicy& policy) : m_pShared(new CShared(policy)) {}

CAlertSender::~CAlertSender()
{
    Shutdown(1000);
}

bool CAlertSender::SetAddress(const std::string& url, std::string* pstrRefusal)
{
    CAddressParse parse;
    if (!url.empty())
        parse = ParseWebhookAddress(url);
    if (pstrRefusal)
        *pstrRefusal = AddressFaultText(parse.m_eFault);
    {
        platform::CLockHold hold(m_pShared->m_lock);
        m_pShared->m_bOn = parse.m_address.has_value();
        if (parse.m_address)
            m_pShared->m_address = *parse.m_address;
        ++m_pShared->m_nAddressChanges;
        if (!parse.m_address)
            m_pShared->m_queue.Clear();
    }
    // The worker starts with the first address, so that Tollan without alerts has no thread.
    if (parse.m_address && !m_thread && !m_bShutDown) {
        auto* pShared = new std::shared_ptr<CShared>(m_pShared);
        m_thread.Reset(CreateThread(nullptr, 0, AlertWorker, pShared, 0, nullptr));
        if (!m_thread) {
            const DWORD error = GetLastError();
            delete pShared;
            LogMessage("ERR:  Alerts cannot be sent: no thread could be started (error %lu).\n", error);
        }
    }
    return parse.m_eFault == EAddressFault::None;
}

bool CAlertSender::IsOn() const
{
    platform::CLockHold hold(m_pShared->m_lock);
    return m_pShared->m_bOn;
}

std::string CAlertSender::RedactedAddress() const
{
    platform::CLockHold hold(m_pShared->m_lock);
    return m_pShared->m_bOn ? m_pShared->m_address.Redacted() : std::string();
}

bool CAlertSender::Queue(const std::string& text, bool bTest)
{
    {
        platform::CLockHold hold(m_pShared->m_lock);
        if (!m_pShared->m_bOn || !m_thread || m_pShared->m_bClosing)
            return false;
        m_pShared->m_queue.Push({text, bTest});
    }
    SetEvent(m_pShared->m_wake.Get());
    return true;
}

bool CAlertSender::Send(const std::string& ansiMessage)
{
    return Queue(ansiMessage, false);
}

bool CAlertSender::SendTest()
{
    return Queue(AlertTestText(AlertComputerName()), true);
}

CAlertOutcome CAlertSender::LastOutcome() const
{
    platform::CLockHold hold(m_pShared->m_lock);
    return m_pShared->m_outcome;
}

void CAlertSender::SetNotify(HWND hWnd, UINT message)
{
    platform::CLockHold hold(m_pShared->m_lock);
    m_pShared->m_hNotify = hWnd;
    m_pShared->m_nNotifyMessage = message;
}

void CAlertSender::Shutdown(DWORD ms)
{
    if (m_bShutDown)
        return;
    m_bShutDown = true;
    {
        platform::CLockHold hold(m_pShared->m_lock);
        m_pShared->m_bClosing = true;
        m_pShared->m_hNotify = nullptr;  // the window may be gone by the time the worker ends
    }
    if (!m_thread)
        return;
    SetEvent(m_pShared->m_closing.Get());
    SetEvent(m_pShared->m_wake.Get());
    // Most of the time goes to the deliveries; the rest to the abort.
    const DWORD abortMs = ms >= 400 ? 200 : ms / 2;
    if (WaitForSingleObject(m_thread.Get(), ms - abortMs) == WAIT_TIMEOUT) {
        {
            platform::CLockHold hold(m_pShared->m_lock);
            m_pShared->m_bStop = true;
            if (m_pShared->m_hRequest) {
                WinHttpCloseHandle(m_pShared->m_hRequest);
                m_pShared->m_hRequest = nullptr;
            }
        }
        SetEvent(m_pShared->m_wake.Get());
        // On Windows a closed request returns at once; Wine's WinHTTP waits on for its time-out.
        // A worker still inside the network is left to the end of the process, holding its own
        // share of what it uses; once stopped it logs nothing.
        WaitForSingleObject(m_thread.Get(), abortMs);
    }
    m_thread.Reset();
}
