// What the system does for the installation run, on Windows: the payload resource, a temporary
// folder, the shortcuts, the registry values, the pauses. No window is involved.
#pragma once
#include "installer/InstallRun.h"

class CWindowsInstallSystem : public CInstallSystem {
public:
    void Pause(unsigned ms) override;
    bool IsUtilityRunning() override;
    bool GetPayload(const void*& data, std::size_t& size) override;
    std::string MakeTempFolder() override;
    void RemoveTempFolder(const std::string& folder) override;
    EShortcutResult MakeShortcut(const CShortcutSpec& shortcut, std::string& linkPath) override;
    bool WriteSettingsNumber(const char* name, std::uint32_t value) override;
    bool WriteSettingsText(const char* name, const std::string& text) override;
    bool WriteUninstallEntry(const std::string& displayName, const std::string& command) override;
};
