// Text search in the console. The shell hands over the control's text with one character per
// position (a paragraph end is one "\r"), so the positions here are the control's own.
#pragma once
#include <cstddef>
#include <optional>
#include <string>

struct CFindRequest {
    std::string m_strWhat;
    bool m_bMatchCase = false;
};

struct CTextRange {
    size_t m_nStart = 0;
    size_t m_nEnd = 0;
    bool operator==(const CTextRange& o) const { return m_nStart == o.m_nStart && m_nEnd == o.m_nEnd; }
};

// The first match starting at or after `from`, else the first one in the whole text (the search
// wraps). Without "Match case" letters A-Z and a-z are the same.
std::optional<CTextRange> FindInText(const std::string& text, const CFindRequest& request, size_t from);

// Find Next for one console: starts after the selection, except when new text has moved the caret
// to the end since the last match (each batch does); then after that match, so F3 goes on to the
// next one while the log flows.
class CConsoleFinder {
public:
    CFindRequest m_request;

    std::optional<CTextRange> FindNext(const std::string& text, const CTextRange& selection);
    // The console dropped this many characters from its start.
    void OnTrimmed(size_t chars);
    void OnCleared() { m_nLastMatchEnd.reset(); }

private:
    std::optional<size_t> m_nLastMatchEnd;
};
