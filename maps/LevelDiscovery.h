// Level discovery: fills the level catalogue from the ".nfo" entries of the game's ".gro"
// archives (ZIP files in the top level of the game folder).
#pragma once
#include "maps/LevelCatalogue.h"

#include <cstddef>
#include <string>

// What one information file leaves for the next: the last level type and display name read
// during a scan. Both start empty and are never reset between files of one scan.
struct CNfoState {
    std::string m_strType;
    std::string m_strName;
};

// Applies one line (one read piece of at most 254 characters, line end included) of an
// information file to the state.
void ParseNfoLine(std::string line, CNfoState& state);

// Cuts the bytes of one information file into the pieces a text-mode fgets() with room for 254
// characters would return (CR LF reads as "\n"; see CTextReader), and feeds each piece to
// ParseNfoLine. Bytes may arrive in any number of chunks; Finish() parses them.
class CNfoReader {
public:
    explicit CNfoReader(CNfoState& state) : m_state(state) {}
    void Feed(const char* data, size_t size) { m_strBytes.append(data, size); }
    void Finish();

private:
    CNfoState& m_state;
    std::string m_strBytes;
};

// One whole information file held in memory.
void ParseNfo(const char* data, size_t size, CNfoState& state);

// Scans the game folder and appends what it finds after the filled slots of the catalogue (the
// caller clears it first). Problems go to the utility log; nothing is written to disk.
void ScanLevels(const std::string& gameFolder, CLevelCatalogue& catalogue);

// Information entries larger than this are not levels anyone wrote; they are skipped so a
// hostile archive cannot stall the start-up.
constexpr unsigned long long kMaxNfoBytes = 16ull * 1024 * 1024;
