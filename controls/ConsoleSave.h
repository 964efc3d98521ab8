// "  Save Console to File...": the console's text as a file with CR LF line ends, written whole
// to a twin and swapped in, and which items the console's context menu offers.
#pragma once
#include <cstddef>
#include <string>

// Every paragraph end of the control's text ("\r", "\r\n" or "\n") as one "\n"; the writer turns
// each into CR LF.
std::string ConsoleTextToFileText(const std::string& controlText);

// Writes the text to "<path>.tmp", then replaces `path` with it; a failed write keeps the file
// that was there. Logs "INF:  " or "ERR:  " with the path; true on success.
bool SaveConsoleText(const std::string& path, const std::string& controlText);

// Copy needs a selection, Save only some text; with neither the menu is not shown.
struct CConsoleMenuOffer {
    bool m_bShow = false;
    bool m_bCopy = false;
    bool m_bSave = false;
};
CConsoleMenuOffer ConsoleMenuOffer(bool hasSelection, size_t textLength);
