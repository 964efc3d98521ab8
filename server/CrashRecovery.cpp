#include "server/CrashRecovery.h"

#include "base/GamePaths.h"
#include "base/SafeName.h"
#include "base/StringPrintf.h"
#include "base/TextFile.h"
#include "base/UtilityLog.h"
#include "config/ServerConfig.h"
#include "platform/Platform.h"

namespace {
const size_t kPieceChars = 254;

bool CheckName(const std::string& configName, const char* during)
{
    if (IsSafeFileName(configName))
        return true;
    LogMessage("ERR:  Refused the configuration name \"%s\" during a call to %s.\n",
               configName.c_str(), during);
    return false;
}
}  // namespace

std::string CCrashRecovery::ScriptPath(const std::string& gameFolder, const std::string& configName)
{
    return ConfigScriptPath(gameFolder, configName);
}

std::string CCrashRecovery::CopyPath(const std::string& gameFolder, const std::string& configName)
{
    return ConfigCrashCopyPath(gameFolder, configName);
}

bool CCrashRecovery::AddCurrentLevelToConfig(const std::string& gameFolder,
                                             const std::string& configName,
                                             const std::string& level, int& iFPS)
{
    // Whatever an earlier crash left behind is overwritten now, so it can no longer be swapped in.
    m_strCompletedCopy.clear();
    if (!CheckName(configName, "AddCurrentLevelToConfig()"))
        return false;

    const std::string copyPath = CopyPath(gameFolder, configName);
    CTextWriter copy;
    if (!copy.Open(copyPath)) {
        LogMessage("ERR:  Could not create %sTemp.cfg file during a call to "
                   "AddCurrentLevelToConfig().\n",
                   configName.c_str());
        return false;
    }
    CTextReader script(ScriptPath(gameFolder, configName));
    if (!script.IsOpen()) {
        LogMessage("ERR:  Unable to open %s.cfg file during a call to AddCurrentLevelToConfig().\n",
                   configName.c_str());
        copy.Close();
        return false;
    }

    std::string piece;
    bool skipRestOfLine = false;
    while (script.ReadPiece(piece, kPieceChars)) {
        bool endsLine = piece.back() == '\n';
        if (skipRestOfLine) {
            // The tail of a long level line that was replaced whole.
            skipRestOfLine = !endsLine;
            continue;
        }
        if (piece.find("qel_strLevelToStart") != std::string::npos) {
            copy.Write(StringPrintf("qel_strLevelToStart = \"%s\";\n", level.c_str()));
            RaiseServerFps(iFPS);
            skipRestOfLine = !endsLine;
        } else {
            copy.Write(piece);
        }
    }
    if (!copy.Close()) {
        LogMessage("ERR:  Could not write %sTemp.cfg file during a call to "
                   "AddCurrentLevelToConfig().\n",
                   configName.c_str());
        return false;
    }
    m_strCompletedCopy = copyPath;
    return true;
}

bool CCrashRecovery::SwapConfigScript(const std::string& gameFolder, const std::string& configName)
{
    if (!CheckName(configName, "the script swap"))
        return false;
    const std::string copyPath = CopyPath(gameFolder, configName);
    if (m_strCompletedCopy.empty() || m_strCompletedCopy != copyPath) {
        LogMessage("ERR:  %sTemp.cfg was not written completely; %s.cfg is kept.\n",
                   configName.c_str(), configName.c_str());
        return false;
    }
    m_strCompletedCopy.clear();
    if (!platform::ReplaceFileWith(copyPath, ScriptPath(gameFolder, configName))) {
        LogMessage("ERR:  Could not replace %s.cfg by %sTemp.cfg.\n", configName.c_str(),
                   configName.c_str());
        return false;
    }
    return true;
}

bool CCrashRecovery::CancelPendingSwap(const std::string& gameFolder, const std::string& configName)
{
    const std::string copyPath = CopyPath(gameFolder, configName);
    if (m_strCompletedCopy.empty() || m_strCompletedCopy != copyPath)
        return false;
    m_strCompletedCopy.clear();
    platform::RemoveFile(copyPath);
    LogMessage("INF:  %s.cfg was saved; the script swap after the crash is cancelled.\n",
               configName.c_str());
    return true;
}
