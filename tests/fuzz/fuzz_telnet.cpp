// Arbitrary receives through the login session: several chunks per input, each answered with
// well-formed telnet replies, never a hang or an out-of-bounds read.
#include "server/RemoteConsole.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Every answer is IAC alone, IAC verb option, or IAC SB option "0" IAC SE.
bool WellFormedReply(const std::string& r)
{
    size_t i = 0;
    while (i < r.size()) {
        if (static_cast<unsigned char>(r[i]) != telnet::kIAC)
            return false;
        if (i + 1 >= r.size() || static_cast<unsigned char>(r[i + 1]) == telnet::kIAC) {
            i += 1;
            continue;
        }
        unsigned char v = static_cast<unsigned char>(r[i + 1]);
        if (v == telnet::kSB) {
            if (i + 5 >= r.size() || r[i + 3] != '0' || static_cast<unsigned char>(r[i + 4]) != telnet::kIAC ||
                static_cast<unsigned char>(r[i + 5]) != telnet::kSE)
                return false;
            i += 6;
        } else if (v == telnet::kDO || v == telnet::kDONT || v == telnet::kWILL || v == telnet::kWONT) {
            if (i + 2 >= r.size())
                return false;
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the chunk sizes.
    unsigned step = 1 + data[0] % 97;
    std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    CRemoteConsoleSession session([] { return std::string("pw"); });
    size_t pos = 0;
    unsigned n = 0;
    while (pos < input.size()) {
        size_t len = 1 + (step * ++n * 31) % CRemoteConsoleSession::kChunkSize;
        std::string chunk = input.substr(pos, len);
        pos += chunk.size();
        bool wasLoggedIn = session.IsLoggedIn();
        CChunkResult r = session.HandleChunk(chunk);
        if (wasLoggedIn) {
            if (!r.m_sends.empty() || r.m_bLoggedIn)
                std::abort();
            continue;
        }
        if (r.m_sends.empty() || r.m_sends.size() > 2 || r.m_bPasswordSent != (r.m_sends.size() == 2))
            std::abort();
        if (!WellFormedReply(r.m_sends[0]) || r.m_sends[0].size() > 6 * chunk.size())
            std::abort();
        if (r.m_bPasswordSent && (r.m_sends[1] != "pw\r\n" || session.LineCount() != 6))
            std::abort();
        if (r.m_bLoggedIn != session.IsLoggedIn())
            std::abort();
    }
    return 0;
}

extern "C" const char* const* TollanFuzzSeeds()
{
    static const char* const seeds[] = {
        "\x01\xff\xfb\x01\xff\xfb\x03",
        "\x05L1\r\nL2\r\nL3\r\nL4\r\nL5\r\nL6\r\nTelnet connection from 127.0.0.1:1234\n",
        "\x09\xff\xfa\x01" "1\xff\xf0\xff\xfa\x03" "1\xff\xf0text\xff",
        "\x02\xff\xf9\xff\xff\xfd\x1f>\r\n",
        nullptr,
    };
    return seeds;
}
