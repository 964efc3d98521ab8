// The settings store on the registry: HKEY_CURRENT_USER\Software\Tollan\Settings, each access
// opening and closing the key.
#pragma once
#include "base/SettingsStore.h"

class CRegistrySettings : public CSettingsStore {
public:
    std::optional<std::string> ReadString(const char* name) override;
    std::optional<std::string> ReadBinary(const char* name) override;
    std::optional<std::uint32_t> ReadDword(const char* name) override;
    bool Exists(const char* name) override;
    bool WriteString(const char* name, const std::string& value) override;
    bool WriteBinary(const char* name, const std::string& bytes) override;
    bool WriteDword(const char* name, std::uint32_t value) override;
};
