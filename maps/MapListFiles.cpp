#include "maps/MapListFiles.h"

#include "base/GamePaths.h"
#include "base/SafeName.h"
#include "base/StringPrintf.h"
#include "base/TextFile.h"
#include "base/UtilityLog.h"
#include "platform/Platform.h"

const char* const kLevelPathMark = "Content/DravicQel2/Levels/";
const char* const kDefaultMapListName = "MapList";

namespace {

const size_t kPieceChars = 254;

std::string Join(const std::string& folder, const std::string& name)
{
    return folder + platform::kSep + name;
}

bool HasTxtExtension(const std::string& name)
{
    return name.size() >= 4 && name.compare(name.size() - 4, 4, ".txt") == 0;
}

// Writes the lines to a twin next to the target and swaps it in, so a failed write never costs
// the list that was there. Open failures and write failures are told apart for the log.
enum class EWrite { Ok, OpenFailed, WriteFailed };

EWrite WriteLevelLines(const std::string& path, const std::vector<std::string>& lines)
{
    std::string twin = path + ".tmp";
    CTextWriter out;
    if (!out.Open(twin))
        return EWrite::OpenFailed;
    for (const std::string& line : lines)
        out.Write(line + "\n");
    if (!out.Close() || !platform::ReplaceFileWith(twin, path)) {
        platform::RemoveFile(twin);
        return EWrite::WriteFailed;
    }
    return EWrite::Ok;
}

}  // namespace

bool IsStorableMapListName(const std::string& name)
{
    return !name.empty() && name.front() != ' ' && name.back() != ';';
}

std::vector<std::string> ListMapLists(const std::string& gameFolder, bool bLogOpenFailures)
{
    std::vector<std::string> names;
    std::string folder = MapListFolder(gameFolder);
    for (const platform::CDirEntry& entry : platform::ListDirectory(folder)) {
        if (entry.m_bIsDirectory || !HasTxtExtension(entry.m_strName))
            continue;
        std::string path = Join(folder, entry.m_strName);
        CTextReader in(path);
        if (!in.IsOpen()) {
            if (bLogOpenFailures)
                LogMessage("ERR:  Failed to open: %s\n", path.c_str());
            continue;
        }
        bool bMapList = false;
        std::string piece;
        while (!bMapList && in.ReadPiece(piece, kPieceChars))
            bMapList = piece.find(kLevelPathMark) != std::string::npos;
        // Only the final ".txt" goes: the name must lead back to this very file when the list
        // is read or saved ("a.txt.txt" is the list "a.txt").
        std::string name = entry.m_strName.substr(0, entry.m_strName.size() - 4);
        if (bMapList && IsStorableMapListName(name))
            names.push_back(name);
    }
    return names;
}

bool ReadMapList(const std::string& gameFolder, const std::string& fileName, const CLevelList& dm,
                 std::vector<int>& slots)
{
    std::string path = Join(MapListFolder(gameFolder), fileName);
    CTextReader in(path);
    if (!in.IsOpen()) {
        LogMessage("ERR:  Failed to open: %s\n", path.c_str());
        return false;
    }
    std::vector<int> result;
    int count = dm.Count();
    std::string piece, previous;
    bool bFirst = true;
    while (in.ReadPiece(piece, kPieceChars)) {
        std::string line = TrimRight(piece);
        // A run of the same line counts once; the same level further down counts again.
        bool bRepeat = !bFirst && line == previous;
        bFirst = false;
        previous = line;
        if (bRepeat || line.empty())
            continue;
        for (int i = 0; i < count; ++i) {
            if (dm.m_aSlots[i].m_strPath == line) {
                result.push_back(i);
                break;
            }
        }
    }
    slots = result;
    return true;
}

EMapListSave WriteMapList(const std::string& gameFolder, const std::string& name,
                          const std::vector<int>& slots, const CLevelList& dm,
                          int& iDmStartingLevel)
{
    if (slots.empty())
        return EMapListSave::EmptyList;
    if (!IsSafeFileName(name)) {
        LogMessage("ERR:  Map List name is not a valid file name: %s\n", name.c_str());
        return EMapListSave::UnsafeName;
    }
    if (!IsStorableMapListName(name)) {
        LogMessage("ERR:  Map List name would not survive History.ini: %s\n", name.c_str());
        return EMapListSave::UnsafeName;
    }
    std::vector<std::string> lines;
    int count = dm.Count();
    for (int slot : slots) {
        if (slot < 0 || slot >= count)
            return EMapListSave::UnknownLevel;
        lines.push_back(dm.m_aSlots[slot].m_strPath);
    }

    std::string utilityFolder = UtilityFolderPath(gameFolder);
    if (!platform::IsDirectory(utilityFolder))
        platform::MakeDirectory(utilityFolder);
    std::string folder = MapListFolder(gameFolder);
    if (!platform::IsDirectory(folder))
        platform::MakeDirectory(folder);

    const std::string path = StringPrintf("%s%c%s.txt", folder.c_str(), platform::kSep, name.c_str());
    LogMessage("INF:  Attempting to save Map List file: %s...\n", path.c_str());
    switch (WriteLevelLines(path, lines)) {
    case EWrite::OpenFailed:
        LogMessage("ERR:  Could not create Map List file: %s\n", path.c_str());
        return EMapListSave::Failed;
    case EWrite::WriteFailed:
        LogMessage("ERR:  Could not write Map List file: %s\n", path.c_str());
        return EMapListSave::Failed;
    case EWrite::Ok:
        break;
    }
    iDmStartingLevel = slots.front();
    return EMapListSave::Saved;
}

std::string CreateDefaultMapList(const std::string& gameFolder, const CLevelList& dm)
{
    std::vector<std::string> lines;
    for (int i = 0, n = dm.Count(); i < n; ++i)
        lines.push_back(dm.m_aSlots[i].m_strPath);
    const std::string path =
        StringPrintf("%s%c%s.txt", MapListFolder(gameFolder).c_str(), platform::kSep, kDefaultMapListName);
    if (WriteLevelLines(path, lines) != EWrite::Ok)
        LogMessage("Could not create new MapLists\\MapList.txt file.\n");
    return kDefaultMapListName;
}
