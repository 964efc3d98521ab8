// Arbitrary bytes as an information entry, read in two chunks split at the first byte's value,
// with the state left by the previous input (as the scan carries it from file to file).
#include "maps/LevelDiscovery.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static CNfoState carried;
    const char* bytes = reinterpret_cast<const char*>(data);
    size_t cut = size ? data[0] % (size + 1) : 0;
    CNfoReader reader(carried);
    reader.Feed(bytes, cut);
    reader.Feed(bytes + cut, size - cut);
    reader.Finish();
    if (carried.m_strName.size() > 100)
        std::abort();

    CNfoState fresh;
    ParseNfo(bytes, size, fresh);
    return 0;
}

extern "C" const char* const* TollanFuzzSeeds()
{
    static const char* const seeds[] = {
        "MAP_TYPE=\" DM\"\r\nNAME=\"TAG=Shown Name\"\r\n",
        "MAP_TYPE=\" COOP\"\nNAME=\"Plain\"\n",
        "NAME  = \"a=b=c\" \"\r\r\n\r",
        "MAP_TYPE=\" MAP_TYPE=\" DM\"\"\nNAME=\"NAME=\"NAME=\"=x\"",
        nullptr,
    };
    return seeds;
}
