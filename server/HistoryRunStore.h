// The store the runs are launched from: History.ini, with the configuration record as the
// fallback game type.
#pragma once
#include "server/RunModel.h"

class CHistoryStore;
struct CServerConfig;

class CHistoryRunStore : public CRunStore {
public:
    CHistoryRunStore(const CHistoryStore& history, const CServerConfig& record) : m_history(history), m_record(record) {}
    int GameTypeOf(const std::string& configName) override;
    std::optional<std::string> AdminPasswordOf(const std::string& configName) override;

private:
    const CHistoryStore& m_history;
    const CServerConfig& m_record;
};
