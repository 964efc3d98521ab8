// Opens ZIP archives for minizip through a read-ahead buffer of our own. minizip walks the
// central directory with a seek and a few small reads per entry; the C library's streams
// (MSVCRT's in particular) drop their buffer at every seek, so each entry would cost a read
// from the system. Here a seek inside the buffer is free and sequential misses grow the buffer.
#pragma once
#include <unzip.h>

#include <string>

// The archive open for reading, or nullptr.
unzFile OpenArchive(const std::string& path);
