#include "base/TextFile.h"

#include <atomic>
#include <cstdarg>

namespace {
std::atomic<int> g_failWriteNumber{0};
std::atomic<int> g_writeCount{0};

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

CTextReader::CTextReader(const std::string& path) : m_file(std::fopen(path.c_str(), "rb")) {}

CTextReader::~CTextReader()
{
    if (m_file)
        std::fclose(m_file);
}

int CTextReader::Get()
{
    if (m_pushback >= 0) {
        int c = m_pushback;
        m_pushback = -1;
        return c;
    }
    int c = std::fgetc(m_file);
    // Text mode on Windows turns CR LF into LF; do the same so both builds read alike.
    if (c == '\r') {
        int next = std::fgetc(m_file);
        if (next == '\n')
            return '\n';
        if (next != EOF)
            m_pushback = next;
    }
    return c;
}

bool CTextReader::ReadPiece(std::string& piece, size_t maxChars)
{
    piece.clear();
    if (!m_file)
        return false;
    while (piece.size() < maxChars) {
        int c = Get();
        if (c == EOF)
            break;
        piece += static_cast<char>(c);
        if (c == '\n')
            break;
    }
    return !piece.empty();
}

bool CTextReader::ReadLine(std::string& line)
{
    line.clear();
    if (!m_file)
        return false;
    int c;
    bool any = false;
    while ((c = Get()) != EOF) {
        any = true;
        if (c == '\n')
            return true;
        line += static_cast<char>(c);
    }
    return any;
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

void CTextWriter::Write(const std::string& text)
{
    if (!m_file) {
        m_failed = true;
        return;
    }
    std::string bytes;
    bytes.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    int number = ++g_writeCount;
    if (g_failWriteNumber != 0 && number == g_failWriteNumber) {
        m_failed = true;
        return;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size())
        m_failed = true;
}

void CTextWriter::Printf(const char* format, ...)
{
    char small[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n < 0) {
        m_failed = true;
        return;
    }
    if (static_cast<size_t>(n) < sizeof small) {
        Write(std::string(small, static_cast<size_t>(n)));
        return;
    }
    std::string big(static_cast<size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(&big[0], big.size(), format, args);
    va_end(args);
    big.resize(static_cast<size_t>(n));
    Write(big);
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

std::string ReplaceAll(std::string s, const std::string& what, const std::string& with)
{
    if (what.empty())
        return s;
    size_t pos = 0;
    while ((pos = s.find(what, pos)) != std::string::npos) {
        s.replace(pos, what.size(), with);
        pos += with.size();
    }
    return s;
}
