// The console's line logic without the rich edit control: which part of the old text to cut,
// which lines to insert and in which colour, and what stays pending.
//
// Contract for the shell (CConsoleCtrl::AppendConsoleText), per batch of text:
//   CConsoleBatch b = model.AppendConsoleText(text, control's current text length);
//   if (b.m_nTrimChars) replace characters [0, b.m_nTrimChars) by "" (no undo);
//   remember the line count; caret at the end; for each insert: set the bold 10-point format with
//   insert.m_crColour on the empty selection, then replace the selection by insert.m_strText (no
//   undo); scroll down by the lines the control gained.
// Texts end at their first zero byte. The pending fragment survives "Clear Console Log". Work per
// batch depends only on the batch (and the fragment of at most 200 characters), never on what
// the console already holds. Only one thread (the user-interface thread) may call the model.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Windows COLORREF values (0x00BBGGRR).
constexpr uint32_t kConsoleGreen = 0x007800;
constexpr uint32_t kConsoleRed = 0x0000DC;
constexpr uint32_t kConsoleYellow = 0x00A5C8;
constexpr uint32_t kConsoleBlue = 0xBE0000;
constexpr uint32_t kConsoleBlack = 0x000000;

struct CConsoleInsert {
    uint32_t m_crColour = kConsoleBlack;
    std::string m_strText;  // " " followed by the line and its "\n"
};

struct CConsoleBatch {
    size_t m_nTrimChars = 0;  // remove this many characters from the start before inserting
    std::vector<CConsoleInsert> m_inserts;
};

class CConsoleModel {
public:
    static constexpr size_t kMaxConsoleChars = 20000;
    static constexpr size_t kMaxPendingChars = 200;

    CConsoleBatch AppendConsoleText(const std::string& text, size_t nCurrentLength);

    const std::string& PendingFragment() const { return m_strPending; }
    // A recreated log starts again at its beginning: the old run's unfinished line must not
    // swallow the new run's first one.
    void DropPendingFragment() { m_strPending.clear(); }

    // Colour of a line: the first of "INF:", "ERR:", "WRN:", "TRC:" that it contains.
    static uint32_t ClassifyLine(const std::string& line);

private:
    std::string m_strPending;
};
