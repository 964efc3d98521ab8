// What an alert says, the body it travels in, and the texts of its outcome for the dialog and
// for Tollan.log. Outcome texts name the webhook only by its redacted address.
#pragma once
#include "server/AlertTry.h"
#include "server/RunNote.h"

#include <cstddef>
#include <string>

// The longest message in code points (Discord's own limit; Slack and Teams take more).
constexpr std::size_t kAlertMaxChars = 2000;

// One line naming the computer, the configuration and what happened, e.g. "GAMEBOX: NormalDM
// crashed; starting it again in 5 s." `detail` is used by RelaunchFailed only.
std::string AlertText(ERunNote note, const std::string& computer, const std::string& config,
                      const std::string& detail = std::string());
// "GAMEBOX: a test message from Tollan. Alerts reach you here."
std::string AlertTestText(const std::string& computer);

// " (3 earlier alerts were lost.)", " (1 earlier alert was lost.)", or empty for none.
std::string LostAlertsNote(unsigned lost);

// {"content":"...","text":"..."}: the message with the note of lost alerts, cut to
// kAlertMaxChars without losing that note; valid UTF-8 and valid JSON whatever comes in.
std::string AlertBody(const std::string& utf8Message, unsigned lost);

// "Not Found" for 404, and so on for the answers a webhook gives; empty for others.
const char* StandardReasonPhrase(unsigned status);

// "Delivered at 21:04 (HTTP 204)"
std::string DeliveredText(int hour, int minute, unsigned status);
// "Not delivered: the server answered 404 (Not Found)", "Not delivered: could not connect to
// https://host:443.", ...
std::string NotDeliveredText(const CTryResult& result, const std::string& redacted);
// "Not delivered yet: the server answered 503 (Service Unavailable); trying again in 8 s."
std::string RetryingText(const CTryResult& result, const std::string& redacted, unsigned pauseMs);

// Tollan.log lines (with their "\n"), e.g. "ERR:  Alert not delivered to https://host:443: the
// server answered 503 (Service Unavailable).\n".
std::string NotDeliveredLogLine(const CTryResult& result, const std::string& redacted);
std::string DeliveredAgainLogLine(const std::string& redacted);
