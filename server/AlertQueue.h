// The alerts waiting for the sender, bounded so that an outage cannot pile them up: beyond
// kAlertQueueMax the oldest go, and the next message delivered says how many never arrived.
#pragma once
#include <cstddef>
#include <vector>
#include <optional>
#include <string>

constexpr std::size_t kAlertQueueMax = 32;

struct CQueuedAlert {
    std::string m_strText;  // as the caller gave it (ANSI)
    bool m_bTest = false;   // the dialog's test: first in line, and never counted as lost
};

class CAlertQueue {
public:
    // Appends an alert (a test goes first in line); drops the oldest beyond kAlertQueueMax.
    void Push(CQueuedAlert alert);
    std::optional<CQueuedAlert> Pop();
    std::size_t Size() const { return m_alerts.size(); }
    // Drops everything waiting and forgets the lost ones (alerts turned off).
    void Clear();

    // Alerts that never reached the receiver (dropped here, or finally not delivered) since the
    // last message that reported them.
    unsigned Lost() const { return m_nLost; }
    void CountLost(const CQueuedAlert& alert);
    // A message that said `reported` were lost was delivered; those lost since stay counted.
    void Reported(unsigned reported) { m_nLost -= reported < m_nLost ? reported : m_nLost; }

private:
    std::vector<CQueuedAlert> m_alerts;  // at most kAlertQueueMax + 1: a vector is plenty
    unsigned m_nLost = 0;
};
