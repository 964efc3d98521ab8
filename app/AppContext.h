// What the parts of Tollan share, made once in CTollanApp::Run and handed down at construction:
// the configuration record the configuration dialog edits, the level catalogue, the per-user
// settings, and the game folder, which the main window finds while it starts.
#pragma once
#include <string>

struct CLevelCatalogue;
struct CServerConfig;
class CSettingsStore;

struct CAppContext {
    CServerConfig& m_record;
    CLevelCatalogue& m_levels;
    CSettingsStore& m_settings;
    std::string m_strGameFolder;
};
