// The Installer's system calls: the game's registry entry, the shortcuts, Tollan's settings and
// the uninstall entry. Used by the installation run and by Uninstall.exe.
#pragma once
#include "installer/InstallPlan.h"
#include "installer/InstallRun.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The target path a link file names; empty when it cannot be read. COM must be set up.
std::string ShortcutTarget(const std::string& linkPath);

CInstallSystem::EShortcutResult SaveShortcut(const CShortcutSpec& spec, std::string& linkPath);
// The link file's path of a planned shortcut; empty when its special folder is unknown.
std::string ShortcutLinkPath(const CShortcutSpec& spec);

bool WriteTollanSettingNumber(const char* name, std::uint32_t value);
// Stored without a terminating NUL, as Installer has always written it; Tollan reads both.
bool WriteTollanSettingText(const char* name, const std::string& text);
bool WriteUninstallKey(const std::string& displayName, const std::string& command);

// True while Tollan runs: its single-instance mutex exists.
bool IsTollanRunning();
