#include "app/Settings.h"

#include "base/Names.h"
#include "platform/Registry_win.h"

std::optional<std::string> CRegistrySettings::ReadString(const char* name)
{
    platform::CRegKey key;
    return key.Open(HKEY_CURRENT_USER, kSettingsKeyPath) ? key.ReadString(name) : std::nullopt;
}

std::optional<std::string> CRegistrySettings::ReadBinary(const char* name)
{
    platform::CRegKey key;
    return key.Open(HKEY_CURRENT_USER, kSettingsKeyPath) ? key.ReadBinary(name) : std::nullopt;
}

std::optional<std::uint32_t> CRegistrySettings::ReadDword(const char* name)
{
    platform::CRegKey key;
    return key.Open(HKEY_CURRENT_USER, kSettingsKeyPath) ? key.ReadDword(name) : std::nullopt;
}

bool CRegistrySettings::Exists(const char* name)
{
    platform::CRegKey key;
    return key.Open(HKEY_CURRENT_USER, kSettingsKeyPath) && key.Exists(name);
}

bool CRegistrySettings::WriteString(const char* name, const std::string& value)
{
    platform::CRegKey key;
    return key.Create(HKEY_CURRENT_USER, kSettingsKeyPath) && key.SetString(name, value);
}

bool CRegistrySettings::WriteBinary(const char* name, const std::string& bytes)
{
    platform::CRegKey key;
    return key.Create(HKEY_CURRENT_USER, kSettingsKeyPath) && key.SetBinary(name, bytes);
}

bool CRegistrySettings::WriteDword(const char* name, std::uint32_t value)
{
    platform::CRegKey key;
    return key.Create(HKEY_CURRENT_USER, kSettingsKeyPath) && key.SetDword(name, value);
}
