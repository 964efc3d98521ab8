// A JSON object of string members. A file of its own: the alerts build their one body by hand,
// so the programs never call it and the linker never takes it into them.
#include "server/Json.h"

std::string JsonObjectOfStrings(const std::vector<std::pair<std::string, std::string>>& members)
{
    std::string out = "{";
    for (const auto& member : members) {
        if (out.size() > 1)
            out += ',';
        out += JsonString(member.first) + ':' + JsonString(member.second);
    }
    return out + '}';
}
