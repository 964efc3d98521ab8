// "Save Config": the checks that keep a name or a value from breaking the files, then the script
// and server INI, the history list and the store, in that order.
#pragma once
#include "config/ServerConfig.h"

class CHistoryStore;

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct CLevelCatalogue;

// Configuration names longer than this are refused: the name becomes a file name and a line of
// History.ini.
constexpr size_t kMaxConfigNameChars = 200;

// Why a name cannot be saved, or nothing when it can. `isNew` is true for a typed name; such a
// name must not equal one of `existing` except in letter case, since Windows file names ignore
// case and the two blocks would share one script.
std::optional<std::string> CheckConfigName(const std::string& name, bool isNew,
                                           const std::vector<std::string>& existing);

struct CValueProblem {
    std::string CServerConfig::*m_pField;  // the text field to correct
    std::string m_strMessage;
};
// A ";" in a password, a blank that begins a text field or a ";" that ends it would be cut off
// by the store's reader (and a changed admin password fails the login); a '"' in any text field
// would end its quoted value in the script.
std::optional<CValueProblem> CheckSaveValues(const CServerConfig& cfg);

struct CSaveRequest {
    // The name box was typed in since the last pick: the pending name is then what Save writes,
    // even when it is empty.
    bool m_bNameTyped = false;
    // Called with the configuration name once its script was written.
    std::function<void(const std::string& name)> m_onScriptWritten;
};

struct CSaveResult {
    bool m_bSaved = false;  // script, INI and store all written
    // Refused before anything was written: the message, and the field to correct (nullptr for
    // the name).
    bool m_bRefused = false;
    std::string CServerConfig::*m_pField = nullptr;
    std::string m_strMessage;  // for the user whenever !saved
};

// Checks the name and the values; refused, nothing is written and the record is unchanged.
// Otherwise the pending name becomes current (and is cleared), the script and INI are written,
// the history list is updated and the store rewritten. The store follows even when the script
// failed; the result says which files could not be written.
CSaveResult SaveConfiguration(const std::string& gameFolder, const CLevelCatalogue& catalogue,
                             const CHistoryStore& history, const CSaveRequest& request, CServerConfig& cfg);
