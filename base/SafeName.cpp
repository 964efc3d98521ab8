#include "base/SafeName.h"

#include <cstring>

bool IsSafeFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    for (unsigned char c : name) {
        if (c < 32 || c == 127 || std::strchr("\\/:*?\"<>|", c))
            return false;
    }
    char last = name.back();
    return last != ' ' && last != '.';
}
