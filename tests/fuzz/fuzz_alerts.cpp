// Arbitrary bytes as a webhook address and as an alert: a refused address gives its text, an
// accepted one is redacted to scheme, host and port alone; the body is always valid UTF-8 and an
// object of two equal strings within the length limit.
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

bool IsValidUtf8(const std::string& s)
{
    return ValidUtf8(s) == s;
}

// Reads one JSON string literal at `i`; its unescaped value goes to `value`.
bool ReadString(const std::string& s, std::size_t& i, std::string& value)
{
    if (i >= s.size() || s[i++] != '"')
        return false;
    value.clear();
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i++]);
        if (c == '"')
            return true;
        if (c < 0x20)
            return false;
        if (c != '\\') {
            value += static_cast<char>(c);
            continue;
        }
        if (i >= s.size())
            return false;
        const char e = s[i++];
        if (e == 'u') {
            if (i + 4 > s.size() || s.compare(i, 2, "00") != 0)
                return false;
            value += static_cast<char>(std::strtol(s.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 4;
        } else if (std::string("\"\\/bfnrt").find(e) == std::string::npos) {
            return false;
        } else {
            value += e;
        }
    }
    return false;
}

void CheckAddress(const std::string& text)
{
    const CAddressParse parse = ParseWebhookAddress(text);
    Require(parse.m_address.has_value() == (parse.m_eFault == EAddressFault::None));
    if (!parse.m_address) {
        Require(!AddressFaultText(parse.m_eFault).empty());
        return;
    }
    const CWebhookAddress& a = *parse.m_address;
    const std::string redacted = a.Redacted();
    const std::string scheme = a.m_bHttps ? "https://" : "http://";
    Require(redacted.compare(0, scheme.size(), scheme) == 0);
    // After the scheme: a host and a port, nothing of the path, the query or a user.
    const std::string rest = redacted.substr(scheme.size());
    Require(!rest.empty() && rest.find_first_of("/?#@%") == std::string::npos);
    Require(rest == a.m_strHost + ":" + std::to_string(a.m_nPort));
    Require(a.m_nPort >= 1 && a.m_nPort <= 65535);
    Require(!a.m_strPathAndQuery.empty() && a.m_strPathAndQuery[0] == '/');
    Require(a.m_strPathAndQuery.size() < 2 || redacted.find(a.m_strPathAndQuery) == std::string::npos);
    Require(text.size() <= kWebhookAddressMax);
}

void CheckBody(const std::string& message, unsigned lost)
{
    const std::string body = AlertBody(message, lost);
    Require(IsValidUtf8(body));
    std::size_t i = 0;
    std::string name, content, text;
    Require(body.compare(0, 1, "{") == 0);
    i = 1;
    Require(ReadString(body, i, name) && name == "content" && body[i++] == ':' && ReadString(body, i, content));
    Require(body[i++] == ',');
    Require(ReadString(body, i, name) && name == "text" && body[i++] == ':' && ReadString(body, i, text));
    Require(i + 1 == body.size() && body[i] == '}');
    Require(content == text && IsValidUtf8(content));
    Require(CodePointCount(content) <= kAlertMaxChars);
    const std::string note = LostAlertsNote(lost);
    Require(content.size() >= note.size() && content.compare(content.size() - note.size(), note.size(), note) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    CheckAddress(input);
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
        "GAMEBOX: NormalDM crashed; starting it again in 5 s.",
        "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x8E\xAE\xED\xA0\x80\xE9\"\\\n\x01",
        nullptr,
    };
    return seeds;
}
