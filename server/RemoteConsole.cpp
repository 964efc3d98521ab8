#include "server/RemoteConsole.h"

#include "base/TextFile.h"

#include <utility>

using namespace telnet;

namespace {
const char kLoginLine[] = "Telnet connection from";
const size_t kLoginLineLength = 22;

inline unsigned char Byte(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]); }
}  // namespace

CRemoteConsoleSession::CRemoteConsoleSession(std::function<std::string()> adminPassword)
    : m_adminPassword(std::move(adminPassword))
{
}

CChunkResult CRemoteConsoleSession::HandleChunk(const std::string& received)
{
    CChunkResult result;
    // After the login nothing is read any more; a chunk handed in anyway is ignored.
    if (m_bLoggedIn || received.empty())
        return result;

    m_strRaw.append(received);
    if (received.find('>') != std::string::npos)
        m_bPromptSeen = true;
    if (m_bPromptSeen)
        m_strRaw = TrimLeft(m_strRaw);

    StripTelnetCommands();
    AnswerTelnetOptions(result);

    // The server's prompt is neither counted nor searched for the confirmation line.
    if (!m_bPromptSeen)
        ScanLoginText(m_strText.substr(0, m_strText.find('\0')), result);

    m_bPromptSeen = false;
    m_strRaw.clear();
    m_strReply.clear();
    return result;
}

// Takes the telnet sequences out of m_strRaw into m_listOptions; what remains is m_strText. Only
// the text after the last three-byte sequence survives, as the server's greeting expects.
void CRemoteConsoleSession::StripTelnetCommands()
{
    std::string w = m_strRaw;
    m_strText.clear();
    while (!w.empty()) {
        size_t k = w.find(static_cast<char>(kIAC));
        if (k == std::string::npos) {
            m_strText = w;
            return;
        }
        if (k + 1 >= w.size()) {
            // An IAC as the last byte: nothing follows it in this chunk.
            m_strText = w.substr(0, k);
            w.clear();
            continue;
        }
        unsigned char c = Byte(w, k + 1);
        if (c == kSB) {
            m_strText = w.substr(0, k);
            // The SE that closes this subnegotiation; an SE left at the front of w by an earlier
            // one must not count, or the same IAC would be found again for ever.
            size_t e = w.find(static_cast<char>(kSE), k + 2);
            if (e == std::string::npos) {
                // No SE in this chunk: the rest of it belongs to the subnegotiation.
                m_listOptions.push_back(w.substr(k));
                w.clear();
                continue;
            }
            m_listOptions.push_back(w.substr(k, e));
            w.erase(0, e);
        } else if (c == kWILL || c == kWONT || c == kDO || c == kDONT) {
            m_listOptions.push_back(w.substr(k, 3));
            w.erase(0, k + 3 < w.size() ? k + 3 : w.size());
            m_strText = w.substr(0, k);
        } else if (c == kIAC) {
            m_strText = w.substr(0, k);
            w.erase(0, k + 1);
        } else {
            // A two-byte command (NOP, GA, ...): nothing to answer, go on after it.
            m_strText = w.substr(0, k);
            w.erase(0, k + 2);
        }
    }
}

void CRemoteConsoleSession::AnswerTelnetOptions(CChunkResult& result)
{
    while (!m_listOptions.empty()) {
        BuildOptionReply(m_listOptions.front(), m_strReply);
        m_listOptions.pop_front();
    }
    // One send per chunk, also when there is nothing to answer.
    result.m_sends.push_back(m_strReply);
    m_strReply.clear();
}

void CRemoteConsoleSession::BuildOptionReply(const std::string& sequence, std::string& reply)
{
    if (sequence.size() < 3)
        return;
    unsigned char v = Byte(sequence, 1);
    unsigned char o = Byte(sequence, 2);
    bool known = o == kECHO || o == kSGA;
    reply += static_cast<char>(kIAC);
    auto add = [&reply, o](unsigned char verb) {
        reply += static_cast<char>(verb);
        reply += static_cast<char>(o);
    };
    switch (v) {
    case kWILL: add(known ? kDO : kDONT); break;
    case kWONT: add(kDONT); break;
    case kDO: add(known ? kWILL : kWONT); break;
    case kDONT: add(kWONT); break;
    case kSB:
        if (known && sequence.size() >= 4 && sequence[3] == '1') {
            add(kSB);
            reply += '0';
            reply += static_cast<char>(kIAC);
            reply += static_cast<char>(kSE);
        }
        break;
    default: break;
    }
}

// Counts the greeting's lines (by their CR) and looks for the confirmation line, which the server
// ends with a bare LF. The indices into the text and into the accumulator differ on purpose.
void CRemoteConsoleSession::ScanLoginText(const std::string& text, CChunkResult& result)
{
    std::string a;
    int crRun = 0, lfRun = 0;
    size_t lineStart = 0, lineEnd = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char b = Byte(text, i);
        if (b == '\r') {
            if (crRun == 0) {
                ++m_nLineCount;
                lineStart = i;
            } else {
                a += "\r\n";
            }
            ++crRun;
        } else if (b == '\n') {
            if (lfRun == 0)
                lineEnd = i;
            a += '\n';
            ++lfRun;
        } else if (b == 0 || b == 1 || b == 3 || b == 24) {
            // Control bytes of the negotiation: not part of the text.
        } else {
            a += static_cast<char>(b);
        }
        if (lineEnd != 0) {
            std::string p = lineStart < a.size() ? a.substr(lineStart, lineEnd) : std::string();
            if (!m_bLoggedIn && p.size() > kLoginLineLength) {
                p = TrimLeft(p);
                if (p.compare(0, kLoginLineLength, kLoginLine) == 0)
                    m_bLoginSeen = true;
            }
            crRun = lfRun = 0;
            lineStart = lineEnd = 0;
        }
    }
    // The chunk that confirms the login leaves the count at six as well; the password sent again
    // there would reach the server as a console command and be echoed into its log.
    if (m_nLineCount == 6 && !m_bLoginSeen) {
        result.m_sends.push_back((m_adminPassword ? m_adminPassword() : std::string()) + "\r\n");
        result.m_bPasswordSent = true;
    }
    if (m_bLoginSeen) {
        m_bLoginSeen = false;
        m_bLoggedIn = true;
        result.m_bLoggedIn = true;
    }
}
