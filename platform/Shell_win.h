// The shell's "open" of a program, a document or a folder, asked for without any box of the
// shell's own: Tollan and the Installer open things while nobody may be at the screen, and a box
// would hold the caller until somebody clicked it. A failure is the caller's to report.
#pragma once
#include <windows.h>

#include <string>

namespace platform {

// False when the shell could not open `file` (with `parameters`, which may be empty).
bool ShellOpen(HWND owner, const std::string& file, const std::string& parameters);
// The text editor on one file; the path is quoted when it holds a blank, so that it stays one name.
bool OpenInNotepad(HWND owner, const std::string& path);

}  // namespace platform
