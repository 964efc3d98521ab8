// Configuration and map list names become file names (<name>.cfg, <name>.txt) and, inside
// quotes, part of the server's command line. A name that could leave its folder or break out of
// those quotes is refused before any path is built from it.
#pragma once
#include <string>

// False for an empty name, "." or "..", a name holding \ / : * ? " < > | or a control
// character, and a name that ends in a blank or a dot.
bool IsSafeFileName(const std::string& name);
