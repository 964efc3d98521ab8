#include "config/ConfigSave.h"

#include "base/SafeName.h"
#include "base/StringPrintf.h"
#include "base/UtilityLog.h"
#include "config/HistoryStore.h"
#include "config/ScriptWriter.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

}  // namespace

std::optional<std::string> CheckConfigName(const std::string& name, bool isNew,
                                           const std::vector<std::string>& existing)
{
    if (name.empty())
        return std::string("Please enter a name for the configuration.");
    if (name[0] == ' ' || name[0] == '\t')
        return std::string("A configuration name cannot begin with a blank.");
    if (name.size() > kMaxConfigNameChars)
        return StringPrintf("A configuration name can have at most %u characters.",
                            static_cast<unsigned>(kMaxConfigNameChars));
    if (!IsSafeFileName(name))
        return std::string("A configuration name cannot hold any of \\ / : * ? \" < > | and cannot end "
                           "in a blank or a dot.");
    if (isNew) {
        for (const std::string& other : existing) {
            if (other != name && EqualIgnoringCase(other, name))
                return StringPrintf("There is a configuration named \"%s\" already. Names that differ only "
                                    "in letter case would share one script file.",
                                    other.c_str());
        }
    }
    return std::nullopt;
}

std::optional<CValueProblem> CheckSaveValues(const CServerConfig& cfg)
{
    std::string CServerConfig::*const passwords[] = {&CServerConfig::g_strAdminPassword,
                                                    &CServerConfig::g_strConnectPassword,
                                                    &CServerConfig::g_strVIPPassword};
    for (auto field : passwords)
        if ((cfg.*field).find(';') != std::string::npos)
            return CValueProblem{field, "A password cannot hold a \";\"."};
    std::string CServerConfig::*const texts[] = {&CServerConfig::g_strSessionName,
                                                &CServerConfig::g_strAdminPassword,
                                                &CServerConfig::g_strConnectPassword,
                                                &CServerConfig::g_strVIPPassword};
    for (auto field : texts) {
        const std::string& text = cfg.*field;
        // The store's reader drops the blanks before a value and the ";" after it, so such a
        // value would come back changed (a changed admin password fails every login).
        if (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ';'))
            return CValueProblem{field, "The text fields cannot begin with a blank or end in \";\"."};
        if (text.find('"') != std::string::npos)
            return CValueProblem{field, "The text fields cannot hold a double quote (\")."};
    }
    return std::nullopt;
}

CSaveResult SaveConfiguration(const std::string& gameFolder, const CLevelCatalogue& catalogue,
                             const CHistoryStore& history, const CSaveRequest& request, CServerConfig& cfg)
{
    CSaveResult result;
    const bool isNew = request.m_bNameTyped || !cfg.m_strNewConfigName.empty();
    const std::string name = isNew ? cfg.m_strNewConfigName : cfg.m_strConfigName;

    std::vector<std::string> existing = history.ReadStoredConfigNames();
    for (const std::string& h : cfg.m_astrHistory)
        if (!h.empty())
            existing.push_back(h);
    if (std::optional<std::string> problem = CheckConfigName(name, isNew, existing)) {
        result.m_bRefused = true;
        result.m_strMessage = *problem;
        return result;
    }
    if (std::optional<CValueProblem> problem = CheckSaveValues(cfg)) {
        result.m_bRefused = true;
        result.m_pField = problem->m_pField;
        result.m_strMessage = problem->m_strMessage;
        return result;
    }

    if (isNew)
        cfg.m_strConfigName = name;
    const CConfigFileResult files = WriteConfigFiles(gameFolder, catalogue, cfg);
    if (files.m_bScriptWritten && request.m_onScriptWritten)
        request.m_onScriptWritten(cfg.m_strConfigName);
    UpdateHistoryList(cfg);
    const bool storeWritten = history.WriteHistoryFile(cfg);
    // From here on the name is the current one; a later save of another configuration must not
    // write this name again.
    cfg.m_strNewConfigName.clear();

    // The script or else the INI, and the store: what could not be written.
    std::string failed;
    if (!files.m_bScriptWritten)
        failed = StringPrintf("the options script %s.cfg", cfg.m_strConfigName.c_str());
    else if (!files.m_bIniWritten)
        failed = "DedicatedServer.ini";
    if (!storeWritten)
        failed += failed.empty() ? "History.ini" : " and History.ini";
    if (failed.empty()) {
        result.m_bSaved = true;
        return result;
    }
    result.m_strMessage = StringPrintf("The configuration was not saved completely: %s could not be written. "
                                  "Tollan.log has the details.",
                                  failed.c_str());
    LogMessage("ERR:  %s\n", result.m_strMessage.c_str());
    return result;
}
