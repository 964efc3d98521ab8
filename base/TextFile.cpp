#include "base/TextFile.h"

#include "base/StringPrintf.h"

#include <atomic>
#include <cstring>

namespace {
std::atomic<int> g_failWriteNumber{0};
std::atomic<int> g_writeCount{0};

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

CTextReader::CTextReader(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return;
    char buffer[16384];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        m_strBytes.append(buffer, n);
    m_bOpen = !std::ferror(f);
    std::fclose(f);
    if (!m_bOpen)
        m_strBytes.clear();
}

CTextReader CTextReader::FromBytes(std::string bytes)
{
    CTextReader reader;
    reader.m_strBytes = std::move(bytes);
    reader.m_bOpen = true;
    return reader;
}

bool CTextReader::ReadPiece(std::string& piece, size_t maxChars)
{
    piece.clear();
    const size_t size = m_strBytes.size();
    while (piece.size() < maxChars && m_nPos < size) {
        char c = m_strBytes[m_nPos++];
        // Text mode on Windows turns CR LF into LF; do the same so both builds read alike.
        if (c == '\r' && m_nPos < size && m_strBytes[m_nPos] == '\n')
            c = m_strBytes[m_nPos++];
        piece += c;
        if (c == '\n')
            break;
    }
    return !piece.empty();
}

CTextWriter::~CTextWriter()
{
    if (m_file)
        std::fclose(m_file);
}

bool CTextWriter::Open(const std::string& path)
{
    if (m_file)
        std::fclose(m_file);
    m_failed = false;
    m_file = std::fopen(path.c_str(), "wb");
    return m_file != nullptr;
}

// Out of line, so that a literal is made a string here once rather than at every call.
void CTextWriter::Write(const char* text) { Write(std::string(text)); }

void CTextWriter::Write(const std::string& text)
{
    if (!m_file) {
        m_failed = true;
        return;
    }
    const std::string bytes = WithCrLf(text);
    int number = ++g_writeCount;
    if (g_failWriteNumber != 0 && number == g_failWriteNumber) {
        m_failed = true;
        return;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        m_failed = true;
}

bool CTextWriter::Close()
{
    if (!m_file)
        return false;
    if (std::fflush(m_file) != 0 || std::ferror(m_file))
        m_failed = true;
    if (std::fclose(m_file) != 0)
        m_failed = true;
    m_file = nullptr;
    return !m_failed;
}

void CTextWriter::FailWriteNumber(int n)
{
    g_writeCount = 0;
    g_failWriteNumber = n;
}

std::string TrimRight(const std::string& s)
{
    size_t end = s.size();
    while (end > 0 && IsTrimmed(s[end - 1]))
        --end;
    return s.substr(0, end);
}

std::string TrimLeft(const std::string& s)
{
    size_t begin = 0;
    while (begin < s.size() && IsTrimmed(s[begin]))
        ++begin;
    return s.substr(begin);
}

std::string ReplaceAll(std::string s, const char* what, const char* with)
{
    const size_t whatLength = std::strlen(what), withLength = std::strlen(with);
    if (whatLength == 0)
        return s;
    size_t pos = 0;
    while ((pos = s.find(what, pos, whatLength)) != std::string::npos) {
        s.replace(pos, whatLength, with, withLength);
        pos += withLength;
    }
    return s;
}
