#include "base/OwnFolder.h"

#include "platform/Platform.h"

namespace {
std::string g_ownFolder;
}

void SetOwnFolder(const std::string& folder) { g_ownFolder = folder; }

const std::string& OwnFolder() { return g_ownFolder; }

std::string OwnFile(const char* name)
{
    if (g_ownFolder.empty())
        return name;
    return g_ownFolder + platform::kSep + name;
}
