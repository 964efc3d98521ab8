// The remote console's login conversation, free of sockets and timers: the shell hands in the
// bytes of each receive and sends back what this class returns.
//
// Contract for the shell (CRemoteConsoleSocket):
// - Create one session per connection (a new one starts its greeting line count at 0).
// - While IsLoggedIn() is false, on each data-arrived notification receive at most kChunkSize
//   bytes and pass them to HandleChunk; send every string of the result's `m_sends`, in order, with
//   one send call each (the first is the telnet reply, sent even when it is empty; a second one,
//   when present, is the password line). A failed or empty receive: do not call HandleChunk.
// - Once IsLoggedIn() is true, leave arriving data unread; `m_bLoggedIn` in the result reports the
//   chunk that confirmed the login, which the socket passes on to its owner once.
// - The password is asked from the owner through the callback each time it is due.
#pragma once
#include <cstddef>
#include <functional>
#include <list>
#include <string>
#include <vector>

namespace telnet {
constexpr unsigned char kIAC = 255;
constexpr unsigned char kDONT = 254;
constexpr unsigned char kDO = 253;
constexpr unsigned char kWONT = 252;
constexpr unsigned char kWILL = 251;
constexpr unsigned char kSB = 250;
constexpr unsigned char kSE = 240;
constexpr unsigned char kECHO = 1;
constexpr unsigned char kSGA = 3;
}  // namespace telnet

struct CChunkResult {
    std::vector<std::string> m_sends;  // bytes for SendText, one send call each, in order
    bool m_bPasswordSent = false;      // the password line is among `m_sends`
    bool m_bLoggedIn = false;          // this chunk confirmed the login
};

class CRemoteConsoleSession {
public:
    static constexpr size_t kChunkSize = 1024;

    explicit CRemoteConsoleSession(std::function<std::string()> adminPassword);

    CChunkResult HandleChunk(const std::string& received);

    bool IsLoggedIn() const { return m_bLoggedIn; }
    int LineCount() const { return m_nLineCount; }

    // The steps of one chunk, public so that each can be tested on its own.
    void StripTelnetCommands();
    void AnswerTelnetOptions(CChunkResult& result);
    static void BuildOptionReply(const std::string& sequence, std::string& reply);
    void ScanLoginText(const std::string& text, CChunkResult& result);

    std::string m_strRaw;
    std::string m_strText;
    std::list<std::string> m_listOptions;
    std::string m_strReply;

private:
    std::function<std::string()> m_adminPassword;
    bool m_bLoginSeen = false;
    int m_nLineCount = 0;
    bool m_bPromptSeen = false;
    bool m_bLoggedIn = false;
};
