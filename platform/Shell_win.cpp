#include "platform/Shell_win.h"

#include <shellapi.h>

namespace platform {

bool ShellOpen(HWND owner, const std::string& file, const std::string& parameters)
{
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_FLAG_NO_UI;
    sei.hwnd = owner;
    sei.lpVerb = "open";
    sei.lpFile = file.c_str();
    sei.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    sei.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&sei) != FALSE;
}

bool OpenInNotepad(HWND owner, const std::string& path)
{
    return ShellOpen(owner, "notepad.exe", path.find(' ') == std::string::npos ? path : "\"" + path + "\"");
}

}  // namespace platform
