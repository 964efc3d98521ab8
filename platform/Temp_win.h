// What the programs take from their own file and put into the temp folder.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace platform {

// A resource of this program: its bytes stay valid while the program runs. Without a language
// the system picks one. False when there is no such resource.
bool FindResourceBytes(const char* type, int id, const void*& data, std::size_t& size, WORD language = 0);

// "<temp folder><prefix>-<process id>-<n><suffix>" for the first n from 0 to 99 for which
// create(name) succeeds; empty when none does or the temp folder is unknown.
template <class Create>
std::string CreateInTempFolder(const char* prefix, const char* suffix, Create create)
{
    char temp[MAX_PATH] = "";
    const DWORD n = ::GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp)
        return std::string();
    for (unsigned i = 0; i < 100; ++i) {
        char name[MAX_PATH + 64];
        ::wsprintfA(name, "%s%s-%lu-%u%s", temp, prefix, ::GetCurrentProcessId(), i, suffix);
        if (create(static_cast<const char*>(name)))
            return name;
    }
    return std::string();
}

}  // namespace platform
