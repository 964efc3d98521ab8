#include "app/Settings.h"

#include <windows.h>

#include <vector>

namespace {

std::string g_settingsKey = "Software\\Tollan\\Settings";

// Reads one value of the settings key; the data and its registry type.
bool ReadRaw(const char* name, std::string& data, DWORD& type)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, g_settingsKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        std::vector<char> buf(size + 1);
        rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
        if (rc == ERROR_SUCCESS)
            data.assign(buf.data(), size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool WriteRaw(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, g_settingsKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

}  // namespace

void SetSettingsRoot(const std::string& programName)
{
    g_settingsKey = "Software\\" + programName + "\\Settings";
}

std::optional<std::string> ReadSettingString(const char* name)
{
    std::string data;
    DWORD type = 0;
    if (!ReadRaw(name, data, type) || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    // Installer stores the text without its terminating zero, Tollan with one: take everything
    // up to the first zero, or all of it.
    std::size_t zero = data.find('\0');
    if (zero != std::string::npos)
        data.erase(zero);
    return data;
}

std::optional<std::string> ReadSettingBinary(const char* name)
{
    std::string data;
    DWORD type = 0;
    if (!ReadRaw(name, data, type) || type != REG_BINARY)
        return std::nullopt;
    return data;
}

std::optional<std::uint32_t> ReadSettingDword(const char* name)
{
    std::string data;
    DWORD type = 0;
    if (!ReadRaw(name, data, type) || type != REG_DWORD || data.size() != 4)
        return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(data[i]);
    return v;
}

bool WriteSettingString(const char* name, const std::string& value)
{
    return WriteRaw(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

bool WriteSettingBinary(const char* name, const std::string& bytes)
{
    return WriteRaw(name, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool WriteSettingDword(const char* name, std::uint32_t value)
{
    DWORD v = value;
    return WriteRaw(name, REG_DWORD, &v, sizeof v);
}
