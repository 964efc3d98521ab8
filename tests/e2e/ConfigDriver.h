// Driving the configuration dialog, its pages and the map list editor from the e2e driver.
#pragma once
#include "tests/e2e/DriverSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace e2e {

extern const char* const kConfigCaption;   // " Configuration Settings"
extern const char* const kMapListCaption;  // " Modify Map List"

// The demo game with the delivered History.ini, scripts and MapList.txt, as Installer lays them out.
std::string PrepareDeliveredGame();

// A control anywhere below a window (the pages are children of tab controls), by its id.
HWND FindControl(HWND root, int id);
std::string TextOf(HWND root, int id);
// WM_SETTEXT: the edit reports the change as the user's typing would.
void SetText(HWND root, int id, const std::string& text);
void TypeInComboEdit(HWND root, int id, const std::string& text);
// WM_SETTEXT whose change brings up a "Tollan" message box; returns its text, confirmed.
std::string SetTextExpectingMessage(const CTollanRun& run, HWND root, int id, const std::string& text);
// CB_SETCURSEL, then the list's close-up as its parent gets it.
void Choose(HWND root, int id, int index);
// A posted BM_CLICK.
void Click(HWND root, int id);

int ListCount(HWND list);
std::string ListText(const CTollanRun& run, HWND list, int row);
std::vector<std::string> ListTexts(const CTollanRun& run, HWND list);
bool ListChecked(HWND list, int row);
void SetListCheck(const CTollanRun& run, HWND list, int row, bool on);
std::string TabText(const CTollanRun& run, HWND tab, int index);
// Selects a tab the way a click does, with TCN_SELCHANGE to its parent.
void SelectTab(const CTollanRun& run, HWND tab, int index);

HWND OpenConfigDialog(const CTollanRun& run, HWND main);
// Presses a button that closes the dialog and waits until it has gone.
void CloseWindowWith(HWND dialog, int id);

// scripts/demo: the configuration dialog in both game types, an availability tab and the map
// list editor, each with a screenshot; nothing is saved.
void ShowConfigurationForDemo(const CTollanRun& run, HWND main, const std::function<void(const char*)>& shot);

}  // namespace e2e
