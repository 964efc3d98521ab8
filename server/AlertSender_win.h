// CAlertSender: delivers alert messages to a webhook from one worker thread of its own, with
// WinHTTP, so that a slow or absent receiver never holds up the server's run. The rules (texts,
// body, retries, outages, the queue's bound) are the portable ones of this folder.
#pragma once
#include <windows.h>

#include "platform/Handle_win.h"

#include "server/AlertRetry.h"

#include <memory>
#include <string>

enum class EAlertState {
    None,          // nothing sent yet
    Sending,       // a message is on its way
    Retrying,      // the last try failed; another follows after a pause
    Delivered,
    NotDelivered,  // finally
};

// The last outcome, for the dialog.
struct CAlertOutcome {
    unsigned m_nSequence = 0;  // grows by one at each change
    EAlertState m_eState = EAlertState::None;
    bool m_bTest = false;      // it is the outcome of the dialog's test message
    std::string m_strText;     // "Delivered at 21:04 (HTTP 204)", "Not delivered: ...", ...
};

// This computer's name, for %PC% (ANSI).
std::string AlertComputerName();

class CAlertSender {
public:
    explicit CAlertSender(const CRetryPolicy& policy = CRetryPolicy());
    // Shutdown(1000) unless it was called.
    ~CAlertSender();
    CAlertSender(const CAlertSender&) = delete;
    CAlertSender& operator=(const CAlertSender&) = delete;

    // Where alerts go from now on. An empty address turns alerts off and drops what waits; so
    // does a refused one, whose reason (one sentence for a message box) goes to *pstrRefusal.
    bool SetAddress(const std::string& url, std::string* pstrRefusal = nullptr);
    bool IsOn() const;
    // "https://discord.com:443", or empty when alerts are off: all of the address that may be shown.
    std::string RedactedAddress() const;

    // Queues a message (ANSI code page text) and returns at once; false when alerts are off or
    // the sender has shut down.
    bool Send(const std::string& ansiMessage);
    // The dialog's test message, sent before anything that waits.
    bool SendTest();

    CAlertOutcome LastOutcome() const;
    // PostMessage(hWnd, message, 0, 0) from the worker whenever the outcome changes; a null
    // window stops the notes.
    void SetNotify(HWND hWnd, UINT message);

    // At Tollan's end: what waits or is in flight gets at most `ms` (no more retries meanwhile);
    // then the request in flight is closed to abort it, and Shutdown returns without waiting for
    // a thread that hangs in the network.
    void Shutdown(DWORD ms = 1000);

    struct CShared;

private:
    bool Queue(const std::string& text, bool bTest);

    std::shared_ptr<CShared> m_pShared;
    platform::CHandle m_thread;
    bool m_bShutDown = false;
};
