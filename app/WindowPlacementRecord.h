// The 44-byte `WindowPlacement` setting: eleven little-endian 32-bit fields, in the order of the
// platform's window placement record.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

struct CWindowPlacementRecord {
    static constexpr std::size_t kSize = 44;
    static constexpr std::int32_t kShowNormal = 1;
    static constexpr std::int32_t kShowMinimised = 2;
    static constexpr std::int32_t kShowMaximised = 3;

    std::int32_t m_nLength = kSize;
    std::int32_t m_nFlags = 0;
    std::int32_t m_nShowCmd = kShowNormal;
    std::int32_t m_nMinX = 0, m_nMinY = 0;
    std::int32_t m_nMaxX = 0, m_nMaxY = 0;
    std::int32_t m_nLeft = 0, m_nTop = 0, m_nRight = 0, m_nBottom = 0;

    // The stored bytes of the record.
    std::string Encode() const;
    // Only a value of exactly 44 bytes is a record; its fields are taken as they are.
    static std::optional<CWindowPlacementRecord> Decode(const std::string& bytes);

    // A maximised window is stored as a normal one with the maximised rectangle, so that the
    // next start opens a normal window of that size.
    void ApplyMaximisedRule(std::int32_t left, std::int32_t top, std::int32_t right,
                            std::int32_t bottom);
};
