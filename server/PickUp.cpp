#include "server/PickUp.h"

#include <algorithm>

namespace {

std::string Normalised(const std::string& path)
{
    std::string p = path;
    if (p.compare(0, 4, "\\\\?\\") == 0 || p.compare(0, 4, "\\??\\") == 0)
        p.erase(0, 4);
    std::replace(p.begin(), p.end(), '/', '\\');
    std::string out;
    for (size_t i = 0; i < p.size(); ++i) {
        char c = p[i];
        // A UNC name keeps its two leading separators.
        if (c == '\\' && i > 1 && out.back() == '\\')
            continue;
        out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    while (out.size() > 1 && out.back() == '\\')
        out.pop_back();
    return out;
}

}  // namespace

bool IsSameWindowsPath(const std::string& a, const std::string& b) { return Normalised(a) == Normalised(b); }

CPickedUpConfig ChoosePickedUpConfig(const std::optional<std::string>& lastLaunched,
                                     const std::vector<std::string>& storedNames, const std::string& current)
{
    const bool known = lastLaunched && !lastLaunched->empty();
    if (known && std::find(storedNames.begin(), storedNames.end(), *lastLaunched) != storedNames.end())
        return {*lastLaunched, "", false};
    CPickedUpConfig c;
    c.m_bGuessed = true;
    c.m_strName = !current.empty() || storedNames.empty() ? current : storedNames.front();
    std::string& line = c.m_strLogLine;
    line = "INF:  The configuration the running server was launched with";
    if (known)
        line.append(", ").append(*lastLaunched).append(", is no longer stored; ");
    else
        line.append(" is not recorded; ");
    if (c.m_strName.empty())
        line.append("no configuration is known.\n");
    else
        line.append(c.m_strName).append(" is assumed.\n");
    return c;
}
