#include "server/AlertQueue.h"

void CAlertQueue::Push(CQueuedAlert alert)
{
    if (alert.m_bTest)
        m_alerts.insert(m_alerts.begin(), std::move(alert));
    else
        m_alerts.push_back(std::move(alert));
    while (m_alerts.size() > kAlertQueueMax) {
        // The oldest alert that is no test: a test pressed just now is what the user waits for.
        auto oldest = m_alerts.begin();
        while (oldest != m_alerts.end() && oldest->m_bTest)
            ++oldest;
        if (oldest == m_alerts.end())
            oldest = m_alerts.begin();
        CountLost(*oldest);
        m_alerts.erase(oldest);
    }
}

std::optional<CQueuedAlert> CAlertQueue::Pop()
{
    if (m_alerts.empty())
        return std::nullopt;
    CQueuedAlert alert = std::move(m_alerts.front());
    m_alerts.erase(m_alerts.begin());
    return alert;
}

void CAlertQueue::Clear()
{
    m_alerts.clear();
    m_nLost = 0;
}

void CAlertQueue::CountLost(const CQueuedAlert& alert)
{
    if (!alert.m_bTest)
        ++m_nLost;
}
