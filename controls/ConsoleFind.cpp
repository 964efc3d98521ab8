#include "controls/ConsoleFind.h"

#include <algorithm>

namespace {
char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::optional<CTextRange> FindInText(const std::string& text, const CFindRequest& request, size_t from)
{
    const std::string& what = request.m_strWhat;
    if (what.empty() || what.size() > text.size())
        return std::nullopt;
    auto equal = [&](char a, char b) { return request.m_bMatchCase ? a == b : FoldAscii(a) == FoldAscii(b); };
    auto searchFrom = [&](size_t start) -> std::optional<CTextRange> {
        auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), what.begin(),
                              what.end(), equal);
        if (it == text.end())
            return std::nullopt;
        size_t at = static_cast<size_t>(it - text.begin());
        return CTextRange{at, at + what.size()};
    };
    if (auto match = searchFrom(std::min(from, text.size())))
        return match;
    return from ? searchFrom(0) : std::nullopt;
}

std::optional<CTextRange> CConsoleFinder::FindNext(const std::string& text, const CTextRange& selection)
{
    size_t from = selection.m_nEnd;
    bool caretPushedToEnd = selection.m_nStart == selection.m_nEnd && selection.m_nEnd >= text.size();
    if (caretPushedToEnd && m_nLastMatchEnd && *m_nLastMatchEnd <= text.size())
        from = *m_nLastMatchEnd;
    auto match = FindInText(text, m_request, from);
    if (match)
        m_nLastMatchEnd = match->m_nEnd;
    return match;
}

void CConsoleFinder::OnTrimmed(size_t chars)
{
    if (m_nLastMatchEnd)
        m_nLastMatchEnd = *m_nLastMatchEnd > chars ? *m_nLastMatchEnd - chars : 0;
}
