// The command line's list and keys without a server: the fixed list, a letter opening the list,
// Tab stepping through it or closing it.
#include "tests/e2e/DriverSupport.h"

#include <cwchar>

using namespace e2e;

namespace {
bool Dropped(HWND combo) { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }

std::string Entry(HWND combo, LRESULT index)
{
    // Through the wide message: Wine hands a list text across processes in UTF-16.
    wchar_t text[256] = L"";
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return std::string(text, text + wcslen(text));
}

// As the user picks an entry: a selection, then the list's close-up.
void Pick(HWND main, HWND combo, LRESULT index)
{
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(1057, CBN_CLOSEUP), reinterpret_cast<LPARAM>(combo));
}
}  // namespace

E2E_SCENARIO(command_line_keys)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    HWND combo = GetDlgItem(main, 1057);
    HWND edit = CommandLineEdit(main);

    E2E_CHECK(SendMessageA(combo, CB_GETCOUNT, 0, 0) == 34, "%ld entries", long(SendMessageA(combo, CB_GETCOUNT, 0, 0)));
    LRESULT odd = SendMessageA(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("qelTimeBanClient()"));
    E2E_CHECK(Entry(combo, odd) == "qelTimeBanCLient()", "entry as written: %s", Entry(combo, odd).c_str());
    E2E_CHECK(Entry(combo, 0).empty(), "the empty entry is not first");

    // A letter in the empty field opens the list; Tab then closes it and keeps the focus.
    PostKey(GetDlgItem(main, 1058), VK_TAB);
    WaitUntil([&] { return FocusIsOn(run, combo); }, 5000, "Tab to put the focus on the command line");
    TypeLetterOpeningList(main);
    PostKey(edit, VK_TAB);
    WaitUntil([&] { return !Dropped(combo) && FocusIsOn(run, combo); }, 5000, "Tab to close the list");

    // Tab with the list closed: the next entry, the focus stays.
    Pick(main, combo, 5);
    PostKey(edit, VK_TAB);
    WaitUntil([&] { return SendMessageA(combo, CB_GETCURSEL, 0, 0) == 6 && WindowText(edit) == Entry(combo, 6); }, 5000,
              "Tab to select the next entry");
    E2E_CHECK(FocusIsOn(run, combo), "Tab moved the focus away");

    // After "qelKickPlayer()" was picked the pending command is long: letters no longer open it.
    Pick(main, combo, SendMessageA(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("qelKickPlayer()")));
    E2E_CHECK(WindowText(edit) == "qelKickPlayer()", "picked entry shows %s", WindowText(edit).c_str());
    PostKey(edit, 'Q');
    WaitUntil([&] { return WindowText(edit) != "qelKickPlayer()"; }, 5000, "the letter typed");
    E2E_CHECK(!Dropped(combo), "a letter opened the list after a long entry was picked");
    CloseAndWait(run, main);
}
