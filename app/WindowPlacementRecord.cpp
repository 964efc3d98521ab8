#include "app/WindowPlacementRecord.h"

namespace {

void Put(std::string& out, std::int32_t value)
{
    std::uint32_t v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::int32_t Get(const std::string& in, std::size_t field)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(in[field * 4 + i]);
    return static_cast<std::int32_t>(v);
}

}  // namespace

std::string CWindowPlacementRecord::Encode() const
{
    std::string out;
    out.reserve(kSize);
    for (std::int32_t v : {m_nLength, m_nFlags, m_nShowCmd, m_nMinX, m_nMinY, m_nMaxX, m_nMaxY,
                           m_nLeft, m_nTop, m_nRight, m_nBottom})
        Put(out, v);
    return out;
}

std::optional<CWindowPlacementRecord> CWindowPlacementRecord::Decode(const std::string& bytes)
{
    if (bytes.size() != kSize)
        return std::nullopt;
    CWindowPlacementRecord r;
    std::int32_t* fields[] = {&r.m_nLength, &r.m_nFlags, &r.m_nShowCmd, &r.m_nMinX,
                              &r.m_nMinY,   &r.m_nMaxX,  &r.m_nMaxY,    &r.m_nLeft,
                              &r.m_nTop,    &r.m_nRight, &r.m_nBottom};
    for (std::size_t i = 0; i < 11; ++i)
        *fields[i] = Get(bytes, i);
    return r;
}

void CWindowPlacementRecord::ApplyMaximisedRule(std::int32_t left, std::int32_t top,
                                                std::int32_t right, std::int32_t bottom)
{
    if (m_nShowCmd != kShowMaximised)
        return;
    m_nShowCmd = kShowNormal;
    m_nLeft = left;
    m_nTop = top;
    m_nRight = right;
    m_nBottom = bottom;
}
