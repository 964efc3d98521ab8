// A registry key that closes itself, with the value reads and writes the programs need. Reads give
// nothing for a missing value or one of another type or size.
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    bool Open(HKEY root, const char* path, REGSAM access = KEY_READ);
    // Opens the key for writing, creating it (and the keys above it) when missing.
    bool Create(HKEY root, const char* path);
    void Close();
    bool IsOpen() const { return m_hKey != nullptr; }

    // A string value (REG_SZ or REG_EXPAND_SZ) of at most maxBytes, whether or not its data ends
    // with a zero: the text is what comes before the first zero.
    std::optional<std::string> ReadString(const char* name, DWORD maxBytes = 0xFFFF) const;
    std::optional<std::string> ReadBinary(const char* name) const;
    std::optional<std::uint32_t> ReadDword(const char* name) const;
    bool Exists(const char* name) const
    {
        return m_hKey && RegQueryValueExA(m_hKey, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

    // With its terminating zero, as the programs' own strings are kept.
    bool SetString(const char* name, const std::string& text) const;
    bool SetBinary(const char* name, const std::string& bytes) const;
    bool SetDword(const char* name, std::uint32_t value) const;

    HKEY Get() const { return m_hKey; }

private:
    bool ReadRaw(const char* name, DWORD maxBytes, std::string& data, DWORD& type) const;
    HKEY m_hKey = nullptr;
};

}  // namespace platform
