#include "config/ServerConfig.h"

#include <vector>

void DeriveMapListFile(CServerConfig& cfg)
{
    cfg.g_strMapListFile = "DedicatedServerUtility/MapLists/" + cfg.g_strMapList + ".txt";
}

int RaiseServerFps(int& fps)
{
    if (fps < kMinServerFps)
        fps = kMinServerFps;
    return fps;
}

void UpdateHistoryList(CServerConfig& cfg)
{
    std::vector<std::string> names;
    if (!cfg.m_strConfigName.empty())
        names.push_back(cfg.m_strConfigName);
    for (const std::string& name : cfg.m_astrHistory) {
        if (names.size() >= kHistorySlots)
            break;
        if (name.empty() || name == cfg.m_strConfigName)
            continue;
        names.push_back(name);
    }
    cfg.m_astrHistory.fill(std::string());
    for (size_t i = 0; i < names.size(); ++i)
        cfg.m_astrHistory[i] = names[i];
}
