// The names that Tollan, its Installer and Uninstall share with Windows and with the game: one
// place, so that the programs can never disagree about them.
#pragma once

// The program's name: the title of its message boxes.
constexpr char kProgramName[] = "Tollan";
// Per-user settings: HKEY_CURRENT_USER\Software\Tollan\Settings.
constexpr char kSettingsKeyPath[] = "Software\\Tollan\\Settings";
constexpr char kTollanKeyPath[] = "Software\\Tollan";
// The game's own entry, HKEY_LOCAL_MACHINE, value Path.
constexpr char kGameKeyPath[] = "Software\\Morvane\\DravicQel2";
constexpr char kGamePathValue[] = "Path";
// The uninstall entry, HKEY_LOCAL_MACHINE.
constexpr char kUninstallKeyPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tollan";
// Exists exactly as long as a Tollan runs.
constexpr char kInstanceMutexName[] = "CTollanApp";
// Broadcast by a second start: a Tollan hidden in the notification area shows its window again.
constexpr char kShowHiddenMessageName[] = "Tollan.ShowHiddenWindow";
// The game server's remote console, on this machine.
constexpr char kRemoteConsoleAddress[] = "127.0.0.1";
constexpr unsigned short kRemoteConsolePort = 25600;
