#include "server/PickUp.h"

#include <gtest/gtest.h>

TEST(ServerPickUp, WindowsPathsCompareWithoutCaseAndSeparatorForms)
{
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Games\\DQ2\\Bin\\DedicatedServer.exe", "c:\\games\\dq2\\bin\\dedicatedserver.EXE", true},
        {"C:/Games//DQ2\\Bin\\DedicatedServer.exe", "C:\\Games\\DQ2\\Bin\\DedicatedServer.exe", true},
        {"\\\\?\\C:\\Games\\DQ2\\", "C:\\Games\\DQ2", true},
        {"\\\\host\\share\\DQ2", "\\host\\share\\DQ2", false},
        {"C:\\Games\\DQ2 Old\\Bin\\DedicatedServer.exe", "C:\\Games\\DQ2\\Bin\\DedicatedServer.exe", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSameWindowsPath(c.a, c.b), c.same) << c.a << " | " << c.b;
}

TEST(ServerPickUp, ConfigurationIsTheLastLaunchedOneWhileStored)
{
    const std::vector<std::string> stored{"NormalDM", "NormalCOOP"};
    const char* const unknown = "INF:  The configuration the running server was launched with is not recorded; ";
    const struct {
        std::optional<std::string> last;
        std::vector<std::string> names;
        const char* current;
        const char* name;
        std::string line;
    } cases[] = {
        {std::string("NormalCOOP"), stored, "NormalDM", "NormalCOOP", ""},
        {std::nullopt, stored, "NormalDM", "NormalDM", std::string(unknown) + "NormalDM is assumed.\n"},
        {std::string(""), stored, "", "NormalDM", std::string(unknown) + "NormalDM is assumed.\n"},
        {std::string("Gone"), stored, "NormalCOOP", "NormalCOOP",
         "INF:  The configuration the running server was launched with, Gone, is no longer stored; NormalCOOP is "
         "assumed.\n"},
        {std::nullopt, {}, "", "", std::string(unknown) + "no configuration is known.\n"},
    };
    for (const auto& c : cases) {
        CPickedUpConfig got = ChoosePickedUpConfig(c.last, c.names, c.current);
        EXPECT_EQ(got.m_strName, c.name);
        EXPECT_EQ(got.m_strLogLine, c.line);
    }
}
