#include "app/StartOptions.h"

#include "base/SafeName.h"
#include "base/StringPrintf.h"

#include <algorithm>

namespace {

// Words as Windows programs split them: blanks separate, double quotes group and are dropped.
std::vector<std::string> SplitWords(const std::string& line)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, inWord = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool IsSwitch(const std::string& word) { return word.size() > 1 && (word[0] == '/' || word[0] == '-'); }

}  // namespace

CStartOptions ParseStartOptions(const std::string& commandLine)
{
    CStartOptions options;
    const std::vector<std::string> words = SplitWords(commandLine);
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const std::string name = IsSwitch(word) ? Lower(word.substr(1)) : std::string();
        if (IsSwitch(word) && name == "start") {
            options.m_bStart = true;
            if (i + 1 < words.size() && !IsSwitch(words[i + 1]))
                options.m_strConfig = words[++i];
        } else if (IsSwitch(word) && (name == "minimized" || name == "minimised")) {
            options.m_bMinimized = true;
        } else {
            options.m_astrProblems.push_back(StringPrintf(
                "ERR:  The command line's \"%s\" is not understood; Tollan starts without launching the server.\n",
                word.c_str()));
        }
    }
    return options;
}

CStartLaunch ChooseStartLaunch(const CStartOptions& options, bool bStartSetting, bool bPickedUp,
                               const std::optional<std::string>& lastLaunched,
                               const std::vector<std::string>& storedNames)
{
    CStartLaunch launch;
    if (!options.m_bStart && !bStartSetting)
        return launch;
    if (!options.m_astrProblems.empty())
        return launch;  // each problem has its own line already
    if (bPickedUp) {
        launch.m_strLogLine = "INF:  A server was picked up at start-up, so none is launched.\n";
        return launch;
    }
    const std::string name = !options.m_strConfig.empty() ? options.m_strConfig : lastLaunched.value_or("");
    if (name.empty()) {
        launch.m_strLogLine = "ERR:  No configuration was launched before, so none is launched at start-up.\n";
    } else if (!IsSafeFileName(name)) {
        launch.m_strLogLine = StringPrintf("ERR:  \"%s\" cannot be a configuration name; nothing is launched at start-up.\n",
                                           name.c_str());
    } else if (std::find(storedNames.begin(), storedNames.end(), name) == storedNames.end()) {
        launch.m_strLogLine = StringPrintf("ERR:  There is no configuration \"%s\"; nothing is launched at start-up.\n",
                                           name.c_str());
    } else {
        launch.m_strConfig = name;
        launch.m_strLogLine = StringPrintf("INF:  Launching %s at start-up.\n", name.c_str());
    }
    return launch;
}
