// Arbitrary bytes as a webhook address and as an alert: an accepted address is redacted to
// scheme, host and port alone; the body is always valid UTF-8, an object of two equal JSON strings
// within the length limit that end with the note of lost alerts.
#include "server/AlertText.h"
#include "server/Json.h"
#include "server/WebhookAddress.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// The value of the JSON string literal that `literal` must be exactly.
std::string Unescaped(const std::string& literal)
{
    Require(literal.size() >= 2 && literal.front() == '"' && literal.back() == '"');
    std::string value;
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(literal[i]);
        Require(c >= 0x20 && c != '"');
        if (c != '\\') {
            value += static_cast<char>(c);
            continue;
        }
        const char e = literal[++i];
        if (e == 'u') {
            Require(i + 5 < literal.size() && literal.compare(i + 1, 2, "00") == 0);
            value += static_cast<char>(std::strtol(literal.substr(i + 3, 2).c_str(), nullptr, 16));
            i += 4;
        } else {
            Require(std::string("\"\\bfnrt").find(e) != std::string::npos);
            value += e;
        }
    }
    return value;
}

void CheckBody(const std::string& message, unsigned lost)
{
    const std::string body = AlertBody(message, lost);
    Require(ValidUtf8(body) == body);
    const std::string head = "{\"content\":";
    const std::size_t middle = body.find(",\"text\":", head.size());
    Require(body.compare(0, head.size(), head) == 0 && middle != std::string::npos && body.back() == '}');
    const std::string content = body.substr(head.size(), middle - head.size());
    Require(body.substr(middle + 8, body.size() - middle - 9) == content);
    const std::string value = Unescaped(content), note = LostAlertsNote(lost);
    Require(CodePointCount(value) <= kAlertMaxChars && value.size() >= note.size() &&
            value.compare(value.size() - note.size(), note.size(), note) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const CAddressParse parse = ParseWebhookAddress(input);
    Require(parse.m_address.has_value() == (parse.m_eFault == EAddressFault::None));
    Require(parse.m_address || *AddressFaultText(parse.m_eFault));
    if (const std::optional<CWebhookAddress>& a = parse.m_address) {
        const std::string scheme = a->m_bHttps ? "https://" : "http://";
        // After the scheme only the host and the port: nothing of a path, a query or a user.
        Require(a->Redacted() == scheme + a->m_strHost + ":" + std::to_string(a->m_nPort));
        Require(!a->m_strHost.empty() && a->m_strHost.find_first_of("/?#@%") == std::string::npos);
        Require(a->m_nPort >= 1 && a->m_nPort <= 65535 && a->m_strPathAndQuery[0] == '/');
        Require(a->m_strPathAndQuery.size() < 2 || a->Redacted().find(a->m_strPathAndQuery) == std::string::npos);
    }
    // Long messages too, to reach the cut.
    const unsigned lost = size ? data[0] % 40 : 0;
    CheckBody(input, lost);
    CheckBody(input + input + input + input + input + input, lost);
    return 0;
}

extern "C" const char* const* TollanFuzzSeeds()
{
    static const char* const seeds[] = {
        "https://discord.com/api/webhooks/123/SeCrEt",
        "http://user:pw@[::1]:8080/hook?token=abc#frag",
        "HTTPS://ntfy.sh?x=/y@z",
        "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xAE\xED\xA0\x80\xE9\"\\\n\x01",
        nullptr,
    };
    return seeds;
}
