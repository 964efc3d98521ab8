// The per-user settings as the rest of the program sees them: named values that are missing when
// they cannot be read (or are of another type), and writes that say whether they worked so that
// the caller can log a failure. On Windows they are HKEY_CURRENT_USER\Software\Tollan\Settings.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

// String value: the name of the configuration launched last, for a server that a later Tollan
// picks up still running.
constexpr char kLastLaunchedConfigValue[] = "LastLaunchedConfig";

class CSettingsStore {
public:
    // A string is read in full whether or not it was stored with its terminating zero.
    virtual std::optional<std::string> ReadString(const char* name) = 0;
    virtual std::optional<std::string> ReadBinary(const char* name) = 0;
    virtual std::optional<std::uint32_t> ReadDword(const char* name) = 0;
    // Whether the value is there at all, of whatever type.
    virtual bool Exists(const char* name) = 0;
    virtual bool WriteString(const char* name, const std::string& value) = 0;
    virtual bool WriteBinary(const char* name, const std::string& bytes) = 0;
    virtual bool WriteDword(const char* name, std::uint32_t value) = 0;

protected:
    ~CSettingsStore() = default;
};
