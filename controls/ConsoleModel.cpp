#include "controls/ConsoleModel.h"

#include "base/TextFile.h"

namespace {
bool Contains(const std::string& s, const char* what) { return s.find(what) != std::string::npos; }
}  // namespace

uint32_t CConsoleModel::ClassifyLine(const std::string& line)
{
    if (Contains(line, "INF:"))
        return kConsoleGreen;
    if (Contains(line, "ERR:"))
        return kConsoleRed;
    if (Contains(line, "WRN:"))
        return kConsoleYellow;
    if (Contains(line, "TRC:"))
        return kConsoleBlue;
    return kConsoleBlack;
}

CConsoleBatch CConsoleModel::AppendConsoleText(const std::string& text, size_t nCurrentLength)
{
    CConsoleBatch batch;
    // The cap applies before the batch, so the console may briefly hold 20000 plus one batch.
    if (nCurrentLength > kMaxConsoleChars)
        batch.m_nTrimChars = nCurrentLength - kMaxConsoleChars;

    std::string work = m_strPending;
    work.append(text, 0, text.find('\0'));

    bool shown = true;
    size_t pos = 0;
    for (;;) {
        size_t nl = work.find('\n', pos);
        if (nl == std::string::npos) {
            // A log without line breaks must not grow the fragment without bound.
            m_strPending = work.substr(pos, kMaxPendingChars);
            break;
        }
        std::string line = work.substr(pos, nl + 1 - pos);
        pos = nl + 1;

        uint32_t colour = ClassifyLine(line);
        // The server's complaint about closing a file is noise: hide it and the rest of the batch.
        if (colour == kConsoleRed && Contains(line, "Error closing"))
            shown = false;
        if (shown)
            batch.m_inserts.push_back(CConsoleInsert{colour, " " + line});
        m_strPending.clear();
    }
    return batch;
}
