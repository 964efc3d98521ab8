// The shell's folder browser with an edit box for typing a path, in the resizable new style,
// without the context-help button, its caption "  Browsing for...", a larger title and the
// "Folder:" label at height 16.
#pragma once
#include <windows.h>

#include <string>

namespace wingui {

struct CFolderBrowse {
    std::string m_strTitle;          // shown above the folder tree
    std::string m_strInitialFolder;  // preselected, when not empty (at most 518 characters)
    std::string m_strEditText;       // the edit box's first text
};

// The chosen folder's path, or empty when the user cancelled. COM must be set up on this thread
// (the new style hosts shell views).
std::string BrowseForFolder(HWND owner, const CFolderBrowse& browse);

}  // namespace wingui
