// Text files as Tollan reads and writes them: CR LF line ends written by us in binary mode, so
// both builds produce the same bytes; readers accept CR LF and a bare LF.
#pragma once
#include <cstdio>
#include <string>

// Reads a text file in pieces, the way fgets() with a buffer of maxChars + 1 reads a file opened
// in text mode: a piece ends after "\n" or after maxChars characters, whichever comes first,
// and a CR LF line end reads as "\n". A longer line is therefore delivered as several pieces.
// This is the one piece splitter: files are read whole when opened, and bytes already in memory
// (an archive's entry) are cut the same way.
class CTextReader {
public:
    // Open only when the whole file could be read; a file that exists but cannot be read (held by
    // another program, a folder, a read error) is not open.
    explicit CTextReader(const std::string& path);
    static CTextReader FromBytes(std::string bytes);

    bool IsOpen() const { return m_bOpen; }
    // False at the end of the text (or when the file is not open).
    bool ReadPiece(std::string& piece, size_t maxChars);

private:
    CTextReader() = default;
    std::string m_strBytes;
    size_t m_nPos = 0;
    bool m_bOpen = false;
};

// Writes a text file; "\n" becomes CR LF. Every write and the close are checked: Close() is true
// only when all of it reached the file.
class CTextWriter {
public:
    CTextWriter() = default;
    explicit CTextWriter(const std::string& path) { Open(path); }
    ~CTextWriter();
    CTextWriter(const CTextWriter&) = delete;
    CTextWriter& operator=(const CTextWriter&) = delete;

    bool Open(const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }
    void Write(const std::string& text);
    void Write(const char* text);
    bool Close();
    bool Failed() const { return m_failed; }

    // Test hook: the write with this number (counted from 1 across all writers) fails, as a full
    // disk would make it. 0 turns the hook off.
    static void FailWriteNumber(int n);

private:
    std::FILE* m_file = nullptr;
    bool m_failed = false;
};

// Trailing blanks, tabs and line-end characters removed.
std::string TrimRight(const std::string& s);
std::string TrimLeft(const std::string& s);
inline std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }
// Every occurrence of `what` replaced by `with`; the callers' texts are fixed ones.
std::string ReplaceAll(std::string s, const char* what, const char* with);
