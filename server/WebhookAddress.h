// The webhook's address as the user gives it: checked once, then split into what the sender
// needs. Its path and query hold the webhook's secret, so only Redacted() may be shown or logged.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

constexpr std::size_t kWebhookAddressMax = 2048;

enum class EAddressFault {
    None,
    Empty,        // nothing given (an empty setting means alerts are off, see AlertSender)
    TooLong,      // more than kWebhookAddressMax characters
    Blank,        // a blank or a control character
    NotAscii,     // a byte beyond ASCII: the address must be percent-encoded
    Scheme,       // neither http:// nor https://
    NoHost,       // nothing between the scheme and the path
    BadHost,      // a host name character that no host name holds
    BadPort,      // not a number from 1 to 65535
    User,         // a user name or password before the host: it would travel unprotected in logs
};

// One sentence for a message box, e.g. "The webhook address must begin with https:// or http://.";
// empty for None.
const char* AddressFaultText(EAddressFault fault);

struct CWebhookAddress {
    bool m_bHttps = true;
    std::string m_strHost;          // a name or an address; an IPv6 one in brackets
    unsigned m_nPort = 443;         // the scheme's when none is given
    std::string m_strPathAndQuery;  // from the first '/' (or '?') on, "/" at least; no fragment

    // "https://discord.com:443": scheme, host and port only.
    std::string Redacted() const;
};

struct CAddressParse {
    std::optional<CWebhookAddress> m_address;
    EAddressFault m_eFault = EAddressFault::None;
};

// http:// or https:// (either case), a host, an optional port, then path and query.
CAddressParse ParseWebhookAddress(const std::string& text);
