#include "controls/ConsoleSave.h"

#include "base/TextFile.h"
#include "base/UtilityLog.h"
#include "platform/Platform.h"

std::string ConsoleTextToFileText(const std::string& controlText)
{
    std::string out;
    out.reserve(controlText.size());
    for (size_t i = 0; i < controlText.size(); ++i) {
        char c = controlText[i];
        if (c == '\r') {
            if (i + 1 < controlText.size() && controlText[i + 1] == '\n')
                ++i;
            c = '\n';
        }
        out += c;
    }
    return out;
}

bool SaveConsoleText(const std::string& path, const std::string& controlText)
{
    const std::string twin = path + ".tmp";
    CTextWriter out;
    bool ok = out.Open(twin);
    if (ok) {
        out.Write(ConsoleTextToFileText(controlText));
        ok = out.Close() && platform::ReplaceFileWith(twin, path);
        if (!ok)
            platform::RemoveFile(twin);
    }
    if (ok)
        LogMessage("INF:  The console was saved to %s\n", path.c_str());
    else
        LogMessage("ERR:  Failed to save the console to %s\n", path.c_str());
    return ok;
}

CConsoleMenuOffer ConsoleMenuOffer(bool hasSelection, size_t textLength)
{
    CConsoleMenuOffer offer;
    offer.m_bCopy = hasSelection;
    offer.m_bSave = textLength > 0;
    offer.m_bShow = offer.m_bCopy || offer.m_bSave;
    return offer;
}
