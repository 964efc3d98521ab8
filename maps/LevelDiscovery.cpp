#include "maps/LevelDiscovery.h"

#include "base/TextFile.h"
#include "base/UtilityLog.h"
#include "platform/Platform.h"

#include "maps/BufferedZipIo.h"

#include <cstring>
#include <vector>

namespace {

const size_t kPieceChars = 254;
const size_t kMaxNameChars = 100;

// Archives of the game that hold no levels; compared case-sensitively like every file name here.
const char* const kExcludedArchives[] = {"All_PC_01.gro", "All_PC_02.gro", "All_PC_03.gro",
                                         "Movies_PC_01.gro", "Movies_PC_02.gro"};

bool EndsWith(const std::string& s, const char* tail)
{
    size_t n = std::strlen(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

bool IsExcluded(const std::string& name)
{
    for (const char* excluded : kExcludedArchives)
        if (name == excluded)
            return true;
    return false;
}

std::string TrimRightOf(std::string s, const char* chars)
{
    size_t end = s.size();
    while (end > 0 && std::strchr(chars, s[end - 1]) && s[end - 1] != '\0')
        --end;
    s.resize(end);
    return s;
}

// Appends one level to the first free slot of a list. False when the list has no free slot.
bool AppendLevel(CLevelList& list, const std::string& name, const std::string& path)
{
    int i = list.Count();
    if (i >= kLevelSlots)
        return false;
    list.m_aSlots[i].m_strName = name;
    list.m_aSlots[i].m_strPath = path;
    list.m_aSlots[i].m_nIndex = i;
    return true;
}

// Reads the current entry through the parser. The carried state changes only when the whole
// entry was read and its checksum held, so a damaged entry leaves no trace.
bool ReadNfoEntry(unzFile zip, unsigned long long size, CNfoState& state)
{
    if (size > kMaxNfoBytes)
        return false;
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    CNfoState trial = state;
    CNfoReader reader(trial);
    char buffer[16384];
    unsigned long long total = 0;
    bool ok = true;
    for (;;) {
        int n = unzReadCurrentFile(zip, buffer, sizeof buffer);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        total += static_cast<unsigned>(n);
        if (total > kMaxNfoBytes) {
            ok = false;
            break;
        }
        reader.Feed(buffer, static_cast<size_t>(n));
    }
    // unzCloseCurrentFile reports a checksum mismatch once the entry has been read to its end.
    if (unzCloseCurrentFile(zip) != UNZ_OK)
        ok = false;
    if (!ok)
        return false;
    reader.Finish();
    state = trial;
    return true;
}

class CScan {
public:
    explicit CScan(CLevelCatalogue& catalogue) : m_catalogue(catalogue), m_name(65536 + 1) {}
    void ScanArchive(const std::string& path, const std::string& fileName);

private:
    void AddLevel(const std::string& levelPath);
    CLevelCatalogue& m_catalogue;
    CNfoState m_state;
    std::vector<char> m_name;
    bool m_bFullReported = false;
};

void CScan::AddLevel(const std::string& levelPath)
{
    CLevelList* list = nullptr;
    if (m_state.m_strType.find("DM") != std::string::npos)
        list = &m_catalogue.m_dm;
    else if (m_state.m_strType.find("COOP") != std::string::npos)
        list = &m_catalogue.m_coop;
    if (!list)
        return;
    // A slot without a name would end the list for every reader and hide the levels after it.
    if (m_state.m_strName.empty()) {
        LogMessage("ERR:  Level without a name ignored: %s\n", levelPath.c_str());
        return;
    }
    if (!AppendLevel(*list, m_state.m_strName, levelPath) && !m_bFullReported) {
        m_bFullReported = true;
        LogMessage("ERR:  The level list is full; further levels are ignored.\n");
    }
}

void CScan::ScanArchive(const std::string& path, const std::string& fileName)
{
    unzFile zip = OpenArchive(path);
    if (!zip) {
        LogMessage("ERR:  Failed to open zip file: %s.\n", fileName.c_str());
        return;
    }
    int rc = unzGoToFirstFile(zip);
    while (rc == UNZ_OK) {
        unz_file_info64 info;
        if (unzGetCurrentFileInfo64(zip, &info, m_name.data(), m_name.size(), nullptr, 0, nullptr,
                                    0) != UNZ_OK) {
            rc = UNZ_BADZIPFILE;
            break;
        }
        std::string entry(m_name.data());  // names are C strings to the rules below
        if (entry.find(".nfo") != std::string::npos) {
            if (ReadNfoEntry(zip, info.uncompressed_size, m_state))
                AddLevel(ReplaceAll(entry, ".nfo", ".wld"));
        }
        rc = unzGoToNextFile(zip);
    }
    if (rc != UNZ_END_OF_LIST_OF_FILE)
        LogMessage("ERR:  Failed to read zip file: %s.\n", fileName.c_str());
    unzClose(zip);
}

}  // namespace

void ParseNfoLine(std::string line, CNfoState& state)
{
    // The rules were made for C strings: nothing after a NUL byte counts.
    size_t nul = line.find('\0');
    if (nul != std::string::npos)
        line.resize(nul);
    size_t eq = line.find('=');
    if (eq == std::string::npos)
        return;
    std::string key = TrimRightOf(line.substr(0, eq), " ");
    if (key == "MAP_TYPE") {
        state.m_strType = ReplaceAll(line, "MAP_TYPE=\" ", "");
    } else if (key == "NAME") {
        // NAME="<tag>=<shown name>": the shown name follows the second "=".
        std::string rest = ReplaceAll(line, "NAME=\"", "");
        size_t second = rest.find('=');
        if (second == std::string::npos)
            return;
        state.m_strName = TrimRightOf(rest.substr(second + 1, kMaxNameChars), "\" \r\n");
    }
}

void CNfoReader::Finish()
{
    CTextReader reader = CTextReader::FromBytes(std::move(m_strBytes));
    m_strBytes.clear();
    std::string piece;
    while (reader.ReadPiece(piece, kPieceChars))
        ParseNfoLine(piece, m_state);
}

void ParseNfo(const char* data, size_t size, CNfoState& state)
{
    CNfoReader reader(state);
    reader.Feed(data, size);
    reader.Finish();
}

void ScanLevels(const std::string& gameFolder, CLevelCatalogue& catalogue)
{
    CScan scan(catalogue);
    for (const platform::CDirEntry& entry : platform::ListDirectory(gameFolder)) {
        if (entry.m_bIsDirectory || !EndsWith(entry.m_strName, ".gro") || IsExcluded(entry.m_strName))
            continue;
        scan.ScanArchive(gameFolder + platform::kSep + entry.m_strName, entry.m_strName);
    }
}
