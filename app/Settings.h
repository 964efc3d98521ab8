// Per-user settings: HKEY_CURRENT_USER\Software\<program>\Settings. Values that cannot be read are
// missing (nullopt); writes report success so that callers can log a failure.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

// String value: the name of the configuration launched last, for a server that a later Tollan
// picks up still running.
constexpr char kLastLaunchedConfigValue[] = "LastLaunchedConfig";

// The settings root is the key named after the program directly under Software.
void SetSettingsRoot(const std::string& programName);

std::optional<std::string> ReadSettingString(const char* name);
std::optional<std::string> ReadSettingBinary(const char* name);
std::optional<std::uint32_t> ReadSettingDword(const char* name);

bool WriteSettingString(const char* name, const std::string& value);
bool WriteSettingBinary(const char* name, const std::string& bytes);
bool WriteSettingDword(const char* name, std::uint32_t value);
