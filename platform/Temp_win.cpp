#include "platform/Temp_win.h"

namespace platform {

bool FindResourceBytes(const char* type, int id, const void*& data, std::size_t& size, WORD language)
{
    HRSRC found = language ? ::FindResourceExA(nullptr, type, MAKEINTRESOURCEA(id), language)
                           : ::FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    HGLOBAL loaded = found ? ::LoadResource(nullptr, found) : nullptr;
    data = loaded ? ::LockResource(loaded) : nullptr;
    size = data ? ::SizeofResource(nullptr, found) : 0;
    return data != nullptr;
}

}  // namespace platform
