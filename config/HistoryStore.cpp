#include "config/HistoryStore.h"

#include "base/SafeName.h"
#include "base/StringPrintf.h"
#include "base/TextFile.h"
#include "base/UtilityLog.h"
#include "config/Availability.h"
#include "config/ConfigKeys.h"
#include "platform/Platform.h"

#include <functional>

namespace {

bool EndsWithLineEnd(const std::string& piece) { return !piece.empty() && piece.back() == '\n'; }

// A piece without its line end; "\r" stays only where it is not part of one.
std::string Bare(const std::string& piece)
{
    size_t end = piece.size();
    while (end > 0 && (piece[end - 1] == '\n' || piece[end - 1] == '\r'))
        --end;
    return piece.substr(0, end);
}

// Store lines are read whole, however long: a line of every disabled item runs past 255
// characters, and a cut one would bring the rest back enabled (or cut a password).
bool NextLine(CTextReader& in, std::string& line) { return in.ReadPiece(line, std::string::npos); }

// "  key = value;" -> key (trimmed) and value (leading blanks gone, then every trailing ";" and
// line-end character; a blank before the ";" stays). False for a line without "=".
bool SplitKeyLine(const std::string& piece, std::string& key, std::string& value)
{
    size_t eq = piece.find('=');
    if (eq == std::string::npos)
        return false;
    key = Trim(piece.substr(0, eq));
    value = TrimLeft(piece.substr(eq + 1));
    while (!value.empty() && (value.back() == ';' || value.back() == '\r' || value.back() == '\n'))
        value.pop_back();
    return true;
}

using KeyHandler = std::function<void(const std::string& key, const std::string& value)>;

// Finds the block named exactly `name` and hands each of its key lines to onKey. A block without
// its "}" ends at the end of the file. False when there is no such block.
bool ScanBlock(CTextReader& in, const std::string& name, const KeyHandler& onKey)
{
    std::string piece;
    while (NextLine(in, piece)) {
        if (Bare(piece) != "CONFIG_NAME")
            continue;
        if (!NextLine(in, piece))
            return false;
        if (Bare(piece) != name)
            continue;
        NextLine(in, piece);  // the "{", whatever it holds
        std::string key, value;
        while (NextLine(in, piece) && Bare(piece) != "}") {
            if (SplitKeyLine(piece, key, value))
                onKey(key, value);
        }
        return true;
    }
    return false;
}

// The names of the history section, trimmed; empty lines are no names.
std::vector<std::string> ReadHistoryNames(CTextReader& in)
{
    std::vector<std::string> names;
    std::string piece;
    while (NextLine(in, piece)) {
        const std::string line = Bare(piece);
        if (line == "END_HISTORY")
            break;
        if (line == "CONFIG_HISTORY")
            continue;
        std::string name = Trim(line);
        if (!name.empty())
            names.push_back(name);
    }
    return names;
}

}  // namespace

CHistoryStore::CHistoryStore(std::string path) : m_strPath(std::move(path))
{
    const size_t slash = m_strPath.find_last_of("\\/");
    m_strTwinPath = (slash == std::string::npos ? std::string() : m_strPath.substr(0, slash + 1)) + "HistoryTemp.ini";
}

bool CHistoryStore::CreateDefaultStore() const
{
    CTextWriter out;
    if (out.Open(m_strPath)) {
        out.Write(DefaultStoreLines());
        if (out.Close())
            return true;
        // A half-written store would be read as if it were whole.
        platform::RemoveFile(m_strPath);
    }
    LogMessage("Could not create new History.ini file.\n");
    return false;
}

std::string DefaultStoreLines()
{
    static const char* const kLines[] = {
        "CONFIG_HISTORY",
        "  Normal",
        "END_HISTORY",
        "",
        "SERVER_OPTIONS",
        "  g_strAdminPassword = brindlex;",
        "END_OPTIONS",
        "",
        "CONFIG_NAME",
        "Normal",
        "{",
        "  g_bAmmoStays = 1;",
        "  g_bClientsMayPause = 0;",
        "  g_bLAN = 0;",
        "  g_bEnableDebris = 1;",
        "  g_bFriendlyFire = 0;",
        "  g_bHealthArmorStays = 1;",
        "  g_bInfiniteAmmo = 0;",
        "  g_bWeaponsStay = 1;",
        "  g_strSessionName = Dedicated Server;",
        "  g_ctMaxLives = 3;",
        "  g_ctMaxPlayers = 4;",
        "  g_ctPrivateSlots = 0;",
        "  g_gdDifficulty = 2;",
        "  g_iEnemyStrengthPerPlayer = 50;",
        "  g_iExtraEnemyStrength = 0;",
        "  g_iStartingLevel = 0;",
        "  g_ctFragsLimit = 10;",
        "  g_ctTimeLimit = 20;",
        "  g_gtGameType = 0;",
        "  g_ctTimeBanMinutes = 60.0;",
        "  g_fVoteDuration = 60.0;",
        "  g_iVotePercentageToPass = 50;",
        "  g_fVoteEndDelay = 3.0;",
        "  g_fEndOfRoundDelay = 10.0;",
        "  g_strDisabledVoteTypes = ;",
        "  g_strDisabledItems = ;",
        "  g_strMapList = ;",
        "  g_strMapListFile = ;",
        "  g_strAdminPassword = brindlex;",
        "  g_strConnectPassword = ;",
        "  g_strVIPPassword = ;",
        "  g_iFPS = 60;",
        "  g_iProblemsTimeout = 15;",
        "  g_uwPort = 25600;",
        "  g_ctMaxDebris = 20;",
        "}",
        "",
        "END",
    };
    std::string text;
    for (const char* line : kLines) {
        text += line;
        text += '\n';
    }
    return text;
}

// As CTextWriter writes the lines.
std::string DefaultStoreText() { return WithCrLf(DefaultStoreLines()); }

bool CHistoryStore::GetConfigOptions(CServerConfig& cfg) const
{
    CTextReader in(m_strPath);
    if (!in.IsOpen()) {
        LogMessage("ERR:  Unable to open History.ini during a call to GetConfigOptions()\n");
        return false;
    }
    ScanBlock(in, cfg.m_strConfigName, [&cfg](const std::string& key, const std::string& value) {
        if (const CConfigKey* k = FindConfigKey(key))
            AssignConfigKey(cfg, *k, value);
    });
    ReadDisabledItems(cfg);
    ReadDisabledVoteTypes(cfg);
    return true;
}

std::vector<std::string> CHistoryStore::ReadStoredConfigNames() const
{
    std::vector<std::string> names;
    CTextReader in(m_strPath);
    std::string piece;
    while (NextLine(in, piece)) {
        if (Bare(piece) == "CONFIG_NAME" && NextLine(in, piece))
            names.push_back(Bare(piece));
    }
    return names;
}

std::optional<std::string> CHistoryStore::ReadConfigAdminPassword(const std::string& name) const
{
    std::optional<std::string> password;
    {
        CTextReader in(m_strPath);
        if (!in.IsOpen())
            return ReadAdminPassword();  // logs that it could not
        ScanBlock(in, name, [&password](const std::string& key, const std::string& value) {
            if (key == "g_strAdminPassword")
                password = value;
        });
    }
    return password ? password : ReadAdminPassword();
}

std::optional<int> CHistoryStore::ReadStoredGameType(const std::string& name) const
{
    CTextReader in(m_strPath);
    if (!in.IsOpen())
        return std::nullopt;
    std::optional<int> gameType;
    ScanBlock(in, name, [&gameType](const std::string& key, const std::string& value) {
        if (key == "g_gtGameType")
            gameType = ParseLeadingInt(value);
    });
    return gameType;
}

CConfigComboResult CHistoryStore::FillConfigCombo(CServerConfig& cfg) const
{
    CConfigComboResult result;
    CTextReader in(m_strPath);
    if (!in.IsOpen()) {
        LogMessage("ERR:  Unable to open History.ini during a call to FillConfigCombo()\n");
        return result;
    }
    result.m_bOpened = true;
    result.m_names = ReadHistoryNames(in);
    cfg.m_astrHistory.fill(std::string());
    for (size_t i = 0; i < result.m_names.size(); ++i) {
        if (i < kHistorySlots)
            cfg.m_astrHistory[i] = result.m_names[i];
        if (result.m_nSelected < 0 && result.m_names[i] == cfg.m_strConfigName)
            result.m_nSelected = static_cast<int>(i);
    }
    return result;
}

CConfigHistoryResult CHistoryStore::ReadConfigHistory(std::string& currentName, bool serverRunning,
                                                     const std::vector<std::string>& shownEntries) const
{
    CConfigHistoryResult result;
    std::optional<CTextReader> in;
    in.emplace(m_strPath);
    // Only a missing store is replaced by the default one; one we merely cannot read is kept.
    if (!in->IsOpen() && !platform::FileExists(m_strPath) && CreateDefaultStore())
        in.emplace(m_strPath);

    if (!in->IsOpen()) {
        // Without a line break on purpose, as the journal has always had it.
        LogMessage("ERR:  Failed to open History.ini during call to GetConfigHistory().");
        result.m_names = shownEntries;
    } else {
        result.m_bListRead = true;
        result.m_names = ReadHistoryNames(*in);
        for (size_t i = 0; i < result.m_names.size(); ++i) {
            if (serverRunning) {
                if (i == 0) {
                    currentName = result.m_names[0];
                    result.m_nSelected = 0;
                }
            } else if (result.m_names[i] == currentName) {
                result.m_nSelected = static_cast<int>(i);
            }
        }
    }
    if (currentName.empty() && !result.m_names.empty()) {
        currentName = result.m_names[0];
        result.m_nSelected = 0;
    }
    return result;
}

bool CHistoryStore::WriteHistoryFile(CServerConfig& cfg) const
{
    // The name becomes a block name and, elsewhere, a file name; one that could not be both is
    // refused before anything is touched.
    const std::string& saveName = cfg.m_strNewConfigName.empty() ? cfg.m_strConfigName
                                                                   : cfg.m_strNewConfigName;
    if (!IsSafeFileName(saveName)) {
        LogMessage("ERR:  Configuration name \"%s\" cannot be used as a file name; History.ini was "
                   "not written.\n",
                   saveName.c_str());
        return false;
    }

    LogMessage("INF:  Attempting to write HistoryTemp.ini file...\n");
    CTextWriter out;
    if (!out.Open(m_strTwinPath)) {
        LogMessage("ERR:  Failed to create HistoryTemp.ini during a call to WriteHistoryFile().\n");
        return false;
    }

    out.Write("CONFIG_HISTORY\n");
    int written = 0;
    if (!cfg.m_strNewConfigName.empty()) {
        out.Write(StringPrintf("  %s\n", cfg.m_strNewConfigName.c_str()));
        ++written;
    }
    for (const std::string& name : cfg.m_astrHistory) {
        if (name.empty() || written >= kHistorySlots)
            break;
        if (name == cfg.m_strNewConfigName)
            continue;
        out.Write(StringPrintf("  %s\n", name.c_str()));
        ++written;
    }
    out.Write("END_HISTORY\n\n");

    out.Write("SERVER_OPTIONS\n");
    out.Write(StringPrintf("  g_strAdminPassword = %s;\n", cfg.g_strAdminPassword.c_str()));
    out.Write("END_OPTIONS\n\n");

    if (!cfg.m_strNewConfigName.empty())
        cfg.m_strConfigName = cfg.m_strNewConfigName;
    // The texts follow the flags at every write, so the store never keeps stale ones.
    BuildDisabledItems(cfg);
    BuildDisabledVoteTypes(cfg);
    DeriveMapListFile(cfg);
    out.Write(StringPrintf("CONFIG_NAME\n%s\n{\n", cfg.m_strConfigName.c_str()));
    for (const CConfigKey& key : kConfigKeys)
        out.Write(StringPrintf("  %s = %s;\n", key.m_pszName, FormatConfigValue(cfg, key).c_str()));
    out.Write("}\n\n");

    LogMessage("INF:  Attempting to open existing History.ini file...\n");
    {
        CTextReader in(m_strPath);
        if (in.IsOpen()) {
            std::string piece;
            while (NextLine(in, piece)) {
                if (Bare(piece) != "CONFIG_NAME")
                    continue;
                std::string nameLine;
                if (!NextLine(in, nameLine))
                    break;
                const bool keep = Bare(nameLine) != cfg.m_strConfigName;
                if (keep) {
                    out.Write("CONFIG_NAME\n");
                    out.Write(nameLine);
                    if (!EndsWithLineEnd(nameLine))
                        out.Write("\n");
                }
                std::string last = "\n";
                while (NextLine(in, piece)) {
                    if (keep)
                        out.Write(piece);
                    last = piece;
                    if (Bare(piece) == "}")
                        break;
                }
                if (keep) {
                    if (!EndsWithLineEnd(last))
                        out.Write("\n");
                    out.Write("\n");
                }
            }
            out.Write("END\n");
            LogMessage("LOG:  Existing History.ini file opened.\n");
        } else {
            LogMessage("ERR:  Failed to open existing History.ini during a call to "
                       "WriteHistoryFile().\n");
            // Only a missing store may be written anew; one we merely cannot read holds the
            // other configurations.
            if (platform::PathExists(m_strPath)) {
                out.Close();
                platform::RemoveFile(m_strTwinPath);
                return false;
            }
        }
    }

    if (!out.Close()) {
        LogMessage("ERR:  Failed to write HistoryTemp.ini during a call to WriteHistoryFile().\n");
        platform::RemoveFile(m_strTwinPath);
        return false;
    }
    if (!platform::ReplaceFileWith(m_strTwinPath, m_strPath)) {
        LogMessage("ERR:  Failed to replace History.ini with HistoryTemp.ini during a call to "
                   "WriteHistoryFile().\n");
        return false;
    }
    LogMessage("LOG:  Existing History.ini replaced with HistoryTemp.ini file.\n");
    return true;
}

std::optional<std::string> CHistoryStore::ReadAdminPassword() const
{
    CTextReader in(m_strPath);
    if (!in.IsOpen()) {
        // Without a line break on purpose, as the journal has always had it.
        LogMessage("ERR:  Could not Get Admin Password.");
        return std::nullopt;
    }
    std::string piece;
    while (NextLine(in, piece)) {
        const std::string line = Bare(piece);
        if (line == "END_OPTIONS")
            break;
        if (line != "SERVER_OPTIONS")
            continue;
        for (int i = 0; i < 30 && NextLine(in, piece); ++i) {
            const std::string text = TrimLeft(Bare(piece));
            size_t eq = text.find('=');
            // The key ends at the blank before "="; the value starts two characters after it.
            if (eq == std::string::npos || eq == 0 || text[eq - 1] != ' ')
                continue;
            if (text.substr(0, eq - 1) != "g_strAdminPassword")
                continue;
            std::string value = eq + 2 <= text.size() ? text.substr(eq + 2) : std::string();
            size_t semicolon = value.find(';');
            if (semicolon != std::string::npos)
                value.resize(semicolon);
            return value;
        }
    }
    return std::nullopt;
}
