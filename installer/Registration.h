// The Installer's system calls: the game's registry entry, the shortcuts, Tollan's settings and
// the uninstall entry. Used by the installation run and by Uninstall.exe.
#pragma once
#include "installer/InstallPlan.h"
#include "installer/InstallRun.h"

#include <windows.h>

#include <cstdint>
#include <string>

// HKLM Software\Morvane\DravicQel2 value Path (32-bit view), cleaned; empty when the key, the
// value or a string type is missing.
std::string ReadGameFolderFromRegistry();

// A string value as stored (with or without its terminating NUL); empty when the key, the value
// or a string type is missing, or when it holds more than `maxBytes`. `view` may ask for the
// 32-bit view of the registry (KEY_WOW64_32KEY).
std::string ReadRegistryText(HKEY root, const char* path, const char* name, REGSAM view = 0, DWORD maxBytes = 1024);

// The target path a link file names; empty when it cannot be read. COM must be set up.
std::string ShortcutTarget(const std::string& linkPath);

IInstallHost::ShortcutResult SaveShortcut(const CShortcutSpec& spec, std::string& linkPath);
// The link file's path of a planned shortcut; empty when its special folder is unknown.
std::string ShortcutLinkPath(const CShortcutSpec& spec);

bool WriteTollanSettingNumber(const char* name, std::uint32_t value);
// Stored without a terminating NUL, as Installer has always written it; Tollan reads both.
bool WriteTollanSettingText(const char* name, const std::string& text);
bool WriteUninstallKey(const std::string& displayName, const std::string& command);

extern const char* const kSettingsKey;   // Software\Tollan\Settings
extern const char* const kUninstallKey;  // SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tollan

// True while Tollan runs: its single-instance mutex exists.
bool IsTollanRunning();
