// The about dialog: version, link labels and their colours, the shell opening a link, tooltips,
// and the manifest Tollan.exe carries.
#include "tests/e2e/DriverSupport.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

using namespace e2e;

namespace {

const char kAboutCaption[] = " About Dravic Qel 2 Dedicated Server Utility";
const char kHttpsCommandKey[] = "Software\\Classes\\https\\shell\\open\\command";

// The prefix's https handler becomes this driver in its record_open mode, so that opening a link
// writes the address to a file instead of starting a browser; put back at the end.
std::string RecordOpenedAddresses()
{
    std::string record = Join(Context().m_strWorkRoot, "opened.txt");
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = "\"" + std::string(self) + "\" record_open \"" + record + "\" \"%1\"";
    HKEY key;
    E2E_CHECK(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kHttpsCommandKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                              &key, nullptr) == ERROR_SUCCESS,
              "cannot open the https handler");
    char old[1024] = "";
    DWORD size = sizeof old - 1;
    RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(key);
    std::string original = old;
    AtScenarioEnd([original] {
        HKEY k;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHttpsCommandKey, 0, KEY_WRITE, &k) == ERROR_SUCCESS) {
            RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(original.c_str()),
                           static_cast<DWORD>(original.size() + 1));
            RegCloseKey(k);
        }
    });
    return record;
}

// The pointer moves onto the centre of a window; a mouse message carries the position to Tollan.
void PointAt(HWND window, UINT message = WM_MOUSEMOVE)
{
    RECT r;
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(window, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0,
                 MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2));
}

HWND OpenAbout(const CTollanRun& run, HWND main, bool fromSystemMenu)
{
    if (fromSystemMenu)
        PostMessageA(main, WM_SYSCOMMAND, 16, 0);
    else
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(57664, 0), 0);
    HWND about = WaitForWindow(run, "#32770", kAboutCaption);
    WaitUntil([&] { return !IsWindowEnabled(main); }, 5000, "the main window disabled under the about dialog");
    return about;
}

void CloseAbout(HWND main, HWND about, UINT key)
{
    if (key)
        PostKey(GetDlgItem(about, IDOK), key);
    else
        ClickButton(about, IDOK);
    WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(main); }, 5000, "the about dialog to close");
}

std::string VersionString(const std::string& exe, const char* name)
{
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    std::string data(size, '\0');
    E2E_CHECK(size && GetFileVersionInfoA(exe.c_str(), 0, size, &data[0]), "no version resource");
    if (!name) {
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT n = 0;
        E2E_CHECK(VerQueryValueA(&data[0], "\\", reinterpret_cast<void**>(&fixed), &n) && fixed, "no fixed version");
        char text[32];
        std::snprintf(text, sizeof text, "%lu.%02lu", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS));
        return text;
    }
    char* value = nullptr;
    UINT n = 0;
    std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    E2E_CHECK(VerQueryValueA(&data[0], path.c_str(), reinterpret_cast<void**>(&value), &n) && value, "no %s", name);
    return value;
}

std::string Manifest(const std::string& exe)
{
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    E2E_CHECK(module, "cannot load Tollan.exe as data");
    HRSRC res = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    std::string text;
    if (res)
        text.assign(static_cast<const char*>(LockResource(LoadResource(module, res))), SizeofResource(module, res));
    FreeLibrary(module);
    return text;
}

}  // namespace

E2E_SCENARIO(about_dialog)
{
    const std::string exe = Context().m_strTollanExe;
    // The label and the version resource are one version; the manifest asks for the level.
    const std::string version = VersionString(exe, "ProductVersion");
    E2E_CHECK(version == VersionString(exe, "FileVersion") && version == VersionString(exe, nullptr),
              "version resource disagrees with itself: %s", version.c_str());
    std::string manifest = Manifest(exe);
    for (const char* part : {"requestedExecutionLevel level=\"highestAvailable\"", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",
                             "35138b9a-5d96-4fbd-8e2d-a2440225f93a", "<dpiAware"})
        E2E_CHECK(manifest.find(part) != std::string::npos, "manifest lacks %s", part);

    std::string opened = RecordOpenedAddresses();
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);

    HWND about = OpenAbout(run, main, false);
    E2E_CHECK(ControlText(about, 1074) == "The Tollan Authors" && ControlText(about, 1075) == "Morvane", "link texts");
    bool labelFound = false;
    for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        labelFound |= WindowText(c) == "DQ2 Dedicated Server Utility - Version " + version;
    E2E_CHECK(labelFound, "no version label for %s", version.c_str());
    HWND tips = nullptr;
    for (HWND w = FindWindowA("tooltips_class32", nullptr); w; w = FindWindowExA(nullptr, w, "tooltips_class32", nullptr))
        if (GetWindow(w, GW_OWNER) == about)
            tips = w;
    E2E_CHECK(tips, "no tooltip control");
    E2E_CHECK(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0) == 2, "tooltips on %ld controls",
              long(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0)));

    // The colour a link shows follows the link label model (its unit test); here a press on the
    // first link opens its address, once.
    HWND link = GetDlgItem(about, 1074);
    // The file exists from the handler's fopen on; its line is there once it ends.
    auto written = [&] {
        std::string text = ReadAll(opened);
        return !text.empty() && text.back() == '\n';
    };
    for (int attempt = 1; !written(); ++attempt) {
        // Wine may put the pointer back where X has it: the press counts where the pointer is.
        PointAt(link);
        PointAt(link, WM_LBUTTONDOWN);
        PostMessageA(link, WM_LBUTTONUP, 0, 0);
        try {
            WaitUntil(written, 4000, "the shell to open the link");
        } catch (const CDriverFailure&) {
            if (attempt == 3)
                throw;
        }
    }
    E2E_CHECK(ReadAll(opened) == "https://tollan.example.org/\n", "opened: %s", ReadAll(opened).c_str());
    CloseAbout(main, about, 0);

    // A new dialog at every opening, from the system menu too.
    about = OpenAbout(run, main, true);
    CloseAbout(main, about, VK_ESCAPE);
    CloseAndWait(run, main);
}
