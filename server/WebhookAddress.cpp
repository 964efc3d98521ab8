#include "server/WebhookAddress.h"

#include "base/StringPrintf.h"

#include <cctype>

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    for (std::size_t i = 0; prefix[i]; ++i)
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

bool IsHostChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' || c == '_';
}

bool IsHost(const std::string& host)
{
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        for (std::size_t i = 1; i + 1 < host.size(); ++i)
            if (!std::isxdigit(static_cast<unsigned char>(host[i])) && host[i] != ':' && host[i] != '.')
                return false;
        return host.size() > 2;
    }
    for (char c : host)
        if (!IsHostChar(c))
            return false;
    return true;
}

CAddressParse Fault(EAddressFault fault)
{
    CAddressParse parse;
    parse.m_eFault = fault;
    return parse;
}

}  // namespace

const char* AddressFaultText(EAddressFault fault)
{
    switch (fault) {
    case EAddressFault::None: break;
    case EAddressFault::Empty: return "No webhook address is given.";
    case EAddressFault::TooLong: return "The webhook address is longer than 2048 characters.";
    case EAddressFault::Blank: return "The webhook address must not hold blanks or control characters.";
    case EAddressFault::NotAscii:
        return "The webhook address may hold only ASCII characters; percent-encode any other.";
    case EAddressFault::Scheme: return "The webhook address must begin with https:// or http://.";
    case EAddressFault::NoHost: return "The webhook address names no host after https:// or http://.";
    case EAddressFault::BadHost:
        return "The host of the webhook address may hold only letters, digits, hyphens, dots and underscores.";
    case EAddressFault::BadPort: return "The port of the webhook address must be a number from 1 to 65535.";
    case EAddressFault::User:
        return "The webhook address must not hold a user name or password; a token belongs in its path or query.";
    }
    return "";
}

std::string CWebhookAddress::Redacted() const
{
    return StringPrintf("%s://%s:%u", m_bHttps ? "https" : "http", m_strHost.c_str(), m_nPort);
}

CAddressParse ParseWebhookAddress(const std::string& text)
{
    if (text.empty())
        return Fault(EAddressFault::Empty);
    if (text.size() > kWebhookAddressMax)
        return Fault(EAddressFault::TooLong);
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80)
            return Fault(EAddressFault::NotAscii);
        if (u <= 0x20 || u == 0x7F)
            return Fault(EAddressFault::Blank);
    }

    CWebhookAddress address;
    std::size_t at;
    if (StartsWithNoCase(text, "https://")) {
        at = 8;
    } else if (StartsWithNoCase(text, "http://")) {
        address.m_bHttps = false;
        address.m_nPort = 80;
        at = 7;
    } else {
        return Fault(EAddressFault::Scheme);
    }

    // The fragment never travels; the authority ends where the path or the query begins.
    const std::string rest = text.substr(at, text.find('#', at) - at);
    const std::size_t pathAt = rest.find_first_of("/?");
    std::string authority = rest.substr(0, pathAt);
    if (pathAt != std::string::npos)
        address.m_strPathAndQuery = rest.substr(pathAt);
    if (address.m_strPathAndQuery.empty() || address.m_strPathAndQuery[0] == '?')
        address.m_strPathAndQuery.insert(0, "/");

    if (authority.find('@') != std::string::npos)
        return Fault(EAddressFault::User);

    // A port follows the last colon, unless that colon lies inside an IPv6 address's brackets.
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']', colon) == std::string::npos) {
        const std::string port = authority.substr(colon + 1);
        authority.erase(colon);
        unsigned long value = 0;
        for (char c : port) {
            if (!std::isdigit(static_cast<unsigned char>(c)) || value > 65535)
                return Fault(authority.empty() ? EAddressFault::NoHost : EAddressFault::BadPort);
            value = value * 10 + static_cast<unsigned long>(c - '0');
        }
        if (value < 1 || value > 65535)
            return Fault(authority.empty() ? EAddressFault::NoHost : EAddressFault::BadPort);
        address.m_nPort = static_cast<unsigned>(value);
    }
    if (authority.empty())
        return Fault(EAddressFault::NoHost);
    if (!IsHost(authority))
        return Fault(EAddressFault::BadHost);
    address.m_strHost = authority;

    CAddressParse parse;
    parse.m_address = address;
    return parse;
}
