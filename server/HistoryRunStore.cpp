#include "server/HistoryRunStore.h"

#include "config/HistoryStore.h"
#include "config/ServerConfig.h"

int CHistoryRunStore::GameTypeOf(const std::string& configName)
{
    // The record holds whatever the configuration dialog loaded last, which need not be the
    // configuration that is started; its own stored block says how it is to be started.
    return m_history.ReadStoredGameType(configName).value_or(m_record.g_gtGameType);
}

std::optional<std::string> CHistoryRunStore::AdminPasswordOf(const std::string& configName)
{
    return m_history.ReadConfigAdminPassword(configName);
}
