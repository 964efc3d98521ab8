// History.ini: the store of named configurations, the recent-name list and the server options
// section with the administrator password. One object names the file (Tollan's own folder holds
// it) and its twin HistoryTemp.ini beside it, through which it is rewritten.
#pragma once
#include "config/ServerConfig.h"

#include <optional>
#include <string>
#include <vector>

struct CConfigComboResult {
    bool m_bOpened = false;
    std::vector<std::string> m_names;  // every name of the history section, in file order
    int m_nSelected = -1;              // entry equal to the current configuration name, or -1
};

struct CConfigHistoryResult {
    // False when History.ini could not be read even after creating the default store: the shell
    // keeps its list; names then echo the shown entries passed in.
    bool m_bListRead = false;
    std::vector<std::string> m_names;
    // Entry to select; -1 selects none (or, when !m_bListRead, leaves the selection alone).
    int m_nSelected = -1;
};

class CHistoryStore {
public:
    // `path` names History.ini; its twin HistoryTemp.ini lies in the same folder.
    explicit CHistoryStore(std::string path);

    // Loads the block of the current configuration name into the record; keys missing from the block
    // keep their values. The availability flags are rebuilt from the texts whether or not the block
    // was found. False (with a log line) when History.ini cannot be opened.
    bool GetConfigOptions(CServerConfig& cfg) const;

    // Reads the history section for the configuration dialog and refills the record's history list
    // with the first kHistorySlots names.
    CConfigComboResult FillConfigCombo(CServerConfig& cfg) const;

    // The main dialog's list. Creates the default store when History.ini is missing. While the server
    // runs the first entry becomes the current configuration `currentName`; otherwise the entry equal
    // to it is selected; an empty current name takes the first entry.
    CConfigHistoryResult ReadConfigHistory(std::string& currentName, bool serverRunning,
                                           const std::vector<std::string>& shownEntries = {}) const;

    // Rewrites the whole store through HistoryTemp.ini: the current block first, then the other blocks
    // in their old order. The old History.ini survives any failure; one that exists but cannot be read
    // is never replaced, as that would lose every other configuration. True when it was replaced.
    bool WriteHistoryFile(CServerConfig& cfg) const;

    // The password of the server options section, as the remote console login uses it. Nothing when
    // History.ini cannot be opened or holds no such line.
    std::optional<std::string> ReadAdminPassword() const;

    // The names of every stored block, in file order (a save checks new names against them).
    std::vector<std::string> ReadStoredConfigNames() const;

    // The password a launch of the named configuration logs in with: its block's own
    // g_strAdminPassword, else the server options section's. Nothing (with the server options
    // reader's log line) when History.ini cannot be opened or holds neither.
    std::optional<std::string> ReadConfigAdminPassword(const std::string& name) const;

    // g_gtGameType of the named block, read without touching the record.
    std::optional<int> ReadStoredGameType(const std::string& name) const;

    const std::string& Path() const { return m_strPath; }

private:
    bool CreateDefaultStore() const;

    std::string m_strPath;
    std::string m_strTwinPath;
};

// The store created when there is none: its lines with "\n" ends, and its exact bytes on disk.
std::string DefaultStoreLines();
std::string DefaultStoreText();
