// What the parts of Tollan share, made once in CTollanApp::Run and handed down at construction:
// the configuration record the configuration dialog edits, the level catalogue, the store of
// configurations (History.ini), the per-user settings, and the game folder, which the main window
// finds while it starts.
#pragma once
#include <string>

class CHistoryStore;
struct CLevelCatalogue;
struct CServerConfig;
class CSettingsStore;

struct CAppContext {
    CServerConfig& m_record;
    CLevelCatalogue& m_levels;
    const CHistoryStore& m_history;
    CSettingsStore& m_settings;
    std::string m_strGameFolder;
};
